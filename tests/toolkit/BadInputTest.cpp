// Hostile text: megabytes of commas, quotes, blanks, unbalanced quotes and binary junk, one input
// of each shape. Nothing may crash, and each input must be read as a whole: the checks on the
// results show it. (How fast the parsers are is a matter for the benchmarks.)
#include "toolkit/DateTime.h"
#include "toolkit/IniFile.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

namespace
{
constexpr std::size_t MB = 1024 * 1024;
constexpr std::size_t HalfMB = MB / 2;

std::string Junk(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (auto &c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}
} // namespace

TEST(BadInput, CommaTextShapes)
{
    const struct
    {
        const char *name;
        std::string text;
        int count;        // items read, or -1 for "many"
        std::size_t last; // size of the last item, or npos
    } cases[] = {{"commas", std::string(HalfMB, ','), static_cast<int>(HalfMB + 1), 0},
                 // An even run of quotes: opening quote, doubled quotes, closing quote.
                 {"even quotes", std::string(MB, '"'), 1, (MB - 2) / 2},
                 // An odd run: the last quote is the first of a pair, so the quote never closes.
                 {"odd quotes", std::string(MB + 1, '"'), 1, MB / 2},
                 {"unbalanced quote", "a,\"" + std::string(MB, 'x') + ", b c", 2, MB + 5},
                 {"binary junk", Junk(HalfMB, 1), -1, std::string::npos}};
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        cStringList list;
        list.SetCommaText(c.text);
        if (c.count >= 0)
        {
            ASSERT_EQ(list.Count(), c.count);
        }
        else
        {
            ASSERT_GT(list.Count(), 1000);
        }
        if (c.last != std::string::npos)
        {
            EXPECT_EQ(list[list.Count() - 1].size(), c.last);
        }
        // Written back, the items read as the same items.
        cStringList again;
        again.SetCommaText(list.CommaText());
        EXPECT_TRUE(again.ToVector() == list.ToVector());
    }
}

TEST(BadInput, SortedListsFromJunkAndFromReversedItems)
{
    cStringList list;
    list.SetSorted(true);
    list.SetCommaText(Junk(HalfMB, 3));
    ASSERT_GT(list.Count(), 1000);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(cStringList::CompareText(list[i - 1], list[i]), 0) << i;

    std::string text;
    for (int i = 200000; i > 0; --i)
        text += std::to_string(1000000 + i) + ",";
    text.pop_back();
    list.SetCommaText(text);
    ASSERT_EQ(list.Count(), 200000);
    EXPECT_EQ(list[0], "1000001");
    EXPECT_EQ(list.IndexOf("1200000"), 199999);
}

TEST(BadInput, TextFormIniAndNumbersOnJunk)
{
    cStringList list;
    list.SetText(std::string(HalfMB, '\r'));
    EXPECT_EQ(list.Count(), static_cast<int>(HalfMB));
    list.SetText(Junk(HalfMB, 4));
    cStringList again;
    again.SetText(list.Text());
    EXPECT_TRUE(again.ToVector() == list.ToVector());

    EXPECT_EQ(cIniFile::ReadStringFromText(Junk(MB, 6), "DataServer", "IP", "d"), "d");
    EXPECT_EQ(cIniFile::ReadStringFromText("[S]\n" + std::string(MB, '=') + "\nk=v\n", "S", "k", "d"), "v");

    const std::string digits(MB, '7');
    EXPECT_EQ(StrToIntDef(digits, -1), -1);
    EXPECT_EQ(StrToInt64Def(digits, -1), -1);
    EXPECT_EQ(StrToFloatDef(digits, -1), -1); // out of range
    EXPECT_GT(StrToFloatDef("0." + digits, -1), 0.77);
    cDateTime v = 0;
    EXPECT_FALSE(TryStrToDate("01/01/2024 " + digits, v));
    const std::string junk = Junk(MB, 7);
    EXPECT_EQ(StrToFloatDef(junk, -1), -1);
    EXPECT_FALSE(TryStrToDate(junk, v));
    EXPECT_FALSE(FormatDateTime(junk, 45000.5).empty());
    EXPECT_FALSE(FormatFloat(junk, 1.5).empty());
    for (double x : {1e300, -1e300, 5e-324, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), -1e6, 3e6})
    {
        EXPECT_FALSE(FormatDateTime("yyyymmddhhnnss", x).empty());
        EXPECT_FALSE(FormatFloat("##0.0", x).empty());
        EXPECT_FALSE(FloatToStr(x).empty());
    }
    EXPECT_EQ(FormatFloat("##0.0", 1e300).size(), 303u);
}
