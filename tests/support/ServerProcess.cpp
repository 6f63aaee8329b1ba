#include "tests/support/ServerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
constexpr auto StartBound = std::chrono::seconds(60);
constexpr auto StopBound = std::chrono::seconds(30);
} // namespace

cServerProcess::~cServerProcess()
{
    Stop();
}

cServerProcess &cServerProcess::Shared()
{
    static cServerProcess server;
    [[maybe_unused]] static const bool started = server.Start();
    return server;
}

std::string cServerProcess::Path(const std::string &relative) const
{
    const std::string folder = Folder.Path.substr(0, Folder.Path.size() - 1);
    return relative.empty() ? folder : folder + "/" + relative;
}

bool cServerProcess::Start(const std::vector<std::string> &extra)
{
    return Launch(extra, true);
}

bool cServerProcess::Restart(const std::vector<std::string> &extra)
{
    return Launch(extra, false);
}

void cServerProcess::Kill()
{
    if (Pid <= 0)
        return;
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
    Pid = -1;
    ExitStatus = -1;
}

bool cServerProcess::Launch(const std::vector<std::string> &extra, bool resetDemo)
{
    DataPort = FunctionPort = 0;
    const auto fail = [this](const std::string &why)
    {
        Error = why;
        return false;
    };
#ifndef DORVANE_SERVER_PATH
    (void)extra;
    (void)resetDemo;
    return fail("DorvaneServer is not part of this build");
#else
    if (Folder.Path.empty())
        return fail("no temporary data folder");
    // Everything the child needs is made before the fork: it only redirects and executes.
    std::vector<std::string> args = {DORVANE_SERVER_PATH, "--data", Path(), "--log-level", "error"};
    if (resetDemo)
        args.push_back("--reset-demo");
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char *> argv;
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0)
        return fail("no pipe");
    const pid_t parent = ::getpid();
    Pid = ::fork();
    if (Pid == 0)
    {
        // A test process that dies (a failed assertion under the sanitizer aborts it) takes its
        // server along, so no orphan keeps ctest's output pipe open.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (Pid < 0)
    {
        ::close(out[0]);
        return fail("fork failed");
    }
    // The server ignores SIGPIPE and prints nothing else on standard output, so the pipe can be
    // closed once the line is in.
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + StartBound;
    while (output.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline)
    {
        pollfd ready{out[0], POLLIN, 0};
        if (::poll(&ready, 1, 200) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        output.append(buffer, static_cast<size_t>(n));
    }
    ::close(out[0]);
    if (std::sscanf(output.c_str(), "data-port=%d function-port=%d", &DataPort, &FunctionPort) == 2 &&
        DataPort > 0 && FunctionPort > 0)
        return true;
    DataPort = FunctionPort = 0;
    Stop();
    return fail("DorvaneServer gave no ports line: '" + output + "'");
#endif
}

bool cServerProcess::Running()
{
    if (Pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(Pid, &status, WNOHANG) != Pid)
        return true;
    ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    Pid = -1;
    return false;
}

bool cServerProcess::Stop()
{
    if (Pid <= 0)
        return ExitStatus == 0;
    ::kill(Pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + StopBound;
    while (Running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (Pid > 0)
    {
        ::kill(Pid, SIGKILL);
        ::waitpid(Pid, nullptr, 0);
        Pid = -1;
        ExitStatus = -1;
    }
    return ExitStatus == 0;
}
