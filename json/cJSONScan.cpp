// The top-level split of the reader: quotes, bracket and brace depths, commas. The outermost
// scan of a text records where every bracket and brace closes (cRegionRecorder); nested levels
// jump over those regions instead of scanning them again (cRegionCursor), so reading stays
// linear in the text size.
#include "json/cJSONScan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace json_internal
{
namespace
{
// Clamped walk of a depth counter: starting at value, a run of +1/-1 steps whose total is sum and
// whose lowest prefix total is low (<= 0), never going below 0, ends at this value.
std::size_t ClampedWalk(std::size_t value, std::int64_t sum, std::int64_t low)
{
    const std::int64_t a = static_cast<std::int64_t>(value) + sum;
    const std::int64_t b = sum - low;
    return static_cast<std::size_t>(std::max(a, b));
}

// Index 0 counts brackets, 1 braces; a region of one kind summarises the steps of the other.
constexpr int Other(int own)
{
    return 1 - own;
}

// Fills the table of the outermost scan: one region a counted opener, closed by the closer that
// brings its counter back, with the net and lowest steps of the other counter inside it. The
// totals are raw (they may go below 0); the regions are stored in the order of their openers.
class cRegionRecorder
{
public:
    cRegionRecorder(cJSONScanTable *table, std::string_view text) : Begin(text.data())
    {
        if (!table)
            return;
        table->Base = Begin;
        table->Size = text.size();
        table->Regions.clear();
        table->CommaChain.clear();
        table->WellNested = false;
        table->SawBackslash = false;
        table->LastFound = static_cast<std::size_t>(-1);
        table->Steps = 0;
        table->StepLimit = 16 * text.size() + 16 * 1024 * 1024;
        if (text.size() >= 0x7FFFFFFFu)
        {
            table->Size = 0;            // too large for the offsets and sums: no regions, plain scans
            table->SawBackslash = true; // nor a record of backslashes
            return;
        }
        Table = table;
        Table->WellNested = true;
    }

    void Backslash()
    {
        if (Table)
            Table->SawBackslash = true;
    }

    // The end of the text: a region still open leaves the text not well nested.
    void Finished()
    {
        if (Table && (!Stacks[0].empty() || !Stacks[1].empty()))
            Table->WellNested = false;
    }

    void Opened(const char *p, int own)
    {
        if (!Table)
            return;
        Step(own, +1);
        Stacks[own].push_back(
            {Table->Regions.size(), Totals[Other(own)], Totals[Other(own)], cJSONScanTable::NoComma});
        Table->Regions.push_back({Offset(p), cJSONScanTable::NoClose, 0, 0, 0, 0, cJSONScanTable::NoComma});
    }

    // A comma outside quotes inside at least one open region: chained to the innermost one, and
    // counted for it unless the item before it is blank (the reader skips such items). Looking back
    // over blanks stays linear: a run of blanks is looked at by the one comma that follows it.
    void Comma(const char *p)
    {
        if (!Table || (Stacks[0].empty() && Stacks[1].empty()))
            return;
        cOpen &open = Innermost();
        cJSONScanTable::cRegion &region = Table->Regions[open.Region];
        const auto index = static_cast<std::uint32_t>(Table->CommaChain.size());
        Table->CommaChain.push_back({Offset(p), cJSONScanTable::NoComma});
        if (open.LastComma == cJSONScanTable::NoComma)
            region.FirstComma = index;
        else
            Table->CommaChain[open.LastComma].Next = index;
        open.LastComma = index;
        const char *q = p - 1;
        while (q >= Begin && IsBlank(*q))
            --q;
        if (q < Begin || *q == ',' || *q == '[' || *q == '{')
            return;
        ++region.Commas;
    }

    void Closed(const char *p, int own)
    {
        if (!Table)
            return;
        Step(own, -1);
        std::vector<cOpen> &stack = Stacks[own];
        if (stack.empty())
        {
            Table->WellNested = false; // a closer without an opener
            return;
        }
        if (&Innermost() != &stack.back())
            Table->WellNested = false; // it closes an opener of its kind around an open one of the other
        const cOpen top = stack.back();
        stack.pop_back();
        cJSONScanTable::cRegion &r = Table->Regions[top.Region];
        r.Close = Offset(p);
        r.Next = static_cast<std::uint32_t>(Table->Regions.size());
        r.OtherSum = static_cast<std::int32_t>(Totals[Other(own)] - top.OtherAtOpen);
        r.OtherLow = static_cast<std::int32_t>(top.OtherLow - top.OtherAtOpen);
        if (!stack.empty())
            stack.back().OtherLow = std::min(stack.back().OtherLow, top.OtherLow);
    }

private:
    struct cOpen
    {
        std::size_t Region;
        std::int64_t OtherAtOpen;
        std::int64_t OtherLow;   // lowest other total since the opener (for the top entry)
        std::uint32_t LastComma; // the region's last chained comma, or NoComma
    };

    // The open region opened last, of either kind (at least one is open).
    cOpen &Innermost()
    {
        if (Stacks[0].empty())
            return Stacks[1].back();
        if (Stacks[1].empty())
            return Stacks[0].back();
        return Stacks[0].back().Region > Stacks[1].back().Region ? Stacks[0].back() : Stacks[1].back();
    }

    // One step of a counter; the innermost open region of the other kind notes a new low.
    void Step(int own, int step)
    {
        Totals[own] += step;
        std::vector<cOpen> &other = Stacks[Other(own)];
        if (!other.empty())
            other.back().OtherLow = std::min(other.back().OtherLow, Totals[own]);
    }

    std::uint32_t Offset(const char *p) const { return static_cast<std::uint32_t>(p - Begin); }

    cJSONScanTable *Table = nullptr;
    const char *Begin;
    std::vector<cOpen> Stacks[2];
    std::int64_t Totals[2] = {0, 0};
};

// Walks the regions of an outer scan alongside a nested one. The regions are sorted by opener;
// the cursor only moves forward (jumps skip the regions nested in the one jumped over), so
// looking them up costs no more than the scan itself.
class cRegionCursor
{
public:
    cRegionCursor(const cJSONScanTable *use, std::string_view text)
        : Use(use), Index(use ? use->LowerBound(text.data()) : 0)
    {
    }

    // At an opener outside quotes: when the table has a region there, moves p to its closer
    // (its own counter is back where it was, the other one follows the region's summary) and
    // returns true. A region that runs past end makes the rest of the level one item.
    bool Jump(const char *&p, const char *end, std::size_t &otherDepth)
    {
        if (!Use)
            return false;
        const auto &regions = Use->Regions;
        const auto offset = static_cast<std::uint32_t>(p - Use->Base);
        while (Index < regions.size() && regions[Index].Open < offset)
            ++Index;
        if (Index == regions.size() || regions[Index].Open != offset)
            return false;
        const cJSONScanTable::cRegion &r = regions[Index];
        if (r.Close == cJSONScanTable::NoClose || Use->Base + r.Close >= end)
        {
            p = end - 1;
            return true;
        }
        otherDepth = ClampedWalk(otherDepth, r.OtherSum, r.OtherLow);
        p = Use->Base + r.Close;
        Index = r.Next;
        return true;
    }

    // Adds the characters looked at one by one to the work bound of the table in use.
    void Count(std::size_t &steps)
    {
        if (Use)
            Use->Steps += steps;
        steps = 0;
    }

private:
    const cJSONScanTable *Use;
    std::size_t Index;
};

// A bracket or brace outside quotes: a closing one ends a level (never below the top); an opening
// one starts a level unless the cursor knows where it closes and jumps p there.
inline void Bracket(const char *&p, const char *end, std::size_t (&depth)[2], cRegionRecorder &recorder,
                    cRegionCursor &cursor)
{
    const char c = *p;
    const int own = c == '[' || c == ']' ? 0 : 1;
    if (c == ']' || c == '}')
    {
        if (depth[own] > 0)
            --depth[own];
        recorder.Closed(p, own);
    }
    else if (!cursor.Jump(p, end, depth[Other(own)]))
    {
        ++depth[own];
        recorder.Opened(p, own);
    }
}
} // namespace

namespace
{
// The quote and depth state of a split.
struct cSplitState
{
    bool InDouble = false;
    bool InSingle = false;
    std::size_t Depth[2] = {0, 0}; // brackets, braces
};

// One character of the split's set at p (see SplitChar); true when it is a comma that ends a
// top-level item. A backslash moves p onto the character it escapes, a jump onto a closer.
inline bool SplitAt(const char *&p, const char *end, cSplitState &s, cRegionRecorder &recorder,
                    cRegionCursor &cursor)
{
    const char c = *p;
    if (c == '\\')
    {
        // A backslash escapes the one character after it: an escaped quote, bracket or
        // backslash is not counted. A comma is never escaped: it splits even after a backslash.
        recorder.Backslash();
        if (p + 1 < end && p[1] != ',')
            ++p;
    }
    else if (c == '"')
    {
        if (!s.InSingle)
            s.InDouble = !s.InDouble;
    }
    else if (c == '\'')
    {
        if (!s.InDouble)
            s.InSingle = !s.InSingle;
    }
    else if (s.InDouble || s.InSingle)
        return false;
    else if (c == ',')
    {
        if (s.Depth[0] == 0 && s.Depth[1] == 0)
            return true;
        recorder.Comma(p);
    }
    else
        Bracket(p, end, s.Depth, recorder, cursor);
    return false;
}

#if defined(__SSE2__)
// Bit i set when p[i] is one of the split's set: \\ " ' [ ] { } ,
inline unsigned SplitMask(const char *p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    // [ ] { } are 0x5B 0x5D 0x7B 0x7D: with bit 5 set, the brackets read as braces.
    const __m128i folded = _mm_or_si128(v, _mm_set1_epi8(0x20));
    __m128i hits =
        _mm_or_si128(_mm_cmpeq_epi8(folded, _mm_set1_epi8('{')), _mm_cmpeq_epi8(folded, _mm_set1_epi8('}')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('\\')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8('\'')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8(',')));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

// Calls step(p) for every character of the split's set from begin on, in order; step may move p
// forward (onto the character a backslash escapes), and the search goes on after it. Where the
// processor can, 16 bytes are looked at a time.
template <typename F> inline void ForEachSplitChar(const char *begin, const char *end, F &&step)
{
    const char *p = begin;
#if defined(__SSE2__)
    while (end - p >= 16)
    {
        const char *const block = p;
        unsigned bits = SplitMask(block);
        while (bits)
        {
            p = block + __builtin_ctz(bits);
            step(p);
            ++p;
            if (p >= block + 16)
                break;
            bits &= ~0u << static_cast<unsigned>(p - block);
        }
        if (p < block + 16)
            p = block + 16;
    }
#endif
    for (; p < end; ++p)
        if (Classes.Of[static_cast<unsigned char>(*p)] & SplitChar)
            step(p);
}
} // namespace

void ScanTopLevel(std::string_view text, cJSONScanTable *record, const cJSONScanTable *use, cItemSink sink,
                  void *context)
{
    cRegionRecorder recorder(record, text);
    cRegionCursor cursor(use, text);
    cSplitState state;
    const char *const end = text.data() + text.size();
    const char *start = text.data();
    if (!use)
    {
        // No regions to jump over and no work to count: only the characters of the split's set
        // are looked at.
        ForEachSplitChar(text.data(), end,
                         [&](const char *&p)
                         {
                             if (SplitAt(p, end, state, recorder, cursor))
                             {
                                 sink(context,
                                      Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
                                 start = p + 1;
                             }
                         });
    }
    else
    {
        std::size_t steps = 0;
        for (const char *p = text.data(); p < end; ++p)
        {
            ++steps;
            if ((Classes.Of[static_cast<unsigned char>(*p)] & SplitChar) &&
                SplitAt(p, end, state, recorder, cursor))
            {
                cursor.Count(steps);
                sink(context, Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
                start = p + 1;
            }
        }
        cursor.Count(steps);
    }
    recorder.Finished();
    sink(context, Trim(std::string_view(start, static_cast<std::size_t>(end - start))));
}
} // namespace json_internal
