// The " Awarded Cases " tab of the list page: the header and the owner-drawn list of the quotes
// that hospitals awarded to the provider, and opening an entry on the awarded case page.
#include "ui/MainForm.h"

#include "ui/DeliveryCaseListDelegate.h"
#include "ui/ListPainting.h"
#include "ui/Look.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>

void TMainForm::CreateDeliveryCaseTab()
{
    DeliveryCaseTabSheet = new QWidget;
    DeliveryCaseTabSheet->setObjectName("DeliveryCaseTabSheet");
    PageControl1->addTab(DeliveryCaseTabSheet, " Awarded Cases ");

    Label17 = new QLabel("Current Case Requests to be Delivered", DeliveryCaseTabSheet);
    Label17->setObjectName("Label17");
    Label17->setFont(SansFont(13, true));
    Label17->adjustSize();
    Label17->move(12, 8);

    DeliveryCaseListHeader = MakeListHeader("DeliveryCaseListHeader",
                                            {" ", "Delivery Date", "Hospital", "Case Number", "Description"},
                                            {25, 120, 250, 125, 355}, DeliveryCaseTabSheet);
    DeliveryCaseListHeader->setGeometry(10, 32, 877, 24);
    connect(DeliveryCaseListHeader, &QHeaderView::sectionResized, this,
            &TMainForm::DeliveryCaseListHeaderSectionResize);

    DeliveryCaseListBox = new QListWidget(DeliveryCaseTabSheet);
    DeliveryCaseListBox->setObjectName("DeliveryCaseListBox");
    DeliveryCaseListBox->setGeometry(10, 56, 900, 450);
    DeliveryCaseListBox->setUniformItemSizes(true);
    DeliveryCaseListBox->setItemDelegate(
        new cDeliveryCaseListDelegate(DeliveryCaseListHeader, DeliveryCaseListBox));
    connect(DeliveryCaseListBox, &QListWidget::itemClicked, this, &TMainForm::DeliveryCaseListBoxClick);
    connect(DeliveryCaseListBox, &QListWidget::itemActivated, this, &TMainForm::DeliveryCaseListBoxClick);
}

void TMainForm::DeliveryCaseTabSheetShow()
{
    LoadProviderQuotes();
}

void TMainForm::DeliveryCaseListHeaderSectionResize()
{
    DeliveryCaseListBox->viewport()->update();
}

void TMainForm::FillDeliveryCaseList()
{
    for (const auto &quote : Quotes.Awarded)
    {
        auto *item = new QListWidgetItem(QString::fromStdString(quote->RequiredDateText));
        item->setData(cDeliveryCaseListDelegate::EntryRole,
                      QVariant::fromValue(reinterpret_cast<quintptr>(quote.get())));
        DeliveryCaseListBox->addItem(item);
    }
    DeliveryCaseListBox->viewport()->update();
}

void TMainForm::DeliveryCaseListBoxClick()
{
    const QListWidgetItem *item = DeliveryCaseListBox->currentItem();
    const cCaseQuoteObject *quote =
        item && item->isSelected() ? cDeliveryCaseListDelegate::QuoteAt(DeliveryCaseListBox->currentIndex())
                                   : nullptr;
    if (!quote)
        return;
    cReloadHold hold(*this);
    // The page works on its own copy: a reload while it loads cannot take the entry away.
    const cCaseQuoteObject opened(*quote);
    SelectedQuoteKey = opened.Key;
    SelectedCaseKey = opened.AwardedCase->Key;
    ShowPage(3);
}
