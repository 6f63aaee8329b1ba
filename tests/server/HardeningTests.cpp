// What a client can do without signing in: huge replies, too many links, stalls. Each case that
// changes a limit runs a server of its own, so that no test waits for the default timeouts.
#include "dataclient/cRecordBatch.h"
#include "server/Server.h"
#include "tests/server/ServerClients.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <system_error>
#include <thread>

namespace
{
// A function-server command that has an answer ("Unknown command"), with its NUL.
const std::string Nothing = std::string("{ServerCommand:nothing}") + '\0';

// `link` sends the command and gets its answer.
bool Answers(PlainSocket &link, int seconds)
{
    std::string reply;
    return link.Send(Nothing) == SOCK_SUCCESS && ReadReply(link, reply, seconds) &&
           reply.find("Unknown command") != std::string::npos;
}

// A new raw plain link to the function server gets an answer to a command.
bool FunctionAnswers(int port)
{
    auto raw = RawConnection<PlainSocket>(port);
    return raw && Answers(*raw, 5);
}
} // namespace

TEST(ServerHardening, AReplyAboveTheClientsLimitIsRefusedAndTheServerGoesOn)
{
    auto c = DataConnection();
    ASSERT_TRUE(c->IsConnectedFlag) << Server().Error;
    // Three records of 35 KB each, read through a batch that names the big field 999 times:
    // about 100 MB of reply.
    const std::string owner = "7001";
    for (int i = 0; i < 3; ++i)
    {
        cStringList fields;
        fields.Add("f9=" + owner);
        fields.Add("f12=" + std::string(35000, static_cast<char>('a' + i)));
        ASSERT_FALSE(c->AddRecord("Personnel", fields).empty());
    }
    std::string codes = "f12";
    for (int i = 1; i < 999; ++i)
        codes += ",f12";
    cRecordBatch batch;
    EXPECT_FALSE(batch.Open(c.get(), "Personnel", "L3", owner, "", 0, 100, codes));
    EXPECT_EQ(c->LastErrorCode, 9) << c->ReplyText.substr(0, 200);
    EXPECT_EQ(c->LastError, "Reply too large");

    // The same link and the others are still served.
    cStringList lines;
    EXPECT_TRUE(c->ReadRecord("ProviderEntities", ProviderSeq, lines));
    EXPECT_TRUE(DataConnection()->ReadRecord("ProviderEntities", ProviderSeq, lines));
    EXPECT_TRUE(Server().Running());
}

TEST(ServerHardening, ConnectionsPastTheCapAreClosedAtOnceAndTheOthersGoOn)
{
    cServerProcess server;
    ASSERT_TRUE(server.Start({"--max-connections", "3"})) << server.Error;
    std::vector<std::unique_ptr<PlainSocket>> held;
    for (int i = 0; i < 2; ++i)
    {
        held.push_back(RawConnection<PlainSocket>(server.FunctionPort));
        ASSERT_TRUE(held.back());
    }
    dbServerConnection data("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 20);
    ASSERT_TRUE(data.IsConnectedFlag); // the third link, on the other listener

    // A fourth link on either port is closed unanswered.
    auto refused = RawConnection<PlainSocket>(server.FunctionPort);
    ASSERT_TRUE(refused);
    refused->Send(Nothing);
    EXPECT_TRUE(ClosedByPeer(*refused, 10));
    dbServerConnection late("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 10);
    EXPECT_FALSE(late.IsConnectedFlag);

    // The links admitted are served meanwhile.
    cStringList lines;
    EXPECT_TRUE(data.ReadRecord("ProviderEntities", ProviderSeq, lines));
    // Once one of them has gone, a new link is served again.
    held.pop_back();
    bool served = false;
    for (int i = 0; i < 100 && !(served = FunctionAnswers(server.FunctionPort)); ++i) // ten seconds at most
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(served);
    EXPECT_TRUE(server.Running());
}

// A data link must finish its TLS and program handshakes within the handshake timeout, and a
// signed-on link may idle between frames, but a frame that has begun must go on arriving: half a
// header and then nothing closes the link within the handshake timeout, not the idle one.
TEST(ServerHardening, DataLinksThatStallBeforeTheHandshakeOrWithinAFrameAreClosed)
{
    cServerProcess server;
    ASSERT_TRUE(server.Start({"--handshake-timeout", "1", "--idle-timeout", "60"})) << server.Error;
    auto silent = RawConnection<PlainSocket>(server.DataPort); // no TLS at all
    auto partial = RawConnection<PlainSocket>(server.DataPort);
    auto noHello = RawConnection<SecureSocket>(server.DataPort); // TLS, no program handshake
    auto refusedHello = RawConnection<SecureSocket>(server.DataPort);
    auto signedOn = RawConnection<SecureSocket>(server.DataPort);
    // Half a header; a header and part of its body.
    auto halfHeader = SignedOn(server.DataPort), partOfABody = SignedOn(server.DataPort);
    ASSERT_TRUE(silent && partial && noHello && refusedHello && signedOn && halfHeader && partOfABody);
    halfHeader->Send(Hello.substr(0, 5));
    partOfABody->Send(Hello.substr(0, 14));
    // The first bytes of a TLS record header, and then nothing.
    partial->Send("\x16\x03\x01\x00", 4);
    std::string reply;
    const std::string stranger = std::string("ProgramID=Stranger") + '\0';
    refusedHello->Send(Frame(static_cast<std::uint32_t>(stranger.size()), 1, 0, stranger));
    ASSERT_TRUE(ReadReply(*refusedHello, reply));
    EXPECT_NE(reply.find("Accepted=N"), std::string::npos);
    signedOn->Send(Hello);
    ASSERT_TRUE(ReadReply(*signedOn, reply));
    EXPECT_NE(reply.find("Accepted=Y"), std::string::npos);

    for (const auto &[what, stalled] : std::initializer_list<std::pair<const char *, PlainSocket *>>{
             {"no TLS", silent.get()},
             {"part of a TLS record", partial.get()},
             {"no program handshake", noHello.get()},
             {"refused program", refusedHello.get()},
             {"half a header", halfHeader.get()},
             {"part of a body", partOfABody.get()}})
        EXPECT_TRUE(ClosedByPeer(*stalled, 10)) << what;
    // The link that signed on has the idle time, well past the handshake's second.
    const std::string date = Frame(1, 2, 0, std::string(1, '\0'));
    signedOn->Send(date);
    ASSERT_TRUE(ReadReply(*signedOn, reply));
    EXPECT_EQ(reply.rfind("Date=", 0), 0u);
    EXPECT_TRUE(server.Running());
}

TEST(ServerHardening, IdleLinksOfBothServersAreClosed)
{
    cServerProcess server;
    ASSERT_TRUE(server.Start({"--idle-timeout", "1"})) << server.Error;
    auto data = SignedOn(server.DataPort);
    auto function = RawConnection<PlainSocket>(server.FunctionPort);
    ASSERT_TRUE(data && function);
    EXPECT_TRUE(ClosedByPeer(*data, 10));
    EXPECT_TRUE(ClosedByPeer(*function, 10));
    // A new link is served.
    cStringList lines;
    dbServerConnection fresh("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 20);
    EXPECT_TRUE(fresh.ReadRecord("ProviderEntities", ProviderSeq, lines));
}

// The thread of one connection cannot be started: that connection is closed, the server and its
// other connections go on.
TEST(ServerHardening, AConnectionWithoutAThreadIsRefusedAndTheOthersGoOn)
{
    cTempDir folder("thread_start_");
    cServerOptions options;
    options.DataFolder = folder.Path;
    options.LogLevel = "error";
    cServer server(options);
    std::atomic<int> starts{0};
    server.StartThread = [&](std::function<void()> body)
    {
        if (++starts == 2)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(body));
    };
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    auto first = RawConnection<PlainSocket>(server.FunctionPort());
    ASSERT_TRUE(first && Answers(*first, 10));
    auto second = RawConnection<PlainSocket>(server.FunctionPort());
    ASSERT_TRUE(second);
    EXPECT_TRUE(ClosedByPeer(*second, 10));
    EXPECT_TRUE(FunctionAnswers(server.FunctionPort()));
    EXPECT_TRUE(Answers(*first, 10));
    server.Stop();
}
