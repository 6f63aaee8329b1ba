// The self-update end to end against DorvaneServer, in a temporary program folder.
#include "app/ClientUpdate.h"
#include "dataclient/dbServerConnection.h"
#include "tests/app/AppTestSupport.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <sys/stat.h>

namespace
{
// The login fixture with a host that really starts programs, an executable with a known date and
// a server copy that leaves a marker beside itself when it runs.
class SelfUpdate : public cLoginTest
{
protected:
    void SetUp() override
    {
        cLoginTest::SetUp();
        Host.Launch = true;
        ::chmod(Executable.c_str(), 0755);
        ASSERT_TRUE(FileSetDate(Executable, LocalDate));
        WriteFile(ServerCopy, "#!/bin/sh\ntouch \"$(dirname \"$0\")/started marker\"\n");
        ASSERT_TRUE(Connection->Connected());
    }

    std::unique_ptr<cClientUpdate> Check(QProgressBar *bar = nullptr)
    {
        return std::make_unique<cClientUpdate>(Connection.get(), ServerName, Folder.Path, nullptr, nullptr,
                                               bar, Executable);
    }

    const std::string Marker = Folder.File("started marker");
    const std::int32_t LocalDate = DateTimeToFileDate(EncodeDate(2024, 5, 1) + EncodeTime(10, 0, 10, 0));
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

    EXPECT_EQ(std::tuple(Host.Messages.size(), Host.TerminateCount, Host.BusyCursor, Host.StartedPrograms),
              std::tuple(0u, 1, false, std::vector<std::string>{Executable}));
    // The update is drawn while it runs, and no input runs inside it.
    EXPECT_EQ(Host.ProcessMessagesCount, 0);
    EXPECT_GT(Host.RepaintCount, 0);
    // The executable takes the new copy's text and date (so the next check finds the dates equal),
    // the backup the old copy's text; the left-over download is gone.
    EXPECT_EQ(std::tuple(ReadFile(Executable), FileAge(Executable),
                         ReadFile(Folder.File("DorvaneProvider.bak")),
                         FileExists(Folder.File("DorvaneProvider.tmp"))),
              std::tuple(script, LocalDate + 1, "running copy", false));
    EXPECT_EQ(std::pair(bar.maximum(), bar.isVisibleTo(nullptr)),
              std::pair(static_cast<int>(script.size()), false));
    EXPECT_TRUE(WaitUntil([this] { return FileExists(Marker); }));

    update.reset();
    EXPECT_FALSE(Check()->UpdateNeeded);
}

TEST_F(SelfUpdate, NoUpdateForEqualOlderOrMissingServerCopy)
{
    // What, and the server copy's date (0: no server copy).
    const std::pair<const char *, std::int32_t> cases[] = {
        {"equal dates", LocalDate}, {"older server copy", LocalDate - 1}, {"no server copy", 0}};
    for (const auto &[what, serverDate] : cases)
    {
        if (serverDate == 0)
            DeleteFile(ServerCopy);
        else
            ASSERT_TRUE(FileSetDate(ServerCopy, serverDate));
        auto update = Check();
        EXPECT_EQ(std::pair(update->UpdateNeeded, update->ServerDate), std::pair(false, serverDate)) << what;
    }
    // Only the file information went out: nothing was downloaded, renamed or started.
    EXPECT_EQ(std::tuple(QDir(QString::fromStdString(Folder.Path)).entryList(QDir::Files).size(),
                         ReadFile(Executable), Host.StartedPrograms.size()),
              std::tuple(1, "running copy", 0u));
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
    EXPECT_EQ(std::tuple(Host.TerminateCount, Host.StartedPrograms.size(), ReadFile(Executable)),
              std::tuple(1, 0u, "running copy"));
}

// A download that vanishes as its last piece arrives is not taken (it is no longer the size the
// server announced); the panel goes again and the user can sign in.
TEST_F(SelfUpdate, VanishedDownloadIsNotTakenAndTheLoginGoesOn)
{
    ASSERT_TRUE(FileSetDate(ServerCopy, LocalDate + 1));
    Folder.WriteIni(Server);
    Login = std::make_unique<TLoginForm>(Folder.Path, Executable);
    const std::string temporary = Folder.File("DorvaneProvider.tmp");
    QObject::connect(Login->UpdateProgressBar, &QProgressBar::valueChanged,
                     [&](int value)
                     {
                         if (value > 0 && value == Login->UpdateProgressBar->maximum())
                             DeleteFile(temporary);
                     });
    ShowLogin();

    EXPECT_EQ(Shown(Host),
              std::vector<std::string>{"Update not applied | This program was not updated: the "
                                       "downloaded copy has gone.\nThe present copy goes on running. | Ok"});
    EXPECT_EQ(std::tuple(Host.TerminateCount, Host.StartedPrograms.size(), ReadFile(Executable),
                         FileExists(Folder.File("DorvaneProvider.bak"))),
              std::tuple(0, 0u, "running copy", false));
    EXPECT_FALSE(Login->UpdateIndicatorPanel->isVisible());
    EXPECT_TRUE(Login->findChild<QLineEdit *>("UserEdit")->isVisible());
    EXPECT_TRUE(Login->findChild<QPushButton *>("LoginButton")->isVisible());
}

// A server that announces no size: the download vanishes as its last piece arrives, so it cannot
// take the executable's name, and the user is told how to finish the update by hand.
TEST_F(SelfUpdate, FailedRenameShowsTheText)
{
    cScriptedPeer peer(true);
    const std::string copy = "#!/bin/sh\n";
    ServeExchanges(peer, {{31002, 103, ServerName, "FileDate=" + std::to_string(LocalDate + 1)},
                          {31002, 101, ServerName, "OK",
                           FileHeader(static_cast<std::int32_t>(copy.size()), LocalDate + 1) + copy}});
    dbServerConnection link("127.0.0.1", peer.PortText(), "", "", true, 10);
    const std::string temporary = Folder.File("DorvaneProvider.tmp");
    QProgressBar bar;
    QObject::connect(&bar, &QProgressBar::valueChanged,
                     [&](int value)
                     {
                         if (value > 0 && value == bar.maximum())
                             DeleteFile(temporary);
                     });
    cClientUpdate update(&link, ServerName, Folder.Path, nullptr, nullptr, &bar, Executable);
    ASSERT_TRUE(update.UpdateNeeded);
    EXPECT_FALSE(update.RunUpdate());
    peer.Join();
    EXPECT_EQ(Shown(Host),
              std::vector<std::string>{"Program rename error | Unable to complete update.  You will "
                                       "need to manually\nrename " +
                                       temporary + " to " + Executable +
                                       "\nAfter that you can restart this program. | Ok"});
    EXPECT_EQ(std::tuple(Host.TerminateCount, Host.StartedPrograms.size()), std::tuple(0, 0u));
    EXPECT_EQ(ReadFile(Folder.File("DorvaneProvider.bak")), "running copy");
}
