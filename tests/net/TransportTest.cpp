// Receive, send and close behaviour that the plain and the TLS socket share, each case run over
// both transports against a loopback server end.
#include "net/SecureSocket.h"
#include "tests/net/NetPeers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace nettest;
using Clock = std::chrono::steady_clock;

namespace
{
double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class Transport : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Client->Connect("127.0.0.1", Server.Port()), SOCK_SUCCESS);
        ASSERT_TRUE(Server.Accepted());
    }

    bool BufferUntil(std::uint32_t count) { return nettest::BufferUntil(*Client, count); }

    const bool Tls = GetParam();
    ServerEnd Server{Tls};
    std::unique_ptr<PlainSocket> Client{Tls ? new SecureSocket : new PlainSocket};
};
} // namespace

INSTANTIATE_TEST_SUITE_P(PlainAndTls, Transport, testing::Bool(),
                         [](const auto &info) { return info.param ? "Tls" : "Plain"; });

TEST_P(Transport, TwoRepliesInOneSegment)
{
    ASSERT_TRUE(Server.Send({"one\0second", 11}));
    char buffer[64];
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 50, -1, 0), 4);
    EXPECT_STREQ(buffer, "one");
    // The second reply is already buffered: a zero wait is enough.
    EXPECT_EQ(Client->BufferedCount(), 7u);
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 50, 0, 0), 7);
    EXPECT_STREQ(buffer, "second");
    EXPECT_EQ(Client->BufferedCount(), 0u);
}

TEST_P(Transport, ReplyLongerThanMaxContinuesInNextCall)
{
    ASSERT_TRUE(Server.Send("abcdefgh")); // the rest and the NUL come later
    ASSERT_TRUE(BufferUntil(8));
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 6), std::string("abcd\0X", 6));
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_STREQ(buffer, "efgh");
    ASSERT_TRUE(Server.Send({"ij", 3}));
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, -1, 0), 3);
    EXPECT_STREQ(buffer, "ij");
}

TEST_P(Transport, TerminatorJustPastMaxLeavesNoNul)
{
    ASSERT_TRUE(Server.Send({"abcd", 5}));
    ASSERT_TRUE(BufferUntil(5));
    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 5), "abcdX");
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, -1, 0), 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST_P(Transport, QuietLinkPollsTimeOutAndDrainKeepsTheLink)
{
    // TLS session tickets may arrive after the handshake: they must not block a zero wait.
    char buffer[100];
    auto start = Clock::now();
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 10, 0, 0), SOCK_TIMEOUT);
    EXPECT_EQ(Client->ReceiveBytes(buffer, 100, 0, 1), 0); // the drain before a request
    EXPECT_LT(MillisecondsSince(start), 1000.0);
    EXPECT_EQ(Client->GetState(), SOCK_STATE_CONNECTED);
    EXPECT_TRUE(Client->IsConnected());
    start = Clock::now();
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 10, 0, 200000), SOCK_TIMEOUT);
    EXPECT_GE(MillisecondsSince(start), 190.0);
    EXPECT_LT(MillisecondsSince(start), 3000.0);
    // The drain discards what the server sent unasked, then stops at once.
    ASSERT_TRUE(Server.Send(std::string(250, 'w')));
    ASSERT_TRUE(BufferUntil(1));
    int total = 0, n;
    auto until = Clock::now() + std::chrono::seconds(5);
    while (total < 250 && Clock::now() < until)
        while ((n = Client->ReceiveBytes(buffer, 100, 0, 1)) > 0)
            total += n;
    EXPECT_EQ(Client->ReceiveBytes(buffer, 100, 0, 1), 0);
    EXPECT_EQ(total, 250);
    EXPECT_TRUE(Client->IsConnected());
}

TEST_P(Transport, PeerClosingDuringWaitDropsPartialBytes)
{
    PeerThread peer(
        [&]
        {
            Server.Send("partial");
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // lets the client wait first
            Server.Close(); // a TLS end sends its close notification
        });
    char buffer[32];
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 20, -1, 0), SOCK_DISCONNECTED);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(Client->IsConnected());
    EXPECT_EQ(Client->GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_EQ(Client->GetSocket(), INVALID_SOCKET);
    EXPECT_EQ(Client->BufferedCount(), 0u);
}

TEST_P(Transport, PeerResetIsLostConnectionAndRaisesNoSigpipe)
{
    const std::string path = PatternFile(300000);
    Server.Reset();
    ASSERT_TRUE(WaitReadable(Client->GetSocket(), 5000));
    // The first send meets the reset, the next ones a broken pipe; the program goes on.
    std::string data(5000, 'z');
    int results[3] = {Client->Send(data), Client->Send(data), Client->Send(data)};
    if (!Tls) // a TLS write may still land in the system's buffer first
    {
        EXPECT_EQ(results[0], SOCK_ERROR);
    }
    EXPECT_EQ(results[2], SOCK_ERROR);
    EXPECT_EQ(Client->SendFile(path.c_str()), SOCK_ERROR);
    char buffer[8];
    EXPECT_EQ(Client->ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(Client->GetState(), SOCK_STATE_DISCONNECTED);
}

TEST_P(Transport, LargeSendArrivesWhole)
{
    std::string data(2 * 1024 * 1024, 0);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    std::string got(data.size(), 0);
    bool ok = false;
    PeerThread peer([&] { ok = Server.Recv(got.data(), got.size()); });
    EXPECT_EQ(Client->Send(data), SOCK_SUCCESS);
    peer.Join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(got == data);
}

TEST_P(Transport, ReceiveBytesInLargePiecesKeepsOrder)
{
    const int size = 300000;
    std::string data(size, 0);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>(i % 253);
    PeerThread peer([&] { Server.Send(data); });
    std::string got(size, 0);
    // A small piece goes through the buffer (which may then hold the rest of a record); the large
    // ones empty the buffer first and then read straight into the destination.
    int at = 0;
    for (int piece : {10, 50000, 50000, 7, 100000, 99983})
    {
        ASSERT_EQ(Client->ReceiveBytes(got.data() + at, piece, 5, 0), piece);
        at += piece;
    }
    EXPECT_TRUE(got == data);
    EXPECT_EQ(Client->ReceiveBytes(got.data(), 20000, 0, 1000), 0);
    peer.Join();
    Server.Close();
    // The peer's close ends a large piece early with what came.
    EXPECT_EQ(Client->ReceiveBytes(got.data(), 20000, 5, 0), 0);
    EXPECT_EQ(Client->GetState(), SOCK_STATE_DISCONNECTED);
}

TEST_P(Transport, SendFileOfRealFile)
{
    const std::size_t size = 700000; // more than two chunks of the TLS send
    const std::string path = PatternFile(size);
    std::string got(2 * size, 0);
    bool ok = false;
    PeerThread peer([&] { ok = Server.Recv(got.data(), got.size()); });
    EXPECT_EQ(Client->SendFile(path.c_str()), SOCK_SUCCESS);
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    lseek(fd, 1000, SEEK_SET); // the whole file goes, whatever the position
    EXPECT_EQ(Client->SendFile(fd), SOCK_SUCCESS);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 1000);
    close(fd);
    EXPECT_EQ(Client->SendFile("/nonexistent/file"), SOCK_ERROR);
    EXPECT_EQ(Client->SendFile(-1), SOCK_ERROR);
    peer.Join();
    ASSERT_TRUE(ok);
    const std::string data = ReadFile(path);
    EXPECT_TRUE(got.substr(0, size) == data);
    EXPECT_TRUE(got.substr(size) == data);
}

TEST_P(Transport, SendFileOfFileShorterThanItsSizeFails)
{
    // A sysfs file says it holds 4,096 bytes and yields a few: the send ends instead of repeating.
    const char *path = "/sys/class/net/lo/mtu";
    struct stat info;
    if (stat(path, &info) != 0 || info.st_size != 4096)
        GTEST_SKIP() << "no sysfs file to stand for a short file";
    EXPECT_EQ(Client->SendFile(path), SOCK_ERROR);
    EXPECT_EQ(Client->GetState(), SOCK_STATE_CONNECTED);
    EXPECT_EQ(Client->Send("!", 2), SOCK_SUCCESS);
    const std::string got = Server.RecvUntilNul();
    EXPECT_GT(got.size(), 1u);
    EXPECT_EQ(got.back(), '!');
}

TEST(Transport, ConnectFailures)
{
    for (bool tls : {false, true})
    {
        SCOPED_TRACE(tls ? "tls" : "plain");
        std::unique_ptr<PlainSocket> socket(tls ? new SecureSocket : new PlainSocket);
        const int failed = tls ? SOCK_ERROR : SOCK_TIMEOUT;
        Listener listener;
        const std::string longHost(128, 'a');
        for (const char *host :
             {"no-such-host.invalid", longHost.c_str(), static_cast<const char *>(nullptr)})
            EXPECT_EQ(socket->Connect(host, listener.Port()), failed) << (host ? host : "null");
        EXPECT_EQ(socket->Connect("127.0.0.1", ClosedPort()), failed);
        EXPECT_EQ(socket->GetState(), SOCK_STATE_DISCONNECTED);
        EXPECT_EQ(socket->GetSocket(), INVALID_SOCKET);
    }
    Listener listener;
    PlainSocket byName;
    EXPECT_EQ(byName.Connect("localhost", listener.Port()), SOCK_SUCCESS);
}

TEST(Transport, NotConnectedAnswers)
{
    PlainSocket plain;
    SecureSocket tls;
    char buffer[8];
    for (PlainSocket *socket : {&plain, static_cast<PlainSocket *>(&tls)})
    {
        EXPECT_EQ(socket->GetSocket(), INVALID_SOCKET);
        EXPECT_EQ(socket->GetState(), SOCK_STATE_DISCONNECTED);
        EXPECT_FALSE(socket->IsConnected());
        EXPECT_EQ(socket->ReceiveUntilNul(buffer, 4, 0, 0), SOCK_DISCONNECTED);
        EXPECT_EQ(socket->Send("x"), SOCK_DISCONNECTED); // a TLS send answers as the plain one
        EXPECT_EQ(socket->Send("x", 1), SOCK_DISCONNECTED);
        EXPECT_EQ(socket->Attach(INVALID_SOCKET, false), SOCK_ERROR);
        socket->Close();
        socket->Close();
        EXPECT_EQ(socket->GetSocket(), INVALID_SOCKET);
    }
    EXPECT_EQ(plain.BytesAvailable(), SOCK_ERROR);
    EXPECT_EQ(plain.ReceiveUntilChar(buffer, 4, 'x', 0, 0), SOCK_ERROR);
    EXPECT_EQ(plain.ReceiveBytes(buffer, 4, 0, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(plain.SendFile("/etc/hostname"), SOCK_DISCONNECTED);
    EXPECT_EQ(plain.SendFile(0), SOCK_ERROR);
    EXPECT_EQ(tls.BytesAvailable(), 0);
    EXPECT_EQ(tls.FillBuffer(), 0);
    EXPECT_EQ(tls.SendFile("/etc/hostname"), SOCK_ERROR);
    EXPECT_EQ(tls.SendFile(0), SOCK_ERROR);
}
