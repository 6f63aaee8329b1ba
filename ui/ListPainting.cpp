#include "ui/ListPainting.h"

#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>

int SectionLeft(const QHeaderView *header, int section, const QWidget *target)
{
    // A list draws on its viewport.
    if (const auto *area = qobject_cast<const QAbstractScrollArea *>(target))
        target = area->viewport();
    const QPoint inHeader(header->sectionViewportPosition(section), 0);
    const QPoint global = header->viewport()->mapToGlobal(inHeader);
    return target->mapFromGlobal(global).x();
}

void DrawClipped(QPainter *painter, int left, int right, int top, int bottom, int y, const QString &text)
{
    if (right <= left || text.isEmpty())
        return;
    painter->save();
    painter->setClipRect(QRect(QPoint(left, top), QPoint(right - 1, bottom)), Qt::IntersectClip);
    painter->drawText(QPoint(left, y + painter->fontMetrics().ascent()), text);
    painter->restore();
}

QHeaderView *MakeListHeader(const QString &objectName, const QStringList &captions, const QList<int> &widths,
                            QWidget *parent)
{
    auto *header = new QHeaderView(Qt::Horizontal, parent);
    header->setObjectName(objectName);
    auto *model = new QStandardItemModel(0, static_cast<int>(captions.size()), header);
    model->setHorizontalHeaderLabels(captions);
    header->setModel(model);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setMinimumSectionSize(0);
    for (int i = 0; i < captions.size() && i < widths.size(); ++i)
        header->resizeSection(i, widths[i]);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    return header;
}
