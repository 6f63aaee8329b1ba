// Loopback peers for the socket tests. Every wait of a peer is bounded, so a client that sends too
// little cannot hang a test; the TLS end is written with bare OpenSSL.
#pragma once

#include "net/PlainSocket.h"
#include "tests/support/TestCertificates.h"

#include <functional>
#include <string>
#include <string_view>
#include <thread>

typedef struct ssl_st SSL;

namespace nettest
{
// A TCP listener on 127.0.0.1 with a port chosen by the system.
class Listener
{
public:
    Listener();
    ~Listener();
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;
    int Port() const { return port; }
    // The accepted descriptor (receive and send timeouts of 5 s), or -1 after 5 s without a client.
    int Accept();

private:
    int fd = -1;
    int port = 0;
};

// A port on which nothing listens.
int ClosedPort();

// Runs `body` on a thread with SIGPIPE blocked (a peer writing to a closed client must not end
// the test program); joins in the destructor.
class PeerThread
{
public:
    explicit PeerThread(std::function<void()> body);
    ~PeerThread() { Join(); }
    void Join();

private:
    std::thread thread;
};

// The server end of one link, plain or TLS. The accept (and the TLS handshake) runs on a thread so
// that the client can connect meanwhile; after Accepted() the end is used from one thread at a time.
class ServerEnd
{
public:
    explicit ServerEnd(bool tls, eTestCertificate certificate = eTestCertificate::SelfSigned);
    ~ServerEnd();
    int Port() const { return listener.Port(); }
    bool Accepted(); // waits for the accept; true with a link (and a finished handshake)
    bool Send(std::string_view bytes);
    bool Recv(void *data, std::size_t length); // exactly `length` bytes, false when the link ends first
    std::string RecvUntilNul();
    void Close(); // orderly: a TLS end sends its close notification first
    void Reset(); // a reset (SO_LINGER 0) instead of an orderly close
    int Fd = -1;

private:
    Listener listener;
    SSL_CTX *context = nullptr;
    SSL *ssl = nullptr;
    bool handshakeDone = false;
    PeerThread accepting;
};

bool SendAll(int fd, std::string_view bytes);
// Pulls what the peer sent into the socket's buffer until it holds `count` bytes (bounded wait).
bool BufferUntil(PlainSocket &socket, std::uint32_t count);
bool WaitReadable(int fd, int milliseconds);
// A file of `size` patterned bytes in a temporary folder of the run; ReadFile gives a file back.
std::string PatternFile(std::size_t size);
std::string ReadFile(const std::string &path);
} // namespace nettest
