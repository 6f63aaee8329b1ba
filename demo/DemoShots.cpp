// Screenshot driver of the headless demo: signs in with the demo account against the running
// DorvaneServer (as the login window does), shows the real windows with the demo data, drives
// them by object name as a user would, and saves one picture per view, and the referral packet of
// the fully filled case as "packet.pdf" (printed with "Print..." to a PDF file).
//
// DorvaneDemoShots <folder with Dorvane.ini> <output folder> <e-mail> <password>
#include "dataclient/dbServerConnection.h"
#include "state/Session.h"
#include "toolkit/Host.h"
#include "ui/CategorySelectionForm.h"
#include "ui/Forms.h"
#include "ui/ListRoles.h"
#include "ui/MainForm.h"
#include "ui/PacketPrintButton.h"
#include "ui/PatientHealthDetailNoEditForm.h"
#include "ui/RejectCodeForm.h"
#include "workspace/SignedInUser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

template <typename T> T *Find(const char *name)
{
    T *widget = MainForm->findChild<T *>(name);
    if (!widget)
    {
        std::fprintf(stderr, "demo shots: no %s\n", name);
        std::exit(1);
    }
    return widget;
}

void ClickTab(const char *tabs, int index)
{
    QTabBar *bar = Find<QTabWidget>(tabs)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void Click(const char *button)
{
    Click(Find<QPushButton>(button));
}

// Clicks the line of a list or tree that shows an index.
void ClickLine(QAbstractItemView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

bool SignIn(const std::string &folder, const std::string &email, const std::string &password)
{
    cSession &session = Session();
    session.Addresses = ReadServerAddresses(folder + "/Dorvane.ini");
    return session.Connect() && session.ReadPersonnel(email, session.PersonnelRecord) &&
           PasswordAccepted(session.PersonnelRecord, password);
}

// The views of the list page.
void ListScenes()
{
    ClickTab("PageControl1", 0);
    Save(MainForm, "open-requests.png");
    ClickTab("PageControl1", 1);
    Save(MainForm, "awarded.png");
    ClickTab("PageControl1", 0);
}

// Runs `inside` from the loop of the modal dialog that `open` shows.
void InsideModal(const std::function<void()> &open, const std::function<void()> &inside)
{
    QTimer::singleShot(200, inside);
    open();
}

// The first row of a list model whose role holds the text, else row 0.
int RowWith(const QAbstractItemModel *model, int role, const QString &text, const QModelIndex &parent = {})
{
    for (int row = 0; row < model->rowCount(parent); ++row)
        if (model->index(row, 0, parent).data(role).toString() == text)
            return row;
    return 0;
}

// The case detail page of the fully filled case, the reject dialog over it and the health view.
void CaseDetailScenes()
{
    auto *tree = Find<QTreeView>("OpenCaseTreeView");
    const QAbstractItemModel *cases = tree->model();
    const QModelIndex caseLine = cases->index(RowWith(cases, list_role::CaseNumber, "C-2025-1013"), 0);
    if (cases->rowCount(caseLine) == 0)
        return;
    ClickLine(tree, cases->index(0, 0, caseLine));
    Save(MainForm, "case-detail.png");
    InsideModal([] { Click("DeclineButton"); },
                []
                {
                    Click(RejectCodeForm->findChild<QRadioButton *>("RejectCode8RadioButton"));
                    Save(RejectCodeForm, "reject.png");
                    Click(RejectCodeForm->findChild<QPushButton *>("CancelButton"));
                });
    QWidget *memo = Find<QPlainTextEdit>("HealthDetailsMemo")->viewport();
    InsideModal([memo] { QTest::mousePress(memo, Qt::LeftButton, {}, QPoint(20, 20)); },
                []
                {
                    Save(PatientHealthDetailNoEditForm, "health-detail.png");
                    QTest::keyClick(PatientHealthDetailNoEditForm, Qt::Key_Escape);
                });
    QTest::mouseRelease(memo, Qt::LeftButton, {}, QPoint(20, 20));
    Click("CaseDetailBackButton");
}

// The referral packet of the fully filled case: "Print..." on its case detail page, the print
// dialog answered with a PDF file.
void PacketScene()
{
    auto *tree = Find<QTreeView>("OpenCaseTreeView");
    const QAbstractItemModel *cases = tree->model();
    const QModelIndex caseLine = cases->index(RowWith(cases, list_role::CaseNumber, "C-2025-1013"), 0);
    if (cases->rowCount(caseLine) == 0)
    {
        std::fprintf(stderr, "demo shots: no open quote of C-2025-1013 for the packet\n");
        ++Failures;
        return;
    }
    ClickLine(tree, cases->index(0, 0, caseLine));
    const QString path = QString::fromStdString(Output + "/packet.pdf");
    auto *print = Find<cPacketPrintButton>("CaseDetailPrintButton");
    print->SetPrinterAsker(
        [path](QPrinter &printer)
        {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        });
    Click(print);
    if (!QFileInfo(path).isFile())
    {
        std::fprintf(stderr, "demo shots: the packet was not written\n");
        ++Failures;
    }
    else
        std::printf("%s\n", path.toStdString().c_str());
    Click("CaseDetailBackButton");
}

// The awarded case page of the case whose worker has all four name parts.
void AwardedCaseScenes()
{
    ClickTab("PageControl1", 1);
    auto *list = Find<QListView>("DeliveryCaseListBox");
    const QAbstractItemModel *awarded = list->model();
    if (awarded->rowCount() > 0)
    {
        ClickLine(list, awarded->index(RowWith(awarded, list_role::CaseNumber, "C-2025-1015"), 0));
        Save(MainForm, "awarded-case.png");
        Click("Button1");
    }
    ClickTab("PageControl1", 0);
}
// The three pages of the Admin tab (a member opened on the personnel page) and the category
// dialog over "Who We Are".
void AdminScenes()
{
    ClickTab("MainPageControl", 4);
    ClickTab("AdminPageControl", 0);
    Save(MainForm, "admin-insurance.png");
    ClickTab("AdminPageControl", 1);
    Save(MainForm, "admin-who.png");
    InsideModal([] { Click("WhatWeDoButton"); },
                []
                {
                    Save(CategorySelectionForm, "categories.png");
                    QTest::keyClick(CategorySelectionForm, Qt::Key_Escape);
                });
    ClickTab("AdminPageControl", 2);
    auto *personnel = Find<QListView>("PersonnelListBox");
    if (personnel->model()->rowCount() > 1)
        ClickLine(personnel, personnel->model()->index(1, 0));
    Save(MainForm, "admin-personnel.png");
    ClickTab("MainPageControl", 0);
}
// The open-requests tree filtered by the search field (the first case's hospital, part typed),
// and the window locked; both are undone afterwards.
void ExtrasScenes()
{
    ClickTab("PageControl1", 0);
    const QAbstractItemModel *cases = Find<QTreeView>("OpenCaseTreeView")->model();
    if (cases->rowCount() > 0)
    {
        const QString hospital = cases->index(0, 0).data(list_role::Hospital).toString();
        auto *search = Find<QLineEdit>("OpenCaseSearchEdit");
        QTest::keyClicks(search, hospital.left(std::max<qsizetype>(4, hospital.size() / 2)));
        Save(MainForm, "search.png");
        QTest::keyClick(search, Qt::Key_Escape);
    }
    MainForm->LockWorkspace();
    auto *password = Find<QLineEdit>("LockPasswordEdit");
    QTest::keyClicks(password, "wrong");
    Click("UnlockButton");
    Save(MainForm, "locked.png");
    QTest::keyClicks(password, QString::fromStdString(Password));
    Click("UnlockButton");
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
    Session().ProgramFolder = std::string(argv[1]) + "/";
    if (!SignIn(argv[1], argv[3], argv[4]))
    {
        std::fprintf(stderr, "demo shots: could not sign in\n");
        return 1;
    }
    CreateWorkspaceForms();
    MainForm->show();
    if (!WaitUntil(
            [] {
                return MainForm->WorkspaceReady() &&
                       Find<QTreeView>("OpenCaseTreeView")->model()->rowCount() > 0;
            }))
    {
        std::fprintf(stderr, "demo shots: the main window did not fill its lists\n");
        return 1;
    }
    ListScenes();
    CaseDetailScenes();
    PacketScene();
    AwardedCaseScenes();
    AdminScenes();
    ExtrasScenes();
    DeleteWorkspaceForms();
    Session().Close();
    return Failures == 0 ? 0 : 1;
}
