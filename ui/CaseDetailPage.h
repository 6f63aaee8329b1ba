// The case detail page: one quote of the provider with its need, case, hospital, case worker and
// patient, filled by a cEditObjects binding and its compute callback, and the quote answers
// (accept, decline through the reject reason dialog, hide). Every answer writes the quote's
// "CaseNeedsQuote" record and asks for a reload of the case lists. "Print..." makes the referral
// packet of the shown case. The keyboard starts at the price when the page is shown; Tab runs
// price, comment, the answer buttons, "Back" and "Print..."; Escape goes back.
#pragma once

#include "workspace/QuoteAnswer.h"
#include "workspace/ReferralPacket.h"
#include "workspace/cCaseQuoteObject.h"

#include <QColor>
#include <QFrame>
#include <memory>
#include <string>

class QLabel;
class QListView;
class QPlainTextEdit;
class QPushButton;
class cCaseQuoteObject;
class cEditObject;
class cEditObjects;
class cLabeledEdit;
class cPacketPrintButton;
class cReloadGate;
class cSession;
class cStringList;

class cCaseDetailPage : public QFrame
{
    Q_OBJECT

public:
    // printShown: "Print..." is shown (the [Client] switch "Print").
    cCaseDetailPage(cSession &session, cReloadGate &reloads, bool printShown, QWidget *parent = nullptr);
    ~cCaseDetailPage() override;

    // Loads the quote's record with its joined records into the page; Loaded is emitted when the
    // read succeeded (the page is then to be shown), LoadFailed when it did not (the page and
    // its selected keys then stay as they were). quote is the caller's copy of the opened
    // entry, caseKey its case's key; acceptedColour is the colour of the accepted mark.
    void ShowQuoteDetail(const cCaseQuoteObject &quote, const std::string &caseKey,
                         const QColor &acceptedColour);
    // The quote shown (the answers write to it) and its case.
    const std::string &SelectedQuoteKey() const { return QuoteKey; }
    const std::string &SelectedCaseKey() const { return CaseKey; }

    // Handlers.
    void AcceptButtonClick();
    void DeclineButtonClick();
    void HideQuoteButtonClick();
    void HealthDetailsMemoMouseDown();
    // The compute callback of the binding for the codes "*1" to "*5"; user is the page.
    static void CaseDetailCustomField(void *user, cEditObject &binding);
    // What the page shows of its case, for the referral packet.
    cPacketContent PacketContent() const;

signals:
    void Loaded();
    void LoadFailed();
    void BackClicked();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void CreateCaseBox();
    void CreatePatientBox();
    void CreateResponse();
    void SetKeyboardPath();
    void SetUpBinding();
    void AnswerQuote(const std::string &quoteKey, const cStringList &fields, const char *success);
    // Reads the quote's answer again: true when it is still what the page showed (or what the
    // page wrote itself). Otherwise says who answered what, shows the page anew and is false.
    bool AnswerStillShown();
    // The binding's write of the price or the comment on leaving the edit, held back when the
    // answer changed meanwhile.
    static void ResponseEditExit(void *user, cEditObject &binding);
    void ShowAnsweredMeanwhile(const cQuoteAnswer &current);
    std::string UserKey() const;

    cSession &Session;
    cReloadGate &Reloads;
    std::unique_ptr<cEditObjects> Binding;
    std::string QuoteKey;
    std::string CaseKey;
    // The entry shown, the answer as the page read it, when it was read, the accepted colour.
    cCaseQuoteObject ShownQuote;
    cQuoteAnswer ShownAnswer;
    std::string OpenedAt;
    QColor AcceptedColour;
    // Set when an edit's write was held back and the notice is still to be shown.
    bool AnswerChanged = false;

    QPushButton *CaseDetailBackButton = nullptr;
    QLabel *CaseNumberLabel = nullptr;
    QLabel *HospitalLabel = nullptr;
    QLabel *DateRequiredLabel = nullptr;
    QLabel *NeedsLabel = nullptr;
    QLabel *NeedsDescText = nullptr;
    QLabel *DischargeNurseLabel = nullptr;
    QLabel *AgeLabel = nullptr;
    QLabel *GenderLabel = nullptr;
    QLabel *HeightLabel = nullptr;
    QLabel *WeightLabel = nullptr;
    QPlainTextEdit *DiagnosisMemo = nullptr;
    QPlainTextEdit *HealthDetailsMemo = nullptr;
    QListView *DiagnosisCodeListBox = nullptr;
    QListView *TreatmentCodeListBox = nullptr;
    cLabeledEdit *NeedsQuotePriceEdit = nullptr;
    cLabeledEdit *ResponseReasonEdit = nullptr;
    QPushButton *AcceptButton = nullptr;
    QLabel *AcceptLabel = nullptr;
    QPushButton *DeclineButton = nullptr;
    QPushButton *HideQuoteButton = nullptr;
    cPacketPrintButton *PrintButton = nullptr;
};
