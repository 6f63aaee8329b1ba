#include "app/LabeledEdit.h"

#include <QLabel>

cLabeledEdit::cLabeledEdit(const QString &objectName, const QString &caption, QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
    EditLabel = new QLabel(caption, parent);
    EditLabel->setObjectName(objectName + "Label");
    EditLabel->setBuddy(this);
}

void cLabeledEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    if (EditLabel)
        EditLabel->setVisible(visible);
}

void cLabeledEdit::Place(int left, int top, int width)
{
    setGeometry(left, top, width, sizeHint().height());
    EditLabel->adjustSize();
    EditLabel->move(left - EditLabel->width() - 3, top + (height() - EditLabel->height()) / 2);
}
