// Bounds and a watch on the socket waits of the calling thread. While a cScopedWaitDeadline
// lives, no wait of any socket on this thread (TCP connect, TLS handshake, send, receive) goes
// past its deadline: a wait that reaches it ends as a wait that ran out of time does. While a
// cScopedWaitWatch lives, its function is called about every `everyMilliseconds` for as long as
// such waits go on (never from inside itself); waits that follow one another closely, as those of
// a reply that trickles in, count as one. Waits of other threads are untouched.
#pragma once

#include <chrono>

namespace net
{
using WaitClock = std::chrono::steady_clock;

class cScopedWaitDeadline
{
public:
    // A deadline later than the one already in force on this thread changes nothing.
    explicit cScopedWaitDeadline(WaitClock::time_point deadline);
    ~cScopedWaitDeadline();
    cScopedWaitDeadline(const cScopedWaitDeadline &) = delete;
    cScopedWaitDeadline &operator=(const cScopedWaitDeadline &) = delete;

private:
    bool HadDeadline;
    WaitClock::time_point Previous;
};

using WaitWatchFunction = void (*)();

class cScopedWaitWatch
{
public:
    cScopedWaitWatch(WaitWatchFunction function, int everyMilliseconds);
    ~cScopedWaitWatch();
    cScopedWaitWatch(const cScopedWaitWatch &) = delete;
    cScopedWaitWatch &operator=(const cScopedWaitWatch &) = delete;

private:
    WaitWatchFunction PreviousFunction;
    int PreviousEvery;
};
} // namespace net
