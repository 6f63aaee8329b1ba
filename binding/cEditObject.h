// One control bound to one field code of a cEditObjects collection: the parsed code, the
// options, the value last shown and the state of a pending user change.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <string>
#include <string_view>

class cEditObjects;

enum class cControlKind
{
    Edit,  // one-line edit box: loads text and colour, writes back when left after a change
    Label, // label or static text: loads its caption only
    Memo   // multi-line memo: as an edit box
};

enum class cDateKind
{
    None,
    Date,
    Time,
    DateTime
};

class cEditObject
{
public:
    // Run on exit before the binding writes; it may set Veto to keep the change pending.
    using cExitHandler = void (*)(void *user, cEditObject &binding);

    cEditObject(cEditObjects *owner, cControlKind kind, std::string alias, std::string fieldNumber);
    cEditObject(const cEditObject &) = delete;
    cEditObject &operator=(const cEditObject &) = delete;

    // Splits a code at its first character with a code of 57 ('9') or less: the alias before
    // it, the field number (at most 9 characters) from it. False for codes shorter than 2.
    static bool SplitFieldCode(std::string_view code, std::string &alias, std::string &fieldNumber);
    // Reformats a stored YYYYMMDD / YYYYMMDDHHNN value for a label of the given kind.
    static std::string FormatDate(cDateKind kind, const std::string &value);

    // Comma-separated options, upper-cased: DATE, TIME, DATETIME set DateKind; otherwise the
    // first letter counts: M Required, A ShowWhenAdding, E ShowWhenEditing. Without A or E
    // items both show flags are set.
    void ParseOptions(std::string_view options);

    std::string FieldCode() const { return Alias + FieldNumber; }
    // A code beginning with "*" names a value that the window computes itself.
    bool IsCustom() const { return !FieldNumber.empty() && FieldNumber[0] == '*'; }

    // The widget shown or hidden, and the widget whose text is read and set.
    QWidget *Control() const { return Outer; }
    QWidget *TextWidget() const;
    QLineEdit *LineEdit() const { return EditBox; }
    QLabel *Label() const { return LabelBox; }
    QPlainTextEdit *Memo() const { return MemoBox; }
    void SetControls(QWidget *outer, QLineEdit *edit, QLabel *label, QPlainTextEdit *memo);

    // The control's text as stored (line breaks as CR LF) and setting it from a stored value.
    std::string ControlText() const;
    void SetControlText(const std::string &text);
    // Background by Required and emptiness (edit boxes and memos only).
    void Recolour();

    void SetExitHandler(cExitHandler handler, void *user)
    {
        ExitHandler = handler;
        ExitHandlerUser = user;
    }

    std::string FieldNumber;
    std::string Alias;
    // The value last loaded or set for display.
    std::string Value;
    cEditObjects *Owner;
    bool ShowWhenAdding = false;
    bool ShowWhenEditing = false;
    bool Required = false;
    bool Modified = false;
    bool Veto = false;
    cControlKind Kind;
    cDateKind DateKind = cDateKind::None;
    cExitHandler ExitHandler = nullptr;
    void *ExitHandlerUser = nullptr;

private:
    QPointer<QWidget> Outer;
    QPointer<QLineEdit> EditBox;
    QPointer<QLabel> LabelBox;
    QPointer<QPlainTextEdit> MemoBox;
};
