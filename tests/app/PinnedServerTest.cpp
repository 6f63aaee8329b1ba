// The data server's certificate pin and the bounded waits, from Dorvane.ini to the login window
// and the self-update, against DorvaneServer and against a scripted peer that goes silent.
#include "app/ClientUpdate.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "state/ServerLinks.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TestCertificates.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "ui/Forms.h"

#include <chrono>
#include <future>
#include <tuple>

namespace
{
const std::string ServerName = "Clients\\DorvaneProvider.exe";

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
    struct
    {
        const char *DataServerLines;
        const char *UpdateLines;
        std::string Pin;
        int ReplyTimeout;
        bool RequirePinned;
    } cases[] = {
        {"", "", "", 120, false},
        {"CertificateSHA256=AB:cd\r\nReplyTimeoutSeconds=7\r\n", "RequirePinnedServer=1\r\n", "AB:cd", 7,
         true},
        {"ReplyTimeoutSeconds=0\r\n", "RequirePinnedServer=0\r\n", "", 120, false},
        {"ReplyTimeoutSeconds=-3\r\n", "RequirePinnedServer=yes\r\n", "", 120, false},
        {"ReplyTimeoutSeconds=soon\r\n", "", "", 120, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(std::string(c.DataServerLines) + c.UpdateLines);
        Folder.WriteIni(Server, c.DataServerLines, c.UpdateLines);
        const cServerAddresses addresses = ReadServerAddresses(Folder.File("Dorvane.ini"));
        EXPECT_EQ(std::tuple(addresses.CertificateSHA256, addresses.ReplyTimeoutSeconds,
                             addresses.RequirePinnedServer, addresses.DataServerPort),
                  std::tuple(c.Pin, c.ReplyTimeout, c.RequirePinned, Server.DataPortText()));
    }
}

TEST_F(PinnedServer, OnlyAMatchingPinConnects)
{
    std::string wrong = ServerPin;
    wrong[10] = wrong[10] == '0' ? '1' : '0';
    struct
    {
        const char *What;
        std::string Pin;
        bool Connects;
    } cases[] = {
        // The forms a pin may take are the socket tests' rows; here the ini key reaches the link.
        {"no pin", "", true},
        {"the server's pin", ServerPin, true},
        {"another certificate's pin", wrong, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.What);
        Host.Messages.clear();
        Folder.WriteIni(Server, c.Pin.empty() ? "" : "CertificateSHA256=" + c.Pin + "\r\n");
        Session().Addresses = ReadServerAddresses(Folder.File("Dorvane.ini"));
        EXPECT_EQ(Session().Connect(), c.Connects);
        if (c.Connects)
        {
            EXPECT_TRUE(Host.Messages.empty());
            EXPECT_TRUE(Session().DataServerConnection()->Connected());
            EXPECT_EQ(Session().DataServerConnection()->Pinned(), !c.Pin.empty());
            // The link really works: the server answers a date request.
            EXPECT_TRUE(Session().DataServerConnection()->SendMessage(dbServerConnection::MsgDate, 0, ""));
        }
        else
        {
            EXPECT_EQ(Shown(Host), NoDataServer);
            EXPECT_FALSE(Session().DataServerConnection()->Connected());
            EXPECT_EQ(Session().FunctionServerConnection(), nullptr);
        }
        Session().Close();
    }
}

TEST_F(PinnedServer, RequirePinnedServerUpdatesOnlyFromThePinnedServer)
{
    for (bool pinned : {false, true})
    {
        SCOPED_TRACE(pinned ? "pinned" : "not pinned");
        PutNewerServerCopy();
        Folder.WriteIni(Server, pinned ? "CertificateSHA256=" + ServerPin + "\r\n" : "",
                        "RequirePinnedServer=1\r\n");
        ShowLogin();
        EXPECT_TRUE(Host.Messages.empty());
        EXPECT_EQ(Host.TerminateCount, pinned ? 1 : 0);
        EXPECT_EQ(Host.StartedPrograms,
                  pinned ? std::vector<std::string>{Executable} : std::vector<std::string>{});
        EXPECT_EQ(ReadFile(Executable), pinned ? "newer copy" : "running copy");
        EXPECT_FALSE(FileExists(Folder.File("DorvaneProvider.tmp")));
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
            std::string header(8, '\0');
            header[0] = static_cast<char>(0xA0);
            header[1] = static_cast<char>(0x86);
            header[2] = 0x01; // 100000
            p.Write(header + std::string(20000, 'x'));
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
    EXPECT_FALSE(connection.IsConnectedFlag);
    EXPECT_FALSE(FileExists(Folder.File("DorvaneProvider.tmp")));
    EXPECT_EQ(ReadFile(Executable), "running copy");
    EXPECT_TRUE(Host.StartedPrograms.empty());
    EXPECT_EQ(Host.TerminateCount, 0);
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
