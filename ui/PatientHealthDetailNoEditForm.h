// Read-only view of a patient's structured health details.
#pragma once

#include <QDialog>

class TPatientHealthDetailNoEditForm : public QDialog
{
    Q_OBJECT

public:
    explicit TPatientHealthDetailNoEditForm(QWidget *parent = nullptr);
};
