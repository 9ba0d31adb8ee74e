#include "ui/ClickSound.h"

#include "platform/win32.h"

#include <string>

namespace {

// The folder of the program file, with a trailing backslash; empty when it cannot be had.
std::string programFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const auto slash = folder.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return folder.substr(0, slash + 1);
}

} // namespace

void PlayClickSound() {
    char previous[MAX_PATH];
    const DWORD previousLength = GetCurrentDirectoryA(MAX_PATH, previous);
    const bool remembered = previousLength > 0 && previousLength < MAX_PATH;

    const std::string folder = programFolder();
    // The sound is named relative to the program folder, so it has to be current meanwhile.
    if (!folder.empty() && SetCurrentDirectoryA(folder.c_str())) {
        if (FileExistsA(folder + "clck.wav")) mciSendStringA("play clck.wav", nullptr, 0, nullptr);
    }
    if (remembered) SetCurrentDirectoryA(previous);
}
