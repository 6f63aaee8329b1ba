#include "state/ServerLinks.h"

#include "toolkit/IniFile.h"
#include "toolkit/Numbers.h"

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
