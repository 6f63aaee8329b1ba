// The store's readers, the hospital activity and the demo data on a database of their own,
// without sockets.
#include "server/DemoData.h"
#include "server/HospitalActivity.h"
#include "tests/server/DemoStore.h"
#include "toolkit/StringList.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>

using ServerStore = cDemoStoreTest;

namespace
{
const cTableDef &Links()
{
    return *cCatalogue::FindTable("ProviderCategoryLink");
}

// The f10 values of the links whose f10 starts with "r", in key order, read through `reader`.
std::string ReaderLinks(cRecordReader &reader)
{
    int total = -1;
    std::string seen;
    for (const cRecord &r : reader.Select(Links(), 0, "", 1, 0, 1000, &total))
        if (r.Get(10).rfind("r", 0) == 0)
            seen += r.Get(10) + ",";
    return seen + "of " + std::to_string(total);
}
} // namespace

// A reader sees every write committed before its read, also after it has read before; while a
// write transaction is open, a reader on another thread reads at once and sees the database as it
// was before it.
TEST_F(ServerStore, ReadersSeeCommittedWritesAndReadBesideAnOpenWrite)
{
    std::string error;
    auto reader = Store.NewReader();
    const int before = static_cast<int>(Store.Select(Links(), 0, "", 1, 0, 1000).size());
    const std::string none = "of " + std::to_string(before);
    EXPECT_EQ(ReaderLinks(*reader), none);
    ASSERT_GT(Store.Insert(Links(), {{10, "r1"}}, error), 0) << error;
    EXPECT_EQ(ReaderLinks(*reader), "r1,of " + std::to_string(before + 1));

    // Another thread with a reader of its own reads while this write holds the store. (Should it
    // wait for the store, the write gives up after a while and lets it go on.)
    std::promise<void> written;
    std::future<std::string> read = std::async(std::launch::async,
                                               [this, wait = written.get_future()]
                                               {
                                                   auto other = Store.NewReader();
                                                   wait.wait();
                                                   return ReaderLinks(*other);
                                               });
    ASSERT_TRUE(Store.Transaction(
        [&](std::string &workError)
        {
            if (Store.Insert(Links(), {{10, "r2"}}, workError) == 0)
                return false;
            written.set_value();
            if (read.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
                return true;
            workError = "the reader waited for the write";
            return false;
        },
        error))
        << error;
    const std::string during = read.get();
    EXPECT_EQ(during, "r1,of " + std::to_string(before + 1));
    EXPECT_EQ(ReaderLinks(*reader), "r1,r2,of " + std::to_string(before + 2));
    cRecord record;
    EXPECT_TRUE(reader->ReadBySeq(Links(), Store.Select(Links(), 10, "r2", 1, 0, 1).front().Seq, record));
    EXPECT_EQ(record.Get(10), "r2");
}

// An in-memory store has no file for a second connection: its readers read through it.
TEST(ServerStoreInMemory, ReadersReadThroughTheStore)
{
    cStore store;
    std::string error;
    ASSERT_TRUE(store.Open(":memory:", error)) << error;
    auto reader = store.NewReader();
    EXPECT_EQ(ReaderLinks(*reader), "of 0");
    ASSERT_GT(store.Insert(Links(), {{10, "r1"}}, error), 0) << error;
    EXPECT_EQ(ReaderLinks(*reader), "r1,of 1");
}

using ServerActivity = cDemoStoreTest;

TEST_F(ServerActivity, PostsNeedsAndAwardsAcceptedQuotes)
{
    const cTableDef &needs = *cCatalogue::FindTable("CaseNeeds");
    int before = 0, after = 0;
    Store.Select(needs, 0, "", 1, 0, 1, &before);
    cHospitalActivity activity(Store);
    const std::string award = activity.Step(); // odd step: an accepted quote gets its award
    EXPECT_EQ(award.rfind("awarded quote ", 0), 0u) << award;
    EXPECT_EQ(activity.Step().rfind("posted need ", 0), 0u);
    Store.Select(needs, 0, "", 1, 0, 1, &after);
    EXPECT_EQ(after, before + 1);
}

// The records of each table, and a password on every record that can sign in (the client
// refuses empty passwords).
using ServerDemoData = cDemoStoreTest;

TEST_F(ServerDemoData, TablesHoldTheDemoRecordsAndEveryAccountHasAPassword)
{
    cStringList expected;
    expected.SetCommaText("ZipCodes=8,InsuranceTypes=6,ProviderTypes=6,ProviderCategories=83,"
                          "ProviderCategoryDetails=5,ProviderEntities=4,Personnel=5,ProviderInsuranceLink=3,"
                          "ProviderCategoryLink=3,ProviderCategoryDetailLink=1,Patients=15,Cases=15,"
                          "DiagCodeDetail=28,TreatmentCodeDetail=15,CaseNeeds=19,CaseNeedsQuote=21");
    cStringList counts;
    for (int i = 0; i < expected.Count(); ++i)
    {
        int total = 0;
        Store.Select(*cCatalogue::FindTable(expected.Names(i)), 0, "", 1, 0, 1, &total);
        counts.Add(expected.Names(i) + "=" + std::to_string(total));
    }
    EXPECT_EQ(counts.CommaText(), expected.CommaText());
    for (const cRecord &person : Store.Select(*cCatalogue::FindTable("Personnel"), 0, "", 1, 0, 100))
        EXPECT_TRUE(person.Get(22).empty() || !person.Get(23).empty()) << person.Get(22);
    EXPECT_EQ(DemoProviderSeq(Store), 1);
}
