#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Items = std::vector<std::string>;
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

Items ReadCommaText(std::string_view text)
{
    cStringList list;
    list.SetCommaText(text);
    return list.ToVector();
}

Items ReadText(std::string_view text)
{
    cStringList list;
    list.SetText(text);
    return list.ToVector();
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
        EXPECT_EQ(ReadCommaText(c.text), c.items) << c.text;
    }
}

TEST(CommaText, Reads)
{
    const struct
    {
        std::string text;
        Items items;
    } cases[] = {{"Error=No table,ErrorCode=12,Seq=7", {"Error=No", "table", "ErrorCode=12", "Seq=7"}},
                 // An unquoted item ends at any character up to and including space.
                 {"a b", {"a", "b"}},
                 {"a\tb\rc\nd", {"a", "b", "c", "d"}},
                 {"a\0b"s, {"a", "b"}},
                 // Blanks and control characters before and after items are skipped.
                 {"  a ,  b  ", {"a", "b"}},
                 {"\x01\x02x\x1f,\x10y", {"x", "y"}},
                 // Quoted items.
                 {"  \"a\"  ,  \"b\"  ", {"a", "b"}},
                 {"\"\",\"\"", {"", ""}},
                 // A quote inside an unquoted item is an ordinary character.
                 {"a\"b", {"a\"b"}},
                 {"a\"b c\"", {"a\"b", "c\""}},
                 // What follows a closing quote without a comma starts the next item.
                 {"\"a\"b,c", {"a", "b", "c"}},
                 {"\"a\"\"\"b", {"a\"", "b"}},
                 {"\"a\" \"b\"", {"a", "b"}},
                 // A quote that never closes takes the rest of the text.
                 {"x,\"a, b ,c", {"x", "a, b ,c"}},
                 {"\"ab\"\"", {"ab\""}},
                 {"\"", {""}},
                 // A comma that is the very last character adds an empty item; blanks after it end the text.
                 {"\"a\",", {"a", ""}},
                 {"a, ", {"a"}},
                 {"a, ,b", {"a", "", "b"}},
                 {"   \t\r\n", {}}};
    for (const auto &c : cases)
    {
        EXPECT_EQ(ReadCommaText(c.text), c.items) << c.text;
        EXPECT_EQ(cStringList::ParseCommaText(c.text), c.items) << c.text;
    }
}

TEST(CommaText, ReadingReplacesTheItemsAndClearsTheSlots)
{
    cStringList list;
    list.AddInteger("old", 5);
    list.SetCommaText("x,y");
    EXPECT_EQ(list.ToVector(), (Items{"x", "y"}));
    EXPECT_EQ(list.Integer(0), 0);
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
        ASSERT_EQ(ReadCommaText(text), items) << "round " << round << ": " << text;
        // Any text: the items it reads as write back to text that reads as the same items.
        const std::string any = pick(24);
        const Items first = ReadCommaText(any);
        ASSERT_EQ(ReadCommaText(ListOf(first).CommaText()), first) << any;
    }
}

TEST(NameValue, NameEndsAtTheFirstEqualsAndLookupsIgnoreCase)
{
    cStringList list = ListOf({"a=b=c", "noequals", "=v", "k=", "Seq=7", "SEQ=8"});
    Items split; // name|value of each item
    for (int i = 0; i < list.Count(); ++i)
        split.push_back(list.Names(i) + "|" + list.ValueFromIndex(i));
    EXPECT_EQ(split, (Items{"a|b=c", "|", "|v", "k|", "Seq|7", "SEQ|8"}));
    EXPECT_EQ(list.Names(99), "");
    EXPECT_EQ(list.Values("A"), "b=c");
    EXPECT_EQ(list.IndexOfName("a=b"), -1);
    EXPECT_EQ(list.IndexOfName("noequals"), -1);
    EXPECT_EQ(list.IndexOfName("sEq"), 4); // the first match
    EXPECT_EQ(list.Values("seq"), "7");
    EXPECT_EQ(list.Values("missing"), "");
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
    EXPECT_EQ(ListOf({"a", "b"}).Text(), "a\r\nb\r\n");
    EXPECT_EQ(ListOf({""}).Text(), "\r\n");
    EXPECT_EQ(ListOf({}).Text(), "");
    const struct
    {
        std::string text;
        Items items;
    } cases[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                 {"a\r\n", {"a"}},
                 {"a\n\nb", {"a", "", "b"}},
                 {"a\n\r", {"a", ""}},
                 {"\r\n", {""}},
                 {"", {}},
                 {" a , b ", {" a , b "}}};
    for (const auto &c : cases)
    {
        EXPECT_EQ(ReadText(c.text), c.items) << c.text;
        EXPECT_EQ(cStringList::ParseText(c.text), c.items) << c.text;
    }
    const Items items{"", "a b", "\"q\"", ",", "x"};
    EXPECT_EQ(ReadText(ListOf(items).Text()), items);
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
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("Beta"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    EXPECT_EQ(cStringList::CompareText("abc", "ABC"), 0);
    EXPECT_LT(cStringList::CompareText("abc", "ABD"), 0);
    EXPECT_GT(cStringList::CompareText("b", "A"), 0);
    EXPECT_LT(cStringList::CompareText("ab", "abc"), 0);
    EXPECT_NE(cStringList::CompareText("\xe9", "\xc9"), 0);
    EXPECT_LT(cStringList::CompareText("z", "\x80"), 0); // bytes compare unsigned
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
    EXPECT_EQ(list.Add("delta"), 0);
    EXPECT_EQ(list.Add("Bravo"), 0);
    EXPECT_EQ(list.Add("charlie"), 1);
    EXPECT_EQ(list.Add("ALPHA"), 0);
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
    EXPECT_EQ(list.IndexOf("DELTA"), 3);
    EXPECT_EQ(list.IndexOf("x"), -1);
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
    EXPECT_EQ(list.Integer(0), 1);
    EXPECT_EQ(list.Integer(2), 3);
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
