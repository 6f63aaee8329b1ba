// A data server that holds the login window (silence after TLS, a trickle, half a reply): the
// user gets a message within the window's wait limit, and meanwhile the window is repainted,
// with a busy cursor, while no input, timer or posted call runs.
#include "tests/app/AppTestSupport.h"

#include <QBackingStore>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <functional>
#include <future>

namespace
{
using Clock = std::chrono::steady_clock;

// Records as the fixture's host does; RepaintWindows runs the program's own repaint, and then
// lets the test look at the windows while the request still waits.
class cPaintingHost : public cLaunchingHost
{
public:
    void RepaintWindows() override
    {
        cLaunchingHost::RepaintWindows();
        Painter.RepaintWindows();
        if (During)
            During();
    }
    std::function<void()> During;
    cQtHost Painter;
};

constexpr int LimitMs = 2500;
// A message that came before this was brought by the wait limit, not by a reply limit.
constexpr auto Plenty = std::chrono::seconds(12);

class SilentServer : public cLoginTest
{
protected:
    void SetUp() override
    {
        cLoginTest::SetUp();
        Folder.WriteIni(std::to_string(Peer.Port()), Server.FunctionPortText(),
                        "ReplyTimeoutSeconds=120\r\n");
    }
    void TearDown() override
    {
        Released.set_value();
        Peer.Join();
        cLoginTest::TearDown();
    }

    // The window's colour at a point of its background, as the screen shows the window now.
    QColor OnScreen()
    {
        const QImage shot = Login->screen()->grabWindow(Login->winId()).toImage();
        return shot.isNull() ? QColor() : shot.pixelColor(5, 5);
    }

    // What the window system would show of a window whose contents it lost.
    void Blacken()
    {
        QBackingStore *store = Login->backingStore();
        const QRect all(QPoint(), Login->size());
        store->beginPaint(all);
        {
            QPainter painter(store->paintDevice());
            painter.fillRect(all, Qt::black);
        }
        store->endPaint();
        store->flush(all);
    }

    cScriptedPeer Peer{true};
    std::promise<void> Released;
    cPaintingHost Painting;
    cScopedHost PaintingInstalled{&Painting};
};

// The sign-on and the update check answered; then the server's `behaviour` on the sign-in's read.
void HoldTheSignIn(cScriptedPeer &peer, std::shared_future<void> released,
                   std::function<void(cScriptedPeer &)> behaviour)
{
    peer.Run(
        [=](cScriptedPeer &p)
        {
            p.Accept();
            p.ExpectFrame(1, 0, "ProgramID=DorvaneClient");
            p.Reply("Date=45000.5,RunningFolder=/,RemoteIP=127.0.0.1,Accepted=Y");
            p.ExpectFrame(31002, 103, "Clients\\DorvaneProvider.exe");
            p.Reply("Error=File not found,FileSize=0,FileDate=0");
            p.ReadFrame(); // the "Personnel" read
            behaviour(p);
            released.wait_for(std::chrono::seconds(30));
        });
}

// What the server does with the sign-in's read.
const std::pair<const char *, std::function<void(cScriptedPeer &)>> Behaviours[] = {
    {"Silence", [](cScriptedPeer &) {}},
    {"ATrickleThatNeverEnds", [](cScriptedPeer &p) { p.Trickle(std::string(250, 'x'), 20); }},
    {"HalfAReply", [](cScriptedPeer &p) { p.Write("Personnel,1,2,3"); }},
};

class SilentSignIn : public SilentServer, public testing::WithParamInterface<int>
{
};
} // namespace

INSTANTIATE_TEST_SUITE_P(Behaviours, SilentSignIn, testing::Range(0, static_cast<int>(std::size(Behaviours))),
                         [](const auto &info) { return std::string(Behaviours[info.param].first); });

TEST_P(SilentSignIn, GivesAMessageWithinTheLimitWhileTheWindowRepaints)
{
    HoldTheSignIn(Peer, Released.get_future().share(), Behaviours[GetParam()].second);
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    Login->WaitLimitMilliseconds = LimitMs;
    ShowLogin();
    ASSERT_EQ(Painting.Messages.size(), 0u) << Painting.Messages[0].Text;
    ASSERT_TRUE(WaitUntil([this] { return OnScreen().isValid() && OnScreen() != QColor(Qt::black); }));
    const QColor background = OnScreen();

    // A timer and a posted call that must not run while the request waits.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    bool posted = false;
    QMetaObject::invokeMethod(
        &timer, [&] { posted = true; }, Qt::QueuedConnection);

    // During the wait: the busy cursor, nothing else run, and the screen after the window's
    // contents were lost once.
    struct cSeen
    {
        int Calls = 0;
        bool Busy = true, TimerOrPostedRan = false, BlackAfterLoss = false, RepaintedAfterLoss = false;
    } seen;
    Painting.During = [&]
    {
        ++seen.Calls;
        seen.Busy = seen.Busy && Painting.BusyCursor;
        seen.TimerOrPostedRan = seen.TimerOrPostedRan || ticks > 0 || posted;
        if (seen.Calls == 1)
        {
            Blacken();
            seen.BlackAfterLoss = OnScreen() == QColor(Qt::black);
        }
        else if (OnScreen() == background)
            seen.RepaintedAfterLoss = true;
    };
    QTest::keyClicks(Login->findChild<QLineEdit *>("UserEdit"), "admin@bayview.example");
    QTest::keyClicks(Login->findChild<QLineEdit *>("PasswordEdit"), "demo1234");
    const Clock::time_point clicked = Clock::now();
    QTest::mouseClick(Login->findChild<QPushButton *>("LoginButton"), Qt::LeftButton);
    const Clock::duration took = Clock::now() - clicked;
    Painting.During = nullptr;

    EXPECT_EQ(Shown(Painting),
              std::vector<std::string>{"Error | The data server did not answer. Please try again. | Ok"});
    EXPECT_LT(took, Plenty);
    EXPECT_GE(took, std::chrono::milliseconds(LimitMs - 100));
    EXPECT_GT(seen.Calls, 3);
    EXPECT_TRUE(seen.Busy);
    EXPECT_FALSE(Painting.BusyCursor);
    EXPECT_FALSE(seen.TimerOrPostedRan);
    EXPECT_TRUE(seen.BlackAfterLoss) << "the screen grab does not show the window's own contents";
    EXPECT_TRUE(seen.RepaintedAfterLoss) << "the window stayed black while the request waited";
    // The program goes on: the user may try again; the timer and the call run once the loop does.
    EXPECT_EQ(std::tuple(Painting.TerminateCount, Main->isVisible(),
                         Login->findChild<QPushButton *>("LoginButton")->isVisible()),
              std::tuple(0, false, true));
    EXPECT_TRUE(WaitUntil([&] { return ticks > 0 && posted; }));
}

// Silence right after TLS, at the first showing: the connect fails within the limit (not the
// reply limit), and the window was repainted while it waited.
TEST_F(SilentServer, SilenceAfterTlsAtTheFirstShowingEndsWithinTheLimit)
{
    const std::shared_future<void> released = Released.get_future().share();
    Peer.Run(
        [released](cScriptedPeer &p)
        {
            p.Accept();
            p.ReadFrame(); // the sign-on, never answered
            released.wait_for(std::chrono::seconds(30));
        });
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    Login->WaitLimitMilliseconds = LimitMs;
    const Clock::time_point shown = Clock::now();
    ShowLogin();
    const Clock::duration took = Clock::now() - shown;
    EXPECT_EQ(Shown(Painting), std::vector<std::string>{"Error | Unable to connect to data server | Ok"});
    EXPECT_EQ(Painting.TerminateCount, 1);
    EXPECT_LT(took, Plenty);
    EXPECT_GT(Painting.RepaintCount, 3);
    EXPECT_FALSE(Painting.BusyCursor);
}
