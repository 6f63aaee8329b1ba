// Command line of DorvaneServer.
#pragma once

#include <string>

struct cServerOptions
{
    std::string DataFolder;
    int DataPort = 0;     // 0 picks a free port
    int FunctionPort = 0; // 0 picks a free port
    bool ResetDemo = false;
    int HospitalActivitySeconds = 0; // 0: no simulated hospital activity
    std::string LogLevel = "info";   // error, warn, info, debug
    std::string BindAddress = "127.0.0.1";
    std::string Greeting;             // bytes sent on each new data connection before any request
    std::string CertificateFile;      // default DATA/server.crt
    std::string KeyFile;              // default DATA/server.key
    int MaxConnections = 400;         // open links of both servers; more are closed at once
    int HandshakeTimeoutSeconds = 10; // a data link must finish the TLS and program handshake in this
    int IdleTimeoutSeconds = 600;     // a link with no request for this long is closed
    std::string SignUpdatesKey;       // Ed25519 private key (PEM): files asked about get NAME.sig
};

// False with `error` for a bad command line; `help` is set for --help.
bool ParseServerOptions(int argc, const char *const *argv, cServerOptions &options, bool &help,
                        std::string &error);
std::string ServerUsage();
