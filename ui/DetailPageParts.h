// Pieces shared by the two detail pages of the main window (the case detail page and the awarded
// case page): labels placed by coordinates, read-only memos, the owner-drawn code lists, and the
// watch that turns a mouse press on a memo into a call.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace detail_page
{
QString Text(const std::string &text);
std::string Std(const QString &text);
// Stored line breaks (CR LF) as the widgets hold them (LF).
QString MemoText(const std::string &text);

// A caption label sized to its text; with a width, a data label of that width (plain text).
QLabel *Label(QWidget *parent, const char *name, const QString &caption, int x, int y, int width = 0,
              bool bold = false);
// A bold data label, plain text, of the given width.
QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, int x, int y, int width);
// The same, placed right after its caption label on the same line.
QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, const QLabel *after, int width);
// The need's description: a bold static text on its own light background, wrapped.
QLabel *DescriptionText(QWidget *parent, const char *name, const QString &caption, int x, int y);
QGroupBox *GroupBox(QWidget *parent, const char *name, const QString &caption, int x, int y, int width,
                    int height);
// A read-only bold memo; with the vertical scroll bar always shown when asked.
QPlainTextEdit *Memo(QWidget *parent, const char *name, int x, int y, int width, int height,
                     bool verticalScrollBar);
// An owner-drawn code list (items 16 pixels high, drawn by cCodeItemDelegate).
QListWidget *CodeList(QWidget *parent, const char *name, int x, int y, int width, int height);

// Runs an action when a mouse button is pressed on the watched widget; the press goes no further.
class cMousePressWatch : public QObject
{
public:
    cMousePressWatch(std::function<void()> action, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> Action;
};
} // namespace detail_page
