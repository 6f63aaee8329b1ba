// Process-wide debug switches of the data-server client. Both stay false: nothing in the program
// turns them on, they exist for a developer's own build.
#pragma once

#include <string>

// Turns on the trace file written by dbServerConnection::WriteDebugLog.
extern bool DebugLogEnabled;
// Turns on the message box shown when a record set is asked for a field it does not hold.
extern bool FieldWarningsEnabled;
// Path of the trace file.
extern std::string DebugLogPath;
