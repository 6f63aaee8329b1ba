// Session rules: the signed-in user's record and password check, the gate holding quote reloads back
// while a handler uses the lists, the idle clock of the lock, the [Client] switches of the ini file.
#include "tests/support/TempDir.h"
#include "workspace/ClientSwitches.h"
#include "workspace/IdleClock.h"
#include "workspace/QuoteAnswer.h"
#include "workspace/QuoteReloads.h"
#include "workspace/RecordLines.h"
#include "workspace/ReloadGate.h"
#include "workspace/SignedInUser.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
cStringList Record(const std::string &password, const std::string &admin)
{
    cStringList record;
    for (int line = 0; line <= PersonnelAdminLine; ++line)
        record.Add("");
    record.SetString(PersonnelKeyLine, "41");
    record.SetString(PersonnelProviderLine, "7");
    record.SetString(PersonnelTitleLine, "Ms.");
    record.SetString(PersonnelFirstNameLine, "Alice");
    record.SetString(PersonnelLastNameLine, "Morgan");
    record.SetString(PersonnelPasswordLine, password);
    record.SetString(PersonnelAdminLine, admin);
    return record;
}
} // namespace

TEST(SignedInUser, LinesOfTheRecordAndThePasswordCheck)
{
    const cSignedInUser admin = SignedInUser(Record("pw", "y"));
    EXPECT_EQ((std::vector<std::string>{admin.Key, admin.ProviderKey, admin.NameText, admin.Name}),
              (std::vector<std::string>{"41", "7", "User: Ms. Alice Morgan", "Ms. Alice Morgan"}));
    cStringList untitled = Record("pw", "");
    untitled.SetString(PersonnelTitleLine, "");
    EXPECT_EQ(SignedInUser(untitled).Name, "Alice Morgan") << "no blank for a missing part";
    EXPECT_EQ(SignedInUser(untitled).NameText, "User:  Alice Morgan");
    EXPECT_TRUE(admin.IsAdmin) << "the mark is compared without regard to letter case";
    EXPECT_FALSE(SignedInUser(Record("pw", "Yes")).IsAdmin);
    EXPECT_FALSE(SignedInUser(cStringList()).IsAdmin);
    // A record without a password can neither sign in nor unlock.
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"demo1234", "demo1234", true},   {"demo1234", "Demo1234", false},
        {"demo1234", "", false},          {"", "", false},
        {"a b,\"c\"", "a b,\"c\"", true},
    };
    for (const auto &[stored, typed, accepted] : cases)
        EXPECT_EQ(PasswordAccepted(Record(stored, ""), typed), accepted) << stored << "|" << typed;
    cStringList shortRecord; // every line "pw", but too short to hold the password line
    for (int line = 0; line < PersonnelPasswordLine; ++line)
        shortRecord.Add("pw");
    EXPECT_FALSE(PasswordAccepted(shortRecord, "pw"));
}

TEST(ReloadGate, HoldsDeferOneLoadAndARunningLoadCoversRequestsMadeInsideIt)
{
    int loads = 0;
    cReloadGate *self = nullptr;
    cReloadGate gate(
        [&]
        {
            ++loads;
            self->Request(); // asked again while it runs (a timer tick inside its request)
        });
    self = &gate;
    gate.Request();
    EXPECT_EQ(loads, 1) << "runs at once, and a request made inside it is covered";
    EXPECT_FALSE(gate.Held() || gate.Pending());
    {
        cReloadGate::cHold outer(gate);
        {
            cReloadGate::cHold inner(gate);
            gate.Request();
            gate.Request();
        }
        EXPECT_EQ(loads, 1) << "held while any hold lasts";
        EXPECT_TRUE(gate.Pending());
    }
    EXPECT_EQ(loads, 2) << "one load when the last hold ends";
    cReloadGate::cHold{gate}; // a hold that ends at once
    EXPECT_EQ(loads, 2) << "a hold without a request loads nothing";
}

TEST(ReloadGate, ALoadThatThrowsReleasesTheGate)
{
    int loads = 0;
    cReloadGate gate(
        [&]
        {
            if (++loads == 1)
                throw std::runtime_error("lost");
        });
    EXPECT_THROW(gate.Request(), std::runtime_error);
    EXPECT_FALSE(gate.Held());
    gate.Request();
    EXPECT_EQ(loads, 2);
}

TEST(IdleClock, DueAfterTheMinutesWithoutInput)
{
    std::int64_t now = 1000;
    cIdleClock clock([&now] { return now; });
    EXPECT_FALSE(clock.IsDue()) << "no minutes set: never";
    now += 24LL * 60 * 60 * 1000;
    EXPECT_FALSE(clock.IsDue());

    clock.SetMinutes(2);
    now += 2 * 60 * 1000 - 1;
    EXPECT_FALSE(clock.IsDue());
    now += 1;
    EXPECT_TRUE(clock.IsDue());
    clock.Touch();
    EXPECT_FALSE(clock.IsDue()) << "input starts the time anew";
    now += 60 * 1000;
    clock.Touch();
    now += 60 * 1000 + 500;
    EXPECT_FALSE(clock.IsDue());
    now += 60 * 1000;
    EXPECT_TRUE(clock.IsDue());

    clock.SetMinutes(0);
    now += 10LL * 60 * 60 * 1000;
    EXPECT_FALSE(clock.IsDue()) << "0 turns it off";
    clock.SetMinutes(-3);
    EXPECT_EQ(clock.Minutes(), 0);

    std::int64_t other = 5;
    clock.SetMinutes(1);
    clock.SetClock([&other] { return other; });
    other += 60 * 1000;
    EXPECT_TRUE(clock.IsDue()) << "a new clock counts from when it was set";
}

TEST(ClientSwitches, ValuesReadFromTheClientSectionWithDefaultsForTheRest)
{
    const std::tuple<const char *, bool, bool> switches[] = {
        {"0", true, false},  {" Off ", true, false}, {"NO", true, false}, {"false", true, false},
        {"1", false, true},  {"yes", false, true},   {"", true, true},    {"  ", false, false},
        {"01", false, true}, {"2", false, true}};
    for (const auto &[text, fallback, expected] : switches)
        EXPECT_EQ(SwitchValue(text, fallback), expected) << '"' << text << '"';
    const std::pair<const char *, int> minutes[] = {
        {"0", 0}, {"5", 5},    {" 30 ", 30}, {"1440", 1440},      {"1441", 15}, {"-5", 15},
        {"", 15}, {"ten", 15}, {"5m", 15},   {"99999999999", 15}, {"007", 7}};
    for (const auto &[text, expected] : minutes)
        EXPECT_EQ(MinutesValue(text, 15), expected) << '"' << text << '"';
    const auto values = [](const cClientSwitches &s)
    { return std::tuple(s.Alerts, s.Search, s.Export, s.Print, s.LockMinutes); };
    cTempDir dir;
    const std::string ini =
        dir.Write("Dorvane.ini", "[DataServer]\r\nIP=1.2.3.4\r\nAlerts=0\r\n"
                                 "[Client]\r\nSearch=0\r\nPrint=off\r\nLockMinutes=3\r\n");
    // Alerts stays on: a key of another section does not count.
    EXPECT_EQ(values(ReadClientSwitches(ini)), std::tuple(true, false, true, false, 3));
    EXPECT_EQ(values(ReadClientSwitches(dir.File("absent.ini"))), std::tuple(true, true, true, true, 15));
}

TEST(ClientSwitches, IniBesideTheProgramFirstThenTheConfigurationFolder)
{
    cTempDir program, xdg, home;
    std::filesystem::create_directories(home.Path + ".config/Dorvane");
    std::filesystem::create_directory(xdg.Path + "Dorvane");
    const std::string beside = program.File("Dorvane.ini");
    const char *xdgPath = xdg.Path.c_str(), *homePath = home.Path.c_str();
    // Nothing anywhere: the program folder's name (read as empty).
    EXPECT_EQ(ClientIniPath(program.Path, xdgPath, homePath), beside);
    // XDG_CONFIG_HOME unset, empty or relative: the home folder's.
    const std::string homeIni = home.Write(".config/Dorvane/Dorvane.ini", "[Client]\n");
    for (const char *unset : {static_cast<const char *>(nullptr), "", "relative"})
        EXPECT_EQ(ClientIniPath(program.Path, unset, homePath), homeIni) << (unset ? unset : "null");
    // XDG_CONFIG_HOME set: its folder only, even when the file is missing there.
    EXPECT_EQ(ClientIniPath(program.Path, xdgPath, homePath), beside);
    const std::string xdgIni = xdg.Write("Dorvane/Dorvane.ini", "[Client]\n");
    EXPECT_EQ(ClientIniPath(program.Path, xdgPath, homePath), xdgIni);
    EXPECT_EQ(ClientIniPath(program.Path, nullptr, nullptr), beside);
    // The file beside the program wins.
    program.Write("Dorvane.ini", "[Client]\n");
    EXPECT_EQ(ClientIniPath(program.Path, xdgPath, homePath), beside);
}

TEST(QuoteAnswer, OnlyAnotherMembersChangeCountsAndTheNoticeSaysWhoDidWhat)
{
    const cQuoteAnswer shown{"7", "", "", "", "", "old note"};
    const struct
    {
        cQuoteAnswer Current;
        const char *TypedPrice, *TypedComment;
        bool Meanwhile;
    } cases[] = {
        {shown, "", "old note", false},                                 // unchanged
        {{"7", "80", "", "", "", "old note"}, "80", "old note", false}, // the page's own price write
        {{"7", "", "", "", "", "mine"}, "", "mine", false},             // the page's own comment write
        {{"7", "90", "", "", "", "old note"}, "80", "old note", true},  // a price someone else stored
        {{"9", "", "", "", "", "old note"}, "", "old note", true},      // only the member changed
        {{"7", "", "", "", "N", "old note"}, "", "old note", true},     // hidden
        {{"9", "", "R", "3", "", "mine"}, "", "mine", true},            // declined, comment as typed
    };
    for (const auto &c : cases)
        EXPECT_EQ(AnsweredMeanwhile(shown, c.Current, c.TypedPrice, c.TypedComment), c.Meanwhile)
            << c.Current.Member << "|" << c.Current.Price << "|" << c.Current.State << "|"
            << c.Current.Listed;

    const cQuoteAnswer hidden{"7", "", "", "", "N", ""}, accepted{"9", "120", "A", "", "", "Bed ready"};
    EXPECT_EQ(AnsweringMember(shown, hidden), "") << "a hide stores no member";
    EXPECT_EQ(AnsweringMember(shown, accepted), "9");
    EXPECT_EQ(AnsweredMeanwhileText(accepted, "Nathan Reyes", "14:05"),
              "While you had this request open (since 14:05), Nathan Reyes accepted it (price 120, comment "
              "\"Bed ready\").\r\rNothing was written. The page now shows the current answer.");
    EXPECT_EQ(AnsweredMeanwhileText(hidden, "", "09:30"),
              "While you had this request open (since 09:30), another member of your staff removed it from "
              "the list.\r\rNothing was written. The page now shows the current answer.");
    EXPECT_EQ(MemberName("Nathan", "") + "|" + MemberName("", "Reyes") + "|" + MemberName("A", "B"),
              "Nathan|Reyes|A B");
}

TEST(QuoteReloads, OneAtATimeAskedAgainRunsAfterAndNeverShowsAnOlderState)
{
    cQuoteReloads loads;
    const auto quotes = [](const char *error)
    {
        auto model = std::make_shared<cProviderQuotes>();
        model->Error = error;
        return std::shared_ptr<const cProviderQuotes>(model);
    };
    std::shared_ptr<const cProviderQuotes> shown;
    EXPECT_TRUE(loads.Settled());
    ASSERT_TRUE(loads.Ask());
    const unsigned first = loads.Generation();
    EXPECT_FALSE(loads.Ask()) << "one in flight: asked again, it runs after";
    EXPECT_FALSE(loads.Ask());
    EXPECT_FALSE(loads.TakeResult(shown));
    // The first ends: its result is older than what was asked meanwhile, so it is dropped and the
    // next one starts (once for both asks).
    EXPECT_TRUE(loads.Ended(first, quotes("first")));
    EXPECT_FALSE(loads.ResultWaiting());
    const unsigned second = loads.Generation();
    EXPECT_NE(second, first);
    EXPECT_FALSE(loads.Ended(first, quotes("late"))) << "an end that is not the running load's";
    EXPECT_FALSE(loads.Ended(second, quotes("second")));
    EXPECT_FALSE(loads.Settled()) << "its result waits for the swap";
    ASSERT_TRUE(loads.TakeResult(shown));
    EXPECT_EQ(shown->Error, "second");
    EXPECT_FALSE(loads.TakeResult(shown)) << "taken once";
    EXPECT_TRUE(loads.Settled());

    // A failed load is a result too (the lists empty, with the notice); a reset forgets all.
    ASSERT_TRUE(loads.Ask());
    EXPECT_FALSE(loads.Ended(loads.Generation(), nullptr));
    ASSERT_TRUE(loads.TakeResult(shown));
    EXPECT_EQ(shown, nullptr);
    ASSERT_TRUE(loads.Ask());
    const unsigned stopped = loads.Generation();
    EXPECT_FALSE(loads.Ask());
    loads.Reset();
    EXPECT_TRUE(loads.Settled());
    EXPECT_FALSE(loads.Ended(stopped, quotes("stopped"))) << "the end of a stopped load is ignored";
    EXPECT_TRUE(loads.Settled());
    EXPECT_TRUE(loads.Ask());
}
