#include "ui/CommandLine.h"

namespace {
std::vector<std::string> g_arguments;
}

void SetCommandLine(const std::vector<std::string>& arguments) {
    g_arguments = arguments;
}

int ParamCount() {
    return static_cast<int>(g_arguments.size());
}

std::string ParamStr(int index) {
    return index >= 1 && index <= ParamCount() ? g_arguments[static_cast<std::size_t>(index - 1)]
                                               : std::string();
}

RunMode DecideRunMode(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "uninstall" || args[0] == "/uninstall"))
        return RunMode::Uninstall;
    return args.size() == 1 ? RunMode::Unattended : RunMode::Interactive;
}

RunMode CurrentRunMode() {
    return DecideRunMode(g_arguments);
}

#include "platform/win32.h"

std::string ProgramFilePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}
