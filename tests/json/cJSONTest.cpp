// cJSON: the reader's and writer's documented examples and edge cases, the choices made in the
// reading rules, and round trips of writer output.
#include "json/cJSON.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace
{

// A letter followed by a number (built by appending: GCC 12 warns falsely on "k" + string at -O3).
std::string Key(const char *prefix, std::size_t n)
{
    std::string key(prefix);
    key += std::to_string(n);
    return key;
}

using Tree = std::vector<std::string>;

// The tree as lines, depth first: each member's depth, name, and stored text and kind, or the
// kind of level it holds.
Tree Lines(const cJSON &j, int depth = 0)
{
    static const char *const kinds[] = {"null", "boolean", "number", "string", "word", "array", "object"};
    Tree out;
    for (int i = 0; i < j.Count(); ++i)
    {
        const cJSON *child = j.Items().Object(i);
        const std::string line = std::to_string(depth) + " " + j.Items().Names(i) + "=";
        out.push_back(line + (child ? (child->IsArray() ? "[" : "{")
                                    : j.Items().ValueFromIndex(i) + " " + kinds[-j.Items().Kind(i)]));
        if (child)
            for (std::string &inner : Lines(*child, depth + 1))
                out.push_back(std::move(inner));
    }
    return out;
}

} // namespace

TEST(cJSON, RelaxedExampleReadsAndWritesCompact)
{
    cJSON j(R"({ 'someName':74.7, "x":'demo', myObject:{myArray:['u','i','o','p'], other:'value'} })");
    EXPECT_TRUE(j.IsObject);
    EXPECT_EQ(Lines(j),
              (Tree{"0 someName=74.7 number", "0 x=demo string", "0 myObject={", "1 myArray=[", "2 =u string",
                    "2 =i string", "2 =o string", "2 =p string", "1 other=value string"}));
    EXPECT_EQ(j.Items().Kind(2), JsonObject);
    cJSON *my = j.GetObject("myObject");
    ASSERT_NE(my, nullptr);
    EXPECT_EQ(my->Parent, &j);
    ASSERT_NE(my->GetObject("myArray"), nullptr);
    EXPECT_TRUE(my->GetObject("myArray")->IsArray());
    EXPECT_EQ(my->GetValue("other"), "value");

    EXPECT_EQ(j.ToText(), R"({someName:74.7,x:"demo",myObject:{myArray:["u","i","o","p"],other:"value"}})");
    EXPECT_EQ(j.Count(), 3); // GetObject of existing members created nothing
}

struct Classified
{
    const char *value;
    int kind;
    const char *stored;
    const char *written;
};

class cJSONClassification : public testing::TestWithParam<Classified>
{
};

TEST_P(cJSONClassification, SetValueClassifiesAndWrites)
{
    const Classified &c = GetParam();
    cJSON j;
    j.SetValue("v", c.value);
    ASSERT_EQ(j.Count(), 1);
    EXPECT_EQ(j.Items().Kind(0), c.kind) << c.value;
    EXPECT_EQ(j.Items().ValueFromIndex(0), c.stored) << c.value;
    EXPECT_EQ(j.ToText(), std::string("{v:") + c.written + "}") << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, cJSONClassification,
    testing::Values(
        Classified{"7.1x2", JsonWord, "7.1x2", "7.1x2"},
        Classified{"-2,000.00", JsonString, "-2,000.00", R"("-2,000.00")"},
        Classified{"8px", JsonWord, "8px", "8px"}, Classified{"74.7", JsonNumber, "74.7", "74.7"},
        Classified{"-3", JsonNumber, "-3", "-3"}, Classified{"+3", JsonNumber, "+3", "+3"},
        Classified{"1e5", JsonNumber, "1e5", "1e5"}, Classified{"-.5", JsonNumber, "-.5", "-.5"},
        Classified{"5.", JsonNumber, "5.", "5."}, Classified{"0", JsonWord, "0", "0"},
        Classified{"0.0", JsonWord, "0.0", "0.0"}, Classified{"-0e7", JsonWord, "-0e7", "-0e7"},
        Classified{"1e99999", JsonWord, "1e99999", "1e99999"},    // overflows
        Classified{"1e-99999", JsonWord, "1e-99999", "1e-99999"}, // underflows to 0
        Classified{"1e", JsonWord, "1e", "1e"}, Classified{"inf", JsonWord, "inf", "inf"},
        Classified{"0x1A", JsonWord, "0x1A", "0x1A"}, Classified{"1,5", JsonString, "1,5", R"("1,5")"},
        Classified{"true", JsonBoolean, "1", "true"}, Classified{"false", JsonBoolean, "0", "false"},
        Classified{"True", JsonWord, "True", "True"}, Classified{"trueish", JsonWord, "trueish", "trueish"},
        Classified{"null", JsonWord, "null", "null"}, Classified{"", JsonNull, "null", "null"},
        Classified{"'demo'", JsonString, "demo", R"("demo")"},
        Classified{R"("demo")", JsonString, "demo", R"("demo")"},
        Classified{"'demo", JsonString, "'demo", R"("'demo")"}, // keeps its opening quote
        // A quote character alone opens and closes itself: the empty text.
        Classified{"'", JsonString, "", R"("")"}, Classified{R"(")", JsonString, "", R"("")"},
        Classified{R"('a"b')", JsonString, R"(a"b)", R"("a\"b")"},
        Classified{"a b", JsonString, "a b", R"("a b")"}, Classified{"it's", JsonString, "it's", R"("it's")"},
        Classified{R"(a\\b)", JsonString, R"(a\b)", R"("a\\b")"},
        Classified{R"('x\ny')", JsonString, R"(x\ny)", R"("x\\ny")"},
        Classified{"[abc", JsonString, "[abc", R"("[abc")"},
        Classified{"{abc", JsonString, "{abc", R"("{abc")"}, Classified{"a:b", JsonWord, "a:b", "a:b"},
        Classified{"x=y", JsonWord, "x=y", "x=y"}, Classified{"[1,2]", JsonArray, "array", "[1,2]"},
        Classified{"{a:1}", JsonObject, "object", "{a:1}"}, Classified{"[]", JsonArray, "array", ""},
        Classified{"{}", JsonObject, "object", ""}));

TEST(cJSON, NumbersIgnoreTheLocaleDecimalSeparator)
{
    const char *old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    bool switched = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
        if (std::setlocale(LC_ALL, name))
        {
            switched = true;
            break;
        }
    cJSON j("{a:74.7,b:74,7}");
    std::setlocale(LC_ALL, saved.c_str());
    // "74,7" is two items: b:74 and a member named 7 without a value.
    EXPECT_EQ(Lines(j), (Tree{"0 a=74.7 number", "0 b=74 number", "0 7=null null"}));
    if (!switched)
        GTEST_LOG_(INFO) << "no comma-decimal locale installed; checked in the C locale only";
}

// Texts read and written back: nulls, empty and trailing items, repeated names, empty children,
// texts that are not enclosed, unbalanced quotes and brackets.
TEST(cJSON, ReadsAndWritesBack)
{
    const struct
    {
        const char *text;
        int count;
        const char *written;
    } cases[] = {
        {"{t:true,f:false}", 2, "{t:true,f:false}"},
        {"{a:null,b:1}", 2, "{a:null,b:1}"},
        {"[null,1,'null']", 3, R"([null,1,"null"])"},
        {"{a:}", 1, "{a:null}"},
        {"{a}", 1, "{a:null}"}, // no ":" outside quotes: a name and an empty value
        {"{a:1,}", 1, "{a:1}"},
        {"{a:1,,b:2}", 2, "{a:1,b:2}"},
        {"[1,,2,]", 2, "[1,2]"},
        // A repeated name, unquoted both times, moves to the end; the later spelling is kept.
        {"{a:1,b:2,a:3}", 2, "{b:2,a:3}"},
        {"{A:1,b:2,a:3}", 2, "{b:2,a:3}"},
        {"{a:1,b:2,A:3}", 2, "{b:2,A:3}"},
        // Unquoted first, quoted later: the line is rewritten in place, in the new spelling.
        {"{a:1,b:2,'a':3}", 2, "{a:3,b:2}"},
        {"{a:1,b:2,'A':3}", 2, "{A:3,b:2}"},
        {R"({a:{x:1},b:2,"a":[5]})", 2, "{a:[5],b:2}"},
        // Quoted first, unquoted later: SetValue looks the name up as passed ("a"), finds the
        // stored "a" and removes it, so the member moves to the end.
        {"{'a':1,b:2,a:3}", 2, "{b:2,a:3}"},
        {"{a:1,b:2,a:}", 2, "{a:null,b:2}"},   // an empty new value rewrites in place
        {"{x:{},y:[],z:1}", 3, "{x:,y:,z:1}"}, // an empty child is written as nothing
        // Levels of empty items only: nothing is reserved or kept for them.
        {"{a:[ , ,,, ],b:[1,2,]}", 2, "{a:,b:[1,2]}"},
        {"[[],[,],[1,,]]", 3, "[,,[1]]"},
        // Text that is not enclosed loses its first and last characters.
        {"xa:1,b:2y", 2, "{a:1,b:2}"},
        {"hello", 1, "{ell:null}"},
        {"", 0, ""},
        {"{", 0, ""},
        {"  [1]  ", 1, "[1]"},
        // An unbalanced quote makes the rest of the level one item; a bracket without its match
        // is a string.
        {"{a:'x,b:2,c:3}", 1, R"({a:"'x,b:2,c:3"})"},
        {"{a:[1,2}", 1, R"({a:"[1,2"})"},
        // Brackets that are escaped, in quotes or closing below the top level open no level.
        {R"({a:\[,b:1})", 2, R"({a:"\\[",b:1})"},
        {"{a:]],b:1}", 2, R"({a:"]]",b:1})"},
        {"{'[':1,b:2}", 2, R"({"[":1,b:2})"},
        // Blanks and controls around items are dropped, high bytes are not; quoted names are trimmed.
        {"{\x01 a:1 \x01}", 1, "{a:1}"},
        {"{a:\xA0x\xA0}", 1, "{a:\xA0x\xA0}"},
        {R"({" x ":1})", 1, "{x:1}"},
    };
    for (const auto &c : cases)
    {
        cJSON j(c.text);
        EXPECT_EQ(j.Count(), c.count) << c.text;
        EXPECT_EQ(j.ToText(), c.written) << c.text;
    }
    EXPECT_EQ(Lines(cJSON("{t:true,f:false}")), (Tree{"0 t=1 boolean", "0 f=0 boolean"}));
    // null in an object is the word null, read as "" by GetValue; in an array an empty value.
    cJSON nulls("{a:null,b:}");
    EXPECT_TRUE(nulls.HasValue("a"));
    EXPECT_EQ(nulls.GetValue("a"), "");
    EXPECT_EQ(Lines(nulls), (Tree{"0 a=null word", "0 b=null null"}));
    EXPECT_EQ(Lines(cJSON("[null]")), Tree{"0 =null null"});
    // Empty names: the first and third are skipped; '' is a non-empty name text until unquoted.
    EXPECT_EQ(Lines(cJSON("{:5,'':6, : 7}")), Tree{"0 =6 number"});
    cJSON children(R"({a:{x:1},b:{},"a":[5]})");
    ASSERT_NE(children.GetObject("a"), nullptr);
    EXPECT_TRUE(children.GetObject("a")->IsArray());
    EXPECT_EQ(children.GetValue("b"), "object");
    EXPECT_EQ(cJSON("{a:'x,b:2}").Items().Kind(0), JsonString);
}

TEST(cJSON, LookupsIgnoreLetterCase)
{
    cJSON j("{name:1,Other:2}");
    EXPECT_TRUE(j.HasValue("NAME"));
    EXPECT_TRUE(j.HasValue("other"));
    EXPECT_FALSE(j.HasValue("nam"));
    EXPECT_EQ(j.GetValue("OTHER"), "2");
    EXPECT_EQ(j.GetValue("missing"), "");
    EXPECT_EQ(j.Items().IndexOfName("oThEr"), 1);
    EXPECT_EQ(j.Items().IndexOfName("x"), -1);
    j.SetValue("NAME", "5"); // replaces (moves to the end: the old value was not empty)
    EXPECT_EQ(j.Count(), 2);
    EXPECT_EQ(j.ToText(), "{Other:2,NAME:5}");
}

TEST(cJSON, EmptyObjectAsMemberValueIsWrittenAsNameAndColon)
{
    // (A member holding {} or [] is written as name and colon: see ReadsAndWritesBack.)
    cJSON k;
    cJSON *created = k.GetObject("Fields");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsObject);
    EXPECT_EQ(created->Name, "Fields");
    EXPECT_EQ(k.GetValue("Fields"), "object");
    EXPECT_EQ(k.ToText(), "{Fields:}");
    EXPECT_EQ(k.GetObject("fields"), created); // found again, not created twice
    EXPECT_EQ(k.Count(), 1);

    cJSON empty;
    EXPECT_EQ(empty.ToText(), "");
    cJSON emptyArray("[]");
    EXPECT_TRUE(emptyArray.IsArray());
    EXPECT_EQ(emptyArray.ToText(), "");
}

TEST(cJSON, GetObjectOfAMemberWithoutChildIsNull)
{
    cJSON j("{a:1,b:{c:2}}");
    EXPECT_EQ(j.GetObject("a"), nullptr);
    EXPECT_EQ(j.FindObject("nothing", false), nullptr);
    EXPECT_FALSE(j.HasValue("nothing"));
    ASSERT_NE(j.GetObject("b"), nullptr);
    EXPECT_EQ(j.GetObject("b")->GetValue("c"), "2");
    EXPECT_EQ(j.GetObject("b")->Depth(), 2);
}

TEST(cJSON, GetObjectOnAnArrayAppendsAnEmptyObject)
{
    cJSON j("[1,2]");
    cJSON *o = j.GetObject("Line1");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(j.Count(), 3);
    EXPECT_EQ(o->GetValue("Col1"), "");
    o->SetValue("Col1", "x");
    EXPECT_EQ(j.ToText(), "[1,2,{Col1:x}]");
    EXPECT_FALSE(j.HasValue("Line1")); // array members have no names
}

TEST(cJSON, SetValueOnAnArrayIgnoresTheNameAndAppends)
{
    cJSON j("[]");
    j.SetValue("ignored", "1");
    j.SetValue("ignored", "'two'");
    j.SetValue("", "");
    EXPECT_EQ(j.Count(), 3);
    EXPECT_EQ(j.ToText(), R"([1,"two",null])");
    EXPECT_EQ(j.Items().Strings(1), "two");
}

TEST(cJSON, MemberNamesWithEqualsOrBlanksAndQuotedNames)
{
    cJSON j(R"({"a=b":1,c:2})");
    EXPECT_EQ(Lines(j), (Tree{"0 a=b=1 number", "0 c=2 number"}));
    EXPECT_TRUE(j.HasValue("A=B"));
    EXPECT_EQ(j.GetValue("a=b"), "1");
    EXPECT_FALSE(j.HasValue("a"));
    EXPECT_EQ(j.Items().Strings(0), "a=b=1");
    EXPECT_EQ(j.ToText(), "{a=b:1,c:2}");
    cJSON back(j.ToText());
    EXPECT_EQ(back.GetValue("a=b"), "1");

    cJSON blanks("{ 'first name' : 'Ann' }");
    EXPECT_EQ(blanks.Items().Names(0), "first name");
    EXPECT_EQ(blanks.ToText(), R"({first name:"Ann"})");
    EXPECT_EQ(cJSON(blanks.ToText()).GetValue("FIRST NAME"), "Ann");

    EXPECT_EQ(cJSON::QuoteName("plain"), "plain");
    EXPECT_EQ(cJSON::QuoteName("a b"), "a b");
    EXPECT_EQ(cJSON::QuoteName("a:b"), R"("a:b")");
    EXPECT_EQ(cJSON::QuoteName("a,b"), R"("a,b")");
    EXPECT_EQ(cJSON::QuoteName("a{"), R"("a{")");
    EXPECT_EQ(cJSON::QuoteName("it's"), R"("it's")");
    EXPECT_EQ(cJSON::QuoteName(R"(a"b)"), R"("a\"b")");
    EXPECT_EQ(cJSON::QuoteName("a\tb"), "\"a\\\tb\""); // the escape brings a backslash
    EXPECT_EQ(cJSON::QuoteName("a=b"), "a=b");
}

TEST(cJSON, ParseReplacesMembersAndDecidesTheKindAgain)
{
    cJSON j("{a:1,b:{c:2}}");
    j.Parse("[3,4]");
    EXPECT_TRUE(j.IsArray());
    EXPECT_EQ(j.Count(), 2);
    EXPECT_FALSE(j.HasValue("a"));
    j.Parse("{z:9}");
    EXPECT_TRUE(j.IsObject);
    EXPECT_EQ(j.ToText(), "{z:9}");
    // Parsing a text that belongs to the tree itself is safe.
    j.SetValue("inner", "'{q:1}'");
    j.Parse(j.Items().ValueFromIndex(1));
    EXPECT_EQ(j.ToText(), "{q:1}");
    // So is setting a value from a text of the tree.
    j.Parse("{a:'x y',b:2}");
    j.SetValue("a", j.Items().ValueFromIndex(0));
    EXPECT_EQ(j.ToText(), R"({b:2,a:"x y"})");
}

TEST(cJSON, ClearAndRemoveValue)
{
    cJSON j("{a:1,b:{c:[1,2]},c:3}");
    j.RemoveValue("B");
    EXPECT_EQ(j.ToText(), "{a:1,c:3}");
    j.RemoveValue("missing");
    EXPECT_EQ(j.Count(), 2);
    j.Clear();
    EXPECT_EQ(j.Count(), 0);
    EXPECT_EQ(j.ToText(), "");
}

TEST(cJSON, ManyReplacementsKeepTheOrder)
{
    cJSON j;
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 200; ++i)
            j.SetValue(Key("k", i), std::to_string(round * 1000 + i + 1));
    ASSERT_EQ(j.Count(), 200);
    for (int i = 0; i < 200; ++i)
    {
        EXPECT_EQ(j.Items().Names(i), Key("k", i));
        EXPECT_EQ(j.Items().ValueFromIndex(i), std::to_string(2000 + i + 1));
    }
    j.RemoveValue("k0");
    EXPECT_EQ(j.Items().Names(0), "k1");
    EXPECT_EQ(j.Items().IndexOfName("k199"), 198);
}

TEST(cJSON, ItemsOutOfRangeGiveEmptyResults)
{
    cJSON j("{a:1}");
    EXPECT_EQ(j.Items().Names(5), "");
    EXPECT_EQ(j.Items().ValueFromIndex(-1), "");
    EXPECT_EQ(j.Items().Kind(1), JsonNull);
    EXPECT_EQ(j.Items().Object(1), nullptr);
    EXPECT_EQ(j.Items().Strings(2), "");
    EXPECT_EQ(j.ItemText(3), "");
    EXPECT_EQ(j.Items().Strings(0), "a=1");
    EXPECT_EQ(j.Items().Values("A"), "1");
    EXPECT_EQ(j.TakeValueFromIndex(1), "");
    EXPECT_EQ(j.TakeValueFromIndex(-1), "");
    EXPECT_EQ(j.TakeValueFromIndex(0), "1");
    EXPECT_EQ(j.GetValue("a"), "") << "the text was moved out";
}

TEST(cJSON, ValueTextAndItemText)
{
    cJSON j(R"({a:'x',"b c":[1,true],d:null})");
    EXPECT_EQ(j.ValueText("a"), R"("x")");
    EXPECT_EQ(j.ItemText(0), R"(a:"x")");
    EXPECT_EQ(j.ValueText("B C"), "[1,true]");
    EXPECT_EQ(j.ItemText(1), "b c:[1,true]");
    EXPECT_EQ(j.ValueText("d"), "null");
    EXPECT_EQ(j.ValueText("none"), "");
    cJSON *arr = j.GetObject("b c");
    ASSERT_NE(arr, nullptr);
    EXPECT_EQ(arr->ItemText(1), "true");
}

// SetString never classifies: a word stays a string, and so does the empty text.
TEST(cJSON, SetStringStoresTheTextExactly)
{
    cJSON j;
    j.SetString("s", "true");
    j.SetString("e", "");
    EXPECT_EQ(j.ToText(), R"({s:"true",e:""})");
    EXPECT_EQ(Lines(cJSON(j.ToText())), (Tree{"0 s=true string", "0 e= string"}));
}

// Every text set with SetString survives write, read and a second write unchanged,
// as a value and as a name, in an object and in an array (an object element). Names are trimmed
// and unquoted when set (a quote character alone is the empty name), so texts with a blank at
// either end, enclosed in quotes or one quote alone are tried as values only.
TEST(cJSONRoundTrip, SetStringTextsReadBackExactly)
{
    const struct
    {
        const char *what;
        std::string text;
        const char *written; // the value as the writer writes it
        bool asName;
    } cases[] = {
        {"double quote", R"(Needs bed, "no stairs")", R"("Needs bed, \"no stairs\"")", true},
        {"lone double quote", "\"", R"("\"")", false},
        {"single quote", "St. Mary's", R"("St. Mary's")", true},
        {"lone single quote", "'", R"("'")", false},
        {"tab", "a\tb", "\"a\\\tb\"", true},
        {"lone tab", "\t", "\"\\\t\"", false},
        {"CR LF", "line one\r\nline two", "\"line one\\\r\\\nline two\"", true},
        {"lone CR", "\r", "\"\\\r\"", false},
        {"lone LF", "\n", "\"\\\n\"", false},
        {"lone backslash", "\\", R"("\\")", true},
        {"trailing backslash", R"(C:\Qz\)", R"("C:\\Qz\\")", true},
        {"two trailing backslashes", R"(ends\\)", R"("ends\\\\")", true},
        {"backslash n as two characters", R"(a\nb)", R"("a\\nb")", true},
        {"escape-like pairs", R"(\" \' \t \\)", R"("\\\" \\' \\t \\\\")", true},
        {"backslash before the closing quote", R"(say "hi\")", R"("say \"hi\\\"")", true},
        {"enclosed in single quotes", "'quoted'", R"("'quoted'")", false},
        {"separators", R"(a,b:c [d] {e})", R"("a,b:c [d] {e}")", true},
        {"mixed", "Needs \"a\" 'b'\r\n\tC:\\Qz\\ \\n \\\\\" end\\",
         "\"Needs \\\"a\\\" 'b'\\\r\\\n\\\tC:\\\\Qz\\\\ \\\\n \\\\\\\\\\\" end\\\\\"", true},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.what);
        cJSON tree;
        tree.SetString("v", c.text);
        cJSON *list = tree.GetObject("list");
        list->Parse("[0]");
        list->SetString({}, c.text);
        if (c.asName) // (an empty object element would be written as nothing)
        {
            tree.SetString(c.text, c.text);
            list->GetObject({})->SetString(c.text, c.text);
        }
        EXPECT_EQ(tree.ValueText("v"), c.written);
        // What was set is stored exactly, and reads back as the same tree, which writes the same text.
        EXPECT_EQ(tree.GetValue("v"), c.text);
        EXPECT_EQ(list->Items().ValueFromIndex(1), c.text);
        if (c.asName)
        {
            EXPECT_EQ(tree.Items().Names(2), c.text);
            EXPECT_EQ(list->Items().Object(2)->Items().Names(0), c.text);
        }
        const std::string written = tree.ToText();
        cJSON back;
        back.Parse(written);
        EXPECT_EQ(Lines(back), Lines(tree));
        EXPECT_EQ(back.ToText(), written);
    }
}

// Texts written by hand: quoted strings and names lose only the backslashes that the writer's
// escaping would have put there; unquoted names keep theirs.
TEST(cJSONRoundTrip, HandWrittenEscapesReadAsTheWriterMeansThem)
{
    const struct
    {
        const char *text;
        const char *name;
        const char *value;
    } cases[] = {
        {R"({a:'it\'s'})", "a", "it's"},
        {R"({a:"x\ny\tz"})", "a", R"(x\ny\tz)"}, // no letter escapes
        {R"({a:"C:\Qz\file.txt"})", "a", R"(C:\Qz\file.txt)"},
        {"{a:\"tab\\\tend\"}", "a", "tab\tend"},
        {R"({a:"\\\\",b:1})", "a", R"(\\)"},
        {R"({a:"ends\\",b:1})", "a", R"(ends\)"},
        {R"({a:x\"y})", "a", R"(x"y)"}, // an unquoted string value
        {R"({"a\"b":1})", R"(a"b)", "1"},
        {R"({'it\'s':1})", "it's", "1"},
        {R"({"it's":1})", "it's", "1"},
        {R"({'say "hi':1})", R"(say "hi)", "1"},
        {R"({"ends\\":1,c:2})", R"(ends\)", "1"},
        {R"({a\"b:1})", R"(a\"b)", "1"}, // an unquoted name is not unescaped
    };
    for (const auto &c : cases)
    {
        cJSON j(c.text);
        ASSERT_GE(j.Count(), 1) << c.text;
        EXPECT_EQ(j.Items().Names(0), c.name) << c.text;
        EXPECT_EQ(j.Items().ValueFromIndex(0), c.value) << c.text;
    }
}
