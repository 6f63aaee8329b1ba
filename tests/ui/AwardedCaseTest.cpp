// The awarded case page against DorvaneServer with demo data: the texts of its joined read, its
// own age and gender rules, a failed read, and the health detail view.
#include "tests/ui/UiTestSupport.h"
#include "toolkit/DateTime.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "workspace/HealthDetailsSummary.h"
#include "workspace/ListTexts.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ui_test;

namespace
{
QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

class AwardedCase : public cWorkspaceTest
{
protected:
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
    Open();
    ShowAwardedTab();
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
        const std::string caseKey = CaseOf(quote), need = Field("CaseNeedsQuote", quote, 10);
        const std::string patient = Field("Cases", caseKey, 10);
        auto c = [&](int n) { return Field("Cases", caseKey, n); };
        EXPECT_EQ(Main->CaseNumberDLabel->text(), Q(c(22)));
        EXPECT_EQ(Main->HospitalDLabel->text(), Q(Field("ProviderEntities", c(11), 10)));
        EXPECT_EQ(Main->DateRequiredDLabel->text(), Q(FormatServerDate(Field("CaseNeeds", need, 14))));
        EXPECT_EQ(Main->NeedsDLabel->text(),
                  Q(Field("ProviderCategories", Field("CaseNeeds", need, 12), 12)));
        EXPECT_EQ(Main->NeedsDescDText->text(), Q(Field("CaseNeeds", need, 15)));
        EXPECT_EQ(Main->DischargeNurseDLabel->text(), e.Worker);
        EXPECT_EQ(Main->InsuranceDLabel->text(), Q(Field("InsuranceTypes", c(19), 11)));
        EXPECT_EQ(Main->PatientNameDLabel->text(), e.Name);
        EXPECT_EQ(Main->PatientSSNDLabel->text(), Q(Field("Patients", patient, 13)));
        cDateTime birth = 0;
        ASSERT_TRUE(TryStrToDate(Field("Patients", patient, 14), birth));
        EXPECT_NEAR(Main->PatientAgeDLabel->text().toDouble(), (Now() - birth) / 365.25, 0.051);
        EXPECT_EQ(Main->PatientGenderDLabel->text(), "Female");
        EXPECT_EQ(Main->PatientHeightDLabel->text(), Q(c(16)));
        EXPECT_EQ(Main->PatientWeightDLabel->text(), Q(c(17)));
        EXPECT_EQ(Main->PatientStreetDLabel->text(), Q(c(34)));
        EXPECT_EQ(Main->PatientCityDLabel->text(), Q(c(35)));
        EXPECT_EQ(Main->PatientStateZipDLabel->text(), Q(c(36) + "  " + c(37)));
        EXPECT_EQ(Main->PatientPhoneDLabel->text(), Q(c(38)));
        EXPECT_EQ(Main->DiagnosisDMemo->toPlainText(), Q(c(1001)).replace("\r\n", "\n"));
        EXPECT_EQ(ShownCodes(Main->DiagnosisCodeDListBox), StoredCodes("DiagCodeDetail", caseKey));
        EXPECT_EQ(ShownCodes(Main->TreatmentCodeDListBox), StoredCodes("TreatmentCodeDetail", caseKey));
        cStringList summary;
        summary.SetValues("f1002", c(1002));
        RenderHealthDetails(summary);
        QStringList expected;
        for (const std::string &line : summary.ToVector())
            expected << Q(line);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(Lines(Main->HealthDetailsDMemo->toPlainText()), expected);
        EXPECT_EQ(Main->Label16->text(), "(Click for full information)");

        // The health detail view holds this case and opens from the memo.
        bool shown = false;
        QTimer::singleShot(0,
                           [&]
                           {
                               shown = Health->isVisible();
                               QTest::keyClick(Health.get(), Qt::Key_Escape);
                           });
        QTest::mouseClick(Main->HealthDetailsDMemo->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_TRUE(shown);
        EXPECT_FALSE(Health->isVisible());

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
    Open();
    ShowAwardedTab();
    const std::string quote = QuoteOf("Whitaker");
    ASSERT_TRUE(OpenAwarded(quote));
    ASSERT_FALSE(Main->HospitalDLabel->text().isEmpty());
    Main->CaseDetailBackButtonClick();
    ASSERT_TRUE(Db->Exec("DELETE FROM CaseNeedsQuote WHERE f1 = " + quote));
    ASSERT_TRUE(OpenAwarded(quote)) << "the entry is still listed";
    EXPECT_TRUE(Main->AcceptedCaseDetailPanel->isVisible());
    EXPECT_EQ(Main->CaseNumberDLabel->text(), Q(EntryCaseNumber(quote)));
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
