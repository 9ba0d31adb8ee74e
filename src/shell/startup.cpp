#include "shell/startup.h"

#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/CommandLine.h"
#include "shell/MyTricks.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <memory>
#include <optional>

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

// Placeholder for the main window until TForm1 exists: the frame the rest of the program
// will fill, with the caption ApplyLanguageTexts gives it.
std::unique_ptr<QWidget> CreateMainWindowPlaceholder() {
    auto window = std::make_unique<QWidget>();
    window->setObjectName("Form1");
    window->setFixedSize(632, 468);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    return window;
}

// Placeholder until the start-up shortcut's removal exists.
void RemoveStartupShortcutsPlaceholder() {}

} // namespace

RunMode DecideRunMode(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "uninstall" || args[0] == "/uninstall"))
        return RunMode::Uninstall;
    return args.size() == 1 ? RunMode::Unattended : RunMode::Interactive;
}

bool WantsShortcutRemoval(const std::vector<std::string>& args) {
    return !args.empty() && args[0] == "r";
}

const std::vector<std::string>& StartupDataFiles() {
    static const std::vector<std::string> files = {
        "update.ini",          ProductName + ".chm", ProductName + ".doc", ProductName + ".ini",
        kCurrentLanguageFile, ProductName + ".dat", kMarkerFile};
    return files;
}

bool PerformVersionCheck() {
    const std::string dataFolder = GetDataFolder(ProductName);
    const std::string marker = dataFolder + kMarkerFile;
    if (ReadFirstLine(marker) == ProgramVersion)
        return false;
    // The language window asks again; until then language 0 is the current language. A
    // failed copy keeps whatever current language file there was.
    DeleteFileA(marker.c_str());
    CopyFileA(GetDataFilePath(ProductName, kFirstLanguageFile).c_str(),
              (dataFolder + kCurrentLanguageFile).c_str(), FALSE);
    return true;
}

void RunUninstallSurvey() {}

int RunProgram(int argc, char** argv) {
    // 1. The window framework (a test may have made it already).
    std::optional<QApplication> application;
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);
    const std::vector<std::string> args = argumentsOf(argc, argv);
    SetCommandLine(args);

    // 2.-3. Data files into the data folder (the result does not matter: GetDataFilePath
    // falls back to the program folder), then the texts of the current language.
    ProvideDataFiles(ProductName, false, StartupDataFiles());
    InitTranslation(ProductName);

    // 4. The uninstaller's survey, and nothing else.
    if (DecideRunMode(args) == RunMode::Uninstall) {
        RunUninstallSurvey();
        return 0;
    }

    // 5. A language choice made by another version is asked again.
    PerformVersionCheck();

    // 6.-8. The windows, created once each in this order: the main window first (which makes
    // it the application's main window), the splash showing text 1 while the others follow,
    // then the splash goes. Windows join this list as they are built.
    const std::unique_ptr<QWidget> mainWindow = CreateMainWindowPlaceholder();

    // 9.
    if (WantsShortcutRemoval(args))
        RemoveStartupShortcutsPlaceholder();

    // 10.-11. The main window stays hidden while the language window runs modally; the
    // language window is not there yet.
    mainWindow->hide();

    // 12. The texts of the current language.
    mainWindow->setWindowTitle(
        AnsiToQString(GetText(1) + " " + ProgramVersion + " " + GetText(2)));

    // 13.
    if (DecideRunMode(args) == RunMode::Unattended)
        mainWindow->hide();

    // 14.-15. The loop shows the main window; closing it ends the loop and the process.
    mainWindow->show();
    return QApplication::exec();
}
