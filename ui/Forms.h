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
