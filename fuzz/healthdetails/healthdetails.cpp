// Fuzzes the health details JSON (the input) as the case pages take it: the summary lines of
// RenderHealthDetails, and the walk of the health detail view's LoadDetails over the table of
// groups (the lookups it makes on the tree, without the widgets it fills).
//  - nothing crashes, hangs or trips a sanitizer;
//  - the summary of a text is the same each time;
//  - the view's walk, which creates the missing rows of a prescriptions grid, leaves the summary
//    of the tree unchanged (a created row is empty and adds no line). Checked on trees without
//    an empty object: one is written as nothing and so reads back as no grid, unlike a filled one.
#include "toolkit/StringList.h"
#include "workspace/HealthDetailGroups.h"
#include "workspace/HealthDetailsSummary.h"
#include "json/cJSON.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
constexpr std::size_t MaxInput = 256 * 1024;

void Check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "healthdetails fuzz: %s\n", what);
    std::abort();
}

std::vector<std::string> Summary(const std::string &json)
{
    cStringList list;
    list.SetValues("f1002", json);
    RenderHealthDetails(list);
    return list.ToVector();
}

bool HasEmptyObject(const cJSON &tree)
{
    for (int i = 0; i < tree.Count(); ++i)
        if (const cJSON *child = tree.Items().Object(i))
            if (child->Count() == 0 || HasEmptyObject(*child))
                return true;
    return false;
}

// The lookups of the view's LoadDetails, LoadItem and FillGrid, in their order.
void WalkAsTheView(cJSON &details)
{
    for (const cHealthGroup &group : HealthDetailGroups())
    {
        if (!details.HasValue(group.Name))
            continue;
        cJSON *groupObject = details.GetObject(group.Name);
        if (!groupObject || !groupObject->IsObject || !groupObject->HasValue("Details"))
            continue;
        (void)groupObject->GetValue("Version");
        cJSON *items = groupObject->GetObject("Details");
        if (!items || !items->IsObject)
            continue;
        for (const cHealthItem &item : group.Items)
        {
            if (!items->HasValue(item.Name))
                continue;
            cJSON *itemObject = items->GetObject(item.Name);
            if (!itemObject || !itemObject->IsObject)
                continue;
            (void)itemObject->GetValue("Data");
            if (item.Kind != cHealthItemKind::Grid)
                continue;
            for (int row = 1; row <= PrescriptionRows; ++row)
            {
                cJSON *line = itemObject->GetObject("Line" + std::to_string(row));
                if (line && !line->IsObject)
                    line = nullptr;
                for (std::size_t column = 1; line && column < PrescriptionColumns().size(); ++column)
                    (void)line->GetValue("Col" + std::to_string(column));
            }
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > MaxInput)
        return 0;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> summary = Summary(text);
    Check(Summary(text) == summary, "the summary of a text changed between two renderings");

    cJSON details(text);
    const bool comparable = !HasEmptyObject(details);
    const std::vector<std::string> before = Summary(details.ToText());
    WalkAsTheView(details);
    Check(!comparable || Summary(details.ToText()) == before, "the view's walk changed the summary");
    return 0;
}
