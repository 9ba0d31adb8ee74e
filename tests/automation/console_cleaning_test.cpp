// The console runner as a user starts it: build/surfkolibri-clean on a seeded machine, its
// exit status, what it prints in the user's language, its report, and the machine afterwards.
#include "cleaning_fixture.h"

#include "automation/AutomaticCleaning.h"
#include "automation/CleaningRun.h"
#include "automation/RunReport.h"
#include "automation/StartupShortcut.h"
#include "browser_seed.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/browser_fixture.h"
#include "platform/paths.h"
#include "platform/urlcache.h"
#include "shell/u_Surfkolibri.h"
#include "support/sqlite_query.h"
#include "ui/MyTricks.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

using namespace automation_test;
using testing_support::PlatformTest;
using testing_support::readHostFile;
using testing_support::sqlite3Says;

namespace {

const char* const kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct ConsoleRun {
    int status = -1;
    std::vector<std::string> out; // the lines of standard output
    std::string err;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines of the steps and their notes, without the lines of each browser's share.
std::vector<std::string> stepLines(const std::vector<std::string>& lines) {
    std::vector<std::string> steps;
    for (const std::string& line : lines)
        if (line.rfind("  ", 0) != 0) steps.push_back(line);
    return steps;
}

// The lines of each browser's share, indented below a step.
std::vector<std::string> shareLines(const std::vector<std::string>& lines) {
    std::vector<std::string> shares;
    for (const std::string& line : lines)
        if (line.rfind("  ", 0) == 0) shares.push_back(line);
    return shares;
}

// The count a step's line begins with ("Cookies: 12 entries removed" -> 12).
long countIn(const std::string& line) {
    const std::size_t colon = line.find(": ");
    return colon == std::string::npos ? -1 : std::strtol(line.c_str() + colon + 2, nullptr, 10);
}

std::string utf8Text(int n) {
    return AnsiToUtf8(GetText(n));
}

// Runs the built runner on the test's machine with a home of its own.
ConsoleRun runConsole(const testing_support::TempPlatform& platform, const std::string& arguments) {
    platform::closeRoot(); // the runner opens the root itself
    const std::string home = platform.root() + "-home";
    std::filesystem::create_directories(home);
    const std::string line = "HOME='" + home + "' SURFKOLIBRI_PLATFORM='" + platform.root() +
                             "' SURFKOLIBRI_SHELL_EXECUTE=record timeout 120 " +
                             SURFKOLIBRI_BUILD_DIR + "/surfkolibri-clean " + arguments + " >'" +
                             home + "/out' 2>'" + home + "/err'";
    const int status = std::system(line.c_str());
    ConsoleRun result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = linesOf(readHostFile(home + "/out"));
    result.err = readHostFile(home + "/err");
    return result;
}

class ConsoleCleaningTest : public PlatformTest {
  protected:
    ConsoleRun run(const std::string& arguments) { return runConsole(platform, arguments); }

    // The user chose a language of the shipped ones (the program's data folder holds it);
    // the test reads the same texts.
    void chooseLanguage(const std::string& file) {
        ASSERT_TRUE(EnsureDataFolders(ProductName, false));
        ASSERT_TRUE(CopyFileA(
            (platform::windowsPathOf(platform::HostPath(SURFKOLIBRI_BUILD_DIR)) + "\\" + file)
                .c_str(),
            (GetDataFolder(ProductName) + "Surfkolibri.def").c_str(), FALSE));
        InitTranslation(ProductName);
    }
    // Without a language chosen the runner speaks English: the first language file.
    void readEnglish() {
        platform.installDataFiles();
        InitTranslationOrFirstLanguage(ProductName);
    }

    const std::string roaming = platform.hostPath(ReadUserRegString(kShellFolders, "AppData"));
    const std::string local = platform.hostPath(ReadUserRegString(kShellFolders, "Local AppData"));
    const std::string places = roaming + "/Mozilla/Firefox/Profiles/a1.default-release/";
    const std::string chrome = local + "/Google/Chrome/User Data/Default/";

    void seedTodaysBrowsers() {
        const browser_seed::Sizes sizes{.places = 40,
                                        .visits = 160,
                                        .bookmarks = 10,
                                        .cookies = 30,
                                        .sites = 10,
                                        .cacheFiles = 12,
                                        .formEntries = 5};
        browser_seed::firefoxProfile(places, local + "/Mozilla/Firefox/Profiles/a1.default-release",
                                     sizes);
        browser_seed::firefoxProfilesIni(roaming + "/Mozilla/Firefox", {"a1.default-release"});
        browser_seed::chromeProfile(chrome, sizes);
        browser_seed::chromeLocalState(local + "/Google/Chrome/User Data", {"Default"});
    }
    // The rows of the browsers' databases that a cleaning takes or leaves.
    std::vector<std::string> browserRows() {
        std::vector<std::string> rows;
        for (const auto& [db, table] : std::vector<std::pair<std::string, std::string>>{
                 {places + "places.sqlite", "moz_historyvisits"},
                 {places + "places.sqlite", "moz_places"},
                 {places + "places.sqlite", "moz_bookmarks"},
                 {places + "cookies.sqlite", "moz_cookies"},
                 {places + "formhistory.sqlite", "moz_formhistory"},
                 {chrome + "History", "visits"},
                 {chrome + "History", "urls"},
                 {chrome + "Network/Cookies", "cookies"}})
            rows.push_back(sqlite3Says(db, "SELECT count(*) FROM " + table));
        return rows;
    }
};

} // namespace

// A command line that chooses no cleaning is refused with the usage before anything is
// touched; the help names every letter.
TEST_F(ConsoleCleaningTest, TheCommandLineIsCheckedBeforeAnythingIsCleaned) {
    addInternetExplorerTraces();
    readEnglish();
    const Traces before = tracesLeft();
    const std::string usage = "Usage: surfkolibri-clean [--preview] LETTERS";
    struct Case {
        const char* arguments;
        const char* chosen;  // the letters named as choosing no cleaning, or none
        const char* unknown; // the letters named as unknown among them, or none
    };
    for (const Case& c :
         {Case{"cbx", "cbx", "x"}, Case{"cbq", "cbq", "q"}, Case{"qcxbq", "qcxbq", "q x"},
          Case{"n", "n", nullptr}, Case{"", nullptr, nullptr},
          Case{"--preview --preview c", nullptr, nullptr}, Case{"-x c", nullptr, nullptr},
          Case{"cb he", nullptr, nullptr}}) {
        SCOPED_TRACE(c.arguments);
        const ConsoleRun refused = run(c.arguments);
        EXPECT_EQ(2, refused.status);
        EXPECT_TRUE(refused.out.empty());
        const std::vector<std::string> said = linesOf(refused.err);
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(usage, said.back());
        if (c.unknown)
            EXPECT_EQ(FillIn(GetText(463), {c.chosen, c.unknown}), said.front());
        else if (c.chosen)
            EXPECT_EQ(FillIn(GetText(387), {c.chosen}), said.front());
        else
            EXPECT_EQ(1u, said.size());
    }

    const ConsoleRun help = run("--help");
    EXPECT_EQ(0, help.status);
    ASSERT_GE(help.out.size(), 11u);
    EXPECT_EQ(usage, help.out[0]);
    for (std::size_t i = 0; i < std::size(kRunSteps); ++i)
        EXPECT_EQ(std::string("  ") + kRunSteps[i].letter + "          " +
                      GetText(kRunSteps[i].label),
                  help.out[2 + i]);
    EXPECT_EQ(GetText(386), help.out.back());

    EXPECT_EQ(before, tracesLeft());
    EXPECT_FALSE(FileExistsA(RunReportPath()));
}

// In German: the preview counts without touching anything, the run then removes what the
// preview counted, step by step, says so line by line, reports it and ends with status 0.
TEST_F(ConsoleCleaningTest, ThePreviewCountsWhatTheRunThenRemoves) {
    addInternetExplorerTraces();
    seedTodaysBrowsers();
    chooseLanguage("Surfkolibri.t01");
    ASSERT_NE("What the automatic cleaning would remove now", GetText(kPreviewTitleText));
    const Traces before = tracesLeft();
    const std::vector<std::string> rows = browserRows();
    ASSERT_EQ("160", rows[0]);
    ASSERT_EQ("30", rows[3]);

    const ConsoleRun preview = run("--preview cbhme");
    EXPECT_EQ(0, preview.status);
    EXPECT_EQ("", preview.err);
    const std::vector<std::string> previewSteps = stepLines(preview.out);
    ASSERT_EQ(6u, previewSteps.size());
    EXPECT_EQ(utf8Text(kPreviewTitleText), preview.out[0]);
    EXPECT_EQ(before, tracesLeft());
    EXPECT_EQ(rows, browserRows());
    EXPECT_FALSE(FileExistsA(RunReportPath()));

    const ConsoleRun cleaned = run("cbhme");
    EXPECT_EQ(0, cleaned.status);
    EXPECT_EQ("", cleaned.err);
    const std::vector<std::string> steps = stepLines(cleaned.out);
    ASSERT_EQ(5u, steps.size());
    long removed = 0;
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(steps[i]);
        EXPECT_EQ(0u, steps[i].rfind(utf8Text(kRunSteps[i].label) + ": ", 0));
        EXPECT_EQ(0u, previewSteps[i + 1].rfind(utf8Text(kRunSteps[i].label) + ": ", 0));
        EXPECT_GT(countIn(steps[i]), 0);
        EXPECT_EQ(countIn(previewSteps[i + 1]), countIn(steps[i]));
        removed += countIn(steps[i]);
    }
    // Below the cookies, the cache and the history, what each of today's browsers came to,
    // in the run as in the preview: Firefox's and Chrome's.
    const std::vector<std::string> shares = shareLines(cleaned.out);
    ASSERT_EQ(6u, shares.size());
    const std::vector<std::string> previewShares = shareLines(preview.out);
    ASSERT_EQ(6u, previewShares.size());
    for (std::size_t i = 0; i < shares.size(); ++i) {
        const std::string name = i % 2 ? "  Chrome: " : "  Firefox: ";
        EXPECT_EQ(0u, shares[i].rfind(name, 0)) << shares[i];
        EXPECT_EQ(0u, previewShares[i].rfind(name, 0)) << previewShares[i];
        EXPECT_EQ(countIn(previewShares[i]), countIn(shares[i]));
    }
    // Firefox's 30 cookies and Chrome's.
    EXPECT_EQ(30, countIn(shares[0]));
    EXPECT_EQ(30, countIn(shares[1]));

    EXPECT_EQ(Traces{}, tracesLeft());
    const std::vector<std::string> left = browserRows();
    EXPECT_EQ((std::vector<std::string>{"0", "10", rows[2], "0", "0", "0", "0", "0"}), left);
    EXPECT_EQ("ok", sqlite3Says(places + "places.sqlite", "PRAGMA integrity_check"));

    const RunReport report = ReadRunReport(RunReportPath());
    ASSERT_EQ(1u, report.runs.size());
    EXPECT_EQ("cbhme", report.runs[0].options);
    EXPECT_EQ(static_cast<std::uint64_t>(removed), report.runs[0].removed);
    EXPECT_EQ(0u, report.runs[0].notRemoved);
    EXPECT_EQ(cleaned.out, report.runs[0].lines);
}

// The preview names every cleaning the letters choose, the removal of the start-up shortcuts
// included, and counts the shortcuts that the run would remove without removing them.
TEST_F(ConsoleCleaningTest, ThePreviewNamesEveryChosenCleaning) {
    readEnglish();
    const std::string shortcut = UserStartupFolder() + kFixedShortcutName;
    ASSERT_TRUE(WriteWholeFile(shortcut, std::string(300, 'x')));

    const ConsoleRun both = run("--preview mr");
    EXPECT_EQ(0, both.status);
    EXPECT_EQ((std::vector<std::string>{
                  utf8Text(kPreviewTitleText),
                  utf8Text(kRunListWord) + ": " + FillIn(GetText(kWouldBeRemovedText), {"0"}),
                  utf8Text(kStartupShortcutsWord) + ": " +
                      FillIn(GetText(kEntryWouldBeRemovedText), {"1"}) + " (1kb)"}),
              both.out);
    const ConsoleRun alone = run("--preview r");
    EXPECT_EQ(0, alone.status);
    EXPECT_EQ((std::vector<std::string>{both.out[0], both.out[2]}), alone.out);
    EXPECT_TRUE(FileExistsA(shortcut));
    EXPECT_FALSE(FileExistsA(RunReportPath()));

    const ConsoleRun removed = run("r");
    EXPECT_EQ(0, removed.status);
    EXPECT_EQ(std::vector<std::string>{utf8Text(kStartupShortcutsWord) + ": " +
                                       FillIn(GetText(kEntryRemovedText), {"1"}) + " (1kb)"},
              removed.out);
    EXPECT_FALSE(FileExistsA(shortcut));
}

// With n the run ends with the summary message instead of its step lines; an entry in use
// stays, and the run says so and ends with status 1. What was not chosen stays.
TEST_F(ConsoleCleaningTest, WhatStaysIsToldAtTheEndAndTheStatusIsOne) {
    addInternetExplorerTraces();
    readEnglish();
    const std::string locked = "http://www.b.example/x.gif";
    ASSERT_TRUE(platform::urlcache::lock(locked));
    const Traces before = tracesLeft();

    const ConsoleRun cleaned = run("bn");
    EXPECT_EQ(1, cleaned.status);
    EXPECT_EQ("", cleaned.err);
    ASSERT_EQ(2u, cleaned.out.size());
    EXPECT_EQ(GetText(kSomeStayedText), cleaned.out[0]);
    EXPECT_EQ("Cache: 2 entries removed (1kb), 1 not removed (in use)", cleaned.out[1]);

    std::vector<std::string> content;
    for (const auto& r : platform::urlcache::list(platform::urlcache::Container::Content))
        content.push_back(r.url);
    EXPECT_EQ(std::vector<std::string>{locked}, content);
    Traces expected = before;
    expected.content = expected.contentFiles = 1;
    EXPECT_EQ(expected, tracesLeft());

    const RunReport report = ReadRunReport(RunReportPath());
    ASSERT_EQ(1u, report.runs.size());
    EXPECT_EQ("bn", report.runs[0].options);
    EXPECT_EQ(2u, report.runs[0].removed);
    EXPECT_EQ(1u, report.runs[0].notRemoved);
}

// A damaged machine is named before anything else, whatever the command line, and the
// runner ends with status 1, never with an abort; the machine is left as it was.
TEST_F(ConsoleCleaningTest, ADamagedMachineIsNamedAndTheStatusIsOneWhateverTheCommandLine) {
    addInternetExplorerTraces();
    readEnglish();
    platform::closeRoot();
    const std::string database = platform.root() + "/platform.db";
    const std::string saved = readHostFile(database);
    std::string junk(8192, '\0');
    std::uint32_t state = 2463534242u;
    for (char& c : junk) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    testing_support::writeHostFile(database, junk);
    for (const char* arguments : {"cbhme", "--preview cb", "--help", "cbx", "-q"}) {
        SCOPED_TRACE(arguments);
        const ConsoleRun refused = run(arguments);
        EXPECT_EQ(1, refused.status);
        EXPECT_TRUE(refused.out.empty());
        EXPECT_EQ(0u, refused.err.rfind("surfkolibri-clean: " + database, 0)) << refused.err;
        EXPECT_EQ(junk, readHostFile(database));
    }
    testing_support::writeHostFile(database, saved);
}

// Names from the browsers' own files reach the console and the report made printable: a
// profile name in Local State with line breaks, a forged report header and escape sequences
// writes no run of its own and steers no terminal, and the next run finds the report whole.
// The part of the browser that was left counts as not removed, in the report's header too.
TEST_F(ConsoleCleaningTest, NamesFromTheBrowsersFilesCannotForgeTheReportOrSteerTheTerminal) {
    seedTodaysBrowsers();
    readEnglish();
    const std::string forged = "### 2030-01-01 00:00:00 | cbhme | 999999 | 0";
    // The name as JSON writes it: "..\x", two line breaks, the header, an escape sequence that
    // retitles a terminal and one that clears it.
    testing_support::writeHostFile(local + "/Google/Chrome/User Data/Local State",
                                   R"({"profile":{"info_cache":{"Default":{},"..\\x\r\n\r\n)" +
                                       forged + R"(\r\n\u001b]0;owned\u0007\u001b[2J":{}}}})");
    const ConsoleRun first = run("h");
    EXPECT_EQ(1, first.status);
    const ConsoleRun second = run("h");
    EXPECT_EQ(1, second.status);
    for (const ConsoleRun* r : {&first, &second}) {
        // The step's line and its note, with Firefox's and Chrome's shares between them.
        const std::vector<std::string> steps = stepLines(r->out);
        ASSERT_EQ(2u, steps.size());
        EXPECT_NE(std::string::npos, steps[1].find(forged));
        EXPECT_EQ(2u, shareLines(r->out).size());
        for (const std::string& line : r->out)
            EXPECT_EQ(std::string::npos, line.find('\x1b')) << line;
    }
    EXPECT_EQ("0", sqlite3Says(chrome + "History", "SELECT count(*) FROM visits"));

    const std::string text = readHostFile(platform.hostPath(RunReportPath()));
    EXPECT_EQ(std::string::npos, text.find('\x1b'));
    const RunReport report = ReadRunReport(RunReportPath());
    EXPECT_FALSE(report.damaged);
    ASSERT_EQ(2u, report.runs.size());
    for (const RunRecord& run : report.runs) {
        EXPECT_EQ("h", run.options);
        EXPECT_EQ(1u, run.notRemoved);
        EXPECT_EQ(2u, stepLines(run.lines).size());
    }
    EXPECT_GT(report.runs[0].removed, 0u);
    EXPECT_EQ(first.out, report.runs[0].lines);
}

// The report cannot be written (here a folder stands where its new file goes; a full disk
// is the crash check's): the run says so, ends with status 1, and the report stays as it was.
TEST_F(ConsoleCleaningTest, AReportThatCannotBeWrittenIsToldAndTheOldOneStays) {
    addInternetExplorerTraces();
    readEnglish();
    run("m");
    ASSERT_TRUE(FileExistsA(RunReportPath()));
    const std::string before = readHostFile(platform.hostPath(RunReportPath()));
    ASSERT_TRUE(CreateDirectoryA((RunReportPath() + ".new").c_str(), nullptr));
    const ConsoleRun cleaned = run("b");
    EXPECT_EQ(1, cleaned.status);
    EXPECT_EQ("surfkolibri-clean: " + FillIn(GetText(kReportNotWrittenText), {"error 5"}) + "\n",
              cleaned.err);
    EXPECT_EQ(before, readHostFile(platform.hostPath(RunReportPath())));
    EXPECT_EQ(0u, tracesLeft().content);
}

// A part of a cleaning that gives way ends alone: what it removed before stays counted, the
// parts after it still run, and its reason is noted, so that the step, the run's status and
// the report's header all say that something stayed.
TEST_F(ConsoleCleaningTest, APartThatGivesWayIsNotedAndCountsAsNotRemoved) {
    readEnglish();
    CleaningResult result;
    CleanPart(result, [&] {
        result.Removed(100);
        throw std::runtime_error("the walk gave way");
    });
    CleanPart(result, [&] { result.Removed(); });
    CleanPart(result, [] { throw 42; });
    EXPECT_EQ(2u, result.removed);
    EXPECT_EQ(100u, result.removedBytes);
    ASSERT_EQ(2u, result.notes.size());
    EXPECT_EQ(FillIn(GetText(kStoppedEarlyText), {"the walk gave way"}), result.notes[0]);
    EXPECT_NE(std::string::npos, result.notes[1].find("unknown error"));
    EXPECT_TRUE(result.Incomplete());

    RunSummary summary;
    summary.total = result;
    summary.steps.push_back({'c', kCookiesWord, result});
    const RunRecord record = RecordOf(summary, "c", SYSTEMTIME{2026, 12, 3, 9, 8, 0, 0, 0});
    EXPECT_EQ(2u, record.removed);
    EXPECT_EQ(2u, record.notRemoved);
    ASSERT_EQ(3u, record.lines.size());
    EXPECT_EQ(AnsiToUtf8(result.notes[0]), record.lines[1]);
}

// The program's preview (the automation page's) and the runner's count alike on the same
// machine: Internet Explorer's entries with one in use, an earlier browser's files.
class ConsoleCleaningBesideTheProgramTest : public AutomationTest {};

TEST_F(ConsoleCleaningBesideTheProgramTest, TheRunnersPreviewShowsWhatTheProgramsPreviewShows) {
    addInternetExplorerTraces();
    addMozillaProfile();
    ASSERT_TRUE(platform::urlcache::lock("http://www.c.example/style.css"));
    start(0);
    std::vector<std::string> program;
    for (const std::string& line :
         SummaryLines(PreviewAutomaticCleaning("cbhme", *Form1->IECache1), CleaningMode::Preview))
        program.push_back(AnsiToUtf8(line));
    ASSERT_EQ(5u, program.size());
    EXPECT_NE(std::string::npos, program[1].find(FillIn(GetText(kWouldStayText), {"1"})));

    // The entry in use would stay: the preview ends with the status the run would end with.
    const ConsoleRun preview = runConsole(platform, "cbhme --preview");
    EXPECT_EQ(1, preview.status);
    ASSERT_EQ(6u, preview.out.size());
    EXPECT_EQ(program, std::vector<std::string>(preview.out.begin() + 1, preview.out.end()));
}

// A browser that is running (here Chrome, whose History another program holds, as the browser
// does while it writes) is left alone whole for the whole run: its cookies and its cache stay
// with its history. The run and its preview name it in every step and end with status 1, the
// report names it; the other browsers are cleaned and counted.
TEST_F(ConsoleCleaningTest, ARunningBrowserIsLeftWholeForTheWholeRun) {
    readEnglish();
    seedTodaysBrowsers();
    const std::string chromeData = local + "/Google/Chrome/User Data";
    const auto chromeBefore = browser_test::snapshot(chromeData);
    browser_test::HeldDatabase chromeWrites(chrome + "History");
    ASSERT_TRUE(chromeWrites.held());

    const std::string running = "Chrome is running: close it to clean it";
    const ConsoleRun preview = run("--preview cbh");
    const ConsoleRun cleaned = run("cbh");
    EXPECT_EQ(0, chromeWrites.Release());

    for (const ConsoleRun* r : {&preview, &cleaned}) {
        EXPECT_EQ(1, r->status);
        EXPECT_EQ(3, std::count(r->out.begin(), r->out.end(), running));
        // Firefox's share of each step; none of Chrome's.
        const std::vector<std::string> shares = shareLines(r->out);
        ASSERT_EQ(3u, shares.size());
        for (const std::string& share : shares)
            EXPECT_EQ(0u, share.rfind("  Firefox: ", 0)) << share;
    }
    EXPECT_EQ(std::vector<std::string>{},
              browser_test::changed(chromeBefore, browser_test::snapshot(chromeData)));
    EXPECT_EQ("0", sqlite3Says(places + "places.sqlite", "SELECT count(*) FROM moz_historyvisits"));
    EXPECT_EQ("0", sqlite3Says(places + "cookies.sqlite", "SELECT count(*) FROM moz_cookies"));
    const RunReport report = ReadRunReport(RunReportPath());
    ASSERT_EQ(1u, report.runs.size());
    EXPECT_EQ(3, std::count(report.runs[0].lines.begin(), report.runs[0].lines.end(), running));
}
