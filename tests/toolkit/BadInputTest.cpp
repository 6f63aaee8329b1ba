// Hostile text: megabytes of commas, quotes, blanks, unbalanced quotes and binary junk. Every
// parser must finish without crashing; each input is 1 to 5 MB, so a parser that were quadratic
// would not finish within the test run (2 MB at n^2 is ~4*10^12 steps) while the linear ones
// take a second or so even in the sanitizer build. The checks on the results show that the
// input was read as a whole.
#include "toolkit/DateTime.h"
#include "toolkit/IniFile.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{
constexpr std::size_t MB = 1024 * 1024;

std::string Junk(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (auto &c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

// Writing the items back and reading them again gives the same items.
void ExpectCommaRoundTrip(const cStringList &list)
{
    cStringList again;
    again.SetCommaText(list.CommaText());
    ASSERT_EQ(again.Count(), list.Count());
    EXPECT_TRUE(again.ToVector() == list.ToVector());
}
} // namespace

TEST(BadInput, MegabytesOfCommas)
{
    const std::string text(2 * MB, ',');
    cStringList list;
    list.SetCommaText(text);
    EXPECT_EQ(list.Count(), static_cast<int>(2 * MB + 1));
    EXPECT_EQ(list.CommaText(), text);
}

TEST(BadInput, MegabytesOfCommasAndBlanks)
{
    std::string text;
    for (std::size_t i = 0; i < MB / 2; ++i)
        text += " ,";
    cStringList list;
    list.SetCommaText(text);
    EXPECT_EQ(list.Count(), static_cast<int>(MB / 2 + 1));
}

TEST(BadInput, MegabytesOfQuotes)
{
    // An even number: an opening quote, doubled quotes and the closing quote.
    const std::string even(2 * MB, '"');
    cStringList list;
    list.SetCommaText(even);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].size(), (2 * MB - 2) / 2);
    ExpectCommaRoundTrip(list);
    // An odd number: the last quote is the first of a pair, so the quote never closes.
    const std::string odd(2 * MB + 1, '"');
    list.SetCommaText(odd);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].size(), 2 * MB / 2);
    ExpectCommaRoundTrip(list);
}

TEST(BadInput, UnbalancedQuoteSwallowsTheRest)
{
    std::string text = "a,\"";
    text += std::string(5 * MB, 'x');
    text += ", b c";
    cStringList list;
    list.SetCommaText(text);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[1].size(), 5 * MB + 5);
    ExpectCommaRoundTrip(list);
}

TEST(BadInput, ManyShortQuotedItems)
{
    std::string text;
    while (text.size() < 2 * MB)
        text += "\"a\"\"b\"c\",";
    cStringList list;
    list.SetCommaText(text);
    EXPECT_GT(list.Count(), 1000);
    ExpectCommaRoundTrip(list);
}

TEST(BadInput, BinaryJunkAsCommaText)
{
    const std::string text = Junk(3 * MB, 1);
    cStringList list;
    list.SetCommaText(text);
    EXPECT_GT(list.Count(), 0);
    ExpectCommaRoundTrip(list);
}

TEST(BadInput, BinaryJunkIntoASortedList)
{
    cStringList list;
    list.SetSorted(true);
    list.SetCommaText(Junk(2 * MB, 3));
    ASSERT_GT(list.Count(), 1000);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(cStringList::CompareText(list[i - 1], list[i]), 0) << i;
    int index = -1;
    EXPECT_TRUE(list.Find(list[list.Count() / 2], index));
    EXPECT_EQ(index, list.Count() / 2);
}

TEST(BadInput, DistinctItemsIntoASortedList)
{
    // Reverse order: one insertion at the front per item would be quadratic.
    std::string text;
    for (int i = 200000; i > 0; --i)
        text += std::to_string(1000000 + i) + ",";
    text.pop_back();
    cStringList list;
    list.SetSorted(true);
    list.SetCommaText(text);
    ASSERT_EQ(list.Count(), 200000);
    EXPECT_EQ(list[0], "1000001");
    EXPECT_EQ(list.IndexOf("1200000"), 199999);
}

TEST(BadInput, TextFormWithMegabytesOfLineBreaks)
{
    cStringList list;
    list.SetText(std::string(MB, '\r'));
    EXPECT_EQ(list.Count(), static_cast<int>(MB));
    list.SetText(std::string(MB, '\n'));
    EXPECT_EQ(list.Count(), static_cast<int>(MB));
    list.SetText(std::string(5 * MB, 'x'));
    EXPECT_EQ(list.Count(), 1);
    const std::string junk = Junk(2 * MB, 4);
    list.SetText(junk);
    cStringList again;
    again.SetText(list.Text());
    EXPECT_TRUE(again.ToVector() == list.ToVector());
}

TEST(BadInput, NameValueOnJunk)
{
    cStringList list;
    list.SetCommaText(Junk(MB, 5));
    list.SetValues("absent", "x");
    EXPECT_EQ(list.Values("ABSENT"), "x");
    list.SetValues("absent", "");
    EXPECT_EQ(list.IndexOfName("absent"), -1);
}

TEST(BadInput, IniReaderOnJunk)
{
    EXPECT_EQ(cIniFile::ReadStringFromText(Junk(5 * MB, 6), "DataServer", "IP", "d"), "d");
    std::string brackets(5 * MB, '[');
    EXPECT_EQ(cIniFile::ReadStringFromText(brackets, "S", "k", "d"), "d");
    std::string text = "[S]\n" + std::string(5 * MB, '=') + "\nk=v\n";
    EXPECT_EQ(cIniFile::ReadStringFromText(text, "S", "k", "d"), "v");
    std::string lines;
    for (int i = 0; i < 200000; ++i)
        lines += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    EXPECT_EQ(cIniFile::ReadStringFromText(lines, "s199999", "K", "d"), "199999");
}

TEST(BadInput, NumberAndDateParsersOnLongText)
{
    const std::string digits(MB, '7');
    EXPECT_EQ(StrToIntDef(digits, -1), -1);
    EXPECT_EQ(StrToInt64Def(digits, -1), -1);
    EXPECT_EQ(StrToFloatDef(digits, -1), -1); // out of range
    EXPECT_EQ(StrToFloatDef("0." + digits, -1) > 0.77, true);
    cDateTime v = 0;
    EXPECT_FALSE(TryStrToDate(digits, v));
    EXPECT_FALSE(TryStrToDate("01/01/2024 " + digits, v));
    const std::string junk = Junk(MB, 7);
    EXPECT_EQ(StrToIntDef(junk, -1), -1);
    EXPECT_EQ(StrToFloatDef(junk, -1), -1);
    EXPECT_FALSE(TryStrToDate(junk, v));
    EXPECT_FALSE(FormatDateTime(junk, 45000.5).empty());
    EXPECT_FALSE(FormatFloat(junk, 1.5).empty());
}

TEST(BadInput, ExtremeValuesForTheFormats)
{
    for (double v : {1e300, -1e300, 5e-324, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), -1e6, 3e6})
    {
        EXPECT_FALSE(FormatDateTime("yyyymmddhhnnss", v).empty());
        EXPECT_FALSE(FormatFloat("##0.0", v).empty());
        EXPECT_FALSE(FloatToStr(v).empty());
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(v, y, mo, d, h, mi, s, ms);
    }
    EXPECT_EQ(FormatFloat("##0.0", 1e300).size(), 303u);
}
