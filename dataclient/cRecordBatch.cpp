#include "dataclient/cRecordBatch.h"

#include "dataclient/dbServerConnection.h"
#include "toolkit/DateTime.h"

cRecordBatch::~cRecordBatch() = default;

bool cRecordBatch::Open(dbServerConnection *connection, const std::string &table,
                        const std::string &indexName, const std::string &ownerKey,
                        const std::string &startKey, int startPosition, int maxCount,
                        const std::string &fieldList, const std::string &text9, const std::string &text10,
                        const std::string &mode, const std::string &text12, const std::string &item13)
{
    if (connection == nullptr)
        return false;
    Connection = connection;
    Table = table;
    IndexName = indexName;
    OwnerKey = ownerKey;
    StartKey = startKey;
    StartPosition = startPosition;
    MaxCount = maxCount;
    FieldList = fieldList;
    Text9 = text9;
    Text10 = text10;
    Text12 = text12;
    Item13 = (item13 == "Y" || item13 == "D") ? item13 : "N";
    Mode = mode.empty() ? "F" : mode;
    if (Mode[0] != 'F' && Mode[0] != 'M')
        Mode[0] = 'L';
    if (Mode[0] == 'F' && StartKey.empty() && StartPosition == 0)
        StartPosition = 1;
    NextPosition = 0;
    if (!Fetch())
        return false;
    Opened = true;
    return true;
}

std::string cRecordBatch::QueryBody() const
{
    cStringList items;
    items.Add("V2");
    items.Add(Table);
    items.Add(IndexName);
    items.Add(OwnerKey);
    items.Add(StartKey);
    items.Add(IntToStr(StartPosition));
    items.Add(IntToStr(MaxCount));
    items.Add(FieldList);
    items.Add(Text9);
    items.Add(Text10);
    items.Add(Mode);
    items.Add(Text12);
    items.Add(Item13);
    return items.CommaText();
}

void cRecordBatch::MakeEmptySet()
{
    Set = std::make_unique<cBatchSet>(cStringList(), FieldList, Table);
}

bool cRecordBatch::Fetch()
{
    Set.reset();
    if (Connection == nullptr || !Connection->SendMessage(dbServerConnection::MsgBatch, 0, QueryBody()))
    {
        MakeEmptySet();
        return false;
    }
    return TakeReply(Connection->Reply);
}

bool cRecordBatch::TakeReply(const cStringList &replyLines)
{
    cStringList reply;
    reply.Assign(replyLines);
    bool result = false;
    if (reply.Count() >= 2 && reply[0] == "0")
    {
        MakeEmptySet();
        NextPosition = StrToIntDef(reply[1], 0);
        result = true;
    }
    else if (reply.Count() >= 2)
    {
        cStringList header;
        header.SetCommaText(reply[0]);
        reply.Delete(0);
        if (header.Count() < 2)
        {
            MakeEmptySet();
            Set->ErrorText = "Invalid data from DBServer.";
            return false;
        }
        ReplyCount1 = StrToIntDef(header[0], 0);
        ReplyCount2 = StrToIntDef(header[1], 0);
        if (FieldList == "*")
        {
            cStringList first;
            first.SetCommaText(reply[0]);
            std::string codes;
            for (int k = 1; k <= first.Count() - 3; ++k)
                codes += (k > 1 ? ",f" : "f") + IntToStr(k);
            FieldList = codes;
        }
        NextPosition = StrToIntDef(reply[reply.Count() - 1], 0);
        reply.Delete(reply.Count() - 1);
        Set = std::make_unique<cBatchSet>(reply, FieldList, Table);
        Set->First();
        result = true;
    }
    else
    {
        MakeEmptySet();
        result = reply.CommaText() == "0";
    }
    Set->NextPosition = NextPosition;
    StartKey.clear();
    Set->ErrorText.clear();
    return result;
}

bool cRecordBatch::First()
{
    return Set && Set->First();
}

bool cRecordBatch::Next()
{
    return Set && Set->Next();
}

std::string cRecordBatch::GetField(const std::string &code)
{
    return Set ? Set->GetField(code) : std::string();
}

std::string cRecordBatch::RecordSeq() const
{
    return Set ? Set->RecordSeq : std::string();
}

int cRecordBatch::RecordCount() const
{
    return Set ? Set->RecordCount : 0;
}
