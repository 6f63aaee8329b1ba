// The function server's commands on its handler; over a link only bad and endless requests.
#include "server/FunctionHandler.h"
#include "tests/server/DemoStore.h"
#include "tests/server/ServerClients.h"
#include "workspace/ProviderQuotes.h"
#include "json/cJSON.h"

#include <gtest/gtest.h>
#include <map>

namespace
{
class FunctionHandlerTest : public cDemoStoreTest
{
protected:
    cFunctionHandler Handler{Store};
};

// The kind of a quote as the lists show it.
std::string QuoteKind(cJSON &quote, const std::string &key)
{
    const std::string state = quote.GetValue("f14"), award = quote.GetValue("cn16");
    return state == "A" && award == key ? "awarded"
           : !award.empty()             ? "lost"
           : state == "R"               ? "declined"
           : state == "A"               ? "accepted"
                                        : "open";
}
} // namespace

TEST_F(FunctionHandlerTest, ProviderQuotesAreGroupedByCaseWithTheirStates)
{
    cJSON reply(Handler.Handle(cProviderQuotes::RequestText(ProviderSeq)));
    EXPECT_EQ(reply.GetValue("Error"), "");
    EXPECT_EQ(reply.GetValue("NoQuotes"), "");
    ASSERT_EQ(reply.Count(), 14); // fifteen cases, one of them only with a hidden quote
    std::map<std::string, int> kinds;
    int quoted = 0; // need descriptions holding quotes, read back without backslashes
    for (int i = 0; i < reply.Count(); ++i)
    {
        cJSON *caseObject = reply.Items().Object(i);
        ASSERT_NE(caseObject, nullptr);
        cJSON *fields = caseObject->GetObject("Fields");
        EXPECT_EQ(fields->GetValue("ca1"), reply.Items().Names(i));
        for (const char *code : {"H10", "P14", "Ip10"})
            EXPECT_FALSE(fields->GetValue(code).empty()) << code;
        EXPECT_TRUE(fields->HasValue("Status"));
        cJSON *quotes = caseObject->GetObject("QuoteList");
        ASSERT_GT(quotes->Count(), 0);
        for (int q = 0; q < quotes->Count(); ++q)
        {
            cJSON *quote = quotes->Items().Object(q);
            EXPECT_FALSE(quote->GetValue("cn14").empty());
            EXPECT_FALSE(quote->GetValue("pc12").empty());
            const std::string description = quote->GetValue("cn15");
            EXPECT_EQ(description.find('\\'), std::string::npos) << description;
            quoted += description.find(R"(, "no stairs", ground floor room)") != std::string::npos;
            const std::string kind = QuoteKind(*quote, quotes->Items().Names(q));
            ++kinds[kind];
            // An awarded quote says so and cannot be hidden; a lost or declined one can.
            EXPECT_TRUE(kind != "awarded" || quote->GetValue("Status") == "Awarded");
            EXPECT_TRUE(kind == "accepted" || kind == "open" ||
                        quote->GetValue("CanHide") == (kind == "awarded" ? "N" : "Y"))
                << kind;
        }
    }
    for (const auto &[kind, least] :
         {std::pair{"awarded", 2}, {"lost", 2}, {"declined", 2}, {"accepted", 1}, {"open", 3}})
        EXPECT_GE(kinds[kind], least) << kind;
    EXPECT_GE(quoted, 2);

    cJSON none(Handler.Handle(cProviderQuotes::RequestText("2"))); // a hospital has no quotes
    EXPECT_NE(none.GetValue("NoQuotes"), "");
    cJSON unknown(Handler.Handle(cProviderQuotes::RequestText("987654")));
    EXPECT_NE(unknown.GetValue("Error"), "");
}

TEST_F(FunctionHandlerTest, LatitudeLongitudeComesFromTheZipCode)
{
    const cTableDef &providers = *cCatalogue::FindTable("ProviderEntities");
    std::string error;
    ASSERT_EQ(Store.Update(providers, 1, {{27, "0"}, {28, "0"}}, error), 1) << error;
    const std::string request = "{ServerCommand:updateproviderlatitudelongitude,ProviderSeq:1}";
    cJSON reply(Handler.Handle(request));
    EXPECT_TRUE(reply.HasValue("Error"));
    EXPECT_EQ(reply.GetValue("Error"), "");
    cRecord provider;
    ASSERT_TRUE(Store.ReadBySeq(providers, 1, provider));
    EXPECT_EQ(provider.Get(27) + "," + provider.Get(28), "37.7486,-122.4158");

    ASSERT_EQ(Store.Update(providers, 1, {{15, "00000"}}, error), 1) << error;
    EXPECT_NE(cJSON(Handler.Handle(request)).GetValue("Error"), "");
}

TEST_F(FunctionHandlerTest, BadRequestsGetAnError)
{
    for (const std::string &text : std::vector<std::string>{
             "this is not JSON", "", "[1,2,3]", "{ServerCommand:dropeverything}",
             "{ServerCommand:getproviderquotes,ProviderSeq:'1 OR 1=1'}",
             "{ServerCommand:getproviderquotes,ProviderSeq:1,AliasList:\"x=sqlite_master:f10\"}",
             std::string(5000, '{'), std::string(cFunctionHandler::MaxRequestLength + 1, 'a')})
        EXPECT_NE(cJSON(Handler.Handle(text)).GetValue("Error"), "") << text.substr(0, 40);
}

TEST(FunctionServer, ABadRequestLeavesTheLinkUsableAndAnEndlessOneClosesIt)
{
    auto raw = RawConnection<PlainSocket>(Server().FunctionPort);
    ASSERT_TRUE(raw) << Server().Error;
    std::string reply;
    for (const std::string &text :
         {std::string("this is not JSON"), cProviderQuotes::RequestText(ProviderSeq)})
    {
        raw->Send(text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
        ASSERT_TRUE(ReadReply(*raw, reply));
        EXPECT_EQ(cJSON(reply).GetValue("Error").empty(), text[0] == '{') << text.substr(0, 40);
    }
    // A request that never ends within the limit is answered with an error and closed.
    std::string endless(70000, 'a');
    raw->Send(endless.c_str(), static_cast<std::uint32_t>(endless.size()));
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_NE(cJSON(reply).GetValue("Error"), "");
    EXPECT_TRUE(ClosedByPeer(*raw));
}
