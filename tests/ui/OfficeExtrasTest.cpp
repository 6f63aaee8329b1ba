// The office extras of the main window against DorvaneServer with demo data: the open-requests
// search across reloads, new-request alerts, the awarded cases export, the idle lock and the
// [Client] switches that turn each off (the referral packet's own tests are in
// ReferralPacketPrintTest.cpp).
#include "tests/support/TempDir.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AwardedCasesPage.h"

#include <algorithm>

using namespace ui_test;

namespace
{
class OfficeExtras : public cWorkspaceTest
{
protected:
    // A need of a case, for a new quote on it.
    std::string NeedOfCase(const std::string &caseKey)
    {
        return Db->Scalar("SELECT f1 FROM CaseNeeds WHERE f10 = '" + caseKey + "' ORDER BY f1 LIMIT 1");
    }
    std::string FirstCase(int role = list_role::Key)
    {
        return Tree()->model()->index(0, 0).data(role).toString().toStdString();
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
                keep = Db->Scalar(
                           "SELECT h.f10 FROM Cases c JOIN ProviderEntities h ON h.f1 = c.f11 WHERE c.f1 = " +
                           line.substr(5)) == hospital;
            if (keep)
                lines.push_back(line);
        }
        return lines;
    }

    void Reload()
    {
        Main->LoadProviderQuotes();
        Settle();
    }
    void TypePassword(const std::string &password)
    {
        QTest::keyClicks(Find("LockPasswordEdit"), QString::fromStdString(password));
        Click("UnlockButton");
    }
    std::string LockError() { return Find<QLabel>("LockErrorLabel")->text().toStdString(); }
};
} // namespace

TEST_F(OfficeExtras, SearchFiltersTheTreeAndSurvivesReloads)
{
    Open();
    const std::vector<std::string> all = ExpectedTree(*Db, ProviderSeq());
    ASSERT_EQ(ViewLines(Tree()), all);
    const std::string hospital = FirstCase(list_role::Hospital);
    ASSERT_FALSE(hospital.empty());
    const std::vector<std::string> expected = ExpectedForHospital(hospital);
    ASSERT_LT(expected.size(), all.size()) << "the demo data has cases of other hospitals";

    auto *search = Find<QLineEdit>("OpenCaseSearchEdit");
    EXPECT_TRUE(search->isVisible());
    // Typed in another case than the name's.
    QTest::keyClicks(search, QString::fromStdString(hospital).toUpper());
    EXPECT_EQ(ViewLines(Tree()), expected);
    EXPECT_EQ(ViewLines(Tree(), true), all) << "lines are left out of the view, not of the model";
    EXPECT_TRUE(Tree()->isExpanded(Tree()->model()->index(0, 0)));

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
    EXPECT_EQ(ViewLines(Tree()), ExpectedForHospital(hospital));
    EXPECT_EQ(ExpectedForHospital(hospital).size(), expected.size() + 1);

    // Text that matches nothing leaves every line out; Escape shows all again, expanded.
    search->clear();
    QTest::keyClicks(search, "no such hospital or category");
    EXPECT_TRUE(ViewLines(Tree()).empty());
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(ViewLines(Tree()), ExpectedTree(*Db, ProviderSeq()));
    EXPECT_TRUE(Tree()->isExpanded(Tree()->model()->index(0, 0)));
    // Which cases and quotes a text matches is tested in tests/workspace (OpenCaseFilter).
}

TEST_F(OfficeExtras, AlertsOncePerNewQuoteAndNotOnTheFirstLoad)
{
    Open();
    EXPECT_EQ(Main->Alerts().Raised, 0) << "the first load after sign-in only takes note";
    Reload();
    EXPECT_EQ(Main->Alerts().Raised, 0);

    const std::string caseKey = FirstCase();
    AddQuote(NeedOfCase(caseKey));
    AddQuote(NeedOfCase(caseKey));
    Reload();
    EXPECT_EQ(Main->Alerts().Raised, 1);
    EXPECT_EQ(Main->Alerts().Title + "|" + Main->Alerts().Body,
              "2 new case requests|" + FirstCase(list_role::Hospital));
    Tick(16);
    EXPECT_EQ(Main->Alerts().Raised, 1) << "quotes already seen raise nothing";

    // A failed load in between does not make the old quotes new again.
    Session().Close();
    Reload();
    ASSERT_TRUE(SignInAs(Server, "admin@bayview.example"));
    Reload();
    EXPECT_EQ(Main->Alerts().Raised, 1);
    EXPECT_TRUE(Host.Messages.empty());
}

TEST_F(OfficeExtras, ClickOnTheAlertShowsTheOpenRequestsList)
{
    Open();
    Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    Main->ShowPage(3);
    Find<QTabWidget>("MainPageControl")->setCurrentIndex(4);
    Main->showMinimized();
    Main->AlertClicked();
    EXPECT_EQ(Find<QTabWidget>("MainPageControl")->currentIndex(), 0);
    EXPECT_EQ(Find<QTabWidget>("PageControl1")->currentWidget(), Find("OpenCaseTabSheet"));
    EXPECT_TRUE(Shown("ActiveCasesPanel") && !Shown("AcceptedCaseDetailPanel"));
    EXPECT_FALSE(Main->isMinimized());
}

TEST_F(OfficeExtras, ExportWritesTheAwardedListAsCsv)
{
    Open();
    cTempDir dir;
    std::string asked = dir.File("awarded.csv");
    int asks = 0;
    Find<cAwardedCasesPage>("DeliveryCaseTabSheet")
        ->SetExportPathAsker(
            [&]
            {
                ++asks;
                return asked;
            });
    ShowAwardedTab();
    EXPECT_EQ(ShownTexts(Main.get(), {"ExportButton"}), std::vector<std::string>{"Export..."});
    Click("ExportButton");
    EXPECT_EQ(asks, 1);

    const std::string csv = ReadFile(asked);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(csv.substr(at, end - at));
    // One line per awarded entry under the heading; the lines' fields are tested in tests/workspace.
    ASSERT_EQ(lines.size(), ExpectedAwarded(*Db, ProviderSeq()).size() + 1) << csv;
    EXPECT_EQ(lines[0], "Delivery Date,Hospital,Case Number,Category,Description");
    EXPECT_EQ(lines[1].rfind(RoleTexts(AwardedList(), list_role::Date)[0] + ",", 0), 0u) << lines[1];
    EXPECT_TRUE(Host.Messages.empty());

    // Cancelled: nothing written, nothing said. A folder that does not exist: said, no file.
    asked.clear();
    Click("ExportButton");
    EXPECT_TRUE(Host.Messages.empty());
    asked = dir.File("missing/awarded.csv");
    Click("ExportButton");
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Caption, "Export");
    EXPECT_NE(Host.Messages[0].Text.find(asked), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("awarded.csv")), csv) << "the earlier file is untouched";
}

TEST_F(OfficeExtras, IdleTimeLocksTheWindowUntilThePasswordIsGiven)
{
    Open();
    std::int64_t now = 0;
    Main->SetIdleClock([&now] { return now; });
    EXPECT_FALSE(Main->IsLocked());
    // What the lists say and what an open case page shows, which the lock must keep unread.
    std::vector<std::string> secret = RoleTexts(Tree());
    const std::string quote = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(quote));
    for (const std::string &code : ShownCodes("DiagnosisCodeListBox"))
        secret.push_back(code.substr(code.find('|') + 1));
    for (const char *label : {"CaseNumberLabel", "HospitalLabel", "DischargeNurseLabel"})
        secret.push_back(Find<QLabel>(label)->text().toStdString());
    auto readable = [this, &secret]
    {
        int found = 0;
        for (const std::string &text : SpokenTexts(Main.get()))
            for (const std::string &s : secret)
                found += !s.empty() && text.find(s) != std::string::npos;
        return found;
    };
    ASSERT_GT(readable(), 0) << "the walk reads the open case";

    // Input restarts the idle time.
    now += 14 * 60 * 1000;
    Main->CheckIdleLock();
    QTest::keyClick(Tree(), Qt::Key_Down);
    now += 14 * 60 * 1000;
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked());
    now += 60 * 1000;
    Main->CheckIdleLock();
    ASSERT_TRUE(Main->IsLocked());
    EXPECT_EQ(readable(), 0) << "nothing of the case is readable behind the lock";
    EXPECT_EQ(Find("LockView")->geometry(), Main->rect());
    EXPECT_TRUE(Shown("LockView") && !Tree()->isVisible() && !Shown("MainPageControl"));
    EXPECT_EQ(ShownTexts(Main.get(), {"LockUserLabel"}), std::vector<std::string>{"User: Ms. Alice Morgan"});

    // Reloads go on behind the lock.
    AddQuote(NeedOfCase(FirstCase()));
    Tick(16);
    EXPECT_EQ(ViewLines(Tree()), ExpectedTree(*Db, ProviderSeq()));
    EXPECT_EQ(Main->Alerts().Raised, 1);
    EXPECT_TRUE(Main->Alerts().Body.empty()) << "no hospital names while locked";
    EXPECT_EQ(readable(), 0) << "nor after a reload";

    // Wrong, then right (the password as stored now, read again).
    TypePassword("wrong");
    EXPECT_TRUE(Main->IsLocked());
    EXPECT_EQ(LockError(), "Invalid password");
    EXPECT_TRUE(Find<QLineEdit>("LockPasswordEdit")->text().isEmpty());
    const std::string old = Member("admin@bayview.example", "f23");
    Db->Exec("UPDATE Personnel SET f23 = 'changed77' WHERE f22 = 'admin@bayview.example'");
    TypePassword(old);
    EXPECT_TRUE(Main->IsLocked());
    TypePassword("changed77");
    EXPECT_FALSE(Main->IsLocked());
    EXPECT_GT(readable(), 0) << "the unlocked window reads again";
    Click("CaseDetailBackButton");
    EXPECT_TRUE(Tree()->isVisible() && !Shown("LockView"));
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked()) << "the idle time starts anew";
    EXPECT_TRUE(Host.Messages.empty());

    // An empty password never unlocks, not even for a record that holds none (as the sign-in).
    Db->Exec("UPDATE Personnel SET f23 = '' WHERE f22 = 'admin@bayview.example'");
    Main->LockWorkspace();
    TypePassword("");
    EXPECT_TRUE(Main->IsLocked());
    EXPECT_EQ(LockError(), "Invalid password");

    // A password that cannot be checked keeps the lock.
    Session().Close();
    TypePassword("changed77");
    EXPECT_TRUE(Main->IsLocked());
    EXPECT_EQ(LockError(), "The password could not be checked; please try again.");
}

TEST_F(OfficeExtras, SwitchesInTheIniTurnEachExtraOff)
{
    cTempDir folder;
    folder.Write("Dorvane.ini",
                 "[Client]\r\nAlerts=0\r\nSearch=0\r\nExport=0\r\nPrint=0\r\nLockMinutes=0\r\n");
    const std::string saved = Session().ProgramFolder;
    Session().ProgramFolder = folder.Path;
    Open();
    Session().ProgramFolder = saved;
    EXPECT_FALSE(Find("OpenCaseSearchEdit")->isVisibleTo(Find("OpenCaseTabSheet")));
    EXPECT_FALSE(Find("ExportButton")->isVisibleTo(Find("DeliveryCaseTabSheet")));
    EXPECT_FALSE(Find("CaseDetailPrintButton")->isVisibleTo(DetailPage()));
    EXPECT_FALSE(Find("AwardedCasePrintButton")->isVisibleTo(AwardedPage()));
    EXPECT_FALSE(Find<QTimer>("IdleTimer")->isActive());
    std::int64_t now = 0;
    Main->SetIdleClock([&now] { return now; });
    now += 24LL * 60 * 60 * 1000;
    Main->CheckIdleLock();
    EXPECT_FALSE(Main->IsLocked());
    AddQuote(NeedOfCase(FirstCase()));
    Reload();
    EXPECT_EQ(Main->Alerts().Raised, 0);
    // Text put into the hidden field filters nothing.
    Find<QLineEdit>("OpenCaseSearchEdit")->setText("no such hospital");
    EXPECT_EQ(ViewLines(Tree()), ExpectedTree(*Db, ProviderSeq()));
}
