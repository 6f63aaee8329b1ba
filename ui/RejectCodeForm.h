// Modal dialog that collects the reason for declining a case request: one of eight reasons and a
// comment. It talks to no server; the case detail page reads ReasonChosen, RejectCode and the
// comment after it closes. By keyboard: arrows move through the reasons, Space ticks one, Enter
// answers as "OK" (as "Cancel" when that has the focus), Escape cancels.
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QPushButton;
class QRadioButton;
class cLabeledEdit;

class TRejectCodeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TRejectCodeForm(QWidget *parent = nullptr);

    // Resets the dialog before a showing: no reason ticked, the comment pre-filled with the one
    // given, ReasonChosen false, RejectCode empty.
    void Prepare(const QString &comment);
    // The comment as the dialog holds it.
    QString ReasonText() const;

    void OKButtonClick();
    void CancelButtonClick();
    // Enter or Return: "Cancel" when it has the focus, else "OK"; true when the key was one of them.
    bool FormKeyPress(int key);

    std::array<QRadioButton *, 8> RejectCodeRadioButtons{};
    QRadioButton *RejectCode1RadioButton = nullptr;
    QRadioButton *RejectCode2RadioButton = nullptr;
    QRadioButton *RejectCode3RadioButton = nullptr;
    QRadioButton *RejectCode4RadioButton = nullptr;
    QRadioButton *RejectCode5RadioButton = nullptr;
    QRadioButton *RejectCode6RadioButton = nullptr;
    QRadioButton *RejectCode7RadioButton = nullptr;
    QRadioButton *RejectCode8RadioButton = nullptr;
    cLabeledEdit *ReasonEdit = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    // The code of the checked reason, "1" to "8"; empty until OK succeeds.
    std::string RejectCode;
    // True only when the dialog was closed by a successful OK.
    bool ReasonChosen = false;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
