// Clients of the shared DorvaneServer: the client's own connections and raw ones.
#pragma once

#include "dataclient/dbServerConnection.h"
#include "net/PlainSocket.h"
#include "net/SecureSocket.h"
#include "tests/support/ServerProcess.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Demo keys: the provider and its administrator are the first records of their tables.
inline const std::string ProviderSeq = "1";

inline cServerProcess &Server()
{
    return cServerProcess::Shared();
}

// A signed-on data connection and a function connection (20 s waits).
inline std::unique_ptr<dbServerConnection> DataConnection()
{
    return std::make_unique<dbServerConnection>("127.0.0.1", Server().DataPortText(), "DorvaneClient", "",
                                                true, 20);
}

inline std::unique_ptr<dbServerConnection> FunctionConnection()
{
    return std::make_unique<dbServerConnection>("127.0.0.1", Server().FunctionPortText(), "", "", false, 20);
}

// A raw connection (TLS to the data port without a handshake, or plain to the function port).
template <class tSocket> std::unique_ptr<tSocket> RawConnection(int port)
{
    auto socket = std::make_unique<tSocket>();
    return socket->Connect("127.0.0.1", port) == SOCK_SUCCESS ? std::move(socket) : nullptr;
}

// A request frame with the given header fields and body bytes (sent as given).
inline std::string Frame(std::uint32_t bodyLength, std::int32_t code, std::int32_t arg,
                         const std::string &body)
{
    std::string frame;
    for (std::uint32_t v : {bodyLength, static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(arg)})
        for (int i = 0; i < 4; ++i)
            frame += static_cast<char>((v >> (8 * i)) & 0xff);
    return frame + body;
}

// The handshake frame the client sends first.
inline const std::string Hello = Frame(24, 1, 0, std::string("ProgramID=DorvaneClient") + '\0');

// Reads one NUL-terminated reply; false when the link closed or the wait ran out.
inline bool ReadReply(PlainSocket &socket, std::string &reply, int seconds = 20)
{
    reply.clear();
    std::vector<char> buffer(50001);
    for (;;)
    {
        const int n = socket.ReceiveUntilNul(buffer.data(), 50000, seconds, 0);
        if (n < 0)
            return false;
        reply.append(buffer.data(), static_cast<size_t>(n > 0 ? n - 1 : 50000));
        if (n > 0)
            return true;
    }
}

// A raw TLS link to the data port that has sent the handshake frame and read its reply; null
// when either failed.
inline std::unique_ptr<SecureSocket> SignedOn(int port)
{
    auto raw = RawConnection<SecureSocket>(port);
    std::string reply;
    return raw && raw->Send(Hello) == SOCK_SUCCESS && ReadReply(*raw, reply) ? std::move(raw) : nullptr;
}

// True when the peer closes the link within the bound (what comes meanwhile is discarded).
inline bool ClosedByPeer(PlainSocket &socket, int seconds = 20)
{
    char buffer[4096];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        const int n = socket.ReceiveBytes(buffer, sizeof buffer, 1, 0);
        if (n < 0 || socket.GetState() != SOCK_STATE_CONNECTED || (n == 0 && !socket.IsConnected()))
            return true;
    }
    return false;
}
