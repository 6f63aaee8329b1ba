// A label that acts on a click: the "X" marks that close a dialog or a panel.
#pragma once

#include <QLabel>

class cClickLabel : public QLabel
{
    Q_OBJECT

public:
    cClickLabel(const QString &objectName, const QString &text, QWidget *parent);

signals:
    // A left button pressed and released over the label.
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
