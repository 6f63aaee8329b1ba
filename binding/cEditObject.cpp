#include "binding/cEditObject.h"

#include "binding/QtText.h"
#include "binding/cEditObjects.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QWidget>
#include <cctype>

namespace
{
// Stored values carry line breaks as CR LF; the widgets hold plain LF.
std::string ToWidgetLines(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string ToStoredLines(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string Trimmed(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}
} // namespace

cEditObject::cEditObject(cEditObjects *owner, cControlKind kind, std::string alias, std::string fieldNumber)
    : FieldNumber(std::move(fieldNumber)), Alias(std::move(alias)), Owner(owner), Kind(kind)
{
}

bool cEditObject::SplitFieldCode(std::string_view code, std::string &alias, std::string &fieldNumber)
{
    alias.clear();
    fieldNumber.clear();
    if (code.size() < 2)
        return false;
    std::size_t split = 0;
    while (split < code.size() && static_cast<unsigned char>(code[split]) > '9')
        ++split;
    alias = std::string(code.substr(0, split));
    if (split < code.size())
        fieldNumber = std::string(code.substr(split, 9));
    return true;
}

std::string cEditObject::FormatDate(cDateKind kind, const std::string &value)
{
    auto asDate = [](const std::string &v) -> std::string
    {
        if (v.find('/') != std::string::npos)
            return v;
        if (v.size() < 8)
            return "";
        return v.substr(4, 2) + "/" + v.substr(6, 2) + "/" + v.substr(0, 4);
    };
    switch (kind)
    {
    case cDateKind::Date:
        return asDate(value);
    case cDateKind::DateTime:
        if (value.size() < 12)
            return asDate(value);
        return value.substr(4, 2) + "/" + value.substr(6, 2) + "/" + value.substr(0, 4) + " " +
               value.substr(8, 2) + ":" + value.substr(10, 2);
    case cDateKind::Time:
    case cDateKind::None:
        break;
    }
    return value;
}

void cEditObject::ParseOptions(std::string_view options)
{
    bool showGiven = false;
    std::size_t start = 0;
    while (start <= options.size())
    {
        std::size_t comma = options.find(',', start);
        if (comma == std::string_view::npos)
            comma = options.size();
        std::string item = Trimmed(options.substr(start, comma - start));
        for (char &c : item)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (item == "DATE")
            DateKind = cDateKind::Date;
        else if (item == "TIME")
            DateKind = cDateKind::Time;
        else if (item == "DATETIME")
            DateKind = cDateKind::DateTime;
        else if (!item.empty())
        {
            switch (item[0])
            {
            case 'M':
                Required = true;
                break;
            case 'A':
                ShowWhenAdding = true;
                showGiven = true;
                break;
            case 'E':
                ShowWhenEditing = true;
                showGiven = true;
                break;
            default:
                break;
            }
        }
        start = comma + 1;
    }
    if (!showGiven)
    {
        ShowWhenAdding = true;
        ShowWhenEditing = true;
    }
}

QWidget *cEditObject::TextWidget() const
{
    if (EditBox)
        return EditBox;
    if (MemoBox)
        return MemoBox;
    return LabelBox;
}

void cEditObject::SetControls(QWidget *outer, QLineEdit *edit, QLabel *label, QPlainTextEdit *memo)
{
    Outer = outer;
    EditBox = edit;
    LabelBox = label;
    MemoBox = memo;
}

std::string cEditObject::ControlText() const
{
    if (EditBox)
        return ToStoredLines(ToStd(EditBox->text()));
    if (MemoBox)
        return ToStoredLines(ToStd(MemoBox->toPlainText()));
    if (LabelBox)
        return ToStoredLines(ToStd(LabelBox->text()));
    return "";
}

void cEditObject::SetControlText(const std::string &text)
{
    const QString shown = ToQt(ToWidgetLines(text));
    if (EditBox)
        EditBox->setText(shown);
    else if (MemoBox)
        MemoBox->setPlainText(shown);
    else if (LabelBox)
        LabelBox->setText(shown);
}

void cEditObject::Recolour()
{
    QWidget *box = EditBox ? static_cast<QWidget *>(EditBox) : static_cast<QWidget *>(MemoBox);
    if (!box || !Owner)
        return;
    bool empty = EditBox ? EditBox->text().isEmpty() : MemoBox->toPlainText().isEmpty();
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Required && empty ? Owner->MissingColour : Owner->NormalColour);
    box->setPalette(palette);
}
