// Time since the last keyboard or mouse input, against a clock that tests can replace.
#pragma once

#include <cstdint>
#include <functional>

class cIdleClock
{
public:
    // Milliseconds from any fixed point.
    using cNow = std::function<std::int64_t()>;
    // A monotonic clock.
    static std::int64_t SteadyMilliseconds();

    explicit cIdleClock(cNow now = SteadyMilliseconds);
    // Replaces the clock and starts the idle time anew.
    void SetClock(cNow now);
    // 0 turns the lock off.
    void SetMinutes(int minutes);
    int Minutes() const { return LockMinutes; }

    // Input came: the idle time starts anew.
    void Touch();
    // The idle time reached the minutes (never with 0 minutes).
    bool IsDue() const;

private:
    cNow Now;
    int LockMinutes = 0;
    std::int64_t LastInput = 0;
};
