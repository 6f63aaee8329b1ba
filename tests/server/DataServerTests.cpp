// The data server as a process, through the client's classes: only what needs a socket.
#include "dataclient/cRecordBatch.h"
#include "tests/server/ServerClients.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/Files.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>

// The handshake's rules are tested on the request handler; over TLS the client's address reaches it.
TEST(DataServer, LineBreaksOfEveryKindSurviveAWriteAndEachRead)
{
    auto c = DataConnection();
    ASSERT_TRUE(c->IsConnectedFlag) << Server().Error;
    EXPECT_EQ(c->RemoteIP, "127.0.0.1");
    cTestDatabase db(Server().DatabasePath());
    ASSERT_TRUE(db.IsOpen()) << db.LastError;
    const std::string owner = "9002";
    const std::string values[] = {"line one\r\nline \"two\", end", "lone\nfeed", "lone\rreturn",
                                  "mixed\n\r\n\r", "\r\n"};
    for (const std::string &value : values)
    {
        cStringList person;
        person.Add("f9=" + owner);
        person.Add("f12=" + value);
        const std::string seq = c->AddRecord("Personnel", person);
        ASSERT_FALSE(seq.empty());
        cStringList lines, read;
        std::string fields = "f12";
        ASSERT_TRUE(c->ReadRecord("Personnel", seq, lines) && c->ReadFields("Personnel", seq, fields));
        read.SetCommaText(fields);
        EXPECT_EQ((std::vector<std::string>{db.Scalar("SELECT f12 FROM Personnel WHERE f1 = " + seq),
                                            lines[12], read.Values("f12")}),
                  std::vector<std::string>(3, value));
    }
    cRecordBatch batch;
    std::vector<std::string> batched;
    ASSERT_TRUE(batch.Open(c.get(), "Personnel", "L3", owner, "", 0, 10000, "f12") && batch.First());
    do
        batched.push_back(batch.GetField("f12"));
    while (batch.Next());
    EXPECT_EQ(batched, std::vector<std::string>(std::begin(values), std::end(values)));
}

TEST(DataServer, FileInformationAndDownloadKeepTheDate)
{
    const std::string path = Server().Path("files/Clients/DorvaneProvider.exe");
    std::mt19937 random(7);
    std::string content(120000, '\0');
    for (char &ch : content)
        ch = static_cast<char>(random());
    ASSERT_TRUE(WriteFile(path, content));
    const std::int32_t date = DateTimeToFileDate(45000.5); // 2023-03-15 12:00
    ASSERT_TRUE(FileSetDate(path, date));

    auto c = DataConnection();
    EXPECT_EQ(c->GetFileInfo("Clients\\DorvaneProvider.exe"), date);
    EXPECT_EQ(c->LastFileSize, 120000);
    const std::string local = Server().Path("downloaded.exe");
    ASSERT_TRUE(c->DownloadFile("Clients\\DorvaneProvider.exe", local));
    EXPECT_TRUE(ReadFile(local) == content);
    EXPECT_EQ(FileAge(local), date);
    EXPECT_EQ(c->GetFileInfo("Clients\\Missing.exe"), 0);
    // The connection stays usable after the download.
    cStringList lines;
    EXPECT_TRUE(c->ReadRecord("ProviderEntities", ProviderSeq, lines));
}

TEST(DataServer, BadFramesCloseOnlyTheirConnection)
{
    auto good = DataConnection();
    ASSERT_TRUE(good->IsConnectedFlag);
    const std::tuple<const char *, std::string, bool> cases[] = {
        {"4 GB body length", Frame(0xffffffffu, 31001, 20003, "TableName=Personnel"), false},
        {"body length 49990", Frame(49990, 31001, 20003, "x"), false},
        {"zero body length", Frame(0, 2, 0, ""), false},
        {"truncated body", Frame(100, 31001, 20003, "TableName=Pers"), true}, // and the write side closed
        {"body without NUL", Frame(5, 2, 0, "abcde"), false},
        {"NUL inside the body", Frame(5, 2, 0, std::string("ab\0d\0", 5)), false},
    };
    for (const auto &[what, bytes, closeWrite] : cases)
    {
        auto raw = SignedOn(Server().DataPort);
        ASSERT_TRUE(raw) << what;
        raw->Send(bytes);
        if (closeWrite)
            shutdown(raw->GetSocket(), SHUT_WR);
        EXPECT_TRUE(ClosedByPeer(*raw)) << what;
        cStringList lines;
        EXPECT_TRUE(good->ReadRecord("ProviderEntities", ProviderSeq, lines)) << what;
    }
    // A body of the largest size is still accepted.
    const std::string big = "TableName=Personnel,Seq=1,Pad=" + std::string(49988 - 30, 'x');
    auto raw = SignedOn(Server().DataPort);
    ASSERT_TRUE(raw);
    std::string reply;
    raw->Send(Frame(49989, 31001, 20003, big + '\0'));
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_EQ(reply.rfind("Personnel,", 0), 0u);
    EXPECT_TRUE(Server().Running());
}
