#include "binding/cLabeledEdit.h"

#include <QLabel>

cLabeledEdit::cLabeledEdit(const QString &objectName, const QString &caption, QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(objectName);
    EditLabel = new QLabel(caption, parent);
    EditLabel->setObjectName(objectName + "Label");
    EditLabel->setBuddy(this);
}

cLabeledEdit::~cLabeledEdit()
{
    // Without a parent nothing else owns the label; with one, the parent deletes it.
    if (EditLabel && !EditLabel->parent())
        delete EditLabel;
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
    if (!EditLabel)
        return;
    EditLabel->adjustSize();
    EditLabel->move(left - EditLabel->width() - 3, top + (height() - EditLabel->height()) / 2);
}

QString cLabeledEdit::Caption() const
{
    return EditLabel ? EditLabel->text() : QString();
}

void cLabeledEdit::SetCaption(const QString &caption)
{
    if (EditLabel)
        EditLabel->setText(caption);
}
