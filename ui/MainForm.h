// The provider's workspace window. Sign-in makes it visible and enables its refresh timer.
#pragma once

#include <QWidget>

class QTimer;

class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);

    // Refresh clock: disabled until sign-in enables it; ticks every second.
    QTimer *Timer1 = nullptr;
};
