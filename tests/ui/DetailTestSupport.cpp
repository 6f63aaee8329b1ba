#include "tests/ui/DetailTestSupport.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "ui/Forms.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"
#include "workspace/CaseTexts.h"

#include <QListWidget>
#include <QTest>
#include <QTreeWidget>

namespace ui_test
{
void cDetailPageTest::SetUp()
{
    cWorkspaceTest::SetUp();
    Reject = std::make_unique<TRejectCodeForm>();
    RejectCodeForm = Reject.get();
    Health = std::make_unique<TPatientHealthDetailNoEditForm>();
    PatientHealthDetailNoEditForm = Health.get();
}

void cDetailPageTest::TearDown()
{
    cWorkspaceTest::TearDown();
    RejectCodeForm = nullptr;
    PatientHealthDetailNoEditForm = nullptr;
    Reject.reset();
    Health.reset();
}

std::string cDetailPageTest::QuoteOf(const std::string &patientLastName)
{
    return Db->Scalar("SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 "
                      "JOIN Cases c ON c.f1 = n.f10 JOIN Patients p ON p.f1 = c.f10 "
                      "WHERE p.f12 = '" +
                      patientLastName + "' AND q.f11 = '" + ProviderSeq() + "' ORDER BY n.f1, q.f1 LIMIT 1");
}

std::string cDetailPageTest::Field(const std::string &table, const std::string &seq, int n)
{
    return Db->Scalar("SELECT IFNULL(f" + std::to_string(n) + ", '') FROM " + table + " WHERE f1 = " + seq);
}

std::string cDetailPageTest::CaseOf(const std::string &quoteKey)
{
    return Field("CaseNeeds", Field("CaseNeedsQuote", quoteKey, 10), 10);
}

QTreeWidgetItem *cDetailPageTest::TreeItem(const std::string &quoteKey)
{
    QTreeWidget *tree = Main->OpenCaseTreeView;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        for (int q = 0; q < tree->topLevelItem(i)->childCount(); ++q)
            if (tree->topLevelItem(i)->child(q)->text(0).toStdString() == quoteKey)
                return tree->topLevelItem(i)->child(q);
    return nullptr;
}

bool cDetailPageTest::OpenQuote(const std::string &quoteKey)
{
    QTreeWidgetItem *item = TreeItem(quoteKey);
    if (!item)
        return false;
    Main->OpenCaseTreeView->scrollToItem(item);
    QTest::mouseClick(Main->OpenCaseTreeView->viewport(), Qt::LeftButton, {},
                      Main->OpenCaseTreeView->visualItemRect(item).center());
    return Main->SelectedQuoteKey == quoteKey;
}

bool cDetailPageTest::OpenAwarded(const std::string &quoteKey)
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

std::string cDetailPageTest::AddQuote()
{
    const std::string need = Db->Scalar("SELECT f1 FROM CaseNeeds ORDER BY f1 LIMIT 1");
    cStringList lines;
    lines.Add("f10=" + need);
    lines.Add("f11=" + ProviderSeq());
    return DataServerConnection->AddRecord("CaseNeedsQuote", lines);
}

bool cDetailPageTest::TreeHasQuote(const std::string &key)
{
    return TreeItem(key) != nullptr;
}

std::vector<std::string> cDetailPageTest::StoredCodes(const char *table, const std::string &caseKey)
{
    std::vector<std::string> codes;
    for (const auto &row : Db->Query(std::string("SELECT IFNULL(f11, ''), IFNULL(f1001, '') FROM ") + table +
                                     " WHERE f10 = '" + caseKey + "' ORDER BY f1"))
        codes.push_back(row[0] + "|" + row[1]);
    return codes;
}

std::vector<std::string> cDetailPageTest::ShownCodes(const QListWidget *list)
{
    std::vector<std::string> codes;
    for (int i = 0; i < list->count(); ++i)
    {
        const cCodeItem item = ReadCodeItem(list->item(i)->text().toStdString());
        codes.push_back(item.Code + "|" + item.Description);
    }
    return codes;
}

QStringList cDetailPageTest::Lines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split('\n');
}
} // namespace ui_test
