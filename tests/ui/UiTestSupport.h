// Shared pieces of the workspace window tests: a signed-in main window against DorvaneServer
// with fresh demo data, bounded waits, direct reads of the server's database and pixel checks.
#pragma once

#include "tests/GuiWait.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestDatabase.h"
#include "toolkit/Host.h"
#include "ui/MainForm.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace ui_test
{
using ::WaitUntil;

// Opens both connections to the server and reads the user's personnel record as the sign-in
// does; false when the user is not found.
bool SignInAs(const cServerProcess &server, const std::string &email);

// Pixels of a rectangle of a widget's grab that have exactly this colour.
int CountPixels(const QImage &image, const QRect &area, const QColor &colour);
// Pixels of a rectangle that are drawn dark (text, with its smoothed edges).
int CountDarkPixels(const QImage &image, const QRect &area);

// The demo database's expectation of the lists: one line per tree node ("case 12", "  quote 40")
// and one per awarded entry (quote key), computed by SQL from the stored records.
std::vector<std::string> ExpectedTree(cTestDatabase &db, const std::string &provider);
std::vector<std::string> ExpectedAwarded(cTestDatabase &db, const std::string &provider);
// What the window shows, in the same form.
std::vector<std::string> TreeLines(const TMainForm &form);
std::vector<std::string> AwardedLines(const TMainForm &form);

// A main window signed in as the demo administrator (or another user), with a recording host.
// Each test gets a fresh server: ctest runs every test in its own process.
class cWorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Signs in as email and shows the main window; waits for its activation.
    void Open(const std::string &email = "admin@bayview.example");
    std::string ProviderSeq();

    cServerProcess &Server = cServerProcess::Shared();
    std::unique_ptr<cTestDatabase> Db;
    cRecordingHost Host;
    std::unique_ptr<cScopedHost> InstalledHost;
    std::unique_ptr<TMainForm> Main;
};
} // namespace ui_test
