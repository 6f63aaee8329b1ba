#include "ui/CodeItemDelegate.h"

#include "ui/ListRoles.h"

#include <QPainter>

cCodeItemDelegate::cCodeItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize cCodeItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
}

void cCodeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const QRect &r = option.rect;
    painter->save();
    painter->fillRect(r, Qt::white);
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    const int baseline = r.top() + 1 + painter->fontMetrics().ascent();
    painter->drawText(QPoint(r.left() + CodeLeft, baseline), index.data(list_role::Code).toString());
    painter->drawText(QPoint(r.left() + DescriptionLeft, baseline),
                      index.data(list_role::Description).toString());
    painter->restore();
}
