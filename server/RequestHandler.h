// Answers the data server's request frames of one connection: handshake, date, record add,
// delete, read and update, the chosen-field read with joins, the batch query and the file
// requests. Pure request-to-reply logic over the store and the file area; the connection loop
// does the socket work (including sending a download's bytes).
#pragma once

#include "protocol/Protocol.h"
#include "server/FileArea.h"
#include "server/Store.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct cReply
{
    std::string Text;      // the text reply, sent with its NUL
    bool SendFile = false; // a download: header and bytes of FilePath go before Text
    std::string FilePath;
};

class cRequestHandler
{
public:
    // The most field codes one chosen-field read or batch query may name.
    static constexpr int MaxFieldCodes = 1000;

    // Writes go to the store; reads go through a reader of the handler's own (see cStore::NewReader),
    // so a handler is for one thread.
    cRequestHandler(cStore &store, const cFileArea &files, std::string remoteIP);

    // Never throws: a request that runs out of memory gets an error reply, and so does one whose
    // reply would be longer than protocol::MaxReplyLength.
    cReply Handle(std::int32_t code, std::int32_t arg, std::string_view body);
    bool Accepted() const { return IsAccepted; }

private:
    cReply Dispatch(std::int32_t code, std::int32_t arg, std::string_view body);
    std::string Handshake(std::string_view body);
    std::string DateReply() const;
    std::string AddRecord(std::string_view body);
    std::string DeleteRecord(std::string_view body);
    std::string ReadRecord(std::string_view body);
    std::string UpdateRecord(std::string_view body);
    std::string ReadFields(std::string_view body);
    std::string BatchQuery(std::string_view body);
    std::string FileInfo(std::string_view body);
    cReply Download(std::string_view body);

    cStore &Store;
    std::unique_ptr<cRecordReader> Reader;
    const cFileArea &Files;
    std::string RemoteIP;
    bool IsAccepted = false;
};

// Shared helpers of the request handlers.
std::string ErrorReply(int code, const std::string &message);
bool ParseSeq(std::string_view text, long long &seq); // positive decimal key
