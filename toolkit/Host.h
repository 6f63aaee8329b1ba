// The seam between the lower layers and the window system. Everything below the widgets that
// would show a message box, process window messages, change the cursor, end the program, start
// another program or move a progress bar goes through the one installed cHost.
#pragma once

#include <string>
#include <vector>

enum class cHostButtons
{
    Ok,
    YesNo
};

enum class cHostAnswer
{
    Ok,
    Yes,
    No
};

// Stands for a progress bar: maximum, position, show and hide.
class cProgressSink
{
public:
    virtual ~cProgressSink() = default;
    virtual void SetMax(long long max) = 0;
    virtual void SetPosition(long long position) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
};

class cHost
{
public:
    virtual ~cHost() = default;
    // A modal message box; returns the button pressed.
    virtual cHostAnswer MessageBox(const std::string &text, const std::string &caption,
                                   cHostButtons buttons) = 0;
    // Lets the window system handle pending messages once.
    virtual void ProcessMessages() = 0;
    // Paints what the windows need painted, and nothing else: no input, no timers and no other
    // queued work run, so nothing can start again inside the caller. Called again and again
    // while a request waits for its server; a host without windows does nothing.
    virtual void RepaintWindows() {}
    virtual void SetBusyCursor(bool busy) = 0;
    // Asks the application to end once control returns to its loop.
    virtual void Terminate() = 0;
    // Starts a program detached from this one; false when it could not be started.
    virtual bool StartProgram(const std::string &path) = 0;
};

// The installed host; a headless host (boxes answer OK/Yes, nothing else happens) until
// SetHost installs another. The host is not owned. A thread that installed a host of its own
// (cScopedThreadHost) gets that one instead.
cHost &Host();
void SetHost(cHost *host);

// A host without a window system: message boxes are written to standard error and answered
// with OK (Yes for a question); the other operations do nothing.
class cHeadlessHost : public cHost
{
public:
    cHostAnswer MessageBox(const std::string &text, const std::string &caption,
                           cHostButtons buttons) override;
    void ProcessMessages() override {}
    void SetBusyCursor(bool) override {}
    void Terminate() override { TerminateRequested = true; }
    bool StartProgram(const std::string &path) override;
    bool TerminateRequested = false;
};

// A host for tests: records every call and answers message boxes from a script.
class cRecordingHost : public cHost
{
public:
    struct cMessage
    {
        std::string Text;
        std::string Caption;
        cHostButtons Buttons;
    };

    cHostAnswer MessageBox(const std::string &text, const std::string &caption,
                           cHostButtons buttons) override;
    void ProcessMessages() override { ++ProcessMessagesCount; }
    void RepaintWindows() override { ++RepaintCount; }
    void SetBusyCursor(bool busy) override { BusyCursor = busy; }
    void Terminate() override { ++TerminateCount; }
    bool StartProgram(const std::string &path) override;

    // Answers given to the next message boxes, in order (each is removed from the front as it is
    // used); once used up, boxes answer OK (or Yes).
    std::vector<cHostAnswer> ScriptedAnswers;
    std::vector<cMessage> Messages;
    std::vector<std::string> StartedPrograms;
    bool StartProgramResult = true;
    int ProcessMessagesCount = 0;
    int RepaintCount = 0;
    int TerminateCount = 0;
    bool BusyCursor = false;
};

// A progress sink for tests: keeps the last values and a log of the calls ("SetMax 10",
// "SetPosition 3", "Show", "Hide").
class cRecordingProgressSink : public cProgressSink
{
public:
    void SetMax(long long max) override;
    void SetPosition(long long position) override;
    void Show() override;
    void Hide() override;

    long long Max = 0;
    long long Position = 0;
    bool Visible = false;
    std::vector<std::string> Calls;
};

// Starts the executable file at `path` (no arguments) detached from this process, in its own
// session, reaped at once so no zombie stays. False when the file is not an executable regular
// file or could not be started. The headless host's StartProgram.
bool StartDetachedProgram(const std::string &path);

// Installs a host for the lifetime of the object and puts the previous one back afterwards.
class cScopedHost
{
public:
    explicit cScopedHost(cHost *host);
    ~cScopedHost();
    cScopedHost(const cScopedHost &) = delete;
    cScopedHost &operator=(const cScopedHost &) = delete;

private:
    cHost *Previous;
};

// Installs a host for the calling thread only, for the lifetime of the object. A worker thread
// uses it so that nothing it runs can reach the window system, which belongs to the window's
// thread.
class cScopedThreadHost
{
public:
    explicit cScopedThreadHost(cHost *host);
    ~cScopedThreadHost();
    cScopedThreadHost(const cScopedThreadHost &) = delete;
    cScopedThreadHost &operator=(const cScopedThreadHost &) = delete;

private:
    cHost *Previous;
};
