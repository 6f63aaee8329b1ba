// A batch query: the records of a table that hang under one owner record through an index,
// fetched over a data-server connection into a cBatchSet.
#pragma once

#include "dataclient/cBatchSet.h"

#include <memory>
#include <string>

class dbServerConnection;

class cRecordBatch
{
public:
    cRecordBatch() = default;
    ~cRecordBatch();
    cRecordBatch(const cRecordBatch &) = delete;
    cRecordBatch &operator=(const cRecordBatch &) = delete;

    // Stores the query and runs Fetch. False when connection is null (nothing changes) or the
    // fetch failed; a failed fetch still leaves an empty set to walk.
    bool Open(dbServerConnection *connection, const std::string &table, const std::string &indexName,
              const std::string &ownerKey, const std::string &startKey, int startPosition, int maxCount,
              const std::string &fieldList, const std::string &text9 = "", const std::string &text10 = "",
              const std::string &mode = "F", const std::string &text12 = "", const std::string &item13 = "");
    // Sends the "V2" query and replaces the set with the answer.
    bool Fetch();
    // Builds the set from the reply lines of a query (header, record lines, next position).
    bool TakeReply(const cStringList &replyLines);
    // The comma-text body of the query as it goes on the wire.
    std::string QueryBody() const;

    // The current set (null before the first Open) and shortcuts that walk it; they answer
    // false / "" / 0 when there is no set.
    cBatchSet *BatchSet() const { return Set.get(); }
    bool First();
    bool Next();
    std::string GetField(const std::string &code);
    std::string RecordSeq() const;
    int RecordCount() const;

    std::unique_ptr<cBatchSet> Set;
    int ReplyCount1 = 0;
    bool Opened = false;
    dbServerConnection *Connection = nullptr; // not owned
    std::string Table;
    std::string IndexName;
    std::string OwnerKey;
    std::string StartKey;
    int StartPosition = 0;
    int MaxCount = 0;
    std::string FieldList;
    std::string Text9;
    std::string Text10;
    std::string Text12;
    std::string Mode;
    std::string Item13;
    int NextPosition = 0;
    int ReplyCount2 = 0;

private:
    void MakeEmptySet();
};
