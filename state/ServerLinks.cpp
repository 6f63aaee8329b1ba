#include "state/ServerLinks.h"

#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "toolkit/Host.h"
#include "toolkit/IniFile.h"
#include "toolkit/Numbers.h"

cServerAddresses ServerAddresses;

cServerAddresses ReadServerAddresses(const std::string &iniPath)
{
    cIniFile ini(iniPath);
    cServerAddresses addresses;
    addresses.DataServerAddress = ini.ReadString("DataServer", "IP", "");
    addresses.DataServerPort = ini.ReadString("DataServer", "Port", "");
    addresses.FunctionServerAddress = ini.ReadString("FunctionServer", "IP", "");
    addresses.FunctionServerPort = ini.ReadString("FunctionServer", "Port", "");
    addresses.CertificateSHA256 = ini.ReadString("DataServer", "CertificateSHA256", "");
    const int timeout = StrToIntDef(ini.ReadString("DataServer", "ReplyTimeoutSeconds", ""), 0);
    if (timeout > 0)
        addresses.ReplyTimeoutSeconds = timeout;
    addresses.RequirePinnedServer = StrToIntDef(ini.ReadString("Update", "RequirePinnedServer", ""), 0) == 1;
    return addresses;
}

bool OpenServerConnections(const cServerAddresses &addresses)
{
    cSecureLinkSettings settings;
    settings.CertificateSHA256 = addresses.CertificateSHA256;
    settings.HandshakeMilliseconds = addresses.HandshakeMilliseconds;
    DataServerConnection =
        new dbServerConnection(addresses.DataServerAddress, addresses.DataServerPort, "DorvaneClient", "",
                               true, addresses.ReplyTimeoutSeconds, settings);
    if (!DataServerConnection->Connected())
    {
        Host().MessageBox("Unable to connect to data server", "Error", cHostButtons::Ok);
        return false;
    }
    FunctionServerConnection =
        new dbServerConnection(addresses.FunctionServerAddress, addresses.FunctionServerPort, "", "", false,
                               addresses.ReplyTimeoutSeconds);
    if (!FunctionServerConnection->Connected())
    {
        Host().MessageBox("Unable to connect to function server", "Error", cHostButtons::Ok);
        return false;
    }
    return true;
}

bool UpdateServerTrusted(const cServerAddresses &addresses)
{
    if (!addresses.RequirePinnedServer)
        return true;
    return DataServerConnection != nullptr && DataServerConnection->Pinned() &&
           DataServerConnection->SecureSettings.CertificateSHA256 == addresses.CertificateSHA256;
}

void CloseServerConnections()
{
    delete DataServerConnection;
    delete FunctionServerConnection;
    DataServerConnection = nullptr;
    FunctionServerConnection = nullptr;
}
