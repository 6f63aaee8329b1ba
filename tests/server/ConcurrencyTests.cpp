// Many clients at once, and a clean stop.
#include "dataclient/cRecordBatch.h"
#include "tests/server/ServerClients.h"
#include "tests/support/TestDatabase.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <thread>

TEST(ServerLoad, FiftyClientsWithMixedRequestsKeepEveryAcknowledgedWrite)
{
    constexpr int Clients = 50, Requests = 200;
    ASSERT_GT(Server().DataPort, 0) << Server().Error;
    std::vector<std::map<std::string, std::string>> kept(Clients); // Seq -> last acknowledged f13
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Clients; ++t)
        threads.emplace_back(
            [t, &kept, &failures]
            {
                auto c = DataConnection();
                auto f = FunctionConnection();
                const std::string owner = "load" + std::to_string(t);
                std::vector<std::string> mine;               // acknowledged adds not deleted since
                std::map<std::string, std::string> latitude; // acknowledged f13 of each of them
                for (int i = 0; i < Requests; ++i)
                {
                    bool ok = true;
                    cStringList lines;
                    std::string fields = "cn14,ca22,H10,pa12";
                    cRecordBatch batch;
                    switch (i % 8)
                    {
                    case 0:
                    case 4:
                        lines.SetCommaText("f10=" + owner + ",f11=" + std::to_string(i));
                        fields = c->AddRecord("ProviderCategoryLink", lines);
                        ok = !fields.empty();
                        if (ok)
                            mine.push_back(fields);
                        break;
                    case 1:
                        ok = c->ReadRecord("ProviderEntities", ProviderSeq, lines);
                        break;
                    case 2:
                        ok = batch.Open(c.get(), "Personnel", "L3", ProviderSeq, "", 0, 100, "f22,f29") &&
                             batch.RecordCount() >= 3;
                        break;
                    case 3:
                        ok = c->ReadFields(
                            "CaseNeedsQuote", std::to_string(1 + i % 10), fields,
                            "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11,pa=Patients:ca10");
                        break;
                    case 5: // delete the oldest of ours, keep the rest
                        ok = !mine.empty() && c->DeleteRecord("ProviderCategoryLink", mine.front());
                        if (ok)
                            mine.erase(mine.begin());
                        break;
                    case 6: // update the newest of ours, then read the admin
                        lines.SetCommaText("f13=" + std::to_string(i));
                        ok = !mine.empty() && c->UpdateRecord("ProviderCategoryLink", mine.back(), lines);
                        if (ok)
                            latitude[mine.back()] = std::to_string(i);
                        ok = c->ReadList("Personnel", 4, "admin@bayview.example", "", lines) && ok;
                        break;
                    case 7:
                        ok = f->SendText("{ServerCommand:updateproviderlatitudelongitude,ProviderSeq:1}") &&
                             f->ReplyText.find("Error") != std::string::npos;
                        break;
                    }
                    failures += ok ? 0 : 1;
                }
                for (const std::string &seq : mine)
                    kept[t][seq] = latitude[seq];
            });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);

    // The database holds exactly the adds that were acknowledged and not deleted, each with its
    // last acknowledged update.
    cTestDatabase db(Server().DatabasePath());
    ASSERT_TRUE(db.IsOpen()) << db.LastError;
    for (int t = 0; t < Clients; ++t)
    {
        std::map<std::string, std::string> stored;
        for (const auto &row :
             db.Query("SELECT f1, IFNULL(f13, '') FROM ProviderCategoryLink WHERE f10 = 'load" +
                      std::to_string(t) + "'"))
            stored[row[0]] = row[1];
        EXPECT_EQ(stored, kept[t]) << "client " << t;
    }
}

// Clients add and update records while the server is killed (SIGKILL, no chance to close
// anything). Started again on the same folder, the server holds every write it acknowledged: each
// acknowledged add, with its last acknowledged update or the one in flight when the server died.
TEST(ServerLoad, AcknowledgedWritesSurviveAKilledServer)
{
    constexpr int Clients = 6;
    cServerProcess server;
    ASSERT_TRUE(server.Start()) << server.Error;
    struct cWritten
    {
        std::string Acknowledged; // last acknowledged f13
        std::string InFlight;     // an update sent without an answer
    };
    std::vector<std::map<std::string, cWritten>> kept(Clients);
    std::atomic<int> acknowledged{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Clients; ++t)
        threads.emplace_back(
            [t, &server, &kept, &acknowledged]
            {
                dbServerConnection c("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 20);
                for (int i = 0; c.IsConnectedFlag && i < 100000; ++i)
                {
                    cStringList lines;
                    if (i % 2 == 0 || kept[t].empty())
                    {
                        lines.SetCommaText("f10=killed" + std::to_string(t) + ",f11=" + std::to_string(i));
                        const std::string seq = c.AddRecord("ProviderCategoryLink", lines);
                        if (seq.empty())
                            break;
                        kept[t][seq] = {};
                    }
                    else
                    {
                        cWritten &last = kept[t].rbegin()->second;
                        last.InFlight = std::to_string(i);
                        lines.SetCommaText("f13=" + last.InFlight);
                        if (!c.UpdateRecord("ProviderCategoryLink", kept[t].rbegin()->first, lines))
                            break;
                        last.Acknowledged = last.InFlight;
                        last.InFlight.clear();
                    }
                    ++acknowledged;
                }
            });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (acknowledged < 300 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    server.Kill();
    for (auto &t : threads)
        t.join();
    ASSERT_GE(acknowledged.load(), 300);

    ASSERT_TRUE(server.Restart()) << server.Error;
    dbServerConnection c("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 20);
    for (int t = 0; t < Clients; ++t)
        for (const auto &[seq, written] : kept[t])
        {
            cStringList lines;
            ASSERT_TRUE(c.ReadRecord("ProviderCategoryLink", seq, lines))
                << "client " << t << " record " << seq;
            ASSERT_EQ(lines.Count(), 15) << "client " << t << " record " << seq;
            EXPECT_EQ(lines[10], "killed" + std::to_string(t));
            EXPECT_TRUE(lines[13] == written.Acknowledged ||
                        (!written.InFlight.empty() && lines[13] == written.InFlight))
                << "client " << t << " record " << seq << ": " << lines[13];
        }
}

TEST(ServerLoad, StopsCleanlyOnSigterm)
{
    cServerProcess server;
    ASSERT_TRUE(server.Start({"--hospital-activity", "1"})) << server.Error;
    dbServerConnection c("127.0.0.1", server.DataPortText(), "DorvaneClient", "", true, 20);
    ASSERT_TRUE(c.IsConnectedFlag);
    EXPECT_TRUE(server.Stop());
    EXPECT_FALSE(server.Running());
}
