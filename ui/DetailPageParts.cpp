#include "ui/DetailPageParts.h"

#include "ui/CodeItemDelegate.h"
#include "ui/Look.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

namespace detail_page
{
namespace
{
// Background of the need's description (toolkit colour 16515071).
constexpr unsigned DescriptionColour = 16515071;
constexpr int LabelHeight = 16;
} // namespace

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Std(const QString &text)
{
    return text.toUtf8().toStdString();
}

QString MemoText(const std::string &text)
{
    return Text(text).replace("\r\n", "\n");
}

QLabel *Label(QWidget *parent, const char *name, const QString &caption, int x, int y, int width, bool bold)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    if (bold)
        label->setFont(SansFont(13, true));
    if (width > 0)
    {
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(x, y, width, LabelHeight);
    }
    else
    {
        label->adjustSize();
        label->move(x, y);
    }
    return label;
}

QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, int x, int y, int width)
{
    return Label(parent, name, caption, x, y, width, true);
}

QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, const QLabel *after, int width)
{
    return DataLabel(parent, name, caption, after->x() + after->width() + 6, after->y(), width);
}

QLabel *DescriptionText(QWidget *parent, const char *name, const QString &caption, int x, int y)
{
    QLabel *text = DataLabel(parent, name, caption, x, y, 793);
    text->resize(793, 41);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetBackground(text, ToolkitColour(DescriptionColour));
    return text;
}

QGroupBox *GroupBox(QWidget *parent, const char *name, const QString &caption, int x, int y, int width,
                    int height)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(name);
    box->setGeometry(x, y, width, height);
    return box;
}

QPlainTextEdit *Memo(QWidget *parent, const char *name, int x, int y, int width, int height,
                     bool verticalScrollBar)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setFont(SansFont(13, true));
    memo->setGeometry(x, y, width, height);
    memo->setVerticalScrollBarPolicy(verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return memo;
}

QListWidget *CodeList(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(x, y, width, height);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new cCodeItemDelegate(list));
    return list;
}

cMousePressWatch::cMousePressWatch(std::function<void()> action, QObject *parent)
    : QObject(parent), Action(std::move(action))
{
}

bool cMousePressWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    Action();
    return true;
}
} // namespace detail_page
