#include "automation/CleaningRun.h"

#include "automation/CleaningOperations.h"
#include "automation/StartupShortcut.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "traces/TraceClearing.h"

#include <exception>
#include <functional>

namespace {

constexpr int kSuccessText = 167;

} // namespace

RunSummary RunCleanings(const std::string& options, const CleaningComponents& components,
                        CleaningRunView& view, CleaningMode mode) {
    RunSummary summary;
    auto step = [&](char letter, int label, const std::function<CleaningResult()>& cleaning) {
        if (!SelectsStep(options, letter)) return;
        CleaningResult result;
        try {
            result = cleaning();
        } catch (const std::exception&) {
        }
        summary.total += result;
        summary.steps.push_back({letter, label, std::move(result)});
        view.StepDone(letter);
    };
    view.Progress(10);
    step('c', kCookiesWord, [&] { return CleanCookies(components.cookies, mode); });
    view.Progress(20);
    step('b', kCacheWord, [&] { return CleanCache(components.cache, mode); });
    view.Progress(60);
    step('h', kHistoryWord, [&] { return CleanHistory(components.history, mode); });
    view.Progress(80);
    step('m', kRunListWord, [&] { return CleanRunLists(mode); });
    view.Progress(90);
    step('e', kTypedAddressesWord, [&] { return ClearTypedAddresses(mode); });
    if (mode == CleaningMode::Remove)
        step('r', kStartupShortcutsWord, [] { return RemoveStartupShortcuts(); });
    view.Progress(100);
    return summary;
}

std::vector<std::string> SummaryLines(const RunSummary& summary, CleaningMode mode) {
    std::vector<std::string> lines;
    for (const RunStep& step : summary.steps)
        lines.push_back(ResultLine(GetText(step.label), step.result, mode));
    return lines;
}

std::string SummaryMessage(const RunSummary& summary) {
    std::string message = GetText(summary.total.Incomplete() ? kSomeStayedText : kSuccessText);
    for (const std::string& line : SummaryLines(summary))
        message += '\r' + line;
    return message;
}

RunRecord RecordOf(const RunSummary& summary, const std::string& options, const SYSTEMTIME& when) {
    RunRecord record;
    record.when = when;
    record.options = options;
    record.removed = summary.total.removed;
    record.notRemoved = summary.total.notRemoved;
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

void ReportRun(const RunSummary& summary, const std::string& options) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    AppendRunRecord(RunReportPath(), RecordOf(summary, options, now),
                    AnsiToUtf8(GetText(kReportRestartedText)));
}
