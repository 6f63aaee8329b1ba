// A rectangle outline drawn over a panel (the frame of an edit panel). It lets clicks through.
#pragma once

#include <QColor>
#include <QWidget>

class cFrameShape : public QWidget
{
    Q_OBJECT

public:
    cFrameShape(const QString &objectName, const QColor &pen, int penWidth, QWidget *parent);

    QColor PenColour() const { return Pen; }
    int PenWidth() const { return Width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor Pen;
    int Width;
};
