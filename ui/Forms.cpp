#include "ui/Forms.h"

TLoginForm *LoginForm = nullptr;
TMainForm *MainForm = nullptr;
TCategorySelectionForm *CategorySelectionForm = nullptr;
TPatientHealthDetailNoEditForm *PatientHealthDetailNoEditForm = nullptr;
TRejectCodeForm *RejectCodeForm = nullptr;
