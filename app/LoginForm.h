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
    void LoginButtonClick();

    cLabeledEdit *UserEdit = nullptr;
    cLabeledEdit *PasswordEdit = nullptr;
    QPushButton *LoginButton = nullptr;
    QFrame *UpdateIndicatorPanel = nullptr;
    QLabel *Label6 = nullptr;
    QProgressBar *UpdateProgressBar = nullptr;
    QLabel *ConnectingLabel = nullptr;

    std::string RunningExecutable;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void MakeLoginControls();
    void MakeUpdatePanel();
    // Shows "Connecting, please wait." in place of the login controls, or the controls again.
    void ShowConnecting(bool connecting);
};
