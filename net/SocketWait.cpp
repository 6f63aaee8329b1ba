#include "net/SocketWait.h"

#include "net/SocketInternal.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace net_internal
{
namespace
{
struct cThreadWaits
{
    bool HasDeadline = false;
    net::WaitClock::time_point Deadline{};
    net::WaitWatchFunction Watch = nullptr;
    int WatchEveryMs = 0;
    bool InWatch = false;
    // When the watch is next due; kept across the socket calls of one request, so that a reply
    // that comes in many short waits (a trickle) is watched as one long wait.
    net::WaitClock::time_point NextWatch{};
    // When the outermost watch last ended: a new one that starts soon after continues its count.
    net::WaitClock::time_point WatchEnded{};
};

thread_local cThreadWaits Waits;

// Runs the watch with itself switched off, so that a wait inside it cannot call it again, and
// counts the next interval from its end.
void RunWatch()
{
    Waits.InWatch = true;
    struct cReset
    {
        ~cReset()
        {
            Waits.InWatch = false;
            Waits.NextWatch = net::WaitClock::now() + std::chrono::milliseconds(Waits.WatchEveryMs);
        }
    } reset;
    Waits.Watch();
}
} // namespace

bool WaitsWatched()
{
    return Waits.HasDeadline || (Waits.Watch != nullptr && !Waits.InWatch);
}

PollResult PollFor(int fd, short events, const WaitLimit &limit)
{
    using namespace std::chrono;
    WaitLimit bound = limit;
    // A limit that has passed already asks for a look without waiting, which stays allowed after
    // the deadline (and runs no watch); any real wait ends there.
    const bool look = !limit.Infinite && limit.Until <= net::WaitClock::now();
    if (Waits.HasDeadline && !look && (bound.Infinite || Waits.Deadline < bound.Until))
    {
        if (net::WaitClock::now() >= Waits.Deadline)
            return PollTimeout;
        bound.Infinite = false;
        bound.Until = Waits.Deadline;
    }
    const bool watched = !look && Waits.Watch != nullptr && !Waits.InWatch;
    for (;;)
    {
        if (watched && net::WaitClock::now() >= Waits.NextWatch)
            RunWatch();
        const net::WaitClock::time_point now = net::WaitClock::now();
        long long ns = -1; // no limit
        if (!bound.Infinite)
            ns = std::max<long long>(duration_cast<nanoseconds>(bound.Until - now).count(), 0);
        bool sliced = false;
        if (watched)
        {
            const long long toWatch =
                std::max<long long>(duration_cast<nanoseconds>(Waits.NextWatch - now).count(), 0);
            if (ns < 0 || ns > toWatch)
            {
                ns = toWatch;
                sliced = true;
            }
        }
        pollfd p{fd, events, 0};
        timespec ts{};
        ts.tv_sec = static_cast<time_t>(ns / 1000000000LL);
        ts.tv_nsec = static_cast<long>(ns % 1000000000LL);
        int rc = ppoll(&p, 1, ns < 0 ? nullptr : &ts, nullptr);
        if (rc < 0)
        {
            if (errno == EINTR)
                continue;
            return PollFailed;
        }
        if (rc == 0)
        {
            if (sliced)
                continue; // the watch is due
            return PollTimeout;
        }
        if (p.revents & POLLNVAL)
            return PollFailed;
        return PollReady;
    }
}
} // namespace net_internal

namespace net
{
cScopedWaitDeadline::cScopedWaitDeadline(WaitClock::time_point deadline)
    : HadDeadline(net_internal::Waits.HasDeadline), Previous(net_internal::Waits.Deadline)
{
    if (!HadDeadline || deadline < Previous)
        net_internal::Waits.Deadline = deadline;
    net_internal::Waits.HasDeadline = true;
}

cScopedWaitDeadline::~cScopedWaitDeadline()
{
    net_internal::Waits.HasDeadline = HadDeadline;
    net_internal::Waits.Deadline = Previous;
}

cScopedWaitWatch::cScopedWaitWatch(WaitWatchFunction function, int everyMilliseconds)
    : PreviousFunction(net_internal::Waits.Watch), PreviousEvery(net_internal::Waits.WatchEveryMs)
{
    auto &waits = net_internal::Waits;
    waits.Watch = function;
    waits.WatchEveryMs = everyMilliseconds > 0 ? everyMilliseconds : 1;
    // A watch that starts long after the last one ended counts its interval afresh; one that
    // follows at once (the next socket call of the same request) keeps the count going.
    const WaitClock::time_point now = WaitClock::now();
    const auto every = std::chrono::milliseconds(waits.WatchEveryMs);
    if (PreviousFunction == nullptr && now - waits.WatchEnded > every)
        waits.NextWatch = now + every;
}

cScopedWaitWatch::~cScopedWaitWatch()
{
    net_internal::Waits.Watch = PreviousFunction;
    net_internal::Waits.WatchEveryMs = PreviousEvery;
    if (PreviousFunction == nullptr)
        net_internal::Waits.WatchEnded = WaitClock::now();
}
} // namespace net
