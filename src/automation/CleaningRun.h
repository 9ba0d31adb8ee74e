// The unattended run's cleanings in their fixed order, without a window: the program runs them
// under its busy window, the console runner under text lines, and the preview runs them
// without removing anything. Whoever shows the run gets its progress and its steps.
#pragma once

#include "automation/RunReport.h"
#include "cache/IECache.h"
#include "lang/CleaningText.h"
#include "traces/UrlHistory.h"
#include "ui/CleaningResult.h"

#include <string>
#include <vector>

// The run's steps in their order: each one's letter and the text number of its name.
struct StepName {
    char letter;
    int label;
};
inline constexpr StepName kRunSteps[] = {{'c', kCookiesWord},        {'b', kCacheWord},
                                         {'h', kHistoryWord},        {'m', kRunListWord},
                                         {'e', kTypedAddressesWord}, {'r', kStartupShortcutsWord}};

struct RunStep {
    char letter;
    int label; // the text number of the cleaning's name
    CleaningResult result;
};

// What shows a run: its progress, its steps, and the message that ends it when the letters
// ask for one (the program's message window, the console runner's standard output).
class CleaningRunView {
  public:
    virtual ~CleaningRunView() = default;
    // The run's progress, 0 to 100.
    virtual void Progress(int percent) = 0;
    // A step's cleaning has ended (its letter as in the run's options).
    virtual void StepDone(const RunStep& step) { (void)step; }
    // Tells the user how the run went (ANSI, lines parted by CR).
    virtual void Tell(const std::string& message) { (void)message; }
};

// The components the run works with: the cookie window's cache component, the main window's,
// the history window's history.
struct CleaningComponents {
    TIECache& cookies;
    TIECache& cache;
    TUrlHistory& history;
};

// The components made for a run of its own, without the windows that hold the program's, set
// up as those windows set up theirs.
class OwnCleaningComponents {
  public:
    OwnCleaningComponents();
    CleaningComponents Components() { return {cookies_, cache_, history_}; }

  private:
    TIECache cookies_;
    TIECache cache_;
    TUrlHistory history_;
};

struct RunSummary {
    std::vector<RunStep> steps;
    CleaningResult total;
    // Why the run's report could not be written (a line for the user), or empty; such a run
    // counts as one that left something, and the report stays as it was.
    std::string reportProblem;
};

// Runs the steps the letters select, in the order c b h m e r, each ending by itself whatever
// goes wrong in it. In Preview nothing is removed, the start-up shortcuts included.
RunSummary RunCleanings(const std::string& options, const CleaningComponents& components,
                        CleaningRunView& view, CleaningMode mode = CleaningMode::Remove);
// The unattended run as a whole: the cleanings, the report of a run whose letters select one,
// then the summary told through the view when the letters ask for it (n).
RunSummary RunUnattended(const std::string& options, const CleaningComponents& components,
                         CleaningRunView& view);
// One line per step in the current language (ANSI), as the report and the messages show it.
std::vector<std::string> SummaryLines(const RunSummary& summary,
                                      CleaningMode mode = CleaningMode::Remove);
// What the letters chose, in words of the current language and in the run's order ("Cookies,
// Cache, success message"); characters that are no option letters are left out.
std::string OptionsInWords(const std::string& options);
// The message that ends a run: that it finished, or that it could not remove everything, then
// its lines.
std::string SummaryMessage(const RunSummary& summary);
// The run as a report block, stamped with `when` (local time).
RunRecord RecordOf(const RunSummary& summary, const std::string& options, const SYSTEMTIME& when);
// Appends the run to the report in the data folder; false (the last error set) when the
// report could not be written, which leaves it as it was.
bool ReportRun(const RunSummary& summary, const std::string& options);
