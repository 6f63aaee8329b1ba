#include "net/SocketLog.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<bool> enabled{false};
std::atomic<net_log::Sink> sink{nullptr};
} // namespace

namespace net_log
{
void SetEnabled(bool on)
{
    enabled.store(on, std::memory_order_relaxed);
}

bool Enabled()
{
    return enabled.load(std::memory_order_relaxed);
}

void SetSink(Sink s)
{
    sink.store(s, std::memory_order_relaxed);
}

void Write(const char *message)
{
    if (!enabled.load(std::memory_order_relaxed) || message == nullptr)
        return;
    Sink s = sink.load(std::memory_order_relaxed);
    if (s != nullptr)
        s(message);
    else
        std::fprintf(stderr, "net: %s\n", message);
}
} // namespace net_log
