// The time limit on the data client's exchanges, and the repaint while a request waits, against
// scripted servers that hold a request far past the reply limit.
#include "dataclient/ExchangeTimeLimit.h"
#include "dataclient/dbServerConnection.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"

#include <chrono>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;

enum eStalled
{
    SignOn,   // the constructor's connect waits for the program handshake's reply
    Request,  // SendMessage waits for its reply
    Download, // DownloadFile waits for the file
};

// A server that holds the client: its steps on the first link, after which it stays silent.
struct cStall
{
    const char *Name;
    eStalled Stalled;
    std::function<void(cScriptedPeer &)> Steps;
};

const cStall Stalls[] = {
    {"SilenceAfterTheHandshakeFrame", SignOn, [](cScriptedPeer &p) { p.ReadFrame(); }},
    {"SilenceAfterTheRequest", Request, [](cScriptedPeer &p) { p.ReadFrame(); }},
    // Every byte comes well within the reply limit, so only the time limit ends it.
    {"ReplyTrickledWithoutEnd", Request,
     [](cScriptedPeer &p)
     {
         p.ReadFrame();
         p.Trickle(std::string(100, 'x'), 20);
     }},
    {"HalfADownloadHeader", Download,
     [](cScriptedPeer &p)
     {
         p.ReadFrame();
         p.Write(FileHeader(100).substr(0, 5));
     }},
};

constexpr int LimitMs = 600;
// Far beyond the limit: a wait that ends before this was ended by the limit.
constexpr auto Plenty = std::chrono::seconds(6);

// TLS or not, and the link's reply limit (60 s, or none: the blocking read without a poll).
class StalledServers : public testing::TestWithParam<std::tuple<int, bool, int>>
{
protected:
    const cStall &Stall = Stalls[std::get<0>(GetParam())];
    const bool Tls = std::get<1>(GetParam());
    const int ReplyLimit = std::get<2>(GetParam());
    cRecordingHost Host_;
    cScopedHost Scoped{&Host_};
    cTempDir Folder{"wait_bound_"};
};

std::string StallName(const testing::TestParamInfo<StalledServers::ParamType> &info)
{
    return std::string(Stalls[std::get<0>(info.param)].Name) + (std::get<1>(info.param) ? "Tls" : "Plain") +
           (std::get<2>(info.param) < 0 ? "NoReplyLimit" : "ReplyLimit60s");
}
} // namespace

INSTANTIATE_TEST_SUITE_P(PlainAndTls, StalledServers,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(Stalls))),
                                          testing::Bool(), testing::Values(60, -1)),
                         StallName);

TEST_P(StalledServers, TheExchangeEndsAtTheTimeLimitAndTheNextRequestReconnects)
{
    const bool signOn = Stall.Stalled == SignOn;
    std::promise<void> released;
    cScriptedPeer peer(Tls);
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            Stall.Steps(p);
            released.get_future().wait_for(std::chrono::seconds(20));
            p.Accept();
            if (signOn)
            {
                p.ExpectFrame(1, 0, "ProgramID=DorvaneClient");
                p.Reply("Date=45000.5,Accepted=Y");
            }
            p.ExpectFrame(31002, 103, "g");
            p.Reply("FileSize=4,FileDate=5");
        });

    std::unique_ptr<dbServerConnection> link;
    if (!signOn)
        link = std::make_unique<dbServerConnection>("127.0.0.1", peer.PortText(), "", "", Tls, ReplyLimit);
    bool worked = false;
    const Clock::time_point start = Clock::now();
    {
        cExchangeTimeLimit limit(LimitMs);
        if (signOn)
        {
            link = std::make_unique<dbServerConnection>("127.0.0.1", peer.PortText(), "DorvaneClient", "",
                                                        Tls, ReplyLimit);
            worked = link->IsConnectedFlag;
        }
        else if (Stall.Stalled == Request)
            worked = link->SendMessage(31002, 103, "f");
        else
            worked = link->DownloadFile("f", Folder.File("local"));
    }
    const Clock::duration took = Clock::now() - start;
    released.set_value();
    EXPECT_FALSE(worked);
    EXPECT_FALSE(link->IsConnectedFlag);
    EXPECT_LT(took, Plenty);
    EXPECT_GE(took, std::chrono::milliseconds(LimitMs - 50));
    // The windows were repainted while it waited, and nothing else was let run.
    EXPECT_GT(Host_.RepaintCount, 0);
    EXPECT_EQ(Host_.ProcessMessagesCount, 0);

    // Past the limit the link works again.
    ASSERT_TRUE(link->SendMessage(31002, 103, "g"));
    EXPECT_EQ(link->Reply.Values("FileDate"), "5");
    peer.Join();
    EXPECT_EQ(peer.Links, 2);
}

// A slow answer within the reply limit arrives whole, and the windows were repainted (paint
// only) while it was awaited: no time limit is needed for that.
TEST(RepaintWhileWaiting, ASlowReplyArrivesWholeAndTheWindowsWereRepaintedMeanwhile)
{
    cRecordingHost host;
    cScopedHost scoped(&host);
    for (bool tls : {false, true})
    {
        SCOPED_TRACE(tls ? "tls" : "plain");
        cScriptedPeer peer(tls);
        peer.Run(
            [](cScriptedPeer &p)
            {
                p.Accept();
                p.ReadFrame();
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                p.Reply("FileSize=4,FileDate=5");
            });
        dbServerConnection link("127.0.0.1", peer.PortText(), "", "", tls, 60);
        host.RepaintCount = 0;
        ASSERT_TRUE(link.SendMessage(31002, 103, "f"));
        peer.Join();
        EXPECT_EQ(link.Reply.Values("FileSize"), "4");
        EXPECT_GE(host.RepaintCount, 2);
        EXPECT_EQ(host.ProcessMessagesCount, 0);
    }
}
