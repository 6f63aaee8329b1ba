// Ties the controls of one window page to fields of a main-table record and of the records
// joined to it by alias. One chosen-field read fills every bound control; an edit box or memo
// that the user changed writes its field back as soon as it loses the focus.
#pragma once

#include "binding/cEditObject.h"
#include "dataclient/LinkSource.h"
#include "toolkit/StringList.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class cTableObject;
class dbServerConnection;

class cEditObjects : public QObject
{
    Q_OBJECT

public:
    // Called during a load for every binding whose code begins with "*"; it reads Values of
    // the binding's owner and sets the binding's Value, which is then shown.
    using cCustomFieldHandler = void (*)(void *user, cEditObject &binding);

    // navigationWindow, when given, receives the focus moves that Enter asks for. Reads and
    // writes go to the connection that link answers at each use.
    cEditObjects(cLinkSource link, const std::string &mainTable, QWidget *navigationWindow = nullptr);
    // The same with one fixed connection.
    cEditObjects(dbServerConnection *connection, const std::string &mainTable,
                 QWidget *navigationWindow = nullptr);
    ~cEditObjects() override;

    // Declares a joined table: appends "alias=table:link" to AliasList (alias "f" excepted)
    // and creates its table object unless the alias is known already.
    void AddTable(const std::string &tableName, const std::string &alias, const std::string &linkField);
    // Extra codes that are read but shown by no control.
    void AddFields(const std::string &codes);

    // Bind a control to a field code (a labelled edit binds as an edit box). Each returns the binding, or
    // null when the code is shorter than 2 characters (the control is then left as it was).
    cEditObject *AddEdit(QLineEdit *control, const std::string &code, const std::string &options);
    cEditObject *AddLabel(QLabel *control, const std::string &code, const std::string &options);
    cEditObject *AddMemo(QPlainTextEdit *control, const std::string &code, const std::string &options);

    void SetCustomFieldHandler(cCustomFieldHandler handler, void *user);

    // Reads the record with the given key and its joined records and fills every bound
    // control. False when the read failed; the controls then keep what they showed.
    bool LoadRecord(const std::string &key);
    // The same over a given connection, which then replaces the link for later reads and writes.
    bool LoadRecord(dbServerConnection *connection, const std::string &key);
    // Builds FieldList once (while it is empty): the joined tables' keys in alias order, the
    // bound codes in binding order, then "," and ExtraFields.
    void BuildFieldList();

    // The binding that a control carries, or null.
    static cEditObject *BindingOf(const QObject *control);
    // Key for writes to an alias: RecordKey for "f", the joined record's key for a declared
    // alias, empty otherwise.
    std::string KeyForAlias(const std::string &alias) const;
    // Table written for an alias: MainTable for "f", the joined table otherwise ("" unknown).
    std::string TableForAlias(const std::string &alias) const;
    cTableObject *Table(const std::string &alias) const;

    int BindingCount() const { return static_cast<int>(Bindings.size()); }
    cEditObject *Binding(int i) const { return Bindings.at(static_cast<std::size_t>(i)).get(); }

    // Where reads and writes go.
    cLinkSource Link;
    std::string MainTable;
    std::string RecordKey;
    std::string AliasList;
    std::string ExtraFields;
    std::string FieldList;
    // The last reply, one code=value line per requested code.
    cStringList Values;
    QColor NormalColour{255, 255, 255};
    QColor MissingColour{255, 128, 128};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    cEditObject *Bind(cControlKind kind, QWidget *outer, QLineEdit *edit, QLabel *label, QPlainTextEdit *memo,
                      const std::string &code, const std::string &options);
    void ControlChanged(cEditObject &binding);
    void ControlExit(cEditObject &binding);
    void MoveToNextControl(QWidget *from);

    std::vector<std::unique_ptr<cEditObject>> Bindings;
    // Sorted by alias, ignoring letter case; each item's object is its table object.
    cStringList Tables;
    std::vector<std::unique_ptr<cTableObject>> TableObjects;
    cCustomFieldHandler CustomFieldHandler = nullptr;
    void *CustomFieldUser = nullptr;
    QPointer<QWidget> NavigationWindow;
    cStringList Scratch;
    // Set while the binding itself changes control texts.
    bool Loading = false;
};
