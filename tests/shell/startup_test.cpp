#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "shell/MyTricks.h"
#include "shell/startup.h"
#include "support/platform_fixture.h"
#include "qt_app.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <filesystem>

using testing_support::PlatformTest;
using testing_support::readHostFile;
using testing_support::writeHostFile;

namespace {

using Args = std::vector<std::string>;

class StartupTest : public PlatformTest {
protected:
    std::string dataHost(const std::string& file) const {
        return platform.hostPath("C:\\Users\\User\\AppData\\Local") + "/Kravonel/Surfkolibri/" +
               file;
    }
    std::string programHost(const std::string& file) const {
        return platform.programFolder() + "/" + file;
    }
};

struct SeenWindow {
    bool found = false;
    QString title;
    QSize size;
    bool fixed = false;
};

// Runs the whole start-up with the given arguments; once the loop runs, notes the main
// window and closes it, which must end the program.
int runAndClose(const Args& args, SeenWindow& seen) {
    EnsureShellTestApplication();
    std::vector<std::string> storage{"surfkolibri"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    QTimer::singleShot(0, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != "Form1" || !w->isVisible())
                continue;
            seen.found = true;
            seen.title = w->windowTitle();
            seen.size = w->size();
            seen.fixed = w->minimumSize() == w->maximumSize();
            w->close();
        }
    });
    // A loop that does not end with its window fails instead of hanging.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    return RunProgram(static_cast<int>(storage.size()), argv.data());
}

} // namespace

TEST(RunMode, DecidedByArgumentCountAndArgumentOne) {
    EXPECT_EQ(RunMode::Interactive, DecideRunMode({}));
    EXPECT_EQ(RunMode::Uninstall, DecideRunMode({"uninstall"}));
    EXPECT_EQ(RunMode::Uninstall, DecideRunMode({"/uninstall"}));
    EXPECT_EQ(RunMode::Uninstall, DecideRunMode({"/uninstall", "more"}));
    EXPECT_EQ(RunMode::Unattended, DecideRunMode({"/UNINSTALL"}));
    EXPECT_EQ(RunMode::Unattended, DecideRunMode({"Uninstall"}));
    EXPECT_EQ(RunMode::Unattended, DecideRunMode({"cbhmen"}));
    EXPECT_EQ(RunMode::Unattended, DecideRunMode({"r"}));
    EXPECT_EQ(RunMode::Unattended, DecideRunMode({""}));
    EXPECT_EQ(RunMode::Interactive, DecideRunMode({"r", "x"}));
    EXPECT_EQ(RunMode::Interactive, DecideRunMode({"c", "b", "h"}));
    EXPECT_EQ(RunMode::Interactive, DecideRunMode({"x", "uninstall"}));
}

TEST(RunMode, ShortcutRemovalOnlyForArgumentOneR) {
    EXPECT_TRUE(WantsShortcutRemoval({"r"}));
    EXPECT_TRUE(WantsShortcutRemoval({"r", "x"}));
    EXPECT_FALSE(WantsShortcutRemoval({}));
    EXPECT_FALSE(WantsShortcutRemoval({"R"}));
    EXPECT_FALSE(WantsShortcutRemoval({"rc"}));
    EXPECT_FALSE(WantsShortcutRemoval({"x", "r"}));
}

TEST_F(StartupTest, VersionCheckSkipsAMarkerOfThisVersion) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    for (const char* marker : {"2.8", "2.8\r\nmore"}) {
        writeHostFile(dataHost("Surfkolibri.cho"), marker);
        writeHostFile(dataHost("Surfkolibri.def"), "chosen");
        EXPECT_FALSE(PerformVersionCheck()) << marker;
        EXPECT_EQ(marker, readHostFile(dataHost("Surfkolibri.cho")));
        EXPECT_EQ("chosen", readHostFile(dataHost("Surfkolibri.def")));
    }
}

TEST_F(StartupTest, VersionCheckResetsTheLanguageOtherwise) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    const std::string english = readHostFile(programHost("Surfkolibri.t00"));
    for (const char* marker : std::vector<const char*>{"2.7", "", "2.80", " 2.8", nullptr}) {
        const std::string label = marker ? marker : "(none)";
        if (marker)
            writeHostFile(dataHost("Surfkolibri.cho"), marker);
        else
            std::filesystem::remove(dataHost("Surfkolibri.cho"));
        writeHostFile(dataHost("Surfkolibri.def"), "chosen");
        EXPECT_TRUE(PerformVersionCheck()) << label;
        EXPECT_FALSE(std::filesystem::exists(dataHost("Surfkolibri.cho"))) << label;
        EXPECT_EQ(english, readHostFile(dataHost("Surfkolibri.def"))) << label;
    }
}

TEST_F(StartupTest, VersionCheckKeepsTheOldFileWhenLanguageZeroIsMissing) {
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    writeHostFile(dataHost("Surfkolibri.cho"), "1.0");
    writeHostFile(dataHost("Surfkolibri.def"), "chosen");
    EXPECT_TRUE(PerformVersionCheck());
    EXPECT_FALSE(std::filesystem::exists(dataHost("Surfkolibri.cho")));
    EXPECT_EQ("chosen", readHostFile(dataHost("Surfkolibri.def")));
}

TEST_F(StartupTest, UninstallModeProvidesDataFilesAndStopsBeforeTheVersionCheck) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    writeHostFile(dataHost("Surfkolibri.cho"), "1.0");
    writeHostFile(dataHost("Surfkolibri.ini"), "mine");
    char program[] = "surfkolibri";
    char word[] = "/uninstall";
    char* argv[] = {program, word, nullptr};

    EXPECT_EQ(0, RunProgram(2, argv));
    EXPECT_EQ(readHostFile(programHost("update.ini")), readHostFile(dataHost("update.ini")));
    EXPECT_EQ(readHostFile(programHost("Surfkolibri.dat")),
              readHostFile(dataHost("Surfkolibri.dat")));
    EXPECT_EQ("mine", readHostFile(dataHost("Surfkolibri.ini")));
    EXPECT_EQ("1.0", readHostFile(dataHost("Surfkolibri.cho")));
    EXPECT_FALSE(std::filesystem::exists(dataHost("Surfkolibri.def")));
}

TEST_F(StartupTest, FirstRunWritesLanguageZeroAndTheLoopEndsWithTheMainWindow) {
    platform.installDataFiles();
    SeenWindow first;
    EXPECT_EQ(0, runAndClose({}, first));
    ASSERT_TRUE(first.found);
    EXPECT_EQ(QSize(632, 468), first.size);
    EXPECT_TRUE(first.fixed);
    // The texts were loaded before language 0 became the current language.
    EXPECT_EQ(" 2.8 ", first.title);
    EXPECT_EQ(readHostFile(programHost("Surfkolibri.t00")),
              readHostFile(dataHost("Surfkolibri.def")));
    EXPECT_TRUE(std::filesystem::exists(dataHost("update.ini")));

    // Once a language was chosen, the next run shows its texts.
    writeHostFile(dataHost("Surfkolibri.cho"), "2.8");
    SeenWindow second;
    EXPECT_EQ(0, runAndClose({"cb", "x"}, second));
    ASSERT_TRUE(second.found);
    EXPECT_EQ(QString::fromLatin1("Surfkolibri 2.8 ") +
                  QString::fromLatin1(GetText(2).c_str()),
              second.title);
    EXPECT_FALSE(GetText(2).empty());
    EXPECT_EQ("2.8", readHostFile(dataHost("Surfkolibri.cho")));
}
