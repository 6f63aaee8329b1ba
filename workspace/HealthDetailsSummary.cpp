#include "workspace/HealthDetailsSummary.h"

#include "toolkit/StringList.h"
#include "json/cJSON.h"

#include <cctype>
#include <string>

namespace
{
constexpr int GridRows = 20;
constexpr int GridColumns = 9;
constexpr int StopColumn = 6;
constexpr int LastGivenColumn = 7;
const std::string Separator = "  --  ";
const std::string ItemGap = "   ";

std::string Trimmed(std::string_view text)
{
    return std::string(cJSON::Trim(text));
}

std::string Upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The text of a member that holds a plain value; "" for a missing member, null, or a child.
std::string ScalarText(const cJSON &object, std::string_view name)
{
    const cJSONItems &items = object.Items();
    const int i = items.IndexOfName(name);
    if (i < 0 || items.Object(i))
        return "";
    return object.GetValue(name);
}

// The child object of a member, or null when it is missing or not an object (never created).
cJSON *ChildObject(const cJSON &object, std::string_view name)
{
    const cJSONItems &items = object.Items();
    const int i = items.IndexOfName(name);
    if (i < 0 || items.Kind(i) != JsonObject)
        return nullptr;
    return items.Object(i);
}

void AddGrid(const cJSON &grid, cStringList &list)
{
    list.Add("");
    list.Add("Prescriptions:");
    for (int k = 1; k <= GridRows; ++k)
    {
        const cJSON *line = ChildObject(grid, "Line" + std::to_string(k));
        if (!line)
            continue;
        std::string row;
        for (int c = 1; c <= GridColumns; ++c)
        {
            const std::string value = ScalarText(*line, "Col" + std::to_string(c));
            if (value.empty())
                continue;
            if (c == StopColumn)
                row += "Take Until: ";
            else if (c == LastGivenColumn)
                row += "Last Given: ";
            row += value + ", ";
        }
        if (!row.empty())
            list.Add(ItemGap + row.substr(0, row.size() - 2));
    }
    list.Add("");
}

std::string ItemText(const cJSON &item)
{
    const std::string caption = Trimmed(ScalarText(item, "Caption"));
    const std::string data = ScalarText(item, "Data");
    if (Upper(data) == "Y")
        return caption + ItemGap;
    if (caption.empty())
        return data + ItemGap;
    return caption + ": " + data + ItemGap;
}

void AddGroup(const cJSON &group, cStringList &list)
{
    const cJSON *details = ChildObject(group, "Details");
    if (!details)
        return;
    const std::string header = Trimmed(ScalarText(group, "Caption")) + Separator;
    std::string line = header;
    bool holdsItems = false;
    bool hadGrid = false;
    auto flush = [&]
    {
        if (line.size() >= ItemGap.size())
            list.Add(line.substr(0, line.size() - ItemGap.size()));
    };
    const cJSONItems &items = details->Items();
    for (int i = 0; i < items.Count(); ++i)
    {
        const cJSON *item = items.Kind(i) == JsonObject ? items.Object(i) : nullptr;
        if (!item)
            continue;
        if (cStringList::CompareText(items.Names(i), "PrescriptionsStringGrid") == 0)
        {
            // The rows go out on their own lines; the group's items so far keep their line.
            if (holdsItems)
                flush();
            AddGrid(*item, list);
            line = header;
            holdsItems = false;
            hadGrid = true;
            continue;
        }
        line += ItemText(*item);
        holdsItems = true;
    }
    if (!hadGrid || holdsItems)
        flush();
}
} // namespace

void RenderHealthDetails(cStringList &list)
{
    const cJSON details(list.Values("f1002"));
    list.Clear();
    const cJSONItems &groups = details.Items();
    for (int i = 0; i < groups.Count(); ++i)
        if (groups.Kind(i) == JsonObject && groups.Object(i))
            AddGroup(*groups.Object(i), list);
}
