// Trust on first use of the data server's certificate, from the login window: against
// DorvaneServer, and against a scripted server that stands in for a fake one met after a first
// real contact.
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestCertificates.h"

#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <tuple>

namespace
{
class ServerTrust : public cLoginTest
{
protected:
    void SetUp() override
    {
        cLoginTest::SetUp();
        Fingerprint = CertificateSHA256Hex(Server.Path("server.crt"));
        ASSERT_EQ(Fingerprint.size(), 64u);
    }

    // Remembers `digest` for the data server at `port`, as a first contact would have.
    void Remember(int port, const std::string &digest)
    {
        std::filesystem::create_directories(std::filesystem::path(ConfigHome.KnownServers()).parent_path());
        WriteFile(ConfigHome.KnownServers(), "127.0.0.1:" + std::to_string(port) + " " + digest + "\n");
    }

    void SignIn()
    {
        QTest::keyClicks(Login->findChild<QLineEdit *>("UserEdit"), "admin@bayview.example");
        QTest::keyClicks(Login->findChild<QLineEdit *>("PasswordEdit"), "demo1234");
        QTest::mouseClick(Login->findChild<QPushButton *>("LoginButton"), Qt::LeftButton);
    }

    // The files the update leaves in the program folder, the executable's text, the programs
    // started and the ends asked for: what tells whether the update ran.
    auto UpdateOutcome()
    {
        return std::tuple(FileExists(Folder.File("DorvaneProvider.tmp")), ReadFile(Executable),
                          Host.StartedPrograms.size(), Host.TerminateCount);
    }

    std::string Fingerprint;
};

const auto Updated = std::tuple(false, std::string("newer copy"), std::size_t{1}, 1);
const auto NotUpdated = std::tuple(false, std::string("running copy"), std::size_t{0}, 0);
} // namespace

TEST_F(ServerTrust, FirstContactIsRememberedBeforeTheUpdateAndTheSameCertificateUpdatesAgain)
{
    const std::string line = "127.0.0.1:" + Server.DataPortText() + " " + Fingerprint;
    // What, the [DataServer] lines, and whether the file of known servers then holds the line.
    const std::tuple<const char *, std::string, bool> rounds[] = {
        {"pinned: the pin decides and nothing is remembered", "CertificateSHA256=" + Fingerprint + "\r\n",
         false},
        {"first contact", "", true},
        {"the same certificate again", "", true},
    };
    for (const auto &[what, dataServerLines, remembered] : rounds)
    {
        SCOPED_TRACE(what);
        WriteFile(Executable, "running copy");
        PutNewerServerCopy();
        Folder.WriteIni(Server, dataServerLines);
        ShowLogin();
        EXPECT_EQ(Shown(Host), std::vector<std::string>{});
        EXPECT_EQ(UpdateOutcome(), Updated);
        const std::string known = ReadFile(ConfigHome.KnownServers());
        EXPECT_EQ(known.find("\n" + line + "\n") != std::string::npos, remembered) << known;
        // Remembered once only.
        EXPECT_EQ(known.find(line), known.rfind(line));
        Login.reset();
        Session().Close();
        Host = {};
    }
}

TEST_F(ServerTrust, ChangedCertificateRefusesTheUpdateSaysHowToAcceptItAndSigningInGoesOn)
{
    const std::string remembered(64, '7');
    Remember(Server.DataPort, remembered);
    const std::string before = ReadFile(ConfigHome.KnownServers());
    PutNewerServerCopy();
    Folder.WriteIni(Server);
    ShowLogin();

    ASSERT_EQ(Host.Messages.size(), 1u);
    const cRecordingHost::cMessage &message = Host.Messages[0];
    EXPECT_EQ(message.Caption, "Data server certificate changed");
    // The line to delete, the file that holds it, and the pin that would accept the new certificate.
    for (const std::string &part :
         {"127.0.0.1:" + Server.DataPortText() + " " + remembered, ConfigHome.KnownServers(),
          "CertificateSHA256=" + Fingerprint, Folder.File("Dorvane.ini"), std::string("sign in")})
        EXPECT_NE(message.Text.find(part), std::string::npos) << part << " in\n" << message.Text;
    EXPECT_EQ(UpdateOutcome(), NotUpdated);
    EXPECT_EQ(ReadFile(ConfigHome.KnownServers()), before);

    SignIn();
    EXPECT_EQ(std::tuple(Host.Messages.size(), Host.TerminateCount, Main->isVisible()),
              std::tuple(1u, 0, true));
}

// The first contact was the real server; now a fake one with its own certificate answers at that
// address. It is told nothing but the sign-on: no date of a copy is asked, nothing is downloaded.
TEST_F(ServerTrust, AFakeServerMetAfterTheRealOneCannotMakeTheClientRunItsFile)
{
    std::string asked;
    cScriptedPeer fake(true);
    fake.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            p.ExpectFrame(1, 0, "ProgramID=DorvaneClient");
            p.Reply("Date=45000.5,RunningFolder=/,RemoteIP=127.0.0.1,Accepted=Y");
            asked = p.ReadRest();
        });
    Remember(fake.Port(), Fingerprint);
    WriteFile(Executable, "running copy");
    FileSetDate(Executable, DateTimeToFileDate(EncodeDate(2020, 1, 1)));
    Folder.WriteIni(fake.PortText(), Server.FunctionPortText());
    ShowLogin();
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Caption, "Data server certificate changed");
    EXPECT_NE(Host.Messages[0].Text.find(CertificateSHA256Hex(TestCertificate().CertFile)),
              std::string::npos);
    Session().Close();
    fake.Join();
    EXPECT_EQ(asked, "");
    EXPECT_EQ(UpdateOutcome(), NotUpdated);
}

TEST_F(ServerTrust, AServerThatCannotBeRememberedGivesNoUpdate)
{
    // The configuration folder's "Dorvane" is a file, so nothing can be written under it.
    WriteFile(std::filesystem::path(ConfigHome.KnownServers()).parent_path().string(), "in the way");
    PutNewerServerCopy();
    Folder.WriteIni(Server);
    ShowLogin();
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Caption, "Data server certificate not remembered");
    EXPECT_EQ(UpdateOutcome(), NotUpdated);
    EXPECT_TRUE(Login->findChild<QPushButton *>("LoginButton")->isVisible());
}
