// The program's five windows, created once by the entry in a fixed order and kept until it ends.
#pragma once

class TLoginForm;
class TMainForm;
class TCategorySelectionForm;
class TPatientHealthDetailNoEditForm;
class TRejectCodeForm;

extern TLoginForm *LoginForm;
extern TMainForm *MainForm;
extern TCategorySelectionForm *CategorySelectionForm;
extern TPatientHealthDetailNoEditForm *PatientHealthDetailNoEditForm;
extern TRejectCodeForm *RejectCodeForm;

// Creates the four windows after the login window, hidden, in the entry's order: the main window,
// the category dialog, the health detail view and the reject dialog.
void CreateWorkspaceForms();
// Deletes them in the reverse order (each pointer set to nullptr).
void DeleteWorkspaceForms();
