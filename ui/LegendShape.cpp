#include "ui/LegendShape.h"

#include <QPainter>

cLegendShape::cLegendShape(const QString &objectName, const QColor &brush, QWidget *parent)
    : QWidget(parent), Brush(brush)
{
    setObjectName(objectName);
    resize(15, 15);
}

void cLegendShape::SetBrushColour(const QColor &colour)
{
    Brush = colour;
    update();
}

void cLegendShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(Brush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
