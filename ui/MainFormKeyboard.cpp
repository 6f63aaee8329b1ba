// The keyboard path through the window's frame and the names a screen reader speaks for the
// frame's controls; the pages set up their own.
#include "ui/MainForm.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

void TMainForm::CreateKeyboardPath()
{
    MainPageControl->tabBar()->setAccessibleName("Workspace pages");
    PageControl1->tabBar()->setAccessibleName("Case lists");
    ChainListPage();
}

// On the list page Tab runs the list tabs, the shown list's controls (the search field and the
// tree, or the awarded list and "Export..."; hidden ones are passed over), then "Refresh
// Requests". The chain is named control by control, so that pages moved in and out of the tab
// cannot thread themselves into it.
void TMainForm::ChainListPage()
{
    QWidget *previous = PageControl1->tabBar();
    for (const char *name : {"OpenCaseSearchEdit", "OpenCaseTreeView", "DeliveryCaseListBox", "ExportButton"})
        if (auto *next = PageControl1->findChild<QWidget *>(name))
        {
            setTabOrder(previous, next);
            previous = next;
        }
    setTabOrder(previous, RefreshRequestButton);
}
