// The login window against DorvaneServer: start-up configuration, connecting and signing in.
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "state/ServerLinks.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScriptedPeer.h"
#include "toolkit/Files.h"
#include "ui/Forms.h"
#include "ui/Look.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>

namespace
{
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
        Login->show();
        QTest::qWait(50);
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
    EXPECT_TRUE(Session().DataServerConnection()->Connected());
    EXPECT_FALSE(FileExists(Folder.File("DorvaneProvider.tmp")));
    EXPECT_EQ(ReadFile(Executable), "running copy");
    EXPECT_FALSE(Login->UpdateIndicatorPanel->isVisible());
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
    dbServerConnection *data = Session().DataServerConnection();
    dbServerConnection *function = Session().FunctionServerConnection();
    RepaintAndShowAgain();
    EXPECT_EQ(Session().DataServerConnection(), data);
    EXPECT_EQ(Session().FunctionServerConnection(), function);

    EXPECT_FALSE(Main->isVisible());
    EXPECT_FALSE(Main->findChild<QTimer *>("Timer1")->isActive());
    SignIn("admin@bayview.example", "demo1234");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Host.TerminateCount, 0);
    EXPECT_TRUE(Main->isVisible());
    EXPECT_FALSE(Login->isVisible());
    EXPECT_TRUE(Main->findChild<QTimer *>("Timer1")->isActive());
    EXPECT_EQ(Main->findChild<QTimer *>("Timer1")->interval(), 1000);
    EXPECT_EQ(Session().PersonnelRecord.Strings(22), "admin@bayview.example");
    EXPECT_FALSE(Login->findChild<QLineEdit *>("UserEdit")->isVisibleTo(Login.get()));
}

// Counts the paint events of one widget.
class cPaintCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
    std::atomic<int> Paints{0};
};

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
    LoginForm = Login.get();
    Login->ConnectingLabel->installEventFilter(&counter);
    Login->show();
    ASSERT_TRUE(WaitUntil([] { return Session().DataServerConnection() != nullptr; }));
    peer.Join();
    EXPECT_GT(paintsAtConnect.load(), 0);
    EXPECT_EQ(Login->ConnectingLabel->text(), "Connecting, please wait.");
    ExpectOnlyMessage("Unable to connect to data server");
}

TEST_F(LoginWindow, PasswordIsMaskedWithStarsInTheWindowsFont)
{
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    auto *password = Login->findChild<QLineEdit *>("PasswordEdit");
    for (const QWidget *widget :
         {static_cast<const QWidget *>(Login.get()), static_cast<const QWidget *>(password)})
    {
        EXPECT_EQ(widget->font().family(), SansFont(11).family());
        EXPECT_EQ(widget->font().pixelSize(), 11);
    }
    QTest::keyClicks(password, "abc");
    EXPECT_EQ(password->text(), "abc");
    EXPECT_EQ(password->displayText(), "***");
}

// The e-mail is sent exactly as typed (blanks and letter case kept) and judged against what is
// stored; an empty password is refused even when none is stored; anything else that does not
// match shows "Invalid login" and the program ends.
TEST_F(LoginWindow, SignInIsSentAsTypedAndJudged)
{
    const struct
    {
        const char *Email, *Password;
        bool Add, Accepted;
    } cases[] = {
        {" Mixed.Case@Example.org ", "Pa55 word", true, true},
        {"nopassword@bayview.example", "", true, false},
        {"admin@bayview.example", "DEMO1234", false, false},
        {"nobody@bayview.example", "demo1234", false, false},
    };
    Folder.WriteIni(Server);
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.Email);
        if (c.Add)
        {
            dbServerConnection connection("127.0.0.1", Server.DataPortText(), "DorvaneClient", "", true, -1);
            cStringList person;
            person.Add("f9=1");
            person.Add("f11=Test");
            person.Add(std::string("f22=") + c.Email);
            if (*c.Password)
                person.Add(std::string("f23=") + c.Password);
            ASSERT_NE(connection.AddRecord("Personnel", person), "");
        }
        ShowLogin();
        SignIn(c.Email, c.Password);
        EXPECT_EQ(Session().DataServerConnection()->Request.Values("Key"), c.Email);
        EXPECT_EQ(Main->isVisible(), c.Accepted);
        EXPECT_EQ(Main->findChild<QTimer *>("Timer1")->isActive(), c.Accepted);
        if (c.Accepted)
        {
            EXPECT_TRUE(Host.Messages.empty());
        }
        else
        {
            ExpectOnlyMessage("Invalid login");
            // The login controls stay hidden: the program is ending.
            EXPECT_FALSE(Login->findChild<QPushButton *>("LoginButton")->isVisibleTo(Login.get()));
        }
        TearDown();
        Host.Messages.clear();
        Host.TerminateCount = 0;
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
