#include "app/UpdateTrust.h"

#include "dataclient/KnownServers.h"
#include "dataclient/dbServerConnection.h"
#include "state/ServerLinks.h"
#include "toolkit/Host.h"

namespace
{
const char *const ChangedCaption = "Data server certificate changed";
const char *const NotRememberedCaption = "Data server certificate not remembered";

std::string ChangedText(const std::string &server, const cServerTrust &trust, const std::string &file,
                        const std::string &sha256, const std::string &iniPath)
{
    return "The data server " + server +
           " shows another certificate than the one this computer remembers for it, so this program "
           "was not updated. You can sign in and work as usual.\n\n"
           "If your office has changed the server's certificate, accept the new one: delete the line\n" +
           trust.Line + "\nfrom " + file + ",\nor set CertificateSHA256=" + sha256 +
           " in section [DataServer] of " + iniPath +
           ".\nOtherwise tell your office: someone may be standing between you and the server.";
}
} // namespace

cUpdateTrust DataServerTrustForUpdate(dbServerConnection &link, const cServerAddresses &addresses,
                                      const std::string &knownServersFile, const std::string &iniPath)
{
    cUpdateTrust trust;
    if (!link.Connected())
        return trust;
    // A pinned link only ever connects to the pinned certificate.
    if (!addresses.CertificateSHA256.empty())
    {
        trust.Allowed = link.Pinned();
        return trust;
    }
    const std::string sha256 = link.PeerCertificateSHA256();
    const std::string server = link.ServerName();
    const cServerTrust known = CheckKnownServer(knownServersFile, server, sha256);
    switch (known.Trust)
    {
    case eServerTrust::FirstContact:
    case eServerTrust::Known:
        trust.Allowed = true;
        trust.CertificateSHA256 = sha256;
        break;
    case eServerTrust::Changed:
        Host().MessageBox(ChangedText(server, known, knownServersFile, sha256, iniPath), ChangedCaption,
                          cHostButtons::Ok);
        break;
    case eServerTrust::Failed:
        Host().MessageBox(
            "The certificate of the data server " + server + " could not be remembered in " +
                (knownServersFile.empty() ? std::string("the configuration folder") : knownServersFile) +
                ": " + known.Error + ".\nThis program was not updated. You can sign in and work as usual.",
            NotRememberedCaption, cHostButtons::Ok);
        break;
    }
    return trust;
}
