// skplatform: inspect and prepare a platform root (SURFKOLIBRI_PLATFORM).
#include "commands.h"
#include "platform/win32.h"

#include "platform/root.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

struct Command {
    const char* name;
    int (*run)(const skplatform::Args&);
    const char* summary;
};

const Command kCommands[] = {
    {"init", skplatform::runInit, "create the default machine in the root (idempotent)"},
    {"settings", skplatform::runSettings, "show or set the platform settings"},
    {"reg", skplatform::runReg, "query, add, delete, import and export registry keys"},
    {"ls", skplatform::runLs, "list a folder given as a Windows path"},
    {"cat", skplatform::runCat, "print a file given as a Windows path"},
    {"seed-demo", skplatform::runSeedDemo, "fill the root with a lived-in machine"},
    {"cache", skplatform::runCache, "list, add, delete and lock URL cache entries"},
    {"history", skplatform::runHistory, "list, add and clear the URL history"},
    {"lnk", skplatform::runLnk, "create and show shell links (.lnk)"},
    {"hold", skplatform::runHold, "hold a file open without sharing, as a running browser"},
};

void usage(std::FILE* out) {
    std::fprintf(out, "usage: skplatform COMMAND [ARGS...]\n\n"
                      "Works on the platform root named by SURFKOLIBRI_PLATFORM (default:\n"
                      "${XDG_DATA_HOME:-$HOME/.local/share}/surfkolibri/platform).\n\n"
                      "commands:\n");
    for (const auto& c : kCommands)
        std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(out, "\n'skplatform COMMAND --help' describes a command.\n");
}

} // namespace

namespace skplatform {
bool wantsHelp(const Args& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h" || a == "/?") return true;
    return false;
}
} // namespace skplatform

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        usage(stdout);
        return 0;
    }
    CoInitialize(nullptr);
    skplatform::Args args(argv + 2, argv + argc);
    for (const auto& c : kCommands) {
        if (name == c.name) {
            if (!skplatform::wantsHelp(args)) {
                if (const std::string problem = platform::rootProblem(); !problem.empty()) {
                    std::fprintf(stderr, "skplatform %s: %s\n", c.name, problem.c_str());
                    return 3;
                }
            }
            try {
                return c.run(args);
            } catch (const platform::DatabaseError& e) {
                // The message names platform.db and what is wrong with it.
                std::fprintf(stderr, "skplatform %s: %s\n", c.name, e.what());
                return 3;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "skplatform %s: %s\n", c.name, e.what());
                return 1;
            }
        }
    }
    std::fprintf(stderr, "skplatform: unknown command '%s'\n", name.c_str());
    usage(stderr);
    return 2;
}
