#include "tests/ui/UiTestSupport.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "state/ServerLinks.h"
#include "ui/Forms.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

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

int CountPixels(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb();
    return count;
}

int CountDarkPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += image.pixelColor(x, y).lightness() < 128;
    return count;
}

std::vector<std::string> ExpectedTree(cTestDatabase &db, const std::string &provider)
{
    // Listed quotes of the provider that are not awarded to it, grouped by case in the order in
    // which the server lists them (by quote key, a case at its first quote).
    const auto rows =
        db.Query("SELECT n.f10, q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                 "WHERE q.f11 = '" +
                 provider +
                 "' AND IFNULL(q.f16, '') <> 'N' AND NOT (q.f14 = 'A' AND n.f16 = CAST(q.f1 AS TEXT)) "
                 "ORDER BY q.f1");
    std::vector<std::string> order;
    std::vector<std::vector<std::string>> quotes;
    for (const auto &row : rows)
    {
        std::size_t i = 0;
        while (i < order.size() && order[i] != row[0])
            ++i;
        if (i == order.size())
        {
            order.push_back(row[0]);
            quotes.emplace_back();
        }
        quotes[i].push_back(row[1]);
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < order.size(); ++i)
    {
        lines.push_back("case " + order[i]);
        for (const std::string &quote : quotes[i])
            lines.push_back("  quote " + quote);
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

std::vector<std::string> TreeLines(const TMainForm &form)
{
    std::vector<std::string> lines;
    for (int i = 0; i < form.OpenCaseTreeView->topLevelItemCount(); ++i)
    {
        const QTreeWidgetItem *caseItem = form.OpenCaseTreeView->topLevelItem(i);
        lines.push_back("case " + caseItem->text(0).toStdString());
        for (int q = 0; q < caseItem->childCount(); ++q)
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

void cWorkspaceTest::SetUp()
{
    ASSERT_GT(Server.DataPort, 0) << Server.Error;
    Db = std::make_unique<cTestDatabase>(Server.DatabasePath());
    ASSERT_TRUE(Db->IsOpen());
    InstalledHost = std::make_unique<cScopedHost>(&Host);
}

void cWorkspaceTest::TearDown()
{
    MainForm = nullptr;
    Main.reset();
    CloseServerConnections();
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

std::string cWorkspaceTest::ProviderSeq()
{
    return Db->Scalar("SELECT f1 FROM ProviderEntities WHERE f10 = 'Bayview Care Center'");
}
} // namespace ui_test
