#include "dataclient/DebugSwitches.h"

bool DebugLogEnabled = false;
bool FieldWarningsEnabled = false;
std::string DebugLogPath = "c:\\Qz\\DbDebugLog.txt";
