// The checked multi-select against the server: what a load ticks, and the link records that
// ticks and unticks add and delete.
#include "binding/cCheckMultiSelectObject.h"
#include "tests/binding/BindingTestSupport.h"

#include <QListWidget>

using namespace binding_test;
using cSelect = cCheckMultiSelectObject;

// The demo provider's insurance box; Changes counts the choices-changed calls.
class CheckMultiSelect : public cServerFixture
{
protected:
    void SetUp() override
    {
        cServerFixture::SetUp();
        if (HasFatalFailure())
            return;
        Select.SetLinkFields("L2", "L3", "L2", "f11", "f10", "f11");
        Select.SetOnChoicesChanged([](void *user) { ++*static_cast<int *>(user); }, &Changes);
        Provider = Db->Scalar("SELECT f1 FROM ProviderEntities WHERE f10 = 'Bayview Care Center'");
        ASSERT_FALSE(Provider.empty());
        Load(Provider);
    }

    void Load(const std::string &owner) { Select.LoadChoices(Connection.get(), owner, ""); }
    bool Ticked(int row) const { return Box->item(row)->checkState() == Qt::Checked; }
    std::string Key(int row) const { return std::to_string(cSelect::ItemKey(Box->item(row))); }
    std::string Option(int row) const { return std::to_string(cSelect::ItemOptionKey(Box->item(row))); }

    // The first row that is (or is not) ticked; -1 when there is none.
    int FirstRow(bool ticked) const
    {
        for (int i = 0; i < Box->count(); ++i)
            if (Ticked(i) == ticked)
                return i;
        return -1;
    }

    // The user presses the space bar on the item, which flips its check box.
    void Toggle(int row)
    {
        Box->setCurrentRow(row);
        QTest::keyClick(Box, Qt::Key_Space);
    }

    // The key of the provider's link to the option, "" when there is none.
    std::string LinkOf(const std::string &option)
    {
        return Db->Scalar("SELECT f1 FROM ProviderInsuranceLink WHERE f10 = '" + Provider + "' AND f11 = '" +
                          option + "'");
    }
    std::string LinkCount(const std::string &where = "1")
    {
        return Db->Scalar("SELECT COUNT(*) FROM ProviderInsuranceLink WHERE " + where);
    }

    std::string Provider;
    QWidget Window;
    QListWidget *Box = new QListWidget(&Window);
    cSelect Select{Box, "InsuranceTypes", "ProviderInsuranceLink"};
    int Changes = 0;
};

TEST_F(CheckMultiSelect, LoadTicksTheOwnersLinksOnly)
{
    const int options = std::stoi(Db->Scalar("SELECT COUNT(*) FROM InsuranceTypes"));
    ASSERT_GE(options, 4);
    // The demo provider (which options are ticked is checked by the ui tests): a ticked item
    // carries its link's key, the others their option's key.
    ASSERT_EQ(Box->count(), options);
    ASSERT_GE(FirstRow(true), 0);
    for (int i = 0; i < Box->count(); ++i)
        EXPECT_EQ(Key(i), Ticked(i) ? LinkOf(Option(i)) : Option(i));

    // An owner without links, and one whose only link names a missing option: nothing is ticked
    // and every item carries its option's key.
    ASSERT_TRUE(Db->Exec("INSERT INTO ProviderInsuranceLink (f10, f11) VALUES ('987654', '999999')"));
    for (auto [owner, links] : {std::pair{"987653", 0}, std::pair{"987654", 1}})
    {
        Load(owner);
        ASSERT_EQ(Box->count(), options) << owner;
        EXPECT_EQ(std::pair(FirstRow(true), Select.LinkMap().Count()), std::pair(-1, links)) << owner;
        for (int i = 0; i < Box->count(); ++i)
            EXPECT_EQ(Key(i), Option(i)) << owner;
    }
    EXPECT_EQ(Changes, 0);
}

TEST_F(CheckMultiSelect, UntickTickAndUntickDeleteAddAndDeleteTheRightLinks)
{
    // Link keys far from any option key, so that one cannot pass for the other.
    ASSERT_TRUE(Db->Exec("UPDATE ProviderInsuranceLink SET f1 = f1 + 1000 WHERE f10 = '" + Provider + "'"));
    Load(Provider);
    const int row = FirstRow(true);
    ASSERT_GE(row, 0);
    const std::string option = Option(row);
    const std::string loadedLink = Key(row);
    ASSERT_EQ(LinkOf(option), loadedLink);
    ASSERT_NE(loadedLink, option);
    const int linksBefore = std::stoi(LinkCount());

    // Each toggle: ticked, choices-changed calls, stored links with the loaded key.
    Toggle(row);
    EXPECT_EQ(std::tuple(Ticked(row), Changes, LinkCount("f1 = " + loadedLink)), std::tuple(false, 1, "0"));

    // Ticked again before any load: the new link names the option, not the old link's key.
    Toggle(row);
    ASSERT_TRUE(Ticked(row));
    EXPECT_EQ(std::pair(Changes, Box->currentRow()), std::pair(2, row));
    const std::string newLink = LinkOf(option);
    ASSERT_FALSE(newLink.empty());
    EXPECT_EQ(Key(row), newLink);
    EXPECT_EQ(LinkCount("f10 = '" + Provider + "' AND f11 = '" + option + "'"), "1");

    // Unticking deletes the link the tick added.
    Toggle(row);
    EXPECT_EQ(std::tuple(Ticked(row), Changes, LinkCount("f1 = " + newLink), std::stoi(LinkCount())),
              std::tuple(false, 3, "0", linksBefore - 1));
}

TEST_F(CheckMultiSelect, EqualTextsStaySeparateItems)
{
    const std::string name =
        Db->Scalar("SELECT i.f11 FROM ProviderInsuranceLink l JOIN InsuranceTypes i ON i.f1 = "
                   "l.f11 WHERE l.f10 = '" +
                   Provider + "' LIMIT 1");
    ASSERT_FALSE(name.empty());
    ASSERT_TRUE(Db->Exec("INSERT INTO InsuranceTypes (f10, f11) VALUES ('DUP', '" + name + "')"));
    const std::string duplicate = Db->Scalar("SELECT f1 FROM InsuranceTypes WHERE f10 = 'DUP'");

    Load(Provider);
    std::vector<int> rows;
    int duplicateRow = -1;
    for (int i = 0; i < Box->count(); ++i)
    {
        if (Box->item(i)->text().toStdString() == name)
            rows.push_back(i);
        if (Option(i) == duplicate)
            duplicateRow = i;
    }
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_GE(duplicateRow, 0);
    EXPECT_FALSE(Ticked(duplicateRow));
    EXPECT_NE(Ticked(rows[0]), Ticked(rows[1]));

    Toggle(duplicateRow);
    EXPECT_EQ(LinkCount("f10 = '" + Provider + "' AND f11 = '" + duplicate + "'"), "1");
    EXPECT_TRUE(Ticked(rows[0]) && Ticked(rows[1]));
}

TEST_F(CheckMultiSelect, FailedWritesKeepTheStoredState)
{
    const int ticked = FirstRow(true);
    const int unticked = FirstRow(false);
    ASSERT_GE(ticked, 0);
    ASSERT_GE(unticked, 0);
    const std::string link = Key(ticked);
    ASSERT_TRUE(Server.Stop());

    // The add fails: the option is not linked and shows unticked with its own key.
    Toggle(unticked);
    EXPECT_EQ(std::pair(Ticked(unticked), Key(unticked)), std::pair(false, Option(unticked)));
    // The delete fails: the link is still stored and the item stays ticked under its key.
    Toggle(ticked);
    EXPECT_EQ(std::pair(Ticked(ticked), Key(ticked)), std::pair(true, link));
    EXPECT_EQ(LinkCount("f1 = " + link), "1");
    EXPECT_EQ(Changes, 2);
}
