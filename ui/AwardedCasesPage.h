// The " Awarded Cases " tab of the list page: the column header, the list of the quotes that
// hospitals awarded to the provider over cAwardedCaseModel, and "Export..." which saves the list
// as CSV. A click on an entry opens it (AwardedOpened, with a copy of the quote and its case).
#pragma once

#include "workspace/ProviderQuotes.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QHeaderView;
class QLabel;
class QListView;
class QPushButton;
class cAwardedCaseModel;

class cAwardedCasesPage : public QWidget
{
    Q_OBJECT

public:
    // exportShown: "Export..." is shown (the [Client] switch "Export").
    explicit cAwardedCasesPage(bool exportShown, QWidget *parent = nullptr);

    // Shows the awarded entries of a load (null: none).
    void ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    // Replaces the save dialog that asks for the export file's name (empty: cancelled).
    void SetExportPathAsker(std::function<std::string()> ask) { AskExportPath = std::move(ask); }
    // Writes the list as CSV to path; a failure is reported and leaves no file.
    bool ExportAwardedCases(const std::string &path);

    // Handlers.
    void DeliveryCaseListHeaderSectionResize();
    void DeliveryCaseListBoxClick();
    void ExportButtonClick();

signals:
    void AwardedOpened(const cCaseQuoteObject &quote);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateList();

    QLabel *Label17 = nullptr;
    QHeaderView *DeliveryCaseListHeader = nullptr;
    QListView *DeliveryCaseListBox = nullptr;
    QPushButton *ExportButton = nullptr;
    cAwardedCaseModel *Awarded = nullptr;
    std::function<std::string()> AskExportPath;
};
