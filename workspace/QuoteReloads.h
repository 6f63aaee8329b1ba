// The order of the quote loads that run beside the window: one load at a time; a load asked for
// while one is in flight runs again after it (it is never counted as covered, since what it was
// asked for, an answer say, may have been stored after the running load's request went out); the
// result of a load that ended with another one asked meanwhile is dropped, so the lists never show
// a state older than the last thing asked for. A finished result waits here until the window can
// swap it in (no dialog open, no handler holding the lists).
#pragma once

#include "workspace/ProviderQuotes.h"

#include <memory>

class cQuoteReloads
{
public:
    // A load is asked for. True when one is to start now; false when one is in flight (another
    // then runs after it).
    bool Ask();
    // The load started as generation ended with quotes (null when its exchange failed). True when
    // another is to start now; the result is then dropped. The end of a load that was reset away
    // (another generation) is ignored.
    bool Ended(unsigned generation, std::shared_ptr<const cProviderQuotes> quotes);
    // The finished result, once: false when none waits. quotes is null for a failed load.
    bool TakeResult(std::shared_ptr<const cProviderQuotes> &quotes);
    // Forgets everything: the load in flight (its end is then ignored), the one asked for, the
    // result. Signing out, Refresh and closing the window do this.
    void Reset();

    bool InFlight() const { return Running; }
    bool ResultWaiting() const { return HasResult; }
    // Nothing in flight, asked for or waiting.
    bool Settled() const { return !Running && !Again && !HasResult; }
    // The generation of the load last started.
    unsigned Generation() const { return Started; }

private:
    bool Running = false;
    bool Again = false;
    bool HasResult = false;
    unsigned Started = 0;
    std::shared_ptr<const cProviderQuotes> Result;
};
