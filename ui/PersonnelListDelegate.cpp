#include "ui/PersonnelListDelegate.h"

#include <QPainter>

cPersonnelListDelegate::cPersonnelListDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize cPersonnelListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
}

void cPersonnelListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    const QRect &r = option.rect;
    painter->save();
    painter->fillRect(r, Qt::white);
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    painter->setClipRect(r);
    painter->drawText(QPoint(r.left() + 1, r.top() + 1 + painter->fontMetrics().ascent()),
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}
