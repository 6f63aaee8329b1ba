// Resolves an alias list ("cn=CaseNeeds:f10,ca=Cases:cn10,...") from a main record: each alias
// names the record of its table whose Seq is the value of its link field. Field codes are then
// an alias followed by a field number ("cn14"), "f" (or no alias) meaning the main record.
#pragma once

#include "server/Store.h"

#include <string>
#include <string_view>
#include <vector>

class cJoinResolver
{
public:
    static constexpr int MaxAliases = 32;

    explicit cJoinResolver(cRecordReader &store) : Store(store) {}

    // Parses and checks the alias list against the catalogue. False with `error`.
    bool Prepare(const cTableDef &mainTable, std::string_view aliasList, std::string &error);
    // Reads the joined records for a main record (missing links give empty values).
    void Load(const cRecord &mainRecord);
    // Value of a field code; false with `error` when the code names no known alias or field.
    bool Value(std::string_view code, std::string &value, std::string &error) const;
    // Seq of the record joined under the first alias of that table; 0 when none was found.
    long long JoinedSeq(std::string_view tableName) const;

private:
    struct cAlias
    {
        std::string Name;
        const cTableDef *Table = nullptr;
        int LinkAlias = -1; // -1: the main record
        int LinkField = 0;
        bool Found = false;
        cRecord Record;
    };
    // Splits a code into its alias index (-1 main) and field number; false when unknown.
    bool SplitCode(std::string_view code, int aliasCount, int &alias, int &field, std::string &error) const;

    cRecordReader &Store;
    const cTableDef *Main = nullptr;
    cRecord MainRecord;
    std::vector<cAlias> Aliases;
};
