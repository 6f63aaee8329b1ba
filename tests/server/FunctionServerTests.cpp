// The function server's commands, sent the way the client sends them.
#include "tests/server/ServerClients.h"
#include "json/cJSON.h"

#include <gtest/gtest.h>
#include <map>

namespace
{
std::string QuotesRequest(const std::string &provider)
{
    cJSON request;
    request.SetValue("ServerCommand", "getproviderquotes");
    request.SetValue("ProviderSeq", provider);
    request.SetValue("AliasList",
                     "\"cn=CaseNeeds:f10,ca=Cases:cn10,P=Patients:ca10,H=ProviderEntities:ca11,"
                     "Ip=InsuranceTypes:ca19,Is=InsuranceTypes:ca20,It=InsuranceTypes:ca21,"
                     "pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,pd=ProviderCategoryDetails:cn13\"");
    request.SetValue("QuoteFieldList", "\"f10,f12,f13,f14,cn14,cn15,cn16,pt10,pc12,pd11\"");
    request.SetValue("CaseFieldList",
                     "\"ca1,ca10,ca11,ca12,ca13,ca14,ca15,ca19,ca20,ca21,ca22,H10,P13,P14,Ip10,Is10,It10\"");
    return request.ToText();
}

std::string Command(const std::string &text)
{
    auto c = FunctionConnection();
    EXPECT_TRUE(c->SendText(text));
    return c->ReplyText;
}
} // namespace

TEST(FunctionServer, ProviderQuotesAreGroupedByCaseWithTheirStates)
{
    cJSON reply(Command(QuotesRequest(ProviderSeq)));
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
            const std::string state = quote->GetValue("f14"), award = quote->GetValue("cn16");
            EXPECT_FALSE(quote->GetValue("cn14").empty());
            EXPECT_FALSE(quote->GetValue("pc12").empty());
            const std::string description = quote->GetValue("cn15");
            EXPECT_EQ(description.find('\\'), std::string::npos) << description;
            if (description.find(R"(, "no stairs", ground floor room)") != std::string::npos)
                ++quoted;
            const std::string kind = state == "A" && award == quotes->Items().Names(q) ? "awarded"
                                     : !award.empty()                                  ? "lost"
                                     : state == "R"                                    ? "declined"
                                     : state == "A"                                    ? "accepted"
                                                                                       : "open";
            ++kinds[kind];
            if (kind == "awarded")
            {
                EXPECT_EQ(quote->GetValue("Status"), "Awarded");
            }
            if (kind == "awarded" || kind == "lost" || kind == "declined")
            {
                EXPECT_EQ(quote->GetValue("CanHide"), kind == "awarded" ? "N" : "Y") << kind;
            }
        }
    }
    EXPECT_GE(kinds["awarded"], 2);
    EXPECT_GE(kinds["lost"], 2);
    EXPECT_GE(kinds["declined"], 2);
    EXPECT_GE(kinds["accepted"], 1);
    EXPECT_GE(kinds["open"], 3);
    EXPECT_GE(quoted, 2);

    cJSON none(Command(QuotesRequest("2"))); // a hospital has no quotes
    EXPECT_NE(none.GetValue("NoQuotes"), "");
    cJSON unknown(Command(QuotesRequest("987654")));
    EXPECT_NE(unknown.GetValue("Error"), "");
}

TEST(FunctionServer, LatitudeLongitudeComesFromTheZipCode)
{
    auto data = DataConnection();
    cStringList change;
    change.Add("f27=0");
    change.Add("f28=0");
    ASSERT_TRUE(data->UpdateRecord("ProviderEntities", ProviderSeq, change));
    std::string request = "{ServerCommand:updateproviderlatitudelongitude,ProviderSeq:" + ProviderSeq + "}";
    cJSON reply(Command(request));
    EXPECT_TRUE(reply.HasValue("Error"));
    EXPECT_EQ(reply.GetValue("Error"), "");
    cStringList lines;
    ASSERT_TRUE(data->ReadRecord("ProviderEntities", ProviderSeq, lines));
    EXPECT_EQ(lines[27], "37.7486");
    EXPECT_EQ(lines[28], "-122.4158");

    cStringList zip;
    zip.Add("f15=00000");
    ASSERT_TRUE(data->UpdateRecord("ProviderEntities", ProviderSeq, zip));
    cJSON failed(Command(request));
    EXPECT_NE(failed.GetValue("Error"), "");
    zip.SetValues("f15", "94110");
    ASSERT_TRUE(data->UpdateRecord("ProviderEntities", ProviderSeq, zip));
}

TEST(FunctionServer, BadRequestsGetAnErrorAndTheLinkStaysUsable)
{
    auto raw = RawConnection<PlainSocket>(Server().FunctionPort);
    ASSERT_TRUE(raw);
    const std::string bad[] = {
        "this is not JSON",
        "",
        "[1,2,3]",
        "{ServerCommand:dropeverything}",
        "{ServerCommand:getproviderquotes,ProviderSeq:'1 OR 1=1'}",
        "{ServerCommand:getproviderquotes,ProviderSeq:1,AliasList:\"x=sqlite_master:f10\"}",
        std::string(5000, '{')};
    for (const std::string &text : bad)
    {
        raw->Send(text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
        std::string reply;
        ASSERT_TRUE(ReadReply(*raw, reply)) << text.substr(0, 40);
        EXPECT_NE(cJSON(reply).GetValue("Error"), "") << text.substr(0, 40);
    }
    std::string good = QuotesRequest(ProviderSeq);
    raw->Send(good.c_str(), static_cast<std::uint32_t>(good.size() + 1));
    std::string reply;
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_EQ(cJSON(reply).GetValue("Error"), "");

    // A request that never ends within the limit is answered with an error and closed.
    std::string endless(70000, 'a');
    raw->Send(endless.c_str(), static_cast<std::uint32_t>(endless.size()));
    ASSERT_TRUE(ReadReply(*raw, reply));
    EXPECT_NE(cJSON(reply).GetValue("Error"), "");
    EXPECT_TRUE(ClosedByPeer(*raw));
}
