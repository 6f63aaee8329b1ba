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

constexpr std::size_t KiB = 1024;
constexpr std::size_t MiB = 1024 * KiB;

// Generous: each input below parses in well under a second even in a sanitizer build, while a
// quadratic parse of it (10^11 steps and more) takes minutes.
constexpr double SecondsLimit = 10.0;

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
    cJSON again(j.ToText());
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

// The smaller of two timings of text, which f builds for a size.
template <typename F> double BestOfTwo(F &&make, std::size_t bytes)
{
    const std::string text = make(bytes);
    return std::min(ParseAll(text), ParseAll(text));
}

} // namespace

TEST(cJSONHostile, HundredThousandNestedBracketsOrObjectsDoNotExhaustTheStack)
{
    constexpr std::size_t Levels = 100000;
    const std::string brackets = std::string(Levels, '[') + std::string(Levels, ']');
    const std::string objects = Repeat("{a:", 3 * Levels) + "1" + std::string(Levels, '}');
    for (const std::string *text : {&brackets, &objects})
    {
        cJSON j(*text);
        EXPECT_EQ(TreeDepth(j), cJSON::MaxDepth);
        // Written and read again, the tree keeps its shape.
        cJSON again(j.ToText());
        EXPECT_EQ(TreeDepth(again), cJSON::MaxDepth);
        EXPECT_EQ(again.ToText(), j.ToText());
    }
    // Walk to the bottom of the brackets: the level at the bound holds the rest as a string.
    cJSON j(brackets);
    EXPECT_TRUE(j.IsArray());
    const cJSON *level = &j;
    while (level->Count() == 1 && level->Items().Object(0))
        level = level->Items().Object(0);
    EXPECT_EQ(level->Depth(), cJSON::MaxDepth);
    ASSERT_EQ(level->Count(), 1);
    EXPECT_EQ(level->Items().Kind(0), JsonString);
    const std::size_t rest = Levels - cJSON::MaxDepth;
    EXPECT_EQ(level->Items().ValueFromIndex(0), std::string(rest, '[') + std::string(rest, ']'));
}

TEST(cJSONHostile, JunkParsesWithinABound)
{
    // Binary junk from a fixed linear congruential generator, optionally opening a level.
    auto junk = [](std::uint32_t seed, char first)
    {
        std::string s(MiB, '\0');
        std::uint32_t x = 0x12345678u + seed;
        for (char &c : s)
        {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        if (first)
            s[0] = first;
        return s;
    };
    constexpr std::size_t Run = 512 * KiB;  // runs of one character
    constexpr std::size_t Part = 128 * KiB; // shapes that build many members
    const std::string inputs[] = {
        std::string(Run, '['),
        std::string(MiB, ']'),
        std::string(Run, '"'),
        std::string(MiB, ','),
        std::string(Run, '\\'),
        std::string(1000, '[') + Repeat("a,", MiB) + std::string(1000, ']'),
        "[" + Repeat("[],", Part) + "]",
        "[" + Repeat("{a:[1,{b:'x'}]},", Part) + "]",
        Repeat("[{", Run / 2) + Repeat("}]", Run / 2),
        Repeat("{'a", MiB),
        "{" + Repeat("\"\\\",", Part) + "}",
        "[" + Repeat("1e99999,", Part) + "]",
        "[\"" + std::string(MiB, '1') + "\"," + std::string(MiB, '9') + "]",
        junk(20, 0),
        junk(21, '{'),
    };
    for (std::size_t i = 0; i < std::size(inputs); ++i)
        EXPECT_LT(ParseAll(inputs[i]), SecondsLimit) << "input " << i;

    // One name repeated: the earlier member is removed and the new one appended each time.
    cJSON j("{" + Repeat("a:1,", Part) + "b:2}");
    EXPECT_EQ(j.ToText(), "{a:1,b:2}");
}

TEST(cJSONHostile, ScanIsRoughlyLinear)
{
    // Sixteen times the input must take far less than 256 times as long (a quadratic parse); a
    // linear one takes about 16 times. The bound leaves room for a noisy machine.
    const struct
    {
        const char *name;
        std::string (*make)(std::size_t bytes);
        std::size_t small;
    } shapes[] = {
        {"flat", [](std::size_t bytes) { return "{" + Repeat("k:'v,w',x:[1,2,{y:3}],", bytes) + "}"; },
         16 * KiB},
        // Distinct names, each set twice: lookups by name must not scan the members.
        {"names",
         [](std::size_t bytes)
         {
             std::string s = "{";
             for (int round = 0; round < 2; ++round)
                 for (int i = 0; s.size() < bytes * (round + 1) / 2; ++i)
                     s += "n" + std::to_string(i) + ":" + std::to_string(i + 1) + ",";
             return s + "}";
         },
         32 * KiB},
        // 100,000 levels around the items: every level up to the bound holds all of them, yet
        // nested levels jump over the regions that the outermost scan recorded.
        {"deep",
         [](std::size_t bytes)
         { return std::string(100000, '[') + Repeat("[1,{a:'x'}],", bytes) + std::string(100000, ']'); },
         32 * KiB},
    };
    for (const auto &shape : shapes)
    {
        const double small = BestOfTwo(shape.make, shape.small);
        const double large = BestOfTwo(shape.make, shape.small * 16);
        EXPECT_LT(large, small * 16 * 4 + 0.05)
            << shape.name << ": " << small << " s, then " << large << " s";
    }
}

TEST(cJSONHostile, NamesEndingInAnEscapedBackslashNestOneLevelEach)
{
    // Every level is named x\, written "x\\": the name reader and the split agree that the
    // backslash is escaped and the quote closes, so each name opens one level, and every level
    // starts outside quotes and jumps over the regions that the outermost scan recorded.
    const std::string unit = "\"x\\\\\":{";
    const std::string small = "{" + Repeat(unit, 600 * unit.size()) + "1" + std::string(601, '}');
    cJSON j(small);
    EXPECT_EQ(TreeDepth(j), cJSON::MaxDepth);
    const cJSON *level = &j;
    while (level->Count() == 1 && level->Items().Object(0))
    {
        ASSERT_EQ(level->Items().Names(0), "x\\") << level->Depth();
        level = level->Items().Object(0);
    }
    EXPECT_EQ(level->Depth(), cJSON::MaxDepth);
    // Without the opening quotes (x\\":{ each), a quoted stretch runs from one name's closing
    // quote to the next, so a name takes two units: 600 units nest 300 levels below the root.
    const std::string unquoted = unit.substr(1);
    EXPECT_EQ(TreeDepth(cJSON("{" + Repeat(unquoted, 600 * unquoted.size()) + "1" + std::string(601, '}'))),
              301);
    // Megabytes of either read within the bound, to MaxDepth.
    for (const std::string &u : {unit, unquoted})
    {
        const std::string large = "{" + Repeat(u, MiB) + "1" + std::string(MiB / u.size() + 1, '}');
        const double start = CpuSeconds();
        cJSON a(large);
        EXPECT_LT(CpuSeconds() - start, SecondsLimit) << u;
        EXPECT_EQ(TreeDepth(a), cJSON::MaxDepth) << u;
    }
}
