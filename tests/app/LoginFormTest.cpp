// The login window against DorvaneServer: start-up configuration, connecting and signing in, and
// what a screen reader finds on it.
#include "dataclient/dbServerConnection.h"
#include "tests/AccessibleWalk.h"
#include "tests/app/AppTestSupport.h"
#include "ui/Look.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>

namespace
{
// Counts the paint events of the widgets it filters.
struct cPaintCounter : QObject
{
    bool eventFilter(QObject *, QEvent *event) override
    {
        Paints += event->type() == QEvent::Paint;
        return false;
    }
    std::atomic<int> Paints{0};
};

class LoginWindow : public cLoginTest
{
protected:
    void SignIn(const QString &email, const QString &password)
    {
        QTest::keyClicks(Login->findChild<QLineEdit *>("UserEdit"), email);
        QTest::keyClicks(Login->findChild<QLineEdit *>("PasswordEdit"), password);
        QTest::mouseClick(Login->findChild<QPushButton *>("LoginButton"), Qt::LeftButton);
    }

    // The one message shown was the text with caption "Error", and the program ends.
    void ExpectOnlyMessage(const std::string &text)
    {
        EXPECT_EQ(Shown(Host), std::vector<std::string>{"Error | " + text + " | Ok"});
        EXPECT_EQ(Host.TerminateCount, 1);
    }

    // Paints and shows the window again; neither may start the first-showing work again.
    void RepaintAndShowAgain()
    {
        Login->FormPaint();
        Login->hide();
        cPaintCounter counter;
        Login->installEventFilter(&counter);
        Login->show();
        ASSERT_TRUE(WaitUntil([&counter] { return counter.Paints > 0; }));
        QCoreApplication::processEvents(); // what the paint scheduled
    }
};
} // namespace

TEST_F(LoginWindow, IniOnlyInTheWorkingDirectoryIsMissingAndReportedOnce)
{
    cProgramFolder elsewhere;
    elsewhere.WriteIni(Server);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(elsewhere.Path)));
    ShowLogin();
    QDir::setCurrent(previous);
    ExpectOnlyMessage("Unable to connect to data server");
    EXPECT_TRUE(Session().Addresses.DataServerAddress.empty());
    EXPECT_EQ(Session().FunctionServerConnection(), nullptr);
    RepaintAndShowAgain();
    EXPECT_EQ(Host.Messages.size(), 1u);
}

TEST_F(LoginWindow, PortThatIsNotANumberConnectsTo8700)
{
    cScriptedPeer peer(false, 8700);
    if (!peer.Listening)
        GTEST_SKIP() << "port 8700 is in use";
    for (const char *port : {"abc", ""})
    {
        Folder.WriteIni(Server.DataPortText(), port);
        TLoginForm login(Folder.Path, Executable);
        EXPECT_TRUE(login.ConnectToServers()) << "port '" << port << "'";
        EXPECT_TRUE(Host.Messages.empty());
        EXPECT_TRUE(peer.Accept()) << "nothing connected to 8700 for port '" << port << "'";
        Session().Close();
    }
}

TEST_F(LoginWindow, FunctionServerDownEndsWithoutUpdateCheck)
{
    PutNewerServerCopy(); // would start an update if the check ran
    Folder.WriteIni(Server.DataPortText(), std::to_string(UnusedPort()));
    ShowLogin();
    ExpectOnlyMessage("Unable to connect to function server");
    // The data server stays connected; no download, no new executable, no update panel.
    EXPECT_EQ(std::tuple(Session().DataServerConnection()->Connected(),
                         FileExists(Folder.File("DorvaneProvider.tmp")), ReadFile(Executable),
                         Login->UpdateIndicatorPanel->isVisible()),
              std::tuple(true, false, "running copy", false));
}

TEST_F(LoginWindow, SignInShowsMainWindowAndStartsItsTimer)
{
    ASSERT_NE(Folder.Path.find(' '), std::string::npos); // the ini is found in a folder with blanks
    Folder.WriteIni(Server);
    ShowLogin();
    ASSERT_TRUE(Host.Messages.empty()) << Host.Messages[0].Text;
    ASSERT_NE(Session().FunctionServerConnection(), nullptr);
    EXPECT_EQ(Host.TerminateCount, 0);

    // Painting again, or showing the window again, keeps the connections.
    const std::pair connections(Session().DataServerConnection(), Session().FunctionServerConnection());
    RepaintAndShowAgain();
    EXPECT_EQ(std::pair(Session().DataServerConnection(), Session().FunctionServerConnection()), connections);

    // The window and its password box use the window font; the password shows as stars.
    auto *password = Login->findChild<QLineEdit *>("PasswordEdit");
    for (const QWidget *widget : std::initializer_list<const QWidget *>{Login.get(), password})
        EXPECT_EQ(std::pair(widget->font().family().toStdString(), widget->font().pixelSize()),
                  std::pair(SansFont(11).family().toStdString(), 11));
    auto *timer = Main->findChild<QTimer *>("Timer1");
    EXPECT_EQ(std::pair(Main->isVisible(), timer->isActive()), std::pair(false, false));
    SignIn("admin@bayview.example", "demo1234");
    EXPECT_EQ(std::tuple(password->text().toStdString(), password->displayText().toStdString()),
              std::tuple("demo1234", "********"));
    EXPECT_EQ(std::tuple(Host.Messages.size(), Host.TerminateCount), std::tuple(0u, 0));
    // The main window and its timer run; the login window and its controls are hidden; the person is read.
    EXPECT_EQ(std::tuple(Main->isVisible(), timer->isActive(), timer->interval(), Login->isVisible(),
                         Login->findChild<QLineEdit *>("UserEdit")->isVisibleTo(Login.get()),
                         Session().PersonnelRecord.Strings(22)),
              std::tuple(true, true, 1000, false, false, "admin@bayview.example"));
}

TEST_F(LoginWindow, IsPaintedConnectingBeforeItConnects)
{
    // A data server that notes how often "Connecting, please wait." had been painted when the
    // connection came, then hangs up.
    cPaintCounter counter;
    std::atomic<int> paintsAtConnect{-1};
    cScriptedPeer peer(false);
    ASSERT_TRUE(peer.Listening);
    peer.Run(
        [&](cScriptedPeer &p)
        {
            if (p.Accept())
                paintsAtConnect = counter.Paints.load();
            p.CloseLink();
        });
    Folder.WriteIni(peer.PortText(), std::to_string(UnusedPort()));
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    Login->ConnectingLabel->installEventFilter(&counter);
    ShowLogin();
    peer.Join();
    EXPECT_GT(paintsAtConnect.load(), 0);
    EXPECT_EQ(Login->ConnectingLabel->text(), "Connecting, please wait.");
    ExpectOnlyMessage("Unable to connect to data server");
}

// The e-mail is sent exactly as typed (blanks and letter case kept) and judged against what is
// stored; an empty password is refused even when none is stored; anything else that does not
// match shows "Invalid login" and the program ends.
TEST_F(LoginWindow, SignInIsSentAsTypedAndJudged)
{
    // E-mail and password typed, whether the person is stored first, and whether the sign-in is accepted.
    const std::tuple<const char *, const char *, bool, bool> cases[] = {
        {" Mixed.Case@Example.org ", "Pa55 word", true, true},
        {"nopassword@bayview.example", "", true, false},
        {"admin@bayview.example", "DEMO1234", false, false},
        {"nobody@bayview.example", "demo1234", false, false},
    };
    Folder.WriteIni(Server);
    for (const auto &[email, password, add, accepted] : cases)
    {
        SCOPED_TRACE(email);
        if (add)
        {
            dbServerConnection connection("127.0.0.1", Server.DataPortText(), "DorvaneClient", "", true, -1);
            cStringList person;
            person.Add("f9=1");
            person.Add("f11=Test");
            person.Add(std::string("f22=") + email);
            if (*password)
                person.Add(std::string("f23=") + password);
            ASSERT_NE(connection.AddRecord("Personnel", person), "");
        }
        ShowLogin();
        SignIn(email, password);
        EXPECT_EQ(std::tuple(Session().DataServerConnection()->Request.Values("Key"), Main->isVisible(),
                             Main->findChild<QTimer *>("Timer1")->isActive(), Host.TerminateCount),
                  std::tuple(email, accepted, accepted, accepted ? 0 : 1));
        EXPECT_EQ(Shown(Host), accepted ? std::vector<std::string>{}
                                        : std::vector<std::string>{"Error | Invalid login | Ok"});
        // The login controls stay hidden: the window is done with, or the program is ending.
        EXPECT_FALSE(Login->findChild<QPushButton *>("LoginButton")->isVisibleTo(Login.get()));
        TearDown();
        Host = {};
        Main = std::make_unique<TMainForm>();
        MainForm = Main.get();
    }
}

TEST_F(LoginWindow, RecordTooShortToHoldAPasswordIsRefused)
{
    // A data server that answers the sign-in with a record of 23 values (no line 23 at all).
    cScriptedPeer peer(true);
    ASSERT_TRUE(peer.Listening);
    std::string record = "Personnel";
    for (int line = 1; line < 23; ++line)
        record += line == 22 ? ",short@bayview.example" : ",x";
    peer.Run(
        [record](cScriptedPeer &p)
        {
            p.Accept();
            p.ReadFrame();
            p.Reply("Date=45000.5,RunningFolder=/,RemoteIP=127.0.0.1,Accepted=Y");
            p.ReadFrame();
            p.Reply(record);
        });
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    Session().ReplaceDataServerConnection(
        std::make_unique<dbServerConnection>("127.0.0.1", peer.PortText(), "DorvaneClient", "", true, -1));
    ASSERT_TRUE(Session().DataServerConnection()->Connected());
    Login->show();
    SignIn("short@bayview.example", "");
    peer.Join();
    EXPECT_EQ(Session().PersonnelRecord.Count(), 23);
    ExpectOnlyMessage("Invalid login");
    EXPECT_FALSE(Main->isVisible());
}

TEST_F(LoginWindow, EveryControlAScreenReaderReachesIsNamed)
{
    Folder.WriteIni(Server);
    ShowLogin();
    int reachable = 0;
    EXPECT_EQ(accessible_walk::NamelessControls(Login.get(), &reachable), std::vector<std::string>{});
    EXPECT_GE(reachable, 3) << "e-mail, password, Log In";
    EXPECT_EQ(accessible_walk::SpokenName(Login->findChild<QLineEdit *>("PasswordEdit")), "Password ");
    // The update panel, as an update shows it.
    Login->UpdateIndicatorPanel->show();
    EXPECT_EQ(accessible_walk::NamelessControls(Login.get()), std::vector<std::string>{});
    EXPECT_EQ(accessible_walk::SpokenName(Login->UpdateProgressBar), "Update progress");
}
