// The summary lines of the health details JSON and the table of the health detail view's groups.
#include "workspace/HealthDetailsSummary.h"
#include "toolkit/StringList.h"
#include "workspace/HealthDetailGroups.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> Summary(const std::string &json)
{
    cStringList list;
    list.Add("f1002=" + json);
    RenderHealthDetails(list);
    return list.ToVector();
}

using Lines = std::vector<std::string>;
} // namespace

TEST(HealthDetailsSummary, GroupsGiveOneLineOfTheirItems)
{
    const struct
    {
        const char *Name;
        const char *Json;
        Lines Expected;
    } cases[] = {
        {"the mobility example",
         "{MobilityGroupBox:{Caption:\" Mobility \",Version:\"1\",Details:{Mobility1:{Caption:Walker,Data:Y},"
         "Distance:{Caption:\"Distance \",Data:\"20 ft\"}}}}",
         {"Mobility  --  Walker   Distance: 20 ft"}},
        {"a group without Details adds nothing",
         "{A:{Caption:Allergies},B:{Caption:Bowel,Details:{}}}",
         {"Bowel  -"}},
        {"no caption", "{A:{Details:{x:{Caption:Glasses,Data:Y}}}}", {"  --  Glasses"}},
        {"an item without caption shows its data",
         "{A:{Caption:Skin,Details:{x:{Data:\"Dry skin\"},y:{Caption:Rash,Data:\"\"}}}}",
         {"Skin  --  Dry skin   Rash: "}},
        {"a lower-case y ticks, blanks around Y do not",
         "{A:{Caption:Vision,Details:{x:{Caption:Glasses,Data:y},z:{Caption:Blind,Data:\" Y \"}}}}",
         {"Vision  --  Glasses   Blind:  Y "}},
        {"data is not trimmed",
         "{A:{Caption:C,Details:{x:{Caption:\" Other \",Data:\" far \"}}}}",
         {"C  --  Other:  far "}},
        {"members that are no objects are skipped",
         "{Version:\"1\",A:{Caption:C,Details:{x:\"text\",y:{Caption:Deaf,Data:Y}}},B:[1,2],D:{Caption:D,"
         "Details:\"none\"}}",
         {"C  --  Deaf"}},
        {"groups keep their order",
         "{Z:{Caption:Zeta,Details:{a:{Caption:One,Data:1}}},A:{Caption:Alpha,Details:{a:{Caption:Two,Data:2}"
         "}}}",
         {"Zeta  --  One: 1", "Alpha  --  Two: 2"}},
        {"not JSON", "Patient is fine", {}},
        {"empty", "", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Summary(c.Json), c.Expected) << c.Name;
}

TEST(HealthDetailsSummary, PrescriptionRowsFollowTheirGroupLine)
{
    std::string grid = "PrescriptionsStringGrid:{"
                       "Line1:{Col1:Apixaban,Col2:\"5 mg\",Col3:Daily,Col4:Oral,Col5:AF,Col6:\"06/30/2025\","
                       "Col7:\"08:00\",Col8:Ward,Col9:Dr,Col10:Ignored},"
                       "Line2:{Col6:\"07/01/2025\"},"
                       "Line3:{Col1:\"\",Col2:\"\"},"
                       "Line4:{Col7:\"21:00\",Col3:Evening},"
                       "Line5:\"not a row\","
                       "Line21:{Col1:Beyond}}";
    // Items before the grid keep their own line, and so do items after it; the grid alone adds
    // no line of its group.
    EXPECT_EQ(
        Summary("{P:{Caption:\" Prescriptions \",Details:{N:{Caption:Reviewed,Data:Y}," + grid +
                ",NA:{Caption:\"N/A\",Data:\"\"}}}}"),
        (Lines{"Prescriptions  --  Reviewed", "", "Prescriptions:",
               "   Apixaban, 5 mg, Daily, Oral, AF, Take Until: 06/30/2025, Last Given: 08:00, Ward, Dr",
               "   Take Until: 07/01/2025", "   Evening, Last Given: 21:00", "",
               "Prescriptions  --  N/A: "}));
    EXPECT_EQ(
        Summary("{P:{Caption:Prescriptions,Details:{" + grid + "}},M:{Caption:Mobility,Details:{}}}"),
        (Lines{"", "Prescriptions:",
               "   Apixaban, 5 mg, Daily, Oral, AF, Take Until: 06/30/2025, Last Given: 08:00, Ward, Dr",
               "   Take Until: 07/01/2025", "   Evening, Last Given: 21:00", "", "Mobility  -"}));
    EXPECT_EQ(Summary("{P:{Caption:Prescriptions,Details:{PrescriptionsStringGrid:{}}}}"),
              (Lines{"", "Prescriptions:", ""}));
}

TEST(HealthDetailGroups, NineteenGroupsWithUniqueNamesAndOneGrid)
{
    const auto &groups = HealthDetailGroups();
    ASSERT_EQ(groups.size(), 19u);
    std::set<std::string_view> names;
    int grids = 0;
    for (const cHealthGroup &group : groups)
    {
        EXPECT_TRUE(names.insert(group.Name).second) << group.Name;
        for (const cHealthItem &item : group.Items)
        {
            EXPECT_TRUE(names.insert(item.Name).second) << item.Name;
            grids += item.Kind == cHealthItemKind::Grid;
        }
    }
    EXPECT_EQ(grids, 1);
    const auto &columns = PrescriptionColumns();
    ASSERT_EQ(columns.size(), 8u);
    int width = 0;
    for (const auto &column : columns)
        width += column.Width;
    EXPECT_EQ(width, 755);
}
