// The main window itself: construction, first activation, pages, the quote load and its refresh
// cycle, closing.
#include "ui/MainForm.h"

#include "binding/cCheckMultiSelectObject.h"
#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "state/ServerLinks.h"
#include "toolkit/Host.h"
#include "ui/Look.h"
#include "workspace/ListTexts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

cStringList *ProviderRecord = nullptr;

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

// Lines of the signed-in user's personnel record.
constexpr int KeyLine = 1;
constexpr int ProviderLine = 9;
constexpr int TitleLine = 10;
constexpr int FirstNameLine = 11;
constexpr int LastNameLine = 13;
constexpr int AdminLine = 26;
// Line of the provider's record that holds the company name.
constexpr int CompanyNameLine = 10;
// Timer ticks after a load before the next one.
constexpr int TicksPerReload = 15;

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string PersonnelLine(int line)
{
    return PersonnelRecord ? PersonnelRecord->Strings(line) : std::string();
}

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

QFrame *MakePagePanel(const char *name, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    SetBackground(panel, WorkspaceBackground());
    panel->hide();
    return panel;
}
} // namespace

TMainForm::cReloadHold::cReloadHold(TMainForm &form) : Form(form)
{
    ++Form.ReloadHolds;
}

TMainForm::cReloadHold::~cReloadHold()
{
    if (--Form.ReloadHolds == 0 && Form.ReloadPending)
    {
        Form.ReloadPending = false;
        Form.LoadProviderQuotes();
    }
}

TMainForm::TMainForm(QWidget *parent) : QWidget(parent)
{
    setObjectName("MainForm");
    setWindowTitle("Hospital Discharge Provider");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(965, 621);
    setFont(SansFont(13));
    SetBackground(this, WorkspaceBackground());

    if (!ProviderRecord)
        ProviderRecord = new cStringList;
    CreateTopLevel();
    CreateListPage();
    CreateCaseDetailPage();
    CreateAwardedCasePage();
    CreateAdminPage();
    CreateExtras();
    PagePanels = {ActiveCasesPanel, CaseDetailPanel, AcceptedCaseDetailPanel};
}

TMainForm::~TMainForm()
{
    ClearCaseLists();
    delete ProviderRecord;
    ProviderRecord = nullptr;
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
    CreateMainPageControl();
    ActiveCasesPanel = MakePagePanel("ActiveCasesPanel", TabD1);
    CaseDetailPanel = MakePagePanel("CaseDetailPanel", TabD2);
    AcceptedCaseDetailPanel = MakePagePanel("AcceptedCaseDetailPanel", TabD3);

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
    struct cPage
    {
        QWidget **Page;
        const char *Name;
        const char *Caption;
    };
    const cPage pages[] = {{&ActiveCasesTab, "ActiveCasesTab", " Active Cases "},
                           {&TabD1, "TabD1", "D1"},
                           {&TabD2, "TabD2", "D2"},
                           {&TabD3, "TabD3", "D3"},
                           {&AdminTab, "AdminTab", " Admin "}};
    for (const cPage &page : pages)
    {
        *page.Page = new QWidget;
        (*page.Page)->setObjectName(page.Name);
        SetBackground(*page.Page, WorkspaceBackground());
        MainPageControl->addTab(*page.Page, page.Caption);
    }
    MainPageControl->setCurrentIndex(ActiveCasesPage);
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
    event->accept();
    Host().Terminate();
}

void TMainForm::FormActivate()
{
    if (Activated || !isVisible())
        return;
    Activated = true;
    MainPageControl->setCurrentIndex(ActiveCasesPage);
    UserKey = PersonnelLine(KeyLine);
    IsAdmin = cStringList::CompareText(PersonnelLine(AdminLine), "Y") == 0;
    ProviderKey = PersonnelLine(ProviderLine);
    CaseDetailBinding = std::make_unique<cEditObjects>(DataServerConnection, "CaseNeedsQuote");
    InitWorkspace();
    if (!ReadProviderRecord())
    {
        Host().MessageBox("Couldn't find Hospital", "Error", cHostButtons::Ok);
        return;
    }
    WorkspaceReady = true;
    ProviderNameLabel->setText(Text(ProviderRecord->Strings(CompanyNameLine)));
    ShowMyInformation();
    UserNameLabel->setText(Text("User: " + PersonnelLine(TitleLine) + " " + PersonnelLine(FirstNameLine) +
                                " " + PersonnelLine(LastNameLine)));
    LoadProviderQuotes();
    MainPageControl->setTabVisible(AdminPage, IsAdmin);
    CheckNotificationRecipients();
}

void TMainForm::InitWorkspace()
{
    MainPageControl->setTabVisible(D1Page, false);
    MainPageControl->setTabVisible(D2Page, false);
    MainPageControl->setTabVisible(D3Page, false);
    InsuranceSelect = std::make_unique<cCheckMultiSelectObject>(InsuranceListBox, "InsuranceTypes",
                                                                "ProviderInsuranceLink");
    InsuranceSelect->SetLinkFields("L2", "L3", "L2", "f11", "f10", "f11");
    SetUpCaseDetailBinding();
    InsuranceSelect->SetOnChoicesChanged(
        [](void *form) { static_cast<TMainForm *>(form)->ShowAcceptedInsurance(); }, this);
    ShowPage(1);
}

bool TMainForm::ReadProviderRecord()
{
    return DataServerConnection &&
           DataServerConnection->ReadRecord("ProviderEntities", ProviderKey, *ProviderRecord);
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
}

void TMainForm::CaseDetailBackButtonClick()
{
    ShowPage(1);
}

void TMainForm::ClearCaseLists()
{
    OpenCaseTreeView->clear();
    DeliveryCaseListBox->clear();
    Quotes.Clear();
}

void TMainForm::LoadProviderQuotes()
{
    if (!WorkspaceReady)
        return;
    if (ReloadHolds > 0)
    {
        ReloadPending = true;
        return;
    }
    ++ReloadHolds;
    ClearCaseLists();
    RefreshTicks = 0;
    // A failed exchange leaves the lists empty and says so in the window; the text of an earlier
    // reply is never read again.
    // A link known to be lost is opened again first (the text exchange itself never reconnects),
    // and a reply that broke off counts as failed: the link is then marked lost.
    dbServerConnection *link = FunctionServerConnection;
    const bool sent = link && link->EnsureConnected() &&
                      link->SendText(cProviderQuotes::RequestText(ProviderKey)) && link->IsConnectedFlag;
    SetQuoteLoadNotice(!sent);
    if (sent)
    {
        Quotes.ReadReply(link->ReplyText);
        if (!Quotes.Error.empty())
            Host().MessageBox(Quotes.Error, "Error getting the quotes for the provider", cHostButtons::Ok);
        FillCaseLists();
        QuotesLoaded();
    }
    --ReloadHolds;
    // A load asked for while this one ran is covered by it.
    ReloadPending = false;
}

void TMainForm::SetQuoteLoadNotice(bool visible)
{
    QuoteLoadNoticeLabel->setVisible(visible);
}

void TMainForm::FillCaseLists()
{
    FillOpenCaseTree();
    FillDeliveryCaseList();
}

void TMainForm::Timer1Timer()
{
    if (!WorkspaceReady)
        return;
    if (++RefreshTicks > TicksPerReload)
        LoadProviderQuotes();
}

void TMainForm::RefreshRequestButtonClick()
{
    Host().SetBusyCursor(true);
    Host().ProcessMessages();
    CloseServerConnections();
    const bool connected = OpenServerConnections(ServerAddresses);
    // The bindings keep the connection they were given; they get the new one (or none, so that
    // none of them writes over a deleted one).
    if (CaseDetailBinding)
        CaseDetailBinding->Connection = DataServerConnection;
    if (InsuranceSelect)
        InsuranceSelect->SetConnection(DataServerConnection);
    if (!connected)
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
    personnel.Open(DataServerConnection, "Personnel", "L3", ProviderKey, "", 0, 100, "f22,f29");
    for (bool more = personnel.First(); more; more = personnel.Next())
        if (!personnel.GetField("f22").empty() && personnel.GetField("f29") == "Y")
            return;
    NoNotificationLabel->show();
}

std::string TMainForm::FormatServerDate(const std::string &text)
{
    return ::FormatServerDate(text);
}
