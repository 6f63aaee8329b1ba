#include "NetPeers.h"

#include "net/PlainSocket.h"
#include "net/SocketLog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace nettest;
using Clock = std::chrono::steady_clock;

namespace
{
// A connected client socket and the accepted server end, both in the test thread.
struct PlainLink
{
    Listener listener;
    PlainSocket client;
    int server = -1;

    PlainLink()
    {
        EXPECT_EQ(client.Connect("127.0.0.1", listener.Port()), SOCK_SUCCESS);
        server = listener.Accept();
        EXPECT_GE(server, 0);
    }
    ~PlainLink()
    {
        if (server >= 0)
            close(server);
    }
};

// Counts the reads from the wire.
class CountingSocket : public PlainSocket
{
public:
    int Fills = 0;
    int FillBuffer() override
    {
        ++Fills;
        return PlainSocket::FillBuffer();
    }
};

// Pulls what the peer sent into the socket's buffer until it holds `count` bytes.
bool BufferUntil(PlainSocket &socket, std::uint32_t count)
{
    auto until = Clock::now() + std::chrono::seconds(5);
    while (socket.BufferedCount() < count && Clock::now() < until)
        if (socket.WaitForData(true, 1, 0) < 0)
            return false;
    return socket.BufferedCount() >= count;
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
} // namespace

TEST(PlainSocket, FreshObjectHoldsNoSocket)
{
    PlainSocket socket;
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_FALSE(socket.IsConnected());
    EXPECT_EQ(socket.BytesAvailable(), SOCK_ERROR);
    char buffer[8];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 4, 0, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.ReceiveUntilChar(buffer, 4, 'x', 0, 0), SOCK_ERROR);
    EXPECT_EQ(socket.ReceiveBytes(buffer, 4, 0, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.Send("x"), SOCK_DISCONNECTED);
}

TEST(PlainSocket, TwoRepliesInOneSegment)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, "one\0second", 11));
    char buffer[64];
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 50, -1, 0), 4);
    EXPECT_STREQ(buffer, "one");
    // The second reply is already buffered: a zero wait is enough.
    EXPECT_EQ(link.client.BufferedCount(), 7u);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 50, 0, 0), 7);
    EXPECT_STREQ(buffer, "second");
    EXPECT_EQ(link.client.BufferedCount(), 0u);
}

TEST(PlainSocket, ReplyLongerThanMaxContinuesInNextCall)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, "abcdefgh")); // the rest and the NUL come later
    ASSERT_TRUE(BufferUntil(link.client, 8));
    char buffer[16];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 6), std::string("abcd\0X", 6));
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_STREQ(buffer, "efgh");
    ASSERT_TRUE(SendAll(link.server, "ij", 3));
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, -1, 0), 3);
    EXPECT_STREQ(buffer, "ij");
}

TEST(PlainSocket, TerminatorJustPastMaxLeavesNoNul)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, "abcd", 5));
    ASSERT_TRUE(BufferUntil(link.client, 5));
    char buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, -1, 0), 0);
    EXPECT_EQ(std::string(buffer, 5), "abcdX");
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, -1, 0), 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST(PlainSocket, ZeroWaitPollTimesOutAndKeepsState)
{
    PlainLink link;
    char buffer[16];
    auto start = Clock::now();
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 10, 0, 0), SOCK_TIMEOUT);
    EXPECT_LT(MillisecondsSince(start), 100.0);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_CONNECTED);
    EXPECT_TRUE(link.client.IsConnected());
}

TEST(PlainSocket, TimedWaitRunsOut)
{
    PlainLink link;
    char buffer[16];
    auto start = Clock::now();
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 10, 0, 200000), SOCK_TIMEOUT);
    double took = MillisecondsSince(start);
    EXPECT_GE(took, 190.0);
    EXPECT_LT(took, 2000.0);
}

TEST(PlainSocket, PeerClosingDuringWaitDropsPartialBytes)
{
    PlainLink link;
    int server = link.server;
    link.server = -1;
    PeerThread peer(
        [server]
        {
            SendAll(server, "partial");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            close(server);
        });
    char buffer[32];
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 20, -1, 0), SOCK_DISCONNECTED);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(link.client.IsConnected());
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_EQ(link.client.GetSocket(), INVALID_SOCKET);
    EXPECT_EQ(link.client.BufferedCount(), 0u);
}

TEST(PlainSocket, ReceiveBytesServedFromBufferWithoutSystemCall)
{
    Listener listener;
    CountingSocket client;
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), SOCK_SUCCESS);
    int server = listener.Accept();
    std::string data(300, 'q');
    ASSERT_TRUE(SendAll(server, data));
    ASSERT_TRUE(BufferUntil(client, 300));
    client.Fills = 0;
    char buffer[300];
    EXPECT_EQ(client.ReceiveBytes(buffer, 120, -1, 0), 120);
    EXPECT_EQ(client.ReceiveBytes(buffer, 180, -1, 0), 180);
    EXPECT_EQ(client.Fills, 0);
    EXPECT_EQ(client.ReceiveBytes(buffer, 0, -1, 0), 0);
    close(server);
}

TEST(PlainSocket, ReceiveBytesGathersAcrossReads)
{
    PlainLink link;
    int server = link.server;
    PeerThread peer(
        [server]
        {
            SendAll(server, std::string(30000, 'a'));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SendAll(server, std::string(30000, 'b'));
        });
    std::vector<char> buffer(60000);
    EXPECT_EQ(link.client.ReceiveBytes(buffer.data(), 60000, 5, 0), 60000);
    EXPECT_EQ(buffer[29999], 'a');
    EXPECT_EQ(buffer[30000], 'b');
}

TEST(PlainSocket, ReceiveBytesInLargePiecesKeepsOrder)
{
    PlainLink link;
    const int size = 300000;
    std::string data(size, 0);
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>(i % 253);
    int server = link.server;
    PeerThread peer([&] { SendAll(server, data); });
    std::string got(size, 0);
    int at = 0;
    for (int piece : {10, 50000, 50000, 7, 100000, 99983})
    {
        ASSERT_EQ(link.client.ReceiveBytes(got.data() + at, piece, 5, 0), piece);
        at += piece;
    }
    EXPECT_EQ(got, data);
    EXPECT_EQ(link.client.ReceiveBytes(got.data(), 20000, 0, 1000), 0);
    peer.Join();
    close(server);
    link.server = -1;
    // The peer's close ends a large piece early with what came.
    EXPECT_EQ(link.client.ReceiveBytes(got.data(), 20000, 5, 0), 0);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST(PlainSocket, DrainOnQuietLinkReturnsZeroAtOnce)
{
    PlainLink link;
    char buffer[100];
    auto start = Clock::now();
    EXPECT_EQ(link.client.ReceiveBytes(buffer, 100, 0, 1), 0);
    EXPECT_LT(MillisecondsSince(start), 100.0);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_CONNECTED);
}

TEST(PlainSocket, DrainDiscardsWhatTheServerSentUnasked)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, std::string(250, 'w')));
    auto until = Clock::now() + std::chrono::seconds(5);
    while (link.client.BytesAvailable() < 250 && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(link.client.BytesAvailable(), 250);
    char buffer[100];
    int total = 0, n;
    while ((n = link.client.ReceiveBytes(buffer, 100, 0, 1)) > 0)
        total += n;
    EXPECT_EQ(n, 0);
    EXPECT_EQ(total, 250);
    EXPECT_EQ(link.client.BytesAvailable(), 0);
}

TEST(PlainSocket, ConnectToClosedPortFails)
{
    PlainSocket socket;
    EXPECT_EQ(socket.Connect("127.0.0.1", ClosedPort()), SOCK_TIMEOUT);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
}

TEST(PlainSocket, ConnectToUnresolvableNameFails)
{
    PlainSocket socket;
    EXPECT_EQ(socket.Connect("no-such-host.invalid", 80), SOCK_TIMEOUT);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST(PlainSocket, ConnectByHostName)
{
    Listener listener;
    PlainSocket socket;
    EXPECT_EQ(socket.Connect("localhost", listener.Port()), SOCK_SUCCESS);
    int server = listener.Accept();
    EXPECT_GE(server, 0);
    close(server);
}

TEST(PlainSocket, HostLongerThan127CharactersRefused)
{
    Listener listener;
    PlainSocket socket;
    std::string host(128, 'a');
    EXPECT_EQ(socket.Connect(host.c_str(), listener.Port()), SOCK_TIMEOUT);
    EXPECT_EQ(socket.Connect(nullptr, listener.Port()), SOCK_TIMEOUT);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST(PlainSocket, CloseTwice)
{
    PlainLink link;
    link.client.Close();
    EXPECT_EQ(link.client.GetSocket(), INVALID_SOCKET);
    link.client.Close();
    EXPECT_EQ(link.client.GetSocket(), INVALID_SOCKET);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_DISCONNECTED);
    // The peer sees the orderly close.
    char c;
    EXPECT_EQ(recv(link.server, &c, 1, 0), 0);
}

TEST(PlainSocket, ReceiveErrorOutsideLostGroupSetsErrorState)
{
    // recv on a pipe fails with ENOTSOCK: not a lost connection.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
    PlainSocket socket;
    ASSERT_EQ(socket.Attach(pipeEnds[0], true), SOCK_SUCCESS);
    EXPECT_EQ(socket.WaitForData(true, 1, 0), SOCK_ERROR);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_ERROR);
    socket.Close();
    EXPECT_EQ(socket.GetState(), SOCK_STATE_ERROR);
    char buffer[8];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 4, 0, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.Send("x"), SOCK_DISCONNECTED);
    EXPECT_FALSE(socket.IsConnected());

    // A receive in progress reports the failure as a lost connection.
    PlainSocket second;
    ASSERT_EQ(second.Attach(pipeEnds[0], true), SOCK_SUCCESS);
    EXPECT_EQ(second.ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(second.GetState(), SOCK_STATE_ERROR);

    // Connect starts afresh.
    Listener listener;
    EXPECT_EQ(second.Connect("127.0.0.1", listener.Port()), SOCK_SUCCESS);
    EXPECT_EQ(second.GetState(), SOCK_STATE_CONNECTED);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

TEST(PlainSocket, PeerResetIsLostConnection)
{
    PlainLink link;
    ResetClose(link.server);
    link.server = -1;
    ASSERT_TRUE(WaitReadable(link.client.GetSocket(), 5000));
    char buffer[8];
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_DISCONNECTED);
}

TEST(PlainSocket, SendToResetPeerFailsWithoutSigpipe)
{
    PlainLink link;
    ResetClose(link.server);
    link.server = -1;
    ASSERT_TRUE(WaitReadable(link.client.GetSocket(), 5000));
    // The first send meets the reset, the next ones a broken pipe; the program goes on.
    std::string data(1000, 'z');
    EXPECT_EQ(link.client.Send(data), SOCK_ERROR);
    EXPECT_EQ(link.client.Send(data), SOCK_ERROR);
    EXPECT_EQ(link.client.Send(data), SOCK_ERROR);
}

TEST(PlainSocket, SendWithZeroLengthSendsCText)
{
    PlainLink link;
    const char frame[] = "abc\0def";
    EXPECT_EQ(link.client.Send(frame, 0), SOCK_SUCCESS);
    EXPECT_EQ(link.client.Send(frame, 8), SOCK_SUCCESS);
    char got[11];
    ASSERT_TRUE(RecvExactly(link.server, got, 11));
    EXPECT_EQ(std::string(got, 11), std::string("abcabc\0def\0", 11));
    EXPECT_EQ(link.client.Send(nullptr, 3), SOCK_ERROR);
}

TEST(PlainSocket, LargeSendArrivesWhole)
{
    PlainLink link;
    std::string data(2 * 1024 * 1024, 0);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    std::string got(data.size(), 0);
    int server = link.server;
    bool ok = false;
    PeerThread peer([&] { ok = RecvExactly(server, got.data(), got.size()); });
    EXPECT_EQ(link.client.Send(data), SOCK_SUCCESS);
    peer.Join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(got, data);
}

TEST(PlainSocket, ReceiveUntilTextAndChar)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, "HTTP/1.0 200\r\nA: b\r\n\r\nbody;rest"));
    char buffer[64];
    EXPECT_EQ(link.client.ReceiveUntilText(buffer, 60, "\r\n\r\n", 5, 0), 22);
    EXPECT_STREQ(buffer, "HTTP/1.0 200\r\nA: b\r\n\r\n");
    EXPECT_EQ(link.client.ReceiveUntilChar(buffer, 60, ';', 5, 0), 5);
    EXPECT_STREQ(buffer, "body;");
    // Terminator beyond max: max bytes with a NUL after them.
    std::memset(buffer, 'X', sizeof buffer);
    ASSERT_TRUE(SendAll(link.server, "67890;"));
    ASSERT_TRUE(BufferUntil(link.client, 10));
    EXPECT_EQ(link.client.ReceiveUntilChar(buffer, 3, ';', 5, 0), 0);
    EXPECT_EQ(std::string(buffer, 4), std::string("res\0", 4));
    EXPECT_EQ(link.client.ReceiveUntilText(buffer, 60, "", 5, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilText(buffer, 60, "0;", 5, 0), 7);
    EXPECT_STREQ(buffer, "t67890;");
}

TEST(PlainSocket, CountedTextForms)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, "first\0second\nthird]]", 20));
    std::string text;
    EXPECT_EQ(link.client.ReceiveUntilNul(text, 100, 5, 0), 6);
    EXPECT_EQ(text, std::string("first\0", 6));
    EXPECT_EQ(link.client.ReceiveUntilChar(text, 100, '\n', 5, 0), 7);
    EXPECT_EQ(text, "second\n");
    EXPECT_EQ(link.client.ReceiveUntilText(text, 100, "]]", 5, 0), 7);
    EXPECT_EQ(text, "third]]");
    EXPECT_EQ(link.client.ReceiveUntilNul(text, 100, 0, 0), SOCK_TIMEOUT);
    EXPECT_EQ(text, "");
}

TEST(PlainSocket, MaxAbove65535IsRefused)
{
    PlainLink link;
    std::vector<char> buffer(70000);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer.data(), 65536, 0, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilChar(buffer.data(), 65536, 'a', 0, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilText(buffer.data(), 65536, "a", 0, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer.data(), -1, 0, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilNul(nullptr, 10, 0, 0), SOCK_ERROR);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer.data(), 0, 0, 0), 0);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_CONNECTED);
}

TEST(PlainSocket, FullBufferNeverSpins)
{
    PlainLink link;
    ASSERT_TRUE(SendAll(link.server, std::string(70000, 'f')));
    ASSERT_TRUE(BufferUntil(link.client, 65535));
    EXPECT_EQ(link.client.BufferedCount(), 65535u);
    EXPECT_EQ(link.client.FillBuffer(), 65535);
    EXPECT_TRUE(link.client.IsConnected());
    std::vector<char> buffer(65536);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer.data(), 65535, -1, 0), 0);
    EXPECT_EQ(link.client.ReceiveUntilNul(buffer.data(), 65535, 1, 0), SOCK_TIMEOUT);
}

TEST(PlainSocket, BufferOperations)
{
    PlainSocket socket;
    EXPECT_EQ(socket.AppendToBuffer("ab", 2), 0); // not connected
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_EQ(socket.Attach(pair[0], false), SOCK_SUCCESS);
    EXPECT_EQ(socket.AppendToBuffer("ab", 2), 1);
    PlainSocket::cBufferSpace space{};
    socket.GetBufferSpace(space);
    EXPECT_EQ(space.Free, 65533u);
    std::memcpy(space.Start, "c\0", 2);
    EXPECT_EQ(socket.CommitToBuffer(2), 2u);
    std::vector<char> big(70000, 'x');
    EXPECT_EQ(socket.AppendToBuffer(big.data(), 65532), 0);
    char buffer[8];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 7, 0, 0), 4);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(socket.ReadBuffered(buffer, 4, false), 0);
    EXPECT_EQ(socket.AppendToBuffer("xyz", 3), 1);
    EXPECT_EQ(socket.ReadBuffered(buffer, 2, false), 2);
    EXPECT_STREQ(buffer, "xy");
    EXPECT_EQ(socket.ReadBuffered(nullptr, 2, false), 0);
    EXPECT_EQ(socket.BufferedCount(), 1u);
    socket.Close(); // owned: closes pair[0]
    EXPECT_EQ(fcntl(pair[0], F_GETFD), -1);
    close(pair[1]);
}

TEST(PlainSocket, AttachRules)
{
    PlainSocket socket;
    EXPECT_EQ(socket.Attach(INVALID_SOCKET, false), SOCK_ERROR);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_DISCONNECTED);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    // Borrowed: closing leaves the descriptor open.
    ASSERT_EQ(socket.Attach(pair[0], true), SOCK_SUCCESS);
    EXPECT_TRUE(socket.IsConnected());
    socket.Close();
    EXPECT_NE(fcntl(pair[0], F_GETFD), -1);
    // Owned after a borrowed one: the borrowed one stays open, the owned one is closed later.
    ASSERT_EQ(socket.Attach(pair[1], false), SOCK_SUCCESS);
    EXPECT_NE(fcntl(pair[0], F_GETFD), -1);
    EXPECT_EQ(socket.Attach(INVALID_SOCKET, true), SOCK_ERROR);
    EXPECT_EQ(fcntl(pair[1], F_GETFD), -1);
    // A failed Connect after a borrowed handle leaves that handle to its owner.
    ASSERT_EQ(socket.Attach(pair[0], true), SOCK_SUCCESS);
    EXPECT_EQ(socket.Connect("no-such-host.invalid", 80), SOCK_TIMEOUT);
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
    EXPECT_NE(fcntl(pair[0], F_GETFD), -1);
    close(pair[0]);
}

TEST(PlainSocket, NonBlockingHandleIsWaitedOn)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, pair), 0);
    PlainSocket socket;
    ASSERT_EQ(socket.Attach(pair[0], false), SOCK_SUCCESS);
    char buffer[16];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 10, 0, 1000), SOCK_TIMEOUT);
    EXPECT_EQ(socket.FillBuffer(), SOCK_TIMEOUT); // nothing to read, the link is fine
    EXPECT_TRUE(socket.IsConnected());
    int peerEnd = pair[1];
    PeerThread peer(
        [peerEnd]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SendAll(peerEnd, "late", 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SendAll(peerEnd, std::string(20000, 'n'));
        });
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 10, -1, 0), 5);
    EXPECT_STREQ(buffer, "late");
    std::vector<char> big(20000);
    EXPECT_EQ(socket.ReceiveBytes(big.data(), 20000, -1, 0), 20000);
    peer.Join();
    close(pair[1]);
}

TEST(PlainSocket, DescriptorZeroIsASocket)
{
    // With standard input closed (as under CI) a socket can be descriptor 0.
    int saved = dup(0); // -1 when standard input is already closed
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    if (pair[0] != 0)
    {
        ASSERT_EQ(dup2(pair[0], 0), 0);
        close(pair[0]);
    }
    {
        PlainSocket socket;
        EXPECT_EQ(socket.Attach(0, false), SOCK_SUCCESS);
        EXPECT_EQ(socket.GetSocket(), 0);
        EXPECT_EQ(socket.Send("hi", 3), SOCK_SUCCESS);
        char got[3];
        EXPECT_TRUE(RecvExactly(pair[1], got, 3));
        EXPECT_TRUE(SendAll(pair[1], "ok", 3));
        char buffer[8];
        EXPECT_EQ(socket.ReceiveUntilNul(buffer, 7, 5, 0), 3);
        EXPECT_STREQ(buffer, "ok");
    }
    EXPECT_EQ(fcntl(0, F_GETFD), -1); // the owned descriptor 0 was closed
    if (saved >= 0)
    {
        dup2(saved, 0);
        close(saved);
    }
    close(pair[1]);
}

namespace
{
std::string WriteTestFile(const std::string &name, std::size_t size)
{
    std::string path = TempFolder() + "/" + name;
    std::string data(size, 0);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 131) >> 3);
    std::ofstream(path, std::ios::binary).write(data.data(), static_cast<std::streamsize>(size));
    return path;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(PlainSocket, SendFileOfRealFile)
{
    PlainLink link;
    const std::size_t size = 700000;
    std::string path = WriteTestFile("plain-send.bin", size);
    std::string got(2 * size, 0);
    int server = link.server;
    bool ok = false;
    PeerThread peer([&] { ok = RecvExactly(server, got.data(), got.size()); });
    EXPECT_EQ(link.client.SendFile(path.c_str()), SOCK_SUCCESS);
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    lseek(fd, 1000, SEEK_SET); // the whole file goes, whatever the position
    EXPECT_EQ(link.client.SendFile(fd), SOCK_SUCCESS);
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 1000);
    close(fd);
    peer.Join();
    ASSERT_TRUE(ok);
    std::string data = ReadFile(path);
    EXPECT_EQ(got.substr(0, size), data);
    EXPECT_EQ(got.substr(size), data);
}

TEST(PlainSocket, SendFileFailures)
{
    PlainSocket socket;
    EXPECT_EQ(socket.SendFile("/nonexistent"), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.SendFile(0), SOCK_ERROR);
    PlainLink link;
    EXPECT_EQ(link.client.SendFile("/nonexistent/file"), SOCK_ERROR);
    EXPECT_EQ(link.client.SendFile(-1), SOCK_ERROR);
}

// A sysfs file says it holds 4,096 bytes and yields a few: the send ends instead of repeating.
const char *ShortFile()
{
    struct stat info;
    const char *path = "/sys/class/net/lo/mtu";
    return stat(path, &info) == 0 && info.st_size == 4096 ? path : nullptr;
}

TEST(PlainSocket, SendFileOfFileShorterThanItsSizeFails)
{
    const char *path = ShortFile();
    if (path == nullptr)
        GTEST_SKIP() << "no sysfs file to stand for a short file";
    PlainLink link;
    EXPECT_EQ(link.client.SendFile(path), SOCK_ERROR);
    EXPECT_EQ(link.client.GetState(), SOCK_STATE_CONNECTED);
    EXPECT_EQ(link.client.Send("!", 2), SOCK_SUCCESS);
    EXPECT_FALSE(RecvUntilNul(link.server).empty());
}

TEST(PlainSocket, SendFileToResetPeerFailsWithoutSigpipe)
{
    PlainLink link;
    std::string path = WriteTestFile("plain-reset.bin", 300000);
    ResetClose(link.server);
    link.server = -1;
    ASSERT_TRUE(WaitReadable(link.client.GetSocket(), 5000));
    EXPECT_EQ(link.client.SendFile(path.c_str()), SOCK_ERROR);
    EXPECT_EQ(link.client.SendFile(path.c_str()), SOCK_ERROR);
}

namespace
{
std::vector<std::string> logged;
void Record(const char *message)
{
    logged.emplace_back(message);
}
} // namespace

TEST(PlainSocket, DiagnosticsGoToTheLogOnlyWhenEnabled)
{
    PlainSocket socket;
    logged.clear();
    net_log::SetSink(Record);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_EQ(socket.Attach(pair[0], false), SOCK_SUCCESS);
    EXPECT_EQ(socket.SendFile(-1), SOCK_ERROR);
    EXPECT_TRUE(logged.empty());
    net_log::SetEnabled(true);
    EXPECT_EQ(socket.SendFile(-1), SOCK_ERROR);
    EXPECT_EQ(socket.Send(nullptr, 1), SOCK_ERROR);
    net_log::SetEnabled(false);
    net_log::SetSink(nullptr);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], "PlainSocket::SendFile(HANDLE) - HANDLE is NULL");
    EXPECT_EQ(logged[1], "buffer==NULL");
    close(pair[1]);
}
