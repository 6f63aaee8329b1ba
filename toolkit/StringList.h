// The string list of the form toolkit: an ordered list of byte strings, each carrying an
// integer or object slot, with the comma-text, name=value and text forms, and an optional
// sorted mode with case-insensitive binary search.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class cDuplicates
{
    Accept, // sorted lists keep equal items
    Ignore, // adding an item already present returns the existing index
    Error   // adding an item already present adds nothing and returns -1
};

class cStringList
{
public:
    cStringList() = default;

    int Count() const { return static_cast<int>(Items.size()); }
    bool Empty() const { return Items.empty(); }
    // Item i; an index out of range gives the empty text.
    const std::string &Strings(int i) const;
    const std::string &operator[](int i) const { return Strings(i); }
    void SetString(int i, std::string_view s);

    // The slot carried by each item: an integer, or an object pointer kept in the same slot.
    std::intptr_t Integer(int i) const;
    void SetInteger(int i, std::intptr_t value);
    void *Object(int i) const { return reinterpret_cast<void *>(Integer(i)); }
    void SetObject(int i, void *object) { SetInteger(i, reinterpret_cast<std::intptr_t>(object)); }

    // Appends (or, when sorted, inserts in order); returns the index, or -1 (cDuplicates::Error).
    int Add(std::string_view s);
    int AddInteger(std::string_view s, std::intptr_t value);
    int AddObject(std::string_view s, void *object)
    {
        return AddInteger(s, reinterpret_cast<std::intptr_t>(object));
    }
    void Insert(int i, std::string_view s); // not for sorted lists
    void Delete(int i);
    void Clear() { Items.clear(); }
    void Assign(const cStringList &other) { Items = other.Items; }

    // Index of the first item equal to s ignoring letter case, or -1. Binary search when sorted.
    int IndexOf(std::string_view s) const;
    // Sorted lists: binary search ignoring letter case. Returns true when found; index is the
    // position of the (first) match or where s would be inserted.
    bool Find(std::string_view s, int &index) const;

    bool Sorted() const { return IsSorted; }
    void SetSorted(bool sorted); // sorting an unsorted list sorts it now
    // Sorts the items now (stable, ignoring letter case) without changing the sorted mode.
    void Sort();
    cDuplicates Duplicates() const { return DuplicatesMode; }
    void SetDuplicates(cDuplicates mode) { DuplicatesMode = mode; }

    // name=value lines: the name ends at the first '='. Lookups ignore letter case, first match.
    std::string Names(int i) const;
    std::string ValueFromIndex(int i) const;
    int IndexOfName(std::string_view name) const;
    std::string Values(std::string_view name) const; // "" when absent
    // An empty value removes the first line of that name; otherwise replaces it or appends one.
    void SetValues(std::string_view name, std::string_view value);

    // Comma-text form (see StringList.cpp for the exact quoting rules).
    std::string CommaText() const;
    // Replaces the items (their slots become 0). A sorted list sorts the items read, dropping
    // repeated ones unless its duplicates mode is Accept.
    void SetCommaText(std::string_view text);
    // The items a comma-text reads as, without a list.
    static std::vector<std::string> ParseCommaText(std::string_view text);

    // Text form: each item followed by CR LF when written; CR LF, LF or CR end a line when read.
    std::string Text() const;
    void SetText(std::string_view text); // replaces the items as SetCommaText does
    // The lines a text reads as, without a list.
    static std::vector<std::string> ParseText(std::string_view text);

    // Case-insensitive comparison used by sorting and lookups (ASCII letters fold).
    static int CompareText(std::string_view a, std::string_view b);

    std::vector<std::string> ToVector() const;

private:
    struct cItem
    {
        std::string Text;
        std::intptr_t Slot = 0;
    };
    void FinishBulkLoad();

    std::vector<cItem> Items;
    bool IsSorted = false;
    cDuplicates DuplicatesMode = cDuplicates::Ignore;
};
