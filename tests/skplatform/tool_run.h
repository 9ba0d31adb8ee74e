// Runs the built skplatform against a platform root and collects what it printed.
#pragma once

#include "platform/root.h"
#include "support/platform_fixture.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace skplatform_test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline ToolRun runTool(const std::string& root, const std::vector<std::string>& args) {
    // The child opens the root itself; ours reopens at the next platform call.
    platform::closeRoot();
    const std::string out = root + "-out";
    const std::string err = root + "-err";
    std::string command = "SURFKOLIBRI_PLATFORM=" + quoted(root) + " " +
                          quoted(std::string(SURFKOLIBRI_BUILD_DIR) + "/skplatform");
    for (const auto& a : args)
        command += " " + quoted(a);
    command += " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
    ToolRun run;
    const int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = testing_support::readHostFile(out);
    run.err = testing_support::readHostFile(err);
    return run;
}

} // namespace skplatform_test
