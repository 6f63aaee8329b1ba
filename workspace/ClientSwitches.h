// The [Client] switches of "Dorvane.ini" that turn the office extras on and off, and where the
// client finds its ini file.
#pragma once

#include <string>

struct cClientSwitches
{
    // New-request alerts after a quote load ("Alerts").
    bool Alerts = true;
    // The search field of the open-requests tab ("Search").
    bool Search = true;
    // The "Export..." button of the awarded cases tab ("Export").
    bool Export = true;
    // "Print..." on the two case pages: the referral packet ("Print").
    bool Print = true;
    // Minutes without input before the window locks ("LockMinutes"); 0: never.
    int LockMinutes = 15;
};

// Upper bound of LockMinutes: a day.
inline constexpr int MaxLockMinutes = 24 * 60;

// A switch value: "0", "no", "off" and "false" (any case, blanks around ignored) turn it off,
// an empty or missing value keeps the default, anything else turns it on.
bool SwitchValue(const std::string &text, bool fallback);
// A minute count: digits only, at most MaxLockMinutes; anything else gives the fallback.
int MinutesValue(const std::string &text, int fallback);

// Reads section [Client] of the ini file; a missing file or key keeps the defaults.
cClientSwitches ReadClientSwitches(const std::string &iniPath);

// The ini file the client reads: "Dorvane.ini" in programFolder when it exists there, else
// $XDG_CONFIG_HOME/Dorvane/Dorvane.ini (when XDG_CONFIG_HOME is set and absolute), else
// $HOME/.config/Dorvane/Dorvane.ini; programFolder's file when none of them exists.
std::string ClientIniPath(const std::string &programFolder, const char *xdgConfigHome, const char *home);
// The same with the process environment.
std::string ClientIniPath(const std::string &programFolder);
