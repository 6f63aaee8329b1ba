// The day's work by keyboard alone against DorvaneServer with demo data: every step below is a key
// sent to the widget that has the focus (no clicks), and what it did is read from the stored
// records and the pages shown.
#include "tests/ui/UiTestSupport.h"

#include <QApplication>

using namespace ui_test;

namespace
{
class KeyboardPath : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
        Main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    }
    static QWidget *Focus() { return QApplication::focusWidget(); }
    static std::string FocusName() { return Focus() ? Focus()->objectName().toStdString() : "<none>"; }
    // A key pressed and released on the widget that has the focus.
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *focus = Focus();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
    }
    static void Type(const QString &text) { QTest::keyClicks(Focus(), text); }
    // The names of the widgets that Tab moves the focus to, count times.
    static std::vector<std::string> TabWalk(int count, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
        {
            Key(Qt::Key_Tab, modifiers);
            names.push_back(FocusName());
        }
        return names;
    }
    // Tab until the named widget has the focus (at most a round of the window); false if never.
    static bool TabTo(const char *name)
    {
        for (int i = 0; i < 60 && FocusName() != name; ++i)
            Key(Qt::Key_Tab);
        return FocusName() == name;
    }
    // Down arrows in a view until its current line has that key (in the tree: a quote line or a
    // case line); false if it never comes.
    static bool ArrowTo(QAbstractItemView *view, const std::string &key, bool quoteLine = false)
    {
        for (int i = 0; i < 200; ++i)
        {
            const QModelIndex current = view->currentIndex();
            if (current.data(list_role::Key).toString().toStdString() == key &&
                current.data(list_role::IsQuote).toBool() == quoteLine)
                return true;
            Key(Qt::Key_Down);
        }
        return false;
    }
    // Runs steps inside the modal loop of the dialog that the key opens, once the dialog has the
    // keyboard (a dialog that never gets it is closed and the test fails); afterwards the main
    // window has the keyboard again, as the window manager gives it back.
    void KeyIntoDialog(QDialog *dialog, int key, const std::function<void()> &steps)
    {
        int polls = 0;
        bool done = false;
        std::function<void()> wait = [&]
        {
            if (done)
                return;
            QWidget *focus = QApplication::focusWidget();
            if (dialog->isVisible() && focus && focus->window() == dialog)
            {
                done = true;
                steps();
            }
            else if (++polls < 1000)
                QTimer::singleShot(10, wait);
            else
            {
                ADD_FAILURE() << "the dialog did not get the keyboard";
                dialog->reject();
            }
        };
        QTimer::singleShot(0, wait);
        Key(key);
        done = true;
        Main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Main.get()));
    }
};
} // namespace

TEST_F(KeyboardPath, TabReachesTheSearchTheTreeAndRefreshAndEnterOpensAQuoteToAnswer)
{
    // The list page: the search, the tree, "Refresh Requests", in that order.
    ASSERT_TRUE(TabTo("OpenCaseSearchEdit"));
    EXPECT_EQ(TabWalk(2), (std::vector<std::string>{"OpenCaseTreeView", "RefreshRequestButton"}));
    EXPECT_EQ(TabWalk(2, Qt::ShiftModifier),
              (std::vector<std::string>{"OpenCaseTreeView", "OpenCaseSearchEdit"}));

    // Arrows move through the tree; Enter on a case line opens nothing, on a quote line the quote.
    Key(Qt::Key_Tab);
    const std::string quote = QuoteOf("Hartley");
    ASSERT_TRUE(ArrowTo(Tree(), CaseOf(quote)));
    Key(Qt::Key_Return);
    EXPECT_TRUE(ListPageShown());
    ASSERT_TRUE(ArrowTo(Tree(), quote, true));
    // A reload keeps the keyboard's line, and selects nothing else.
    Tick(16);
    EXPECT_EQ(Tree()->currentIndex().data(list_role::Key).toString().toStdString(), quote);
    for (const QModelIndex &selected : Tree()->selectionModel()->selectedIndexes())
        EXPECT_EQ(selected.data(list_role::Key).toString().toStdString(), quote);
    Key(Qt::Key_Return);
    ASSERT_TRUE(Shown("CaseDetailPanel"));
    EXPECT_EQ(DetailPage()->SelectedQuoteKey(), quote);

    // The page starts at the price; Tab runs comment, the answer buttons, Back and Print.
    EXPECT_EQ(FocusName(), "NeedsQuotePriceEdit");
    std::vector<std::string> path{"ResponseReasonEdit", "AcceptButton", "DeclineButton"};
    if (Shown("HideQuoteButton"))
        path.push_back("HideQuoteButton");
    path.insert(path.end(), {"CaseDetailBackButton", "CaseDetailPrintButton"});
    EXPECT_EQ(TabWalk(static_cast<int>(path.size())), path);

    // Answer by keys: a price and a comment typed, Accept pressed with Space.
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_TRUE(TabTo("NeedsQuotePriceEdit"));
    Key(Qt::Key_A, Qt::ControlModifier);
    Type("140");
    Key(Qt::Key_Tab);
    Key(Qt::Key_A, Qt::ControlModifier);
    Type("Bed ready Monday");
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), "AcceptButton");
    Key(Qt::Key_Space);
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Success: The quote has been accepted"});
    EXPECT_EQ(Fields("CaseNeedsQuote", quote, {13, 14, 1001}),
              (std::vector<std::string>{"140", "A", "Bed ready Monday"}));

    // Escape goes back to the list.
    Key(Qt::Key_Escape);
    EXPECT_TRUE(ListPageShown());
}

TEST_F(KeyboardPath, TheReasonDialogWorksWithArrowsSpaceAndEnter)
{
    const std::string quote = Db->Scalar("SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                                         "WHERE q.f11 = '" +
                                         ProviderSeq() +
                                         "' AND IFNULL(q.f14, '') = '' AND IFNULL(q.f16, '') <> 'N' "
                                         "AND IFNULL(n.f16, '') = '' ORDER BY q.f1 LIMIT 1");
    ASSERT_TRUE(TabTo("OpenCaseTreeView"));
    ASSERT_TRUE(ArrowTo(Tree(), quote, true));
    Key(Qt::Key_Enter);
    ASSERT_EQ(DetailPage()->SelectedQuoteKey(), quote);
    ASSERT_TRUE(TabTo("DeclineButton"));
    std::vector<std::string> steps;
    KeyIntoDialog(Reject.get(), Qt::Key_Space,
                  [&]
                  {
                      steps.push_back(FocusName());
                      // Enter with no reason: said, the dialog stays.
                      Key(Qt::Key_Return);
                      steps.push_back(Reject->isVisible() ? "open" : "closed");
                      // Down twice, Space ticks the third reason, Enter confirms.
                      Key(Qt::Key_Down);
                      Key(Qt::Key_Down);
                      steps.push_back(FocusName());
                      Key(Qt::Key_Space);
                      Key(Qt::Key_Return);
                  });
    EXPECT_EQ(steps, (std::vector<std::string>{"RejectCode1RadioButton", "open", "RejectCode3RadioButton"}));
    EXPECT_EQ(Said(Host), (std::vector<std::string>{"Missing Data: Please choose a reason for rejection",
                                                    "Success: The quote has been declined"}));
    EXPECT_EQ(Fields("CaseNeedsQuote", quote, {14, 15}), (std::vector<std::string>{"R", "3"}));

    // Escape cancels the dialog; Enter on "Cancel" cancels too: nothing more is written.
    Host.Messages.clear();
    ASSERT_EQ(FocusName(), "DeclineButton");
    KeyIntoDialog(Reject.get(), Qt::Key_Space, [] { Key(Qt::Key_Escape); });
    KeyIntoDialog(Reject.get(), Qt::Key_Space,
                  []
                  {
                      Key(Qt::Key_Down);
                      Key(Qt::Key_Space);
                      TabTo("CancelButton");
                      Key(Qt::Key_Return);
                  });
    EXPECT_FALSE(Reject->isVisible());
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Fields("CaseNeedsQuote", quote, {14, 15}), (std::vector<std::string>{"R", "3"}));
}

TEST_F(KeyboardPath, EnterOpensAnAwardedCaseAndTheHealthDetails)
{
    // The awarded list: its tab by arrow on the list tabs, an entry by arrows and Enter.
    ASSERT_TRUE(TabTo("OpenCaseSearchEdit"));
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(Focus(), Find<QTabWidget>("PageControl1")->tabBar());
    Key(Qt::Key_Right);
    ASSERT_EQ(Find<QTabWidget>("PageControl1")->currentIndex(), 1);
    Key(Qt::Key_Tab);
    ASSERT_EQ(FocusName(), "DeliveryCaseListBox");
    const std::vector<std::string> awarded = ExpectedAwarded(*Db, ProviderSeq());
    ASSERT_FALSE(awarded.empty());
    ASSERT_TRUE(ArrowTo(AwardedList(), awarded.back()));
    Key(Qt::Key_Space); // the line is chosen
    Key(Qt::Key_Return);
    ASSERT_TRUE(Shown("AcceptedCaseDetailPanel"));
    EXPECT_EQ(AwardedPage()->SelectedQuoteKey(), awarded.back());
    EXPECT_EQ(FocusName(), "Button1");
    EXPECT_EQ(TabWalk(3),
              (std::vector<std::string>{"AwardedCasePrintButton", "DiagnosisDMemo", "HealthDetailsDMemo"}));

    // Enter on the health details opens the full view; Escape closes it, and Escape goes back.
    bool opened = false;
    KeyIntoDialog(Health.get(), Qt::Key_Return,
                  [&]
                  {
                      opened = Health->isVisible();
                      Key(Qt::Key_Escape);
                  });
    EXPECT_TRUE(opened);
    EXPECT_FALSE(Health->isVisible());
    EXPECT_TRUE(Shown("AcceptedCaseDetailPanel"));
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Shown("ActiveCasesPanel") && !Shown("AcceptedCaseDetailPanel"));
}
