// A misbehaving server, over plain and TLS: each fault fails its one exchange as a lost link
// (no wait outlasts ReceiveTimeout, 1 s) and the next request reconnects; a trickled reply succeeds.
#include "dataclient/dbServerConnection.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"

#include <functional>
#include <future>
#include <gtest/gtest.h>

namespace
{
enum eAction
{
    Request,  // SendMessage(31002, 103, "f")
    Download, // DownloadFile("f")
    Picture,  // ReadFields with a local file for the picture
    SignOn,   // the constructor's connect with the program handshake
    TlsOnly,  // the constructor's connect of a TLS link (the case runs over TLS only)
};

// One step of the peer on the first link; after the last one it stays silent.
using cStep = std::function<void(cScriptedPeer &)>;
const cStep ReadFrame = [](cScriptedPeer &p) { p.ReadFrame(); };
const cStep ReadRecordHeader = [](cScriptedPeer &p) { p.Read(5); };
const cStep Close = [](cScriptedPeer &p) { p.CloseLink(); };
const cStep Reset = [](cScriptedPeer &p) { p.ResetLink(); };
cStep Write(std::string bytes)
{
    return [bytes](cScriptedPeer &p) { p.Write(bytes); };
}
cStep Reply(std::string text)
{
    return Write(text + '\0');
}
// 60 ms a byte: more than a second in all, longer than ReceiveTimeout.
cStep Trickle(std::string bytes)
{
    return [bytes](cScriptedPeer &p) { p.Trickle(bytes, 60); };
}

struct cFault
{
    const char *Name;
    eAction Action;
    std::vector<cStep> FirstLink;
    bool Succeeds = false;     // the exchange works on the same link,
    const char *Received = ""; // with this reply text (or these bytes of the file)
    bool SendMayFail = false;  // the send may meet the closed link; a failed send reconnects at once
};

const std::string Oversized(dbServerConnection::MaxReplyLength + 1, 'x');
const std::string Garbage = "\"open,\x01\xff=,,\"\"=x\"y";
const std::string Trickled = "FileSize=12,FileDate=34";
const std::string PartOfAFile = FileHeader(100000) + std::string(30000, 'x');
// The header of the client's hello record is read, then this fatal alert (handshake failure) sent.
const std::string FatalAlert("\x15\x03\x03\x00\x02\x02\x28", 7);

const cFault Faults[] = {
    {"LinkClosedRightAfterAccept", Request, {Close}, false, "", true},
    {"LinkClosedBeforeTheReply", Request, {ReadFrame, Close}},
    {"LinkClosedMidReply", Request, {ReadFrame, Write("FileSize=12"), Close}},
    {"LinkResetMidReply", Request, {ReadFrame, Write("FileSize=12"), Reset}},
    {"NoReply", Request, {ReadFrame}},
    {"ReplyStalledBeforeItsNul", Request, {ReadFrame, Write("FileSize=12")}},
    // The peer's write ends once the client has stopped reading and closed.
    {"ReplyAboveTheClientsLimit", Request, {ReadFrame, Write(Oversized)}},
    {"ReplyTrickledAByteAtATime", Request, {ReadFrame, Trickle(Trickled + '\0')}, true, Trickled.c_str()},
    {"ReplyThatIsNotCommaText", Request, {ReadFrame, Reply(Garbage)}, true, Garbage.c_str()},
    {"NoDownloadHeader", Download, {ReadFrame}},
    {"HalfADownloadHeader", Download, {ReadFrame, Write(std::string("\x10\0\0", 3))}},
    {"DownloadHeaderWithANegativeSize", Download, {ReadFrame, Write(FileHeader(-5) + "FileSize=1")}},
    {"DownloadStalledMidFile", Download, {ReadFrame, Write(PartOfAFile)}},
    {"LinkClosedMidDownload", Download, {ReadFrame, Write(PartOfAFile), Close}},
    {"DownloadTrickledAByteAtATime",
     Download,
     {ReadFrame, Trickle(FileHeader(12) + "0123456789ab"), Reply("OK")},
     true,
     "0123456789ab"},
    {"PictureHeaderWithANegativeSize",
     Picture,
     {ReadFrame, Write(FileHeader(-1) + "Fields=f10=Ann"), Reply("")}},
    {"LinkClosedBeforeTheHandshakeFrame", SignOn, {Close}},
    {"LinkClosedAfterTheHandshakeFrame", SignOn, {ReadFrame, Close}},
    {"LinkClosedMidHandshakeReply", SignOn, {ReadFrame, Write("Date=45000.5,Acc"), Close}},
    {"NoHandshakeReply", SignOn, {ReadFrame}},
    {"HandshakeAnsweredByALoneNul", SignOn, {ReadFrame, Reply("")}},
    {"PlainBytesForATlsHandshake", TlsOnly, {Write("220 ready\r\n")}},
    {"TlsHandshakeAborted", TlsOnly, {ReadRecordHeader, Write(FatalAlert), Close}},
    {"NoTlsHandshakeAnswer", TlsOnly, {}},
};

// The request that follows every fault, and its reply.
void ServeTheNextRequest(cScriptedPeer &p, bool signOn)
{
    if (signOn)
    {
        p.ExpectFrame(1, 0, "ProgramID=DorvaneClient");
        p.Reply("Date=45000.5,Accepted=Y");
    }
    p.ExpectFrame(31002, 103, "g");
    p.Reply("FileSize=4,FileDate=5");
}

class LinkFaults : public testing::TestWithParam<std::tuple<int, bool>>
{
protected:
    const cFault &Fault = Faults[std::get<0>(GetParam())];
    const bool Tls = std::get<1>(GetParam());
    cRecordingHost Host_;
    cScopedHost Scoped{&Host_};
    cTempDir Folder{"faults_"};
};

std::string FaultName(const testing::TestParamInfo<LinkFaults::ParamType> &info)
{
    return std::string(Faults[std::get<0>(info.param)].Name) + (std::get<1>(info.param) ? "Tls" : "Plain");
}
} // namespace

INSTANTIATE_TEST_SUITE_P(PlainAndTls, LinkFaults,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(Faults))),
                                          testing::Bool()),
                         FaultName);

TEST_P(LinkFaults, FailOneExchangeAndTheNextRequestReconnects)
{
    if (Fault.Action == TlsOnly && !Tls)
        GTEST_SKIP() << "a TLS handshake fault";
    const bool signOn = Fault.Action == SignOn;
    cScriptedPeer peer(Tls);
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept(Fault.Action != TlsOnly);
            for (const cStep &step : Fault.FirstLink)
                step(p);
            if (!Fault.Succeeds)
                p.Accept();
            ServeTheNextRequest(p, signOn);
        });
    cSecureLinkSettings settings;
    settings.HandshakeMilliseconds = 500;
    dbServerConnection link("127.0.0.1", peer.PortText(), signOn ? "DorvaneClient" : "", "", Tls, 1,
                            settings);
    bool worked = link.IsConnectedFlag;
    const std::string local = Folder.File("local");
    std::string fields = "f10", notes;
    if (Fault.Action == Request)
        worked = link.SendMessage(31002, 103, "f");
    else if (Fault.Action == Download)
        worked = link.DownloadFile("f", local);
    else if (Fault.Action == Picture)
    {
        worked = link.ReadFields("Personnel", "3", fields, "", notes, 2, local);
        EXPECT_EQ(fields, "\"Error=SendMessage Failed.\"");
    }
    EXPECT_EQ(worked, Fault.Succeeds);
    if (!Fault.SendMayFail)
    {
        EXPECT_EQ(link.IsConnectedFlag, Fault.Succeeds);
        // After a fault GetFileInfo fails: it needs a live link and does not reconnect.
        EXPECT_TRUE(Fault.Succeeds || link.GetFileInfo("g") == 0);
    }
    if (Fault.Succeeds)
    {
        EXPECT_EQ(Fault.Action == Download ? ReadFile(local) : link.ReplyText, Fault.Received);
    }

    ASSERT_TRUE(link.SendMessage(31002, 103, "g"));
    EXPECT_EQ(link.Reply.Values("FileDate"), "5");
    EXPECT_TRUE(link.IsConnectedFlag);
    peer.Join();
    EXPECT_EQ(peer.Links, Fault.Succeeds ? 1 : 2);
    // A reconnection lets the windows repaint; nothing else is let run.
    EXPECT_GE(Host_.RepaintCount, Fault.Succeeds ? 0 : 1);
    EXPECT_EQ(Host_.ProcessMessagesCount, 0);
}

using BoundedLinks = testing::TestWithParam<bool>;

INSTANTIATE_TEST_SUITE_P(PlainAndTls, BoundedLinks, testing::Bool(),
                         [](const auto &info) { return info.param ? "Tls" : "Plain"; });

// A server whose listen queue is full never completes the TCP connect: the connect gives up at
// its bound instead of waiting for the system's own minutes of retries.
TEST_P(BoundedLinks, ConnectToAServerThatNeverAcceptsGivesUp)
{
    cScriptedPeer peer(GetParam(), 0, eTestCertificate::SelfSigned, 0);
    // One link fills a queue of length 0; the peer takes it only once the client has given up.
    PlainSocket filler;
    ASSERT_EQ(filler.Connect("127.0.0.1", peer.Port()), SOCK_SUCCESS);
    cSecureLinkSettings settings;
    settings.HandshakeMilliseconds = 300;
    auto connecting = std::async(std::launch::async,
                                 [&]
                                 {
                                     return std::make_unique<dbServerConnection>(
                                         "127.0.0.1", peer.PortText(), "", "", GetParam(), 1, settings);
                                 });
    ASSERT_EQ(connecting.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    const std::unique_ptr<dbServerConnection> link = connecting.get();
    EXPECT_FALSE(link->IsConnectedFlag);
    peer.StartAccept(false); // the filler, so that the queue has room again
    ASSERT_TRUE(peer.Accepted());
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            ServeTheNextRequest(p, false);
        });
    ASSERT_TRUE(link->SendMessage(31002, 103, "g"));
    EXPECT_EQ(link->Reply.Values("FileDate"), "5");
    peer.Join();
}

// A server that never reads: once the system's buffers are full, a send that makes no progress
// for ReceiveTimeout fails as a lost link.
TEST_P(BoundedLinks, SendToAServerThatNeverReadsGivesUp)
{
    cScriptedPeer peer(GetParam());
    peer.Run(
        [&](cScriptedPeer &p)
        {
            p.Accept();
            p.Accept(); // the link above is never read
            ServeTheNextRequest(p, false);
        });
    dbServerConnection link("127.0.0.1", peer.PortText(), "", "", GetParam(), 1);
    ASSERT_TRUE(link.IsConnectedFlag);
    const std::string body(49000, 'b');
    int sent = 0;
    while (sent < 1000 && link.SendFrame(31001, 20003, body)) // 49 MB at most
        ++sent;
    EXPECT_LT(sent, 1000);
    EXPECT_FALSE(link.IsConnectedFlag);
    ASSERT_TRUE(link.SendMessage(31002, 103, "g"));
    EXPECT_EQ(link.Reply.Values("FileDate"), "5");
    peer.Join();
    EXPECT_EQ(peer.Links, 2);
}
