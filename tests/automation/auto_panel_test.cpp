// The automation page: its boxes and the start-up shortcut they stand for, restoring them at
// start, and the removal of the shortcut by argument "r".
#include "automation_fixture.h"

#include "automation/AutoPanel.h"
#include "automation/RunReport.h"
#include "automation/ShellLnk.h"
#include "automation/StartupShortcut.h"
#include "automation/u_runReport.h"
#include "lang/CleaningText.h"
#include "platform/datetime.h"
#include "platform/qt/ansi_qstring.h"
#include "shell/ProgramWindows.h"
#include "shell/startup.h"
#include "shell/u_Surfkolibri.h"
#include "ui/MyTricks.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace automation_test;

namespace {

// The memo's lines, as ANSI text, without the empty line the last one ends with.
std::vector<std::string> linesOfMemo(const QString& text) {
    std::vector<std::string> lines;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines.push_back(QStringToAnsi(line));
    return lines;
}

class AutoPanelTest : public AutomationTest {
  protected:
    AutoPanel* page() const { return Form1->AutoPanel; }
    // The one shortcut the program keeps: its arguments, or "none" when there is none.
    std::string userShortcutArguments() const {
        const auto names = shortcutsIn(kUserStartup);
        if (names.empty()) return "none";
        EXPECT_EQ(std::vector<std::string>{translatedName()}, names);
        return readShortcut(kUserStartup + names.front()).arguments;
    }
    std::vector<bool> ticks() const {
        std::vector<bool> t;
        for (QCheckBox* box : {page()->CheckBox4, page()->CheckBox5, page()->CheckBox6,
                               page()->CheckBox7, page()->CheckBox8, page()->CheckBox9})
            t.push_back(box->isChecked());
        return t;
    }
};

// What lnkinfo (of liblnk) reads in a shortcut file: "Name : value" lines; empty when the
// tool is not there.
std::string lnkinfoField(const std::string& hostPath, const std::string& field) {
    if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) return "(no lnkinfo)";
    FILE* out = ::popen(("lnkinfo '" + hostPath + "' 2>/dev/null").c_str(), "r");
    std::string value;
    char line[4096];
    while (out && std::fgets(line, sizeof line, out)) {
        std::string text = line;
        const auto colon = text.find(':');
        if (colon == std::string::npos || text.find(field) == std::string::npos) continue;
        value = text.substr(colon + 2);
        while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
            value.pop_back();
        break;
    }
    if (out) ::pclose(out);
    return value;
}

} // namespace

// Whatever the order of the ticks, the letters stand in the order c b h m e n; the shortcut
// starts the program itself, shows its icon, and is a link another reader understands.
TEST_F(AutoPanelTest, TickedBoxesBecomeOneShortcutWithTheLettersInTheirOrder) {
    start();
    page()->CheckBox9->click();
    EXPECT_EQ("none", userShortcutArguments());
    page()->CheckBox8->click();
    EXPECT_EQ("en", userShortcutArguments());
    page()->CheckBox4->click();
    EXPECT_EQ("cen", userShortcutArguments());
    page()->CheckBox6->click();
    EXPECT_EQ("chen", userShortcutArguments());
    page()->CheckBox7->click();
    page()->CheckBox5->click();
    EXPECT_EQ("cbhmen", userShortcutArguments());
    page()->CheckBox8->click();
    EXPECT_EQ("cbhmn", userShortcutArguments());

    const Shortcut s = readShortcut(kUserStartup + translatedName());
    EXPECT_EQ(programFile(), s.target);
    EXPECT_EQ(programFile(), s.iconLocation);
    EXPECT_EQ(0, s.iconIndex);
    EXPECT_EQ("", s.workingDirectory);
    EXPECT_EQ("", s.description);
    EXPECT_EQ(1, s.showCommand);
    EXPECT_EQ(0, s.hotKey);
    EXPECT_TRUE(shortcutsIn(kCommonStartup).empty());
    EXPECT_EQ(0, clickSounds()); // the boxes make no click sound

    const std::string host = platform.hostPath(kUserStartup + translatedName());
    const std::string arguments = lnkinfoField(host, "Command line arguments");
    if (arguments != "(no lnkinfo)") {
        EXPECT_EQ("cbhmn", arguments);
        EXPECT_EQ(programFile(), lnkinfoField(host, "Local path"));
    }
}

TEST_F(AutoPanelTest, OnlyTheSuccessMessageKeepsNoShortcut) {
    start();
    setAdministrator(true);
    writeShortcut(kUserStartup + kFixedShortcutName, "ch");
    writeShortcut(kCommonStartup + translatedName(), "b");
    page()->CheckBox9->click();
    EXPECT_EQ("none", userShortcutArguments());
    EXPECT_TRUE(shortcutsIn(kCommonStartup).empty());

    // Cache, then the message: "bn"; without the cache only the message is left, and that
    // alone keeps no shortcut.
    page()->CheckBox5->click();
    EXPECT_EQ("bn", userShortcutArguments());
    page()->CheckBox5->click();
    EXPECT_EQ("none", userShortcutArguments());
    page()->CheckBox9->click();
    EXPECT_EQ("none", userShortcutArguments());
}

// Both names go from both folders; what is not the program's stays. Without the rights in
// the folder of all users its shortcuts stay too.
TEST_F(AutoPanelTest, RemovalTakesBothNamesFromBothFoldersWhereTheRightsAllow) {
    start();
    setAdministrator(true);
    for (const std::string& folder : {kUserStartup, kCommonStartup}) {
        writeShortcut(folder + kFixedShortcutName, "c");
        writeShortcut(folder + translatedName(), "b");
        writeShortcut(folder + "Drucker.lnk", "");
    }
    setAdministrator(false);
    RemoveStartupShortcuts();
    EXPECT_EQ(std::vector<std::string>{"Drucker.lnk"}, shortcutsIn(kUserStartup));
    EXPECT_EQ(3u, shortcutsIn(kCommonStartup).size());
    setAdministrator(true);
    RemoveStartupShortcuts();
    EXPECT_EQ(std::vector<std::string>{"Drucker.lnk"}, shortcutsIn(kCommonStartup));
}

// A Startup value of three characters or fewer names no folder: nothing is created there, and
// the shortcuts that exist stay.
TEST_F(AutoPanelTest, WithoutAUserStartupFolderNothingIsCreatedAndOldOnesStay) {
    start();
    writeShortcut(kUserStartup + kFixedShortcutName, "ch");
    for (const std::string value : {"C:\\", ""}) {
        SCOPED_TRACE(value);
        setShellFolder(HKEY_CURRENT_USER, "Startup", value);
        page()->CheckBox5->click();
        EXPECT_TRUE(page()->CheckBox5->isChecked());
        EXPECT_EQ(std::vector<std::string>{kFixedShortcutName}, shortcutsIn(kUserStartup));
        EXPECT_TRUE(shortcutsIn("C:\\").empty());
        page()->CheckBox5->click();
    }
    // Other boxes unticked: the removal finds no folder either.
    EXPECT_EQ(std::vector<std::string>{kFixedShortcutName}, shortcutsIn(kUserStartup));
}

// The program's own shortcut lies in the user's folder: it restores the boxes (before the one
// of all users), and the shortcut made again keeps the loaded working folder and description.
TEST_F(AutoPanelTest, RestoringReadsTheUsersFolderFirst) {
    start();
    setAdministrator(true);
    writeShortcut(kUserStartup + kFixedShortcutName, "hcx", "C:\\Windows\\", "Mein Start");
    writeShortcut(kCommonStartup + kFixedShortcutName, "bme");
    Form1->Timer1Timer();
    EXPECT_EQ((std::vector<bool>{true, false, true, false, false, false}), ticks());
    EXPECT_EQ("ch", userShortcutArguments());
    const Shortcut s = readShortcut(kUserStartup + translatedName());
    EXPECT_EQ("C:\\Windows\\", s.workingDirectory);
    EXPECT_EQ("Mein Start", s.description);
    EXPECT_EQ(programFile(), s.target);
    // Each restored tick ran the boxes' handler, which clears the folder of all users.
    EXPECT_TRUE(shortcutsIn(kCommonStartup).empty());
}

// An administrator's program reads the folder of all users and moves the shortcut from there
// to the user's folder. A user's program cannot open the machine's Shell Folders key with
// full access, so it sees no such folder: the boxes stay empty and the shortcut stays.
TEST_F(AutoPanelTest, RestoringFromTheFolderOfAllUsers) {
    start();
    setAdministrator(true);
    writeShortcut(kCommonStartup + translatedName(), "ch");
    setAdministrator(false);
    Form1->Timer1Timer();
    EXPECT_EQ(std::vector<bool>(6, false), ticks());
    EXPECT_EQ(std::vector<std::string>{translatedName()}, shortcutsIn(kCommonStartup));
    EXPECT_EQ("none", userShortcutArguments());

    setAdministrator(true);
    page()->RestoreAutomationOptions();
    EXPECT_EQ((std::vector<bool>{true, false, true, false, false, false}), ticks());
    EXPECT_EQ("ch", userShortcutArguments());
    EXPECT_TRUE(shortcutsIn(kCommonStartup).empty());
}

TEST_F(AutoPanelTest, RestoredLettersOfOnlyTheMessageLeaveNoShortcut) {
    start();
    writeShortcut(kUserStartup + translatedName(), "n");
    Form1->Timer1Timer();
    EXPECT_EQ((std::vector<bool>{false, false, false, false, false, true}), ticks());
    EXPECT_EQ("none", userShortcutArguments());
}

TEST_F(AutoPanelTest, AShortcutThatCannotBeReadRestoresNothing) {
    start();
    ASSERT_TRUE(WriteWholeFile(kUserStartup + kFixedShortcutName, "kein Link"));
    writeShortcut(kUserStartup + translatedName(), "c");
    Form1->Timer1Timer();
    EXPECT_EQ(std::vector<bool>(6, false), ticks());
    EXPECT_EQ("", Form1->ShellLink1->Arguments);
    EXPECT_EQ("", Form1->ShellLink1->Path);
}

// The shortcut made in German carries the German name. After a switch to English the boxes
// still show it (and it is renamed); unticking them leaves no shortcut that keeps cleaning.
TEST_F(AutoPanelTest, ALanguageChangeLeavesNoShortcutBehind) {
    start(1);
    const std::string german = translatedName();
    page()->CheckBox4->click();
    page()->CheckBox7->click();
    EXPECT_EQ(std::vector<std::string>{german}, shortcutsIn(kUserStartup));
    DestroyProgramWindows();

    start(0);
    ASSERT_NE(german, translatedName());
    Form1->Timer1Timer();
    EXPECT_EQ((std::vector<bool>{true, false, false, true, false, false}), ticks());
    EXPECT_EQ("cm", userShortcutArguments());
    page()->CheckBox4->click();
    page()->CheckBox7->click();
    EXPECT_EQ("none", userShortcutArguments());

    // Even a shortcut the boxes never showed goes with the next change.
    writeShortcut(kUserStartup + german, "h");
    page()->CheckBox9->click();
    EXPECT_TRUE(shortcutsIn(kUserStartup).empty());
}

TEST_F(AutoPanelTest, TheTranslatedNameFallsBackToTheFixedOne) {
    start();
    EXPECT_EQ("Surfkolibri Auto-Clean.lnk", TranslatedShortcutName());
    EXPECT_EQ("Auto.lnk", TranslatedShortcutName("Auto"));
    for (const std::string bad : {"", "Auto\\Start", "Auto/Start", "Auto: Start", "Auto?", "Auto*",
                                  "\"Auto\"", "<Auto>", "Auto|x", "Auto\rStart"})
        EXPECT_EQ(kFixedShortcutName, TranslatedShortcutName(bad)) << bad;
    const std::vector<std::string> names = StartupShortcutNames();
    EXPECT_EQ((std::vector<std::string>{kFixedShortcutName, "Surfkolibri Auto-Clean.lnk",
                                        "Surfkolibri-Automatik.lnk"}),
              names);
}

// Argument 1 "r" removes the shortcuts before any window shows, also when the program then
// runs interactively.
TEST_F(AutoPanelTest, ArgumentRRemovesTheShortcutsAtStart) {
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    ASSERT_TRUE(WriteWholeFile(GetDataFolder(ProductName) + "Surfkolibri.cho", ProgramVersion));
    writeShortcut(kUserStartup + kFixedShortcutName, "cb");
    writeShortcut(kUserStartup + "Surfkolibri Auto-Clean.lnk", "cb");
    bool shortcutsWhenShown = true;
    SetModalHook([](QWidget* window) { RunModalLoop(window); });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!Form1 || !Form1->isVisible()) return;
        poll.stop();
        shortcutsWhenShown = !shortcutsIn(kUserStartup).empty();
        Form1->close();
    });
    poll.start(5);
    char program[] = "surfkolibri";
    char r[] = "r";
    char more[] = "x";
    char* argv[] = {program, r, more, nullptr};
    EXPECT_EQ(0, RunProgram(3, argv));
    EXPECT_FALSE(shortcutsWhenShown);
    EXPECT_TRUE(shortcutsIn(kUserStartup).empty());
}

// The reports window names a run's cleanings in words of the language shown now, also for a
// run whose lines another language wrote; the lines stay as they were written.
TEST_F(AutoPanelTest, TheReportsNameTheChosenCleaningsInTheCurrentLanguage) {
    start(1);
    RunRecord run;
    run.when = {2031, 7, 0, 2, 8, 9, 30, 0};
    run.options = "cbmn";
    run.removed = 3;
    run.lines = {"Cookies: 3 entries removed"};
    ASSERT_TRUE(AppendRunRecord(RunReportPath(), run, ""));
    std::vector<std::string> shown;
    onModal = [&](QWidget* window) {
        if (window == RunReportForm) shown = linesOfMemo(RunReportForm->Memo1->toPlainText());
    };
    page()->ReportsLinkClick();
    double when = 0;
    ASSERT_TRUE(SystemTimeToDateTime(run.when, when));
    EXPECT_EQ((std::vector<std::string>{DateTimeToStr(when) + "   " + GetText(kOptionsWord) + " " +
                                            GetText(kCookiesWord) + ", " + GetText(kCacheWord) +
                                            ", " + GetText(kRunListWord) + ", " + GetText(462),
                                        "Cookies: 3 entries removed"}),
              shown);
    EXPECT_EQ("Optionen: Browsercookies, Browsercache, Ausf\xFChren-Liste und Dokumentliste, "
              "Erfolgsmeldung",
              shown.at(0).substr(shown.at(0).find("Optionen:")));
}
