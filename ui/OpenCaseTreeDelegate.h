// Draws the lines of the open case requests tree over the default painting: case lines (level 0)
// in black with hospital, case number and insurance; quote lines (level 1) in bold, in the colour
// of the legend shape that matches their state, with date, category and description. Columns
// follow the edges of the header above the tree; the texts come from the model's roles.
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QHeaderView;
class cLegendShape;

class cOpenCaseTreeDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    cOpenCaseTreeDelegate(QHeaderView *header, cLegendShape *unanswered, cLegendShape *accepted,
                          QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    void DrawQuote(QPainter *painter, const QRect &row, const QModelIndex &index, const QWidget *view) const;
    void DrawCase(QPainter *painter, const QRect &row, const QModelIndex &index, const QWidget *view) const;

    QPointer<QHeaderView> Header;
    QPointer<cLegendShape> Unanswered;
    QPointer<cLegendShape> Accepted;
};
