// The " Admin " tab's test fixture: a signed-in main window with helpers that open its pages,
// type, click check marks and read the provider's and its personnel's records back.
#pragma once

#include "tests/ui/UiTestSupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

namespace ui_test
{
class AdminTab : public cWorkspaceTest
{
protected:
    void ClickTab(QTabWidget *tabs, int index)
    {
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
        ASSERT_EQ(tabs->currentIndex(), index);
    }
    // Opens the " Admin " tab on one of its pages: 0 insurance, 1 who we are, 2 personnel.
    void ShowAdmin(int page = 0)
    {
        ClickTab(Main->MainPageControl, 4);
        if (page != Main->AdminPageControl->currentIndex())
            ClickTab(Main->AdminPageControl, page);
    }

    template <typename T> T *Find(const char *name)
    {
        T *widget = Main->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char *button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void Click(QWidget *widget)
    {
        QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
    }
    // Replaces an edit's text as a user does: select all, type.
    void Type(const char *edit, const QString &text)
    {
        auto *box = Find<QLineEdit>(edit);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    std::string Provider(const std::string &field)
    {
        // By the key the window works with: a test may change the name.
        return Db->Scalar("SELECT " + field + " FROM ProviderEntities WHERE f1 = " + Main->ProviderKey);
    }
    std::string Member(const std::string &email, const std::string &field)
    {
        return Db->Scalar("SELECT " + field + " FROM Personnel WHERE f22 = '" + email + "'");
    }

    // Clicks the check mark of an item of a check list.
    void ClickCheck(QListWidget *list, int row)
    {
        QStyleOptionViewItem option;
        option.initFrom(list->viewport());
        option.rect = list->visualItemRect(list->item(row));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect mark =
            list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, mark.center());
    }
    int RowOf(QListWidget *list, const QString &text)
    {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == text)
                return i;
        ADD_FAILURE() << text.toStdString();
        return 0;
    }
    std::vector<std::string> Texts(QListWidget *list, bool onlyTicked = false)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            if (!onlyTicked || list->item(i)->checkState() == Qt::Checked)
                texts.push_back(list->item(i)->text().toStdString());
        return texts;
    }
    std::vector<std::string> Column(const std::string &sql)
    {
        std::vector<std::string> values;
        for (const auto &row : Db->Query(sql))
            values.push_back(row[0]);
        return values;
    }
    std::vector<std::string> LinkedInsurance()
    {
        return Column("SELECT t.f11 FROM ProviderInsuranceLink l JOIN InsuranceTypes t ON t.f1 = l.f11 "
                      "WHERE l.f10 = '" +
                      ProviderSeq() + "' ORDER BY t.f11");
    }
    std::vector<std::string> Sorted(std::vector<std::string> values)
    {
        std::sort(values.begin(), values.end());
        return values;
    }
};
} // namespace ui_test
