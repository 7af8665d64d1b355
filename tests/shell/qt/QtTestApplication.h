#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// The one QApplication of a Qt test program, on the offscreen platform. It is deleted when
// the test run ends, before the program's exit: Qt's own globals (the input devices that
// key and mouse events register among them) must still exist when it goes.
inline void EnsureQtApplication() {
    static QApplication* application = nullptr;
    if (application != nullptr) {
        return;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    application = new QApplication(argc, argv);
    struct CApplicationEnd : ::testing::Environment {
        void TearDown() override { delete application; }
    };
    ::testing::AddGlobalTestEnvironment(new CApplicationEnd);
}
