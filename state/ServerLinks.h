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

// The addresses read at start-up, used by every later reconnect.
extern cServerAddresses ServerAddresses;

// Opens both connections and stores them in DataServerConnection and FunctionServerConnection;
// false (after telling the user through the Host) when either is not connected. Connections
// that exist already are replaced without being deleted: the caller deletes them first.
bool OpenServerConnections(const cServerAddresses &addresses);

// True when the self-update may download from the data server: RequirePinnedServer is off, or
// the data-server connection checked the server's certificate against a pin.
bool UpdateServerTrusted(const cServerAddresses &addresses);

// Deletes both connections and empties them.
void CloseServerConnections();
