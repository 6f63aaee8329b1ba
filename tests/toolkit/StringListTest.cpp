#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Items = std::vector<std::string>;
using Lists = std::vector<Items>;
using namespace std::string_literals;

namespace
{
cStringList ListOf(const Items &items)
{
    cStringList list;
    for (const auto &s : items)
        list.Add(s);
    return list;
}

// The items read from each text by SetCommaText, or by SetText when asLines; the static parser
// must read the same.
Lists ReadEach(std::initializer_list<std::string> texts, bool asLines = false)
{
    Lists out;
    for (const std::string &text : texts)
    {
        cStringList list;
        asLines ? list.SetText(text) : list.SetCommaText(text);
        out.push_back(list.ToVector());
        EXPECT_EQ(asLines ? cStringList::ParseText(text) : cStringList::ParseCommaText(text), out.back())
            << text;
    }
    return out;
}
} // namespace

TEST(CommaText, WritesQuotingOnlyWhatNeedsItAndReadsBack)
{
    const struct
    {
        Items items;
        std::string text;
    } cases[] = {{{}, ""},
                 {{"a", "b", "c"}, "a,b,c"},
                 {{"a b"}, "\"a b\""},
                 {{"f1001=nice place", "x"}, "\"f1001=nice place\",x"},
                 {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
                 {{"\""}, "\"\"\"\""},
                 {{"a,b", "c"}, "\"a,b\",c"},
                 {{"a\r\nb", "a\tb", "\x01"}, "\"a\r\nb\",\"a\tb\",\"\x01\""},
                 {{"a\0b"s}, "\"a\0b\""s},
                 {{"\x7f", "caf\xe9", "\xff\x80", "a'b", "x=y", "||"}, "\x7f,caf\xe9,\xff\x80,a'b,x=y,||"},
                 {{"", "a"}, ",a"},
                 {{"a", ""}, "a,"},
                 {{"a", "", "b"}, "a,,b"},
                 {{"", ""}, ","},
                 {{""}, "\"\""}, // a lone empty item must not read back as the empty list
                 {{" leading", "trailing ", "  "}, "\" leading\",\"trailing \",\"  \""}};
    for (const auto &c : cases)
    {
        EXPECT_EQ(ListOf(c.items).CommaText(), c.text);
        EXPECT_EQ(ReadEach({c.text}), Lists{c.items}) << c.text;
    }
}

TEST(CommaText, Reads)
{
    EXPECT_EQ(ReadEach({"Error=No table,ErrorCode=12,Seq=7"}),
              (Lists{{"Error=No", "table", "ErrorCode=12", "Seq=7"}}));
    // An unquoted item ends at any character up to and including space.
    EXPECT_EQ(ReadEach({"a b", "a\tb\rc\nd", "a\0b"s}),
              (Lists{{"a", "b"}, {"a", "b", "c", "d"}, {"a", "b"}}));
    // Blanks and control characters before and after items are skipped; quoted items.
    EXPECT_EQ(ReadEach({"  a ,  b  ", "\x01\x02x\x1f,\x10y", "  \"a\"  ,  \"b\"  ", "\"\",\"\""}),
              (Lists{{"a", "b"}, {"x", "y"}, {"a", "b"}, {"", ""}}));
    // A quote inside an unquoted item is an ordinary character.
    EXPECT_EQ(ReadEach({"a\"b", "a\"b c\""}), (Lists{{"a\"b"}, {"a\"b", "c\""}}));
    // What follows a closing quote without a comma starts the next item.
    EXPECT_EQ(ReadEach({"\"a\"b,c", "\"a\"\"\"b", "\"a\" \"b\""}),
              (Lists{{"a", "b", "c"}, {"a\"", "b"}, {"a", "b"}}));
    // A quote that never closes takes the rest of the text.
    EXPECT_EQ(ReadEach({"x,\"a, b ,c", "\"ab\"\"", "\""}), (Lists{{"x", "a, b ,c"}, {"ab\""}, {""}}));
    // A comma that is the very last character adds an empty item; blanks after it end the text.
    EXPECT_EQ(ReadEach({"\"a\",", "a, ", "a, ,b", "   \t\r\n"}),
              (Lists{{"a", ""}, {"a"}, {"a", "", "b"}, {}}));
}

TEST(CommaText, SeededRoundTripsInBothDirections)
{
    // Characters chosen to hit every rule: blanks and controls, NUL, quotes, commas, '=', high bytes.
    static const char chars[] = "ab Z=,\"'\t\r\n\x01\x1f\x7f\x80\xff|~";
    const std::string palette(chars, sizeof chars);
    std::mt19937 rng(20240531u);
    auto pick = [&](int most)
    {
        std::string s(static_cast<std::size_t>(rng() % static_cast<unsigned>(most + 1)), ' ');
        for (auto &c : s)
            c = palette[rng() % palette.size()];
        return s;
    };
    for (int round = 0; round < 3000; ++round)
    {
        Items items(rng() % 13);
        for (auto &item : items)
            item = pick(8);
        const std::string text = ListOf(items).CommaText();
        ASSERT_EQ(ReadEach({text}), Lists{items}) << "round " << round << ": " << text;
        // Any text: the items it reads as write back to text that reads as the same items.
        const std::string any = pick(24);
        const Lists first = ReadEach({any});
        ASSERT_EQ(ReadEach({ListOf(first[0]).CommaText()}), first) << any;
    }
}

TEST(NameValue, NameEndsAtTheFirstEqualsAndLookupsIgnoreCase)
{
    cStringList list = ListOf({"a=b=c", "noequals", "=v", "k=", "Seq=7", "SEQ=8"});
    Items split; // name|value of each item
    for (int i = 0; i < list.Count(); ++i)
        split.push_back(list.Names(i) + "|" + list.ValueFromIndex(i));
    EXPECT_EQ(split, (Items{"a|b=c", "|", "|v", "k|", "Seq|7", "SEQ|8"}));
    EXPECT_EQ((Items{list.Names(99), list.Values("A"), list.Values("seq"), list.Values("missing")}),
              (Items{"", "b=c", "7", ""}));
    // sEq finds the first match.
    EXPECT_EQ((std::vector{list.IndexOfName("a=b"), list.IndexOfName("noequals"), list.IndexOfName("sEq")}),
              (std::vector{-1, -1, 4}));
}

TEST(NameValue, SetAppendsReplacesInPlaceAndEmptyRemoves)
{
    cStringList list;
    list.SetValues("Key", ""); // an empty argument leaves the key out
    list.SetValues("ProgramID", "DorvaneClient");
    list.SetValues("f13", "12.50");
    EXPECT_EQ(list.CommaText(), "ProgramID=DorvaneClient,f13=12.50");

    list = ListOf({"a=1", "B=2", "b=3", "c=4"});
    list.SetValues("b", "x y");
    EXPECT_EQ(list.ToVector(), (Items{"a=1", "b=x y", "b=3", "c=4"}));
    EXPECT_EQ(list.CommaText(), "a=1,\"b=x y\",b=3,c=4");

    cStringList reply;
    reply.SetCommaText("\"Error=No table\",ErrorCode=12,Seq=7,error=again");
    EXPECT_EQ(reply.Values("Error"), "No table");
    reply.SetValues("ERROR", "");
    reply.SetValues("errorcode", "");
    reply.SetValues("absent", "");
    EXPECT_EQ(reply.ToVector(), (Items{"Seq=7", "error=again"}));
}

TEST(TextForm, WritesCrLfAndReadsCrLfLfAndCr)
{
    EXPECT_EQ((Items{ListOf({"a", "b"}).Text(), ListOf({""}).Text(), ListOf({}).Text()}),
              (Items{"a\r\nb\r\n", "\r\n", ""}));
    // CR LF, LF and CR each end a line; blanks and commas are kept.
    EXPECT_EQ(ReadEach({"a\r\nb\nc\rd", "a\r\n", "a\n\nb", "a\n\r", "\r\n", "", " a , b "}, true),
              (Lists{{"a", "b", "c", "d"}, {"a"}, {"a", "", "b"}, {"a", ""}, {""}, {}, {" a , b "}}));
    const Items items{"", "a b", "\"q\"", ",", "x"};
    EXPECT_EQ(ReadEach({ListOf(items).Text()}, true), Lists{items});
}

TEST(StringList, IndexOutOfRangeIsHarmless)
{
    cStringList list = ListOf({"a"});
    EXPECT_EQ(list.Strings(-1), "");
    EXPECT_EQ(list[1], "");
    EXPECT_EQ(list.Integer(5), 0);
    list.SetString(3, "x");
    list.SetInteger(-2, 4);
    list.Delete(7);
    list.Delete(-1);
    EXPECT_EQ(list.ToVector(), (Items{"a"}));
}

TEST(StringList, InsertDeleteAssignAndSlots)
{
    cStringList list;
    int value = 0;
    list.AddInteger("old", 5);
    list.SetCommaText("x,y"); // reading replaces the items and clears the slots
    EXPECT_EQ(list.ToVector(), (Items{"x", "y"}));
    EXPECT_EQ(list.Integer(0), 0);
    list.Clear();
    list.AddInteger("one", 1);
    list.AddObject("two", &value);
    list.Insert(0, "zero");
    list.Insert(99, "last");
    EXPECT_EQ(list.ToVector(), (Items{"zero", "one", "two", "last"}));
    EXPECT_EQ(list.Integer(1), 1);
    list.SetInteger(0, -5);
    EXPECT_EQ(list.Integer(0), -5);
    list.Delete(1);
    EXPECT_EQ(list.ToVector(), (Items{"zero", "two", "last"}));
    cStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.ToVector(), list.ToVector());
    EXPECT_EQ(copy.Object(1), &value);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

TEST(StringList, CaseInsensitiveLookupFoldsAsciiLettersOnly)
{
    cStringList list = ListOf({"Alpha", "beta", "BETA"});
    EXPECT_EQ((std::vector{list.IndexOf("ALPHA"), list.IndexOf("Beta"), list.IndexOf("gamma")}),
              (std::vector{0, 1, -1}));
    auto sign = [](const char *a, const char *b)
    { return (cStringList::CompareText(a, b) > 0) - (cStringList::CompareText(a, b) < 0); };
    // Bytes compare unsigned.
    EXPECT_EQ((std::vector{sign("abc", "ABC"), sign("abc", "ABD"), sign("b", "A"), sign("ab", "abc"),
                           sign("\xe9", "\xc9"), sign("z", "\x80")}),
              (std::vector{0, -1, 1, -1, 1, -1}));
}

// A list fed its own items: the text is copied before the list changes.
TEST(StringList, OwnItemAsArgument)
{
    cStringList list = ListOf({"x,y,z", "b"});
    list.SetCommaText(list[0]);
    EXPECT_EQ(list.ToVector(), (Items{"x", "y", "z"}));
    list.SetText(list[1]);
    EXPECT_EQ(list.ToVector(), (Items{"y"}));
    list.Add(list[0]);
    list.Insert(0, list[1]);
    EXPECT_EQ(list.ToVector(), (Items{"y", "y", "y"}));
    const std::string long_ = "k=" + std::string(60, 'v');
    cStringList sorted;
    sorted.SetSorted(true);
    sorted.Add(long_);
    sorted.Add("a");
    sorted.SetString(1, sorted[1]);
    EXPECT_EQ(sorted[1], long_);
    sorted.SetValues("k", sorted[1]);
    EXPECT_EQ(sorted.Values("k"), long_);
}

TEST(SortedList, AddAndFindIgnoreCase)
{
    cStringList list;
    list.SetSorted(true);
    EXPECT_EQ((std::vector{list.Add("delta"), list.Add("Bravo"), list.Add("charlie"), list.Add("ALPHA")}),
              (std::vector{0, 0, 1, 0}));
    EXPECT_EQ(list.ToVector(), (Items{"ALPHA", "Bravo", "charlie", "delta"}));
    const struct
    {
        const char *s;
        bool found;
        int index;
    } finds[] = {{"CHARLIE", true, 2}, {"b", false, 1}, {"a", false, 0}, {"z", false, 4}, {"alpha", true, 0}};
    for (const auto &f : finds)
    {
        int index = -1;
        EXPECT_EQ(list.Find(f.s, index), f.found) << f.s;
        EXPECT_EQ(index, f.index) << f.s;
    }
    EXPECT_EQ((std::pair(list.IndexOf("DELTA"), list.IndexOf("x"))), std::pair(3, -1));
}

TEST(SortedList, DuplicateModes)
{
    cStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Duplicates(), cDuplicates::Ignore);
    list.AddInteger("a", 1);
    list.Add("b");
    EXPECT_EQ(list.AddInteger("A", 2), 0); // the existing index; the item and its slot stay
    EXPECT_EQ(list.ToVector(), (Items{"a", "b"}));
    EXPECT_EQ(list.Integer(0), 1);

    list.SetDuplicates(cDuplicates::Error);
    EXPECT_EQ(list.Add("B"), -1);
    EXPECT_EQ(list.Count(), 2);

    cStringList accept;
    accept.SetSorted(true);
    accept.SetDuplicates(cDuplicates::Accept);
    for (const char *s : {"b", "a", "B", "b"})
        accept.AddInteger(s, accept.Count() + 1);
    EXPECT_EQ(accept.ToVector(), (Items{"a", "b", "B", "b"})); // equal items in the order added
    EXPECT_EQ(accept.Integer(3), 4);
    int index = -1;
    EXPECT_TRUE(accept.Find("b", index));
    EXPECT_EQ(index, 1); // the first match
}

TEST(SortedList, SortingSetStringInsertAndSetValuesKeepTheOrderAndTheSlots)
{
    cStringList list;
    list.AddInteger("c", 3);
    list.AddInteger("A", 1);
    list.AddInteger("b", 2);
    list.SetSorted(true);
    EXPECT_EQ(list.ToVector(), (Items{"A", "b", "c"}));
    EXPECT_EQ((std::vector{list.Integer(0), list.Integer(2)}), (std::vector<std::intptr_t>{1, 3}));
    list.Insert(0, "z");
    EXPECT_EQ(list[3], "z");
    list.SetString(0, "y"); // moves to where its new text belongs, keeping its slot
    EXPECT_EQ(list.ToVector(), (Items{"b", "c", "y", "z"}));
    EXPECT_EQ(list.Integer(2), 1);

    cStringList values;
    values.SetSorted(true);
    values.SetValues("b", "1");
    values.SetValues("a", "2");
    values.SetValues("B", "3");
    EXPECT_EQ(values.ToVector(), (Items{"a=2", "B=3"}));
}

TEST(SortedList, ReadingTextSortsAndDropsRepeatsUnlessAccepted)
{
    cStringList list;
    list.SetSorted(true);
    list.SetCommaText("c,a,B,A,b");
    EXPECT_EQ(list.ToVector(), (Items{"a", "B", "c"}));
    list.SetDuplicates(cDuplicates::Accept);
    list.SetCommaText("c,a,B,A,b");
    EXPECT_EQ(list.ToVector(), (Items{"a", "A", "B", "b", "c"}));
    list.SetText("y\nx\n");
    EXPECT_EQ(list.ToVector(), (Items{"x", "y"}));
}
