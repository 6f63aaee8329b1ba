#include "ui/DetailPageParts.h"

#include "dataclient/cRecordBatch.h"
#include "ui/CodeItemDelegate.h"
#include "ui/CodeListModel.h"
#include "ui/Forms.h"
#include "ui/Look.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "workspace/HealthDetailsSummary.h"
#include "json/cJSON.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>

namespace detail_page
{
namespace
{
// Background of the need's description (toolkit colour 16515071).
constexpr unsigned DescriptionColour = 16515071;
constexpr int LabelHeight = 16;
// Where a memo keeps the health details text that it read.
const char *const HealthDetailsProperty = "HealthDetailsText";

// Runs an action when a mouse button is pressed on the watched widget, or Enter or Return is
// pressed on it; the press goes no further.
class cPressWatch : public QObject
{
public:
    cPressWatch(std::function<void()> action, QObject *parent) : QObject(parent), Action(std::move(action)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
        {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter)
                return false;
        }
        else if (event->type() != QEvent::MouseButtonPress)
            return false;
        Action();
        return true;
    }

private:
    std::function<void()> Action;
};

std::vector<cCodeItem> ReadCodes(dbServerConnection *connection, const char *table,
                                 const std::string &caseKey)
{
    std::vector<cCodeItem> items;
    cRecordBatch codes;
    codes.Open(connection, table, "L2", caseKey, "", 0, 100, "f11,f1001");
    for (bool more = codes.First(); more; more = codes.Next())
        items.push_back({codes.GetField("f11"), codes.GetField("f1001")});
    return items;
}
} // namespace

QString MemoText(const std::string &text)
{
    return ToQt(text).replace("\r\n", "\n");
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

QLabel *DataLabel(QWidget *parent, const char *name, const QString &caption, QLabel *after, int width)
{
    QLabel *label = DataLabel(parent, name, caption, after->x() + after->width() + 6, after->y(), width);
    after->setBuddy(label);
    return label;
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

QListView *CodeList(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *list = new QListView(parent);
    list->setObjectName(name);
    list->setGeometry(x, y, width, height);
    list->setUniformItemSizes(true);
    list->setModel(new cCodeListModel(list));
    list->setItemDelegate(new cCodeItemDelegate(list));
    return list;
}

cCodeListModel *CodeListModel(const QListView *list)
{
    return qobject_cast<cCodeListModel *>(list->model());
}

void LoadCodeLists(QListView *diagnosis, QListView *treatment, dbServerConnection *connection,
                   const std::string &caseKey)
{
    CodeListModel(diagnosis)->SetItems(ReadCodes(connection, "DiagCodeDetail", caseKey));
    CodeListModel(treatment)->SetItems(ReadCodes(connection, "TreatmentCodeDetail", caseKey));
}

void ShowHealthDetails(QPlainTextEdit *memo)
{
    cStringList list;
    list.SetValues("f1002", ToStd(memo->toPlainText()));
    memo->setProperty(HealthDetailsProperty, memo->toPlainText());
    if (PatientHealthDetailNoEditForm)
    {
        PatientHealthDetailNoEditForm->ClearDetails();
        cJSON details(list.Values("f1002"));
        PatientHealthDetailNoEditForm->LoadDetails(&details);
    }
    RenderHealthDetails(list);
    QStringList lines;
    for (int i = 0; i < list.Count(); ++i)
        lines << ToQt(list[i]);
    memo->setPlainText(lines.join('\n'));
}

void ShowHealthDetailView(QWidget *over)
{
    TPatientHealthDetailNoEditForm *view = PatientHealthDetailNoEditForm;
    if (!view)
        return;
    view->move(over->window()->frameGeometry().center() - view->rect().center());
    view->exec();
}

std::string HealthDetailsText(const QPlainTextEdit *memo)
{
    return ToStd(memo->property(HealthDetailsProperty).toString());
}

void WatchPressOrEnter(QWidget *widget, std::function<void()> action)
{
    auto *watch = new cPressWatch(std::move(action), widget);
    widget->installEventFilter(watch);
    if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
        memo->viewport()->installEventFilter(watch);
}

QString CaptionWords(const QLabel *caption)
{
    QString words = caption->text().trimmed();
    if (words.endsWith(':'))
        words.chop(1);
    return words.trimmed();
}

cPacketField PacketField(const char *caption, const QLabel *value)
{
    return {caption, ToStd(value->text())};
}

std::vector<cCodeItem> ShownCodes(const QListView *list)
{
    return CodeListModel(list)->Items();
}
} // namespace detail_page
