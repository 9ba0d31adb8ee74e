#include "support/application.h"

#include "platform/gui/application.h"
#include "ui/FormBase.h"

#include <QApplication>

namespace testing_support {

void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "surfkolibri-tests";
    static char* argv[] = {name, nullptr};
    // Offscreen, unless a test program was started on a real X server to see what it hides
    // (scripts/realscreen.sh).
    if (qgetenv("QT_QPA_PLATFORM") != "xcb") qputenv("QT_QPA_PLATFORM", "offscreen");
    new HostedApplication(argc, argv);
    SetProgramFont();
}

} // namespace testing_support
