// The main window itself: construction, first activation, pages, the quote load and its refresh
// cycle, closing.
#include "ui/MainForm.h"

#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/Host.h"
#include "ui/AdminPage.h"
#include "ui/AwardedCasePage.h"
#include "ui/AwardedCasesPage.h"
#include "ui/CaseDetailPage.h"
#include "ui/Look.h"
#include "ui/OpenRequestsPage.h"
#include "ui/QuoteLoadWorker.h"
#include "workspace/RecordLines.h"
#include "workspace/SignedInUser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

namespace
{
// Page indexes of MainPageControl.
enum
{
    ActiveCasesPage,
    D1Page,
    D2Page,
    D3Page,
    AdminPage
};
// Tabs of the list page.
enum
{
    OpenCasesTab,
    DeliveryCasesTab
};

// Timer ticks after a load before the next one.
constexpr int TicksPerReload = 15;

// A label of the window's top strip; a notice is red and hidden until it is needed.
QLabel *MakeTopLabel(QWidget *parent, const char *name, const QString &text, const QFont &font,
                     const QRect &geometry, bool notice = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    if (notice)
    {
        label->setStyleSheet("color: rgb(255, 0, 0);");
        label->hide();
    }
    label->setGeometry(geometry);
    return label;
}

QWidget *MakeTab(QTabWidget *tabs, const char *name, const char *caption)
{
    auto *tab = new QWidget;
    tab->setObjectName(name);
    SetBackground(tab, WorkspaceBackground());
    tabs->addTab(tab, caption);
    return tab;
}
} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QWidget(parent), Session(::Session()), Reloads([this] { RunQuoteLoad(); }),
      Quotes(std::make_shared<cProviderQuotes>())
{
    setObjectName("MainForm");
    setWindowTitle("Hospital Discharge Provider");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(965, 621);
    setFont(SansFont(13));
    SetBackground(this, WorkspaceBackground());
    Switches = ReadClientSwitches(ClientIniPath(Session.ProgramFolder));

    CreateTopLevel();
    CreateListPage();
    CreatePages();
    CreateExtras();
    CreateKeyboardPath();
    PagePanels = {ActiveCasesPanel, CaseDetail, AwardedCase};
}

TMainForm::~TMainForm()
{
    Worker->Stop();
}

void TMainForm::CreateTopLevel()
{
    ProviderNameLabel = MakeTopLabel(this, "ProviderNameLabel", "", SansFont(16), QRect(8, 6, 420, 20));
    UserNameLabel = MakeTopLabel(this, "UserNameLabel", "", font(), QRect(600, 6, 357, 18));
    UserNameLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    NoNotificationLabel =
        MakeTopLabel(this, "NoNotificationLabel", "No one has been designated to receive notifications",
                     SansFont(16, true), QRect(8, 25, 560, 19), true);
    QuoteLoadNoticeLabel = MakeTopLabel(
        this, "QuoteLoadNoticeLabel", "The case requests could not be loaded; they are loaded again shortly.",
        SansFont(13, true), QRect(480, 25, 477, 18), true);
    QuoteLoadNoticeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QuoteLoadingLabel = MakeTopLabel(this, "QuoteLoadingLabel", "Loading the case requests...", SansFont(13),
                                     QRect(480, 25, 477, 18));
    QuoteLoadingLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QuoteLoadingLabel->hide();
    CreateMainPageControl();
    Worker = new cQuoteLoadWorker(this);
    connect(Worker, &cQuoteLoadWorker::Finished, this, &TMainForm::QuoteLoadFinished);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
}

void TMainForm::CreateMainPageControl()
{
    MainPageControl = new QTabWidget(this);
    MainPageControl->setObjectName("MainPageControl");
    MainPageControl->setTabPosition(QTabWidget::South);
    MainPageControl->setDocumentMode(true);
    MainPageControl->setGeometry(0, 44, 965, 577);
    ActiveCasesTab = MakeTab(MainPageControl, "ActiveCasesTab", " Active Cases ");
    QWidget *tabD1 = MakeTab(MainPageControl, "TabD1", "D1");
    MakeTab(MainPageControl, "TabD2", "D2");
    MakeTab(MainPageControl, "TabD3", "D3");
    // The " Admin " tab is the administration page (CreatePages).
    MainPageControl->setCurrentIndex(ActiveCasesPage);

    ActiveCasesPanel = new QFrame(tabD1);
    ActiveCasesPanel->setObjectName("ActiveCasesPanel");
    SetBackground(ActiveCasesPanel, WorkspaceBackground());
    ActiveCasesPanel->hide();
}

void TMainForm::CreateListPage()
{
    PageControl1 = new QTabWidget(ActiveCasesPanel);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(12, 4, 937, 533);
    RefreshRequestButton = new QPushButton("Refresh Requests", ActiveCasesPanel);
    RefreshRequestButton->setObjectName("RefreshRequestButton");
    RefreshRequestButton->setGeometry(788, 4, 120, 25);
    connect(RefreshRequestButton, &QPushButton::clicked, this, &TMainForm::RefreshRequestButtonClick);
    QuoteOpenNoticeLabel = MakeTopLabel(ActiveCasesPanel, "QuoteOpenNoticeLabel",
                                        "The request could not be opened; please try again.",
                                        SansFont(13, true), QRect(330, 8, 450, 18), true);
    QuoteOpenNoticeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Pages are made inside the window, so that they lay out with its font.
    OpenRequests = new cOpenRequestsPage(Switches.Search, PageControl1);
    PageControl1->addTab(OpenRequests, " Open Case Requests ");
    AwardedCases = new cAwardedCasesPage(Switches.Export, PageControl1);
    PageControl1->addTab(AwardedCases, " Awarded Cases ");
    PageControl1->setCurrentIndex(OpenCasesTab);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int index)
            {
                if (index == OpenCasesTab)
                    OpenCaseTabSheetShow();
                else if (index == DeliveryCasesTab)
                    DeliveryCaseTabSheetShow();
            });
    connect(OpenRequests, &cOpenRequestsPage::QuoteOpened, this, &TMainForm::OpenQuote);
    connect(AwardedCases, &cAwardedCasesPage::AwardedOpened, this, &TMainForm::OpenAwarded);
}

void TMainForm::CreatePages()
{
    CaseDetail = new cCaseDetailPage(Session, Reloads, Switches.Print, MainPageControl->widget(D2Page));
    connect(CaseDetail, &cCaseDetailPage::Loaded, this,
            [this]
            {
                QuoteOpenNoticeLabel->hide();
                ShowPage(2);
            });
    connect(CaseDetail, &cCaseDetailPage::LoadFailed, QuoteOpenNoticeLabel, &QLabel::show);
    connect(CaseDetail, &cCaseDetailPage::BackClicked, this, &TMainForm::CaseDetailBackButtonClick);
    AwardedCase = new cAwardedCasePage(Session, Reloads, Switches.Print, MainPageControl->widget(D3Page));
    connect(AwardedCase, &cAwardedCasePage::BackClicked, this, &TMainForm::CaseDetailBackButtonClick);
    Admin = new cAdminPage(Session, MainPageControl);
    MainPageControl->addTab(Admin, " Admin ");
    MainPageControl->setTabVisible(AdminPage, false);
    connect(Admin, &cAdminPage::ProviderRecordChanged, this, &TMainForm::ShowProviderName);
    connect(Admin, &cAdminPage::PersonnelSaved, this, &TMainForm::CheckNotificationRecipients);
}

void TMainForm::ShowSignedIn()
{
    // The window opens in the middle of the screen's work area.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setVisible(true);
    Timer1->start();
}

bool TMainForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Window managers (or their absence) may never activate the window; its first showing
    // counts as an activation then. FormActivate runs once either way.
    QTimer::singleShot(0, this, &TMainForm::FormActivate);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    StopQuoteLoads();
    event->accept();
    Host().Terminate();
}

void TMainForm::FormActivate()
{
    if (Activated || !isVisible())
        return;
    Activated = true;
    MainPageControl->setCurrentIndex(ActiveCasesPage);
    const cSignedInUser user = SignedInUser(Session.PersonnelRecord);
    InitWorkspace();
    if (!ReadProviderRecord())
    {
        Host().MessageBox("Couldn't find Hospital", "Error", cHostButtons::Ok);
        return;
    }
    Ready = true;
    QuoteLoadingLabel->show();
    ShowProviderName();
    Admin->ShowMyInformation();
    UserNameLabel->setText(ToQt(user.NameText));
    LoadProviderQuotes();
    MainPageControl->setTabVisible(AdminPage, user.IsAdmin);
    CheckNotificationRecipients();
}

void TMainForm::InitWorkspace()
{
    MainPageControl->setTabVisible(D1Page, false);
    MainPageControl->setTabVisible(D2Page, false);
    MainPageControl->setTabVisible(D3Page, false);
    // Administration shows only once the provider's record is read and the user may administer.
    MainPageControl->setTabVisible(AdminPage, false);
    ShowPage(1);
}

bool TMainForm::ReadProviderRecord()
{
    dbServerConnection *link = Session.DataServerConnection();
    return link && link->ReadRecord("ProviderEntities", SignedInUser(Session.PersonnelRecord).ProviderKey,
                                    Session.ProviderRecord);
}

void TMainForm::ShowProviderName()
{
    ProviderNameLabel->setText(ToQt(Session.ProviderRecord.Strings(CompanyNameLine)));
}

void TMainForm::ShowPage(int n)
{
    for (int i = 0; i < static_cast<int>(PagePanels.size()); ++i)
    {
        QFrame *panel = PagePanels[static_cast<std::size_t>(i)];
        if (i + 1 == n)
        {
            panel->setParent(ActiveCasesTab);
            panel->setGeometry(ActiveCasesTab->rect());
            panel->show();
        }
        else
            panel->hide();
    }
    // Moving a page into the tab threads its controls into the focus chain there; the list page's
    // order is laid down again.
    ChainListPage();
}

void TMainForm::CaseDetailBackButtonClick()
{
    ShowPage(1);
}

void TMainForm::OpenCaseTabSheetShow()
{
    LoadProviderQuotes();
}

void TMainForm::DeliveryCaseTabSheetShow()
{
    LoadProviderQuotes();
}

void TMainForm::OpenQuote(const cCaseQuoteObject &quote, const std::string &caseKey)
{
    cReloadGate::cHold hold(Reloads);
    CaseDetail->ShowQuoteDetail(quote, caseKey, OpenRequests->AcceptedColour());
}

void TMainForm::OpenAwarded(const cCaseQuoteObject &quote)
{
    cReloadGate::cHold hold(Reloads);
    AwardedCase->ShowAwardedCase(quote);
    ShowPage(3);
}

void TMainForm::ShowQuotes(std::shared_ptr<const cProviderQuotes> quotes)
{
    Quotes = std::move(quotes);
    OpenRequests->ShowQuotes(Quotes);
    AwardedCases->ShowQuotes(Quotes);
}

void TMainForm::ClearCaseLists()
{
    ShowQuotes(std::make_shared<cProviderQuotes>());
}

void TMainForm::LoadProviderQuotes()
{
    // Until the provider's record has been read, no load may ask for an unknown provider.
    if (Ready)
        Reloads.Request();
}

// The load runs beside the window (its own thread and link); the window's thread only swaps its
// result in. A load asked for while one runs follows it.
void TMainForm::RunQuoteLoad()
{
    RefreshTicks = 0;
    if (Loads.Ask())
        StartQuoteLoad();
}

void TMainForm::StartQuoteLoad()
{
    Worker->Start(Session.Addresses, SignedInUser(Session.PersonnelRecord).ProviderKey, Loads.Generation());
}

void TMainForm::QuoteLoadFinished(unsigned generation, std::shared_ptr<const cProviderQuotes> quotes)
{
    if (Loads.Ended(generation, std::move(quotes)))
        StartQuoteLoad();
    SwapInQuotes();
}

void TMainForm::SwapInQuotes()
{
    // Not under a handler that works with list entries, nor under a dialog: the next timer tick
    // (or the next end of a load) tries again.
    if (!Loads.ResultWaiting() || Reloads.Held() || QApplication::activeModalWidget())
        return;
    std::shared_ptr<const cProviderQuotes> quotes;
    Loads.TakeResult(quotes);
    QuoteLoadingLabel->hide();
    // A failed exchange leaves the lists empty and says so in the window.
    SetQuoteLoadNotice(!quotes);
    if (!quotes)
    {
        ClearCaseLists();
        return;
    }
    if (!quotes->Error.empty())
        Host().MessageBox(quotes->Error, "Error getting the quotes for the provider", cHostButtons::Ok);
    ShowQuotes(std::move(quotes));
    QuotesLoaded();
}

void TMainForm::StopQuoteLoads()
{
    Worker->Stop();
    Loads.Reset();
}

void TMainForm::SetQuoteLoadNotice(bool visible)
{
    QuoteLoadNoticeLabel->setVisible(visible);
}

void TMainForm::Timer1Timer()
{
    if (!Ready)
        return;
    SwapInQuotes();
    if (++RefreshTicks > TicksPerReload)
        LoadProviderQuotes();
}

void TMainForm::RefreshRequestButtonClick()
{
    Host().SetBusyCursor(true);
    // The busy cursor is drawn; no input runs, so a second click cannot start a refresh inside
    // this one.
    Host().RepaintWindows();
    // Everything that sends asks the session for its connection: nothing else holds one. The
    // quote loads' own link is closed too and opened again by the next load.
    StopQuoteLoads();
    if (!Session.Connect())
    {
        Host().SetBusyCursor(false);
        Host().Terminate();
        return;
    }
    LoadProviderQuotes();
    Host().SetBusyCursor(false);
}

void TMainForm::CheckNotificationRecipients()
{
    NoNotificationLabel->hide();
    cRecordBatch personnel;
    personnel.Open(Session.DataServerConnection(), "Personnel", "L3",
                   SignedInUser(Session.PersonnelRecord).ProviderKey, "", 0, 100, "f22,f29");
    for (bool more = personnel.First(); more; more = personnel.Next())
        if (!personnel.GetField("f22").empty() && personnel.GetField("f29") == "Y")
            return;
    NoNotificationLabel->show();
}
