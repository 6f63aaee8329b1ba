// Shared pieces of the app tests: program folders, the ini file, a free port, a host that really
// starts programs, and a login window fixture. The server is cServerProcess::Shared().
#pragma once

#include "app/LoginForm.h"
#include "tests/GuiWait.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TempDir.h"
#include "toolkit/Host.h"
#include "ui/MainForm.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// A fresh program folder; its path holds blanks.
struct cProgramFolder : cTempDir
{
    cProgramFolder() : cTempDir("dorvane app test ") {}
    // Dorvane.ini naming both ports, with extra lines for the [DataServer] and [Update] sections.
    void WriteIni(const std::string &dataPort, const std::string &functionPort,
                  const std::string &dataServerLines = "", const std::string &updateLines = "") const;
    void WriteIni(const cServerProcess &server, const std::string &dataServerLines = "",
                  const std::string &updateLines = "") const
    {
        WriteIni(server.DataPortText(), server.FunctionPortText(), dataServerLines, updateLines);
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

// The messages shown, one "caption | text | buttons" line each, to compare in one go.
std::vector<std::string> Shown(const cRecordingHost &host);

// A login window in a temporary program folder, with a recording host and a bare main window; the
// server connections and the server's copy of the program are gone after each test.
class cLoginTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Builds and shows the window, then waits until its first-showing work is done.
    void ShowLogin();
    // A newer copy on the server: the update runs whenever the check is made.
    void PutNewerServerCopy();

    cServerProcess &Server = cServerProcess::Shared();
    cRecordingHost Host;
    cScopedHost Installed{&Host};
    cProgramFolder Folder;
    const std::string ServerCopy = Server.Path("files/Clients/DorvaneProvider.exe");
    const std::string Executable = Folder.File("DorvaneProvider.exe");
    std::unique_ptr<TMainForm> Main = std::make_unique<TMainForm>();
    std::unique_ptr<TLoginForm> Login;
};
