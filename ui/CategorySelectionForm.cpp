#include "ui/CategorySelectionForm.h"

TCategorySelectionForm::TCategorySelectionForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("CategorySelectionForm");
    // A borderless window: it draws its own frame and close mark.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(1078, 586);
}
