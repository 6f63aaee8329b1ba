// Drawing helpers shared by the owner-drawn case lists: column edges taken from a stand-alone
// header, and texts clipped to a column.
#pragma once

#include <QString>

class QHeaderView;
class QPainter;
class QWidget;

// The left edge of header section `section` in the coordinates of `target` (for a list, of its
// viewport),
// so that a list placed under the header lines its columns up with the sections.
int SectionLeft(const QHeaderView *header, int section, const QWidget *target);

// Draws text starting at (left, y) clipped to the rectangle left..right, top..bottom.
void DrawClipped(QPainter *painter, int left, int right, int top, int bottom, int y, const QString &text);

// Makes a stand-alone header with fixed section captions and widths; section 0 is fixed at its
// width, the others can be resized but not moved.
QHeaderView *MakeListHeader(const QString &objectName, const QStringList &captions, const QList<int> &widths,
                            QWidget *parent);
