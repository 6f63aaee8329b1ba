// The awarded case page: an awarded quote's case with the patient's identity and address, filled
// by one joined read of the quote's record; no answers. "Back" returns to the list page.
#pragma once

#include <QFrame>
#include <string>

class QLabel;
class QListView;
class QPlainTextEdit;
class cCaseQuoteObject;
class cReloadGate;
class cSession;

class cAwardedCasePage : public QFrame
{
    Q_OBJECT

public:
    cAwardedCasePage(cSession &session, cReloadGate &reloads, QWidget *parent = nullptr);

    // Fills the page from one joined read of the entry's quote record (quote is the caller's
    // copy of the entry, with its case). A failed read leaves every value empty.
    void ShowAwardedCase(const cCaseQuoteObject &quote);
    const std::string &SelectedQuoteKey() const { return QuoteKey; }
    const std::string &SelectedCaseKey() const { return CaseKey; }

    // The joined read's field and alias lists.
    static const char *const AwardedFieldList;
    static const char *const AwardedAliasList;

signals:
    void BackClicked();

private:
    void CreateCaseBox();
    void CreatePatientBox();

    cSession &Session;
    cReloadGate &Reloads;
    std::string QuoteKey;
    std::string CaseKey;

    QLabel *CaseNumberDLabel = nullptr;
    QLabel *HospitalDLabel = nullptr;
    QLabel *DateRequiredDLabel = nullptr;
    QLabel *NeedsDLabel = nullptr;
    QLabel *NeedsDescDText = nullptr;
    QLabel *DischargeNurseDLabel = nullptr;
    QLabel *InsuranceDLabel = nullptr;
    QLabel *PatientNameDLabel = nullptr;
    QLabel *PatientSSNDLabel = nullptr;
    QLabel *PatientAgeDLabel = nullptr;
    QLabel *PatientGenderDLabel = nullptr;
    QLabel *PatientHeightDLabel = nullptr;
    QLabel *PatientWeightDLabel = nullptr;
    QLabel *PatientStreetDLabel = nullptr;
    QLabel *PatientCityDLabel = nullptr;
    QLabel *PatientStateZipDLabel = nullptr;
    QLabel *PatientPhoneDLabel = nullptr;
    QPlainTextEdit *DiagnosisDMemo = nullptr;
    QPlainTextEdit *HealthDetailsDMemo = nullptr;
    QListView *DiagnosisCodeDListBox = nullptr;
    QListView *TreatmentCodeDListBox = nullptr;
};
