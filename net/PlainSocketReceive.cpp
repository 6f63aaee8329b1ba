// PlainSocket: the receive buffer and the receive calls (the rest of the class is in
// PlainSocket.cpp).
#include "net/PlainSocket.h"

#include "net/SocketInternal.h"
#include "net/SocketLog.h"

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace net_internal;

namespace
{
constexpr std::uint32_t MaxHeld = PlainSocket::RecvBufferSize - 1; // 65,535: one byte stays for the NUL
constexpr int MaxReceive = 65535;

const unsigned char *FindByte(const unsigned char *data, std::uint32_t count, unsigned char byte)
{
    return static_cast<const unsigned char *>(std::memchr(data, byte, count));
}

// The counted-text forms of the receive calls: `receive` fills room for `max` bytes (and the NUL
// after them) in `text`, which is then cut to the count received.
template <typename Receive> int ReceiveIntoText(std::string &text, int max, Receive receive)
{
    if (max < 0 || max > MaxReceive)
        return SOCK_ERROR;
    text.resize(static_cast<std::size_t>(max));
    int rc = receive(text.data());
    text.resize(rc > 0 ? static_cast<std::size_t>(rc) : 0);
    return rc;
}
} // namespace

int PlainSocket::ReceiveUntilNul(std::string &text, int max, int seconds, int microseconds)
{
    return ReceiveIntoText(text, max,
                           [&](char *room) { return ReceiveUntilNul(room, max, seconds, microseconds); });
}

int PlainSocket::ReceiveUntilChar(std::string &text, int max, char ch, int seconds, int microseconds)
{
    return ReceiveIntoText(
        text, max, [&](char *room) { return ReceiveUntilChar(room, max, ch, seconds, microseconds); });
}

int PlainSocket::ReceiveUntilText(std::string &text, int max, const char *terminator, int seconds,
                                  int microseconds)
{
    return ReceiveIntoText(text, max,
                           [&](char *room)
                           { return ReceiveUntilText(room, max, terminator, seconds, microseconds); });
}

int PlainSocket::AppendToBuffer(const void *data, std::uint32_t length)
{
    if (State != SOCK_STATE_CONNECTED || recv_buffer == nullptr || length > MaxHeld - recv_count)
        return 0;
    if (length > 0)
    {
        if (data == nullptr)
            return 0;
        std::memcpy(recv_buffer + recv_count, data, length);
    }
    recv_count += length;
    recv_buffer[recv_count] = 0;
    return 1;
}

void PlainSocket::GetBufferSpace(cBufferSpace &space)
{
    if (recv_buffer == nullptr)
    {
        space.Free = 0;
        space.Start = nullptr;
        return;
    }
    space.Free = MaxHeld - recv_count;
    space.Start = recv_buffer + recv_count;
}

std::uint32_t PlainSocket::CommitToBuffer(std::uint32_t n)
{
    if (recv_buffer == nullptr)
        return 0;
    // Never count past the room GetBufferSpace gave, so the NUL after the data stays in bounds.
    if (n > MaxHeld - recv_count)
        n = MaxHeld - recv_count;
    recv_count += n;
    recv_buffer[recv_count] = 0;
    return n;
}

int PlainSocket::ReadBuffered(void *destination, std::uint32_t max, bool raw)
{
    if (recv_count == 0 || destination == nullptr)
        return 0;
    if (recv_buffer == nullptr)
    {
        recv_buffer = new (std::nothrow) unsigned char[RecvBufferSize];
        if (recv_buffer == nullptr)
            return SOCK_ERROR;
        std::memset(recv_buffer, 0, RecvBufferSize);
        recv_count = 0;
        return 0;
    }
    std::uint32_t n = max < recv_count ? max : recv_count;
    auto *out = static_cast<unsigned char *>(destination);
    std::memcpy(out, recv_buffer, n);
    if (!raw)
        out[n] = 0;
    // Slide the rest and its NUL to the front.
    std::memmove(recv_buffer, recv_buffer + n, recv_count - n + 1);
    recv_count -= n;
    return static_cast<int>(n);
}

template <typename Read> int PlainSocket::WaitThenRead(int seconds, int microseconds, Read read)
{
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_DISCONNECTED;
    if (seconds < 0 && !WaitsWatched())
    {
        // Without a limit, the blocking read itself is the wait (one system call instead of
        // two); a non-blocking handle with nothing to read is waited on and read again. A
        // thread whose waits carry a deadline or a watch waits through a poll instead.
        for (;;)
        {
            int n = read();
            if (n != SOCK_TIMEOUT || State != SOCK_STATE_CONNECTED)
                return n;
            int rc = WaitReadable(-1, 0);
            if (rc != SOCK_SUCCESS)
                return rc;
        }
    }
    int rc = WaitReadable(seconds, microseconds);
    return rc == SOCK_SUCCESS ? read() : rc;
}

int PlainSocket::WaitForData(bool force, int seconds, int microseconds)
{
    if (!force && recv_count > 0)
        return static_cast<int>(recv_count);
    return WaitThenRead(seconds, microseconds, [this] { return FillBuffer(); });
}

int PlainSocket::WaitReadable(int seconds, int microseconds)
{
    const int rc = WaitCode(Socket, POLLIN, MakeWaitLimit(seconds, microseconds));
    if (rc == SOCK_ERROR)
        Close();
    return rc;
}

int PlainSocket::FillBuffer()
{
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_DISCONNECTED;
    if (recv_buffer == nullptr)
        return SOCK_ERROR;
    return ReadIntoRoom([this](unsigned char *at, std::uint32_t room) { return RecvInto(at, room); });
}

int PlainSocket::RecvInto(void *destination, std::uint32_t length)
{
    ssize_t n;
    do
    {
        n = recv(Socket, destination, length, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
    {
        int error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK)
            return SOCK_TIMEOUT; // a non-blocking handle with nothing to read: the link is fine
        Close();
        if (IsLostConnection(error))
        {
            State = SOCK_STATE_DISCONNECTED;
            return SOCK_DISCONNECTED;
        }
        State = SOCK_STATE_ERROR;
        return SOCK_ERROR;
    }
    if (n == 0)
    {
        Close();
        return SOCK_DISCONNECTED;
    }
    return static_cast<int>(n);
}

int PlainSocket::ReceiveDirect(void *destination, std::uint32_t length, int seconds, int microseconds)
{
    return WaitThenRead(seconds, microseconds, [&] { return RecvInto(destination, length); });
}

template <typename EndOf>
int PlainSocket::ReceiveUntilEnd(void *destination, int max, int notConnected, bool rawWhenLonger,
                                 int seconds, int microseconds, EndOf endOf)
{
    if (destination == nullptr || max < 0 || max > MaxReceive)
        return SOCK_ERROR;
    if (max == 0)
        return 0;
    std::memset(destination, 0, static_cast<std::size_t>(max));
    if (State != SOCK_STATE_CONNECTED)
        return notConnected;
    if (recv_buffer == nullptr)
        return SOCK_ERROR;
    const std::uint32_t limit = static_cast<std::uint32_t>(max);
    std::uint32_t searched = 0; // bytes already known not to hold the terminator
    for (;;)
    {
        if (recv_count > 0)
        {
            const std::uint32_t n = endOf(searched);
            if (n != 0)
            {
                if (n > limit)
                {
                    ReadBuffered(destination, limit, rawWhenLonger);
                    return 0;
                }
                return ReadBuffered(destination, n, false);
            }
            searched = recv_count;
            if (recv_count >= limit)
            {
                ReadBuffered(destination, limit, false);
                return 0;
            }
        }
        int rc = WaitForData(true, seconds, microseconds);
        if (rc < 1)
        {
            ReadBuffered(destination, limit, false);
            return State == SOCK_STATE_CONNECTED ? SOCK_TIMEOUT : SOCK_DISCONNECTED;
        }
    }
}

int PlainSocket::ReceiveUntilByte(void *destination, int max, unsigned char byte, int seconds,
                                  int microseconds)
{
    // Only the bytes that came since the last look are searched.
    return ReceiveUntilEnd(destination, max, SOCK_DISCONNECTED, true, seconds, microseconds,
                           [&](std::uint32_t searched) -> std::uint32_t
                           {
                               const unsigned char *hit =
                                   FindByte(recv_buffer + searched, recv_count - searched, byte);
                               return hit != nullptr ? static_cast<std::uint32_t>(hit - recv_buffer) + 1 : 0;
                           });
}

int PlainSocket::ReceiveUntilNul(void *destination, int max, int seconds, int microseconds)
{
    return ReceiveUntilByte(destination, max, 0, seconds, microseconds);
}

int PlainSocket::ReceiveUntilChar(void *destination, int max, char ch, int seconds, int microseconds)
{
    // Without a connection this form answers SOCK_ERROR, not SOCK_DISCONNECTED.
    return ReceiveUntilEnd(destination, max, SOCK_ERROR, false, seconds, microseconds,
                           [&](std::uint32_t) -> std::uint32_t
                           {
                               // A search of the buffer as a C text: it stops at the first NUL,
                               // so a search for NUL itself finds at the latest the one after
                               // the bytes held, and hands out what is buffered at once.
                               const char *text = reinterpret_cast<const char *>(recv_buffer);
                               const char *hit = std::strchr(text, ch);
                               return hit != nullptr ? static_cast<std::uint32_t>(hit - text) + 1 : 0;
                           });
}

int PlainSocket::ReceiveUntilText(void *destination, int max, const char *terminator, int seconds,
                                  int microseconds)
{
    if (terminator == nullptr || terminator[0] == 0)
        return SOCK_ERROR;
    const std::size_t termLength = std::strlen(terminator);
    return ReceiveUntilEnd(destination, max, SOCK_DISCONNECTED, false, seconds, microseconds,
                           [&](std::uint32_t) -> std::uint32_t
                           {
                               // Searched from the front as a C text: it stops at the first NUL.
                               const char *text = reinterpret_cast<const char *>(recv_buffer);
                               const char *hit = std::strstr(text, terminator);
                               return hit != nullptr ? static_cast<std::uint32_t>(hit - text + termLength)
                                                     : 0;
                           });
}

int PlainSocket::ReceiveBytes(void *destination, int length, int seconds, int microseconds)
{
    if (destination == nullptr || length < 0)
        return SOCK_ERROR;
    if (length == 0)
        return 0;
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_DISCONNECTED;
    if (recv_buffer == nullptr)
        return SOCK_ERROR;
    auto *out = static_cast<unsigned char *>(destination);
    const std::uint32_t wanted = static_cast<std::uint32_t>(length);
    std::uint32_t delivered = 0;
    while (delivered < wanted)
    {
        const std::uint32_t left = wanted - delivered;
        int n;
        if (recv_count == 0 && left >= DirectReadMinimum)
        {
            // Nothing buffered and a large piece wanted: the wait's one read lands in the
            // destination itself, which spares copying every byte twice.
            n = ReceiveDirect(out + delivered, left, seconds, microseconds);
        }
        else
        {
            if (WaitForData(false, seconds, microseconds) <= 0)
                break;
            n = ReadBuffered(out + delivered, left, true);
        }
        if (n <= 0)
            break;
        delivered += static_cast<std::uint32_t>(n);
    }
    return static_cast<int>(delivered);
}
