#include "platform/paths.h"

#include "platform/ansi.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform {
namespace {

std::string g_currentDirectory;

std::string initialCurrentDirectory() {
    std::vector<char> buffer(4096);
    if (::getcwd(buffer.data(), buffer.size())) return windowsPathOf(HostPath(buffer.data()));
    return "C:\\";
}

bool exists(const HostPath& hostPath) {
    struct stat st;
    return ::lstat(hostPath.c_str(), &st) == 0;
}

// A network path naming a server and a share (\\server\share...), not a device path (\\.\ or
// \\?\). The hosted machine has no network: every such share is out of its reach.
bool namesShare(const std::string& path) {
    const std::size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return false;
    const std::string server = path.substr(2, serverEnd - 2);
    if (server == "." || server == "?") return false;
    const std::size_t shareEnd = path.find('\\', serverEnd + 1);
    return (shareEnd == std::string::npos ? path.size() : shareEnd) > serverEnd + 1;
}

// A Windows path taken apart: its drive letter and its normalised components.
struct SplitPath {
    char drive = 0;
    std::vector<std::string> components;
};

// Splits an absolute or relative Windows path; fails when the path cannot be taken apart or
// climbs above its drive.
Result<SplitPath> split(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '/') c = '\\';
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\')
        return Failure{namesShare(p) ? ERROR_BAD_NETPATH : ERROR_BAD_PATHNAME};
    SplitPath out;
    char& drive = out.drive;
    std::vector<std::string>& components = out.components;
    std::string rest;
    if (p.size() >= 2 && p[1] == ':' &&
        ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
        drive = static_cast<char>(p[0] & ~0x20);
        rest = p.substr(2);
    } else {
        if (g_currentDirectory.empty()) g_currentDirectory = initialCurrentDirectory();
        drive = g_currentDirectory[0];
        rest = !p.empty() && p[0] == '\\' ? p : g_currentDirectory.substr(2) + "\\" + p;
    }
    components.clear();
    const std::string_view names(rest);
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find('\\', start);
        if (end == std::string_view::npos) end = names.size();
        const std::string_view part = names.substr(start, end - start);
        if (part == "..") {
            if (components.empty()) return Failure{ERROR_PATH_NOT_FOUND};
            components.pop_back();
        } else if (!part.empty() && part != ".") {
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return out;
}

// Characters that no Windows file name may hold; such a name must not reach the host,
// which would take it.
bool isValidNameCharacter(unsigned char c) {
    return !(c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' ||
             c == '*');
}

bool isValidComponent(const std::string& name) {
    for (unsigned char c : name)
        if (!isValidNameCharacter(c)) return false;
    return true;
}

// An absolute path that is its own normal form but for the drive letter's case: a drive, a
// backslash, then names (none "." or "..") between single backslashes, no slash, no trailing
// backslash. Most paths the program hands around are such; they need not be taken apart.
bool alreadyFull(const std::string& path) {
    if (path.size() < 4 || path[1] != ':' || path[2] != '\\' ||
        !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return false;
    const char* const end = path.data() + path.size();
    if (std::memchr(path.data(), '/', path.size())) return false;
    // Name by name: none empty, none "." or "..".
    for (const char* name = path.data() + 3;;) {
        const void* found = std::memchr(name, '\\', static_cast<std::size_t>(end - name));
        const char* next = found ? static_cast<const char*>(found) : end;
        const std::size_t length = static_cast<std::size_t>(next - name);
        if (length == 0 || (name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.'))))
            return false;
        if (next == end) return true;
        name = next + 1;
    }
}

// The characters that may stand in the names of an already full path passed to the host as
// it is: ASCII allowed in Windows names, and the backslash between them.
struct PlainNameCharacters {
    bool plain[256] = {};
    PlainNameCharacters() {
        for (int c = 0; c < 0x80; ++c)
            plain[c] = c == '\\' || isValidNameCharacter(static_cast<unsigned char>(c));
    }
};

// The characters of an already full path (see alreadyFull) past its drive are ASCII and
// allowed in Windows names.
bool plainAsciiNames(const std::string& path) {
    static const PlainNameCharacters table;
    for (std::size_t i = 3; i < path.size(); ++i)
        if (!table.plain[static_cast<unsigned char>(path[i])]) return false;
    return true;
}

const HostPath& driveBase(char drive) {
    static const HostPath hostRoot; // Z: is the host's root
    return drive == 'C' ? driveCPath() : hostRoot;
}

} // namespace

namespace {

// A Windows path taken apart, and the host path as it spells it.
struct SpelledPath {
    SplitPath split;
    HostPath direct;
};

Result<SpelledPath> spell(const std::string& windowsPath) {
    if (windowsPath.empty()) return Failure{ERROR_PATH_NOT_FOUND};
    Result<SplitPath> parts = split(windowsPath);
    if (!parts) return Failure{parts.error()};
    if (parts->drive != 'C' && parts->drive != 'Z') return Failure{ERROR_PATH_NOT_FOUND};
    for (const auto& c : parts->components)
        if (!isValidComponent(c)) return Failure{ERROR_INVALID_NAME};
    // Joined in one string: a path of many components is spelled for every file call.
    const bool ascii = std::all_of(windowsPath.begin(), windowsPath.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string direct = driveBase(parts->drive).str();
    direct.reserve(direct.size() + windowsPath.size() + 1);
    for (const auto& c : parts->components) {
        direct += '/';
        if (ascii)
            direct += c;
        else
            direct += ansiToUtf8(c);
    }
    if (direct.empty()) direct = "/";
    return SpelledPath{std::move(parts).value(), HostPath(std::move(direct))};
}

} // namespace

Result<HostPath> spelledHostPath(const std::string& windowsPath) {
    // The usual path needs no taking apart: its names go to the host as they are.
    if (alreadyFull(windowsPath) && plainAsciiNames(windowsPath)) {
        const char drive = static_cast<char>(windowsPath[0] & ~0x20);
        if (drive == 'C' || drive == 'Z') {
            const std::string& base = driveBase(drive).str();
            std::string direct;
            direct.reserve(base.size() + windowsPath.size());
            direct += base;
            direct.append(windowsPath, 2);
            std::replace(direct.begin() + static_cast<std::ptrdiff_t>(base.size()), direct.end(),
                         '\\', '/');
            return HostPath(std::move(direct));
        }
    }
    Result<SpelledPath> spelled = spell(windowsPath);
    if (!spelled) return Failure{spelled.error()};
    return std::move(spelled->direct);
}

Result<HostPath> resolvePath(const std::string& windowsPath) {
    Result<SpelledPath> spelled = spell(windowsPath);
    if (!spelled) return Failure{spelled.error()};
    const std::vector<std::string>& components = spelled->split.components;
    if (components.empty() || exists(spelled->direct)) return std::move(spelled->direct);
    // Look the components up one by one, ignoring case.
    HostPath current = driveBase(spelled->split.drive);
    bool walking = true;
    for (const auto& component : components) {
        const std::string exact = ansiToUtf8(component);
        std::string chosen = exact;
        if (walking && !exists(current / exact)) {
            walking = false;
            if (DIR* dir = ::opendir(current.empty() ? "/" : current.c_str())) {
                while (dirent* entry = ::readdir(dir)) {
                    const std::string name = entry->d_name;
                    if (name == "." || name == "..") continue;
                    if (AnsiSameText(utf8ToAnsi(name), component)) {
                        chosen = name;
                        walking = true;
                        break;
                    }
                }
                ::closedir(dir);
            }
        }
        current = current / chosen;
    }
    return current;
}

std::string windowsPathOf(const HostPath& hostPath) {
    const HostPath c = driveCPath();
    std::string rest;
    std::string drive;
    if (c.contains(hostPath)) {
        drive = "C:";
        rest = hostPath.str().substr(c.str().size());
    } else {
        drive = "Z:";
        rest = hostPath.str();
    }
    for (char& ch : rest)
        if (ch == '/') ch = '\\';
    while (rest.size() > 1 && rest.back() == '\\')
        rest.pop_back();
    if (rest.empty()) rest = "\\";
    return drive + utf8ToAnsi(rest);
}

std::string fullWindowsPath(const std::string& windowsPath) {
    if (alreadyFull(windowsPath)) {
        std::string out = windowsPath;
        out[0] = static_cast<char>(out[0] & ~0x20);
        return out;
    }
    const Result<SplitPath> parts = split(windowsPath);
    if (!parts) return {};
    const std::vector<std::string>& components = parts->components;
    std::string out(1, parts->drive);
    out += ":";
    for (const auto& c : components)
        out += "\\" + c;
    if (components.empty()) out += "\\";
    return out;
}

DWORD errorFromErrno(int err, bool parentMissing) {
    switch (err) {
    case ENOENT:
        return parentMissing ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EISDIR:
    case ELOOP: // a link on the way, which the deleting calls never pass through
        return ERROR_ACCESS_DENIED;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace platform

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    return platform::guardedCall<DWORD>(DWORD{0}, [&]() -> DWORD {
        using namespace platform;
        if (g_currentDirectory.empty()) g_currentDirectory = initialCurrentDirectory();
        const DWORD length = static_cast<DWORD>(g_currentDirectory.size());
        if (!buffer || size <= length) return length + 1;
        std::copy(g_currentDirectory.begin(), g_currentDirectory.end(), buffer);
        buffer[length] = '\0';
        return length;
    });
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
    return platform::guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        using namespace platform;
        if (!pathName || !*pathName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const Result<HostPath> host = resolvePath(pathName);
        if (!host) {
            SetLastError(host.error());
            return FALSE;
        }
        struct stat st;
        if (::stat(host->c_str(), &st) != 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        if (!S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        g_currentDirectory = windowsPathOf(*host);
        return TRUE;
    });
}
