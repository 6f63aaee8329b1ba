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
#include "ui/LockView.h"
#include "ui/MainForm.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace
{
std::string Output;
std::string Password;
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

// Runs `inside` from the loop of the modal dialog that `open` shows.
void InsideModal(const std::function<void()> &open, const std::function<void()> &inside)
{
    QTimer::singleShot(200, inside);
    open();
}

QTreeWidgetItem *FirstQuoteOfCase(const std::string &caseNumber)
{
    QTreeWidget *tree = MainForm->OpenCaseTreeView;
    for (std::size_t i = 0; i < MainForm->Quotes.OpenCases.size(); ++i)
        if (MainForm->Quotes.OpenCases[i].Case->CaseNumber == caseNumber)
            return tree->topLevelItem(static_cast<int>(i))->child(0);
    return tree->topLevelItemCount() > 0 ? tree->topLevelItem(0)->child(0) : nullptr;
}

// The case detail page of the fully filled case, the reject dialog over it and the health view.
void CaseDetailScenes()
{
    QTreeWidgetItem *quote = FirstQuoteOfCase("C-2025-1013");
    if (!quote)
        return;
    QTreeWidget *tree = MainForm->OpenCaseTreeView;
    tree->scrollToItem(quote);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(quote).center());
    Save(MainForm, "case-detail.png");
    InsideModal([] { QTest::mouseClick(MainForm->DeclineButton, Qt::LeftButton); },
                []
                {
                    QTest::mouseClick(RejectCodeForm->RejectCode8RadioButton, Qt::LeftButton);
                    Save(RejectCodeForm, "reject.png");
                    QTest::mouseClick(RejectCodeForm->CancelButton, Qt::LeftButton);
                });
    InsideModal(
        []
        { QTest::mousePress(MainForm->HealthDetailsMemo->viewport(), Qt::LeftButton, {}, QPoint(20, 20)); },
        []
        {
            Save(PatientHealthDetailNoEditForm, "health-detail.png");
            QTest::keyClick(PatientHealthDetailNoEditForm, Qt::Key_Escape);
        });
    QTest::mouseRelease(MainForm->HealthDetailsMemo->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(MainForm->CaseDetailBackButton, Qt::LeftButton);
}

// The awarded case page of the case whose worker has all four name parts.
void AwardedCaseScenes()
{
    ClickTab(MainForm->PageControl1, 1);
    QListWidget *list = MainForm->DeliveryCaseListBox;
    int row = 0;
    for (std::size_t i = 0; i < MainForm->Quotes.Awarded.size(); ++i)
        if (MainForm->Quotes.Awarded[i]->AwardedCase->CaseNumber == "C-2025-1015")
            row = static_cast<int>(i);
    if (list->count() > row)
    {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        Save(MainForm, "awarded-case.png");
        QTest::mouseClick(MainForm->Button1, Qt::LeftButton);
    }
    ClickTab(MainForm->PageControl1, 0);
}
// The three pages of the Admin tab (a member opened on the personnel page) and the category
// dialog over "Who We Are".
void AdminScenes()
{
    ClickTab(MainForm->MainPageControl, 4);
    ClickTab(MainForm->AdminPageControl, 0);
    Save(MainForm, "admin-insurance.png");
    ClickTab(MainForm->AdminPageControl, 1);
    Save(MainForm, "admin-who.png");
    InsideModal([] { QTest::mouseClick(MainForm->WhatWeDoButton, Qt::LeftButton); },
                []
                {
                    Save(CategorySelectionForm, "categories.png");
                    QTest::keyClick(CategorySelectionForm, Qt::Key_Escape);
                });
    ClickTab(MainForm->AdminPageControl, 2);
    QListWidget *personnel = MainForm->PersonnelListBox;
    if (personnel->count() > 1)
        QTest::mouseClick(personnel->viewport(), Qt::LeftButton, {},
                          personnel->visualItemRect(personnel->item(1)).center());
    Save(MainForm, "admin-personnel.png");
    ClickTab(MainForm->MainPageControl, 0);
}
// The open-requests tree filtered by the search field (the first case's hospital, part typed),
// and the window locked; both are undone afterwards.
void ExtrasScenes()
{
    ClickTab(MainForm->PageControl1, 0);
    if (!MainForm->Quotes.OpenCases.empty())
    {
        const QString hospital =
            QString::fromStdString(MainForm->Quotes.OpenCases.front().Case->HospitalName);
        QTest::keyClicks(MainForm->OpenCaseSearchEdit,
                         hospital.left(std::max<qsizetype>(4, hospital.size() / 2)));
        Save(MainForm, "search.png");
        QTest::keyClick(MainForm->OpenCaseSearchEdit, Qt::Key_Escape);
    }
    MainForm->LockWorkspace();
    QTest::keyClicks(MainForm->LockView->LockPasswordEdit, "wrong");
    QTest::mouseClick(MainForm->LockView->UnlockButton, Qt::LeftButton);
    Save(MainForm, "locked.png");
    QTest::keyClicks(MainForm->LockView->LockPasswordEdit, QString::fromStdString(Password));
    QTest::mouseClick(MainForm->LockView->UnlockButton, Qt::LeftButton);
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
    Password = argv[4];
    // The main window reads its [Client] switches from the demo's Dorvane.ini.
    ProgramFolder = std::string(argv[1]) + "/";
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
    CaseDetailScenes();
    AwardedCaseScenes();
    AdminScenes();
    ExtrasScenes();
    delete RejectCodeForm;
    delete PatientHealthDetailNoEditForm;
    delete CategorySelectionForm;
    delete MainForm;
    CloseServerConnections();
    return Failures == 0 ? 0 : 1;
}
