// The plain socket alone: receive forms and limits, buffer, handles, the diagnostic log.
#include "net/SocketLog.h"
#include "tests/net/NetTestSupport.h"

#include <unistd.h>
#include <vector>

namespace
{
// The two ends of a socket pair; the first is attached to `socket` (owned).
struct cPair
{
    explicit cPair(PlainSocket &socket, int flags = 0)
    {
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | flags, 0, Ends), 0);
        EXPECT_EQ(socket.Attach(Ends[0], false), SOCK_SUCCESS);
    }
    ~cPair() { close(Ends[1]); }
    int Ends[2] = {-1, -1};
};
} // namespace

TEST(PlainSocket, ReceiveUntilTextCharAndCountedForms)
{
    cLink link(false);
    ASSERT_TRUE(link.Up());
    PlainSocket &client = *link.Client;
    ASSERT_TRUE(link.Peer.Write("HTTP/1.0 200\r\nA: b\r\n\r\nbody;rest"));
    char buffer[64];
    EXPECT_EQ(Got(client.ReceiveUntilText(buffer, 60, "\r\n\r\n", 5, 0), buffer),
              "22:HTTP/1.0 200\r\nA: b\r\n\r\n");
    EXPECT_EQ(Got(client.ReceiveUntilChar(buffer, 60, ';', 5, 0), buffer), "5:body;");
    // Terminator beyond max: max bytes with a NUL after them.
    ASSERT_TRUE(link.Peer.Write("67890;"));
    ASSERT_TRUE(BufferUntil(client, 10));
    EXPECT_EQ(client.ReceiveUntilChar(buffer, 3, ';', 5, 0), 0);
    EXPECT_EQ(std::string(buffer, 4), std::string("res\0", 4));
    EXPECT_EQ(client.ReceiveUntilText(buffer, 60, "", 5, 0), SOCK_ERROR);
    EXPECT_EQ(Got(client.ReceiveUntilText(buffer, 60, "0;", 5, 0), buffer), "7:t67890;");
    // Counted-text forms: the length of the text as the result.
    ASSERT_TRUE(link.Peer.Write({"first\0second\nthird]]", 20}));
    std::string text;
    EXPECT_EQ(client.ReceiveUntilNul(text, 100, 5, 0), 6);
    EXPECT_EQ(text, std::string("first\0", 6));
    EXPECT_EQ(Got(client.ReceiveUntilChar(text, 100, '\n', 5, 0), text), "7:second\n");
    EXPECT_EQ(Got(client.ReceiveUntilText(text, 100, "]]", 5, 0), text), "7:third]]");
    EXPECT_EQ(client.ReceiveUntilNul(text, 100, 0, 0), SOCK_TIMEOUT);
    EXPECT_EQ(text, "");
    // ReceiveUntilChar searches a C text: asked for NUL it hands out what is buffered at once,
    // up to and including a NUL held among the bytes.
    ASSERT_TRUE(link.Peer.Write("abc"));
    ASSERT_TRUE(BufferUntil(client, 3));
    EXPECT_EQ(Got(client.ReceiveUntilChar(buffer, 60, '\0', 5, 0), buffer), "3:abc");
    ASSERT_TRUE(link.Peer.Write({"de\0f", 4}));
    ASSERT_TRUE(BufferUntil(client, 4));
    EXPECT_EQ(client.ReceiveUntilChar(text, 60, '\0', 5, 0), 3);
    EXPECT_EQ(text, std::string("de\0", 3));
}

TEST(PlainSocket, MaxAbove65535IsRefusedAndAFullBufferNeverSpins)
{
    cLink link(false);
    ASSERT_TRUE(link.Up());
    PlainSocket &client = *link.Client;
    std::vector<char> buffer(70000);
    EXPECT_EQ(client.ReceiveUntilNul(buffer.data(), 65536, 0, 0), SOCK_ERROR);
    EXPECT_EQ(client.ReceiveUntilChar(buffer.data(), 65536, 'a', 0, 0), SOCK_ERROR);
    EXPECT_EQ(client.ReceiveUntilText(buffer.data(), 65536, "a", 0, 0), SOCK_ERROR);
    EXPECT_EQ(client.ReceiveUntilNul(buffer.data(), -1, 0, 0), SOCK_ERROR);
    EXPECT_EQ(client.ReceiveUntilNul(nullptr, 10, 0, 0), SOCK_ERROR);
    EXPECT_EQ(client.ReceiveUntilNul(buffer.data(), 0, 0, 0), 0);
    ASSERT_TRUE(link.Peer.Write(std::string(70000, 'f')));
    ASSERT_TRUE(BufferUntil(client, 65535));
    EXPECT_EQ(client.FillBuffer(), 65535);
    EXPECT_TRUE(client.IsConnected());
    EXPECT_EQ(client.ReceiveUntilNul(buffer.data(), 65535, -1, 0), 0);
    EXPECT_EQ(client.ReceiveUntilNul(buffer.data(), 65535, 1, 0), SOCK_TIMEOUT);
}

TEST(PlainSocket, SendWithZeroLengthSendsCText)
{
    PlainSocket socket;
    cPair pair(socket);
    const char frame[] = "abc\0def";
    EXPECT_EQ(socket.Send(frame, 0), SOCK_SUCCESS);
    EXPECT_EQ(socket.Send(frame, 8), SOCK_SUCCESS);
    char got[11];
    EXPECT_EQ(recv(pair.Ends[1], got, 11, MSG_WAITALL), 11);
    EXPECT_EQ(std::string(got, 11), std::string("abcabc\0def\0", 11));
    EXPECT_EQ(socket.Send(nullptr, 3), SOCK_ERROR);
}

TEST(PlainSocket, ReceiveErrorOutsideTheLostGroupSetsTheErrorState)
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
    EXPECT_EQ(socket.Send("x"), SOCK_DISCONNECTED);
    EXPECT_FALSE(socket.IsConnected());
    // A receive in progress reports the failure as a lost connection.
    ASSERT_EQ(socket.Attach(pipeEnds[0], true), SOCK_SUCCESS);
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 4, 1, 0), SOCK_DISCONNECTED);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_ERROR);
    // Connect starts afresh.
    cScriptedPeer listening(false);
    EXPECT_EQ(socket.Connect("127.0.0.1", listening.Port()), SOCK_SUCCESS);
    EXPECT_EQ(socket.GetState(), SOCK_STATE_CONNECTED);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

TEST(PlainSocket, BufferOperations)
{
    PlainSocket socket;
    EXPECT_EQ(socket.AppendToBuffer("ab", 2), 0); // not connected
    int owned;
    {
        cPair pair(socket);
        owned = pair.Ends[0];
        EXPECT_EQ(socket.AppendToBuffer("ab", 2), 1);
        PlainSocket::cBufferSpace space{};
        socket.GetBufferSpace(space);
        EXPECT_EQ(space.Free, 65533u);
        std::memcpy(space.Start, "c\0", 2);
        EXPECT_EQ(socket.CommitToBuffer(2), 2u);
        std::vector<char> big(70000, 'x');
        EXPECT_EQ(socket.AppendToBuffer(big.data(), 65532), 0);
        char buffer[8];
        EXPECT_EQ(Got(socket.ReceiveUntilNul(buffer, 7, 0, 0), buffer), "4:abc");
        EXPECT_EQ(socket.ReadBuffered(buffer, 4, false), 0);
        EXPECT_EQ(socket.AppendToBuffer("xyz", 3), 1);
        EXPECT_EQ(Got(socket.ReadBuffered(buffer, 2, false), buffer), "2:xy");
        EXPECT_EQ(socket.ReadBuffered(nullptr, 2, false), 0);
        EXPECT_EQ(socket.BufferedCount(), 1u);
        socket.Close(); // owned: closes the end
    }
    EXPECT_FALSE(IsOpen(owned));
}

TEST(PlainSocket, AttachRules)
{
    PlainSocket socket;
    EXPECT_EQ(socket.Attach(INVALID_SOCKET, false), SOCK_ERROR);
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    // Borrowed: closing leaves the descriptor open.
    ASSERT_EQ(socket.Attach(pair[0], true), SOCK_SUCCESS);
    EXPECT_TRUE(socket.IsConnected());
    socket.Close();
    EXPECT_TRUE(IsOpen(pair[0]));
    // Owned after a borrowed one: the borrowed one stays open, the owned one is closed later.
    ASSERT_EQ(socket.Attach(pair[1], false), SOCK_SUCCESS);
    EXPECT_TRUE(IsOpen(pair[0]));
    EXPECT_EQ(socket.Attach(INVALID_SOCKET, true), SOCK_ERROR);
    EXPECT_FALSE(IsOpen(pair[1]));
    // A failed Connect after a borrowed handle leaves that handle to its owner.
    ASSERT_EQ(socket.Attach(pair[0], true), SOCK_SUCCESS);
    EXPECT_EQ(socket.Connect("no-such-host.invalid", 80), SOCK_TIMEOUT);
    EXPECT_EQ(socket.GetSocket(), INVALID_SOCKET);
    EXPECT_TRUE(IsOpen(pair[0]));
    close(pair[0]);
}

TEST(PlainSocket, NonBlockingHandleIsWaitedOn)
{
    PlainSocket socket;
    cPair pair(socket, SOCK_NONBLOCK);
    char buffer[16];
    EXPECT_EQ(socket.ReceiveUntilNul(buffer, 10, 0, 1000), SOCK_TIMEOUT);
    EXPECT_EQ(socket.FillBuffer(), SOCK_TIMEOUT); // nothing to read, the link is fine
    EXPECT_TRUE(socket.IsConnected());
    std::thread peer(
        [&]
        {
            // Late bytes: the client's reads meet "would block" first and must wait.
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SendAll(pair.Ends[1], {"late", 5});
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            SendAll(pair.Ends[1], std::string(20000, 'n'));
        });
    EXPECT_EQ(Got(socket.ReceiveUntilNul(buffer, 10, -1, 0), buffer), "5:late");
    std::vector<char> big(20000);
    EXPECT_EQ(socket.ReceiveBytes(big.data(), 20000, -1, 0), 20000);
    peer.join();
}

TEST(PlainSocket, DescriptorZeroIsASocket)
{
    // With standard input closed (as under CI) a socket can be descriptor 0.
    const int saved = dup(0); // -1 when standard input is already closed
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_EQ(dup2(pair[0], 0), 0);
    if (pair[0] != 0)
        close(pair[0]);
    {
        PlainSocket socket;
        EXPECT_EQ(socket.Attach(0, false), SOCK_SUCCESS);
        EXPECT_EQ(socket.Send("hi", 3), SOCK_SUCCESS);
        EXPECT_TRUE(SendAll(pair[1], {"ok", 3}));
        char buffer[8];
        EXPECT_EQ(socket.ReceiveUntilNul(buffer, 7, 5, 0), 3);
    }
    EXPECT_FALSE(IsOpen(0)); // the owned descriptor 0 was closed
    if (saved >= 0)
    {
        dup2(saved, 0);
        close(saved);
    }
    close(pair[1]);
}

TEST(PlainSocket, DiagnosticsGoToTheLogOnlyWhenEnabled)
{
    static std::vector<std::string> logged;
    logged.clear();
    net_log::SetSink([](const char *message) { logged.emplace_back(message); });
    PlainSocket socket;
    cPair pair(socket);
    EXPECT_EQ(socket.SendFile(-1), SOCK_ERROR);
    EXPECT_TRUE(logged.empty());
    net_log::SetEnabled(true);
    EXPECT_EQ(socket.SendFile(-1), SOCK_ERROR);
    EXPECT_EQ(socket.Send(nullptr, 1), SOCK_ERROR);
    net_log::SetEnabled(false);
    net_log::SetSink(nullptr);
    EXPECT_EQ(logged,
              (std::vector<std::string>{"PlainSocket::SendFile(HANDLE) - HANDLE is NULL", "buffer==NULL"}));
}
