// The office extras of the main window against DorvaneServer with demo data: the open-requests
// search across reloads, new-request alerts, the awarded cases export, the idle lock and the
// [Client] switches that turn each off.
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/LockView.h"

#include <algorithm>

using namespace ui_test;

namespace
{
class OfficeExtras : public cWorkspaceTest
{
protected:
    // A need of a case that the provider has no quote for yet, or of the first case.
    std::string NeedOfCase(const std::string &caseKey)
    {
        return Db->Scalar("SELECT f1 FROM CaseNeeds WHERE f10 = '" + caseKey + "' ORDER BY f1 LIMIT 1");
    }

    // The expectation of a search for a hospital's name, from the database: the cases of that
    // hospital with all their quotes.
    std::vector<std::string> ExpectedForHospital(const std::string &hospital)
    {
        std::vector<std::string> lines;
        bool keep = false;
        for (const std::string &line : ExpectedTree(*Db, ProviderSeq()))
        {
            if (line.rfind("case ", 0) == 0)
                keep = Db->Scalar("SELECT h.f10 FROM Cases c JOIN ProviderEntities h ON h.f1 = c.f11 "
                                  "WHERE c.f1 = " +
                                  line.substr(5)) == hospital;
            if (keep)
                lines.push_back(line);
        }
        return lines;
    }

    void Reload() { Main->LoadProviderQuotes(); }

    void TypePassword(const std::string &password)
    {
        QTest::keyClicks(Main->LockView->LockPasswordEdit, QString::fromStdString(password));
        QTest::mouseClick(Main->LockView->UnlockButton, Qt::LeftButton);
    }
};
} // namespace

TEST_F(OfficeExtras, SearchFiltersTheTreeAndSurvivesReloads)
{
    Open();
    const std::vector<std::string> all = ExpectedTree(*Db, ProviderSeq());
    ASSERT_EQ(TreeLines(*Main, true), all);
    ASSERT_FALSE(Main->Quotes.OpenCases.empty());
    const std::string hospital = Main->Quotes.OpenCases.front().Case->HospitalName;
    ASSERT_FALSE(hospital.empty());
    const std::vector<std::string> expected = ExpectedForHospital(hospital);
    ASSERT_LT(expected.size(), all.size()) << "the demo data has cases of other hospitals";

    QLineEdit *search = Main->OpenCaseTabSheet->findChild<QLineEdit *>("OpenCaseSearchEdit");
    ASSERT_TRUE(search);
    EXPECT_TRUE(search->isVisible());
    // Typed in another case than the name's.
    QTest::keyClicks(search, QString::fromStdString(hospital).toUpper());
    EXPECT_EQ(TreeLines(*Main, true), expected);
    EXPECT_EQ(TreeLines(*Main), all) << "items are hidden, not removed";

    // A new quote of a matching case and one of another case: after the reload only the first
    // shows, and the text is kept.
    const std::string matchingCase = expected.front().substr(5);
    std::string otherCase;
    for (const std::string &line : all)
        if (line.rfind("case ", 0) == 0 &&
            std::find(expected.begin(), expected.end(), line) == expected.end())
            otherCase = line.substr(5);
    ASSERT_FALSE(otherCase.empty());
    AddQuote(NeedOfCase(matchingCase));
    AddQuote(NeedOfCase(otherCase));
    Reload();
    EXPECT_EQ(search->text(), QString::fromStdString(hospital).toUpper());
    EXPECT_EQ(TreeLines(*Main, true), ExpectedForHospital(hospital));
    EXPECT_EQ(ExpectedForHospital(hospital).size(), expected.size() + 1);

    // Text that matches nothing hides every item; Escape shows all again.
    search->clear();
    QTest::keyClicks(search, "no such hospital or category");
    EXPECT_TRUE(TreeLines(*Main, true).empty());
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(TreeLines(*Main, true), ExpectedTree(*Db, ProviderSeq()));
    // Which cases and quotes a text matches is tested in tests/workspace (OpenCaseFilter).
}

TEST_F(OfficeExtras, AlertsOncePerNewQuoteAndNotOnTheFirstLoad)
{
    Open();
    EXPECT_EQ(Main->AlertsRaised, 0) << "the first load after sign-in only takes note";
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 0);

    const std::string caseKey = Main->Quotes.OpenCases.front().Case->Key;
    AddQuote(NeedOfCase(caseKey));
    AddQuote(NeedOfCase(caseKey));
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 1);
    EXPECT_EQ(Main->LastAlertTitle, "2 new case requests");
    EXPECT_EQ(Main->LastAlertBody, Main->Quotes.OpenCases.front().Case->HospitalName);
    Tick(16);
    EXPECT_EQ(Main->AlertsRaised, 1) << "quotes already seen raise nothing";

    // A failed load in between does not make the old quotes new again.
    CloseServerConnections();
    Reload();
    ASSERT_TRUE(SignInAs(Server, "admin@bayview.example"));
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 1);

    Main->Switches.Alerts = false;
    AddQuote(NeedOfCase(caseKey));
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 1) << "switched off";
    Main->Switches.Alerts = true;
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 1) << "the quote was seen while switched off";
    EXPECT_TRUE(Host.Messages.empty());
}

TEST_F(OfficeExtras, ClickOnTheAlertShowsTheOpenRequestsList)
{
    Open();
    Main->PageControl1->setCurrentIndex(1);
    Main->ShowPage(3);
    Main->MainPageControl->setCurrentIndex(4);
    Main->showMinimized();
    Main->AlertClicked();
    EXPECT_EQ(Main->MainPageControl->currentIndex(), 0);
    EXPECT_EQ(Main->PageControl1->currentWidget(), Main->OpenCaseTabSheet);
    EXPECT_TRUE(Main->ActiveCasesPanel->isVisible());
    EXPECT_FALSE(Main->AcceptedCaseDetailPanel->isVisible());
    EXPECT_FALSE(Main->isMinimized());
}

TEST_F(OfficeExtras, ExportWritesTheAwardedListAsCsv)
{
    Open();
    cTempDir dir;
    std::string asked = dir.File("awarded.csv");
    int asks = 0;
    Main->AskExportPath = [&]
    {
        ++asks;
        return asked;
    };
    Main->PageControl1->setCurrentIndex(1);
    QPushButton *button = Main->DeliveryCaseTabSheet->findChild<QPushButton *>("ExportButton");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "Export...");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(asks, 1);

    const std::vector<std::string> awarded = ExpectedAwarded(*Db, ProviderSeq());
    const std::string csv = ReadFile(asked);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(csv.substr(at, end - at));
    // One line per awarded entry under the heading; the lines' fields are tested in tests/workspace.
    ASSERT_EQ(lines.size(), awarded.size() + 1) << csv;
    EXPECT_EQ(lines[0], "Delivery Date,Hospital,Case Number,Category,Description");
    EXPECT_EQ(lines[1].rfind(Main->Quotes.Awarded[0]->RequiredDate + ",", 0), 0u) << lines[1];
    EXPECT_TRUE(Host.Messages.empty());

    // Cancelled: nothing written, nothing said. A folder that does not exist: said, no file.
    asked.clear();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(Host.Messages.empty());
    asked = dir.File("missing/awarded.csv");
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Caption, "Export");
    EXPECT_NE(Host.Messages[0].Text.find(asked), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("awarded.csv")), csv) << "the earlier file is untouched";
}

TEST_F(OfficeExtras, IdleTimeLocksTheWindowUntilThePasswordIsGiven)
{
    Open();
    std::int64_t now = 0;
    Main->IdleClock.SetClock([&now] { return now; });
    ASSERT_EQ(Main->IdleClock.Minutes(), 15);
    EXPECT_FALSE(Main->IsLocked());

    // Input restarts the idle time.
    now += 14 * 60 * 1000;
    Main->CheckIdleLock();
    QTest::keyClick(Main->OpenCaseTreeView, Qt::Key_Down);
    now += 14 * 60 * 1000;
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked());
    now += 60 * 1000;
    Main->CheckIdleLock();
    ASSERT_TRUE(Main->IsLocked());
    EXPECT_TRUE(Main->LockView->isVisible());
    EXPECT_EQ(Main->LockView->geometry(), Main->rect());
    EXPECT_FALSE(Main->OpenCaseTreeView->isVisible());
    EXPECT_FALSE(Main->MainPageControl->isVisible());
    EXPECT_EQ(Main->LockView->LockUserLabel->text(), "User: Ms. Alice Morgan");

    // Reloads go on behind the lock.
    const std::string caseKey = Main->Quotes.OpenCases.front().Case->Key;
    const std::string added = AddQuote(NeedOfCase(caseKey));
    Tick(16);
    EXPECT_EQ(TreeLines(*Main), ExpectedTree(*Db, ProviderSeq()));
    EXPECT_EQ(Main->AlertsRaised, 1);
    EXPECT_TRUE(Main->LastAlertBody.empty()) << "no hospital names while locked";

    // Wrong, then right (the password as stored now, read again).
    TypePassword("wrong");
    EXPECT_TRUE(Main->IsLocked());
    EXPECT_EQ(Main->LockView->LockErrorLabel->text(), "Invalid password");
    EXPECT_TRUE(Main->LockView->LockPasswordEdit->text().isEmpty());
    const std::string old = Member("admin@bayview.example", "f23");
    Db->Exec("UPDATE Personnel SET f23 = 'changed77' WHERE f22 = 'admin@bayview.example'");
    TypePassword(old);
    EXPECT_TRUE(Main->IsLocked());
    TypePassword("changed77");
    EXPECT_FALSE(Main->IsLocked());
    EXPECT_TRUE(Main->OpenCaseTreeView->isVisible());
    EXPECT_FALSE(Main->LockView->isVisible());
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked()) << "the idle time starts anew";
    EXPECT_TRUE(Host.Messages.empty());

    // A password that cannot be checked keeps the lock.
    Main->LockWorkspace();
    CloseServerConnections();
    TypePassword("changed77");
    EXPECT_TRUE(Main->IsLocked());
    EXPECT_EQ(Main->LockView->LockErrorLabel->text(), "The password could not be checked; please try again.");
}

TEST_F(OfficeExtras, SwitchesInTheIniTurnEachExtraOff)
{
    cTempDir folder;
    folder.Write("Dorvane.ini", "[Client]\r\nAlerts=0\r\nSearch=0\r\nExport=0\r\nLockMinutes=0\r\n");
    const std::string saved = ProgramFolder;
    ProgramFolder = folder.Path;
    Open();
    ProgramFolder = saved;
    EXPECT_FALSE(Main->OpenCaseSearchEdit->isVisibleTo(Main->OpenCaseTabSheet));
    EXPECT_FALSE(Main->ExportButton->isVisibleTo(Main->DeliveryCaseTabSheet));
    EXPECT_FALSE(Main->IdleTimer->isActive());
    std::int64_t now = 0;
    Main->IdleClock.SetClock([&now] { return now; });
    now += 24LL * 60 * 60 * 1000;
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked());
    AddQuote(NeedOfCase(Main->Quotes.OpenCases.front().Case->Key));
    Reload();
    EXPECT_EQ(Main->AlertsRaised, 0);
    // Text put into the hidden field filters nothing.
    Main->OpenCaseSearchEdit->setText("no such hospital");
    EXPECT_EQ(TreeLines(*Main, true), ExpectedTree(*Db, ProviderSeq()));
}
