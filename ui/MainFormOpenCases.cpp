// The list page of the main window and its " Open Case Requests " tab: the legend, the header and
// the tree of cases and quotes, and opening a quote.
#include "ui/MainForm.h"

#include "ui/LegendShape.h"
#include "ui/ListPainting.h"
#include "ui/Look.h"
#include "ui/OpenCaseTreeDelegate.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

namespace
{
enum
{
    OpenCasesTab,
    DeliveryCasesTab
};

QLabel *MakeLabel(const char *name, const QString &caption, bool bold, QWidget *parent, int x, int y)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (bold)
        label->setFont(SansFont(13, true));
    label->adjustSize();
    label->move(x, y);
    return label;
}

QTreeWidgetItem *MakeItem(const std::string &key, const void *entry)
{
    auto *item = new QTreeWidgetItem(QStringList(QString::fromStdString(key)));
    item->setData(0, cOpenCaseTreeDelegate::EntryRole,
                  QVariant::fromValue(reinterpret_cast<quintptr>(entry)));
    return item;
}
} // namespace

void TMainForm::CreateListPage()
{
    PageControl1 = new QTabWidget(ActiveCasesPanel);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(12, 4, 937, 533);
    RefreshRequestButton = new QPushButton("Refresh Requests", ActiveCasesPanel);
    RefreshRequestButton->setObjectName("RefreshRequestButton");
    RefreshRequestButton->setGeometry(788, 4, 120, 25);
    connect(RefreshRequestButton, &QPushButton::clicked, this, &TMainForm::RefreshRequestButtonClick);
    CreateOpenCaseTab();
    CreateDeliveryCaseTab();
    PageControl1->setCurrentIndex(OpenCasesTab);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index)
            {
                if (index == OpenCasesTab)
                    OpenCaseTabSheetShow();
                else if (index == DeliveryCasesTab)
                    DeliveryCaseTabSheetShow();
            });
}

void TMainForm::CreateOpenCaseTab()
{
    OpenCaseTabSheet = new QWidget;
    OpenCaseTabSheet->setObjectName("OpenCaseTabSheet");
    PageControl1->addTab(OpenCaseTabSheet, " Open Case Requests ");

    Label1 = MakeLabel("Label1", "Current Open Case Requests", true, OpenCaseTabSheet, 12, 8);
    Shape1 = new cLegendShape("Shape1", QColor(255, 0, 0), OpenCaseTabSheet);
    Shape1->move(420, 8);
    Label15 = MakeLabel("Label15", "Item needs attention", false, OpenCaseTabSheet, 441, 9);
    Shape2 = new cLegendShape("Shape2", QColor(128, 0, 128), OpenCaseTabSheet);
    Shape2->move(600, 8);
    Label18 = MakeLabel("Label18", "Waiting for hospitals response", false, OpenCaseTabSheet, 621, 9);

    OpenCaseListHeader = MakeListHeader("OpenCaseListHeader", {" ", "Hospital", "Case Number", "Insurance"},
                                        {25, 250, 125, 500}, OpenCaseTabSheet);
    OpenCaseListHeader->setGeometry(10, 32, 877, 24);
    connect(OpenCaseListHeader, &QHeaderView::sectionResized, this,
            &TMainForm::OpenCaseListHeaderSectionResize);

    OpenCaseTreeView = new QTreeWidget(OpenCaseTabSheet);
    OpenCaseTreeView->setObjectName("OpenCaseTreeView");
    OpenCaseTreeView->setGeometry(10, 56, 900, 450);
    OpenCaseTreeView->setHeaderHidden(true);
    OpenCaseTreeView->setColumnCount(1);
    OpenCaseTreeView->header()->setStretchLastSection(true);
    OpenCaseTreeView->setIndentation(19);
    OpenCaseTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    OpenCaseTreeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    OpenCaseTreeView->setUniformRowHeights(true);
    OpenCaseTreeView->setItemDelegate(
        new cOpenCaseTreeDelegate(OpenCaseListHeader, Shape1, Shape2, OpenCaseTreeView));
    OpenCaseTreeView->viewport()->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == OpenCaseTreeView->viewport() && event->type() == QEvent::MouseButtonPress)
    {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        OpenCaseTreeViewMouseDown(mouse->button(), mouse->position().toPoint());
    }
    else if (watched == OpenCaseTreeView->viewport() && event->type() == QEvent::ToolTip)
        return true; // no tool tips
    return QWidget::eventFilter(watched, event);
}

void TMainForm::OpenCaseTabSheetShow()
{
    LoadProviderQuotes();
}

void TMainForm::OpenCaseListHeaderSectionResize()
{
    OpenCaseTreeView->viewport()->update();
}

void TMainForm::FillOpenCaseTree()
{
    QList<QTreeWidgetItem *> caseItems;
    caseItems.reserve(static_cast<qsizetype>(Quotes.OpenCases.size()));
    for (const cOpenCase &open : Quotes.OpenCases)
    {
        QTreeWidgetItem *caseItem = MakeItem(open.Case->Key, open.Case.get());
        for (const auto &quote : open.Quotes)
            caseItem->addChild(MakeItem(quote->Key, quote.get()));
        caseItems.append(caseItem);
    }
    OpenCaseTreeView->addTopLevelItems(caseItems);
    OpenCaseTreeView->expandAll();
}

void TMainForm::OpenCaseTreeViewMouseDown(Qt::MouseButton, const QPoint &position)
{
    const QModelIndex index = OpenCaseTreeView->indexAt(position);
    const cCaseQuoteObject *quote = cOpenCaseTreeDelegate::QuoteAt(index);
    const cCaseObject *caseObject = cOpenCaseTreeDelegate::CaseAt(index.parent());
    if (!quote || !caseObject)
        return;
    cReloadHold hold(*this);
    // The page works on its own copy: a reload while it loads cannot take the entry away.
    const cCaseQuoteObject opened(*quote);
    SelectedQuoteKey = opened.Key;
    SelectedCaseKey = caseObject->Key;
    ShowQuoteDetail(opened);
}
