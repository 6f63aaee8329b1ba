// Shared pieces of the workspace window tests: a signed-in main window against DorvaneServer with
// fresh demo data, reads of the server's database, the steps a user takes (tabs, clicks, typing,
// opening list lines) on controls found by object name, and pixel checks.
#pragma once

#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "tests/GuiWait.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/DateTime.h"
#include "toolkit/Host.h"
#include "ui/AwardedCasePage.h"
#include "ui/CaseDetailPage.h"
#include "ui/Forms.h"
#include "ui/ListRoles.h"
#include "ui/MainForm.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace ui_test
{
using ::WaitUntil;

// Opens both connections of the session to the server and reads the user's personnel record as
// the sign-in does; false when the user is not found.
bool SignInAs(const cServerProcess &server, const std::string &email);

// Pixels of a rectangle of a widget's grab that have exactly this colour.
int CountPixels(const QImage &image, const QRect &area, const QColor &colour);
// Pixels of a rectangle that are drawn dark (text, with its smoothed edges).
int CountDarkPixels(const QImage &image, const QRect &area);

// The demo database's expectation of the lists: one line per tree line ("case 12", "  quote 40")
// and one per awarded entry (quote key), computed by SQL from the stored records.
std::vector<std::string> ExpectedTree(cTestDatabase &db, const std::string &provider);
std::vector<std::string> ExpectedAwarded(cTestDatabase &db, const std::string &provider);
// A view's lines in the same form, from its model's keys; for the open-requests tree, the lines
// the search leaves shown (or all of them).
std::vector<std::string> ViewLines(const QAbstractItemView *view, bool allLines = false);
// The texts of a role of a list view's lines (display text by default).
std::vector<std::string> RoleTexts(const QAbstractItemView *view, int role = Qt::DisplayRole);
// What a screen reader can read under a window: the name, value and description of every
// accessible node below root that does not report itself invisible.
std::vector<std::string> SpokenTexts(QWidget *root);
// The message boxes shown, as "Caption: text", with " [Yes/No]" for a question.
std::vector<std::string> Said(const cRecordingHost &host);
// The texts of a check list's items; onlyTicked keeps the checked ones.
std::vector<std::string> Texts(const QListWidget *list, bool onlyTicked = false);
// The text each named widget under root shows (label, line edit, memo with "\n" line breaks or
// button), in the order of the names; "<no NAME>" for a name that is not found.
std::vector<std::string> ShownTexts(const QWidget *root, const std::vector<std::string> &names);

// Puts a connection that reaches no server in the place of one of the session's links until the
// end of the scope.
class cDeadLink
{
public:
    enum cWhich
    {
        Data,
        Function
    };
    explicit cDeadLink(cWhich which);
    ~cDeadLink();
    cDeadLink(const cDeadLink &) = delete;
    cDeadLink &operator=(const cDeadLink &) = delete;

private:
    cWhich Which;
    std::unique_ptr<dbServerConnection> Saved;
};

// A main window signed in as the demo administrator (or another user), with a recording host
// and the reject reason dialog and health detail view created as the program creates them.
// Each test gets a fresh server: ctest runs every test in its own process.
class cWorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Signs in as email and shows the main window; waits for its activation.
    void Open(const std::string &email = "admin@bayview.example");

    // Reads of the database.
    std::string ProviderSeq()
    {
        return Db->Scalar("SELECT f1 FROM ProviderEntities WHERE f10 = 'Bayview Care Center'");
    }
    // Fields of a record, as stored.
    std::string Field(const std::string &table, const std::string &seq, int n)
    {
        return Db->Scalar("SELECT IFNULL(f" + std::to_string(n) + ", '') FROM " + table +
                          " WHERE f1 = " + seq);
    }
    std::vector<std::string> Fields(const std::string &table, const std::string &seq, std::vector<int> fields)
    {
        std::vector<std::string> values;
        for (int n : fields)
            values.push_back(Field(table, seq, n));
        return values;
    }
    // The provider's quote on the first need of the patient with that last name.
    std::string QuoteOf(const std::string &patientLastName);
    // Key of the case that a quote answers.
    std::string CaseOf(const std::string &quoteKey)
    {
        return Field("CaseNeeds", Field("CaseNeedsQuote", quoteKey, 10), 10);
    }
    std::string Member(const std::string &email, const std::string &field)
    {
        return Db->Scalar("SELECT " + field + " FROM Personnel WHERE f22 = '" + email + "'");
    }
    std::vector<std::string> Column(const std::string &sql)
    {
        std::vector<std::string> values;
        for (const auto &row : Db->Query(sql))
            values.push_back(row[0]);
        return values;
    }
    // The code records of a case, as "code|description" in key order, and what a code list shows.
    std::vector<std::string> StoredCodes(const char *table, const std::string &caseKey);
    std::vector<std::string> ShownCodes(const char *list);
    // The lines of a memo's text; none for an empty text.
    static QStringList Lines(const QString &text)
    {
        return text.isEmpty() ? QStringList() : text.split('\n');
    }
    // The health details summary of a case as the pages' memos show it, one entry a line.
    QStringList HealthSummary(const std::string &caseKey);
    // What both case pages show of a quote's case, as stored: hospital, date required, needed
    // category, its description, height, weight, diagnosis.
    std::vector<std::string> StoredCaseTexts(const std::string &quoteKey);
    // Clicks a health details memo; true when that opened the modal health detail view, which
    // Escape then closed.
    bool OpensHealthView(const char *memo);

    // A new open quote of the provider on a need (the first need when none is given); its key.
    std::string AddQuote(std::string need = "");
    // Timer ticks of the main window; the quote load a tick starts is awaited.
    void Tick(int count)
    {
        for (int i = 0; i < count; ++i)
            Main->Timer1Timer();
        Settle();
    }
    // Waits until no quote load runs, is asked for or waits to be shown (the lists show the
    // last load), as a user waits for the lists to fill.
    void Settle();

    // Steps of a user.
    template <typename T = QWidget> T *Find(const char *name)
    {
        T *widget = Main->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTreeView *Tree() { return Find<QTreeView>("OpenCaseTreeView"); }
    QListView *AwardedList() { return Find<QListView>("DeliveryCaseListBox"); }
    cCaseDetailPage *DetailPage() { return Find<cCaseDetailPage>("CaseDetailPanel"); }
    cAwardedCasePage *AwardedPage() { return Find<cAwardedCasePage>("AcceptedCaseDetailPanel"); }
    bool Shown(const char *name) { return Find(name)->isVisible(); }
    void ClickTab(const char *tabs, int index);
    // Opens the " Admin " tab on one of its pages: 0 insurance, 1 who we are, 2 personnel.
    void ShowAdmin(int page = 0);
    void ShowAwardedTab() { ClickTab("PageControl1", 1); }
    void Click(const char *button)
    {
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
        Settle();
    }
    // Clicks a widget near its left edge (a check box on its mark).
    void Click(QWidget *widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
    }
    // Clicks a line of a list or tree (scrolled into view first).
    static void ClickLine(QAbstractItemView *view, const QModelIndex &index,
                          Qt::MouseButton button = Qt::LeftButton);
    // Replaces an edit's text as a user does: select all, type.
    void Type(const char *edit, const QString &text);
    // Clicks the check mark of an item of a check list.
    static void ClickCheck(QListWidget *list, int row);
    static int RowOf(const QListWidget *list, const QString &text);
    // Runs steps inside the modal loop that the click on a widget opens.
    void ClickIntoDialog(QWidget *button, const std::function<void()> &steps)
    {
        QTimer::singleShot(0, steps);
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }

    // The tree line of a quote as shown (invalid when the tree does not show it).
    QModelIndex TreeLine(const std::string &quoteKey);
    bool TreeHasQuote(const std::string &key) { return TreeLine(key).isValid(); }
    // Opens the quote with a click on its tree line; false when it is not in the tree.
    bool OpenQuote(const std::string &quoteKey);
    // Opens the awarded entry of that quote with a click; false when it is not listed.
    bool OpenAwarded(const std::string &quoteKey);
    bool ListPageShown() { return Shown("ActiveCasesPanel") && !Shown("CaseDetailPanel"); }

    cServerProcess &Server = cServerProcess::Shared();
    std::unique_ptr<cTestDatabase> Db;
    cRecordingHost Host;
    std::unique_ptr<cScopedHost> InstalledHost;
    std::unique_ptr<TMainForm> Main;
    std::unique_ptr<TRejectCodeForm> Reject;
    std::unique_ptr<TPatientHealthDetailNoEditForm> Health;
};
} // namespace ui_test
