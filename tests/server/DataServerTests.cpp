// The data server answered by the client's own connection classes.
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

// The handshake frame the client sends first.
const std::string Hello = Frame(24, 1, 0, std::string("ProgramID=DorvaneClient") + '\0');
} // namespace

TEST(DataServer, HandshakeAdmitsOnlyTheClientProgram)
{
    auto c = DataConnection();
    ASSERT_TRUE(c->IsConnectedFlag) << Server().Error;
    EXPECT_GT(c->ServerDate, 40000.0);
    EXPECT_EQ(c->RemoteIP, "127.0.0.1");
    EXPECT_EQ(c->RunningFolder, "."); // nothing of the server's own folders
    EXPECT_FALSE(DataConnection("SomethingElse")->IsConnectedFlag);

    // Without a handshake, table requests are refused.
    auto raw = RawConnection<SecureSocket>(Server().DataPort);
    ASSERT_TRUE(raw);
    const std::string body = "TableName=Personnel,Seq=1";
    raw->Send(Frame(static_cast<std::uint32_t>(body.size() + 1), 31001, 20003, body + '\0'));
    std::string reply;
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_NE(reply.find("ErrorCode=1"), std::string::npos);
}

TEST(DataServer, SignInAndProviderReads)
{
    auto c = DataConnection();
    cStringList lines;
    ASSERT_TRUE(c->ReadList("Personnel", 4, "Admin@Bayview.example", "", lines));
    EXPECT_EQ(lines[0], "Personnel");
    EXPECT_EQ(lines[22], "admin@bayview.example");
    EXPECT_EQ(lines[23], "demo1234");
    EXPECT_EQ(lines[26], "Y");
    EXPECT_EQ(lines[9], ProviderSeq);
    EXPECT_EQ(lines.Count(), 32); // fields 1 to 31 after the table name

    EXPECT_FALSE(c->ReadList("Personnel", 4, "nobody@bayview.example", "", lines));
    EXPECT_EQ(lines.CommaText(), "~");
    ASSERT_TRUE(c->ReadRecord("ProviderEntities", ProviderSeq, lines));
    EXPECT_EQ(lines[10], "Bayview Care Center");
    EXPECT_EQ(lines[15], "94110");
    EXPECT_FALSE(c->ReadRecord("ProviderEntities", "999999", lines));
    ASSERT_TRUE(c->ReadList("ZipCodes", 2, "94601", "", lines));
    EXPECT_EQ(lines[11], "37.7795");
}

TEST(DataServer, JoinedReadsWithBothAliasListsOfTheClient)
{
    auto c = DataConnection();
    // The awarded-case page: upper-case aliases, answered as requested.
    std::string fields =
        "CN14,CN15,C16,C17,C30,C34,C35,C36,C37,C38,C1001,C1002,PA10,PA11,PA12,PA13,PA14,PE10,PE11,"
        "PE12,PE13,H10,I11,CAT12";
    ASSERT_TRUE(
        c->ReadFields("CaseNeedsQuote", "1", fields,
                      "CN=CaseNeeds:f10,C=Cases:CN10,PA=Patients:C10,H=ProviderEntities:C11,PE=Personnel:C23,"
                      "I=InsuranceTypes:C19,CAT=ProviderCategories:CN12"));
    EXPECT_EQ(ValueOf(fields, "PA12"), "Simmons");
    EXPECT_EQ(ValueOf(fields, "H10"), "St. Anne Memorial Hospital");
    EXPECT_EQ(ValueOf(fields, "PE11"), "Grace");
    EXPECT_EQ(ValueOf(fields, "I11"), "Medicare");
    EXPECT_EQ(ValueOf(fields, "CAT12"), "Skilled Nursing Facility");
    EXPECT_NE(ValueOf(fields, "C1001").find("\r\n"), std::string::npos);
    EXPECT_EQ(ValueOf(fields, "C1002").rfind("{PrescriptionsGroupBox:", 0), 0u);
    // The health details read back as they were set, quotes and all.
    cJSON health(ValueOf(fields, "C1002"));
    cJSON *other =
        health.GetObject("FunctionalStatusGroup")->GetObject("Details")->GetObject("FunctionalOther");
    EXPECT_EQ(other->GetValue("Data"), R"(Needs one-person assist, "no stairs")");

    // The case detail page: eight joined tables, keys of the joins, an empty code and a repeat.
    fields =
        "ca1,cn1,H1,pa1,pc1,pd1,pe1,pt1,cn14,cn15,H10,ca16,ca17,ca1001,ca1002,f13,f1001,,ca22,ca1,pt10,pc12,"
        "pd11,pe11,pe13,pa13,pa14,ca30";
    ASSERT_TRUE(c->ReadFields("CaseNeedsQuote", "1", fields,
                              "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11,pa=Patients:ca10,"
                              "pe=Personnel:ca23,pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,"
                              "pd=ProviderCategoryDetails:cn13"));
    EXPECT_EQ(ValueOf(fields, "ca1"), "1");
    EXPECT_EQ(ValueOf(fields, "pt10"), "Extended Care");
    EXPECT_EQ(ValueOf(fields, "pd11"), "Short-term stay");
    EXPECT_EQ(ValueOf(fields, "pa14"), "03/14/1938");
    EXPECT_EQ(ValueOf(fields, "ca22"), "C-2025-1001");

    fields = "f13";
    EXPECT_FALSE(c->ReadFields("CaseNeedsQuote", "999999", fields));
    EXPECT_EQ(fields, "~");
}

TEST(DataServer, BatchQueriesWithPaging)
{
    auto c = DataConnection();
    EXPECT_EQ(
        BatchColumn(*c, "Personnel", "L3", ProviderSeq, "f11,f13,f19,f22,f23,f26,f29,f30,f31", "f22").size(),
        3u);
    auto marks = BatchColumn(*c, "Personnel", "L3", ProviderSeq, "f22,f29", "f29");
    EXPECT_EQ(std::count(marks.begin(), marks.end(), "Y"), 1);
    EXPECT_EQ(BatchColumn(*c, "DiagCodeDetail", "L2", "1", "f11,f1001", "f11"),
              (std::vector<std::string>{"I50.9", "I10"}));
    EXPECT_EQ(BatchColumn(*c, "TreatmentCodeDetail", "L2", "1", "f11,f1001", "f1001").size(), 1u);
    EXPECT_EQ(BatchColumn(*c, "ProviderCategoryLink", "L2", ProviderSeq, "f11", "f11"),
              (std::vector<std::string>{"140", "147"}));
    auto insurance = BatchColumn(*c, "InsuranceTypes", "L2", "", "f11", "f11");
    ASSERT_EQ(insurance.size(), 6u);
    EXPECT_TRUE(std::is_sorted(insurance.begin(), insurance.end()));
    EXPECT_EQ(BatchColumn(*c, "ProviderCategories", "L1", "", "f11", "f11").size(), 83u);

    cRecordBatch page;
    ASSERT_TRUE(page.Open(c.get(), "Personnel", "L3", ProviderSeq, "", 0, 2, "f22"));
    EXPECT_EQ(page.RecordCount(), 2);
    EXPECT_EQ(page.NextPosition, 3);
    ASSERT_TRUE(page.Open(c.get(), "Personnel", "L3", ProviderSeq, "", 3, 2, "*"));
    EXPECT_EQ(page.RecordCount(), 1);
    EXPECT_EQ(page.NextPosition, 0);
    ASSERT_TRUE(page.First());
    EXPECT_EQ(page.GetField("f9"), ProviderSeq);
    EXPECT_FALSE(page.Open(c.get(), "Personnel", "L9", ProviderSeq, "", 0, 2, "f22"));
}

TEST(DataServer, AddUpdateAndDeleteLinkRecords)
{
    auto c = DataConnection();
    cTestDatabase db(Server().DatabasePath());
    ASSERT_TRUE(db.IsOpen()) << db.LastError;
    cStringList fields;
    fields.SetCommaText("f10=9001,f11=4");
    const std::string seq = c->AddRecord("ProviderInsuranceLink", fields);
    ASSERT_FALSE(seq.empty());
    const std::string stored = "SELECT f10 || ':' || f11 FROM ProviderInsuranceLink WHERE f1 = " + seq;
    EXPECT_EQ(db.Scalar(stored), "9001:4");
    cStringList change;
    change.Add("f11=5");
    EXPECT_TRUE(c->UpdateRecord("ProviderInsuranceLink", seq, change));
    EXPECT_EQ(db.Scalar(stored), "9001:5");
    EXPECT_EQ(BatchColumn(*c, "ProviderInsuranceLink", "L2", "9001", "f11", "f11"),
              std::vector<std::string>{"5"});
    EXPECT_TRUE(c->DeleteRecord("ProviderInsuranceLink", seq));
    EXPECT_EQ(db.Scalar(stored), "");
    EXPECT_FALSE(c->DeleteRecord("ProviderInsuranceLink", seq));
    EXPECT_FALSE(c->UpdateRecord("ProviderInsuranceLink", seq, change));
    EXPECT_EQ(db.Scalar("SELECT COUNT(*) FROM ProviderInsuranceLink WHERE f10 = '9001'"), "0");
}

// Both encoders are the shared ones: whatever line breaks a value holds, it is stored as written
// and every read gives it back unchanged.
TEST(DataServer, LineBreaksOfEveryKindSurviveAWriteAndEachRead)
{
    auto c = DataConnection();
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

TEST(DataServer, SqlTextInNamesKeysAndAliasesIsRefusedOrInert)
{
    auto c = DataConnection();
    cStringList lines;
    for (const char *table :
         {"Personnel; DROP TABLE Personnel", "Personnel\" --", "sqlite_master", "ZipCodes WHERE 1"})
    {
        EXPECT_FALSE(c->ReadRecord(table, "1", lines)) << table;
        cStringList f;
        f.Add("f10=x");
        EXPECT_EQ(c->AddRecord(table, f), "") << table;
        EXPECT_FALSE(c->DeleteRecord(table, "1")) << table;
        cRecordBatch batch;
        EXPECT_FALSE(batch.Open(c.get(), table, "L2", "1", "", 0, 10, "f10")) << table;
    }
    for (const char *key : {"1 OR 1=1", "1; DELETE FROM Personnel", "' OR '1'='1", "-1", "1e3"})
    {
        EXPECT_FALSE(c->ReadRecord("Personnel", key, lines)) << key;
        EXPECT_FALSE(c->DeleteRecord("Personnel", key)) << key;
        EXPECT_FALSE(c->ReadList("Personnel", 4, key, "", lines)) << key;
    }
    for (const char *code :
         {"f1;DROP TABLE Cases", "f10) VALUES (1);--", "f22 OR 1=1", "cn(SELECT 1)", "f99", "zz10", "cn"})
    {
        std::string fields = code;
        EXPECT_FALSE(c->ReadFields("CaseNeedsQuote", "1", fields, "cn=CaseNeeds:f10")) << code;
        cStringList f;
        f.Add(std::string(code) + "=1");
        EXPECT_EQ(c->AddRecord("ProviderInsuranceLink", f), "") << code;
        cRecordBatch batch;
        EXPECT_FALSE(batch.Open(c.get(), "Personnel", "L3", ProviderSeq, "", 0, 10, code)) << code;
    }
    // Alias lists: unknown tables and fields, bad names, a missing key field, a join on a later alias.
    for (const char *aliases :
         {"x=sqlite_master:f10", "cn=NoSuchTable:f10", "cn=CaseNeeds:x10", "cn=CaseNeeds:f99",
          "c n=Cases:f10", "f=Cases:f10", "cn=CaseNeeds", "ca=Cases:cn10"})
    {
        std::string fields = "f13";
        EXPECT_FALSE(c->ReadFields("CaseNeedsQuote", "1", fields, aliases)) << aliases;
    }
    // Everything is still there.
    ASSERT_TRUE(c->ReadList("Personnel", 4, "admin@bayview.example", "", lines));
    EXPECT_EQ(BatchColumn(*c, "Personnel", "L3", ProviderSeq, "f22", "f22").size(), 3u);
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

TEST(DataServer, FileNamesThatLeaveTheAreaAreRefused)
{
    ASSERT_TRUE(WriteFile(Server().Path("secret.txt"), "not for clients"));
    std::error_code ec;
    std::filesystem::create_symlink(Server().Path("secret.txt"), Server().Path("files/Clients/link.txt"), ec);
    auto c = DataConnection();
    for (const char *name :
         {"..\\secret.txt", "Clients\\..\\..\\secret.txt", "../secret.txt", "Clients/../../secret.txt",
          "/etc/passwd", "\\etc\\passwd", "C:\\secret.txt", "Clients\\link.txt", "Clients\\\\..\\secret.txt",
          "Clients\\", "", ".", "..", "server.key"})
    {
        EXPECT_EQ(c->GetFileInfo(name), 0) << name;
        EXPECT_FALSE(c->DownloadFile(name, Server().Path("out.bin"))) << name;
    }
    EXPECT_TRUE(c->IsConnectedFlag);
}

TEST(DataServer, BadFramesCloseOnlyTheirConnection)
{
    auto good = DataConnection();
    ASSERT_TRUE(good->IsConnectedFlag);
    std::string noise = RandomBytes(3000, 11);
    noise[0] = static_cast<char>(0xff); // a body length far above the limit
    struct
    {
        const char *What;
        std::string Bytes;
        bool CloseWrite;
    } cases[] = {
        {"random bytes", noise, false},
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
