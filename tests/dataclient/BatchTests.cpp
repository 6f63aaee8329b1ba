// Record sets and batch queries.
#include "dataclient/DebugSwitches.h"
#include "dataclient/cBatchSet.h"
#include "dataclient/cRecordBatch.h"
#include "dataclient/dbServerConnection.h"
#include "tests/support/ScriptedPeer.h"
#include "toolkit/Host.h"

#include <gtest/gtest.h>

namespace
{
cStringList Lines(std::initializer_list<const char *> items)
{
    cStringList list;
    for (const char *item : items)
        list.Add(item);
    return list;
}
} // namespace

TEST(cBatchSet, FieldsByCode)
{
    cRecordingHost host;
    cScopedHost scoped(&host);
    cBatchSet set(Lines({"7,0,15,Ann,x,extra:9", "8,2,16,\"a||b\",y"}), "f22,f29", "Personnel");
    EXPECT_EQ(set.RecordCount, 2);
    ASSERT_TRUE(set.First());
    EXPECT_EQ(set.RecordSeq, "15");
    EXPECT_EQ(set.RecordNumber1, 7);
    EXPECT_EQ(set.GetField("f29"), "x");
    EXPECT_EQ(set.GetField("F22"), "Ann");
    EXPECT_EQ(set.GetField("22"), "Ann");
    // Codes beyond the field list are named by the first record; their items come back whole.
    EXPECT_EQ(set.GetField("extra"), "extra:9");
    EXPECT_EQ(set.GetField("f30"), "");
    EXPECT_EQ(set.ErrorText, "Reading a field not in local");
    EXPECT_TRUE(host.Messages.empty());

    ASSERT_TRUE(set.Next());
    EXPECT_EQ(set.RecordNumber2, 2);
    EXPECT_EQ(set.GetField("f22"), "a\r\nb");
    EXPECT_EQ(set.GetField("extra"), "");
    EXPECT_EQ(set.ErrorText, "The field is missing in the data list");

    EXPECT_FALSE(set.Next());
    EXPECT_EQ(set.CurrentIndex, 1);
    EXPECT_EQ(set.RecordSeq, "16");
}

TEST(cBatchSet, MissingDataAndEmptySets)
{
    cBatchSet shortLine(Lines({"7,0,15,Ann", "1,2"}), "f22,f29", "T");
    EXPECT_FALSE(shortLine.GoTo(1));
    EXPECT_EQ(shortLine.ErrorText, "The record at the index is missing data.");
    EXPECT_EQ(shortLine.CurrentIndex, 0);
    EXPECT_EQ(shortLine.RecordSeq, "");
    EXPECT_FALSE(shortLine.GoTo(2));
    EXPECT_EQ(shortLine.ErrorText, "Invalid index");
    ASSERT_TRUE(shortLine.First());
    EXPECT_EQ(shortLine.GetField("f29"), "");
    EXPECT_EQ(shortLine.ErrorText, "The field is missing in the data list");

    cBatchSet zero(Lines({"0"}), "f10", "T");
    EXPECT_EQ(zero.RecordCount, 0);
    EXPECT_FALSE(zero.First());
    EXPECT_EQ(zero.GetField("f10"), "");
    EXPECT_EQ(zero.ErrorText, "The field is missing in the data list");
}

TEST(cBatchSet, FieldWarningGoesThroughTheHost)
{
    cRecordingHost host;
    cScopedHost scoped(&host);
    FieldWarningsEnabled = true;
    cBatchSet set(Lines({"1,0,2,a"}), "f10", "Cases");
    set.First();
    EXPECT_EQ(set.GetField("11"), "");
    FieldWarningsEnabled = false;
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Field f11 for Cases");
    EXPECT_EQ(host.Messages[0].Caption, "Reading a field not in local");
}

TEST(cRecordBatch, QueriesAndReplies)
{
    cScriptedPeer peer(false);
    const std::string body = "V2,Personnel,L3,42,,1,100,\"f22,f29\",,,F,,N";
    ServeExchanges(peer, {
                             {20002, 0, body, "0,0"},
                             {20002, 0, body, "\"2,2\",\"7,0,15,Ann,x\",\"8,0,16,Bob,y\",31"},
                             {20002, 0, "V2,T,L2,9,,1,10,*,,,F,,N", "\"1,1\",\"1,0,3,a,b,c,d\",0"},
                             {20002, 0, body, "5,\"1,0,3,a\",9"},
                             {20002, 0, body, "0"},
                             {20002, 0, body, ""},
                             {20002, 0, "V2,T,L2,9,k,0,10,f1,,,Lx,,D", "0"},
                         });
    dbServerConnection c("127.0.0.1", peer.PortText(), "", "", false, -1);
    cRecordBatch batch;
    EXPECT_FALSE(batch.Open(nullptr, "T", "L2", "9", "", 0, 10, "f1"));
    EXPECT_EQ(batch.BatchSet(), nullptr);

    EXPECT_TRUE(batch.Open(&c, "Personnel", "L3", "42", "", 0, 100, "f22,f29", "", "", "F", "", ""));
    EXPECT_EQ(batch.RecordCount(), 0);
    EXPECT_FALSE(batch.First());

    ASSERT_TRUE(batch.Fetch());
    EXPECT_EQ(batch.RecordCount(), 2);
    EXPECT_EQ(batch.NextPosition, 31);
    EXPECT_EQ(batch.BatchSet()->NextPosition, 31);
    EXPECT_EQ(batch.ReplyCount1, 2);
    ASSERT_TRUE(batch.First());
    EXPECT_EQ(batch.GetField("f22"), "Ann");
    ASSERT_TRUE(batch.Next());
    EXPECT_EQ(batch.RecordSeq(), "16");

    ASSERT_TRUE(batch.Open(&c, "T", "L2", "9", "", 0, 10, "*"));
    EXPECT_EQ(batch.FieldList, "f1,f2,f3,f4");
    EXPECT_EQ(batch.GetField("f4"), "d");

    batch.FieldList = "f22,f29";
    batch.Table = "Personnel";
    batch.IndexName = "L3";
    batch.OwnerKey = "42";
    batch.MaxCount = 100;
    EXPECT_FALSE(batch.Fetch());
    EXPECT_EQ(batch.BatchSet()->ErrorText, "Invalid data from DBServer.");
    EXPECT_EQ(batch.RecordCount(), 0);
    EXPECT_TRUE(batch.Fetch());
    EXPECT_EQ(batch.RecordCount(), 0);
    EXPECT_FALSE(batch.Fetch());
    EXPECT_EQ(batch.RecordCount(), 0);

    // Mode and item 13 are normalised; a start key keeps position 0.
    EXPECT_TRUE(batch.Open(&c, "T", "L2", "9", "k", 0, 10, "f1", "", "", "xx", "", "D"));
    EXPECT_EQ(batch.StartKey, "");
    peer.Join();
}
