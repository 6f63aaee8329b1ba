// The self-update end to end against DorvaneServer, in a temporary program folder.
#include "app/ClientUpdate.h"
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "state/ServerLinks.h"
#include "tests/app/AppTestSupport.h"
#include "toolkit/DateTime.h"
#include "toolkit/Files.h"
#include "ui/Forms.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

namespace
{
const std::string ServerName = "Clients\\DorvaneProvider.exe";

class SelfUpdate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_GT(Server.DataPort, 0) << Server.Error;
        WriteFile(Executable, "running copy");
        ::chmod(Executable.c_str(), 0755);
        LocalDate = DateTimeToFileDate(EncodeDate(2024, 5, 1) + EncodeTime(10, 0, 10, 0));
        ASSERT_TRUE(FileSetDate(Executable, LocalDate));
        // The new copy proves that it was started by leaving a marker beside itself.
        WriteFile(ServerCopy, "#!/bin/sh\ntouch \"$(dirname \"$0\")/started marker\"\n");
        ASSERT_TRUE(Connection->Connected());
    }

    void TearDown() override { DeleteFile(ServerCopy); }

    std::unique_ptr<cClientUpdate> Check(QProgressBar *bar = nullptr)
    {
        return std::make_unique<cClientUpdate>(Connection.get(), ServerName, Folder.Path, nullptr, nullptr,
                                               bar, Executable);
    }

    cServerProcess &Server = cServerProcess::Shared();
    cLaunchingHost Host;
    cScopedHost Installed{&Host};
    cProgramFolder Folder;
    const std::string ServerCopy = Server.Path("files/Clients/DorvaneProvider.exe");
    const std::string Executable = Folder.File("DorvaneProvider.exe");
    const std::string Marker = Folder.File("started marker");
    std::int32_t LocalDate = 0;
    std::unique_ptr<dbServerConnection> Connection = std::make_unique<dbServerConnection>(
        "127.0.0.1", Server.DataPortText(), "DorvaneClient", "", true, -1);
};
} // namespace

TEST_F(SelfUpdate, NewerServerCopyReplacesAndStartsTheExecutable)
{
    const std::string script = ReadFile(ServerCopy);
    ASSERT_TRUE(FileSetDate(ServerCopy, LocalDate + 1)); // one two-second step newer
    WriteFile(Folder.File("DorvaneProvider.tmp"),
              "left over from a broken download, longer than the new copy");
    WriteFile(Folder.File("DorvaneProvider.bak"), "an older backup");
    QProgressBar bar;
    auto update = Check(&bar);
    ASSERT_TRUE(update->UpdateNeeded);
    EXPECT_EQ(update->LocalDate, LocalDate);
    EXPECT_TRUE(update->RunUpdate());

    EXPECT_TRUE(Host.Messages.empty());
    EXPECT_EQ(Host.TerminateCount, 1);
    EXPECT_FALSE(Host.BusyCursor);
    ASSERT_EQ(Host.StartedPrograms, std::vector<std::string>{Executable});
    EXPECT_EQ(ReadFile(Executable), script);
    EXPECT_EQ(FileAge(Executable), LocalDate + 1); // the next check finds the dates equal
    EXPECT_EQ(ReadFile(Folder.File("DorvaneProvider.bak")), "running copy");
    EXPECT_FALSE(FileExists(Folder.File("DorvaneProvider.tmp")));
    EXPECT_EQ(bar.maximum(), static_cast<int>(script.size()));
    EXPECT_FALSE(bar.isVisibleTo(nullptr));
    EXPECT_TRUE(WaitUntil([this] { return FileExists(Marker); }));

    update.reset();
    EXPECT_FALSE(Check()->UpdateNeeded);
}

TEST_F(SelfUpdate, NoUpdateForEqualOlderOrMissingServerCopy)
{
    struct
    {
        const char *What;
        std::int32_t ServerDate; // 0: no server copy
    } cases[] = {{"equal dates", LocalDate}, {"older server copy", LocalDate - 1}, {"no server copy", 0}};
    for (const auto &c : cases)
    {
        if (c.ServerDate == 0)
            DeleteFile(ServerCopy);
        else
            ASSERT_TRUE(FileSetDate(ServerCopy, c.ServerDate));
        auto update = Check();
        EXPECT_FALSE(update->UpdateNeeded) << c.What;
        EXPECT_EQ(update->ServerDate, c.ServerDate) << c.What;
    }
    // Only the file information went out: nothing was downloaded or renamed.
    EXPECT_EQ(QDir(QString::fromStdString(Folder.Path)).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(ReadFile(Executable), "running copy");
    EXPECT_TRUE(Host.StartedPrograms.empty());
}

TEST_F(SelfUpdate, BackupInUseShowsAnotherCopyAndEnds)
{
    ASSERT_TRUE(FileSetDate(ServerCopy, LocalDate + 100));
    // A backup that cannot be deleted stands for a copy still running from it.
    QDir().mkpath(QString::fromStdString(Folder.File("DorvaneProvider.bak/in use")));
    auto update = Check();
    ASSERT_TRUE(update->UpdateNeeded);
    EXPECT_TRUE(update->RunUpdate());
    EXPECT_EQ(Shown(Host),
              std::vector<std::string>{
                  "Another copy of this application is runnng. | I need to update this application "
                  "but another copy is still running.\nClose any others that are running and "
                  "restart, and this application will be updated. | Ok"});
    EXPECT_EQ(Host.TerminateCount, 1);
    EXPECT_TRUE(Host.StartedPrograms.empty());
    EXPECT_EQ(ReadFile(Executable), "running copy");
}

TEST_F(SelfUpdate, FailedRenameShowsTheTextAndTheLoginGoesOn)
{
    ASSERT_TRUE(FileSetDate(ServerCopy, LocalDate + 1));
    Folder.WriteIni(Server);
    TLoginForm login(Folder.Path, Executable);
    // The download vanishes as its last piece arrives, so it cannot take the executable's name.
    const std::string temporary = Folder.File("DorvaneProvider.tmp");
    QObject::connect(login.UpdateProgressBar, &QProgressBar::valueChanged,
                     [&](int value)
                     {
                         if (value > 0 && value == login.UpdateProgressBar->maximum())
                             DeleteFile(temporary);
                     });
    login.show();
    ASSERT_TRUE(WaitUntil([] { return Session().DataServerConnection() != nullptr; }));

    EXPECT_EQ(Shown(Host),
              std::vector<std::string>{"Program rename error | Unable to complete update.  You will "
                                       "need to manually\nrename " +
                                       temporary + " to " + Executable +
                                       "\nAfter that you can restart this program. | Ok"});
    EXPECT_EQ(Host.TerminateCount, 0);
    EXPECT_TRUE(Host.StartedPrograms.empty());
    EXPECT_EQ(ReadFile(Folder.File("DorvaneProvider.bak")), "running copy");
    // The panel goes again and the user can sign in.
    EXPECT_FALSE(login.UpdateIndicatorPanel->isVisible());
    EXPECT_TRUE(login.findChild<QLineEdit *>("UserEdit")->isVisible());
    EXPECT_TRUE(login.findChild<QPushButton *>("LoginButton")->isVisible());
    Session().Close();
}
