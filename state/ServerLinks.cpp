#include "state/ServerLinks.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/Host.h"
#include "toolkit/IniFile.h"

cServerAddresses ServerAddresses;

cServerAddresses ReadServerAddresses(const std::string &iniPath)
{
    cIniFile ini(iniPath);
    cServerAddresses addresses;
    addresses.DataServerAddress = ini.ReadString("DataServer", "IP", "");
    addresses.DataServerPort = ini.ReadString("DataServer", "Port", "");
    addresses.FunctionServerAddress = ini.ReadString("FunctionServer", "IP", "");
    addresses.FunctionServerPort = ini.ReadString("FunctionServer", "Port", "");
    return addresses;
}

bool OpenServerConnections(const cServerAddresses &addresses)
{
    DataServerConnection = new dbServerConnection(addresses.DataServerAddress, addresses.DataServerPort,
                                                  "DorvaneClient", "", true, -1);
    if (!DataServerConnection->Connected())
    {
        Host().MessageBox("Unable to connect to data server", "Error", cHostButtons::Ok);
        return false;
    }
    FunctionServerConnection = new dbServerConnection(addresses.FunctionServerAddress,
                                                      addresses.FunctionServerPort, "", "", false, -1);
    if (!FunctionServerConnection->Connected())
    {
        Host().MessageBox("Unable to connect to function server", "Error", cHostButtons::Ok);
        return false;
    }
    return true;
}

void CloseServerConnections()
{
    delete DataServerConnection;
    delete FunctionServerConnection;
    DataServerConnection = nullptr;
    FunctionServerConnection = nullptr;
}
