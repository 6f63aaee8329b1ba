// A one-line edit box with a caption label on its left. The label is a sibling of the box (a
// child of the same parent) and follows the box's visibility and position.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

class cLabeledEdit : public QLineEdit
{
    Q_OBJECT

public:
    // The label is named objectName + "Label".
    cLabeledEdit(const QString &objectName, const QString &caption, QWidget *parent);
    ~cLabeledEdit() override;

    void setVisible(bool visible) override;
    // Places the box and its label to the left of it.
    void Place(int left, int top, int width);
    QString Caption() const;
    void SetCaption(const QString &caption);

    QPointer<QLabel> EditLabel;
};
