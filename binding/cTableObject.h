// One table joined to the main record of a cEditObjects collection under an alias.
#pragma once

#include <string>

class cTableObject
{
public:
    cTableObject(const std::string &tableName, const std::string &alias, const std::string &linkField)
        : TableName(tableName), Alias(alias), LinkField(linkField)
    {
    }

    std::string TableName;
    // Key ("Seq") of the joined record found by the last load; empty when it was not found.
    std::string Key;
    std::string Alias;
    // Field code whose value leads to the joined record (a main-table or earlier-alias code).
    std::string LinkField;
};
