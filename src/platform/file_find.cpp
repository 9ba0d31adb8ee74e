// Finding files: FindFirstFileA and friends, short names and the drive list.
#include "platform/ansi.h"
#include "platform/files_internal.h"
#include "platform/filetime.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

using namespace platform;
using namespace platform::files;

namespace {

// Wildcards as the file functions match them: '*' any run, '?' one character, case
// ignored; "*.*" matches every name.
bool matches(const char* pattern, const char* name) {
    if (std::strcmp(pattern, "*.*") == 0 || std::strcmp(pattern, "*") == 0) return true;
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' ||
                   (*pattern && AnsiSameText(std::string(1, *pattern), std::string(1, *name)))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*' || *pattern == '.')
        ++pattern; // "name.*" also matches "name"
    return *pattern == '\0';
}

struct FindState {
    std::vector<WIN32_FIND_DATAA> entries;
    std::size_t next = 0;
};

std::set<FindState*>& findHandles() {
    static std::set<FindState*> handles;
    return handles;
}

WIN32_FIND_DATAA findDataFor(const HostPath& host, const std::string& ansiName) {
    WIN32_FIND_DATAA data{};
    struct stat st {};
    if (::lstat(host.c_str(), &st) == 0) {
        data.dwFileAttributes = attributesOf(host, st);
        struct stat target = st;
        if (S_ISLNK(st.st_mode)) ::stat(host.c_str(), &target);
        // The host keeps no creation time that could be set; one given with SetFileTime is
        // kept beside the file, and before that the last change of its status stands in.
        const std::optional<std::uint64_t> created = storedCreationTime(host, st.st_ino);
        data.ftCreationTime = created
                                  ? fileTimeOf(*created)
                                  : fileTimeFromUnix(target.st_ctim.tv_sec, target.st_ctim.tv_nsec);
        data.ftLastAccessTime = fileTimeFromUnix(target.st_atim.tv_sec, target.st_atim.tv_nsec);
        data.ftLastWriteTime = fileTimeFromUnix(target.st_mtim.tv_sec, target.st_mtim.tv_nsec);
        if (!S_ISDIR(target.st_mode)) {
            const auto size = static_cast<std::uint64_t>(target.st_size);
            data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
            data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
        }
    } else {
        data.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    }
    std::strncpy(data.cFileName, ansiName.c_str(), MAX_PATH - 1);
    return data;
}

} // namespace

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    return guardedCall<HANDLE>(INVALID_HANDLE_VALUE, [&]() -> HANDLE {
        if (!fileName || !findData) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        std::string path = fileName;
        std::replace(path.begin(), path.end(), '/', '\\');
        const auto slash = path.find_last_of('\\');
        std::string folder =
            slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
        const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
        if (pattern.empty()) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        if (folder.size() == 2 && folder[1] == ':') folder += "\\";
        const std::optional<HostPath> resolved = resolveOrFail(folder.c_str());
        if (!resolved) return INVALID_HANDLE_VALUE;
        const HostPath& host = *resolved;
        const bool isRoot = fullWindowsPath(folder).size() == 3;

        auto state = std::make_unique<FindState>();
        const bool wildcard = pattern.find_first_of("*?") != std::string::npos;
        if (!wildcard) {
            // A plain name: the entry itself, looked up ignoring case.
            const Result<HostPath> entryHost = resolvePath(path);
            struct stat st;
            if (entryHost && ::lstat(entryHost->c_str(), &st) == 0) {
                const auto nameStart = entryHost->str().find_last_of('/');
                state->entries.push_back(
                    findDataFor(*entryHost, utf8ToAnsi(entryHost->str().substr(nameStart + 1))));
            }
        } else {
            DIR* dir = ::opendir(host.empty() ? "/" : host.c_str());
            if (!dir) {
                SetLastError(ERROR_PATH_NOT_FOUND);
                return INVALID_HANDLE_VALUE;
            }
            std::vector<std::string> names;
            while (dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (isRoot && (name == "." || name == "..")) continue;
                names.push_back(name);
            }
            ::closedir(dir);
            // The order of a Windows volume: names sorted ignoring case.
            std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
                return lstrcmpiA(utf8ToAnsi(a).c_str(), utf8ToAnsi(b).c_str()) < 0;
            });
            for (const auto& name : names) {
                const std::string ansi = utf8ToAnsi(name);
                if (!matches(pattern.c_str(), ansi.c_str())) continue;
                state->entries.push_back(findDataFor(name == "."    ? host
                                                     : name == ".." ? host / ".."
                                                                    : host / name,
                                                     ansi));
            }
        }
        if (state->entries.empty()) {
            struct stat st;
            SetLastError(::stat(host.empty() ? "/" : host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
                             ? ERROR_FILE_NOT_FOUND
                             : ERROR_PATH_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        *findData = state->entries[0];
        state->next = 1;
        FindState* raw = state.release();
        findHandles().insert(raw);
        return raw;
    });
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        auto* state = static_cast<FindState*>(findFile);
        if (!findHandles().count(state) || !findData) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (state->next >= state->entries.size()) {
            SetLastError(ERROR_NO_MORE_FILES);
            return FALSE;
        }
        *findData = state->entries[state->next++];
        return TRUE;
    });
}

BOOL FindClose(HANDLE findFile) {
    auto* state = static_cast<FindState*>(findFile);
    if (!findHandles().erase(state)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete state;
    return TRUE;
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size) {
    return guardedCall<DWORD>(DWORD{0}, [&]() -> DWORD {
        const std::optional<HostPath> host = resolveOrFail(longPath);
        if (!host) return 0;
        struct stat st;
        if (::lstat(host->c_str(), &st) != 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return 0;
        }
        // The hosted volumes keep no 8.3 names, so the long path is its own short path.
        const std::string result = longPath;
        const DWORD length = static_cast<DWORD>(result.size());
        if (!shortPath || size <= length) return length + 1;
        std::memcpy(shortPath, result.c_str(), length + 1);
        return length;
    });
}

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
    static const char kDrives[] = "C:\\\0Z:\\\0";
    const DWORD length = sizeof kDrives - 1; // the list's own closing NUL is not counted
    if (!buffer || size < length + 1) return length + 1;
    std::memcpy(buffer, kDrives, length + 1);
    return length;
}
