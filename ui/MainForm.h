// The provider's workspace window: the frame of its pages. Sign-in shows it and starts its refresh
// timer; its first activation reads the provider's record and loads the case lists, which are
// reloaded every sixteenth tick, after every answer, on "Refresh Requests" and when a list tab is
// shown. The frame owns the provider and user lines, the page control with its hidden tabs, the
// list page (its two tabs and "Refresh Requests"), the timer and the quote load (MainForm.cpp),
// and the new-request alerts and the idle lock (MainFormExtras.cpp). Each page is a class of its
// own: cOpenRequestsPage, cAwardedCasesPage, cCaseDetailPage, cAwardedCasePage, cAdminPage.
#pragma once

#include "workspace/ClientSwitches.h"
#include "workspace/IdleClock.h"
#include "workspace/NewQuoteWatch.h"
#include "workspace/ProviderQuotes.h"
#include "workspace/QuoteReloads.h"
#include "workspace/ReloadGate.h"

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class QTimer;
class cAdminPage;
class cAwardedCasePage;
class cAwardedCasesPage;
class cCaseDetailPage;
class cLockView;
class cOpenRequestsPage;
class cQuoteLoadWorker;
class cSession;

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Sign-in hands the window over: it is shown and its refresh timer runs.
    void ShowSignedIn();

    // Handlers.
    void FormActivate();
    void Timer1Timer();
    void RefreshRequestButtonClick();
    void OpenCaseTabSheetShow();
    void DeliveryCaseTabSheetShow();
    void CaseDetailBackButtonClick();
    // A click on the new-request notification: the window in front on the open-requests list.
    void AlertClicked();
    // Locks the window when the idle time is reached (the idle timer calls it every second).
    void CheckIdleLock();
    void UnlockButtonClick();

    // Operations.
    // Rebuilds both case lists from the function server (or once the handlers holding the lists
    // are done).
    void LoadProviderQuotes();
    // n from 1 to 3: the list page, the case detail page, the awarded case page.
    void ShowPage(int n);
    void CheckNotificationRecipients();
    void LockWorkspace();
    bool IsLocked() const;

    // The first activation ran, and the provider's record was read (loads may run).
    bool HasActivated() const { return Activated; }
    bool WorkspaceReady() const { return Ready; }
    // Timer ticks since the last quote load.
    int TicksSinceLoad() const { return RefreshTicks; }
    // No quote load in flight, asked for or waiting to be shown.
    bool QuotesSettled() const { return Loads.Settled(); }
    // Puts a finished load on screen, unless a handler holds the lists or a dialog is open (the
    // timer tries again every second).
    void SwapInQuotes();
    // Stops a quote load in flight and closes the loads' own link (the next load opens it again).
    void StopQuoteLoads();
    // The case model of the last load (never null).
    std::shared_ptr<const cProviderQuotes> LoadedQuotes() const { return Quotes; }
    // The new-request alerts raised since sign-in, and the last one's texts.
    struct cAlertLog
    {
        int Raised = 0;
        std::string Title;
        std::string Body;
    };
    const cAlertLog &Alerts() const { return AlertLog; }
    // Replaces the clock of the idle lock (the idle time starts anew).
    void SetIdleClock(cIdleClock::cNow now) { IdleClock.SetClock(std::move(now)); }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateTopLevel();
    void CreateMainPageControl();
    void CreateListPage();
    void CreatePages();
    void InitWorkspace();
    bool ReadProviderRecord();
    void ClearCaseLists();
    void RunQuoteLoad();
    void StartQuoteLoad();
    void QuoteLoadFinished(unsigned generation, std::shared_ptr<const cProviderQuotes> quotes);

    void ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes);
    void SetQuoteLoadNotice(bool visible);
    void OpenQuote(const cCaseQuoteObject &quote, const std::string &caseKey);
    void OpenAwarded(const cCaseQuoteObject &quote);
    void ShowProviderName();
    // Office extras (MainFormExtras.cpp): each can be switched off in section [Client] of
    // Dorvane.ini.
    void CreateExtras();
    void CreateLock();
    void MaskLists(bool masked);
    // The keyboard path through the frame and the names a screen reader speaks for its controls
    // (MainFormKeyboard.cpp).
    void CreateKeyboardPath();
    void ChainListPage();
    // After a load whose reply came: the new-request alert.
    void QuotesLoaded();
    void RaiseNewQuoteAlert(const cQuoteAlert &alert);

    cSession &Session;
    cReloadGate Reloads;
    cQuoteReloads Loads;
    cQuoteLoadWorker *Worker = nullptr;
    cClientSwitches Switches;
    // The case model behind both lists, replaced whole by every load.
    std::shared_ptr<const cProviderQuotes> Quotes;
    bool Activated = false;
    bool Ready = false;
    int RefreshTicks = 0;

    QLabel *ProviderNameLabel = nullptr;
    QLabel *UserNameLabel = nullptr;
    QLabel *NoNotificationLabel = nullptr;
    // Shown while the last quote load could not reach the function server.
    QLabel *QuoteLoadNoticeLabel = nullptr;
    // Shown on the list page while the last quote opened could not be read.
    QLabel *QuoteOpenNoticeLabel = nullptr;
    // Shown until the first quote load after sign-in is on screen.
    QLabel *QuoteLoadingLabel = nullptr;
    QTabWidget *MainPageControl = nullptr;
    QWidget *ActiveCasesTab = nullptr;
    QFrame *ActiveCasesPanel = nullptr;
    std::vector<QFrame *> PagePanels;
    QTabWidget *PageControl1 = nullptr;
    QPushButton *RefreshRequestButton = nullptr;
    // Refresh clock: stopped until sign-in starts it; ticks every second.
    QTimer *Timer1 = nullptr;
    cOpenRequestsPage *OpenRequests = nullptr;
    cAwardedCasesPage *AwardedCases = nullptr;
    cCaseDetailPage *CaseDetail = nullptr;
    cAwardedCasePage *AwardedCase = nullptr;
    cAdminPage *Admin = nullptr;

    cLockView *LockView = nullptr;
    QTimer *IdleTimer = nullptr;
    cIdleClock IdleClock;
    QSystemTrayIcon *AlertTrayIcon = nullptr;
    cNewQuoteWatch QuoteWatch;
    cAlertLog AlertLog;
};
