// Whether the self-update may take code from the data server the session has just connected to:
// a pinned server is trusted by its pin; otherwise its certificate is remembered the first time
// (trust on first use) and must be the same one at every later start.
#pragma once

#include <string>

class dbServerConnection;
struct cServerAddresses;

struct cUpdateTrust
{
    // The self-update may ask this server for a newer copy.
    bool Allowed = false;
    // The certificate (SHA-256 hex) that every exchange of the update must have come over; "" when
    // the link's pin already makes sure of it.
    std::string CertificateSHA256;
};

// Decides for a connected data-server link. With no pin, the server's certificate is looked up
// in (and, the first time, written to) `knownServersFile`. When the certificate differs from the
// remembered one, or cannot be remembered, the update is not allowed and the user is told why
// and how to accept a new certificate (`iniPath` names the Dorvane.ini in use). Signing in is
// not affected either way.
cUpdateTrust DataServerTrustForUpdate(dbServerConnection &link, const cServerAddresses &addresses,
                                      const std::string &knownServersFile, const std::string &iniPath);
