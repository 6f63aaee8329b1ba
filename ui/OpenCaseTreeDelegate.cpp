#include "ui/OpenCaseTreeDelegate.h"

#include "ui/LegendShape.h"
#include "ui/ListPainting.h"
#include "ui/ListRoles.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

namespace
{
constexpr int Margin = 3;
// The last column ends this far right of the start of the "Insurance" section.
constexpr int InsuranceReach = 450;
} // namespace

cOpenCaseTreeDelegate::cOpenCaseTreeDelegate(QHeaderView *header, cLegendShape *unanswered,
                                             cLegendShape *accepted, QObject *parent)
    : QStyledItemDelegate(parent), Header(header), Unanswered(unanswered), Accepted(accepted)
{
}

void cOpenCaseTreeDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    // The default painting (selection, focus) without a text: the line's texts go into columns.
    QStyleOptionViewItem plain(option);
    initStyleOption(&plain, index);
    plain.text.clear();
    const QWidget *view = option.widget;
    (view ? view->style() : QApplication::style())
        ->drawControl(QStyle::CE_ItemViewItem, &plain, painter, view);
    if (!Header)
        return;
    // The node's text rectangle is the size its key would take; it is filled white.
    QRect textRect = option.rect;
    textRect.setWidth(option.fontMetrics.horizontalAdvance(index.data(list_role::Key).toString()) + 6);
    painter->save();
    painter->fillRect(textRect, Qt::white);
    painter->setPen(Qt::black);
    if (index.data(list_role::IsQuote).toBool())
        DrawQuote(painter, textRect, index, view);
    else
        DrawCase(painter, textRect, index, view);
    painter->restore();
}

void cOpenCaseTreeDelegate::DrawQuote(QPainter *painter, const QRect &row, const QModelIndex &index,
                                      const QWidget *view) const
{
    const int l1 = SectionLeft(Header, 1, view);
    const int l3 = SectionLeft(Header, 3, view);
    const int y = row.top() + 1;
    QFont font = painter->font();
    font.setBold(true);
    painter->setFont(font);
    const cLegendShape *legend =
        index.data(list_role::Accepted).toBool() ? Accepted.data() : Unanswered.data();
    painter->setPen(legend ? legend->BrushColour() : QColor(Qt::black));
    painter->drawText(QPoint(l1 + 20, y + painter->fontMetrics().ascent()),
                      index.data(list_role::Date).toString());
    DrawClipped(painter, l1 + 160, l3 + InsuranceReach - Margin, row.top(), row.bottom(), y,
                index.data(list_role::Description).toString());
}

void cOpenCaseTreeDelegate::DrawCase(QPainter *painter, const QRect &row, const QModelIndex &index,
                                     const QWidget *view) const
{
    const int l1 = SectionLeft(Header, 1, view);
    const int l2 = SectionLeft(Header, 2, view);
    const int l3 = SectionLeft(Header, 3, view);
    const int y = row.top() + 1;
    DrawClipped(painter, l1, l2 - Margin, row.top(), row.bottom(), y,
                index.data(list_role::Hospital).toString());
    DrawClipped(painter, l2 + Margin, l3 - Margin, row.top(), row.bottom(), y,
                index.data(list_role::CaseNumber).toString());
    DrawClipped(painter, l3 + Margin, l3 + InsuranceReach - Margin, row.top(), row.bottom(), y,
                index.data(list_role::Insurance).toString());
}
