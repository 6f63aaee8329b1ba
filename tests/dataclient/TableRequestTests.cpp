// Table requests: the bodies they send and how they judge the replies.
#include "dataclient/FieldCodes.h"
#include "dataclient/dbServerConnection.h"
#include "tests/support/ScriptedPeer.h"

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

std::unique_ptr<dbServerConnection> Link(const cScriptedPeer &peer)
{
    return std::make_unique<dbServerConnection>("127.0.0.1", peer.PortText(), "", "", false, -1);
}

// A plain peer that serves the exchanges of a test in order.
class TableRequests : public testing::Test
{
protected:
    std::unique_ptr<dbServerConnection> Serve(std::vector<cExchange> exchanges)
    {
        ServeExchanges(Peer, std::move(exchanges));
        return Link(Peer);
    }
    cScriptedPeer Peer{false};
};
} // namespace

TEST(FieldCodes, NoteLinesAreEncoded)
{
    Texts encoded;
    for (const char *line : {"*12:3=hello", "@5=x y", "^a=t", "#7:b=", "x", "ab"})
        encoded.push_back(EncodeNoteLine(line));
    EXPECT_EQ(encoded, (Texts{"12,hello,R,3", "5,\"x y\",A,0", "0,t,I,0", "7,,#,0", "", ""}));
}

TEST_F(TableRequests, WritesSendTheirBodiesAndJudgeTheReply)
{
    auto c = Serve({{31001, 20001, "TableName=Personnel,f10=Ann,f11=x||y", "57"},
                    {31001, 20001, "TableName=Personnel,\"f12=New York\"", "ErrorCode=3"},
                    {31001, 20002, "TableName=Cases,Seq=9", "Fail"},
                    {31001, 20002, "TableName=Cases,Seq=9", "OK"},
                    {31001, 20002, "TableName=Cases,Seq=9", "ErrorCode=2"},
                    {31001, 20004, "TableName=Cases,Seq=9,f14=A", "Fail"},
                    {31001, 20004, "TableName=Cases,Seq=9,f14=A", "OK"},
                    {31001, 20001, "TableName=T,\"Notes=\"\"5,x,A,0\"\",\",f10=1", "3"}});
    EXPECT_EQ((Texts{c->AddRecord("Personnel", Lines({"f10=Ann", "f11=x\r\ny"})),
                     c->AddRecord("Personnel", Lines({"f12=New York"}))}),
              (Texts{"57", ""}));
    EXPECT_EQ(
        (std::vector<bool>{c->DeleteRecord("Cases", "9"), c->DeleteRecord("Cases", "9"),
                           c->DeleteRecord("Cases", "9"), c->UpdateRecord("Cases", "9", Lines({"f14=A"})),
                           c->UpdateRecord("Cases", "9", Lines({"f14=A"}))}),
        (std::vector<bool>{false, true, false, false, true}));
    // The caller's notes are encoded into the body and handed back encoded.
    cStringList notes = Lines({"@5=x", "bad"});
    EXPECT_EQ(c->AddRecord("T", Lines({"f10=1"}), &notes), "3");
    EXPECT_EQ(notes.ToVector(), (Texts{"5,x,A,0", ""}));
}

TEST_F(TableRequests, TableNameSuffixRules)
{
    // A name with a dot loses its last four characters; an update does so only for ".def".
    auto c = Serve({{31001, 20001, "TableName=Cases", "OK"},
                    {31001, 20001, "TableName=Pers", "OK"},
                    {31001, 20001, "TableName=", "OK"},
                    {31001, 20002, "TableName=Pers,Seq=4", "OK"},
                    {31001, 20004, "TableName=Person.x,Seq=4", "OK"},
                    {31001, 20004, "TableName=Cases,Seq=4", "OK"},
                    {31001, 20003, "TableName=Pers,Seq=4", "OK"},
                    {31001, 20003, "TableName=Cases,List=2,Key=k", "OK"},
                    {31001, 20013, "TableName=Pers,List=1,Key=9,FieldList=f10", "OK"}});
    cStringList lines;
    std::string fields = "f10";
    c->AddRecord("Cases.def", cStringList());
    c->AddRecord("Person.x", cStringList());
    c->AddRecord("", cStringList());
    c->DeleteRecord("Person.x", "4");
    c->UpdateRecord("Person.x", "4", cStringList());
    c->UpdateRecord("Cases.def", "4", cStringList());
    c->ReadRecord("Person.x", "4", lines);
    c->ReadList("Cases.def", 2, "k", "", lines);
    c->ReadFields("Person.x", "9", fields);
}

TEST_F(TableRequests, RecordReadsDecodeOnlyForReadRecord)
{
    auto c =
        Serve({{31001, 20003, "TableName=P,Seq=1", "5,~~~,a||b"},
               {31001, 20003, "TableName=P,List=4,Key=a@b.c,Owner=7", "5,~~~,a||b"},
               {31001, 20003, "TableName=P,Seq=1", "\"Error: no table\""},
               {31001, 20003, "TableName=P,List=4,Key=k", "\"Error: no table\""},
               {31001, 20003, "TableName=P,Seq=1", "~"},
               {31001, 20003, "TableName=P,List=4,Key=k", "~"},
               {31001, 20003, "TableName=P,Seq=1", "x,ErrorCode=4"},
               {31001, 20003, "TableName=P,List=4,Key=k", "x,ErrorCode=4"},
               {31001, 20003, "TableName=P,Seq=1,\"Notes=n1,n2\",AliasList=CN=CaseNeeds:f10", "a,b,N1,N2"}});
    cStringList lines;
    ASSERT_TRUE(c->ReadRecord("P", "1", lines));
    EXPECT_EQ(lines.ToVector(), (Texts{"5", "", "a\r\nb"}));
    ASSERT_TRUE(c->ReadList("P", 4, "a@b.c", "7", lines));
    EXPECT_EQ(lines.ToVector(), (Texts{"5", "~~~", "a||b"}));
    EXPECT_FALSE(c->ReadRecord("P", "1", lines));
    EXPECT_EQ(lines.ToVector(), (Texts{"Error: no table"}));
    // An error and "~" fail both reads; a non-zero error code fails ReadRecord only.
    EXPECT_EQ((std::vector<bool>{c->ReadList("P", 4, "k", "", lines), c->ReadRecord("P", "1", lines),
                                 c->ReadList("P", 4, "k", "", lines), c->ReadRecord("P", "1", lines),
                                 c->ReadList("P", 4, "k", "", lines)}),
              (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(lines.ToVector(), (Texts{"x"}));

    cStringList notes = Lines({"n1", "n2"});
    ASSERT_TRUE(c->ReadRecord("P", "1", lines, &notes, "CN=CaseNeeds:f10"));
    EXPECT_EQ(lines.ToVector(), (Texts{"a", "b"}));
    EXPECT_EQ(notes.ToVector(), (Texts{"N1", "N2"}));
}

TEST_F(TableRequests, ReadFieldsReturnsCodeValueItems)
{
    auto c = Serve({{31001, 20013, "TableName=Cases,List=1,Key=9,\"FieldList=f10,f11\"",
                     "\"Fields=f10=Smith,\"\"f11=1 Main St\"\",f12=a||b\",Notes=n"},
                    {31001, 20013, "TableName=Cases,List=1,Key=9,FieldList=f10", "~"},
                    {31001, 20013, "TableName=Cases,List=1,Key=9,FieldList=f10", "Error=bad,ErrorCode=1"}});
    std::string fields = "f10,f11", notes, missing = "f10", refused = "f10";
    ASSERT_TRUE(c->ReadFields("Cases", "9", fields, "", notes));
    EXPECT_EQ(fields + "|" + notes, "f10=Smith,\"f11=1 Main St\",\"f12=a\r\nb\"|n");
    EXPECT_FALSE(c->ReadFields("Cases", "9", missing));
    EXPECT_FALSE(c->ReadFields("Cases", "9", refused));
    EXPECT_EQ(missing + "|" + refused, "~|\"Error=bad\"");
}

TEST_F(TableRequests, FailedExchangeGivesTheFailureTexts)
{
    auto peer = std::make_unique<cScriptedPeer>(false);
    peer->Run(
        [](cScriptedPeer &p)
        {
            p.Accept();
            p.ReadFrame();
            p.CloseLink();
        });
    auto c = Link(*peer);
    cStringList lines;
    EXPECT_FALSE(c->ReadRecord("P", "1", lines));
    EXPECT_EQ(lines.ToVector(), (Texts{"\"Error: SendMessage Failed.\""}));
    peer.reset();
    // The server is gone; the next requests cannot reconnect.
    std::string fields = "f10";
    EXPECT_FALSE(c->ReadFields("P", "1", fields));
    EXPECT_EQ(fields, "\"Error=SendMessage Failed.\"");
    EXPECT_EQ(c->AddRecord("P", cStringList()), "");
}
