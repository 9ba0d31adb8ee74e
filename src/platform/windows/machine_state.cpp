// A Windows machine keeps no state of ours: nothing to report.
#include "platform/win32.h"

std::string HostedMachineProblem() {
    return {};
}
