// The cover of the locked main window: who is signed in, a password field and "Unlock". It is
// opaque, so nothing of the window behind it shows.
#pragma once

#include <QFrame>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class cLockView : public QFrame
{
    Q_OBJECT

public:
    explicit cLockView(QWidget *parent);

    // Empties the field and the error line and names the user; the view covers its parent.
    void Cover(const QString &userText);
    void ShowError(const QString &text);
    // The password typed; the field is emptied.
    QString TakePassword();

signals:
    // "Unlock" clicked, or Enter in the password field.
    void UnlockRequested();

private:
    QLabel *LockUserLabel = nullptr;
    QLineEdit *LockPasswordEdit = nullptr;
    QLabel *LockErrorLabel = nullptr;
};

// Calls OnInput for every key press, mouse press or move and wheel turn of the application.
class cInputWatch : public QObject
{
public:
    explicit cInputWatch(std::function<void()> onInput, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> OnInput;
};
