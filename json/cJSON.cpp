// cJSON: the JSON value tree: construction, reading, storing members, lookups and writing. See
// cJSON.h for the reading rules and the choices made in them; the member list lives in
// cJSONItems.cpp, the static text helpers in cJSONText.cpp and the scanner in cJSONScan.h.
#include "json/cJSON.h"
#include "json/cJSONScan.h"

using json_internal::EscapeTo;
using json_internal::FindUntil;
using json_internal::HasClass;
using json_internal::IsNonZeroInteger;
using json_internal::NameView;
using json_internal::QuoteNameTo;
using json_internal::ScanTopLevel;
using json_internal::StringChar;
using json_internal::UnescapeTo;

// ---------------------------------------------------------------------------------------------
// cJSON: construction and reading

cJSON::cJSON(std::string_view text, std::string_view name, cJSON *parent)
    : Name(json_internal::Trim(name)), Parent(parent), Level(parent ? parent->Level + 1 : 1)
{
    ReadText(text, nullptr);
}

cJSON::~cJSON() = default;

void cJSON::Clear()
{
    Members.Clear();
}

void cJSON::Parse(std::string_view text)
{
    // The text may be a member of this very tree: read from a copy.
    const std::string copy(text);
    ReadText(copy, nullptr);
}

void cJSON::ReadText(std::string_view text, const cJSONScanTable *table)
{
    Clear();
    bool isObject = true;
    const std::string_view body = json_internal::Trim(StripEnclosing(text, isObject));
    IsObject = isObject;
    if (body.empty())
        return;
    // The outermost level records the regions of its text; nested levels use them.
    cJSONScanTable recorded;
    cJSONScanTable *record = table ? nullptr : &recorded;
    const cJSONScanTable *use = table ? table : &recorded;
    // A nested level knows its member count from the outermost scan: one allocation for the list.
    if (table)
        Members.Slots.reserve(table->ItemHint(json_internal::Trim(text).data()));
    ScanTopLevel(body, record, table,
                 [this, use](std::string_view item)
                 {
                     if (item.empty())
                         return;
                     if (IsObject)
                     {
                         const std::size_t stop = FindUntil(item, ":");
                         const std::string_view name = json_internal::Trim(item.substr(0, stop));
                         if (name.empty())
                             return;
                         const std::string_view value = stop == std::string_view::npos
                                                            ? std::string_view()
                                                            : json_internal::Trim(item.substr(stop + 1));
                         Store(name, value, false, use);
                     }
                     else
                     {
                         std::string_view value = item;
                         if (value == "null")
                             value = {};
                         Store({}, value, false, use);
                     }
                 });
}

void cJSON::SetValue(std::string_view name, std::string_view valueText)
{
    // Copies: the texts may belong to this tree, which the store may change.
    const std::string n(name);
    const std::string v(valueText);
    Store(n, v, false, nullptr);
}

void cJSON::SetString(std::string_view name, std::string_view text)
{
    const std::string n(name);
    const std::string v(text);
    Store(n, v, true, nullptr);
}

// A value classified for storing: its kind, its stored text and, for an array or object, the
// child read from it.
struct cJSON::cStoredValue
{
    int Kind = JsonNull;
    std::string Text;
    std::unique_ptr<cJSON> Child;
};

namespace
{
// A quoted value: the quotes go when the last character is the opening one (a quote character
// alone is the empty text), then the writer's escapes are undone.
std::string QuotedString(std::string_view value)
{
    std::string_view inner = value;
    if (value.back() == value.front())
        inner = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string_view();
    std::string text;
    text.reserve(inner.size());
    UnescapeTo(inner, text);
    return text;
}
} // namespace

void cJSON::Store(std::string_view name, std::string_view value, bool literalString,
                  const cJSONScanTable *table)
{
    cStoredValue stored = Classify(name, value, literalString, table);
    // An empty value (null) rewrites an existing line in place; any other may move it to the end.
    PutMember(name, std::move(stored), !(value.empty() && !literalString));
}

cJSON::cStoredValue cJSON::Classify(std::string_view name, std::string_view value, bool literalString,
                                    const cJSONScanTable *table)
{
    if (literalString)
        return {JsonString, std::string(value), nullptr};
    if (value.empty())
        return {JsonNull, "null", nullptr};
    const char first = value.front();
    const char last = value.back();
    if (first == '"' || first == '\'')
        return {JsonString, QuotedString(value), nullptr};
    if ((first == '[' && last == ']') || (first == '{' && last == '}'))
    {
        // Too deep (or the work bound is spent): read as a word.
        if (Level < MaxDepth && !(table && table->Exhausted()))
        {
            auto child = std::make_unique<cJSON>(std::string_view(), name, this);
            child->ReadText(value, table);
            const int kind = child->IsObject ? JsonObject : JsonArray;
            return {kind, child->IsObject ? "object" : "array", std::move(child)};
        }
    }
    else if (value == "true" || value == "false")
        return {JsonBoolean, value == "true" ? "1" : "0", nullptr};
    if (IsNumber(value))
        return {JsonNumber, std::string(value), nullptr};
    std::string text;
    text.reserve(value.size());
    UnescapeTo(value, text); // a word has no backslash: only strings change
    return {HasClass(value, StringChar) ? JsonString : JsonWord, std::move(text), nullptr};
}

void cJSON::PutMember(std::string_view name, cStoredValue value, bool mayMove)
{
    std::size_t slot = cJSONItems::None;
    if (!IsObject)
        slot = Members.Append({}, false);
    else
    {
        // The name as written finds the line; one with a value is removed (the new one is
        // appended), any other is kept to be rewritten in place.
        std::size_t found = cJSONItems::None;
        bool foundValid = false;
        if (mayMove)
        {
            found = Members.Find(name);
            foundValid = true;
            if (found != cJSONItems::None && !Members.Slots[found].Value.empty())
            {
                Members.Remove(found);
                found = cJSONItems::None;
                foundValid = false;
            }
        }
        std::string buffer;
        const std::string_view unquoted = NameView(name, buffer);
        // The name as read is never longer than as written: the same size means the same name.
        slot = foundValid && unquoted.size() == name.size() ? found : Members.Find(unquoted);
        if (slot != cJSONItems::None)
        {
            // The line is rewritten in place, with the name as now spelt (same key ignoring case).
            Members.Slots[slot].Child.reset();
            Members.Slots[slot].Name = unquoted;
        }
        else
            slot = Members.Append(unquoted, true);
    }
    cJSONItems::cMember &line = Members.Slots[slot];
    line.Value = std::move(value.Text);
    line.Kind = value.Kind;
    line.Child = std::move(value.Child);
}

// ---------------------------------------------------------------------------------------------
// cJSON: lookups

std::string cJSON::TakeValueFromIndex(int index)
{
    Members.Compact();
    if (index < 0 || static_cast<std::size_t>(index) >= Members.Slots.size())
        return {};
    return std::move(Members.Slots[static_cast<std::size_t>(index)].Value);
}

bool cJSON::HasValue(std::string_view name) const
{
    return Members.Find(name) != cJSONItems::None;
}

std::string cJSON::GetValue(std::string_view name) const
{
    const std::size_t slot = Members.Find(name);
    if (slot == cJSONItems::None || Members.Slots[slot].Value == "null")
        return {};
    return Members.Slots[slot].Value;
}

cJSON *cJSON::GetObject(std::string_view name)
{
    return FindObject(name, true);
}

cJSON *cJSON::FindObject(std::string_view name, bool create)
{
    const std::size_t slot = Members.Find(name);
    if (slot != cJSONItems::None)
        return Members.Slots[slot].Child.get();
    if (!create)
        return nullptr;
    auto child = std::make_unique<cJSON>(std::string_view(), name, this);
    cJSON *result = child.get();
    cJSONItems::cMember &line = Members.Slots[Members.Append(IsObject ? name : std::string_view(), IsObject)];
    line.Value = "object";
    line.Kind = JsonObject;
    line.Child = std::move(child);
    return result;
}

void cJSON::RemoveValue(std::string_view name)
{
    const std::size_t slot = Members.Find(name);
    if (slot != cJSONItems::None)
        Members.Remove(slot);
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
        EscapeTo(member.Value, out);
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
        QuoteNameTo(member.Name, out);
        out += ':';
    }
    WriteValueTo(member, out);
}

void cJSON::WriteTo(std::string &out) const
{
    if (Members.Count() == 0)
        return;
    out += IsObject ? '{' : '[';
    bool first = true;
    for (const auto &slot : Members.Slots)
    {
        if (!slot.Alive)
            continue;
        if (!first)
            out += ',';
        first = false;
        WriteMemberTo(slot, out);
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
    const std::size_t slot = Members.Find(name);
    if (slot != cJSONItems::None)
        WriteValueTo(Members.Slots[slot], out);
    return out;
}

std::string cJSON::ItemText(int index) const
{
    std::string out;
    if (const cJSONItems::cMember *m = Members.At(index))
        WriteMemberTo(*m, out);
    return out;
}
