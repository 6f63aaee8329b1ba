#include "ui/OpenRequestsPage.h"
#include "ui/ViewState.h"

#include "ui/LegendShape.h"
#include "ui/ListPainting.h"
#include "ui/Look.h"
#include "ui/OpenCaseFilterModel.h"
#include "ui/OpenCaseModel.h"
#include "ui/OpenCaseTreeDelegate.h"
#include "ui/SearchEdit.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTreeView>

namespace
{
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
} // namespace

cOpenRequestsPage::cOpenRequestsPage(bool searchShown, QWidget *parent)
    : QWidget(parent), SearchShown(searchShown)
{
    setObjectName("OpenCaseTabSheet");
    CreateLegend();
    CreateTree();
    CreateSearch(searchShown);
}

void cOpenRequestsPage::CreateLegend()
{
    Label1 = MakeLabel("Label1", "Current Open Case Requests", true, this, 12, 8);
    Shape1 = new cLegendShape("Shape1", QColor(255, 0, 0), this);
    Shape1->move(420, 8);
    Label15 = MakeLabel("Label15", "Item needs attention", false, this, 441, 9);
    Shape2 = new cLegendShape("Shape2", QColor(128, 0, 128), this);
    Shape2->move(600, 8);
    Label18 = MakeLabel("Label18", "Waiting for hospitals response", false, this, 621, 9);
}

void cOpenRequestsPage::CreateTree()
{
    OpenCaseListHeader = MakeListHeader("OpenCaseListHeader", {" ", "Hospital", "Case Number", "Insurance"},
                                        {25, 250, 125, 500}, this);
    OpenCaseListHeader->setGeometry(10, 32, 877, 24);
    connect(OpenCaseListHeader, &QHeaderView::sectionResized, this,
            &cOpenRequestsPage::OpenCaseListHeaderSectionResize);

    OpenCaseTreeView = new QTreeView(this);
    OpenCaseTreeView->setObjectName("OpenCaseTreeView");
    OpenCaseTreeView->setGeometry(10, 56, 900, 450);
    Cases = new cOpenCaseModel(this);
    Search = new cOpenCaseFilterModel(Cases, this);
    OpenCaseTreeView->setModel(Search);
    OpenCaseTreeView->setHeaderHidden(true);
    OpenCaseTreeView->header()->setStretchLastSection(true);
    OpenCaseTreeView->setIndentation(19);
    OpenCaseTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    OpenCaseTreeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    OpenCaseTreeView->setUniformRowHeights(true);
    OpenCaseTreeView->setItemDelegate(
        new cOpenCaseTreeDelegate(OpenCaseListHeader, Shape1, Shape2, OpenCaseTreeView));
    OpenCaseTreeView->viewport()->installEventFilter(this);
}

void cOpenRequestsPage::CreateSearch(bool shown)
{
    // Free space of the tab between the caption and the legend.
    OpenCaseSearchEdit = new cSearchEdit(this);
    OpenCaseSearchEdit->setObjectName("OpenCaseSearchEdit");
    OpenCaseSearchEdit->setPlaceholderText("Search requests");
    OpenCaseSearchEdit->setClearButtonEnabled(true);
    OpenCaseSearchEdit->setToolTip("Hospital, case number or insurance of a case; category, description "
                                   "or date of a request. Escape clears.");
    OpenCaseSearchEdit->setGeometry(226, 5, 180, 22);
    connect(OpenCaseSearchEdit, &QLineEdit::textChanged, this, &cOpenRequestsPage::OpenCaseSearchEditChange);
    OpenCaseSearchEdit->setVisible(shown);
}

void cOpenRequestsPage::ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    const cViewState state = TakeViewState(OpenCaseTreeView);
    Search->SetQuotes(std::move(quotes));
    OpenCaseTreeView->expandAll();
    RestoreViewState(OpenCaseTreeView, state);
}

QColor cOpenRequestsPage::AcceptedColour() const
{
    return Shape2->BrushColour();
}

bool cOpenRequestsPage::eventFilter(QObject *watched, QEvent *event)
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

void cOpenRequestsPage::OpenCaseListHeaderSectionResize()
{
    OpenCaseTreeView->viewport()->update();
}

void cOpenRequestsPage::OpenCaseTreeViewMouseDown(Qt::MouseButton, const QPoint &position)
{
    // A copy of the entry: a reload while the page loads cannot take it away.
    cCaseQuoteObject quote;
    std::string caseKey;
    if (Cases->QuoteAt(Search->mapToSource(OpenCaseTreeView->indexAt(position)), quote, caseKey))
        emit QuoteOpened(quote, caseKey);
}

void cOpenRequestsPage::OpenCaseSearchEditChange()
{
    // Text put into the field while it is switched off filters nothing.
    if (!SearchShown)
        return;
    Search->SetSearchText(ToStd(OpenCaseSearchEdit->text()));
    // Lines left out and shown again come back collapsed.
    OpenCaseTreeView->expandAll();
}
