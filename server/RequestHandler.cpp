#include "server/RequestHandler.h"

#include "server/Frame.h"
#include "server/JoinResolver.h"
#include "toolkit/DateTime.h"
#include "toolkit/StringList.h"

#include <new>

namespace
{
using namespace protocol;

// Error codes of the refusals that bound the work of one request.
constexpr int ErrorTooLarge = 9;
constexpr int ErrorNoMemory = 10;

std::string TooLargeReply()
{
    return ErrorReply(ErrorTooLarge, "Reply too large");
}

// Field lines of a write ("f10=Ann"), with line breaks decoded. False with `error`.
bool FieldLines(const cTableDef &table, const cStringList &list, cFieldValues &values, std::string &error)
{
    for (int i = 0; i < list.Count(); ++i)
    {
        const std::string &line = list[i];
        if (line.empty())
            continue;
        std::string name = list.Names(i);
        if (cStringList::CompareText(name, "TableName") == 0 || cStringList::CompareText(name, "Seq") == 0 ||
            cStringList::CompareText(name, "Notes") == 0)
            continue;
        if (line.find('=') == std::string::npos)
        {
            error = "Invalid field line";
            return false;
        }
        int field = cCatalogue::FieldNumber(table, name);
        if (field == 0 || field == 1)
        {
            error = "Unknown field " + name.substr(0, 40);
            return false;
        }
        values.emplace_back(field, DecodeLineBreaks(list.ValueFromIndex(i)));
    }
    return true;
}

// What a table request names: the table, the record (deletes and updates) and the field values
// (adds and updates).
struct cTableRequest
{
    cStringList Lines;
    const cTableDef *Table = nullptr;
    long long Seq = 0;
    cFieldValues Values;
};

enum : unsigned
{
    WithSeq = 1,    // the request names a record by "Seq"
    WithFields = 2, // the request carries field lines
};

// Reads a table request and checks its parts in the order the replies rank the faults: an
// unknown table, a missing or bad record number ("Fail"), a bad field line. Empty when all is
// well, else the reply to give.
std::string ReadTableRequest(std::string_view body, unsigned parts, cTableRequest &request)
{
    request.Lines.SetCommaText(body);
    request.Table = cCatalogue::FindTable(request.Lines.Values("TableName"));
    if (!request.Table)
        return ErrorReply(2, "Unknown table");
    if ((parts & WithSeq) != 0 && !ParseSeq(request.Lines.Values("Seq"), request.Seq))
        return "Fail";
    std::string error;
    if ((parts & WithFields) != 0 && !FieldLines(*request.Table, request.Lines, request.Values, error))
        return ErrorReply(3, error);
    return std::string();
}

// The reply to a delete or an update from the count of records it changed (< 0: it failed).
std::string ChangeReply(int changed, const char *action, const std::string &error)
{
    if (changed < 0)
        return ErrorReply(5, action + std::string(" failed: ") + error);
    return changed > 0 ? "OK" : "Fail";
}

// The field numbers a batch query asks for: "*" for every short field, else a comma list of
// codes. Empty when all is well, else the reply to give.
std::string BatchFields(const cTableDef &table, const std::string &list, std::vector<int> &fields)
{
    if (list == "*")
    {
        for (int f = 1; f <= table.HighestShortField(); ++f)
            fields.push_back(f);
        return std::string();
    }
    cStringList codes;
    codes.SetCommaText(list);
    if (codes.Count() > cRequestHandler::MaxFieldCodes)
        return ErrorReply(3, "Too many field codes");
    for (int i = 0; i < codes.Count(); ++i)
    {
        int f = cCatalogue::FieldNumber(table, codes[i]);
        if (f == 0)
            return ErrorReply(3, "Unknown field " + codes[i].substr(0, 40));
        fields.push_back(f);
    }
    return std::string();
}

// What the record lines of a batch reply would carry, counted before any of it is built.
size_t BatchSize(const std::vector<cRecord> &records, const std::vector<int> &fields)
{
    size_t size = 0;
    for (const cRecord &r : records)
        for (int f : fields)
            if (auto it = r.Values.find(f); it != r.Values.end())
                size += it->second.size() + 3;
    return size;
}
} // namespace

std::string ErrorReply(int code, const std::string &message)
{
    cStringList list;
    list.Add("Error=" + message);
    list.Add("ErrorCode=" + std::to_string(code));
    return list.CommaText();
}

bool ParseSeq(std::string_view text, long long &seq)
{
    seq = 0;
    if (text.empty() || text.size() > 15)
        return false;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        seq = seq * 10 + (c - '0');
    }
    return seq > 0;
}

cRequestHandler::cRequestHandler(cStore &store, const cFileArea &files, std::string remoteIP)
    : Store(store), Reader(store.NewReader()), Files(files), RemoteIP(std::move(remoteIP))
{
}

cReply cRequestHandler::Handle(std::int32_t code, std::int32_t arg, std::string_view body)
{
    cReply reply;
    try
    {
        reply = Dispatch(code, arg, body);
    }
    catch (const std::bad_alloc &)
    {
        // The memory a request needs is its own: it fails, the connection and the server go on.
        reply = cReply();
        reply.Text = ErrorReply(ErrorNoMemory, "Out of memory");
    }
    if (reply.Text.size() > MaxReplyLength)
        reply.Text = TooLargeReply();
    return reply;
}

cReply cRequestHandler::Dispatch(std::int32_t code, std::int32_t arg, std::string_view body)
{
    cReply reply;
    if (code == MsgHandshake && arg == 0)
        reply.Text = Handshake(body);
    else if (code == MsgDate && arg == 0)
        reply.Text = DateReply();
    else if (!IsAccepted)
        reply.Text = ErrorReply(1, "Not signed on");
    else if (code == MsgTable && arg == ArgAddRecord)
        reply.Text = AddRecord(body);
    else if (code == MsgTable && arg == ArgDeleteRecord)
        reply.Text = DeleteRecord(body);
    else if (code == MsgTable && arg == ArgReadRecord)
        reply.Text = ReadRecord(body);
    else if (code == MsgTable && arg == ArgUpdateRecord)
        reply.Text = UpdateRecord(body);
    else if (code == MsgTable && arg == ArgReadFields)
        reply.Text = ReadFields(body);
    else if (code == MsgBatch && arg == 0)
        reply.Text = BatchQuery(body);
    else if (code == MsgFile && arg == ArgFileInfo)
        reply.Text = FileInfo(body);
    else if (code == MsgFile && arg == ArgDownloadFile)
        reply = Download(body);
    else
        reply.Text = ErrorReply(99, "Unknown message");
    return reply;
}

std::string cRequestHandler::DateReply() const
{
    return "Date=" + FloatToStr(Now());
}

std::string cRequestHandler::Handshake(std::string_view body)
{
    cStringList request;
    request.SetCommaText(body);
    IsAccepted = request.Values("ProgramID") == "DorvaneClient";
    cStringList reply;
    reply.Add(DateReply());
    // Where the server runs is none of the client's business: a neutral folder name.
    reply.Add("RunningFolder=.");
    reply.Add("RemoteIP=" + RemoteIP);
    reply.Add(IsAccepted ? "Accepted=Y" : "Accepted=N");
    return reply.CommaText();
}

std::string cRequestHandler::AddRecord(std::string_view body)
{
    cTableRequest request;
    if (std::string fault = ReadTableRequest(body, WithFields, request); !fault.empty())
        return fault;
    std::string error;
    long long seq = Store.Insert(*request.Table, request.Values, error);
    if (seq == 0)
        return ErrorReply(5, "Add failed: " + error);
    return std::to_string(seq);
}

std::string cRequestHandler::DeleteRecord(std::string_view body)
{
    cTableRequest request;
    if (std::string fault = ReadTableRequest(body, WithSeq, request); !fault.empty())
        return fault;
    std::string error;
    int changed = Store.Delete(*request.Table, request.Seq, error);
    return ChangeReply(changed, "Delete", error);
}

std::string cRequestHandler::UpdateRecord(std::string_view body)
{
    cTableRequest request;
    if (std::string fault = ReadTableRequest(body, WithSeq | WithFields, request); !fault.empty())
        return fault;
    std::string error;
    int changed = Store.Update(*request.Table, request.Seq, request.Values, error);
    return ChangeReply(changed, "Update", error);
}

std::string cRequestHandler::ReadRecord(std::string_view body)
{
    cStringList request;
    request.SetCommaText(body);
    cStringList reply;
    const cTableDef *table = cCatalogue::FindTable(request.Values("TableName"));
    if (!table)
    {
        reply.Add("Error: Unknown table");
        return reply.CommaText();
    }
    cRecord record;
    bool found = false;
    std::string listText = request.Values("List");
    if (listText.empty())
    {
        long long seq = 0;
        found = ParseSeq(request.Values("Seq"), seq) && Reader->ReadBySeq(*table, seq, record);
    }
    else
    {
        cIndexDef index;
        if (!cCatalogue::NumberedIndex(*table, StrToIntDef(listText, 0), index))
        {
            reply.Add("Error: Unknown index");
            return reply.CommaText();
        }
        std::string key = request.Values("Key");
        if (!key.empty())
        {
            std::vector<cRecord> records =
                Reader->Select(*table, index.KeyField, key, index.OrderField, 0, 1);
            if (!records.empty())
            {
                record = records.front();
                found = true;
            }
        }
    }
    if (!found)
        return "~";
    reply.Add(table->Name);
    for (int f = 1; f <= table->HighestShortField(); ++f)
        reply.Add(EncodeLineBreaks(record.Get(f)));
    return reply.CommaText();
}

std::string cRequestHandler::ReadFields(std::string_view body)
{
    cTableRequest parsed;
    if (std::string fault = ReadTableRequest(body, 0, parsed); !fault.empty())
        return fault;
    const cStringList &request = parsed.Lines;
    const cTableDef *table = parsed.Table;
    cIndexDef index;
    std::string listText = request.Values("List");
    if (!cCatalogue::NumberedIndex(*table, listText.empty() ? 1 : StrToIntDef(listText, 0), index))
        return ErrorReply(4, "Unknown index");
    cJoinResolver joins(*Reader);
    std::string error;
    if (!joins.Prepare(*table, request.Values("AliasList"), error))
        return ErrorReply(6, error);
    cStringList codes;
    codes.SetCommaText(request.Values("FieldList"));
    if (codes.Count() > MaxFieldCodes)
        return ErrorReply(3, "Too many field codes");
    std::string key = request.Values("Key");
    std::vector<cRecord> records;
    if (!key.empty())
        records = Reader->Select(*table, index.KeyField, key, index.OrderField, 0, 1);
    if (records.empty())
        return "~";
    joins.Load(records.front());
    cStringList fields;
    size_t size = 0;
    for (int i = 0; i < codes.Count(); ++i)
    {
        if (codes[i].empty())
            continue;
        std::string value;
        if (!joins.Value(codes[i], value, error))
            return ErrorReply(3, error);
        size += codes[i].size() + value.size() + 4;
        if (size > MaxReplyLength)
            return TooLargeReply();
        fields.Add(codes[i] + "=" + EncodeLineBreaks(value));
    }
    cStringList reply;
    reply.Add("Fields=" + fields.CommaText());
    reply.Add("Notes=" + request.Values("NotesList"));
    return reply.CommaText();
}

std::string cRequestHandler::BatchQuery(std::string_view body)
{
    cStringList items;
    items.SetCommaText(body);
    if (items.Count() < 8 || items[0] != "V2")
        return ErrorReply(7, "Invalid batch query");
    const cTableDef *table = cCatalogue::FindTable(items[1]);
    if (!table)
        return ErrorReply(2, "Unknown table");
    cIndexDef index;
    if (!cCatalogue::NamedIndex(*table, items[2], index))
        return ErrorReply(4, "Unknown index");
    if (index.KeyField > 0 && items[3].empty())
        return "0,0";
    int start = StrToIntDef(items[5], 1);
    if (start < 1)
        start = 1;
    int maxCount = StrToIntDef(items[6], 100);
    if (maxCount < 1)
        maxCount = 100;
    if (maxCount > 10000)
        maxCount = 10000;
    std::vector<int> fields;
    if (std::string fault = BatchFields(*table, items[7], fields); !fault.empty())
        return fault;
    int total = 0;
    std::vector<cRecord> records =
        Reader->Select(*table, index.KeyField, items[3], index.OrderField, start - 1, maxCount, &total);
    cStringList reply;
    if (records.empty())
    {
        reply.Add("0");
        reply.Add("0");
        return reply.CommaText();
    }
    reply.Add(std::to_string(records.size()) + "," + std::to_string(total));
    if (BatchSize(records, fields) > MaxReplyLength)
        return TooLargeReply();
    int position = start;
    for (const cRecord &r : records)
    {
        cStringList line;
        line.Add(std::to_string(position++));
        line.Add("0");
        line.Add(std::to_string(r.Seq));
        for (int f : fields)
            line.Add(EncodeLineBreaks(r.Get(f)));
        reply.Add(line.CommaText());
    }
    reply.Add(position - 1 < total ? std::to_string(position) : "0");
    return reply.CommaText();
}

std::string cRequestHandler::FileInfo(std::string_view body)
{
    std::int32_t size = 0, date = 0;
    std::string error;
    cStringList reply;
    Files.PrepareSignature(body);
    if (!Files.Info(body, size, date, error))
        reply.Add("Error=" + error);
    reply.Add("FileSize=" + std::to_string(size));
    reply.Add("FileDate=" + std::to_string(date));
    return reply.CommaText();
}

cReply cRequestHandler::Download(std::string_view body)
{
    cReply reply;
    std::int32_t size = 0, date = 0;
    std::string error;
    reply.SendFile = true;
    Files.PrepareSignature(body);
    if (Files.Info(body, size, date, error) && Files.Resolve(body, reply.FilePath, error))
        reply.Text = "OK";
    else
    {
        reply.FilePath.clear();
        reply.Text = ErrorReply(8, error);
    }
    return reply;
}
