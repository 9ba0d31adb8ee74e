// surfkolibri-clean: the unattended cleaning from a console, without a window.
#include "automation/ConsoleCleaning.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The runner ends with 0, 1 or 2 and nothing else: what escapes the run (it catches what
    // it can name) still ends as a run that could not remove everything.
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        return RunConsoleCleaning(args, stdout, stderr);
    } catch (...) {
        std::fputs("surfkolibri-clean: the run ended unexpectedly\n", stderr);
        return kConsoleSomethingStayed;
    }
}
