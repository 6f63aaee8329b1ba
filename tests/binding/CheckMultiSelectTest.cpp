// The checked multi-select against the server: what a load ticks, and the link records that
// ticks and unticks add and delete.
#include "binding/cCheckMultiSelectObject.h"
#include "tests/binding/BindingTestSupport.h"

#include <QListWidget>

using namespace binding_test;

namespace
{
using cSelect = cCheckMultiSelectObject;

struct cInsuranceBox
{
    QWidget Window;
    QListWidget *Box = new QListWidget(&Window);
    cSelect Select{Box, "InsuranceTypes", "ProviderInsuranceLink"};
    int Changes = 0;

    cInsuranceBox()
    {
        Select.SetLinkFields("L2", "L3", "L2", "f11", "f10", "f11");
        Select.SetOnChoicesChanged([](void *user) { ++*static_cast<int *>(user); }, &Changes);
    }

    bool Ticked(int row) const { return Box->item(row)->checkState() == Qt::Checked; }
    long long Key(int row) const { return cSelect::ItemKey(Box->item(row)); }
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
};
} // namespace

class CheckMultiSelect : public cServerFixture
{
protected:
    void SetUp() override
    {
        cServerFixture::SetUp();
        if (HasFatalFailure())
            return;
        Provider = Db->Scalar("SELECT f1 FROM ProviderEntities WHERE f10 = 'Bayview Care Center'");
        ASSERT_FALSE(Provider.empty());
        Box.Select.LoadChoices(Connection.get(), Provider, "");
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
    cInsuranceBox Box;
};

TEST_F(CheckMultiSelect, LoadTicksTheOwnersLinksOnly)
{
    const int options = std::stoi(Db->Scalar("SELECT COUNT(*) FROM InsuranceTypes"));
    ASSERT_GE(options, 4);
    // The demo provider (which options are ticked is checked by the ui tests): a ticked item
    // carries its link's key, the others their option's key.
    ASSERT_EQ(Box.Box->count(), options);
    ASSERT_GE(Box.FirstRow(true), 0);
    for (int i = 0; i < Box.Box->count(); ++i)
        EXPECT_EQ(std::to_string(Box.Key(i)), Box.Ticked(i) ? LinkOf(Box.Option(i)) : Box.Option(i));

    // An owner without links, and one whose only link names a missing option: nothing is ticked
    // and every item carries its option's key.
    ASSERT_TRUE(Db->Exec("INSERT INTO ProviderInsuranceLink (f10, f11) VALUES ('987654', '999999')"));
    for (auto [owner, links] : {std::pair{"987653", 0}, std::pair{"987654", 1}})
    {
        Box.Select.LoadChoices(Connection.get(), owner, "");
        ASSERT_EQ(Box.Box->count(), options) << owner;
        EXPECT_EQ(Box.FirstRow(true), -1) << owner;
        EXPECT_EQ(Box.Select.LinkMap().Count(), links) << owner;
        for (int i = 0; i < Box.Box->count(); ++i)
            EXPECT_EQ(std::to_string(Box.Key(i)), Box.Option(i)) << owner;
    }
    EXPECT_EQ(Box.Changes, 0);
}

TEST_F(CheckMultiSelect, UntickTickAndUntickDeleteAddAndDeleteTheRightLinks)
{
    // Link keys far from any option key, so that one cannot pass for the other.
    ASSERT_TRUE(Db->Exec("UPDATE ProviderInsuranceLink SET f1 = f1 + 1000 WHERE f10 = '" + Provider + "'"));
    Box.Select.LoadChoices(Connection.get(), Provider, "");
    const int row = Box.FirstRow(true);
    ASSERT_GE(row, 0);
    const std::string option = Box.Option(row);
    const std::string loadedLink = std::to_string(Box.Key(row));
    ASSERT_EQ(LinkOf(option), loadedLink);
    ASSERT_NE(loadedLink, option);
    const int linksBefore = std::stoi(LinkCount());

    Box.Toggle(row);
    EXPECT_FALSE(Box.Ticked(row));
    EXPECT_EQ(Box.Changes, 1);
    EXPECT_EQ(LinkCount("f1 = " + loadedLink), "0");

    // Ticked again before any load: the new link names the option, not the old link's key.
    Box.Toggle(row);
    ASSERT_TRUE(Box.Ticked(row));
    EXPECT_EQ(Box.Changes, 2);
    EXPECT_EQ(Box.Box->currentRow(), row);
    const std::string newLink = LinkOf(option);
    ASSERT_FALSE(newLink.empty());
    EXPECT_EQ(std::to_string(Box.Key(row)), newLink);
    EXPECT_EQ(LinkCount("f10 = '" + Provider + "' AND f11 = '" + option + "'"), "1");

    // Unticking deletes the link the tick added.
    Box.Toggle(row);
    EXPECT_FALSE(Box.Ticked(row));
    EXPECT_EQ(Box.Changes, 3);
    EXPECT_EQ(LinkCount("f1 = " + newLink), "0");
    EXPECT_EQ(std::stoi(LinkCount()), linksBefore - 1);
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

    Box.Select.LoadChoices(Connection.get(), Provider, "");
    std::vector<int> rows;
    int duplicateRow = -1;
    for (int i = 0; i < Box.Box->count(); ++i)
    {
        if (Box.Box->item(i)->text().toStdString() == name)
            rows.push_back(i);
        if (Box.Option(i) == duplicate)
            duplicateRow = i;
    }
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_GE(duplicateRow, 0);
    EXPECT_FALSE(Box.Ticked(duplicateRow));
    EXPECT_NE(Box.Ticked(rows[0]), Box.Ticked(rows[1]));

    Box.Toggle(duplicateRow);
    EXPECT_EQ(LinkCount("f10 = '" + Provider + "' AND f11 = '" + duplicate + "'"), "1");
    EXPECT_TRUE(Box.Ticked(rows[0]) && Box.Ticked(rows[1]));
}

TEST_F(CheckMultiSelect, FailedWritesKeepTheStoredState)
{
    const int ticked = Box.FirstRow(true);
    const int unticked = Box.FirstRow(false);
    ASSERT_GE(ticked, 0);
    ASSERT_GE(unticked, 0);
    const long long link = Box.Key(ticked);
    ASSERT_TRUE(Server.Stop());

    // The add fails: the option is not linked and shows unticked with its own key.
    Box.Toggle(unticked);
    EXPECT_FALSE(Box.Ticked(unticked));
    EXPECT_EQ(std::to_string(Box.Key(unticked)), Box.Option(unticked));
    // The delete fails: the link is still stored and the item stays ticked under its key.
    Box.Toggle(ticked);
    EXPECT_TRUE(Box.Ticked(ticked));
    EXPECT_EQ(Box.Key(ticked), link);
    EXPECT_EQ(LinkCount("f1 = " + std::to_string(link)), "1");
    EXPECT_EQ(Box.Changes, 2);
}
