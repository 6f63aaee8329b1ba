// Screenshot driver of the headless demo: signs in with the demo account against the running
// DorvaneServer (as the login window does), shows the real windows with the demo data, drives
// them by object name as a user would, and saves one picture per view.
//
// DorvaneDemoShots <folder with Dorvane.ini> <output folder> <e-mail> <password>
#include "dataclient/dbServerConnection.h"
#include "state/Globals.h"
#include "state/ServerLinks.h"
#include "toolkit/Host.h"
#include "ui/CategorySelectionForm.h"
#include "ui/Forms.h"
#include "ui/MainForm.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <functional>
#include <string>

namespace
{
std::string Output;
int Failures = 0;

bool WaitUntil(const std::function<bool()> &condition, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition())
    {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

void Save(QWidget *window, const char *file)
{
    QTest::qWait(300); // let the window paint
    const std::string path = Output + "/" + file;
    if (!window->grab().save(QString::fromStdString(path)))
    {
        std::fprintf(stderr, "demo shots: could not save %s\n", path.c_str());
        ++Failures;
        return;
    }
    std::printf("%s\n", path.c_str());
}

void ClickTab(QTabWidget *tabs, int index)
{
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

bool SignIn(const std::string &folder, const std::string &email, const std::string &password)
{
    ServerAddresses = ReadServerAddresses(folder + "/Dorvane.ini");
    if (!OpenServerConnections(ServerAddresses))
        return false;
    PersonnelRecord = new cStringList;
    return DataServerConnection->ReadList("Personnel", 4, email, "", *PersonnelRecord) &&
           PersonnelRecord->Strings(23) == password && !password.empty();
}

// The views of the list page.
void ListScenes()
{
    ClickTab(MainForm->PageControl1, 0);
    Save(MainForm, "open-requests.png");
    ClickTab(MainForm->PageControl1, 1);
    Save(MainForm, "awarded.png");
    ClickTab(MainForm->PageControl1, 0);
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 5)
    {
        std::fprintf(
            stderr,
            "usage: DorvaneDemoShots <folder with Dorvane.ini> <output folder> <e-mail> <password>\n");
        return 2;
    }
    QApplication application(argc, argv);
    cHeadlessHost host; // message boxes go to standard error and are answered at once
    cScopedHost installed(&host);
    Output = argv[2];
    if (!SignIn(argv[1], argv[3], argv[4]))
    {
        std::fprintf(stderr, "demo shots: could not sign in\n");
        return 1;
    }
    MainForm = new TMainForm;
    CategorySelectionForm = new TCategorySelectionForm;
    PatientHealthDetailNoEditForm = new TPatientHealthDetailNoEditForm;
    RejectCodeForm = new TRejectCodeForm;
    MainForm->show();
    if (!WaitUntil(
            [] { return MainForm->WorkspaceReady && MainForm->OpenCaseTreeView->topLevelItemCount() > 0; }))
    {
        std::fprintf(stderr, "demo shots: the main window did not fill its lists\n");
        return 1;
    }
    ListScenes();
    delete RejectCodeForm;
    delete PatientHealthDetailNoEditForm;
    delete CategorySelectionForm;
    delete MainForm;
    CloseServerConnections();
    return Failures == 0 ? 0 : 1;
}
