#include "ui/DeliveryCaseListDelegate.h"

#include "ui/ListPainting.h"
#include "ui/ListRoles.h"

#include <QHeaderView>
#include <QPainter>

namespace
{
constexpr int Margin = 3;
} // namespace

cDeliveryCaseListDelegate::cDeliveryCaseListDelegate(QHeaderView *header, QObject *parent)
    : QStyledItemDelegate(parent), Header(header)
{
}

QSize cDeliveryCaseListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
}

void cDeliveryCaseListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    const QRect &r = option.rect;
    painter->save();
    painter->fillRect(r, Qt::white);
    painter->setPen(Qt::black);
    if (index.isValid() && Header)
    {
        const QWidget *view = option.widget;
        const int l1 = SectionLeft(Header, 1, view);
        const int l2 = SectionLeft(Header, 2, view);
        const int l3 = SectionLeft(Header, 3, view);
        const int l4 = SectionLeft(Header, 4, view);
        const int w4 = Header->sectionSize(4);
        const int y = r.top() + 1;
        DrawClipped(painter, l1, l2 - Margin, r.top(), r.bottom(), y, index.data(list_role::Date).toString());
        DrawClipped(painter, l2, l3 - Margin, r.top(), r.bottom(), y,
                    index.data(list_role::Hospital).toString());
        DrawClipped(painter, l3 + Margin, l4 - Margin, r.top(), r.bottom(), y,
                    index.data(list_role::CaseNumber).toString());
        DrawClipped(painter, l4 + Margin, l4 + w4 - Margin, r.top(), r.bottom(), y,
                    index.data(list_role::Description).toString());
    }
    painter->restore();
}
