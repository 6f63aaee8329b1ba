// An edit box with a caption label on its left: the label follows the box's visibility and
// position, as a labelled edit does.
#pragma once

#include <QLineEdit>

class QLabel;

class cLabeledEdit : public QLineEdit
{
    Q_OBJECT

public:
    // The label is a sibling of the box (a child of parent) named objectName + "Label".
    cLabeledEdit(const QString &objectName, const QString &caption, QWidget *parent);
    void setVisible(bool visible) override;
    // Places the box and its label to the left of it.
    void Place(int left, int top, int width);

    QLabel *EditLabel = nullptr;
};
