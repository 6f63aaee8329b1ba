// The main window against DorvaneServer with demo data: activation, the two case lists, their
// drawing, opening entries, the refresh cycle and its failures.
#include "tests/ui/UiTestSupport.h"

#include "ui/LegendShape.h"
#include <QScreen>

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
    // The first case line, or the first quote line whose stored state is accepted or not.
    QModelIndex FirstLine(bool quote, bool accepted = false)
    {
        const QAbstractItemModel *model = Tree()->model();
        for (int c = 0; c < model->rowCount(); ++c)
        {
            const QModelIndex caseLine = model->index(c, 0);
            if (!quote)
                return caseLine;
            for (int q = 0; q < model->rowCount(caseLine); ++q)
                if (Accepted(model->index(q, 0, caseLine)) == accepted)
                    return model->index(q, 0, caseLine);
        }
        return {};
    }
    bool Accepted(const QModelIndex &quoteLine)
    {
        return Field("CaseNeedsQuote", quoteLine.data(list_role::Key).toString().toStdString(), 14) == "A";
    }
    bool Visible(const char *name) { return Find(name)->isVisible(); }
};
} // namespace

TEST_F(MainWindow, ActivationFillsNamesAndBothListsFromTheServer)
{
    Open();
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel", "UserNameLabel"}),
              (std::vector<std::string>{"Bayview Care Center", "User: Ms. Alice Morgan"}));
    auto *pages = Find<QTabWidget>("MainPageControl");
    EXPECT_EQ((std::vector<bool>{pages->isTabVisible(1), pages->isTabVisible(2), pages->isTabVisible(3),
                                 pages->isTabVisible(4)}),
              (std::vector<bool>{false, false, false, true}))
        << "D1 to D3 hidden; the administrator sees the Admin tab";
    EXPECT_TRUE(ListPageShown());
    EXPECT_FALSE(Visible("NoNotificationLabel") || Visible("QuoteLoadNoticeLabel"));

    const std::vector<std::string> tree = ExpectedTree(*Db, ProviderSeq());
    ASSERT_GE(tree.size(), 6u) << "the demo data has open requests";
    EXPECT_EQ(ViewLines(Tree()), tree);
    const std::vector<std::string> awarded = ExpectedAwarded(*Db, ProviderSeq());
    ASSERT_FALSE(awarded.empty());
    EXPECT_EQ(ViewLines(AwardedList()), awarded);
    EXPECT_TRUE(Tree()->isExpanded(Tree()->model()->index(0, 0))) << "every case is expanded";

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
    QTreeView *tree = Tree();
    const QAbstractItemModel *model = tree->model();
    const QImage image = tree->viewport()->grab().toImage();
    int quotesSeen = 0, purpleSeen = 0;
    for (int c = 0; c < model->rowCount(); ++c)
    {
        const QModelIndex caseLine = model->index(c, 0);
        const QRect caseRow = tree->visualRect(caseLine);
        if (caseRow.bottom() > image.height())
            break;
        EXPECT_EQ(CountPixels(image, caseRow, Red) + CountPixels(image, caseRow, Purple), 0) << c;
        EXPECT_GT(CountDarkPixels(image, caseRow), 20) << "case line " << c << " drawn in black";
        for (int q = 0; q < model->rowCount(caseLine); ++q)
        {
            const QRect row = tree->visualRect(model->index(q, 0, caseLine));
            if (row.bottom() > image.height())
                break;
            const bool accepted = Accepted(model->index(q, 0, caseLine));
            EXPECT_GT(CountPixels(image, row, accepted ? Purple : Red), 20) << "quote line " << q;
            EXPECT_EQ(CountPixels(image, row, accepted ? Red : Purple), 0);
            ++quotesSeen;
            purpleSeen += accepted;
        }
    }
    EXPECT_GE(quotesSeen, 4);
    EXPECT_GE(purpleSeen, 1);

    // The lines take their colour from the legend.
    Find<cLegendShape>("Shape1")->SetBrushColour(QColor(0, 0, 255));
    const QImage recoloured = tree->viewport()->grab().toImage();
    const QRect unanswered = tree->visualRect(FirstLine(true, false));
    EXPECT_EQ(CountPixels(recoloured, unanswered, Red), 0);
    EXPECT_GT(CountPixels(recoloured, unanswered, QColor(0, 0, 255)), 20);

    // Widening a section moves the columns at once.
    auto *header = Find<QHeaderView>("OpenCaseListHeader");
    const QRect caseRow = tree->visualRect(FirstLine(false));
    const QRect caseNumberArea(header->sectionViewportPosition(2) + 8, caseRow.top(), 50, caseRow.height());
    EXPECT_GT(CountDarkPixels(tree->viewport()->grab().toImage(), caseNumberArea), 10);
    header->resizeSection(1, 350);
    EXPECT_EQ(CountDarkPixels(tree->viewport()->grab().toImage(), caseNumberArea), 0)
        << "the case number moved right with the section edge";
}

TEST_F(MainWindow, QuoteLinesAndAwardedEntriesOpenTheirPages)
{
    Open();
    const QModelIndex caseLine = FirstLine(false);
    ClickLine(Tree(), caseLine);
    ClickLine(Tree(), caseLine, Qt::RightButton);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, QPoint(100, Tree()->viewport()->height() - 3));
    EXPECT_TRUE(ListPageShown());
    EXPECT_EQ(DetailPage()->SelectedQuoteKey(), "") << "case lines and empty space open nothing";

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
    {
        const QModelIndex quote = FirstLine(true, button == Qt::RightButton);
        const std::string key = quote.data(list_role::Key).toString().toStdString();
        ClickLine(Tree(), quote, button);
        EXPECT_TRUE(Visible("CaseDetailPanel") && !Visible("ActiveCasesPanel"));
        EXPECT_EQ(DetailPage()->SelectedQuoteKey(), key);
        EXPECT_EQ(DetailPage()->SelectedCaseKey(), CaseOf(key));
        Click("CaseDetailBackButton");
        EXPECT_TRUE(ListPageShown());
    }

    // An awarded entry opens the awarded case page; empty space under the entries opens nothing.
    ShowAwardedTab();
    QListView *list = AwardedList();
    ASSERT_TRUE(list->isVisible());
    ASSERT_GT(list->model()->rowCount(), 0);
    EXPECT_EQ(list->visualRect(list->model()->index(0, 0)).height(), 16);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(50, list->viewport()->height() - 4));
    EXPECT_TRUE(ListPageShown());
    ClickLine(list, list->model()->index(0, 0));
    EXPECT_TRUE(Visible("AcceptedCaseDetailPanel") && !Visible("ActiveCasesPanel"));
    const std::string key = ExpectedAwarded(*Db, ProviderSeq())[0];
    EXPECT_EQ(AwardedPage()->SelectedQuoteKey(), key);
    EXPECT_EQ(AwardedPage()->SelectedCaseKey(), CaseOf(key));
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
    Click("RefreshRequestButton");
    EXPECT_TRUE(TreeHasQuote(third)) << "Refresh Requests reconnects and reloads";
    EXPECT_EQ(Host.TerminateCount, 0);
    Tick(15);
    EXPECT_EQ(Main->TicksSinceLoad(), 15);
}

TEST_F(MainWindow, FailedLoadShowsANoticeAndNoStaleEntries)
{
    Open();
    ASSERT_GT(Tree()->model()->rowCount(), 0);
    {
        // A function server that cannot be reached by the loads' own link.
        const std::string port = Session().Addresses.FunctionServerPort;
        Session().Addresses.FunctionServerPort = "1";
        Main->StopQuoteLoads();
        Tick(16);
        EXPECT_TRUE(Visible("QuoteLoadNoticeLabel"));
        EXPECT_EQ(Tree()->model()->rowCount() + AwardedList()->model()->rowCount(), 0);
        EXPECT_TRUE(Host.Messages.empty()) << "no message box on a timer tick";
        Session().Addresses.FunctionServerPort = port;
        Main->StopQuoteLoads();
    }
    Tick(16);
    EXPECT_FALSE(Visible("QuoteLoadNoticeLabel"));
    EXPECT_EQ(ViewLines(Tree()), ExpectedTree(*Db, ProviderSeq()));
    // A link that was lost is opened again by the next load.
    Session().FunctionServerConnection()->Close();
    Tick(16);
    EXPECT_FALSE(Visible("QuoteLoadNoticeLabel"));
    EXPECT_EQ(ViewLines(Tree()), ExpectedTree(*Db, ProviderSeq()));
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
        EXPECT_EQ(Visible("NoNotificationLabel"), c.NoticeShown) << c.Sql;
        EXPECT_EQ(ShownTexts(Main.get(), {"NoNotificationLabel", "UserNameLabel"}),
                  (std::vector<std::string>{"No one has been designated to receive notifications", c.User}));
        // Only staff with the admin mark see the Admin tab.
        const bool admin = std::string(c.Email) == "admin@bayview.example";
        auto *pages = Find<QTabWidget>("MainPageControl");
        EXPECT_EQ(pages->isTabVisible(4), admin);
        EXPECT_EQ(pages->tabBar()->tabRect(4).isValid(), admin);
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindow, OpensCentredOnTheScreen)
{
    ASSERT_TRUE(SignInAs(Server, "admin@bayview.example"));
    Main = std::make_unique<TMainForm>();
    MainForm = Main.get();
    Main->ShowSignedIn();
    ASSERT_TRUE(WaitUntil([this] { return Main->HasActivated(); }));
    const QPoint off = Main->geometry().center() - Main->screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 8);
}

TEST_F(MainWindow, ProviderNotFoundStopsTheActivationAndKeepsAdministrationClosed)
{
    // The record gone for an administrator; the link dropped for a member without the mark: the
    // Admin tab (whose personnel page could grant the mark) shows for neither.
    for (const bool dropped : {false, true})
    {
        SCOPED_TRACE(dropped ? "link dropped, member" : "record gone, administrator");
        Host.Messages.clear();
        ASSERT_TRUE(SignInAs(Server, dropped ? "nathan@bayview.example" : "admin@bayview.example"));
        std::unique_ptr<cDeadLink> dead;
        if (dropped)
            dead = std::make_unique<cDeadLink>(cDeadLink::Data);
        else
            ASSERT_TRUE(Db->Exec("DELETE FROM ProviderEntities WHERE f10 = 'Bayview Care Center'"));
        Main = std::make_unique<TMainForm>();
        MainForm = Main.get();
        Main->show();
        ASSERT_TRUE(WaitUntil([this] { return !Host.Messages.empty(); }));
        EXPECT_EQ(Said(Host), std::vector<std::string>{"Error: Couldn't find Hospital"});
        EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel", "UserNameLabel"}),
                  (std::vector<std::string>{"", ""}));
        EXPECT_EQ(Tree()->model()->rowCount(), 0);
        auto *pages = Find<QTabWidget>("MainPageControl");
        EXPECT_FALSE(pages->isTabVisible(4));
        EXPECT_FALSE(pages->tabBar()->tabRect(4).isValid());
        // Nothing is reloaded for a provider that could not be read.
        Tick(40);
        if (!dropped)
            Click("RefreshRequestButton");
        EXPECT_EQ(Host.Messages.size(), 1u);
        EXPECT_EQ(Tree()->model()->rowCount(), 0);
        dead.reset();
        TearDown();
        SetUp();
    }
}
