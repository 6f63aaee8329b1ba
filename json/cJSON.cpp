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

void cJSON::Store(std::string_view name, std::string_view value, bool literalString,
                  const cJSONScanTable *table)
{
    int kind = JsonNull;
    std::string stored;
    std::unique_ptr<cJSON> child;
    // The line found by step 2, still valid for step 4 when the name needs no unquoting.
    std::size_t found = cJSONItems::None;
    bool foundValid = false;

    if (value.empty() && !literalString)
    {
        stored = "null";
    }
    else
    {
        if (IsObject)
        {
            const std::size_t current = Members.Find(name);
            if (current != cJSONItems::None && !Members.Slots[current].Value.empty())
                Members.Remove(current);
            else
            {
                found = current;
                foundValid = true;
            }
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
                    inner = json_internal::Trim(value);
                    inner = inner.substr(1, inner.size() - 2);
                }
                stored.reserve(inner.size());
                UnescapeTo(inner, stored);
            }
            else if ((first == '[' && last == ']') || (first == '{' && last == '}'))
            {
                if (Level < MaxDepth && !(table && table->Exhausted()))
                {
                    child = std::make_unique<cJSON>(std::string_view(), name, this);
                    child->ReadText(value, table);
                    kind = child->IsObject ? JsonObject : JsonArray;
                    stored = child->IsObject ? "object" : "array";
                }
                else
                    word = true; // too deep (or the work bound is spent): read as a word
            }
            else if (first == 't' && value == "true")
            {
                kind = JsonBoolean;
                stored.assign(1, '1');
            }
            else if (first == 'f' && value == "false")
            {
                kind = JsonBoolean;
                stored.assign(1, '0');
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
                    kind = HasClass(value, StringChar) ? JsonString : JsonWord;
                    stored.reserve(value.size());
                    UnescapeTo(value, stored); // a word has no backslash: only strings change
                }
            }
        }
    }

    std::size_t slot = cJSONItems::None;
    if (!IsObject)
    {
        slot = Members.Append({}, false);
    }
    else
    {
        std::string buffer;
        const std::string_view unquoted = NameView(name, buffer);
        // Building a child never changes this object's members, so step 2's result holds (the
        // name as read is never longer than as written: the same size means the same name).
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
    line.Value = std::move(stored);
    line.Kind = kind;
    line.Child = std::move(child);
}

// ---------------------------------------------------------------------------------------------
// cJSON: lookups

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
