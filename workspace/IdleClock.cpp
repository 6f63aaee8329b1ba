#include "workspace/IdleClock.h"

#include <chrono>
#include <utility>

std::int64_t cIdleClock::SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

cIdleClock::cIdleClock(cNow now) : Now(std::move(now))
{
    Touch();
}

void cIdleClock::SetClock(cNow now)
{
    Now = std::move(now);
    Touch();
}

void cIdleClock::SetMinutes(int minutes)
{
    LockMinutes = minutes > 0 ? minutes : 0;
    Touch();
}

void cIdleClock::Touch()
{
    LastInput = Now();
}

bool cIdleClock::IsDue() const
{
    return LockMinutes > 0 && Now() - LastInput >= static_cast<std::int64_t>(LockMinutes) * 60 * 1000;
}
