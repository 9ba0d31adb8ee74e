// init, settings, ls, cat and seed-demo.
#include "commands.h"

#include "platform/ansi.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace skplatform {
namespace {

namespace registry = platform::registry;

std::string fromArg(const std::string& arg) {
    return platform::utf8ToAnsi(arg);
}
std::string forTerminal(const std::string& ansi) {
    return platform::ansiToUtf8(ansi);
}

int usageError(const char* command, const std::string& message) {
    std::fprintf(stderr, "skplatform %s: %s\n", command, message.c_str());
    std::fprintf(stderr, "'skplatform %s --help' describes the syntax.\n", command);
    return 2;
}

int failure(const char* command, const std::string& message) {
    std::fprintf(stderr, "skplatform %s: %s\n", command, forTerminal(message).c_str());
    return 1;
}

// Rejects options, so that a mistyped flag is not taken for a path.
bool checkNoOptions(const char* command, const Args& args, int& exitCode) {
    for (const auto& a : args)
        if (a.size() > 1 && a[0] == '-') {
            exitCode = usageError(command, "unknown option '" + a + "'");
            return false;
        }
    return true;
}

// "RHSAL" with '-' for each attribute that is not set.
std::string attributeLetters(DWORD attributes) {
    const std::pair<DWORD, char> letters[] = {
        {FILE_ATTRIBUTE_READONLY, 'R'},      {FILE_ATTRIBUTE_HIDDEN, 'H'},
        {FILE_ATTRIBUTE_SYSTEM, 'S'},        {FILE_ATTRIBUTE_ARCHIVE, 'A'},
        {FILE_ATTRIBUTE_REPARSE_POINT, 'L'},
    };
    std::string text;
    for (const auto& [bit, letter] : letters)
        text += (attributes & bit) ? letter : '-';
    return text;
}

// ---- settings ----------------------------------------------------------------------------

bool validSetting(const std::string& name, const std::string& value, std::string& message) {
    if (name == "admin" || name == "wininet") {
        if (value == "yes" || value == "no") return true;
        message = "'" + value + "' is not a value for " + name + " (yes or no)";
        return false;
    }
    if (name == "shell-execute") {
        if (value == "launch" || value == "record") return true;
        message = "'" + value + "' is not a value for shell-execute (launch or record)";
        return false;
    }
    if (name == "clock-offset") {
        std::int64_t milliseconds = 0;
        if (platform::parseClockOffset(value, milliseconds)) return true;
        message = "'" + value + "' is not a number of seconds (at most three decimals) for " +
                  "clock-offset";
        return false;
    }
    if (name == "user") {
        // The name becomes a folder below C:\Users.
        const bool bad = value.empty() || value == "." || value == ".." ||
                         value.find_first_of("\\/:*?\"<>|") != std::string::npos ||
                         value.back() == ' ' || value.back() == '.';
        bool control = false;
        for (unsigned char c : value)
            control = control || c < 0x20;
        if (!bad && !control) return true;
        message = "'" + value + "' cannot be a Windows user name";
        return false;
    }
    if (value.empty()) {
        message = "the " + name + " format cannot be empty";
        return false;
    }
    return true;
}

const char* const kSettingsHelp =
    "usage: skplatform settings [NAME [VALUE]]\n\n"
    "Without NAME lists every platform setting; with NAME shows one; with VALUE sets it.\n\n"
    "  user           the Windows user name (names the folder below C:\\Users)\n"
    "  admin          yes/no: the user is an administrator (may write HKLM, set the clock,\n"
    "                 change the all-users Startup folder)\n"
    "  wininet        yes/no: WinINet is present\n"
    "  shell-execute  launch/record: ShellExecute starts programs or only logs them\n"
    "  clock-offset   seconds added to the host clock (to the millisecond: 86400.25)\n"
    "  short-date     the short date format (for example dd.MM.yyyy)\n"
    "  long-time      the long time format (for example HH:mm:ss)\n";

} // namespace

int runInit(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("usage: skplatform init\n\nCreates the default machine in the root; running "
                    "it again changes nothing.\n");
        return 0;
    }
    if (!args.empty()) return usageError("init", "unexpected argument '" + args[0] + "'");
    platform::rootPath();
    platform::createDefaultMachine();
    std::printf("%s\n", platform::rootPath().c_str());
    return 0;
}

int runSettings(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("%s", kSettingsHelp);
        return 0;
    }
    if (args.size() > 2) return usageError("settings", "unexpected argument '" + args[2] + "'");
    if (args.empty()) {
        for (const auto& name : platform::settingNames())
            std::printf("%-14s %s\n", name.c_str(), forTerminal(platform::setting(name)).c_str());
        return 0;
    }
    const std::string& name = args[0];
    if (!platform::isKnownSetting(name))
        return usageError("settings", "unknown setting '" + name + "'");
    if (args.size() == 1) {
        std::printf("%s\n", forTerminal(platform::setting(name)).c_str());
        return 0;
    }
    const std::string value = fromArg(args[1]);
    std::string message;
    if (!validSetting(name, value, message)) return usageError("settings", forTerminal(message));
    platform::setSetting(name, value);
    return 0;
}

int runLs(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("usage: skplatform ls PATH\n\nLists a folder (or shows one file) given as a "
                    "Windows path, such as C:\\Users\\User\\Favorites; a last\n"
                    "component with * or ? lists the matching entries.\n"
                    "Columns: last write time (local), attributes (R read-only, H hidden,\n"
                    "S system, A archive, L link; - where not set), <DIR> or the size in bytes,\n"
                    "name.\n");
        return 0;
    }
    int exitCode = 0;
    if (!checkNoOptions("ls", args, exitCode)) return exitCode;
    if (args.size() != 1)
        return usageError("ls", args.empty() ? "a PATH is needed"
                                             : "unexpected argument '" + args[1] + "'");
    std::string path = fromArg(args[0]);
    const bool pattern = path.find_first_of("*?") != std::string::npos;
    const DWORD attributes = pattern ? 0 : GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return failure("ls", "'" + path + "' does not exist");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (path.back() != '\\' && path.back() != '/') path += '\\';
        path += '*';
    }
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA(path.c_str(), &found));
    if (!find.valid())
        return GetLastError() == ERROR_FILE_NOT_FOUND
                   ? 0
                   : failure("ls", "cannot list '" + path + "' (error " +
                                       std::to_string(GetLastError()) + ")");
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        FILETIME local;
        SYSTEMTIME t{};
        FileTimeToLocalFileTime(&found.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        char size[24];
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            std::snprintf(size, sizeof size, "%-14s", "<DIR>");
        else
            std::snprintf(size, sizeof size, "%14llu",
                          (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) |
                              found.nFileSizeLow);
        std::printf("%04u-%02u-%02u %02u:%02u  %s  %s  %s\n", t.wYear, t.wMonth, t.wDay, t.wHour,
                    t.wMinute, attributeLetters(found.dwFileAttributes).c_str(), size,
                    forTerminal(name).c_str());
    } while (FindNextFileA(find.get(), &found));
    return 0;
}

int runCat(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("usage: skplatform cat PATH\n\nWrites a file given as a Windows path to "
                    "standard output, byte for byte.\n");
        return 0;
    }
    int exitCode = 0;
    if (!checkNoOptions("cat", args, exitCode)) return exitCode;
    if (args.size() != 1)
        return usageError("cat", args.empty() ? "a PATH is needed"
                                              : "unexpected argument '" + args[1] + "'");
    const std::string path = fromArg(args[0]);
    if (DirectoryExistsA(path)) return failure("cat", "'" + path + "' is a folder");
    std::string contents;
    if (!ReadWholeFile(path, contents))
        return failure("cat",
                       "cannot read '" + path + "' (error " + std::to_string(GetLastError()) + ")");
    std::fwrite(contents.data(), 1, contents.size(), stdout);
    return 0;
}

} // namespace skplatform

namespace skplatform {

int runHold(const Args& args) {
    if (wantsHelp(args)) {
        std::printf("usage: skplatform hold PATH [--seconds N]\n\nOpens a file given as a "
                    "Windows path for reading and writing without sharing, as a running\n"
                    "browser holds its lock file, and keeps it open for N seconds (default 60).\n"
                    "Prints \"holding PATH\" once the file is held. Every other open of the\n"
                    "file fails with a sharing violation meanwhile, in every process on the\n"
                    "root. The file is created when it is missing.\n");
        return 0;
    }
    std::string path;
    long seconds = 60;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seconds" && i + 1 < args.size()) {
            char* end = nullptr;
            seconds = std::strtol(args[i + 1].c_str(), &end, 10);
            if (!end || *end || seconds < 0 || seconds > 86400)
                return usageError("hold", "--seconds takes a number from 0 to 86400");
            ++i;
        } else if (path.empty() && args[i].rfind("--", 0) != 0) {
            path = fromArg(args[i]);
        } else {
            return usageError("hold", "unexpected argument '" + args[i] + "'");
        }
    }
    if (path.empty()) return usageError("hold", "a PATH is needed");
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failure("hold",
                       "cannot hold '" + path + "' (error " + std::to_string(GetLastError()) + ")");
    std::printf("holding %s\n", path.c_str());
    std::fflush(stdout);
    // The root is not needed meanwhile: another process may write it.
    platform::closeRoot();
    for (long i = 0; i < seconds; ++i)
        Sleep(1000);
    CloseHandle(file);
    return 0;
}

} // namespace skplatform
