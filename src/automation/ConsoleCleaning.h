// The unattended cleaning as a console program (surfkolibri-clean): the program's letters on
// its command line, the same run over components of its own, the run's report in the data
// folder, and its lines on standard output in the user's language, UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The console runner's exit statuses.
enum ConsoleExit {
    kConsoleAllRemoved = 0,
    kConsoleSomethingStayed = 1,
    kConsoleUsageError = 2,
};

// Runs the command line (without the program's name): LETTERS, "--preview LETTERS" (what the
// run would remove, nothing removed, no report, and the status the run would end with) or
// "--help". Without n each step's line is written as the step ends; with n the run's summary
// message follows the run instead. Errors and the usage go to `err`.
int RunConsoleCleaning(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// Has the console show what the runner writes as UTF-8: Windows' console is told so
// (automation/windows/ConsoleOutput.cpp); the host's terminal reads UTF-8 already
// (automation/ConsoleOutput.cpp, beside the hosted runner's entry).
void UseUtf8ConsoleOutput();
