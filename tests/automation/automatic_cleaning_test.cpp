// The unattended run: the cleanings its letters select, in their fixed order under the busy
// window's progress bar, the success message, and the end.
#include "cleaning_fixture.h"
#include "support/done_message.h"

#include "automation/AutomaticCleaning.h"
#include "automation/StartupShortcut.h"
#include "platform/simulated_time.h"
#include "shell/ProgramWindows.h"
#include "shell/u_Surfkolibri.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

using namespace automation_test;
using testing_support::RunEventsUntil;

namespace {

// The machine and the busy window at one moment of the run.
struct Moment {
    int progress;
    bool busyWindowShown;
    std::string busyLine;
    Traces traces;
    bool operator==(const Moment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Moment& m) {
    return out << "at " << m.progress << (m.busyWindowShown ? " (shown) " : " (hidden) ")
               << m.busyLine << ": " << m.traces;
}

class RunAutomaticCleaningTest : public AutomationTest {
  protected:
    // Starts the program with the one argument and lets the main window's showing start the
    // run; true when the run closed the main window. Every pause of the run (one per cleaning
    // of another browser) and every message is noted as a moment.
    bool run(const std::string& letters) {
        start(0, {letters});
        onModal = [this](QWidget* window) {
            if (window == ShowMessage2Form) moments.push_back(now());
            if (alsoOnModal) alsoOnModal(window);
        };
        platform::SimulatedTime time;
        time.OnSleep([this](DWORD) { moments.push_back(now()); });
        Form1->show();
        const bool ended = RunEventsUntil([] { return Form1->Closed(); });
        paused = time.PassedMilliseconds();
        return ended;
    }
    Moment now() const {
        return {Form2->ProgressBar1->value(), Form2->isVisible(), Form2->Label2->Caption(),
                tracesLeft()};
    }
    // Closes this program's windows so that the next run starts afresh.
    void restart() {
        DestroyProgramWindows();
        moments.clear();
        messages.clear();
    }

    std::vector<Moment> moments;
    std::int64_t paused = 0;
    std::function<void(QWidget*)> alsoOnModal;
};

Traces cleaned(Traces t, bool cookies, bool cache, bool history, bool runList, bool typed) {
    if (cookies) t.cookies = 0;
    if (cache) t.content = t.contentFiles = 0;
    if (history) t.visits = 0;
    if (runList) t.runList = t.recent = 0;
    if (typed) t.typed = 0;
    return t;
}

} // namespace

// All five cleanings, each in its place whatever the order of the letters: the pauses of the
// Opera cleanings show the progress and what is gone by then; the message comes at 100, then
// the busy window and the main window close.
TEST_F(RunAutomaticCleaningTest, AllFiveCleaningsRunInTheirOrderThenTheMessageThenTheEnd) {
    addInternetExplorerTraces();
    addOperaProfile();
    ASSERT_TRUE(run("nemhbc"));
    const Traces all = kInternetExplorerTraces;
    const std::string line = GetText(170);
    const std::vector<Moment> expected = {
        {10, true, line, cleaned(all, true, false, false, false, false)},
        {20, true, line, cleaned(all, true, true, false, false, false)},
        {60, true, line, cleaned(all, true, true, true, false, false)},
        {100, true, line, cleaned(all, true, true, true, true, true)},
    };
    EXPECT_EQ(expected, moments);
    EXPECT_EQ(std::vector<std::string>{GetText(167)}, firstLines(messages));
    EXPECT_EQ(3000, paused);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form2->Panel1->isVisible());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_FALSE(Form1->Timer1->isActive());
    EXPECT_EQ(0, filesIn(kOpera + "cache4\\"));
    EXPECT_TRUE(DirectoryExistsA(kOpera + "cache4"));
    EXPECT_FALSE(FileExistsA(kOpera + "cookies4.dat"));
    EXPECT_FALSE(FileExistsA(kOpera + "global.dat"));
    EXPECT_TRUE(FileExistsA(kOpera + "opera6.ini"));
}

TEST_F(RunAutomaticCleaningTest, TheOrderOfTheLettersDoesNotMatter) {
    std::vector<Traces> left;
    for (const std::string letters : {"nc", "cn", "ncncc"}) {
        addInternetExplorerTraces();
        ASSERT_TRUE(run(letters)) << letters;
        EXPECT_EQ(std::vector<std::string>{GetText(167)}, firstLines(messages)) << letters;
        left.push_back(tracesLeft());
        restart();
    }
    EXPECT_EQ(cleaned(kInternetExplorerTraces, true, false, false, false, false), left[0]);
    EXPECT_EQ(left[0], left[1]);
    EXPECT_EQ(left[0], left[2]);
}

// "b" leaves the cookies (and Opera's cookies file), "c" the cached files.
TEST_F(RunAutomaticCleaningTest, EachLetterCleansItsPartOnly) {
    addInternetExplorerTraces();
    addOperaProfile();
    ASSERT_TRUE(run("b"));
    EXPECT_EQ(cleaned(kInternetExplorerTraces, false, true, false, false, false), tracesLeft());
    EXPECT_TRUE(FileExistsA(kOpera + "cookies4.dat"));
    EXPECT_EQ(0, filesIn(kOpera + "cache4\\"));
    EXPECT_TRUE(messages.empty());
    restart();

    addInternetExplorerTraces();
    writeFileAt(kOpera + "cache4\\neu.tmp");
    ASSERT_TRUE(run("c"));
    EXPECT_EQ(cleaned(kInternetExplorerTraces, true, false, false, false, false), tracesLeft());
    EXPECT_EQ(1, filesIn(kOpera + "cache4\\"));
    EXPECT_FALSE(FileExistsA(kOpera + "cookies4.dat"));
}

// Upper case is no option, and a string holding anything else (a document dropped onto the
// program, an empty argument) selects nothing: the bar runs through and the program ends.
TEST_F(RunAutomaticCleaningTest, AStringWithOtherCharactersSelectsNothing) {
    addInternetExplorerTraces();
    writeShortcut(kUserStartup + kFixedShortcutName, "c");
    for (const std::string letters :
         {"C", "C:\\Users\\User\\Documents\\brief.doc", "", "cbhmen ", "-cbhmenr"}) {
        ASSERT_TRUE(run(letters)) << letters;
        EXPECT_EQ(100, Form2->ProgressBar1->value()) << letters;
        EXPECT_TRUE(messages.empty()) << letters;
        EXPECT_EQ(kInternetExplorerTraces, tracesLeft()) << letters;
        EXPECT_EQ(std::vector<std::string>{kFixedShortcutName}, shortcutsIn(kUserStartup));
        restart();
    }
}

// "r" removes the start-up shortcuts and nothing else.
TEST_F(RunAutomaticCleaningTest, LetterRRemovesTheShortcutsAndCleansNothing) {
    addInternetExplorerTraces();
    writeShortcut(kUserStartup + kFixedShortcutName, "cb");
    writeShortcut(kUserStartup + "Surfkolibri Auto-Clean.lnk", "cb");
    ASSERT_TRUE(run("r"));
    EXPECT_TRUE(shortcutsIn(kUserStartup).empty());
    EXPECT_EQ(kInternetExplorerTraces, tracesLeft());
    EXPECT_TRUE(messages.empty());
}

// Without other browsers only Internet Explorer's parts are cleaned, and nothing pauses.
TEST_F(RunAutomaticCleaningTest, AMachineWithoutOtherBrowsers) {
    addInternetExplorerTraces();
    ASSERT_TRUE(run("cbhme"));
    EXPECT_EQ(cleaned(kInternetExplorerTraces, true, true, true, true, true), tracesLeft());
    EXPECT_EQ(0, paused);
    EXPECT_TRUE(moments.empty());
}

// The run belongs to the first showing: the main window shown again during the run (restored
// from minimised) starts no second one.
TEST_F(RunAutomaticCleaningTest, TheRunStartsOncePerProcess) {
    addInternetExplorerTraces();
    alsoOnModal = [](QWidget*) {
        Form1->hide();
        Form1->show();
        RunEventsUntil([] { return false; }, 50);
    };
    ASSERT_TRUE(run("cn"));
    EXPECT_EQ(std::vector<std::string>{GetText(167)}, firstLines(messages));
}

// Every other browser found has its part cleaned with the same letter; Firefox is looked up
// for the part in hand.
TEST_F(RunAutomaticCleaningTest, TheOtherBrowsersAreCleanedWithTheirPart) {
    addOperaProfile();
    addMozillaProfile();
    addFirefoxProfile();
    ASSERT_TRUE(run("h"));
    EXPECT_EQ(3000, paused);
    for (const std::string& profile : {kMozilla, kFirefox}) {
        EXPECT_FALSE(FileExistsA(profile + "history.dat")) << profile;
        EXPECT_TRUE(FileExistsA(profile + "cookies.txt")) << profile;
        EXPECT_GT(filesIn(profile + "Cache\\"), 0) << profile;
    }
    EXPECT_FALSE(FileExistsA(kOpera + "global.dat"));
    restart();

    ASSERT_TRUE(run("cb"));
    EXPECT_EQ(6000, paused);
    for (const std::string& profile : {kMozilla, kFirefox}) {
        EXPECT_FALSE(FileExistsA(profile + "cookies.txt")) << profile;
        EXPECT_EQ(0, filesIn(profile + "Cache\\")) << profile;
        EXPECT_TRUE(DirectoryExistsA(profile + "Cache")) << profile;
        EXPECT_TRUE(FileExistsA(profile + "prefs.js")) << profile;
    }
    EXPECT_FALSE(DirectoryExistsA(kMozilla + "Cache\\0"));
}
