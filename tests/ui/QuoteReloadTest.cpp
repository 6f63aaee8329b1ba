// The quote reload beside the window: a scripted function server that trickles a 2 MB reply, stays
// silent or breaks off, while the window's own timer must keep firing; the lines the user had
// chosen survive a reload.
#include "tests/support/ScriptedPeer.h"
#include "tests/ui/UiTestSupport.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>

using namespace ui_test;

namespace
{
class QuoteReload : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
        ASSERT_GT(Tree()->model()->rowCount(), 0);
        // The demo server's reply, as the loads' own link receives it.
        dbServerConnection *link = Session().FunctionServerConnection();
        ASSERT_TRUE(link->SendText(cProviderQuotes::RequestText(ProviderSeq())));
        RealReply = link->ReplyText;
        ASSERT_FALSE(RealReply.empty());
    }
    void TearDown() override
    {
        if (Main)
            Main->StopQuoteLoads();
        Peer.reset();
        cWorkspaceTest::TearDown();
    }
    // Points the loads at a scripted function server running script.
    void Script(std::function<void(cScriptedPeer &)> script)
    {
        Peer = std::make_unique<cScriptedPeer>(false);
        Session().Addresses.FunctionServerPort = Peer->PortText();
        Main->StopQuoteLoads();
        Peer->Run(std::move(script));
    }
    // Accepts the loads' link and checks that the request is today's, byte for byte.
    bool TakeRequest(cScriptedPeer &peer)
    {
        if (!peer.Accept())
            return false;
        const std::string request = peer.ReadUntilNul();
        EXPECT_EQ(request, cProviderQuotes::RequestText(ProviderSeq()));
        return true;
    }

    // Waits (at most 30 s) until the client closes the link.
    static void AwaitClose(cScriptedPeer &peer)
    {
        pollfd link{peer.LinkFd(), POLLIN, 0};
        char byte = 0;
        while (::poll(&link, 1, 30000) > 0 && ::recv(peer.LinkFd(), &byte, 1, 0) > 0)
        {
        }
    }

    std::string RealReply;
    std::unique_ptr<cScriptedPeer> Peer;
};
} // namespace

TEST_F(QuoteReload, TheWindowKeepsAnsweringWhileA2MbReplyTrickles)
{
    // The reply padded with blanks to 2 MB, sent in 64 KB pieces 40 ms apart (about 1.3 s).
    const std::size_t brace = RealReply.rfind('}');
    ASSERT_NE(brace, std::string::npos);
    const std::string reply = RealReply.substr(0, brace) + std::string(2 << 20, ' ') + "}";
    Script(
        [this, reply](cScriptedPeer &peer)
        {
            if (!TakeRequest(peer))
                return;
            for (std::size_t at = 0; at < reply.size(); at += 64 << 10)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(40));
                if (!peer.Write(std::string_view(reply).substr(at, 64 << 10)))
                    return;
            }
            peer.Write(std::string_view("\0", 1));
            AwaitClose(peer);
        });
    const std::vector<std::string> before = ViewLines(Tree());

    // A timer of the window's thread: its longest gap tells how long the window went unanswered.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout,
                     [&]
                     {
                         longest = std::max(longest, clock.elapsed() - last);
                         last = clock.elapsed();
                     });
    beat.start(20);
    Main->LoadProviderQuotes();
    EXPECT_FALSE(Main->QuotesSettled());
    Settle();
    beat.stop();
    EXPECT_GT(clock.elapsed(), 1000) << "the reply took its time";
    EXPECT_LT(longest, 500) << "the window's thread was held up";
    EXPECT_EQ(ViewLines(Tree()), before) << "the padded reply reads as the real one";
    EXPECT_FALSE(Shown("QuoteLoadNoticeLabel"));
}

TEST_F(QuoteReload, RefreshDuringASilentReplyEndsAtOnce)
{
    Script(
        [this](cScriptedPeer &peer)
        {
            if (!TakeRequest(peer))
                return;
            AwaitClose(peer); // silent until the client gives up the link
        });
    Main->LoadProviderQuotes();
    ASSERT_TRUE(WaitUntil([this] { return Peer->Links == 1; }));
    QElapsedTimer clock;
    clock.start();
    // Refresh stops the load and closes its link (then loads again, from a peer that will not
    // answer: the next script's start stops that one).
    const int processedBefore = Host.ProcessMessagesCount;
    QTest::mouseClick(Find<QPushButton>("RefreshRequestButton"), Qt::LeftButton);
    EXPECT_LT(clock.elapsed(), 10000) << "not the reply limit of 120 s";
    EXPECT_EQ(Host.ProcessMessagesCount, processedBefore) << "no input may run inside the click";
    Peer->Join();
    EXPECT_LT(clock.elapsed(), 10000) << "the link was closed";
}

TEST_F(QuoteReload, ABrokenOffReplyShowsTheNotice)
{
    // Half a reply, then the link is reset: the lists are emptied and the notice says so.
    Script(
        [this](cScriptedPeer &peer)
        {
            if (!TakeRequest(peer))
                return;
            peer.Write(std::string_view(RealReply).substr(0, RealReply.size() / 2));
            peer.ResetLink();
        });
    Tick(16);
    EXPECT_TRUE(Shown("QuoteLoadNoticeLabel"));
    EXPECT_EQ(Tree()->model()->rowCount() + AwardedList()->model()->rowCount(), 0);
    EXPECT_TRUE(Host.Messages.empty());
    Peer->Join();
}

TEST_F(QuoteReload, TheChosenLineAndTheScrollPositionSurviveAReload)
{
    const std::string quote = AddQuote();
    for (int i = 0; i < 30; ++i)
        AddQuote();
    Tick(16);
    const QModelIndex line = TreeLine(quote);
    ASSERT_TRUE(line.isValid());
    Tree()->setCurrentIndex(line);
    Tree()->verticalScrollBar()->setValue(Tree()->verticalScrollBar()->maximum() / 2);
    const int scroll = Tree()->verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);
    AddQuote();
    Tick(16);
    EXPECT_EQ(Tree()->currentIndex().data(list_role::Key).toString().toStdString(), quote);
    EXPECT_TRUE(Tree()->selectionModel()->isSelected(Tree()->currentIndex()));
    EXPECT_EQ(Tree()->verticalScrollBar()->value(), scroll);
}
