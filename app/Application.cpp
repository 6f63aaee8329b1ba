#include "app/Application.h"

#include "toolkit/Host.h"

#include <exception>

cApplication::cApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool cApplication::notify(QObject *receiver, QEvent *event)
{
    try
    {
        return QApplication::notify(receiver, event);
    }
    catch (const std::exception &error)
    {
        Host().MessageBox(error.what(), "Error", cHostButtons::Ok);
    }
    catch (...)
    {
        Host().MessageBox("", "Error", cHostButtons::Ok);
    }
    // The event counts as not handled; delivery goes on with the next one.
    return false;
}
