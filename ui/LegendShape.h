// A small square filled with a brush colour and outlined in black: the legend marks of the open
// requests tab, whose brush colours the tree reads when it draws quote lines.
#pragma once

#include <QColor>
#include <QWidget>

class cLegendShape : public QWidget
{
    Q_OBJECT

public:
    cLegendShape(const QString &objectName, const QColor &brush, QWidget *parent);

    QColor BrushColour() const { return Brush; }
    void SetBrushColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor Brush;
};
