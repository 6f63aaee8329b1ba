// What a screen reader hears of the three lists of the main window: a walk of the accessibility
// tree of the open-requests tree, the awarded list and the personnel list, against texts built
// from the stored records the way each line draws them.
#include "tests/ui/UiTestSupport.h"
#include "workspace/ListTexts.h"

#include <QAccessible>

using namespace ui_test;

namespace
{
// The names of a view's items, in the order the accessibility tree gives them.
std::vector<std::string> Spoken(QWidget *view)
{
    std::vector<std::string> names;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    for (int i = 0; list && i < list->childCount(); ++i)
    {
        QAccessibleInterface *item = list->child(i);
        const QAccessible::Role role = item->role();
        if (role == QAccessible::TreeItem || role == QAccessible::ListItem || role == QAccessible::Cell)
            names.push_back(item->text(QAccessible::Name).toStdString());
    }
    return names;
}

class AccessibleLists : public cWorkspaceTest
{
protected:
    // Texts joined by ", ", the empty ones left out.
    static std::string Join(const std::vector<std::string> &parts)
    {
        std::string text;
        for (const std::string &part : parts)
            if (!part.empty())
                text += (text.empty() ? "" : ", ") + part;
        return text;
    }
    std::string Hospital(const std::string &caseKey)
    {
        return Field("ProviderEntities", Field("Cases", caseKey, 11), 10);
    }
    std::string CaseNumber(const std::string &caseKey)
    {
        const std::string number = Field("Cases", caseKey, 22);
        return number.empty() ? caseKey : number;
    }
    std::string Insurance(const std::string &caseKey, int field)
    {
        const std::string type = Field("Cases", caseKey, field);
        return type.empty() ? "" : Field("InsuranceTypes", type, 10);
    }
    // Date, category and description of the need a quote answers.
    std::vector<std::string> Need(const std::string &quoteKey)
    {
        const std::string need = Field("CaseNeedsQuote", quoteKey, 10);
        return {FormatServerDate(Field("CaseNeeds", need, 14)),
                Field("ProviderCategories", Field("CaseNeeds", need, 12), 12), Field("CaseNeeds", need, 15)};
    }
};
} // namespace

TEST_F(AccessibleLists, EachLineIsSpokenAsItIsDrawn)
{
    Open();
    std::vector<std::string> tree;
    for (const std::string &line : ExpectedTree(*Db, ProviderSeq()))
        if (line.rfind("case ", 0) == 0)
        {
            const std::string caseKey = line.substr(5);
            tree.push_back(Join({Hospital(caseKey), CaseNumber(caseKey), Insurance(caseKey, 19),
                                 Insurance(caseKey, 20), Insurance(caseKey, 21)}));
        }
        else
            tree.push_back(Join(Need(line.substr(8))));
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(Spoken(Tree()), tree);

    ShowAwardedTab();
    std::vector<std::string> awarded;
    for (const std::string &quote : ExpectedAwarded(*Db, ProviderSeq()))
    {
        std::vector<std::string> parts = Need(quote);
        parts.insert(parts.begin() + 1, {Hospital(CaseOf(quote)), CaseNumber(CaseOf(quote))});
        awarded.push_back(Join(parts));
    }
    ASSERT_FALSE(awarded.empty());
    EXPECT_EQ(Spoken(AwardedList()), awarded);

    ShowAdmin(2);
    EXPECT_EQ(
        Spoken(Find("PersonnelListBox")),
        Column("SELECT f11 || ' ' || f13 FROM Personnel WHERE f9 = '" + ProviderSeq() + "' ORDER BY f1"));
}
