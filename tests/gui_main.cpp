// Shared entry of the GUI test binaries: offscreen by default, one QApplication for all tests.
#include <QApplication>
#include <cstdlib>
#ifdef DORVANE_APP_APPLICATION
#include "app/Application.h"
using cTestApplication = cApplication; // the app's tests run under the program's own object
#else
using cTestApplication = QApplication;
#endif
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    cTestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
