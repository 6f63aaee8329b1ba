#include "ui/AdminPage.h"

#include "ui/InsurancePage.h"
#include "ui/Look.h"
#include "ui/PersonnelPage.h"
#include "ui/WhoWeArePage.h"

#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

cAdminPage::cAdminPage(cSession &session, QWidget *parent) : QWidget(parent)
{
    setObjectName("AdminTab");
    SetBackground(this, WorkspaceBackground());
    AdminPageControl = new QTabWidget(this);
    AdminPageControl->setObjectName("AdminPageControl");
    AdminPageControl->tabBar()->setAccessibleName("Administration");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(AdminPageControl);
    Insurance = new cInsurancePage(session, AdminPageControl);
    AdminPageControl->addTab(Insurance, " Insurance We Accept ");
    WhoWeAre = new cWhoWeArePage(session, AdminPageControl);
    AdminPageControl->addTab(WhoWeAre, " Who We Are ");
    Personnel = new cPersonnelPage(session, AdminPageControl);
    AdminPageControl->addTab(Personnel, " Personnel ");
    connect(WhoWeAre, &cWhoWeArePage::ProviderRecordChanged, this, &cAdminPage::ProviderRecordChanged);
    connect(Personnel, &cPersonnelPage::PersonnelSaved, this, &cAdminPage::PersonnelSaved);
}

void cAdminPage::ShowMyInformation()
{
    WhoWeAre->ShowMyInformation();
}

void cAdminPage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program (a tab chosen), not again by the window system after a minimise.
    if (!event->spontaneous())
        AdminTabShow();
}

void cAdminPage::AdminTabShow()
{
    Personnel->ClosePersonnelPanel();
    Personnel->LoadPersonnelList();
}
