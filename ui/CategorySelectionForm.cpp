#include "ui/CategorySelectionForm.h"

#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "toolkit/Host.h"
#include "ui/ClickLabel.h"
#include "ui/Forms.h"
#include "ui/FrameShape.h"
#include "ui/Look.h"
#include "ui/MainForm.h"
#include "workspace/CategoryTable.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollArea>

namespace
{
constexpr int MaxLinks = 10000;
constexpr int RowHeight = 16;
// Offsets of a section's boxes from its heading.
constexpr int BoxIndent = 4;
constexpr int FirstBoxBelow = 42;
constexpr int HeadingWidth = 165;
constexpr int HeadingHeight = 37;
// The scroll box of the scrolled section.
const QRect ScrollBoxArea(660, 288, 385, 257);
const char *const LinkTable = "ProviderCategoryLink";

// Width of a column of boxes: to the next column, or to the frame for the last one.
int ColumnWidth(int headingLeft)
{
    return headingLeft < 300 ? 266 : headingLeft < 656 ? 350 : 402;
}

// The boxes' look: accelerators are not underlined until asked for, as the toolkit showed them,
// so that a caption such as "Equipment & Supplies" reads without a mark under its blank.
class cCaptionStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_UnderlineShortcut)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The picture of the Save button: a rounded green plate with its word.
QPixmap SavePicture()
{
    QPixmap picture(69, 33);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 96, 0), 1));
    painter.setBrush(QColor(0, 150, 0));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 68, 32), 7, 7);
    painter.setPen(Qt::white);
    painter.setFont(SansFont(16, true));
    painter.drawText(QRect(0, 0, 69, 33), Qt::AlignCenter, "Save");
    return picture;
}
} // namespace

TCategorySelectionForm::TCategorySelectionForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("CategorySelectionForm");
    // A borderless window: it draws its own frame and close mark.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(1078, 586);
    setFont(SansFont(13));
    SetBackground(this, Qt::white);
    setModal(true);
    Items.SetSorted(true);
    Items.SetDuplicates(cDuplicates::Error);
    CaptionStyle = new cCaptionStyle;
    CaptionStyle->setParent(this);

    CreateControls();
    CreateSections();
    // Keyboard preview: Enter and Escape reach the window before the control that has the focus.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

TCategorySelectionForm::~TCategorySelectionForm() = default;

void TCategorySelectionForm::CreateControls()
{
    FrameShape = new cFrameShape("FrameShape", QColor(0, 0, 255), 3, this);
    FrameShape->setGeometry(12, 12, width() - 22, height() - 21);

    ExitLabel = new cClickLabel("ExitLabel", "X", this);
    ExitLabel->setFont(SansFont(13, true));
    ExitLabel->setStyleSheet("color: black;");
    ExitLabel->setAlignment(Qt::AlignCenter);
    ExitLabel->setGeometry(1048, 17, 17, 23);
    connect(ExitLabel, &cClickLabel::Clicked, this, &TCategorySelectionForm::ExitLabelClick);

    SaveButton = new QPushButton(this);
    SaveButton->setObjectName("SaveButton");
    SaveButton->setToolTip("Save");
    SaveButton->setAccessibleName("Save");
    SaveButton->setFlat(true);
    SaveButton->setAutoDefault(false);
    SaveButton->setIcon(SavePicture());
    SaveButton->setIconSize(QSize(69, 33));
    SaveButton->setGeometry(32, 524, 69, 33);
    SaveButton->setStyleSheet("QPushButton { border: none; }");
    connect(SaveButton, &QPushButton::clicked, this, &TCategorySelectionForm::SaveButtonClick);

    LoadNoticeLabel = new QLabel("The categories could not be loaded, so nothing can be saved.", this);
    LoadNoticeLabel->setObjectName("LoadNoticeLabel");
    LoadNoticeLabel->setFont(SansFont(13, true));
    LoadNoticeLabel->setStyleSheet("color: rgb(255, 0, 0);");
    LoadNoticeLabel->setGeometry(120, 531, 500, 20);
    LoadNoticeLabel->hide();
}

void TCategorySelectionForm::CreateSections()
{
    const auto sections = CategorySections();
    std::vector<int> rows(sections.size(), 0);
    auto *scrolled = new QWidget;
    scrolled->setObjectName("DmeOtherScrollBoxContents");
    SetBackground(scrolled, Qt::white);
    for (const cCategorySection &section : sections)
    {
        auto *heading = new QLabel(section.Heading, this);
        heading->setObjectName(section.Name);
        heading->setFont(SansFont(16));
        heading->setAlignment(Qt::AlignCenter);
        heading->setStyleSheet("background-color: rgb(192, 192, 192); border: 1px solid black; "
                               "border-radius: 8px;");
        heading->setGeometry(section.Left, section.Top, HeadingWidth, HeadingHeight);
    }
    for (const cCategoryBox &box : CategoryBoxes())
    {
        const cCategorySection &section = sections[static_cast<std::size_t>(box.Section)];
        const int row = rows[static_cast<std::size_t>(box.Section)]++;
        if (section.Scrolled)
            Register(
                CreateBox(box.Name, box.Caption, scrolled, 0, row * RowHeight, ScrollBoxArea.width() - 24));
        else
            Register(CreateBox(box.Name, box.Caption, this, section.Left + BoxIndent,
                               section.Top + FirstBoxBelow + row * RowHeight, ColumnWidth(section.Left)));
    }
    scrolled->resize(ScrollBoxArea.width() - 20, rows.back() * RowHeight);
    DmeOtherScrollBox = new QScrollArea(this);
    DmeOtherScrollBox->setObjectName("DmeOtherScrollBox");
    // Named by its section's heading, the one scrolled section.
    for (const cCategorySection &section : sections)
        if (section.Scrolled)
            DmeOtherScrollBox->setAccessibleName(section.Heading);
    DmeOtherScrollBox->setFrameShape(QFrame::NoFrame);
    DmeOtherScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DmeOtherScrollBox->setGeometry(ScrollBoxArea);
    DmeOtherScrollBox->setWidget(scrolled);
    SetBackground(DmeOtherScrollBox->viewport(), Qt::white);
}

QCheckBox *TCategorySelectionForm::CreateBox(const char *name, const char *caption, QWidget *parent, int left,
                                             int top, int width)
{
    // The toolkit's caption convention is Qt's: "&&" shows one ampersand, "&" marks the accelerator.
    auto *box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    box->setStyle(CaptionStyle);
    box->setGeometry(left, top, width, RowHeight);
    return box;
}

void TCategorySelectionForm::Register(QCheckBox *box)
{
    auto item = std::make_unique<cCheckBoxItem>();
    item->CheckBox = box;
    if (Items.AddObject(CategoryKey(box->objectName().toStdString()), item.get()) >= 0)
        ItemStore.push_back(std::move(item));
}

TCategorySelectionForm::cCheckBoxItem *TCategorySelectionForm::ItemAt(int index) const
{
    return static_cast<cCheckBoxItem *>(Items.Object(index));
}

TCategorySelectionForm::cCheckBoxItem *TCategorySelectionForm::Item(const std::string &category) const
{
    int index = 0;
    return Items.Find(category, index) ? ItemAt(index) : nullptr;
}

void TCategorySelectionForm::Prepare(const std::string &providerKey, const std::string &zipValue1,
                                     const std::string &zipValue2, cLinkSource connection)
{
    Provider = providerKey;
    Zip1 = zipValue1;
    Zip2 = zipValue2;
    Link = std::move(connection);
}

void TCategorySelectionForm::showEvent(QShowEvent *event)
{
    if (MainForm)
        move(MainForm->frameGeometry().center() - rect().center());
    QDialog::showEvent(event);
    // The links are loaded before the boxes are seen, at every showing.
    if (!event->spontaneous())
        FormActivate();
}

void TCategorySelectionForm::FormActivate()
{
    for (int i = 0; i < Items.Count(); ++i)
    {
        cCheckBoxItem *item = ItemAt(i);
        item->LoadedChecked = false;
        item->LinkKey.clear();
        item->CheckBox->setChecked(false);
    }
    cRecordBatch links;
    const bool loaded = links.Open(Connection(), LinkTable, "L2", Provider, "", 0, MaxLinks, "f11");
    for (bool more = loaded && links.First(); more; more = links.Next())
    {
        cCheckBoxItem *item = Item(links.GetField("f11"));
        if (!item)
            continue; // a category without a box
        item->LoadedChecked = true;
        item->CheckBox->setChecked(true);
        item->LinkKey = links.RecordSeq();
    }
    LoadNoticeLabel->setVisible(!loaded);
    SaveButton->setEnabled(loaded);
}

// Each changed box is one add or delete. What was stored counts as loaded from then on, so a
// second save after a failure sends only what is still missing; the dialog stays open and names
// the categories that could not be saved.
void TCategorySelectionForm::SaveButtonClick()
{
    dbServerConnection *connection = Connection();
    QStringList failed;
    for (int i = 0; i < Items.Count(); ++i)
    {
        cCheckBoxItem *item = ItemAt(i);
        const bool checked = item->CheckBox->isChecked();
        if (checked == item->LoadedChecked)
            continue;
        bool saved = false;
        if (checked && connection)
        {
            const std::string key = connection->AddRecord(
                LinkTable,
                CategoryLinkLines(Provider, CategoryKey(item->CheckBox->objectName().toStdString()), Zip1,
                                  Zip2));
            saved = !key.empty();
            if (saved)
                item->LinkKey = key;
        }
        else if (connection)
        {
            saved = connection->DeleteRecord(LinkTable, item->LinkKey);
            if (saved)
                item->LinkKey.clear();
        }
        if (saved)
            item->LoadedChecked = checked;
        else
            failed << item->CheckBox->text().replace("&&", QChar(1)).remove('&').replace(QChar(1), '&');
    }
    if (failed.isEmpty())
    {
        accept();
        return;
    }
    Host().MessageBox(ToStd("These categories could not be saved: " + failed.join(", ") +
                            ".\r\rThe other changes were saved. Press Save to try again."),
                      "Error", cHostButtons::Ok);
}

void TCategorySelectionForm::ExitLabelClick()
{
    reject();
}

bool TCategorySelectionForm::FormKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
        return false;
    reject();
    return true;
}

void TCategorySelectionForm::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyPress(event->key()))
        QDialog::keyPressEvent(event);
}

bool TCategorySelectionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FormKeyPress(static_cast<QKeyEvent *>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}
