// Shared pieces of the app tests: a DorvaneServer on free loopback ports with a temporary data
// folder, temporary program folders, and hosts that record what the program shows.
#pragma once

#include "toolkit/Host.h"

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

// One DorvaneServer for the whole test process, started on first use. Null (with the reason in
// Error) when it could not be started.
class cTestServer
{
public:
    static cTestServer *Instance();
    ~cTestServer();

    int DataPort = 0;
    int FunctionPort = 0;
    std::string DataFolder;    // with trailing '/'
    std::string ClientsFolder; // the file area's "Clients" folder, with trailing '/'
    static std::string Error;

private:
    bool Start();
    QTemporaryDir Folder;
    QProcess Process;
};

// Skips the current test when the server is not available.
#define REQUIRE_SERVER(server)                                                                               \
    cTestServer *server = cTestServer::Instance();                                                           \
    if (!server)                                                                                             \
    GTEST_SKIP() << cTestServer::Error

// A fresh temporary folder whose path holds blanks; Path ends with '/'.
struct cProgramFolder
{
    cProgramFolder();
    QTemporaryDir Dir;
    std::string Path;
    void WriteIni(const std::string &dataPort, const std::string &functionPort,
                  const std::string &address = "127.0.0.1") const;
};

void WriteFile(const std::string &path, const std::string &content);
std::string ReadFile(const std::string &path);

// A free loopback port that nothing listens on (bound, then closed again).
int UnusedPort();

// Records like cRecordingHost, but really starts programs.
class cLaunchingHost : public cRecordingHost
{
public:
    bool StartProgram(const std::string &path) override;
};

// Polls (processing events) until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 30000);
