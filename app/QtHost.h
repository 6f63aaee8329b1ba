// The window-system side of the Host seam: Qt message boxes, event processing, the override
// cursor, ending the application and detached program starts; and a progress-bar adapter.
#pragma once

#include "toolkit/Host.h"

#include <QPointer>
#include <QProgressBar>

class cQtHost : public cHost
{
public:
    cHostAnswer MessageBox(const std::string &text, const std::string &caption,
                           cHostButtons buttons) override;
    void ProcessMessages() override;
    void SetBusyCursor(bool busy) override;
    void Terminate() override;
    bool StartProgram(const std::string &path) override;

private:
    bool CursorSet = false;
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
