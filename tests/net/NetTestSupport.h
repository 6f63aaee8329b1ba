// What the socket tests share: a client linked to the scripted peer, and small helpers.
#pragma once

#include "net/SecureSocket.h"
#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

// A client socket (plain or TLS) connected to a peer that accepted the link.
struct cLink
{
    explicit cLink(bool tls) : Peer(tls), Client(tls ? new SecureSocket : new PlainSocket)
    {
        Peer.StartAccept();
        Connected = Client->Connect("127.0.0.1", Peer.Port()) == SOCK_SUCCESS;
    }
    bool Up() { return Peer.Accepted() && Connected; }
    cScriptedPeer Peer;
    std::unique_ptr<PlainSocket> Client;
    bool Connected = false;
};

// Pulls what the peer sent into the socket's buffer until it holds `count` bytes (bounded wait).
inline bool BufferUntil(PlainSocket &socket, std::uint32_t count)
{
    for (int i = 0; i < 500 && socket.BufferedCount() < count; ++i)
        if (socket.WaitForData(true, 0, 10000) == SOCK_ERROR)
            return false;
    return socket.BufferedCount() >= count;
}

// A receive's result and the text it left, as "result:text".
template <class tText> std::string Got(int result, const tText &text)
{
    return std::to_string(result) + ":" + std::string(text);
}

// `size` bytes of a pattern that repeats only every few hundred bytes.
inline std::string Pattern(std::size_t size)
{
    std::string data(size, 0);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 131) >> 3);
    return data;
}

inline bool IsOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

inline bool SendAll(int fd, std::string_view bytes)
{
    return send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}
