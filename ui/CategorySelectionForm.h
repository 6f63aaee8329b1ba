// Dialog in which the provider ticks the categories of service that it offers.
#pragma once

#include <QDialog>

class TCategorySelectionForm : public QDialog
{
    Q_OBJECT

public:
    explicit TCategorySelectionForm(QWidget *parent = nullptr);
};
