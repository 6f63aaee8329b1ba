#include "NetPeers.h"

#include "net/SecureSocket.h"

#include <gtest/gtest.h>

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace nettest;
using Clock = std::chrono::steady_clock;

namespace
{
// A server that answers each NUL-terminated request with "echo:" and the request, until the
// client closes.
void EchoScript(SSL *ssl, int)
{
    for (;;)
    {
        std::string request = TlsReadUntilNul(ssl);
        if (request.empty())
            return;
        std::string reply = "echo:" + request;
        if (!TlsWriteAll(ssl, reply.c_str(), static_cast<int>(reply.size() + 1)))
            return;
    }
}

void ExpectEcho(SecureSocket &socket)
{
    ASSERT_EQ(socket.Send("ping", 5), SOCK_SUCCESS);
    char buffer[64];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 60, 5, 0), 10);
    EXPECT_STREQ(buffer, "echo:ping");
}

struct ContextDeleter
{
    void operator()(SSL_CTX *context) const { SSL_CTX_free(context); }
};
using ContextPtr = std::unique_ptr<SSL_CTX, ContextDeleter>;
} // namespace

class SecureSocketCertificates : public ::testing::TestWithParam<int>
{
};

TEST_P(SecureSocketCertificates, AnyServerCertificateIsAccepted)
{
    const TestCertificate *certificates[] = {&GoodCertificate(), &ExpiredCertificate(),
                                             &OtherHostCertificate()};
    TlsServerPeer server(*certificates[GetParam()], EchoScript);
    SecureSocket socket;
    EXPECT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_CONNECTED);
    ExpectEcho(socket);
    EXPECT_EQ(socket.VerifyPeer("127.0.0.1", false), 0);
    EXPECT_EQ(socket.VerifyPeer("localhost", true), -1); // not signed by anyone we trust
    socket.Close();
}

INSTANTIATE_TEST_SUITE_P(SelfSignedExpiredOtherHost, SecureSocketCertificates, ::testing::Values(0, 1, 2));

TEST(SecureSocket, VerifyPeerChecksTrustAndName)
{
    TlsServerPeer server(GoodCertificate(), EchoScript);
    ContextPtr trusting(
        SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, GoodCertificate().CertFile.c_str()));
    ASSERT_TRUE(trusting);
    SecureSocket socket(trusting.get());
    ASSERT_EQ(socket.Connect("localhost", server.Port()), SOCK_SUCCESS);
    EXPECT_EQ(socket.VerifyPeer("LOCALHOST", true), 0);
    EXPECT_EQ(socket.VerifyPeer("other.example.org", true), -1);
    ExpectEcho(socket);
    socket.Close();
}

TEST(SecureSocket, PortWithoutTlsFails)
{
    Listener listener;
    PeerThread peer(
        [&]
        {
            int fd = listener.Accept();
            if (fd < 0)
                return;
            SendAll(fd, "220 plain text service ready\r\n");
            char buffer[512];
            recv(fd, buffer, sizeof buffer, 0);
            close(fd);
        });
    SecureSocket socket;
    EXPECT_EQ(socket.Connect("127.0.0.1", listener.Port()), SOCK_ERROR);
    EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
}

TEST(SecureSocket, SilentPortRunsOutTheHandshakeBound)
{
    Listener listener;
    SecureSocket socket;
    socket.SetHandshakeTimeout(0, 200000);
    auto start = Clock::now();
    EXPECT_EQ(socket.Connect("127.0.0.1", listener.Port()), SOCK_ERROR);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    EXPECT_NE(socket.GetState(), SOCK_STATE_CONNECTED);
}

TEST(SecureSocket, ConnectFailures)
{
    SecureSocket socket;
    EXPECT_EQ(socket.Connect("127.0.0.1", ClosedPort()), SOCK_ERROR);
    EXPECT_EQ(socket.Connect("no-such-host.invalid", 443), SOCK_ERROR);
    EXPECT_EQ(socket.Connect(std::string(200, 'h').c_str(), 443), SOCK_ERROR);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST(SecureSocket, NotConnectedAnswers)
{
    SecureSocket socket;
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
    EXPECT_EQ(socket.Send("x"), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.Send("x", 1), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.BytesAvailable(), 0);
    EXPECT_EQ(socket.FillBuffer(), 0);
    char buffer[8];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 4, 0, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.SendFile("/etc/hostname"), SOCK_ERROR);
    EXPECT_EQ(socket.SendFile(0), SOCK_ERROR);
    EXPECT_EQ(socket.Attach(INVALID_SOCKET, false), SOCK_ERROR);
    EXPECT_FALSE(socket.IsConnected());
    socket.Close();
    socket.Close();
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
}

TEST(SecureSocket, CloseNotifyDuringWait)
{
    TlsServerPeer server(GoodCertificate(),
                         [](SSL *ssl, int)
                         {
                             TlsWriteAll(ssl, "partial", 7);
                             std::this_thread::sleep_for(std::chrono::milliseconds(100));
                             SSL_shutdown(ssl);
                             char c;
                             SSL_read(ssl, &c, 1); // until the client's own notification or close
                         });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    char buffer[32];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 20, -1, 0), SOCK_DISCONNECTED);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
    socket.Close();
}

TEST(SecureSocket, DecryptedBytesPendingAreDeliveredWithoutWaiting)
{
    // 65,536 bytes travel as four full records; the buffer holds 65,535, so the last byte stays
    // decrypted inside the library while the socket itself has nothing more to read.
    std::atomic<bool> done{false};
    TlsServerPeer server(GoodCertificate(),
                         [&](SSL *ssl, int)
                         {
                             std::string data(65536, 'p');
                             data[65535] = 'L';
                             TlsWriteAll(ssl, data.data(), static_cast<int>(data.size()));
                             while (!done)
                                 std::this_thread::sleep_for(std::chrono::milliseconds(5));
                         });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    auto until = Clock::now() + std::chrono::seconds(5);
    while (socket.BufferedCount() < 65535 && Clock::now() < until)
        ASSERT_GT(socket.WaitForData(true, 1, 0), 0);
    ASSERT_EQ(socket.BufferedCount(), 65535u);
    EXPECT_EQ(socket.FillBuffer(), 65535); // a full buffer is not a failed read
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_EQ(socket.BytesAvailable(), 1);
    std::vector<char> buffer(65536);
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 65535, 0, 0), 65535);
    auto start = Clock::now();
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 1, 5, 0), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(buffer[0], 'L');
    EXPECT_EQ(socket.ReceiveBytes(buffer.data(), 1, 0, 0), 0);
    done = true;
}

TEST(SecureSocket, QuietLinkPollsAndDrainLikeThePlainSocket)
{
    TlsServerPeer server(GoodCertificate(), EchoScript);
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    char buffer[100];
    // Session tickets may arrive after the handshake: they must not block a zero wait.
    auto start = Clock::now();
    EXPECT_EQ(socket.ReceiveBytes(buffer, 100, 0, 1), 0);
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 60, 0, 0), SOCK_TIMEOUT);
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 60, 0, 100000), SOCK_TIMEOUT);
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    ExpectEcho(socket);
}

TEST(SecureSocket, LongReplyInPieces)
{
    const std::size_t size = 120000;
    TlsServerPeer server(GoodCertificate(),
                         [&](SSL *ssl, int)
                         {
                             TlsReadUntilNul(ssl);
                             std::string reply(size, 'r');
                             TlsWriteAll(ssl, reply.c_str(), static_cast<int>(size + 1));
                             TlsReadUntilNul(ssl);
                         });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    ASSERT_EQ(socket.Send("go", 3), SOCK_SUCCESS);
    std::vector<char> buffer(50001);
    std::string reply;
    int rc;
    while ((rc = socket.ReceiveUntilNul(buffer.data(), 50000, 5, 0)) == 0)
        reply.append(buffer.data(), 50000);
    ASSERT_GT(rc, 0);
    reply.append(buffer.data());
    EXPECT_EQ(reply, std::string(size, 'r'));
    socket.Close();
}

TEST(SecureSocket, ReceiveBytesInLargePiecesKeepsOrder)
{
    const int size = 300000;
    std::string data(size, 0);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>(i % 253);
    TlsServerPeer server(GoodCertificate(),
                         [&](SSL *ssl, int)
                         {
                             TlsWriteAll(ssl, data.data(), size);
                             TlsReadUntilNul(ssl);
                         });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    std::string got(size, 0);
    // A small piece goes through the buffer (which then holds the rest of a record), the large
    // ones empty the buffer first and then read straight into the destination.
    int at = 0;
    for (int piece : {10, 50000, 50000, 7, 100000, 99983})
    {
        ASSERT_EQ(socket.ReceiveBytes(got.data() + at, piece, 5, 0), piece);
        at += piece;
    }
    EXPECT_EQ(at, size);
    EXPECT_EQ(got, data);
    EXPECT_EQ(socket.ReceiveBytes(got.data(), 20000, 0, 1000), 0);
    EXPECT_EQ(socket.Send("", 1), SOCK_SUCCESS);
}

TEST(SecureSocket, SendToResetPeerFailsWithoutSigpipe)
{
    TlsServerPeer server(GoodCertificate(),
                         [](SSL *, int fd)
                         {
                             linger l{1, 0};
                             setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
                             shutdown(fd, SHUT_RDWR);
                         });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    server.Join();
    ASSERT_TRUE(WaitReadable(socket.GetSocket(), 5000));
    std::string data(5000, 'z');
    int results[3] = {socket.Send(data), socket.Send(data), socket.Send(data)};
    EXPECT_EQ(results[2], SOCK_ERROR);
    char buffer[8];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
}

namespace
{
// The server side through Attach, on a context shared by every connection.
void ServeWithAttach(SSL_CTX *context, int fd, std::atomic<int> &served)
{
    SecureSocket server(context);
    if (server.Attach(fd, false) != SOCK_SUCCESS)
        return;
    char buffer[128];
    while (server.ReceiveUntilNul(buffer, 120, 5, 0) > 0)
    {
        std::string reply = std::string("served:") + buffer;
        if (server.Send(reply.c_str(), static_cast<std::uint32_t>(reply.size() + 1)) != SOCK_SUCCESS)
            return;
    }
    ++served;
}
} // namespace

TEST(SecureSocket, AttachDoesTheServerSideOnASharedContext)
{
    ContextPtr context(SecureSocket::CreateSSLContext(GoodCertificate().CertFile.c_str(),
                                                      GoodCertificate().KeyFile.c_str(), nullptr, nullptr));
    ASSERT_TRUE(context);
    Listener listener;
    const int clients = 4;
    std::atomic<int> served{0};
    std::vector<std::unique_ptr<PeerThread>> servers;
    PeerThread acceptor(
        [&]
        {
            for (int i = 0; i < clients; ++i)
            {
                int fd = listener.Accept();
                if (fd < 0)
                    return;
                servers.push_back(
                    std::make_unique<PeerThread>([&, fd] { ServeWithAttach(context.get(), fd, served); }));
            }
        });
    std::vector<std::thread> threads;
    std::atomic<int> good{0};
    for (int i = 0; i < clients; ++i)
        threads.emplace_back(
            [&, i]
            {
                SecureSocket client;
                if (client.Connect("127.0.0.1", listener.Port()) != SOCK_SUCCESS)
                    return;
                for (int round = 0; round < 20; ++round)
                {
                    char request[32];
                    std::snprintf(request, sizeof request, "c%dr%d", i, round);
                    char buffer[128];
                    if (client.Send(request, static_cast<std::uint32_t>(std::strlen(request) + 1)) !=
                            SOCK_SUCCESS ||
                        client.ReceiveUntilNul(buffer, 120, 5, 0) <= 0 ||
                        std::strncmp(buffer, "served:", 7) != 0 || std::strcmp(buffer + 7, request) != 0)
                        return;
                }
                ++good;
            });
    for (auto &t : threads)
        t.join();
    acceptor.Join();
    servers.clear();
    EXPECT_EQ(good.load(), clients);
    EXPECT_EQ(served.load(), clients);
}

TEST(SecureSocket, AttachHandshakeFailureIsAnError)
{
    ContextPtr context(SecureSocket::CreateSSLContext(GoodCertificate().CertFile.c_str(),
                                                      GoodCertificate().KeyFile.c_str(), nullptr, nullptr));
    ASSERT_TRUE(context);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_TRUE(SendAll(pair[1], "GET / HTTP/1.0\r\n\r\n"));
    SecureSocket server(context.get());
    EXPECT_EQ(server.Attach(pair[0], true), SOCK_ERROR);
    EXPECT_EQ(server.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_NE(fcntl(pair[0], F_GETFD), -1); // borrowed: still open
    EXPECT_EQ(server.Connect("no-such-host.invalid", 443), SOCK_ERROR);
    EXPECT_NE(fcntl(pair[0], F_GETFD), -1); // and a failed Connect leaves it to its owner
    close(pair[0]);
    // Owned: the object keeps the descriptor until it is closed or destroyed.
    int owned[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, owned), 0);
    ASSERT_TRUE(SendAll(owned[1], "GET / HTTP/1.0\r\n\r\n"));
    {
        SecureSocket other(context.get());
        EXPECT_EQ(other.Attach(owned[0], false), SOCK_ERROR);
        EXPECT_EQ(other.GetSocket(), owned[0]);
        EXPECT_NE(fcntl(owned[0], F_GETFD), -1);
    }
    EXPECT_EQ(fcntl(owned[0], F_GETFD), -1);
    close(owned[1]);
    close(pair[1]);
}

namespace
{
std::string PatternFile(const std::string &name, std::size_t size)
{
    std::string path = TempFolder() + "/" + name;
    std::string data(size, 0);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i % 251);
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
    return path;
}
} // namespace

TEST(SecureSocket, SendFileOfRealFile)
{
    const std::size_t size = 600000; // more than two chunks
    std::string path = PatternFile("tls-send.bin", size);
    std::string got(2 * size, 0);
    bool ok = false;
    TlsServerPeer server(GoodCertificate(),
                         [&](SSL *ssl, int) { ok = TlsReadExactly(ssl, got.data(), 2 * size); });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    EXPECT_EQ(socket.SendFile(path.c_str()), SOCK_SUCCESS);
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(socket.SendFile(fd), SOCK_SUCCESS);
    close(fd);
    EXPECT_EQ(socket.SendFile("/nonexistent/file"), SOCK_ERROR);
    EXPECT_EQ(socket.SendFile(-1), SOCK_ERROR);
    server.Join();
    ASSERT_TRUE(ok);
    std::ifstream in(path, std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(got.substr(0, size), data);
    EXPECT_EQ(got.substr(size), data);
}

TEST(SecureSocket, SendFileOfFileShorterThanItsSizeFails)
{
    // A sysfs file says it holds 4,096 bytes and yields a few.
    const char *path = "/sys/class/net/lo/mtu";
    struct stat info;
    if (stat(path, &info) != 0 || info.st_size != 4096)
        GTEST_SKIP() << "no sysfs file to stand for a short file";
    std::string got;
    TlsServerPeer server(GoodCertificate(), [&](SSL *ssl, int) { got = TlsReadUntilNul(ssl); });
    SecureSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", server.Port()), SOCK_SUCCESS);
    EXPECT_EQ(socket.SendFile(path), SOCK_ERROR);
    EXPECT_EQ(socket.Send("!", 2), SOCK_SUCCESS);
    server.Join();
    EXPECT_EQ(got.back(), '!');
    EXPECT_GT(got.size(), 1u);
}

TEST(SecureSocket, CreateContextReadsFilesAndPassword)
{
    const TestCertificate &c = GoodCertificate();
    ContextPtr plain(SecureSocket::CreateSSLContext(c.CertFile.c_str(), c.KeyFile.c_str(), nullptr, nullptr));
    EXPECT_TRUE(plain);
    ContextPtr withPassword(
        SecureSocket::CreateSSLContext(c.CertFile.c_str(), EncryptedKeyFile().c_str(), "sesame", nullptr));
    EXPECT_TRUE(withPassword);
    EXPECT_FALSE(ContextPtr(
        SecureSocket::CreateSSLContext(c.CertFile.c_str(), EncryptedKeyFile().c_str(), "wrong", nullptr)));
    EXPECT_FALSE(ContextPtr(SecureSocket::CreateSSLContext("/nonexistent.pem", nullptr, nullptr, nullptr)));
    EXPECT_FALSE(
        ContextPtr(SecureSocket::CreateSSLContext(c.CertFile.c_str(), "/nonexistent.pem", nullptr, nullptr)));
    EXPECT_FALSE(ContextPtr(SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, "/nonexistent.pem")));
    ContextPtr client(SecureSocket::CreateSSLContext(nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(client);
}

TEST(SecureSocket, SocketsOnManyThreads)
{
    // Construction (with its own context), connection and destruction from several threads at once.
    TlsServerPeer a(GoodCertificate(), EchoScript), b(GoodCertificate(), EchoScript);
    std::atomic<int> good{0};
    auto run = [&good](int port)
    {
        SecureSocket socket;
        char buffer[64];
        if (socket.Connect("127.0.0.1", port) == SOCK_SUCCESS && socket.Send("ping", 5) == SOCK_SUCCESS &&
            socket.ReceiveUntilNul(buffer, 60, 5, 0) == 10)
            ++good;
    };
    std::thread t1(run, a.Port()), t2(run, b.Port());
    t1.join();
    t2.join();
    EXPECT_EQ(good.load(), 2);
    // A socket made after the others are gone starts without trouble.
    SecureSocket later;
    EXPECT_EQ(later.GetState(), SOCK_STATE_DISCONNECTED);
}
