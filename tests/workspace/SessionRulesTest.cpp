// The signed-in user's record as the workspace reads it, the one password check, and the gate
// that holds quote reloads back while a handler uses the lists.
#include "workspace/RecordLines.h"
#include "workspace/ReloadGate.h"
#include "workspace/SignedInUser.h"

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

TEST(SignedInUser, KeysNameAndAdminMarkComeFromTheirLines)
{
    const cSignedInUser admin = SignedInUser(Record("pw", "y"));
    EXPECT_EQ((std::vector<std::string>{admin.Key, admin.ProviderKey, admin.NameText}),
              (std::vector<std::string>{"41", "7", "User: Ms. Alice Morgan"}));
    EXPECT_TRUE(admin.IsAdmin) << "the mark is compared without regard to letter case";
    EXPECT_FALSE(SignedInUser(Record("pw", "Yes")).IsAdmin);
    EXPECT_FALSE(SignedInUser(cStringList()).IsAdmin);
}

TEST(SignedInUser, PasswordCheckRefusesEmptyPasswordsAndShortRecords)
{
    const struct
    {
        std::string Stored, Typed;
        bool Accepted;
    } cases[] = {
        {"demo1234", "demo1234", true},
        {"demo1234", "Demo1234", false},
        {"demo1234", "", false},
        {"", "", false}, // a record without a password can neither sign in nor unlock
        {"a b,\"c\"", "a b,\"c\"", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PasswordAccepted(Record(c.Stored, ""), c.Typed), c.Accepted) << c.Stored << "|" << c.Typed;
    cStringList shortRecord = Record("pw", "");
    while (shortRecord.Count() > PersonnelPasswordLine)
        shortRecord.Delete(shortRecord.Count() - 1);
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
    {
        cReloadGate::cHold hold(gate);
    }
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
