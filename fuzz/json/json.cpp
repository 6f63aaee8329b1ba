// Fuzz target for cJSON: parse, write, re-parse; and set, write, read.
//  - nothing crashes, hangs or nests deeper than cJSON::MaxDepth;
//  - the tree equals the one that a literal, unoptimised reading of the rules builds (the
//    reference below, which uses the plain SplitTopLevel without recorded regions);
//  - when the tree holds nothing that the notation cannot carry back unchanged (see Stable),
//    the re-parsed tree writes the same text;
//  - texts cut from the input and stored with SetString, as values in an array and as names
//    and values in an object, read back from the written text exactly (see RoundTrip).
#include "json/cJSON.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "json fuzz: %s\n", what);
    std::abort();
}

// ---- Reference reader: the reading rules, step by step, with no shortcut. ----

struct RNode;
struct RMember
{
    std::string Name;
    int Kind = JsonNull;
    std::string Value;
    std::unique_ptr<RNode> Child;
    bool Named = false;
};
struct RNode
{
    bool IsObject = true;
    std::vector<RMember> Members;
};

bool SameText(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

int FindName(const RNode &n, const std::string &name)
{
    for (std::size_t i = 0; i < n.Members.size(); ++i)
        if (n.Members[i].Named && SameText(n.Members[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

void RRead(RNode &node, const std::string &text, int level);

void RSet(RNode &node, const std::string &name, const std::string &value, int level)
{
    RMember m;
    if (value.empty())
        m.Value = "null";
    else
    {
        if (node.IsObject)
        {
            const int i = FindName(node, name);
            if (i >= 0 && !node.Members[static_cast<std::size_t>(i)].Value.empty())
                node.Members.erase(node.Members.begin() + i);
        }
        const char first = value.front(), last = value.back();
        bool word = false;
        if (first == '"' || first == '\'')
        {
            m.Kind = JsonString;
            std::string inner = value;
            if (value.size() >= 2 && last == first)
                inner = value.substr(1, value.size() - 2);
            else if (value.size() == 1)
                inner.clear(); // a quote character alone is the empty text
            m.Value = cJSON::UnescapeText(inner);
        }
        else if ((first == '[' && last == ']') || (first == '{' && last == '}'))
        {
            if (level < cJSON::MaxDepth)
            {
                m.Child = std::make_unique<RNode>();
                RRead(*m.Child, value, level + 1);
                m.Kind = m.Child->IsObject ? JsonObject : JsonArray;
                m.Value = m.Child->IsObject ? "object" : "array";
            }
            else
                word = true;
        }
        else if (value == "true")
        {
            m.Kind = JsonBoolean;
            m.Value.assign(1, '1');
        }
        else if (value == "false")
        {
            m.Kind = JsonBoolean;
            m.Value.assign(1, '0');
        }
        else
            word = true;
        if (word)
        {
            if (cJSON::IsNumber(value))
            {
                m.Kind = JsonNumber;
                m.Value = value;
            }
            else
            {
                m.Kind = value.find_first_of(std::string("{}[] \",'\\", 9)) != std::string::npos ? JsonString
                                                                                                 : JsonWord;
                m.Value = cJSON::UnescapeText(value);
            }
        }
    }
    if (!node.IsObject)
    {
        node.Members.push_back(std::move(m));
        return;
    }
    const std::string unquoted = cJSON::Unquote(name);
    const int i = FindName(node, unquoted);
    m.Name = unquoted;
    m.Named = true;
    if (i >= 0)
        node.Members[static_cast<std::size_t>(i)] = std::move(m); // the line takes the new spelling
    else
        node.Members.push_back(std::move(m));
}

void RRead(RNode &node, const std::string &text, int level)
{
    bool isObject = true;
    const std::string body(cJSON::Trim(cJSON::StripEnclosing(text, isObject)));
    node.IsObject = isObject;
    if (body.empty())
        return;
    for (std::string item : cJSON::SplitTopLevel(body))
    {
        if (item.empty())
            continue;
        if (isObject)
        {
            const std::string name = cJSON::ExtractUntil(item, ":");
            if (name.empty())
                continue;
            const std::string value =
                item.empty() ? std::string() : std::string(cJSON::Trim(std::string_view(item).substr(1)));
            RSet(node, name, value, level);
        }
        else
        {
            const std::string value = item == "null" ? std::string() : item;
            RSet(node, std::string(), value, level);
        }
    }
}

void Compare(const RNode &r, const cJSON &j)
{
    if (r.IsObject != j.IsObject)
        Fail("kind of a level differs from the reference");
    if (static_cast<int>(r.Members.size()) != j.Count())
        Fail("member count differs from the reference");
    for (int i = 0; i < j.Count(); ++i)
    {
        const RMember &m = r.Members[static_cast<std::size_t>(i)];
        if (m.Name != j.Items().Names(i) || m.Kind != j.Items().Kind(i) ||
            m.Value != j.Items().ValueFromIndex(i))
            Fail("member differs from the reference");
        const cJSON *child = j.Items().Object(i);
        if (static_cast<bool>(m.Child) != (child != nullptr))
            Fail("child differs from the reference");
        if (child)
            Compare(*m.Child, *child);
    }
}

// ---- What the notation carries back unchanged ----

// Whether another member's name is, ignoring letter case, the quoted form in which member i's name
// is written: reading that form looks the name up as written first and replaces that member.
bool NameClash(const cJSON &j, int i)
{
    const std::string &name = j.Items().Names(i);
    const std::string written = cJSON::QuoteName(name);
    if (written == name)
        return false;
    for (int k = 0; k < j.Count(); ++k)
        if (k != i && SameText(j.Items().Names(k), written))
            return true;
    return false;
}

// A tree whose written text reads back to a tree that writes the same text: every name is
// non-empty and not the written form of another (see NameClash), and no object or array below
// the root is empty (it is written as nothing and read back as null or skipped). Strings and
// quoted names read back exactly as written, whatever they hold.
bool Stable(const cJSON &j)
{
    for (int i = 0; i < j.Count(); ++i)
    {
        if (j.IsObject && (j.Items().Names(i).empty() || NameClash(j, i)))
            return false;
        if (const cJSON *child = j.Items().Object(i))
            if (child->Count() == 0 || !Stable(*child))
                return false;
    }
    return true;
}

// Whether two trees hold the same members (names, kinds, stored texts and children), in order.
bool SameTree(const cJSON &a, const cJSON &b)
{
    if (a.IsObject != b.IsObject || a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
    {
        if (a.Items().Names(i) != b.Items().Names(i) || a.Items().Kind(i) != b.Items().Kind(i) ||
            a.Items().ValueFromIndex(i) != b.Items().ValueFromIndex(i))
            return false;
        const cJSON *x = a.Items().Object(i);
        const cJSON *y = b.Items().Object(i);
        if ((x == nullptr) != (y == nullptr) || (x && !SameTree(*x, *y)))
            return false;
    }
    return true;
}

// ---- Set, write, read ----

// The input after its first byte, cut at every occurrence of that byte, gives texts t0, t1, ...
// The tree is [t0, t1, ..., [0, t0, t1, ...], {t0:t1, t2:t3, ...}]: every text stored with
// SetString as a value in the array and in a nested array, and in pairs as a name and a value in
// an object (pairs whose name is empty once set are left out, and so is the object when none is
// left: an empty name or object is written as nothing). Written and read, it must give the same tree, and
// write the same text again.
void RoundTrip(const std::string &input)
{
    if (input.empty())
        return;
    std::vector<std::string> texts;
    const char cut = input[0];
    std::size_t start = 1;
    for (std::size_t i = 1; i <= input.size(); ++i)
        if (i == input.size() || input[i] == cut)
        {
            texts.push_back(input.substr(start, i - start));
            start = i + 1;
        }
    cJSON tree("[]");
    for (const std::string &t : texts)
    {
        tree.SetString({}, t);
        if (tree.Items().ValueFromIndex(tree.Count() - 1) != t)
            Fail("SetString did not store the text exactly");
    }
    tree.SetValue({}, "[0]");
    cJSON *inner = tree.Items().Object(tree.Count() - 1);
    for (const std::string &t : texts)
        inner->SetString({}, t);
    cJSON *object = nullptr;
    for (std::size_t i = 0; i + 1 < texts.size(); i += 2)
        if (!cJSON::Unquote(texts[i]).empty())
        {
            if (!object)
                object = tree.GetObject({});
            object->SetString(texts[i], texts[i + 1]);
        }
    if (!Stable(tree))
        return;
    const std::string w1 = tree.ToText();
    cJSON back(w1);
    if (!SameTree(tree, back))
        Fail("texts set with SetString read back differently");
    if (back.ToText() != w1)
        Fail("texts set with SetString write differently once read back");
}

int Depth(const cJSON &j)
{
    int d = j.Depth();
    for (int i = 0; i < j.Count(); ++i)
        if (const cJSON *child = j.Items().Object(i))
            d = std::max(d, Depth(*child));
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    cJSON tree(text);
    if (Depth(tree) > cJSON::MaxDepth)
        Fail("deeper than MaxDepth");
    if (size <= 16384)
    {
        RNode reference;
        RRead(reference, text, 1);
        Compare(reference, tree);
    }
    const std::string w1 = tree.ToText();
    cJSON again(w1);
    const std::string w2 = again.ToText();
    if (Stable(tree) && w1 != w2)
        Fail("re-parsed writer output writes a different text");
    // Parse on an existing tree gives the same as a new one.
    tree.Parse(w1);
    if (tree.ToText() != w2)
        Fail("Parse differs from construction");
    RoundTrip(text);
    return 0;
}
