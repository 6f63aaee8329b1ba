#include "ui/Look.h"

#include <QPalette>
#include <QWidget>

QColor ToolkitColour(unsigned value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

QColor WorkspaceBackground()
{
    return ToolkitColour(14548991);
}

QFont SansFont(int pixelHeight, bool bold)
{
    // A sans face with the narrow metrics the window layouts were made for, where installed;
    // otherwise the system's sans font.
    QFont font(QStringList{"Liberation Sans", "Arial", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
