#include "server/JoinResolver.h"

#include "toolkit/StringList.h"

bool cJoinResolver::SplitCode(std::string_view code, int aliasCount, int &alias, int &field,
                              std::string &error) const
{
    size_t split = 0;
    while (split < code.size() && static_cast<unsigned char>(code[split]) > '9')
        ++split;
    std::string_view name = code.substr(0, split);
    std::string_view number = code.substr(split);
    error = "Unknown field code " + std::string(code.substr(0, 40));
    if (number.empty() || number.size() > 6)
        return false;
    field = 0;
    for (char c : number)
    {
        if (c < '0' || c > '9')
            return false;
        field = field * 10 + (c - '0');
    }
    const cTableDef *table = nullptr;
    if (name.empty() || cStringList::CompareText(name, "f") == 0)
    {
        alias = -1;
        table = Main;
    }
    else
    {
        alias = -2;
        for (int i = 0; i < aliasCount; ++i)
            if (cStringList::CompareText(Aliases[i].Name, name) == 0)
            {
                alias = i;
                table = Aliases[i].Table;
                break;
            }
        if (alias == -2)
            return false;
    }
    if (!table || !table->HasField(field))
        return false;
    error.clear();
    return true;
}

bool cJoinResolver::Prepare(const cTableDef &mainTable, std::string_view aliasList, std::string &error)
{
    Main = &mainTable;
    Aliases.clear();
    cStringList items;
    items.SetCommaText(aliasList);
    for (int i = 0; i < items.Count(); ++i)
    {
        const std::string &item = items[i];
        if (item.empty())
            continue;
        if (static_cast<int>(Aliases.size()) >= MaxAliases)
        {
            error = "Too many aliases";
            return false;
        }
        size_t eq = item.find('=');
        size_t colon = item.find(':', eq == std::string::npos ? 0 : eq);
        if (eq == std::string::npos || colon == std::string::npos || eq == 0)
        {
            error = "Invalid alias item " + item.substr(0, 40);
            return false;
        }
        cAlias a;
        a.Name = item.substr(0, eq);
        for (char c : a.Name)
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            {
                error = "Invalid alias " + a.Name.substr(0, 40);
                return false;
            }
        if (cStringList::CompareText(a.Name, "f") == 0)
        {
            error = "Invalid alias f";
            return false;
        }
        a.Table = cCatalogue::FindTable(item.substr(eq + 1, colon - eq - 1));
        if (!a.Table)
        {
            error = "Unknown table " + item.substr(eq + 1, std::min<size_t>(colon - eq - 1, 40));
            return false;
        }
        if (!SplitCode(item.substr(colon + 1), static_cast<int>(Aliases.size()), a.LinkAlias, a.LinkField,
                       error))
            return false;
        Aliases.push_back(std::move(a));
    }
    return true;
}

void cJoinResolver::Load(const cRecord &mainRecord)
{
    MainRecord = mainRecord;
    for (cAlias &a : Aliases)
    {
        a.Found = false;
        a.Record = cRecord();
        std::string link;
        if (a.LinkAlias < 0)
            link = MainRecord.Get(a.LinkField);
        else if (Aliases[a.LinkAlias].Found)
            link = Aliases[a.LinkAlias].Record.Get(a.LinkField);
        long long seq = 0;
        for (char c : link)
        {
            if (c < '0' || c > '9' || seq > 100000000000LL)
            {
                seq = 0;
                break;
            }
            seq = seq * 10 + (c - '0');
        }
        if (seq > 0)
            a.Found = Store.ReadBySeq(*a.Table, seq, a.Record);
    }
}

bool cJoinResolver::Value(std::string_view code, std::string &value, std::string &error) const
{
    int alias = -1, field = 0;
    if (!SplitCode(code, static_cast<int>(Aliases.size()), alias, field, error))
        return false;
    if (alias < 0)
        value = MainRecord.Get(field);
    else
        value = Aliases[alias].Found ? Aliases[alias].Record.Get(field) : std::string();
    return true;
}

long long cJoinResolver::JoinedSeq(std::string_view tableName) const
{
    for (const cAlias &a : Aliases)
        if (a.Table->Name == tableName)
            return a.Found ? a.Record.Seq : 0;
    return 0;
}
