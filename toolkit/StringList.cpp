// The string list of the form toolkit.
//
// Comma-text, writing: an item holding a character up to and including space, a double quote or
// a comma is enclosed in double quotes with every inner double quote doubled; any other item is
// written as it stands (an empty item as nothing). Items are joined by commas. A list whose only
// item is empty is written as "" so that it does not read back as the empty list.
//
// Comma-text, reading (the toolkit's SetDelimitedText with ',' and '"'):
//   - characters up to and including space (bytes 0..32) are skipped before an item;
//   - an item that starts with '"' runs to the closing quote, a doubled quote inside standing
//     for one quote; a quote that is never closed takes the rest of the text;
//   - any other item runs up to (not including) a comma or a character up to and including
//     space, so an unquoted "a b" reads as the two items "a" and "b";
//   - after an item, blanks are skipped; a comma is then consumed together with the blanks
//     after it. A comma that is the very last character of the text adds an empty item.
//   - whatever follows an item without a comma starts the next item: "a"b reads as a, b.
// Each character is looked at a bounded number of times, so reading is linear in the text.
#include "toolkit/StringList.h"

#include "toolkit/Chars.h"

#include <algorithm>

namespace
{
const std::string EmptyText;

inline unsigned char Fold(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool NeedsQuotes(std::string_view s)
{
    for (char c : s)
        if (IsBlankChar(c) || c == '"' || c == ',')
            return true;
    return false;
}

void AppendQuoted(std::string &out, std::string_view s)
{
    out += '"';
    for (char c : s)
    {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}
} // namespace

int cStringList::CompareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
    {
        unsigned char ca = Fold(a[i]);
        unsigned char cb = Fold(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

const std::string &cStringList::Strings(int i) const
{
    if (i < 0 || i >= Count())
        return EmptyText;
    return Items[static_cast<std::size_t>(i)].Text;
}

void cStringList::SetString(int i, std::string_view s)
{
    if (i < 0 || i >= Count())
        return;
    if (!IsSorted)
    {
        Items[static_cast<std::size_t>(i)].Text.assign(s);
        return;
    }
    // A sorted list keeps its order: the item moves to where its new text belongs. (The text is
    // copied first, since s may be a view of the item itself.)
    std::string text(s);
    std::intptr_t slot = Items[static_cast<std::size_t>(i)].Slot;
    Items.erase(Items.begin() + i);
    cDuplicates saved = DuplicatesMode;
    DuplicatesMode = cDuplicates::Accept;
    AddInteger(text, slot);
    DuplicatesMode = saved;
}

std::intptr_t cStringList::Integer(int i) const
{
    if (i < 0 || i >= Count())
        return 0;
    return Items[static_cast<std::size_t>(i)].Slot;
}

void cStringList::SetInteger(int i, std::intptr_t value)
{
    if (i < 0 || i >= Count())
        return;
    Items[static_cast<std::size_t>(i)].Slot = value;
}

int cStringList::Add(std::string_view s)
{
    return AddInteger(s, 0);
}

int cStringList::AddInteger(std::string_view s, std::intptr_t value)
{
    if (!IsSorted)
    {
        Items.push_back(cItem{std::string(s), value});
        return Count() - 1;
    }
    int index = 0;
    if (Find(s, index))
    {
        if (DuplicatesMode == cDuplicates::Ignore)
            return index;
        if (DuplicatesMode == cDuplicates::Error)
            return -1;
        // Accept: equal items keep the order in which they were added (insert after the last).
        auto after = std::upper_bound(Items.begin() + index, Items.end(), s,
                                      [](std::string_view key, const cItem &item)
                                      { return CompareText(key, item.Text) < 0; });
        index = static_cast<int>(after - Items.begin());
    }
    Items.insert(Items.begin() + index, cItem{std::string(s), value});
    return index;
}

void cStringList::Insert(int i, std::string_view s)
{
    if (IsSorted)
    {
        Add(s);
        return;
    }
    if (i < 0)
        i = 0;
    if (i > Count())
        i = Count();
    Items.insert(Items.begin() + i, cItem{std::string(s), 0});
}

void cStringList::Delete(int i)
{
    if (i < 0 || i >= Count())
        return;
    Items.erase(Items.begin() + i);
}

int cStringList::IndexOf(std::string_view s) const
{
    if (IsSorted)
    {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareText(Items[static_cast<std::size_t>(i)].Text, s) == 0)
            return i;
    return -1;
}

bool cStringList::Find(std::string_view s, int &index) const
{
    // Lower bound: the first item not less than s.
    int lo = 0;
    int hi = Count();
    while (lo < hi)
    {
        int mid = lo + (hi - lo) / 2;
        if (CompareText(Items[static_cast<std::size_t>(mid)].Text, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareText(Items[static_cast<std::size_t>(lo)].Text, s) == 0;
}

void cStringList::SetSorted(bool sorted)
{
    if (sorted && !IsSorted)
        Sort();
    IsSorted = sorted;
}

void cStringList::Sort()
{
    std::stable_sort(Items.begin(), Items.end(),
                     [](const cItem &a, const cItem &b) { return CompareText(a.Text, b.Text) < 0; });
}

std::string cStringList::Names(int i) const
{
    const std::string &s = Strings(i);
    std::size_t eq = s.find('=');
    if (eq == std::string::npos)
        return std::string();
    return s.substr(0, eq);
}

std::string cStringList::ValueFromIndex(int i) const
{
    const std::string &s = Strings(i);
    std::size_t eq = s.find('=');
    if (eq == std::string::npos)
        return std::string();
    return s.substr(eq + 1);
}

int cStringList::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < Count(); ++i)
    {
        const std::string &s = Items[static_cast<std::size_t>(i)].Text;
        std::size_t eq = s.find('=');
        if (eq != std::string::npos && CompareText(std::string_view(s).substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

std::string cStringList::Values(std::string_view name) const
{
    int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void cStringList::SetValues(std::string_view name, std::string_view value)
{
    int i = IndexOfName(name);
    if (value.empty())
    {
        if (i >= 0)
            Delete(i);
        return;
    }
    std::string line;
    line.reserve(name.size() + 1 + value.size());
    line.append(name);
    line += '=';
    line.append(value);
    if (i < 0)
        Add(line);
    else
        SetString(i, line);
}

std::string cStringList::CommaText() const
{
    if (Items.size() == 1 && Items[0].Text.empty())
        return "\"\"";
    std::string out;
    std::size_t total = 0;
    for (const cItem &item : Items)
        total += item.Text.size() + 3;
    out.reserve(total);
    bool first = true;
    for (const cItem &item : Items)
    {
        if (!first)
            out += ',';
        first = false;
        if (NeedsQuotes(item.Text))
            AppendQuoted(out, item.Text);
        else
            out += item.Text;
    }
    return out;
}

namespace
{
// Reads comma-text, calling emit(std::string &&item) for each item in order.
template <typename Emit> void ReadCommaText(std::string_view text, Emit emit)
{
    const std::size_t n = text.size();
    std::size_t p = 0;
    while (p < n && IsBlankChar(text[p]))
        ++p;
    while (p < n)
    {
        std::string item;
        if (text[p] == '"')
        {
            ++p;
            for (;;)
            {
                std::size_t q = text.find('"', p);
                if (q == std::string_view::npos)
                {
                    // Unbalanced: the rest of the text is the item.
                    item.append(text.substr(p));
                    p = n;
                    break;
                }
                if (q + 1 < n && text[q + 1] == '"')
                {
                    // A doubled quote stands for one: keep the text up to and including the first.
                    item.append(text.substr(p, q + 1 - p));
                    p = q + 2;
                    continue;
                }
                item.append(text.substr(p, q - p));
                p = q + 1;
                break;
            }
        }
        else
        {
            std::size_t start = p;
            while (p < n && !IsBlankChar(text[p]) && text[p] != ',')
                ++p;
            item.assign(text.data() + start, p - start);
        }
        emit(std::move(item));
        while (p < n && IsBlankChar(text[p]))
            ++p;
        if (p < n && text[p] == ',')
        {
            if (p + 1 == n)
                emit(std::string());
            ++p;
            while (p < n && IsBlankChar(text[p]))
                ++p;
        }
    }
}

// Reads the text form, calling emit(std::string &&line) for each line.
template <typename Emit> void ReadText(std::string_view text, Emit emit)
{
    const std::size_t n = text.size();
    std::size_t p = 0;
    while (p < n)
    {
        std::size_t start = p;
        while (p < n && text[p] != '\r' && text[p] != '\n')
            ++p;
        emit(std::string(text.data() + start, p - start));
        if (p < n && text[p] == '\r')
            ++p;
        if (p < n && text[p] == '\n')
            ++p;
    }
}
} // namespace

std::vector<std::string> cStringList::ParseCommaText(std::string_view text)
{
    std::vector<std::string> items;
    ReadCommaText(text, [&](std::string &&item) { items.push_back(std::move(item)); });
    return items;
}

std::vector<std::string> cStringList::ParseText(std::string_view text)
{
    std::vector<std::string> lines;
    ReadText(text, [&](std::string &&line) { lines.push_back(std::move(line)); });
    return lines;
}

void cStringList::FinishBulkLoad()
{
    if (!IsSorted)
        return;
    // Sorting once keeps a long text linear-logarithmic instead of one insertion per item.
    Sort();
    if (DuplicatesMode == cDuplicates::Accept)
        return;
    auto last = std::unique(Items.begin(), Items.end(),
                            [](const cItem &a, const cItem &b) { return CompareText(a.Text, b.Text) == 0; });
    Items.erase(last, Items.end());
}

void cStringList::SetCommaText(std::string_view text)
{
    // Read into a new vector first: the text may be one of this list's own items.
    std::vector<cItem> items;
    items.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1);
    ReadCommaText(text, [&](std::string &&item) { items.push_back(cItem{std::move(item), 0}); });
    Items.swap(items);
    FinishBulkLoad();
}

std::string cStringList::Text() const
{
    std::string out;
    std::size_t total = 0;
    for (const cItem &item : Items)
        total += item.Text.size() + 2;
    out.reserve(total);
    for (const cItem &item : Items)
    {
        out += item.Text;
        out += "\r\n";
    }
    return out;
}

void cStringList::SetText(std::string_view text)
{
    std::vector<cItem> items;
    ReadText(text, [&](std::string &&line) { items.push_back(cItem{std::move(line), 0}); });
    Items.swap(items);
    FinishBulkLoad();
}

std::vector<std::string> cStringList::ToVector() const
{
    std::vector<std::string> out;
    out.reserve(Items.size());
    for (const cItem &item : Items)
        out.push_back(item.Text);
    return out;
}
