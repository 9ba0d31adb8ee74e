// init, settings, ls, cat, reg and seed-demo.
#include "commands.h"

#include "platform/root.h"

#include <cstdio>

namespace skplatform {

int runInit(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("usage: skplatform init\n\nCreates the default machine in the root; running "
                    "it again changes nothing.\n");
        return 0;
    }
    platform::rootPath();
    platform::createDefaultMachine();
    std::printf("%s\n", platform::rootPath().c_str());
    return 0;
}

int runSettings(const Args&) { return 1; }
int runReg(const Args&) { return 1; }
int runLs(const Args&) { return 1; }
int runCat(const Args&) { return 1; }
int runSeedDemo(const Args&) {
    seedDemoCache();
    return 0;
}

} // namespace skplatform
