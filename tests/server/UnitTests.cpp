// The hospital activity on a database of its own, without sockets.
#include "server/DemoData.h"
#include "server/HospitalActivity.h"
#include "tests/server/DemoStore.h"
#include "toolkit/StringList.h"

#include <gtest/gtest.h>

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
