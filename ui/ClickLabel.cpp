#include "ui/ClickLabel.h"

#include <QMouseEvent>

cClickLabel::cClickLabel(const QString &objectName, const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    // A screen reader says what the mark does rather than "X".
    setAccessibleName("Close");
}

void cClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Clicked();
}
