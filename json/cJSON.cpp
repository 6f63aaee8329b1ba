// cJSON: the JSON value tree of Part 6.1. See cJSON.h for the decisions taken over the Part.
#include "json/cJSON.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace
{

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerKey(std::string_view name)
{
    std::string key(name);
    for (char &c : key)
        c = Lower(c);
    return key;
}

// The nine characters that make a word a string: { } [ ] blank " , ' backslash.
bool HasStringCharacter(std::string_view text)
{
    for (char c : text)
    {
        switch (c)
        {
        case '{':
        case '}':
        case '[':
        case ']':
        case ' ':
        case '"':
        case ',':
        case '\'':
        case '\\':
            return true;
        default:
            break;
        }
    }
    return false;
}

// The nine characters that make QuoteName quote a name: { } [ ] : " , ' backslash.
bool HasNameQuoteCharacter(std::string_view text)
{
    for (char c : text)
    {
        switch (c)
        {
        case '{':
        case '}':
        case '[':
        case ']':
        case ':':
        case '"':
        case ',':
        case '\'':
        case '\\':
            return true;
        default:
            break;
        }
    }
    return false;
}

// SplitTopLevel without copies: calls item(view) for every item, trimmed, in order.
template <typename F> void ForEachTopLevel(std::string_view text, F &&item)
{
    bool inDouble = false;
    bool inSingle = false;
    bool escaped = false;
    std::size_t brackets = 0;
    std::size_t braces = 0;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i)
    {
        const char c = text[i];
        if (escaped)
        {
            // A backslash escapes the one character after it: an escaped quote, bracket or
            // backslash is not counted. Commas are not escapable (as in the original split).
            escaped = false;
            if (c != ',')
                continue;
        }
        switch (c)
        {
        case '\\':
            escaped = true;
            break;
        case '"':
            if (!inSingle)
                inDouble = !inDouble;
            break;
        case '\'':
            if (!inDouble)
                inSingle = !inSingle;
            break;
        case '[':
            if (!inDouble && !inSingle)
                ++brackets;
            break;
        case ']':
            if (!inDouble && !inSingle && brackets > 0)
                --brackets;
            break;
        case '{':
            if (!inDouble && !inSingle)
                ++braces;
            break;
        case '}':
            if (!inDouble && !inSingle && braces > 0)
                --braces;
            break;
        case ',':
            if (!inDouble && !inSingle && brackets == 0 && braces == 0)
            {
                item(cJSON::Trim(text.substr(start, i - start)));
                start = i + 1;
            }
            break;
        default:
            break;
        }
    }
    item(cJSON::Trim(text.substr(start)));
}

// ExtractUntil without copies: the index of the first stop character outside quotes, or npos.
std::size_t FindUntil(std::string_view text, std::string_view stops)
{
    bool inDouble = false;
    bool inSingle = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        const bool afterBackslash = i > 0 && text[i - 1] == '\\';
        if (c == '"' && !afterBackslash)
            inDouble = !inDouble;
        else if (c == '\'' && !afterBackslash)
            inSingle = !inSingle;
        else if (!inDouble && !inSingle && stops.find(c) != std::string_view::npos)
            return i;
    }
    return std::string_view::npos;
}

// Delphi's StrToIntDef(text, 0) <> 0 for the stored text of a boolean.
bool IsNonZeroInteger(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (i == text.size())
        return false;
    bool nonZero = false;
    for (; i < text.size(); ++i)
    {
        if (text[i] < '0' || text[i] > '9')
            return false;
        if (text[i] != '0')
            nonZero = true;
    }
    return nonZero;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// cJSONItems

cJSONItems::~cJSONItems() = default;

void cJSONItems::Compact() const
{
    if (Dead == 0)
        return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < Slots.size(); ++i)
    {
        if (Slots[i])
        {
            Slots[i]->Slot = out;
            if (out != i)
                Slots[out] = std::move(Slots[i]);
            ++out;
        }
    }
    Slots.resize(out);
    Dead = 0;
}

const cJSONItems::cMember *cJSONItems::At(int i) const
{
    Compact();
    if (i < 0 || static_cast<std::size_t>(i) >= Slots.size())
        return nullptr;
    return Slots[static_cast<std::size_t>(i)].get();
}

std::string cJSONItems::Strings(int i) const
{
    const cMember *m = At(i);
    if (!m)
        return {};
    if (!m->Named)
        return m->Value; // an array line
    return m->Name + "=" + m->Value;
}

const std::string &cJSONItems::Names(int i) const
{
    static const std::string empty;
    const cMember *m = At(i);
    return m ? m->Name : empty;
}

const std::string &cJSONItems::ValueFromIndex(int i) const
{
    static const std::string empty;
    const cMember *m = At(i);
    return m ? m->Value : empty;
}

int cJSONItems::Kind(int i) const
{
    const cMember *m = At(i);
    return m ? m->Kind : JsonNull;
}

cJSON *cJSONItems::Object(int i) const
{
    const cMember *m = At(i);
    return m ? m->Child.get() : nullptr;
}

int cJSONItems::IndexOfName(std::string_view name) const
{
    cMember *m = FindMember(name);
    if (!m)
        return -1;
    Compact();
    return static_cast<int>(m->Slot);
}

std::string cJSONItems::Values(std::string_view name) const
{
    cMember *m = FindMember(name);
    return m ? m->Value : std::string();
}

cJSONItems::cMember *cJSONItems::FindMember(std::string_view name) const
{
    if (ByName.empty())
        return nullptr;
    auto it = ByName.find(LowerKey(name));
    return it == ByName.end() ? nullptr : it->second;
}

cJSONItems::cMember *cJSONItems::Append(std::string_view name, bool named)
{
    auto member = std::make_unique<cMember>();
    member->Name = std::string(name);
    member->Slot = Slots.size();
    member->Named = named;
    cMember *m = member.get();
    Slots.push_back(std::move(member));
    ++Live;
    if (named)
        ByName.emplace(LowerKey(name), m);
    return m;
}

void cJSONItems::Remove(cMember *member)
{
    auto it = ByName.find(LowerKey(member->Name));
    if (it != ByName.end() && it->second == member)
        ByName.erase(it);
    Slots[member->Slot].reset(); // destroys the member and its child
    --Live;
    ++Dead;
    if (Dead > 32 && Dead > Live)
        Compact();
}

void cJSONItems::Clear()
{
    ByName.clear();
    Slots.clear();
    Live = 0;
    Dead = 0;
}

// ---------------------------------------------------------------------------------------------
// cJSON: text helpers

std::string_view cJSON::Trim(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

std::string cJSON::EscapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text)
    {
        if (c == '"' || c == '\r' || c == '\n' || c == '\t' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string cJSON::CollapseBackslashes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\')
            ++i; // drop the first, keep the second, continue after it
        out.push_back(text[i]);
    }
    return out;
}

std::string cJSON::Unquote(std::string_view name)
{
    std::string_view t = Trim(name);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
        t = Trim(t.substr(1, t.size() - 2));
    return std::string(t);
}

std::string cJSON::QuoteName(std::string_view name)
{
    std::string escaped = EscapeText(name);
    if (HasNameQuoteCharacter(escaped))
        return "\"" + escaped + "\"";
    return escaped;
}

std::string_view cJSON::StripEnclosing(std::string_view text, bool &isObject)
{
    std::string_view t = Trim(text);
    isObject = t.empty() || t.front() != '[';
    if (t.size() <= 2)
        return {};
    return t.substr(1, t.size() - 2);
}

std::vector<std::string> cJSON::SplitTopLevel(std::string_view text)
{
    std::vector<std::string> items;
    ForEachTopLevel(text, [&](std::string_view item) { items.emplace_back(item); });
    return items;
}

std::string cJSON::ExtractUntil(std::string &text, std::string_view stopCharacters)
{
    const std::size_t stop = FindUntil(text, stopCharacters);
    if (stop == std::string::npos)
    {
        std::string result(Trim(text));
        text.clear();
        return result;
    }
    std::string result(Trim(std::string_view(text).substr(0, stop)));
    text.erase(0, stop);
    return result;
}

bool cJSON::IsNumber(std::string_view text)
{
    // [+|-] digits [. digits] [(e|E) [+|-] digits], at least one mantissa digit, nothing else.
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::int64_t intDigits = 0;      // significant integer digits (after leading zeros)
    std::int64_t leadingFracZeros = 0; // zeros after the point before the first non-zero digit
    bool anyDigit = false;
    bool nonZero = false;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
    {
        anyDigit = true;
        if (text[i] != '0')
            nonZero = true;
        if (nonZero)
            ++intDigits;
    }
    if (i < n && text[i] == '.')
    {
        ++i;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
        {
            anyDigit = true;
            if (text[i] != '0')
                nonZero = true;
            else if (!nonZero)
                ++leadingFracZeros;
        }
    }
    if (!anyDigit)
        return false;
    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E'))
    {
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i == n || text[i] < '0' || text[i] > '9')
            return false;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
            if (exponent < 1000000)
                exponent = exponent * 10 + (text[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    if (i != n || !nonZero)
        return false;
    // Decimal exponent of the leading digit; outside the range of the extended type the
    // conversion overflows (no number) or underflows to 0 (no number either).
    const std::int64_t magnitude = (intDigits > 0 ? intDigits - 1 : -(leadingFracZeros + 1)) + exponent;
    return magnitude <= 4932 && magnitude >= -4951;
}

// ---------------------------------------------------------------------------------------------
// cJSON: construction and reading

cJSON::cJSON(std::string_view text, std::string_view name, cJSON *parent)
    : Name(Trim(name)), Parent(parent), Level(parent ? parent->Level + 1 : 1)
{
    ReadText(text);
}

cJSON::~cJSON() = default;

void cJSON::Clear() { Members.Clear(); }

void cJSON::Parse(std::string_view text)
{
    // The text may be a member of this very tree: read from a copy.
    const std::string copy(text);
    ReadText(copy);
}

void cJSON::ReadText(std::string_view text)
{
    Clear();
    bool isObject = true;
    const std::string_view body = Trim(StripEnclosing(text, isObject));
    IsObject = isObject;
    if (body.empty())
        return;
    ForEachTopLevel(body, [this](std::string_view item) {
        if (item.empty())
            return;
        if (IsObject)
        {
            const std::size_t stop = FindUntil(item, ":");
            const std::string_view name = Trim(item.substr(0, stop));
            if (name.empty())
                return;
            const std::string_view value = stop == std::string_view::npos ? std::string_view() : Trim(item.substr(stop + 1));
            Store(name, value, false);
        }
        else
        {
            std::string_view value = item;
            if (value == "null")
                value = {};
            Store({}, value, false);
        }
    });
}

void cJSON::SetValue(std::string_view name, std::string_view valueText)
{
    // Copies: the texts may belong to this tree, which the store may change.
    const std::string n(name);
    const std::string v(valueText);
    Store(n, v, false);
}

void cJSON::SetString(std::string_view name, std::string_view text)
{
    const std::string n(name);
    const std::string v(text);
    Store(n, v, true);
}

void cJSON::Store(std::string_view name, std::string_view value, bool literalString)
{
    int kind = JsonNull;
    std::string stored;
    std::unique_ptr<cJSON> child;

    if (value.empty() && !literalString)
    {
        stored = "null";
    }
    else
    {
        if (IsObject)
        {
            cJSONItems::cMember *current = Members.FindMember(name);
            if (current && !current->Value.empty())
                Members.Remove(current);
        }
        if (literalString)
        {
            kind = JsonString;
            stored = std::string(value);
        }
        else
        {
            const char first = value.front();
            const char last = value.back();
            bool word = false;
            if (first == '"' || first == '\'')
            {
                kind = JsonString;
                std::string_view inner = value;
                if (value.size() >= 2 && last == first)
                {
                    inner = Trim(value);
                    inner = inner.substr(1, inner.size() - 2);
                }
                stored = CollapseBackslashes(inner);
            }
            else if ((first == '[' && last == ']') || (first == '{' && last == '}'))
            {
                if (Level < MaxDepth)
                {
                    child = std::make_unique<cJSON>(std::string_view(), name, this);
                    child->ReadText(value);
                    kind = child->IsObject ? JsonObject : JsonArray;
                    stored = child->IsObject ? "object" : "array";
                }
                else
                    word = true; // too deep: read as a word
            }
            else if (first == 't' && value == "true")
            {
                kind = JsonBoolean;
                stored = "1";
            }
            else if (first == 'f' && value == "false")
            {
                kind = JsonBoolean;
                stored = "0";
            }
            else
                word = true;

            if (word)
            {
                if (IsNumber(value))
                {
                    kind = JsonNumber;
                    stored = std::string(value);
                }
                else
                {
                    kind = HasStringCharacter(value) ? JsonString : JsonWord;
                    stored = CollapseBackslashes(value);
                }
            }
        }
    }

    cJSONItems::cMember *line = nullptr;
    if (!IsObject)
    {
        line = Members.Append({}, false);
    }
    else
    {
        const std::string unquoted = Unquote(name);
        line = Members.FindMember(unquoted);
        if (line)
            line->Child.reset();
        else
            line = Members.Append(unquoted, true);
    }
    line->Value = std::move(stored);
    line->Kind = kind;
    line->Child = std::move(child);
}

// ---------------------------------------------------------------------------------------------
// cJSON: lookups

bool cJSON::HasValue(std::string_view name) const { return Members.FindMember(name) != nullptr; }

std::string cJSON::GetValue(std::string_view name) const
{
    const cJSONItems::cMember *m = Members.FindMember(name);
    if (!m || m->Value == "null")
        return {};
    return m->Value;
}

cJSON *cJSON::GetObject(std::string_view name) { return FindObject(name, true); }

cJSON *cJSON::FindObject(std::string_view name, bool create)
{
    if (cJSONItems::cMember *m = Members.FindMember(name))
        return m->Child.get();
    if (!create)
        return nullptr;
    cJSONItems::cMember *line = Members.Append(IsObject ? name : std::string_view(), IsObject);
    line->Value = "object";
    line->Kind = JsonObject;
    line->Child = std::make_unique<cJSON>(std::string_view(), name, this);
    return line->Child.get();
}

void cJSON::RemoveValue(std::string_view name)
{
    if (cJSONItems::cMember *m = Members.FindMember(name))
        Members.Remove(m);
}

// ---------------------------------------------------------------------------------------------
// cJSON: writing

void cJSON::WriteValueTo(const cJSONItems::cMember &member, std::string &out) const
{
    switch (member.Kind)
    {
    case JsonBoolean:
        out += IsNonZeroInteger(member.Value) ? "true" : "false";
        return;
    case JsonNumber:
    case JsonWord:
        out += member.Value;
        return;
    case JsonString:
        out += '"';
        out += EscapeText(member.Value);
        out += '"';
        return;
    case JsonArray:
    case JsonObject:
        if (member.Child)
            member.Child->WriteTo(out);
        return;
    default:
        out += "null";
        return;
    }
}

void cJSON::WriteMemberTo(const cJSONItems::cMember &member, std::string &out) const
{
    if (IsObject)
    {
        out += QuoteName(member.Name);
        out += ':';
    }
    WriteValueTo(member, out);
}

void cJSON::WriteTo(std::string &out) const
{
    if (Members.Count() == 0)
        return;
    Members.Compact();
    out += IsObject ? '{' : '[';
    bool first = true;
    for (const auto &slot : Members.Slots)
    {
        if (!first)
            out += ',';
        first = false;
        WriteMemberTo(*slot, out);
    }
    out += IsObject ? '}' : ']';
}

std::string cJSON::ToText() const
{
    std::string out;
    WriteTo(out);
    return out;
}

std::string cJSON::ValueText(std::string_view name) const
{
    std::string out;
    if (const cJSONItems::cMember *m = Members.FindMember(name))
        WriteValueTo(*m, out);
    return out;
}

std::string cJSON::ItemText(int index) const
{
    std::string out;
    if (const cJSONItems::cMember *m = Members.At(index))
        WriteMemberTo(*m, out);
    return out;
}
