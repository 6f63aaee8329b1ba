// The reading and writing machinery shared by the cJSON sources; not part of the interface.
// Character classes, the record of bracket regions and the top-level scanner (cJSONScan.cpp),
// and the small text helpers that the hot loops call, defined inline so that the tree, the
// member list and the static text helpers each get them inlined into their loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
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
        std::uint32_t Commas;  // commas directly inside (outside quotes and nested regions) that end a
                               // non-blank item
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

    // How many members a nested level read from the value that opens at opener will most likely
    // have, to reserve room for them: the commas after non-blank items that the outermost scan saw
    // directly inside its region, plus one, bounded by half the region's size (an item takes at
    // least one character and a comma). Never much more than the members the level stores, so a
    // text of empty items reserves nothing. 0 when unknown.
    std::size_t ItemHint(const char *opener) const
    {
        const std::size_t i = LowerBound(opener);
        if (i == Regions.size() || Base + Regions[i].Open != opener || Regions[i].Close == NoClose)
            return 0;
        const cRegion &r = Regions[i];
        return std::min<std::size_t>(std::size_t{r.Commas} + 1, (r.Close - r.Open) / 2 + 1);
    }

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

// Receives the items of a split, trimmed, in order.
using cItemSink = void (*)(void *context, std::string_view item);

// SplitTopLevel without copies: hands every item to sink. record: the outermost scan fills it
// with the regions of the text. use: a table recorded by an outer scan whose quote state agrees
// with this one at its start; the scan jumps over its regions (cJSONScan.cpp).
void ScanTopLevel(std::string_view text, cJSONScanTable *record, const cJSONScanTable *use, cItemSink sink,
                  void *context);

template <typename F>
void ScanTopLevel(std::string_view text, cJSONScanTable *record, const cJSONScanTable *use, F &&item)
{
    using Item = std::remove_reference_t<F>;
    ScanTopLevel(
        text, record, use,
        [](void *context, std::string_view view) { (*static_cast<Item *>(context))(view); },
        const_cast<void *>(static_cast<const void *>(&item)));
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
    std::size_t run = 0;
    std::size_t i = 0;
    while ((i = text.find('\\', i)) != std::string_view::npos)
    {
        if (i + 1 < text.size() && (Classes.Of[static_cast<unsigned char>(text[i + 1])] & UnescapeChar))
        {
            out.append(text.data() + run, i - run);
            run = i + 1; // the escaped character: kept, and not looked at again
            i += 2;
        }
        else
            ++i;
    }
    out.append(text.data() + run, text.size() - run);
}

// A member name as read: trimmed; when enclosed in matching quotes, the quotes are dropped, the
// inside trimmed and the writer's escapes undone (into buffer, when there is a backslash). A
// quote character alone is the empty name.
inline std::string_view NameView(std::string_view name, std::string &buffer)
{
    std::string_view t = Trim(name);
    if (!t.empty() && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
    {
        t = t.size() >= 2 ? Trim(t.substr(1, t.size() - 2)) : std::string_view();
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
