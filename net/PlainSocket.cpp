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

bool PlainSocket::IsConnected()
{
    WaitForData(true, 0, 0);
    return State == SOCK_STATE_CONNECTED;
}
