// What a list view shows beyond its model's lines: the current line, found again by its key (and
// kind, as a case and a quote may share a key), and the scroll position. Taken before a load's
// lines replace the old ones and put back after, so a reload moves nothing under the user.
#pragma once

#include <QString>

class QAbstractItemView;

struct cViewState
{
    bool HasCurrent = false;
    QString Key;
    bool IsQuote = false;
    int Scroll = 0;
};

cViewState TakeViewState(const QAbstractItemView *view);
void RestoreViewState(QAbstractItemView *view, const cViewState &state);
