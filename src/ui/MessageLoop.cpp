#include "ui/MessageLoop.h"

#include "ui/MyTricks.h"

#include <QApplication>

namespace {
bool g_running = false;
}

int RunMessageLoop() {
    g_running = true;
    const int code = QApplication::exec();
    g_running = false;
    return code;
}

void EndMessageLoop() {
    if (g_running) QCoreApplication::exit(0);
}

void ProcessMessages(int times) {
    if (!QCoreApplication::instance()) return;
    for (int i = 0; i < times; ++i)
        QCoreApplication::processEvents();
}
