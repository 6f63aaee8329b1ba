#include "ui/WhoWeArePage.h"

#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/Host.h"
#include "ui/CategorySelectionForm.h"
#include "ui/Forms.h"
#include "ui/Look.h"
#include "workspace/CompanyData.h"
#include "workspace/RecordLines.h"
#include "workspace/SignedInUser.h"

#include <QLabel>
#include <QPushButton>

namespace
{
// The edits, each bound to a line of the provider's record (and the same field of its
// "ProviderEntities" record).
struct cInfoEdit
{
    const char *Name;
    const char *Caption;
    int Line;
};

constexpr cInfoEdit InfoEdits[] = {
    {"MyNameEdit", "Company Name ", 10},
    {"MyAttnEdit", "Attn ", 11},
    {"MyStreetEdit", "Street ", 12},
    {"MyCityEdit", "City ", 13},
    {"MyStateEdit", "State ", 14},
    {"MyZipEdit", "Zip ", 15},
    {"MyPhoneEdit", "Phone ", 16},
    {"MyFaxEdit", "Fax ", 18},
    {"MyEmailEdit", "Company Email Address ", 20},
    {"MyNotifyEmailEdit", "Notification Email Address ", 21},
    {"MyWebsiteEdit", "My Website ", 23},
    {"NPIEdit", "NPI", 26},
};

QPushButton *Button(QWidget *parent, const char *name, const char *caption, int left, int top)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 110, 27);
    return button;
}
} // namespace

cWhoWeArePage::cWhoWeArePage(cSession &session, QWidget *parent) : QWidget(parent), Session(session)
{
    setObjectName("WhoWeAreTab");
    int top = 16;
    for (std::size_t i = 0; i < Edits.size(); ++i)
    {
        const cInfoEdit &info = InfoEdits[i];
        auto *edit = Edits[i] = new cLabeledEdit(info.Name, info.Caption, this);
        edit->setFont(SansFont(13, true));
        edit->EditLabel->setFont(SansFont(13, true));
        connect(edit, &QLineEdit::textChanged, this, &cWhoWeArePage::MyInfoEditChange);
        edit->Place(220, top, 380);
        // The notification address is kept but not shown.
        if (info.Line == CompanyNotifyEmailLine)
            edit->hide();
        else
            top += 30;
    }
    MyInformationUpdateButton = Button(this, "MyInformationUpdateButton", "Save Changes", 220, top + 12);
    MyInformationUpdateButton->setEnabled(false);
    connect(MyInformationUpdateButton, &QPushButton::clicked, this,
            &cWhoWeArePage::MyInformationUpdateButtonClick);
    WhatWeDoButton = Button(this, "WhatWeDoButton", "What We Do", 490, top + 12);
    connect(WhatWeDoButton, &QPushButton::clicked, this, &cWhoWeArePage::WhatWeDoButtonClick);
}

std::string cWhoWeArePage::ProviderKey() const
{
    return SignedInUser(Session.PersonnelRecord).ProviderKey;
}

void cWhoWeArePage::ShowMyInformation()
{
    Shown = ShownFields(Session.ProviderRecord);
    for (std::size_t i = 0; i < Edits.size(); ++i)
        Edits[i]->setText(ToQt(Shown[i]));
    // Setting the texts enabled it.
    MyInformationUpdateButton->setEnabled(false);
}

void cWhoWeArePage::MyInfoEditChange()
{
    MyInformationUpdateButton->setEnabled(true);
}

std::array<std::string, 12> cWhoWeArePage::ShownFields(const cStringList &record)
{
    std::array<std::string, 12> fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = record.Strings(InfoEdits[i].Line);
    return fields;
}

// The record is read again before the save: when someone else changed the company data since
// this page was filled, nothing is written over it, and the user may load what is stored now.
bool cWhoWeArePage::StoredAsShown()
{
    cStringList record;
    dbServerConnection *link = Session.DataServerConnection();
    if (!link || !link->ReadRecord("ProviderEntities", ProviderKey(), record))
    {
        Host().MessageBox("The company data could not be saved.", "Error", cHostButtons::Ok);
        return false;
    }
    if (ShownFields(record) == Shown)
        return true;
    if (Host().MessageBox("Someone else changed the company data since this page was filled. Nothing "
                          "was saved.\r\rLoad the stored data now? What you typed on this page is "
                          "then replaced.",
                          "Company data changed", cHostButtons::YesNo) == cHostAnswer::Yes)
    {
        Session.ProviderRecord.Assign(record);
        ShowMyInformation();
        emit ProviderRecordChanged();
    }
    return false;
}

void cWhoWeArePage::MyInformationUpdateButtonClick()
{
    MyInformationUpdateButton->setEnabled(false);
    if (!StoredAsShown())
    {
        MyInformationUpdateButton->setEnabled(EditsChanged());
        return;
    }
    if (!SaveCompanyData())
    {
        Host().MessageBox("The company data could not be saved.", "Error", cHostButtons::Ok);
        MyInformationUpdateButton->setEnabled(true);
        return;
    }
    UpdateProviderPosition();
    // The record is read again, so that "What We Do" uses the zip code just saved.
    cStringList record;
    dbServerConnection *link = Session.DataServerConnection();
    if (link && link->ReadRecord("ProviderEntities", ProviderKey(), record))
    {
        Session.ProviderRecord.Assign(record);
        Shown = ShownFields(record);
        emit ProviderRecordChanged();
    }
}

bool cWhoWeArePage::EditsChanged() const
{
    for (std::size_t i = 0; i < Edits.size(); ++i)
        if (ToStd(Edits[i]->text()) != Shown[i])
            return true;
    return false;
}

bool cWhoWeArePage::SaveCompanyData()
{
    const cStringList lines = CompanyUpdateLines(
        [this](int field)
        {
            for (std::size_t i = 0; i < Edits.size(); ++i)
                if (InfoEdits[i].Line == field)
                    return ToStd(Edits[i]->text());
            return std::string();
        });
    dbServerConnection *link = Session.DataServerConnection();
    return link && link->UpdateRecord("ProviderEntities", ProviderKey(), lines);
}

void cWhoWeArePage::UpdateProviderPosition()
{
    // A reply is never empty: an empty text after the exchange means that none came.
    bool answered = false;
    dbServerConnection *link = Session.FunctionServerConnection();
    if (link)
    {
        link->ReplyText.clear();
        answered = link->SendText(PositionUpdateRequest(ProviderKey())) && !link->ReplyText.empty();
    }
    const std::string error = answered ? PositionUpdateError(link->ReplyText) : PositionUpdateUnanswered;
    if (!error.empty())
        Host().MessageBox(PositionUpdateMessage(error), PositionUpdateCaption, cHostButtons::Ok);
}

void cWhoWeArePage::WhatWeDoButtonClick()
{
    if (!CategorySelectionForm)
        return;
    cStringList zip;
    dbServerConnection *link = Session.DataServerConnection();
    const bool found =
        link && link->ReadList("ZipCodes", 2, Session.ProviderRecord.Strings(CompanyZipLine), "", zip);
    CategorySelectionForm->Prepare(ProviderKey(), found ? zip.Strings(ZipLatitudeLine) : std::string(),
                                   found ? zip.Strings(ZipLongitudeLine) : std::string(), Session.DataLink());
    CategorySelectionForm->exec();
}
