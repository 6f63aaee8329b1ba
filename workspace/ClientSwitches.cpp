#include "workspace/ClientSwitches.h"

#include "toolkit/Files.h"
#include "toolkit/IniFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace
{
std::string Trimmed(const std::string &text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), blank);
    auto end = std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), blank).base();
    return std::string(begin, end);
}

std::string Lower(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

bool SwitchValue(const std::string &text, bool fallback)
{
    const std::string value = Lower(Trimmed(text));
    if (value.empty())
        return fallback;
    return !(value == "0" || value == "no" || value == "off" || value == "false");
}

int MinutesValue(const std::string &text, int fallback)
{
    const std::string value = Trimmed(text);
    if (value.empty() || value.size() > 5 ||
        !std::all_of(value.begin(), value.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        return fallback;
    const int minutes = std::stoi(value);
    return minutes <= MaxLockMinutes ? minutes : fallback;
}

cClientSwitches ReadClientSwitches(const std::string &iniPath)
{
    const cIniFile ini(iniPath);
    cClientSwitches switches;
    switches.Alerts = SwitchValue(ini.ReadString("Client", "Alerts", ""), switches.Alerts);
    switches.Search = SwitchValue(ini.ReadString("Client", "Search", ""), switches.Search);
    switches.Export = SwitchValue(ini.ReadString("Client", "Export", ""), switches.Export);
    switches.Print = SwitchValue(ini.ReadString("Client", "Print", ""), switches.Print);
    switches.LockMinutes = MinutesValue(ini.ReadString("Client", "LockMinutes", ""), switches.LockMinutes);
    return switches;
}

std::string ClientIniPath(const std::string &programFolder, const char *xdgConfigHome, const char *home)
{
    const std::string beside = programFolder + "Dorvane.ini";
    if (FileExists(beside))
        return beside;
    const std::string configFolder = UserConfigFolder(xdgConfigHome, home);
    if (!configFolder.empty())
    {
        const std::string configured = configFolder + "/Dorvane.ini";
        if (FileExists(configured))
            return configured;
    }
    return beside;
}

std::string ClientIniPath(const std::string &programFolder)
{
    return ClientIniPath(programFolder, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}
