// The top-level split of the reader: quotes, bracket and brace depths, commas. The outermost
// scan of a text records where every bracket and brace closes (cRegionRecorder); nested levels
// jump over those regions instead of scanning them again (cRegionCursor), so reading stays
// linear in the text size.
#include "json/cJSONScan.h"

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
        table->Steps = 0;
        table->StepLimit = 16 * text.size() + 16 * 1024 * 1024;
        if (text.size() >= 0x7FFFFFFFu)
        {
            table->Size = 0; // too large for the offsets and sums: no regions, plain scans
            return;
        }
        Table = table;
    }

    void Opened(const char *p, int own)
    {
        if (!Table)
            return;
        Step(own, +1);
        Stacks[own].push_back({Table->Regions.size(), Totals[Other(own)], Totals[Other(own)]});
        Table->Regions.push_back({Offset(p), cJSONScanTable::NoClose, 0, 0, 0, 0});
    }

    // A comma outside quotes inside at least one open region: counted for the innermost one, unless
    // the item before it is blank (the reader skips such items). Looking back over blanks stays
    // linear: a run of blanks is looked at by the one comma that follows it.
    void Comma(const char *p)
    {
        if (!Table)
            return;
        const char *q = p - 1;
        while (q >= Begin && IsBlank(*q))
            --q;
        if (q < Begin || *q == ',' || *q == '[' || *q == '{')
            return;
        const std::size_t brackets = Stacks[0].empty() ? 0 : Stacks[0].back().Region + 1;
        const std::size_t braces = Stacks[1].empty() ? 0 : Stacks[1].back().Region + 1;
        const std::size_t innermost = std::max(brackets, braces);
        if (innermost > 0)
            ++Table->Regions[innermost - 1].Commas;
    }

    void Closed(const char *p, int own)
    {
        if (!Table)
            return;
        Step(own, -1);
        std::vector<cOpen> &stack = Stacks[own];
        if (stack.empty())
            return;
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
        std::int64_t OtherLow; // lowest other total since the opener (for the top entry)
    };

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

void ScanTopLevel(std::string_view text, cJSONScanTable *record, const cJSONScanTable *use, cItemSink sink,
                  void *context)
{
    cRegionRecorder recorder(record, text);
    cRegionCursor cursor(use, text);
    bool inDouble = false;
    bool inSingle = false;
    std::size_t depth[2] = {0, 0}; // brackets, braces
    const char *const end = text.data() + text.size();
    const char *start = text.data();
    std::size_t steps = 0;
    for (const char *p = text.data(); p < end; ++p)
    {
        ++steps;
        const char c = *p;
        if (!(Classes.Of[static_cast<unsigned char>(c)] & SplitChar))
            continue;
        if (c == '\\')
        {
            // A backslash escapes the one character after it: an escaped quote, bracket or
            // backslash is not counted. A comma is never escaped: it splits even after a backslash.
            if (p + 1 < end && p[1] != ',')
                ++p;
        }
        else if (c == '"')
        {
            if (!inSingle)
                inDouble = !inDouble;
        }
        else if (c == '\'')
        {
            if (!inDouble)
                inSingle = !inSingle;
        }
        else if (inDouble || inSingle)
            continue;
        else if (c == ',')
        {
            if (depth[0] != 0 || depth[1] != 0)
            {
                recorder.Comma(p);
                continue;
            }
            cursor.Count(steps);
            sink(context, Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
            start = p + 1;
        }
        else
            Bracket(p, end, depth, recorder, cursor);
    }
    cursor.Count(steps);
    sink(context, Trim(std::string_view(start, static_cast<std::size_t>(end - start))));
}
} // namespace json_internal
