// A store filled with the demo data in a temporary folder, for the tests that need no server
// process. It is a file, as the server's is, so that the handlers read through connections of
// their own.
#pragma once

#include "server/DemoData.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

class cDemoStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_FALSE(Folder.Path.empty());
        ASSERT_TRUE(Store.Open(Folder.File("dorvane.db"), error)) << error;
        ASSERT_TRUE(FillDemoData(Store, error)) << error;
    }

    cTempDir Folder{"dorvane_store_"};
    cStore Store;
};
