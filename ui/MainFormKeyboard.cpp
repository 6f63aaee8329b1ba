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
    // On the list page Tab runs the list tabs, the shown list's controls (the search field and the
    // tree, or the awarded list and "Export..."), then "Refresh Requests".
    setTabOrder(PageControl1, RefreshRequestButton);
}
