// The office extras of the main window besides the search: the switches, the new-request alert
// after a load, the export of the awarded cases and the idle lock.
#include "ui/MainForm.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/Host.h"
#include "ui/LockView.h"
#include "workspace/CsvExport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

namespace
{
// Lines of the personnel record: the e-mail address the user signs in with, the password.
constexpr int EmailLine = 22;
constexpr int PasswordLine = 23;

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The program's icon: a white cross on a blue rounded square.
QIcon ProgramIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(31, 94, 168));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(26, 12, 12, 40));
    painter.drawRect(QRectF(12, 26, 40, 12));
    return QIcon(pixmap);
}
} // namespace

void TMainForm::CreateExtras()
{
    Switches = ReadClientSwitches(ClientIniPath(ProgramFolder));
    setWindowIcon(ProgramIcon());
    CreateOpenCaseSearch();
    CreateExportButton();
    CreateLock();
}

void TMainForm::QuotesLoaded()
{
    OpenCaseFilter.Index(Quotes.OpenCases);
    ApplyOpenCaseFilter();
    // A reply with an error is not a load: its empty lists would make every quote new again.
    if (!Quotes.Error.empty())
        return;
    const cQuoteAlert alert = QuoteWatch.Update(Quotes);
    if (Switches.Alerts && alert.Count > 0)
        RaiseNewQuoteAlert(alert);
}

void TMainForm::RaiseNewQuoteAlert(const cQuoteAlert &alert)
{
    ++AlertsRaised;
    LastAlertTitle = alert.Title();
    // Hospital names stay off the desktop while the window is locked.
    LastAlertBody = IsLocked() ? std::string() : alert.Body();
    QApplication::alert(this);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!AlertTrayIcon)
    {
        AlertTrayIcon = new QSystemTrayIcon(windowIcon(), this);
        AlertTrayIcon->setToolTip(windowTitle());
        connect(AlertTrayIcon, &QSystemTrayIcon::messageClicked, this, &TMainForm::AlertClicked);
        connect(AlertTrayIcon, &QSystemTrayIcon::activated, this, &TMainForm::AlertClicked);
    }
    AlertTrayIcon->show();
    AlertTrayIcon->showMessage(Text(LastAlertTitle), Text(LastAlertBody), QSystemTrayIcon::Information);
}

void TMainForm::AlertClicked()
{
    if (!Activated)
        return;
    MainPageControl->setCurrentIndex(0);
    ShowPage(1);
    PageControl1->setCurrentWidget(OpenCaseTabSheet);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMainForm::CreateExportButton()
{
    ExportButton = new QPushButton("Export...", DeliveryCaseTabSheet);
    ExportButton->setObjectName("ExportButton");
    ExportButton->setGeometry(810, 4, 100, 25);
    ExportButton->setAutoDefault(false);
    connect(ExportButton, &QPushButton::clicked, this, &TMainForm::ExportButtonClick);
    ExportButton->setVisible(Switches.Export);
}

void TMainForm::ExportButtonClick()
{
    std::string path;
    if (AskExportPath)
        path = AskExportPath();
    else
        path = QFileDialog::getSaveFileName(this, "Export Awarded Cases",
                                            QDir::homePath() + "/awarded-cases.csv",
                                            "CSV files (*.csv);;All files (*)")
                   .toStdString();
    if (!path.empty())
        ExportAwardedCases(path);
}

bool TMainForm::ExportAwardedCases(const std::string &path)
{
    std::string error;
    if (WriteFileReplacing(path, AwardedCasesCsv(Quotes.Awarded), error))
        return true;
    Host().MessageBox("The awarded cases could not be written to " + path + " (" + error + ").", "Export",
                      cHostButtons::Ok);
    return false;
}

void TMainForm::CreateLock()
{
    LockView = new cLockView(this);
    connect(LockView->UnlockButton, &QPushButton::clicked, this, &TMainForm::UnlockButtonClick);
    connect(LockView->LockPasswordEdit, &QLineEdit::returnPressed, this, &TMainForm::UnlockButtonClick);
    IdleClock.SetMinutes(Switches.LockMinutes);
    IdleTimer = new QTimer(this);
    IdleTimer->setObjectName("IdleTimer");
    IdleTimer->setInterval(1000);
    connect(IdleTimer, &QTimer::timeout, this, &TMainForm::CheckIdleLock);
    if (Switches.LockMinutes > 0)
    {
        qApp->installEventFilter(new cInputWatch([this] { IdleClock.Touch(); }, this));
        IdleTimer->start();
    }
}

bool TMainForm::IsLocked() const
{
    return LockView && !LockView->isHidden();
}

void TMainForm::CheckIdleLock()
{
    // Until the workspace is shown the idle time does not run; a modal dialog in front is left
    // to be closed first (the lock could not take input behind it).
    if (!Activated || !isVisible())
        IdleClock.Touch();
    else if (!IsLocked() && IdleClock.IsDue() && !QApplication::activeModalWidget())
        LockWorkspace();
}

void TMainForm::LockWorkspace()
{
    LockView->Cover(UserNameLabel->text());
    MainPageControl->hide();
}

void TMainForm::UnlockButtonClick()
{
    if (!IsLocked())
        return;
    const std::string entered = LockView->LockPasswordEdit->text().toStdString();
    LockView->LockPasswordEdit->clear();
    const std::string email = PersonnelRecord ? PersonnelRecord->Strings(EmailLine) : std::string();
    cStringList record;
    if (email.empty() || !DataServerConnection ||
        !DataServerConnection->ReadList("Personnel", 4, email, "", record))
    {
        LockView->ShowError("The password could not be checked; please try again.");
        return;
    }
    if (record.Count() <= PasswordLine || record.Strings(PasswordLine) != entered)
    {
        LockView->ShowError("Invalid password");
        return;
    }
    MainPageControl->show();
    LockView->hide();
    IdleClock.Touch();
}
