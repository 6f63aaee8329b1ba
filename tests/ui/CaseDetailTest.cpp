// The case detail page against DorvaneServer with demo data: what opening a quote shows, the three
// answers as they are stored, the reject reason dialog on the way, the code lists' drawing and
// the health detail view that follows the opened case.
#include "tests/ui/UiTestSupport.h"

#include <QTableWidget>

using namespace ui_test;

namespace
{
class CaseDetail : public cWorkspaceTest
{
protected:
    void SetUp() override
    {
        cWorkspaceTest::SetUp();
        Open();
    }
    std::string UserSeq() { return Member("admin@bayview.example", "f1"); }

    // A listed quote of the provider in the given state that is not awarded to it.
    std::string QuoteInState(const std::string &state)
    {
        return Db->Scalar(
            "SELECT q.f1 FROM CaseNeedsQuote q JOIN CaseNeeds n ON n.f1 = q.f10 WHERE q.f11 = '" +
            ProviderSeq() + "' AND IFNULL(q.f14, '') = '" + state +
            "' AND IFNULL(q.f16, '') <> 'N' AND IFNULL(n.f16, '') = '' ORDER BY q.f1 LIMIT 1");
    }

    void ChooseReason(int code, const char *button)
    {
        QTest::mouseClick(Reject->findChild<QRadioButton *>(QString("RejectCode%1RadioButton").arg(code)),
                          Qt::LeftButton);
        QTest::mouseClick(Reject->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    // Declines the shown quote through the dialog, with the steps taken in it.
    void Decline(const std::function<void()> &inDialog) { ClickIntoDialog(Find("DeclineButton"), inDialog); }

    std::string Record(const std::string &quote)
    {
        std::string all;
        for (int n : {10, 11, 12, 13, 14, 15, 16, 1001})
            all += Field("CaseNeedsQuote", quote, n) + "|";
        return all;
    }
};
} // namespace

TEST_F(CaseDetail, OpeningAQuoteFillsEveryLabelAndMemoFromTheStoredRecords)
{
    const std::string accepted = QuoteInState("A");
    const std::string declined = QuoteInState("R");
    for (const std::string &quote : {QuoteOf("Hartley"), QuoteOf("Alvarez"), accepted, declined})
    {
        SCOPED_TRACE("quote " + quote);
        ASSERT_TRUE(OpenQuote(quote));
        EXPECT_TRUE(Shown("CaseDetailPanel") && !Shown("ActiveCasesPanel"));
        const std::string caseKey = CaseOf(quote), patient = Field("Cases", caseKey, 10);
        const std::string worker = Field("Cases", caseKey, 23), number = Field("Cases", caseKey, 22);
        EXPECT_EQ(DetailPage()->SelectedCaseKey(), caseKey);
        EXPECT_EQ(ShownTexts(Main.get(), {"HospitalLabel", "DateRequiredLabel", "NeedsLabel", "NeedsDescText",
                                          "HeightLabel", "WeightLabel", "DiagnosisMemo"}),
                  StoredCaseTexts(quote));
        const QString g = QString::fromStdString(Field("Cases", caseKey, 30)).toUpper();
        const std::string gender = g == "M" ? "Male" : g == "F" ? "Female" : "";
        EXPECT_EQ(ShownTexts(Main.get(), {"CaseNumberLabel", "DischargeNurseLabel", "GenderLabel",
                                          "NeedsQuotePriceEdit", "ResponseReasonEdit"}),
                  (std::vector<std::string>{
                      number.empty() ? caseKey : number,
                      Field("Personnel", worker, 11) + " " + Field("Personnel", worker, 13), gender,
                      Field("CaseNeedsQuote", quote, 13), Field("CaseNeedsQuote", quote, 1001)}));
        const QString age = Find<QLabel>("AgeLabel")->text();
        cDateTime birth = 0;
        if (TryStrToDate(Field("Patients", patient, 14), birth))
        {
            EXPECT_NEAR(age.toDouble(), (Now() - birth) / 365.25, 0.051);
        }
        else
        {
            EXPECT_EQ(age, "Unknown");
        }
        EXPECT_EQ(ShownCodes("DiagnosisCodeListBox"), StoredCodes("DiagCodeDetail", caseKey));
        EXPECT_EQ(ShownCodes("TreatmentCodeListBox"), StoredCodes("TreatmentCodeDetail", caseKey));
        EXPECT_EQ(Lines(Find<QPlainTextEdit>("HealthDetailsMemo")->toPlainText()), HealthSummary(caseKey));

        // Accept or the accepted mark in the legend's colour; decline always; hide when declined.
        const bool isAccepted = quote == accepted;
        EXPECT_EQ((std::vector<bool>{Shown("AcceptButton"), Shown("AcceptLabel"), Shown("DeclineButton"),
                                     Shown("HideQuoteButton")}),
                  (std::vector<bool>{!isAccepted, isAccepted, true, quote == declined}));
        const QColor acceptedMark = Find<QLabel>("AcceptLabel")->palette().color(QPalette::WindowText);
        EXPECT_TRUE(!isAccepted || acceptedMark == QColor(128, 0, 128));
        Click("CaseDetailBackButton");
    }
    EXPECT_TRUE(Host.Messages.empty());

    // The demo's Alvarez case holds the special values the loop meets: no case number, a
    // lower-case "m" and a birth date that cannot be read.
    ASSERT_TRUE(OpenQuote(QuoteOf("Alvarez")));
    EXPECT_EQ(ShownTexts(Main.get(), {"CaseNumberLabel", "GenderLabel", "AgeLabel"}),
              (std::vector<std::string>{CaseOf(QuoteOf("Alvarez")), "Male", "Unknown"}));
}

TEST_F(CaseDetail, AcceptStoresTheAnswerFieldsAsTyped)
{
    const std::string user = UserSeq();
    const std::string first = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(first));
    ASSERT_EQ(Fields("CaseNeedsQuote", first, {13, 1001}), (std::vector<std::string>{"", ""}));
    // Empty edits send no price and no comment.
    Click("AcceptButton");
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Success: The quote has been accepted"});
    EXPECT_EQ(Record(first),
              Field("CaseNeedsQuote", first, 10) + "|" + ProviderSeq() + "|" + user + "||A||||");
    EXPECT_TRUE(Shown("AcceptButton")) << "the page is not reloaded";
    EXPECT_TRUE(TreeLine(first).data(list_role::Accepted).toBool()) << "the lists were reloaded";

    const struct
    {
        const char *Patient, *Price, *Comment;
    } typed[] = {{"Alvarez", "12,50", "Bed ready, Monday"}, {"Kim", "abc", ""}};
    for (const auto &t : typed)
    {
        const std::string quote = QuoteOf(t.Patient);
        ASSERT_TRUE(OpenQuote(quote)) << t.Patient;
        QTest::keyClicks(Find("NeedsQuotePriceEdit"), t.Price);
        QTest::keyClicks(Find("ResponseReasonEdit"), t.Comment);
        Click("AcceptButton");
        EXPECT_EQ(Fields("CaseNeedsQuote", quote, {12, 13, 14, 1001}),
                  (std::vector<std::string>{user, t.Price, "A", t.Comment}));
        EXPECT_EQ(Host.Messages.back().Text, "The quote has been accepted");
    }
}

TEST_F(CaseDetail, DeclineGoesThroughTheReasonDialog)
{
    const std::string user = UserSeq();
    const std::string quote = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(quote));
    const std::string price = Field("CaseNeedsQuote", quote, 13);
    QTest::keyClicks(Find("ResponseReasonEdit"), "Too far");
    bool shown = false;
    Decline(
        [&]
        {
            shown = Reject->isVisible();
            EXPECT_EQ(Reject->ReasonText(), "Too far") << "the page's comment is pre-filled";
            const QPoint off = Reject->geometry().center() - Main->geometry().center();
            EXPECT_LE(off.manhattanLength(), 8) << "centred on the window";
            ChooseReason(5, "OKButton");
        });
    EXPECT_TRUE(shown);
    // The price is not written.
    EXPECT_EQ(Fields("CaseNeedsQuote", quote, {12, 13, 14, 15, 1001}),
              (std::vector<std::string>{user, price, "R", "5", "Too far"}));
    EXPECT_EQ(Said(Host), std::vector<std::string>{"Success: The quote has been declined"});

    // The dialog's comment is what is written.
    const std::string other = QuoteOf("Alvarez");
    ASSERT_TRUE(OpenQuote(other));
    Decline(
        [&]
        {
            Reject->findChild<QLineEdit *>("ReasonEdit")->setText("No bed for that date");
            ChooseReason(8, "OKButton");
        });
    EXPECT_EQ(Fields("CaseNeedsQuote", other, {15, 1001}),
              (std::vector<std::string>{"8", "No bed for that date"}));

    // Cancel stores nothing and says nothing.
    const std::string third = QuoteOf("Kim");
    ASSERT_TRUE(OpenQuote(third));
    const std::string before = Record(third);
    Decline([&] { ChooseReason(2, "CancelButton"); });
    EXPECT_EQ(Record(third), before);
    EXPECT_EQ(Host.Messages.size(), 2u);
}

TEST_F(CaseDetail, AReloadUnderTheDialogWaitsAndTheAnswerGoesToTheShownQuote)
{
    const std::string quote = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(quote));
    const std::string added = AddQuote();
    bool listedUnderDialog = true;
    Decline(
        [&]
        {
            Tick(16);
            listedUnderDialog = TreeHasQuote(added);
            ChooseReason(1, "OKButton");
        });
    EXPECT_FALSE(listedUnderDialog) << "the reload waited for the answer";
    EXPECT_EQ(Fields("CaseNeedsQuote", quote, {14, 15}), (std::vector<std::string>{"R", "1"}));
    EXPECT_EQ(Field("CaseNeedsQuote", added, 14), "");
    EXPECT_TRUE(TreeHasQuote(added)) << "and ran after it";
    EXPECT_EQ(DetailPage()->SelectedQuoteKey(), quote);
}

TEST_F(CaseDetail, HideAsksFirstAndNoStoresNothing)
{
    const std::string quote = QuoteInState("R");
    ASSERT_TRUE(OpenQuote(quote));
    ASSERT_TRUE(Shown("HideQuoteButton"));
    const std::string added = AddQuote();
    Host.ScriptedAnswers = {cHostAnswer::No};
    Click("HideQuoteButton");
    EXPECT_EQ(Said(Host),
              std::vector<std::string>{
                  "Are you sure: Are you sure you want to remove this quote from your list? [Yes/No]"});
    EXPECT_EQ(Field("CaseNeedsQuote", quote, 16), "");
    EXPECT_FALSE(TreeHasQuote(added)) << "No does not reload";

    Host.ScriptedAnswers = {cHostAnswer::Yes};
    Click("HideQuoteButton");
    EXPECT_EQ(Host.Messages.size(), 2u) << "success is not announced";
    EXPECT_EQ(Field("CaseNeedsQuote", quote, 16), "N");
    EXPECT_FALSE(TreeHasQuote(quote));
    EXPECT_TRUE(TreeHasQuote(added));
}

TEST_F(CaseDetail, CodeItemsShowCodeAndDescriptionOnWhite)
{
    const std::string quote = QuoteOf("Hartley");
    cStringList onlyText;
    onlyText.Add("f10=" + CaseOf(quote));
    onlyText.Add("f1001=Only a description");
    ASSERT_FALSE(Session().DataServerConnection()->AddRecord("DiagCodeDetail", onlyText).empty());
    ASSERT_TRUE(OpenQuote(quote));
    ASSERT_EQ(ShownCodes("DiagnosisCodeListBox"),
              (std::vector<std::string>{"I50.22|Chronic systolic heart failure", "R26.81|",
                                        "|Only a description"}));
    auto *list = Find<QListView>("DiagnosisCodeListBox");
    list->setCurrentIndex(list->model()->index(0, 0));
    const QImage image = list->viewport()->grab().toImage();
    const QColor highlight = list->palette().color(QPalette::Highlight);
    const struct
    {
        bool Code, Description;
    } drawn[] = {{true, true}, {true, false}, {false, true}};
    for (int row = 0; row < 3; ++row)
    {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        EXPECT_EQ(r.height(), 16);
        const QRect code(r.left(), r.top(), 50, r.height());
        const QRect description(r.left() + 50, r.top(), r.width() - 50, r.height());
        EXPECT_EQ(CountPixels(image, code, Qt::black) > 0, drawn[row].Code) << row;
        EXPECT_EQ(CountPixels(image, description, Qt::black) > 0, drawn[row].Description) << row;
        EXPECT_EQ(CountPixels(image, r, highlight), 0)
            << "row " << row << " is drawn on white, selected or not";
        EXPECT_GT(CountPixels(image, r, Qt::white), r.width() * r.height() * 8 / 10);
        // Nothing is drawn left of x = 1.
        EXPECT_EQ(CountPixels(image, QRect(r.left(), r.top(), 1, r.height()), Qt::black), 0);
    }
}

TEST_F(CaseDetail, HealthDetailViewFollowsTheOpenedCase)
{
    ASSERT_TRUE(OpenQuote(QuoteOf("Hartley")));
    QTableWidget *grid = Health->PrescriptionsStringGrid;
    EXPECT_EQ(grid->rowCount(), 21);
    EXPECT_EQ(grid->item(1, 1)->text(), "Apixaban");
    EXPECT_EQ(grid->item(20, 1)->text(), "Fluticasone");
    EXPECT_FALSE(grid->item(20, 6)->text().isEmpty() || grid->item(20, 7)->text().isEmpty())
        << "Stop, Last Given";
    auto *mobility = qobject_cast<QRadioButton *>(Health->Control("Mobility2"));
    ASSERT_NE(mobility, nullptr);
    EXPECT_TRUE(mobility->isChecked() && mobility->font().bold());
    auto *wounds = qobject_cast<QPlainTextEdit *>(Health->Control("WoundsMemo"));
    EXPECT_EQ(wounds->toPlainText(), "Stage 2 pressure injury on the left heel, dressing changed daily");

    // Another case clears what the first one filled.
    ASSERT_TRUE(OpenQuote(QuoteOf("Alvarez")));
    EXPECT_EQ(wounds->toPlainText(), "");
    EXPECT_EQ(grid->item(20, 1)->text(), "");

    EXPECT_TRUE(OpensHealthView("HealthDetailsMemo"));
    EXPECT_TRUE(OpensHealthView("HealthDetailsMemo")) << "again";
}

TEST_F(CaseDetail, AQuoteGoneFromTheServerIsNotShownAndItsAnswersSaySo)
{
    const std::string shown = QuoteOf("Hartley");
    ASSERT_TRUE(OpenQuote(shown));
    Click("CaseDetailBackButton");
    const std::string gone = QuoteOf("Kim");
    ASSERT_TRUE(Db->Exec("DELETE FROM CaseNeedsQuote WHERE f1 = " + gone));
    ASSERT_TRUE(TreeHasQuote(gone)) << "still listed";
    EXPECT_FALSE(OpenQuote(gone));
    EXPECT_EQ(DetailPage()->SelectedQuoteKey(), shown) << "the keys stay those of the page behind";
    EXPECT_EQ(DetailPage()->SelectedCaseKey(), CaseOf(shown));
    EXPECT_TRUE(ListPageShown());
    EXPECT_TRUE(Shown("QuoteOpenNoticeLabel"));
    EXPECT_EQ(Find<QLabel>("CaseNumberLabel")->text(), "C-2025-1013")
        << "the page behind keeps what it showed";
    EXPECT_TRUE(Host.Messages.empty());

    // Answers to a quote that is gone from the server say so.
    ASSERT_TRUE(OpenQuote(shown));
    EXPECT_FALSE(Shown("QuoteOpenNoticeLabel")) << "an opened quote takes the notice away";
    ASSERT_TRUE(Db->Exec("DELETE FROM CaseNeedsQuote WHERE f1 = " + shown));
    Click("AcceptButton");
    Decline([&] { ChooseReason(3, "OKButton"); });
    // The hide button is shown for hideable quotes only; its handler answers the same way.
    Host.ScriptedAnswers = {cHostAnswer::Yes};
    DetailPage()->HideQuoteButtonClick();
    const std::string error = "Error: Error updating the case needs quote";
    EXPECT_EQ(
        Said(Host),
        (std::vector<std::string>{
            error, error, "Are you sure: Are you sure you want to remove this quote from your list? [Yes/No]",
            error}));
    EXPECT_FALSE(TreeHasQuote(shown));
}
