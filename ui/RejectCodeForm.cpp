#include "ui/RejectCodeForm.h"

#include "binding/cLabeledEdit.h"
#include "toolkit/Host.h"
#include "ui/Look.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

namespace
{
const char *const Reasons[8] = {"Too heavy",
                                "No Medi-Cal beds",
                                "Too young",
                                "Behavior problem",
                                "Decubitus",
                                "Facility has too many tube feeders",
                                "No gender appropiate beds",
                                "Other (please explain)"};
const int ReasonTops[8] = {20, 44, 68, 92, 116, 140, 164, 200};
} // namespace

TRejectCodeForm::TRejectCodeForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("RejectCodeForm");
    setWindowTitle("   Please enter a reason for rejecting the quote.");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(583, 320);
    setFont(SansFont(16));
    SetBackground(this, Qt::white);
    setModal(true);

    auto *group = new QButtonGroup(this);
    QRadioButton **named[8] = {&RejectCode1RadioButton, &RejectCode2RadioButton, &RejectCode3RadioButton,
                               &RejectCode4RadioButton, &RejectCode5RadioButton, &RejectCode6RadioButton,
                               &RejectCode7RadioButton, &RejectCode8RadioButton};
    for (int i = 0; i < 8; ++i)
    {
        auto *button = new QRadioButton(Reasons[i], this);
        button->setObjectName(QString("RejectCode%1RadioButton").arg(i + 1));
        button->move(80, ReasonTops[i]);
        button->adjustSize();
        group->addButton(button, i + 1);
        RejectCodeRadioButtons[static_cast<std::size_t>(i)] = button;
        *named[i] = button;
    }
    ReasonEdit = new cLabeledEdit("ReasonEdit", "Comments ", this);
    ReasonEdit->setFont(SansFont(13, true));
    ReasonEdit->Place(100, 224, 450);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(160, 280, 75, 25);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    CancelButton->setGeometry(356, 280, 75, 25);
    for (QPushButton *button : {OKButton, CancelButton})
    {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    for (std::size_t i = 1; i < RejectCodeRadioButtons.size(); ++i)
        setTabOrder(RejectCodeRadioButtons[i - 1], RejectCodeRadioButtons[i]);
    setTabOrder(RejectCode8RadioButton, ReasonEdit);
    setTabOrder(ReasonEdit, OKButton);
    setTabOrder(OKButton, CancelButton);
    connect(OKButton, &QPushButton::clicked, this, &TRejectCodeForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TRejectCodeForm::CancelButtonClick);
}

void TRejectCodeForm::Prepare(const QString &comment)
{
    // Exclusive groups refuse to untick their checked button; they are lifted for the reset.
    for (QRadioButton *button : RejectCodeRadioButtons)
    {
        button->setAutoExclusive(false);
        button->group()->setExclusive(false);
        button->setChecked(false);
        button->group()->setExclusive(true);
    }
    ReasonEdit->setText(comment);
    ReasonChosen = false;
    RejectCode.clear();
}

QString TRejectCodeForm::ReasonText() const
{
    return ReasonEdit->text();
}

void TRejectCodeForm::OKButtonClick()
{
    QRadioButton *checked = nullptr;
    for (QRadioButton *button : RejectCodeRadioButtons)
        if (button->isChecked())
            checked = button;
    if (!checked)
    {
        Host().MessageBox("Please choose a reason for rejection", "Missing Data", cHostButtons::Ok);
        return;
    }
    if (RejectCode8RadioButton->isChecked() && ReasonEdit->text().isEmpty())
    {
        Host().MessageBox("An explanation must be given for the rejection", "Missing Data", cHostButtons::Ok);
        return;
    }
    RejectCode = std::to_string(checked->group()->id(checked));
    ReasonChosen = true;
    accept();
}

void TRejectCodeForm::CancelButtonClick()
{
    reject();
}

bool TRejectCodeForm::FormKeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (CancelButton->hasFocus())
        CancelButtonClick();
    else
        OKButtonClick();
    return true;
}

void TRejectCodeForm::keyPressEvent(QKeyEvent *event)
{
    // The buttons are no default buttons (their look stays): Enter is answered here.
    if (!FormKeyPress(event->key()))
        QDialog::keyPressEvent(event);
}
