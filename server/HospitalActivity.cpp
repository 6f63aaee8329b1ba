#include "server/HospitalActivity.h"

#include "server/DemoData.h"
#include "toolkit/DateTime.h"

#include <cstdio>
#include <cstdlib>

void cHospitalActivity::Start(int seconds)
{
    Stop();
    Stopping = false;
    Worker = std::thread(
        [this, seconds]
        {
            std::unique_lock<std::mutex> lock(Mutex);
            while (!Wake.wait_for(lock, std::chrono::seconds(seconds), [this] { return Stopping; }))
            {
                lock.unlock();
                std::string done = Step();
                if (!done.empty())
                    std::fprintf(stderr, "hospital activity: %s\n", done.c_str());
                lock.lock();
            }
        });
}

void cHospitalActivity::Stop()
{
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Stopping = true;
    }
    Wake.notify_all();
    if (Worker.joinable())
        Worker.join();
}

std::string cHospitalActivity::Step()
{
    ++Steps;
    if (Steps % 2 == 1)
    {
        std::string done = AwardQuote();
        if (!done.empty())
            return done;
    }
    return PostNeed();
}

std::string cHospitalActivity::PostNeed()
{
    long long provider = DemoProviderSeq(Store);
    const cTableDef &cases = *cCatalogue::FindTable("Cases");
    int total = 0;
    Store.Select(cases, 0, "", 1, 0, 1, &total);
    if (provider == 0 || total == 0)
        return "";
    std::vector<cRecord> pick = Store.Select(cases, 0, "", 1, Steps % total, 1);
    if (pick.empty())
        return "";
    const cTableDef &categories = *cCatalogue::FindTable("ProviderCategories");
    std::vector<cRecord> category = Store.Select(categories, 11, Steps % 2 ? "148" : "140", 1, 0, 1);
    std::string typeSeq = category.empty() ? "" : category.front().Get(10);
    std::string categorySeq = category.empty() ? "" : std::to_string(category.front().Seq);
    std::string required = FormatDateTime("yyyymmdd", Now() + 3) + "100000";
    std::string error;
    long long needSeq = 0;
    bool ok = Store.Transaction(
        [&](std::string &err)
        {
            needSeq = Store.Insert(*cCatalogue::FindTable("CaseNeeds"),
                                   {{10, std::to_string(pick.front().Seq)},
                                    {11, typeSeq},
                                    {12, categorySeq},
                                    {14, required},
                                    {15, "Follow-up placement request " + std::to_string(Steps)}},
                                   err);
            return needSeq != 0 &&
                   Store.Insert(*cCatalogue::FindTable("CaseNeedsQuote"),
                                {{10, std::to_string(needSeq)}, {11, std::to_string(provider)}}, err) != 0;
        },
        error);
    return ok ? "posted need " + std::to_string(needSeq) + " on case " + std::to_string(pick.front().Seq)
              : "";
}

std::string cHospitalActivity::AwardQuote()
{
    long long provider = DemoProviderSeq(Store);
    const cTableDef &quotes = *cCatalogue::FindTable("CaseNeedsQuote");
    const cTableDef &needs = *cCatalogue::FindTable("CaseNeeds");
    for (const cRecord &q : Store.Select(quotes, 11, std::to_string(provider), 1, 0, 100000))
    {
        if (q.Get(14) != "A")
            continue;
        cRecord need;
        if (!Store.ReadBySeq(needs, std::atoll(q.Get(10).c_str()), need) || !need.Get(16).empty())
            continue;
        std::string error;
        if (Store.Update(needs, need.Seq, {{16, std::to_string(q.Seq)}}, error) > 0)
            return "awarded quote " + std::to_string(q.Seq);
    }
    return "";
}
