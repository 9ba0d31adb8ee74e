#include "automation/CleaningRun.h"

#include "automation/CleaningOperations.h"
#include "automation/StartupShortcut.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "traces/TraceClearing.h"

#include <exception>
#include <functional>
#include <memory>

namespace {

constexpr int kSuccessText = 167;
constexpr int kSuccessMessageWord = 462;

int labelOf(char letter) {
    for (const StepName& step : kRunSteps)
        if (step.letter == letter) return step.label;
    return 0;
}

} // namespace

RunSummary RunCleanings(const std::string& options, const CleaningComponents& components,
                        CleaningRunView& view, CleaningMode mode) {
    RunSummary summary;
    // Today's browsers are looked at once for the whole run: one that is running is left
    // alone in every step, and none can start meanwhile.
    std::unique_ptr<BrowserSession> browsers;
    if (SelectsStep(options, 'c') || SelectsStep(options, 'b') || SelectsStep(options, 'h'))
        browsers = std::make_unique<BrowserSession>(mode);
    auto step = [&](char letter, const std::function<CleaningResult()>& cleaning) {
        if (!SelectsStep(options, letter)) return;
        CleaningResult result;
        CleanPart(result, [&] { result = cleaning(); });
        summary.total += result;
        summary.steps.push_back({letter, labelOf(letter), std::move(result)});
        view.StepDone(summary.steps.back());
    };
    view.Progress(10);
    step('c', [&] { return CleanCookies(components.cookies, mode, browsers.get()); });
    view.Progress(20);
    step('b', [&] { return CleanCache(components.cache, mode, browsers.get()); });
    view.Progress(60);
    step('h', [&] { return CleanHistory(components.history, mode, browsers.get()); });
    view.Progress(80);
    step('m', [&] { return CleanRunLists(mode); });
    view.Progress(90);
    step('e', [&] { return ClearTypedAddresses(mode); });
    step('r', [&] { return RemoveStartupShortcuts(mode); });
    view.Progress(100);
    return summary;
}

RunSummary RunUnattended(const std::string& options, const CleaningComponents& components,
                         CleaningRunView& view) {
    RunSummary summary = RunCleanings(options, components, view);
    // A run that selects nothing (a dropped document, a mistyped letter) leaves no report.
    if (SelectsCleaning(options) && !ReportRun(summary, options)) {
        summary.reportProblem =
            FillIn(GetText(kReportNotWrittenText), {WriteErrorText(GetLastError())});
        summary.total.Note(summary.reportProblem);
    }
    if (SelectsStep(options, 'n')) view.Tell(SummaryMessage(summary));
    return summary;
}

OwnCleaningComponents::OwnCleaningComponents() {
    SetUpCookieComponent(cookies_);
    SetUpContentComponent(cache_);
    try {
        history_.Loaded();
    } catch (const EOleSysError&) {
        // Without the history service the history cleaning says so and cleans the rest.
    }
}

std::vector<std::string> SummaryLines(const RunSummary& summary, CleaningMode mode) {
    std::vector<std::string> lines;
    for (const RunStep& step : summary.steps)
        lines.push_back(ResultLine(GetText(step.label), step.result, mode));
    return lines;
}

std::string OptionsInWords(const std::string& options) {
    std::string words;
    const auto add = [&](char letter, int word) {
        if (options.find(letter) == std::string::npos) return;
        if (!words.empty()) words += ", ";
        words += GetText(word);
    };
    for (const StepName& step : kRunSteps)
        add(step.letter, step.label);
    add('n', kSuccessMessageWord);
    return words;
}

std::string SummaryMessage(const RunSummary& summary) {
    std::string message = GetText(summary.total.Incomplete() ? kSomeStayedText : kSuccessText);
    // Without any language file the older text is missing; the newer one has English built in.
    if (message.empty()) message = GetText(kAllRemovedText);
    for (const std::string& line : SummaryLines(summary))
        message += '\r' + line;
    return message;
}

RunRecord RecordOf(const RunSummary& summary, const std::string& options, const SYSTEMTIME& when) {
    RunRecord record;
    record.when = when;
    record.options = options;
    record.removed = summary.total.removed;
    // A part left whole (a running browser, a damaged database, a step that gave way) is
    // something that stayed, as the run's status says: each note counts.
    record.notRemoved = summary.total.notRemoved + summary.total.notes.size();
    for (const std::string& line : SummaryLines(summary)) {
        // A note sits on a line of its own.
        std::size_t start = 0;
        for (std::size_t cr = line.find('\r');; cr = line.find('\r', start)) {
            record.lines.push_back(AnsiToUtf8(line.substr(start, cr - start)));
            if (cr == std::string::npos) break;
            start = cr + 1;
        }
    }
    return record;
}

bool ReportRun(const RunSummary& summary, const std::string& options) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return AppendRunRecord(RunReportPath(), RecordOf(summary, options, now),
                           AnsiToUtf8(GetText(kReportRestartedText)));
}
