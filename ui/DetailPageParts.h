// Pieces shared by the two detail pages of the main window (the case detail page and the awarded
// case page): labels placed by coordinates, read-only memos, the owner-drawn code lists with their
// load, the health details of a shown case, the watch that turns a mouse press (or Enter) on a
// memo into a call, and the texts the pages hand to the referral packet.
#pragma once

#include "workspace/ReferralPacket.h"

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QGroupBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QWidget;
class cCodeListModel;
class dbServerConnection;

namespace detail_page
{
// Stored line breaks (CR LF) as the widgets hold them (LF).
QString MemoText(const std::string &text);

// A caption label sized to its text; with a width, a data label of that width (plain text).
QLabel *Label(QWidget *parent, const char *name, const QString &caption, int x, int y, int width = 0,
              bool bold = false);
// A bold data label, plain text, of the given width.
QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, int x, int y, int width);
// The same, placed right after its caption label on the same line; the caption is its buddy, so a
// screen reader says the caption with the value.
QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, QLabel *after, int width);
// The need's description: a bold static text on its own light background, wrapped.
QLabel *DescriptionText(QWidget *parent, const char *name, const QString &caption, int x, int y);
QGroupBox *GroupBox(QWidget *parent, const char *name, const QString &caption, int x, int y, int width,
                    int height);
// A read-only bold memo; with the vertical scroll bar always shown when asked.
QPlainTextEdit *Memo(QWidget *parent, const char *name, int x, int y, int width, int height,
                     bool verticalScrollBar);
// An owner-drawn code list over its own model (items 16 pixels high, drawn by cCodeItemDelegate).
QListView *CodeList(QWidget *parent, const char *name, int x, int y, int width, int height);
// The model of a code list made by CodeList.
cCodeListModel *CodeListModel(const QListView *list);

// Fills both code lists with the diagnosis and treatment codes of a case (first batch only).
void LoadCodeLists(QListView *diagnosis, QListView *treatment, dbServerConnection *connection,
                   const std::string &caseKey);
// Health details of a shown case: the memo's JSON text fills the health detail view and is
// replaced by its summary; the memo keeps the text it read (HealthDetailsText).
void ShowHealthDetails(QPlainTextEdit *memo);
// The health details JSON text that ShowHealthDetails last read from the memo.
std::string HealthDetailsText(const QPlainTextEdit *memo);
// The health detail view as last filled, modally, centred on the window of over.
void ShowHealthDetailView(QWidget *over);
// Runs action when a mouse button is pressed on the widget (for a memo, on its text area), or
// Enter or Return is pressed while it has the focus.
void WatchPressOrEnter(QWidget *widget, std::function<void()> action);

// The words of a caption label without the colon and blanks around them ("Case Number: " gives
// "Case Number").
QString CaptionWords(const QLabel *caption);
// A packet field: a caption and the text a label shows.
cPacketField PacketField(const char *caption, const QLabel *value);
// The items a code list shows.
std::vector<cCodeItem> ShownCodes(const QListView *list);
} // namespace detail_page
