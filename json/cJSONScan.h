// The reading and writing machinery shared by the cJSON sources; not part of the interface.
// Character classes, the record of bracket regions and the top-level scanner (cJSONScan.cpp),
// and the small text helpers that the hot loops call, defined inline so that the tree, the
// member list and the static text helpers each get them inlined into their loops.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
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
    SplitChar = 1,     // \ " ' [ ] { } ,   (SplitTopLevel)
    StringChar = 2,    // { } [ ] blank " , ' \   (a word holding one is a string)
    NameQuote = 4,     // { } [ ] : " , ' \   (QuoteName quotes the name)
    EscapeChar = 8,    // " CR LF TAB \   (EscapeText)
    UnescapeChar = 16, // " ' CR LF TAB \   (UnescapeText: a backslash before one is dropped)
    NameStop = 32      // : " ' \   (where FindUntil(text, ":") must look)
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
        for (unsigned char c : {':', '"', '\'', '\\'})
            Of[c] |= NameStop;
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

// Drops characters up to and including blank at the start, or at the end.
inline std::string_view TrimStart(std::string_view text)
{
    std::size_t b = 0;
    while (b < text.size() && IsBlank(text[b]))
        ++b;
    return text.substr(b);
}

inline std::string_view TrimEnd(std::string_view text)
{
    std::size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1]))
        --e;
    return text.substr(0, e);
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

// Blocks of memory handed out in order and freed together: the levels read from one text and their
// member lists. The first block is about the text's size, the next ones twice the last, up to 1 MiB.
class cJSONArena
{
public:
    static constexpr std::size_t MaxBlock = 1024 * 1024;
    explicit cJSONArena(std::size_t firstBlock)
        : BlockSize(std::clamp<std::size_t>(firstBlock, 1024, MaxBlock))
    {
    }
    cJSONArena(const cJSONArena &) = delete;
    cJSONArena &operator=(const cJSONArena &) = delete;

    // alignment: at most that of operator new, which every block start has.
    void *Allocate(std::size_t bytes, std::size_t alignment)
    {
        std::size_t offset = (Used + alignment - 1) & ~(alignment - 1);
        if (Blocks.empty() || offset > Size || bytes > Size - offset)
        {
            const std::size_t size = std::max(BlockSize, bytes);
            Blocks.push_back(std::unique_ptr<std::byte[]>(new std::byte[size]));
            Size = size;
            offset = 0;
            BlockSize = std::min<std::size_t>(BlockSize * 2, MaxBlock);
        }
        Used = offset + bytes;
        return Blocks.back().get() + offset;
    }

private:
    std::vector<std::unique_ptr<std::byte[]>> Blocks;
    std::size_t BlockSize;
    std::size_t Size = 0; // of the last block
    std::size_t Used = 0; // of the last block
};

// A region: a bracket or brace counted by the outermost scan, up to the closer that brings its
// counter back. Every nested level whose quote state agrees with the outermost scan at one of
// these openers (which is the case for the openers it counts itself: both are outside quotes
// there, and from then on the quote states evolve alike) can jump to the closer, updating the
// other counter from the region's summary, instead of scanning the region again.
//
// When the text is well nested (every closer outside quotes closes the innermost open region,
// and of its own kind), a level whose value is exactly one region (its opener first, its closer
// last) splits where that region's direct commas are: its counters stay at 0 exactly where the
// outermost scan is directly inside the region, so it need not look at its bytes at all.
struct cJSONScanTable
{
    static constexpr std::uint32_t NoClose = 0xFFFFFFFFu;
    static constexpr std::uint32_t NoComma = 0xFFFFFFFFu;
    struct cRegion
    {
        std::uint32_t Open;       // offset of the opener from Base
        std::uint32_t Close;      // offset of its closer, or NoClose
        std::uint32_t Next;       // index of the first region opened after the closer
        std::int32_t OtherSum;    // net steps of the other counter inside (brackets for a brace)
        std::int32_t OtherLow;    // lowest prefix of those steps (<= 0)
        std::uint32_t Commas;     // commas directly inside (outside quotes and nested regions) that end a
                                  // non-blank item
        std::uint32_t FirstComma; // index in CommaChain of the first comma directly inside, or NoComma
    };
    // Every comma directly inside a region, chained region by region in text order.
    struct cComma
    {
        std::uint32_t Offset; // from Base
        std::uint32_t Next;   // index of the region's next comma, or NoComma
    };
    const char *Base = nullptr;
    std::size_t Size = 0;
    // Where the nested levels read from this text are made.
    cJSONArena *Arena = nullptr;
    std::vector<cRegion> Regions;
    std::vector<cComma> CommaChain;
    // Set by the outermost scan: no closer crossed or outlived its opener, and every opener closed.
    bool WellNested = false;
    // Whether the outermost scan has met a backslash so far (no text before that point has one).
    bool SawBackslash = false;

    // Work bound for nested levels: characters that they scan one by one. Levels whose quote
    // state agrees with the outermost scan jump over regions and scan about the text once in
    // all; only texts built so that their quotes disagree from level to level rescan. Once the
    // bound is spent, deeper values are read as words (as beyond MaxDepth), so that such texts
    // stay linear too. Texts up to 32 KiB never reach it (MaxDepth * 32 KiB = 16 MiB).
    mutable std::size_t Steps = 0;
    std::size_t StepLimit = 0;
    mutable std::size_t LastFound = static_cast<std::size_t>(-1); // RegionAt's last region
    bool Exhausted() const { return Steps > StepLimit; }

    // The closed region whose opener is at opener, or nullptr. Levels are read in the order of
    // their openers, as the regions are numbered, so the one after the last found comes first.
    const cRegion *RegionAt(const char *opener) const
    {
        std::size_t i = LastFound + 1;
        if (i >= Regions.size() || Base + Regions[i].Open != opener)
            i = LowerBound(opener);
        if (i == Regions.size() || Base + Regions[i].Open != opener || Regions[i].Close == NoClose)
            return nullptr;
        LastFound = i;
        return &Regions[i];
    }

    // How many members a nested level read from the value that opens at region r will most likely
    // have, to reserve room for them: the commas after non-blank items that the outermost scan saw
    // directly inside its region, plus one, bounded by half the region's size (an item takes at
    // least one character and a comma). Never much more than the members the level stores, so a
    // text of empty items reserves nothing.
    static std::size_t ItemHint(const cRegion &r)
    {
        return std::min<std::size_t>(std::size_t{r.Commas} + 1, (r.Close - r.Open) / 2 + 1);
    }

    // Whether a level reading value (trimmed) may take its items from the region's comma chain: the
    // text is well nested and the value is that region, from its opener to its closer.
    bool Splits(const cRegion &r, std::string_view value) const
    {
        return WellNested && Base + r.Close == value.data() + value.size() - 1;
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

// FindUntil(text, ":"): the first colon, when no quote or backslash comes before it; otherwise the
// quote rules decide.
inline std::size_t FindColon(std::string_view text)
{
    const char *p = text.data();
    std::size_t i = 0;
    while (i < text.size() && !(Classes.Of[static_cast<unsigned char>(p[i])] & NameStop))
        ++i;
    if (i == text.size())
        return std::string_view::npos;
    return p[i] == ':' ? i : FindUntil(text, ":");
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
