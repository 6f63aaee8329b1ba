// The tables the simulated data server knows: their field numbers and the indexes by which
// they can be read. Every table and column name that reaches SQL comes from here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct cTableDef
{
    std::string Name;
    std::vector<int> Fields; // ascending, field 1 (Seq) first; 1001 and up are memo fields
    bool HasField(int field) const;
    int HighestShortField() const; // highest field below 1000
};

// How an index reads a table: records whose field `KeyField` equals the key (0: every record),
// ordered by `OrderField` (1: by Seq). Text keys compare without regard to letter case.
struct cIndexDef
{
    int KeyField = 0;
    int OrderField = 1;
};

class cCatalogue
{
public:
    // The table of that name (letter case ignored), or null.
    static const cTableDef *FindTable(std::string_view name);
    static const std::vector<cTableDef> &Tables();
    // Numbered indexes of the record reads ("List"): 1 by Seq, Personnel 4 by e-mail,
    // ZipCodes 2 by zip. False for any other number.
    static bool NumberedIndex(const cTableDef &table, int number, cIndexDef &index);
    // Named indexes of the batch query ("L2", "L3"). False for an unknown name.
    static bool NamedIndex(const cTableDef &table, std::string_view name, cIndexDef &index);
    // "f22", "F22" or "22" to 22; 0 when the code names no field of the table.
    static int FieldNumber(const cTableDef &table, std::string_view code);
};
