#include "ui/MainForm.h"

#include <QTimer>

TMainForm::TMainForm(QWidget *parent) : QWidget(parent)
{
    setObjectName("MainForm");
    setWindowTitle("Hospital Discharge Provider");
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(965, 621);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
}
