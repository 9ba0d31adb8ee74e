// The one QApplication of the shell tests, created offscreen on first use.
#pragma once

#include <QApplication>

inline void EnsureShellTestApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}
