#include "shell/startup.h"

#include "automation/StartupShortcut.h"
#include "lang/TQwTrans2.h"
#include "lang/u_language.h"
#include "platform/gui/application.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/ProgramWindows.h"
#include "shell/u_Surfkolibri.h"
#include "ui/CommandLine.h"
#include "ui/FormBase.h"
#include "ui/MessageLoop.h"
#include "ui/MyTricks.h"
#include "ui/u_splash.h"
#include "uninstall/u_survey.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

// The texts of the language file shown here.
constexpr int kProductNameText = 1;

} // namespace

namespace {

const std::string kMarkerFile = ProductName + ".cho";
const std::string kCurrentLanguageFile = ProductName + ".def";
const std::string kFirstLanguageFile = ProductName + ".t00";

std::vector<std::string> argumentsOf(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(QStringToAnsi(QString::fromLocal8Bit(argv[i])));
    return args;
}

} // namespace

bool WantsShortcutRemoval(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "r";
}

const std::vector<std::string>& StartupDataFiles() {
    static const std::vector<std::string> files = {
        "update.ini",         ProductName + ".chm", ProductName + ".doc", ProductName + ".ini",
        kCurrentLanguageFile, ProductName + ".dat", kMarkerFile};
    return files;
}

bool PerformVersionCheck() {
    const std::string dataFolder = GetDataFolder(ProductName);
    const std::string marker = dataFolder + kMarkerFile;
    if (ReadFirstLine(marker) == ProgramVersion) return false;
    // The language window asks again; until then language 0 is the current language. A
    // failed copy keeps whatever current language file there was.
    DeleteFileA(marker.c_str());
    CopyFileA(GetDataFilePath(ProductName, kFirstLanguageFile).c_str(),
              (dataFolder + kCurrentLanguageFile).c_str(), FALSE);
    return true;
}

void ReportUnusableMachine(const std::string& problem) {
    std::fprintf(stderr, "surfkolibri: %s\n", problem.c_str());
    // Without a screen (offscreen rendering) nobody could answer the box.
    const QString screen = QGuiApplication::platformName();
    if (screen != QLatin1String("offscreen") && screen != QLatin1String("minimal"))
        MessageBoxA(nullptr, problem.c_str(), ProductName.c_str(), MB_OK | MB_ICONHAND);
}

int RunProgram(int argc, char** argv) {
    // The window framework (a test may have made it already).
    std::optional<HostedApplication> application;
    if (!QCoreApplication::instance()) application.emplace(argc, argv);
    // Only closing the main window ends the program: a flow that hides it and shows a
    // message must not end the process when the message closes.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::vector<std::string> args = argumentsOf(argc, argv);
    SetCommandLine(args);

    // The machine's state must be readable before anything else; a damaged one is named to
    // the user once, instead of every call failing silently.
    if (const std::string problem = HostedMachineProblem(); !problem.empty()) {
        ReportUnusableMachine(problem);
        return 1;
    }

    // Data files into the data folder (the result does not matter: GetDataFilePath
    // falls back to the program folder), then the texts of the current language.
    ProvideDataFiles(ProductName, false, StartupDataFiles());
    InitTranslation(ProductName);
    // The platform's dialogs speak the program's language, the uninstaller's question too.
    ApplyDialogTexts();

    // The uninstaller's survey, and nothing else.
    if (DecideRunMode(args) == RunMode::Uninstall) {
        RunUninstallSurvey();
        DestroyProgramWindows();
        return 0;
    }

    // A language choice made by another version is asked again.
    PerformVersionCheck();

    // The windows, created once each in this order: the main window first (which makes
    // it the application's main window), the splash showing text 1 while the others follow,
    // then the splash goes.
    SetProgramFont();
    CreateMainWindow();
    Form3 = new TForm3();
    Form3->Label1->SetCaption(GetText(kProductNameText));
    Form3->show();
    Form3->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    CreateRemainingWindows();
    Form3->hide();
    delete Form3;
    Form3 = nullptr;
    if (WantsShortcutRemoval(args)) RemoveStartupShortcuts();

    // The language window: with a marker it closes at once and starts the main
    // window's start-up timer; without one the user chooses, the program restarts in the
    // chosen language and this instance ends here.
    Form1->hide();
    Form4->ShowModal();
    if (Form1->Closed()) {
        DestroyProgramWindows();
        return 0;
    }

    // Every window gets its texts; an unattended run keeps the main window hidden until the
    // loop shows it.
    ApplyLanguageTexts();
    if (DecideRunMode(args) == RunMode::Unattended) Form1->hide();

    // Entering the loop shows the main window (its show handler hands an unattended
    // run over at once); closing it ends the loop and the process.
    QTimer::singleShot(0, Form1, [] { Form1->show(); });
    const int code = RunMessageLoop();
    DestroyProgramWindows();
    return code;
}
