// The " Personnel " page of the " Admin " tab against DorvaneServer with demo data: the list and
// its drawing, the edit panel, adding and saving members, and what a save refuses.
#include "tests/ui/UiTestSupport.h"

#include <QFontMetricsF>
#include <QFrame>
#include <QStyle>

using namespace ui_test;

namespace
{
class PersonnelPage : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
        ShowAdmin(2);
        List = Main->PersonnelListBox;
    }
    // The row whose item text holds this name=value line ("FName=Nathan").
    int RowOf(const std::string &line)
    {
        for (int i = 0; i < List->count(); ++i)
            if (List->item(i)->text().split(',').contains(QString::fromStdString(line)))
                return i;
        ADD_FAILURE() << line;
        return 0;
    }
    void OpenMember(const std::string &line)
    {
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {},
                          List->visualItemRect(List->item(RowOf(line))).center());
    }
    static std::string StampNow() { return FormatDateTime("yyyymmddhhnnss", Now()); }
    bool PanelOpen() { return Main->PersonnelEditPanel->isVisible() && !Main->AddMemberButton->isVisible(); }
    bool PanelClosed()
    {
        return !Main->PersonnelEditPanel->isVisible() && Main->AddMemberButton->isVisible();
    }
    int PersonnelCount()
    {
        return std::stoi(Db->Scalar("SELECT COUNT(*) FROM Personnel WHERE f9 = '" + ProviderSeq() + "'"));
    }
    std::string Seq(const std::string &email) { return Member(email, "f1"); }
    // The leftmost column of a row of the list's grab that holds a dark pixel, or -1.
    static int LeftmostInk(const QImage &image, const QRect &row)
    {
        for (int x = row.left(); x <= row.right(); ++x)
            if (CountDarkPixels(image, QRect(x, row.top(), 1, row.height())) > 0)
                return x;
        return -1;
    }

    // The panel's title and edits, in the order of the expectations.
    const std::vector<std::string> PanelTexts = {
        "PersonnelEditTitle",    "PersonnelFnameEdit", "PersonnelLnameEdit",   "PersonnelEmailEdit",
        "PersonnelSmsEmailEdit", "PersonnelPhoneEdit", "PersonnelPasswordEdit"};
    QListWidget *List = nullptr;
};
} // namespace

TEST_F(PersonnelPage, ListsTheProvidersPersonnelAsItemTexts)
{
    EXPECT_TRUE(PanelClosed());
    EXPECT_EQ(Main->AddMemberButton->text(), "Add a New Member");
    // The item text's form is tested in tests/workspace; here: the provider's members in key order.
    ASSERT_EQ(List->count(), 3);
    EXPECT_EQ(RowOf("FName=Alice"), 0);
    EXPECT_EQ(List->item(1)->text().toStdString(),
              "Seq=" + Seq("nathan@bayview.example") +
                  ",FName=Nathan,LName=Reyes,Phone=415-555-0111,Email=nathan@bayview.example,PW=intake22,"
                  "Notify=Y,SMS=4155550111@sms.example");
    EXPECT_EQ(RowOf("FName=Olivia"), 2);
}

TEST_F(PersonnelPage, ItemsAreDrawnAsNamesOnWhiteAlsoWhenSelected)
{
    // Nathan keeps only a first name "Chen", Olivia only her last name "Chen": the same word, once
    // followed and once preceded by the blank.
    ASSERT_TRUE(Db->Exec("UPDATE Personnel SET f11 = 'Chen', f13 = '' WHERE f11 = 'Nathan'"));
    ASSERT_TRUE(Db->Exec("UPDATE Personnel SET f11 = '' WHERE f11 = 'Olivia'"));
    Main->LoadPersonnelList();
    List->setCurrentRow(0);
    const QImage image = List->viewport()->grab().toImage();
    const QColor highlight = List->palette().color(QPalette::Highlight);
    for (int i = 0; i < List->count(); ++i)
    {
        const QRect row = List->visualItemRect(List->item(i));
        EXPECT_EQ(row.height(), 16);
        EXPECT_GT(CountDarkPixels(image, row), 15) << "row " << i;
        EXPECT_EQ(CountPixels(image, row, highlight), 0) << "row " << i << " has no selection colour";
        EXPECT_GT(CountPixels(image, row, Qt::white), row.width() * row.height() / 2);
    }
    const int named = LeftmostInk(image, List->visualItemRect(List->item(0)));
    EXPECT_GE(named, 1);
    EXPECT_LE(named, 5) << "text starts at x = 1";
    const int firstOnly = LeftmostInk(image, List->visualItemRect(List->item(1)));
    const int lastOnly = LeftmostInk(image, List->visualItemRect(List->item(2)));
    // Glyphs sit on fractional positions, so the ink moves by the blank's width rounded either way.
    EXPECT_NEAR(lastOnly - firstOnly, QFontMetricsF(List->font()).horizontalAdvance(' '), 1.0)
        << "a blank before the last name";
}

TEST_F(PersonnelPage, OpeningAMemberFillsThePanelAndXClosesIt)
{
    OpenMember("FName=Nathan");
    ASSERT_TRUE(PanelOpen());
    EXPECT_EQ(ShownTexts(Main.get(), PanelTexts),
              (std::vector<std::string>{"Edit Information", "Nathan", "Reyes", "nathan@bayview.example",
                                        "4155550111@sms.example", "415-555-0111", "intake22"}));
    EXPECT_FALSE(Main->PersonnelAdminCB->isChecked());
    EXPECT_TRUE(Main->PersonnelNotifyCB->isChecked());
    EXPECT_FALSE(Main->PersonnelPriContactCB->isChecked());
    EXPECT_EQ(Main->SelectedPersonnelKey, Seq("nathan@bayview.example"));
    EXPECT_FALSE(Main->AddingMember);

    // The password is masked until "Show" is ticked, and masked again for the next member.
    EXPECT_EQ(Main->PersonnelPasswordEdit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Main->PersonnelPasswordEdit->displayText(),
              QString(8, QChar(Main->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter))));
    Click(Main->PersonnelPasswordShowCB);
    EXPECT_EQ(Main->PersonnelPasswordEdit->displayText(), "intake22");
    OpenMember("FName=Alice");
    EXPECT_EQ(Main->PersonnelPasswordEdit->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(Main->PersonnelAdminCB->isChecked());
    EXPECT_TRUE(Main->PersonnelPriContactCB->isChecked());

    const std::string before = Db->Scalar("SELECT GROUP_CONCAT(f11 || f13 || IFNULL(f26,'')) FROM Personnel");
    Main->PersonnelFnameEdit->setText("Changed");
    QTest::mouseClick(Main->CancelLabel, Qt::LeftButton);
    EXPECT_TRUE(PanelClosed());
    EXPECT_EQ(Db->Scalar("SELECT GROUP_CONCAT(f11 || f13 || IFNULL(f26,'')) FROM Personnel"), before);

    // "Add a New Member" after another member starts empty.
    OpenMember("FName=Nathan");
    QTest::mouseClick(Main->CancelLabel, Qt::LeftButton);
    Click("AddMemberButton");
    ASSERT_TRUE(PanelOpen());
    EXPECT_EQ(ShownTexts(Main.get(), PanelTexts),
              (std::vector<std::string>{"Adding a New Member", "", "", "", "", "", ""}));
    for (QCheckBox *box : {Main->PersonnelAdminCB, Main->PersonnelNotifyCB, Main->PersonnelPriContactCB})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_TRUE(Main->AddingMember);
    EXPECT_EQ(Main->SelectedPersonnelKey, "");

    // Showing the page again closes the panel.
    ShowAdmin(1);
    ShowAdmin(2);
    EXPECT_TRUE(PanelClosed());
}

TEST_F(PersonnelPage, AddingAMemberStoresTheCreationTimeAndTheProvider)
{
    Click("AddMemberButton");
    Type("PersonnelLnameEdit", "Quinn");
    Type("PersonnelEmailEdit", "paula@bayview.example");
    Type("PersonnelPasswordEdit", "s3cret, \"x\"");
    Click(Main->PersonnelNotifyCB);
    const std::string before = StampNow();
    Click("PersonnelEditSaveButton");
    const std::string after = StampNow();
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_TRUE(PanelClosed());
    EXPECT_FALSE(Main->AddingMember);

    const std::string created = Member("paula@bayview.example", "f2");
    ASSERT_EQ(created.size(), 14u);
    EXPECT_GE(created, before);
    EXPECT_LE(created, after);
    EXPECT_EQ(Fields("Personnel", Seq("paula@bayview.example"), {9, 11, 13, 23, 26, 29}),
              (std::vector<std::string>{ProviderSeq(), "", "Quinn", "s3cret, \"x\"", "", "Y"}));
    ASSERT_EQ(List->count(), 4) << "the list is loaded again";
    OpenMember("LName=Quinn");
    EXPECT_EQ(Main->PersonnelLnameEdit->text(), "Quinn");
    EXPECT_EQ(Main->PersonnelPasswordEdit->text(), "s3cret, \"x\"");
}

TEST_F(PersonnelPage, SavesWithoutANameOrPasswordAreRefusedAndWriteNothing)
{
    const int count = PersonnelCount();
    Click("AddMemberButton");
    Type("PersonnelEmailEdit", "nobody@bayview.example");
    Type("PersonnelPasswordEdit", "pw");
    Click("PersonnelEditSaveButton");
    Type("PersonnelFnameEdit", "Nora");
    Type("PersonnelPasswordEdit", "");
    Click("PersonnelEditSaveButton");
    EXPECT_EQ(Said(Host), (std::vector<std::string>{"Error: Not a valid name",
                                                    "Error: Please enter a password for this member."}));
    EXPECT_TRUE(PanelOpen()) << "the panel stays open";
    EXPECT_EQ(PersonnelCount(), count);
    // Which saves are refused (also for members already stored) is tested in tests/workspace.
}

TEST_F(PersonnelPage, UntickingMarksAndEmptyingFieldsClearsThemOnTheServer)
{
    OpenMember("FName=Alice");
    Click(Main->PersonnelAdminCB);
    Type("PersonnelPhoneEdit", "");
    Click("PersonnelEditSaveButton");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM Personnel WHERE f22 = 'admin@bayview.example' AND f26 = ''"),
              "1")
        << "the mark is stored as an empty text";
    EXPECT_EQ(Fields("Personnel", Seq("admin@bayview.example"), {19, 31, 11}),
              (std::vector<std::string>{"", "Y", "Alice"}));
}

TEST_F(PersonnelPage, NotificationLabelFollowsTheLastRecipientAtOnce)
{
    EXPECT_FALSE(Main->NoNotificationLabel->isVisible());
    // Nathan is the last recipient; a recipient without an address (Olivia) does not count.
    for (const auto &[member, noticeShown] :
         {std::pair{"FName=Nathan", true}, std::pair{"FName=Olivia", true}, std::pair{"FName=Nathan", false}})
    {
        OpenMember(member);
        Click(Main->PersonnelNotifyCB);
        Click("PersonnelEditSaveButton");
        EXPECT_EQ(Main->NoNotificationLabel->isVisible(), noticeShown) << member;
        EXPECT_EQ(Member("nathan@bayview.example", "f29"), noticeShown ? "" : "Y");
    }
}

TEST_F(PersonnelPage, OnlyTheFirstHundredMembersAreListed)
{
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(Db->Exec("INSERT INTO Personnel (f9, f11, f13) VALUES ('" + ProviderSeq() +
                             "', 'Temp', 'No" + std::to_string(i) + "')"));
    ShowAdmin(0);
    ClickTab(Main->MainPageControl, 0);
    ShowAdmin(2);
    EXPECT_EQ(List->count(), 100);
}

TEST_F(PersonnelPage, AFailedWriteKeepsThePanelAndWhatWasTyped)
{
    Click("AddMemberButton");
    Type("PersonnelFnameEdit", "Ivy");
    Type("PersonnelPasswordEdit", "pw");
    {
        cDeadLink dead(DataServerConnection);
        Click("PersonnelEditSaveButton");
    }
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Error: The member could not be saved."});
    EXPECT_TRUE(PanelOpen());
    EXPECT_EQ(Main->PersonnelFnameEdit->text(), "Ivy");
    Click("PersonnelEditSaveButton");
    EXPECT_EQ(Db->Scalar("SELECT f13 FROM Personnel WHERE f11 = 'Ivy'"), "");
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM Personnel WHERE f11 = 'Ivy'"), "1");
}
