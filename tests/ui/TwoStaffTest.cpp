// Two staff members of one provider at work on the same records: the window signed in as the
// administrator, and a colleague (the demo's Nathan Reyes) writing through a link of his own to
// the same DorvaneServer. No answer, member or company record the colleague stored is written
// over unseen; each conflict is said, nothing is lost, and the page shows what is stored now.
#include "tests/ui/UiTestSupport.h"

#include <gmock/gmock.h>

using namespace ui_test;
using ::testing::HasSubstr;

namespace
{
class TwoStaff : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
        Colleague = std::make_unique<dbServerConnection>("127.0.0.1", Server.DataPortText(), "DorvaneClient",
                                                         "", true, 30);
        ASSERT_TRUE(Colleague->Connected());
        Nathan = Member("nathan@bayview.example", "f1");
    }
    void TearDown() override
    {
        Colleague.reset();
        cWorkspaceTest::TearDown();
    }
    // The colleague's update of a record, as "fN=value" lines.
    void ColleagueWrites(const char *table, const std::string &key, const std::vector<std::string> &lines)
    {
        cStringList list;
        for (const std::string &line : lines)
            list.Add(line);
        ASSERT_TRUE(Colleague->UpdateRecord(table, key, list));
    }
    std::vector<std::string> Answer(const std::string &quote)
    {
        return Fields("CaseNeedsQuote", quote, {12, 13, 14, 15, 16, 1001});
    }
    // Moves the focus out of an edit the way a user does, so that the page's binding runs.
    void Leave(const char *edit)
    {
        Main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Main.get()));
        QWidget *box = Find(edit);
        box->setFocus();
        ASSERT_TRUE(WaitUntil([box] { return box->hasFocus(); }));
        QTest::keyClicks(box, "");
        Find("AcceptButton")->setFocus();
        ASSERT_TRUE(WaitUntil([box] { return !box->hasFocus(); }));
        QCoreApplication::processEvents();
    }

    std::unique_ptr<dbServerConnection> Colleague;
    std::string Nathan;
};
} // namespace

TEST_F(TwoStaff, AnAnswerGivenMeanwhileIsShownAndNothingIsWrittenOverIt)
{
    const std::string user = Member("admin@bayview.example", "f1");
    const struct
    {
        const char *Patient;
        std::vector<std::string> Colleague; // what the colleague stores while the page is open
        const char *Ours;                   // the answer tried here
        const char *Said;                   // what the notice says was done
        bool AcceptShown, HideShown;        // the page shown anew
    } cases[] = {
        {"Hartley",
         {"f12=@", "f14=R", "f15=3", "f1001=No beds until May"},
         "accept",
         "Nathan Reyes declined it (comment \"No beds until May\").",
         true,
         true},
        {"Alvarez",
         {"f16=N"},
         "decline",
         "another member of your staff removed it from the list.",
         true,
         false},
        {"Kim", {"f12=@", "f13=150", "f14=A"}, "hide", "Nathan Reyes accepted it (price 150).", false, false},
    };
    for (const auto &c : cases)
    {
        SCOPED_TRACE(c.Ours);
        Host.Messages.clear();
        const std::string quote = QuoteOf(c.Patient);
        ASSERT_TRUE(OpenQuote(quote));
        std::vector<std::string> lines = c.Colleague;
        for (std::string &line : lines)
            if (line == "f12=@")
                line = "f12=" + Nathan;
        ColleagueWrites("CaseNeedsQuote", quote, lines);
        const std::vector<std::string> stored = Answer(quote);

        QTest::keyClicks(Find("ResponseReasonEdit"), "ours");
        if (std::string(c.Ours) == "accept")
            Click("AcceptButton");
        else if (std::string(c.Ours) == "decline")
            ClickIntoDialog(
                Find("DeclineButton"),
                []
                {
                    QTest::mouseClick(RejectCodeForm->findChild<QRadioButton *>("RejectCode2RadioButton"),
                                      Qt::LeftButton);
                    QTest::mouseClick(RejectCodeForm->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
                });
        else
        {
            Host.ScriptedAnswers = {cHostAnswer::Yes};
            DetailPage()->HideQuoteButtonClick();
        }

        EXPECT_EQ(Answer(quote), stored) << "nothing written over the colleague's answer";
        ASSERT_FALSE(Host.Messages.empty());
        const auto &notice = Host.Messages.back();
        EXPECT_EQ(notice.Caption, "Answered meanwhile");
        EXPECT_THAT(notice.Text, HasSubstr("While you had this request open (since "));
        EXPECT_THAT(notice.Text, HasSubstr(std::string("), ") + c.Said));
        // The page again, with the stored answer.
        EXPECT_TRUE(Shown("CaseDetailPanel"));
        EXPECT_EQ(DetailPage()->SelectedQuoteKey(), quote);
        EXPECT_EQ((std::vector<bool>{Shown("AcceptButton"), Shown("AcceptLabel"), Shown("HideQuoteButton")}),
                  (std::vector<bool>{c.AcceptShown, !c.AcceptShown, c.HideShown}));
        EXPECT_EQ(ShownTexts(Main.get(), {"NeedsQuotePriceEdit", "ResponseReasonEdit"}),
                  (std::vector<std::string>{stored[1], stored[5]}));

        // Answered again on the page as it is now, the answer goes through.
        if (std::string(c.Ours) == "accept")
        {
            Click("AcceptButton");
            EXPECT_EQ(Host.Messages.back().Text, "The quote has been accepted");
            EXPECT_EQ(Answer(quote)[0], user);
            EXPECT_EQ(Answer(quote)[2], "A");
        }
        Click("CaseDetailBackButton");
    }
}

TEST_F(TwoStaff, LeavingThePriceWritesItOnlyOverTheAnswerThePageShows)
{
    const std::string quote = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(quote));
    // The page's own write on leaving the price is not a change by someone else.
    QTest::keyClicks(Find("NeedsQuotePriceEdit"), "80");
    Leave("NeedsQuotePriceEdit");
    EXPECT_EQ(Answer(quote)[1], "80");
    Click("AcceptButton");
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Success: The quote has been accepted"});
    EXPECT_EQ(Answer(quote)[2], "A");

    // After the colleague's answer, the price typed here is held back and the notice says why.
    const std::string other = QuoteOf("Alvarez");
    ASSERT_TRUE(OpenQuote(other));
    ColleagueWrites("CaseNeedsQuote", other, {"f12=" + Nathan, "f13=150", "f14=A"});
    Host.Messages.clear();
    QTest::keyClicks(Find("NeedsQuotePriceEdit"), "70");
    Leave("NeedsQuotePriceEdit");
    ASSERT_TRUE(WaitUntil([this] { return !Host.Messages.empty(); }));
    EXPECT_EQ(Answer(other)[1], "150");
    EXPECT_EQ(Host.Messages.size(), 1u);
    EXPECT_THAT(Host.Messages.back().Text, HasSubstr("Nathan Reyes accepted it (price 150)"));
    EXPECT_EQ(ShownTexts(Main.get(), {"NeedsQuotePriceEdit"}), std::vector<std::string>{"150"});
    EXPECT_TRUE(Shown("AcceptLabel"));
}

TEST_F(TwoStaff, AMemberChangedMeanwhileIsNotOverwritten)
{
    ShowAdmin(2);
    auto *list = Find<QListView>("PersonnelListBox");
    const std::vector<std::string> names = RoleTexts(list);
    const auto at = std::find(names.begin(), names.end(), "Olivia Chen");
    ASSERT_NE(at, names.end());
    ClickLine(list, list->model()->index(static_cast<int>(at - names.begin()), 0));
    const std::string olivia = Db->Scalar("SELECT f1 FROM Personnel WHERE f11 = 'Olivia'");
    ColleagueWrites("Personnel", olivia, {"f19=415-555-0199"});
    Type("PersonnelLnameEdit", "Chen-Park");

    // No: nothing is written and the panel keeps what was typed.
    Host.ScriptedAnswers = {cHostAnswer::No};
    Click("PersonnelEditSaveButton");
    EXPECT_EQ(Said(Host), std::vector<std::string>{
                              "Member changed: Someone else changed this member since you opened it. Nothing "
                              "was saved.\r\rLoad the stored data now? What you typed on the panel is then "
                              "replaced. [Yes/No]"});
    EXPECT_EQ(Fields("Personnel", olivia, {13, 19}), (std::vector<std::string>{"Chen", "415-555-0199"}));
    EXPECT_EQ(ShownTexts(Main.get(), {"PersonnelLnameEdit", "PersonnelPhoneEdit"}),
              (std::vector<std::string>{"Chen-Park", "415-555-0112"}));

    // Yes: the panel shows the stored member, and a save from there goes through.
    Host.ScriptedAnswers = {cHostAnswer::Yes};
    Click("PersonnelEditSaveButton");
    EXPECT_EQ(ShownTexts(Main.get(), {"PersonnelLnameEdit", "PersonnelPhoneEdit"}),
              (std::vector<std::string>{"Chen", "415-555-0199"}));
    Type("PersonnelLnameEdit", "Chen-Park");
    Host.Messages.clear();
    Click("PersonnelEditSaveButton");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Fields("Personnel", olivia, {13, 19}), (std::vector<std::string>{"Chen-Park", "415-555-0199"}));
}

TEST_F(TwoStaff, CompanyDataChangedMeanwhileIsNotOverwritten)
{
    ShowAdmin(1);
    const std::string provider = ProviderSeq();
    const std::string city = Field("ProviderEntities", provider, 13);
    ColleagueWrites("ProviderEntities", provider, {"f16=415-555-0177"});
    Type("MyCityEdit", "Alameda");

    Host.ScriptedAnswers = {cHostAnswer::No};
    Click("MyInformationUpdateButton");
    ASSERT_EQ(Host.Messages.size(), 1u);
    EXPECT_EQ(Host.Messages[0].Caption, "Company data changed");
    EXPECT_EQ(Fields("ProviderEntities", provider, {13, 16}),
              (std::vector<std::string>{city, "415-555-0177"}));
    EXPECT_EQ(ShownTexts(Main.get(), {"MyCityEdit"}), std::vector<std::string>{"Alameda"});
    EXPECT_TRUE(Find<QPushButton>("MyInformationUpdateButton")->isEnabled()) << "still to be saved";

    Host.ScriptedAnswers = {cHostAnswer::Yes};
    Click("MyInformationUpdateButton");
    EXPECT_EQ(ShownTexts(Main.get(), {"MyCityEdit", "MyPhoneEdit"}),
              (std::vector<std::string>{city, "415-555-0177"}));
    Type("MyCityEdit", "Alameda");
    Host.Messages.clear();
    Click("MyInformationUpdateButton");
    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Fields("ProviderEntities", provider, {13, 16}),
              (std::vector<std::string>{"Alameda", "415-555-0177"}));
}
