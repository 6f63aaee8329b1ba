#include "net/PlainSocket.h"

#include "net/SocketInternal.h"
#include "net/SocketLog.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <new>
#include <pthread.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace net_internal;

namespace
{
constexpr std::uint32_t MaxHeld = PlainSocket::RecvBufferSize - 1; // 65,535: one byte stays for the NUL
constexpr int MaxReceive = 65535;

// Blocks SIGPIPE on the calling thread for the life of the object and swallows a SIGPIPE that
// the guarded calls raised, so that a write to a closed peer gives EPIPE and nothing else.
// Used around calls that cannot take MSG_NOSIGNAL (sendfile).
class SigPipeGuard
{
public:
    SigPipeGuard()
    {
        sigemptyset(&pipeSet);
        sigaddset(&pipeSet, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSet, &oldMask);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending = sigismember(&pending, SIGPIPE) == 1;
    }
    ~SigPipeGuard()
    {
        if (raised && !wasPending)
        {
            timespec zero{};
            while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR)
            {
            }
        }
        pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    }
    void NoteEpipe() { raised = true; }

private:
    sigset_t pipeSet{};
    sigset_t oldMask{};
    bool wasPending = false;
    bool raised = false;
};

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

PlainSocket::PlainSocket()
{
    PlainSocket::Init(nullptr);
}

PlainSocket::~PlainSocket()
{
    PlainSocket::Cleanup();
}

void PlainSocket::Init(void *)
{
    // The POSIX socket layer needs no start-up step.
    recv_buffer = new (std::nothrow) unsigned char[RecvBufferSize];
    if (recv_buffer == nullptr)
    {
        net_log::Write("PlainSocket::Init()::recv_buffer allocate failed");
        throw std::runtime_error("PlainSocket::Init()::recv_buffer allocate failed");
    }
    State = SOCK_STATE_DISCONNECTED;
    Socket = INVALID_SOCKET;
    FileSendActive = false;
    FileBytesSent = 0;
    FileBytesTotal = 0;
    ClearBuffer();
    Borrowed = false;
}

void PlainSocket::Cleanup()
{
    delete[] recv_buffer;
    recv_buffer = nullptr;
    recv_count = 0;
    CloseSocket();
}

void PlainSocket::ClearBuffer()
{
    recv_count = 0;
    if (recv_buffer != nullptr)
        std::memset(recv_buffer, 0, RecvBufferSize);
}

void PlainSocket::CloseSocket()
{
    if (Borrowed)
        return;
    if (Socket != INVALID_SOCKET)
    {
        shutdown(Socket, SHUT_WR);
        close(Socket);
    }
    Socket = INVALID_SOCKET;
}

void PlainSocket::SetSocketOptions()
{
    if (Socket == INVALID_SOCKET)
        return;
    int one = 1;
    int size = 131072;
    setsockopt(Socket, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
    setsockopt(Socket, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    setsockopt(Socket, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    setsockopt(Socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int PlainSocket::TCPConnect(const char *host, int port)
{
    if (host == nullptr)
        return SOCK_ERROR;
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = inet_addr(host);
    if (address.sin_addr.s_addr == INADDR_NONE)
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo *found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr)
        {
            if (found != nullptr)
                freeaddrinfo(found);
            return SOCK_ERROR;
        }
        address.sin_addr = reinterpret_cast<sockaddr_in *>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }
    Socket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
    if (Socket < 0)
    {
        Socket = INVALID_SOCKET;
        return SOCK_ERROR;
    }
    SetSocketOptions();
    int one = 1;
    setsockopt(Socket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const int rc = FinishConnect(connect(Socket, reinterpret_cast<sockaddr *>(&address), sizeof address));
    if (rc != SOCK_SUCCESS)
        net_log::Write(rc == SOCK_TIMEOUT ? "TCPConnect() -- connect timed out"
                                          : "TCPConnect() -- connect failed");
    return rc;
}

int PlainSocket::FinishConnect(int connectResult)
{
    // The connect runs non-blocking so that its wait has the connect bound; the socket is made
    // blocking again afterwards, as the receive and send calls expect.
    if (connectResult < 0)
    {
        if (errno != EINPROGRESS && errno != EINTR)
            return SOCK_ERROR;
        const int waited = WaitCode(Socket, POLLOUT, MakeWaitLimit(ConnectSeconds, ConnectMicroseconds));
        if (waited != SOCK_SUCCESS)
            return waited;
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(Socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return SOCK_ERROR;
    }
    const int flags = fcntl(Socket, F_GETFL);
    return flags >= 0 && fcntl(Socket, F_SETFL, flags & ~O_NONBLOCK) == 0 ? SOCK_SUCCESS : SOCK_ERROR;
}

bool PlainSocket::StartConnect(const char *host)
{
    Close();
    State = SOCK_STATE_DISCONNECTED;
    if (Borrowed)
        Socket = INVALID_SOCKET; // a borrowed handle stays with its owner
    Borrowed = false;            // the socket Connect makes is its own
    if (host == nullptr || std::strlen(host) >= sizeof HostName)
    {
        net_log::Write("Connect() -- host text missing or longer than 127 characters");
        return false;
    }
    std::strcpy(HostName, host);
    return true;
}

int PlainSocket::Connect(const char *host, int port)
{
    if (!StartConnect(host))
        return SOCK_TIMEOUT;
    if (TCPConnect(host, port) != SOCK_SUCCESS)
    {
        CloseSocket();
        return SOCK_TIMEOUT;
    }
    State = SOCK_STATE_CONNECTED;
    SetSocketOptions();
    return SOCK_SUCCESS;
}

void PlainSocket::Close()
{
    ForgetConnection();
    CloseSocket();
}

void PlainSocket::ForgetConnection()
{
    // After an error the state and the buffer stay as they are, for the caller to read.
    if (State != SOCK_STATE_ERROR)
    {
        State = SOCK_STATE_DISCONNECTED;
        ClearBuffer();
    }
}

void PlainSocket::ReleaseForAttach(SOCKET socket, bool borrowed)
{
    // The previous handle is released by its own ownership: an owned one is closed, a borrowed
    // one is left to its owner. Re-attaching the handle already held closes nothing.
    if (socket != INVALID_SOCKET && socket == Socket)
        Borrowed = true;
    Close();
    Borrowed = borrowed;
}

int PlainSocket::Attach(SOCKET socket, bool borrowed)
{
    ReleaseForAttach(socket, borrowed);
    if (socket == INVALID_SOCKET || socket < 0)
    {
        Socket = INVALID_SOCKET;
        return SOCK_ERROR;
    }
    State = SOCK_STATE_CONNECTED;
    Socket = socket;
    SetSocketOptions();
    return SOCK_SUCCESS;
}

int PlainSocket::BytesAvailable()
{
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_ERROR;
    int count = 0;
    if (ioctl(Socket, FIONREAD, &count) < 0)
        return SOCK_ERROR;
    return count;
}

int PlainSocket::Send(const std::string &text)
{
    return Send(text.data(), static_cast<std::uint32_t>(text.size()));
}

int PlainSocket::Send(const void *buffer, std::uint32_t length)
{
    if (buffer == nullptr)
    {
        net_log::Write("buffer==NULL");
        return SOCK_ERROR;
    }
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_DISCONNECTED;
    if (length == 0)
        length = static_cast<std::uint32_t>(std::strlen(static_cast<const char *>(buffer)));
    const char *rest = static_cast<const char *>(buffer);
    std::uint32_t remaining = length;
    while (remaining > 0)
    {
        // Never blocking in the system: a full buffer is waited on with the send bound.
        ssize_t sent = send(Socket, rest, remaining, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0)
        {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return SOCK_ERROR;
            const int rc = WaitToSend(POLLOUT);
            if (rc != SOCK_SUCCESS)
                return rc;
            continue;
        }
        rest += sent;
        remaining -= static_cast<std::uint32_t>(sent);
    }
    return SOCK_SUCCESS;
}

int PlainSocket::WaitToSend(short events)
{
    const int rc = WaitCode(Socket, events, MakeWaitLimit(SendSeconds, SendMicroseconds));
    if (rc == SOCK_TIMEOUT)
        net_log::Write("Send() -- no progress within the send bound");
    return rc;
}

int PlainSocket::SendFile(const char *path)
{
    if (State != SOCK_STATE_CONNECTED)
        return SOCK_DISCONNECTED;
    return SendFileAtPath(path);
}

int PlainSocket::SendFileAtPath(const char *path)
{
    if (path == nullptr)
        return SOCK_ERROR;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return SOCK_ERROR;
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    int rc = SendFile(fd);
    close(fd);
    return rc;
}

int PlainSocket::FileSizeToSend(int fileDescriptor, const char *noHandleLine, std::uint64_t &size)
{
    if (State != SOCK_STATE_CONNECTED)
    {
        net_log::Write("State != SOCK_STATE_CONNECTED");
        return SOCK_ERROR;
    }
    if (fileDescriptor < 0)
    {
        net_log::Write(noHandleLine);
        return SOCK_ERROR;
    }
    struct stat info;
    if (fstat(fileDescriptor, &info) < 0)
        return SOCK_ERROR;
    size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    return SOCK_SUCCESS;
}

int PlainSocket::SendFile(int fileDescriptor)
{
    std::uint64_t size = 0;
    if (FileSizeToSend(fileDescriptor, "PlainSocket::SendFile(HANDLE) - HANDLE is NULL", size) !=
        SOCK_SUCCESS)
        return SOCK_ERROR;
    FileBytesSent = 0;
    FileBytesTotal = 0;
    FileSendActive = true;

    int result = SOCK_SUCCESS;
    off_t offset = 0;
    std::uint64_t done = 0;
    {
        SigPipeGuard guard;
        while (done < size)
        {
            ssize_t sent = sendfile(Socket, fileDescriptor, &offset, static_cast<size_t>(size - done));
            if (sent < 0)
            {
                if (errno == EINTR)
                    continue;
                if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitToSend(POLLOUT) == SOCK_SUCCESS)
                    continue;
                if (errno == EPIPE)
                    guard.NoteEpipe();
                result = SOCK_ERROR;
                break;
            }
            if (sent == 0)
            {
                // The file holds fewer bytes than its size said.
                result = SOCK_ERROR;
                break;
            }
            done += static_cast<std::uint64_t>(sent);
        }
    }
    FileBytesSent = static_cast<std::uint32_t>(done);
    FileBytesTotal = static_cast<std::uint32_t>(size);
    FileSendActive = false;
    return result;
}

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
    if (seconds < 0)
    {
        // Without a limit, the blocking read itself is the wait (one system call instead of
        // two); a non-blocking handle with nothing to read is waited on and read again.
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

bool PlainSocket::IsConnected()
{
    WaitForData(true, 0, 0);
    return State == SOCK_STATE_CONNECTED;
}
