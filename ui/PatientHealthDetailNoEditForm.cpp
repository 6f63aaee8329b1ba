#include "ui/PatientHealthDetailNoEditForm.h"

#include "binding/cLabeledEdit.h"
#include "ui/Look.h"
#include "workspace/HealthDetailGroups.h"
#include "json/cJSON.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>

namespace
{
// Layout of the groups in the scroll box and of the items inside a group.
constexpr int GroupLeft = 28;
constexpr int GroupWidth = 825;
constexpr int GroupGap = 8;
constexpr int InnerLeft = 20;
constexpr int InnerRight = GroupWidth - 12;
constexpr int FirstRowTop = 20;
constexpr int RowHeight = 24;
constexpr int ItemGap = 12;
constexpr int ItemEditWidth = 170;
constexpr int MemoHeight = 60;
constexpr int GridTop = 40;
constexpr int GridWidth = 785;
constexpr int GridHeight = 153;
constexpr int GridRowHeight = 18;
constexpr int EscapeKey = 27;
const QColor FixedCellColour(236, 236, 236);

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString MemoText(const std::string &text)
{
    return Text(text).replace("\r\n", "\n");
}

void SetBold(QWidget *widget, bool bold)
{
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

// Buttons are kept unchangeable by the window's event filter, which eats their mouse and key
// events.
void MakeReadOnly(QWidget *widget, QObject *filter)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
    {
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(filter);
    }
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->setReadOnly(true);
    else if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
        memo->setReadOnly(true);
    else if (auto *grid = qobject_cast<QTableWidget *>(widget))
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

bool IsTicked(const std::string &data)
{
    return cJSON::Trim(data) == "Y";
}

// Left-to-right placement of a group's items in rows, wrapping at the group's right edge.
class cGroupFlow
{
public:
    // The left edge for an item of that width, on a new row when it does not fit.
    int Reserve(int width)
    {
        if (X > InnerLeft && X + width > InnerRight)
            NewRow();
        const int left = X;
        X += width + ItemGap;
        return left;
    }
    // Starts a row of its own for a wide item, not above minimumTop; the item's height follows.
    int OwnRow(int minimumTop, int height)
    {
        if (X > InnerLeft)
            NewRow();
        Y = std::max(Y, minimumTop);
        const int top = Y;
        Y += height + 6;
        return top;
    }
    int Top() const { return Y; }
    int Bottom() const { return (X > InnerLeft ? Y + RowHeight : Y) + 6; }

private:
    void NewRow()
    {
        X = InnerLeft;
        Y += RowHeight;
    }
    int X = InnerLeft;
    int Y = FirstRowTop;
};

QTableWidget *MakeGrid(QGroupBox *box, int top)
{
    auto *grid = new QTableWidget(box);
    grid->setGeometry(InnerLeft, top, GridWidth, GridHeight);
    grid->setFont(SansFont(13));
    grid->horizontalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(0);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    return grid;
}

// The widget of one item of a group, placed by the flow.
QWidget *MakeItem(const cHealthItem &item, QGroupBox *box, cGroupFlow &flow)
{
    const QString caption = Text(item.Caption);
    // Wide enough for the bold font of a ticked box.
    const QFontMetrics bold(SansFont(13, true));
    switch (item.Kind)
    {
    case cHealthItemKind::CheckBox:
    case cHealthItemKind::RadioButton:
    {
        QAbstractButton *button = item.Kind == cHealthItemKind::CheckBox
                                      ? static_cast<QAbstractButton *>(new QCheckBox(caption, box))
                                      : static_cast<QAbstractButton *>(new QRadioButton(caption, box));
        const int width = bold.horizontalAdvance(caption) + 28;
        const int left = flow.Reserve(width); // may start a new row: before Top()
        button->setGeometry(left, flow.Top(), width, RowHeight - 4);
        return button;
    }
    case cHealthItemKind::Label:
    {
        auto *label = new QLabel(caption, box);
        label->adjustSize();
        const int left = flow.Reserve(label->width());
        label->move(left, flow.Top() + 2);
        return label;
    }
    case cHealthItemKind::Edit:
    {
        auto *edit = new cLabeledEdit(Text(item.Name), caption, box);
        const int labelWidth = bold.horizontalAdvance(caption) + 4;
        const int left = flow.Reserve(labelWidth + ItemEditWidth);
        edit->Place(left + labelWidth, flow.Top() - 2, ItemEditWidth);
        return edit;
    }
    case cHealthItemKind::Memo:
    {
        auto *memo = new QPlainTextEdit(box);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setGeometry(InnerLeft, flow.OwnRow(FirstRowTop, MemoHeight), GridWidth, MemoHeight);
        return memo;
    }
    case cHealthItemKind::Grid:
        return MakeGrid(box, flow.OwnRow(GridTop, GridHeight));
    }
    return new QWidget(box);
}

// The back picture: an arrow pointing left and the word Back on a rounded plate.
QPixmap BackPicture()
{
    QPixmap picture(113, 40);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 80, 140), 2));
    painter.setBrush(QColor(214, 228, 245));
    painter.drawRoundedRect(QRectF(1, 1, 111, 38), 8, 8);
    QPainterPath arrow;
    arrow.moveTo(12, 20);
    arrow.lineTo(30, 8);
    arrow.lineTo(30, 15);
    arrow.lineTo(44, 15);
    arrow.lineTo(44, 25);
    arrow.lineTo(30, 25);
    arrow.lineTo(30, 32);
    arrow.closeSubpath();
    painter.setBrush(QColor(40, 80, 140));
    painter.drawPath(arrow);
    painter.setPen(QColor(20, 40, 80));
    painter.setFont(SansFont(16, true));
    painter.drawText(QRect(50, 0, 60, 40), Qt::AlignVCenter | Qt::AlignLeft, "Back");
    return picture;
}
} // namespace

TPatientHealthDetailNoEditForm::TPatientHealthDetailNoEditForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("PatientHealthDetailNoEditForm");
    setWindowTitle("PatientHealthDetailNoEditForm");
    resize(1200, 702);
    setFont(SansFont(11));
    SetBackground(this, Qt::white);
    setModal(true);

    BackButton = new QLabel(this);
    BackButton->setObjectName("BackButton");
    BackButton->setPixmap(BackPicture());
    BackButton->setGeometry(20, 21, 113, 40);
    BackButton->setCursor(Qt::PointingHandCursor);
    BackButton->setAccessibleName("Back");
    BackButton->installEventFilter(this);

    PatientHealthDetailNoEditPanel = new QFrame(this);
    PatientHealthDetailNoEditPanel->setObjectName("PatientHealthDetailNoEditPanel");
    PatientHealthDetailNoEditPanel->setFrameShape(QFrame::NoFrame);
    PatientHealthDetailNoEditPanel->setGeometry(4, 90, 1173, 541);
    SetBackground(PatientHealthDetailNoEditPanel, Qt::white);

    PatientDetailsScrollBox = new QScrollArea(PatientHealthDetailNoEditPanel);
    PatientDetailsScrollBox->setObjectName("PatientDetailsScrollBox");
    PatientDetailsScrollBox->setAccessibleName("Health details");
    PatientDetailsScrollBox->setGeometry(20, 4, 1141, 533);
    PatientDetailsScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PatientDetailsScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetBackground(PatientDetailsScrollBox, Qt::white);
    auto *content = new QWidget;
    content->setObjectName("PatientDetailsScrollBoxContent");
    SetBackground(content, Qt::white);
    BuildGroups(content);
    PatientDetailsScrollBox->setWidget(content);
    SetBackground(PatientDetailsScrollBox->viewport(), Qt::white);

    ClearDetails();
}

void TPatientHealthDetailNoEditForm::BuildGroups(QWidget *content)
{
    int top = GroupGap;
    for (const cHealthGroup &group : HealthDetailGroups())
        top = BuildGroup(group, content, top) + GroupGap;
    content->resize(PatientDetailsScrollBox->width() - 20, top);
}

// Places the group's items left to right in rows of check boxes, radio buttons and edits; a memo
// or the grid takes a row of its own. Returns the group's bottom edge.
int TPatientHealthDetailNoEditForm::BuildGroup(const cHealthGroup &group, QWidget *content, int top)
{
    auto *box = new QGroupBox(Text(group.Caption), content);
    box->setObjectName(Text(group.Name));
    // A screen reader names the group, and an item without a caption of its own (a memo, the
    // grid), by the group's caption.
    const QString spoken = Text(group.Caption).trimmed();
    box->setAccessibleName(spoken);
    box->setFont(SansFont(13, true));
    GroupBoxes.push_back(box);
    cPlacedGroup placed{&group, box, {}};
    cGroupFlow flow;
    for (const cHealthItem &item : group.Items)
    {
        QWidget *widget = MakeItem(item, box, flow);
        widget->setObjectName(Text(item.Name));
        if (item.Caption.empty())
            widget->setAccessibleName(spoken);
        if (auto *grid = qobject_cast<QTableWidget *>(widget))
        {
            grid->installEventFilter(this);
            PrescriptionsStringGrid = grid;
        }
        // Nothing in a group can be changed; the controls keep their normal look, as inside a
        // disabled frame, and the memos and the grid can still be scrolled.
        MakeReadOnly(widget, this);
        placed.Items.push_back({&item, widget});
    }
    box->setGeometry(GroupLeft, top, GroupWidth, flow.Bottom());
    Groups.push_back(std::move(placed));
    return top + box->height();
}

QWidget *TPatientHealthDetailNoEditForm::Control(std::string_view name) const
{
    const QString wanted = Text(name);
    for (const cPlacedGroup &group : Groups)
    {
        if (group.Box->objectName() == wanted)
            return group.Box;
        for (const cPlacedItem &item : group.Items)
            if (item.Widget->objectName() == wanted)
                return item.Widget;
    }
    return nullptr;
}

void TPatientHealthDetailNoEditForm::ClearDetails()
{
    for (const cPlacedGroup &group : Groups)
        for (const cPlacedItem &item : group.Items)
        {
            if (auto *button = qobject_cast<QAbstractButton *>(item.Widget))
            {
                SetBold(button, false);
                // An exclusive radio button refuses to untick itself; the set is lifted for it.
                const bool exclusive = button->autoExclusive();
                button->setAutoExclusive(false);
                button->setChecked(false);
                button->setAutoExclusive(exclusive);
            }
            else if (auto *edit = qobject_cast<QLineEdit *>(item.Widget))
                edit->clear();
            else if (auto *memo = qobject_cast<QPlainTextEdit *>(item.Widget))
                memo->clear();
            else if (item.Widget == PrescriptionsStringGrid)
                InitPrescriptionsGrid();
        }
}

void TPatientHealthDetailNoEditForm::InitPrescriptionsGrid()
{
    QTableWidget *grid = PrescriptionsStringGrid;
    grid->setRowCount(PrescriptionRows + 1);
    grid->setColumnCount(5);
    grid->setColumnCount(static_cast<int>(PrescriptionColumns().size()));
    ApplyGridColumns();
    for (int row = 1; row <= PrescriptionRows; ++row)
    {
        SetGridCell(row, 0, QString::number(row));
        for (int column = 1; column < grid->columnCount(); ++column)
            SetGridCell(row, column, QString());
    }
}

void TPatientHealthDetailNoEditForm::ApplyGridColumns()
{
    const auto &columns = PrescriptionColumns();
    PrescriptionsStringGrid->setColumnCount(static_cast<int>(columns.size()));
    for (int column = 0; column < static_cast<int>(columns.size()); ++column)
    {
        const cPrescriptionColumn &c = columns[static_cast<std::size_t>(column)];
        SetGridCell(0, column, Text(c.Header));
        PrescriptionsStringGrid->setColumnWidth(column, c.Width);
    }
}

void TPatientHealthDetailNoEditForm::SetGridCell(int row, int column, const QString &text)
{
    QTableWidgetItem *cell = PrescriptionsStringGrid->item(row, column);
    if (!cell)
    {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled);
        // Row 0 and column 0 are the fixed header cells.
        if (row == 0 || column == 0)
            cell->setBackground(FixedCellColour);
        PrescriptionsStringGrid->setItem(row, column, cell);
    }
    cell->setText(text);
}

void TPatientHealthDetailNoEditForm::LoadDetails(cJSON *details)
{
    if (!details)
        return;
    for (const cPlacedGroup &group : Groups)
    {
        const std::string name = group.Box->objectName().toStdString();
        if (!details->HasValue(name))
            continue;
        cJSON *groupObject = details->GetObject(name);
        if (!groupObject || !groupObject->IsObject || !groupObject->HasValue("Details"))
            continue;
        const std::string version = groupObject->GetValue("Version");
        cJSON *items = groupObject->GetObject("Details");
        if (!items || !items->IsObject)
            continue;
        for (const cPlacedItem &item : group.Items)
            LoadItem(item, *items, version);
    }
}

void TPatientHealthDetailNoEditForm::LoadItem(const cPlacedItem &placed, cJSON &items,
                                              const std::string &version)
{
    const std::string name(placed.Item->Name);
    if (!items.HasValue(name))
        return;
    cJSON *item = items.GetObject(name);
    if (!item || !item->IsObject)
        return;
    const std::string data = item->GetValue("Data");
    switch (placed.Item->Kind)
    {
    case cHealthItemKind::CheckBox:
    case cHealthItemKind::RadioButton:
    {
        auto *button = static_cast<QAbstractButton *>(placed.Widget);
        button->setChecked(IsTicked(data));
        if (button->isChecked())
            SetBold(button, true);
        break;
    }
    case cHealthItemKind::Edit:
        static_cast<QLineEdit *>(placed.Widget)->setText(Text(data));
        break;
    case cHealthItemKind::Memo:
        static_cast<QPlainTextEdit *>(placed.Widget)->setPlainText(MemoText(data));
        break;
    case cHealthItemKind::Grid:
        FillGrid(*item, version);
        break;
    case cHealthItemKind::Label:
        break;
    }
}

void TPatientHealthDetailNoEditForm::FillGrid(cJSON &grid, const std::string &version)
{
    if (version == "1")
        ApplyGridColumns();
    const int columns = static_cast<int>(PrescriptionColumns().size());
    for (int row = 1; row < PrescriptionsStringGrid->rowCount(); ++row)
    {
        // A missing row is created empty, so every row is written; a row that is not an object
        // reads as empty.
        cJSON *line = grid.GetObject("Line" + std::to_string(row));
        if (line && !line->IsObject)
            line = nullptr;
        SetGridCell(row, 0, QString::number(row));
        for (int column = 1; column < columns; ++column)
            SetGridCell(row, column, line ? Text(line->GetValue("Col" + std::to_string(column))) : QString());
    }
}

void TPatientHealthDetailNoEditForm::BackButtonClick()
{
    close();
}

void TPatientHealthDetailNoEditForm::FormKeyDown(int &key)
{
    if (key != EscapeKey)
        return;
    key = 0;
    close();
}

void TPatientHealthDetailNoEditForm::keyPressEvent(QKeyEvent *event)
{
    int key = event->key() == Qt::Key_Escape ? EscapeKey : event->key();
    FormKeyDown(key);
    if (key == 0)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

bool TPatientHealthDetailNoEditForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == BackButton && event->type() == QEvent::MouseButtonRelease)
    {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && BackButton->rect().contains(mouse->position().toPoint()))
            BackButtonClick();
        return true;
    }
    // The window sees keys before its controls.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
    {
        int key = EscapeKey;
        FormKeyDown(key);
        if (key == 0)
            return true;
    }
    if (qobject_cast<QAbstractButton *>(watched))
    {
        switch (event->type())
        {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
