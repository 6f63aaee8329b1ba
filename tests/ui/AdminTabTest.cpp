// The " Insurance We Accept " and " Who We Are " pages of the " Admin " tab against DorvaneServer
// with demo data, driven by clicks and keys and checked in the database.
#include "tests/ui/UiTestSupport.h"
#include "ui/CategorySelectionForm.h"
#include "workspace/SignedInUser.h"

#include <algorithm>

using namespace ui_test;

namespace
{
class AdminTab : public cWorkspaceTest
{
protected:
    // By the signed-in user's provider key: a test may change the provider's name.
    std::string Key() { return SignedInUser(Session().PersonnelRecord).ProviderKey; }
    std::string Provider(int field) { return Field("ProviderEntities", Key(), field); }
    std::vector<std::string> LinkedInsurance()
    {
        return Column("SELECT t.f11 FROM ProviderInsuranceLink l JOIN InsuranceTypes t ON t.f1 = l.f11 "
                      "WHERE l.f10 = '" +
                      ProviderSeq() + "' ORDER BY t.f11");
    }
    static std::vector<std::string> Sorted(std::vector<std::string> values)
    {
        std::sort(values.begin(), values.end());
        return values;
    }
};
} // namespace

TEST_F(AdminTab, InsuranceListLoadsOnceAndStoresTicksAlsoAfterARefresh)
{
    Open();
    auto *list = Find<QListWidget>("InsuranceListBox");
    auto *accepted = Find<QListWidget>("InsuranceAcceptedListBox");
    EXPECT_EQ(list->count(), 0) << "nothing is loaded before the tab is shown";
    ShowAdmin(0);
    EXPECT_EQ(Texts(list), Column("SELECT f11 FROM InsuranceTypes ORDER BY f11"));
    const std::vector<std::string> linked = LinkedInsurance();
    ASSERT_EQ(linked.size(), 3u);
    EXPECT_EQ(Sorted(Texts(list, true)), linked);
    EXPECT_EQ(Texts(accepted), Texts(list, true)) << "in the order of the check list";
    EXPECT_EQ(
        ShownTexts(Main.get(), {"Label13", "Label20"}),
        (std::vector<std::string>{"We accept the following insurance plans:", "Select insurance plans:"}));
    EXPECT_EQ(Find<QTabWidget>("AdminPageControl")->tabText(0), " Insurance We Accept ");

    const int aetna = RowOf(list, "Aetna");
    ASSERT_NE(list->item(aetna)->checkState(), Qt::Checked);
    ClickCheck(list, aetna);
    EXPECT_EQ(list->item(aetna)->checkState(), Qt::Checked);
    EXPECT_EQ(LinkedInsurance(), Sorted({"Aetna", linked[0], linked[1], linked[2]}));
    EXPECT_EQ(Texts(accepted), Texts(list, true));

    // A link stored elsewhere is not seen: the list is loaded once per run.
    ASSERT_TRUE(Db->Exec("INSERT INTO ProviderInsuranceLink (f10, f11) SELECT '" + ProviderSeq() +
                         "', f1 FROM InsuranceTypes WHERE f11 = 'Humana'"));
    ShowAdmin(1);
    ShowAdmin(0);
    ClickTab("MainPageControl", 0);
    ShowAdmin(0);
    EXPECT_EQ(list->item(RowOf(list, "Humana"))->checkState(), Qt::Unchecked);

    ClickCheck(list, aetna);
    EXPECT_EQ(list->item(aetna)->checkState(), Qt::Unchecked);
    EXPECT_EQ(LinkedInsurance(), Sorted({"Humana", linked[0], linked[1], linked[2]}));

    // After Refresh Requests (new connections) ticks go over the new connection.
    ClickTab("MainPageControl", 0);
    Click("RefreshRequestButton");
    ASSERT_EQ(Host.TerminateCount, 0);
    ShowAdmin(0);
    ClickCheck(list, aetna);
    EXPECT_EQ(std::ranges::count(LinkedInsurance(), "Aetna"), 1) << "the tick was stored";
    ClickCheck(list, aetna);
    EXPECT_EQ(std::ranges::count(LinkedInsurance(), "Aetna"), 0) << "and the untick too";
    EXPECT_TRUE(Host.Messages.empty());
}

TEST_F(AdminTab, WhoWeAreShowsTheRecordAndSavesOnlyWhatIsTyped)
{
    Open();
    ShowAdmin(1);
    const struct
    {
        const char *Edit;
        int Field;
        const char *Caption;
    } edits[] = {{"MyNameEdit", 10, "Company Name "},
                 {"MyAttnEdit", 11, "Attn "},
                 {"MyStreetEdit", 12, "Street "},
                 {"MyCityEdit", 13, "City "},
                 {"MyStateEdit", 14, "State "},
                 {"MyZipEdit", 15, "Zip "},
                 {"MyPhoneEdit", 16, "Phone "},
                 {"MyFaxEdit", 18, "Fax "},
                 {"MyEmailEdit", 20, "Company Email Address "},
                 {"MyNotifyEmailEdit", 21, "Notification Email Address "},
                 {"MyWebsiteEdit", 23, "My Website "},
                 {"NPIEdit", 26, "NPI"}};
    for (const auto &e : edits)
    {
        auto *edit = Find<cLabeledEdit>(e.Edit);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text().toStdString(), Provider(e.Field)) << e.Edit;
        EXPECT_FALSE(Provider(e.Field).empty()) << e.Edit;
        EXPECT_EQ(edit->Caption().toStdString(), e.Caption);
        EXPECT_TRUE(edit->font().bold());
        EXPECT_EQ(edit->isVisible(), std::string(e.Edit) != "MyNotifyEmailEdit") << e.Edit;
    }
    QPushButton *save = Find<QPushButton>("MyInformationUpdateButton");
    EXPECT_EQ(save->text(), "Save Changes");
    EXPECT_FALSE(save->isEnabled());

    const std::string attention = Provider(11);
    Type("MyAttnEdit", "");
    EXPECT_TRUE(save->isEnabled());
    Type("MyNameEdit", "Bayview Care & Rehab");
    Type("MyCityEdit", "Oakland");
    Type("MyZipEdit", "94601");
    Click("MyInformationUpdateButton");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_FALSE(save->isEnabled());
    // An emptied edit clears its field; the position (f27, f28) follows the zip code.
    ASSERT_FALSE(attention.empty());
    EXPECT_EQ(
        Fields("ProviderEntities", Key(), {11, 10, 13, 15, 27, 28}),
        (std::vector<std::string>{"", "Bayview Care & Rehab", "Oakland", "94601", "37.7795", "-122.2166"}));
    EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel"}),
              std::vector<std::string>{"Bayview Care & Rehab"});
    EXPECT_EQ(Session().ProviderRecord.Strings(15), "94601");
}

TEST_F(AdminTab, RefusedOrUnansweredSavesAreReported)
{
    Open();
    ShowAdmin(1);
    QPushButton *save = Find<QPushButton>("MyInformationUpdateButton");
    {
        cDeadLink data(cDeadLink::Data), function(cDeadLink::Function);
        // The function link's last reply said nothing of an error; it must not be read again.
        Session().FunctionServerConnection()->ReplyText = "{Error:\"\"}";
        Type("MyCityEdit", "Alameda");
        Click("MyInformationUpdateButton");
    }

    // Nothing was stored, so the position is not recomputed either.
    EXPECT_EQ(Said(Host), (std::vector<std::string>{"Error: The company data could not be saved."}));
    EXPECT_TRUE(save->isEnabled()) << "the typed data can be saved again";
    EXPECT_EQ(Find<QLineEdit>("MyCityEdit")->text(), "Alameda");
    EXPECT_EQ(ShownTexts(Main.get(), {"ProviderNameLabel"}), std::vector<std::string>{"Bayview Care Center"});
    Click("MyInformationUpdateButton");
    EXPECT_EQ(Provider(13), "Alameda");
}

TEST_F(AdminTab, WhatWeDoHandsTheSavedPositionToTheDialogAndAnUnknownZipCodeIsReported)
{
    TCategorySelectionForm dialog;
    CategorySelectionForm = &dialog;
    Open();
    ShowAdmin(1);
    struct
    {
        std::string Zip1 = "unset", Zip2 = "unset", Provider;
        dbServerConnection *Connection = nullptr;
        bool Shown = false;
    } seen;
    auto whatWeDo = [&]
    {
        QTimer::singleShot(0, &dialog,
                           [&]
                           {
                               seen = {dialog.ZipValue1(), dialog.ZipValue2(), dialog.ProviderKey(),
                                       dialog.Connection(), dialog.isVisible()};
                               dialog.ExitLabelClick();
                           });
        Click("WhatWeDoButton");
    };
    whatWeDo();
    EXPECT_TRUE(seen.Shown);
    EXPECT_EQ((std::vector<std::string>{seen.Zip1, seen.Zip2, seen.Provider}),
              (std::vector<std::string>{"37.7486", "-122.4158", ProviderSeq()}));
    EXPECT_EQ(seen.Connection, Session().DataServerConnection());

    Type("MyZipEdit", "95112");
    Click("MyInformationUpdateButton");
    whatWeDo();
    EXPECT_EQ(seen.Zip1 + " " + seen.Zip2, "37.3477 -121.8860") << "the zip code just saved";

    // An unknown zip code: the exact message after the data are written; the old position stays.
    Type("MyZipEdit", "11111");
    Click("MyInformationUpdateButton");
    EXPECT_EQ(Said(Host),
              (std::vector<std::string>{"Error updating zip code: There was a problem updating the "
                                        "provider's zip code:\rUnknown zip code 11111"}));
    EXPECT_EQ(Provider(15), "11111");
    EXPECT_EQ(Provider(27), "37.3477");
    whatWeDo();
    EXPECT_EQ(seen.Zip1 + "|" + seen.Zip2, "|") << "an unknown zip code hands over empty values";
    CategorySelectionForm = nullptr;
}
