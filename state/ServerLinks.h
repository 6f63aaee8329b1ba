// Where the two servers are, as "Dorvane.ini" names them, with the settings of the links to them.
#pragma once

#include <string>

struct cServerAddresses
{
    std::string DataServerAddress;
    std::string DataServerPort;
    std::string FunctionServerAddress;
    std::string FunctionServerPort;
    // [DataServer] CertificateSHA256: the pin of the data server's certificate; empty: no pin.
    std::string CertificateSHA256{};
    // [DataServer] ReplyTimeoutSeconds: how long a reply or download may make no progress before
    // the exchange fails as a lost link (both servers).
    int ReplyTimeoutSeconds = DefaultReplyTimeoutSeconds;
    // [Update] RequirePinnedServer=1: the self-update only downloads from a pinned data server.
    bool RequirePinnedServer = false;
    // Bound on the data server's TLS handshake; not read from the ini.
    int HandshakeMilliseconds = 30000;

    static constexpr int DefaultReplyTimeoutSeconds = 120;
};

// Reads the sections "DataServer" and "FunctionServer" (keys "IP" and "Port") of the ini file at
// `iniPath`, and the keys above; missing addresses are empty. A ReplyTimeoutSeconds that is not a
// positive number gives the default.
cServerAddresses ReadServerAddresses(const std::string &iniPath);
