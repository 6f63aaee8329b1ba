// What the plain and the TLS socket share, each case run over both against a loopback peer.
#include "tests/net/NetTestSupport.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
class Transport : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override { ASSERT_TRUE(Link.Up()); }
    cTempDir Folder{"net_"};
    cLink Link{GetParam()};
    PlainSocket &Client = *Link.Client;
    cScriptedPeer &Peer = Link.Peer;
};
} // namespace

INSTANTIATE_TEST_SUITE_P(PlainAndTls, Transport, testing::Bool(),
                         [](const auto &info) { return info.param ? "Tls" : "Plain"; });

TEST_P(Transport, RepliesAreCutAtTheirNulAndAtMax)
{
    char buffer[16];
    // Two replies in one segment: the second is served from the buffer with a zero wait.
    ASSERT_TRUE(Peer.Write({"one\0second", 11}));
    EXPECT_EQ(Got(Client.ReceiveUntilNul(buffer, 10, -1, 0), buffer), "4:one");
    EXPECT_EQ(Got(Client.ReceiveUntilNul(buffer, 10, 0, 0), buffer), "7:second");
    // Longer than max: max bytes and a NUL, the rest in the next call.
    ASSERT_TRUE(Peer.Write("abcdefgh"));
    ASSERT_TRUE(BufferUntil(Client, 8));
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 6), std::string("abcd\0X", 6));
    EXPECT_EQ(Got(Client.ReceiveUntilNul(buffer, 4, -1, 0), buffer), "0:efgh");
    // The terminator just past max: max bytes with no NUL after them, then the NUL alone.
    ASSERT_TRUE(Peer.Write({"ijkl", 5}));
    ASSERT_TRUE(BufferUntil(Client, 5));
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 5), "ijklX");
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 4, -1, 0), 1);
}

TEST_P(Transport, ZeroWaitsOnAQuietLinkReturnAndTheDrainKeepsTheLink)
{
    // TLS session tickets may arrive after the handshake: they must not block a zero wait.
    char buffer[100];
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 10, 0, 0), SOCK_TIMEOUT);
    EXPECT_EQ(Client.ReceiveBytes(buffer, 100, 0, 1), 0); // the drain before a request
    EXPECT_TRUE(Client.IsConnected());
    ASSERT_TRUE(Peer.Write(std::string(250, 'w')));
    int total = 0;
    for (int round = 0; round < 500 && total < 250; ++round)
        total += std::max(0, Client.ReceiveBytes(buffer, 100, 0, 10000));
    EXPECT_EQ(total, 250);
    EXPECT_EQ(Client.ReceiveBytes(buffer, 100, 0, 1), 0);
    EXPECT_TRUE(Client.IsConnected());
}

TEST_P(Transport, PeerClosingDuringAWaitDropsPartialBytes)
{
    Peer.Run(
        [](cScriptedPeer &p)
        {
            p.Write("partial");
            std::this_thread::sleep_for(std::chrono::milliseconds(50)); // lets the client wait first
        });
    char buffer[32];
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 20, -1, 0), SOCK_DISCONNECTED);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(std::tuple(Client.IsConnected(), Client.GetSocket(), Client.BufferedCount()),
              std::tuple(false, INVALID_SOCKET, 0u));
}

TEST_P(Transport, PeerResetIsALostConnectionAndRaisesNoSigpipe)
{
    const std::string path = Folder.Write("reset", std::string(300000, 'r'));
    Peer.ResetLink();
    pollfd p{Client.GetSocket(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1);
    // The first send meets the reset, the next ones a broken pipe; the program goes on.
    const std::string data(5000, 'z');
    const int first = Client.Send(data);
    Client.Send(data);
    EXPECT_TRUE(GetParam() || first == SOCK_ERROR) << first; // a TLS write may land in a buffer first
    EXPECT_EQ(Client.Send(data), SOCK_ERROR);
    EXPECT_EQ(Client.SendFile(path.c_str()), SOCK_ERROR);
    char buffer[8];
    EXPECT_EQ(Client.ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(Client.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST_P(Transport, LargeSendsAndFilesArriveWhole)
{
    const std::string data = Pattern(2 * 1024 * 1024);
    const std::string file = Pattern(700000); // more than two chunks of the TLS file send
    const std::string path = Folder.Write("send", file);
    std::string got;
    Peer.Run([&](cScriptedPeer &p) { got = p.Read(data.size() + 2 * file.size()); });
    EXPECT_EQ(Client.Send(data), SOCK_SUCCESS);
    EXPECT_EQ(Client.SendFile(path.c_str()), SOCK_SUCCESS);
    const int fd = open(path.c_str(), O_RDONLY);
    lseek(fd, 1000, SEEK_SET); // the whole file goes, whatever the position, which stays
    EXPECT_EQ(Client.SendFile(fd), SOCK_SUCCESS);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 1000);
    close(fd);
    EXPECT_EQ(Client.SendFile("/nonexistent/file"), SOCK_ERROR);
    EXPECT_EQ(Client.SendFile(-1), SOCK_ERROR);
    Peer.Join();
    EXPECT_TRUE(got == data + file + file);
}

TEST_P(Transport, ReceiveBytesInLargePiecesKeepsOrder)
{
    const std::string data = Pattern(300000);
    Peer.Run([&](cScriptedPeer &p) { p.Write(data); });
    std::string got(data.size(), 0);
    // A small piece goes through the buffer (which may then hold more); the large ones empty the
    // buffer first and then read straight into the destination.
    int at = 0;
    for (int piece : {10, 50000, 50000, 7, 100000, 99983})
    {
        ASSERT_EQ(Client.ReceiveBytes(got.data() + at, piece, 5, 0), piece);
        at += piece;
    }
    EXPECT_TRUE(got == data);
    Peer.Join();
    // The peer's close ends a large piece early with what came.
    EXPECT_EQ(Client.ReceiveBytes(got.data(), 20000, 5, 0), 0);
    EXPECT_EQ(Client.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST_P(Transport, SendFileOfAFileShorterThanItsSizeFails)
{
    // A sysfs file says it holds 4,096 bytes and yields a few: the send ends instead of repeating.
    const char *path = "/sys/class/net/lo/mtu";
    struct stat info;
    if (stat(path, &info) != 0 || info.st_size != 4096)
        GTEST_SKIP() << "no sysfs file to stand for a short file";
    EXPECT_EQ(Client.SendFile(path), SOCK_ERROR);
    EXPECT_EQ(Client.Send("!", 2), SOCK_SUCCESS);
    const std::string got = Peer.ReadUntilNul();
    EXPECT_GT(got.size(), 1u);
    EXPECT_EQ(got.back(), '!');
}

TEST(Transport, ConnectFailures)
{
    cScriptedPeer listening(false);
    for (bool tls : {false, true})
    {
        SCOPED_TRACE(tls ? "tls" : "plain");
        std::unique_ptr<PlainSocket> socket(tls ? new SecureSocket : new PlainSocket);
        const int failed = tls ? SOCK_ERROR : SOCK_TIMEOUT;
        const std::string longHost(128, 'a');
        for (const char *host :
             {"no-such-host.invalid", longHost.c_str(), static_cast<const char *>(nullptr)})
            EXPECT_EQ(socket->Connect(host, listening.Port()), failed) << (host ? host : "null");
        const int closed = cScriptedPeer(false).Port(); // nobody listens there any more
        EXPECT_EQ(socket->Connect("127.0.0.1", closed), failed);
        EXPECT_EQ(socket->GetState(), SOCK_STATE_DISCONNECTED);
        EXPECT_EQ(socket->GetSocket(), INVALID_SOCKET);
    }
    PlainSocket byName;
    EXPECT_EQ(byName.Connect("localhost", listening.Port()), SOCK_SUCCESS);
}

TEST(Transport, NotConnectedAnswers)
{
    PlainSocket plain;
    SecureSocket tls;
    char buffer[8];
    for (PlainSocket *socket : {&plain, static_cast<PlainSocket *>(&tls)})
    {
        EXPECT_EQ(socket->GetSocket(), INVALID_SOCKET);
        EXPECT_FALSE(socket->IsConnected());
        EXPECT_EQ(socket->ReceiveUntilNul(buffer, 4, 0, 0), SOCK_DISCONNECTED);
        EXPECT_EQ(socket->Send("x"), SOCK_DISCONNECTED); // a TLS send answers as the plain one
        EXPECT_EQ(socket->Send("x", 1), SOCK_DISCONNECTED);
        EXPECT_EQ(socket->Attach(INVALID_SOCKET, false), SOCK_ERROR);
        socket->Close();
        socket->Close();
        EXPECT_EQ(socket->GetState(), SOCK_STATE_DISCONNECTED);
    }
    EXPECT_EQ((std::vector<int>{plain.BytesAvailable(), plain.ReceiveUntilChar(buffer, 4, 'x', 0, 0),
                                plain.ReceiveBytes(buffer, 4, 0, 0), plain.SendFile("/etc/hostname"),
                                plain.SendFile(0)}),
              (std::vector<int>{SOCK_ERROR, SOCK_ERROR, SOCK_DISCONNECTED, SOCK_DISCONNECTED, SOCK_ERROR}));
    EXPECT_EQ((std::vector<int>{tls.BytesAvailable(), tls.FillBuffer(), tls.SendFile("/etc/hostname"),
                                tls.SendFile(0)}),
              (std::vector<int>{0, 0, SOCK_ERROR, SOCK_ERROR}));
}
