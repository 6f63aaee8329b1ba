// Behaviour of the TLS socket alone: which server certificates it accepts, verification, handshake
// failures and bounds, bytes held inside the library, the server side through Attach, contexts.
#include "net/SecureSocket.h"
#include "tests/net/NetPeers.h"

#include <gtest/gtest.h>

#include <openssl/ssl.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <fcntl.h>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace nettest;
using Clock = std::chrono::steady_clock;

namespace
{
struct ContextDeleter
{
    void operator()(SSL_CTX *context) const { SSL_CTX_free(context); }
};
using ContextPtr = std::unique_ptr<SSL_CTX, ContextDeleter>;

ContextPtr ServerContext()
{
    const cTestCertificate &c = TestCertificate();
    return ContextPtr(
        SecureSocket::CreateSSLContext(c.CertFile.c_str(), c.KeyFile.c_str(), nullptr, nullptr));
}

// One request each way over a connected socket.
void ExpectExchange(SecureSocket &socket, ServerEnd &server)
{
    ASSERT_EQ(socket.Send("ping", 5), SOCK_SUCCESS);
    EXPECT_EQ(server.RecvUntilNul(), "ping");
    ASSERT_TRUE(server.Send({"pong", 5}));
    char buffer[16];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 10, 5, 0), 5);
    EXPECT_STREQ(buffer, "pong");
}

std::string CertificateDigestHex(eTestCertificate which)
{
    return CertificateSHA256Hex(TestCertificate(which).CertFile);
}

std::string UpperWithColons(const std::string &hex)
{
    std::string text;
    for (std::size_t i = 0; i < hex.size(); ++i)
    {
        if (i > 0 && i % 2 == 0)
            text += ':';
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i])));
    }
    return text;
}

bool IsOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}
} // namespace

TEST(SecureSocket, SelfSignedExpiredAndOtherHostCertificatesAreAccepted)
{
    for (eTestCertificate which :
         {eTestCertificate::SelfSigned, eTestCertificate::Expired, eTestCertificate::OtherHost})
    {
        SCOPED_TRACE(static_cast<int>(which));
        ServerEnd server(true, which);
        SecureSocket socket;
        ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
        ASSERT_TRUE(server.Accepted());
        EXPECT_EQ(socket.GetState(), SOCK_STATE_CONNECTED);
        ExpectExchange(socket, server);
        EXPECT_EQ(socket.VerifyPeer("127.0.0.1", false), 0);
        EXPECT_EQ(socket.VerifyPeer("localhost", true), -1); // not signed by anyone we trust
    }
}

TEST(SecureSocket, VerifyPeerChecksTrustAndName)
{
    ServerEnd server(true);
    ContextPtr trusting(
        SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, TestCertificate().CertFile.c_str()));
    ASSERT_TRUE(trusting);
    SecureSocket socket(trusting.get());
    ASSERT_EQ(socket.Connect("localhost", server.Port()), SOCK_SUCCESS);
    ASSERT_TRUE(server.Accepted());
    EXPECT_EQ(socket.VerifyPeer("LOCALHOST", true), 0);
    EXPECT_EQ(socket.VerifyPeer("other.example.org", true), -1);
    ExpectExchange(socket, server);
}

TEST(SecureSocket, PortWithoutTlsFails)
{
    ServerEnd server(false);
    PeerThread peer(
        [&]
        {
            if (server.Accepted() && server.Send("220 plain text service ready\r\n"))
                server.RecvUntilNul(); // until the client gives up
        });
    SecureSocket socket;
    EXPECT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_ERROR);
    EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
}

TEST(SecureSocket, SilentPortRunsOutTheHandshakeBound)
{
    Listener listener; // accepts in the system's backlog, never answers
    SecureSocket socket;
    socket.SetHandshakeTimeout(0, 200000);
    auto start = Clock::now();
    EXPECT_EQ(socket.Connect("127.0.0.1", listener.Port()), SOCK_ERROR);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
}

TEST(SecureSocket, DecryptedBytesPendingAreDeliveredWithoutWaiting)
{
    // 65,536 bytes travel as four full records; the buffer holds 65,535, so the last byte stays
    // decrypted inside the library while the socket itself has nothing more to read.
    ServerEnd server(true);
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    ASSERT_TRUE(server.Accepted());
    std::string data(65536, 'p');
    data.back() = 'L';
    PeerThread peer([&] { server.Send(data); });
    auto until = Clock::now() + std::chrono::seconds(5);
    while (socket.BufferedCount() < 65535 && Clock::now() < until)
        ASSERT_GT(socket.WaitForData(true, 1, 0), 0);
    peer.Join();
    ASSERT_EQ(socket.BufferedCount(), 65535u);
    EXPECT_EQ(socket.FillBuffer(), 65535); // a full buffer is not a failed read
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_EQ(socket.BytesAvailable(), 1);
    std::vector<char> buffer(65536);
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 65535, 0, 0), 65535);
    auto start = Clock::now();
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 1, 5, 0), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)); // not the 5 s wait on the socket
    EXPECT_EQ(buffer[0], 'L');
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 1, 0, 0), 0);
}

TEST(SecureSocket, AttachDoesTheServerSideOnASharedContext)
{
    ContextPtr context = ServerContext();
    ASSERT_TRUE(context);
    Listener listener;
    const int clients = 4;
    std::atomic<int> served{0}, good{0};
    std::vector<std::unique_ptr<PeerThread>> threads;
    for (int i = 0; i < clients; ++i)
    {
        // Each client socket makes its own context on its own thread while the servers share one.
        threads.push_back(std::make_unique<PeerThread>(
            [&, i]
            {
                SecureSocket client;
                if (client.Connect("127.0.0.1", listener.Port()) != SOCK_SUCCESS)
                    return;
                for (int round = 0; round < 20; ++round)
                {
                    const std::string request = "c" + std::to_string(i) + "r" + std::to_string(round);
                    std::string reply;
                    if (client.Send(request.c_str(), static_cast<std::uint32_t>(request.size() + 1)) !=
                            SOCK_SUCCESS ||
                        client.ReceiveUntilNul(reply, 120, 5, 0) <= 0 || reply != "served:" + request + '\0')
                        return;
                }
                ++good;
            }));
        int fd = listener.Accept();
        ASSERT_GE(fd, 0);
        threads.push_back(std::make_unique<PeerThread>(
            [&, fd]
            {
                SecureSocket server(context.get());
                if (server.Attach(fd, false) != SOCK_SUCCESS)
                    return;
                char buffer[128];
                while (server.ReceiveUntilNul(buffer, 120, 5, 0) > 0)
                {
                    const std::string reply = std::string("served:") + buffer;
                    if (server.Send(reply.c_str(), static_cast<std::uint32_t>(reply.size() + 1)) !=
                        SOCK_SUCCESS)
                        return;
                }
                ++served;
            }));
    }
    threads.clear();
    EXPECT_EQ(good.load(), clients);
    EXPECT_EQ(served.load(), clients);
}

TEST(SecureSocket, AttachHandshakeFailureIsAnError)
{
    ContextPtr context = ServerContext();
    ASSERT_TRUE(context);
    int borrowed[2], owned[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, borrowed), 0);
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, owned), 0);
    ASSERT_TRUE(SendAll(borrowed[1], "GET / HTTP/1.0\r\n\r\n"));
    ASSERT_TRUE(SendAll(owned[1], "GET / HTTP/1.0\r\n\r\n"));
    SecureSocket server(context.get());
    EXPECT_EQ(server.Attach(borrowed[0], true), SOCK_ERROR);
    EXPECT_EQ(server.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_TRUE(IsOpen(borrowed[0])); // borrowed: still open
    EXPECT_EQ(server.Connect("no-such-host.invalid", 443), SOCK_ERROR);
    EXPECT_TRUE(IsOpen(borrowed[0])); // and a failed Connect leaves it to its owner
    {
        // Owned: the object keeps the descriptor until it is closed or destroyed.
        SecureSocket other(context.get());
        EXPECT_EQ(other.Attach(owned[0], false), SOCK_ERROR);
        EXPECT_EQ(other.GetSocket(), owned[0]);
        EXPECT_TRUE(IsOpen(owned[0]));
    }
    EXPECT_FALSE(IsOpen(owned[0]));
    for (int fd : {borrowed[0], borrowed[1], owned[1]})
        close(fd);
}

TEST(SecureSocket, CreateContextReadsFilesAndPassword)
{
    const cTestCertificate &c = TestCertificate();
    const char *key = EncryptedTestKeyFile().c_str();
    const struct
    {
        const char *Cert, *Key, *Password, *Ca;
        bool Made;
    } cases[] = {
        {c.CertFile.c_str(), c.KeyFile.c_str(), nullptr, nullptr, true},
        {c.CertFile.c_str(), key, TestKeyPassword, nullptr, true},
        {c.CertFile.c_str(), key, "wrong", nullptr, false},
        {"/nonexistent.pem", nullptr, nullptr, nullptr, false},
        {c.CertFile.c_str(), "/nonexistent.pem", nullptr, nullptr, false},
        {nullptr, nullptr, nullptr, "/nonexistent.pem", false},
        {nullptr, nullptr, nullptr, nullptr, true},
    };
    for (const auto &t : cases)
        EXPECT_EQ(bool(ContextPtr(SecureSocket::CreateSSLContext(t.Cert, t.Key, t.Password, t.Ca))), t.Made)
            << (t.Cert ? t.Cert : "-") << " " << (t.Key ? t.Key : "-") << " "
            << (t.Password ? t.Password : "-");
}

TEST(SecureSocket, PinnedCertificateMustMatchTheServers)
{
    const std::string own = CertificateDigestHex(eTestCertificate::SelfSigned);
    const std::string other = CertificateDigestHex(eTestCertificate::OtherHost);
    ASSERT_EQ(own.size(), 64u);
    ASSERT_NE(own, other);
    struct
    {
        const char *What;
        std::string Pin;
        bool Connects;
    } cases[] = {
        {"no pin", "", true},
        {"own digest", own, true},
        {"upper case with colons", UpperWithColons(own), true},
        {"another certificate's digest", other, false},
        {"one digit short", own.substr(1), false},
        {"not hex", std::string(64, 'g'), false},
        {"a colon inside a byte", own.substr(0, 1) + ":" + own.substr(1), false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.What);
        ServerEnd server(true, eTestCertificate::SelfSigned);
        SecureSocket socket;
        socket.SetCertificatePin(c.Pin);
        if (c.Connects)
        {
            ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
            ASSERT_TRUE(server.Accepted());
            EXPECT_EQ(socket.PeerMatchesPin(), !c.Pin.empty());
            ExpectExchange(socket, server);
        }
        else
        {
            EXPECT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_ERROR);
            EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
            EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
        }
    }
}
