// Holds the quote reload back while a handler that works with list entries runs (its requests may
// process window messages, and a timer tick could reload): a reload asked for meanwhile runs once,
// when the last hold ends. A running reload holds the gate itself, so a reload asked for inside
// it is covered by it.
#pragma once

#include <functional>

class cReloadGate
{
public:
    explicit cReloadGate(std::function<void()> load);
    cReloadGate(const cReloadGate &) = delete;
    cReloadGate &operator=(const cReloadGate &) = delete;

    // Runs the load now, or marks it to run when the last hold ends.
    void Request();
    bool Held() const { return Holds > 0; }
    bool Pending() const { return Asked; }

    // A hold for the lifetime of the object.
    class cHold
    {
    public:
        explicit cHold(cReloadGate &gate);
        ~cHold();
        cHold(const cHold &) = delete;
        cHold &operator=(const cHold &) = delete;

    private:
        cReloadGate &Gate;
    };

private:
    std::function<void()> Load;
    int Holds = 0;
    bool Asked = false;
};
