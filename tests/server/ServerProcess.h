// Starts DorvaneServer on free ports with a temporary data folder for the tests, and offers raw
// TLS and plain connections for the bad-input cases.
#pragma once

#include "net/PlainSocket.h"
#include "net/SecureSocket.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class cServerProcess
{
public:
    cServerProcess() = default;
    ~cServerProcess();
    // Starts the server (extra arguments appended) and waits, bounded, for its ports line.
    bool Start(const std::vector<std::string> &extra = {});
    void Stop();
    bool Running();
    // Waits (bounded) for the process to end after Stop; its exit status or -1.
    int ExitStatus() const { return Status; }

    std::string Folder; // the temporary data folder
    int DataPort = 0;
    int FunctionPort = 0;
    std::string DataPortText() const { return std::to_string(DataPort); }
    std::string FunctionPortText() const { return std::to_string(FunctionPort); }

private:
    pid_t Pid = -1;
    int Status = -1;
};

// A raw TLS connection to the data server (no handshake) and one plain connection.
std::unique_ptr<SecureSocket> RawDataConnection(int port);
std::unique_ptr<PlainSocket> RawFunctionConnection(int port);
// A request frame with the given header fields and body bytes (sent as given).
std::string Frame(std::uint32_t bodyLength, std::int32_t code, std::int32_t arg, const std::string &body);
// Reads one NUL-terminated reply with a bound; "" and false when the link closed or timed out.
bool ReadReply(PlainSocket &socket, std::string &reply, int seconds = 20);
// True when the peer closes the link within the bound (reads and discards what comes).
bool ClosedByPeer(PlainSocket &socket, int seconds = 20);
