// Helpers shared by the socket implementations; not part of the interface.
#pragma once

#include "net/SocketCodes.h"

#include <cerrno>
#include <chrono>
#include <poll.h>

namespace net_internal
{
// The bound of one wait: seconds < 0 means no limit.
struct WaitLimit
{
    bool Infinite = true;
    std::chrono::steady_clock::time_point Until{};
};

inline WaitLimit MakeWaitLimit(int seconds, int microseconds)
{
    WaitLimit limit;
    if (seconds < 0)
        return limit;
    limit.Infinite = false;
    long long us = static_cast<long long>(seconds) * 1000000LL + (microseconds > 0 ? microseconds : 0);
    limit.Until = std::chrono::steady_clock::now() + std::chrono::microseconds(us);
    return limit;
}

enum PollResult
{
    PollReady = 1,
    PollTimeout = 0,
    PollFailed = -1, // poll itself failed, or the descriptor is not open
};

// Waits until `fd` shows one of `events` (error and hang-up count as ready, so that the
// following read reports them) or the limit passes. Interrupted waits resume with the time left.
// The calling thread's deadline and watch (net/SocketWait.h) apply: the wait ends at the deadline
// at the latest, and the watch is called between slices of it.
PollResult PollFor(int fd, short events, const WaitLimit &limit);

// True when the calling thread's waits carry a deadline or a watch: a blocking call that would
// wait without a poll must wait through PollFor instead.
bool WaitsWatched();

// PollFor as a result code: SOCK_SUCCESS when ready, SOCK_TIMEOUT, or SOCK_ERROR.
inline int WaitCode(int fd, short events, const WaitLimit &limit)
{
    switch (PollFor(fd, events, limit))
    {
    case PollTimeout:
        return SOCK_TIMEOUT;
    case PollFailed:
        return SOCK_ERROR;
    default:
        return SOCK_SUCCESS;
    }
}

// Errors of a receive that mean the connection is gone rather than broken.
inline bool IsLostConnection(int error)
{
    switch (error)
    {
    case ECONNRESET:
    case ECONNABORTED:
    case ENETRESET:
    case ENOTCONN:
    case ETIMEDOUT:
    case EPIPE:
        return true;
    default:
        return false;
    }
}
} // namespace net_internal
