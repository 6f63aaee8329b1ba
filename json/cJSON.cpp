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

cJSON::cJSON(std::string_view name, cJSON *parent, cJSONArena *arena)
    : Name(json_internal::Trim(name)), Parent(parent), Members(arena), Level(parent ? parent->Level + 1 : 1),
      InArena(true)
{
}

cJSON::~cJSON() = default;

void cJSONChildDelete::operator()(cJSON *child) const
{
    if (child->InArena)
        child->~cJSON();
    else
        delete child;
}

void *cJSONArenaAllocate(cJSONArena *arena, std::size_t bytes, std::size_t alignment)
{
    return arena->Allocate(bytes, alignment);
}

void cJSON::Clear()
{
    Members.Clear();
    Arena.reset(); // after the members: the levels read into it are gone
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
    // The outermost level records the regions of its text; nested levels use them, and are made in
    // its arena.
    cJSONScanTable recorded;
    cJSONScanTable *record = table ? nullptr : &recorded;
    if (!table)
    {
        Arena = std::make_unique<cJSONArena>(body.size());
        recorded.Arena = Arena.get();
    }
    const cJSONScanTable *use = table ? table : &recorded;
    const auto item = [this, use](std::string_view item) { ReadItem(item, use); };
    if (table)
    {
        const std::string_view value = json_internal::Trim(text);
        if (const cJSONScanTable::cRegion *region = table->RegionAt(value.data()))
        {
            // A nested level knows its member count from the outermost scan: one allocation for
            // the list.
            Members.Slots.reserve(cJSONScanTable::ItemHint(*region));
            if (table->Splits(*region, value))
            {
                // The items lie between the region's direct commas.
                const char *start = body.data();
                for (std::uint32_t c = region->FirstComma; c != cJSONScanTable::NoComma;
                     c = table->CommaChain[c].Next)
                {
                    const char *comma = table->Base + table->CommaChain[c].Offset;
                    item(json_internal::Trim(
                        std::string_view(start, static_cast<std::size_t>(comma - start))));
                    start = comma + 1;
                }
                item(json_internal::Trim(
                    std::string_view(start, static_cast<std::size_t>(body.data() + body.size() - start))));
                return;
            }
        }
    }
    ScanTopLevel(body, record, table, item);
}

namespace
{
// A quoted value: the quotes go when the last character is the opening one (a quote character
// alone is the empty text), then the writer's escapes are undone (when the text has backslashes).
void QuotedString(std::string_view value, bool escapes, std::string &text)
{
    std::string_view inner = value;
    if (value.back() == value.front())
        inner = value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string_view();
    if (!escapes || inner.find('\\') == std::string_view::npos)
    {
        text.assign(inner);
        return;
    }
    text.clear();
    text.reserve(inner.size());
    UnescapeTo(inner, text);
}
} // namespace

void cJSON::ReadItem(std::string_view item, const cJSONScanTable *table)
{
    if (item.empty())
        return;
    if (IsObject)
    {
        // The item is trimmed: the name can only have blanks at its end, the value at its start.
        const std::size_t stop = json_internal::FindColon(item);
        const std::string_view name = json_internal::TrimEnd(item.substr(0, stop));
        if (name.empty())
            return;
        const std::string_view value = stop == std::string_view::npos
                                           ? std::string_view()
                                           : json_internal::TrimStart(item.substr(stop + 1));
        // The common member, a quoted value under a name that no member has (its filter bit is
        // clear) written without quotes, is appended here: what Store would do.
        if (!value.empty() && (value.front() == '"' || value.front() == '\'') && name.front() != '"' &&
            name.front() != '\'' && !Members.Indexed && Members.Slots.size() <= 32)
        {
            const std::uint64_t bit = cJSONItems::NameBit(name);
            if (!(Members.NameBits & bit))
            {
                cJSONItems::cMember &line = Members.Slots[Members.Append(name, true, bit)];
                line.Kind = JsonString;
                QuotedString(value, table->SawBackslash, line.Value);
                return;
            }
        }
        Store(name, value, false, table);
    }
    else
        Store({}, item == "null" ? std::string_view() : item, false, table);
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
    // A name that no member has (its filter bit is clear) and that is written without quotes, or a
    // value of an array, is appended at once and classified in place: what PutMember would do
    // after finding nothing.
    const bool plainName = !name.empty() && name.front() != '"' && name.front() != '\'' &&
                           !json_internal::IsBlank(name.front()) && !json_internal::IsBlank(name.back());
    const std::uint64_t bit = IsObject && plainName ? cJSONItems::NameBit(name) : 0;
    if (!IsObject ||
        (plainName && !Members.Indexed && Members.Slots.size() <= 32 && !(Members.NameBits & bit)))
    {
        const std::size_t slot = Members.Append(IsObject ? name : std::string_view(), IsObject, bit);
        Classify(name, value, literalString, table, Members.Slots[slot]);
        return;
    }
    cJSONItems::cMember stored;
    Classify(name, value, literalString, table, stored);
    // An empty value (null) rewrites an existing line in place; any other may move it to the end.
    PutMember(name, std::move(stored), !(value.empty() && !literalString));
}

void cJSON::Classify(std::string_view name, std::string_view value, bool literalString,
                     const cJSONScanTable *table, cJSONItems::cMember &out)
{
    if (literalString)
    {
        out.Kind = JsonString;
        out.Value.assign(value);
        return;
    }
    if (value.empty())
    {
        out.Kind = JsonNull;
        out.Value.assign("null");
        return;
    }
    // A text read by an outer level has no backslash in it when that level's scan met none.
    const bool escapes = !table || table->SawBackslash;
    const char first = value.front();
    const char last = value.back();
    if (first == '"' || first == '\'')
    {
        out.Kind = JsonString;
        QuotedString(value, escapes, out.Value);
        return;
    }
    if ((first == '[' && last == ']') || (first == '{' && last == '}'))
    {
        if (ReadNestedLevel(name, value, table, out))
            return;
    }
    else if (value == "true" || value == "false")
    {
        out.Kind = JsonBoolean;
        out.Value.assign(value == "true" ? "1" : "0");
        return;
    }
    if (IsNumber(value))
    {
        out.Kind = JsonNumber;
        out.Value.assign(value);
        return;
    }
    out.Kind = HasClass(value, StringChar) ? JsonString : JsonWord;
    if (!escapes)
    {
        out.Value.assign(value);
        return;
    }
    out.Value.clear();
    out.Value.reserve(value.size());
    UnescapeTo(value, out.Value); // a word has no backslash: only strings change
}

bool cJSON::ReadNestedLevel(std::string_view name, std::string_view value, const cJSONScanTable *table,
                            cJSONItems::cMember &out)
{
    if (Level >= MaxDepth || (table && table->Exhausted()))
        return false;
    if (table && table->Arena)
        out.Child = cJSONChild(new (table->Arena->Allocate(sizeof(cJSON), alignof(cJSON)))
                                   cJSON(name, this, table->Arena));
    else
        out.Child = cJSONChild(new cJSON(std::string_view(), name, this));
    out.Child->ReadText(value, table);
    out.Kind = out.Child->IsObject ? JsonObject : JsonArray;
    out.Value.assign(out.Child->IsObject ? "object" : "array");
    return true;
}

void cJSON::PutMember(std::string_view name, cJSONItems::cMember value, bool mayMove)
{
    std::size_t slot = cJSONItems::None;
    if (!IsObject)
        slot = Members.Append({}, false);
    else
    {
        // The name as written finds the line; one with a value is removed (the new one is
        // appended), any other is kept to be rewritten in place.
        // The name as written is mostly the name as read: its filter bit serves both lookups.
        const std::uint64_t bit = cJSONItems::NameBit(name);
        std::size_t found = cJSONItems::None;
        bool foundValid = false;
        if (mayMove)
        {
            found = Members.Find(name, bit);
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
        const bool same = unquoted.size() == name.size();
        const std::uint64_t unquotedBit = same ? bit : cJSONItems::NameBit(unquoted);
        slot = foundValid && same ? found : Members.Find(unquoted, unquotedBit);
        if (slot != cJSONItems::None)
        {
            // The line is rewritten in place, with the name as now spelt (same key ignoring case).
            Members.Slots[slot].Child.reset();
            Members.Slots[slot].Name = unquoted;
        }
        else
            slot = Members.Append(unquoted, true, unquotedBit);
    }
    cJSONItems::cMember &line = Members.Slots[slot];
    line.Value = std::move(value.Value);
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
    cJSONChild child(new cJSON(std::string_view(), name, this));
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
