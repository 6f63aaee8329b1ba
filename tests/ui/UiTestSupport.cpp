#include "tests/ui/UiTestSupport.h"

#include "workspace/CaseTexts.h"
#include "workspace/HealthDetailsSummary.h"
#include "workspace/ListTexts.h"

#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>

namespace ui_test
{
bool SignInAs(const cServerProcess &server, const std::string &email)
{
    ServerAddresses = {"127.0.0.1", server.DataPortText(), "127.0.0.1", server.FunctionPortText()};
    if (!OpenServerConnections(ServerAddresses))
        return false;
    if (!PersonnelRecord)
        PersonnelRecord = new cStringList;
    return DataServerConnection->ReadList("Personnel", 4, email, "", *PersonnelRecord);
}

namespace
{
template <typename Test> int CountWhere(const QImage &image, const QRect &area, Test test)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += test(image.pixelColor(x, y));
    return count;
}
} // namespace

int CountPixels(const QImage &image, const QRect &area, const QColor &colour)
{
    return CountWhere(image, area, [&](const QColor &pixel) { return pixel.rgb() == colour.rgb(); });
}

int CountDarkPixels(const QImage &image, const QRect &area)
{
    return CountWhere(image, area, [](const QColor &pixel) { return pixel.lightness() < 128; });
}

std::vector<std::string> ExpectedTree(cTestDatabase &db, const std::string &provider)
{
    // Listed quotes of the provider that are not awarded to it, grouped by case in the order in
    // which the server lists them (by quote key, a case at its first quote).
    const auto rows = db.Query("SELECT n.f10, q.f1, MIN(q.f1) OVER (PARTITION BY n.f10) AS first "
                               "FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 WHERE q.f11 = '" +
                               provider +
                               "' AND IFNULL(q.f16, '') <> 'N' AND NOT (q.f14 = 'A' AND n.f16 = CAST(q.f1 AS "
                               "TEXT)) ORDER BY first, q.f1");
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        if (i == 0 || rows[i][0] != rows[i - 1][0])
            lines.push_back("case " + rows[i][0]);
        lines.push_back("  quote " + rows[i][1]);
    }
    return lines;
}

std::vector<std::string> ExpectedAwarded(cTestDatabase &db, const std::string &provider)
{
    std::vector<std::string> keys;
    for (const auto &row :
         db.Query("SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                  "WHERE q.f11 = '" +
                  provider +
                  "' AND IFNULL(q.f16, '') <> 'N' AND q.f14 = 'A' AND n.f16 = CAST(q.f1 AS TEXT) "
                  "ORDER BY q.f1"))
        keys.push_back(row[0]);
    return keys;
}

std::vector<std::string> TreeLines(const TMainForm &form, bool visibleOnly)
{
    std::vector<std::string> lines;
    for (int i = 0; i < form.OpenCaseTreeView->topLevelItemCount(); ++i)
    {
        const QTreeWidgetItem *caseItem = form.OpenCaseTreeView->topLevelItem(i);
        if (visibleOnly && caseItem->isHidden())
            continue;
        lines.push_back("case " + caseItem->text(0).toStdString());
        for (int q = 0; q < caseItem->childCount(); ++q)
            if (!visibleOnly || !caseItem->child(q)->isHidden())
                lines.push_back("  quote " + caseItem->child(q)->text(0).toStdString());
    }
    return lines;
}

std::vector<std::string> AwardedLines(const TMainForm &form)
{
    std::vector<std::string> keys;
    for (const auto &quote : form.Quotes.Awarded)
        keys.push_back(quote->Key);
    EXPECT_EQ(static_cast<int>(keys.size()), form.DeliveryCaseListBox->count());
    return keys;
}

std::vector<std::string> Texts(const QListWidget *list, bool onlyTicked)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        if (!onlyTicked || list->item(i)->checkState() == Qt::Checked)
            texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

std::vector<std::string> ShownTexts(const QWidget *root, const std::vector<std::string> &names)
{
    std::vector<std::string> texts;
    for (const std::string &name : names)
    {
        const QWidget *widget = root->findChild<QWidget *>(QString::fromStdString(name));
        if (auto *label = qobject_cast<const QLabel *>(widget))
            texts.push_back(label->text().toStdString());
        else if (auto *edit = qobject_cast<const QLineEdit *>(widget))
            texts.push_back(edit->text().toStdString());
        else if (auto *memo = qobject_cast<const QPlainTextEdit *>(widget))
            texts.push_back(memo->toPlainText().toStdString());
        else if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            texts.push_back(button->text().toStdString());
        else
            texts.push_back("<no " + name + ">");
    }
    return texts;
}

std::vector<std::string> Said(const cRecordingHost &host)
{
    std::vector<std::string> said;
    for (const auto &message : host.Messages)
        said.push_back(message.Caption + ": " + message.Text +
                       (message.Buttons == cHostButtons::YesNo ? " [Yes/No]" : ""));
    return said;
}

cDeadLink::cDeadLink(dbServerConnection *&link) : Link(link), Saved(link)
{
    Link = new dbServerConnection("127.0.0.1", "1", "", "", false, -1);
}

cDeadLink::~cDeadLink()
{
    delete Link;
    Link = Saved;
}

cWorkspaceTest::cWorkspaceTest() = default;
cWorkspaceTest::~cWorkspaceTest() = default;

void cWorkspaceTest::SetUp()
{
    ASSERT_GT(Server.DataPort, 0) << Server.Error;
    Db = std::make_unique<cTestDatabase>(Server.DatabasePath());
    ASSERT_TRUE(Db->IsOpen());
    InstalledHost = std::make_unique<cScopedHost>(&Host);
    Reject = std::make_unique<TRejectCodeForm>();
    RejectCodeForm = Reject.get();
    Health = std::make_unique<TPatientHealthDetailNoEditForm>();
    PatientHealthDetailNoEditForm = Health.get();
}

void cWorkspaceTest::TearDown()
{
    MainForm = nullptr;
    Main.reset();
    CloseServerConnections();
    RejectCodeForm = nullptr;
    PatientHealthDetailNoEditForm = nullptr;
    Reject.reset();
    Health.reset();
    InstalledHost.reset();
}

void cWorkspaceTest::Open(const std::string &email)
{
    ASSERT_TRUE(SignInAs(Server, email)) << email;
    Main = std::make_unique<TMainForm>();
    MainForm = Main.get();
    Main->show();
    ASSERT_TRUE(WaitUntil([this] { return Main->Activated; }));
}

std::string cWorkspaceTest::QuoteOf(const std::string &patientLastName)
{
    return Db->Scalar("SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                      "JOIN Cases c ON c.f1 = n.f10 JOIN Patients p ON p.f1 = c.f10 "
                      "WHERE p.f12 = '" +
                      patientLastName + "' AND q.f11 = '" + ProviderSeq() + "' ORDER BY n.f1, q.f1 LIMIT 1");
}

std::vector<std::string> cWorkspaceTest::Column(const std::string &sql)
{
    std::vector<std::string> values;
    for (const auto &row : Db->Query(sql))
        values.push_back(row[0]);
    return values;
}

std::vector<std::string> cWorkspaceTest::StoredCodes(const char *table, const std::string &caseKey)
{
    std::vector<std::string> codes;
    for (const auto &row : Db->Query(std::string("SELECT IFNULL(f11, ''), IFNULL(f1001, '') FROM ") + table +
                                     " WHERE f10 = '" + caseKey + "' ORDER BY f1"))
        codes.push_back(row[0] + "|" + row[1]);
    return codes;
}

std::vector<std::string> cWorkspaceTest::ShownCodes(const QListWidget *list)
{
    std::vector<std::string> codes;
    for (int i = 0; i < list->count(); ++i)
    {
        const cCodeItem item = ReadCodeItem(list->item(i)->text().toStdString());
        codes.push_back(item.Code + "|" + item.Description);
    }
    return codes;
}

QStringList cWorkspaceTest::HealthSummary(const std::string &caseKey)
{
    cStringList summary;
    summary.SetValues("f1002", Field("Cases", caseKey, 1002));
    RenderHealthDetails(summary);
    QStringList lines;
    for (const std::string &line : summary.ToVector())
        lines << QString::fromStdString(line);
    return lines;
}

std::vector<std::string> cWorkspaceTest::StoredCaseTexts(const std::string &quoteKey)
{
    const std::string caseKey = CaseOf(quoteKey), need = Field("CaseNeedsQuote", quoteKey, 10);
    std::string diagnosis = Field("Cases", caseKey, 1001);
    for (std::size_t at; (at = diagnosis.find("\r\n")) != std::string::npos;)
        diagnosis.erase(at, 1);
    return {Field("ProviderEntities", Field("Cases", caseKey, 11), 10),
            FormatServerDate(Field("CaseNeeds", need, 14)),
            Field("ProviderCategories", Field("CaseNeeds", need, 12), 12),
            Field("CaseNeeds", need, 15),
            Field("Cases", caseKey, 16),
            Field("Cases", caseKey, 17),
            diagnosis};
}

bool cWorkspaceTest::OpensHealthView(QWidget *memo)
{
    bool shown = false;
    QTimer::singleShot(0,
                       [&]
                       {
                           shown = Health->isVisible() && Health->isModal();
                           QTest::keyClick(Health.get(), Qt::Key_Escape);
                       });
    QTest::mouseClick(qobject_cast<QPlainTextEdit *>(memo)->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    return shown && !Health->isVisible();
}

std::string cWorkspaceTest::AddQuote(std::string need)
{
    if (need.empty())
        need = Db->Scalar("SELECT f1 FROM CaseNeeds ORDER BY f1 LIMIT 1");
    cStringList lines;
    lines.Add("f10=" + need);
    lines.Add("f11=" + ProviderSeq());
    return DataServerConnection->AddRecord("CaseNeedsQuote", lines);
}

void cWorkspaceTest::ClickTab(QTabWidget *tabs, int index)
{
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
    EXPECT_EQ(tabs->currentIndex(), index);
}

void cWorkspaceTest::ShowAdmin(int page)
{
    ClickTab(Main->MainPageControl, 4);
    if (page != Main->AdminPageControl->currentIndex())
        ClickTab(Main->AdminPageControl, page);
}

void cWorkspaceTest::Click(const char *button)
{
    QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
}

void cWorkspaceTest::Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

void cWorkspaceTest::Type(const char *edit, const QString &text)
{
    auto *box = Find<QLineEdit>(edit);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

void cWorkspaceTest::ClickCheck(QListWidget *list, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(list->item(row));
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QRect mark = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, mark.center());
}

int cWorkspaceTest::RowOf(const QListWidget *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text)
            return i;
    ADD_FAILURE() << text.toStdString();
    return 0;
}

void cWorkspaceTest::ClickIntoDialog(QWidget *button, const std::function<void()> &steps)
{
    QTimer::singleShot(0, steps);
    QTest::mouseClick(button, Qt::LeftButton);
}

QTreeWidgetItem *cWorkspaceTest::TreeItem(const std::string &quoteKey)
{
    QTreeWidget *tree = Main->OpenCaseTreeView;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        for (int q = 0; q < tree->topLevelItem(i)->childCount(); ++q)
            if (tree->topLevelItem(i)->child(q)->text(0).toStdString() == quoteKey)
                return tree->topLevelItem(i)->child(q);
    return nullptr;
}

bool cWorkspaceTest::OpenQuote(const std::string &quoteKey)
{
    QTreeWidgetItem *item = TreeItem(quoteKey);
    if (!item)
        return false;
    Main->OpenCaseTreeView->scrollToItem(item);
    QTest::mouseClick(Main->OpenCaseTreeView->viewport(), Qt::LeftButton, {},
                      Main->OpenCaseTreeView->visualItemRect(item).center());
    return Main->SelectedQuoteKey == quoteKey;
}

bool cWorkspaceTest::OpenAwarded(const std::string &quoteKey)
{
    QListWidget *list = Main->DeliveryCaseListBox;
    for (std::size_t i = 0; i < Main->Quotes.Awarded.size(); ++i)
        if (Main->Quotes.Awarded[i]->Key == quoteKey)
        {
            QListWidgetItem *item = list->item(static_cast<int>(i));
            list->scrollToItem(item);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            return Main->SelectedQuoteKey == quoteKey;
        }
    return false;
}

bool cWorkspaceTest::ListPageShown() const
{
    return Main->ActiveCasesPanel->isVisible() && !Main->CaseDetailPanel->isVisible();
}
} // namespace ui_test
