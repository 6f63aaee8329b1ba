// Hostile text: megabytes of commas, quotes, blanks, unbalanced quotes and binary junk. Nothing may
// crash, and parsing must stay linear. Inputs hold half a million to a million characters or
// items: the linear parsers take a fraction of a second on each even in the sanitizer build, a
// quadratic one (~10^11 steps and more) minutes. A generous bound on the thread's CPU time turns
// such a blow-up into a failure instead of a test that merely runs long. The checks on the
// results show that each input was read as a whole.
#include "toolkit/DateTime.h"
#include "toolkit/IniFile.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <ctime>
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

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Far above the fraction of a second that any of these inputs takes.
constexpr double BlowUpSeconds = 20.0;

// Runs f and expects it to finish within BlowUpSeconds of CPU time.
template <typename F> void Bounded(F &&f)
{
    const double start = CpuSeconds();
    f();
    EXPECT_LT(CpuSeconds() - start, BlowUpSeconds);
}

} // namespace

TEST(BadInput, CommaTextShapes)
{
    std::string quotedItems;
    while (quotedItems.size() < HalfMB)
        quotedItems += "\"a\"\"b\"c\",";
    const struct
    {
        const char *name;
        std::string text;
        int count;        // items read, or -1 for "many"
        std::size_t last; // size of the last item, or npos
        bool writtenSame; // the items write back to the very same text
    } cases[] = {{"commas", std::string(HalfMB, ','), static_cast<int>(HalfMB + 1), 0, true},
                 // An even run of quotes: opening quote, doubled quotes, closing quote.
                 {"even quotes", std::string(MB, '"'), 1, (MB - 2) / 2, true},
                 // An odd run: the last quote is the first of a pair, so the quote never closes.
                 {"odd quotes", std::string(MB + 1, '"'), 1, MB / 2, false},
                 {"unbalanced quote", "a,\"" + std::string(MB, 'x') + ", b c", 2, MB + 5, false},
                 {"quoted items", quotedItems, -1, std::string::npos, false},
                 {"binary junk", Junk(HalfMB, 1), -1, std::string::npos, false}};
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.name);
        cStringList list;
        Bounded([&] { list.SetCommaText(c.text); });
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
        // Written back, the items read as the same items (trivially so when the text is the same).
        const std::string written = list.CommaText();
        if (c.writtenSame)
        {
            EXPECT_TRUE(written == c.text);
            continue;
        }
        cStringList again;
        again.SetCommaText(written);
        EXPECT_TRUE(again.ToVector() == list.ToVector());
    }
}

TEST(BadInput, SortedListsFromJunkAndFromReversedItems)
{
    cStringList list;
    list.SetSorted(true);
    Bounded([&] { list.SetCommaText(Junk(HalfMB, 3)); });
    ASSERT_GT(list.Count(), 1000);
    for (int i = 1; i < list.Count(); ++i)
        ASSERT_LT(cStringList::CompareText(list[i - 1], list[i]), 0) << i;
    int index = -1;
    EXPECT_TRUE(list.Find(list[list.Count() / 2], index));
    EXPECT_EQ(index, list.Count() / 2);

    // Reverse order: one insertion at the front per item would be quadratic.
    std::string text;
    for (int i = 200000; i > 0; --i)
        text += std::to_string(1000000 + i) + ",";
    text.pop_back();
    Bounded([&] { list.SetCommaText(text); });
    ASSERT_EQ(list.Count(), 200000);
    EXPECT_EQ(list[0], "1000001");
    EXPECT_EQ(list.IndexOf("1200000"), 199999);
    EXPECT_FALSE(list.Find("ITEM", index));
    EXPECT_EQ(index, 200000);
}

TEST(BadInput, TextFormAndNameValueOnJunk)
{
    cStringList list;
    Bounded([&] { list.SetText(std::string(HalfMB, '\r')); });
    EXPECT_EQ(list.Count(), static_cast<int>(HalfMB));
    Bounded([&] { list.SetText(std::string(HalfMB, '\n')); });
    EXPECT_EQ(list.Count(), static_cast<int>(HalfMB));
    Bounded([&] { list.SetText(Junk(HalfMB, 4)); });
    cStringList again;
    again.SetText(list.Text());
    EXPECT_TRUE(again.ToVector() == list.ToVector());

    list.SetCommaText(Junk(HalfMB, 5));
    list.SetValues("absent", "x");
    EXPECT_EQ(list.Values("ABSENT"), "x");
    list.SetValues("absent", "");
    EXPECT_EQ(list.IndexOfName("absent"), -1);
}

TEST(BadInput, IniReaderOnJunk)
{
    EXPECT_EQ(cIniFile::ReadStringFromText(Junk(MB, 6), "DataServer", "IP", "d"), "d");
    EXPECT_EQ(cIniFile::ReadStringFromText(std::string(MB, '['), "S", "k", "d"), "d");
    EXPECT_EQ(cIniFile::ReadStringFromText("[S]\n" + std::string(MB, '=') + "\nk=v\n", "S", "k", "d"), "v");
    std::string lines;
    for (int i = 0; i < 200000; ++i)
        lines += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    Bounded([&] { EXPECT_EQ(cIniFile::ReadStringFromText(lines, "s199999", "K", "d"), "199999"); });
}

TEST(BadInput, NumberDateAndFormatHelpers)
{
    const std::string digits(MB, '7');
    EXPECT_EQ(StrToIntDef(digits, -1), -1);
    EXPECT_EQ(StrToInt64Def(digits, -1), -1);
    EXPECT_EQ(StrToFloatDef(digits, -1), -1); // out of range
    EXPECT_GT(StrToFloatDef("0." + digits, -1), 0.77);
    cDateTime v = 0;
    EXPECT_FALSE(TryStrToDate(digits, v));
    EXPECT_FALSE(TryStrToDate("01/01/2024 " + digits, v));
    const std::string junk = Junk(MB, 7);
    EXPECT_EQ(StrToIntDef(junk, -1), -1);
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
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(x, y, mo, d, h, mi, s, ms);
    }
    EXPECT_EQ(FormatFloat("##0.0", 1e300).size(), 303u);
}
