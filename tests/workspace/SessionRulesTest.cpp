// Session rules: the signed-in user's record and password check, the gate holding quote reloads back
// while a handler uses the lists, the idle clock of the lock, the [Client] switches of the ini file.
#include "tests/support/TempDir.h"
#include "workspace/ClientSwitches.h"
#include "workspace/IdleClock.h"
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
