#include "ui/CodeItemDelegate.h"

#include "workspace/CaseTexts.h"

#include <QPainter>

namespace
{
QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
} // namespace

cCodeItemDelegate::cCodeItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize cCodeItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
}

void cCodeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const QRect &r = option.rect;
    const cCodeItem item = ReadCodeItem(index.data(Qt::DisplayRole).toString().toStdString());
    painter->save();
    painter->fillRect(r, Qt::white);
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    const int baseline = r.top() + 1 + painter->fontMetrics().ascent();
    painter->drawText(QPoint(r.left() + CodeLeft, baseline), Text(item.Code));
    painter->drawText(QPoint(r.left() + DescriptionLeft, baseline), Text(item.Description));
    painter->restore();
}
