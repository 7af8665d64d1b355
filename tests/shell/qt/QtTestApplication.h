#pragma once

#include <QApplication>
#include <cstdlib>

// The one QApplication of the Qt tests, on the offscreen platform.
inline void EnsureQtApplication() {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}
