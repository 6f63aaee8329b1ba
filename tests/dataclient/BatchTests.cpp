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
using Texts = std::vector<std::string>;

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
    ASSERT_TRUE(set.First());
    // Codes beyond the field list are named by the first record; their items come back whole.
    EXPECT_EQ((Texts{std::to_string(set.RecordCount), set.RecordSeq, std::to_string(set.RecordNumber1),
                     set.GetField("f29"), set.GetField("F22"), set.GetField("22"), set.GetField("extra"),
                     set.GetField("f30"), set.ErrorText}),
              (Texts{"2", "15", "7", "x", "Ann", "Ann", "extra:9", "", "Reading a field not in local"}));
    EXPECT_TRUE(host.Messages.empty());
    // With the warnings on, that read also goes through the host.
    FieldWarningsEnabled = true;
    EXPECT_EQ(set.GetField("30"), "");
    FieldWarningsEnabled = false;
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text + "|" + host.Messages[0].Caption,
              "Field f30 for Personnel|Reading a field not in local");

    ASSERT_TRUE(set.Next());
    EXPECT_EQ(
        (Texts{std::to_string(set.RecordNumber2), set.GetField("f22"), set.GetField("extra"), set.ErrorText}),
        (Texts{"2", "a\r\nb", "", "The field is missing in the data list"}));
    EXPECT_FALSE(set.Next());
    EXPECT_EQ(std::to_string(set.CurrentIndex) + "|" + set.RecordSeq, "1|16");
}

TEST(cBatchSet, MissingDataAndEmptySets)
{
    const std::string missing = "The field is missing in the data list";
    cBatchSet shortLine(Lines({"7,0,15,Ann", "1,2"}), "f22,f29", "T");
    EXPECT_FALSE(shortLine.GoTo(1));
    EXPECT_EQ((Texts{shortLine.ErrorText, std::to_string(shortLine.CurrentIndex), shortLine.RecordSeq}),
              (Texts{"The record at the index is missing data.", "0", ""}));
    EXPECT_FALSE(shortLine.GoTo(2));
    EXPECT_EQ(shortLine.ErrorText, "Invalid index");
    ASSERT_TRUE(shortLine.First());
    EXPECT_EQ((Texts{shortLine.GetField("f29"), shortLine.ErrorText}), (Texts{"", missing}));

    cBatchSet zero(Lines({"0"}), "f10", "T");
    EXPECT_EQ(zero.RecordCount, 0);
    EXPECT_FALSE(zero.First());
    EXPECT_EQ((Texts{zero.GetField("f10"), zero.ErrorText}), (Texts{"", missing}));
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
    EXPECT_EQ((std::vector<int>{batch.RecordCount(), batch.NextPosition, batch.BatchSet()->NextPosition,
                                batch.ReplyCount1}),
              (std::vector<int>{2, 31, 31, 2}));
    ASSERT_TRUE(batch.First());
    EXPECT_EQ(batch.GetField("f22"), "Ann");
    ASSERT_TRUE(batch.Next());
    EXPECT_EQ(batch.RecordSeq(), "16");

    ASSERT_TRUE(batch.Open(&c, "T", "L2", "9", "", 0, 10, "*"));
    EXPECT_EQ(batch.FieldList, "f1,f2,f3,f4");
    EXPECT_EQ(batch.GetField("f4"), "d");

    EXPECT_FALSE(batch.Open(&c, "Personnel", "L3", "42", "", 0, 100, "f22,f29"));
    EXPECT_EQ(batch.BatchSet()->ErrorText, "Invalid data from DBServer.");
    EXPECT_EQ(batch.RecordCount(), 0);
    EXPECT_TRUE(batch.Fetch());
    EXPECT_EQ(batch.RecordCount(), 0);
    EXPECT_FALSE(batch.Fetch()); // an empty reply
    EXPECT_EQ(batch.RecordCount(), 0);

    // Mode and item 13 are normalised; a start key keeps position 0.
    EXPECT_TRUE(batch.Open(&c, "T", "L2", "9", "k", 0, 10, "f1", "", "", "xx", "", "D"));
    EXPECT_EQ(batch.StartKey, "");
    peer.Join();
}
