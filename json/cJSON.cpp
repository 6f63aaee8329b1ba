// cJSON: the JSON value tree. See cJSON.h for the reading rules and the choices made in them.
#include "json/cJSON.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace
{

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerKey(std::string_view name)
{
    std::string key(name);
    for (char &c : key)
        c = Lower(c);
    return key;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const char *pa = a.data();
    const char *pb = b.data();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(pa[i]) != Lower(pb[i]))
            return false;
    return true;
}

// Character classes, one table for the hot loops (they must stay fast in unoptimised builds).
enum : unsigned char
{
    SplitChar = 1,  // \ " ' [ ] { } ,   (SplitTopLevel)
    StringChar = 2, // { } [ ] blank " , ' \   (a word holding one is a string)
    NameQuote = 4,  // { } [ ] : " , ' \   (QuoteName quotes the name)
    EscapeChar = 8  // " CR LF TAB \   (EscapeText)
};

struct cClassTable
{
    unsigned char Of[256] = {};
    constexpr cClassTable()
    {
        for (unsigned char c : {'\\', '"', '\'', '[', ']', '{', '}', ','})
            Of[c] |= SplitChar;
        for (unsigned char c : {'{', '}', '[', ']', ' ', '"', ',', '\'', '\\'})
            Of[c] |= StringChar;
        for (unsigned char c : {'{', '}', '[', ']', ':', '"', ',', '\'', '\\'})
            Of[c] |= NameQuote;
        for (unsigned char c : {'"', '\r', '\n', '\t', '\\'})
            Of[c] |= EscapeChar;
    }
};
constexpr cClassTable Classes;

bool HasClass(std::string_view text, unsigned char cls)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text.data());
    const unsigned char *end = p + text.size();
    for (; p < end; ++p)
        if (Classes.Of[*p] & cls)
            return true;
    return false;
}

// Clamped walk of a depth counter: starting at value, a run of +1/-1 steps whose total is sum and
// whose lowest prefix total is low (<= 0), never going below 0, ends at this value.
std::size_t ClampedWalk(std::size_t value, std::int64_t sum, std::int64_t low)
{
    const std::int64_t a = static_cast<std::int64_t>(value) + sum;
    const std::int64_t b = sum - low;
    return static_cast<std::size_t>(std::max(a, b));
}

} // namespace

// A region: a bracket or brace counted by the outermost scan, up to the closer that brings its
// counter back. Every nested level whose quote state agrees with the outermost scan at one of
// these openers (which is the case for the openers it counts itself: both are outside quotes
// there, and from then on the quote states evolve alike) can jump to the closer, updating the
// other counter from the region's summary, instead of scanning the region again.
struct cJSONScanTable
{
    static constexpr std::uint32_t NoClose = 0xFFFFFFFFu;
    struct cRegion
    {
        std::uint32_t Open;    // offset of the opener from Base
        std::uint32_t Close;   // offset of its closer, or NoClose
        std::uint32_t Next;    // index of the first region opened after the closer
        std::int32_t OtherSum; // net steps of the other counter inside (brackets for a brace)
        std::int32_t OtherLow; // lowest prefix of those steps (<= 0)
    };
    const char *Base = nullptr;
    std::size_t Size = 0;
    std::vector<cRegion> Regions;

    // Work bound for nested levels: characters that they scan one by one. Levels whose quote
    // state agrees with the outermost scan jump over regions and scan about the text once in
    // all; only texts built so that their quotes disagree from level to level rescan. Once the
    // bound is spent, deeper values are read as words (as beyond MaxDepth), so that such texts
    // stay linear too. Texts up to 32 KiB never reach it (MaxDepth * 32 KiB = 16 MiB).
    mutable std::size_t Steps = 0;
    std::size_t StepLimit = 0;
    bool Exhausted() const { return Steps > StepLimit; }

    // Index of the first region whose opener is at p or after it.
    std::size_t LowerBound(const char *p) const
    {
        if (p <= Base)
            return 0;
        if (p >= Base + Size)
            return Regions.size();
        const auto offset = static_cast<std::uint32_t>(p - Base);
        auto it = std::lower_bound(Regions.begin(), Regions.end(), offset,
                                   [](const cRegion &r, std::uint32_t o) { return r.Open < o; });
        return static_cast<std::size_t>(it - Regions.begin());
    }
};

namespace
{

using cScanTable = cJSONScanTable;

// SplitTopLevel without copies: calls item(view) for every item, trimmed, in order.
// record: the outermost scan fills it with the regions of the text. use: a table recorded by an
// outer scan whose quote state agrees with this one at its start (cursor: first region to meet).
template <typename F>
void ScanTopLevel(std::string_view text, cScanTable *record, const cScanTable *use, F &&item)
{
    // The regions are sorted by opener; the cursor only moves forward (jumps skip the regions
    // nested in the one jumped over), so looking them up costs no more than the scan itself.
    std::size_t cursor = use ? use->LowerBound(text.data()) : 0;
    bool inDouble = false;
    bool inSingle = false;
    std::size_t brackets = 0;
    std::size_t braces = 0;
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    const char *start = begin;

    // Recording state: raw step totals of both counters and the stacks of open regions.
    struct cOpen
    {
        std::size_t Region;
        std::int64_t OtherAtOpen;
        std::int64_t OtherLow; // lowest other total since the opener (for the top entry)
    };
    std::vector<cOpen> bracketStack;
    std::vector<cOpen> braceStack;
    std::int64_t bracketTotal = 0;
    std::int64_t braceTotal = 0;
    if (record)
    {
        record->Base = begin;
        record->Size = text.size();
        record->Regions.clear();
        record->Steps = 0;
        record->StepLimit = 16 * text.size() + 16 * 1024 * 1024;
        if (text.size() >= 0x7FFFFFFFu)
        {
            record->Size = 0; // too large for the offsets and sums: no regions, plain scans
            record = nullptr;
        }
    }

    auto openRegion = [&](const char *p, bool bracket)
    {
        const std::size_t index = record->Regions.size();
        record->Regions.push_back({static_cast<std::uint32_t>(p - begin), cScanTable::NoClose, 0, 0, 0});
        if (bracket)
            bracketStack.push_back({index, braceTotal, braceTotal});
        else
            braceStack.push_back({index, bracketTotal, bracketTotal});
    };
    auto closeRegion = [&](const char *p, std::vector<cOpen> &stack, std::int64_t otherTotal)
    {
        const cOpen top = stack.back();
        stack.pop_back();
        auto &r = record->Regions[top.Region];
        r.Close = static_cast<std::uint32_t>(p - begin);
        r.Next = static_cast<std::uint32_t>(record->Regions.size());
        r.OtherSum = static_cast<std::int32_t>(otherTotal - top.OtherAtOpen);
        r.OtherLow = static_cast<std::int32_t>(top.OtherLow - top.OtherAtOpen);
        if (!stack.empty())
            stack.back().OtherLow = std::min(stack.back().OtherLow, top.OtherLow);
    };

    const char *p = begin;
    std::size_t steps = 0; // characters looked at one by one (for the work bound of use)
    for (; p < end; ++p)
    {
        ++steps;
        const char c = *p;
        if (!(Classes.Of[static_cast<unsigned char>(c)] & SplitChar))
            continue;
        switch (c)
        {
        case '\\':
            // A backslash escapes the one character after it: an escaped quote, bracket or
            // backslash is not counted. Commas are not escapable (as in the original split).
            if (p + 1 < end && p[1] != ',')
                ++p;
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
        case '{':
        {
            if (inDouble || inSingle)
                break;
            const bool bracket = c == '[';
            if (use)
            {
                const auto &regions = use->Regions;
                const auto offset = static_cast<std::uint32_t>(p - use->Base);
                while (cursor < regions.size() && regions[cursor].Open < offset)
                    ++cursor;
                if (cursor < regions.size() && regions[cursor].Open == offset)
                {
                    const auto &r = regions[cursor];
                    if (r.Close == cScanTable::NoClose || use->Base + r.Close >= end)
                    {
                        p = end - 1; // the rest of this level is inside the region: one item
                        break;
                    }
                    if (bracket)
                        braces = ClampedWalk(braces, r.OtherSum, r.OtherLow);
                    else
                        brackets = ClampedWalk(brackets, r.OtherSum, r.OtherLow);
                    p = use->Base + r.Close; // its own counter is back where it was
                    cursor = r.Next;
                    break;
                }
            }
            if (bracket)
            {
                ++brackets;
                if (record)
                {
                    ++bracketTotal;
                    if (!braceStack.empty())
                        braceStack.back().OtherLow = std::min(braceStack.back().OtherLow, bracketTotal);
                    openRegion(p, true);
                }
            }
            else
            {
                ++braces;
                if (record)
                {
                    ++braceTotal;
                    if (!bracketStack.empty())
                        bracketStack.back().OtherLow = std::min(bracketStack.back().OtherLow, braceTotal);
                    openRegion(p, false);
                }
            }
            break;
        }
        case ']':
            if (inDouble || inSingle)
                break;
            if (brackets > 0)
                --brackets;
            if (record)
            {
                --bracketTotal;
                if (!braceStack.empty())
                    braceStack.back().OtherLow = std::min(braceStack.back().OtherLow, bracketTotal);
                if (!bracketStack.empty())
                    closeRegion(p, bracketStack, braceTotal);
            }
            break;
        case '}':
            if (inDouble || inSingle)
                break;
            if (braces > 0)
                --braces;
            if (record)
            {
                --braceTotal;
                if (!bracketStack.empty())
                    bracketStack.back().OtherLow = std::min(bracketStack.back().OtherLow, braceTotal);
                if (!braceStack.empty())
                    closeRegion(p, braceStack, bracketTotal);
            }
            break;
        default: // ','
            if (!inDouble && !inSingle && brackets == 0 && braces == 0)
            {
                if (use)
                {
                    use->Steps += steps;
                    steps = 0;
                }
                item(cJSON::Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
                start = p + 1;
            }
            break;
        }
    }
    if (use)
        use->Steps += steps;
    item(cJSON::Trim(std::string_view(start, static_cast<std::size_t>(end - start))));
}

template <typename F> void ForEachTopLevel(std::string_view text, F &&item)
{
    ScanTopLevel(text, nullptr, nullptr, item);
}

// ExtractUntil without copies: the index of the first stop character outside quotes, or npos.
std::size_t FindUntil(std::string_view text, std::string_view stops)
{
    bool inDouble = false;
    bool inSingle = false;
    const char *p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = p[i];
        const bool afterBackslash = i > 0 && p[i - 1] == '\\';
        if (c == '"' && !afterBackslash)
            inDouble = !inDouble;
        else if (c == '\'' && !afterBackslash)
            inSingle = !inSingle;
        else if (!inDouble && !inSingle &&
                 (stops.size() == 1 ? c == stops[0] : stops.find(c) != std::string_view::npos))
            return i;
    }
    return std::string_view::npos;
}

std::string_view UnquoteView(std::string_view name)
{
    std::string_view t = cJSON::Trim(name);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
        t = cJSON::Trim(t.substr(1, t.size() - 2));
    return t;
}

void EscapeTo(std::string_view text, std::string &out)
{
    const char *p = text.data();
    const char *end = p + text.size();
    const char *run = p;
    for (; p < end; ++p)
    {
        if (Classes.Of[static_cast<unsigned char>(*p)] & EscapeChar)
        {
            out.append(run, static_cast<std::size_t>(p - run));
            out += '\\';
            run = p; // the character itself follows
        }
    }
    out.append(run, static_cast<std::size_t>(end - run));
}

void QuoteNameTo(std::string_view name, std::string &out)
{
    // Escaping adds only backslashes, which are quoting characters themselves.
    const bool quote = HasClass(name, NameQuote) || HasClass(name, EscapeChar);
    if (quote)
        out += '"';
    EscapeTo(name, out);
    if (quote)
        out += '"';
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
        if (Slots[i].Alive)
        {
            if (out != i)
                Slots[out] = std::move(Slots[i]);
            ++out;
        }
    }
    Slots.resize(out);
    Dead = 0;
    if (Indexed)
    {
        Indexed = false;
        BuildIndex();
    }
}

void cJSONItems::BuildIndex() const
{
    ByName.clear();
    ByName.reserve(Slots.size());
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named)
            ByName.emplace(LowerKey(Slots[i].Name), i);
    Indexed = true;
}

const cJSONItems::cMember *cJSONItems::At(int i) const
{
    Compact();
    if (i < 0 || static_cast<std::size_t>(i) >= Slots.size())
        return nullptr;
    return &Slots[static_cast<std::size_t>(i)];
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
    Compact();
    const std::size_t slot = Find(name);
    return slot == None ? -1 : static_cast<int>(slot);
}

std::string cJSONItems::Values(std::string_view name) const
{
    const std::size_t slot = Find(name);
    return slot == None ? std::string() : Slots[slot].Value;
}

std::size_t cJSONItems::Find(std::string_view name) const
{
    if (Indexed)
    {
        auto it = ByName.find(LowerKey(name));
        return it == ByName.end() ? None : it->second;
    }
    if (Slots.size() > 16)
    {
        BuildIndex();
        return Find(name);
    }
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Alive && Slots[i].Named && SameText(Slots[i].Name, name))
            return i;
    return None;
}

std::size_t cJSONItems::Append(std::string_view name, bool named)
{
    const std::size_t slot = Slots.size();
    Slots.emplace_back();
    cMember &m = Slots.back();
    m.Name = std::string(name);
    m.Named = named;
    ++Live;
    if (named && Indexed)
        ByName.emplace(LowerKey(name), slot);
    return slot;
}

void cJSONItems::Remove(std::size_t slot)
{
    cMember &m = Slots[slot];
    if (!m.Alive)
        return;
    if (m.Named && Indexed)
        ByName.erase(LowerKey(m.Name));
    m.Alive = false;
    m.Child.reset(); // destroys the child
    m.Name.clear();
    m.Name.shrink_to_fit();
    m.Value.clear();
    m.Value.shrink_to_fit();
    --Live;
    ++Dead;
    if (Dead > 32 && Dead > Live)
        Compact();
}

void cJSONItems::Clear()
{
    ByName.clear();
    Indexed = false;
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
    EscapeTo(text, out);
    return out;
}

std::string cJSON::CollapseBackslashes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const char *p = text.data();
    const char *end = p + text.size();
    const char *run = p;
    for (; p < end; ++p)
    {
        if (*p == '\\' && p + 1 < end && p[1] == '\\')
        {
            // Keep everything up to and including this backslash, drop the next one.
            out.append(run, static_cast<std::size_t>(p + 1 - run));
            ++p;
            run = p + 1;
        }
    }
    out.append(run, static_cast<std::size_t>(end - run));
    return out;
}

std::string cJSON::Unquote(std::string_view name)
{
    return std::string(UnquoteView(name));
}

std::string cJSON::QuoteName(std::string_view name)
{
    std::string out;
    QuoteNameTo(name, out);
    return out;
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
    std::int64_t intDigits = 0;        // significant integer digits (after leading zeros)
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
    const std::string_view body = Trim(StripEnclosing(text, isObject));
    IsObject = isObject;
    if (body.empty())
        return;
    // The outermost level records the regions of its text; nested levels use them.
    cScanTable recorded;
    cScanTable *record = table ? nullptr : &recorded;
    const cScanTable *use = table ? table : &recorded;
    ScanTopLevel(body, record, table,
                 [this, use](std::string_view item)
                 {
                     if (item.empty())
                         return;
                     if (IsObject)
                     {
                         const std::size_t stop = FindUntil(item, ":");
                         const std::string_view name = Trim(item.substr(0, stop));
                         if (name.empty())
                             return;
                         const std::string_view value = stop == std::string_view::npos
                                                            ? std::string_view()
                                                            : Trim(item.substr(stop + 1));
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
                    inner = Trim(value);
                    inner = inner.substr(1, inner.size() - 2);
                }
                stored = CollapseBackslashes(inner);
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
                    stored = CollapseBackslashes(value);
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
        const std::string_view unquoted = UnquoteView(name);
        // Building a child never changes this object's members, so step 2's result holds.
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
