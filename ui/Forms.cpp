#include "ui/Forms.h"

#include "ui/CategorySelectionForm.h"
#include "ui/MainForm.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"

TLoginForm *LoginForm = nullptr;
TMainForm *MainForm = nullptr;
TCategorySelectionForm *CategorySelectionForm = nullptr;
TPatientHealthDetailNoEditForm *PatientHealthDetailNoEditForm = nullptr;
TRejectCodeForm *RejectCodeForm = nullptr;

void CreateWorkspaceForms()
{
    MainForm = new TMainForm;
    CategorySelectionForm = new TCategorySelectionForm;
    PatientHealthDetailNoEditForm = new TPatientHealthDetailNoEditForm;
    RejectCodeForm = new TRejectCodeForm;
}

void DeleteWorkspaceForms()
{
    delete RejectCodeForm;
    RejectCodeForm = nullptr;
    delete PatientHealthDetailNoEditForm;
    PatientHealthDetailNoEditForm = nullptr;
    delete CategorySelectionForm;
    CategorySelectionForm = nullptr;
    delete MainForm;
    MainForm = nullptr;
}
