// The data server as a process, through the client's classes: only what needs a socket.
#include "dataclient/cRecordBatch.h"
#include "tests/server/ServerClients.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/Files.h"
#include "toolkit/StringList.h"
#include "json/cJSON.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>

namespace
{
std::string ValueOf(const std::string &fieldList, const std::string &code)
{
    cStringList values;
    values.SetCommaText(fieldList);
    return values.Values(code);
}

std::vector<std::string> BatchColumn(dbServerConnection &c, const std::string &table,
                                     const std::string &index, const std::string &owner,
                                     const std::string &fields, const std::string &code)
{
    cRecordBatch batch;
    std::vector<std::string> out;
    if (batch.Open(&c, table, index, owner, "", 0, 10000, fields) && batch.First())
        do
            out.push_back(batch.GetField(code));
        while (batch.Next());
    return out;
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char &ch : bytes)
        ch = static_cast<char>(random());
    return bytes;
}
} // namespace

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
        EXPECT_EQ(db.Scalar("SELECT f12 FROM Personnel WHERE f1 = " + seq), value);
        cStringList lines;
        ASSERT_TRUE(c->ReadRecord("Personnel", seq, lines));
        EXPECT_EQ(lines[12], value);
        std::string fields = "f12";
        ASSERT_TRUE(c->ReadFields("Personnel", seq, fields));
        EXPECT_EQ(ValueOf(fields, "f12"), value);
    }
    EXPECT_EQ(BatchColumn(*c, "Personnel", "L3", owner, "f12", "f12"),
              std::vector<std::string>(std::begin(values), std::end(values)));
}

TEST(DataServer, FileInformationAndDownloadKeepTheDate)
{
    const std::string path = Server().Path("files/Clients/DorvaneProvider.exe");
    const std::string content = RandomBytes(120000, 7);
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
    struct
    {
        const char *What;
        std::string Bytes;
        bool CloseWrite;
    } cases[] = {
        {"4 GB body length", Frame(0xffffffffu, 31001, 20003, "TableName=Personnel"), false},
        {"body length 49990", Frame(49990, 31001, 20003, "x"), false},
        {"zero body length", Frame(0, 2, 0, ""), false},
        {"truncated body", Frame(100, 31001, 20003, "TableName=Pers"), true},
        {"body without NUL", Frame(5, 2, 0, "abcde"), false},
        {"NUL inside the body", Frame(5, 2, 0, std::string("ab\0d\0", 5)), false},
    };
    std::string reply;
    for (auto &bad : cases)
    {
        auto raw = RawConnection<SecureSocket>(Server().DataPort);
        ASSERT_TRUE(raw) << bad.What;
        raw->Send(Hello);
        ASSERT_TRUE(ReadReply(*raw, reply)) << bad.What;
        raw->Send(bad.Bytes);
        if (bad.CloseWrite)
            shutdown(raw->GetSocket(), SHUT_WR);
        EXPECT_TRUE(ClosedByPeer(*raw)) << bad.What;
        cStringList lines;
        EXPECT_TRUE(good->ReadRecord("ProviderEntities", ProviderSeq, lines)) << bad.What;
    }
    // A body of the largest size is still accepted.
    const std::string big = "TableName=Personnel,Seq=1,Pad=" + std::string(49988 - 30, 'x');
    auto raw = RawConnection<SecureSocket>(Server().DataPort);
    ASSERT_TRUE(raw);
    raw->Send(Hello);
    ASSERT_TRUE(ReadReply(*raw, reply));
    raw->Send(Frame(49989, 31001, 20003, big + '\0'));
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_EQ(reply.rfind("Personnel,", 0), 0u);
    EXPECT_TRUE(Server().Running());
}
