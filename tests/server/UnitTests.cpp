// Frame parsing, file-area names, the join resolver and the hospital activity, without sockets.
#include "server/DemoData.h"
#include "server/FileArea.h"
#include "server/Frame.h"
#include "server/HospitalActivity.h"
#include "server/JoinResolver.h"

#include <gtest/gtest.h>

TEST(ServerFrame, HeaderLimits)
{
    struct
    {
        std::uint32_t Length;
        bool Ok;
    } cases[] = {{0, false}, {1, true}, {49989, true}, {49990, false}, {0xffffffffu, false}};
    for (auto &c : cases)
    {
        unsigned char bytes[12] = {static_cast<unsigned char>(c.Length),
                                   static_cast<unsigned char>(c.Length >> 8),
                                   static_cast<unsigned char>(c.Length >> 16),
                                   static_cast<unsigned char>(c.Length >> 24),
                                   0x19,
                                   0x79,
                                   0,
                                   0,
                                   0x67,
                                   0,
                                   0,
                                   0};
        cFrameHeader h;
        EXPECT_EQ(ParseFrameHeader(bytes, h), c.Ok) << c.Length;
        EXPECT_EQ(h.Code, 31001);
        EXPECT_EQ(h.Arg, 103);
    }
    std::string_view text;
    EXPECT_TRUE(FrameBodyText("a\0", 2, text));
    EXPECT_EQ(text, "a");
    EXPECT_FALSE(FrameBodyText("ab", 2, text));
    EXPECT_FALSE(FrameBodyText("a\0b\0", 4, text));
}

TEST(ServerFileArea, NamesMapInsideTheArea)
{
    cFileArea area("/srv/data/files/");
    struct
    {
        const char *Name;
        const char *Path; // null: refused
    } cases[] = {{"Clients\\DorvaneProvider.exe", "/srv/data/files/Clients/DorvaneProvider.exe"},
                 {"Clients/a.txt", "/srv/data/files/Clients/a.txt"},
                 {"a", "/srv/data/files/a"},
                 {"..\\x", nullptr},
                 {"Clients\\..\\x", nullptr},
                 {"\\x", nullptr},
                 {"/x", nullptr},
                 {"C:\\x", nullptr},
                 {"Clients\\\\x", nullptr},
                 {"Clients\\", nullptr},
                 {".", nullptr},
                 {"", nullptr},
                 {"a\nb", nullptr}};
    for (auto &c : cases)
    {
        std::string path, error;
        bool ok = area.Resolve(c.Name, path, error);
        EXPECT_EQ(ok, c.Path != nullptr) << c.Name;
        if (ok && c.Path)
        {
            EXPECT_EQ(path, c.Path);
        }
    }
}

TEST(ServerJoins, AliasListsAreCheckedAndResolved)
{
    cStore store;
    std::string error;
    ASSERT_TRUE(store.Open(":memory:", error)) << error;
    ASSERT_TRUE(FillDemoData(store, error)) << error;
    const cTableDef &quotes = *cCatalogue::FindTable("CaseNeedsQuote");
    cJoinResolver joins(store);
    const char *bad[] = {"cn=NoSuchTable:f10", "cn=CaseNeeds:x10", "cn=CaseNeeds:f99", "c n=Cases:f10",
                         "f=Cases:f10",        "cn=CaseNeeds",     "ca=Cases:cn10"};
    for (const char *list : bad)
        EXPECT_FALSE(joins.Prepare(quotes, list, error)) << list;
    ASSERT_TRUE(joins.Prepare(quotes, "cn=CaseNeeds:f10,ca=Cases:CN10,pa=Patients:ca10", error)) << error;
    cRecord quote;
    ASSERT_TRUE(store.ReadBySeq(quotes, 1, quote));
    joins.Load(quote);
    std::string value;
    EXPECT_TRUE(joins.Value("PA12", value, error));
    EXPECT_EQ(value, "Simmons");
    EXPECT_TRUE(joins.Value("f11", value, error));
    EXPECT_EQ(value, "1");
    EXPECT_FALSE(joins.Value("zz10", value, error));
    EXPECT_FALSE(joins.Value("pa99", value, error));
    EXPECT_FALSE(joins.Value("pa", value, error));
}

TEST(ServerActivity, PostsNeedsAndAwardsAcceptedQuotes)
{
    cStore store;
    std::string error;
    ASSERT_TRUE(store.Open(":memory:", error));
    ASSERT_TRUE(FillDemoData(store, error));
    const cTableDef &needs = *cCatalogue::FindTable("CaseNeeds");
    int before = 0, after = 0;
    store.Select(needs, 0, "", 1, 0, 1, &before);
    cHospitalActivity activity(store);
    std::string award = activity.Step(); // odd step: an accepted quote gets its award
    EXPECT_EQ(award.rfind("awarded quote ", 0), 0u) << award;
    EXPECT_EQ(activity.Step().rfind("posted need ", 0), 0u);
    store.Select(needs, 0, "", 1, 0, 1, &after);
    EXPECT_EQ(after, before + 1);
}
