// surfkolibri-clean: the unattended cleaning from a console, without a window.
#include "automation/ConsoleCleaning.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunConsoleCleaning(args, stdout, stderr);
}
