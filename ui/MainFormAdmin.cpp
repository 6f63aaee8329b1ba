// The " Admin " tab: its page control, the " Insurance We Accept " page (the accepted plans and the
// check list driven by InsuranceSelect) and the " Who We Are " page (the company data, its save
// and the category selection dialog). The " Personnel " page is in MainFormPersonnel.cpp.
#include "ui/MainForm.h"

#include "binding/cCheckMultiSelectObject.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/Host.h"
#include "ui/CategorySelectionForm.h"
#include "ui/Forms.h"
#include "ui/Look.h"
#include "workspace/CompanyData.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>

namespace
{
// Line of the provider's record that holds the company name.
constexpr int CompanyNameLine = 10;

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string StdText(const QString &text)
{
    return text.toUtf8().toStdString();
}

// Runs an action whenever a page is shown by the program (a tab chosen, its parent shown), not
// when the window system shows it again after a minimise.
class cShowWatcher : public QObject
{
public:
    cShowWatcher(QWidget *page, std::function<void()> onShow) : QObject(page), OnShow(std::move(onShow))
    {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous())
            OnShow();
        return false;
    }

private:
    std::function<void()> OnShow;
};

// The " Who We Are " edits, each bound to a line of the provider's record (and the same field of
// its "ProviderEntities" record).
struct cInfoEdit
{
    cLabeledEdit *TMainForm::*Edit;
    const char *Name;
    const char *Caption;
    int Line;
};

const cInfoEdit InfoEdits[] = {
    {&TMainForm::MyNameEdit, "MyNameEdit", "Company Name ", 10},
    {&TMainForm::MyAttnEdit, "MyAttnEdit", "Attn ", 11},
    {&TMainForm::MyStreetEdit, "MyStreetEdit", "Street ", 12},
    {&TMainForm::MyCityEdit, "MyCityEdit", "City ", 13},
    {&TMainForm::MyStateEdit, "MyStateEdit", "State ", 14},
    {&TMainForm::MyZipEdit, "MyZipEdit", "Zip ", 15},
    {&TMainForm::MyPhoneEdit, "MyPhoneEdit", "Phone ", 16},
    {&TMainForm::MyFaxEdit, "MyFaxEdit", "Fax ", 18},
    {&TMainForm::MyEmailEdit, "MyEmailEdit", "Company Email Address ", 20},
    {&TMainForm::MyNotifyEmailEdit, "MyNotifyEmailEdit", "Notification Email Address ", 21},
    {&TMainForm::MyWebsiteEdit, "MyWebsiteEdit", "My Website ", 23},
    {&TMainForm::NPIEdit, "NPIEdit", "NPI", 26},
};

QLabel *MakeLabel(const char *name, const char *caption, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(left, top);
    return label;
}

QListWidget *MakeList(const char *name, QWidget *parent, const QRect &area)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(area);
    return list;
}
} // namespace

void TMainForm::CreateAdminPage()
{
    AdminPageControl = new QTabWidget(AdminTab);
    AdminPageControl->setObjectName("AdminPageControl");
    auto *layout = new QVBoxLayout(AdminTab);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(AdminPageControl);
    CreateInsuranceTab();
    CreateWhoWeAreTab();
    CreatePersonnelTab();
    new cShowWatcher(AdminTab, [this] { AdminTabShow(); });
    new cShowWatcher(InsuranceTab, [this] { InsuranceTabShow(); });
    new cShowWatcher(PersonnelTab, [this] { PersonnelTabShow(); });
}

void TMainForm::CreateInsuranceTab()
{
    InsuranceTab = new QWidget;
    InsuranceTab->setObjectName("InsuranceTab");
    AdminPageControl->addTab(InsuranceTab, " Insurance We Accept ");
    Label13 = MakeLabel("Label13", "We accept the following insurance plans:", InsuranceTab, 16, 12);
    InsuranceAcceptedListBox = MakeList("InsuranceAcceptedListBox", InsuranceTab, QRect(16, 32, 320, 420));
    Label20 = MakeLabel("Label20", "Select insurance plans:", InsuranceTab, 376, 12);
    InsuranceListBox = MakeList("InsuranceListBox", InsuranceTab, QRect(376, 32, 320, 420));
}

void TMainForm::CreateWhoWeAreTab()
{
    WhoWeAreTab = new QWidget;
    WhoWeAreTab->setObjectName("WhoWeAreTab");
    AdminPageControl->addTab(WhoWeAreTab, " Who We Are ");
    int top = 16;
    for (const cInfoEdit &info : InfoEdits)
    {
        auto *edit = new cLabeledEdit(info.Name, info.Caption, WhoWeAreTab);
        edit->setFont(SansFont(13, true));
        edit->EditLabel->setFont(SansFont(13, true));
        this->*info.Edit = edit;
        connect(edit, &QLineEdit::textChanged, this, &TMainForm::MyInfoEditChange);
        edit->Place(220, top, 380);
        // The notification address is kept but not shown.
        if (edit == MyNotifyEmailEdit)
            edit->hide();
        else
            top += 30;
    }
    MyInformationUpdateButton = new QPushButton("Save Changes", WhoWeAreTab);
    MyInformationUpdateButton->setObjectName("MyInformationUpdateButton");
    MyInformationUpdateButton->setGeometry(220, top + 12, 110, 27);
    MyInformationUpdateButton->setEnabled(false);
    connect(MyInformationUpdateButton, &QPushButton::clicked, this,
            &TMainForm::MyInformationUpdateButtonClick);
    WhatWeDoButton = new QPushButton("What We Do", WhoWeAreTab);
    WhatWeDoButton->setObjectName("WhatWeDoButton");
    WhatWeDoButton->setGeometry(490, top + 12, 110, 27);
    connect(WhatWeDoButton, &QPushButton::clicked, this, &TMainForm::WhatWeDoButtonClick);
}

void TMainForm::InsuranceTabShow()
{
    // Loaded once per run: later changes are stored by the ticks themselves.
    if (!InsuranceSelect || InsuranceListBox->count() > 0)
        return;
    InsuranceSelect->LoadChoices(DataServerConnection, ProviderKey, "");
    ShowAcceptedInsurance();
}

void TMainForm::ShowAcceptedInsurance()
{
    QScrollBar *scroll = InsuranceAcceptedListBox->verticalScrollBar();
    const int top = scroll->value();
    InsuranceAcceptedListBox->clear();
    for (int i = 0; i < InsuranceListBox->count(); ++i)
        if (InsuranceListBox->item(i)->checkState() == Qt::Checked)
            InsuranceAcceptedListBox->addItem(InsuranceListBox->item(i)->text());
    scroll->setValue(top);
}

void TMainForm::ShowMyInformation()
{
    for (const cInfoEdit &info : InfoEdits)
        (this->*info.Edit)->setText(Text(ProviderRecord->Strings(info.Line)));
    // Setting the texts enabled it.
    MyInformationUpdateButton->setEnabled(false);
}

void TMainForm::MyInfoEditChange()
{
    MyInformationUpdateButton->setEnabled(true);
}

void TMainForm::MyInformationUpdateButtonClick()
{
    MyInformationUpdateButton->setEnabled(false);
    if (!SaveCompanyData())
    {
        Host().MessageBox("The company data could not be saved.", "Error", cHostButtons::Ok);
        MyInformationUpdateButton->setEnabled(true);
    }
    UpdateProviderPosition();
    // The record is read again, so that "What We Do" uses the zip code just saved.
    cStringList record;
    if (DataServerConnection && DataServerConnection->ReadRecord("ProviderEntities", ProviderKey, record))
    {
        ProviderRecord->Assign(record);
        ProviderNameLabel->setText(Text(ProviderRecord->Strings(CompanyNameLine)));
    }
}

bool TMainForm::SaveCompanyData()
{
    const cStringList lines = CompanyUpdateLines(
        [this](int field)
        {
            for (const cInfoEdit &info : InfoEdits)
                if (info.Line == field)
                    return StdText((this->*info.Edit)->text());
            return std::string();
        });
    return DataServerConnection && DataServerConnection->UpdateRecord("ProviderEntities", ProviderKey, lines);
}

void TMainForm::UpdateProviderPosition()
{
    // A reply is never empty: an empty text after the exchange means that none came.
    bool answered = false;
    if (FunctionServerConnection)
    {
        FunctionServerConnection->ReplyText.clear();
        answered = FunctionServerConnection->SendText(PositionUpdateRequest(ProviderKey)) &&
                   !FunctionServerConnection->ReplyText.empty();
    }
    const std::string error =
        answered ? PositionUpdateError(FunctionServerConnection->ReplyText) : PositionUpdateUnanswered;
    if (!error.empty())
        Host().MessageBox(PositionUpdateMessage(error), PositionUpdateCaption, cHostButtons::Ok);
}

void TMainForm::WhatWeDoButtonClick()
{
    if (!CategorySelectionForm)
        return;
    cStringList zip;
    const bool found =
        DataServerConnection &&
        DataServerConnection->ReadList("ZipCodes", 2, ProviderRecord->Strings(CompanyZipLine), "", zip);
    CategorySelectionForm->ZipValue1 = found ? zip.Strings(11) : std::string();
    CategorySelectionForm->ZipValue2 = found ? zip.Strings(12) : std::string();
    CategorySelectionForm->ProviderKey = ProviderKey;
    CategorySelectionForm->Connection = DataServerConnection;
    CategorySelectionForm->exec();
}
