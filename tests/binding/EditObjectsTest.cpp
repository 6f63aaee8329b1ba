// Edit objects without a server: the field list, the alias list, binding, options, label date
// formats and the Enter key.
#include "binding/cTableObject.h"
#include "tests/binding/BindingTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <tuple>

using namespace binding_test;

TEST(EditObjects, CaseDetailDeclarationsGiveTheFieldAndAliasLists)
{
    cCaseDetailForm form;
    form.Binding.BuildFieldList();
    EXPECT_EQ(form.Binding.FieldList, "ca1,cn1,H1,cn14,cn15,H10,ca16,ca1001,f13,f1001,ca22,ca1,ca30");
    EXPECT_EQ(form.Binding.AliasList, "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11");
    EXPECT_EQ(form.Binding.BindingCount(), 9);

    // Every placeholder code is wiped and each control carries its binding.
    for (const char *name : {"CaseNumberLabel", "DateRequiredLabel", "HospitalLabel", "GenderLabel"})
    {
        auto *label = form.Window.findChild<QLabel *>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_TRUE(label->text().isEmpty() && cEditObjects::BindingOf(label)) << name;
    }
    auto *price = form.Window.findChild<cLabeledEdit *>("NeedsQuotePriceEdit");
    EXPECT_EQ(std::tuple(price->text().toStdString(), price->Caption().toStdString(),
                         cEditObjects::BindingOf(price)->FieldCode()),
              std::tuple("", "Price (if relavent) ", "f13"));
    EXPECT_TRUE(form.Window.findChild<QPlainTextEdit *>("DiagnosisMemo")->toPlainText().isEmpty());

    // The list is fixed at its first build: later declarations are not read.
    form.Binding.AddFields("ca99");
    form.Binding.BuildFieldList();
    EXPECT_EQ(form.Binding.FieldList.find("ca99"), std::string::npos);
}

TEST(EditObjects, FieldListWithoutExtrasEndsWithCommaAndSkipsDuplicates)
{
    QWidget window;
    cEditObjects binding(nullptr, "Personnel");
    binding.AddTable("ProviderEntities", "pe", "f9");
    binding.AddTable("Cases", "PE", "f9"); // same alias: the first declaration keeps the table
    for (const char *code : {"f11", "f11", "pe10"})
        binding.AddLabel(new QLabel(code, &window), code, "");
    binding.BuildFieldList();
    EXPECT_EQ(std::tuple(binding.FieldList, binding.AliasList, binding.TableForAlias("PE")),
              std::tuple("pe1,f11,pe10,", "pe=ProviderEntities:f9,PE=Cases:f9", "ProviderEntities"));
}

TEST(EditObject, SplitsCodesAtTheFirstDigitOrSymbol)
{
    const std::tuple<const char *, bool, const char *, const char *> cases[] = {
        {"cn14", true, "cn", "14"},   {"H10", true, "H", "10"},
        {"f1001", true, "f", "1001"}, {"*4", true, "", "*4"},
        {"x", false, "", ""},         {"ab", true, "ab", ""},
        {"a-1", true, "a", "-1"},     {"pa12345678901", true, "pa", "123456789"}};
    for (const auto &[code, bound, alias, number] : cases)
    {
        std::string splitAlias;
        std::string splitNumber;
        const bool split = cEditObject::SplitFieldCode(code, splitAlias, splitNumber);
        EXPECT_EQ(std::tuple(split, splitAlias, splitNumber), std::tuple(bound, alias, number)) << code;
    }
    // A code too short to split leaves its control unbound and untouched.
    QWidget window;
    cEditObjects binding(nullptr, "CaseNeedsQuote");
    auto *label = new QLabel("x", &window);
    auto *edit = new QLineEdit("keep", &window);
    EXPECT_EQ(binding.AddLabel(label, "x", ""), nullptr);
    EXPECT_EQ(binding.AddEdit(edit, "", ""), nullptr);
    EXPECT_EQ(std::tuple(label->text().toStdString(), edit->text().toStdString(),
                         cEditObjects::BindingOf(label), binding.BindingCount()),
              std::tuple("x", "keep", nullptr, 0));
}

TEST(EditObject, OptionsSetFlagsAndDateKind)
{
    // Options, then ShowWhenAdding, ShowWhenEditing, Required and DateKind.
    const std::tuple<const char *, bool, bool, bool, cDateKind> cases[] = {
        {"", true, true, false, cDateKind::None},
        {"add, must ,datetime", true, false, true, cDateKind::DateTime},
        {"e,Date", false, true, false, cDateKind::Date}};
    for (const auto &[options, add, edit, required, kind] : cases)
    {
        cEditObject binding(nullptr, cControlKind::Label, "f", "10");
        binding.ParseOptions(options);
        EXPECT_EQ(
            std::tuple(binding.ShowWhenAdding, binding.ShowWhenEditing, binding.Required, binding.DateKind),
            std::tuple(add, edit, required, kind))
            << options;
    }
}

TEST(EditObject, LabelDateFormats)
{
    const std::tuple<cDateKind, const char *, const char *> cases[] = {
        {cDateKind::Date, "20240315", "03/15/2024"},
        {cDateKind::Date, "20240315143000", "03/15/2024"},
        {cDateKind::Date, "03/15/2024", "03/15/2024"},
        {cDateKind::Date, "2024031", ""},
        {cDateKind::Date, "", ""},
        {cDateKind::DateTime, "202403151430", "03/15/2024 14:30"},
        {cDateKind::DateTime, "20240315143059", "03/15/2024 14:30"},
        {cDateKind::DateTime, "20240315", "03/15/2024"},
        {cDateKind::DateTime, "2024031", ""},
        {cDateKind::DateTime, "3/15/2024", "3/15/2024"},
        {cDateKind::Time, "1430", "1430"},
        {cDateKind::None, "20240315", "20240315"}};
    for (const auto &[kind, stored, shown] : cases)
        EXPECT_EQ(cEditObject::FormatDate(kind, stored), shown) << stored;
}

TEST(EditObjects, EnterInsertsNothingAndMovesFocusWithNavigationWindow)
{
    QWidget window;
    auto *first = new cLabeledEdit("FirstEdit", "First ", &window);
    auto *skipped = new QPushButton("Skipped", &window);
    auto *second = new cLabeledEdit("SecondEdit", "Second ", &window);
    skipped->setEnabled(false);
    Stack(window, {first, skipped, second});
    cEditObjects withNavigation(nullptr, "Personnel", &window);
    withNavigation.AddEdit(first, "f11", "");
    withNavigation.AddEdit(second, "f13", "");
    ASSERT_TRUE(Activate(window));

    QSignalSpy returns(first, &QLineEdit::returnPressed);
    ASSERT_TRUE(FocusAndWait(first));
    QTest::keyClicks(first, "Ann");
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(std::tuple(first->text().toStdString(), returns.count()), std::tuple("Ann", 0));
    EXPECT_TRUE(WaitUntil([&] { return second->hasFocus(); }));
}

TEST(EditObjects, EnterWithoutNavigationKeepsFocusAndVetoKeepsChangePending)
{
    QWidget window;
    auto *first = new QLineEdit(&window);
    auto *second = new QLineEdit(&window);
    Stack(window, {first, second});
    cEditObjects binding(nullptr, "Personnel");
    cEditObject *bound = binding.AddEdit(first, "f11", "M");
    ASSERT_NE(bound, nullptr);
    // The exit handler counts its calls and vetoes while Veto is set.
    std::pair<int, bool> exits{0, true};
    bound->SetExitHandler(
        [](void *user, cEditObject &exiting)
        {
            auto &[calls, veto] = *static_cast<std::pair<int, bool> *>(user);
            ++calls;
            exiting.Veto = veto;
        },
        &exits);
    ASSERT_TRUE(Activate(window));
    ASSERT_TRUE(FocusAndWait(first));
    QSignalSpy returns(first, &QLineEdit::returnPressed);
    QTest::keyClick(first, Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(first->hasFocus(), returns.count(), first->text().toStdString()),
              std::tuple(true, 0, ""));

    // The user's typing marks the binding; a vetoing exit handler keeps it marked.
    QTest::keyClicks(first, "Ann");
    EXPECT_TRUE(bound->Modified);
    EXPECT_EQ(first->palette().color(QPalette::Base), binding.NormalColour);
    ASSERT_TRUE(FocusAndWait(second));
    EXPECT_EQ(std::pair(exits.first, bound->Modified), std::pair(1, true));

    exits.second = false;
    ASSERT_TRUE(FocusAndWait(first));
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(first, Qt::Key_Backspace);
    EXPECT_EQ(first->palette().color(QPalette::Base), binding.MissingColour);
    ASSERT_TRUE(FocusAndWait(second));
    EXPECT_EQ(std::pair(exits.first, bound->Modified), std::pair(2, false));
}
