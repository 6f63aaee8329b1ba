#include "workspace/ReloadGate.h"

cReloadGate::cReloadGate(std::function<void()> load) : Load(std::move(load)) {}

void cReloadGate::Request()
{
    if (Holds > 0)
    {
        Asked = true;
        return;
    }
    // Released also when the load throws, so that later reloads are not held for ever.
    struct cRunning
    {
        cReloadGate &Gate;
        ~cRunning()
        {
            --Gate.Holds;
            Gate.Asked = false;
        }
    };
    ++Holds;
    cRunning running{*this};
    Load();
}

cReloadGate::cHold::cHold(cReloadGate &gate) : Gate(gate)
{
    ++Gate.Holds;
}

cReloadGate::cHold::~cHold()
{
    if (--Gate.Holds == 0 && Gate.Asked)
    {
        Gate.Asked = false;
        Gate.Request();
    }
}
