// Draws the items of the diagnosis and treatment code lists of both case pages: on white (also
// when selected), in black, the code at x 1 and its description at x 50, one pixel below the
// item's top. Items are 16 pixels high; code and description come from their roles.
#pragma once

#include <QStyledItemDelegate>

class cCodeItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int ItemHeight = 16;
    static constexpr int CodeLeft = 1;
    static constexpr int DescriptionLeft = 50;

    explicit cCodeItemDelegate(QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
