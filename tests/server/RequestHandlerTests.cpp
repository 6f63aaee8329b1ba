// The data server's request handler called directly, on a store of its own with the demo data.
#include "server/DemoData.h"
#include "server/RequestHandler.h"
#include "tests/support/TempDir.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

namespace
{
enum : std::int32_t
{
    Handshake = 1,
    Table = 31001,
    Batch = 20002,
    ReadFields = 20013,
};

class RequestHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Store.Open(":memory:", error)) << error;
        ASSERT_TRUE(FillDemoData(Store, error)) << error;
        ASSERT_NE(Handler.Handle(Handshake, 0, "ProgramID=DorvaneClient").Text.find("Accepted=Y"),
                  std::string::npos);
    }

    // The text reply to a request given as comma-text items.
    std::string Ask(std::int32_t code, std::int32_t arg, const std::vector<std::string> &items)
    {
        cStringList body;
        for (const std::string &item : items)
            body.Add(item);
        return Handler.Handle(code, arg, body.CommaText()).Text;
    }

    static std::string Repeated(const std::string &code, int times)
    {
        std::string list = code;
        for (int i = 1; i < times; ++i)
            list += "," + code;
        return list;
    }

    cTempDir Folder{"dorvane_handler_"};
    cStore Store;
    cFileArea Files{Folder.Path + "files"};
    cRequestHandler Handler{Store, Files, "10.1.2.3"};
};
} // namespace

TEST_F(RequestHandlerTest, HandshakeNamesNoFolderOfTheServer)
{
    cStringList reply;
    reply.SetCommaText(Handler.Handle(Handshake, 0, "ProgramID=DorvaneClient").Text);
    EXPECT_EQ(reply.Values("RunningFolder"), ".");
    EXPECT_EQ(reply.Values("RemoteIP"), "10.1.2.3");
    EXPECT_EQ(reply.Values("Accepted"), "Y");
}

TEST_F(RequestHandlerTest, FieldCodesPerRequestAreBounded)
{
    const int most = cRequestHandler::MaxFieldCodes;
    struct
    {
        int Codes;
        bool Refused;
    } cases[] = {{most, false}, {most + 1, true}, {8300, true}};
    for (const auto &c : cases)
    {
        const std::string codes = Repeated("cn15", c.Codes);
        const std::string fields = Ask(Table, ReadFields,
                                       {"TableName=CaseNeedsQuote", "List=1", "Key=1", "FieldList=" + codes,
                                        "AliasList=cn=CaseNeeds:f10"});
        EXPECT_EQ(fields.find("Too many field codes") != std::string::npos, c.Refused) << c.Codes;
        cStringList reply;
        reply.SetCommaText(fields);
        EXPECT_EQ(reply.Values("Fields").empty(), c.Refused) << c.Codes;
        const std::string batch =
            Ask(Batch, 0, {"V2", "Personnel", "L3", "1", "", "1", "100", Repeated("f22", c.Codes)});
        EXPECT_EQ(batch.find("Too many field codes") != std::string::npos, c.Refused) << c.Codes;
    }
}

TEST_F(RequestHandlerTest, BatchRepliesAboveTheClientsLimitAreRefusedWhole)
{
    // Two records whose one big field, named a thousand times, would make about 80 MB.
    std::string error;
    const cTableDef &personnel = *cCatalogue::FindTable("Personnel");
    for (int i = 0; i < 2; ++i)
        ASSERT_NE(Store.Insert(personnel, {{9, "8001"}, {12, std::string(40000, 'x')}}, error), 0) << error;
    const std::vector<std::string> query = {"V2", "Personnel", "L3", "8001", "", "1", "100", ""};
    auto ask = [&](int times)
    {
        std::vector<std::string> items = query;
        items[7] = Repeated("f12", times);
        return Ask(Batch, 0, items);
    };
    cStringList refused;
    refused.SetCommaText(ask(1000));
    EXPECT_EQ(refused.Values("ErrorCode"), "9");
    EXPECT_EQ(refused.Values("Error"), "Reply too large");
    // A reply of some megabytes is given in full.
    const std::string given = ask(100);
    EXPECT_GT(given.size(), 8000000u);
    cStringList lines;
    lines.SetCommaText(given);
    ASSERT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[0], "2,2");
}
