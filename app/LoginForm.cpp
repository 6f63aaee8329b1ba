#include "app/LoginForm.h"

#include "app/ClientUpdate.h"
#include "app/UpdateTrust.h"
#include "binding/cLabeledEdit.h"
#include "dataclient/ExchangeTimeLimit.h"
#include "dataclient/KnownServers.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/Host.h"
#include "ui/Forms.h"
#include "ui/Look.h"
#include "ui/MainForm.h"
#include "workspace/ClientSwitches.h"
#include "workspace/SignedInUser.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <memory>

namespace
{
const char *const NoAnswerText = "The data server did not answer. Please try again.";

// Masks a password edit with '*' (the platform style would draw bullets).
class cStarMaskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

TLoginForm::TLoginForm(const std::string &programFolder, const std::string &runningExecutable,
                       QWidget *parent)
    : QWidget(parent), RunningExecutable(runningExecutable), KnownServersFile(KnownServersPath())
{
    setObjectName("LoginForm");
    setWindowTitle("Hospital Discharge Provider Login");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(358, 171);
    setFont(SansFont(11));
    MakeLoginControls();
    MakeUpdatePanel();

    // Configuration: Dorvane.ini beside the executable, else in the user's configuration folder.
    cSession &session = Session();
    session.Close();
    session.ProgramFolder = programFolder;
    session.Addresses = ReadServerAddresses(ClientIniPath(programFolder));
    session.PersonnelRecord.Clear();
}

// E-mail and password edits, the Log In button, and the "Connecting" notice shown in their place.
void TLoginForm::MakeLoginControls()
{
    UserEdit = new cLabeledEdit("UserEdit", "Email ", this);
    UserEdit->Place(96, 32, 225);
    PasswordEdit = new cLabeledEdit("PasswordEdit", "Password ", this);
    auto *maskStyle = new cStarMaskStyle;
    maskStyle->setParent(PasswordEdit);
    PasswordEdit->setStyle(maskStyle);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->Place(96, 68, 225);
    LoginButton = new QPushButton("Log In", this);
    LoginButton->setObjectName("LoginButton");
    LoginButton->setAutoDefault(false); // Enter does not sign in
    LoginButton->setDefault(false);
    LoginButton->setGeometry(140, 112, 75, 25);
    setTabOrder(UserEdit, PasswordEdit);
    setTabOrder(PasswordEdit, LoginButton);
    connect(LoginButton, &QPushButton::clicked, this, &TLoginForm::LoginButtonClick);

    ConnectingLabel = new QLabel("Connecting, please wait.", this);
    ConnectingLabel->setObjectName("ConnectingLabel");
    QFont bold = ConnectingLabel->font();
    bold.setBold(true);
    ConnectingLabel->setFont(bold);
    ConnectingLabel->setAlignment(Qt::AlignCenter);
    ConnectingLabel->setGeometry(0, 72, 358, 24);
    ConnectingLabel->hide();
}

// The raised panel with caption, text and progress bar that covers the window during an update.
void TLoginForm::MakeUpdatePanel()
{
    UpdateIndicatorPanel = new QFrame(this);
    UpdateIndicatorPanel->setObjectName("UpdateIndicatorPanel");
    UpdateIndicatorPanel->setFrameShape(QFrame::Panel);
    UpdateIndicatorPanel->setFrameShadow(QFrame::Raised);
    UpdateIndicatorPanel->setAutoFillBackground(true);
    UpdateIndicatorPanel->setGeometry(8, 8, 342, 155);
    auto *panelCaption = new QLabel("Updating To Newer Version", UpdateIndicatorPanel);
    QFont captionFont = panelCaption->font();
    captionFont.setBold(true);
    captionFont.setPixelSize(19);
    panelCaption->setFont(captionFont);
    panelCaption->setAlignment(Qt::AlignCenter);
    panelCaption->setGeometry(0, 20, 342, 30);
    Label6 = new QLabel("Please wait...", UpdateIndicatorPanel);
    Label6->setObjectName("Label6");
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setGeometry(0, 60, 342, 20);
    UpdateProgressBar = new QProgressBar(UpdateIndicatorPanel);
    UpdateProgressBar->setObjectName("UpdateProgressBar");
    UpdateProgressBar->setAccessibleName("Update progress");
    UpdateProgressBar->setRange(0, 100);
    UpdateProgressBar->setValue(0);
    UpdateProgressBar->setGeometry(24, 100, 294, 20);
    UpdateIndicatorPanel->hide();
}

void TLoginForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QScreen *screen = this->screen())
    {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // Until the first-showing work is done, the window says that it is connecting.
    if (!Session().DataServerConnection())
        ShowConnecting(true);
}

void TLoginForm::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The connection attempts block, so they run from the event loop once the window has been
    // painted: the user sees "Connecting, please wait." while they run.
    if (!Session().DataServerConnection())
        QTimer::singleShot(0, this, &TLoginForm::FormPaint);
}

void TLoginForm::ShowConnecting(bool connecting)
{
    UserEdit->setVisible(!connecting);
    PasswordEdit->setVisible(!connecting);
    LoginButton->setVisible(!connecting);
    ConnectingLabel->setVisible(connecting);
}

bool TLoginForm::ConnectToServers()
{
    return Session().Connect();
}

void TLoginForm::FormPaint()
{
    if (Session().DataServerConnection())
        return; // first showing only; a failed attempt is not retried
    Host().SetBusyCursor(true);
    bool connected = false;
    {
        cExchangeTimeLimit limit(WaitLimitMilliseconds);
        connected = ConnectToServers();
    }
    Host().SetBusyCursor(false);
    if (!connected)
    {
        Host().Terminate();
        return;
    }
    ShowConnecting(false);
    CheckForUpdate();
}

void TLoginForm::CheckForUpdate()
{
    cSession &session = Session();
    // The server's certificate is remembered or compared before anything is asked of it.
    const cUpdateTrust trust =
        DataServerTrustForUpdate(*session.DataServerConnection(), session.Addresses, KnownServersFile,
                                 ClientIniPath(session.ProgramFolder));
    // With [Update] RequirePinnedServer=1, code is only taken from a server whose certificate
    // matched the pin.
    if (!trust.Allowed || !session.UpdateServerTrusted())
        return;
    std::unique_ptr<cClientUpdate> update;
    {
        cExchangeTimeLimit limit(WaitLimitMilliseconds);
        update = std::make_unique<cClientUpdate>(session.DataServerConnection(),
                                                 "Clients\\DorvaneProvider.exe", session.ProgramFolder,
                                                 nullptr, nullptr, UpdateProgressBar, RunningExecutable,
                                                 cUpdateChecks{trust.CertificateSHA256, UpdatePublicKey});
    }
    if (update->UpdateNeeded)
    {
        UpdateIndicatorPanel->show();
        // When the update could not be made, the panel goes so that the user can sign in.
        if (!update->RunUpdate())
            UpdateIndicatorPanel->hide();
    }
}

void TLoginForm::LoginButtonClick()
{
    ShowConnecting(true);
    Host().SetBusyCursor(true);
    Host().RepaintWindows();

    cSession &session = Session();
    bool found = false;
    {
        cExchangeTimeLimit limit(WaitLimitMilliseconds);
        found = session.ReadPersonnel(UserEdit->text().toStdString(), session.PersonnelRecord);
    }
    Host().SetBusyCursor(false);
    const dbServerConnection *link = session.DataServerConnection();
    if (!found && link && !link->IsConnectedFlag)
    {
        // No answer (silence, a trickle, a broken link): nothing was judged, so the user may try
        // again; the next request reconnects.
        Host().MessageBox(NoAnswerText, "Error", cHostButtons::Ok);
        ShowConnecting(false);
        return;
    }
    // A record too short to hold a password is refused like a wrong one, and an empty password is
    // never accepted, whatever the record holds.
    const bool accepted =
        found && PasswordAccepted(session.PersonnelRecord, PasswordEdit->text().toStdString());
    if (!accepted)
    {
        Host().MessageBox("Invalid login", "Error", cHostButtons::Ok);
        Host().Terminate();
        return;
    }
    if (MainForm)
        MainForm->ShowSignedIn();
    hide();
}
