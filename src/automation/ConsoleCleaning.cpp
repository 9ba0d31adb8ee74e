#include "automation/ConsoleCleaning.h"

#include "automation/CleaningOperations.h"
#include "automation/CleaningRun.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "ui/MyTricks.h"

namespace {

const std::string kRunnerName = "surfkolibri-clean";

enum ConsoleText {
    kUsageText = 381,
    kAboutText = 382,
    kSummaryWord = 383,
    kPreviewWord = 384,
    kHelpWord = 385,
    kExitStatusText = 386,
    kNoCleaningText = 387,
};

// Writes ANSI text (lines parted by CR) as UTF-8 lines.
void writeLines(std::FILE* out, const std::string& text) {
    std::string line;
    for (const char c : text + '\r') {
        if (c != '\r') {
            line += c;
            continue;
        }
        std::fputs((AnsiToUtf8(line) + '\n').c_str(), out);
        line.clear();
    }
    std::fflush(out);
}

void writeUsage(std::FILE* out) {
    writeLines(out, FillIn(GetText(kUsageText), {kRunnerName}));
}

void writeHelp(std::FILE* out) {
    writeUsage(out);
    writeLines(out, GetText(kAboutText));
    for (const StepName& step : kRunSteps)
        writeLines(out, std::string("  ") + step.letter + "          " + GetText(step.label));
    writeLines(out, "  n          " + GetText(kSummaryWord));
    writeLines(out, "  --preview  " + GetText(kPreviewWord));
    writeLines(out, "  --help     " + GetText(kHelpWord));
    writeLines(out, GetText(kExitStatusText));
}

// Each step's line as the step ends, unless the run ends with its summary message, which
// holds them all.
class ConsoleView : public CleaningRunView {
  public:
    ConsoleView(std::FILE* out, bool tellsAtTheEnd) : out_(out), tellsAtTheEnd_(tellsAtTheEnd) {}
    void Progress(int) override { ProcessMessages(); }
    void StepDone(const RunStep& step) override {
        if (!tellsAtTheEnd_) writeLines(out_, ResultLine(GetText(step.label), step.result));
    }
    void Tell(const std::string& message) override { writeLines(out_, message); }

  private:
    std::FILE* out_;
    bool tellsAtTheEnd_;
};

class QuietView : public CleaningRunView {
  public:
    void Progress(int) override { ProcessMessages(); }
};

} // namespace

int RunConsoleCleaning(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    UseUtf8ConsoleOutput();
    InitTranslationOrFirstLanguage(ProductName);

    bool preview = false;
    std::string options;
    bool hasOptions = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            writeHelp(out);
            return kConsoleAllRemoved;
        }
        if (arg == "--preview" && !preview) {
            preview = true;
        } else if (!hasOptions && !arg.starts_with("-")) {
            options = arg;
            hasOptions = true;
        } else {
            writeUsage(err);
            return kConsoleUsageError;
        }
    }
    if (!hasOptions || !SelectsCleaning(options)) {
        if (hasOptions) writeLines(err, FillIn(GetText(kNoCleaningText), {options}));
        writeUsage(err);
        return kConsoleUsageError;
    }

    // The machine's state must be readable before anything else (the hosted machine's
    // database; a Windows machine has none).
    if (const std::string problem = HostedMachineProblem(); !problem.empty()) {
        std::fprintf(err, "%s: %s\n", kRunnerName.c_str(), problem.c_str());
        return kConsoleSomethingStayed;
    }
    CoInitialize(nullptr);
    OwnCleaningComponents own;

    if (preview) {
        QuietView view;
        const RunSummary summary =
            RunCleanings(options, own.Components(), view, CleaningMode::Preview);
        writeLines(out, GetText(kPreviewTitleText));
        for (const std::string& line : SummaryLines(summary, CleaningMode::Preview))
            writeLines(out, line);
        // The status the run would end with: a running browser, a damaged database, anything
        // that would stay makes it 1.
        return summary.total.Incomplete() ? kConsoleSomethingStayed : kConsoleAllRemoved;
    }
    // The report's folder, as the program makes it at its start.
    EnsureDataFolders(ProductName, false);
    ConsoleView view(out, SelectsStep(options, 'n'));
    const RunSummary summary = RunUnattended(options, own.Components(), view);
    return summary.total.Incomplete() ? kConsoleSomethingStayed : kConsoleAllRemoved;
}
