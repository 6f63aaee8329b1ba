#include "ui/AwardedCasePage.h"

#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/DateTime.h"
#include "ui/DetailPageParts.h"
#include "ui/Look.h"
#include "ui/PacketPrintButton.h"
#include "workspace/CaseTexts.h"
#include "workspace/ListTexts.h"
#include "workspace/ReloadGate.h"
#include "workspace/cCaseQuoteObject.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

using namespace detail_page;

const char *const cAwardedCasePage::AwardedFieldList =
    "CN14,CN15,C16,C17,C30,C34,C35,C36,C37,C38,C1001,C1002,PA10,PA11,PA12,PA13,PA14,PE10,PE11,PE12,PE13,H10,"
    "I11,CAT12";
const char *const cAwardedCasePage::AwardedAliasList =
    "CN=CaseNeeds:f10,C=Cases:CN10,PA=Patients:C10,H=ProviderEntities:C11,PE=Personnel:C23,"
    "I=InsuranceTypes:C19,CAT=ProviderCategories:CN12";

cAwardedCasePage::cAwardedCasePage(cSession &session, cReloadGate &reloads, bool printShown, QWidget *parent)
    : QFrame(parent), Session(session), Reloads(reloads)
{
    setObjectName("AcceptedCaseDetailPanel");
    SetBackground(this, WorkspaceBackground());
    hide();
    QLabel *label23 = Label(this, "Label23", "Case Number: ", 16, 10);
    CaseNumberDLabel = DataLabel(this, "CaseNumberDLabel", "CaseNumberDLabel", label23, 180);
    QLabel *label19 = Label(this, "Label19", "Hospital:", 300, 10);
    HospitalDLabel = DataLabel(this, "HospitalDLabel", "HospitalDLabel", label19, 420);
    Button1 = new QPushButton("Back", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(860, 6, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &cAwardedCasePage::BackClicked);
    PrintButton = new cPacketPrintButton(
        "AwardedCasePrintButton", Session, [this] { return PacketContent(); }, this);
    PrintButton->setGeometry(780, 6, 75, 25);
    PrintButton->setVisible(printShown);
    CreateCaseBox();
    CreatePatientBox();
    SetKeyboardPath();
}

// Tab runs "Back", "Print...", then the case's texts and lists; Escape goes back.
void cAwardedCasePage::SetKeyboardPath()
{
    QWidget *path[] = {Button1,
                       PrintButton,
                       DiagnosisDMemo,
                       HealthDetailsDMemo,
                       DiagnosisCodeDListBox,
                       TreatmentCodeDListBox};
    for (std::size_t i = 1; i < std::size(path); ++i)
        setTabOrder(path[i - 1], path[i]);
}

// Escape that no control of the page took goes back, as "Back" does.
void cAwardedCasePage::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
    {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    emit BackClicked();
}

void cAwardedCasePage::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // Shown by the program (an entry opened), not again by the window system after a minimise.
    if (!event->spontaneous())
        Button1->setFocus(Qt::OtherFocusReason);
}

void cAwardedCasePage::CreateCaseBox()
{
    QGroupBox *box = GroupBox(this, "GroupBox3", "", 16, 32, 930, 108);
    box->setAccessibleName("Case request");
    QLabel *label26 = Label(box, "Label26", "Date, Time Required:", 12, 10);
    DateRequiredDLabel = DataLabel(box, "DateRequiredDLabel", "DateRequiredDLabel", label26, 170);
    QLabel *label28 = Label(box, "Label28", "What is needed:", 340, 10);
    NeedsDLabel = DataLabel(box, "NeedsDLabel", "NeedsDLabel", label28, 440);
    Label(box, "Label30", "Description:", 12, 34);
    NeedsDescDText = DescriptionText(box, "NeedsDescDText", "NeedsDescDText", 120, 32);
    Label(box, "Label24", "Case Worker:", 12, 82);
    DischargeNurseDLabel = DataLabel(box, "DischargeNurseDLabel", "DischargeNurseDLabel", 120, 82, 173);
    QLabel *label34 = Label(box, "Label34", "Insurance:", 340, 82);
    InsuranceDLabel = DataLabel(box, "InsuranceDLabel", "InsuranceDLabel", label34, 233);
    InsuranceDLabel->setAttribute(Qt::WA_TranslucentBackground);
}

void cAwardedCasePage::CreatePatientBox()
{
    QGroupBox *box = GroupBox(this, "GroupBox5", " Patient Information ", 16, 144, 930, 380);
    QLabel *nameHeader = Label(box, "PatientNameHeader", "Name:", 12, 22);
    PatientNameDLabel = DataLabel(box, "PatientNameDLabel", "PatientNameDLabel", nameHeader, 250);
    QLabel *label31 = Label(box, "Label31", "SSN:", 320, 22);
    PatientSSNDLabel = DataLabel(box, "PatientSSNDLabel", "PatientSSNDLabel", label31, 100);
    QLabel *label32 = Label(box, "Label32", "Age:", 470, 22);
    PatientAgeDLabel = DataLabel(box, "PatientAgeDLabel", "PatientAgeDLabel", label32, 46);
    PatientGenderDLabel = DataLabel(box, "PatientGenderDLabel", "PatientGenderDLabel", 560, 22, 64);
    QLabel *label35 = Label(box, "Label35", "Height:", 630, 22);
    PatientHeightDLabel = DataLabel(box, "PatientHeightDLabel", "PatientHeightDLabel", label35, 70);
    QLabel *label36 = Label(box, "Label36", "Weight:", 770, 22);
    PatientWeightDLabel = DataLabel(box, "PatientWeightDLabel", "PatientWeightDLabel", label36, 90);
    QLabel *label33 = Label(box, "Label33", "Address:", 12, 44);
    PatientStreetDLabel = DataLabel(box, "PatientStreetDLabel", "PatientStreetDLabel", label33, 300);
    const int addressLeft = PatientStreetDLabel->x();
    PatientCityDLabel = DataLabel(box, "PatientCityDLabel", "PatientCityDLabel", addressLeft, 60, 300);
    PatientStateZipDLabel =
        DataLabel(box, "PatientStateZipDLabel", "PatientStateZipDLabel", addressLeft, 76, 300);
    PatientPhoneDLabel = DataLabel(box, "PatientPhoneDLabel", "PatientPhoneDLabel", addressLeft, 92, 300);
    QLabel *label39 = Label(box, "Label39", "Diagnosis", 12, 114);
    DiagnosisDMemo = Memo(box, "DiagnosisDMemo", 12, 130, 340, 97, false);
    QLabel *label42 = Label(box, "Label42", "Health Details", 370, 114);
    QLabel *label16 = Label(box, "Label16", "(Click for full information)", 470, 116);
    label16->setFont(SansFont(10));
    label16->adjustSize();
    HealthDetailsDMemo = Memo(box, "HealthDetailsDMemo", 370, 130, 509, 117, true);
    QLabel *label40 = Label(box, "Label40", "Diagnosis Codes", 12, 234);
    DiagnosisCodeDListBox = CodeList(box, "DiagnosisCodeDListBox", 12, 250, 340, 120);
    QLabel *label41 = Label(box, "Label41", "Treatment Codes", 370, 254);
    TreatmentCodeDListBox = CodeList(box, "TreatmentCodeDListBox", 370, 270, 509, 100);
    WatchPressOrEnter(HealthDetailsDMemo, [this] { ShowHealthDetailView(this); });
    DiagnosisDMemo->setAccessibleName(CaptionWords(label39));
    HealthDetailsDMemo->setAccessibleName(CaptionWords(label42));
    HealthDetailsDMemo->setAccessibleDescription("Enter shows the full health details");
    DiagnosisCodeDListBox->setAccessibleName(CaptionWords(label40));
    TreatmentCodeDListBox->setAccessibleName(CaptionWords(label41));
}

cPacketContent cAwardedCasePage::PacketContent() const
{
    cPacketContent content;
    content.CaseNumber = ToStd(CaseNumberDLabel->text());
    content.CaseFields = {PacketField("Hospital", HospitalDLabel),
                          PacketField("Case Number", CaseNumberDLabel),
                          PacketField("Date, Time Required", DateRequiredDLabel),
                          PacketField("What is needed", NeedsDLabel),
                          PacketField("Description", NeedsDescDText),
                          PacketField("Case Worker", DischargeNurseDLabel),
                          PacketField("Insurance", InsuranceDLabel)};
    const std::string address = ToStd(PatientStreetDLabel->text() + "\n" + PatientCityDLabel->text() + "\n" +
                                      PatientStateZipDLabel->text());
    content.PatientFields = {PacketField("Name", PatientNameDLabel),
                             PacketField("SSN", PatientSSNDLabel),
                             PacketField("Age", PatientAgeDLabel),
                             PacketField("Gender", PatientGenderDLabel),
                             PacketField("Height", PatientHeightDLabel),
                             PacketField("Weight", PatientWeightDLabel),
                             {"Address", address},
                             PacketField("Phone", PatientPhoneDLabel)};
    content.Diagnosis = ToStd(DiagnosisDMemo->toPlainText());
    content.DiagnosisCodes = ShownCodes(DiagnosisCodeDListBox);
    content.TreatmentCodes = ShownCodes(TreatmentCodeDListBox);
    content.HealthDetails = HealthDetailsText(HealthDetailsDMemo);
    return content;
}

void cAwardedCasePage::ShowAwardedCase(const cCaseQuoteObject &quote)
{
    cReloadGate::cHold hold(Reloads);
    QuoteKey = quote.Key;
    CaseKey = quote.AwardedCase ? quote.AwardedCase->Key : std::string();
    std::string fields = AwardedFieldList;
    cStringList values;
    dbServerConnection *link = Session.DataServerConnection();
    // A failed read leaves every value empty.
    if (link && link->ReadFields("CaseNeedsQuote", QuoteKey, fields, AwardedAliasList))
        values.SetCommaText(fields);
    auto v = [&values](const char *code) { return values.Values(code); };
    CaseNumberDLabel->setText(ToQt(quote.AwardedCase ? quote.AwardedCase->CaseNumber : std::string()));
    HospitalDLabel->setText(ToQt(v("H10")));
    DateRequiredDLabel->setText(ToQt(FormatServerDate(v("CN14"))));
    NeedsDLabel->setText(ToQt(v("CAT12")));
    NeedsDescDText->setText(ToQt(v("CN15")));
    DischargeNurseDLabel->setText(ToQt(AwardedCaseWorkerText(v("PE10"), v("PE11"), v("PE12"), v("PE13"))));
    InsuranceDLabel->setText(ToQt(v("I11")));
    PatientNameDLabel->setText(ToQt(PatientNameText(v("PA10"), v("PA11"), v("PA12"))));
    PatientSSNDLabel->setText(ToQt(v("PA13")));
    PatientAgeDLabel->setText(ToQt(AwardedAgeText(v("PA14"), Now())));
    PatientGenderDLabel->setText(ToQt(AwardedGenderText(v("C30"))));
    PatientHeightDLabel->setText(ToQt(v("C16")));
    PatientWeightDLabel->setText(ToQt(v("C17")));
    PatientStreetDLabel->setText(ToQt(v("C34")));
    PatientCityDLabel->setText(ToQt(v("C35")));
    PatientStateZipDLabel->setText(ToQt(v("C36") + "  " + v("C37")));
    PatientPhoneDLabel->setText(ToQt(v("C38")));
    DiagnosisDMemo->setPlainText(MemoText(v("C1001")));
    LoadCodeLists(DiagnosisCodeDListBox, TreatmentCodeDListBox, Session.DataServerConnection(), CaseKey);
    HealthDetailsDMemo->setPlainText(MemoText(v("C1002")));
    ShowHealthDetails(HealthDetailsDMemo);
}
