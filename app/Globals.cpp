#include "app/Globals.h"

TLoginForm *LoginForm = nullptr;
TMainForm *MainForm = nullptr;
TCategorySelectionForm *CategorySelectionForm = nullptr;
TPatientHealthDetailNoEditForm *PatientHealthDetailNoEditForm = nullptr;
TRejectCodeForm *RejectCodeForm = nullptr;

dbServerConnection *DataServerConnection = nullptr;
dbServerConnection *FunctionServerConnection = nullptr;

std::string ProgramFolder;

cStringList *PersonnelRecord = nullptr;
