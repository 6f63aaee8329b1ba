#include "tests/dataclient/ScriptedPeer.h"
#include "tests/support/TestCertificates.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
constexpr int WaitMs = 10000;

void PutLe(std::string &out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The server context of every TLS peer, with the run-time self-signed certificate.
SSL_CTX *ServerContext()
{
    static std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(NewTestServerContext(), SSL_CTX_free);
    return context.get();
}
} // namespace

std::string Frame(int code, int arg, std::string_view body)
{
    std::string out;
    PutLe(out, static_cast<std::uint32_t>(body.size() + 1));
    PutLe(out, static_cast<std::uint32_t>(code));
    PutLe(out, static_cast<std::uint32_t>(arg));
    out.append(body);
    out.push_back('\0');
    return out;
}

cScriptedPeer::cScriptedPeer(bool tls, int port) : Tls(tls)
{
    ListenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(ListenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    Listening =
        ::bind(ListenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && ::listen(ListenFd, 8) == 0;
    if (!Listening && port == 0)
        ADD_FAILURE() << "peer cannot listen";
    socklen_t len = sizeof addr;
    ::getsockname(ListenFd, reinterpret_cast<sockaddr *>(&addr), &len);
    ListenPort = ntohs(addr.sin_port);
    if (Tls)
        ServerContext();
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

bool cScriptedPeer::Accept()
{
    CloseLink();
    pollfd p{ListenFd, POLLIN, 0};
    if (::poll(&p, 1, WaitMs) != 1)
    {
        ADD_FAILURE() << "peer: no connection came";
        return false;
    }
    LinkFd = ::accept(ListenFd, nullptr, nullptr);
    if (LinkFd < 0)
        return false;
    timeval tv{WaitMs / 1000, 0};
    ::setsockopt(LinkFd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(LinkFd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    ++Accepted;
    if (Tls)
    {
        Ssl = SSL_new(ServerContext());
        SSL_set_fd(Ssl, LinkFd);
        if (SSL_accept(Ssl) != 1)
        {
            ADD_FAILURE() << "peer: TLS handshake failed";
            return false;
        }
    }
    return true;
}

std::string cScriptedPeer::Read(std::size_t n)
{
    std::string out;
    char buffer[65536];
    while (out.size() < n && LinkFd >= 0)
    {
        const std::size_t want = std::min(sizeof buffer, n - out.size());
        long got = Tls ? SSL_read(Ssl, buffer, static_cast<int>(want)) : ::recv(LinkFd, buffer, want, 0);
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

void cScriptedPeer::Write(std::string_view bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size() && LinkFd >= 0)
    {
        long n = Tls ? SSL_write(Ssl, bytes.data() + sent, static_cast<int>(bytes.size() - sent))
                     : ::send(LinkFd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
        {
            ADD_FAILURE() << "peer: write failed";
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

void cScriptedPeer::Reply(std::string_view text)
{
    std::string bytes(text);
    bytes.push_back('\0');
    Write(bytes);
}

void cScriptedPeer::CloseLink()
{
    if (Ssl != nullptr)
    {
        SSL_free(Ssl);
        Ssl = nullptr;
    }
    if (LinkFd >= 0)
    {
        ::close(LinkFd);
        LinkFd = -1;
    }
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
                p.Reply(e.Reply);
            }
        });
}
