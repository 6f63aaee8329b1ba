// Many clients at once: every acknowledged write is in the database afterwards.
#include "dataclient/cRecordBatch.h"
#include "tests/server/Shared.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>

TEST(ServerLoad, FiftyClientsWithMixedRequestsKeepEveryAcknowledgedWrite)
{
    constexpr int Clients = 50, Requests = 200;
    std::vector<std::set<std::string>> added(Clients);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Clients; ++t)
        threads.emplace_back(
            [t, &added, &failures]
            {
                auto c = DataConnection();
                auto f = FunctionConnection();
                std::string owner = "load" + std::to_string(t);
                std::vector<std::string> mine;
                for (int i = 0; i < Requests; ++i)
                {
                    bool ok = true;
                    cStringList lines;
                    switch (i % 8)
                    {
                    case 0:
                    case 4:
                    {
                        cStringList fields;
                        fields.Add("f10=" + owner);
                        fields.Add("f11=" + std::to_string(i));
                        std::string seq = c->AddRecord("ProviderCategoryLink", fields);
                        ok = !seq.empty();
                        if (ok)
                            mine.push_back(seq);
                        break;
                    }
                    case 1:
                        ok = c->ReadRecord("ProviderEntities", ProviderSeq, lines);
                        break;
                    case 2:
                    {
                        cRecordBatch batch;
                        ok = batch.Open(c.get(), "Personnel", "L3", ProviderSeq, "", 0, 100, "f22,f29") &&
                             batch.RecordCount() >= 3;
                        break;
                    }
                    case 3:
                    {
                        std::string fields = "cn14,ca22,H10,pa12";
                        ok = c->ReadFields(
                            "CaseNeedsQuote", std::to_string(1 + i % 10), fields,
                            "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11,pa=Patients:ca10");
                        break;
                    }
                    case 5:
                        if (mine.size() > 1) // delete one of ours, keep the rest
                        {
                            ok = c->DeleteRecord("ProviderCategoryLink", mine.front());
                            mine.erase(mine.begin());
                        }
                        break;
                    case 6:
                        ok = c->ReadList("Personnel", 4, "admin@bayview.example", "", lines);
                        break;
                    case 7:
                        ok = f->SendText("{ServerCommand:updateproviderlatitudelongitude,ProviderSeq:1}") &&
                             f->ReplyText.find("Error") != std::string::npos;
                        break;
                    }
                    if (!ok)
                        ++failures;
                }
                added[t] = std::set<std::string>(mine.begin(), mine.end());
            });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);

    auto c = DataConnection();
    for (int t = 0; t < Clients; ++t)
    {
        cRecordBatch batch;
        std::set<std::string> stored;
        if (batch.Open(c.get(), "ProviderCategoryLink", "L2", "load" + std::to_string(t), "", 0, 10000,
                       "f11") &&
            batch.First())
            do
                stored.insert(batch.RecordSeq());
            while (batch.Next());
        EXPECT_EQ(stored, added[t]) << "client " << t;
    }
}

TEST(ServerLoad, StopsCleanlyOnSigterm)
{
    cServerProcess server;
    ASSERT_TRUE(server.Start({"--hospital-activity", "1"}));
    auto c = std::make_unique<dbServerConnection>("127.0.0.1", server.DataPortText(), "DorvaneClient", "",
                                                  true, 20);
    ASSERT_TRUE(c->IsConnectedFlag);
    server.Stop();
    EXPECT_FALSE(server.Running());
    EXPECT_EQ(server.ExitStatus(), 0);
}
