// cJSON on hostile text: deep nesting, megabytes of brackets, quotes, commas and binary junk.
// Nothing may crash or grow without bound: the depth limit holds on every shape. (How fast each
// shape parses is a matter for the benchmarks.)
#include "json/cJSON.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace
{

constexpr std::size_t KiB = 1024;
constexpr std::size_t MiB = 1024 * KiB;

std::string Repeat(std::string_view unit, std::size_t bytes)
{
    std::string s;
    s.reserve(bytes + unit.size());
    while (s.size() < bytes)
        s += unit;
    return s;
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

TEST(cJSONHostile, JunkStaysWithinTheDepthLimit)
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
        "[" + Repeat("{a:[1,{b:'x'}]},", Part) + "]",
        Repeat("[{", Run / 2) + Repeat("}]", Run / 2),
        Repeat("{'a", MiB),
        "{" + Repeat("\"\\\",", Part) + "}",
        "[" + Repeat("1e99999,", Part) + "]",
        "[\"" + std::string(MiB, '1') + "\"," + std::string(MiB, '9') + "]",
        junk(20, 0),
        junk(21, '{'),
    };
    for (std::size_t i = 0; i < std::size(inputs); ++i) // parsed, written and parsed again
    {
        cJSON j(inputs[i]);
        EXPECT_LE(std::max(TreeDepth(j), TreeDepth(cJSON(j.ToText()))), cJSON::MaxDepth) << "input " << i;
    }

    // One name repeated: the earlier member is removed and the new one appended each time.
    cJSON j("{" + Repeat("a:1,", Part) + "b:2}");
    EXPECT_EQ(j.ToText(), "{a:1,b:2}");
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
}
