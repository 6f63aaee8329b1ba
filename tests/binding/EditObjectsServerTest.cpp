// Edit objects against the server: loads fill the controls, user changes are written to the
// right table and record, and nothing else is written.
#include "binding/cTableObject.h"
#include "tests/binding/BindingTestSupport.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace binding_test;

namespace
{
std::string WithoutCr(std::string text)
{
    std::erase(text, '\r');
    return text;
}
} // namespace

using EditObjectsServer = cServerFixture;

TEST_F(EditObjectsServer, LoadFillsControlsRunsHandlerAndShowsHiddenControls)
{
    const auto rows =
        Db->Query("SELECT q.f1, cn.f14, cn.f15, ca.f16, ca.f1001, H.f10, ca.f30, ca.f22, q.f13, q.f1001, "
                  "cn.f1, ca.f1 FROM CaseNeedsQuote q JOIN CaseNeeds cn ON cn.f1 = q.f10 "
                  "JOIN Cases ca ON ca.f1 = cn.f10 JOIN ProviderEntities H ON H.f1 = ca.f11 "
                  "WHERE q.f13 <> '' AND q.f1001 <> '' ORDER BY q.f1 LIMIT 1");
    ASSERT_EQ(rows.size(), 1u) << Db->LastError;
    const auto &r = rows.front();

    cCaseDetailForm form;
    // Computes two of the "*" codes, as the window does, and logs every call.
    std::vector<std::string> calls;
    form.Binding.SetCustomFieldHandler(
        [](void *user, cEditObject &binding)
        {
            static_cast<std::vector<std::string> *>(user)->push_back(binding.FieldNumber);
            const auto &values = binding.Owner->Values;
            binding.Value =
                binding.FieldNumber == "*4" ? "Gender " + values.Values("ca30") : values.Values("ca22");
        },
        &calls);
    auto *hospital = form.Window.findChild<QLabel *>("HospitalLabel");
    auto *price = form.Window.findChild<cLabeledEdit *>("NeedsQuotePriceEdit");
    hospital->hide();
    price->hide();

    ASSERT_TRUE(form.Binding.LoadRecord(Connection.get(), r[0]));
    const std::pair<const char *, std::string> labels[] = {
        {"DateRequiredLabel", r[1]}, {"NeedsDescText", r[2]},           {"HeightLabel", r[3]},
        {"HospitalLabel", r[5]},     {"GenderLabel", "Gender " + r[6]}, {"CaseNumberLabel", r[7]}};
    for (const auto &[name, text] : labels)
        EXPECT_EQ(form.Window.findChild<QLabel *>(name)->text().toStdString(), text) << name;
    EXPECT_EQ(form.Window.findChild<QPlainTextEdit *>("DiagnosisMemo")->toPlainText().toStdString(),
              WithoutCr(r[4]));
    EXPECT_EQ(price->text().toStdString(), r[8]);
    EXPECT_EQ(form.Window.findChild<cLabeledEdit *>("ResponseReasonEdit")->text().toStdString(), r[9]);
    for (const QWidget *control : std::initializer_list<const QWidget *>{hospital, price, price->EditLabel})
        EXPECT_FALSE(control->isHidden()) << control->objectName().toStdString();
    EXPECT_EQ((std::vector{form.Binding.Table("cn")->Key, form.Binding.Table("ca")->Key}),
              (std::vector{r[10], r[11]}));
    // Codes beginning with "*" are computed by the handler, never requested.
    EXPECT_EQ(calls, (std::vector<std::string>{"*5", "*4"}));
    for (int i = 0; i < form.Binding.Values.Count(); ++i)
        EXPECT_NE(form.Binding.Values.Names(i).rfind('*', 0), 0u) << form.Binding.Values[i];
    for (int i = 0; i < form.Binding.BindingCount(); ++i)
        EXPECT_FALSE(form.Binding.Binding(i)->Modified);

    // A failed read changes no control.
    EXPECT_FALSE(form.Binding.LoadRecord(nullptr, "987654"));
    EXPECT_EQ((std::vector{hospital->text().toStdString(), price->text().toStdString()}),
              (std::vector{r[5], r[8]}));
}

TEST_F(EditObjectsServer, TypedPriceIsStoredAloneAndOnlyOnce)
{
    const std::string key = Db->Scalar("SELECT f1 FROM CaseNeedsQuote WHERE f13 = '' ORDER BY f1 LIMIT 1");
    ASSERT_FALSE(key.empty());
    const std::string others =
        "SELECT f10, f11, f12, f14, f15, f16, f1001 FROM CaseNeedsQuote WHERE f1 = " + key;
    const auto before = Db->Query(others);

    cCaseDetailForm form;
    auto *price = form.Window.findChild<cLabeledEdit *>("NeedsQuotePriceEdit");
    auto *other = new QPushButton("Other", &form.Window);
    Stack(form.Window, {price, other});
    ASSERT_TRUE(Activate(form.Window));
    ASSERT_TRUE(form.Binding.LoadRecord(Connection.get(), key));

    ASSERT_TRUE(FocusAndWait(price));
    QTest::keyClicks(price, "120");
    // Switching to another window or opening a popup menu is no exit: nothing is written yet.
    const std::string stored = "SELECT f13 FROM CaseNeedsQuote WHERE f1 = " + key;
    QWidget elsewhere;
    ASSERT_TRUE(Activate(elsewhere));
    EXPECT_EQ(std::tuple(price->hasFocus(), Db->Scalar(stored)), std::tuple(false, ""));
    ASSERT_TRUE(Activate(form.Window));
    ASSERT_TRUE(WaitUntil([price] { return price->hasFocus(); }));
    QMenu menu(&form.Window);
    menu.addAction("Copy");
    menu.popup(price->mapToGlobal(QPoint(2, 2)));
    ASSERT_TRUE(WaitUntil([&menu] { return menu.isVisible(); }));
    EXPECT_EQ(Db->Scalar(stored), "");
    menu.close();
    ASSERT_TRUE(FocusAndWait(other));
    EXPECT_EQ(Db->Scalar(stored), "120");
    EXPECT_EQ(Db->Query(others), before);

    // Leaving again without a change sends nothing: a value stored meanwhile stays.
    ASSERT_TRUE(Db->Exec("UPDATE CaseNeedsQuote SET f13 = 'stored elsewhere' WHERE f1 = " + key));
    ASSERT_TRUE(FocusAndWait(price));
    ASSERT_TRUE(FocusAndWait(other));
    EXPECT_EQ(Db->Scalar(stored), "stored elsewhere");
    EXPECT_TRUE(RecordingHost.Messages.empty());
}

TEST_F(EditObjectsServer, JoinedEditsWriteUnderTheKeysOfTheLastLoad)
{
    const auto quotes =
        Db->Query("SELECT q.f1, q.f10, cn.f15, cn.f10 FROM CaseNeedsQuote q JOIN CaseNeeds cn "
                  "ON cn.f1 = q.f10 WHERE q.f13 = '' ORDER BY q.f1 LIMIT 2");
    ASSERT_EQ(quotes.size(), 2u) << Db->LastError;
    ASSERT_NE(quotes[0][1], quotes[1][1]);
    const std::string need = quotes[1][1];
    const std::string diagnosis = "SELECT f1001 FROM Cases WHERE f1 = " + quotes[1][3];
    const std::string original = Db->Scalar(diagnosis);

    QWidget window;
    auto *description = new QLineEdit("cn15", &window);
    auto *price = new QLineEdit("f13", &window);
    auto *memo = new QPlainTextEdit("ca1001", &window);
    auto *required = new QLabel("cn14", &window);
    auto *admitted = new QLabel("ca12", &window);
    Stack(window, {description, price, memo, required, admitted});
    cEditObjects binding(Connection.get(), "CaseNeedsQuote");
    binding.AddTable("CaseNeeds", "cn", "f10");
    binding.AddTable("Cases", "ca", "cn10");
    binding.AddEdit(description, "cn15", "");
    binding.AddEdit(price, "f13", "M");
    binding.AddMemo(memo, "ca1001", "");
    binding.AddLabel(required, "cn14", "DateTime");
    binding.AddLabel(admitted, "ca12", "date");
    ASSERT_TRUE(Activate(window));

    ASSERT_TRUE(binding.LoadRecord(nullptr, quotes[0][0]));
    ASSERT_TRUE(binding.LoadRecord(nullptr, quotes[1][0]));
    EXPECT_EQ(memo->toPlainText().toStdString(), WithoutCr(original));
    const std::string stored = Db->Scalar("SELECT f14 FROM CaseNeeds WHERE f1 = " + need);
    ASSERT_GE(stored.size(), 12u);
    EXPECT_EQ(required->text().toStdString(), stored.substr(4, 2) + "/" + stored.substr(6, 2) + "/" +
                                                  stored.substr(0, 4) + " " + stored.substr(8, 2) + ":" +
                                                  stored.substr(10, 2));
    EXPECT_EQ(admitted->text().size(), 10);
    EXPECT_EQ(admitted->text().count('/'), 2);

    // An empty required edit is marked, and unmarked once the user types.
    EXPECT_EQ(price->palette().color(QPalette::Base), binding.MissingColour);
    ASSERT_TRUE(FocusAndWait(price));
    QTest::keyClicks(price, "5");
    EXPECT_EQ(price->palette().color(QPalette::Base), binding.NormalColour);

    // Leaving the price writes it to the quote of the last load.
    ASSERT_TRUE(FocusAndWait(description));
    EXPECT_EQ(Db->Scalar("SELECT f13 FROM CaseNeedsQuote WHERE f1 = " + quotes[1][0]), "5");
    EXPECT_EQ(Db->Scalar("SELECT f13 FROM CaseNeedsQuote WHERE f1 = " + quotes[0][0]), "");

    QTest::keyClick(description, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(description, "Needs a ground-floor room");
    ASSERT_TRUE(FocusAndWait(price));
    EXPECT_EQ(Db->Scalar("SELECT f15 FROM CaseNeeds WHERE f1 = " + need), "Needs a ground-floor room");
    EXPECT_EQ(Db->Scalar("SELECT f15 FROM CaseNeeds WHERE f1 = " + quotes[0][1]), quotes[0][2]);

    // Text that the window sets in its read-only memo is not a user change, focus or not.
    memo->setReadOnly(true);
    ASSERT_TRUE(FocusAndWait(memo));
    memo->setPlainText("Summary set by the window");
    ASSERT_TRUE(FocusAndWait(price));
    EXPECT_EQ(Db->Scalar(diagnosis), original);
    // Lines the user types are stored with CR LF.
    memo->setReadOnly(false);
    ASSERT_TRUE(FocusAndWait(memo));
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(memo, "first");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "second");
    ASSERT_TRUE(FocusAndWait(price));
    EXPECT_EQ(Db->Scalar(diagnosis), "first\r\nsecond");
}
