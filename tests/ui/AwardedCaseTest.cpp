// The awarded case page against DorvaneServer with demo data: the texts of its joined read, its
// own age and gender rules, a failed read, and the health detail view.
#include "tests/ui/UiTestSupport.h"
#include "ui/AwardedCasesPage.h"

#include <QProxyStyle>
#include <QSignalSpy>

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
        EXPECT_TRUE(Shown("AcceptedCaseDetailPanel") && !Shown("ActiveCasesPanel"));
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
        EXPECT_NEAR(Find<QLabel>("PatientAgeDLabel")->text().toDouble(), (Now() - birth) / 365.25, 0.051);
        EXPECT_EQ(ShownCodes("DiagnosisCodeDListBox"), StoredCodes("DiagCodeDetail", caseKey));
        EXPECT_EQ(ShownCodes("TreatmentCodeDListBox"), StoredCodes("TreatmentCodeDetail", caseKey));
        EXPECT_FALSE(HealthSummary(caseKey).isEmpty());
        EXPECT_EQ(Lines(Find<QPlainTextEdit>("HealthDetailsDMemo")->toPlainText()), HealthSummary(caseKey));
        EXPECT_TRUE(OpensHealthView("HealthDetailsDMemo")) << "the health detail view opens from the memo";

        Click("Button1");
        EXPECT_TRUE(Shown("ActiveCasesPanel"));
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
        EXPECT_EQ(ShownTexts(Main.get(), {"PatientGenderDLabel", "PatientAgeDLabel"}),
                  (std::vector<std::string>{c.ShownGender, ""}))
            << c.Gender << " " << c.Birth;
        Click("Button1");
    }
}

TEST_F(AwardedCase, FailedReadShowsOnlyTheEntrysCaseNumberAndTheEmptyDate)
{
    const std::string quote = QuoteOf("Whitaker");
    const std::string caseNumber = Field("Cases", CaseOf(quote), 22);
    ASSERT_TRUE(OpenAwarded(quote));
    ASSERT_FALSE(Find<QLabel>("HospitalDLabel")->text().isEmpty());
    Click("Button1");
    ASSERT_TRUE(Db->Exec("DELETE FROM CaseNeedsQuote WHERE f1 = " + quote));
    ASSERT_TRUE(OpenAwarded(quote)) << "the entry is still listed";
    EXPECT_TRUE(Shown("AcceptedCaseDetailPanel"));
    EXPECT_EQ(ShownTexts(Main.get(), {"CaseNumberDLabel", "DateRequiredDLabel"}),
              (std::vector<std::string>{caseNumber, "//  :"}))
        << "the case number of the list's entry";
    const std::vector<std::string> names = {
        "HospitalDLabel",      "NeedsDLabel",         "NeedsDescDText",      "DischargeNurseDLabel",
        "InsuranceDLabel",     "PatientNameDLabel",   "PatientSSNDLabel",    "PatientAgeDLabel",
        "PatientGenderDLabel", "PatientHeightDLabel", "PatientWeightDLabel", "PatientStreetDLabel",
        "PatientCityDLabel",   "PatientPhoneDLabel",  "DiagnosisDMemo",      "HealthDetailsDMemo"};
    std::vector<std::string> shown = ShownTexts(Main.get(), names);
    for (std::string &text : shown)
        text = QString::fromStdString(text).trimmed().toStdString(); // the blanks between name parts
    EXPECT_EQ(shown, std::vector<std::string>(names.size(), ""));
    EXPECT_TRUE(Host.Messages.empty());
}

namespace
{
// A style that activates a list line on a single click, as some desktops set it.
class cSingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};
} // namespace

TEST_F(AwardedCase, ALineOpensOncePerClickAndByEnter)
{
    QListView *list = AwardedList();
    cSingleClickStyle style;
    list->setStyle(&style);
    QSignalSpy opened(Find<cAwardedCasesPage>("DeliveryCaseTabSheet"), &cAwardedCasesPage::AwardedOpened);
    ASSERT_TRUE(OpenAwarded(QuoteOf("Whitaker")));
    EXPECT_EQ(opened.count(), 1) << "one read of the case per click";
    Click("Button1");

    // By keyboard: the line chosen with the arrows opens on Enter.
    ShowAwardedTab();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(opened.count(), 2);
    EXPECT_TRUE(Shown("AcceptedCaseDetailPanel"));
    list->setStyle(nullptr);
}
