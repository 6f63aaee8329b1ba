#include "toolkit/Host.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
cHeadlessHost &DefaultHost()
{
    static cHeadlessHost host;
    return host;
}

std::atomic<cHost *> InstalledHost{nullptr};

cHostAnswer DefaultAnswer(cHostButtons buttons)
{
    return buttons == cHostButtons::YesNo ? cHostAnswer::Yes : cHostAnswer::Ok;
}
} // namespace

namespace
{
thread_local cHost *ThreadHost = nullptr;
} // namespace

cHost &Host()
{
    if (ThreadHost)
        return *ThreadHost;
    cHost *host = InstalledHost.load();
    return host ? *host : DefaultHost();
}

void SetHost(cHost *host)
{
    InstalledHost.store(host);
}

cHostAnswer cHeadlessHost::MessageBox(const std::string &text, const std::string &caption,
                                      cHostButtons buttons)
{
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return DefaultAnswer(buttons);
}

bool StartDetachedProgram(const std::string &path)
{
    if (path.empty())
        return false;
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(path.c_str(), X_OK) != 0)
        return false;

    // Everything the children need is prepared before fork: after it only async-signal-safe
    // calls are made. The grandchild reports a failed exec through a close-on-exec pipe.
    std::string copy = path;
    char *argv[] = {copy.data(), nullptr};
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    pid_t child = ::fork();
    if (child < 0)
    {
        ::close(fds[0]);
        ::close(fds[1]);
        return false;
    }
    if (child == 0)
    {
        ::close(fds[0]);
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild < 0)
        {
            int err = errno;
            (void)!::write(fds[1], &err, sizeof err);
            ::_exit(1);
        }
        if (grandchild == 0)
        {
            ::execv(argv[0], argv);
            int err = errno;
            (void)!::write(fds[1], &err, sizeof err);
            ::_exit(127);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR)
    {
    }
    int err = 0;
    ssize_t got;
    do
        got = ::read(fds[0], &err, sizeof err);
    while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    // Nothing read: the exec succeeded and closed the pipe.
    return got == 0;
}

bool cHeadlessHost::StartProgram(const std::string &path)
{
    return StartDetachedProgram(path);
}

cHostAnswer cRecordingHost::MessageBox(const std::string &text, const std::string &caption,
                                       cHostButtons buttons)
{
    Messages.push_back(cMessage{text, caption, buttons});
    if (!ScriptedAnswers.empty())
    {
        cHostAnswer answer = ScriptedAnswers.front();
        ScriptedAnswers.erase(ScriptedAnswers.begin());
        return answer;
    }
    return DefaultAnswer(buttons);
}

bool cRecordingHost::StartProgram(const std::string &path)
{
    StartedPrograms.push_back(path);
    return StartProgramResult;
}

cScopedHost::cScopedHost(cHost *host) : Previous(InstalledHost.load())
{
    SetHost(host);
}

cScopedHost::~cScopedHost()
{
    SetHost(Previous);
}

void cRecordingProgressSink::SetMax(long long max)
{
    Max = max;
    Calls.push_back("SetMax " + std::to_string(max));
}

void cRecordingProgressSink::SetPosition(long long position)
{
    Position = position;
    Calls.push_back("SetPosition " + std::to_string(position));
}

void cRecordingProgressSink::Show()
{
    Visible = true;
    Calls.push_back("Show");
}

void cRecordingProgressSink::Hide()
{
    Visible = false;
    Calls.push_back("Hide");
}

cScopedThreadHost::cScopedThreadHost(cHost *host) : Previous(ThreadHost)
{
    ThreadHost = host;
}

cScopedThreadHost::~cScopedThreadHost()
{
    ThreadHost = Previous;
}
