// Simulated hospital side: from time to time posts a new need with an open quote to the demo
// provider, or awards one of its accepted quotes, so that a running client sees its lists change.
#pragma once

#include "server/Store.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class cHospitalActivity
{
public:
    explicit cHospitalActivity(cStore &store) : Store(store) {}
    ~cHospitalActivity() { Stop(); }
    void Start(int seconds);
    void Stop();
    // One step: odd steps award an accepted quote (or post when there is none), even steps post.
    // Returns a short description of what was done ("" when nothing could be done).
    std::string Step();

private:
    std::string PostNeed();
    std::string AwardQuote();

    cStore &Store;
    std::thread Worker;
    std::mutex Mutex;
    std::condition_variable Wake;
    bool Stopping = false;
    int Steps = 0;
};
