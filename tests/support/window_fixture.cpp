#include "support/window_fixture.h"

#include "lang/TQwTrans2.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "shell/ProgramWindows.h"
#include "shell/startup.h"
#include "ui/CommandLine.h"
#include "ui/FormBase.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"

#include <QApplication>
#include <QElapsedTimer>

namespace testing_support {

void WindowTest::SetUp() {
    EnsureApplication();
    platform.installDataFiles();
    // The program file itself, which a restart runs.
    testing_support::writeHostFile(platform.programFolder() + "/surfkolibri", "");
    SetModalHook([this](QWidget* window) {
        modalWindows.push_back(window->metaObject()->className());
        if (ShowMessage2Form && window == ShowMessage2Form)
            messages.push_back(ShowMessage2Form->Message());
        if (onModal) onModal(window);
    });
}

void WindowTest::TearDown() {
    DestroyProgramWindows();
    SetModalHook({});
    SetCommandLine({});
    QApplication::processEvents();
}

void WindowTest::StartProgram(int language, const std::vector<std::string>& arguments) {
    SetCommandLine(arguments);
    ProvideDataFiles(ProductName, false, StartupDataFiles());
    const std::string def = GetDataFolder(ProductName) + "Surfkolibri.def";
    const std::string source =
        GetDataFilePath(ProductName, "Surfkolibri.t0" + std::to_string(language));
    CopyFileA(source.c_str(), def.c_str(), FALSE);
    InitTranslation(ProductName);
    CreateMainWindow();
    CreateRemainingWindows();
    platform::clearShellLog();
}

int WindowTest::clickSounds() const {
    int n = 0;
    for (const auto& e : platform::shellLog())
        if (e.kind == "sound" && e.target == "clck.wav") ++n;
    return n;
}

std::vector<std::string> WindowTest::executedTargets() const {
    std::vector<std::string> targets;
    for (const auto& e : platform::shellLog())
        if (e.kind == "execute") targets.push_back(e.target);
    return targets;
}

void RunEventsFor(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace testing_support

namespace testing_support {

bool RunEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMilliseconds) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace testing_support
