// TCP client socket with a 65,536-byte receive buffer, and the interface of every transport:
// SecureSocket derives from it and replaces the operations that touch the wire.
#pragma once

#include "net/SocketCodes.h"

#include <cstddef>
#include <cstdint>
#include <string>

class PlainSocket
{
public:
    static constexpr std::uint32_t RecvBufferSize = 65536;

    PlainSocket();
    virtual ~PlainSocket();
    PlainSocket(const PlainSocket &) = delete;
    PlainSocket &operator=(const PlainSocket &) = delete;

    virtual int Connect(const char *host, int port);
    virtual void Close();
    virtual int Attach(SOCKET socket, bool borrowed);
    virtual int BytesAvailable();
    virtual int Send(const std::string &text);
    virtual int Send(const void *buffer, std::uint32_t length);
    virtual int SendFile(const char *path);
    virtual int SendFile(int fileDescriptor);

    // Counted-text forms: the text's length becomes the result when positive, else 0.
    virtual int ReceiveUntilNul(std::string &text, int max, int seconds, int microseconds);
    virtual int ReceiveUntilChar(std::string &text, int max, char ch, int seconds, int microseconds);
    virtual int ReceiveUntilText(std::string &text, int max, const char *terminator, int seconds,
                                 int microseconds);

    virtual int AppendToBuffer(const void *data, std::uint32_t length);
    struct cBufferSpace
    {
        std::uint32_t Free;
        unsigned char *Start;
    };
    virtual void GetBufferSpace(cBufferSpace &space);
    virtual std::uint32_t CommitToBuffer(std::uint32_t n);
    virtual int ReadBuffered(void *destination, std::uint32_t max, bool raw);
    virtual int WaitForData(bool force, int seconds, int microseconds);
    virtual int FillBuffer();

    // `destination` holds at least max + 1 bytes.
    int ReceiveUntilByte(void *destination, int max, unsigned char byte, int seconds, int microseconds);
    int ReceiveUntilNul(void *destination, int max, int seconds, int microseconds);
    int ReceiveUntilChar(void *destination, int max, char ch, int seconds, int microseconds);
    int ReceiveUntilText(void *destination, int max, const char *terminator, int seconds, int microseconds);
    int ReceiveBytes(void *destination, int length, int seconds, int microseconds);
    bool IsConnected();
    int TCPConnect(const char *host, int port);
    void SetSocketOptions();
    void CloseSocket();
    void ClearBuffer();

    // Bounds of the client's TCP connect and of each wait of a send for room in the system's
    // buffer (seconds < 0: no limit, the default). A connect that runs out fails as any failed
    // connect does; a send that runs out returns SOCK_TIMEOUT (part of the bytes may have gone).
    void SetConnectTimeout(int seconds, int microseconds)
    {
        ConnectSeconds = seconds;
        ConnectMicroseconds = microseconds;
    }
    void SetSendTimeout(int seconds, int microseconds)
    {
        SendSeconds = seconds;
        SendMicroseconds = microseconds;
    }

    int GetState() const { return State; }
    SOCKET GetSocket() const { return Socket; }
    std::uint32_t BufferedCount() const { return recv_count; }

    // ReceiveBytes reads a piece of at least this many bytes straight into the destination
    // when nothing is buffered.
    static constexpr std::uint32_t DirectReadMinimum = 8192;

protected:
    virtual void Init(void *parameter);
    virtual void Cleanup();

    // The wait of WaitForData followed by one read of at most `length` bytes straight into
    // `destination` instead of the buffer; results and failures as WaitForData.
    virtual int ReceiveDirect(void *destination, std::uint32_t length, int seconds, int microseconds);
    // Waits until the socket is readable: SOCK_SUCCESS, SOCK_TIMEOUT, or SOCK_ERROR (closed).
    int WaitReadable(int seconds, int microseconds);
    // One recv into `destination`: the count, or the result code after a failure (closed).
    int RecvInto(void *destination, std::uint32_t length);
    // The end of TCPConnect's non-blocking connect: the wait (bounded by the connect timeout)
    // and its outcome; the socket is left blocking. SOCK_SUCCESS, SOCK_TIMEOUT or SOCK_ERROR.
    int FinishConnect(int connectResult);
    // One `read(start, room)` into the free room of the buffer (which must exist), the count
    // added to what is held; the count held when there is no room.
    template <typename Read> int ReadIntoRoom(Read read)
    {
        const std::uint32_t room = RecvBufferSize - 1 - recv_count;
        if (room == 0)
            return static_cast<int>(recv_count);
        const int n = read(recv_buffer + recv_count, room);
        if (n > 0)
        {
            recv_count += static_cast<std::uint32_t>(n);
            recv_buffer[recv_count] = 0;
        }
        return n;
    }
    // The wait of a send until the socket shows `events`, bounded by the send timeout:
    // SOCK_SUCCESS, SOCK_TIMEOUT, or SOCK_ERROR.
    int WaitToSend(short events);

    // The start of every Connect: the old connection closed, a borrowed handle left to its
    // owner, and the host text kept in HostName. False (logged) when the text is missing or
    // longer than HostName holds; each transport answers that with its own result.
    bool StartConnect(const char *host);
    // The part of Close that both transports share: the state becomes disconnected and the
    // buffer is emptied, unless the state is SOCK_STATE_ERROR.
    void ForgetConnection();
    // The start of every Attach: the handle held so far is let go by its own ownership (closed
    // when owned, left to its owner when borrowed) and `borrowed` becomes the new ownership.
    void ReleaseForAttach(SOCKET socket, bool borrowed);
    // The wait of WaitForData and ReceiveDirect followed by `read()` (one read, or the result
    // code that ended it); SOCK_DISCONNECTED without a connection.
    template <typename Read> int WaitThenRead(int seconds, int microseconds, Read read);
    // What SendFile(path) does on either transport once the connection has been checked: opens
    // the file, hands it to SendFile(int) and closes it. SOCK_ERROR without a path or a file.
    int SendFileAtPath(const char *path);
    // The checks before a file is sent: connected (logged when not), a descriptor (else
    // `noHandleLine` is logged) and its size. SOCK_SUCCESS with `size` set, else SOCK_ERROR.
    int FileSizeToSend(int fileDescriptor, const char *noHandleLine, std::uint64_t &size);
    // The buffered read the ReceiveUntil forms share. `endOf(searched)` gives the count of held
    // bytes up to and including the terminator, or 0 when none is held; the first `searched`
    // bytes held are known to hold none. `notConnected` is the result without a connection;
    // `rawWhenLonger` is ReadBuffered's `raw` when the terminator lies beyond `max`.
    template <typename EndOf>
    int ReceiveUntilEnd(void *destination, int max, int notConnected, bool rawWhenLonger, int seconds,
                        int microseconds, EndOf endOf);

    SOCKET Socket = INVALID_SOCKET;
    char HostName[128] = {};
    bool FileSendActive = false;
    std::uint32_t FileBytesSent = 0;
    std::uint32_t FileBytesTotal = 0;
    int State = SOCK_STATE_DISCONNECTED;
    unsigned char *recv_buffer = nullptr;
    std::uint32_t recv_count = 0;
    bool Borrowed = false;
    int ConnectSeconds = -1;
    int ConnectMicroseconds = 0;
    int SendSeconds = -1;
    int SendMicroseconds = 0;
};
