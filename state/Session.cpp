#include "state/Session.h"

#include "dataclient/dbServerConnection.h"
#include "toolkit/Host.h"

cSession::cSession() = default;

cSession::~cSession() = default;

cSession &Session()
{
    static cSession session;
    return session;
}

cLinkSource cSession::DataLink()
{
    return [this] { return Data.get(); };
}

cLinkSource cSession::FunctionLink()
{
    return [this] { return Function.get(); };
}

bool cSession::Connect()
{
    Close();
    cSecureLinkSettings settings;
    settings.CertificateSHA256 = Addresses.CertificateSHA256;
    settings.HandshakeMilliseconds = Addresses.HandshakeMilliseconds;
    Data = std::make_unique<dbServerConnection>(Addresses.DataServerAddress, Addresses.DataServerPort,
                                                "DorvaneClient", "", true, Addresses.ReplyTimeoutSeconds,
                                                settings);
    if (!Data->Connected())
    {
        Host().MessageBox("Unable to connect to data server", "Error", cHostButtons::Ok);
        return false;
    }
    Function =
        std::make_unique<dbServerConnection>(Addresses.FunctionServerAddress, Addresses.FunctionServerPort,
                                             "", "", false, Addresses.ReplyTimeoutSeconds);
    if (!Function->Connected())
    {
        Host().MessageBox("Unable to connect to function server", "Error", cHostButtons::Ok);
        return false;
    }
    return true;
}

void cSession::Close()
{
    Data.reset();
    Function.reset();
}

std::unique_ptr<dbServerConnection>
cSession::ReplaceDataServerConnection(std::unique_ptr<dbServerConnection> link)
{
    Data.swap(link);
    return link;
}

std::unique_ptr<dbServerConnection>
cSession::ReplaceFunctionServerConnection(std::unique_ptr<dbServerConnection> link)
{
    Function.swap(link);
    return link;
}

bool cSession::ReadPersonnel(const std::string &email, cStringList &record) const
{
    return Data && Data->ReadList("Personnel", 4, email, "", record);
}

bool cSession::UpdateServerTrusted() const
{
    if (!Addresses.RequirePinnedServer)
        return true;
    return Data && Data->Pinned() && Data->SecureSettings.CertificateSHA256 == Addresses.CertificateSHA256;
}
