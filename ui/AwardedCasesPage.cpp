#include "ui/AwardedCasesPage.h"
#include "ui/ViewState.h"

#include "toolkit/Host.h"
#include "ui/AwardedCaseModel.h"
#include "ui/DeliveryCaseListDelegate.h"
#include "ui/ListPainting.h"
#include "ui/Look.h"
#include "workspace/CsvExport.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>

cAwardedCasesPage::cAwardedCasesPage(bool exportShown, QWidget *parent) : QWidget(parent)
{
    setObjectName("DeliveryCaseTabSheet");
    CreateList();
    ExportButton = new QPushButton("Export...", this);
    ExportButton->setObjectName("ExportButton");
    ExportButton->setGeometry(810, 4, 100, 25);
    ExportButton->setAutoDefault(false);
    connect(ExportButton, &QPushButton::clicked, this, &cAwardedCasesPage::ExportButtonClick);
    ExportButton->setVisible(exportShown);
}

void cAwardedCasesPage::CreateList()
{
    Label17 = new QLabel("Current Case Requests to be Delivered", this);
    Label17->setObjectName("Label17");
    Label17->setFont(SansFont(13, true));
    Label17->adjustSize();
    Label17->move(12, 8);

    DeliveryCaseListHeader = MakeListHeader("DeliveryCaseListHeader",
                                            {" ", "Delivery Date", "Hospital", "Case Number", "Description"},
                                            {25, 120, 250, 125, 355}, this);
    DeliveryCaseListHeader->setGeometry(10, 32, 877, 24);
    connect(DeliveryCaseListHeader, &QHeaderView::sectionResized, this,
            &cAwardedCasesPage::DeliveryCaseListHeaderSectionResize);

    DeliveryCaseListBox = new QListView(this);
    DeliveryCaseListBox->setObjectName("DeliveryCaseListBox");
    DeliveryCaseListBox->setGeometry(10, 56, 900, 450);
    DeliveryCaseListBox->setUniformItemSizes(true);
    DeliveryCaseListBox->setAccessibleName(Label17->text());
    Awarded = new cAwardedCaseModel(this);
    DeliveryCaseListBox->setModel(Awarded);
    DeliveryCaseListBox->setItemDelegate(
        new cDeliveryCaseListDelegate(DeliveryCaseListHeader, DeliveryCaseListBox));
    // A line opens once per click, whatever the style does on a single click, and by Enter.
    connect(DeliveryCaseListBox, &QListView::clicked, this, &cAwardedCasesPage::DeliveryCaseListBoxClick);
    DeliveryCaseListBox->installEventFilter(this);
}

bool cAwardedCasesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DeliveryCaseListBox && event->type() == QEvent::KeyPress)
    {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
        {
            DeliveryCaseListBoxClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void cAwardedCasesPage::ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    const cViewState state = TakeViewState(DeliveryCaseListBox);
    Awarded->SetQuotes(std::move(quotes));
    RestoreViewState(DeliveryCaseListBox, state);
    DeliveryCaseListBox->viewport()->update();
}

void cAwardedCasesPage::DeliveryCaseListHeaderSectionResize()
{
    DeliveryCaseListBox->viewport()->update();
}

void cAwardedCasesPage::DeliveryCaseListBoxClick()
{
    const QModelIndex current = DeliveryCaseListBox->currentIndex();
    if (!current.isValid() || !DeliveryCaseListBox->selectionModel()->isSelected(current))
        return;
    // A copy of the entry: a reload while the page loads cannot take it away.
    cCaseQuoteObject quote;
    if (Awarded->QuoteAt(current.row(), quote))
        emit AwardedOpened(quote);
}

void cAwardedCasesPage::ExportButtonClick()
{
    std::string path;
    if (AskExportPath)
        path = AskExportPath();
    else
        path = ToStd(QFileDialog::getSaveFileName(this, "Export Awarded Cases",
                                                  QDir::homePath() + "/awarded-cases.csv",
                                                  "CSV files (*.csv);;All files (*)"));
    if (!path.empty())
        ExportAwardedCases(path);
}

bool cAwardedCasesPage::ExportAwardedCases(const std::string &path)
{
    static const std::vector<std::unique_ptr<cCaseQuoteObject>> none;
    const auto &quotes = Awarded->Quotes();
    std::string error;
    if (WriteFileReplacing(path, AwardedCasesCsv(quotes ? quotes->Awarded : none), error))
        return true;
    Host().MessageBox("The awarded cases could not be written to " + path + " (" + error + ").", "Export",
                      cHostButtons::Ok);
    return false;
}
