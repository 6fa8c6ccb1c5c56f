#pragma once

#include <QApplication>

#include <cstdlib>

// The one QApplication of the test process, on Qt's offscreen platform (no display needed).
// It is kept for the whole process: Qt allows one, and widgets of later tests need it.
inline void EnsureQtApp() {
    if (QApplication::instance())
        return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "kinetora_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* const app = new QApplication(argc, argv);
    (void)app;
}
