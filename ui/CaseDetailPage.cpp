#include "ui/CaseDetailPage.h"

#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/DateTime.h"
#include "toolkit/Host.h"
#include "toolkit/Numbers.h"
#include "ui/DetailPageParts.h"
#include "ui/Forms.h"
#include "ui/Look.h"
#include "ui/PacketPrintButton.h"
#include "ui/RejectCodeForm.h"
#include "workspace/CaseTexts.h"
#include "workspace/ListTexts.h"
#include "workspace/RecordLines.h"
#include "workspace/ReloadGate.h"
#include "workspace/SignedInUser.h"
#include "workspace/cCaseQuoteObject.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

using namespace detail_page;

namespace
{
const char *const UpdateFailed = "Error updating the case needs quote";

QPushButton *Button(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}
} // namespace

cCaseDetailPage::cCaseDetailPage(cSession &session, cReloadGate &reloads, bool printShown, QWidget *parent)
    : QFrame(parent), Session(session), Reloads(reloads)
{
    setObjectName("CaseDetailPanel");
    SetBackground(this, WorkspaceBackground());
    hide();
    QLabel *label4 = Label(this, "Label4", "Case Number: ", 16, 10);
    CaseNumberLabel = DataLabel(this, "CaseNumberLabel", "*5", label4, 180);
    QLabel *label2 = Label(this, "Label2", "Hospital:", 300, 10);
    HospitalLabel = DataLabel(this, "HospitalLabel", "H10", label2, 420);
    CaseDetailBackButton = Button(this, "CaseDetailBackButton", "Back", QRect(860, 6, 75, 25));
    connect(CaseDetailBackButton, &QPushButton::clicked, this, &cCaseDetailPage::BackClicked);
    PrintButton = new cPacketPrintButton(
        "CaseDetailPrintButton", Session, [this] { return PacketContent(); }, this);
    PrintButton->setGeometry(780, 6, 75, 25);
    PrintButton->setVisible(printShown);
    CreateCaseBox();
    CreatePatientBox();
    CreateResponse();
    SetKeyboardPath();
    SetUpBinding();
}

cCaseDetailPage::~cCaseDetailPage() = default;

void cCaseDetailPage::CreateCaseBox()
{
    QGroupBox *box = GroupBox(this, "CaseDetailBox", "", 16, 32, 930, 108);
    box->setAccessibleName("Case request");
    QLabel *label5 = Label(box, "Label5", "Date, Time Required:", 12, 10);
    DateRequiredLabel = DataLabel(box, "DateRequiredLabel", "cn14", label5, 170);
    QLabel *label7 = Label(box, "Label7", "What is needed:", 340, 10);
    NeedsLabel = DataLabel(box, "NeedsLabel", "*1", label7, 440);
    Label(box, "Label8", "Description:", 12, 34);
    NeedsDescText = DescriptionText(box, "NeedsDescText", "cn15", 120, 32);
    Label(box, "Label3", "Case Worker:", 12, 82);
    DischargeNurseLabel = DataLabel(box, "DischargeNurseLabel", "*2", 120, 82, 400);
}

void cCaseDetailPage::CreatePatientBox()
{
    QGroupBox *box = GroupBox(this, "GroupBox1", " Patient Information ", 16, 144, 930, 284);
    QLabel *label9 = Label(box, "Label9", "Age", 12, 22);
    AgeLabel = DataLabel(box, "AgeLabel", "*3", label9, 70);
    GenderLabel = DataLabel(box, "GenderLabel", "*4", 120, 22, 70);
    QLabel *label10 = Label(box, "Label10", "Height", 200, 22);
    HeightLabel = DataLabel(box, "HeightLabel", "ca16", label10, 80);
    QLabel *label11 = Label(box, "Label11", "Weight", 340, 22);
    WeightLabel = DataLabel(box, "WeightLabel", "ca17", label11, 100);
    QLabel *label12 = Label(box, "Label12", "Diagnosis", 12, 44);
    DiagnosisMemo = Memo(box, "DiagnosisMemo", 12, 60, 340, 97, false);
    QLabel *label14 = Label(box, "Label14", "Health Details", 370, 44);
    HealthDetailsMemo = Memo(box, "HealthDetailsMemo", 370, 60, 509, 117, true);
    QLabel *label6 = Label(box, "Label6", "Diagnosis Codes", 12, 164);
    DiagnosisCodeListBox = CodeList(box, "DiagnosisCodeListBox", 12, 180, 340, 94);
    QLabel *label21 = Label(box, "Label21", "Treatment Codes", 370, 184);
    TreatmentCodeListBox = CodeList(box, "TreatmentCodeListBox", 370, 200, 509, 74);
    WatchPressOrEnter(HealthDetailsMemo, [this] { HealthDetailsMemoMouseDown(); });
    DiagnosisMemo->setAccessibleName(CaptionWords(label12));
    HealthDetailsMemo->setAccessibleName(CaptionWords(label14));
    HealthDetailsMemo->setAccessibleDescription("Enter shows the full health details");
    DiagnosisCodeListBox->setAccessibleName(CaptionWords(label6));
    TreatmentCodeListBox->setAccessibleName(CaptionWords(label21));
}

void cCaseDetailPage::CreateResponse()
{
    QGroupBox *box = GroupBox(this, "GroupBox2", " My Response ", 16, 432, 930, 92);
    NeedsQuotePriceEdit = new cLabeledEdit("NeedsQuotePriceEdit", "Price (if relavent) ", box);
    NeedsQuotePriceEdit->Place(150, 24, 110);
    ResponseReasonEdit = new cLabeledEdit("ResponseReasonEdit", "Comments ", box);
    ResponseReasonEdit->Place(350, 24, 560);
    AcceptButton = Button(box, "AcceptButton", "Accept This Item", QRect(20, 58, 150, 25));
    AcceptLabel =
        Label(box, "AcceptLabel", "I have accepted this item -- waiting for case manager", 20, 62, 0, true);
    AcceptLabel->hide();
    DeclineButton = Button(box, "DeclineButton", "Decline This Item", QRect(430, 58, 150, 25));
    HideQuoteButton =
        Button(box, "HideQuoteButton", "I no longer want this quote in my list", QRect(600, 58, 280, 25));
    connect(AcceptButton, &QPushButton::clicked, this, &cCaseDetailPage::AcceptButtonClick);
    connect(DeclineButton, &QPushButton::clicked, this, &cCaseDetailPage::DeclineButtonClick);
    connect(HideQuoteButton, &QPushButton::clicked, this, &cCaseDetailPage::HideQuoteButtonClick);
}

// Tab runs through the answer first: price, comment, the answer buttons, "Back", "Print...", then
// the case's texts and lists. Escape goes back, as "Back" does.
void cCaseDetailPage::SetKeyboardPath()
{
    QWidget *path[] = {NeedsQuotePriceEdit, ResponseReasonEdit,   AcceptButton,        DeclineButton,
                       HideQuoteButton,     CaseDetailBackButton, PrintButton,         DiagnosisMemo,
                       HealthDetailsMemo,   DiagnosisCodeListBox, TreatmentCodeListBox};
    for (std::size_t i = 1; i < std::size(path); ++i)
        setTabOrder(path[i - 1], path[i]);
}

// Escape that no control of the page took goes back, as "Back" does.
void cCaseDetailPage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
    {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    emit BackClicked();
}

void cCaseDetailPage::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // Shown by the program (a quote opened), not again by the window system after a minimise.
    if (!event->spontaneous())
        NeedsQuotePriceEdit->setFocus(Qt::OtherFocusReason);
}

cPacketContent cCaseDetailPage::PacketContent() const
{
    cPacketContent content;
    content.CaseNumber = ToStd(CaseNumberLabel->text());
    content.CaseFields = {PacketField("Hospital", HospitalLabel),
                          PacketField("Case Number", CaseNumberLabel),
                          PacketField("Date, Time Required", DateRequiredLabel),
                          PacketField("What is needed", NeedsLabel),
                          PacketField("Description", NeedsDescText),
                          PacketField("Case Worker", DischargeNurseLabel)};
    content.PatientFields = {PacketField("Age", AgeLabel), PacketField("Gender", GenderLabel),
                             PacketField("Height", HeightLabel), PacketField("Weight", WeightLabel)};
    content.Diagnosis = ToStd(DiagnosisMemo->toPlainText());
    content.DiagnosisCodes = ShownCodes(DiagnosisCodeListBox);
    content.TreatmentCodes = ShownCodes(TreatmentCodeListBox);
    content.HealthDetails = HealthDetailsText(HealthDetailsMemo);
    return content;
}

void cCaseDetailPage::SetUpBinding()
{
    Binding = std::make_unique<cEditObjects>(Session.DataLink(), "CaseNeedsQuote");
    cEditObjects &b = *Binding;
    b.AddTable("CaseNeeds", "cn", "f10");
    b.AddTable("Cases", "ca", "cn10");
    b.AddTable("ProviderEntities", "H", "ca11");
    b.AddTable("Patients", "pa", "ca10");
    b.AddTable("Personnel", "pe", "ca23");
    b.AddTable("ProviderTypes", "pt", "cn11");
    b.AddTable("ProviderCategories", "pc", "cn12");
    b.AddTable("ProviderCategoryDetails", "pd", "cn13");
    b.AddLabel(CaseNumberLabel, "*5", "");
    b.AddFields("ca22,ca1");
    b.AddLabel(DateRequiredLabel, "cn14", "");
    b.AddLabel(NeedsDescText, "cn15", "");
    b.AddLabel(NeedsLabel, "*1", "");
    b.AddFields("pt10,pc12,pd11");
    b.AddLabel(HospitalLabel, "H10", "");
    b.AddLabel(DischargeNurseLabel, "*2", "");
    b.AddFields("pe11,pe13");
    b.AddLabel(AgeLabel, "*3", "");
    b.AddFields("pa13,pa14");
    b.AddLabel(GenderLabel, "*4", "");
    b.AddFields("ca30");
    b.AddLabel(HeightLabel, "ca16", "");
    b.AddLabel(WeightLabel, "ca17", "");
    b.AddMemo(DiagnosisMemo, "ca1001", "");
    b.AddMemo(HealthDetailsMemo, "ca1002", "");
    b.AddFields("f12,f14,f15,f16");
    for (cEditObject *edit :
         {b.AddEdit(NeedsQuotePriceEdit, "f13", ""), b.AddEdit(ResponseReasonEdit, "f1001", "")})
        edit->SetExitHandler(&cCaseDetailPage::ResponseEditExit, this);
    b.SetCustomFieldHandler(&cCaseDetailPage::CaseDetailCustomField, this);
}

void cCaseDetailPage::CaseDetailCustomField(void *, cEditObject &binding)
{
    const std::string &code = binding.FieldNumber;
    const int number = code.size() > 1 ? StrToIntDef(code.substr(1, 2), 0) : 0;
    const cStringList &values = binding.Owner->Values;
    switch (number)
    {
    case 1:
        binding.Value = values.Values("pc12");
        break;
    case 2:
        binding.Value = CaseWorkerText(values.Values("pe11"), values.Values("pe13"));
        break;
    case 3:
        binding.Value = CaseDetailAgeText(values.Values("pa14"), Now());
        break;
    case 4:
        binding.Value = CaseDetailGenderText(values.Values("ca30"));
        break;
    case 5:
        binding.Value = CaseNumberText(values.Values("ca22"), values.Values("ca1"));
        break;
    default:
        break;
    }
}

void cCaseDetailPage::ShowQuoteDetail(const cCaseQuoteObject &quote, const std::string &caseKey,
                                      const QColor &acceptedColour)
{
    cReloadGate::cHold hold(Reloads);
    const std::string shownQuote = QuoteKey, shownCase = CaseKey;
    QuoteKey = quote.Key;
    CaseKey = caseKey;
    if (!Binding->LoadRecord(QuoteKey))
    {
        // The page keeps what it showed, and its keys with it (the binding writes to them); a
        // failed read changed none of the page's controls.
        QuoteKey = shownQuote;
        CaseKey = shownCase;
        Binding->RecordKey = shownQuote;
        emit LoadFailed();
        return;
    }
    const cStringList &values = Binding->Values;
    ShownAnswer = QuoteAnswerFrom([&values](const std::string &field) { return values.Values(field); });
    ShownQuote = quote;
    OpenedAt = FormatDateTime("hh:nn", Now());
    AcceptedColour = acceptedColour;
    AnswerChanged = false;
    emit Loaded();
    DateRequiredLabel->setText(ToQt(FormatServerDate(ToStd(DateRequiredLabel->text()))));
    LoadCodeLists(DiagnosisCodeListBox, TreatmentCodeListBox, Session.DataServerConnection(), CaseKey);
    DeclineButton->show();
    // The answer as just read decides, not the list's older copy of it.
    if (ShownAnswer.State == "A")
    {
        QPalette palette = AcceptLabel->palette();
        palette.setColor(QPalette::WindowText, acceptedColour);
        AcceptLabel->setPalette(palette);
        AcceptLabel->show();
        AcceptButton->hide();
    }
    else
    {
        AcceptLabel->hide();
        AcceptButton->show();
    }
    HideQuoteButton->setVisible(quote.CanHide || ShownAnswer.State == "R");
    ShowHealthDetails(HealthDetailsMemo);
}

void cCaseDetailPage::HealthDetailsMemoMouseDown()
{
    ShowHealthDetailView(this);
}

std::string cCaseDetailPage::UserKey() const
{
    return SignedInUser(Session.PersonnelRecord).Key;
}

bool cCaseDetailPage::AnswerStillShown()
{
    dbServerConnection *link = Session.DataServerConnection();
    std::string fields = QuoteAnswerFields;
    if (!link || !link->ReadFields("CaseNeedsQuote", QuoteKey, fields))
    {
        Host().MessageBox(UpdateFailed, "Error", cHostButtons::Ok);
        Reloads.Request();
        return false;
    }
    cStringList values;
    values.SetCommaText(fields);
    const cQuoteAnswer current =
        QuoteAnswerFrom([&values](const std::string &field) { return values.Values(field); });
    if (!AnswerChanged && !AnsweredMeanwhile(ShownAnswer, current, ToStd(NeedsQuotePriceEdit->text()),
                                             ToStd(ResponseReasonEdit->text())))
        return true;
    ShowAnsweredMeanwhile(current);
    return false;
}

void cCaseDetailPage::ShowAnsweredMeanwhile(const cQuoteAnswer &current)
{
    AnswerChanged = false;
    std::string name;
    const std::string member = AnsweringMember(ShownAnswer, current);
    cStringList record;
    dbServerConnection *link = Session.DataServerConnection();
    if (!member.empty() && link && link->ReadRecord("Personnel", member, record))
        name = MemberName(record.Strings(PersonnelFirstNameLine), record.Strings(PersonnelLastNameLine));
    Host().MessageBox(AnsweredMeanwhileText(current, name, OpenedAt), AnsweredMeanwhileCaption,
                      cHostButtons::Ok);
    const cCaseQuoteObject quote = ShownQuote;
    const std::string caseKey = CaseKey;
    ShowQuoteDetail(quote, caseKey, AcceptedColour);
    Reloads.Request();
}

// Leaving the price or the comment after a change writes it at once; that write must not go
// over an answer given meanwhile either. It is held back then, and the notice follows as soon
// as the focus change is done (an answer button pressed meanwhile shows it instead).
void cCaseDetailPage::ResponseEditExit(void *user, cEditObject &binding)
{
    auto *page = static_cast<cCaseDetailPage *>(user);
    if (!binding.Modified || page->QuoteKey.empty())
        return;
    dbServerConnection *link = page->Session.DataServerConnection();
    std::string fields = QuoteAnswerFields;
    if (!link || !link->ReadFields("CaseNeedsQuote", page->QuoteKey, fields))
        return; // the write that follows fails as well, silently as every such write
    cStringList values;
    values.SetCommaText(fields);
    const cQuoteAnswer current =
        QuoteAnswerFrom([&values](const std::string &field) { return values.Values(field); });
    if (!AnsweredMeanwhile(page->ShownAnswer, current, ToStd(page->NeedsQuotePriceEdit->text()),
                           ToStd(page->ResponseReasonEdit->text())))
        return;
    binding.Veto = true;
    binding.Modified = false;
    page->AnswerChanged = true;
    QTimer::singleShot(0, page,
                       [page, current]
                       {
                           if (page->AnswerChanged)
                               page->ShowAnsweredMeanwhile(current);
                       });
}

// The answers work on the quote that the page showed when the button was pressed (its key is
// taken first) and hold reloads back until they are done, so a reload that runs meanwhile (the
// timer keeps ticking under a dialog) cannot make them write elsewhere. Each reads the answer
// again first and writes nothing when someone else answered since the page was filled.
void cCaseDetailPage::AnswerQuote(const std::string &quoteKey, const cStringList &fields, const char *success)
{
    dbServerConnection *link = Session.DataServerConnection();
    if (link && link->UpdateRecord("CaseNeedsQuote", quoteKey, fields))
    {
        Host().MessageBox(success, "Success", cHostButtons::Ok);
        // The page's answer is now this one: a second press on the same page is no conflict.
        for (int i = 0; i < fields.Count(); ++i)
        {
            const std::string name = fields.Names(i), value = fields.ValueFromIndex(i);
            std::string *field = name == "f12"     ? &ShownAnswer.Member
                                 : name == "f13"   ? &ShownAnswer.Price
                                 : name == "f14"   ? &ShownAnswer.State
                                 : name == "f15"   ? &ShownAnswer.Reason
                                 : name == "f16"   ? &ShownAnswer.Listed
                                 : name == "f1001" ? &ShownAnswer.Comment
                                                   : nullptr;
            if (field)
                *field = value;
        }
    }
    else
        Host().MessageBox(UpdateFailed, "Error", cHostButtons::Ok);
    Reloads.Request();
}

void cCaseDetailPage::AcceptButtonClick()
{
    cReloadGate::cHold hold(Reloads);
    const std::string quoteKey = QuoteKey;
    if (!AnswerStillShown())
        return;
    cStringList fields;
    fields.SetValues("f12", UserKey());
    fields.SetValues("f13", ToStd(NeedsQuotePriceEdit->text()));
    fields.SetValues("f14", "A");
    fields.SetValues("f1001", ToStd(ResponseReasonEdit->text()));
    AnswerQuote(quoteKey, fields, "The quote has been accepted");
}

void cCaseDetailPage::DeclineButtonClick()
{
    if (!RejectCodeForm)
        return;
    cReloadGate::cHold hold(Reloads);
    const std::string quoteKey = QuoteKey;
    RejectCodeForm->Prepare(ResponseReasonEdit->text());
    RejectCodeForm->move(window()->frameGeometry().center() - RejectCodeForm->rect().center());
    RejectCodeForm->exec();
    if (!RejectCodeForm->ReasonChosen || !AnswerStillShown())
        return;
    cStringList fields;
    fields.SetValues("f12", UserKey());
    fields.SetValues("f14", "R");
    fields.SetValues("f15", RejectCodeForm->RejectCode);
    fields.SetValues("f1001", ToStd(RejectCodeForm->ReasonText()));
    AnswerQuote(quoteKey, fields, "The quote has been declined");
}

void cCaseDetailPage::HideQuoteButtonClick()
{
    cReloadGate::cHold hold(Reloads);
    const std::string quoteKey = QuoteKey;
    if (Host().MessageBox("Are you sure you want to remove this quote from your list?", "Are you sure",
                          cHostButtons::YesNo) != cHostAnswer::Yes)
        return;
    if (!AnswerStillShown())
        return;
    cStringList fields;
    fields.SetValues("f16", "N");
    dbServerConnection *link = Session.DataServerConnection();
    if (!link || !link->UpdateRecord("CaseNeedsQuote", quoteKey, fields))
        Host().MessageBox(UpdateFailed, "Error", cHostButtons::Ok);
    else
        ShownAnswer.Listed = "N";
    Reloads.Request();
}
