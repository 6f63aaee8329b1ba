// The " Admin " tab of the main window: its page control with the " Insurance We Accept ",
// " Who We Are " and " Personnel " pages. Showing the tab closes the personnel edit panel and
// loads the personnel list.
#pragma once

#include <QWidget>

class QTabWidget;
class cInsurancePage;
class cPersonnelPage;
class cSession;
class cWhoWeArePage;

class cAdminPage : public QWidget
{
    Q_OBJECT

public:
    explicit cAdminPage(cSession &session, QWidget *parent = nullptr);

    // Fills " Who We Are " from the provider's record.
    void ShowMyInformation();

    // Handlers.
    void AdminTabShow();

signals:
    // The provider's record was read again after a save of the company data.
    void ProviderRecordChanged();
    // A personnel member was stored.
    void PersonnelSaved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTabWidget *AdminPageControl = nullptr;
    cInsurancePage *Insurance = nullptr;
    cWhoWeArePage *WhoWeAre = nullptr;
    cPersonnelPage *Personnel = nullptr;
};
