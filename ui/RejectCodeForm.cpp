#include "ui/RejectCodeForm.h"

TRejectCodeForm::TRejectCodeForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("RejectCodeForm");
    setWindowTitle("   Please enter a reason for rejecting the quote.");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(583, 320);
}
