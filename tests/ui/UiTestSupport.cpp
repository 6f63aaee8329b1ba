#include "tests/ui/UiTestSupport.h"

#include <QAccessible>

#include "workspace/HealthDetailsSummary.h"
#include "workspace/ListTexts.h"

#include <QSortFilterProxyModel>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>

namespace ui_test
{
bool SignInAs(const cServerProcess &server, const std::string &email)
{
    cSession &session = Session();
    session.Addresses = {"127.0.0.1", server.DataPortText(), "127.0.0.1", server.FunctionPortText()};
    return session.Connect() && session.ReadPersonnel(email, session.PersonnelRecord);
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

void AddLines(const QAbstractItemModel *model, const QModelIndex &parent, const std::string &indent,
              std::vector<std::string> &lines)
{
    for (int row = 0; row < model->rowCount(parent); ++row)
    {
        const QModelIndex line = model->index(row, 0, parent);
        // A tree's lines say what they are; a list's are its keys alone.
        const bool treeCase = !parent.isValid() && line.data(list_role::IsQuote).isValid();
        const char *kind = parent.isValid() ? "quote " : treeCase ? "case " : "";
        lines.push_back(indent + kind + line.data(list_role::Key).toString().toStdString());
        AddLines(model, line, indent + "  ", lines);
    }
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

std::vector<std::string> ViewLines(const QAbstractItemView *view, bool allLines)
{
    const QAbstractItemModel *model = view->model();
    if (const auto *proxy = qobject_cast<const QSortFilterProxyModel *>(model); proxy && allLines)
        model = proxy->sourceModel();
    std::vector<std::string> lines;
    AddLines(model, {}, "", lines);
    return lines;
}

std::vector<std::string> RoleTexts(const QAbstractItemView *view, int role)
{
    std::vector<std::string> texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts.push_back(view->model()->index(row, 0).data(role).toString().toStdString());
    return texts;
}

namespace
{
void AddSpoken(QAccessibleInterface *node, int depth, std::vector<std::string> &texts)
{
    if (!node || !node->isValid() || depth > 40)
        return;
    if (!node->state().invisible)
        for (QAccessible::Text kind : {QAccessible::Name, QAccessible::Value, QAccessible::Description})
            if (const QString text = node->text(kind); !text.isEmpty())
                texts.push_back(text.toStdString());
    for (int i = 0; i < node->childCount(); ++i)
        AddSpoken(node->child(i), depth + 1, texts);
}
} // namespace

std::vector<std::string> SpokenTexts(QWidget *root)
{
    std::vector<std::string> texts;
    AddSpoken(QAccessible::queryAccessibleInterface(root), 0, texts);
    return texts;
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

cDeadLink::cDeadLink(cWhich which) : Which(which)
{
    auto dead = std::make_unique<dbServerConnection>("127.0.0.1", "1", "", "", false, -1);
    Saved = which == Data ? Session().ReplaceDataServerConnection(std::move(dead))
                          : Session().ReplaceFunctionServerConnection(std::move(dead));
}

cDeadLink::~cDeadLink()
{
    if (Which == Data)
        Session().ReplaceDataServerConnection(std::move(Saved));
    else
        Session().ReplaceFunctionServerConnection(std::move(Saved));
}

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
    Session().Close();
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
    ASSERT_TRUE(WaitUntil([this] { return Main->HasActivated(); }));
    Settle();
}

void cWorkspaceTest::Settle()
{
    if (!Main)
        return;
    EXPECT_TRUE(WaitUntil(
        [this]
        {
            Main->SwapInQuotes();
            return Main->QuotesSettled();
        }));
}

std::string cWorkspaceTest::QuoteOf(const std::string &patientLastName)
{
    return Db->Scalar("SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                      "JOIN Cases c ON c.f1 = n.f10 JOIN Patients p ON p.f1 = c.f10 "
                      "WHERE p.f12 = '" +
                      patientLastName + "' AND q.f11 = '" + ProviderSeq() + "' ORDER BY n.f1, q.f1 LIMIT 1");
}

std::vector<std::string> cWorkspaceTest::StoredCodes(const char *table, const std::string &caseKey)
{
    std::vector<std::string> codes;
    for (const auto &row : Db->Query(std::string("SELECT IFNULL(f11, ''), IFNULL(f1001, '') FROM ") + table +
                                     " WHERE f10 = '" + caseKey + "' ORDER BY f1"))
        codes.push_back(row[0] + "|" + row[1]);
    return codes;
}

std::vector<std::string> cWorkspaceTest::ShownCodes(const char *list)
{
    const auto *view = Find<QListView>(list);
    std::vector<std::string> codes = RoleTexts(view, list_role::Code);
    const std::vector<std::string> descriptions = RoleTexts(view, list_role::Description);
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] += "|" + descriptions[i];
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

bool cWorkspaceTest::OpensHealthView(const char *memo)
{
    bool shown = false;
    QTimer::singleShot(0,
                       [&]
                       {
                           shown = Health->isVisible() && Health->isModal();
                           QTest::keyClick(Health.get(), Qt::Key_Escape);
                       });
    QTest::mouseClick(Find<QPlainTextEdit>(memo)->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    return shown && !Health->isVisible();
}

std::string cWorkspaceTest::AddQuote(std::string need)
{
    if (need.empty())
        need = Db->Scalar("SELECT f1 FROM CaseNeeds ORDER BY f1 LIMIT 1");
    cStringList lines;
    lines.Add("f10=" + need);
    lines.Add("f11=" + ProviderSeq());
    return Session().DataServerConnection()->AddRecord("CaseNeedsQuote", lines);
}

void cWorkspaceTest::ClickTab(const char *tabs, int index)
{
    auto *widget = Find<QTabWidget>(tabs);
    QTest::mouseClick(widget->tabBar(), Qt::LeftButton, {}, widget->tabBar()->tabRect(index).center());
    EXPECT_EQ(widget->currentIndex(), index) << tabs;
    Settle();
}

void cWorkspaceTest::ShowAdmin(int page)
{
    ClickTab("MainPageControl", 4);
    if (page != Find<QTabWidget>("AdminPageControl")->currentIndex())
        ClickTab("AdminPageControl", page);
}

void cWorkspaceTest::ClickLine(QAbstractItemView *view, const QModelIndex &index, Qt::MouseButton button)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), button, {}, view->visualRect(index).center());
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

QModelIndex cWorkspaceTest::TreeLine(const std::string &quoteKey)
{
    const QAbstractItemModel *model = Tree()->model();
    for (int c = 0; c < model->rowCount(); ++c)
    {
        const QModelIndex caseLine = model->index(c, 0);
        for (int q = 0; q < model->rowCount(caseLine); ++q)
            if (model->index(q, 0, caseLine).data(list_role::Key).toString().toStdString() == quoteKey)
                return model->index(q, 0, caseLine);
    }
    return {};
}

bool cWorkspaceTest::OpenQuote(const std::string &quoteKey)
{
    const QModelIndex line = TreeLine(quoteKey);
    if (!line.isValid())
        return false;
    ClickLine(Tree(), line);
    return DetailPage()->SelectedQuoteKey() == quoteKey;
}

bool cWorkspaceTest::OpenAwarded(const std::string &quoteKey)
{
    const std::vector<std::string> keys = RoleTexts(AwardedList(), list_role::Key);
    for (std::size_t row = 0; row < keys.size(); ++row)
        if (keys[row] == quoteKey)
        {
            ClickLine(AwardedList(), AwardedList()->model()->index(static_cast<int>(row), 0));
            return AwardedPage()->SelectedQuoteKey() == quoteKey;
        }
    return false;
}
} // namespace ui_test
