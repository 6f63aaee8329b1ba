// Edit objects without a server: the field list, the alias list, binding, options, label date
// formats and the Enter key.
#include "binding/cEditObjects.h"
#include "binding/cLabeledEdit.h"
#include "binding/cTableObject.h"
#include "tests/binding/BindingTestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
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
        EXPECT_TRUE(label->text().isEmpty()) << name;
        ASSERT_NE(cEditObjects::BindingOf(label), nullptr) << name;
    }
    auto *price = form.Window.findChild<cLabeledEdit *>("NeedsQuotePriceEdit");
    EXPECT_TRUE(price->text().isEmpty());
    EXPECT_EQ(price->Caption(), "Price (if relavent) ");
    EXPECT_EQ(cEditObjects::BindingOf(price)->FieldCode(), "f13");
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
    auto *a = new QLabel("f11", &window);
    auto *b = new QLabel("f11", &window);
    auto *c = new QLabel("pe10", &window);
    binding.AddLabel(a, "f11", "");
    binding.AddLabel(b, "f11", "");
    binding.AddLabel(c, "pe10", "");
    binding.BuildFieldList();
    EXPECT_EQ(binding.FieldList, "pe1,f11,pe10,");
    EXPECT_EQ(binding.TableForAlias("PE"), "ProviderEntities");
    EXPECT_EQ(binding.AliasList, "pe=ProviderEntities:f9,PE=Cases:f9");
}

TEST(EditObject, SplitsCodesAtTheFirstDigitOrSymbol)
{
    struct cCase
    {
        const char *Code;
        bool Bound;
        const char *Alias;
        const char *Number;
    };
    const cCase cases[] = {
        {"cn14", true, "cn", "14"},
        {"H10", true, "H", "10"},
        {"f1001", true, "f", "1001"},
        {"*4", true, "", "*4"},
        {"x", false, "", ""},
        {"ab", true, "ab", ""},
        {"pa12345678901", true, "pa", "123456789"},
        {"a-1", true, "a", "-1"},
    };
    for (const cCase &c : cases)
    {
        std::string alias;
        std::string number;
        const bool bound = cEditObject::SplitFieldCode(c.Code, alias, number);
        EXPECT_EQ(std::tuple(bound, alias, number), std::tuple(c.Bound, c.Alias, c.Number)) << c.Code;
    }
    // A code too short to split leaves its control unbound and untouched.
    QWidget window;
    cEditObjects binding(nullptr, "CaseNeedsQuote");
    auto *label = new QLabel("x", &window);
    auto *edit = new QLineEdit("keep", &window);
    EXPECT_EQ(binding.AddLabel(label, "x", ""), nullptr);
    EXPECT_EQ(binding.AddEdit(edit, "", ""), nullptr);
    EXPECT_EQ((QStringList{label->text(), edit->text()}), (QStringList{"x", "keep"}));
    EXPECT_EQ(cEditObjects::BindingOf(label), nullptr);
    EXPECT_EQ(binding.BindingCount(), 0);
}

TEST(EditObject, OptionsSetFlagsAndDateKind)
{
    struct
    {
        const char *Options;
        bool Add, Edit, Required;
        cDateKind Kind;
    } cases[] = {{"", true, true, false, cDateKind::None},
                 {"add, must ,datetime", true, false, true, cDateKind::DateTime},
                 {"e,Date", false, true, false, cDateKind::Date}};
    for (const auto &c : cases)
    {
        cEditObject binding(nullptr, cControlKind::Label, "f", "10");
        binding.ParseOptions(c.Options);
        EXPECT_EQ(
            std::tuple(binding.ShowWhenAdding, binding.ShowWhenEditing, binding.Required, binding.DateKind),
            std::tuple(c.Add, c.Edit, c.Required, c.Kind))
            << c.Options;
    }
}

TEST(EditObject, LabelDateFormats)
{
    struct cCase
    {
        cDateKind Kind;
        const char *Stored;
        const char *Shown;
    };
    const cCase cases[] = {
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
        {cDateKind::None, "20240315", "20240315"},
    };
    for (const cCase &c : cases)
        EXPECT_EQ(cEditObject::FormatDate(c.Kind, c.Stored), c.Shown) << c.Stored;
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
    EXPECT_EQ(first->text(), "Ann");
    EXPECT_EQ(returns.count(), 0);
    EXPECT_TRUE(WaitUntil([&] { return second->hasFocus(); }));
}

namespace
{
struct cExitLog
{
    int Calls = 0;
    bool Veto = false;
};

void CheckExit(void *user, cEditObject &binding)
{
    auto *log = static_cast<cExitLog *>(user);
    ++log->Calls;
    binding.Veto = log->Veto;
}
} // namespace

TEST(EditObjects, EnterWithoutNavigationKeepsFocusAndVetoKeepsChangePending)
{
    QWidget window;
    auto *first = new QLineEdit(&window);
    auto *second = new QLineEdit(&window);
    Stack(window, {first, second});
    cEditObjects binding(nullptr, "Personnel");
    cEditObject *bound = binding.AddEdit(first, "f11", "M");
    ASSERT_NE(bound, nullptr);
    cExitLog log{0, true};
    bound->SetExitHandler(CheckExit, &log);
    ASSERT_TRUE(Activate(window));
    ASSERT_TRUE(FocusAndWait(first));
    QSignalSpy returns(first, &QLineEdit::returnPressed);
    QTest::keyClick(first, Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(returns.count(), 0);
    EXPECT_TRUE(first->text().isEmpty());

    // The user's typing marks the binding; a vetoing exit handler keeps it marked.
    QTest::keyClicks(first, "Ann");
    EXPECT_TRUE(bound->Modified);
    EXPECT_EQ(first->palette().color(QPalette::Base), binding.NormalColour);
    ASSERT_TRUE(FocusAndWait(second));
    EXPECT_EQ(log.Calls, 1);
    EXPECT_TRUE(bound->Modified);

    log.Veto = false;
    ASSERT_TRUE(FocusAndWait(first));
    QTest::keyClick(first, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(first, Qt::Key_Backspace);
    EXPECT_EQ(first->palette().color(QPalette::Base), binding.MissingColour);
    ASSERT_TRUE(FocusAndWait(second));
    EXPECT_EQ(log.Calls, 2);
    EXPECT_FALSE(bound->Modified);
}
