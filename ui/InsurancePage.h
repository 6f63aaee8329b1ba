// The " Insurance We Accept " page of the " Admin " tab: the insurance types the provider accepts,
// and the check list of all types that a cCheckMultiSelectObject drives (a tick stores a link at
// once). The check list is loaded the first time the page is shown, once per run.
#pragma once

#include <QWidget>
#include <memory>

class QListWidget;
class cCheckMultiSelectObject;
class cSession;

class cInsurancePage : public QWidget
{
    Q_OBJECT

public:
    explicit cInsurancePage(cSession &session, QWidget *parent = nullptr);
    ~cInsurancePage() override;

    // Handlers.
    void InsuranceTabShow();
    // Rebuilds the accepted list from the ticked items (the check list's change callback).
    void ShowAcceptedInsurance();

protected:
    void showEvent(QShowEvent *event) override;

private:
    cSession &Session;
    QListWidget *InsuranceAcceptedListBox = nullptr;
    QListWidget *InsuranceListBox = nullptr;
    std::unique_ptr<cCheckMultiSelectObject> InsuranceSelect;
};
