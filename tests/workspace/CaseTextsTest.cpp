// The texts of the two case pages, the summary lines of the health details JSON and the table of
// the health detail view's groups.
#include "workspace/CaseTexts.h"
#include "toolkit/StringList.h"
#include "workspace/HealthDetailGroups.h"
#include "workspace/HealthDetailsSummary.h"

#include <gtest/gtest.h>
#include <numeric>
#include <set>

namespace
{
using Lines = std::vector<std::string>;

Lines Summary(const std::string &json)
{
    cStringList list;
    list.Add("f1002=" + json);
    RenderHealthDetails(list);
    return list.ToVector();
}
} // namespace

TEST(CaseTexts, AgesAndGendersOfBothPages)
{
    // Noon of 15 June 2025 as "now" (made here: calendar constants are not ready before main).
    const cDateTime noon = EncodeDate(2025, 6, 15) + 0.5, y1900 = EncodeDate(1900, 1, 1);
    const std::tuple<const char *, cDateTime, const char *, const char *> ages[] = {
        {"06/15/2024", noon, "1.0", "1.0"},                     // one year ago
        {"6/15/2024", noon, "1.0", "1.0"},                      // one-digit month
        {"2024-06-15", noon, "1.0", "1.0"},                     // ISO form
        {"12/05/1944", noon, "80.5", "80.5"},                   // (2025-06-15.5 - 1944-12-05) / 365.25
        {"03/1950", noon, "Unknown", ""},                       // cannot be parsed
        {"", noon, "Unknown", ""},                              // empty
        {"02/30/1950", noon, "Unknown", ""},                    // no such day
        {"Unknown", noon, "Unknown", ""},                       // a word
        {"06/15/2026", noon, "", ""},                           // in the future
        {"01/01/1900", y1900 + 130 * 365.25, "130.0", "130.0"}, // the oldest shown
        {"01/01/1900", y1900 + 130.1 * 365.25, "", ""},         // too old
        {"12/30/1899", noon, "125.5", ""},                      // day 0 of the calendar
        {"06/15/2025", noon, "0.0", "0.0"},                     // born today
    };
    for (const auto &[birth, now, caseDetail, awarded] : ages)
        EXPECT_EQ(CaseDetailAgeText(birth, now) + "|" + AwardedAgeText(birth, now),
                  std::string(caseDetail) + "|" + awarded)
            << birth;
    const std::array<const char *, 3> genders[] = {
        {"M", "Male", "Male"}, {"m", "Male", ""},    {"F", "Female", "Female"},
        {"f", "Female", ""},   {"Male", "", "Male"}, {"Female", "", "Female"},
        {"female", "", ""},    {"", "", ""},         {" M", "", ""},
        {"X", "", ""},         {"MF", "", "Male"},
    };
    for (const auto &[stored, caseDetail, awarded] : genders)
        EXPECT_EQ(CaseDetailGenderText(stored) + "|" + AwardedGenderText(stored),
                  std::string(caseDetail) + "|" + awarded)
            << "'" << stored << "'";
}

TEST(CaseTexts, CaseNumberCompositeNamesAndCodeItems)
{
    EXPECT_EQ(CaseNumberText("C-2025-1001", "7") + "|" + CaseNumberText("", "7"), "C-2025-1001|7");
    EXPECT_EQ(CaseWorkerText("Grace", "Whitfield") + "|" + CaseWorkerText("", ""), "Grace Whitfield| ");
    EXPECT_EQ((std::vector<std::string>{AwardedCaseWorkerText("Ms.", "Grace", "L.", "Whitfield"),
                                        AwardedCaseWorkerText("", "Daniel", "", "Okafor"),
                                        AwardedCaseWorkerText("Mr.", "Daniel", "", "Okafor"),
                                        AwardedCaseWorkerText("", "Grace", "L.", "Whitfield"),
                                        AwardedCaseWorkerText("", "", "", "")}),
              (std::vector<std::string>{"Ms. Grace L. Whitfield", "Daniel Okafor", "Mr. Daniel Okafor",
                                        "Grace L. Whitfield", " "}));
    EXPECT_EQ(PatientNameText("Harold", "J", "Simmons") + "|" + PatientNameText("Walter", "", "Nguyen"),
              "Harold J Simmons|Walter Nguyen");
    // A code item says its code and description, an empty one left out.
    EXPECT_EQ(
        (std::vector<std::string>{CodeLineSpoken({"I10", "Essential hypertension"}),
                                  CodeLineSpoken({"R26.81", ""}),
                                  CodeLineSpoken({"", "Procedure during stay"}), CodeLineSpoken({"", ""})}),
        (std::vector<std::string>{"I10, Essential hypertension", "R26.81", "Procedure during stay", ""}));
}

TEST(HealthDetailsSummary, GroupsGiveOneLineOfTheirItemsAndPrescriptionRowsFollowIt)
{
    const std::pair<const char *, Lines> cases[] = {
        {"{MobilityGroupBox:{Caption:\" Mobility \",Version:\"1\",Details:{Mobility1:{Caption:Walker,Data:Y},"
         "Distance:{Caption:\"Distance \",Data:\"20 ft\"}}}}",
         {"Mobility  --  Walker   Distance: 20 ft"}},
        // A group without Details adds nothing; one without a caption starts with blanks.
        {"{A:{Caption:Allergies},B:{Caption:Bowel,Details:{}}}", {"Bowel  -"}},
        {"{A:{Details:{x:{Caption:Glasses,Data:Y}}}}", {"  --  Glasses"}},
        // An item without caption shows its data; a lower-case y ticks, blanks around Y do not; data
        // is not trimmed.
        {"{A:{Caption:Skin,Details:{x:{Data:\"Dry skin\"},y:{Caption:Rash,Data:\"\"}}}}",
         {"Skin  --  Dry skin   Rash: "}},
        {"{A:{Caption:Vision,Details:{x:{Caption:Glasses,Data:y},z:{Caption:Blind,Data:\" Y \"}}}}",
         {"Vision  --  Glasses   Blind:  Y "}},
        {"{A:{Caption:C,Details:{x:{Caption:\" Other \",Data:\" far \"}}}}", {"C  --  Other:  far "}},
        // Members that are no objects are skipped, groups keep their order, a text that is not JSON
        // gives nothing.
        {"{Version:\"1\",A:{Caption:C,Details:{x:\"text\",y:{Caption:Deaf,Data:Y}}},B:[1,2],D:{Caption:D,"
         "Details:\"none\"}}",
         {"C  --  Deaf"}},
        {"{Z:{Caption:Zeta,Details:{a:{Caption:One,Data:1}}},A:{Caption:Alpha,Details:{a:{Caption:Two,Data:2}"
         "}}}",
         {"Zeta  --  One: 1", "Alpha  --  Two: 2"}},
        {"Patient is fine", {}},
        {"", {}},
    };
    for (const auto &[json, expected] : cases)
        EXPECT_EQ(Summary(json), expected) << json;
    const std::string grid =
        "PrescriptionsStringGrid:{Line1:{Col1:Apixaban,Col2:\"5 mg\",Col3:Daily,Col4:Oral,Col5:AF,"
        "Col6:\"06/30/2025\",Col7:\"08:00\",Col8:Ward,Col9:Dr,Col10:Ignored},Line2:{Col6:\"07/01/2025\"},"
        "Line3:{Col1:\"\",Col2:\"\"},Line4:{Col7:\"21:00\",Col3:Evening},"
        "Line5:\"not a row\",Line21:{Col1:Beyond}}";
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
    EXPECT_EQ(columns.size(), 8u);
    EXPECT_EQ(
        std::accumulate(columns.begin(), columns.end(), 0, [](int sum, auto &c) { return sum + c.Width; }),
        755);
}
