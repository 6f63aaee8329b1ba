// What a screen reader finds on every page and dialog of the workspace against DorvaneServer with
// demo data: a walk of the accessibility tree finds no control that a user can reach without a
// name, and the controls that had none are named by the words beside them.
#include "tests/AccessibleWalk.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/CategorySelectionForm.h"
#include "workspace/HealthDetailGroups.h"

#include <QAccessible>

using namespace ui_test;
using accessible_walk::NamelessControls;
using accessible_walk::SpokenName;

namespace
{
class AccessibleNames : public cWorkspaceTest
{
protected:
    void TearDown() override
    {
        CategorySelectionForm = nullptr;
        Categories.reset();
        cWorkspaceTest::TearDown();
    }
    // No reachable control of the window is nameless, and the walk found some (where says which
    // view was walked).
    void ExpectAllNamed(QWidget *window, const std::string &where, int atLeast = 3)
    {
        int reachable = 0;
        EXPECT_EQ(NamelessControls(window, &reachable), std::vector<std::string>{}) << where;
        EXPECT_GE(reachable, atLeast) << where;
    }
    // Runs the walk inside the modal loop that open starts (once the dialog is shown: the requests
    // made before it may run the event loop), then closes the dialog with Escape.
    void WalkDialog(QWidget *dialog, const std::string &where, const std::function<void()> &open, int atLeast)
    {
        bool walked = false, opened = false;
        std::function<void()> walk = [&]
        {
            if (opened)
                return;
            if (!dialog->isVisible())
            {
                QTimer::singleShot(10, walk);
                return;
            }
            walked = true;
            ExpectAllNamed(dialog, where, atLeast);
            QTest::keyClick(dialog, Qt::Key_Escape);
        };
        QTimer::singleShot(0, walk);
        open();
        opened = true;
        EXPECT_TRUE(walked) << where;
        EXPECT_FALSE(dialog->isVisible()) << where;
    }
    std::unique_ptr<TCategorySelectionForm> Categories;
};
} // namespace

TEST_F(AccessibleNames, NoReachableControlOfAnyPageOrDialogIsNameless)
{
    Categories = std::make_unique<TCategorySelectionForm>();
    CategorySelectionForm = Categories.get();
    Open();
    ExpectAllNamed(Main.get(), "open requests", 10);
    ShowAwardedTab();
    ExpectAllNamed(Main.get(), "awarded cases", 5);

    ClickTab("PageControl1", 0);
    ASSERT_TRUE(OpenQuote(QuoteOf("Hartley")));
    ExpectAllNamed(Main.get(), "case detail", 12);
    WalkDialog(
        Reject.get(), "reject reason dialog", [this] { Click("DeclineButton"); }, 11);
    WalkDialog(
        Health.get(), "health detail view",
        [this] { QTest::mouseClick(Find<QPlainTextEdit>("HealthDetailsMemo")->viewport(), Qt::LeftButton); },
        100);
    Click("CaseDetailBackButton");

    ShowAwardedTab();
    ASSERT_FALSE(ExpectedAwarded(*Db, ProviderSeq()).empty());
    ASSERT_TRUE(OpenAwarded(ExpectedAwarded(*Db, ProviderSeq())[0]));
    ExpectAllNamed(Main.get(), "awarded case", 6);
    Click("Button1");

    for (int page : {0, 1, 2})
    {
        ShowAdmin(page);
        ExpectAllNamed(Main.get(), "admin page " + std::to_string(page));
    }
    ClickLine(Find<QListView>("PersonnelListBox"), Find<QListView>("PersonnelListBox")->model()->index(0, 0));
    ASSERT_TRUE(Shown("PersonnelEditPanel"));
    ExpectAllNamed(Main.get(), "personnel panel", 12);
    ShowAdmin(1);
    WalkDialog(
        Categories.get(), "category dialog", [this] { Click("WhatWeDoButton"); }, 80);

    ClickTab("MainPageControl", 0);
    Main->LockWorkspace();
    ExpectAllNamed(Main.get(), "lock", 2);
}

TEST_F(AccessibleNames, TheControlsThatHadNoNameAreNamedByTheWordsBesideThem)
{
    Open();
    const std::pair<const char *, const char *> named[] = {
        {"OpenCaseSearchEdit", "Search requests"},
        {"Shape1", "Item needs attention"},
        {"Shape2", "Waiting for hospitals response"},
        {"OpenCaseTreeView", "Current Open Case Requests"},
        {"LockPasswordEdit", "Password"},
        {"DiagnosisMemo", "Diagnosis"},
        {"HealthDetailsMemo", "Health Details"},
        {"DiagnosisCodeListBox", "Diagnosis Codes"},
        {"TreatmentCodeListBox", "Treatment Codes"},
        {"NeedsQuotePriceEdit", "Price (if relavent) "},
        {"CaseDetailPrintButton", "Print referral packet"},
    };
    for (const auto &[name, spoken] : named)
        EXPECT_EQ(SpokenName(Find(name)), spoken) << name;
    // The legend's words are what each quote line says of its colour.
    const QModelIndex quote = Tree()->model()->index(0, 0, Tree()->model()->index(0, 0));
    EXPECT_EQ(quote.data(Qt::AccessibleDescriptionRole).toString(), quote.data(list_role::Accepted).toBool()
                                                                        ? "Waiting for hospitals response"
                                                                        : "Item needs attention");

    // A data label is said with its caption: the caption is its label.
    QAccessibleInterface *number = QAccessible::queryAccessibleInterface(Find("CaseNumberLabel"));
    const auto labelled = number->relations(QAccessible::Label);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first->object(), Find("Label4"));

    // Each health detail group and each of its items by its caption; a memo and the grid by their
    // group's.
    int items = 0;
    for (const cHealthGroup &group : HealthDetailGroups())
    {
        const std::string caption =
            QString::fromUtf8(group.Caption.data(), group.Caption.size()).trimmed().toStdString();
        EXPECT_EQ(SpokenName(Health->Control(group.Name)), caption);
        for (const cHealthItem &item : group.Items)
        {
            const std::string own = QString::fromUtf8(item.Caption.data(), item.Caption.size()).toStdString();
            EXPECT_EQ(SpokenName(Health->Control(item.Name)), own.empty() ? caption : own)
                << std::string(item.Name);
            ++items;
        }
    }
    EXPECT_GT(items, 100);
}
