// Administration rules: personnel members and saves, company data, the category table.
#include "workspace/CategoryTable.h"
#include "workspace/CompanyData.h"
#include "workspace/PersonnelItem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace
{
cPersonnelMember Full()
{
    return {"17", "Alice", "Morgan", "415-555-0110", "a@b.example", "pw", "Y", "Y", "s@sms.example", "Y"};
}

std::vector<std::string> Fields(const cPersonnelMember &m)
{
    return {m.Seq, m.FName, m.LName, m.Phone, m.Email, m.PW, m.Admin, m.Notify, m.SMS, m.Pri};
}
} // namespace

TEST(PersonnelItem, RecordFieldsLandOnTheirMembersAndTheListShowsTheNames)
{
    const std::map<std::string, std::string> record = {
        {"f11", "first"}, {"f13", "last"},   {"f19", "phone"}, {"f22", "mail"}, {"f23", "word"},
        {"f26", "admin"}, {"f29", "notify"}, {"f30", "sms"},   {"f31", "pri"},  {"f10", "title"}};
    std::vector<std::string> asked;
    const cPersonnelMember member = PersonnelMemberFromRecord("5",
                                                              [&](const std::string &code)
                                                              {
                                                                  asked.push_back(code);
                                                                  return record.at(code);
                                                              });
    EXPECT_EQ(Fields(member), (std::vector<std::string>{"5", "first", "last", "phone", "mail", "word",
                                                        "admin", "notify", "sms", "pri"}));
    std::sort(asked.begin(), asked.end());
    std::string fields;
    for (const std::string &code : asked)
        fields += (fields.empty() ? "" : ",") + code;
    EXPECT_EQ(fields, PersonnelListFields) << "exactly the fields the list asks for";
    cPersonnelMember lastOnly;
    lastOnly.LName = "Chen";
    EXPECT_EQ(PersonnelListText(lastOnly), " Chen") << "a blank, then the last name";
    EXPECT_EQ(PersonnelListText(Full()), "Alice Morgan");
}

TEST(PersonnelItem, SaveLinesKeepEmptyValuesInWriteOrder)
{
    cPersonnelMember member = Full();
    member.Phone = "";
    member.Admin = "";
    EXPECT_EQ(PersonnelSaveLines(member).ToVector(),
              (std::vector<std::string>{"f11=Alice", "f13=Morgan", "f19=", "f22=a@b.example", "f23=pw",
                                        "f30=s@sms.example", "f26=", "f29=Y", "f31=Y"}));
}

TEST(PersonnelItem, CreationStampIsLocalTimeToTheSecond)
{
    EXPECT_EQ(PersonnelCreationStamp(EncodeDate(2009, 1, 2) + EncodeTime(3, 4, 9, 0)), "20090102030409");
}

TEST(PersonnelItem, SaveRefusals)
{
    const struct
    {
        const char *First, *Last, *Password;
        bool Adding, HadPassword;
        const char *Text;
    } cases[] = {
        {"", "", "pw", false, true, "Not a valid name"},
        {"", "", "", true, false, "Not a valid name"},
        {"Ann", "", "pw", true, false, ""},
        {"", "Chen", "pw", false, true, ""},
        {"Ann", "Lee", "", true, false, "Please enter a password for this member."},
        {"Ann", "Lee", "", false, true, "Please enter a password for this member."},
        // A member stored without a password can still be edited.
        {"Ann", "Lee", "", false, false, ""},
    };
    for (const auto &c : cases)
    {
        cPersonnelMember member;
        member.FName = c.First;
        member.LName = c.Last;
        member.PW = c.Password;
        const cPersonnelRefusal refusal = PersonnelSaveRefusal(member, c.Adding, c.HadPassword);
        EXPECT_EQ(refusal.Text, c.Text) << c.First << "/" << c.Last << "/" << c.Password << " " << c.Adding;
        EXPECT_EQ(refusal.Refused(), *c.Text != 0);
        EXPECT_EQ(refusal.Caption, refusal.Refused() ? "Error" : "");
    }
}

TEST(CompanyData, LinesFollowTheSaveOrderAndSkipEmptyTexts)
{
    std::map<int, std::string> texts = {{10, "Bayview"}, {11, ""},      {12, "1 Main"}, {13, "SF"},
                                        {14, "CA"},      {15, "94110"}, {16, "555"},    {18, "556"},
                                        {20, "o@b"},     {21, "n@b"},   {23, "www"},    {26, "123"}};
    const auto lines = CompanyUpdateLines([&](int field) { return texts.at(field); });
    EXPECT_EQ(lines.ToVector(),
              (std::vector<std::string>{"f10=Bayview", "f12=1 Main", "f13=SF", "f14=CA", "f15=94110",
                                        "f16=555", "f18=556", "f21=n@b", "f20=o@b", "f23=www", "f26=123"}));
}

TEST(CompanyData, PositionCommandAndItsReply)
{
    EXPECT_EQ(PositionUpdateRequest("12"), "{ServerCommand:updateproviderlatitudelongitude,ProviderSeq:12}");
    EXPECT_EQ(
        (std::vector<std::string>{PositionUpdateError("{Error:\"Unknown zip code 00000\"}"),
                                  PositionUpdateError("{Error:\"\"}"), PositionUpdateError("not json")}),
        (std::vector<std::string>{"Unknown zip code 00000", "", ""}));
    EXPECT_EQ(PositionUpdateMessage("Unknown zip code 1"),
              "There was a problem updating the provider's zip code:\rUnknown zip code 1");
}

TEST(CategoryTable, SectionsAndBoxesAsTheDialogShowsThem)
{
    const auto sections = CategorySections();
    ASSERT_EQ(sections.size(), 6u);
    const auto boxes = CategoryBoxes();
    ASSERT_EQ(boxes.size(), 83u);
    const int expectedCounts[6] = {7, 7, 3, 11, 10, 45};
    int counts[6] = {};
    std::set<std::string> keys;
    int lastSection = 0;
    for (const cCategoryBox &box : boxes)
    {
        ASSERT_GE(box.Section, lastSection) << box.Name << ": the table goes section by section";
        lastSection = box.Section;
        ++counts[box.Section];
        ASSERT_EQ(box.Name[0], 'S');
        // Keys are looked up without regard to letter case: they must differ in more than that.
        EXPECT_TRUE(keys.insert(CategoryKey(box.Name)).second) << box.Name;
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(counts[i], expectedCounts[i]) << sections[static_cast<std::size_t>(i)].Heading;
    EXPECT_EQ(std::count_if(sections.begin(), sections.end(), [](auto &s) { return s.Scrolled; }), 1);
    EXPECT_TRUE(sections[5].Scrolled);
    EXPECT_STREQ(sections[5].Heading, "DME - Other");

    // Spot checks: the two dialysis boxes that differ by "_1", and captions with ampersands.
    const std::map<std::string, std::pair<std::string, int>> spots = {
        {"S139_1", {"Dialysis Equipment", 1}},
        {"S139", {"Home Dialysis Equipment", 2}},
        {"S85", {"Canes && Crutches", 4}},
        {"S135", {"Hemodialysis Equipment & Supplies", 2}},
    };
    for (const auto &[name, expected] : spots)
    {
        const auto found = std::find_if(boxes.begin(), boxes.end(), [&](auto &b) { return name == b.Name; });
        ASSERT_NE(found, boxes.end()) << name;
        EXPECT_EQ(found->Caption, expected.first);
        EXPECT_EQ(found->Section, expected.second) << name;
    }
    EXPECT_STREQ(boxes.front().Name, "S140");
    EXPECT_STREQ(boxes.back().Name, "S127");
}

TEST(CategoryTable, KeysAndCaptionConventions)
{
    // At most six characters after the "S".
    for (const auto &[name, key] :
         {std::pair{"S140", "140"}, {"S139_1", "139_1"}, {"S1234567", "123456"}, {"S", ""}, {"", ""}})
        EXPECT_EQ(CategoryKey(name), key) << name;

    const struct
    {
        const char *Caption, *Shown;
        char Accelerator;
    } captions[] = {
        {"Canes && Crutches", "Canes & Crutches", 0},
        {"Hemodialysis Equipment & Supplies", "Hemodialysis Equipment  Supplies", ' '},
        {"&Save", "Save", 'S'},
        {"a && b &c && d", "a & b c & d", 'c'},
        {"&&&x", "&x", 'x'},
        {"tail&", "tail", 0},
        {"plain", "plain", 0},
        {"", "", 0},
    };
    for (const auto &c : captions)
    {
        EXPECT_EQ(CaptionDisplayText(c.Caption), c.Shown) << c.Caption;
        EXPECT_EQ(CaptionAccelerator(c.Caption), c.Accelerator) << c.Caption;
    }
}

TEST(CategoryTable, LinkLinesInOrderWithoutEmptyZipValues)
{
    EXPECT_EQ(CategoryLinkLines("12", "148", "37.7", "-122.4").ToVector(),
              (std::vector<std::string>{"f10=12", "f11=148", "f13=37.7", "f14=-122.4"}));
    EXPECT_EQ(CategoryLinkLines("12", "139_1", "", "").ToVector(),
              (std::vector<std::string>{"f10=12", "f11=139_1"}));
}
