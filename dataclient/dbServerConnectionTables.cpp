// Table requests of dbServerConnection: single-record writes and reads (message 31001).
#include "dataclient/FieldCodes.h"
#include "dataclient/dbServerConnection.h"

#include <algorithm>

namespace
{
const char *const SendFailedLine = "\"Error: SendMessage Failed.\"";
const char *const SendFailedFields = "\"Error=SendMessage Failed.\"";

// A failed chosen-field read: the failure text in place of the fields, no notes.
bool FailFields(std::string &fieldList, std::string &notes, const std::string &failure)
{
    fieldList = failure;
    notes.clear();
    return false;
}

bool IsErrorReply(const std::string &commaText)
{
    return commaText == "~" || commaText.starts_with("\"Error:");
}

// Moves the last lines of a record reply (one per note sent) into the notes list.
void TakeNotes(cStringList &lines, cStringList *notes)
{
    if (notes == nullptr || lines.Empty())
        return;
    const int n = std::min(notes->Count(), lines.Count());
    notes->Clear();
    for (int i = lines.Count() - n; i < lines.Count(); ++i)
        notes->Add(lines[i]);
    for (int i = 0; i < n; ++i)
        lines.Delete(lines.Count() - 1);
}

// The body of a record write after its table (and record) lines: the notes, encoded in place,
// when given, then the field lines with their line breaks encoded.
void AddWriteLines(cStringList &request, const cStringList &lines, cStringList *notes)
{
    if (notes != nullptr)
    {
        EncodeNoteLines(*notes);
        request.Add("Notes=" + notes->CommaText());
    }
    for (int i = 0; i < lines.Count(); ++i)
        request.Add(EncodeLineBreaks(lines[i]));
}
} // namespace

std::string dbServerConnection::AddRecord(const std::string &table, const cStringList &lines,
                                          cStringList *notes)
{
    Request.Clear();
    Request.Add("TableName=" + TableNameForRequest(table));
    AddWriteLines(Request, lines, notes);
    if (!SendMessage(MsgTable, ArgAddRecord, Request.CommaText()))
        return std::string();
    if (ReplyText.find("ErrorCode") != std::string::npos)
        return std::string();
    return ReplyText;
}

bool dbServerConnection::DeleteRecord(const std::string &table, const std::string &seq)
{
    Request.Clear();
    Request.Add("TableName=" + TableNameForRequest(table));
    Request.Add("Seq=" + seq);
    if (!SendMessage(MsgTable, ArgDeleteRecord, Request.CommaText()))
        return false;
    return ReplyText != "Fail" && LastErrorCode == 0;
}

bool dbServerConnection::UpdateRecord(const std::string &table, const std::string &seq,
                                      const cStringList &lines, cStringList *notes)
{
    Request.Clear();
    Request.Add("TableName=" + TableNameForUpdate(table));
    Request.Add("Seq=" + seq);
    AddWriteLines(Request, lines, notes);
    if (!SendMessage(MsgTable, ArgUpdateRecord, Request.CommaText()))
        return false;
    return ReplyText != "Fail" && LastErrorCode == 0;
}

bool dbServerConnection::FailReadRecord(cStringList &lines)
{
    lines.Clear();
    lines.Add(SendFailedLine);
    return false;
}

bool dbServerConnection::SendRecordRead(cStringList &lines, const cStringList *notes,
                                        const std::string &aliasList, const std::string &aliasFields)
{
    if (notes != nullptr)
        Request.SetValues("Notes", notes->CommaText());
    Request.SetValues("AliasList", aliasList);
    Request.SetValues("AliasFields", aliasFields);
    if (!SendMessage(MsgTable, ArgReadRecord, Request.CommaText()))
        return FailReadRecord(lines);
    lines.Assign(Reply);
    return true;
}

bool dbServerConnection::ReadRecord(const std::string &table, const std::string &seq, cStringList &lines,
                                    cStringList *notes, const std::string &aliasList,
                                    const std::string &aliasFields)
{
    Request.Clear();
    Request.SetValues("TableName", TableNameForRequest(table));
    Request.SetValues("Seq", seq);
    if (!SendRecordRead(lines, notes, aliasList, aliasFields))
        return false;
    if (IsErrorReply(Reply.CommaText()) || LastErrorCode != 0)
        return false;
    TakeNotes(lines, notes);
    for (int i = 0; i < lines.Count(); ++i)
        lines.SetString(i, lines[i] == "~~~" ? std::string() : DecodeLineBreaks(lines[i]));
    return true;
}

bool dbServerConnection::ReadList(const std::string &table, int indexNumber, const std::string &key,
                                  const std::string &owner, cStringList &lines, cStringList *notes,
                                  const std::string &aliasList, const std::string &aliasFields)
{
    Request.Clear();
    Request.SetValues("TableName", TableNameForRequest(table));
    Request.SetValues("List", IntToStr(indexNumber));
    Request.SetValues("Key", key);
    Request.SetValues("Owner", owner);
    if (!SendRecordRead(lines, notes, aliasList, aliasFields))
        return false;
    if (IsErrorReply(Reply.CommaText()))
        return false;
    TakeNotes(lines, notes);
    return true;
}

bool dbServerConnection::ReadFieldsToFile(const std::string &table, int indexNumber, const std::string &key,
                                          const std::string &owner, std::string &fieldList,
                                          const std::string &aliasList, std::string &notes, int pictureNumber,
                                          const std::string &localFile, cProgressSink *bar)
{
    const int fd = localFile.empty() ? -1 : OpenLocalFile(localFile, false);
    if (!localFile.empty() && fd < 0)
        return FailFields(fieldList, notes, "\"Error=Couldn't create local file.\"");
    SetReadFieldsRequest(table, indexNumber, key, owner, fieldList, aliasList, notes,
                         fd >= 0 ? &pictureNumber : nullptr);
    if (!SendFrame(MsgTable, ArgReadFields, Request.CommaText()))
    {
        CloseLocalFile(fd);
        return FailFields(fieldList, notes, SendFailedFields);
    }
    if (fd >= 0 && !ReceivePictures(localFile, fd, bar))
    {
        // The pictures broke off: what follows on the link cannot be read as the reply.
        IsConnectedFlag = false;
        return FailFields(fieldList, notes, SendFailedFields);
    }
    if (!ReceiveReply())
        return FailFields(fieldList, notes, SendFailedFields);
    return TakeFieldsReply(fieldList, notes);
}

void dbServerConnection::SetReadFieldsRequest(const std::string &table, int indexNumber,
                                              const std::string &key, const std::string &owner,
                                              const std::string &fieldList, const std::string &aliasList,
                                              const std::string &notes, const int *pictureNumber)
{
    Request.Clear();
    Request.SetValues("TableName", TableNameForRequest(table));
    Request.SetValues("List", IntToStr(indexNumber));
    Request.SetValues("Key", key);
    Request.SetValues("Owner", owner);
    Request.SetValues("FieldList", fieldList);
    Request.SetValues("AliasList", aliasList);
    Request.SetValues("NotesList", notes);
    if (pictureNumber != nullptr)
        Request.SetValues("Picture", IntToStr(*pictureNumber));
}

bool dbServerConnection::TakeFieldsReply(std::string &fieldList, std::string &notes)
{
    notes.clear();
    if (Reply.CommaText() == "~")
        return FailFields(fieldList, notes, "~");
    if (!LastError.empty())
        return FailFields(fieldList, notes, "\"Error=" + LastError + '"');
    cStringList fields;
    fields.SetCommaText(Reply.Values("Fields"));
    for (int i = 0; i < fields.Count(); ++i)
        fields.SetString(i, DecodeLineBreaks(fields[i]));
    fieldList = fields.CommaText();
    notes = Reply.Values("Notes");
    return true;
}

bool dbServerConnection::ReadFields(const std::string &table, const std::string &key, std::string &fieldList,
                                    const std::string &aliasList, std::string &notes, int pictureNumber,
                                    const std::string &localFile, cProgressSink *bar)
{
    return ReadFieldsToFile(table, 1, key, std::string(), fieldList, aliasList, notes, pictureNumber,
                            localFile, bar);
}

bool dbServerConnection::ReadFields(const std::string &table, const std::string &key, std::string &fieldList,
                                    const std::string &aliasList)
{
    std::string notes;
    return ReadFields(table, key, fieldList, aliasList, notes);
}
