#include "ui/PersonnelPage.h"

#include "binding/cLabeledEdit.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/Host.h"
#include "ui/ClickLabel.h"
#include "ui/FrameShape.h"
#include "ui/Look.h"
#include "ui/PersonnelListDelegate.h"
#include "ui/PersonnelModel.h"
#include "workspace/PersonnelItem.h"
#include "workspace/SignedInUser.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>

namespace
{
constexpr int PanelWidth = 470;
constexpr int EditLeft = 130;
constexpr int MemberEditWidth = 250;

// The member's edits on the panel, top to bottom, with the member's field each shows.
struct cPanelEdit
{
    const char *Name;
    const char *Caption;
    std::string cPersonnelMember::*Value;
};
constexpr cPanelEdit PanelEdits[] = {{"PersonnelFnameEdit", "First Name ", &cPersonnelMember::FName},
                                     {"PersonnelLnameEdit", "Last Name ", &cPersonnelMember::LName},
                                     {"PersonnelEmailEdit", "Email ", &cPersonnelMember::Email},
                                     {"PersonnelSmsEmailEdit", "SMS Email ", &cPersonnelMember::SMS},
                                     {"PersonnelPhoneEdit", "Phone ", &cPersonnelMember::Phone},
                                     {"PersonnelPasswordEdit", "Password ", &cPersonnelMember::PW}};
constexpr std::size_t PasswordEdit = 5;

// The member's marks, "Y" when set and empty when not.
struct cPanelMark
{
    const char *Name;
    const char *Caption;
    std::string cPersonnelMember::*Value;
};
constexpr cPanelMark PanelMarks[] = {
    {"PersonnelAdminCB", "Admin Privileges", &cPersonnelMember::Admin},
    {"PersonnelNotifyCB", "Gets hospital request notification emails", &cPersonnelMember::Notify},
    {"PersonnelPriContactCB", "Primary Contact", &cPersonnelMember::Pri}};

QPushButton *Button(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}
} // namespace

cPersonnelPage::cPersonnelPage(cSession &session, QWidget *parent) : QWidget(parent), Session(session)
{
    setObjectName("PersonnelTab");
    CreateList();
    AddMemberButton = Button(this, "AddMemberButton", "Add a New Member", QRect(16, 456, 150, 27));
    connect(AddMemberButton, &QPushButton::clicked, this, &cPersonnelPage::AddMemberButtonClick);
    CreateEditPanel();
}

void cPersonnelPage::CreateList()
{
    PersonnelListBox = new QListView(this);
    PersonnelListBox->setObjectName("PersonnelListBox");
    PersonnelListBox->setGeometry(16, 16, 300, 430);
    PersonnelListBox->setUniformItemSizes(true);
    PersonnelListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PersonnelListBox->setAccessibleName("Personnel");
    Members = new cPersonnelModel(this);
    PersonnelListBox->setModel(Members);
    PersonnelListBox->setItemDelegate(new cPersonnelListDelegate(PersonnelListBox));
    connect(PersonnelListBox, &QListView::clicked, this, &cPersonnelPage::PersonnelListBoxClick);
    connect(PersonnelListBox, &QListView::activated, this, &cPersonnelPage::PersonnelListBoxClick);
}

void cPersonnelPage::CreateEditPanel()
{
    PersonnelEditPanel = new QFrame(this);
    PersonnelEditPanel->setObjectName("PersonnelEditPanel");
    PersonnelEditPanel->setGeometry(340, 16, PanelWidth, 380);
    PersonnelEditPanel->hide();
    auto *frame = new cFrameShape("Shape3", ToolkitColour(0x808000), 3, PersonnelEditPanel);
    frame->setGeometry(PersonnelEditPanel->rect());

    PersonnelEditTitle = new QLabel(PersonnelEditPanel);
    PersonnelEditTitle->setObjectName("PersonnelEditTitle");
    PersonnelEditTitle->setFont(SansFont(16, true));
    PersonnelEditTitle->setAlignment(Qt::AlignCenter);
    PersonnelEditTitle->setGeometry(30, 12, PanelWidth - 60, 22);
    auto *cancel = new cClickLabel("CancelLabel", "X", PersonnelEditPanel);
    cancel->setFont(SansFont(13, true));
    cancel->setAlignment(Qt::AlignCenter);
    cancel->setGeometry(PanelWidth - 27, 8, 17, 23);
    connect(cancel, &cClickLabel::Clicked, this, &cPersonnelPage::CancelLabelClick);

    const int top = CreatePanelFields(48);
    QPushButton *save = Button(PersonnelEditPanel, "PersonnelEditSaveButton", "Save Changes",
                               QRect(EditLeft, top + 4, 110, 27));
    connect(save, &QPushButton::clicked, this, &cPersonnelPage::PersonnelEditSaveButtonClick);
    frame->raise();
}

// Creates the edits, the password's "Show" toggle and the marks on the panel; returns the top of
// the space below them.
int cPersonnelPage::CreatePanelFields(int top)
{
    for (std::size_t i = 0; i < Edits.size(); ++i)
    {
        Edits[i] = new cLabeledEdit(PanelEdits[i].Name, PanelEdits[i].Caption, PersonnelEditPanel);
        Edits[i]->Place(EditLeft, top, MemberEditWidth);
        top += 30;
    }
    cLabeledEdit *password = Edits[PasswordEdit];
    password->setEchoMode(QLineEdit::Password);
    PersonnelPasswordShowCB = new QCheckBox("Show", PersonnelEditPanel);
    PersonnelPasswordShowCB->setObjectName("PersonnelPasswordShowCB");
    PersonnelPasswordShowCB->setAccessibleName("Show password");
    PersonnelPasswordShowCB->setGeometry(EditLeft + MemberEditWidth + 10, password->y(), 70,
                                         password->height());
    connect(PersonnelPasswordShowCB, &QCheckBox::toggled, password,
            [password](bool shown)
            { password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password); });
    top += 6;
    for (std::size_t i = 0; i < Marks.size(); ++i)
    {
        Marks[i] = new QCheckBox(PanelMarks[i].Caption, PersonnelEditPanel);
        Marks[i]->setObjectName(PanelMarks[i].Name);
        Marks[i]->setGeometry(EditLeft, top, 300, 20);
        top += 24;
    }
    return top;
}

void cPersonnelPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program (a tab chosen), not again by the window system after a minimise.
    if (!event->spontaneous())
        PersonnelTabShow();
}

void cPersonnelPage::PersonnelTabShow()
{
    ClosePersonnelPanel();
}

void cPersonnelPage::ClosePersonnelPanel()
{
    PersonnelEditPanel->hide();
    AddMemberButton->show();
}

void cPersonnelPage::OpenPersonnelPanel(const char *title, bool adding)
{
    PersonnelEditTitle->setText(title);
    PersonnelEditPanel->show();
    AddMemberButton->hide();
    Adding = adding;
    // Every opening starts with the password hidden.
    PersonnelPasswordShowCB->setChecked(false);
}

void cPersonnelPage::LoadPersonnelList()
{
    std::vector<cPersonnelMember> members;
    cRecordBatch personnel;
    personnel.Open(Session.DataServerConnection(), "Personnel", "L3",
                   SignedInUser(Session.PersonnelRecord).ProviderKey, "", 0, PersonnelListLimit,
                   PersonnelListFields);
    for (bool more = personnel.First(); more; more = personnel.Next())
        members.push_back(PersonnelMemberFromRecord(personnel.RecordSeq(),
                                                    [&personnel](const std::string &code)
                                                    { return personnel.GetField(code); }));
    Members->SetMembers(std::move(members));
}

void cPersonnelPage::ShowMember(const cPersonnelMember &member)
{
    for (std::size_t i = 0; i < Edits.size(); ++i)
        Edits[i]->setText(ToQt(member.*PanelEdits[i].Value));
    for (std::size_t i = 0; i < Marks.size(); ++i)
        Marks[i]->setChecked(member.*PanelMarks[i].Value == "Y");
}

cPersonnelMember cPersonnelPage::MemberOnPanel() const
{
    cPersonnelMember member;
    for (std::size_t i = 0; i < Edits.size(); ++i)
        member.*PanelEdits[i].Value = ToStd(Edits[i]->text());
    for (std::size_t i = 0; i < Marks.size(); ++i)
        member.*PanelMarks[i].Value = Marks[i]->isChecked() ? "Y" : "";
    return member;
}

void cPersonnelPage::PersonnelListBoxClick()
{
    const QModelIndex current = PersonnelListBox->currentIndex();
    cPersonnelMember member;
    if (!current.isValid() || !PersonnelListBox->selectionModel()->isSelected(current) ||
        !Members->MemberAt(current.row(), member))
        return;
    OpenPersonnelPanel("Edit Information", false);
    ShowMember(member);
    SelectedKey = member.Seq;
    HadPassword = !member.PW.empty();
    ShownMember = member;
}

void cPersonnelPage::AddMemberButtonClick()
{
    OpenPersonnelPanel("Adding a New Member", true);
    ShowMember(cPersonnelMember());
    SelectedKey.clear();
    HadPassword = false;
}

void cPersonnelPage::CancelLabelClick()
{
    ClosePersonnelPanel();
}

void cPersonnelPage::PersonnelEditSaveButtonClick()
{
    const cPersonnelMember member = MemberOnPanel();
    const cPersonnelRefusal refusal = PersonnelSaveRefusal(member, Adding, HadPassword);
    if (refusal.Refused())
    {
        Host().MessageBox(refusal.Text, refusal.Caption, cHostButtons::Ok);
        return;
    }
    if (!Adding && !StoredAsShown())
        return;
    cStringList lines = PersonnelSaveLines(member);
    dbServerConnection *link = Session.DataServerConnection();
    bool saved = false;
    if (Adding)
    {
        lines.SetValues("f2", PersonnelCreationStamp(Now()));
        lines.SetValues("f9", SignedInUser(Session.PersonnelRecord).ProviderKey);
        saved = link && !link->AddRecord("Personnel", lines).empty();
    }
    else
        saved = link && link->UpdateRecord("Personnel", SelectedKey, lines);
    if (!saved)
    {
        // The panel stays open with what was typed, so nothing is lost.
        Host().MessageBox("The member could not be saved.", "Error", cHostButtons::Ok);
        return;
    }
    ClosePersonnelPanel();
    Adding = false;
    LoadPersonnelList();
    emit PersonnelSaved();
}

// The member's record is read again before an edit is saved: when someone else changed it since
// the panel was filled, nothing is written over it, and the user may load what is stored now.
bool cPersonnelPage::StoredAsShown()
{
    cStringList record;
    dbServerConnection *link = Session.DataServerConnection();
    if (!link || !link->ReadRecord("Personnel", SelectedKey, record))
    {
        Host().MessageBox("The member could not be saved.", "Error", cHostButtons::Ok);
        return false;
    }
    const cPersonnelMember stored = PersonnelMemberFromLines(SelectedKey, record);
    if (stored == ShownMember)
        return true;
    if (Host().MessageBox("Someone else changed this member since you opened it. Nothing was saved.\r\r"
                          "Load the stored data now? What you typed on the panel is then replaced.",
                          "Member changed", cHostButtons::YesNo) == cHostAnswer::Yes)
    {
        ShowMember(stored);
        ShownMember = stored;
        HadPassword = !stored.PW.empty();
        LoadPersonnelList();
    }
    return false;
}
