#include "ui/OpenRequestsPage.h"
#include "ui/ViewState.h"

#include "ui/LegendShape.h"
#include "ui/ListPainting.h"
#include "ui/ListRoles.h"
#include "ui/Look.h"
#include "ui/OpenCaseFilterModel.h"
#include "ui/OpenCaseModel.h"
#include "ui/OpenCaseTreeDelegate.h"
#include "ui/SearchEdit.h"
#include "workspace/ListTexts.h"

#include <QHeaderView>
#include <QKeyEvent>
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
    Label15 = MakeLabel("Label15", ToQt(QuoteStateText(false)), false, this, 441, 9);
    Shape2 = new cLegendShape("Shape2", QColor(128, 0, 128), this);
    Shape2->move(600, 8);
    Label18 = MakeLabel("Label18", ToQt(QuoteStateText(true)), false, this, 621, 9);
    // A screen reader names each mark by the words beside it.
    Shape1->setAccessibleName(Label15->text());
    Shape1->setAccessibleDescription("Red mark: the colour of quote lines that need an answer");
    Shape2->setAccessibleName(Label18->text());
    Shape2->setAccessibleDescription("Purple mark: the colour of accepted quote lines");
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
    OpenCaseTreeView->installEventFilter(this);
    connect(OpenCaseTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current)
            {
                // A load empties the tree first: only a line counts.
                if (!current.isValid())
                    return;
                KeptKey = current.data(list_role::Key).toString();
                KeptQuote = current.data(list_role::IsQuote).toBool();
            });
    OpenCaseTreeView->setAccessibleName(Label1->text());
    OpenCaseListHeader->setAccessibleName("Columns of the open case requests");
}

void cOpenRequestsPage::CreateSearch(bool shown)
{
    // Free space of the tab between the caption and the legend.
    OpenCaseSearchEdit = new cSearchEdit(this);
    OpenCaseSearchEdit->setObjectName("OpenCaseSearchEdit");
    OpenCaseSearchEdit->setPlaceholderText("Search requests");
    OpenCaseSearchEdit->setAccessibleName("Search requests");
    OpenCaseSearchEdit->setClearButtonEnabled(true);
    OpenCaseSearchEdit->setToolTip("Hospital, case number or insurance of a case; category, description "
                                   "or date of a request. Escape clears.");
    OpenCaseSearchEdit->setGeometry(226, 5, 180, 22);
    connect(OpenCaseSearchEdit, &QLineEdit::textChanged, this, &cOpenRequestsPage::OpenCaseSearchEditChange);
    OpenCaseSearchEdit->setVisible(shown);
    // The keyboard comes to the search first, then to the tree.
    setTabOrder(OpenCaseSearchEdit, OpenCaseTreeView);
}

void cOpenRequestsPage::ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    const cViewState state = TakeViewState(OpenCaseTreeView);
    Search->SetQuotes(std::move(quotes));
    OpenCaseTreeView->expandAll();
    RestoreViewState(OpenCaseTreeView, state);
    // The keyboard's place in the tree is kept across loads (by its key), without selecting
    // anything; only while the tree has the focus.
    if (!KeptKey.isEmpty() && OpenCaseTreeView->hasFocus())
        if (const QModelIndex line = LineOf(KeptKey, KeptQuote); line.isValid())
            OpenCaseTreeView->selectionModel()->setCurrentIndex(line, QItemSelectionModel::NoUpdate);
}

QModelIndex cOpenRequestsPage::LineOf(const QString &key, bool quote) const
{
    const QAbstractItemModel *model = OpenCaseTreeView->model();
    for (int c = 0; c < model->rowCount(); ++c)
    {
        const QModelIndex caseLine = model->index(c, 0);
        if (!quote && caseLine.data(list_role::Key).toString() == key)
            return caseLine;
        for (int q = 0; quote && q < model->rowCount(caseLine); ++q)
            if (model->index(q, 0, caseLine).data(list_role::Key).toString() == key)
                return model->index(q, 0, caseLine);
    }
    return {};
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
    else if (watched == OpenCaseTreeView && event->type() == QEvent::KeyPress)
        return OpenCaseTreeViewKeyDown(static_cast<QKeyEvent *>(event)->key());
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

bool cOpenRequestsPage::OpenCaseTreeViewKeyDown(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    cCaseQuoteObject quote;
    std::string caseKey;
    if (Cases->QuoteAt(Search->mapToSource(OpenCaseTreeView->currentIndex()), quote, caseKey))
        emit QuoteOpened(quote, caseKey);
    return true;
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
