#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "shell/startup.h"
#include "ui/MyTricks.h"

#include "lang/u_language.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/root.h"
#include "shell/AboutPanel.h"
#include "shell/u_Surfkolibri.h"
#include "support/application.h"
#include "support/platform_fixture.h"
#include "support/window_fixture.h"
#include "ui/FormBase.h"
#include "ui/u_ShowMessage2.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <filesystem>

using testing_support::PlatformTest;
using testing_support::readHostFile;
using testing_support::RunEventsFor;
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
// window and (unless told not to) closes it, which must end the program.
int runAndClose(const Args& args, SeenWindow& seen, bool close = true) {
    testing_support::EnsureApplication();
    std::vector<std::string> storage{"surfkolibri"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    // Start-up runs modal loops of its own before the message loop: look until the main
    // window is up.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&seen, &poll, close] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() != "Form1" || !w->isVisible()) continue;
            seen.found = true;
            seen.title = w->windowTitle();
            seen.size = w->size();
            seen.fixed = w->minimumSize() == w->maximumSize();
            poll.stop();
            if (close) w->close();
        }
    });
    poll.start(5);
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

TEST_F(StartupTest, ADamagedMachineIsNamedAndTheProgramEndsBeforeAnyWindow) {
    platform::closeRoot();
    const std::string db = platform.root() + "/platform.db";
    testing_support::writeHostFile(db, "not a database at all");
    std::filesystem::remove(db + "-wal");
    std::filesystem::remove(db + "-shm");
    SeenWindow seen;
    testing::internal::CaptureStderr();
    const int code = runAndClose({}, seen);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(1, code);
    EXPECT_FALSE(seen.found);
    EXPECT_NE(std::string::npos, err.find(db)) << err;
    EXPECT_NE(std::string::npos, err.find("not a database")) << err;
}

TEST_F(StartupTest, VersionCheckSkipsAMarkerOfThisVersion) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    for (const char* marker : {"2.8", "2.8\r\nmore"}) {
        SCOPED_TRACE(marker);
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
        SCOPED_TRACE(marker);
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

    // The survey's question is declined by closing it.
    std::vector<std::string> modal;
    SetModalHook([&](QWidget* window) { modal.push_back(window->metaObject()->className()); });
    EXPECT_EQ(0, RunProgram(2, argv));
    SetModalHook({});
    EXPECT_EQ(std::vector<std::string>{"QMessageBox"}, modal);
    EXPECT_EQ(readHostFile(programHost("update.ini")), readHostFile(dataHost("update.ini")));
    EXPECT_EQ(readHostFile(programHost("Surfkolibri.dat")),
              readHostFile(dataHost("Surfkolibri.dat")));
    EXPECT_EQ("mine", readHostFile(dataHost("Surfkolibri.ini")));
    EXPECT_EQ("1.0", readHostFile(dataHost("Surfkolibri.cho")));
    EXPECT_FALSE(std::filesystem::exists(dataHost("Surfkolibri.def")));
}

TEST_F(StartupTest, FirstRunAsksForTheLanguageAndRestartsInIt) {
    platform.installDataFiles();
    writeHostFile(programHost("surfkolibri"), "");
    std::vector<std::string> modal;
    QStringList visibleBeforeTheChoice;
    SetModalHook([&](QWidget* window) {
        modal.push_back(window->metaObject()->className());
        if (window != Form4) return;
        // The texts were loaded before language 0 became the current language, so the
        // splash and captions of this first run are empty; the choice is the user's.
        testing_support::RunEventsUntil(
            [] { return !(Form4->windowState() & Qt::WindowMinimized); });
        ASSERT_TRUE(Form4->isVisible());
        // Nothing but the language window shows while the user chooses: no blank main
        // window behind it.
        testing_support::RunEventsFor(50);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) visibleBeforeTheChoice << w->metaObject()->className();
        Form4->ComboBox1->setCurrentIndex(1);
        emit Form4->ComboBox1->activated(1);
        Form4->BitBtn1->click();
    });
    SeenWindow first;
    EXPECT_EQ(0, runAndClose({}, first));
    SetModalHook({});
    EXPECT_EQ(QStringList{"TForm4"}, visibleBeforeTheChoice);
    EXPECT_EQ(std::vector<std::string>{"TForm4"}, modal);
    // The loop never ran: this instance ended after asking for the restart.
    EXPECT_FALSE(first.found);
    EXPECT_EQ(nullptr, Form1);
    EXPECT_EQ("2.8", readHostFile(dataHost("Surfkolibri.cho")));
    EXPECT_EQ(readHostFile(programHost("Surfkolibri.t01")),
              readHostFile(dataHost("Surfkolibri.def")));
    EXPECT_TRUE(std::filesystem::exists(dataHost("update.ini")));
    const auto log = platform::shellLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(platform.programFolderWindows() + "surfkolibri", log[0].target);
}

// The language window's keys: Enter is OK once a language is chosen and nothing before; Esc
// cancels the first run, which ends the program without a main window or a choice.
TEST_F(StartupTest, TheLanguageWindowTakesEnterAndEscAndCancellingEndsTheProgram) {
    platform.installDataFiles();
    writeHostFile(programHost("surfkolibri"), "");
    auto press = [](int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(Form4, &down);
    };
    bool choose = false;
    SetModalHook([&](QWidget* window) {
        if (window != Form4) return;
        testing_support::RunEventsUntil(
            [] { return !(Form4->windowState() & Qt::WindowMinimized); });
        press(Qt::Key_Return);
        EXPECT_TRUE(Form4->isVisible());
        if (choose) {
            Form4->ComboBox1->setCurrentIndex(1);
            emit Form4->ComboBox1->activated(1);
            press(Qt::Key_Enter);
        } else {
            press(Qt::Key_Escape);
        }
        EXPECT_FALSE(Form4->isVisible());
    });
    SeenWindow seen;
    EXPECT_EQ(0, runAndClose({}, seen));
    EXPECT_FALSE(seen.found);
    EXPECT_EQ(nullptr, Form1);
    EXPECT_FALSE(std::filesystem::exists(dataHost("Surfkolibri.cho")));
    EXPECT_TRUE(platform::shellLog().empty());

    choose = true;
    EXPECT_EQ(0, runAndClose({}, seen));
    SetModalHook({});
    EXPECT_FALSE(seen.found);
    EXPECT_EQ("2.8", readHostFile(dataHost("Surfkolibri.cho")));
    ASSERT_EQ(1u, platform::shellLog().size());
    EXPECT_EQ(platform.programFolderWindows() + "surfkolibri", platform::shellLog()[0].target);
}

TEST_F(StartupTest, WithTheMarkerTheMainWindowShowsInTheChosenLanguage) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    writeHostFile(dataHost("Surfkolibri.cho"), "2.8");
    writeHostFile(dataHost("Surfkolibri.def"), readHostFile(programHost("Surfkolibri.t01")));
    SetModalHook([](QWidget* window) { RunModalLoop(window); });
    SeenWindow seen;
    EXPECT_EQ(0, runAndClose({"cb", "x"}, seen));
    SetModalHook({});
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(QSize(632, 468), seen.size);
    EXPECT_TRUE(seen.fixed);
    EXPECT_EQ(QString::fromLatin1("Surfkolibri 2.8 ") + AnsiToQString(GetText(2)), seen.title);
    EXPECT_EQ("DEUTSCH", GetText(0));
    EXPECT_EQ("2.8", readHostFile(dataHost("Surfkolibri.cho")));
}

TEST_F(StartupTest, UnattendedRunHandsOverAtOnceAndEnds) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    writeHostFile(dataHost("Surfkolibri.cho"), "2.8");
    SetModalHook([](QWidget* window) { RunModalLoop(window); });
    // What the main window looked like when it closed: shown by the loop, never by the
    // start-up timer, whose steps (the language list among them) must not have run.
    struct Watcher : QObject {
        int shows = 0;
        int closes = 0;
        int languagesListed = -1;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (watched == Form1 && event->type() == QEvent::Show) ++shows;
            if (watched == Form1 && event->type() == QEvent::Close) {
                ++closes;
                languagesListed = Form1->AboutPanel->ComboBox1->count();
            }
            return false;
        }
    } watcher;
    testing_support::EnsureApplication();
    qApp->installEventFilter(&watcher);
    SeenWindow seen;
    // The show handler's hand-over closes the main window itself: the loop ends on its own
    // (the watchdog would end it with 99).
    EXPECT_EQ(0, runAndClose({"cb"}, seen, false));
    qApp->removeEventFilter(&watcher);
    SetModalHook({});
    EXPECT_EQ(1, watcher.shows);
    EXPECT_EQ(1, watcher.closes);
    EXPECT_EQ(0, watcher.languagesListed);
}

TEST_F(StartupTest, OnlyClosingTheMainWindowEndsTheProgram) {
    platform.installDataFiles();
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    writeHostFile(dataHost("Surfkolibri.cho"), "2.8");
    testing_support::EnsureApplication();
    // A flow of the kind the sections run: the main window hides, a message is confirmed,
    // the main window comes back. The message's closing leaves no window visible; the
    // program must go on regardless.
    bool messageConfirmed = false;
    bool mainWindowBack = false;
    SetModalHook([&](QWidget* window) {
        if (window == ShowMessage2Form) {
            ShowMessage2Form->BitBtn2->click();
            messageConfirmed = !ShowMessage2Form->isVisible();
            return;
        }
        RunModalLoop(window);
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Form1 || !Form1->isVisible() || messageConfirmed) return;
        poll.stop();
        Form1->hide();
        ShowMessage2("done");
        // Still in the loop a while later: the main window shows again and is closed.
        QTimer::singleShot(20, [&] {
            mainWindowBack = true;
            Form1->show();
            Form1->close();
        });
    });
    poll.start(5);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    char program[] = "surfkolibri";
    char* argv[] = {program, nullptr};
    EXPECT_EQ(0, RunProgram(1, argv));
    SetModalHook({});
    EXPECT_TRUE(messageConfirmed);
    EXPECT_TRUE(mainWindowBack);
}
