// The data server's certificate pin and the bounded waits, from Dorvane.ini to the login window
// and the self-update, against DorvaneServer and against a scripted peer that goes silent.
#include "app/ClientUpdate.h"
#include "dataclient/dbServerConnection.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestCertificates.h"

#include <chrono>
#include <future>
#include <tuple>

namespace
{
class PinnedServer : public cLoginTest
{
protected:
    void SetUp() override
    {
        cLoginTest::SetUp();
        ServerPin = CertificateSHA256Hex(Server.Path("server.crt"));
        ASSERT_EQ(ServerPin.size(), 64u);
    }

    std::string ServerPin;
};

const std::vector<std::string> NoDataServer{"Error | Unable to connect to data server | Ok"};
} // namespace

TEST_F(PinnedServer, IniKeysAreReadWithTheirDefaults)
{
    // The [DataServer] and [Update] lines, then the pin, reply timeout and pinned-server flag read.
    const std::tuple<const char *, const char *, const char *, int, bool> cases[] = {
        {"", "", "", 120, false},
        {"CertificateSHA256=AB:cd\r\nReplyTimeoutSeconds=7\r\n", "RequirePinnedServer=1\r\n", "AB:cd", 7,
         true},
        {"ReplyTimeoutSeconds=0\r\n", "RequirePinnedServer=0\r\n", "", 120, false},
        {"ReplyTimeoutSeconds=-3\r\n", "RequirePinnedServer=yes\r\n", "", 120, false},
        {"ReplyTimeoutSeconds=soon\r\n", "", "", 120, false},
    };
    for (const auto &[dataServerLines, updateLines, pin, replyTimeout, requirePinned] : cases)
    {
        SCOPED_TRACE(std::string(dataServerLines) + updateLines);
        Folder.WriteIni(Server, dataServerLines, updateLines);
        const cServerAddresses addresses = ReadServerAddresses(Folder.File("Dorvane.ini"));
        EXPECT_EQ(std::tuple(addresses.CertificateSHA256, addresses.ReplyTimeoutSeconds,
                             addresses.RequirePinnedServer, addresses.DataServerPort),
                  std::tuple(pin, replyTimeout, requirePinned, Server.DataPortText()));
    }
}

TEST_F(PinnedServer, OnlyAMatchingPinConnects)
{
    std::string wrong = ServerPin;
    wrong[10] = wrong[10] == '0' ? '1' : '0';
    // The forms a pin may take are the socket tests' rows; here the ini key reaches the link.
    const std::tuple<const char *, std::string, bool> cases[] = {{"no pin", "", true},
                                                                 {"the server's pin", ServerPin, true},
                                                                 {"another certificate's pin", wrong, false}};
    for (const auto &[what, pin, connects] : cases)
    {
        SCOPED_TRACE(what);
        Host.Messages.clear();
        Folder.WriteIni(Server, pin.empty() ? "" : "CertificateSHA256=" + pin + "\r\n");
        Session().Addresses = ReadServerAddresses(Folder.File("Dorvane.ini"));
        EXPECT_EQ(Session().Connect(), connects);
        // The messages shown, and whether the data and function servers are connected.
        EXPECT_EQ(std::tuple(Shown(Host), Session().DataServerConnection()->Connected(),
                             Session().FunctionServerConnection() != nullptr),
                  std::tuple(connects ? std::vector<std::string>{} : NoDataServer, connects, connects));
        // A link that connects is pinned when a pin was given, and works: the server answers a date request.
        EXPECT_TRUE(!connects || Session().DataServerConnection()->Pinned() == !pin.empty());
        EXPECT_TRUE(!connects ||
                    Session().DataServerConnection()->SendMessage(dbServerConnection::MsgDate, 0, ""));
        Session().Close();
    }
}

TEST_F(PinnedServer, RequirePinnedServerUpdatesOnlyFromThePinnedServer)
{
    // Pinned, then the host's terminate count, started programs and executable text so far.
    const std::tuple<bool, int, std::vector<std::string>, const char *> cases[] = {
        {false, 0, {}, "running copy"}, {true, 1, {Executable}, "newer copy"}};
    for (const auto &[pinned, terminates, started, executable] : cases)
    {
        SCOPED_TRACE(pinned ? "pinned" : "not pinned");
        PutNewerServerCopy();
        Folder.WriteIni(Server, pinned ? "CertificateSHA256=" + ServerPin + "\r\n" : "",
                        "RequirePinnedServer=1\r\n");
        ShowLogin();
        EXPECT_EQ(std::tuple(Host.Messages.size(), Host.TerminateCount, Host.StartedPrograms,
                             ReadFile(Executable), FileExists(Folder.File("DorvaneProvider.tmp"))),
                  std::tuple(0u, terminates, started, executable, false));
        EXPECT_TRUE(pinned || !Login->UpdateIndicatorPanel->isVisible()) << "no update, no panel";
        Login.reset();
        Session().Close();
    }
}

TEST_F(PinnedServer, StalledUpdateDownloadFailsAndLeavesNoTemporaryFile)
{
    std::promise<void> released;
    cScriptedPeer peer(true);
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            p.ReadFrame(); // the file information
            p.Reply("FileSize=100000,FileDate=" + std::to_string(DateTimeToFileDate(EncodeDate(2030, 1, 1))));
            p.ReadFrame(); // the download: a header and part of the file, then silence
            p.Write(FileHeader(100000) + std::string(20000, 'x'));
            released.get_future().wait_for(std::chrono::seconds(20));
        });
    dbServerConnection connection("127.0.0.1", peer.PortText(), "", "", true, 1);
    ASSERT_TRUE(connection.IsConnectedFlag);
    {
        cClientUpdate update(&connection, ServerName, Folder.Path, nullptr, nullptr, nullptr, Executable);
        ASSERT_TRUE(update.UpdateNeeded);
        EXPECT_FALSE(update.RunUpdate());
    }
    released.set_value();
    peer.Join();
    EXPECT_EQ(std::tuple(connection.IsConnectedFlag, FileExists(Folder.File("DorvaneProvider.tmp")),
                         ReadFile(Executable), Host.StartedPrograms.size(), Host.TerminateCount),
              std::tuple(false, false, "running copy", 0u, 0));
}

TEST_F(PinnedServer, DataServerThatNeverAnswersTheHandshakeIsReported)
{
    std::promise<void> released;
    cScriptedPeer peer(false); // accepts TCP, never speaks TLS
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            released.get_future().wait_for(std::chrono::seconds(20));
        });
    cServerAddresses addresses;
    addresses.DataServerAddress = "127.0.0.1";
    addresses.DataServerPort = peer.PortText();
    addresses.HandshakeMilliseconds = 300;
    Session().Addresses = addresses;
    EXPECT_FALSE(Session().Connect());
    released.set_value();
    peer.Join();
    EXPECT_EQ(Shown(Host), NoDataServer);
}
