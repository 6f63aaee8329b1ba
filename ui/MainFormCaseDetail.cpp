// The case detail page: one quote of the provider with its need, case, hospital, case worker and
// patient, filled by CaseDetailBinding and its compute callback; the quote answers (accept,
// decline through the reject reason dialog, hide); and what both detail pages share: the code
// lists and the health details (summary in the memo, full view in the health detail window).
#include "ui/MainForm.h"

#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/DateTime.h"
#include "toolkit/Host.h"
#include "ui/DetailPageParts.h"
#include "ui/Forms.h"
#include "ui/LegendShape.h"
#include "ui/Look.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"
#include "workspace/CaseTexts.h"
#include "workspace/HealthDetailsSummary.h"
#include "workspace/ListTexts.h"
#include "workspace/cCaseQuoteObject.h"
#include "json/cJSON.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace detail_page;

namespace
{
const char *const UpdateFailed = "Error updating the case needs quote";

// One code list of a case: table "DiagCodeDetail" or "TreatmentCodeDetail", first batch only.
void FillCodeList(QListWidget *list, const char *table, const std::string &caseKey)
{
    list->clear();
    cRecordBatch codes;
    codes.Open(DataServerConnection, table, "L2", caseKey, "", 0, 100, "f11,f1001");
    for (bool more = codes.First(); more; more = codes.Next())
        list->addItem(Text(CodeItemText(codes.GetField("f11"), codes.GetField("f1001"))));
}
} // namespace

void TMainForm::CreateCaseDetailPage()
{
    QFrame *page = CaseDetailPanel;
    Label4 = Label(page, "Label4", "Case Number: ", 16, 10);
    CaseNumberLabel = DataLabel(page, "CaseNumberLabel", "*5", Label4, 180);
    Label2 = Label(page, "Label2", "Hospital:", 300, 10);
    HospitalLabel = DataLabel(page, "HospitalLabel", "H10", Label2, 420);
    CaseDetailBackButton = new QPushButton("Back", page);
    CaseDetailBackButton->setObjectName("CaseDetailBackButton");
    CaseDetailBackButton->setGeometry(860, 6, 75, 25);
    connect(CaseDetailBackButton, &QPushButton::clicked, this, &TMainForm::CaseDetailBackButtonClick);

    CaseDetailBox = GroupBox(page, "CaseDetailBox", "", 16, 32, 930, 108);
    Label5 = Label(CaseDetailBox, "Label5", "Date, Time Required:", 12, 10);
    DateRequiredLabel = DataLabel(CaseDetailBox, "DateRequiredLabel", "cn14", Label5, 170);
    Label7 = Label(CaseDetailBox, "Label7", "What is needed:", 340, 10);
    NeedsLabel = DataLabel(CaseDetailBox, "NeedsLabel", "*1", Label7, 440);
    Label8 = Label(CaseDetailBox, "Label8", "Description:", 12, 34);
    NeedsDescText = DescriptionText(CaseDetailBox, "NeedsDescText", "cn15", 120, 32);
    Label3 = Label(CaseDetailBox, "Label3", "Case Worker:", 12, 82);
    DischargeNurseLabel = DataLabel(CaseDetailBox, "DischargeNurseLabel", "*2", 120, 82, 400);

    GroupBox1 = GroupBox(page, "GroupBox1", " Patient Information ", 16, 144, 930, 284);
    Label9 = Label(GroupBox1, "Label9", "Age", 12, 22);
    AgeLabel = DataLabel(GroupBox1, "AgeLabel", "*3", Label9, 70);
    GenderLabel = DataLabel(GroupBox1, "GenderLabel", "*4", 120, 22, 70);
    Label10 = Label(GroupBox1, "Label10", "Height", 200, 22);
    HeightLabel = DataLabel(GroupBox1, "HeightLabel", "ca16", Label10, 80);
    Label11 = Label(GroupBox1, "Label11", "Weight", 340, 22);
    WeightLabel = DataLabel(GroupBox1, "WeightLabel", "ca17", Label11, 100);
    Label12 = Label(GroupBox1, "Label12", "Diagnosis", 12, 44);
    DiagnosisMemo = Memo(GroupBox1, "DiagnosisMemo", 12, 60, 340, 97, false);
    Label14 = Label(GroupBox1, "Label14", "Health Details", 370, 44);
    HealthDetailsMemo = Memo(GroupBox1, "HealthDetailsMemo", 370, 60, 509, 117, true);
    Label6 = Label(GroupBox1, "Label6", "Diagnosis Codes", 12, 164);
    DiagnosisCodeListBox = CodeList(GroupBox1, "DiagnosisCodeListBox", 12, 180, 340, 94);
    Label21 = Label(GroupBox1, "Label21", "Treatment Codes", 370, 184);
    TreatmentCodeListBox = CodeList(GroupBox1, "TreatmentCodeListBox", 370, 200, 509, 74);
    WatchMousePress(HealthDetailsMemo);
    CreateCaseDetailResponse();
}

void TMainForm::CreateCaseDetailResponse()
{
    GroupBox2 = GroupBox(CaseDetailPanel, "GroupBox2", " My Response ", 16, 432, 930, 92);
    NeedsQuotePriceEdit = new cLabeledEdit("NeedsQuotePriceEdit", "Price (if relavent) ", GroupBox2);
    NeedsQuotePriceEdit->Place(150, 24, 110);
    ResponseReasonEdit = new cLabeledEdit("ResponseReasonEdit", "Comments ", GroupBox2);
    ResponseReasonEdit->Place(350, 24, 560);
    AcceptButton = new QPushButton("Accept This Item", GroupBox2);
    AcceptButton->setObjectName("AcceptButton");
    AcceptButton->setGeometry(20, 58, 150, 25);
    AcceptLabel = Label(GroupBox2, "AcceptLabel", "I have accepted this item -- waiting for case manager", 20,
                        62, 0, true);
    AcceptLabel->hide();
    DeclineButton = new QPushButton("Decline This Item", GroupBox2);
    DeclineButton->setObjectName("DeclineButton");
    DeclineButton->setGeometry(430, 58, 150, 25);
    HideQuoteButton = new QPushButton("I no longer want this quote in my list", GroupBox2);
    HideQuoteButton->setObjectName("HideQuoteButton");
    HideQuoteButton->setGeometry(600, 58, 280, 25);
    for (QPushButton *button : {AcceptButton, DeclineButton, HideQuoteButton, CaseDetailBackButton})
        button->setAutoDefault(false);
    connect(AcceptButton, &QPushButton::clicked, this, &TMainForm::AcceptButtonClick);
    connect(DeclineButton, &QPushButton::clicked, this, &TMainForm::DeclineButtonClick);
    connect(HideQuoteButton, &QPushButton::clicked, this, &TMainForm::HideQuoteButtonClick);
}

void TMainForm::WatchMousePress(QWidget *widget)
{
    auto *watch = new cMousePressWatch([this] { HealthDetailsMemoMouseDown(); }, widget);
    widget->installEventFilter(watch);
    if (auto *memo = qobject_cast<QPlainTextEdit *>(widget))
        memo->viewport()->installEventFilter(watch);
}

void TMainForm::SetUpCaseDetailBinding()
{
    cEditObjects &b = *CaseDetailBinding;
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
    b.AddEdit(NeedsQuotePriceEdit, "f13", "");
    b.AddEdit(ResponseReasonEdit, "f1001", "");
    b.SetCustomFieldHandler(&TMainForm::CaseDetailCustomField, this);
}

void TMainForm::CaseDetailCustomField(void *user, cEditObject &binding)
{
    auto *form = static_cast<TMainForm *>(user);
    const std::string &code = binding.FieldNumber;
    const int number = code.size() > 1 ? StrToIntDef(code.substr(1, 2), 0) : 0;
    form->DetailValues = &binding.Owner->Values;
    const cStringList &values = *form->DetailValues;
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

void TMainForm::ShowQuoteDetail(const cCaseQuoteObject &quote)
{
    cReloadHold hold(*this);
    if (CaseDetailBinding && CaseDetailBinding->LoadRecord(DataServerConnection, SelectedQuoteKey))
        ShowPage(2);
    DateRequiredLabel->setText(Text(FormatServerDate(Std(DateRequiredLabel->text()))));
    LoadCodeLists(DiagnosisCodeListBox, TreatmentCodeListBox);
    DeclineButton->show();
    if (quote.Accepted)
    {
        QPalette palette = AcceptLabel->palette();
        palette.setColor(QPalette::WindowText, Shape2->BrushColour());
        AcceptLabel->setPalette(palette);
        AcceptLabel->show();
        AcceptButton->hide();
    }
    else
    {
        AcceptLabel->hide();
        AcceptButton->show();
    }
    HideQuoteButton->setVisible(quote.CanHide);
    ShowHealthDetails(HealthDetailsMemo);
}

void TMainForm::LoadCodeLists(QListWidget *diagnosis, QListWidget *treatment)
{
    FillCodeList(diagnosis, "DiagCodeDetail", SelectedCaseKey);
    FillCodeList(treatment, "TreatmentCodeDetail", SelectedCaseKey);
}

void TMainForm::ShowHealthDetails(QPlainTextEdit *memo)
{
    cStringList list;
    list.SetValues("f1002", Std(memo->toPlainText()));
    if (PatientHealthDetailNoEditForm)
    {
        PatientHealthDetailNoEditForm->ClearDetails();
        cJSON details(list.Values("f1002"));
        PatientHealthDetailNoEditForm->LoadDetails(&details);
    }
    RenderHealthDetails(list);
    QStringList lines;
    for (int i = 0; i < list.Count(); ++i)
        lines << Text(list[i]);
    memo->setPlainText(lines.join('\n'));
}

void TMainForm::RenderHealthDetails(cStringList &list)
{
    ::RenderHealthDetails(list);
}

void TMainForm::HealthDetailsMemoMouseDown()
{
    TPatientHealthDetailNoEditForm *view = PatientHealthDetailNoEditForm;
    if (!view)
        return;
    view->move(frameGeometry().center() - view->rect().center());
    view->exec();
}

// The answers work on the quote that the page showed when the button was pressed (its key is
// taken first) and hold reloads back until they are done, so a reload that runs meanwhile (the
// timer keeps ticking under a dialog) cannot make them write elsewhere.
void TMainForm::AnswerQuote(const std::string &quoteKey, const cStringList &fields, const char *success)
{
    if (DataServerConnection && DataServerConnection->UpdateRecord("CaseNeedsQuote", quoteKey, fields))
        Host().MessageBox(success, "Success", cHostButtons::Ok);
    else
        Host().MessageBox(UpdateFailed, "Error", cHostButtons::Ok);
    LoadProviderQuotes();
}

void TMainForm::AcceptButtonClick()
{
    cReloadHold hold(*this);
    const std::string quoteKey = SelectedQuoteKey;
    cStringList fields;
    fields.SetValues("f12", UserKey);
    fields.SetValues("f13", Std(NeedsQuotePriceEdit->text()));
    fields.SetValues("f14", "A");
    fields.SetValues("f1001", Std(ResponseReasonEdit->text()));
    AnswerQuote(quoteKey, fields, "The quote has been accepted");
}

void TMainForm::DeclineButtonClick()
{
    if (!RejectCodeForm)
        return;
    cReloadHold hold(*this);
    const std::string quoteKey = SelectedQuoteKey;
    RejectCodeForm->Prepare();
    RejectCodeForm->exec();
    if (!RejectCodeForm->ReasonChosen)
        return;
    cStringList fields;
    fields.SetValues("f12", UserKey);
    fields.SetValues("f14", "R");
    fields.SetValues("f15", RejectCodeForm->RejectCode);
    fields.SetValues("f1001", Std(RejectCodeForm->ReasonEdit->text()));
    AnswerQuote(quoteKey, fields, "The quote has been declined");
}

void TMainForm::HideQuoteButtonClick()
{
    cReloadHold hold(*this);
    const std::string quoteKey = SelectedQuoteKey;
    if (Host().MessageBox("Are you sure you want to remove this quote from your list?", "Are you sure",
                          cHostButtons::YesNo) != cHostAnswer::Yes)
        return;
    cStringList fields;
    fields.SetValues("f16", "N");
    if (!DataServerConnection || !DataServerConnection->UpdateRecord("CaseNeedsQuote", quoteKey, fields))
        Host().MessageBox(UpdateFailed, "Error", cHostButtons::Ok);
    LoadProviderQuotes();
}
