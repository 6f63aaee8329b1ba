// cJSON: the reader's and writer's documented examples and edge cases, the choices made in the
// reading rules, and round trips of writer output.
#include "json/cJSON.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace
{

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

// The number of members and the written text.
std::string Shape(const cJSON &j)
{
    return std::to_string(j.Count()) + " " + j.ToText();
}

// The shape of each text read.
Tree Reread(std::initializer_list<const char *> texts)
{
    Tree out;
    for (const char *text : texts)
        out.push_back(Shape(cJSON(text)));
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
    // GetObject of existing members created nothing.
    EXPECT_EQ(Shape(j), R"(3 {someName:74.7,x:"demo",myObject:{myArray:["u","i","o","p"],other:"value"}})");
}

TEST(cJSON, SetValueClassifiesAndWrites)
{
    auto check = [](const std::string &value, int kind, const std::string &stored, const std::string &written)
    {
        cJSON j;
        j.SetValue("v", value);
        ASSERT_EQ(j.Count(), 1) << value;
        EXPECT_EQ(j.Items().Kind(0), kind) << value;
        EXPECT_EQ(j.Items().ValueFromIndex(0), stored) << value;
        EXPECT_EQ(j.ToText(), "{v:" + written + "}") << value;
    };
    for (const char *number : {"74.7", "-3", "+3", "1e5", "-.5", "5."})
        check(number, JsonNumber, number, number);
    // 0 is no number; 1e99999 overflows and 1e-99999 underflows to 0.
    for (const char *word : {"7.1x2", "8px", "0", "0.0", "-0e7", "1e99999", "1e-99999", "1e", "inf", "0x1A",
                             "True", "trueish", "null", "a:b", "x=y"})
        check(word, JsonWord, word, word);
    for (const char *text :
         {"-2,000.00", "1,5", "a b", "it's", "[abc", "{abc", "'demo"}) // 'demo keeps its quote
        check(text, JsonString, text, std::string("\"") + text + "\"");
    const struct
    {
        const char *value;
        int kind;
        const char *stored, *written;
    } cases[] = {{"true", JsonBoolean, "1", "true"},
                 {"false", JsonBoolean, "0", "false"},
                 {"", JsonNull, "null", "null"},
                 {"'demo'", JsonString, "demo", R"("demo")"},
                 {R"("demo")", JsonString, "demo", R"("demo")"},
                 // A quote character alone opens and closes itself: the empty text.
                 {"'", JsonString, "", R"("")"},
                 {R"(")", JsonString, "", R"("")"},
                 {R"('a"b')", JsonString, R"(a"b)", R"("a\"b")"},
                 {R"(a\\b)", JsonString, R"(a\b)", R"("a\\b")"},
                 {R"('x\ny')", JsonString, R"(x\ny)", R"("x\\ny")"},
                 {"[1,2]", JsonArray, "array", "[1,2]"},
                 {"{a:1}", JsonObject, "object", "{a:1}"},
                 {"[]", JsonArray, "array", ""},
                 {"{}", JsonObject, "object", ""}};
    for (const auto &c : cases)
        check(c.value, c.kind, c.stored, c.written);
}

TEST(cJSON, NumbersIgnoreTheLocaleDecimalSeparator)
{
    const char *old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    bool switched = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
        if ((switched = std::setlocale(LC_ALL, name) != nullptr))
            break;
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
    // {a}: no ":" outside quotes gives a name and an empty value.
    EXPECT_EQ(Reread({"{t:true,f:false}", "{a:null,b:1}", "[null,1,'null']", "{a:}", "{a}", "{a:1,}",
                      "{a:1,,b:2}", "[1,,2,]"}),
              (Tree{"2 {t:true,f:false}", "2 {a:null,b:1}", R"(3 [null,1,"null"])", "1 {a:null}",
                    "1 {a:null}", "1 {a:1}", "2 {a:1,b:2}", "2 [1,2]"}));
    // A repeated name, unquoted both times, moves to the end; the later spelling is kept.
    EXPECT_EQ(Reread({"{a:1,b:2,a:3}", "{A:1,b:2,a:3}", "{a:1,b:2,A:3}"}),
              (Tree{"2 {b:2,a:3}", "2 {b:2,a:3}", "2 {b:2,A:3}"}));
    // Unquoted first, quoted later: the line is rewritten in place, in the new spelling.
    EXPECT_EQ(Reread({"{a:1,b:2,'a':3}", "{a:1,b:2,'A':3}", R"({a:{x:1},b:2,"a":[5]})"}),
              (Tree{"2 {a:3,b:2}", "2 {A:3,b:2}", "2 {a:[5],b:2}"}));
    // Quoted first, unquoted later: SetValue looks the name up as passed ("a"), finds the stored "a"
    // and removes it, so the member moves to the end. An empty new value rewrites in place.
    EXPECT_EQ(Reread({"{'a':1,b:2,a:3}", "{a:1,b:2,a:}"}), (Tree{"2 {b:2,a:3}", "2 {a:null,b:2}"}));
    // An empty child is written as nothing; for levels of empty items only nothing is reserved or kept.
    EXPECT_EQ(Reread({"{x:{},y:[],z:1}", "{a:[ , ,,, ],b:[1,2,]}", "[[],[,],[1,,]]"}),
              (Tree{"3 {x:,y:,z:1}", "2 {a:,b:[1,2]}", "3 [,,[1]]"}));
    // Text that is not enclosed loses its first and last characters.
    EXPECT_EQ(Reread({"xa:1,b:2y", "hello", "", "{", "  [1]  "}),
              (Tree{"2 {a:1,b:2}", "1 {ell:null}", "0 ", "0 ", "1 [1]"}));
    // An unbalanced quote makes the rest of the level one item; a bracket without its match is a
    // string. Brackets that are escaped, in quotes or closing below the top level open no level.
    EXPECT_EQ(Reread({"{a:'x,b:2,c:3}", "{a:[1,2}", R"({a:\[,b:1})", "{a:]],b:1}", "{'[':1,b:2}"}),
              (Tree{R"(1 {a:"'x,b:2,c:3"})", R"(1 {a:"[1,2"})", R"(2 {a:"\\[",b:1})", R"(2 {a:"]]",b:1})",
                    R"(2 {"[":1,b:2})"}));
    // Blanks and controls around items are dropped, high bytes are not; quoted names are trimmed.
    EXPECT_EQ(Reread({"{\x01 a:1 \x01}", "{a:\xA0x\xA0}", R"({" x ":1})"}),
              (Tree{"1 {a:1}", "1 {a:\xA0x\xA0}", "1 {x:1}"}));
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
    EXPECT_TRUE(j.HasValue("NAME") && j.HasValue("other"));
    EXPECT_FALSE(j.HasValue("nam"));
    EXPECT_EQ((Tree{j.GetValue("OTHER"), j.GetValue("missing")}), (Tree{"2", ""}));
    EXPECT_EQ((std::pair(j.Items().IndexOfName("oThEr"), j.Items().IndexOfName("x"))), std::pair(1, -1));
    j.SetValue("NAME", "5"); // replaces (moves to the end: the old value was not empty)
    EXPECT_EQ(Shape(j), "2 {Other:2,NAME:5}");
}

// GetObject finds a child, creates a missing member as an empty object, gives nullptr for a member
// without a child, and on an array appends an object; SetValue on an array ignores the name.
TEST(cJSON, GetObjectAndArrays)
{
    cJSON k;
    cJSON *created = k.GetObject("Fields");
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsObject);
    EXPECT_EQ(created->Name, "Fields");
    EXPECT_EQ(k.GetValue("Fields"), "object");
    EXPECT_EQ(k.GetObject("fields"), created); // found again, not created twice
    EXPECT_EQ(Shape(k), "1 {Fields:}");        // an empty child is written as name and colon
    EXPECT_EQ(cJSON().ToText(), "");
    cJSON emptyArray("[]");
    EXPECT_TRUE(emptyArray.IsArray());
    EXPECT_EQ(emptyArray.ToText(), "");

    cJSON j("{a:1,b:{c:2}}");
    EXPECT_EQ(j.GetObject("a"), nullptr);
    EXPECT_EQ(j.FindObject("nothing", false), nullptr);
    EXPECT_FALSE(j.HasValue("nothing"));
    ASSERT_NE(j.GetObject("b"), nullptr);
    EXPECT_EQ(j.GetObject("b")->GetValue("c"), "2");
    EXPECT_EQ(j.GetObject("b")->Depth(), 2);

    cJSON array("[1,2]");
    cJSON *o = array.GetObject("Line1");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->GetValue("Col1"), "");
    o->SetValue("Col1", "x");
    EXPECT_EQ(Shape(array), "3 [1,2,{Col1:x}]");
    EXPECT_FALSE(array.HasValue("Line1")); // array members have no names
    cJSON appended("[]");
    appended.SetValue("ignored", "1");
    appended.SetValue("ignored", "'two'");
    appended.SetValue("", "");
    EXPECT_EQ(Shape(appended), R"(3 [1,"two",null])");
    EXPECT_EQ(appended.Items().Strings(1), "two");
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
    EXPECT_EQ(cJSON(j.ToText()).GetValue("a=b"), "1");

    cJSON blanks("{ 'first name' : 'Ann' }");
    EXPECT_EQ(blanks.Items().Names(0), "first name");
    EXPECT_EQ(blanks.ToText(), R"({first name:"Ann"})");
    EXPECT_EQ(cJSON(blanks.ToText()).GetValue("FIRST NAME"), "Ann");

    const std::pair<const char *, const char *> quoted[] = {
        {"plain", "plain"},      {"a b", "a b"},         {"a:b", R"("a:b")"},
        {"a,b", R"("a,b")"},     {"a{", R"("a{")"},      {"it's", R"("it's")"},
        {R"(a"b)", R"("a\"b")"}, {"a\tb", "\"a\\\tb\""}, // the escape brings a backslash
        {"a=b", "a=b"}};
    for (const auto &[name, written] : quoted)
        EXPECT_EQ(cJSON::QuoteName(name), written) << name;
}

TEST(cJSON, ParseReplacesMembersAndDecidesTheKindAgain)
{
    cJSON j("{a:1,b:{c:2}}");
    j.Parse("[3,4]");
    EXPECT_TRUE(j.IsArray());
    EXPECT_EQ(Shape(j), "2 [3,4]");
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
    // Removing destroys the first member of that name (letter case ignored); Clear destroys all.
    cJSON r("{a:1,b:{c:[1,2]},c:3}");
    r.RemoveValue("B");
    r.RemoveValue("missing");
    EXPECT_EQ(Shape(r), "2 {a:1,c:3}");
    r.Clear();
    EXPECT_EQ(Shape(r), "0 ");
}

// A level nested in a text reads as its own text read alone. Nested levels of a well-nested text
// take their items from the commas the outermost scan recorded; every other level splits its
// text itself. Texts with blanks, empty items, quotes of both kinds around brackets and commas,
// backslashes (first seen early or late in the text), brackets that cross, close too soon or never,
// and values that run on after their closer.
TEST(cJSON, ANestedLevelReadsAsItsTextReadAlone)
{
    const char *const texts[] = {
        R"({a:{b:"x,y",c:[1,{d:2},[]],e:'}'},f:[null,true,-1.5e3,w o r d]})",
        R"({ a : { b : 1 , , c : "2" } , d : [ , 3 , ] })",
        R"({a:"[{,}]",b:'"{',c:"'}",d:{e:"]"}})",
        R"({p:"plain",q:{r:"x\"y",s:[1,"a\\b"]},t:"u\'v"})",
        R"({q:{r:"no backslash here"},late:"x\"y"})",
        R"({a:\{b:1\},c:\[2\],d:"\,",e:\,f})",
        R"({a:{b:1} {c:2},d:[1] x,e:{f:[2,3]}y})",
        R"({a:{b:[1,2}],c:3})",
        R"([[1,[2,[3,[4]]]],{a:[{b:{c:[5]}}]},[]])",
        R"({a:{b:{c:1},d:[2})",
        R"({a:]b,c:{d:}e,f:1})",
        R"({"q,n":{"x:y":1,'z}':[2]},"e\\":{f:3}})",
        R"({a:[1,2,],b:{,c:3,},d:{}})",
        R"({a:{k:"1",K:"2",k:'3'},b:"x",B:"y"})",
    };
    for (const char *text : texts)
    {
        const cJSON alone(text);
        for (const std::string &wrapper : {std::string("{x:") + text + "}", std::string("[") + text + "]"})
        {
            const cJSON outer(wrapper);
            ASSERT_EQ(outer.Count(), 1) << wrapper;
            const cJSON *nested = outer.Items().Object(0);
            ASSERT_NE(nested, nullptr) << wrapper;
            EXPECT_EQ(nested->IsObject, alone.IsObject) << wrapper;
            EXPECT_EQ(Lines(*nested), Lines(alone)) << wrapper;
        }
    }
    // The levels of the first text, as the rules read them.
    EXPECT_EQ(Lines(cJSON(texts[0])), (Tree{"0 a={", "1 b=x,y string", "1 c=[", "2 =1 number", "2 ={",
                                            "3 d=2 number", "2 =[", "1 e=} string", "0 f=[", "1 =null null",
                                            "1 =1 boolean", "1 =-1.5e3 number", "1 =w o r d string"}));
    // A repeated name replaces the earlier member, at every level.
    EXPECT_EQ(Lines(cJSON(texts[13])), (Tree{"0 a={", "1 k=3 string", "0 B=y string"}));
    EXPECT_EQ(Lines(cJSON(texts[6])),
              (Tree{"0 a={", "1 b=1} {c:2 string", "0 d=[1] x string", "0 e={f:[2,3]}y string"}));
}

// Levels read from a text live in that text's storage; changing them, removing them, reading new
// texts into them or beside them, and replacing the whole tree keep every member sound.
TEST(cJSON, ReadLevelsChangeLikeAnyOther)
{
    cJSON j("{a:{b:{c:[1,2,{d:3}]},e:'x'},f:[{g:1},{h:2}]}");
    cJSON *a = j.GetObject("a");
    ASSERT_NE(a, nullptr);
    a->SetValue("b", "{n:[4,5]}");           // a read level replaced by a new text
    a->GetObject("new")->SetValue("k", "v"); // a level made by hand inside a read one
    cJSON *f = j.GetObject("f");
    ASSERT_NE(f, nullptr);
    f->Items().Object(1)->Parse("{h:{i:[6]}}"); // a read level reads a text of its own
    f->RemoveValue("anything");                 // arrays have no names: nothing goes
    j.RemoveValue("missing");
    EXPECT_EQ(j.ToText(), "{a:{e:\"x\",b:{n:[4,5]},new:{k:v}},f:[{g:1},{h:{i:[6]}}]}");
    j.SetValue("a", "[7]"); // the read subtree under "a" goes
    EXPECT_EQ(j.ToText(), "{f:[{g:1},{h:{i:[6]}}],a:[7]}");
    const std::string again = j.ToText();
    j.Parse(again); // the tree reads its own text anew
    EXPECT_EQ(j.ToText(), again);
    j.Items().Object(0)->Items().Object(1)->Clear();
    EXPECT_EQ(j.ToText(), "{f:[{g:1},],a:[7]}");
}

TEST(cJSON, ManyReplacementsKeepTheOrder)
{
    cJSON j;
    Tree names(200), expected;
    for (std::size_t i = 0; i < names.size(); ++i)
        (names[i] = "k") += std::to_string(i); // (GCC 12 warns falsely on "k" + string at -O3)
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 200; ++i)
            j.SetValue(names[i], std::to_string(round * 1000 + i + 1));
    for (int i = 0; i < 200; ++i)
        expected.push_back(std::string("0 ") + names[i] + "=" + std::to_string(2001 + i) + " number");
    EXPECT_EQ(Lines(j), expected);
    j.RemoveValue("k0");
    EXPECT_EQ(j.Items().Names(0), "k1");
    EXPECT_EQ(j.Items().IndexOfName("k199"), 198);
}

TEST(cJSON, ItemsOutOfRangeGiveEmptyResults)
{
    cJSON j("{a:1}");
    EXPECT_EQ((Tree{j.Items().Names(5), j.Items().ValueFromIndex(-1), j.Items().Strings(2), j.ItemText(3),
                    j.TakeValueFromIndex(1), j.TakeValueFromIndex(-1)}),
              Tree(6));
    EXPECT_EQ(j.Items().Kind(1), JsonNull);
    EXPECT_EQ(j.Items().Object(1), nullptr);
    // The text taken is moved out of the tree.
    EXPECT_EQ((Tree{j.Items().Strings(0), j.Items().Values("A"), j.TakeValueFromIndex(0), j.GetValue("a")}),
              (Tree{"a=1", "1", "1", ""}));
}

TEST(cJSON, ValueTextAndItemText)
{
    cJSON j(R"({a:'x',"b c":[1,true],d:null})");
    ASSERT_NE(j.GetObject("b c"), nullptr);
    EXPECT_EQ((Tree{j.ValueText("a"), j.ItemText(0), j.ValueText("B C"), j.ItemText(1), j.ValueText("d"),
                    j.ValueText("none"), j.GetObject("b c")->ItemText(1)}),
              (Tree{R"("x")", R"(a:"x")", "[1,true]", "b c:[1,true]", "null", "", "true"}));
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
