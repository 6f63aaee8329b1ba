// Trust on first use of the data server's certificate: the servers this user's client has met,
// each with the certificate it showed the first time, one line "ADDRESS:PORT SHA256" in the file
// KnownServers of the user's configuration folder. The self-update takes code only from a server
// that shows the remembered certificate.
#pragma once

#include <string>

enum class eServerTrust
{
    FirstContact, // not met before: its certificate has just been remembered
    Known,        // it shows the certificate remembered for it
    Changed,      // it shows another certificate than the remembered one
    Failed,       // the file could not be read or written, or there is no certificate
};

struct cServerTrust
{
    eServerTrust Trust = eServerTrust::Failed;
    // The server's line in the file (FirstContact, Known, Changed), as it stands there.
    std::string Line;
    // Why the check failed (Failed).
    std::string Error;
};

inline constexpr const char *KnownServersFileName = "KnownServers";

// "$XDG_CONFIG_HOME/Dorvane/KnownServers" when XDG_CONFIG_HOME is an absolute path, else
// "$HOME/.config/Dorvane/KnownServers"; "" when neither gives a folder.
std::string KnownServersPath(const char *xdgConfigHome, const char *home);
// The same with the process environment.
std::string KnownServersPath();

// Looks `server` ("ADDRESS:PORT") up in the file at `path` and compares `sha256Hex` (64 hex
// digits) with the certificate remembered for it. A server met for the first time is added: the
// whole file is written under a temporary name beside it, flushed and renamed over it, so a crash
// in the middle leaves the previous file whole (the folder is made when missing). Blank lines and
// lines starting with '#' are kept; the first line of a server counts.
cServerTrust CheckKnownServer(const std::string &path, const std::string &server,
                              const std::string &sha256Hex);
