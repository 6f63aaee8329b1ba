// Loopback peers for the socket tests: a listener, peer threads that never hang (every wait of a
// peer is bounded), certificates made at run time, and a TLS server written with bare OpenSSL.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

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
    void Close();

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
    ~PeerThread();
    void Join();

private:
    std::thread thread;
};

// Peer-side helpers on a plain descriptor.
bool SendAll(int fd, const void *data, std::size_t length);
bool SendAll(int fd, const std::string &text);
// Reads until `length` bytes came (true) or the link ended / 5 s passed (false).
bool RecvExactly(int fd, void *data, std::size_t length);
// Reads up to and including the first NUL; the text without it.
std::string RecvUntilNul(int fd);
// Closes with a reset (SO_LINGER 0) instead of an orderly close.
void ResetClose(int fd);
// Waits until `fd` is readable or shows an error / hang-up.
bool WaitReadable(int fd, int milliseconds);

struct TestCertificate
{
    std::string CertFile;
    std::string KeyFile;
};

// Self-signed EC certificates, generated once per run in a temporary folder.
const TestCertificate &GoodCertificate();      // CN=localhost, valid now
const TestCertificate &ExpiredCertificate();   // CN=localhost, expired a year ago
const TestCertificate &OtherHostCertificate(); // CN=other.example.org
// The key of GoodCertificate() encrypted with the password "sesame".
const std::string &EncryptedKeyFile();
std::string TempFolder();

// A TLS server with bare OpenSSL: accepts one client, handshakes with `certificate`, then runs
// `script` with the connection; shuts down and closes afterwards.
class TlsServerPeer
{
public:
    TlsServerPeer(const TestCertificate &certificate, std::function<void(SSL *ssl, int fd)> script);
    ~TlsServerPeer();
    int Port() const { return listener.Port(); }
    void Join() { thread.Join(); }
    bool HandshakeDone() const { return handshakeDone; }

private:
    Listener listener;
    SSL_CTX *context = nullptr;
    std::atomic<bool> handshakeDone{false};
    PeerThread thread;
};

// Bare OpenSSL helpers for the peers.
bool TlsWriteAll(SSL *ssl, const void *data, int length);
bool TlsReadExactly(SSL *ssl, void *data, int length);
std::string TlsReadUntilNul(SSL *ssl);
} // namespace nettest
