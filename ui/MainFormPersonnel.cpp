// The " Personnel " page of the " Admin " tab: the owner-drawn list of the provider's personnel
// and the edit panel that opens a member or adds one, with its save.
#include "ui/MainForm.h"

#include "binding/cLabeledEdit.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/Host.h"
#include "ui/ClickLabel.h"
#include "ui/FrameShape.h"
#include "ui/Look.h"
#include "ui/PersonnelListDelegate.h"
#include "workspace/PersonnelItem.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace
{
QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string StdText(const QString &text)
{
    return text.toUtf8().toStdString();
}

// A mark as a save writes it: "Y" when set, empty when not.
std::string Mark(const QCheckBox *box)
{
    return box->isChecked() ? "Y" : "";
}

// The member as the edit panel shows it.
cPersonnelMember MemberOnPanel(const TMainForm &form)
{
    cPersonnelMember member;
    member.FName = StdText(form.PersonnelFnameEdit->text());
    member.LName = StdText(form.PersonnelLnameEdit->text());
    member.Phone = StdText(form.PersonnelPhoneEdit->text());
    member.Email = StdText(form.PersonnelEmailEdit->text());
    member.PW = StdText(form.PersonnelPasswordEdit->text());
    member.SMS = StdText(form.PersonnelSmsEmailEdit->text());
    member.Admin = Mark(form.PersonnelAdminCB);
    member.Notify = Mark(form.PersonnelNotifyCB);
    member.Pri = Mark(form.PersonnelPriContactCB);
    return member;
}

constexpr int PanelWidth = 470;
constexpr int EditLeft = 130;
constexpr int EditWidth = 250;

// The member's edits and marks on the edit panel, top to bottom.
struct cPanelEdit
{
    cLabeledEdit *TMainForm::*Edit;
    const char *Name;
    const char *Caption;
};
const cPanelEdit PanelEdits[] = {{&TMainForm::PersonnelFnameEdit, "PersonnelFnameEdit", "First Name "},
                                 {&TMainForm::PersonnelLnameEdit, "PersonnelLnameEdit", "Last Name "},
                                 {&TMainForm::PersonnelEmailEdit, "PersonnelEmailEdit", "Email "},
                                 {&TMainForm::PersonnelSmsEmailEdit, "PersonnelSmsEmailEdit", "SMS Email "},
                                 {&TMainForm::PersonnelPhoneEdit, "PersonnelPhoneEdit", "Phone "},
                                 {&TMainForm::PersonnelPasswordEdit, "PersonnelPasswordEdit", "Password "}};

struct cPanelMark
{
    QCheckBox *TMainForm::*Box;
    const char *Name;
    const char *Caption;
};
const cPanelMark PanelMarks[] = {
    {&TMainForm::PersonnelAdminCB, "PersonnelAdminCB", "Admin Privileges"},
    {&TMainForm::PersonnelNotifyCB, "PersonnelNotifyCB", "Gets hospital request notification emails"},
    {&TMainForm::PersonnelPriContactCB, "PersonnelPriContactCB", "Primary Contact"}};

// Creates the edits, the password's "Show" toggle and the marks on the panel; returns the top
// of the space below them.
int CreatePanelFields(TMainForm &form)
{
    QWidget *panel = form.PersonnelEditPanel;
    int top = 48;
    for (const cPanelEdit &e : PanelEdits)
    {
        form.*e.Edit = new cLabeledEdit(e.Name, e.Caption, panel);
        (form.*e.Edit)->Place(EditLeft, top, EditWidth);
        top += 30;
    }
    cLabeledEdit *password = form.PersonnelPasswordEdit;
    password->setEchoMode(QLineEdit::Password);
    QCheckBox *show = form.PersonnelPasswordShowCB = new QCheckBox("Show", panel);
    show->setObjectName("PersonnelPasswordShowCB");
    show->setGeometry(EditLeft + EditWidth + 10, password->y(), 70, password->height());
    QObject::connect(show, &QCheckBox::toggled, password,
                     [password](bool shown)
                     { password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    top += 6;
    for (const cPanelMark &m : PanelMarks)
    {
        form.*m.Box = new QCheckBox(m.Caption, panel);
        (form.*m.Box)->setObjectName(m.Name);
        (form.*m.Box)->setGeometry(EditLeft, top, 300, 20);
        top += 24;
    }
    return top;
}
} // namespace

void TMainForm::CreatePersonnelTab()
{
    PersonnelTab = new QWidget;
    PersonnelTab->setObjectName("PersonnelTab");
    AdminPageControl->addTab(PersonnelTab, " Personnel ");

    PersonnelListBox = new QListWidget(PersonnelTab);
    PersonnelListBox->setObjectName("PersonnelListBox");
    PersonnelListBox->setGeometry(16, 16, 300, 430);
    PersonnelListBox->setUniformItemSizes(true);
    // The item texts are the members' whole comma texts; only the names are drawn.
    PersonnelListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PersonnelListBox->setItemDelegate(new cPersonnelListDelegate(PersonnelListBox));
    connect(PersonnelListBox, &QListWidget::itemClicked, this, &TMainForm::PersonnelListBoxClick);
    connect(PersonnelListBox, &QListWidget::itemActivated, this, &TMainForm::PersonnelListBoxClick);

    AddMemberButton = new QPushButton("Add a New Member", PersonnelTab);
    AddMemberButton->setObjectName("AddMemberButton");
    AddMemberButton->setGeometry(16, 456, 150, 27);
    connect(AddMemberButton, &QPushButton::clicked, this, &TMainForm::AddMemberButtonClick);

    CreatePersonnelEditPanel();
}

void TMainForm::CreatePersonnelEditPanel()
{
    PersonnelEditPanel = new QFrame(PersonnelTab);
    PersonnelEditPanel->setObjectName("PersonnelEditPanel");
    PersonnelEditPanel->setGeometry(340, 16, PanelWidth, 380);
    PersonnelEditPanel->hide();
    Shape3 = new cFrameShape("Shape3", ToolkitColour(0x808000), 3, PersonnelEditPanel);
    Shape3->setGeometry(PersonnelEditPanel->rect());

    PersonnelEditTitle = new QLabel(PersonnelEditPanel);
    PersonnelEditTitle->setObjectName("PersonnelEditTitle");
    PersonnelEditTitle->setFont(SansFont(16, true));
    PersonnelEditTitle->setAlignment(Qt::AlignCenter);
    PersonnelEditTitle->setGeometry(30, 12, PanelWidth - 60, 22);
    auto *cancel = new cClickLabel("CancelLabel", "X", PersonnelEditPanel);
    cancel->setFont(SansFont(13, true));
    cancel->setAlignment(Qt::AlignCenter);
    cancel->setGeometry(PanelWidth - 27, 8, 17, 23);
    connect(cancel, &cClickLabel::Clicked, this, &TMainForm::CancelLabelClick);
    CancelLabel = cancel;

    const int top = CreatePanelFields(*this);
    PersonnelEditSaveButton = new QPushButton("Save Changes", PersonnelEditPanel);
    PersonnelEditSaveButton->setObjectName("PersonnelEditSaveButton");
    PersonnelEditSaveButton->setGeometry(EditLeft, top + 4, 110, 27);
    connect(PersonnelEditSaveButton, &QPushButton::clicked, this, &TMainForm::PersonnelEditSaveButtonClick);
    Shape3->raise();
}

void TMainForm::AdminTabShow()
{
    ClosePersonnelPanel();
    LoadPersonnelList();
}

void TMainForm::PersonnelTabShow()
{
    ClosePersonnelPanel();
}

void TMainForm::ClosePersonnelPanel()
{
    PersonnelEditPanel->hide();
    AddMemberButton->show();
}

void TMainForm::OpenPersonnelPanel(const char *title, bool adding)
{
    PersonnelEditTitle->setText(title);
    PersonnelEditPanel->show();
    AddMemberButton->hide();
    AddingMember = adding;
    // Every opening starts with the password hidden.
    PersonnelPasswordShowCB->setChecked(false);
}

void TMainForm::LoadPersonnelList()
{
    PersonnelListBox->clear();
    cRecordBatch personnel;
    personnel.Open(DataServerConnection, "Personnel", "L3", ProviderKey, "", 0, PersonnelListLimit,
                   PersonnelListFields);
    for (bool more = personnel.First(); more; more = personnel.Next())
    {
        const cPersonnelMember member =
            PersonnelMemberFromRecord(personnel.RecordSeq(), [&personnel](const std::string &code)
                                      { return personnel.GetField(code); });
        PersonnelListBox->addItem(Text(PersonnelItemText(member)));
    }
}

void TMainForm::PersonnelListBoxClick()
{
    const QListWidgetItem *item = PersonnelListBox->currentItem();
    if (!item || !item->isSelected())
        return;
    const cPersonnelMember member = PersonnelItemMember(StdText(item->text()));
    OpenPersonnelPanel("Edit Information", false);
    PersonnelFnameEdit->setText(Text(member.FName));
    PersonnelLnameEdit->setText(Text(member.LName));
    PersonnelPhoneEdit->setText(Text(member.Phone));
    PersonnelEmailEdit->setText(Text(member.Email));
    PersonnelSmsEmailEdit->setText(Text(member.SMS));
    PersonnelPasswordEdit->setText(Text(member.PW));
    PersonnelAdminCB->setChecked(member.Admin == "Y");
    PersonnelNotifyCB->setChecked(member.Notify == "Y");
    PersonnelPriContactCB->setChecked(member.Pri == "Y");
    SelectedPersonnelKey = member.Seq;
    PersonnelHadPassword = !member.PW.empty();
}

void TMainForm::AddMemberButtonClick()
{
    OpenPersonnelPanel("Adding a New Member", true);
    for (const cPanelEdit &e : PanelEdits)
        (this->*e.Edit)->clear();
    for (const cPanelMark &m : PanelMarks)
        (this->*m.Box)->setChecked(false);
    SelectedPersonnelKey.clear();
    PersonnelHadPassword = false;
}

void TMainForm::CancelLabelClick()
{
    ClosePersonnelPanel();
}

void TMainForm::PersonnelEditSaveButtonClick()
{
    const cPersonnelMember member = MemberOnPanel(*this);
    const cPersonnelRefusal refusal = PersonnelSaveRefusal(member, AddingMember, PersonnelHadPassword);
    if (refusal.Refused())
    {
        Host().MessageBox(refusal.Text, refusal.Caption, cHostButtons::Ok);
        return;
    }
    cStringList lines = PersonnelSaveLines(member);
    bool saved = false;
    if (AddingMember)
    {
        lines.SetValues("f2", PersonnelCreationStamp(Now()));
        lines.SetValues("f9", ProviderKey);
        saved = DataServerConnection && !DataServerConnection->AddRecord("Personnel", lines).empty();
    }
    else
        saved = DataServerConnection &&
                DataServerConnection->UpdateRecord("Personnel", SelectedPersonnelKey, lines);
    if (!saved)
    {
        // The panel stays open with what was typed, so nothing is lost.
        Host().MessageBox("The member could not be saved.", "Error", cHostButtons::Ok);
        return;
    }
    ClosePersonnelPanel();
    AddingMember = false;
    LoadPersonnelList();
    CheckNotificationRecipients();
}
