// cJSON on hostile text: deep nesting, megabytes of brackets, quotes, commas and binary junk.
// Nothing may crash, hang or grow without bound; parsing stays roughly linear.
#include "json/cJSON.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <string>

namespace
{

constexpr std::size_t MiB = 1024 * 1024;

// Generous: a megabyte must parse in well under this even in a sanitizer build.
constexpr double SecondsLimit = 30.0;

std::string Repeat(std::string_view unit, std::size_t bytes)
{
    std::string s;
    s.reserve(bytes + unit.size());
    while (s.size() < bytes)
        s += unit;
    return s;
}

// CPU seconds of this thread, so that a busy machine does not disturb the comparisons.
double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Parses, writes and re-parses; returns the CPU seconds taken by the first parse.
double ParseAll(const std::string &text)
{
    const double start = CpuSeconds();
    cJSON j(text);
    const double seconds = CpuSeconds() - start;
    const std::string written = j.ToText();
    cJSON again(written);
    (void)again.ToText();
    return seconds;
}

int TreeDepth(const cJSON &j)
{
    int deepest = j.Depth();
    for (int i = 0; i < j.Count(); ++i)
        if (const cJSON *child = j.Items().Object(i))
            deepest = std::max(deepest, TreeDepth(*child));
    return deepest;
}

} // namespace

TEST(cJSONHostile, HundredThousandNestedBracketsDoNotExhaustTheStack)
{
    const std::string text = std::string(100000, '[') + std::string(100000, ']');
    cJSON j(text);
    EXPECT_TRUE(j.IsArray());
    EXPECT_EQ(TreeDepth(j), cJSON::MaxDepth);
    // Walk to the bottom: the level beyond the bound holds the rest as a string.
    const cJSON *level = &j;
    while (level->Count() == 1 && level->Items().Object(0))
        level = level->Items().Object(0);
    EXPECT_EQ(level->Depth(), cJSON::MaxDepth);
    ASSERT_EQ(level->Count(), 1);
    EXPECT_EQ(level->Items().Kind(0), JsonString);
    const std::size_t rest = 100000 - cJSON::MaxDepth;
    EXPECT_EQ(level->Items().ValueFromIndex(0), std::string(rest, '[') + std::string(rest, ']'));
    // Written and read again, the tree keeps its shape.
    cJSON again(j.ToText());
    EXPECT_EQ(TreeDepth(again), cJSON::MaxDepth);
    EXPECT_EQ(again.ToText(), j.ToText());
}

TEST(cJSONHostile, HundredThousandNestedObjects)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "{a:";
    text += "1";
    text += std::string(100000, '}');
    cJSON j(text);
    EXPECT_EQ(TreeDepth(j), cJSON::MaxDepth);
    cJSON again(j.ToText());
    EXPECT_EQ(again.ToText(), j.ToText());
}

TEST(cJSONHostile, DeepNestingAroundAMegabyteStaysBounded)
{
    const std::string text = std::string(1000, '[') + Repeat("a,", MiB) + std::string(1000, ']');
    EXPECT_LT(ParseAll(text), SecondsLimit);
}

class cJSONJunk : public testing::TestWithParam<int>
{
};

static std::string JunkText(int which)
{
    switch (which)
    {
    case 0:
        return std::string(MiB, '[');
    case 1:
        return std::string(MiB, '{');
    case 2:
        return std::string(MiB, ']');
    case 3:
        return std::string(MiB, '"');
    case 4:
        return std::string(MiB, '\'');
    case 5:
        return std::string(MiB, ',');
    case 6:
        return "{" + std::string(MiB, ',') + "}";
    case 7:
        return "[" + std::string(MiB, ',') + "]";
    case 8:
        return std::string(MiB, '\\');
    case 9:
        return std::string(MiB, ':');
    case 10:
        return "{" + Repeat("a:1,", MiB) + "}"; // one name repeated: remove and append each time
    case 11:
    {
        std::string s = "{";
        for (int round = 0; round < 2; ++round)
            for (int i = 0; s.size() < MiB * (round + 1) / 2; ++i)
                s += "n" + std::to_string(i) + ":" + std::to_string(i + 1) + ",";
        return s + "}";
    }
    case 12:
        return "[" + Repeat("[],", MiB) + "]";
    case 13:
        return "[" + Repeat("{a:[1,{b:'x'}]},", MiB) + "]";
    case 14:
        return Repeat("[{", MiB / 2) + Repeat("}]", MiB / 2);
    case 15:
        return Repeat("{'a", MiB);
    case 16:
        return "{" + Repeat("\"\\\",", MiB) + "}";
    case 17:
        return "[" + Repeat("1e99999,", MiB) + "]";
    case 18:
        return "[\"" + std::string(MiB, '1') + "\"," + std::string(MiB, '9') + "]";
    case 19:
        // Quotes that disagree from level to level (a name ending in an escaped backslash before
        // its quote): nested levels cannot reuse the outer scan and the work bound applies.
        return "{" + Repeat("x\\\\\":{", MiB) + "1" + std::string(MiB / 6, '}');
    default:
    {
        // Binary junk from a fixed linear congruential generator.
        std::string s(MiB, '\0');
        std::uint32_t x = 0x12345678u + static_cast<std::uint32_t>(which);
        for (char &c : s)
        {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        if (which == 21)
            s[0] = '{';
        if (which == 22)
            s[0] = '[';
        return s;
    }
    }
}

TEST_P(cJSONJunk, MegabyteOfJunkParsesQuickly)
{
    const std::string text = JunkText(GetParam());
    const double seconds = ParseAll(text);
    EXPECT_LT(seconds, SecondsLimit) << "input " << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Inputs, cJSONJunk, testing::Range(0, 23));

TEST(cJSONHostile, RepeatedNameKeepsOneMember)
{
    std::string text = "{";
    text += Repeat("a:1,", MiB);
    text += "b:2}";
    cJSON j(text);
    EXPECT_EQ(j.Count(), 2);
    EXPECT_EQ(j.ToText(), "{a:1,b:2}");
}

TEST(cJSONHostile, ScanIsRoughlyLinear)
{
    // Sixteen times the input must take far less than 256 times as long (a quadratic parse);
    // a linear one takes about 16 times. The bound leaves room for a noisy machine.
    auto timeOf = [](std::size_t bytes)
    {
        std::string text = "{";
        text += Repeat("k:'v,w',x:[1,2,{y:3}],", bytes);
        text += "}";
        double best = 1e9;
        for (int i = 0; i < 2; ++i)
            best = std::min(best, ParseAll(text));
        return best;
    };
    const double small = timeOf(MiB / 16);
    const double large = timeOf(MiB);
    EXPECT_LT(large, small * 16 * 4 + 0.05) << small << " s for 64 KiB, " << large << " s for 1 MiB";
}

TEST(cJSONHostile, DeepNestingScanIsLinear)
{
    // 100,000 levels around 512 KiB of items: every level up to the bound holds all of it, yet
    // nested levels jump over the regions that the outermost scan recorded.
    auto timeOf = [](std::size_t bytes)
    {
        const std::string text =
            std::string(100000, '[') + Repeat("[1,{a:'x'}],", bytes) + std::string(100000, ']');
        return ParseAll(text);
    };
    const double small = timeOf(MiB / 32);
    const double large = timeOf(MiB / 2);
    EXPECT_LT(large, small * 16 * 4 + 0.05) << small << " s for 32 KiB, " << large << " s for 512 KiB";
}

TEST(cJSONHostile, QuotesDisagreeingBetweenLevelsReadExactlyWhenSmall)
{
    // Each level's name ends in an escaped backslash before its closing quote: the split sees
    // the quote, the name reader does not, so every level starts in another quote state than
    // the outermost scan. Small texts are read exactly as the Part says, to MaxDepth.
    const std::string small = "{" + Repeat("x\\\\\":{", 600 * 7) + "1" + std::string(600, '}');
    cJSON j(small);
    EXPECT_EQ(TreeDepth(j), cJSON::MaxDepth);
    // A megabyte of it stops nesting once the work bound is spent, well before MaxDepth,
    // and still reads deterministically.
    const std::string large = "{" + Repeat("x\\\\\":{", MiB) + "1" + std::string(MiB / 6, '}');
    cJSON a(large);
    cJSON b(large);
    const int depth = TreeDepth(a);
    EXPECT_GT(depth, 8);
    EXPECT_LT(depth, cJSON::MaxDepth);
    EXPECT_EQ(TreeDepth(b), depth);
}
