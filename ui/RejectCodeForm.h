// Modal dialog that collects the reason for declining a case request.
#pragma once

#include <QDialog>

class TRejectCodeForm : public QDialog
{
    Q_OBJECT

public:
    explicit TRejectCodeForm(QWidget *parent = nullptr);
};
