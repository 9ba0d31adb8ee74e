#include "shell/CommandLine.h"

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

#include "platform/win32.h"

std::string ProgramFilePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}
