#include "ui/PatientHealthDetailNoEditForm.h"

TPatientHealthDetailNoEditForm::TPatientHealthDetailNoEditForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("PatientHealthDetailNoEditForm");
    setWindowTitle("PatientHealthDetailNoEditForm");
    resize(1200, 702);
}
