// ShellExecuteA and mciSendStringA: launch detached on the host, or only log in record mode.
#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

using namespace platform;

namespace {

HINSTANCE shellResult(INT_PTR code) {
    return reinterpret_cast<HINSTANCE>(code);
}

bool isAddress(const std::string& target) {
    const auto colon = target.find(':');
    // "C:\..." is a path; a scheme has at least two letters.
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = target[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+' || c == '-' || c == '.'))
            return false;
    }
    return true;
}

// The host's program of that name along its PATH; none when it has no such program.
std::optional<HostPath> findInPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const HostPath candidate = HostPath(dirs.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string> splitParameters(const std::string& text) {
    std::vector<std::string> args;
    std::string current;
    bool quoted = false;
    bool any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) args.push_back(current);
            current.clear();
            any = false;
        } else {
            current.push_back(c);
            any = true;
        }
    }
    if (any) args.push_back(current);
    return args;
}

// Starts a program detached from this process (double fork, so no zombie is left).
// `directory` empty: the program starts in this process's own.
bool spawnDetached(const std::vector<std::string>& argv, const HostPath& directory) {
    if (argv.empty()) return false;
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::fork() != 0) ::_exit(0);
        ::setsid();
        if (!directory.empty() && ::chdir(directory.c_str()) != 0) ::_exit(127);
        const int devnull = ::open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            ::dup2(devnull, 0);
            ::dup2(devnull, 1);
            ::dup2(devnull, 2);
        }
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return true;
}

} // namespace

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT) {
    return platform::guardedCall<HINSTANCE>(shellResult(SE_ERR_ACCESSDENIED), [&]() -> HINSTANCE {
        const std::string verb = operation ? operation : "";
        const std::string target = file ? file : "";
        const std::string params = parameters ? parameters : "";
        const std::string dir = directory ? directory : "";
        if (target.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return shellResult(SE_ERR_FNF);
        }
        // What the host opens: an address as it is, a file by its host path.
        std::string hostTarget = target;
        bool executable = false;
        if (!isAddress(target)) {
            const Result<HostPath> resolved = resolvePath(target);
            struct stat st;
            if (!resolved || ::stat(resolved->c_str(), &st) != 0) {
                SetLastError(ERROR_FILE_NOT_FOUND);
                return shellResult(SE_ERR_FNF);
            }
            hostTarget = resolved->str();
            executable = S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
        }
        HostPath hostDirectory;
        if (!dir.empty()) {
            Result<HostPath> resolved = resolvePath(dir);
            if (!resolved) {
                SetLastError(ERROR_PATH_NOT_FOUND);
                return shellResult(SE_ERR_PNF);
            }
            hostDirectory = std::move(resolved).value();
        }
        if (recordShell()) {
            logShell({"execute", verb, target, params, dir});
            return shellResult(33);
        }
        std::vector<std::string> argv;
        if (executable) {
            argv.push_back(hostTarget);
            for (const auto& p : splitParameters(params))
                argv.push_back(p);
        } else {
            const std::optional<HostPath> opener = findInPath("xdg-open");
            if (!opener) {
                SetLastError(ERROR_FILE_NOT_FOUND);
                return shellResult(SE_ERR_NOASSOC);
            }
            argv = {opener->str(), hostTarget};
        }
        if (!spawnDetached(argv, hostDirectory)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return shellResult(0);
        }
        return shellResult(42);
    });
}

DWORD mciSendStringA(LPCSTR command, LPSTR returnString, UINT returnLength, HWND) {
    return platform::guardedCall<DWORD>(DWORD{272}, [&]() -> DWORD {
        constexpr DWORD kUnrecognizedCommand = 261;
        constexpr DWORD kFileNotFound = 275;
        if (returnString && returnLength) returnString[0] = '\0';
        std::string text = command ? command : "";
        if (text.size() < 5 || !AnsiSameText(text.substr(0, 5), "play "))
            return kUnrecognizedCommand;
        std::string name = text.substr(5);
        while (!name.empty() && name.front() == ' ')
            name.erase(name.begin());
        if (!name.empty() && name.front() == '"') {
            const auto close = name.find('"', 1);
            name = name.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        } else if (const auto space = name.find(' '); space != std::string::npos) {
            name = name.substr(0, space); // "wait", "notify" and the like are not needed here
        }
        const Result<HostPath> host = resolvePath(name);
        struct stat st;
        if (!host || ::stat(host->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return kFileNotFound;
        if (recordShell()) {
            char cwd[MAX_PATH];
            GetCurrentDirectoryA(MAX_PATH, cwd);
            logShell({"sound", "play", name, "", cwd});
            return 0;
        }
        // Asynchronous with whatever player the host has; silent without one.
        for (const char* player : {"paplay", "aplay", "pw-play"}) {
            const std::optional<HostPath> program = findInPath(player);
            if (!program) continue;
            std::vector<std::string> argv{program->str()};
            if (std::strcmp(player, "aplay") == 0) argv.push_back("-q");
            argv.push_back(host->str());
            spawnDetached(argv, HostPath());
            break;
        }
        return 0;
    });
}
