// The " Awarded Cases " tab of the list page: the header and the owner-drawn list of the quotes
// that hospitals awarded to the provider, and opening an entry on the awarded case page, which is
// filled by one joined read of the entry's quote record.
#include "ui/MainForm.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/DateTime.h"
#include "ui/DeliveryCaseListDelegate.h"
#include "ui/DetailPageParts.h"
#include "ui/ListPainting.h"
#include "ui/Look.h"
#include "workspace/CaseTexts.h"
#include "workspace/ListTexts.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

const char *const TMainForm::AwardedFieldList =
    "CN14,CN15,C16,C17,C30,C34,C35,C36,C37,C38,C1001,C1002,PA10,PA11,PA12,PA13,PA14,PE10,PE11,PE12,PE13,H10,"
    "I11,CAT12";
const char *const TMainForm::AwardedAliasList =
    "CN=CaseNeeds:f10,C=Cases:CN10,PA=Patients:C10,H=ProviderEntities:C11,PE=Personnel:C23,"
    "I=InsuranceTypes:C19,CAT=ProviderCategories:CN12";

void TMainForm::CreateDeliveryCaseTab()
{
    DeliveryCaseTabSheet = new QWidget;
    DeliveryCaseTabSheet->setObjectName("DeliveryCaseTabSheet");
    PageControl1->addTab(DeliveryCaseTabSheet, " Awarded Cases ");

    Label17 = new QLabel("Current Case Requests to be Delivered", DeliveryCaseTabSheet);
    Label17->setObjectName("Label17");
    Label17->setFont(SansFont(13, true));
    Label17->adjustSize();
    Label17->move(12, 8);

    DeliveryCaseListHeader = MakeListHeader("DeliveryCaseListHeader",
                                            {" ", "Delivery Date", "Hospital", "Case Number", "Description"},
                                            {25, 120, 250, 125, 355}, DeliveryCaseTabSheet);
    DeliveryCaseListHeader->setGeometry(10, 32, 877, 24);
    connect(DeliveryCaseListHeader, &QHeaderView::sectionResized, this,
            &TMainForm::DeliveryCaseListHeaderSectionResize);

    DeliveryCaseListBox = new QListWidget(DeliveryCaseTabSheet);
    DeliveryCaseListBox->setObjectName("DeliveryCaseListBox");
    DeliveryCaseListBox->setGeometry(10, 56, 900, 450);
    DeliveryCaseListBox->setUniformItemSizes(true);
    DeliveryCaseListBox->setItemDelegate(
        new cDeliveryCaseListDelegate(DeliveryCaseListHeader, DeliveryCaseListBox));
    connect(DeliveryCaseListBox, &QListWidget::itemClicked, this, &TMainForm::DeliveryCaseListBoxClick);
    connect(DeliveryCaseListBox, &QListWidget::itemActivated, this, &TMainForm::DeliveryCaseListBoxClick);
}

void TMainForm::DeliveryCaseTabSheetShow()
{
    LoadProviderQuotes();
}

void TMainForm::DeliveryCaseListHeaderSectionResize()
{
    DeliveryCaseListBox->viewport()->update();
}

void TMainForm::FillDeliveryCaseList()
{
    for (const auto &quote : Quotes.Awarded)
    {
        auto *item = new QListWidgetItem(QString::fromStdString(quote->RequiredDateText));
        item->setData(cDeliveryCaseListDelegate::EntryRole,
                      QVariant::fromValue(reinterpret_cast<quintptr>(quote.get())));
        DeliveryCaseListBox->addItem(item);
    }
    DeliveryCaseListBox->viewport()->update();
}

void TMainForm::DeliveryCaseListBoxClick()
{
    const QListWidgetItem *item = DeliveryCaseListBox->currentItem();
    const cCaseQuoteObject *quote =
        item && item->isSelected() ? cDeliveryCaseListDelegate::QuoteAt(DeliveryCaseListBox->currentIndex())
                                   : nullptr;
    if (!quote)
        return;
    cReloadHold hold(*this);
    // The page works on its own copy: a reload while it loads cannot take the entry away.
    const cCaseQuoteObject opened(*quote);
    SelectedQuoteKey = opened.Key;
    SelectedCaseKey = opened.AwardedCase->Key;
    ShowAwardedCase(opened);
    ShowPage(3);
}

void TMainForm::CreateAwardedCasePage()
{
    using namespace detail_page;
    QFrame *page = AcceptedCaseDetailPanel;
    Label23 = Label(page, "Label23", "Case Number: ", 16, 10);
    CaseNumberDLabel = DataLabel(page, "CaseNumberDLabel", "CaseNumberDLabel", Label23, 180);
    Label19 = Label(page, "Label19", "Hospital:", 300, 10);
    HospitalDLabel = DataLabel(page, "HospitalDLabel", "HospitalDLabel", Label19, 420);
    Button1 = new QPushButton("Back", page);
    Button1->setObjectName("Button1");
    Button1->setGeometry(860, 6, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::CaseDetailBackButtonClick);

    GroupBox3 = GroupBox(page, "GroupBox3", "", 16, 32, 930, 108);
    Label26 = Label(GroupBox3, "Label26", "Date, Time Required:", 12, 10);
    DateRequiredDLabel = DataLabel(GroupBox3, "DateRequiredDLabel", "DateRequiredDLabel", Label26, 170);
    Label28 = Label(GroupBox3, "Label28", "What is needed:", 340, 10);
    NeedsDLabel = DataLabel(GroupBox3, "NeedsDLabel", "NeedsDLabel", Label28, 440);
    Label30 = Label(GroupBox3, "Label30", "Description:", 12, 34);
    NeedsDescDText = DescriptionText(GroupBox3, "NeedsDescDText", "NeedsDescDText", 120, 32);
    Label24 = Label(GroupBox3, "Label24", "Case Worker:", 12, 82);
    DischargeNurseDLabel = DataLabel(GroupBox3, "DischargeNurseDLabel", "DischargeNurseDLabel", 120, 82, 173);
    Label34 = Label(GroupBox3, "Label34", "Insurance:", 340, 82);
    InsuranceDLabel = DataLabel(GroupBox3, "InsuranceDLabel", "InsuranceDLabel", Label34, 233);
    InsuranceDLabel->setAttribute(Qt::WA_TranslucentBackground);
    CreateAwardedPatientBox();
}

void TMainForm::CreateAwardedPatientBox()
{
    using namespace detail_page;
    GroupBox5 = GroupBox(AcceptedCaseDetailPanel, "GroupBox5", " Patient Information ", 16, 144, 930, 380);
    QGroupBox *box = GroupBox5;
    PatientNameHeader = Label(box, "PatientNameHeader", "Name:", 12, 22);
    PatientNameDLabel = DataLabel(box, "PatientNameDLabel", "PatientNameDLabel", PatientNameHeader, 250);
    Label31 = Label(box, "Label31", "SSN:", 320, 22);
    PatientSSNDLabel = DataLabel(box, "PatientSSNDLabel", "PatientSSNDLabel", Label31, 100);
    Label32 = Label(box, "Label32", "Age:", 470, 22);
    PatientAgeDLabel = DataLabel(box, "PatientAgeDLabel", "PatientAgeDLabel", Label32, 46);
    PatientGenderDLabel = DataLabel(box, "PatientGenderDLabel", "PatientGenderDLabel", 560, 22, 64);
    Label35 = Label(box, "Label35", "Height:", 630, 22);
    PatientHeightDLabel = DataLabel(box, "PatientHeightDLabel", "PatientHeightDLabel", Label35, 70);
    Label36 = Label(box, "Label36", "Weight:", 770, 22);
    PatientWeightDLabel = DataLabel(box, "PatientWeightDLabel", "PatientWeightDLabel", Label36, 90);
    Label33 = Label(box, "Label33", "Address:", 12, 44);
    PatientStreetDLabel = DataLabel(box, "PatientStreetDLabel", "PatientStreetDLabel", Label33, 300);
    PatientCityDLabel =
        DataLabel(box, "PatientCityDLabel", "PatientCityDLabel", PatientStreetDLabel->x(), 60, 300);
    PatientStateZipDLabel =
        DataLabel(box, "PatientStateZipDLabel", "PatientStateZipDLabel", PatientStreetDLabel->x(), 76, 300);
    PatientPhoneDLabel =
        DataLabel(box, "PatientPhoneDLabel", "PatientPhoneDLabel", PatientStreetDLabel->x(), 92, 300);
    Label39 = Label(box, "Label39", "Diagnosis", 12, 114);
    DiagnosisDMemo = Memo(box, "DiagnosisDMemo", 12, 130, 340, 97, false);
    Label42 = Label(box, "Label42", "Health Details", 370, 114);
    Label16 = Label(box, "Label16", "(Click for full information)", 470, 116);
    Label16->setFont(SansFont(10));
    Label16->adjustSize();
    HealthDetailsDMemo = Memo(box, "HealthDetailsDMemo", 370, 130, 509, 117, true);
    Label40 = Label(box, "Label40", "Diagnosis Codes", 12, 234);
    DiagnosisCodeDListBox = CodeList(box, "DiagnosisCodeDListBox", 12, 250, 340, 120);
    Label41 = Label(box, "Label41", "Treatment Codes", 370, 254);
    TreatmentCodeDListBox = CodeList(box, "TreatmentCodeDListBox", 370, 270, 509, 100);
    WatchMousePress(HealthDetailsDMemo);
}

void TMainForm::ShowAwardedCase(const cCaseQuoteObject &quote)
{
    using namespace detail_page;
    cReloadHold hold(*this);
    std::string fields = AwardedFieldList;
    cStringList values;
    // A failed read leaves every value empty.
    if (DataServerConnection &&
        DataServerConnection->ReadFields("CaseNeedsQuote", quote.Key, fields, AwardedAliasList))
        values.SetCommaText(fields);
    auto v = [&values](const char *code) { return values.Values(code); };
    CaseNumberDLabel->setText(Text(quote.AwardedCase->CaseNumber));
    HospitalDLabel->setText(Text(v("H10")));
    DateRequiredDLabel->setText(Text(FormatServerDate(v("CN14"))));
    NeedsDLabel->setText(Text(v("CAT12")));
    NeedsDescDText->setText(Text(v("CN15")));
    DischargeNurseDLabel->setText(Text(AwardedCaseWorkerText(v("PE10"), v("PE11"), v("PE12"), v("PE13"))));
    InsuranceDLabel->setText(Text(v("I11")));
    PatientNameDLabel->setText(Text(PatientNameText(v("PA10"), v("PA11"), v("PA12"))));
    PatientSSNDLabel->setText(Text(v("PA13")));
    PatientAgeDLabel->setText(Text(AwardedAgeText(v("PA14"), Now())));
    PatientGenderDLabel->setText(Text(AwardedGenderText(v("C30"))));
    PatientHeightDLabel->setText(Text(v("C16")));
    PatientWeightDLabel->setText(Text(v("C17")));
    PatientStreetDLabel->setText(Text(v("C34")));
    PatientCityDLabel->setText(Text(v("C35")));
    PatientStateZipDLabel->setText(Text(v("C36") + "  " + v("C37")));
    PatientPhoneDLabel->setText(Text(v("C38")));
    DiagnosisDMemo->setPlainText(MemoText(v("C1001")));
    LoadCodeLists(DiagnosisCodeDListBox, TreatmentCodeDListBox);
    HealthDetailsDMemo->setPlainText(MemoText(v("C1002")));
    ShowHealthDetails(HealthDetailsDMemo);
}
