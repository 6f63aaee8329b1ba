// The login window: connects to both servers on its first showing, runs the self-update check,
// and signs the user in against the "Personnel" table.
#pragma once

#include <QWidget>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class cLabeledEdit;

class TLoginForm : public QWidget
{
    Q_OBJECT

public:
    // programFolder: folder of the running executable with its trailing separator, where
    // "Dorvane.ini" is read. runningExecutable: the file that was started (its date is compared
    // by the self-update); empty means this process's own executable.
    explicit TLoginForm(const std::string &programFolder, const std::string &runningExecutable = "",
                        QWidget *parent = nullptr);

    // Opens both server connections in the session; false (after telling the user) when either
    // is not connected. The work is the session's.
    bool ConnectToServers();
    // First-showing work, run once the window has been painted: connect, then the self-update.
    // Does nothing once a data-server connection exists.
    void FormPaint();
    // Reads the user's record and signs in. The request ends within WaitLimitMilliseconds; when
    // the data server gave no answer the user is told so and may try again.
    void LoginButtonClick();

    cLabeledEdit *UserEdit = nullptr;
    cLabeledEdit *PasswordEdit = nullptr;
    QPushButton *LoginButton = nullptr;
    QFrame *UpdateIndicatorPanel = nullptr;
    QLabel *Label6 = nullptr;
    QProgressBar *UpdateProgressBar = nullptr;
    QLabel *ConnectingLabel = nullptr;

    std::string RunningExecutable;
    // Bound on each wait of the login window, whatever the server does: connecting at the first
    // showing, the check for a newer copy, and the request of "Log In". The window is repainted
    // and the cursor is busy while they wait.
    int WaitLimitMilliseconds = DefaultWaitLimitMilliseconds;
    static constexpr int DefaultWaitLimitMilliseconds = 25000;
    // The update-signing public key (PEM) of this build, set by the program's entry; "": none.
    std::string UpdatePublicKey;
    // Where the data servers met so far are remembered; by default in the user's configuration
    // folder ("" when there is none, and then the self-update does not run without a pin).
    std::string KnownServersFile;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void MakeLoginControls();
    void MakeUpdatePanel();
    // Shows "Connecting, please wait." in place of the login controls, or the controls again.
    void ShowConnecting(bool connecting);
    // The self-update after connecting: only from a trusted data server, with the build's checks.
    void CheckForUpdate();
};
