// DorvaneServer as a child process of a test: fresh demo data in a temporary data folder, both
// listeners on free loopback ports. Every wait is bounded.
#pragma once

#include "tests/support/TempDir.h"

#include <string>
#include <sys/types.h>
#include <vector>

class cServerProcess
{
public:
    cServerProcess() = default;
    ~cServerProcess();
    cServerProcess(const cServerProcess &) = delete;
    cServerProcess &operator=(const cServerProcess &) = delete;

    // The one server of a test binary, started on first use and stopped when the binary ends.
    // Check Error when the ports are 0.
    static cServerProcess &Shared();

    // Starts the server with --reset-demo (extra arguments appended) and waits for its line
    // "data-port=N function-port=M". False, with Error, when no such line came in time.
    bool Start(const std::vector<std::string> &extra = {});
    // Starts it again on the data folder as the last run left it (no --reset-demo).
    bool Restart(const std::vector<std::string> &extra = {});
    // SIGKILL and wait: the server gets no chance to close anything.
    void Kill();
    // SIGTERM, then a bounded wait for the exit (SIGKILL after it). True when the server ended
    // by itself with exit status 0.
    bool Stop();
    bool Running();

    // A path inside the data folder; "" gives the folder itself (as the server was told it).
    std::string Path(const std::string &relative = "") const;
    std::string DatabasePath() const { return Path("dorvane.db"); }
    std::string DataPortText() const { return std::to_string(DataPort); }
    std::string FunctionPortText() const { return std::to_string(FunctionPort); }

    int DataPort = 0;
    int FunctionPort = 0;
    std::string Error;

private:
    bool Launch(const std::vector<std::string> &extra, bool resetDemo);

    cTempDir Folder{"dorvane_server_"};
    pid_t Pid = -1;
    int ExitStatus = -1;
};
