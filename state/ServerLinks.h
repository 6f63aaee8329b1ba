// Where the two servers are, as "Dorvane.ini" names them, and the step that opens both
// connections. The login window runs it at start; the main window's refresh runs it again.
#pragma once

#include <string>

struct cServerAddresses
{
    std::string DataServerAddress;
    std::string DataServerPort;
    std::string FunctionServerAddress;
    std::string FunctionServerPort;
};

// Reads the sections "DataServer" and "FunctionServer" (keys "IP" and "Port") of the ini file at
// `iniPath`; missing values are empty.
cServerAddresses ReadServerAddresses(const std::string &iniPath);

// The addresses read at start-up, used by every later reconnect.
extern cServerAddresses ServerAddresses;

// Opens both connections and stores them in DataServerConnection and FunctionServerConnection;
// false (after telling the user through the Host) when either is not connected. Connections
// that exist already are replaced without being deleted: the caller deletes them first.
bool OpenServerConnections(const cServerAddresses &addresses);

// Deletes both connections and empties them.
void CloseServerConnections();
