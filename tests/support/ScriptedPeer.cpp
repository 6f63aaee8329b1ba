#include "tests/support/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <mutex>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr int WaitMs = 10000;

// Four bytes, little-endian.
std::string Le(std::int64_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
            static_cast<char>(u >> 24)};
}

// The server context of each certificate, made once and kept for the whole run.
SSL_CTX *ServerContext(eTestCertificate which)
{
    static std::mutex mutex;
    static SSL_CTX *contexts[3] = {};
    std::lock_guard<std::mutex> lock(mutex);
    SSL_CTX *&context = contexts[static_cast<int>(which)];
    if (context == nullptr)
        context = NewTestServerContext(which);
    return context;
}

// Runs a TLS call with SIGPIPE held back and dropped: the client may have gone already, and the
// signal must stay visible only to the client code under test.
template <class tCall> int WithoutSigpipe(tCall call)
{
    sigset_t pipe, old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const int result = call();
    timespec zero{0, 0};
    sigtimedwait(&pipe, nullptr, &zero);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return result;
}
} // namespace

std::string Frame(int code, int arg, std::string_view body)
{
    return Le(static_cast<std::int64_t>(body.size()) + 1) + Le(code) + Le(arg) + std::string(body) + '\0';
}

std::string FileHeader(std::int32_t size, std::int32_t date)
{
    return Le(size) + Le(date);
}

cScriptedPeer::cScriptedPeer(bool tls, int port, eTestCertificate certificate, int backlog)
    : Tls(tls), Certificate(certificate)
{
    ListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(ListenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    Listening = ::bind(ListenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 &&
                ::listen(ListenFd, backlog) == 0;
    if (!Listening && port == 0)
        ADD_FAILURE() << "peer cannot listen";
    socklen_t len = sizeof addr;
    ::getsockname(ListenFd, reinterpret_cast<sockaddr *>(&addr), &len);
    ListenPort = ntohs(addr.sin_port);
    if (Tls)
        ServerContext(Certificate);
}

cScriptedPeer::~cScriptedPeer()
{
    Join();
    CloseLink();
    if (ListenFd >= 0)
        ::close(ListenFd);
}

void cScriptedPeer::Run(std::function<void(cScriptedPeer &)> script)
{
    Thread = std::thread(
        [this, script = std::move(script)]
        {
            script(*this);
            CloseLink();
        });
}

void cScriptedPeer::Join()
{
    if (Thread.joinable())
        Thread.join();
}

void cScriptedPeer::StartAccept(bool handshake)
{
    Thread = std::thread([this, handshake] { Accept(handshake); });
}

bool cScriptedPeer::Accepted()
{
    Join();
    return LinkUp;
}

bool cScriptedPeer::Accept(bool handshake)
{
    // The current link stays open (and silent) until the next one comes.
    pollfd p{ListenFd, POLLIN, 0};
    const bool came = ::poll(&p, 1, WaitMs) == 1;
    CloseLink();
    if (!came)
    {
        ADD_FAILURE() << "peer: no connection came";
        return false;
    }
    Fd = ::accept4(ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (Fd < 0)
        return false;
    timeval tv{WaitMs / 1000, 0};
    ::setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(Fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    ++Links;
    if (Tls && handshake)
    {
        Ssl = SSL_new(ServerContext(Certificate));
        SSL_set_fd(Ssl, Fd);
        if (WithoutSigpipe([&] { return SSL_accept(Ssl); }) != 1)
        {
            ADD_FAILURE() << "peer: TLS handshake failed";
            ERR_clear_error();
            return false;
        }
    }
    LinkUp = true;
    return true;
}

std::string cScriptedPeer::Read(std::size_t n)
{
    std::string out;
    char buffer[65536];
    while (out.size() < n && Fd >= 0)
    {
        const std::size_t want = std::min(sizeof buffer, n - out.size());
        long got =
            Ssl != nullptr ? SSL_read(Ssl, buffer, static_cast<int>(want)) : ::recv(Fd, buffer, want, 0);
        if (got <= 0)
            break;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    if (out.size() < n)
        ADD_FAILURE() << "peer: expected " << n << " bytes, got " << out.size();
    return out;
}

std::string cScriptedPeer::ReadFrame()
{
    std::string header = Read(12);
    if (header.size() < 12)
        return header;
    std::uint32_t length = 0;
    for (int i = 3; i >= 0; --i)
        length = (length << 8) | static_cast<unsigned char>(header[i]);
    if (length > 1000000)
    {
        ADD_FAILURE() << "peer: frame length " << length;
        return header;
    }
    return header + Read(length);
}

void cScriptedPeer::ExpectFrame(int code, int arg, std::string_view body)
{
    EXPECT_EQ(ReadFrame(), Frame(code, arg, body));
}

std::string cScriptedPeer::ReadUntilNul()
{
    std::string text;
    for (std::string c = Read(1); c.size() == 1 && c[0] != '\0'; c = Read(1))
        text += c;
    return text;
}

std::string cScriptedPeer::ReadRest()
{
    std::string out;
    char buffer[4096];
    for (;;)
    {
        if (Fd < 0)
            break;
        const long got =
            Ssl != nullptr ? SSL_read(Ssl, buffer, sizeof buffer) : ::recv(Fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        out.append(buffer, static_cast<std::size_t>(got));
    }
    ERR_clear_error();
    return out;
}

bool cScriptedPeer::Write(std::string_view bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size() && Fd >= 0)
    {
        const std::size_t left = bytes.size() - sent;
        long n =
            Ssl != nullptr
                ? WithoutSigpipe([&] { return SSL_write(Ssl, bytes.data() + sent, static_cast<int>(left)); })
                : ::send(Fd, bytes.data() + sent, left, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return sent == bytes.size();
}

void cScriptedPeer::Reply(std::string_view text)
{
    std::string bytes(text);
    bytes.push_back('\0');
    EXPECT_TRUE(Write(bytes)) << "peer: write failed";
}

void cScriptedPeer::Trickle(std::string_view bytes, int pauseMs)
{
    for (char c : bytes)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        if (!Write(std::string_view(&c, 1)))
            return;
    }
}

void cScriptedPeer::CloseLink()
{
    if (Ssl != nullptr)
    {
        if (LinkUp)
            WithoutSigpipe([&] { return SSL_shutdown(Ssl); });
        SSL_free(Ssl);
        Ssl = nullptr;
        ERR_clear_error();
    }
    if (Fd >= 0)
        ::close(Fd);
    Fd = -1;
    LinkUp = false;
}

void cScriptedPeer::ResetLink()
{
    linger l{1, 0};
    ::setsockopt(Fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    LinkUp = false; // no close notification
    CloseLink();
}

void ServeExchanges(cScriptedPeer &peer, std::vector<cExchange> exchanges)
{
    peer.Run(
        [exchanges = std::move(exchanges)](cScriptedPeer &p)
        {
            if (!p.Accept())
                return;
            for (const cExchange &e : exchanges)
            {
                p.ExpectFrame(e.Code, e.Arg, e.Body);
                p.Write(e.Before);
                p.Reply(e.Reply);
            }
        });
}
