// The unattended run: the cleanings its letters select, in their fixed order under the busy
// window's progress bar, the success message, and the end.
#include "cleaning_fixture.h"
#include "support/done_message.h"

#include "automation/AutoPanel.h"
#include "automation/AutomaticCleaning.h"
#include "automation/RunReport.h"
#include "automation/StartupShortcut.h"
#include "lang/CleaningText.h"
#include "platform/simulated_time.h"
#include "shell/ProgramWindows.h"
#include "shell/u_Surfkolibri.h"
#include "support/cache_entries.h"
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

// The parts a run has cleaned by some moment.
struct Parts {
    bool cookies = false;
    bool cache = false;
    bool history = false;
    bool runList = false;
    bool typed = false;
};

Traces cleaned(Traces t, Parts parts) {
    if (parts.cookies) t.cookies = 0;
    if (parts.cache) t.content = t.contentFiles = 0;
    if (parts.history) t.visits = 0;
    if (parts.runList) t.runList = t.recent = 0;
    if (parts.typed) t.typed = 0;
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
        {10, true, line, cleaned(all, {.cookies = true})},
        {20, true, line, cleaned(all, {.cookies = true, .cache = true})},
        {60, true, line, cleaned(all, {.cookies = true, .cache = true, .history = true})},
        {100, true, line,
         cleaned(
             all,
             {.cookies = true, .cache = true, .history = true, .runList = true, .typed = true})},
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
    EXPECT_EQ(cleaned(kInternetExplorerTraces, {.cookies = true}), left[0]);
    EXPECT_EQ(left[0], left[1]);
    EXPECT_EQ(left[0], left[2]);
}

// "b" leaves the cookies (and Opera's cookies file), "c" the cached files.
TEST_F(RunAutomaticCleaningTest, EachLetterCleansItsPartOnly) {
    addInternetExplorerTraces();
    addOperaProfile();
    ASSERT_TRUE(run("b"));
    EXPECT_EQ(cleaned(kInternetExplorerTraces, {.cache = true}), tracesLeft());
    EXPECT_TRUE(FileExistsA(kOpera + "cookies4.dat"));
    EXPECT_EQ(0, filesIn(kOpera + "cache4\\"));
    EXPECT_TRUE(messages.empty());
    restart();

    addInternetExplorerTraces();
    writeFileAt(kOpera + "cache4\\neu.tmp");
    ASSERT_TRUE(run("c"));
    EXPECT_EQ(cleaned(kInternetExplorerTraces, {.cookies = true}), tracesLeft());
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
    EXPECT_EQ(
        cleaned(kInternetExplorerTraces,
                {.cookies = true, .cache = true, .history = true, .runList = true, .typed = true}),
        tracesLeft());
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

// The whole story of a run that could not remove everything: the preview counts what the run
// then removes, with the locked entries apart; the run removes the rest; its message, its
// report block and the automation page's line carry the same numbers; a damaged report before
// it is replaced by its whole blocks.
TEST_F(RunAutomaticCleaningTest, APreviewCountsWhatTheRunRemovesAndTheReportTellsTheSame) {
    addInternetExplorerTraces();
    addOperaProfile();
    std::vector<std::string> locked;
    for (int i = 0; i < 4; ++i) {
        locked.push_back(testing_support::addContent("http://open.example/" + std::to_string(i)));
        std::vector<char> info(4096);
        DWORD size = static_cast<DWORD>(info.size());
        ASSERT_TRUE(RetrieveUrlCacheEntryFileA(
            ("http://open.example/" + std::to_string(i)).c_str(),
            reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(info.data()), &size, 0));
    }
    const Traces before = tracesLeft();
    start(0, {"cbhmen"});
    const RunSummary preview = PreviewAutomaticCleaning("cbhme", *Form1->IECache1);
    EXPECT_EQ(before, tracesLeft());
    EXPECT_EQ(4u, preview.total.notRemoved);
    EXPECT_EQ(4u, preview.total.inUse);
    restart();

    // An older report the run cannot read whole: one good block, then junk.
    const std::string log = RunReportPath();
    ASSERT_TRUE(
        WriteWholeFile(log, "### 2026-12-01 06:00:00 | c | 7 | 0\r\nCookies\r\n\r\n\x01\xFE"));
    ASSERT_TRUE(run("cbhmen"));

    // Only the locked entries stay, with their files.
    EXPECT_EQ((Traces{4, 4, 0, 0, 0, 0, 0}), tracesLeft());

    const RunReport report = ReadRunReport(log);
    EXPECT_FALSE(report.damaged);
    ASSERT_EQ(2u, report.runs.size());
    EXPECT_EQ(std::vector<std::string>{"Cookies"}, report.runs.front().lines);
    const RunRecord& last = report.runs.back();
    EXPECT_EQ("cbhmen", last.options);
    EXPECT_EQ(preview.total.removed, last.removed);
    EXPECT_EQ(4u, last.notRemoved);
    ASSERT_EQ(6u, last.lines.size());
    const std::string cacheLine = last.lines[1];
    EXPECT_EQ(0u, cacheLine.find(GetText(kCacheWord) + ": "));
    EXPECT_NE(std::string::npos, cacheLine.find(FillIn(GetText(kNotRemovedText), {"4"}) + " (" +
                                                GetText(kInUseWord) + ")"));
    EXPECT_EQ(GetText(kReportRestartedText), last.lines.back());

    // The message said the same as the report, line for line.
    ASSERT_EQ(1u, messages.size());
    std::string expected = GetText(kSomeStayedText);
    for (std::size_t i = 0; i + 1 < last.lines.size(); ++i)
        expected += "\n" + last.lines[i];
    EXPECT_EQ(expected, messages[0]);

    // The next start with a window shows the run on the automation page.
    restart();
    start(0);
    Form1->AutoPanel->ShowLastRun();
    const std::string shown = Form1->AutoPanel->LastRunLabel->Caption();
    EXPECT_NE(std::string::npos, shown.find(std::to_string(last.removed) + " "));
    EXPECT_NE(std::string::npos, shown.find(FillIn(GetText(kNotRemovedText), {"4"})));
}
