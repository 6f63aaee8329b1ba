// Program-wide state: the five windows, the two server connections, the folder of the running
// executable and the signed-in user's personnel record. All of it lives on the GUI thread.
#pragma once

#include "toolkit/StringList.h"

#include <string>

class TLoginForm;
class TMainForm;
class TCategorySelectionForm;
class TPatientHealthDetailNoEditForm;
class TRejectCodeForm;
class dbServerConnection;

extern TLoginForm *LoginForm;
extern TMainForm *MainForm;
extern TCategorySelectionForm *CategorySelectionForm;
extern TPatientHealthDetailNoEditForm *PatientHealthDetailNoEditForm;
extern TRejectCodeForm *RejectCodeForm;

// Made by TLoginForm::ConnectToServers; may be empty. The main window's refresh deletes both and
// empties them before it asks for new ones.
extern dbServerConnection *DataServerConnection;
extern dbServerConnection *FunctionServerConnection;

// Folder of the running executable with its trailing separator.
extern std::string ProgramFolder;

// The signed-in user's "Personnel" record, one value a line (line 23 is the password).
extern cStringList *PersonnelRecord;
