// The category selection dialog against DorvaneServer with demo data: the boxes it is built of,
// ticks from the provider's links, what Save stores and closing without a save. The way in
// through "What We Do" is tested with the " Admin " tab.
#include "ui/CategorySelectionForm.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ClickLabel.h"
#include "workspace/CategoryTable.h"

#include <QScrollArea>
#include <set>

using namespace ui_test;

namespace
{
class CategoryDialog : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        ASSERT_TRUE(SignInAs(Server, "admin@bayview.example"));
        Dialog = std::make_unique<TCategorySelectionForm>();
        Dialog->Prepare(ProviderSeq(), "37.1", "-122.2", Session().DataLink());
    }
    void TearDown() override
    {
        Dialog.reset();
        cWorkspaceTest::TearDown();
    }

    QCheckBox *Box(const char *name) { return Dialog->findChild<QCheckBox *>(name); }
    void Show()
    {
        Dialog->show();
        ASSERT_TRUE(WaitUntil([this] { return Dialog->isVisible(); }));
    }
    void Toggle(const char *name)
    {
        QCheckBox *box = Box(name);
        ASSERT_NE(box, nullptr) << name;
        if (auto *scroll = Dialog->DmeOtherScrollBox; box->parentWidget() != Dialog.get())
            scroll->ensureWidgetVisible(box);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));
    }
    std::set<std::string> Ticked()
    {
        std::set<std::string> names;
        for (QCheckBox *box : Dialog->findChildren<QCheckBox *>())
            if (box->isChecked())
                names.insert(box->objectName().toStdString());
        return names;
    }
    // The provider's links as "seq:category" lines.
    std::set<std::string> Links()
    {
        std::set<std::string> links;
        for (const auto &row :
             Db->Query("SELECT f1, f11 FROM ProviderCategoryLink WHERE f10 = '" + ProviderSeq() + "'"))
            links.insert(row[0] + ":" + row[1]);
        return links;
    }
    std::string LinkOf(const std::string &category)
    {
        return Db->Scalar("SELECT f1 FROM ProviderCategoryLink WHERE f10 = '" + ProviderSeq() +
                          "' AND f11 = '" + category + "'");
    }
    void AddLink(const std::string &category)
    {
        ASSERT_TRUE(Db->Exec("INSERT INTO ProviderCategoryLink (f10, f11) VALUES ('" + ProviderSeq() +
                             "', '" + category + "')"));
    }

    std::unique_ptr<TCategorySelectionForm> Dialog;
};
} // namespace

TEST_F(CategoryDialog, BuiltOfTheCategoryTable)
{
    EXPECT_EQ(Dialog->size(), QSize(1078, 586));
    EXPECT_TRUE(Dialog->windowFlags() & Qt::FramelessWindowHint);
    const auto boxes = Dialog->findChildren<QCheckBox *>();
    ASSERT_EQ(boxes.size(), 83);
    EXPECT_EQ(Dialog->ItemCount(), 83) << "every box is registered";
    int direct = 0;
    for (const cCategoryBox &entry : CategoryBoxes())
    {
        QCheckBox *box = Box(entry.Name);
        ASSERT_NE(box, nullptr) << entry.Name;
        EXPECT_EQ(box->text(), QString::fromUtf8(entry.Caption));
        EXPECT_EQ(Dialog->Item(CategoryKey(entry.Name))->CheckBox, box);
        direct += box->parentWidget() == Dialog.get();
    }
    EXPECT_EQ(direct, 38);
    EXPECT_EQ(Box("S127")->parentWidget(), Dialog->DmeOtherScrollBox->widget());
    // Columns: 16 pixels a row under each heading.
    EXPECT_EQ(Box("S140")->x(), 32);
    EXPECT_EQ(Box("S149")->y() - Box("S140")->y(), 16);
    EXPECT_EQ(Box("S147")->x(), 304);
    EXPECT_EQ(Box("S89")->x(), 660);
    for (const char *heading : {"ExtendedCareHeading", "HomeHealthCareHeading", "DialysisHeading",
                                "ProsthesesHeading", "DmeMobilityHeading", "DmeOtherHeading"})
        EXPECT_EQ(Dialog->findChild<QLabel *>(heading)->size(), QSize(165, 37)) << heading;
    EXPECT_EQ(Dialog->findChild<QLabel *>("DmeOtherHeading")->text(), "DME - Other");
    EXPECT_EQ(Dialog->ExitLabel->text(), "X");
    EXPECT_EQ(Dialog->SaveButton->geometry(), QRect(32, 524, 69, 33));

    // The blue frame at 12, 12, three pixels wide.
    Show();
    const QImage image = Dialog->grab().toImage();
    const QColor blue(0, 0, 255);
    EXPECT_GT(CountPixels(image, QRect(12, 100, 3, 300), blue), 800);
    EXPECT_GT(CountPixels(image, QRect(200, 574, 600, 3), blue), 1600);
    EXPECT_EQ(CountPixels(image, QRect(0, 0, 11, 586), blue), 0);
}

TEST_F(CategoryDialog, LinksTickExactlyTheirBoxes)
{
    // The demo provider offers 140, 147 and 139_1; 127 has a box in the scrolled section; a
    // category without a box is ignored.
    AddLink("999");
    AddLink("127");
    Show();
    EXPECT_EQ(Ticked(), (std::set<std::string>{"S140", "S147", "S139_1", "S127"}));
    EXPECT_EQ(ShownTexts(Dialog.get(), {"S140", "S147", "S139_1"}),
              (std::vector<std::string>{"Skilled Nursing Facility", "Dialysis", "Dialysis Equipment"}));
    EXPECT_EQ(Dialog->Item("140")->LinkKey, LinkOf("140"));
    EXPECT_TRUE(Dialog->SaveButton->isEnabled());
    EXPECT_FALSE(Dialog->LoadNoticeLabel->isVisible());
    Dialog->hide();

    // "139" and "139_1" are different boxes; each showing loads again.
    ASSERT_TRUE(Db->Exec("DELETE FROM ProviderCategoryLink WHERE f11 = '139_1'"));
    ASSERT_TRUE(Db->Exec("DELETE FROM ProviderCategoryLink WHERE f11 = '127'"));
    AddLink("139");
    Show();
    EXPECT_EQ(Ticked(), (std::set<std::string>{"S140", "S147", "S139"}));
    EXPECT_EQ(Box("S139")->text(), "Home Dialysis Equipment");
}

TEST_F(CategoryDialog, SaveAddsTheNewlyTickedAndDeletesTheNewlyCleared)
{
    Show();
    const std::set<std::string> before = Links();
    const std::string snf = LinkOf("140");
    const long long lastSeq = std::stoll(Db->Scalar("SELECT MAX(f1) FROM ProviderCategoryLink"));
    Toggle("S148");
    Toggle("S134"); // in the scrolled section
    Toggle("S140");
    Toggle("S149"); // ticked and cleared again: nothing for it
    Toggle("S149");
    EXPECT_EQ(Ticked(), (std::set<std::string>{"S147", "S139_1", "S148", "S134"}));
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);

    std::set<std::string> expected = before;
    expected.erase(snf + ":140");
    const std::string added = LinkOf("148");
    expected.insert(added + ":148");
    expected.insert(LinkOf("134") + ":134");
    EXPECT_EQ(Links(), expected) << "two adds and one delete, the other links untouched";
    EXPECT_EQ(Db->Scalar("SELECT MAX(f1) FROM ProviderCategoryLink"), std::to_string(lastSeq + 2))
        << "exactly two records were added";
    const auto row = Db->Query("SELECT f10, f13, f14 FROM ProviderCategoryLink WHERE f1 = " + added);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (std::vector<std::string>{ProviderSeq(), "37.1", "-122.2"}));

    // Saving again without changes stores nothing.
    Show();
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_EQ(Links(), expected);
}

TEST_F(CategoryDialog, EnterEscapeAndXCloseWithoutSaving)
{
    const std::set<std::string> before = Links();
    // Return, keypad Enter, Escape, and a click on X (no key).
    const struct
    {
        const char *Name;
        Qt::Key Key;
    } ways[] = {
        {"Enter", Qt::Key_Return}, {"keypad Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape}, {"X", {}}};
    for (const auto &way : ways)
    {
        Show();
        Toggle("S148");
        Toggle("S140");
        Box("S148")->setFocus();
        if (way.Key)
            QTest::keyClick(Dialog->focusWidget() ? Dialog->focusWidget() : Dialog.get(), way.Key);
        else
            QTest::mouseClick(Dialog->ExitLabel, Qt::LeftButton);
        EXPECT_FALSE(Dialog->isVisible()) << way.Name;
        EXPECT_EQ(Dialog->result(), QDialog::Rejected) << way.Name;
        EXPECT_EQ(Links(), before) << way.Name;
    }
    // Other keys reach the boxes: the space bar ticks the focused one.
    Show();
    Box("S150")->setFocus();
    QTest::keyClick(Box("S150"), Qt::Key_Space);
    EXPECT_TRUE(Box("S150")->isChecked());
    EXPECT_TRUE(Dialog->isVisible());
}

TEST_F(CategoryDialog, AFailedLoadSavesNothing)
{
    const std::set<std::string> before = Links();
    dbServerConnection dead("127.0.0.1", "1", "", "", false, -1);
    Dialog->Prepare(ProviderSeq(), "37.1", "-122.2", FixedLink(&dead));
    Show();
    EXPECT_TRUE(Ticked().empty());
    EXPECT_TRUE(Dialog->LoadNoticeLabel->isVisible());
    EXPECT_FALSE(Dialog->SaveButton->isEnabled());
    Toggle("S140");
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_TRUE(Dialog->isVisible()) << "Save does nothing";
    QTest::mouseClick(Dialog->ExitLabel, Qt::LeftButton);
    EXPECT_EQ(Links(), before) << "no link is added a second time";

    // A provider without links is no failure.
    Dialog->Prepare(ProviderSeq(), "37.1", "-122.2", Session().DataLink());
    ASSERT_TRUE(Db->Exec("DELETE FROM ProviderCategoryLink"));
    Show();
    EXPECT_TRUE(Ticked().empty());
    EXPECT_FALSE(Dialog->LoadNoticeLabel->isVisible());
    EXPECT_TRUE(Dialog->SaveButton->isEnabled());
}

TEST_F(CategoryDialog, AFailedWriteKeepsTheDialogOpenNamesItAndKeepsWhatWasSaved)
{
    Show();
    const std::string snf = LinkOf("140");
    const std::string caption = Box("S140")->text().remove('&').toStdString();
    // Someone else removed the link meanwhile: its delete fails; the add beside it goes through.
    ASSERT_TRUE(Db->Exec("DELETE FROM ProviderCategoryLink WHERE f1 = " + snf));
    Toggle("S140");
    Toggle("S148");
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_TRUE(Dialog->isVisible());
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Text, "These categories could not be saved: " + caption +
                                         ".\r\rThe other changes were saved. Press Save to try again.");
    const std::string added = LinkOf("148");
    EXPECT_FALSE(added.empty());

    // Saving again retries only what failed: no second link for 148.
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_EQ(Host.Messages.size(), 2u);
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM ProviderCategoryLink WHERE f11 = '148' AND f10 = '" +
                         ProviderSeq() + "'"),
              "1");
    // Ticking the box again leaves nothing to save, and the dialog closes.
    Toggle("S140");
    QTest::mouseClick(Dialog->SaveButton, Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Host.Messages.size(), 2u);
}
