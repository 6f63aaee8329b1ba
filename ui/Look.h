// The window look shared by the workspace's windows: toolkit colour numbers and fonts; and the
// conversion of texts at the widget boundary (bytes below the widgets are UTF-8).
#pragma once

#include "binding/QtText.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

class QWidget;

// A colour number in the toolkit's 0x00BBGGRR form.
QColor ToolkitColour(unsigned value);

// The workspace's light yellow background (toolkit colour 14548991).
QColor WorkspaceBackground();

// The system's sans font at the given pixel height.
QFont SansFont(int pixelHeight, bool bold = false);

// Gives a widget a solid background of the colour.
void SetBackground(QWidget *widget, const QColor &colour);
