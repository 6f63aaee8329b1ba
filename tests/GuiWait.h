// Bounded polling for the GUI test binaries: processes events until a condition holds or the
// time is up. Never a fixed sleep.
#pragma once

#include <QElapsedTimer>
#include <QTest>
#include <functional>

inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition())
    {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}
