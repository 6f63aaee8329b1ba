#include "server/Catalogue.h"

#include "toolkit/StringList.h"

#include <algorithm>

bool cTableDef::HasField(int field) const
{
    return std::binary_search(Fields.begin(), Fields.end(), field);
}

int cTableDef::HighestShortField() const
{
    int highest = 1;
    for (int f : Fields)
        if (f < 1000)
            highest = f;
    return highest;
}

namespace
{
std::vector<cTableDef> MakeTables()
{
    std::vector<cTableDef> t = {
        {"Personnel", {1, 2, 9, 10, 11, 12, 13, 19, 22, 23, 26, 29, 30, 31}},
        {"ProviderEntities", {1, 10, 11, 12, 13, 14, 15, 16, 18, 20, 21, 23, 26, 27, 28}},
        {"Cases",
         {1, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 30, 34, 35, 36, 37, 38, 1001, 1002}},
        {"Patients", {1, 10, 11, 12, 13, 14}},
        {"CaseNeeds", {1, 10, 11, 12, 13, 14, 15, 16}},
        {"CaseNeedsQuote", {1, 10, 11, 12, 13, 14, 15, 16, 1001}},
        {"InsuranceTypes", {1, 10, 11}},
        {"ProviderTypes", {1, 10}},
        {"ProviderCategories", {1, 10, 11, 12}},
        {"ProviderCategoryDetails", {1, 10, 11}},
        {"ProviderInsuranceLink", {1, 10, 11}},
        {"ProviderCategoryLink", {1, 10, 11, 13, 14}},
        {"ProviderCategoryDetailLink", {1, 10, 11}},
        {"DiagCodeDetail", {1, 10, 11, 1001}},
        {"TreatmentCodeDetail", {1, 10, 11, 1001}},
        {"ZipCodes", {1, 10, 11, 12}},
    };
    return t;
}

bool SameText(std::string_view a, std::string_view b)
{
    return cStringList::CompareText(a, b) == 0;
}
} // namespace

const std::vector<cTableDef> &cCatalogue::Tables()
{
    static const std::vector<cTableDef> tables = MakeTables();
    return tables;
}

const cTableDef *cCatalogue::FindTable(std::string_view name)
{
    for (const cTableDef &t : Tables())
        if (SameText(t.Name, name))
            return &t;
    return nullptr;
}

bool cCatalogue::NumberedIndex(const cTableDef &table, int number, cIndexDef &index)
{
    if (number == 1)
    {
        index = {1, 1};
        return true;
    }
    if (number == 4 && table.Name == "Personnel")
    {
        index = {22, 1};
        return true;
    }
    if (number == 2 && table.Name == "ZipCodes")
    {
        index = {10, 1};
        return true;
    }
    return false;
}

bool cCatalogue::NamedIndex(const cTableDef &table, std::string_view name, cIndexDef &index)
{
    if (SameText(name, "L2"))
    {
        if (table.Name == "InsuranceTypes")
            index = {0, 11};
        else if (table.HasField(10))
            index = {10, 1};
        else
            return false;
        return true;
    }
    if (SameText(name, "L3"))
    {
        if (table.Name == "Personnel")
            index = {9, 1};
        else if (table.Name == "InsuranceTypes")
            index = {0, 10};
        else
            return false;
        return true;
    }
    if (SameText(name, "L1"))
    {
        index = {0, 1};
        return true;
    }
    return false;
}

int cCatalogue::FieldNumber(const cTableDef &table, std::string_view code)
{
    if (!code.empty() && (code[0] == 'f' || code[0] == 'F'))
        code.remove_prefix(1);
    if (code.empty() || code.size() > 6)
        return 0;
    int n = 0;
    for (char c : code)
    {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return table.HasField(n) ? n : 0;
}
