#include "ui/LockView.h"

#include "ui/Look.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

cLockView::cLockView(QWidget *parent) : QFrame(parent)
{
    setObjectName("LockView");
    SetBackground(this, WorkspaceBackground());
    setAutoFillBackground(true);

    auto *title = new QLabel("This window is locked", this);
    title->setObjectName("LockTitleLabel");
    title->setFont(SansFont(19, true));
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(0, 200, 965, 30);

    LockUserLabel = new QLabel(this);
    LockUserLabel->setObjectName("LockUserLabel");
    LockUserLabel->setAlignment(Qt::AlignCenter);
    LockUserLabel->setGeometry(0, 240, 965, 20);

    LockPasswordEdit = new QLineEdit(this);
    LockPasswordEdit->setObjectName("LockPasswordEdit");
    LockPasswordEdit->setEchoMode(QLineEdit::Password);
    LockPasswordEdit->setPlaceholderText("Password");
    LockPasswordEdit->setAccessibleName("Password");
    LockPasswordEdit->setGeometry(352, 274, 180, 24);

    auto *unlock = new QPushButton("Unlock", this);
    unlock->setObjectName("UnlockButton");
    unlock->setGeometry(538, 274, 75, 24);
    connect(unlock, &QPushButton::clicked, this, &cLockView::UnlockRequested);
    connect(LockPasswordEdit, &QLineEdit::returnPressed, this, &cLockView::UnlockRequested);

    LockErrorLabel = new QLabel(this);
    LockErrorLabel->setObjectName("LockErrorLabel");
    LockErrorLabel->setStyleSheet("color: rgb(255, 0, 0);");
    LockErrorLabel->setAlignment(Qt::AlignCenter);
    LockErrorLabel->setGeometry(0, 306, 965, 20);
    hide();
}

void cLockView::Cover(const QString &userText)
{
    LockUserLabel->setText(userText);
    LockPasswordEdit->clear();
    LockErrorLabel->clear();
    setGeometry(parentWidget()->rect());
    show();
    raise();
    LockPasswordEdit->setFocus();
}

QString cLockView::TakePassword()
{
    const QString password = LockPasswordEdit->text();
    LockPasswordEdit->clear();
    return password;
}

void cLockView::ShowError(const QString &text)
{
    LockErrorLabel->setText(text);
    LockPasswordEdit->setFocus();
}

cInputWatch::cInputWatch(std::function<void()> onInput, QObject *parent)
    : QObject(parent), OnInput(std::move(onInput))
{
}

bool cInputWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type())
    {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        OnInput();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
