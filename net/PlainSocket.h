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

    SOCKET Socket = INVALID_SOCKET;
    char HostName[128] = {};
    bool FileSendActive = false;
    std::uint32_t FileBytesSent = 0;
    std::uint32_t FileBytesTotal = 0;
    int State = SOCK_STATE_DISCONNECTED;
    unsigned char *recv_buffer = nullptr;
    std::uint32_t recv_count = 0;
    bool Borrowed = false;
};
