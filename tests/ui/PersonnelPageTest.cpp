// The " Personnel " page of the " Admin " tab against DorvaneServer with demo data: the list and
// its drawing, the edit panel, adding and saving members, and what a save refuses.
#include "ui/PersonnelPage.h"
#include "tests/ui/UiTestSupport.h"

#include <QFontMetricsF>
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
        List = Find<QListView>("PersonnelListBox");
        Page = Find<cPersonnelPage>("PersonnelTab");
    }
    void OpenMember(const std::string &name)
    {
        const std::vector<std::string> names = RoleTexts(List);
        const auto at = std::find(names.begin(), names.end(), name);
        ASSERT_NE(at, names.end()) << name;
        ClickLine(List, List->model()->index(static_cast<int>(at - names.begin()), 0));
    }
    static std::string StampNow() { return FormatDateTime("yyyymmddhhnnss", Now()); }
    bool PanelOpen() { return Shown("PersonnelEditPanel") && !Shown("AddMemberButton"); }
    bool PanelClosed() { return !Shown("PersonnelEditPanel") && Shown("AddMemberButton"); }
    QCheckBox *Box(const char *name) { return Find<QCheckBox>(name); }
    std::vector<bool> Marks()
    {
        return {Box("PersonnelAdminCB")->isChecked(), Box("PersonnelNotifyCB")->isChecked(),
                Box("PersonnelPriContactCB")->isChecked()};
    }
    int PersonnelCount()
    {
        return std::stoi(Db->Scalar("SELECT COUNT(*) FROM Personnel WHERE f9 = '" + ProviderSeq() + "'"));
    }
    std::string Seq(const std::string &email) { return Member(email, "f1"); }
    QLineEdit *Password() { return Find<QLineEdit>("PersonnelPasswordEdit"); }
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
    QListView *List = nullptr;
    cPersonnelPage *Page = nullptr;
};
} // namespace

TEST_F(PersonnelPage, ListsTheProvidersPersonnelByNameWithTheirKeys)
{
    EXPECT_TRUE(PanelClosed());
    EXPECT_EQ(ShownTexts(Main.get(), {"AddMemberButton"}), std::vector<std::string>{"Add a New Member"});
    EXPECT_EQ(RoleTexts(List), (std::vector<std::string>{"Alice Morgan", "Nathan Reyes", "Olivia Chen"}));
    EXPECT_EQ(RoleTexts(List, list_role::Key),
              Column("SELECT f1 FROM Personnel WHERE f9 = '" + ProviderSeq() + "' ORDER BY f1"));
    EXPECT_EQ(RoleTexts(List, Qt::AccessibleTextRole), RoleTexts(List)) << "spoken as shown";
}

TEST_F(PersonnelPage, ItemsAreDrawnAsNamesOnWhiteAlsoWhenSelected)
{
    // Nathan keeps only a first name "Chen", Olivia only her last name "Chen": the same word, once
    // followed and once preceded by the blank.
    ASSERT_TRUE(Db->Exec("UPDATE Personnel SET f11 = 'Chen', f13 = '' WHERE f11 = 'Nathan'"));
    ASSERT_TRUE(Db->Exec("UPDATE Personnel SET f11 = '' WHERE f11 = 'Olivia'"));
    Page->LoadPersonnelList();
    List->setCurrentIndex(List->model()->index(0, 0));
    const QImage image = List->viewport()->grab().toImage();
    const QColor highlight = List->palette().color(QPalette::Highlight);
    std::vector<QRect> rows;
    for (int i = 0; i < List->model()->rowCount(); ++i)
    {
        const QRect row = rows.emplace_back(List->visualRect(List->model()->index(i, 0)));
        EXPECT_EQ(row.height(), 16);
        EXPECT_GT(CountDarkPixels(image, row), 15) << "row " << i;
        EXPECT_EQ(CountPixels(image, row, highlight), 0) << "row " << i << " has no selection colour";
        EXPECT_GT(CountPixels(image, row, Qt::white), row.width() * row.height() / 2);
    }
    const int named = LeftmostInk(image, rows[0]);
    EXPECT_TRUE(named >= 1 && named <= 5) << "text starts at x = 1, not " << named;
    // Glyphs sit on fractional positions, so the ink moves by the blank's width rounded either way.
    EXPECT_NEAR(LeftmostInk(image, rows[2]) - LeftmostInk(image, rows[1]),
                QFontMetricsF(List->font()).horizontalAdvance(' '), 1.0)
        << "a blank before the last name";
}

TEST_F(PersonnelPage, OpeningAMemberFillsThePanelAndXClosesIt)
{
    OpenMember("Nathan Reyes");
    ASSERT_TRUE(PanelOpen());
    EXPECT_EQ(ShownTexts(Main.get(), PanelTexts),
              (std::vector<std::string>{"Edit Information", "Nathan", "Reyes", "nathan@bayview.example",
                                        "4155550111@sms.example", "415-555-0111", "intake22"}));
    EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Page->SelectedPersonnelKey(), Seq("nathan@bayview.example"));
    EXPECT_FALSE(Page->AddingMember());

    // The password is masked until "Show" is ticked, and masked again for the next member.
    EXPECT_EQ(Password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Password()->displayText(),
              QString(8, QChar(Main->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter))));
    Click(Box("PersonnelPasswordShowCB"));
    EXPECT_EQ(Password()->displayText(), "intake22");
    OpenMember("Alice Morgan");
    EXPECT_EQ(Password()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Marks(), (std::vector<bool>{true, false, true}));

    const std::string before = Db->Scalar("SELECT GROUP_CONCAT(f11 || f13 || IFNULL(f26,'')) FROM Personnel");
    Find<QLineEdit>("PersonnelFnameEdit")->setText("Changed");
    QTest::mouseClick(Find("CancelLabel"), Qt::LeftButton);
    EXPECT_TRUE(PanelClosed());
    EXPECT_EQ(Db->Scalar("SELECT GROUP_CONCAT(f11 || f13 || IFNULL(f26,'')) FROM Personnel"), before);

    // "Add a New Member" after another member starts empty.
    OpenMember("Nathan Reyes");
    QTest::mouseClick(Find("CancelLabel"), Qt::LeftButton);
    Click("AddMemberButton");
    ASSERT_TRUE(PanelOpen());
    EXPECT_EQ(ShownTexts(Main.get(), PanelTexts),
              (std::vector<std::string>{"Adding a New Member", "", "", "", "", "", ""}));
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_TRUE(Page->AddingMember());
    EXPECT_EQ(Page->SelectedPersonnelKey(), "");

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
    Click(Box("PersonnelNotifyCB"));
    const std::string before = StampNow();
    Click("PersonnelEditSaveButton");
    const std::string after = StampNow();
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_TRUE(PanelClosed());
    EXPECT_FALSE(Page->AddingMember());

    const std::string created = Member("paula@bayview.example", "f2");
    ASSERT_EQ(created.size(), 14u);
    EXPECT_TRUE(created >= before && created <= after) << created;
    EXPECT_EQ(Fields("Personnel", Seq("paula@bayview.example"), {9, 11, 13, 23, 26, 29}),
              (std::vector<std::string>{ProviderSeq(), "", "Quinn", "s3cret, \"x\"", "", "Y"}));
    ASSERT_EQ(List->model()->rowCount(), 4) << "the list is loaded again";
    OpenMember(" Quinn");
    EXPECT_EQ(ShownTexts(Main.get(), {"PersonnelLnameEdit", "PersonnelPasswordEdit"}),
              (std::vector<std::string>{"Quinn", "s3cret, \"x\""}));
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
    OpenMember("Alice Morgan");
    Click(Box("PersonnelAdminCB"));
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
    EXPECT_FALSE(Shown("NoNotificationLabel"));
    // Nathan is the last recipient; a recipient without an address (Olivia) does not count.
    for (const auto &[member, noticeShown] :
         {std::pair{"Nathan Reyes", true}, std::pair{"Olivia Chen", true}, std::pair{"Nathan Reyes", false}})
    {
        OpenMember(member);
        Click(Box("PersonnelNotifyCB"));
        Click("PersonnelEditSaveButton");
        EXPECT_EQ(Shown("NoNotificationLabel"), noticeShown) << member;
        EXPECT_EQ(Member("nathan@bayview.example", "f29"), noticeShown ? "" : "Y");
    }
}

TEST_F(PersonnelPage, OnlyTheFirstHundredMembersAreListed)
{
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(Db->Exec("INSERT INTO Personnel (f9, f11, f13) VALUES ('" + ProviderSeq() +
                             "', 'Temp', 'No" + std::to_string(i) + "')"));
    ShowAdmin(0);
    ClickTab("MainPageControl", 0);
    ShowAdmin(2);
    EXPECT_EQ(List->model()->rowCount(), 100);
}

TEST_F(PersonnelPage, AFailedWriteKeepsThePanelAndWhatWasTyped)
{
    Click("AddMemberButton");
    Type("PersonnelFnameEdit", "Ivy");
    Type("PersonnelPasswordEdit", "pw");
    {
        cDeadLink dead(cDeadLink::Data);
        Click("PersonnelEditSaveButton");
    }
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Error: The member could not be saved."});
    EXPECT_TRUE(PanelOpen());
    EXPECT_EQ(ShownTexts(Main.get(), {"PersonnelFnameEdit"}), std::vector<std::string>{"Ivy"});
    Click("PersonnelEditSaveButton");
    EXPECT_EQ(Db->Scalar("SELECT f13 FROM Personnel WHERE f11 = 'Ivy'"), "");
    EXPECT_EQ(Db->Scalar("SELECT COUNT(*) FROM Personnel WHERE f11 = 'Ivy'"), "1");
}
