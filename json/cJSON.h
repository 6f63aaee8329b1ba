// cJSON: a JSON value tree, with its relaxed reader and its compact writer.
//
// A cJSON is an object or an array holding an ordered list of members. Every member has a
// name (always empty in an array), a stored value text and a kind (JsonNull ... JsonObject);
// a member of kind JsonArray or JsonObject also owns a child cJSON, and its stored text is
// "array" or "object". Texts are std::string bytes (8-bit); no Qt and no toolkit dependency.
//
// Reading never fails: malformed text gives whatever the reading rules make of it, and
// callers notice a bad text only by the members they expect being absent (GetValue gives "").
// Choices made in the reading rules:
//   - SplitTopLevel: a backslash escapes only the one character after it, so text that the
//     writer produced reads back and splits at the right commas; the colon after a name is
//     found by the same quote rules (a quote inside quotes of the other kind is plain, a
//     backslash escapes a quote or a backslash after it);
//   - numbers are recognised with "." as the decimal separator, whatever the locale;
//   - a member name that contains "=" is stored and found whole;
//   - string values and quoted names read back exactly as the writer wrote them: a backslash
//     before " ' \ CR LF or TAB is dropped and that character kept; every other backslash stays
//     (there are no letter escapes: a backslash and n are two characters);
//   - nesting deeper than MaxDepth levels is read as a word instead of recursing;
//   - parsing is linear in the input size: the outermost scan records where every bracket and
//     brace closes, and nested levels jump over those regions instead of scanning them again;
//     in a well-nested text the scan also records the commas directly inside each region, and a
//     level whose value is exactly one region splits at those instead of looking at its bytes.
//     The levels read from a text, and their member lists, are made in one arena that goes with
//     the level that read the text.
//     As the name reader follows the split's quote rules, every nested level starts outside
//     quotes, as the outermost scan is there, and can use its regions. Should a level start in
//     another quote state, its rescanning is bounded by 16 times the text size plus 16 MiB
//     characters, after which deeper values are read as words, as beyond MaxDepth; texts up to
//     32 KiB never reach that bound and read exactly by the plain rules.
// Lookups by name ignore ASCII letter case; the first match wins; insertion order is kept.
// A repeated name follows SetValue's steps literally: the earlier member is removed and the new
// one appended when the name, as written, finds it with a non-empty value; otherwise (a quoted
// repeat of an unquoted name, or an empty new value) the line is rewritten in place.
// No operation throws; an index out of range gives "", JsonNull or nullptr. A tree is not
// copyable, and not safe for use from two threads at once, even for reading only (lookups
// may tidy the member list).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The kind code carried by each member.
enum cJSONKind : int
{
    JsonNull = 0,     // stored "null", written null
    JsonBoolean = -1, // stored "1" or "0", written true or false
    JsonNumber = -2,  // stored as written, written as stored
    JsonString = -3,  // stored without quotes, written "escaped"
    JsonWord = -4,    // an unquoted word, written as stored
    JsonArray = -5,   // stored "array", the member owns a child array
    JsonObject = -6   // stored "object", the member owns a child object
};

class cJSON;
struct cJSONScanTable; // bracket regions recorded while reading a text (cJSONScan.h)
class cJSONArena;      // memory for the levels read from one text (cJSONScan.h)
void *cJSONArenaAllocate(cJSONArena *arena, std::size_t bytes, std::size_t alignment);

// Where a member list keeps its members: in the arena of the text its level was read from (freed
// all at once with the tree that read the text), or on the heap.
template <typename T> struct cJSONArenaAllocator
{
    using value_type = T;
    cJSONArena *Arena = nullptr;
    cJSONArenaAllocator() = default;
    explicit cJSONArenaAllocator(cJSONArena *arena) : Arena(arena) {}
    template <typename U> cJSONArenaAllocator(const cJSONArenaAllocator<U> &other) : Arena(other.Arena) {}
    T *allocate(std::size_t n)
    {
        return Arena ? static_cast<T *>(cJSONArenaAllocate(Arena, n * sizeof(T), alignof(T)))
                     : std::allocator<T>().allocate(n);
    }
    void deallocate(T *p, std::size_t n)
    {
        if (!Arena)
            std::allocator<T>().deallocate(p, n);
    }
    bool operator==(const cJSONArenaAllocator &other) const { return Arena == other.Arena; }
};

// Destroys a child: one read into an arena is only destructed, its memory goes with the arena.
struct cJSONChildDelete
{
    void operator()(cJSON *child) const;
};
using cJSONChild = std::unique_ptr<cJSON, cJSONChildDelete>;

// The member list of a cJSON (Items()): read-only access by index, in insertion order, plus case-insensitive
// lookup by name (first match wins, constant time on average).
class cJSONItems
{
public:
    cJSONItems() = default;
    explicit cJSONItems(cJSONArena *arena) : Slots(cJSONArenaAllocator<cMember>(arena)) {}
    cJSONItems(const cJSONItems &) = delete;
    cJSONItems &operator=(const cJSONItems &) = delete;
    ~cJSONItems();

    int Count() const { return static_cast<int>(Live); }
    // The line: "name=value" in an object, the value text alone in an array.
    std::string Strings(int i) const;
    // The member name ("" in an array, or for i out of range).
    const std::string &Names(int i) const
    {
        const cMember *m = At(i);
        return m ? m->Name : Empty();
    }
    // The stored value text ("null", "1", "array", "object", the string without quotes, ...).
    const std::string &ValueFromIndex(int i) const
    {
        const cMember *m = At(i);
        return m ? m->Value : Empty();
    }
    // The kind code (JsonNull for i out of range).
    int Kind(int i) const;
    // The child array or object of member i, or nullptr when it has none.
    cJSON *Object(int i) const;
    // Index of the first member with that name, letter case ignored; -1 when none (and always
    // -1 in an array, whose members have no names).
    int IndexOfName(std::string_view name) const;
    // The stored value text of that member; "" when there is none.
    std::string Values(std::string_view name) const;

private:
    friend class cJSON;
    static constexpr std::size_t None = static_cast<std::size_t>(-1);
    struct cMember
    {
        cMember() = default;
        cMember(std::string_view name, bool named) : Name(name), Named(named) {}
        std::string Name;
        std::string Value;
        cJSONChild Child;
        int Kind = JsonNull;
        bool Named = false; // an object member (false in an array)
        bool Alive = true;  // false once removed, until the next compaction
    };
    // Member i of the live ones, or nullptr (inline: readers of a reply call it for every member).
    const cMember *At(int i) const
    {
        if (Dead != 0)
            Compact();
        return i < 0 || static_cast<std::size_t>(i) >= Slots.size() ? nullptr
                                                                    : &Slots[static_cast<std::size_t>(i)];
    }
    static const std::string &Empty();
    std::size_t Find(std::string_view name) const; // slot of the first live member, or None
    // Find with the name's NameBit already worked out.
    std::size_t Find(std::string_view name, std::uint64_t bit) const;
    std::size_t Append(std::string_view name, bool named);
    std::size_t Append(std::string_view name, bool named, std::uint64_t bit);
    void Remove(std::size_t slot);
    void Clear();
    void Compact() const;
    void BuildIndex() const;

    // Members in insertion order; removed ones stay as dead slots until the next compaction.
    mutable std::vector<cMember, cJSONArenaAllocator<cMember>> Slots;
    mutable std::size_t Dead = 0;
    std::size_t Live = 0;
    // Lower-cased name -> slot, built once an object has more than 32 members (names are
    // unique ignoring case, so the first match is the only one).
    mutable std::unique_ptr<std::unordered_map<std::string, std::size_t>> ByName;
    mutable bool Indexed = false;
    // One bit per name ever appended (NameBit), letter case ignored; removals leave theirs set. A
    // name whose bit is clear is in no slot: the scan for it, and for a repeat when a member is
    // stored, is skipped.
    std::uint64_t NameBits = 0;
    // The filter bit of a name: equal for names that are equal ignoring ASCII letter case. It
    // looks at the size and at four characters (first, middle and the last two), so its cost does
    // not grow with the name; names that share those share a bit, which only costs a scan.
    static std::uint64_t NameBit(std::string_view name)
    {
        const std::size_t n = name.size();
        std::uint32_t h = static_cast<std::uint32_t>(n);
        if (n > 0)
        {
            // Setting bit 5 lower-cases a letter (and merges a few other characters).
            const auto at = [&](std::size_t i) { return static_cast<unsigned char>(name[i]) | 0x20u; };
            h = h * 0x01000193u ^ at(0);
            h = h * 0x01000193u ^ at(n / 2);
            h = h * 0x01000193u ^ at(n - 1);
            h = h * 0x01000193u ^ at(n > 1 ? n - 2 : 0);
        }
        // The top bits of a Fibonacci product depend on every bit of h.
        return std::uint64_t{1} << ((h * 0x9E3779B9u) >> 26);
    }
};

class cJSON
{
public:
    // Nesting bound: a "[...]" or "{...}" value that would make a tree deeper than this many
    // levels (the root being level 1) is read as a word (so it becomes a string) instead.
    static constexpr int MaxDepth = 512;

    // Builds a tree from text (Parse). name (trimmed) becomes Name; parent may be null.
    explicit cJSON(std::string_view text = {}, std::string_view name = {}, cJSON *parent = nullptr);
    ~cJSON();
    cJSON(const cJSON &) = delete;
    cJSON &operator=(const cJSON &) = delete;

    // The tree's own fields.
    std::string Name;        // member name under which the parent holds this object; "" for a root
    bool IsObject = true;    // true for an object, false for an array
    cJSON *Parent = nullptr; // the owner; informational only

    // Discards every member (destroying children) and reads text into this object; IsObject
    // is decided again from the text (first character "[" makes an array).
    void Parse(std::string_view text);
    // The compact text: "" when there are no members, else {name:value,...} or [value,...].
    std::string ToText() const;

    // Adds or replaces a member from a value written in the notation, classified by these
    // rules: "" -> null; 'x' or "x" -> string (quotes removed when matched, a quote character
    // alone giving the empty text; escapes undone as by UnescapeText); [..] -> child array; {..} -> child
    // object; true/false -> boolean; a number other than 0 -> number; a text holding any of { } [ ] blank " ,
    // ' \ -> string; anything else -> word. On an array, name is ignored and the value is appended.
    void SetValue(std::string_view name, std::string_view valueText);
    // Stores text exactly as a string member (kind JsonString), without classification and
    // without undoing escapes; replaces like SetValue.
    void SetString(std::string_view name, std::string_view text);
    // Whether a member with that name exists (letter case ignored).
    bool HasValue(std::string_view name) const;
    // The stored value text of the member; "" when missing or when the stored text is "null";
    // "array" or "object" for a child.
    std::string GetValue(std::string_view name) const;
    // The child of that member. A missing member is created as an empty object (stored text
    // "object") and returned; a member that exists but holds no child gives nullptr. On an
    // array the name is ignored and a new empty object element is appended and returned.
    cJSON *GetObject(std::string_view name);

    // The member list, and the number of members.
    const cJSONItems &Items() const { return Members; }
    // Moves the stored value text of member index out, leaving that member's text empty; "" for an
    // index out of range. For readers that keep the texts and drop the tree afterwards.
    std::string TakeValueFromIndex(int index);
    int Count() const { return Members.Count(); }

    // Building blocks of reading and writing, public for the tests and for callers that need them.
    bool IsArray() const { return !IsObject; }
    void Clear();                            // destroys every member
    void RemoveValue(std::string_view name); // destroys the first member of that name
    cJSON *FindObject(std::string_view name, bool create);
    // ValueText: the value of the named member written by its kind ("" when missing).
    // ItemText: member index written as the writer writes it ("name:value" in an object).
    std::string ValueText(std::string_view name) const;
    std::string ItemText(int index) const;
    int Depth() const { return Level; }

    // Text helpers used by reading and writing.
    static std::string EscapeText(std::string_view text); // \ before " CR LF TAB and \ .
    // Undoes EscapeText: a backslash before " ' \ CR LF or TAB is dropped, any other one kept.
    static std::string UnescapeText(std::string_view text);
    static std::string
    Unquote(std::string_view name); // 'x' / "x" -> x, trimmed, unescaped; ' or " alone -> ""
    static std::string QuoteName(std::string_view name); // escaped, quoted if needed
    // Trims, tells the kind by the first character ("[" = array), drops first and last character.
    static std::string_view StripEnclosing(std::string_view text, bool &isObject);
    // Splits at commas outside quotes, brackets and braces; items trimmed; always >= 1 item.
    static std::vector<std::string> SplitTopLevel(std::string_view text);
    // Returns the trimmed text before the first stop character outside quotes; text keeps the
    // rest from the stop character on, or becomes empty when none was found.
    static std::string ExtractUntil(std::string &text, std::string_view stopCharacters);
    // Drops characters up to and including blank at both ends.
    static std::string_view Trim(std::string_view text);
    // The number test: the whole text is a decimal number ("." separator, optional sign and
    // exponent, no blanks) that is not 0 and within the range of the 80-bit extended type
    // (decimal exponent -4951 to 4932; beyond it the conversion fails or gives 0).
    static bool IsNumber(std::string_view text);

private:
    friend struct cJSONChildDelete;
    // A child level read from a text into its arena (no text of its own to read).
    cJSON(std::string_view name, cJSON *parent, cJSONArena *arena);
    void ReadText(std::string_view text, const cJSONScanTable *table);
    // One item of a level's split (trimmed): a member "name:value" of an object, a value of an array.
    void ReadItem(std::string_view item, const cJSONScanTable *table);
    // Storing a member: classify the value (building the child of an array or object) into a
    // member line, then put it under its name.
    void Store(std::string_view name, std::string_view value, bool literalString,
               const cJSONScanTable *table);
    void Classify(std::string_view name, std::string_view value, bool literalString,
                  const cJSONScanTable *table, cJSONItems::cMember &out);
    // A bracketed value read as a level of its own into out; false when that would go too deep or
    // the work bound is spent (the value is then read as a word).
    bool ReadNestedLevel(std::string_view name, std::string_view value, const cJSONScanTable *table,
                         cJSONItems::cMember &out);
    void PutMember(std::string_view name, cJSONItems::cMember value, bool mayMove);
    void WriteTo(std::string &out) const;
    void WriteValueTo(const cJSONItems::cMember &member, std::string &out) const;
    void WriteMemberTo(const cJSONItems::cMember &member, std::string &out) const;

    // The memory of the levels read from the last text this level read itself (declared before
    // the members, so that it outlives them).
    std::unique_ptr<cJSONArena> Arena;
    cJSONItems Members;
    int Level = 1;
    bool InArena = false; // made in the arena of a text read by an outer level
};
