// Shared pieces of the detail page tests: a signed-in main window with the reject reason dialog
// and the health detail view created as the program creates them, the demo cases by patient, and
// reads of stored fields.
#pragma once

#include "tests/ui/UiTestSupport.h"

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

class QListWidget;
class QTreeWidgetItem;
class QWidget;
class TPatientHealthDetailNoEditForm;
class TRejectCodeForm;

namespace ui_test
{
class cDetailPageTest : public cWorkspaceTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The provider's quote on the first need of the patient with that last name.
    std::string QuoteOf(const std::string &patientLastName);
    // Field n of a record, as stored.
    std::string Field(const std::string &table, const std::string &seq, int n);
    // Key of the case that a quote answers.
    std::string CaseOf(const std::string &quoteKey);
    QTreeWidgetItem *TreeItem(const std::string &quoteKey);
    // Opens the quote with a click on its tree line; false when it is not in the tree.
    bool OpenQuote(const std::string &quoteKey);
    // Opens the awarded entry of that quote with a click; false when it is not listed.
    bool OpenAwarded(const std::string &quoteKey);
    // A new open quote of the provider on an existing need; returns its key.
    std::string AddQuote();
    bool TreeHasQuote(const std::string &key);
    // The code records of a case, as "code|description" in key order, and what a list shows.
    std::vector<std::string> StoredCodes(const char *table, const std::string &caseKey);
    static std::vector<std::string> ShownCodes(const QListWidget *list);
    static QStringList Lines(const QString &text);

    std::unique_ptr<TRejectCodeForm> Reject;
    std::unique_ptr<TPatientHealthDetailNoEditForm> Health;
};
} // namespace ui_test
