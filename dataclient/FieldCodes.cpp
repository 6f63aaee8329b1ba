#include "dataclient/FieldCodes.h"

#include "toolkit/DateTime.h"

std::string NormalizeFieldCode(std::string_view code)
{
    std::string out;
    if (StrToIntDef(code, 0) != 0)
        out.push_back('f');
    out.append(code);
    return out;
}

static std::string CutSuffix(std::string_view table)
{
    if (table.size() <= 4)
        return std::string();
    return std::string(table.substr(0, table.size() - 4));
}

std::string TableNameForRequest(std::string_view table)
{
    if (table.find('.') != std::string_view::npos)
        return CutSuffix(table);
    return std::string(table);
}

std::string TableNameForUpdate(std::string_view table)
{
    if (table.find(".def") != std::string_view::npos)
        return CutSuffix(table);
    return std::string(table);
}

std::string EncodeNoteLine(std::string_view line)
{
    std::size_t equals = line.find('=');
    if (line.size() < 2 || equals == std::string_view::npos)
        return std::string();
    std::string op(1, line[0]);
    if (op == "*")
        op = "R";
    else if (op == "@")
        op = "A";
    else if (op == "^")
        op = "I";
    std::string_view numbers = equals > 0 ? line.substr(1, equals - 1) : std::string_view();
    std::string_view first = numbers;
    std::string_view second;
    std::size_t colon = numbers.find(':');
    if (colon != std::string_view::npos)
    {
        first = numbers.substr(0, colon);
        second = numbers.substr(colon + 1);
    }
    cStringList items;
    items.Add(IntToStr(StrToIntDef(first, 0)));
    items.Add(line.substr(equals + 1));
    items.Add(op);
    items.Add(IntToStr(StrToIntDef(second, 0)));
    return items.CommaText();
}

void EncodeNoteLines(cStringList &notes)
{
    for (int i = 0; i < notes.Count(); ++i)
        notes.SetString(i, EncodeNoteLine(notes[i]));
}
