// A store in memory filled with the demo data, for the tests that need no server process.
#pragma once

#include "server/DemoData.h"

#include <gtest/gtest.h>
#include <string>

class cDemoStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Store.Open(":memory:", error)) << error;
        ASSERT_TRUE(FillDemoData(Store, error)) << error;
    }

    cStore Store;
};
