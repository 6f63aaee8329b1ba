// Draws the entries of the awarded cases list: delivery date, hospital, case number, category
// and description, in columns that follow the header above the list, on white (also when
// selected). Entries are 16 pixels high; the texts come from their roles.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QHeaderView;

class cDeliveryCaseListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int ItemHeight = 16;

    cDeliveryCaseListDelegate(QHeaderView *header, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QPointer<QHeaderView> Header;
};
