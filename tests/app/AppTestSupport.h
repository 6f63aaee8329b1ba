// Shared pieces of the app tests: program folders, the ini file, a free port, a host that really
// starts programs, and a login window fixture. The server is cServerProcess::Shared().
#pragma once

#include "app/LoginForm.h"
#include "app/QtHost.h"
#include "state/Session.h"
#include "tests/GuiWait.h"
#include "tests/support/ScriptedPeer.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TempDir.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "toolkit/Host.h"
#include "ui/Forms.h"
#include "ui/MainForm.h"

#include <cstdlib>
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
                  const std::string &dataServerLines = "", const std::string &updateLines = "") const
    {
        Write("Dorvane.ini", "[DataServer]\r\nIP=127.0.0.1\r\nPort=" + dataPort + "\r\n" + dataServerLines +
                                 "\r\n[FunctionServer]\r\nIP=127.0.0.1\r\nPort=" + functionPort + "\r\n" +
                                 (updateLines.empty() ? "" : "\r\n[Update]\r\n" + updateLines));
    }
    void WriteIni(const cServerProcess &server, const std::string &dataServerLines = "",
                  const std::string &updateLines = "") const
    {
        WriteIni(server.DataPortText(), server.FunctionPortText(), dataServerLines, updateLines);
    }
};

// A free loopback port that nothing listens on (listened on, then closed again).
inline int UnusedPort()
{
    return cScriptedPeer(false).Port();
}

// Records like cRecordingHost; with Launch set, it really starts the programs too.
class cLaunchingHost : public cRecordingHost
{
public:
    bool StartProgram(const std::string &path) override
    {
        const bool recorded = cRecordingHost::StartProgram(path);
        return Launch ? cQtHost().StartProgram(path) : recorded;
    }
    bool Launch = false;
};

// The messages shown, one "caption | text | buttons" line each, to compare in one go.
inline std::vector<std::string> Shown(const cRecordingHost &host)
{
    std::vector<std::string> lines;
    for (const auto &message : host.Messages)
        lines.push_back(message.Caption + " | " + message.Text + " | " +
                        (message.Buttons == cHostButtons::Ok ? "Ok" : "YesNo"));
    return lines;
}

// The program as the self-update asks the server for it.
inline const std::string ServerName = "Clients\\DorvaneProvider.exe";

// Points XDG_CONFIG_HOME at a temporary folder for the life of the object, so the servers a test
// meets are remembered there and never in the user's own configuration.
class cConfigHome
{
public:
    cConfigHome()
    {
        const char *previous = std::getenv("XDG_CONFIG_HOME");
        Had = previous != nullptr;
        Previous = Had ? previous : "";
        ::setenv("XDG_CONFIG_HOME", Folder.Path.c_str(), 1);
    }
    ~cConfigHome()
    {
        if (Had)
            ::setenv("XDG_CONFIG_HOME", Previous.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    cConfigHome(const cConfigHome &) = delete;
    cConfigHome &operator=(const cConfigHome &) = delete;

    // The file of known servers a login window made now uses.
    std::string KnownServers() const { return Folder.File("Dorvane/KnownServers"); }

private:
    cTempDir Folder{"dorvane config "};
    bool Had = false;
    std::string Previous;
};

// A login window in a temporary program folder, with a recording host, a bare main window and a
// configuration folder of its own; the server connections and the server's copy of the program
// are gone after each test.
class cLoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_GT(Server.DataPort, 0) << Server.Error;
        WriteFile(Executable, "running copy");
        MainForm = Main.get();
    }
    void TearDown() override
    {
        Login.reset();
        Session().Close();
        DeleteFile(ServerCopy);
        DeleteFile(ServerCopy + ".sig");
        MainForm = nullptr;
        LoginForm = nullptr;
    }
    // Builds the window (unless the test did), shows it and waits until its first-showing work is done.
    void ShowLogin()
    {
        if (!Login)
            Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
        LoginForm = Login.get();
        Login->show();
        ASSERT_TRUE(WaitUntil([] { return Session().DataServerConnection() != nullptr; }));
    }
    // A newer copy on the server: the update runs whenever the check is made.
    void PutNewerServerCopy()
    {
        WriteFile(ServerCopy, "newer copy");
        FileSetDate(Executable, DateTimeToFileDate(EncodeDate(2020, 1, 1)));
        FileSetDate(ServerCopy, DateTimeToFileDate(EncodeDate(2024, 1, 1)));
    }

    cServerProcess &Server = cServerProcess::Shared();
    cConfigHome ConfigHome;
    cLaunchingHost Host;
    cScopedHost Installed{&Host};
    cProgramFolder Folder;
    const std::string ServerCopy = Server.Path("files/Clients/DorvaneProvider.exe");
    const std::string Executable = Folder.File("DorvaneProvider.exe");
    std::unique_ptr<TMainForm> Main = std::make_unique<TMainForm>();
    std::unique_ptr<TLoginForm> Login;
};
