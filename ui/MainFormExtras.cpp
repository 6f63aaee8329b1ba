// The office extras that belong to the window itself: the new-request alert after a load and the
// idle lock. The search and the export are their pages' own.
#include "ui/MainForm.h"

#include "state/Session.h"
#include "ui/LockView.h"
#include "ui/Look.h"
#include "ui/OpenRequestsPage.h"
#include "workspace/RecordLines.h"
#include "workspace/SignedInUser.h"

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>

namespace
{
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
    setWindowIcon(ProgramIcon());
    CreateLock();
}

void TMainForm::QuotesLoaded()
{
    // A reply with an error is not a load: its empty lists would make every quote new again.
    if (!Quotes->Error.empty())
        return;
    const cQuoteAlert alert = QuoteWatch.Update(*Quotes);
    if (Switches.Alerts && alert.Count > 0)
        RaiseNewQuoteAlert(alert);
}

void TMainForm::RaiseNewQuoteAlert(const cQuoteAlert &alert)
{
    ++AlertLog.Raised;
    AlertLog.Title = alert.Title();
    // Hospital names stay off the desktop while the window is locked.
    AlertLog.Body = IsLocked() ? std::string() : alert.Body();
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
    AlertTrayIcon->showMessage(ToQt(AlertLog.Title), ToQt(AlertLog.Body), QSystemTrayIcon::Information);
}

void TMainForm::AlertClicked()
{
    if (!Activated)
        return;
    MainPageControl->setCurrentIndex(0);
    ShowPage(1);
    PageControl1->setCurrentWidget(OpenRequests);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMainForm::CreateLock()
{
    LockView = new cLockView(this);
    connect(LockView, &cLockView::UnlockRequested, this, &TMainForm::UnlockButtonClick);
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
    MaskLists(true);
}

// The pages are hidden behind the lock, but a list's lines report themselves as showing to the
// accessibility bus whatever their view's parents do; their models are masked instead, so the
// lines keep their places, keys and selection while reading as empty. Loads go on into them.
void TMainForm::MaskLists(bool masked)
{
    for (QAbstractItemView *view : findChildren<QAbstractItemView *>())
    {
        QAbstractItemModel *model = view->model();
        if (auto *proxy = qobject_cast<QAbstractProxyModel *>(model))
            model = proxy->sourceModel();
        if (model && model->metaObject()->indexOfMethod("SetMasked(bool)") >= 0)
            QMetaObject::invokeMethod(model, "SetMasked", Q_ARG(bool, masked));
    }
}

void TMainForm::UnlockButtonClick()
{
    if (!IsLocked())
        return;
    const std::string entered = ToStd(LockView->TakePassword());
    // The user's record is read again, as the sign-in reads it, and checked by the same rule.
    const std::string email = Session.PersonnelRecord.Strings(PersonnelEmailLine);
    cStringList record;
    if (email.empty() || !Session.ReadPersonnel(email, record))
    {
        LockView->ShowError("The password could not be checked; please try again.");
        return;
    }
    if (!PasswordAccepted(record, entered))
    {
        LockView->ShowError("Invalid password");
        return;
    }
    MaskLists(false);
    MainPageControl->show();
    LockView->hide();
    IdleClock.Touch();
}
