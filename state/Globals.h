// Program-wide state shared by the login and the workspace: the two server connections, the
// folder of the running executable and the signed-in user's personnel record. All of it lives on
// the GUI thread. The window pointers are the windows' own (ui/Forms.h).
#pragma once

#include "toolkit/StringList.h"

#include <string>

class dbServerConnection;

// Made by OpenServerConnections; may be empty. The main window's refresh deletes both and
// empties them before it asks for new ones.
extern dbServerConnection *DataServerConnection;
extern dbServerConnection *FunctionServerConnection;

// Folder of the running executable with its trailing separator.
extern std::string ProgramFolder;

// The signed-in user's "Personnel" record, one value a line (line 23 is the password).
extern cStringList *PersonnelRecord;
