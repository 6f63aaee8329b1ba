// Waits on a server that goes silent are bounded: a TLS connect without a handshake answer, and a
// reply or download that stops making progress, fail as a lost link and the next request
// reconnects. The limits are set short here; the peer stays silent until the client gave up.
#include "dataclient/dbServerConnection.h"
#include "tests/dataclient/ScriptedPeer.h"
#include "tests/support/TempDir.h"
#include "toolkit/Files.h"
#include "toolkit/Host.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>

namespace
{
// Released by the test once the client has given up; the peer's wait on it is bounded.
class cSilence
{
public:
    void Hold() { Released.get_future().wait_for(std::chrono::seconds(20)); }
    void Release() { Released.set_value(); }

private:
    std::promise<void> Released;
};

std::string Header(std::int32_t size)
{
    std::string header(8, '\0');
    for (int i = 0; i < 4; ++i)
        header[i] = static_cast<char>((static_cast<std::uint32_t>(size) >> (8 * i)) & 0xFF);
    return header;
}
} // namespace

TEST(BoundedWaits, TlsConnectWithoutHandshakeAnswerFails)
{
    cSilence silence;
    // A plain peer under a TLS client: the TCP connect succeeds, the handshake is never answered.
    cScriptedPeer peer(false);
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            silence.Hold();
            p.CloseLink();
        });
    cSecureLinkSettings settings;
    settings.HandshakeMilliseconds = 300;
    dbServerConnection c("127.0.0.1", peer.PortText(), "", "", true, 1, settings);
    EXPECT_FALSE(c.IsConnectedFlag);
    EXPECT_FALSE(c.Connected());
    silence.Release();
    peer.Join();
    EXPECT_EQ(peer.Accepted, 1);
}

TEST(BoundedWaits, StalledRepliesAndDownloadsFailAsALostLinkAndTheNextRequestReconnects)
{
    struct
    {
        const char *What;
        bool Download;
        std::string Sent; // what the peer sends before going silent
    } cases[] = {
        {"no reply at all", false, ""},
        {"reply cut before its NUL", false, "FileSize=12"},
        {"no download header", true, ""},
        {"half a download header", true, std::string("\x10\0\0", 3)},
        {"download stalled mid-file", true, Header(100000) + std::string(8, '\0') + std::string(30000, 'x')},
    };
    cTempDir folder("bounded_");
    for (bool tls : {false, true})
        for (const auto &c : cases)
        {
            SCOPED_TRACE(std::string(c.What) + (tls ? " (tls)" : " (plain)"));
            cRecordingHost host;
            cScopedHost scoped(&host);
            cSilence silence;
            cScriptedPeer peer(tls);
            peer.Run(
                [&](cScriptedPeer &p)
                {
                    p.Accept();
                    p.ReadFrame();
                    if (!c.Sent.empty())
                        p.Write(c.Sent);
                    silence.Hold();
                    p.Accept();
                    p.ExpectFrame(31002, 103, "g");
                    p.Reply("FileSize=4,FileDate=5");
                });
            dbServerConnection link("127.0.0.1", peer.PortText(), "", "", tls, 1);
            ASSERT_TRUE(link.IsConnectedFlag);
            const std::string local = folder.File("download");
            if (c.Download)
                EXPECT_FALSE(link.DownloadFile("f", local));
            else
                EXPECT_FALSE(link.SendMessage(31002, 103, "f"));
            EXPECT_FALSE(link.IsConnectedFlag);
            silence.Release();
            EXPECT_TRUE(link.SendMessage(31002, 103, "g"));
            EXPECT_EQ(link.Reply.Values("FileDate"), "5");
            peer.Join();
            EXPECT_EQ(peer.Accepted, 2);
        }
}
