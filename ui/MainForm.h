// The provider's workspace window. Sign-in makes it visible and enables its refresh timer; its
// first activation reads the provider's record and loads the case lists, which are reloaded
// every sixteenth tick, after every answer, on "Refresh Requests" and when a list tab is shown.
//
// The code is split by page: MainForm.cpp (window, activation, pages, timer, refresh, close),
// MainFormOpenCases.cpp (the open case requests tab), MainFormAwarded.cpp (the awarded cases
// tab and page), MainFormCaseDetail.cpp (the case detail page with the quote answers and the
// pieces both detail pages share: code lists and health details), MainFormAdmin.cpp and
// MainFormPersonnel.cpp (the administration tab), MainFormSearch.cpp and MainFormExtras.cpp (the
// office extras: the open-requests search, new-request alerts, the awarded cases export and the
// idle lock).
#pragma once

#include "toolkit/StringList.h"
#include "workspace/ClientSwitches.h"
#include "workspace/IdleClock.h"
#include "workspace/NewQuoteWatch.h"
#include "workspace/OpenCaseFilter.h"
#include "workspace/ProviderQuotes.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QGroupBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class QTreeWidget;
class cCaseQuoteObject;
class cCheckMultiSelectObject;
class cEditObject;
class cEditObjects;
class cLabeledEdit;
class cLegendShape;
class cLockView;

// The provider's "ProviderEntities" record, one value a line (line n holds field n). Created by
// the main window's constructor, filled at its activation.
extern cStringList *ProviderRecord;

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Handlers.
    void FormActivate();
    void Timer1Timer();
    void RefreshRequestButtonClick();
    void OpenCaseTabSheetShow();
    void DeliveryCaseTabSheetShow();
    void CaseDetailBackButtonClick();
    void OpenCaseListHeaderSectionResize();
    void DeliveryCaseListHeaderSectionResize();
    void OpenCaseTreeViewMouseDown(Qt::MouseButton button, const QPoint &position);
    void DeliveryCaseListBoxClick();

    // Operations used by the pages.
    void LoadProviderQuotes();
    void ClearCaseLists();
    // n from 1 to 3: the list page, the case detail page, the awarded case page.
    void ShowPage(int n);
    void CheckNotificationRecipients();
    static std::string FormatServerDate(const std::string &text);

    // Top level.
    QLabel *ProviderNameLabel = nullptr;
    QLabel *UserNameLabel = nullptr;
    QLabel *NoNotificationLabel = nullptr;
    // Shown while the last quote load could not reach the function server.
    QLabel *QuoteLoadNoticeLabel = nullptr;
    QTabWidget *MainPageControl = nullptr;
    QWidget *ActiveCasesTab = nullptr;
    QWidget *TabD1 = nullptr;
    QWidget *TabD2 = nullptr;
    QWidget *TabD3 = nullptr;
    QWidget *AdminTab = nullptr;
    QFrame *ActiveCasesPanel = nullptr;
    QFrame *CaseDetailPanel = nullptr;
    QFrame *AcceptedCaseDetailPanel = nullptr;
    // Refresh clock: disabled until sign-in enables it; ticks every second.
    QTimer *Timer1 = nullptr;

    // List page.
    QTabWidget *PageControl1 = nullptr;
    QPushButton *RefreshRequestButton = nullptr;
    QWidget *OpenCaseTabSheet = nullptr;
    QLabel *Label1 = nullptr;
    cLegendShape *Shape1 = nullptr;
    QLabel *Label15 = nullptr;
    cLegendShape *Shape2 = nullptr;
    QLabel *Label18 = nullptr;
    QHeaderView *OpenCaseListHeader = nullptr;
    QTreeWidget *OpenCaseTreeView = nullptr;
    QWidget *DeliveryCaseTabSheet = nullptr;
    QLabel *Label17 = nullptr;
    QHeaderView *DeliveryCaseListHeader = nullptr;
    QListWidget *DeliveryCaseListBox = nullptr;

    // Administration tab (MainFormAdmin.cpp: the tab, " Insurance We Accept " and " Who We Are ";
    // MainFormPersonnel.cpp: " Personnel ").
    void AdminTabShow();
    void InsuranceTabShow();
    void ShowAcceptedInsurance();
    void ShowMyInformation();
    void MyInfoEditChange();
    void MyInformationUpdateButtonClick();
    void WhatWeDoButtonClick();
    void PersonnelTabShow();
    void LoadPersonnelList();
    void PersonnelListBoxClick();
    void AddMemberButtonClick();
    void CancelLabelClick();
    void PersonnelEditSaveButtonClick();

    QTabWidget *AdminPageControl = nullptr;
    QWidget *InsuranceTab = nullptr;
    QLabel *Label13 = nullptr;
    QListWidget *InsuranceAcceptedListBox = nullptr;
    QLabel *Label20 = nullptr;
    QListWidget *InsuranceListBox = nullptr;
    QWidget *WhoWeAreTab = nullptr;
    cLabeledEdit *MyNameEdit = nullptr;
    cLabeledEdit *MyAttnEdit = nullptr;
    cLabeledEdit *MyStreetEdit = nullptr;
    cLabeledEdit *MyCityEdit = nullptr;
    cLabeledEdit *MyStateEdit = nullptr;
    cLabeledEdit *MyZipEdit = nullptr;
    cLabeledEdit *MyPhoneEdit = nullptr;
    cLabeledEdit *MyFaxEdit = nullptr;
    cLabeledEdit *MyEmailEdit = nullptr;
    cLabeledEdit *MyNotifyEmailEdit = nullptr;
    cLabeledEdit *MyWebsiteEdit = nullptr;
    cLabeledEdit *NPIEdit = nullptr;
    QPushButton *MyInformationUpdateButton = nullptr;
    QPushButton *WhatWeDoButton = nullptr;
    QWidget *PersonnelTab = nullptr;
    QListWidget *PersonnelListBox = nullptr;
    QPushButton *AddMemberButton = nullptr;
    QFrame *PersonnelEditPanel = nullptr;
    QWidget *Shape3 = nullptr;
    QLabel *PersonnelEditTitle = nullptr;
    QLabel *CancelLabel = nullptr;
    cLabeledEdit *PersonnelFnameEdit = nullptr;
    cLabeledEdit *PersonnelLnameEdit = nullptr;
    cLabeledEdit *PersonnelEmailEdit = nullptr;
    cLabeledEdit *PersonnelSmsEmailEdit = nullptr;
    cLabeledEdit *PersonnelPhoneEdit = nullptr;
    cLabeledEdit *PersonnelPasswordEdit = nullptr;
    // Shows the masked password while ticked.
    QCheckBox *PersonnelPasswordShowCB = nullptr;
    QCheckBox *PersonnelAdminCB = nullptr;
    QCheckBox *PersonnelNotifyCB = nullptr;
    QCheckBox *PersonnelPriContactCB = nullptr;
    QPushButton *PersonnelEditSaveButton = nullptr;
    // The opened member had a password stored.
    bool PersonnelHadPassword = false;

    // The comment box of the case response area; the reject dialog starts from its text.
    cLabeledEdit *ResponseReasonEdit = nullptr;

    // State.
    bool Activated = false;
    std::string ProviderKey;
    bool IsAdmin = false;
    std::vector<QFrame *> PagePanels;
    cStringList *DetailValues = nullptr;
    std::unique_ptr<cEditObjects> CaseDetailBinding;
    cStringList ScratchList;
    std::string UserKey;
    std::string SelectedQuoteKey;
    std::string SelectedCaseKey;
    int RefreshTicks = 0;
    std::string SelectedPersonnelKey;
    bool AddingMember = false;
    std::unique_ptr<cCheckMultiSelectObject> InsuranceSelect;

    // The case model behind both lists, rebuilt by every load.
    cProviderQuotes Quotes;
    // The provider's record was read: loads may run.
    bool WorkspaceReady = false;

    // Holds reloads back while a handler that uses list entries runs; a reload asked for
    // meanwhile runs when the last hold ends.
    class cReloadHold
    {
    public:
        explicit cReloadHold(TMainForm &form);
        ~cReloadHold();
        cReloadHold(const cReloadHold &) = delete;
        cReloadHold &operator=(const cReloadHold &) = delete;

    private:
        TMainForm &Form;
    };

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateTopLevel();
    void CreateMainPageControl();
    void CreateListPage();
    void CreateOpenCaseTab();
    void CreateDeliveryCaseTab();
    void InitWorkspace();
    bool ReadProviderRecord();
    void FillCaseLists();
    void FillOpenCaseTree();
    void FillDeliveryCaseList();
    void SetQuoteLoadNotice(bool visible);
    // Administration tab.
    void CreateAdminPage();
    void CreateInsuranceTab();
    void CreateWhoWeAreTab();
    void CreatePersonnelTab();
    void CreatePersonnelEditPanel();
    void OpenPersonnelPanel(const char *title, bool adding);
    void ClosePersonnelPanel();
    bool SaveCompanyData();
    void UpdateProviderPosition();

    int ReloadHolds = 0;
    bool ReloadPending = false;

    // ---- Case detail page (MainFormCaseDetail.cpp) ----
public:
    // Loads the quote's record with its joined records into the page and shows it (the list
    // page stays in front when the read fails). quote is the caller's copy of the opened entry.
    void ShowQuoteDetail(const cCaseQuoteObject &quote);
    // Fills the two list boxes with the diagnosis and treatment codes of case SelectedCaseKey.
    void LoadCodeLists(QListWidget *diagnosis, QListWidget *treatment);
    void AcceptButtonClick();
    void DeclineButtonClick();
    void HideQuoteButtonClick();
    // Replaces the list (the health details JSON as its value "f1002") by the summary lines.
    void RenderHealthDetails(cStringList &list);
    // A mouse button pressed in either health details memo: the health detail view, modally.
    void HealthDetailsMemoMouseDown();
    // The compute callback of CaseDetailBinding for the codes "*1" to "*5"; user is the window.
    static void CaseDetailCustomField(void *user, cEditObject &binding);

    QLabel *Label4 = nullptr;
    QLabel *CaseNumberLabel = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *HospitalLabel = nullptr;
    QGroupBox *CaseDetailBox = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *DateRequiredLabel = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *NeedsLabel = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *NeedsDescText = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *DischargeNurseLabel = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *AgeLabel = nullptr;
    QLabel *GenderLabel = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *HeightLabel = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *WeightLabel = nullptr;
    QLabel *Label12 = nullptr;
    QPlainTextEdit *DiagnosisMemo = nullptr;
    QLabel *Label6 = nullptr;
    QListWidget *DiagnosisCodeListBox = nullptr;
    QLabel *Label21 = nullptr;
    QListWidget *TreatmentCodeListBox = nullptr;
    QLabel *Label14 = nullptr;
    QPlainTextEdit *HealthDetailsMemo = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    cLabeledEdit *NeedsQuotePriceEdit = nullptr;
    QPushButton *AcceptButton = nullptr;
    QLabel *AcceptLabel = nullptr;
    QPushButton *DeclineButton = nullptr;
    QPushButton *HideQuoteButton = nullptr;
    QPushButton *CaseDetailBackButton = nullptr;

    // ---- Awarded case page (MainFormAwarded.cpp) ----
    // Fills the page from one joined read of the entry's quote record (quote is the caller's
    // copy of the entry).
    void ShowAwardedCase(const cCaseQuoteObject &quote);
    // The joined read's field and alias lists.
    static const char *const AwardedFieldList;
    static const char *const AwardedAliasList;

    QLabel *Label23 = nullptr;
    QLabel *CaseNumberDLabel = nullptr;
    QLabel *Label19 = nullptr;
    QLabel *HospitalDLabel = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QLabel *Label26 = nullptr;
    QLabel *DateRequiredDLabel = nullptr;
    QLabel *Label28 = nullptr;
    QLabel *NeedsDLabel = nullptr;
    QLabel *Label30 = nullptr;
    QLabel *NeedsDescDText = nullptr;
    QLabel *Label24 = nullptr;
    QLabel *DischargeNurseDLabel = nullptr;
    QLabel *Label34 = nullptr;
    QLabel *InsuranceDLabel = nullptr;
    QGroupBox *GroupBox5 = nullptr;
    QLabel *PatientNameHeader = nullptr;
    QLabel *PatientNameDLabel = nullptr;
    QLabel *Label31 = nullptr;
    QLabel *PatientSSNDLabel = nullptr;
    QLabel *Label32 = nullptr;
    QLabel *PatientAgeDLabel = nullptr;
    QLabel *PatientGenderDLabel = nullptr;
    QLabel *Label35 = nullptr;
    QLabel *PatientHeightDLabel = nullptr;
    QLabel *Label36 = nullptr;
    QLabel *PatientWeightDLabel = nullptr;
    QLabel *Label33 = nullptr;
    QLabel *PatientStreetDLabel = nullptr;
    QLabel *PatientCityDLabel = nullptr;
    QLabel *PatientStateZipDLabel = nullptr;
    QLabel *PatientPhoneDLabel = nullptr;
    QLabel *Label39 = nullptr;
    QPlainTextEdit *DiagnosisDMemo = nullptr;
    QLabel *Label40 = nullptr;
    QListWidget *DiagnosisCodeDListBox = nullptr;
    QLabel *Label41 = nullptr;
    QListWidget *TreatmentCodeDListBox = nullptr;
    QLabel *Label42 = nullptr;
    QPlainTextEdit *HealthDetailsDMemo = nullptr;
    QLabel *Label16 = nullptr;
    QPushButton *Button1 = nullptr;

private:
    void CreateCaseDetailPage();
    void CreateCaseDetailResponse();
    void CreateAwardedCasePage();
    void CreateAwardedPatientBox();
    // Sets up CaseDetailBinding: joined tables, bindings and extra fields, compute callback.
    void SetUpCaseDetailBinding();
    void AnswerQuote(const std::string &quoteKey, const cStringList &fields, const char *success);
    // Health details of a shown case: the memo's JSON text fills the health detail view and is
    // replaced by its summary.
    void ShowHealthDetails(QPlainTextEdit *memo);
    void WatchMousePress(QWidget *widget);

    // ---- Office extras (MainFormSearch.cpp, MainFormExtras.cpp): each can be switched off in
    // section [Client] of Dorvane.ini. They add controls in free space and send no request of
    // their own except the lock's password check, which reads the user's record as the sign-in
    // does.
public:
    // Reads the switches and makes the extras' controls (the constructor calls it).
    void CreateExtras();
    // After a load whose reply came: the search index and filter, then the new-request alert.
    void QuotesLoaded();
    void OpenCaseSearchEditChange();
    // Hides the tree's items that the search text does not match.
    void ApplyOpenCaseFilter();
    // The tray notification (when there is a tray) and the taskbar attention flag.
    void RaiseNewQuoteAlert(const cQuoteAlert &alert);
    // A click on the notification: the window in front on the open-requests list.
    void AlertClicked();
    void ExportButtonClick();
    // Writes the awarded list as CSV to path; a failure is reported and leaves no file.
    bool ExportAwardedCases(const std::string &path);
    // Locks the window when the idle time is reached (the idle timer calls it every second).
    void CheckIdleLock();
    void LockWorkspace();
    void UnlockButtonClick();
    bool IsLocked() const;

    cClientSwitches Switches;
    QLineEdit *OpenCaseSearchEdit = nullptr;
    QPushButton *ExportButton = nullptr;
    cLockView *LockView = nullptr;
    QSystemTrayIcon *AlertTrayIcon = nullptr;
    QTimer *IdleTimer = nullptr;
    cNewQuoteWatch QuoteWatch;
    cOpenCaseFilter OpenCaseFilter;
    cIdleClock IdleClock;
    // Asks for the export file's name (a save dialog unless replaced); empty: cancelled.
    std::function<std::string()> AskExportPath;
    // The last alert raised and how many were raised.
    std::string LastAlertTitle;
    std::string LastAlertBody;
    int AlertsRaised = 0;

private:
    void CreateOpenCaseSearch();
    void CreateExportButton();
    void CreateLock();
};
