// The quotes request, the walk of its reply into the case model, and the list texts.
#include "workspace/ProviderQuotes.h"
#include "workspace/ListTexts.h"
#include "workspace/MemberReader.h"
#include "json/cJSON.h"

#include <gtest/gtest.h>

namespace
{
std::vector<std::string> OpenKeys(const cProviderQuotes &quotes)
{
    std::vector<std::string> keys;
    for (const cOpenCase &open : quotes.OpenCases)
    {
        keys.push_back(open.Case->Key);
        for (const auto &quote : open.Quotes)
            keys.push_back("  " + quote->Key);
    }
    return keys;
}
} // namespace

TEST(ProviderQuotes, RequestTextIsByteExact)
{
    EXPECT_EQ(cProviderQuotes::RequestText("12"),
              "{ServerCommand:getproviderquotes,ProviderSeq:12,"
              "AliasList:\"cn=CaseNeeds:f10,ca=Cases:cn10,P=Patients:ca10,H=ProviderEntities:ca11,"
              "Ip=InsuranceTypes:ca19,Is=InsuranceTypes:ca20,It=InsuranceTypes:ca21,pt=ProviderTypes:cn11,"
              "pc=ProviderCategories:cn12,pd=ProviderCategoryDetails:cn13\","
              "QuoteFieldList:\"f10,f12,f13,f14,cn14,cn15,cn16,pt10,pc12,pd11\","
              "CaseFieldList:\"ca1,ca10,ca11,ca12,ca13,ca14,ca15,ca19,ca20,ca21,ca22,H10,P13,P14,Ip10,Is10,"
              "It10\"}");
}

TEST(ProviderQuotes, ReplyWalkSplitsTreeAndAwardedList)
{
    // Case 7: one quote awarded to us, one declined (tree). Case 8: every quote awarded (no node).
    // Case 9: accepted but the need went to another quote (tree, purple), CanHide lower-case y.
    // Case 10: no quotes at all. Case 11: "ca22" empty.
    const std::string reply =
        "{7:{Fields:{Status:Open,ca1:7,ca22:\"C-7\",H10:\"St. Anne\",Ip10:Medicare,Is10:,It10:Aetna},"
        "QuoteList:{70:{Status:Awarded,CanHide:N,f10:700,cn14:20250301090000,f13:180,f14:A,cn15:\"Bed\","
        "pc12:SNF,cn16:70},71:{Status:Declined,CanHide:Y,f10:701,cn14:20250302,f14:R,cn15:x,pc12:Rehab,cn16:}"
        "}},"
        "8:{Fields:{ca1:8,ca22:\"C-8\"},QuoteList:{80:{f14:A,cn16:80,cn14:20250401}}},"
        "9:{Fields:{ca1:9,ca22:\"C-9\"},QuoteList:{90:{CanHide:y,f14:A,cn16:91}}},"
        "10:{Fields:{ca1:10},QuoteList:{}},"
        "11:{Fields:{ca1:\"11\",ca22:\"\"},QuoteList:{110:{f14:\"\"}}}}";
    cProviderQuotes quotes;
    quotes.ReadReply(reply);
    EXPECT_EQ(quotes.Error, "");
    EXPECT_EQ(OpenKeys(quotes), (std::vector<std::string>{"7", "  71", "9", "  90", "11", "  110"}));
    ASSERT_EQ(quotes.Awarded.size(), 2u);
    const cCaseQuoteObject &first = *quotes.Awarded[0];
    EXPECT_EQ(
        (std::vector<std::string>{first.Key, first.RequiredDateText, first.RequiredDate,
                                  first.AwardedCase->Key, first.AwardedCase->HospitalName,
                                  quotes.Awarded[1]->AwardedCase->CaseNumber}),
        (std::vector<std::string>{"70", "20250301090000", "03/01/2025  09:00", "7", "St. Anne", "C-8"}));

    const cCaseQuoteObject &declined = *quotes.OpenCases[0].Quotes[0];
    const cCaseQuoteObject &waiting = *quotes.OpenCases[1].Quotes[0];
    // Can hide and accepted of both; a lower-case y is not Y.
    EXPECT_EQ((std::vector<bool>{declined.CanHide, declined.Accepted, waiting.CanHide, waiting.Accepted}),
              (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(declined.NeedKey + "|" + declined.RequiredDate, "701|03/02/2025");
    EXPECT_EQ(InsuranceText(*quotes.OpenCases[0].Case), "Medicare, Aetna");
    EXPECT_EQ(quotes.OpenCases[2].Case->CaseNumber, "11") << "an empty ca22 falls back to ca1";
}

TEST(ProviderQuotes, ErrorNoQuotesAndEmptyRepliesLeaveListsEmpty)
{
    const struct
    {
        const char *Reply;
        const char *Error;
        const char *NoQuotes;
    } cases[] = {
        {"{Error:\"Unknown provider\"}", "Unknown provider", ""},
        {"{NoQuotes:\"There are no quotes for this provider\"}", "", "There are no quotes for this provider"},
        {"{}", "", ""},
        {"", "", ""},
        {"not json at all", "", ""},
        {"{5:\"a case that is no object\",6:[1,2]}", "", ""},
    };
    for (const auto &c : cases)
    {
        cProviderQuotes quotes;
        quotes.ReadReply("{1:{Fields:{ca1:1},QuoteList:{2:{f14:R}}}}");
        ASSERT_EQ(quotes.QuoteCount(), 1);
        quotes.ReadReply(c.Reply);
        EXPECT_EQ(quotes.Error + "|" + quotes.NoQuotes, std::string(c.Error) + "|" + c.NoQuotes) << c.Reply;
        EXPECT_EQ(quotes.QuoteCount(), 0) << c.Reply;
        EXPECT_TRUE(quotes.OpenCases.empty()) << c.Reply;
    }
}

TEST(ProviderQuotes, CopiesOwnTheirAwardedCase)
{
    cCaseQuoteObject quote;
    quote.Key = "5";
    quote.AwardedCase->CaseNumber = "C-1";
    cCaseQuoteObject copy(quote);
    quote.AwardedCase->CaseNumber = "changed";
    EXPECT_EQ(copy.Key + "|" + copy.AwardedCase->CaseNumber, "5|C-1");
    copy = quote;
    EXPECT_EQ(copy.AwardedCase->CaseNumber, "changed");
    EXPECT_NE(copy.AwardedCase.get(), quote.AwardedCase.get());
}

// Taking the texts out of a reply tree fills the targets exactly as reading copies of them does:
// letter case ignored, null as "", members in any order, missing ones "".
TEST(MemberReader, TakeFillsWhatReadFills)
{
    for (const char *text : {"{a:1,B:two,c:null}", "{c:3,b:'x y',a:}", "{C:3}", "{}", "{b:1,b2:2,a:[1]}"})
    {
        std::string a1, b1, c1, a2, b2, c2;
        cJSON copy(text), taken(text);
        ReadMembers(&copy, {{"a", &a1}, {"b", &b1}, {"c", &c1}});
        TakeMembers(&taken, {{"a", &a2}, {"b", &b2}, {"c", &c2}});
        EXPECT_EQ(std::vector<std::string>({a1, b1, c1}), std::vector<std::string>({a2, b2, c2})) << text;
        EXPECT_EQ(copy.ToText(), cJSON(text).ToText()) << "reading leaves the tree as it was";
    }
}

TEST(ProviderQuotes, OnlyAwardedQuotesCarryACaseAndCopiesAlwaysDo)
{
    cProviderQuotes quotes;
    quotes.ReadReply("{1:{Fields:{Status:Open,ca1:1},QuoteList:{2:{f14:R},3:{f14:A,cn16:3}}}}");
    ASSERT_EQ(quotes.OpenCases.size(), 1u);
    ASSERT_EQ(quotes.Awarded.size(), 1u);
    EXPECT_EQ(quotes.OpenCases[0].Quotes[0]->AwardedCase, nullptr);
    EXPECT_EQ(quotes.Awarded[0]->AwardedCase->Key, "1");
    cCaseQuoteObject copy(*quotes.OpenCases[0].Quotes[0]);
    ASSERT_NE(copy.AwardedCase, nullptr) << "handlers copy an entry and may read its case";
    EXPECT_EQ(copy.AwardedCase->Key, "");
}

TEST(ListTexts, FormatServerDate)
{
    const std::pair<const char *, const char *> cases[] = {
        {"20100315", "03/15/2010"}, {"20100315143005", "03/15/2010  14:30"},
        {"3/15/2010", "3/15/2010"}, {"", "//  :"},
        {"2010", "//2010  :"},      {"201003151", "03/15/2010  1:"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(FormatServerDate(in), out) << in;
}

TEST(ListTexts, InsuranceColumnJoinsOnlyPresentNames)
{
    const struct
    {
        const char *First, *Second, *Third, *Expected;
    } cases[] = {
        {"", "", "", ""},
        {"", "", "Aetna", "Aetna"},
        {"Medicare", "", "Aetna", "Medicare, Aetna"},
        {"Medicare", "Medicaid", "", "Medicare, Medicaid"},
        {"", "Medicaid", "Aetna", "Medicaid, Aetna"},
        {"Medicare", "Medicaid", "Aetna", "Medicare, Medicaid, Aetna"},
    };
    for (const auto &c : cases)
    {
        cCaseObject caseObject;
        caseObject.Insurance1Name = c.First;
        caseObject.Insurance2Name = c.Second;
        caseObject.Insurance3Name = c.Third;
        EXPECT_EQ(InsuranceText(caseObject), c.Expected);
    }
}

TEST(ListTexts, LinesSpeakTheirColumnsWithoutEmptyOnes)
{
    cCaseObject caseObject;
    caseObject.HospitalName = "Mercy";
    caseObject.CaseNumber = "MG-1";
    caseObject.Insurance1Name = "Medicare";
    caseObject.Insurance3Name = "Aetna";
    cCaseQuoteObject quote;
    quote.RequiredDate = "03/15/2010  14:30";
    quote.CategoryName = "Oxygen";
    quote.NeedDescription = "Portable tank";
    *quote.AwardedCase = caseObject;
    EXPECT_EQ(CaseLineSpoken(caseObject), "Mercy, MG-1, Medicare, Aetna");
    EXPECT_EQ(QuoteLineSpoken(quote), "03/15/2010  14:30, Oxygen, Portable tank");
    EXPECT_EQ(AwardedLineSpoken(quote), "03/15/2010  14:30, Mercy, MG-1, Oxygen, Portable tank");
    caseObject.CaseNumber.clear();
    quote.CategoryName.clear();
    quote.AwardedCase.reset();
    EXPECT_EQ(CaseLineSpoken(caseObject), "Mercy, Medicare, Aetna") << "no empty column between commas";
    EXPECT_EQ(QuoteLineSpoken(quote), "03/15/2010  14:30, Portable tank");
    EXPECT_EQ(AwardedLineSpoken(quote), "03/15/2010  14:30, Portable tank") << "a quote without its case";
    EXPECT_EQ(CaseLineSpoken(cCaseObject()), "");
}
