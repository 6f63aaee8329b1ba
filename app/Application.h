// The program's application object: an exception thrown inside an event handler is shown in
// the "Error" box and the event loop goes on, as the form toolkit's own handler did.
#pragma once

#include <QApplication>

class cApplication : public QApplication
{
    Q_OBJECT

public:
    cApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
