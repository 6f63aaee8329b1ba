// One DorvaneServer for the whole test binary, started on first use.
#pragma once

#include "dataclient/dbServerConnection.h"
#include "tests/server/ServerProcess.h"

#include <memory>

cServerProcess &SharedServer();
// A signed-on data connection and a function connection to the shared server (20 s waits).
std::unique_ptr<dbServerConnection> DataConnection(const std::string &programID = "DorvaneClient");
std::unique_ptr<dbServerConnection> FunctionConnection();

// Demo keys: the provider and its administrator are the first records of their tables.
inline const std::string ProviderSeq = "1";
