#include "ui/FrameShape.h"

#include <QPainter>

cFrameShape::cFrameShape(const QString &objectName, const QColor &pen, int penWidth, QWidget *parent)
    : QWidget(parent), Pen(pen), Width(penWidth)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void cFrameShape::paintEvent(QPaintEvent *)
{
    // The outline lies inside the widget, Width pixels wide on every side.
    QPainter painter(this);
    const int w = width(), h = height();
    painter.fillRect(0, 0, w, Width, Pen);
    painter.fillRect(0, h - Width, w, Width, Pen);
    painter.fillRect(0, 0, Width, h, Pen);
    painter.fillRect(w - Width, 0, Width, h, Pen);
}
