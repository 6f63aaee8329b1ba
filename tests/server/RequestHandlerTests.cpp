// The data server's request handler called directly on a demo store: every reply rule.
#include "protocol/Protocol.h"
#include "server/RequestHandler.h"
#include "tests/server/DemoStore.h"
#include "tests/support/TempDir.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "toolkit/StringList.h"
#include "json/cJSON.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{
using namespace protocol;
using Texts = std::vector<std::string>;
constexpr std::int32_t Handshake = MsgHandshake, Table = MsgTable, Batch = MsgBatch,
                       ReadFields = ArgReadFields;

// A reply (or any text) read as comma-text.
cStringList List(const std::string &text)
{
    cStringList list;
    list.SetCommaText(text);
    return list;
}

const char *const CaseDetailAliases =
    "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11,pa=Patients:ca10,"
    "pe=Personnel:ca23,pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,"
    "pd=ProviderCategoryDetails:cn13";

class RequestHandlerTest : public cDemoStoreTest
{
protected:
    void SetUp() override
    {
        cDemoStoreTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NE(Handler.Handle(Handshake, 0, "ProgramID=DorvaneClient").Text.find("Accepted=Y"),
                  std::string::npos);
    }

    // The text reply to a request given as comma-text items.
    std::string Ask(std::int32_t code, std::int32_t arg, const Texts &items)
    {
        cStringList body;
        for (const std::string &item : items)
            body.Add(item);
        return Handler.Handle(code, arg, body.CommaText()).Text;
    }

    cStringList AskList(std::int32_t code, std::int32_t arg, const Texts &items)
    {
        return List(Ask(code, arg, items));
    }

    // The chosen-field read of CaseNeedsQuote `key`: the "Fields" items, or the whole reply when
    // there are none.
    cStringList Fields(const std::string &key, const std::string &codes, const std::string &aliases)
    {
        cStringList reply = AskList(Table, ReadFields,
                                    {"TableName=CaseNeedsQuote", "List=1", "Key=" + key, "FieldList=" + codes,
                                     "AliasList=" + aliases});
        return reply.Values("Fields").empty() ? reply : List(reply.Values("Fields"));
    }

    // One column of a batch query over every page: item `column` of each record line (3 is the
    // first field asked for).
    Texts BatchColumn(const std::string &table, const std::string &index, const std::string &owner,
                      const std::string &fields, int column = 3)
    {
        Texts values;
        cStringList reply = AskList(Batch, 0, {"V2", table, index, owner, "", "1", "10000", fields});
        for (int i = 1; i + 1 < reply.Count(); ++i)
            values.push_back(List(reply[i])[column]);
        return values;
    }

    static std::string ErrorCode(const std::string &reply) { return List(reply).Values("ErrorCode"); }

    // The values of `codes` in a code=value list.
    static Texts Values(const cStringList &list, const Texts &codes)
    {
        Texts values;
        for (const std::string &code : codes)
            values.push_back(list.Values(code));
        return values;
    }

    static std::string Repeated(const std::string &code, int times)
    {
        std::string list = code;
        for (int i = 1; i < times; ++i)
            list += "," + code;
        return list;
    }

    cTempDir Folder{"dorvane_handler_"};
    cFileArea Files{Folder.Path + "files"};
    cRequestHandler Handler{Store, Files, "10.1.2.3"};
};
} // namespace

TEST_F(RequestHandlerTest, OnlyTheClientProgramIsAdmittedAndNoFolderIsNamed)
{
    cRequestHandler fresh(Store, Files, "10.1.2.3");
    const std::string read = "TableName=Personnel,Seq=1";
    // Refused before and after a stranger's handshake; the date needs no sign-on.
    EXPECT_EQ((Texts{ErrorCode(fresh.Handle(Table, ArgReadRecord, read).Text),
                     fresh.Handle(MsgDate, 0, "").Text.substr(0, 5),
                     List(fresh.Handle(Handshake, 0, "ProgramID=SomethingElse").Text).Values("Accepted"),
                     ErrorCode(fresh.Handle(Table, ArgReadRecord, read).Text)}),
              (Texts{"1", "Date=", "N", "1"}));

    const cStringList reply = List(fresh.Handle(Handshake, 0, "ProgramID=DorvaneClient").Text);
    EXPECT_EQ(Values(reply, {"Accepted", "RunningFolder", "RemoteIP"}), (Texts{"Y", ".", "10.1.2.3"}));
    EXPECT_GT(StrToFloatDef(reply.Values("Date"), 0), 40000.0);
    EXPECT_EQ(fresh.Handle(Table, ArgReadRecord, read).Text.rfind("Personnel,", 0), 0u);
    EXPECT_EQ(ErrorCode(fresh.Handle(Table, 99, read).Text), "99");
}

TEST_F(RequestHandlerTest, RecordReadsBySeqAndByIndex)
{
    cStringList admin =
        AskList(Table, ArgReadRecord, {"TableName=Personnel", "List=4", "Key=Admin@Bayview.example"});
    ASSERT_EQ(admin.Count(), 32); // the table name, then fields 1 to 31
    EXPECT_EQ((Texts{admin[0], admin[9], admin[22], admin[23], admin[26]}),
              (Texts{"Personnel", "1", "admin@bayview.example", "demo1234", "Y"}));
    cStringList provider = AskList(Table, ArgReadRecord, {"TableName=ProviderEntities", "Seq=1"});
    EXPECT_EQ(provider[10] + "|" + provider[15], "Bayview Care Center|94110");
    EXPECT_EQ(
        (Texts{Ask(Table, ArgReadRecord, {"TableName=Personnel", "List=4", "Key=nobody@bayview.example"}),
               Ask(Table, ArgReadRecord, {"TableName=ProviderEntities", "Seq=999999"}),
               AskList(Table, ArgReadRecord, {"TableName=ZipCodes", "List=2", "Key=94601"})[11],
               AskList(Table, ArgReadRecord, {"TableName=ZipCodes", "List=7", "Key=94601"})[0]}),
        (Texts{"~", "~", "37.7795", "Error: Unknown index"}));
}

TEST_F(RequestHandlerTest, JoinedReadsWithBothAliasListsOfTheClient)
{
    // The awarded-case page: upper-case aliases, answered as requested.
    cStringList fields =
        Fields("1", "CN14,CN15,C16,C1001,C1002,PA12,PA13,PE11,H10,I11,CAT12",
               "CN=CaseNeeds:f10,C=Cases:CN10,PA=Patients:C10,H=ProviderEntities:C11,PE=Personnel:C23,"
               "I=InsuranceTypes:C19,CAT=ProviderCategories:CN12");
    EXPECT_EQ(Values(fields, {"PA12", "H10", "PE11", "I11", "CAT12", "C1001"}),
              (Texts{"Simmons", "St. Anne Memorial Hospital", "Grace", "Medicare", "Skilled Nursing Facility",
                     "Heart failure, unspecified||Admitted through the emergency department."}));
    // The health details read back as they were set, quotes and all.
    cJSON health(DecodeLineBreaks(fields.Values("C1002")));
    cJSON *other =
        health.GetObject("FunctionalStatusGroup")->GetObject("Details")->GetObject("FunctionalOther");
    EXPECT_EQ(other->GetValue("Data"), R"(Needs one-person assist, "no stairs")");

    // The case detail page: eight joined tables, keys of the joins, an empty code and a repeat.
    fields = Fields("1", "ca1,cn1,H1,pa1,pc1,pd1,pe1,pt1,f13,,ca22,ca1,pt10,pc12,pd11,pe11,pa14",
                    CaseDetailAliases);
    EXPECT_EQ(fields.Count(), 16);
    EXPECT_EQ(fields[10], "ca1=1"); // the repeat, where it was asked for
    EXPECT_EQ(Values(fields, {"ca1", "pt10", "pd11", "pa14", "ca22"}),
              (Texts{"1", "Extended Care", "Short-term stay", "03/14/1938", "C-2025-1001"}));
    EXPECT_EQ(Fields("999999", "f13", CaseDetailAliases).CommaText(), "~");
}

TEST_F(RequestHandlerTest, BatchQueriesWithPaging)
{
    EXPECT_EQ(BatchColumn("Personnel", "L3", "1", "f22,f29", 4), (Texts{"", "Y", ""}));
    EXPECT_EQ(BatchColumn("DiagCodeDetail", "L2", "1", "f11,f1001"), (Texts{"I50.9", "I10"}));
    EXPECT_EQ(BatchColumn("ProviderCategoryLink", "L2", "1", "f11"), (Texts{"140", "147", "139_1"}));
    auto insurance = BatchColumn("InsuranceTypes", "L2", "", "f11");
    ASSERT_EQ(insurance.size(), 6u);
    EXPECT_TRUE(std::is_sorted(insurance.begin(), insurance.end()));
    EXPECT_EQ(BatchColumn("ProviderCategories", "L1", "", "f11").size(), 83u);

    cStringList page = AskList(Batch, 0, {"V2", "Personnel", "L3", "1", "", "1", "2", "f22"});
    ASSERT_EQ(page.Count(), 4); // header, two records, next position
    EXPECT_EQ(page[0] + "|" + page[1].substr(0, 6) + "|" + page[3], "2,3|1,0,1,|3");
    page = AskList(Batch, 0, {"V2", "Personnel", "L3", "1", "", "3", "2", "*"});
    ASSERT_EQ(page.Count(), 3);
    EXPECT_EQ(page[0] + "|" + page[2], "1,3|0");
    const cStringList line = List(page[1]);
    EXPECT_EQ(line[0] + "|" + line[3 + 8], "3|1"); // "*": fields 1 to 31 in order, f9 the owner
    // No owner key, an unknown index, an old query version.
    EXPECT_EQ((Texts{Ask(Batch, 0, {"V2", "Personnel", "L3", "", "", "1", "2", "f22"}),
                     ErrorCode(Ask(Batch, 0, {"V2", "Personnel", "L9", "1", "", "1", "2", "f22"})),
                     ErrorCode(Ask(Batch, 0, {"V1", "Personnel", "L3", "1", "", "1", "2", "f22"}))}),
              (Texts{"0,0", "4", "7"}));
}

TEST_F(RequestHandlerTest, AddUpdateAndDeleteLinkRecords)
{
    const cTableDef &links = *cCatalogue::FindTable("ProviderInsuranceLink");
    const std::string seq =
        Ask(Table, ArgAddRecord, {"TableName=ProviderInsuranceLink", "f10=9001", "f11=4"});
    ASSERT_GT(StrToIntDef(seq, 0), 0) << seq;
    cRecord record;
    ASSERT_TRUE(Store.ReadBySeq(links, std::stoll(seq), record));
    EXPECT_EQ(record.Get(10) + ":" + record.Get(11), "9001:4");
    const Texts update = {"TableName=ProviderInsuranceLink", "Seq=" + seq, "f11=5"};
    EXPECT_EQ(Ask(Table, ArgUpdateRecord, update), "OK");
    EXPECT_EQ(BatchColumn("ProviderInsuranceLink", "L2", "9001", "f11"), Texts{"5"});
    const Texts remove = {"TableName=ProviderInsuranceLink", "Seq=" + seq};
    EXPECT_EQ(Ask(Table, ArgDeleteRecord, remove), "OK");
    EXPECT_FALSE(Store.ReadBySeq(links, std::stoll(seq), record));
    // Gone: a second delete and an update fail; a field line without "=" or naming the key is
    // refused whole.
    EXPECT_EQ(
        (Texts{Ask(Table, ArgDeleteRecord, remove), Ask(Table, ArgUpdateRecord, update),
               ErrorCode(Ask(Table, ArgAddRecord, {"TableName=ProviderInsuranceLink", "f10=9001", "f11"})),
               ErrorCode(Ask(Table, ArgAddRecord, {"TableName=ProviderInsuranceLink", "f1=7"}))}),
        (Texts{"Fail", "Fail", "3", "3"}));
    EXPECT_TRUE(BatchColumn("ProviderInsuranceLink", "L2", "9001", "f11").empty());
}

TEST_F(RequestHandlerTest, SqlTextInNamesKeysAndAliasesIsRefusedOrInert)
{
    for (const std::string table : {"Personnel; DROP TABLE Personnel", "sqlite_master"})
        EXPECT_EQ((Texts{AskList(Table, ArgReadRecord, {"TableName=" + table, "Seq=1"})[0],
                         ErrorCode(Ask(Table, ArgAddRecord, {"TableName=" + table, "f10=x"})),
                         ErrorCode(Ask(Table, ArgDeleteRecord, {"TableName=" + table, "Seq=1"})),
                         ErrorCode(Ask(Batch, 0, {"V2", table, "L2", "1", "", "1", "10", "f10"}))}),
                  (Texts{"Error: Unknown table", "2", "2", "2"}))
            << table;
    for (const std::string key : {"1 OR 1=1", "-1", "1e3"})
        EXPECT_EQ((Texts{Ask(Table, ArgReadRecord, {"TableName=Personnel", "Seq=" + key}),
                         Ask(Table, ArgDeleteRecord, {"TableName=Personnel", "Seq=" + key}),
                         Ask(Table, ArgReadRecord, {"TableName=Personnel", "List=4", "Key=" + key})}),
                  (Texts{"~", "Fail", "~"}))
            << key;
    for (const std::string code : {"f22 OR 1=1", "f99", "zz10", "cn"})
        EXPECT_EQ(
            (Texts{ErrorCode(Fields("1", code, "cn=CaseNeeds:f10").CommaText()),
                   ErrorCode(Ask(Table, ArgAddRecord, {"TableName=ProviderInsuranceLink", code + "=1"})),
                   ErrorCode(Ask(Batch, 0, {"V2", "Personnel", "L3", "1", "", "1", "10", code}))}),
            (Texts{"3", "3", "3"}))
            << code;
    // Alias lists: unknown tables and fields, bad names, a missing key field, a join on a later alias.
    for (const char *aliases :
         {"x=sqlite_master:f10", "cn=NoSuchTable:f10", "cn=CaseNeeds:x10", "cn=CaseNeeds:f99",
          "c n=Cases:f10", "f=Cases:f10", "cn=CaseNeeds", "ca=Cases:cn10"})
        EXPECT_EQ(ErrorCode(Fields("1", "f13", aliases).CommaText()), "6") << aliases;
    // Everything is still there.
    EXPECT_EQ(
        AskList(Table, ArgReadRecord, {"TableName=Personnel", "List=4", "Key=admin@bayview.example"})[23],
        "demo1234");
    EXPECT_EQ(BatchColumn("Personnel", "L3", "1", "f22").size(), 3u);
}

TEST_F(RequestHandlerTest, FilesInsideTheAreaAreDescribedAndOthersRefused)
{
    namespace fs = std::filesystem;
    fs::create_directories(Folder.Path + "files/Clients");
    ASSERT_TRUE(WriteFile(Folder.Path + "files/Clients/DorvaneProvider.exe", std::string(1234, 'x')));
    const std::int32_t date = DateTimeToFileDate(45000.5);
    ASSERT_TRUE(FileSetDate(Folder.Path + "files/Clients/DorvaneProvider.exe", date));
    // A file request's body is the file name alone.
    EXPECT_EQ(Values(List(Handler.Handle(MsgFile, ArgFileInfo, "Clients\\DorvaneProvider.exe").Text),
                     {"FileSize", "FileDate"}),
              (Texts{"1234", std::to_string(date)}));
    cReply download = Handler.Handle(MsgFile, ArgDownloadFile, "Clients\\DorvaneProvider.exe");
    EXPECT_TRUE(download.SendFile && download.Text == "OK") << download.Text;
    EXPECT_EQ(ReadFile(download.FilePath), std::string(1234, 'x'));

    ASSERT_TRUE(WriteFile(Folder.Path + "secret.txt", "not for clients"));
    std::error_code ec;
    fs::create_symlink(Folder.Path + "secret.txt", Folder.Path + "files/Clients/link.txt", ec);
    for (const char *name : {"..\\secret.txt", "Clients\\..\\..\\secret.txt", "../secret.txt", "/etc/passwd",
                             "\\etc\\passwd", "C:\\secret.txt", "Clients\\link.txt",
                             "Clients\\\\..\\secret.txt", "Clients\\", "", ".", "..", "Clients\\Missing.exe"})
    {
        const cStringList refused = List(Handler.Handle(MsgFile, ArgFileInfo, name).Text);
        EXPECT_TRUE(refused.Values("FileDate") == "0" && !refused.Values("Error").empty()) << name;
        download = Handler.Handle(MsgFile, ArgDownloadFile, name);
        // A header of zeros, and the error.
        EXPECT_TRUE(download.SendFile && download.FilePath.empty() && ErrorCode(download.Text) == "8")
            << name;
    }
}

TEST_F(RequestHandlerTest, FieldCodesPerRequestAreBounded)
{
    const int most = cRequestHandler::MaxFieldCodes;
    for (const auto &[count, refused] : {std::pair{most, false}, {most + 1, true}, {8300, true}})
    {
        const std::string codes = Repeated("cn15", count);
        const std::string fields = Ask(Table, ReadFields,
                                       {"TableName=CaseNeedsQuote", "List=1", "Key=1", "FieldList=" + codes,
                                        "AliasList=cn=CaseNeeds:f10"});
        EXPECT_EQ(fields.find("Too many field codes") != std::string::npos, refused) << count;
        EXPECT_EQ(List(fields).Values("Fields").empty(), refused) << count;
        const std::string batch =
            Ask(Batch, 0, {"V2", "Personnel", "L3", "1", "", "1", "100", Repeated("f22", count)});
        EXPECT_EQ(batch.find("Too many field codes") != std::string::npos, refused) << count;
    }
}

TEST_F(RequestHandlerTest, BatchRepliesAboveTheClientsLimitAreRefusedWhole)
{
    // Two records whose one big field, named a thousand times, would make about 80 MB.
    std::string error;
    const cTableDef &personnel = *cCatalogue::FindTable("Personnel");
    for (int i = 0; i < 2; ++i)
        ASSERT_NE(Store.Insert(personnel, {{9, "8001"}, {12, std::string(40000, 'x')}}, error), 0) << error;
    const auto ask = [&](int times) {
        return Ask(Batch, 0, {"V2", "Personnel", "L3", "8001", "", "1", "100", Repeated("f12", times)});
    };
    EXPECT_EQ(Values(List(ask(1000)), {"ErrorCode", "Error"}), (Texts{"9", "Reply too large"}));
    // A reply of some megabytes is given in full.
    const std::string given = ask(100);
    EXPECT_GT(given.size(), 8000000u);
    const cStringList lines = List(given);
    EXPECT_EQ(std::to_string(lines.Count()) + "|" + lines[0], "4|2,2");
}
