// The checked multi-select against the server: what a load ticks, and the link records that
// ticks and unticks add and delete.
#include "binding/cCheckMultiSelectObject.h"
#include "tests/binding/BindingServer.h"
#include "tests/binding/BindingTestForms.h"

#include <QListWidget>
#include <algorithm>
#include <set>

using namespace binding_test;

namespace
{
void CountChange(void *user)
{
    ++*static_cast<int *>(user);
}

struct cInsuranceBox
{
    QWidget Window;
    QListWidget *Box = new QListWidget(&Window);
    cCheckMultiSelectObject Select{Box, "InsuranceTypes", "ProviderInsuranceLink"};
    int Changes = 0;

    cInsuranceBox()
    {
        Box->setObjectName("InsuranceListBox");
        Select.SetLinkFields("L2", "L3", "L2", "f11", "f10", "f11");
        Select.SetOnChoicesChanged(CountChange, &Changes);
    }

    int RowOfOption(const std::string &optionKey) const
    {
        for (int i = 0; i < Box->count(); ++i)
            if (std::to_string(cCheckMultiSelectObject::ItemOptionKey(Box->item(i))) == optionKey)
                return i;
        return -1;
    }

    bool Ticked(int row) const { return Box->item(row)->checkState() == Qt::Checked; }

    // The user presses the space bar on the item, which flips its check box.
    void Toggle(int row)
    {
        Box->setCurrentRow(row);
        QTest::keyClick(Box, Qt::Key_Space);
    }

    std::set<std::string> TickedTexts() const
    {
        std::set<std::string> out;
        for (int i = 0; i < Box->count(); ++i)
            if (Ticked(i))
                out.insert(Box->item(i)->text().toStdString());
        return out;
    }
};

std::set<std::string> Column(const std::vector<std::vector<std::string>> &rows)
{
    std::set<std::string> out;
    for (const auto &row : rows)
        out.insert(row.at(0));
    return out;
}
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
    }

    std::string LinksOf(const std::string &option)
    {
        return Db->Scalar("SELECT COUNT(*) FROM ProviderInsuranceLink WHERE f10 = '" + Provider +
                          "' AND f11 = '" + option + "'");
    }

    std::string Provider;
};

TEST_F(CheckMultiSelect, LoadTicksTheOwnersLinksOnly)
{
    const auto options = Db->Query("SELECT f11 FROM InsuranceTypes");
    ASSERT_GE(options.size(), 4u);

    // An owner whose only link names an option that does not exist: nothing is ticked.
    ASSERT_TRUE(Db->Exec("INSERT INTO ProviderInsuranceLink (f10, f11) VALUES ('987654', '999999')"));
    cInsuranceBox box;
    box.Select.LoadChoices(Connection.get(), "987654", "");
    ASSERT_EQ(box.Box->count(), static_cast<int>(options.size()));
    EXPECT_TRUE(box.TickedTexts().empty());
    EXPECT_EQ(box.Select.LinkMap().Count(), 1);
    for (int i = 0; i < box.Box->count(); ++i)
        EXPECT_EQ(cCheckMultiSelectObject::ItemKey(box.Box->item(i)),
                  cCheckMultiSelectObject::ItemOptionKey(box.Box->item(i)));

    // The demo provider: exactly its linked options are ticked, each carrying its link's key.
    box.Select.LoadChoices(Connection.get(), Provider, "");
    ASSERT_EQ(box.Box->count(), static_cast<int>(options.size()));
    EXPECT_EQ(box.TickedTexts(),
              Column(Db->Query("SELECT i.f11 FROM ProviderInsuranceLink l JOIN InsuranceTypes i "
                               "ON i.f1 = l.f11 WHERE l.f10 = '" +
                               Provider + "'")));
    for (int i = 0; i < box.Box->count(); ++i)
    {
        if (!box.Ticked(i))
            continue;
        const long long option = cCheckMultiSelectObject::ItemOptionKey(box.Box->item(i));
        EXPECT_EQ(std::to_string(cCheckMultiSelectObject::ItemKey(box.Box->item(i))),
                  Db->Scalar("SELECT f1 FROM ProviderInsuranceLink WHERE f10 = '" + Provider +
                             "' AND f11 = '" + std::to_string(option) + "'"));
    }
    EXPECT_EQ(box.Changes, 0);
}

TEST_F(CheckMultiSelect, TickAndUntickAddAndDeleteTheSameLink)
{
    cInsuranceBox box;
    box.Select.LoadChoices(Connection.get(), Provider, "");
    int row = -1;
    for (int i = 0; i < box.Box->count() && row < 0; ++i)
        if (!box.Ticked(i))
            row = i;
    ASSERT_GE(row, 0);
    const std::string option = std::to_string(cCheckMultiSelectObject::ItemOptionKey(box.Box->item(row)));
    const std::string linkCount = "SELECT COUNT(*) FROM ProviderInsuranceLink";
    const int linksBefore = std::stoi(Db->Scalar(linkCount));

    box.Toggle(row);
    ASSERT_TRUE(box.Ticked(row));
    EXPECT_EQ(box.Changes, 1);
    EXPECT_EQ(box.Box->currentRow(), row);
    const std::string link = Db->Scalar("SELECT f1 FROM ProviderInsuranceLink WHERE f10 = '" + Provider +
                                        "' AND f11 = '" + option + "'");
    ASSERT_FALSE(link.empty());
    EXPECT_EQ(std::to_string(cCheckMultiSelectObject::ItemKey(box.Box->item(row))), link);

    box.Toggle(row);
    EXPECT_FALSE(box.Ticked(row));
    EXPECT_EQ(box.Changes, 2);
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM ProviderInsuranceLink WHERE f1 = " + link), "0");
    EXPECT_EQ(std::stoi(Db->Scalar(linkCount)), linksBefore);
}

TEST_F(CheckMultiSelect, UntickThenTickLinksTheOptionAgain)
{
    cInsuranceBox box;
    box.Select.LoadChoices(Connection.get(), Provider, "");
    int row = -1;
    for (int i = 0; i < box.Box->count() && row < 0; ++i)
        if (box.Ticked(i))
            row = i;
    ASSERT_GE(row, 0);
    const std::string option = std::to_string(cCheckMultiSelectObject::ItemOptionKey(box.Box->item(row)));
    const long long oldLink = cCheckMultiSelectObject::ItemKey(box.Box->item(row));

    box.Toggle(row);
    EXPECT_EQ(LinksOf(option), "0");
    box.Toggle(row);
    EXPECT_TRUE(box.Ticked(row));
    EXPECT_EQ(LinksOf(option), "1");
    const std::string newLink = Db->Scalar("SELECT f1 FROM ProviderInsuranceLink WHERE f10 = '" + Provider +
                                           "' AND f11 = '" + option + "'");
    EXPECT_NE(newLink, std::to_string(oldLink));
    EXPECT_EQ(std::to_string(cCheckMultiSelectObject::ItemKey(box.Box->item(row))), newLink);
    EXPECT_EQ(box.Changes, 2);
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

    cInsuranceBox box;
    box.Select.LoadChoices(Connection.get(), Provider, "");
    std::vector<int> rows;
    for (int i = 0; i < box.Box->count(); ++i)
        if (box.Box->item(i)->text().toStdString() == name)
            rows.push_back(i);
    ASSERT_EQ(rows.size(), 2u);
    const int duplicateRow = box.RowOfOption(duplicate);
    ASSERT_GE(duplicateRow, 0);
    EXPECT_FALSE(box.Ticked(duplicateRow));
    EXPECT_NE(box.Ticked(rows[0]), box.Ticked(rows[1]));

    box.Toggle(duplicateRow);
    EXPECT_EQ(LinksOf(duplicate), "1");
    EXPECT_TRUE(box.Ticked(rows[0]) && box.Ticked(rows[1]));
}

TEST_F(CheckMultiSelect, FailedWritesKeepTheStoredState)
{
    cInsuranceBox box;
    box.Select.LoadChoices(Connection.get(), Provider, "");
    int ticked = -1;
    int unticked = -1;
    for (int i = 0; i < box.Box->count(); ++i)
        (box.Ticked(i) ? ticked : unticked) = i;
    ASSERT_GE(ticked, 0);
    ASSERT_GE(unticked, 0);
    const long long link = cCheckMultiSelectObject::ItemKey(box.Box->item(ticked));
    Server.Stop();

    // The add fails: the option is not linked and shows unticked with its own key.
    box.Toggle(unticked);
    EXPECT_FALSE(box.Ticked(unticked));
    EXPECT_EQ(cCheckMultiSelectObject::ItemKey(box.Box->item(unticked)),
              cCheckMultiSelectObject::ItemOptionKey(box.Box->item(unticked)));
    // The delete fails: the link is still stored and the item stays ticked under its key.
    box.Toggle(ticked);
    EXPECT_TRUE(box.Ticked(ticked));
    EXPECT_EQ(cCheckMultiSelectObject::ItemKey(box.Box->item(ticked)), link);
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM ProviderInsuranceLink WHERE f1 = " + std::to_string(link)),
              "1");
    EXPECT_EQ(box.Changes, 2);
}
