// Administration rules: personnel members and saves, company data, the category table.
#include "workspace/CategoryTable.h"
#include "workspace/CompanyData.h"
#include "workspace/PersonnelItem.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

TEST(PersonnelItem, RecordFieldsLandOnTheirMembersAndTheListShowsTheNames)
{
    std::vector<std::string> asked;
    cPersonnelMember m = PersonnelMemberFromRecord("5",
                                                   [&](const std::string &code)
                                                   {
                                                       asked.push_back(code);
                                                       return code + "!";
                                                   });
    EXPECT_EQ((std::vector<std::string>{m.Seq, m.FName, m.LName, m.Phone, m.Email, m.PW, m.Admin, m.Notify,
                                        m.SMS, m.Pri}),
              (std::vector<std::string>{"5", "f11!", "f13!", "f19!", "f22!", "f23!", "f26!", "f29!", "f30!",
                                        "f31!"}));
    // Those nine fields and no others, which are the ones the list asks for.
    EXPECT_EQ(asked.size(), 9u);
    EXPECT_STREQ(PersonnelListFields, "f11,f13,f19,f22,f23,f26,f29,f30,f31");
    EXPECT_EQ(PersonnelListText(m), "f11! f13!");
    m.FName.clear();
    EXPECT_EQ(PersonnelListText(m), " f13!") << "a blank, then the last name";
}

TEST(PersonnelItem, SaveLinesKeepEmptyValuesInWriteOrderAndRefusalsStopBadSaves)
{
    const cPersonnelMember member = {"17", "Alice", "Morgan",        "", "a@b.example", "pw",
                                     "",   "Y",     "s@sms.example", "Y"};
    EXPECT_EQ(PersonnelSaveLines(member).ToVector(),
              (std::vector<std::string>{"f11=Alice", "f13=Morgan", "f19=", "f22=a@b.example", "f23=pw",
                                        "f30=s@sms.example", "f26=", "f29=Y", "f31=Y"}));
    EXPECT_EQ(PersonnelCreationStamp(EncodeDate(2009, 1, 2) + EncodeTime(3, 4, 9, 0)), "20090102030409")
        << "local time to the second";
    // A member stored without a password can still be edited.
    const std::tuple<const char *, const char *, const char *, bool, bool, const char *> cases[] = {
        {"", "", "pw", false, true, "Not a valid name"},
        {"", "", "", true, false, "Not a valid name"},
        {"Ann", "", "pw", true, false, ""},
        {"", "Chen", "pw", false, true, ""},
        {"Ann", "Lee", "", true, false, "Please enter a password for this member."},
        {"Ann", "Lee", "", false, true, "Please enter a password for this member."},
        {"Ann", "Lee", "", false, false, ""},
    };
    for (const auto &[first, last, password, adding, hadPassword, text] : cases)
    {
        const cPersonnelRefusal refusal =
            PersonnelSaveRefusal({"", first, last, "", "", password, "", "", "", ""}, adding, hadPassword);
        EXPECT_EQ(std::tuple(refusal.Text, refusal.Refused(), refusal.Caption),
                  std::tuple(std::string(text), *text != 0, std::string(*text ? "Error" : "")))
            << first << "/" << last << "/" << password << " " << adding << hadPassword;
    }
}

TEST(CompanyData, SaveLinesAndThePositionCommand)
{
    // Each field's text names the field; field 11 is empty.
    EXPECT_EQ(CompanyUpdateLines([](int field) { return field == 11 ? "" : "t" + std::to_string(field); })
                  .ToVector(),
              (std::vector<std::string>{"f10=t10", "f11=", "f12=t12", "f13=t13", "f14=t14", "f15=t15",
                                        "f16=t16", "f18=t18", "f21=t21", "f20=t20", "f23=t23", "f26=t26"}));
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
    const auto boxes = CategoryBoxes();
    ASSERT_EQ(sections.size(), 6u);
    ASSERT_EQ(boxes.size(), 83u);
    std::vector<int> counts(6);
    std::set<std::string> keys;
    std::map<std::string, std::pair<std::string, int>> shown; // caption and section of each box
    int lastSection = 0;
    for (const cCategoryBox &box : boxes)
    {
        ASSERT_GE(box.Section, lastSection) << box.Name << ": the table goes section by section";
        lastSection = box.Section;
        ++counts.at(static_cast<std::size_t>(box.Section));
        ASSERT_EQ(box.Name[0], 'S');
        // Keys are looked up without regard to letter case: they must differ in more than that.
        EXPECT_TRUE(keys.insert(CategoryKey(box.Name)).second) << box.Name;
        shown[box.Name] = {box.Caption, box.Section};
    }
    EXPECT_EQ(counts, (std::vector<int>{7, 7, 3, 11, 10, 45})) << "boxes of each section";
    EXPECT_EQ(std::count_if(sections.begin(), sections.end(), [](auto &s) { return s.Scrolled; }), 1);
    EXPECT_TRUE(sections[5].Scrolled);
    EXPECT_STREQ(sections[5].Heading, "DME - Other");
    EXPECT_EQ(std::string(boxes.front().Name) + "|" + boxes.back().Name, "S140|S127");

    // Spot checks: the two dialysis boxes that differ by "_1", and captions with ampersands.
    for (const auto &[name, caption, section] : {std::tuple{"S139_1", "Dialysis Equipment", 1},
                                                 {"S139", "Home Dialysis Equipment", 2},
                                                 {"S85", "Canes && Crutches", 4},
                                                 {"S135", "Hemodialysis Equipment & Supplies", 2}})
        EXPECT_EQ(shown[name], std::pair(std::string(caption), section)) << name;
}

TEST(CategoryTable, KeysCaptionsAndLinkLines)
{
    // At most six characters after the "S".
    for (const auto &[name, key] :
         {std::pair{"S140", "140"}, {"S139_1", "139_1"}, {"S1234567", "123456"}, {"S", ""}, {"", ""}})
        EXPECT_EQ(CategoryKey(name), key) << name;

    const std::tuple<const char *, const char *, char> captions[] = {
        {"Canes && Crutches", "Canes & Crutches", 0},
        {"Hemodialysis Equipment & Supplies", "Hemodialysis Equipment  Supplies", ' '},
        {"&Save", "Save", 'S'},
        {"a && b &c && d", "a & b c & d", 'c'},
        {"&&&x", "&x", 'x'},
        {"tail&", "tail", 0},
        {"plain", "plain", 0},
        {"", "", 0},
    };
    for (const auto &[caption, shown, accelerator] : captions)
        EXPECT_EQ(std::pair(CaptionDisplayText(caption), CaptionAccelerator(caption)),
                  std::pair(std::string(shown), accelerator))
            << caption;
    // Link lines in order, without empty zip values.
    EXPECT_EQ(CategoryLinkLines("12", "148", "37.7", "-122.4").ToVector(),
              (std::vector<std::string>{"f10=12", "f11=148", "f13=37.7", "f14=-122.4"}));
    EXPECT_EQ(CategoryLinkLines("12", "139_1", "", "").ToVector(),
              (std::vector<std::string>{"f10=12", "f11=139_1"}));
}
