// Draws the items of the personnel list: first name, a blank and last name, black on white (also
// when selected), one line of 16 pixels per item: the item's display text.
#pragma once

#include <QStyledItemDelegate>

class cPersonnelListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int ItemHeight = 16;

    explicit cPersonnelListDelegate(QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
