// Draws the entries of the awarded cases list: delivery date, hospital, case number, category
// and description, in columns that follow the header above the list, on white (also when
// selected). Entries are 16 pixels high.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QHeaderView;
class cCaseQuoteObject;

class cDeliveryCaseListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int EntryRole = Qt::UserRole + 1;
    static constexpr int ItemHeight = 16;

    cDeliveryCaseListDelegate(QHeaderView *header, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static const cCaseQuoteObject *QuoteAt(const QModelIndex &index);

private:
    QPointer<QHeaderView> Header;
};
