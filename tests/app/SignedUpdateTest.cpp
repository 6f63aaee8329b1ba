// Signed updates: a build with an update-signing key takes a newer copy only with a valid
// signature of exactly the downloaded bytes; against DorvaneServer --sign-updates, and against a
// scripted server that checks the exact requests and sends a cut-short copy.
#include "app/ClientUpdate.h"
#include "dataclient/dbServerConnection.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/SigningKeys.h"
#include "tests/support/TestCertificates.h"

#include <QPushButton>
#include <tuple>

namespace
{
// A second server for the binary that signs its file area with key 0.
cServerProcess &SigningServer()
{
    static cServerProcess server;
    [[maybe_unused]] static const bool started =
        server.Start({"--sign-updates", SigningKey(0).PrivateKeyFile});
    return server;
}

const std::string NewerCopy = "#!/bin/sh\n# a newer copy\n";
const std::int32_t OldDate = DateTimeToFileDate(EncodeDate(2020, 1, 1));
const std::int32_t NewDate = DateTimeToFileDate(EncodeDate(2024, 1, 1));

class SignedUpdate : public cLoginTest
{
protected:
    void TearDown() override
    {
        cLoginTest::TearDown();
        DeleteFile(SigningServer().Path("files/Clients/DorvaneProvider.exe"));
        DeleteFile(SigningServer().Path("files/Clients/DorvaneProvider.exe.sig"));
    }

    // The newer copy in `server`'s file area; the running executable older.
    void PutNewerCopy(const cServerProcess &server)
    {
        const std::string copy = server.Path("files/Clients/DorvaneProvider.exe");
        WriteFile(copy, NewerCopy);
        FileSetDate(copy, NewDate);
        WriteFile(Executable, "running copy");
        FileSetDate(Executable, OldDate);
    }

    // The messages' captions, the executable's text and whether it was started, and the files
    // left beside it.
    auto Outcome()
    {
        return std::tuple(ReadFile(Executable), Host.StartedPrograms.size(),
                          FileExists(Folder.File("DorvaneProvider.tmp")),
                          FileExists(Folder.File("DorvaneProvider.sig")));
    }
};
} // namespace

TEST_F(SignedUpdate, OnlyACopySignedWithThePairOfTheBuiltInKeyIsTaken)
{
    ASSERT_GT(SigningServer().DataPort, 0) << SigningServer().Error;
    // What, whether the server signs, the client's key (-1: a build without one), and the reason
    // given when the copy is not taken ("" when it is).
    const std::tuple<const char *, bool, int, const char *> cases[] = {
        {"signed by the server with the key's pair", true, 0, ""},
        {"signed with another key", true, 1, "its signature does not match the downloaded copy"},
        {"a server that signs nothing", false, 0, "the server holds no signature for it"},
        {"a build without a key takes an unsigned copy", false, -1, ""},
    };
    for (const auto &[what, signs, key, reason] : cases)
    {
        SCOPED_TRACE(what);
        const cServerProcess &server = signs ? SigningServer() : Server;
        PutNewerCopy(server);
        Folder.WriteIni(server);
        Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
        Login->UpdatePublicKey = key < 0 ? "" : SigningKey(key).PublicKeyPem;
        ShowLogin();
        const bool taken = *reason == 0;
        EXPECT_EQ(Outcome(), std::tuple(taken ? NewerCopy : "running copy", taken ? 1u : 0u, false, false));
        if (taken)
            EXPECT_EQ(Shown(Host), std::vector<std::string>{});
        else
        {
            ASSERT_EQ(Host.Messages.size(), 1u);
            EXPECT_EQ(Host.Messages[0].Caption, "Update not applied");
            EXPECT_EQ(Host.Messages[0].Text.rfind("This program was not updated: " + std::string(reason), 0),
                      0u)
                << Host.Messages[0].Text;
            // The present copy goes on: the user can sign in.
            EXPECT_EQ(std::tuple(Host.TerminateCount, Login->UpdateIndicatorPanel->isVisible(),
                                 Login->findChild<QPushButton *>("LoginButton")->isVisible()),
                      std::tuple(0, false, true));
        }
        Login.reset();
        Session().Close();
        Host = {};
    }
}

namespace
{
const std::string ServerFile = "Clients\\DorvaneProvider.exe";

// A scripted data server (no sign-on) that answers the update's requests: the file information
// with `announced` bytes, the copy as `sent`, and with a key the signature; then it notes what
// else the client sends until the link closes.
struct cScriptedUpdate
{
    cScriptedUpdate(std::size_t announced, const std::string &sent, bool signatureAsked,
                    const std::string &signature)
    {
        Peer.Run(
            [=, this](cScriptedPeer &p)
            {
                p.Accept();
                p.ExpectFrame(31002, 103, ServerFile);
                p.Reply("FileSize=" + std::to_string(announced) + ",FileDate=" + std::to_string(NewDate));
                p.ExpectFrame(31002, 101, ServerFile);
                p.Write(FileHeader(static_cast<std::int32_t>(sent.size()), NewDate) + sent);
                p.Reply("OK");
                if (signatureAsked)
                {
                    p.ExpectFrame(31002, 101, ServerFile + ".sig");
                    p.Write(FileHeader(static_cast<std::int32_t>(signature.size()), NewDate) + signature);
                    p.Reply("OK");
                }
                Rest = p.ReadRest();
            });
    }
    cScriptedPeer Peer{true};
    std::string Rest;
};
} // namespace

// Without a key the client asks exactly what it always asked (file information, download); with
// one only the signature's download is added. A copy that came cut short is never taken.
TEST_F(SignedUpdate, ExactRequestsAndACutShortCopyIsNotTaken)
{
    const std::string full(3000, 'n');
    const std::string cut = full.substr(0, 2990);
    const std::string signature = SignWith(0, full);
    // What, the size announced, the bytes sent, the key, and the reason ("" when taken).
    const std::tuple<const char *, std::size_t, std::string, bool, std::string> cases[] = {
        {"no key, whole copy", full.size(), full, false, ""},
        {"key, whole copy with its signature", full.size(), full, true, ""},
        {"no key, copy shorter than announced", full.size(), cut, false,
         "the downloaded copy holds 2990 bytes, not the 3000 the server announced"},
        {"key, cut copy announced at its cut size", cut.size(), cut, true,
         "its signature does not match the downloaded copy"},
    };
    for (const auto &[what, announced, sent, withKey, reason] : cases)
    {
        SCOPED_TRACE(what);
        WriteFile(Executable, "running copy");
        FileSetDate(Executable, OldDate);
        cScriptedUpdate server(announced, sent, withKey, signature);
        auto link =
            std::make_unique<dbServerConnection>("127.0.0.1", server.Peer.PortText(), "", "", true, 10);
        ASSERT_TRUE(link->IsConnectedFlag);
        cUpdateChecks checks;
        checks.PublicKeyPem = withKey ? SigningKey(0).PublicKeyPem : "";
        checks.CertificateSHA256 = link->PeerCertificateSHA256();
        bool ended = false;
        {
            cClientUpdate update(link.get(), ServerFile, Folder.Path, nullptr, nullptr, nullptr, Executable,
                                 checks);
            ASSERT_TRUE(update.UpdateNeeded);
            ended = update.RunUpdate();
        }
        link.reset();
        server.Peer.Join();
        EXPECT_EQ(server.Rest, "") << "the client sent more than the update's requests";
        EXPECT_EQ(ended, reason.empty());
        EXPECT_EQ(Outcome(),
                  std::tuple(reason.empty() ? sent : "running copy", reason.empty() ? 1u : 0u, false, false));
        EXPECT_EQ(Shown(Host), reason.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{
                                                    "Update not applied | This program was not updated: " +
                                                    reason + ".\nThe present copy goes on running. | Ok"});
        DeleteFile(Folder.File("DorvaneProvider.bak"));
        Host = {};
    }
}

// The update takes nothing from a link to another certificate than the trusted one (a reconnect
// since the server was trusted reached someone else).
TEST_F(SignedUpdate, AnAnswerOverAnotherCertificateAnnouncesNoCopy)
{
    cScriptedPeer peer(true);
    ServeExchanges(peer, {{31002, 103, ServerFile, "FileSize=10,FileDate=" + std::to_string(NewDate)}});
    dbServerConnection link("127.0.0.1", peer.PortText(), "", "", true, 10);
    cUpdateChecks checks;
    checks.CertificateSHA256 = CertificateSHA256Hex(Server.Path("server.crt"));
    ASSERT_NE(link.PeerCertificateSHA256(), checks.CertificateSHA256);
    cClientUpdate update(&link, ServerFile, Folder.Path, nullptr, nullptr, nullptr, Executable, checks);
    peer.Join();
    EXPECT_EQ(std::pair(update.UpdateNeeded, update.ServerDate), std::pair(false, 0));
}
