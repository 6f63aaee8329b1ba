#include "binding/cEditObjects.h"

#include "binding/cTableObject.h"
#include "dataclient/dbServerConnection.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVariant>
#include <QWidget>

namespace
{
// Dynamic property that stands for the control's tag: it carries the control's binding.
constexpr const char *TagProperty = "cEditObject";

bool SameText(const std::string &a, const std::string &b)
{
    return cStringList::CompareText(a, b) == 0;
}
} // namespace

cEditObjects::cEditObjects(cLinkSource link, const std::string &mainTable, QWidget *navigationWindow)
    : Link(std::move(link)), MainTable(mainTable), NavigationWindow(navigationWindow)
{
    Tables.SetSorted(true);
    Tables.SetDuplicates(cDuplicates::Ignore);
}

cEditObjects::cEditObjects(dbServerConnection *connection, const std::string &mainTable,
                           QWidget *navigationWindow)
    : cEditObjects(FixedLink(connection), mainTable, navigationWindow)
{
}

cEditObjects::~cEditObjects()
{
    // The controls stay; they must no longer point at bindings that go now.
    for (auto &binding : Bindings)
    {
        if (QWidget *text = binding->TextWidget(); text && BindingOf(text) == binding.get())
            text->setProperty(TagProperty, QVariant());
        if (QWidget *outer = binding->Control(); outer && BindingOf(outer) == binding.get())
            outer->setProperty(TagProperty, QVariant());
    }
}

void cEditObjects::AddTable(const std::string &tableName, const std::string &alias,
                            const std::string &linkField)
{
    if (alias != "f")
    {
        if (!AliasList.empty())
            AliasList += ",";
        AliasList += alias + "=" + tableName + ":" + linkField;
    }
    int index = 0;
    if (Tables.Find(alias, index))
        return;
    TableObjects.push_back(std::make_unique<cTableObject>(tableName, alias, linkField));
    Tables.AddObject(alias, TableObjects.back().get());
}

void cEditObjects::AddFields(const std::string &codes)
{
    if (!ExtraFields.empty())
        ExtraFields += ",";
    ExtraFields += codes;
}

cEditObject *cEditObjects::AddEdit(QLineEdit *control, const std::string &code, const std::string &options)
{
    if (!control)
        return nullptr;
    return Bind(cControlKind::Edit, control, control, nullptr, nullptr, code, options);
}

cEditObject *cEditObjects::AddLabel(QLabel *control, const std::string &code, const std::string &options)
{
    if (!control)
        return nullptr;
    return Bind(cControlKind::Label, control, nullptr, control, nullptr, code, options);
}

cEditObject *cEditObjects::AddMemo(QPlainTextEdit *control, const std::string &code,
                                   const std::string &options)
{
    if (!control)
        return nullptr;
    return Bind(cControlKind::Memo, control, nullptr, nullptr, control, code, options);
}

cEditObject *cEditObjects::Bind(cControlKind kind, QWidget *outer, QLineEdit *edit, QLabel *label,
                                QPlainTextEdit *memo, const std::string &code, const std::string &options)
{
    std::string alias;
    std::string number;
    if (!cEditObject::SplitFieldCode(code, alias, number))
        return nullptr;
    auto owned = std::make_unique<cEditObject>(this, kind, alias, number);
    cEditObject *binding = owned.get();
    binding->ParseOptions(options);
    binding->SetControls(outer, edit, label, memo);
    Bindings.push_back(std::move(owned));

    const QVariant tag = QVariant::fromValue(static_cast<void *>(binding));
    outer->setProperty(TagProperty, tag);
    if (QWidget *text = binding->TextWidget(); text != outer)
        text->setProperty(TagProperty, tag);

    // Server values are shown as they are, never as markup.
    if (label)
        label->setTextFormat(Qt::PlainText);
    Loading = true;
    binding->SetControlText("");
    Loading = false;

    if (edit)
    {
        // textEdited comes from the user's typing only, never from setText.
        connect(edit, &QLineEdit::textEdited, this, [this, binding]() { ControlChanged(*binding); });
        edit->installEventFilter(this);
    }
    else if (memo)
    {
        // A memo has no user-only signal: a change counts when it is not ours and the memo
        // is editable and has the focus (the user is typing in it). Text that the window sets
        // in a read-only memo is never written back.
        connect(memo, &QPlainTextEdit::textChanged, this,
                [this, binding, memo]()
                {
                    if (!Loading && !memo->isReadOnly() && memo->hasFocus())
                        ControlChanged(*binding);
                });
        memo->installEventFilter(this);
    }
    return binding;
}

void cEditObjects::SetCustomFieldHandler(cCustomFieldHandler handler, void *user)
{
    CustomFieldHandler = handler;
    CustomFieldUser = user;
}

void cEditObjects::BuildFieldList()
{
    if (!FieldList.empty())
        return;
    Scratch.Clear();
    for (int i = 0; i < Tables.Count(); ++i)
    {
        const std::string &alias = Tables[i];
        if (alias != "f")
            Scratch.Add(alias + "1");
    }
    for (const auto &binding : Bindings)
    {
        if (binding->FieldNumber.empty() || binding->IsCustom())
            continue;
        const std::string code = binding->FieldCode();
        if (Scratch.IndexOf(code) < 0)
            Scratch.Add(code);
    }
    FieldList = Scratch.CommaText() + "," + ExtraFields;
    Scratch.Clear();
}

bool cEditObjects::LoadRecord(dbServerConnection *connection, const std::string &key)
{
    if (connection)
        Link = FixedLink(connection);
    return LoadRecord(key);
}

bool cEditObjects::LoadRecord(const std::string &key)
{
    BuildFieldList();
    RecordKey = key;
    dbServerConnection *connection = Link ? Link() : nullptr;
    if (!connection)
        return false;

    std::string fields = FieldList;
    if (!connection->ReadFields(MainTable, key, fields, AliasList))
        return false;
    Values.SetCommaText(fields);

    for (int i = 0; i < Tables.Count(); ++i)
    {
        auto *table = static_cast<cTableObject *>(Tables.Object(i));
        if (table->Alias != "f")
            table->Key = Values.Values(table->Alias + "1");
    }

    Loading = true;
    for (const auto &owned : Bindings)
    {
        cEditObject &binding = *owned;
        QWidget *control = binding.Control();
        if (!control)
            continue;
        if (!binding.ShowWhenEditing)
        {
            control->setVisible(false);
            continue;
        }
        control->setVisible(true);
        std::string value = Values.Values(binding.FieldCode());
        if (binding.Kind == cControlKind::Label &&
            (binding.DateKind == cDateKind::Date || binding.DateKind == cDateKind::DateTime))
            value = cEditObject::FormatDate(binding.DateKind, value);
        if (binding.IsCustom() && CustomFieldHandler)
            CustomFieldHandler(CustomFieldUser, binding);
        else
            binding.Value = value;
        binding.SetControlText(binding.Value);
        // The loaded text replaces whatever the user had typed: nothing is pending any more.
        binding.Modified = false;
        if (binding.Kind != cControlKind::Label)
            binding.Recolour();
    }
    Loading = false;
    return true;
}

cEditObject *cEditObjects::BindingOf(const QObject *control)
{
    if (!control)
        return nullptr;
    const QVariant tag = control->property(TagProperty);
    if (!tag.isValid())
        return nullptr;
    return static_cast<cEditObject *>(tag.value<void *>());
}

std::string cEditObjects::KeyForAlias(const std::string &alias) const
{
    if (SameText(alias, "f"))
        return RecordKey;
    if (cTableObject *table = Table(alias))
        return table->Key;
    return "";
}

std::string cEditObjects::TableForAlias(const std::string &alias) const
{
    if (SameText(alias, "f"))
        return MainTable;
    if (cTableObject *table = Table(alias))
        return table->TableName;
    return "";
}

cTableObject *cEditObjects::Table(const std::string &alias) const
{
    int index = 0;
    if (!Tables.Find(alias, index))
        return nullptr;
    return static_cast<cTableObject *>(Tables.Object(index));
}

void cEditObjects::ControlChanged(cEditObject &binding)
{
    if (Loading)
        return;
    binding.Modified = true;
    binding.Recolour();
}

void cEditObjects::ControlExit(cEditObject &binding)
{
    if (binding.ExitHandler)
    {
        binding.Veto = false;
        binding.ExitHandler(binding.ExitHandlerUser, binding);
        if (binding.Veto)
            return;
    }
    if (binding.Modified)
    {
        const std::string key = KeyForAlias(binding.Alias);
        const std::string table = TableForAlias(binding.Alias);
        dbServerConnection *connection = Link ? Link() : nullptr;
        if (!key.empty() && !table.empty() && connection)
        {
            Scratch.Clear();
            Scratch.Add("f" + binding.FieldNumber + "=" + binding.ControlText());
            connection->UpdateRecord(table, key, Scratch);
            Scratch.Clear();
        }
    }
    binding.Modified = false;
}

bool cEditObjects::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::FocusOut && type != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    cEditObject *binding = BindingOf(watched);
    if (!binding || binding->Owner != this || binding->TextWidget() != watched)
        return QObject::eventFilter(watched, event);

    if (type == QEvent::FocusOut)
    {
        // Focus lost to another window or to a popup menu leaves the user in the control: only
        // a real move elsewhere is an exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            ControlExit(*binding);
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (binding->Kind == cControlKind::Edit && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
    {
        // Enter inserts nothing; with a navigation window it moves to the next control.
        if (NavigationWindow)
            MoveToNextControl(binding->LineEdit());
        return true;
    }
    return false;
}

void cEditObjects::MoveToNextControl(QWidget *from)
{
    QWidget *window = NavigationWindow;
    if (!from || !window)
        return;
    for (QWidget *next = from->nextInFocusChain(); next && next != from; next = next->nextInFocusChain())
    {
        if (next->focusProxy() || !window->isAncestorOf(next))
            continue;
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(window))
        {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
