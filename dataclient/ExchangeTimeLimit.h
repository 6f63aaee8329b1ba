// A time limit on everything the data client does on the calling thread while the object lives:
// connects, TLS handshakes, sends, replies and downloads, on any link, each end by then. What
// runs out fails as a lost link does (the connected flag is cleared and the next request
// reconnects). Nested limits keep the earlier end.
#pragma once

#include "net/SocketWait.h"

class cExchangeTimeLimit
{
public:
    explicit cExchangeTimeLimit(int milliseconds)
        : Deadline(net::WaitClock::now() + std::chrono::milliseconds(milliseconds))
    {
    }

private:
    net::cScopedWaitDeadline Deadline;
};
