// The reject reason dialog driven through its widgets: its reasons, the checks of OK with their
// messages, Cancel and the close box.
#include "ui/RejectCodeForm.h"
#include "tests/ui/UiTestSupport.h"

using namespace ui_test;

namespace
{
class RejectDialog : public ::testing::Test
{
protected:
    void SetUp() override { Installed = std::make_unique<cScopedHost>(&Host); }

    QRadioButton *Reason(int code)
    {
        return Dialog.findChild<QRadioButton *>(QString("RejectCode%1RadioButton").arg(code));
    }
    QLineEdit *Comment() { return Dialog.findChild<QLineEdit *>("ReasonEdit"); }
    void Click(const char *button)
    {
        QTest::mouseClick(Dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    }

    cRecordingHost Host;
    std::unique_ptr<cScopedHost> Installed;
    TRejectCodeForm Dialog;
};
} // namespace

TEST_F(RejectDialog, WindowAndReasonsAsTheProviderSeesThem)
{
    EXPECT_EQ(Dialog.windowTitle(), "   Please enter a reason for rejecting the quote.");
    EXPECT_EQ(Dialog.size(), QSize(583, 320));
    const char *captions[] = {"Too heavy",
                              "No Medi-Cal beds",
                              "Too young",
                              "Behavior problem",
                              "Decubitus",
                              "Facility has too many tube feeders",
                              "No gender appropiate beds",
                              "Other (please explain)"};
    for (int code = 1; code <= 8; ++code)
    {
        ASSERT_NE(Reason(code), nullptr);
        EXPECT_EQ(Reason(code)->text(), captions[code - 1]);
        EXPECT_EQ(Reason(code)->x(), 80);
    }
    EXPECT_EQ(Reason(8)->y(), 200);
    ASSERT_NE(Comment(), nullptr);
    EXPECT_EQ(static_cast<cLabeledEdit *>(Comment())->Caption(), "Comments ");
    // One group: ticking another reason unticks the first.
    Dialog.show();
    QTest::mouseClick(Reason(2), Qt::LeftButton);
    QTest::mouseClick(Reason(6), Qt::LeftButton);
    EXPECT_FALSE(Reason(2)->isChecked());
    EXPECT_TRUE(Reason(6)->isChecked());
}

TEST_F(RejectDialog, OkChecksTheChoiceAndTheExplanation)
{
    Dialog.Prepare("");
    Dialog.show();
    Click("OKButton");
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Missing Data: Please choose a reason for rejection"});
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_FALSE(Dialog.ReasonChosen);

    QTest::mouseClick(Reason(8), Qt::LeftButton);
    Click("OKButton");
    ASSERT_EQ(Host.Messages.size(), 2u);
    EXPECT_EQ(Said(Host)[1], "Missing Data: An explanation must be given for the rejection");
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_TRUE(Reason(8)->isChecked()) << "the choice stays as it was";

    QTest::keyClick(Comment(), Qt::Key_Space);
    Click("OKButton");
    EXPECT_EQ(Host.Messages.size(), 2u) << "a blank counts as an explanation";
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_TRUE(Dialog.ReasonChosen);
    EXPECT_EQ(Dialog.RejectCode, "8");
}

TEST_F(RejectDialog, EachShowingStartsClearAndCancelOrTheCloseBoxChooseNothing)
{
    // The comment pre-filled from the case detail page and a reason without one are tested
    // through the page (CaseDetail tests).
    for (bool closeBox : {false, true})
    {
        Dialog.Prepare("");
        EXPECT_FALSE(Reason(3)->isChecked()) << "the last showing's choice is cleared";
        QTimer::singleShot(0, &Dialog,
                           [this, closeBox]
                           {
                               QTest::mouseClick(Reason(3), Qt::LeftButton);
                               if (closeBox)
                                   Dialog.close();
                               else
                                   Click("CancelButton");
                           });
        Dialog.exec();
        EXPECT_FALSE(Dialog.ReasonChosen);
        EXPECT_EQ(Dialog.RejectCode, "");
        EXPECT_TRUE(Reason(3)->isChecked());
    }
    EXPECT_TRUE(Host.Messages.empty());
}
