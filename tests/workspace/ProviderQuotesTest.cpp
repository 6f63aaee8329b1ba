// The quotes request, the walk of its reply into the case model, and what the workspace builds on
// that model: list texts, new-request alerts, the search of the open-requests tree, CSV export.
#include "workspace/ProviderQuotes.h"
#include "tests/support/TempDir.h"
#include "workspace/CsvExport.h"
#include "workspace/ListTexts.h"
#include "workspace/MemberReader.h"
#include "workspace/NewQuoteWatch.h"
#include "workspace/OpenCaseFilter.h"
#include "json/cJSON.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
// The model of a reply. Case fields: H10 hospital, ca22 case number, Ip10 Is10 It10 insurance
// names. Quote fields: cn14 date, pc12 category, cn15 need description, f14 "A" accepted, cn16
// the awarded quote's key.
cProviderQuotes Load(std::string_view reply)
{
    cProviderQuotes quotes;
    quotes.ReadReply(reply);
    return quotes;
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
    // Case 10: no quotes at all. Case 11: "ca22" empty, so its number is its key "ca1".
    const cProviderQuotes quotes = Load(
        "{7:{Fields:{Status:Open,ca1:7,ca22:\"C-7\",H10:\"St. Anne\",Ip10:Medicare,Is10:,It10:Aetna},"
        "QuoteList:{70:{Status:Awarded,CanHide:N,f10:700,cn14:20250301090000,f13:180,f14:A,cn15:\"Bed\","
        "pc12:SNF,cn16:70},71:{Status:Declined,CanHide:Y,f10:701,cn14:20250302,f14:R,cn15:x,pc12:Rehab,cn16:}"
        "}},"
        "8:{Fields:{ca1:8,ca22:\"C-8\"},QuoteList:{80:{f14:A,cn16:80,cn14:20250401}}},"
        "9:{Fields:{ca1:9,ca22:\"C-9\"},QuoteList:{90:{CanHide:y,f14:A,cn16:91}}},"
        "10:{Fields:{ca1:10},QuoteList:{}},"
        "11:{Fields:{ca1:\"11\",ca22:\"\"},QuoteList:{110:{f14:\"\"}}}}");
    std::vector<std::string> tree; // each case's key, then its quotes' keys
    for (const cOpenCase &open : quotes.OpenCases)
    {
        tree.push_back(open.Case->Key);
        for (const auto &quote : open.Quotes)
            tree.push_back("  " + quote->Key);
    }
    ASSERT_EQ(tree, (std::vector<std::string>{"7", "  71", "9", "  90", "11", "  110"}));
    ASSERT_EQ(quotes.Awarded.size(), 2u);
    const cCaseQuoteObject &first = *quotes.Awarded[0], &declined = *quotes.OpenCases[0].Quotes[0];
    EXPECT_EQ((std::vector<std::string>{quotes.Error, first.Key, first.RequiredDateText, first.RequiredDate,
                                        first.AwardedCase->Key, first.AwardedCase->HospitalName,
                                        quotes.Awarded[1]->AwardedCase->CaseNumber, declined.NeedKey,
                                        declined.RequiredDate, InsuranceText(*quotes.OpenCases[0].Case),
                                        quotes.OpenCases[2].Case->CaseNumber}),
              (std::vector<std::string>{"", "70", "20250301090000", "03/01/2025  09:00", "7", "St. Anne",
                                        "C-8", "701", "03/02/2025", "Medicare, Aetna", "11"}));
    const cCaseQuoteObject &waiting = *quotes.OpenCases[1].Quotes[0];
    // Can hide and accepted of both (a lower-case y is not Y); only awarded quotes carry a case.
    EXPECT_EQ((std::vector<bool>{declined.CanHide, declined.Accepted, waiting.CanHide, waiting.Accepted,
                                 declined.AwardedCase == nullptr, waiting.AwardedCase == nullptr}),
              (std::vector<bool>{true, false, false, true, true, true}));
}

TEST(ProviderQuotes, ErrorNoQuotesAndEmptyRepliesLeaveListsEmpty)
{
    const std::tuple<const char *, const char *, const char *> cases[] = {
        {"{Error:\"Unknown provider\"}", "Unknown provider", ""},
        {"{NoQuotes:\"There are no quotes for this provider\"}", "", "There are no quotes for this provider"},
        {"{}", "", ""},
        {"", "", ""},
        {"not json at all", "", ""},
        {"{5:\"a case that is no object\",6:[1,2]}", "", ""},
    };
    for (const auto &[reply, error, noQuotes] : cases)
    {
        cProviderQuotes quotes = Load("{1:{Fields:{ca1:1},QuoteList:{2:{f14:R}}}}");
        ASSERT_EQ(quotes.QuoteCount(), 1);
        quotes.ReadReply(reply);
        EXPECT_EQ(std::tuple(quotes.Error, quotes.NoQuotes, quotes.QuoteCount(), quotes.OpenCases.empty()),
                  std::tuple(std::string(error), std::string(noQuotes), 0, true))
            << reply;
    }
}

TEST(ProviderQuotes, CopiesOwnTheirCaseEvenWhenTheOriginalHasNone)
{
    const cProviderQuotes quotes =
        Load("{1:{Fields:{Status:Open,ca1:1},QuoteList:{2:{f14:R},3:{f14:A,cn16:3}}}}");
    ASSERT_EQ((std::pair{quotes.OpenCases.size(), quotes.Awarded.size()}),
              (std::pair<std::size_t, std::size_t>{1, 1}));
    cCaseQuoteObject copy(*quotes.OpenCases[0].Quotes[0]), awarded(*quotes.Awarded[0]);
    ASSERT_NE(copy.AwardedCase, nullptr) << "handlers copy an entry and may read its case";
    EXPECT_EQ(copy.AwardedCase->Key, "");
    awarded.AwardedCase->CaseNumber = "changed";
    EXPECT_EQ(quotes.Awarded[0]->Key + "|" + quotes.Awarded[0]->AwardedCase->CaseNumber, "3|1")
        << "a copy owns its case";
    copy = awarded;
    EXPECT_EQ(copy.Key + "|" + copy.AwardedCase->CaseNumber, "3|changed");
    EXPECT_NE(copy.AwardedCase.get(), awarded.AwardedCase.get());
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

TEST(ListTexts, DatesInsuranceAndSpokenLines)
{
    const std::pair<const char *, const char *> cases[] = {
        {"20100315", "03/15/2010"}, {"20100315143005", "03/15/2010  14:30"},
        {"3/15/2010", "3/15/2010"}, {"", "//  :"},
        {"2010", "//2010  :"},      {"201003151", "03/15/2010  1:"},
    };
    for (const auto &[in, out] : cases)
        EXPECT_EQ(FormatServerDate(in), out) << in;

    // The insurance column and what whole lines say leave out empty texts.
    const std::array<const char *, 4> insurances[] = {
        {"", "", "", ""},
        {"", "", "Aetna", "Aetna"},
        {"Medicare", "", "Aetna", "Medicare, Aetna"},
        {"Medicare", "Medicaid", "", "Medicare, Medicaid"},
        {"", "Medicaid", "Aetna", "Medicaid, Aetna"},
        {"Medicare", "Medicaid", "Aetna", "Medicare, Medicaid, Aetna"},
    };
    for (const auto &[first, second, third, expected] : insurances)
    {
        cCaseObject names;
        names.Insurance1Name = first;
        names.Insurance2Name = second;
        names.Insurance3Name = third;
        EXPECT_EQ(InsuranceText(names), expected);
    }

    cCaseQuoteObject quote = *Load("{1:{Fields:{H10:Mercy,ca22:\"MG-1\",Ip10:Medicare,It10:Aetna},QuoteList:{"
                                   "2:{f14:A,cn16:2,cn14:201003151430,pc12:Oxygen,cn15:\"Portable tank\"}}}}")
                                  .Awarded.at(0);
    cCaseObject caseObject = *quote.AwardedCase;
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

TEST(NewQuoteWatch, AlertsOncePerNewKeyAndNeverOnTheFirstLoad)
{
    cNewQuoteWatch watch;
    const cProviderQuotes first = Load("{1:{Fields:{H10:Mercy},QuoteList:{10:{},11:{}}}}");
    EXPECT_EQ(watch.Update(first).Count, 0) << "the first load only records its keys";
    EXPECT_EQ(watch.Update(first).Count, 0) << "nothing new";
    const cProviderQuotes second = Load("{1:{Fields:{H10:Mercy},QuoteList:{10:{},12:{}}},"
                                        "2:{Fields:{H10:\"St. Luke\"},QuoteList:{13:{}}},"
                                        "3:{Fields:{H10:Mercy},QuoteList:{14:{}}},4:{QuoteList:{15:{}}}}");
    const cQuoteAlert alert = watch.Update(second);
    EXPECT_EQ(alert.Title() + "|" + alert.Body(), "4 new case requests|Mercy, St. Luke");
    EXPECT_EQ(watch.Update(second).Count, 0) << "each key once";
    // A key that left a load and comes back was seen already.
    EXPECT_EQ(watch.Update(Load("{}")).Count, 0);
    const cQuoteAlert back = watch.Update(Load("{1:{Fields:{H10:Mercy},QuoteList:{11:{},16:{}}}}"));
    EXPECT_EQ(back.Title() + "|" + back.Body(), "1 new case request|Mercy");
    watch.Reset();
    EXPECT_EQ(watch.Update(second).Count, 0) << "after a reset the next load is a first load";
}

TEST(OpenCaseFilter, CasesMatchByHospitalNumberOrInsuranceAndQuotesByCategoryDescriptionOrDate)
{
    cProviderQuotes quotes = Load(
        "{1:{Fields:{H10:\"Mercy General\",ca22:\"MG-100\",Ip10:Medicare,Is10:BlueShield},QuoteList:{"
        "10:{pc12:Oxygen,cn15:\"Portable tank\",cn14:202403041000},"
        "11:{pc12:\"Hospital Bed\",cn15:\"Full electric\",cn14:20240305}}},"
        "2:{Fields:{H10:\"St. Luke\",ca22:\"SL-7\",Ip10:Medicaid},QuoteList:{"
        "12:{pc12:Wheelchair,cn15:\"Light, oxygen holder\",cn14:20240401},13:{pc12:Walker,cn14:20240402}}}}");
    quotes.OpenCases.push_back({std::make_unique<cCaseObject>(), {}}); // a case without quotes
    quotes.OpenCases.back().Case->HospitalName = "Harbor";
    cOpenCaseFilter filter;
    filter.Index(quotes.OpenCases);
    EXPECT_EQ(filter.QuoteCounts, (std::vector<int>{2, 2, 0}));

    // Tree order: case 1, 10, 11, case 2, 12, 13, case 3.
    const std::pair<const char *, std::vector<char>> cases[] = {
        {"", {1, 1, 1, 1, 1, 1, 1}},
        {"   ", {1, 1, 1, 1, 1, 1, 1}},
        {"mercy", {1, 1, 1, 0, 0, 0, 0}},            // hospital: the case with all its quotes
        {"sl-7", {0, 0, 0, 1, 1, 1, 0}},             // case number, case-insensitive
        {"BLUESHIELD", {1, 1, 1, 0, 0, 0, 0}},       // second insurance
        {"medicare, blue", {1, 1, 1, 0, 0, 0, 0}},   // the insurance column as shown
        {"oxygen", {1, 1, 0, 1, 1, 0, 0}},           // category of one, description of another
        {" walker ", {0, 0, 0, 1, 0, 1, 0}},         // blanks around ignored
        {"03/05", {1, 0, 1, 0, 0, 0, 0}},            // date
        {"harbor", {0, 0, 0, 0, 0, 0, 1}},           // a case without quotes
        {"bed\037full", {0, 0, 0, 0, 0, 0, 0}},      // never across two fields
        {"blueshieldoxygen", {0, 0, 0, 0, 0, 0, 0}}, // never across two lines
        {"nothing", {0, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto &[text, visible] : cases)
    {
        filter.Apply(text);
        EXPECT_EQ(filter.Visible, visible) << '"' << text << '"';
        // The same, line by line as the tree asks; lines beyond the indexed shape are shown.
        std::vector<char> lines;
        for (int row = 0; row < 3; ++row)
        {
            lines.push_back(filter.CaseShown(row));
            for (int q = 0; q < filter.QuoteCounts[static_cast<std::size_t>(row)]; ++q)
                lines.push_back(filter.QuoteShown(row, q));
        }
        EXPECT_EQ(lines, visible) << '"' << text << '"';
        EXPECT_TRUE(filter.CaseShown(3) && filter.CaseShown(-1) && filter.QuoteShown(2, 0) &&
                    filter.QuoteShown(0, 2));
    }

    // A new index (the next load) starts with everything shown and takes the new shape.
    filter.Index(Load("{4:{Fields:{H10:Mercy},QuoteList:{20:{}}}}").OpenCases);
    EXPECT_EQ(filter.Visible, (std::vector<char>{1, 1}));
    filter.Apply("mercy");
    EXPECT_EQ(filter.Visible, (std::vector<char>{1, 1}));
    filter.Apply("oxygen"); // the last load's texts are gone
    EXPECT_EQ(filter.Visible, (std::vector<char>{0, 0}));
    EXPECT_EQ(FoldCase("AbC-Ä"), "abc-Ä");
}

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyMustBeAndAwardedLinesCarryTheShownColumns)
{
    for (const auto &[text, expected] : {std::pair<const char *, const char *>{"plain", "plain"},
                                         {"", ""},
                                         {"a,b", "\"a,b\""},
                                         {"say \"hi\"", "\"say \"\"hi\"\"\""},
                                         {"\"", "\"\"\"\""},
                                         {" spaced ", " spaced "},
                                         {"two\nlines", "\"two\nlines\""},
                                         {"cr\rlf", "\"cr\rlf\""}})
        EXPECT_EQ(CsvField(text), expected) << text;
    // An awarded line: the shown date (not the raw one), hospital, case number, category, description.
    std::vector<std::unique_ptr<cCaseQuoteObject>> awarded;
    auto quote = std::make_unique<cCaseQuoteObject>();
    quote->RequiredDate = "03/04/2024  10:00";
    quote->RequiredDateText = "202403041000";
    quote->CategoryName = "Oxygen";
    quote->NeedDescription = "Tank, \"large\"\nby noon";
    quote->AwardedCase->HospitalName = "Mercy, General";
    quote->AwardedCase->CaseNumber = "MG-1";
    awarded.push_back(std::move(quote));
    awarded.push_back(std::make_unique<cCaseQuoteObject>()); // with an empty case: empty columns
    awarded.push_back(std::make_unique<cCaseQuoteObject>(cCaseQuoteObject::cWithoutCase{}));
    EXPECT_EQ(AwardedCasesCsv(awarded), "Delivery Date,Hospital,Case Number,Category,Description\r\n"
                                        "03/04/2024  10:00,\"Mercy, General\",MG-1,Oxygen,"
                                        "\"Tank, \"\"large\"\"\nby noon\"\r\n"
                                        ",,,,\r\n,,,,\r\n");
    EXPECT_EQ(AwardedCasesCsv({}), "Delivery Date,Hospital,Case Number,Category,Description\r\n");
}

TEST(CsvExport, WriteReplacesTheFileAndAFailureLeavesNothingBehind)
{
    cTempDir dir;
    std::string error;
    const std::string path = dir.File("awarded.csv");
    const auto entries = [&] { return std::distance(std::filesystem::directory_iterator(dir.Path), {}); };
    ASSERT_TRUE(WriteFileReplacing(path, "first", error)) << error;
    EXPECT_EQ(ReadFile(path), "first");
    ASSERT_TRUE(WriteFileReplacing(path, "second, longer", error)) << error;
    EXPECT_EQ(ReadFile(path), "second, longer");
    EXPECT_EQ(entries(), 1) << "no temporary file left";

    // The target is a folder: the rename fails, the temporary file goes, the folder stays.
    mkdir(dir.File("folder").c_str(), 0700);
    EXPECT_FALSE(WriteFileReplacing(dir.File("folder"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(entries(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder")));

    // A folder that does not exist: no file is made.
    EXPECT_FALSE(WriteFileReplacing(dir.File("missing/awarded.csv"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(WriteFileReplacing("", "x", error));

    // A folder that cannot be written to: the old file keeps its content.
    if (geteuid() != 0)
    {
        chmod(dir.Path.c_str(), 0500);
        EXPECT_FALSE(WriteFileReplacing(path, "third", error));
        chmod(dir.Path.c_str(), 0700);
        EXPECT_EQ(ReadFile(path), "second, longer");
    }
    EXPECT_EQ(entries(), 2);
}
