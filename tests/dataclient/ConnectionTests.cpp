// The connection against a scripted peer: frames, replies, handshake, reconnection.
#include "dataclient/DebugSwitches.h"
#include "dataclient/dbServerConnection.h"
#include "net/SecureSocket.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <openssl/provider.h>

namespace
{
// In a child process: OpenSSL with only its null provider, so no TLS context can be made and
// a TLS socket's constructor throws. The child ends with _Exit: the provider stays loaded.
void WithoutTlsAlgorithms()
{
    setenv("OPENSSL_CONF", "/dev/null", 1);
    OSSL_PROVIDER_load(nullptr, "null");
}

dbServerConnection *NewLink(const cScriptedPeer &peer, bool tls, const std::string &programID = "")
{
    return new dbServerConnection("127.0.0.1", peer.PortText(), programID, "", tls, -1);
}
} // namespace

TEST(dbServerConnection, ExactBytesNothingAtConnectAndLongReplyWhole)
{
    const std::string longText = std::string(119999, 'x') + "y"; // three chunks of the reply read
    for (bool tls : {false, true})
    {
        SCOPED_TRACE(tls ? "tls" : "plain");
        cScriptedPeer peer(tls);
        peer.Run(
            [&](cScriptedPeer &p)
            {
                p.Accept();
                // The first bytes on the link are the request: nothing was sent at connect.
                EXPECT_EQ(p.Read(14), std::string("\x02\0\0\0\x1A\x79\0\0\x67\0\0\0a\0", 14));
                p.Reply("FileSize=1");
                p.ReadFrame();
                p.Reply(longText);
                // A text goes with its NUL and no frame.
                EXPECT_EQ(p.Read(12), std::string("{\"a\":\"b c\"}\0", 12));
                p.Reply("{\"Error\":\"\"}");
            });
        std::unique_ptr<dbServerConnection> c(NewLink(peer, tls));
        ASSERT_TRUE(c->IsConnectedFlag);
        EXPECT_TRUE(c->SendMessage(31002, 103, "a"));
        EXPECT_EQ(c->Reply.Values("FileSize"), "1");
        ASSERT_TRUE(c->SendMessage(1, 2, "q"));
        EXPECT_EQ(c->ReplyText, longText);
        EXPECT_EQ(c->Reply.Count(), 1);
        EXPECT_TRUE(c->SendText("{\"a\":\"b c\"}"));
        EXPECT_EQ(c->ReplyText, "{\"Error\":\"\"}");
        // A JSON reply is not comma text: nothing of it, nor of the reply before, is in Reply.
        EXPECT_EQ(c->Reply.Count(), 0);
        peer.Join();
    }
}

TEST(dbServerConnection, BodyLimitShowsMessageAndSendsNothing)
{
    cRecordingHost host;
    cScopedHost scoped(&host);
    cScriptedPeer peer(false);
    peer.Run(
        [](cScriptedPeer &p)
        {
            p.Accept();
            p.ExpectFrame(5, 6, std::string(49988, 'b')); // 50,001 bytes in all
            p.Reply("ok");
            // The oversized body never reached the wire: the next frame is the small one.
            p.ExpectFrame(7, 8, "next");
            p.Reply("ok2");
        });
    std::unique_ptr<dbServerConnection> c(NewLink(peer, false));
    EXPECT_TRUE(c->SendMessage(5, 6, std::string(49988, 'b')));
    EXPECT_FALSE(c->SendMessage(5, 6, std::string(49989, 'b')));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text + "|" + host.Messages[0].Caption,
              "Application Error|Sending a message larger than MessageBuffer");
    EXPECT_TRUE(c->IsConnectedFlag);
    EXPECT_TRUE(c->SendMessage(7, 8, "next"));
    EXPECT_EQ(c->ReplyText, "ok2");
    peer.Join();
    EXPECT_EQ(peer.Links, 1);
}

TEST(dbServerConnection, ReplyListsTakeErrorsOut)
{
    cScriptedPeer peer(false);
    // A lone NUL is no reply.
    ServeExchanges(peer, {{1, 0, "x", "\"Error=No table\",ErrorCode=12,Seq=7"},
                          {1, 0, "x", "ErrorCode=abc,a=1"},
                          {1, 0, "x", ""}});
    std::unique_ptr<dbServerConnection> c(NewLink(peer, false));
    std::vector<std::string> got;
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_TRUE(c->SendMessage(1, 0, "x"));
        got.push_back(c->LastError + "|" + std::to_string(c->LastErrorCode) + "|" + c->Reply.Text());
    }
    EXPECT_EQ(got, (std::vector<std::string>{"No table|12|Seq=7\r\n", "|0|a=1\r\n"}));
    EXPECT_FALSE(c->SendMessage(1, 0, "x"));
    EXPECT_TRUE(c->Reply.Empty());
    peer.Join();
}

TEST(dbServerConnection, RefusedHandshakeDropsSocketAndNextRequestHandshakesAgain)
{
    cScriptedPeer peer(true);
    peer.Run(
        [](cScriptedPeer &p)
        {
            p.Accept();
            p.ExpectFrame(1, 0, "Key=k1,ProgramID=DorvaneClient");
            p.Reply("Date=45000.5,Accepted=N");
            p.Accept();
            p.ExpectFrame(1, 0, "Key=k1,ProgramID=DorvaneClient");
            p.Reply("Date=45000.5,RunningFolder=/srv/,RemoteIP=127.0.0.1,Accepted=Y");
            p.ExpectFrame(31001, 20003, "TableName=Cases,Seq=3");
            p.Reply("a,b");
        });
    dbServerConnection c("127.0.0.1", peer.PortText(), "DorvaneClient", "k1", true, -1);
    EXPECT_FALSE(c.IsConnectedFlag);
    EXPECT_EQ(c.Socket, nullptr);
    cStringList lines;
    EXPECT_TRUE(c.ReadRecord("Cases", "3", lines));
    EXPECT_EQ(lines.CommaText(), "a,b");
    EXPECT_DOUBLE_EQ(c.ServerDate, 45000.5);
    EXPECT_EQ(c.RunningFolder + "|" + c.RemoteIP, "/srv/|127.0.0.1");
    peer.Join();
    EXPECT_EQ(peer.Links, 2);
}

TEST(dbServerConnection, HandshakeWithoutDateAsksForTheDate)
{
    cScriptedPeer peer(true);
    peer.Run(
        [](cScriptedPeer &p)
        {
            p.Accept();
            p.ExpectFrame(1, 0, "ProgramID=DorvaneClient");
            p.Reply("Accepted=N");
            EXPECT_EQ(p.Read(13), std::string("\x01\0\0\0\x02\0\0\0\0\0\0\0\0", 13));
            p.Reply("Date=45001.25");
        });
    std::unique_ptr<dbServerConnection> c(NewLink(peer, true, "DorvaneClient"));
    EXPECT_TRUE(c->IsConnectedFlag);
    EXPECT_NE(c->Socket, nullptr);
    EXPECT_DOUBLE_EQ(c->ServerDate, 45001.25);
    peer.Join();
}

TEST(dbServerConnection, NoServerMeansNotConnectedAndTheTraceRecordsIt)
{
    const int port = cScriptedPeer(false).Port(); // nobody listens there afterwards
    const std::string saved = DebugLogPath;
    const cTempDir folder("dataclient_trace_");
    DebugLogPath = folder.File("trace");
    DebugLogEnabled = true; // the switch that nothing in the program sets
    {
        dbServerConnection c("127.0.0.1", std::to_string(port), "DorvaneClient", "", false, -1);
        EXPECT_EQ((std::vector<bool>{c.IsConnectedFlag, c.Connected(), c.SendMessage(1, 0, "x")}),
                  std::vector<bool>(3, false));
    }
    DebugLogEnabled = false;
    // At construction and at the reconnection of the request: a 13-character time stamp, the text.
    const std::string trace = ReadFile(DebugLogPath);
    ASSERT_EQ(trace.size(), 2 * (13 + 19u)) << trace;
    EXPECT_EQ(trace.substr(13, 19), "Connect::NoSocket\r\n");
    EXPECT_EQ(trace.substr(13 + 32), "Connect::NoSocket\r\n");
    DebugLogPath = saved;
}

// The connection makes its socket inside its guard: a socket that cannot be made leaves the
// link down instead of throwing out of the constructor.
TEST(dbServerConnectionDeathTest, SocketThatCannotBeMadeLeavesTheLinkDown)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child's set-up does make the TLS socket throw.
    EXPECT_EXIT(
        {
            WithoutTlsAlgorithms();
            try
            {
                SecureSocket socket;
            }
            catch (...)
            {
                std::_Exit(3);
            }
            std::_Exit(4);
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EXIT(
        {
            WithoutTlsAlgorithms();
            bool down = false;
            {
                dbServerConnection link("127.0.0.1", "1", "DorvaneClient", "", true, -1);
                down = !link.IsConnectedFlag && !link.Reconnect();
            }
            std::_Exit(down ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
