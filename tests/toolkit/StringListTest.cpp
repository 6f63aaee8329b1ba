#include "toolkit/StringList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Items = std::vector<std::string>;

namespace
{
cStringList ListOf(const Items &items)
{
    cStringList list;
    for (const auto &s : items)
        list.Add(s);
    return list;
}

std::string CommaTextOf(const Items &items)
{
    return ListOf(items).CommaText();
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

// ---- comma-text, writing -------------------------------------------------------------------

TEST(CommaTextWrite, PlainItemsAreJoinedWithCommas)
{
    EXPECT_EQ(CommaTextOf({"a", "b", "c"}), "a,b,c");
    EXPECT_EQ(CommaTextOf({"Seq=7", "f10=abc"}), "Seq=7,f10=abc");
    EXPECT_EQ(CommaTextOf({}), "");
}

TEST(CommaTextWrite, ItemWithSpaceIsQuoted)
{
    EXPECT_EQ(CommaTextOf({"a b"}), "\"a b\"");
    EXPECT_EQ(CommaTextOf({"f1001=nice place", "x"}), "\"f1001=nice place\",x");
}

TEST(CommaTextWrite, InnerQuotesAreDoubled)
{
    EXPECT_EQ(CommaTextOf({"say \"hi\""}), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CommaTextOf({"\""}), "\"\"\"\"");
    EXPECT_EQ(CommaTextOf({"a\"b"}), "\"a\"\"b\"");
}

TEST(CommaTextWrite, ItemWithCommaIsQuoted)
{
    EXPECT_EQ(CommaTextOf({"a,b", "c"}), "\"a,b\",c");
}

TEST(CommaTextWrite, ControlCharactersAreQuoted)
{
    EXPECT_EQ(CommaTextOf({"a\r\nb"}), "\"a\r\nb\"");
    EXPECT_EQ(CommaTextOf({"a\tb"}), "\"a\tb\"");
    EXPECT_EQ(CommaTextOf({std::string("a\0b", 3)}), std::string("\"a\0b\"", 5));
    EXPECT_EQ(CommaTextOf({"\x01"}), "\"\x01\"");
}

TEST(CommaTextWrite, CharactersAboveSpaceAreNotQuoted)
{
    EXPECT_EQ(CommaTextOf({"\x7f"}), "\x7f");
    EXPECT_EQ(CommaTextOf({"caf\xe9", "\xff\x80"}), "caf\xe9,\xff\x80");
    EXPECT_EQ(CommaTextOf({"a'b", "x=y", "||"}), "a'b,x=y,||");
}

TEST(CommaTextWrite, EmptyItemsAreWrittenAsNothing)
{
    EXPECT_EQ(CommaTextOf({"", "a"}), ",a");
    EXPECT_EQ(CommaTextOf({"a", ""}), "a,");
    EXPECT_EQ(CommaTextOf({"a", "", "b"}), "a,,b");
    EXPECT_EQ(CommaTextOf({"", ""}), ",");
}

TEST(CommaTextWrite, LoneEmptyItemIsWrittenAsTwoQuotes)
{
    EXPECT_EQ(CommaTextOf({""}), "\"\"");
}

// ---- comma-text, reading -------------------------------------------------------------------

TEST(CommaTextRead, PlainItems)
{
    EXPECT_EQ(ReadCommaText("a,b,c"), (Items{"a", "b", "c"}));
    EXPECT_EQ(ReadCommaText("Error=No table,ErrorCode=12,Seq=7"),
              (Items{"Error=No", "table", "ErrorCode=12", "Seq=7"}));
}

TEST(CommaTextRead, UnquotedItemWithSpaceReadsAsTwoItems)
{
    EXPECT_EQ(ReadCommaText("a b"), (Items{"a", "b"}));
    EXPECT_EQ(ReadCommaText("a\tb\rc\nd"), (Items{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadCommaText("a   b , c"), (Items{"a", "b", "c"}));
}

TEST(CommaTextRead, BlanksAroundItemsAndCommasAreSkipped)
{
    EXPECT_EQ(ReadCommaText("  a ,  b  "), (Items{"a", "b"}));
    EXPECT_EQ(ReadCommaText(" \t\r\n a"), (Items{"a"}));
    EXPECT_EQ(ReadCommaText("\x01\x02x\x1f,\x10y"), (Items{"x", "y"}));
}

TEST(CommaTextRead, QuotedItems)
{
    EXPECT_EQ(ReadCommaText("\"a b\""), (Items{"a b"}));
    EXPECT_EQ(ReadCommaText("\"a,b\",c"), (Items{"a,b", "c"}));
    EXPECT_EQ(ReadCommaText("\"say \"\"hi\"\"\""), (Items{"say \"hi\""}));
    EXPECT_EQ(ReadCommaText("\"\"\"\""), (Items{"\""}));
    EXPECT_EQ(ReadCommaText("  \"a\"  ,  \"b\"  "), (Items{"a", "b"}));
    EXPECT_EQ(ReadCommaText("\"line1\r\nline2\""), (Items{"line1\r\nline2"}));
}

TEST(CommaTextRead, QuotedEmptyItem)
{
    EXPECT_EQ(ReadCommaText("\"\""), (Items{""}));
    EXPECT_EQ(ReadCommaText("\"\",\"\""), (Items{"", ""}));
}

TEST(CommaTextRead, QuoteInsideUnquotedItemIsKept)
{
    EXPECT_EQ(ReadCommaText("a\"b"), (Items{"a\"b"}));
    EXPECT_EQ(ReadCommaText("a\"b c\""), (Items{"a\"b", "c\""}));
}

TEST(CommaTextRead, TextAfterClosingQuoteStartsTheNextItem)
{
    EXPECT_EQ(ReadCommaText("\"a\"b"), (Items{"a", "b"}));
    EXPECT_EQ(ReadCommaText("\"a\"b,c"), (Items{"a", "b", "c"}));
    EXPECT_EQ(ReadCommaText("\"a\"\"\"b"), (Items{"a\"", "b"}));
    EXPECT_EQ(ReadCommaText("\"a\" \"b\""), (Items{"a", "b"}));
}

TEST(CommaTextRead, UnbalancedQuoteTakesTheRest)
{
    EXPECT_EQ(ReadCommaText("\"abc"), (Items{"abc"}));
    EXPECT_EQ(ReadCommaText("x,\"a, b ,c"), (Items{"x", "a, b ,c"}));
    EXPECT_EQ(ReadCommaText("\"ab\"\""), (Items{"ab\""}));
    EXPECT_EQ(ReadCommaText("\""), (Items{""}));
}

TEST(CommaTextRead, TrailingCommaAddsAnEmptyItem)
{
    EXPECT_EQ(ReadCommaText("a,"), (Items{"a", ""}));
    EXPECT_EQ(ReadCommaText("\"a\","), (Items{"a", ""}));
    EXPECT_EQ(ReadCommaText(","), (Items{"", ""}));
    // Only a comma that is the very last character does: blanks after it end the text.
    EXPECT_EQ(ReadCommaText("a, "), (Items{"a"}));
}

TEST(CommaTextRead, EmptyItemsBetweenCommas)
{
    EXPECT_EQ(ReadCommaText(",a"), (Items{"", "a"}));
    EXPECT_EQ(ReadCommaText("a,,b"), (Items{"a", "", "b"}));
    EXPECT_EQ(ReadCommaText(",,"), (Items{"", "", ""}));
    EXPECT_EQ(ReadCommaText("a, ,b"), (Items{"a", "", "b"}));
}

TEST(CommaTextRead, EmptyAndBlankTextGiveNoItems)
{
    EXPECT_EQ(ReadCommaText(""), Items{});
    EXPECT_EQ(ReadCommaText("   \t\r\n"), Items{});
}

TEST(CommaTextRead, NulIsABlank)
{
    EXPECT_EQ(ReadCommaText(std::string_view("a\0b", 3)), (Items{"a", "b"}));
    EXPECT_EQ(ReadCommaText(std::string_view("\"a\0b\"", 5)), (Items{std::string("a\0b", 3)}));
}

TEST(CommaTextRead, ReplacesItemsAndClearsSlots)
{
    cStringList list;
    list.AddInteger("old", 5);
    list.SetCommaText("x,y");
    EXPECT_EQ(list.ToVector(), (Items{"x", "y"}));
    EXPECT_EQ(list.Integer(0), 0);
}

TEST(CommaTextRead, StaticParserAgreesWithTheList)
{
    const char *texts[] = {"a,b", "\"a\"b", ",", "", "\"x", " a , b ,"};
    for (const char *t : texts)
        EXPECT_EQ(cStringList::ParseCommaText(t), ReadCommaText(t)) << t;
}

TEST(CommaTextRoundTrip, FixedLists)
{
    const std::vector<Items> lists = {
        {},
        {""},
        {"", ""},
        {"", "", ""},
        {"a", ""},
        {"", "a"},
        {"a b", "c,d", "e\"f", "\"", "\"\"", ",", " ", "\r\n", std::string(1, '\0'), "x"},
        {" leading", "trailing ", "  "},
        {"Error=No table", "ErrorCode=12", "Seq=7"},
    };
    for (const auto &items : lists)
    {
        std::string text = CommaTextOf(items);
        EXPECT_EQ(ReadCommaText(text), items) << text;
    }
}

TEST(CommaTextRoundTrip, SeededRandomLists)
{
    // Characters chosen to hit every rule: blanks and controls, quotes, commas, '=', high bytes.
    static const char chars[] = "ab Z=,\"'\t\r\n\x01\x1f\x7f\x80\xff|~";
    const std::string palette = std::string(chars, sizeof chars); // the terminating NUL included
    std::mt19937 rng(20240531u);
    std::uniform_int_distribution<int> countDist(0, 12);
    std::uniform_int_distribution<int> lengthDist(0, 8);
    std::uniform_int_distribution<std::size_t> charDist(0, palette.size() - 1);
    for (int round = 0; round < 5000; ++round)
    {
        Items items(static_cast<std::size_t>(countDist(rng)));
        for (auto &item : items)
        {
            int length = lengthDist(rng);
            for (int k = 0; k < length; ++k)
                item += palette[charDist(rng)];
        }
        const std::string text = CommaTextOf(items);
        ASSERT_EQ(ReadCommaText(text), items) << "round " << round << ": " << text;
    }
}

TEST(CommaTextRoundTrip, ParsedListsWriteBackToTheSameItems)
{
    std::mt19937 rng(7u);
    static const char chars[] = "a ,\"\t\r\n=x";
    const std::string palette = std::string(chars, sizeof chars - 1);
    std::uniform_int_distribution<std::size_t> charDist(0, palette.size() - 1);
    std::uniform_int_distribution<int> lengthDist(0, 24);
    for (int round = 0; round < 5000; ++round)
    {
        std::string text;
        int length = lengthDist(rng);
        for (int k = 0; k < length; ++k)
            text += palette[charDist(rng)];
        Items first = ReadCommaText(text);
        ASSERT_EQ(ReadCommaText(CommaTextOf(first)), first) << text;
    }
}

// ---- name=value ----------------------------------------------------------------------------

TEST(NameValue, NameEndsAtTheFirstEquals)
{
    cStringList list = ListOf({"a=b=c", "noequals", "=v", "k="});
    EXPECT_EQ(list.Names(0), "a");
    EXPECT_EQ(list.ValueFromIndex(0), "b=c");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(2), "v");
    EXPECT_EQ(list.Names(3), "k");
    EXPECT_EQ(list.ValueFromIndex(3), "");
    EXPECT_EQ(list.Values("a"), "b=c");
    EXPECT_EQ(list.IndexOfName("a=b"), -1);
    EXPECT_EQ(list.IndexOfName("noequals"), -1);
    EXPECT_EQ(list.Names(99), "");
}

TEST(NameValue, LookupIgnoresCaseAndTakesTheFirstMatch)
{
    cStringList list = ListOf({"Seq=7", "SEQ=8", "seq=9"});
    EXPECT_EQ(list.IndexOfName("sEq"), 0);
    EXPECT_EQ(list.Values("seq"), "7");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.IndexOfName("missing"), -1);
}

TEST(NameValue, SettingAppendsWhenAbsent)
{
    cStringList list;
    list.SetValues("ProgramID", "DorvaneClient");
    EXPECT_EQ(list.ToVector(), (Items{"ProgramID=DorvaneClient"}));
    list.SetValues("f13", "12.50");
    EXPECT_EQ(list.ToVector(), (Items{"ProgramID=DorvaneClient", "f13=12.50"}));
    EXPECT_EQ(list.CommaText(), "ProgramID=DorvaneClient,f13=12.50");
}

TEST(NameValue, SettingReplacesTheFirstLineInPlace)
{
    cStringList list = ListOf({"a=1", "B=2", "b=3", "c=4"});
    list.SetValues("b", "x y");
    EXPECT_EQ(list.ToVector(), (Items{"a=1", "b=x y", "b=3", "c=4"}));
    EXPECT_EQ(list.CommaText(), "a=1,\"b=x y\",b=3,c=4");
}

TEST(NameValue, EmptyValueRemovesTheFirstLine)
{
    cStringList list = ListOf({"Error=No table", "ErrorCode=12", "Seq=7", "error=again"});
    list.SetValues("ERROR", "");
    list.SetValues("errorcode", "");
    EXPECT_EQ(list.ToVector(), (Items{"Seq=7", "error=again"}));
    list.SetValues("absent", "");
    EXPECT_EQ(list.Count(), 2);
}

TEST(NameValue, EmptyArgumentLeavesTheKeyOut)
{
    cStringList request;
    request.SetValues("Key", "");
    request.SetValues("ProgramID", "DorvaneClient");
    EXPECT_EQ(request.CommaText(), "ProgramID=DorvaneClient");
}

TEST(NameValue, ReplyExampleOfPart21)
{
    cStringList reply;
    reply.SetCommaText("\"Error=No table\",ErrorCode=12,Seq=7");
    EXPECT_EQ(reply.Values("Error"), "No table");
    EXPECT_EQ(reply.Values("ErrorCode"), "12");
    reply.SetValues("Error", "");
    reply.SetValues("ErrorCode", "");
    EXPECT_EQ(reply.ToVector(), (Items{"Seq=7"}));
}

// ---- text form -----------------------------------------------------------------------------

TEST(TextForm, WritesCrLfAfterEachItem)
{
    EXPECT_EQ(ListOf({"a", "b"}).Text(), "a\r\nb\r\n");
    EXPECT_EQ(ListOf({""}).Text(), "\r\n");
    EXPECT_EQ(ListOf({}).Text(), "");
}

TEST(TextForm, ReadsCrLfLfAndCr)
{
    EXPECT_EQ(ReadText("a\r\nb\nc\rd"), (Items{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadText("a\r\n"), (Items{"a"}));
    EXPECT_EQ(ReadText("a\n\nb"), (Items{"a", "", "b"}));
    EXPECT_EQ(ReadText("a\n\r"), (Items{"a", ""}));
    EXPECT_EQ(ReadText("\r\n"), (Items{""}));
    EXPECT_EQ(ReadText(""), Items{});
    EXPECT_EQ(ReadText("no end"), (Items{"no end"}));
    EXPECT_EQ(ReadText(" a , b "), (Items{" a , b "}));
}

TEST(TextForm, RoundTrip)
{
    Items items{"", "a b", "\"q\"", ",", "x"};
    cStringList list = ListOf(items);
    EXPECT_EQ(ReadText(list.Text()), items);
}

// ---- list operations -----------------------------------------------------------------------

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

TEST(StringList, InsertDeleteAndSlots)
{
    cStringList list;
    int value = 0;
    list.AddInteger("one", 1);
    list.AddObject("two", &value);
    list.Insert(0, "zero");
    list.Insert(99, "last");
    EXPECT_EQ(list.ToVector(), (Items{"zero", "one", "two", "last"}));
    EXPECT_EQ(list.Integer(1), 1);
    EXPECT_EQ(list.Object(2), &value);
    list.SetInteger(0, -5);
    EXPECT_EQ(list.Integer(0), -5);
    list.Delete(1);
    EXPECT_EQ(list.ToVector(), (Items{"zero", "two", "last"}));
    EXPECT_EQ(list.Object(1), &value);
    cStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.ToVector(), list.ToVector());
    EXPECT_EQ(copy.Object(1), &value);
    list.Clear();
    EXPECT_TRUE(list.Empty());
}

TEST(StringList, IndexOfIgnoresCase)
{
    cStringList list = ListOf({"Alpha", "beta", "BETA"});
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("Beta"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
}

TEST(StringList, CompareTextFoldsAsciiLettersOnly)
{
    EXPECT_EQ(cStringList::CompareText("abc", "ABC"), 0);
    EXPECT_LT(cStringList::CompareText("abc", "ABD"), 0);
    EXPECT_GT(cStringList::CompareText("b", "A"), 0);
    EXPECT_LT(cStringList::CompareText("ab", "abc"), 0);
    EXPECT_NE(cStringList::CompareText("\xe9", "\xc9"), 0);
    EXPECT_LT(cStringList::CompareText("z", "\x80"), 0); // bytes compare unsigned
}

// ---- sorted lists --------------------------------------------------------------------------

TEST(SortedList, AddKeepsOrderIgnoringCase)
{
    cStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("delta"), 0);
    EXPECT_EQ(list.Add("Bravo"), 0);
    EXPECT_EQ(list.Add("charlie"), 1);
    EXPECT_EQ(list.Add("ALPHA"), 0);
    EXPECT_EQ(list.ToVector(), (Items{"ALPHA", "Bravo", "charlie", "delta"}));
}

TEST(SortedList, FindIsABinarySearchIgnoringCase)
{
    cStringList list;
    list.SetSorted(true);
    for (const char *s : {"b", "d", "f", "h"})
        list.Add(s);
    int index = -1;
    EXPECT_TRUE(list.Find("D", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("e", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("a", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(list.Find("z", index));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(list.IndexOf("H"), 3);
    EXPECT_EQ(list.IndexOf("x"), -1);
}

TEST(SortedList, FindOnALargeList)
{
    cStringList list;
    list.SetSorted(true);
    for (int i = 999; i >= 0; --i)
        list.Add("item" + std::to_string(i * 2));
    for (int i = 0; i < 1000; ++i)
    {
        int index = -1;
        ASSERT_TRUE(list.Find("ITEM" + std::to_string(i * 2), index));
        ASSERT_EQ(list[index], "item" + std::to_string(i * 2));
        ASSERT_FALSE(list.Find("item" + std::to_string(i * 2 + 1), index));
    }
}

TEST(SortedList, DuplicatesIgnoreReturnsTheExistingIndex)
{
    cStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Duplicates(), cDuplicates::Ignore);
    list.AddInteger("a", 1);
    list.Add("b");
    EXPECT_EQ(list.AddInteger("A", 2), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list.Integer(0), 1);
}

TEST(SortedList, DuplicatesErrorAddsNothing)
{
    cStringList list;
    list.SetSorted(true);
    list.SetDuplicates(cDuplicates::Error);
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("A"), -1);
    EXPECT_EQ(list.Count(), 1);
}

TEST(SortedList, DuplicatesAcceptKeepsEqualItemsInTheOrderAdded)
{
    cStringList list;
    list.SetSorted(true);
    list.SetDuplicates(cDuplicates::Accept);
    list.AddInteger("b", 1);
    list.AddInteger("a", 2);
    list.AddInteger("B", 3);
    list.AddInteger("b", 4);
    EXPECT_EQ(list.ToVector(), (Items{"a", "b", "B", "b"}));
    EXPECT_EQ(list.Integer(3), 4);
    int index = -1;
    EXPECT_TRUE(list.Find("b", index));
    EXPECT_EQ(index, 1); // the first match
}

TEST(SortedList, SortingAnUnsortedListCarriesTheSlots)
{
    cStringList list;
    list.AddInteger("c", 3);
    list.AddInteger("A", 1);
    list.AddInteger("b", 2);
    list.SetSorted(true);
    EXPECT_EQ(list.ToVector(), (Items{"A", "b", "c"}));
    EXPECT_EQ(list.Integer(0), 1);
    EXPECT_EQ(list.Integer(1), 2);
    EXPECT_EQ(list.Integer(2), 3);
    // Insert on a sorted list keeps the order.
    list.Insert(0, "z");
    EXPECT_EQ(list[3], "z");
}

TEST(SortedList, SetStringMovesTheItemAndKeepsItsSlot)
{
    cStringList list;
    list.SetSorted(true);
    list.AddInteger("a", 1);
    list.AddInteger("m", 2);
    list.SetString(0, "z");
    EXPECT_EQ(list.ToVector(), (Items{"m", "z"}));
    EXPECT_EQ(list.Integer(1), 1);
}

TEST(SortedList, SetValuesKeepsTheOrder)
{
    cStringList list;
    list.SetSorted(true);
    list.SetValues("b", "1");
    list.SetValues("a", "2");
    list.SetValues("B", "3");
    EXPECT_EQ(list.ToVector(), (Items{"a=2", "B=3"}));
}

TEST(SortedList, CommaTextIntoASortedList)
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

// ---- a list fed its own items --------------------------------------------------------------

TEST(StringList, OwnItemAsArgument)
{
    cStringList list = ListOf({"x,y,z", "b"});
    list.SetCommaText(list[0]);
    EXPECT_EQ(list.ToVector(), (Items{"x", "y", "z"}));
    list.SetText(list[1]);
    EXPECT_EQ(list.ToVector(), (Items{"y"}));
    list.Add(list[0]);
    list.Add(list[1]);
    list.Insert(0, list[2]);
    EXPECT_EQ(list.ToVector(), (Items{"y", "y", "y", "y"}));
    cStringList sorted;
    sorted.SetSorted(true);
    sorted.Add("k=vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv");
    sorted.Add("a");
    sorted.SetString(1, sorted[1]);
    EXPECT_EQ(sorted[1], "k=vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv");
    sorted.SetValues("k", sorted[1]);
    EXPECT_EQ(sorted.Values("k"), "k=vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv");
}
