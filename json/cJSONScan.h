// The reading and writing machinery shared by the cJSON sources; not part of the interface.
// Character classes, the top-level scanner with its record of bracket regions, and the small
// text helpers that the hot loops call. Everything here is defined inline, so that the tree, the
// member list and the static text helpers each get it inlined into their loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace json_internal
{

inline bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

inline char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string LowerKey(std::string_view name)
{
    std::string key(name);
    for (char &c : key)
        c = Lower(c);
    return key;
}

inline bool SameText(std::string_view a, std::string_view b)
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
    SplitChar = 1,    // \ " ' [ ] { } ,   (SplitTopLevel)
    StringChar = 2,   // { } [ ] blank " , ' \   (a word holding one is a string)
    NameQuote = 4,    // { } [ ] : " , ' \   (QuoteName quotes the name)
    EscapeChar = 8,   // " CR LF TAB \   (EscapeText)
    UnescapeChar = 16 // " ' CR LF TAB \   (UnescapeText: a backslash before one is dropped)
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
        for (unsigned char c : {'"', '\'', '\r', '\n', '\t', '\\'})
            Of[c] |= UnescapeChar;
    }
};
inline constexpr cClassTable Classes;

inline bool HasClass(std::string_view text, unsigned char cls)
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
inline std::size_t ClampedWalk(std::size_t value, std::int64_t sum, std::int64_t low)
{
    const std::int64_t a = static_cast<std::int64_t>(value) + sum;
    const std::int64_t b = sum - low;
    return static_cast<std::size_t>(std::max(a, b));
}

// Drops characters up to and including blank at both ends (cJSON::Trim, kept inline here
// because the scanner trims every item it hands out).
inline std::string_view Trim(std::string_view text)
{
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

} // namespace json_internal

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

namespace json_internal
{

// SplitTopLevel without copies: calls item(view) for every item, trimmed, in order.
// record: the outermost scan fills it with the regions of the text. use: a table recorded by an
// outer scan whose quote state agrees with this one at its start (cursor: first region to meet).
template <typename F>
void ScanTopLevel(std::string_view text, cJSONScanTable *record, const cJSONScanTable *use, F &&item)
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
        record->Regions.push_back({static_cast<std::uint32_t>(p - begin), cJSONScanTable::NoClose, 0, 0, 0});
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
            // backslash is not counted. A comma is never escaped: it splits even after a backslash.
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
                    if (r.Close == cJSONScanTable::NoClose || use->Base + r.Close >= end)
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
                item(Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
                start = p + 1;
            }
            break;
        }
    }
    if (use)
        use->Steps += steps;
    item(Trim(std::string_view(start, static_cast<std::size_t>(end - start))));
}

template <typename F> void ForEachTopLevel(std::string_view text, F &&item)
{
    ScanTopLevel(text, nullptr, nullptr, item);
}

// ExtractUntil without copies: the index of the first stop character outside quotes, or npos.
inline std::size_t FindUntil(std::string_view text, std::string_view stops)
{
    bool inDouble = false;
    bool inSingle = false;
    const char *p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        // As in the top-level split: a quote inside quotes of the other kind is plain, an escaped
        // quote does not count, nor does a backslash escaped by the one before it ("ab\\":x
        // closes its quote before the colon).
        const char c = p[i];
        if (c == '"')
        {
            if (!inSingle)
                inDouble = !inDouble;
        }
        else if (c == '\'')
        {
            if (!inDouble)
                inSingle = !inSingle;
        }
        else if (!inDouble && !inSingle &&
                 (stops.size() == 1 ? c == stops[0] : stops.find(c) != std::string_view::npos))
            return i;
        else if (c == '\\' && i + 1 < text.size() &&
                 (p[i + 1] == '"' || p[i + 1] == '\'' || p[i + 1] == '\\'))
            ++i;
    }
    return std::string_view::npos;
}

// Undoes EscapeTo: a backslash before " ' \ CR LF or TAB is dropped and that character kept
// (so an escaped backslash never escapes what follows it); every other backslash stays.
inline void UnescapeTo(std::string_view text, std::string &out)
{
    const char *p = text.data();
    const char *end = p + text.size();
    const char *run = p;
    for (; p < end; ++p)
    {
        if (*p == '\\' && p + 1 < end && (Classes.Of[static_cast<unsigned char>(p[1])] & UnescapeChar))
        {
            out.append(run, static_cast<std::size_t>(p - run));
            ++p; // the escaped character: kept, and not looked at again
            run = p;
        }
    }
    out.append(run, static_cast<std::size_t>(end - run));
}

// A member name as read: trimmed; when enclosed in matching quotes, the quotes are dropped, the
// inside trimmed and the writer's escapes undone (into buffer, when there is a backslash).
inline std::string_view NameView(std::string_view name, std::string &buffer)
{
    std::string_view t = Trim(name);
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
    {
        t = Trim(t.substr(1, t.size() - 2));
        if (t.find('\\') != std::string_view::npos)
        {
            buffer.clear();
            UnescapeTo(t, buffer);
            return buffer;
        }
    }
    return t;
}

inline void EscapeTo(std::string_view text, std::string &out)
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

inline void QuoteNameTo(std::string_view name, std::string &out)
{
    // Escaping adds only backslashes, which are quoting characters themselves.
    const bool quote = HasClass(name, NameQuote) || HasClass(name, EscapeChar);
    if (quote)
        out += '"';
    EscapeTo(name, out);
    if (quote)
        out += '"';
}

// The boolean test on a stored text: a whole integer (optional sign, digits only) other than 0;
// anything else, including "" and a lone sign, is false.
inline bool IsNonZeroInteger(std::string_view text)
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

} // namespace json_internal
