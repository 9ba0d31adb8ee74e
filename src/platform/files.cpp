// File functions over the platform's drives. Read-only, hidden and system attributes are
// kept in platform.db (keyed by host path and inode, so a file re-created outside the
// platform does not inherit them); the host's own permissions are not consulted, so a
// read-only file refuses deletion even when the process runs as root.
#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

using namespace platform;

namespace {

constexpr DWORD kStoredAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD storedAttributes(const std::string& host, ino_t inode) {
    Statement st("SELECT ino, attrs FROM file_attrs WHERE path = ?");
    st.bind(1, host);
    if (st.step() && static_cast<ino_t>(st.int64(0)) == inode)
        return static_cast<DWORD>(st.int64(1));
    return 0;
}

void storeAttributes(const std::string& host, ino_t inode, DWORD attrs) {
    if (attrs == 0) {
        Statement st("DELETE FROM file_attrs WHERE path = ?");
        st.bind(1, host);
        st.step();
        return;
    }
    Statement st("INSERT INTO file_attrs (path, ino, attrs) VALUES (?, ?, ?) "
                 "ON CONFLICT (path) DO UPDATE SET ino = excluded.ino, attrs = excluded.attrs");
    st.bind(1, host).bind(2, static_cast<std::int64_t>(inode)).bind(3, attrs);
    st.step();
}

void forgetAttributes(const std::string& host) {
    Statement st("DELETE FROM file_attrs WHERE path = ?");
    st.bind(1, host);
    st.step();
}

void forgetAttributesBelow(const std::string& host) {
    // Everything below sorts between "<host>/" and "<host>0" ('0' follows '/'); a byte range
    // rather than substr(), which would count UTF-8 characters instead of bytes.
    Statement st("DELETE FROM file_attrs WHERE path = ?1 OR (path >= ?2 AND path < ?3)");
    st.bind(1, host).bind(2, host + "/").bind(3, host + "0");
    st.step();
}

bool parentExists(const std::string& host) {
    const auto slash = host.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return true;
    struct stat st;
    return ::stat(host.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD attributesOf(const std::string& host, const struct stat& linkStat) {
    DWORD attrs = 0;
    struct stat target = linkStat;
    if (S_ISLNK(linkStat.st_mode)) {
        attrs |= FILE_ATTRIBUTE_REPARSE_POINT;
        if (::stat(host.c_str(), &target) != 0) target = linkStat;
    }
    attrs |= S_ISDIR(target.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    attrs |= storedAttributes(host, linkStat.st_ino);
    return attrs;
}

bool resolveOrFail(LPCSTR path, std::string& host) {
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    DWORD error = 0;
    if (!resolvePath(path, host, error)) {
        SetLastError(error);
        return false;
    }
    return true;
}

void failWithErrno(const std::string& host) {
    const int err = errno;
    SetLastError(errorFromErrno(err, err == ENOENT && !parentExists(host)));
}

// The host path of an existing entry and its own status (a link is not followed).
bool entryOrFail(LPCSTR path, std::string& host, struct stat& st) {
    if (!resolveOrFail(path, host)) return false;
    if (::lstat(host.c_str(), &st) != 0) {
        failWithErrno(host);
        return false;
    }
    return true;
}

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

WIN32_FIND_DATAA findDataFor(const std::string& host, const std::string& ansiName) {
    WIN32_FIND_DATAA data{};
    struct stat st {};
    if (::lstat(host.c_str(), &st) == 0) {
        data.dwFileAttributes = attributesOf(host, st);
        struct stat target = st;
        if (S_ISLNK(st.st_mode)) ::stat(host.c_str(), &target);
        data.ftCreationTime = fileTimeFromUnix(target.st_ctim.tv_sec, target.st_ctim.tv_nsec);
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

bool copyFileContents(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        errno = err;
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 || ::write(out, buffer, static_cast<std::size_t>(n)) != n) {
            ok = false;
            break;
        }
    }
    const int err = errno;
    // As CopyFile does, the copy keeps the source's last-write time.
    struct stat source;
    if (ok && ::fstat(in, &source) == 0) {
        const timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(out, times);
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    errno = err;
    return ok;
}

} // namespace

DWORD GetFileAttributesA(LPCSTR fileName) {
    std::string host;
    struct stat st;
    if (!entryOrFail(fileName, host, st)) return INVALID_FILE_ATTRIBUTES;
    return attributesOf(host, st);
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
    std::string host;
    struct stat st;
    if (!entryOrFail(fileName, host, st)) return FALSE;
    storeAttributes(host, st.st_ino, attributes & kStoredAttributes);
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    if (!fileName || !findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = fileName;
    std::replace(path.begin(), path.end(), '/', '\\');
    const auto slash = path.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (folder.size() == 2 && folder[1] == ':') folder += "\\";
    std::string host;
    if (!resolveOrFail(folder.c_str(), host)) return INVALID_HANDLE_VALUE;
    const bool isRoot = fullWindowsPath(folder).size() == 3;

    auto state = std::make_unique<FindState>();
    const bool wildcard = pattern.find_first_of("*?") != std::string::npos;
    if (!wildcard) {
        // A plain name: the entry itself, looked up ignoring case.
        std::string entryHost;
        DWORD error = 0;
        struct stat st;
        if (resolvePath(path, entryHost, error) && ::lstat(entryHost.c_str(), &st) == 0) {
            const auto nameStart = entryHost.find_last_of('/');
            state->entries.push_back(
                findDataFor(entryHost, utf8ToAnsi(entryHost.substr(nameStart + 1))));
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
                                                 : name == ".." ? host + "/.."
                                                                : host + "/" + name,
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
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
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
    std::string host;
    if (!resolveOrFail(longPath, host)) return 0;
    struct stat st;
    if (::lstat(host.c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    // The hosted volumes keep no 8.3 names, so the long path is its own short path.
    const std::string result = longPath;
    const DWORD length = static_cast<DWORD>(result.size());
    if (!shortPath || size <= length) return length + 1;
    std::memcpy(shortPath, result.c_str(), length + 1);
    return length;
}

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
    static const char kDrives[] = "C:\\\0Z:\\\0";
    const DWORD length = sizeof kDrives - 1; // the list's own closing NUL is not counted
    if (!buffer || size < length + 1) return length + 1;
    std::memcpy(buffer, kDrives, length + 1);
    return length;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
    std::string host;
    if (!resolveOrFail(pathName, host)) return FALSE;
    if (::mkdir(host.c_str(), 0755) != 0) {
        failWithErrno(host);
        if (errno == ENOENT) SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    std::string host;
    struct stat st;
    if (!entryOrFail(pathName, host, st)) return FALSE;
    if (S_ISLNK(st.st_mode)) {
        // A link to a folder goes by itself; what it points to stays.
        struct stat target;
        if (::stat(host.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        if (::unlink(host.c_str()) != 0) {
            failWithErrno(host);
            return FALSE;
        }
        forgetAttributes(host);
        return TRUE;
    }
    if (!S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (storedAttributes(host, st.st_ino) & FILE_ATTRIBUTE_READONLY) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (host == driveCPath() || host == "/" || host.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::rmdir(host.c_str()) != 0) {
        failWithErrno(host);
        return FALSE;
    }
    forgetAttributesBelow(host);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    std::string host;
    struct stat st;
    if (!entryOrFail(fileName, host, st)) return FALSE;
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const DWORD stored = storedAttributes(host, st.st_ino);
    if (stored & FILE_ATTRIBUTE_READONLY) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // unlink() removes a symbolic link itself, never its target.
    if (::unlink(host.c_str()) != 0) {
        failWithErrno(host);
        return FALSE;
    }
    if (stored) forgetAttributes(host);
    return TRUE;
}

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
    std::string from;
    std::string to;
    if (!resolveOrFail(existingFileName, from) || !resolveOrFail(newFileName, to)) return FALSE;
    struct stat source;
    if (::stat(from.c_str(), &source) != 0) {
        failWithErrno(from);
        return FALSE;
    }
    // Only regular files: a pipe or device would block the copy or never end it.
    if (!S_ISREG(source.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    struct stat target;
    if (::lstat(to.c_str(), &target) == 0) {
        // Copying a file onto itself (another spelling, or a hard link) would truncate the
        // source before reading it; Windows refuses it because the source is open.
        struct stat resolved;
        if (::stat(to.c_str(), &resolved) == 0 && resolved.st_dev == source.st_dev &&
            resolved.st_ino == source.st_ino) {
            SetLastError(failIfExists ? ERROR_FILE_EXISTS : ERROR_SHARING_VIOLATION);
            return FALSE;
        }
        if (failIfExists) {
            SetLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        if (S_ISDIR(target.st_mode) ||
            (storedAttributes(to, target.st_ino) & FILE_ATTRIBUTE_READONLY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (S_ISLNK(target.st_mode)) ::unlink(to.c_str());
    }
    if (!copyFileContents(from, to)) {
        failWithErrno(to);
        return FALSE;
    }
    struct stat copied;
    if (::lstat(to.c_str(), &copied) == 0)
        storeAttributes(to, copied.st_ino, storedAttributes(from, source.st_ino));
    return TRUE;
}

BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName) {
    std::string from;
    std::string to;
    if (!resolveOrFail(existingFileName, from) || !resolveOrFail(newFileName, to)) return FALSE;
    struct stat source;
    if (::lstat(from.c_str(), &source) != 0) {
        failWithErrno(from);
        return FALSE;
    }
    if (from == to) {
        // The same entry: only a change of case, which the lookup hid. Take the spelling
        // given for the last component.
        const std::string given = fullWindowsPath(newFileName);
        const auto nameStart = given.find_last_of('\\');
        const auto slash = to.find_last_of('/');
        if (nameStart == std::string::npos || slash == std::string::npos) return TRUE;
        to = to.substr(0, slash + 1) + ansiToUtf8(given.substr(nameStart + 1));
        if (to == from) return TRUE;
    } else {
        struct stat existing;
        if (::lstat(to.c_str(), &existing) == 0) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
    }
    const DWORD stored = storedAttributes(from, source.st_ino);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        failWithErrno(to);
        return FALSE;
    }
    // Whatever was recorded at the new place belonged to files that are gone.
    forgetAttributesBelow(to);
    forgetAttributes(from);
    struct stat moved;
    if (stored && ::lstat(to.c_str(), &moved) == 0) storeAttributes(to, moved.st_ino, stored);
    if (S_ISDIR(source.st_mode)) {
        // What lies below a moved folder keeps its attributes under the new path.
        Statement st("UPDATE file_attrs SET path = ?1 || substr(path, length(?2) + 1) "
                     "WHERE path >= ?3 AND path < ?4");
        st.bind(1, to).bind(2, from).bind(3, from + "/").bind(4, from + "0");
        st.step();
    }
    return TRUE;
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    const std::string temp = "C:\\Users\\" + userName() + "\\AppData\\Local\\Temp\\";
    CreateDirectoryA(temp.c_str(), nullptr);
    const DWORD length = static_cast<DWORD>(temp.size());
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, temp.c_str(), length + 1);
    return length;
}

bool ReadWholeFile(const std::string& windowsPath, std::string& contents) {
    std::string host;
    if (!resolveOrFail(windowsPath.c_str(), host)) return false;
    // Non-blocking, so that a pipe cannot hold the open; it is refused below with the rest
    // of what is not a regular file (a device such as /dev/zero would never end).
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failWithErrno(host);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    contents.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            ::close(fd);
            SetLastError(ERROR_READ_FAULT);
            return false;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

bool WriteWholeFile(const std::string& windowsPath, const std::string& contents) {
    std::string host;
    if (!resolveOrFail(windowsPath.c_str(), host)) return false;
    struct stat st;
    struct stat target;
    const bool notAFile = ::stat(host.c_str(), &target) == 0 && !S_ISREG(target.st_mode);
    if (notAFile || (::lstat(host.c_str(), &st) == 0 &&
                     (storedAttributes(host, st.st_ino) & FILE_ATTRIBUTE_READONLY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        failWithErrno(host);
        return false;
    }
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const bool ok = written == contents.size();
    if (::close(fd) != 0 || !ok) {
        SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

bool FileExistsA(const std::string& windowsPath) {
    const DWORD attrs = GetFileAttributesA(windowsPath.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExistsA(const std::string& windowsPath) {
    const DWORD attrs = GetFileAttributesA(windowsPath.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}
