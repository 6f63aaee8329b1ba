// The awarded case page: an awarded quote's case with the patient's identity and address, filled
// by one joined read of the quote's record; no answers. "Back" (or Escape) returns to the list
// page; "Print..." makes the referral packet of the shown case. The keyboard starts at "Back".
#pragma once

#include "workspace/ReferralPacket.h"

#include <QFrame>
#include <string>

class QLabel;
class QListView;
class QPlainTextEdit;
class QPushButton;
class cCaseQuoteObject;
class cPacketPrintButton;
class cReloadGate;
class cSession;

class cAwardedCasePage : public QFrame
{
    Q_OBJECT

public:
    // printShown: "Print..." is shown (the [Client] switch "Print").
    cAwardedCasePage(cSession &session, cReloadGate &reloads, bool printShown, QWidget *parent = nullptr);

    // Fills the page from one joined read of the entry's quote record (quote is the caller's
    // copy of the entry, with its case). A failed read leaves every value empty.
    void ShowAwardedCase(const cCaseQuoteObject &quote);
    const std::string &SelectedQuoteKey() const { return QuoteKey; }
    const std::string &SelectedCaseKey() const { return CaseKey; }
    // What the page shows of its case, for the referral packet.
    cPacketContent PacketContent() const;

    // The joined read's field and alias lists.
    static const char *const AwardedFieldList;
    static const char *const AwardedAliasList;

signals:
    void BackClicked();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CreateCaseBox();
    void CreatePatientBox();
    void SetKeyboardPath();

    cSession &Session;
    cReloadGate &Reloads;
    std::string QuoteKey;
    std::string CaseKey;

    QPushButton *Button1 = nullptr;
    cPacketPrintButton *PrintButton = nullptr;
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
