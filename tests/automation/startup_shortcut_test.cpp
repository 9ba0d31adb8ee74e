// The start-up shortcut's logic without the automation page: its names in every installed
// language, the one shortcut the chosen options become, and reading the options back.
#include "automation/ShellLnk.h"
#include "automation/StartupShortcut.h"
#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "shortcut_files.h"
#include "support/platform_fixture.h"
#include "ui/CommandLine.h"
#include "ui/MyTricks.h"

using namespace automation_test;
using testing_support::writeHostFile;

namespace {

class StartupShortcutTest : public testing_support::PlatformTest {
  protected:
    const std::string startup = platform.profile() +
                                "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
                                "\\Startup\\";

    // Three languages in the program folder, the second one chosen; the third names the
    // shortcut with a character no file name may hold.
    StartupShortcutTest() {
        language(0, "ENGLISH", "Surfkolibri Auto-Clean");
        language(1, "DEUTSCH", "Surfkolibri-Automatik");
        language(2, "SLASH", "Auto/Clean");
        InitTranslation(ProductName);
        SelectLanguage("DEUTSCH");
    }
    ~StartupShortcutTest() override { InitTranslation(ProductName); }

    void language(int n, const std::string& name, const std::string& shortcut) const {
        writeHostFile(platform.programFolder() + "/Surfkolibri.t0" + std::to_string(n),
                      "[0]\r\n" + name + "\r\n[169]\r\n" + shortcut + "\r\n[END]\r\n");
    }
};

} // namespace

TEST_F(StartupShortcutTest, EveryLanguagesNameIsTheProgramsAndTheCurrentOneIsUsed) {
    EXPECT_EQ("Surfkolibri-Automatik.lnk", TranslatedShortcutName());
    EXPECT_EQ((std::vector<std::string>{kFixedShortcutName, "Surfkolibri-Automatik.lnk",
                                        "Surfkolibri Auto-Clean.lnk"}),
              StartupShortcutNames());
    const std::vector<std::string> unusable{"",      "a\\b", "a:b", "a*",   "a?",
                                            "\"a\"", "<a>",  "a|b", "a\tb", "a\x01"};
    for (const std::string& name : unusable)
        EXPECT_EQ(kFixedShortcutName, TranslatedShortcutName(name)) << name;
    EXPECT_EQ("Auto-Clean.lnk", TranslatedShortcutName("Auto-Clean"));
    EXPECT_EQ("cbhmen", OptionLetters(true, true, true, true, true, true));
    EXPECT_EQ("ben", OptionLetters(false, true, false, false, true, true));
    EXPECT_EQ("", OptionLetters(false, false, false, false, false, false));
}

// Options become one shortcut under the current language's name that starts the program with
// them, replacing the program's shortcuts under any of its names; other shortcuts stay. Only
// the success message, or nothing, keeps no shortcut at all.
TEST_F(StartupShortcutTest, OptionsBecomeOneShortcutThatStartsTheProgram) {
    writeShortcut(startup + kFixedShortcutName, "c");
    writeShortcut(startup + "Surfkolibri Auto-Clean.lnk", "b");
    writeShortcut(startup + "Drucker.lnk", "");
    TShellLink link;
    ApplyAutomationOptions(link, "chn");
    EXPECT_EQ((std::vector<std::string>{"Drucker.lnk", "Surfkolibri-Automatik.lnk"}),
              shortcutsIn(startup));
    const Shortcut made = readShortcut(startup + "Surfkolibri-Automatik.lnk");
    EXPECT_EQ("chn", made.arguments);
    EXPECT_TRUE(AnsiSameText(ProgramFilePath(), made.target)) << made.target;
    EXPECT_TRUE(AnsiSameText(ProgramFilePath(), made.iconLocation)) << made.iconLocation;
    EXPECT_EQ(0, made.iconIndex);

    TShellLink read;
    EXPECT_EQ("chn", LoadAutomationShortcut(read));
    for (const std::string none : {"n", ""}) {
        SCOPED_TRACE(none);
        ApplyAutomationOptions(link, "b");
        ApplyAutomationOptions(link, none);
        EXPECT_EQ(std::vector<std::string>{"Drucker.lnk"}, shortcutsIn(startup)) << none;
        EXPECT_EQ("", LoadAutomationShortcut(read));
    }
}

// A shortcut made again keeps the working folder, description and show command it was loaded
// with; only target, icon and arguments are the program's.
TEST_F(StartupShortcutTest, AShortcutMadeAgainKeepsWhatWasLoaded) {
    writeShortcut(startup + kFixedShortcutName, "cb", platform.profile(), "Mein Start");
    TShellLink link;
    ASSERT_EQ("cb", LoadAutomationShortcut(link));
    ApplyAutomationOptions(link, "h");
    EXPECT_EQ(std::vector<std::string>{"Surfkolibri-Automatik.lnk"}, shortcutsIn(startup));
    const Shortcut made = readShortcut(startup + "Surfkolibri-Automatik.lnk");
    EXPECT_EQ("h", made.arguments);
    EXPECT_EQ(platform.profile(), made.workingDirectory);
    EXPECT_EQ("Mein Start", made.description);
    EXPECT_EQ(1, made.showCommand);
}

// A Startup value of three characters or fewer names no folder: nothing is created, and the
// shortcuts that exist stay.
TEST_F(StartupShortcutTest, WithoutAUserStartupFolderNothingIsCreatedOrRemoved) {
    writeShortcut(startup + kFixedShortcutName, "ch");
    TShellLink link;
    for (const std::string value : {"C:\\", ""}) {
        SCOPED_TRACE(value);
        setShellFolder(HKEY_CURRENT_USER, "Startup", value);
        EXPECT_EQ("", UserStartupFolder());
        ApplyAutomationOptions(link, "b");
        ApplyAutomationOptions(link, "");
        EXPECT_EQ(std::vector<std::string>{kFixedShortcutName}, shortcutsIn(startup)) << value;
    }
    setShellFolder(HKEY_CURRENT_USER, "Startup", startup.substr(0, startup.size() - 1));
    EXPECT_EQ(startup, UserStartupFolder());
    EXPECT_EQ("ch", LoadAutomationShortcut(link));
}
