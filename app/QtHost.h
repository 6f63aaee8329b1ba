// The window-system side of the Host seam: Qt message boxes, event processing, the override
// cursor, ending the application and detached program starts; and a progress-bar adapter.
#pragma once

#include "toolkit/Host.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>

class cQtHost : public cHost
{
public:
    cHostAnswer MessageBox(const std::string &text, const std::string &caption,
                           cHostButtons buttons) override;
    void ProcessMessages() override;
    // Delivers the pending paint requests of the widgets, and once a second paints the visible
    // windows whole, so that what the window system lost meanwhile (an uncovered window) comes
    // back without its own events being taken. Input, timers and posted calls wait for the loop.
    // Only on the application's thread; nested calls do nothing.
    void RepaintWindows() override;
    // The busy cursor is set aside while a message box is open.
    void SetBusyCursor(bool busy) override;
    void Terminate() override;
    bool StartProgram(const std::string &path) override;

    // How often RepaintWindows paints the windows whole.
    static constexpr int FullRepaintMs = 1000;

private:
    bool CursorSet = false;
    bool Repainting = false;
    QElapsedTimer SinceFullRepaint;
};

// Stands a QProgressBar in for a cProgressSink. A bar that has been destroyed is ignored.
class cQtProgressSink : public cProgressSink
{
public:
    explicit cQtProgressSink(QProgressBar *bar) : Bar(bar) {}
    void SetMax(long long max) override;
    void SetPosition(long long position) override;
    void Show() override;
    void Hide() override;

private:
    QPointer<QProgressBar> Bar;
};
