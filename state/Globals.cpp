#include "state/Globals.h"

dbServerConnection *DataServerConnection = nullptr;
dbServerConnection *FunctionServerConnection = nullptr;

std::string ProgramFolder;

cStringList *PersonnelRecord = nullptr;
