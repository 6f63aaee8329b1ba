// The hospital activity on a database of its own, without sockets.
#include "server/DemoData.h"
#include "server/HospitalActivity.h"

#include <gtest/gtest.h>

TEST(ServerActivity, PostsNeedsAndAwardsAcceptedQuotes)
{
    cStore store;
    std::string error;
    ASSERT_TRUE(store.Open(":memory:", error)) << error;
    ASSERT_TRUE(FillDemoData(store, error)) << error;
    const cTableDef &needs = *cCatalogue::FindTable("CaseNeeds");
    int before = 0, after = 0;
    store.Select(needs, 0, "", 1, 0, 1, &before);
    cHospitalActivity activity(store);
    const std::string award = activity.Step(); // odd step: an accepted quote gets its award
    EXPECT_EQ(award.rfind("awarded quote ", 0), 0u) << award;
    EXPECT_EQ(activity.Step().rfind("posted need ", 0), 0u);
    store.Select(needs, 0, "", 1, 0, 1, &after);
    EXPECT_EQ(after, before + 1);
}
