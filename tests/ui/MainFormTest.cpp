// The main window against DorvaneServer with demo data: activation, the two case lists, their
// drawing, opening entries, the refresh cycle and its failures.
#include "tests/ui/UiTestSupport.h"
#include "ui/LegendShape.h"

#include <QHeaderView>
#include <QTabBar>

using namespace ui_test;

namespace
{
const QColor Red(255, 0, 0);
const QColor Purple(128, 0, 128);

class MainWindow : public cWorkspaceTest
{
protected:
    QTreeWidgetItem *FirstItem(bool quote, bool accepted = false)
    {
        QTreeWidget *tree = Main->OpenCaseTreeView;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
        {
            QTreeWidgetItem *caseItem = tree->topLevelItem(i);
            if (!quote)
                return caseItem;
            for (int q = 0; q < caseItem->childCount(); ++q)
            {
                const std::string state = Db->Scalar("SELECT f14 FROM CaseNeedsQuote WHERE f1 = " +
                                                     caseItem->child(q)->text(0).toStdString());
                if ((state == "A") == accepted)
                    return caseItem->child(q);
            }
        }
        return nullptr;
    }

    void ClickItem(QTreeWidgetItem *item, Qt::MouseButton button)
    {
        QTest::mouseClick(Main->OpenCaseTreeView->viewport(), button, {},
                          Main->OpenCaseTreeView->visualItemRect(item).center());
    }
};
} // namespace

TEST_F(MainWindow, ActivationFillsNamesAndBothListsFromTheServer)
{
    Open();
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel", "UserNameLabel"}),
              (std::vector<std::string>{"Bayview Care Center", "User: Ms. Alice Morgan"}));
    EXPECT_TRUE(Main->MainPageControl->isTabVisible(4)) << "the administrator sees the Admin tab";
    for (int hidden : {1, 2, 3})
        EXPECT_FALSE(Main->MainPageControl->isTabVisible(hidden));
    EXPECT_TRUE(ListPageShown());
    EXPECT_FALSE(Main->NoNotificationLabel->isVisible());
    EXPECT_FALSE(Main->QuoteLoadNoticeLabel->isVisible());

    const std::vector<std::string> tree = ExpectedTree(*Db, ProviderSeq());
    ASSERT_GE(tree.size(), 6u) << "the demo data has open requests";
    EXPECT_EQ(TreeLines(*Main), tree);
    const std::vector<std::string> awarded = ExpectedAwarded(*Db, ProviderSeq());
    ASSERT_FALSE(awarded.empty());
    EXPECT_EQ(AwardedLines(*Main), awarded);
    EXPECT_EQ(Main->DeliveryCaseListBox->item(0)->text().toStdString(),
              Field("CaseNeeds", Field("CaseNeedsQuote", awarded[0], 10), 14))
        << "an awarded entry's text is the raw required date";

    // A second activation requests nothing: the lists stay as they are although the data changed.
    const std::string added = AddQuote();
    Main->FormActivate();
    EXPECT_FALSE(TreeHasQuote(added));

    // Closing the window ends the program.
    Main->close();
    EXPECT_EQ(Host.TerminateCount, 1);
}

TEST_F(MainWindow, QuoteLinesAreColouredByStateAndColumnsFollowTheHeader)
{
    Open();
    QTreeWidget *tree = Main->OpenCaseTreeView;
    const QImage image = tree->viewport()->grab().toImage();
    int quotesSeen = 0, purpleSeen = 0;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem *caseItem = tree->topLevelItem(i);
        const QRect caseRow = tree->visualItemRect(caseItem);
        if (caseRow.bottom() > image.height())
            break;
        EXPECT_EQ(CountPixels(image, caseRow, Red) + CountPixels(image, caseRow, Purple), 0) << i;
        EXPECT_GT(CountDarkPixels(image, caseRow), 20) << "case line " << i << " drawn in black";
        for (int q = 0; q < caseItem->childCount(); ++q)
        {
            const QRect row = tree->visualItemRect(caseItem->child(q));
            if (row.bottom() > image.height())
                break;
            const bool accepted = Db->Scalar("SELECT f14 FROM CaseNeedsQuote WHERE f1 = " +
                                             caseItem->child(q)->text(0).toStdString()) == "A";
            EXPECT_GT(CountPixels(image, row, accepted ? Purple : Red), 20) << "quote line " << q;
            EXPECT_EQ(CountPixels(image, row, accepted ? Red : Purple), 0);
            ++quotesSeen;
            purpleSeen += accepted;
        }
    }
    EXPECT_GE(quotesSeen, 4);
    EXPECT_GE(purpleSeen, 1);

    // The lines take their colour from the legend.
    Main->Shape1->SetBrushColour(QColor(0, 0, 255));
    const QImage recoloured = tree->viewport()->grab().toImage();
    const QRect unanswered = tree->visualItemRect(FirstItem(true, false));
    EXPECT_EQ(CountPixels(recoloured, unanswered, Red), 0);
    EXPECT_GT(CountPixels(recoloured, unanswered, QColor(0, 0, 255)), 20);

    // Widening a section moves the columns at once.
    const QRect caseRow = tree->visualItemRect(FirstItem(false));
    const int caseNumberLeft = Main->OpenCaseListHeader->sectionViewportPosition(2) + 8;
    const QRect caseNumberArea(caseNumberLeft, caseRow.top(), 50, caseRow.height());
    EXPECT_GT(CountDarkPixels(tree->viewport()->grab().toImage(), caseNumberArea), 10);
    Main->OpenCaseListHeader->resizeSection(1, 350);
    EXPECT_EQ(CountDarkPixels(tree->viewport()->grab().toImage(), caseNumberArea), 0)
        << "the case number moved right with the section edge";
}

TEST_F(MainWindow, QuoteLinesAndAwardedEntriesOpenTheirPages)
{
    Open();
    QTreeWidget *tree = Main->OpenCaseTreeView;
    QTreeWidgetItem *caseItem = FirstItem(false);
    ClickItem(caseItem, Qt::LeftButton);
    ClickItem(caseItem, Qt::RightButton);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(100, tree->viewport()->height() - 3));
    EXPECT_TRUE(ListPageShown());
    EXPECT_EQ(Main->SelectedQuoteKey, "");

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
    {
        QTreeWidgetItem *quote = FirstItem(true, button == Qt::RightButton);
        ClickItem(quote, button);
        EXPECT_TRUE(Main->CaseDetailPanel->isVisible());
        EXPECT_FALSE(Main->ActiveCasesPanel->isVisible());
        EXPECT_EQ(Main->SelectedQuoteKey, quote->text(0).toStdString());
        EXPECT_EQ(Main->SelectedCaseKey, quote->parent()->text(0).toStdString());
        Main->CaseDetailBackButtonClick();
        EXPECT_TRUE(ListPageShown());
    }

    // An awarded entry opens the awarded case page.
    ShowAwardedTab();
    QListWidget *list = Main->DeliveryCaseListBox;
    ASSERT_TRUE(list->isVisible());
    ASSERT_GT(list->count(), 0);
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 16);
    // Empty space under the entries opens nothing.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(50, list->viewport()->height() - 4));
    EXPECT_TRUE(ListPageShown());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_TRUE(Main->AcceptedCaseDetailPanel->isVisible());
    EXPECT_FALSE(Main->ActiveCasesPanel->isVisible());
    const std::string key = Main->Quotes.Awarded[0]->Key;
    EXPECT_EQ(Main->SelectedQuoteKey, key);
    EXPECT_EQ(Main->SelectedCaseKey, CaseOf(key));
}

TEST_F(MainWindow, SixteenthTickReloadsAndTabShowsRestartTheCount)
{
    Open();
    const std::string first = AddQuote();
    Tick(15);
    EXPECT_FALSE(TreeHasQuote(first)) << "fifteen ticks do not reload";
    Tick(1);
    EXPECT_TRUE(TreeHasQuote(first)) << "the sixteenth does";

    Tick(10);
    ShowAwardedTab();
    const std::string second = AddQuote();
    Tick(15);
    EXPECT_FALSE(TreeHasQuote(second)) << "showing a tab restarted the count";
    Tick(1);
    EXPECT_TRUE(TreeHasQuote(second));

    const std::string third = AddQuote();
    QTest::mouseClick(Main->RefreshRequestButton, Qt::LeftButton);
    EXPECT_TRUE(TreeHasQuote(third)) << "Refresh Requests reconnects and reloads";
    EXPECT_EQ(Host.TerminateCount, 0);
    Tick(15);
    EXPECT_EQ(Main->RefreshTicks, 15);
}

TEST_F(MainWindow, FailedLoadShowsANoticeAndNoStaleEntries)
{
    Open();
    ASSERT_GT(Main->OpenCaseTreeView->topLevelItemCount(), 0);
    {
        // A function server that cannot be reached: the previous reply is still in the old link.
        const std::string reply = FunctionServerConnection->ReplyText;
        cDeadLink dead(FunctionServerConnection);
        FunctionServerConnection->ReplyText = reply;
        Tick(16);
        EXPECT_TRUE(Main->QuoteLoadNoticeLabel->isVisible());
        EXPECT_EQ(Main->OpenCaseTreeView->topLevelItemCount(), 0);
        EXPECT_EQ(Main->DeliveryCaseListBox->count(), 0);
        EXPECT_TRUE(Host.Messages.empty()) << "no message box on a timer tick";
    }
    Tick(16);
    EXPECT_FALSE(Main->QuoteLoadNoticeLabel->isVisible());
    EXPECT_EQ(TreeLines(*Main), ExpectedTree(*Db, ProviderSeq()));
    // A link that was lost is opened again by the next load.
    FunctionServerConnection->Close();
    Tick(16);
    EXPECT_FALSE(Main->QuoteLoadNoticeLabel->isVisible());
    EXPECT_EQ(TreeLines(*Main), ExpectedTree(*Db, ProviderSeq()));
}

TEST_F(MainWindow, NotificationLabelAndAdminTabFollowThePersonnelRecords)
{
    const struct
    {
        const char *Sql, *Email, *User;
        bool NoticeShown;
    } cases[] = {
        {"UPDATE Personnel SET f29 = 'y' WHERE f22 = 'nathan@bayview.example'", "admin@bayview.example",
         "User: Ms. Alice Morgan", true},
        {"UPDATE Personnel SET f29 = 'Y', f22 = '' WHERE f22 = 'nathan@bayview.example'",
         "admin@bayview.example", "User: Ms. Alice Morgan", true},
        {"UPDATE Personnel SET f22 = 'nathan@bayview.example', f29 = 'Y' WHERE f11 = 'Nathan'",
         "nathan@bayview.example", "User: Mr. Nathan Reyes", false},
    };
    for (const auto &c : cases)
    {
        ASSERT_TRUE(Db->Exec(c.Sql)) << Db->LastError;
        ASSERT_NO_FATAL_FAILURE(Open(c.Email));
        EXPECT_EQ(Main->NoNotificationLabel->isVisible(), c.NoticeShown) << c.Sql;
        EXPECT_EQ(Main->NoNotificationLabel->text(), "No one has been designated to receive notifications");
        EXPECT_EQ(Main->UserNameLabel->text(), c.User);
        // Only staff with the admin mark see the Admin tab.
        const bool admin = std::string(c.Email) == "admin@bayview.example";
        EXPECT_EQ(Main->MainPageControl->isTabVisible(4), admin);
        EXPECT_EQ(Main->MainPageControl->tabBar()->tabRect(4).isValid(), admin);
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindow, ProviderNotFoundStopsTheActivation)
{
    ASSERT_TRUE(SignInAs(Server, "admin@bayview.example"));
    ASSERT_TRUE(Db->Exec("DELETE FROM ProviderEntities WHERE f10 = 'Bayview Care Center'"));
    Main = std::make_unique<TMainForm>();
    MainForm = Main.get();
    Main->show();
    ASSERT_TRUE(WaitUntil([this] { return !Host.Messages.empty(); }));
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Error: Couldn't find Hospital"});
    EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel", "UserNameLabel"}),
              (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Main->OpenCaseTreeView->topLevelItemCount(), 0);
    EXPECT_TRUE(Main->MainPageControl->isTabVisible(4));
    // Nothing is reloaded for a provider that could not be read.
    Tick(40);
    QTest::mouseClick(Main->RefreshRequestButton, Qt::LeftButton);
    EXPECT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Main->OpenCaseTreeView->topLevelItemCount(), 0);
}
