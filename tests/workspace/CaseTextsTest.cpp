// The texts of the two case pages.
#include "workspace/CaseTexts.h"

#include <gtest/gtest.h>

namespace
{
// A fixed "now": noon of 15 June 2025 (computed when used: the toolkit's calendar constants are
// not ready during static initialisation).
cDateTime NoonOfTheDay()
{
    return EncodeDate(2025, 6, 15) + 0.5;
}

cDateTime Date(const char *text)
{
    cDateTime value = 0;
    EXPECT_TRUE(TryStrToDate(text, value)) << text;
    return value;
}
} // namespace

TEST(CaseTexts, AgesOfBothPages)
{
    const cDateTime Noon = NoonOfTheDay();
    const struct
    {
        const char *Birth;
        cDateTime Now;
        const char *CaseDetail;
        const char *Awarded;
    } cases[] = {
        {"06/15/2024", Noon, "1.0", "1.0"},   // one year ago
        {"6/15/2024", Noon, "1.0", "1.0"},    // one-digit month
        {"2024-06-15", Noon, "1.0", "1.0"},   // ISO form
        {"12/05/1944", Noon, "80.5", "80.5"}, // (2025-06-15.5 - 1944-12-05) / 365.25
        {"03/1950", Noon, "Unknown", ""},     // cannot be parsed
        {"", Noon, "Unknown", ""},            // empty
        {"02/30/1950", Noon, "Unknown", ""},  // no such day
        {"Unknown", Noon, "Unknown", ""},     // a word
        {"06/15/2026", Noon, "-1.0", ""},     // in the future
        {"01/01/1900", Date("01/01/1900") + 130 * 365.25, "130.0", "130.0"}, // the oldest shown
        {"01/01/1900", Date("01/01/1900") + 130.1 * 365.25, "130.1", ""},    // too old
        {"12/30/1899", Noon, "125.5", ""},                                   // day 0 of the calendar
        {"06/15/2025", Noon, "0.0", "0.0"},                                  // born today
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(CaseDetailAgeText(c.Birth, c.Now), c.CaseDetail) << c.Birth;
        EXPECT_EQ(AwardedAgeText(c.Birth, c.Now), c.Awarded) << c.Birth;
    }
}

TEST(CaseTexts, GendersOfBothPages)
{
    const struct
    {
        const char *Stored;
        const char *CaseDetail;
        const char *Awarded;
    } cases[] = {
        {"M", "Male", "Male"}, {"m", "Male", ""},    {"F", "Female", "Female"},
        {"f", "Female", ""},   {"Male", "", "Male"}, {"Female", "", "Female"},
        {"female", "", ""},    {"", "", ""},         {" M", "", ""},
        {"X", "", ""},         {"MF", "", "Male"},
    };
    for (const auto &c : cases)
    {
        EXPECT_EQ(CaseDetailGenderText(c.Stored), c.CaseDetail) << "'" << c.Stored << "'";
        EXPECT_EQ(AwardedGenderText(c.Stored), c.Awarded) << "'" << c.Stored << "'";
    }
}

TEST(CaseTexts, CaseNumberAndCompositeNames)
{
    EXPECT_EQ(CaseNumberText("C-2025-1001", "7") + "|" + CaseNumberText("", "7"), "C-2025-1001|7");
    EXPECT_EQ(CaseWorkerText("Grace", "Whitfield") + "|" + CaseWorkerText("", ""), "Grace Whitfield| ");

    const struct
    {
        const char *Title, *First, *Middle, *Last, *Shown;
    } workers[] = {
        {"Ms.", "Grace", "L.", "Whitfield", "Ms. Grace L. Whitfield"},
        {"", "Daniel", "", "Okafor", "Daniel Okafor"},
        {"Mr.", "Daniel", "", "Okafor", "Mr. Daniel Okafor"},
        {"", "Grace", "L.", "Whitfield", "Grace L. Whitfield"},
        {"", "", "", "", " "},
    };
    for (const auto &w : workers)
        EXPECT_EQ(AwardedCaseWorkerText(w.Title, w.First, w.Middle, w.Last), w.Shown) << w.Shown;

    EXPECT_EQ(PatientNameText("Harold", "J", "Simmons") + "|" + PatientNameText("Walter", "", "Nguyen"),
              "Harold J Simmons|Walter Nguyen");
}

TEST(CaseTexts, CodeItemsSpeakTheirFilledParts)
{
    const struct
    {
        const char *Code, *Description, *Spoken;
    } cases[] = {
        {"I10", "Essential hypertension", "I10, Essential hypertension"},
        {"R26.81", "", "R26.81"},
        {"", "Procedure during stay", "Procedure during stay"},
        {"", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CodeLineSpoken({c.Code, c.Description}), c.Spoken);
}
