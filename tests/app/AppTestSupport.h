// Shared pieces of the app tests: program folders, the ini file, a free port, and a host that
// really starts programs. The server is cServerProcess::Shared().
#pragma once

#include "tests/GuiWait.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"

#include <functional>
#include <string>

// A fresh program folder; its path holds blanks.
struct cProgramFolder : cTempDir
{
    cProgramFolder() : cTempDir("dorvane app test ") {}
    void WriteIni(const std::string &dataPort, const std::string &functionPort) const;
    // The ini file naming both ports of the server.
    void WriteIni(const cServerProcess &server) const
    {
        WriteIni(server.DataPortText(), server.FunctionPortText());
    }
};

// A free loopback port that nothing listens on (bound, then closed again).
int UnusedPort();

// Records like cRecordingHost, but really starts programs.
class cLaunchingHost : public cRecordingHost
{
public:
    bool StartProgram(const std::string &path) override;
};
