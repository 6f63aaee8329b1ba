// The awarded case page against DorvaneServer with demo data: the texts of its joined read, its
// own age and gender rules, a failed read, and the health detail view.
#include "tests/ui/UiTestSupport.h"

using namespace ui_test;

namespace
{
class AwardedCase : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
        ShowAwardedTab();
    }
    // The listed entry's case number, as the list holds it.
    std::string EntryCaseNumber(const std::string &quote)
    {
        for (const auto &entry : Main->Quotes.Awarded)
            if (entry->Key == quote)
                return entry->AwardedCase->CaseNumber;
        return "?";
    }
};
} // namespace

TEST_F(AwardedCase, PageShowsTheJoinedReadOfTheEntry)
{
    const struct
    {
        const char *Patient, *Worker, *Name;
    } entries[] = {{"Whitaker", "Ms. Grace L. Whitfield", "Agnes M Whitaker"},
                   {"Brooks", "Mr. Daniel Okafor", "Evelyn R Brooks"}};
    for (const auto &e : entries)
    {
        SCOPED_TRACE(e.Patient);
        const std::string quote = QuoteOf(e.Patient);
        ASSERT_TRUE(OpenAwarded(quote));
        EXPECT_TRUE(Main->AcceptedCaseDetailPanel->isVisible());
        EXPECT_FALSE(Main->ActiveCasesPanel->isVisible());
        const std::string caseKey = CaseOf(quote), patient = Field("Cases", caseKey, 10);
        auto c = [&](int n) { return Field("Cases", caseKey, n); };
        EXPECT_EQ(
            ShownTexts(Main.get(), {"HospitalDLabel", "DateRequiredDLabel", "NeedsDLabel", "NeedsDescDText",
                                    "PatientHeightDLabel", "PatientWeightDLabel", "DiagnosisDMemo"}),
            StoredCaseTexts(quote));
        EXPECT_EQ(ShownTexts(Main.get(), {"CaseNumberDLabel", "DischargeNurseDLabel", "InsuranceDLabel",
                                          "PatientNameDLabel", "PatientSSNDLabel", "PatientGenderDLabel",
                                          "PatientStreetDLabel", "PatientCityDLabel", "PatientStateZipDLabel",
                                          "PatientPhoneDLabel", "Label16"}),
                  (std::vector<std::string>{c(22), e.Worker, Field("InsuranceTypes", c(19), 11), e.Name,
                                            Field("Patients", patient, 13), "Female", c(34), c(35),
                                            c(36) + "  " + c(37), c(38), "(Click for full information)"}));
        cDateTime birth = 0;
        ASSERT_TRUE(TryStrToDate(Field("Patients", patient, 14), birth));
        EXPECT_NEAR(Main->PatientAgeDLabel->text().toDouble(), (Now() - birth) / 365.25, 0.051);
        EXPECT_EQ(ShownCodes(Main->DiagnosisCodeDListBox), StoredCodes("DiagCodeDetail", caseKey));
        EXPECT_EQ(ShownCodes(Main->TreatmentCodeDListBox), StoredCodes("TreatmentCodeDetail", caseKey));
        EXPECT_FALSE(HealthSummary(caseKey).isEmpty());
        EXPECT_EQ(Lines(Main->HealthDetailsDMemo->toPlainText()), HealthSummary(caseKey));
        EXPECT_TRUE(OpensHealthView(Main->HealthDetailsDMemo))
            << "the health detail view opens from the memo";

        QTest::mouseClick(Main->Button1, Qt::LeftButton);
        EXPECT_TRUE(Main->ActiveCasesPanel->isVisible());
    }
    EXPECT_TRUE(Host.Messages.empty());

    // The page uses its own age and gender rules, not those of the case detail page (the rules
    // themselves are tested in tests/workspace).
    const std::string quote = QuoteOf("Whitaker");
    const std::string caseKey = CaseOf(quote), patient = Field("Cases", caseKey, 10);
    const struct
    {
        std::string Gender, Birth;
        const char *ShownGender;
    } cases[] = {{"f", "03/1950", ""}, {"Male", FormatDateTime("mm/dd/yyyy", Now() + 400), "Male"}};
    for (const auto &c : cases)
    {
        ASSERT_TRUE(Db->Exec("UPDATE Cases SET f30 = '" + c.Gender + "' WHERE f1 = " + caseKey));
        ASSERT_TRUE(Db->Exec("UPDATE Patients SET f14 = '" + c.Birth + "' WHERE f1 = " + patient));
        ASSERT_TRUE(OpenAwarded(quote));
        EXPECT_EQ(Main->PatientGenderDLabel->text(), c.ShownGender) << c.Gender;
        EXPECT_EQ(Main->PatientAgeDLabel->text(), "") << c.Birth;
        Main->CaseDetailBackButtonClick();
    }
}

TEST_F(AwardedCase, FailedReadShowsOnlyTheEntrysCaseNumberAndTheEmptyDate)
{
    const std::string quote = QuoteOf("Whitaker");
    ASSERT_TRUE(OpenAwarded(quote));
    ASSERT_FALSE(Main->HospitalDLabel->text().isEmpty());
    Main->CaseDetailBackButtonClick();
    ASSERT_TRUE(Db->Exec("DELETE FROM CaseNeedsQuote WHERE f1 = " + quote));
    ASSERT_TRUE(OpenAwarded(quote)) << "the entry is still listed";
    EXPECT_TRUE(Main->AcceptedCaseDetailPanel->isVisible());
    EXPECT_EQ(Main->CaseNumberDLabel->text().toStdString(), EntryCaseNumber(quote));
    EXPECT_EQ(Main->DateRequiredDLabel->text(), "//  :");
    for (const QLabel *label :
         {Main->HospitalDLabel, Main->NeedsDLabel, Main->NeedsDescDText, Main->DischargeNurseDLabel,
          Main->InsuranceDLabel, Main->PatientNameDLabel, Main->PatientSSNDLabel, Main->PatientAgeDLabel,
          Main->PatientGenderDLabel, Main->PatientHeightDLabel, Main->PatientWeightDLabel,
          Main->PatientStreetDLabel, Main->PatientCityDLabel, Main->PatientStateZipDLabel,
          Main->PatientPhoneDLabel})
        EXPECT_EQ(label->text().trimmed(), "") << label->objectName().toStdString();
    EXPECT_EQ(Main->DiagnosisDMemo->toPlainText(), "");
    EXPECT_EQ(Main->HealthDetailsDMemo->toPlainText(), "");
    EXPECT_TRUE(Host.Messages.empty());
}
