#include "automation/ConsoleCleaning.h"

#include "automation/CleaningOperations.h"
#include "automation/CleaningRun.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "ui/MyTricks.h"

#include <exception>

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
    kUnknownLettersText = 463,
};

// The letters that choose nothing, each once, parted by blanks ("q x").
std::string spacedLetters(const std::string& letters) {
    std::string text;
    for (const char c : letters) {
        if (!text.empty()) text += ' ';
        text += c;
    }
    return text;
}

// Writes ANSI text (lines parted by CR) as UTF-8 lines, each made printable: a name in it may
// come from another program's file.
void writeLines(std::FILE* out, const std::string& text) {
    std::string line;
    for (const char c : text + '\r') {
        if (c != '\r') {
            line += c;
            continue;
        }
        std::fputs((AnsiToUtf8(PrintableText(line)) + '\n').c_str(), out);
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

// A problem of the machine or the run, on a line of its own after the runner's name.
void writeProblem(std::FILE* err, const std::string& problem) {
    std::fprintf(err, "%s: %s\n", kRunnerName.c_str(), problem.c_str());
    std::fflush(err);
}

int runCommandLine(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

} // namespace

int RunConsoleCleaning(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    UseUtf8ConsoleOutput();
    try {
        // The machine's state must be readable before anything else, the texts of the
        // language included (the hosted machine's database; a Windows machine has none).
        if (const std::string problem = HostedMachineProblem(); !problem.empty()) {
            writeProblem(err, problem);
            return kConsoleSomethingStayed;
        }
        return runCommandLine(args, out, err);
    } catch (const std::exception& e) {
        // Whatever gave way (a machine that went bad during the run, memory) ends the run
        // with its reason, never with an abort.
        writeProblem(err, e.what());
    } catch (...) {
        writeProblem(err, "unknown error");
    }
    return kConsoleSomethingStayed;
}

namespace {

int runCommandLine(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
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
        // Letters it does not know are named: the others would not run without them either.
        if (const std::string unknown = UnknownOptionLetters(options); !unknown.empty())
            writeLines(err,
                       FillIn(GetText(kUnknownLettersText), {options, spacedLetters(unknown)}));
        else if (hasOptions)
            writeLines(err, FillIn(GetText(kNoCleaningText), {options}));
        writeUsage(err);
        return kConsoleUsageError;
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
    if (!summary.reportProblem.empty()) writeProblem(err, AnsiToUtf8(summary.reportProblem));
    return summary.total.Incomplete() ? kConsoleSomethingStayed : kConsoleAllRemoved;
}

} // namespace
