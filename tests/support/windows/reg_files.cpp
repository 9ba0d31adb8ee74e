// The .reg files through Windows' own registry editor, run silently as a program of its own.
#include "support/reg_files.h"

#include "platform/win32.h"

namespace testing_support {
namespace {

std::string tempFile(const char* name) {
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(sizeof temp, temp);
    return std::string(temp, n) + "surfkolibri-" + std::to_string(GetCurrentProcessId()) + "-" +
           name;
}

bool runRegedit(const std::string& arguments) {
    std::string command = "regedit.exe " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    const bool done = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return done;
}

} // namespace

bool importRegFile(const std::string& fileBytes) {
    const std::string file = tempFile("import.reg");
    if (!WriteWholeFile(file, fileBytes)) return false;
    const bool ran = runRegedit("/s \"" + file + "\"");
    DeleteFileA(file.c_str());
    return ran;
}

std::string exportRegKey(const std::string& keyPath) {
    const std::string file = tempFile("export.reg");
    DeleteFileA(file.c_str());
    std::string bytes;
    if (runRegedit("/e \"" + file + "\" \"" + keyPath + "\"")) ReadWholeFile(file, bytes);
    DeleteFileA(file.c_str());
    return bytes;
}

} // namespace testing_support
