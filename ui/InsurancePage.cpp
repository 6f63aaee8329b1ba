#include "ui/InsurancePage.h"

#include "binding/cCheckMultiSelectObject.h"
#include "state/Session.h"
#include "workspace/SignedInUser.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QShowEvent>

namespace
{
void MakeLabel(const char *name, const char *caption, QWidget *parent, int left, int top)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->adjustSize();
    label->move(left, top);
}

// A list named for a screen reader by the words above it (without their colon).
QListWidget *MakeList(const char *name, const char *spoken, QWidget *parent, const QRect &area)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(area);
    list->setAccessibleName(spoken);
    return list;
}
} // namespace

cInsurancePage::cInsurancePage(cSession &session, QWidget *parent) : QWidget(parent), Session(session)
{
    setObjectName("InsuranceTab");
    MakeLabel("Label13", "We accept the following insurance plans:", this, 16, 12);
    InsuranceAcceptedListBox = MakeList("InsuranceAcceptedListBox", "We accept the following insurance plans",
                                        this, QRect(16, 32, 320, 420));
    MakeLabel("Label20", "Select insurance plans:", this, 376, 12);
    InsuranceListBox = MakeList("InsuranceListBox", "Select insurance plans", this, QRect(376, 32, 320, 420));
    InsuranceSelect = std::make_unique<cCheckMultiSelectObject>(InsuranceListBox, "InsuranceTypes",
                                                                "ProviderInsuranceLink");
    InsuranceSelect->SetLinkFields("L2", "L3", "L2", "f11", "f10", "f11");
    InsuranceSelect->SetLink(Session.DataLink());
    InsuranceSelect->SetOnChoicesChanged(
        [](void *page) { static_cast<cInsurancePage *>(page)->ShowAcceptedInsurance(); }, this);
}

cInsurancePage::~cInsurancePage() = default;

void cInsurancePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program (a tab chosen), not again by the window system after a minimise.
    if (!event->spontaneous())
        InsuranceTabShow();
}

void cInsurancePage::InsuranceTabShow()
{
    // Loaded once per run: later changes are stored by the ticks themselves.
    if (InsuranceListBox->count() > 0)
        return;
    InsuranceSelect->LoadChoices(SignedInUser(Session.PersonnelRecord).ProviderKey, "");
    ShowAcceptedInsurance();
}

void cInsurancePage::ShowAcceptedInsurance()
{
    QScrollBar *scroll = InsuranceAcceptedListBox->verticalScrollBar();
    const int top = scroll->value();
    InsuranceAcceptedListBox->clear();
    for (int i = 0; i < InsuranceListBox->count(); ++i)
        if (InsuranceListBox->item(i)->checkState() == Qt::Checked)
            InsuranceAcceptedListBox->addItem(InsuranceListBox->item(i)->text());
    scroll->setValue(top);
}
