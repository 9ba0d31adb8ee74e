// The attributes and creation times the file calls keep beside the host's files, the path
// checks they share, and the handles through which a file's times are set.
#include "platform/ansi.h"
#include "platform/file_handles.h"
#include "platform/files_internal.h"
#include "platform/filetime.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <fcntl.h>

#include <algorithm>

#include <cerrno>
#include <set>

namespace platform::files {

DWORD storedAttributes(const HostPath& host, ino_t inode) {
    Statement st("SELECT ino, attrs FROM file_attrs WHERE path = ?");
    st.bind(1, host);
    if (st.step() && static_cast<ino_t>(st.int64(0)) == inode)
        return static_cast<DWORD>(st.int64(1));
    return 0;
}

bool hasStoredAttributes(const HostPath& host) {
    // Most machines store attributes for few files or none: a deletion in a cache walk then
    // need not ask for each file.
    const std::size_t slash = host.str().find_last_of('/');
    if (slash != std::string::npos && slash > 0 &&
        !fileMetadataMayExistIn(std::string_view(host.str()).substr(0, slash)))
        return false;
    Statement st("SELECT 1 FROM file_attrs WHERE path = ?1 "
                 "UNION ALL SELECT 1 FROM file_times WHERE path = ?1 LIMIT 1");
    st.bind(1, host);
    return st.step();
}

void storeAttributes(const HostPath& host, ino_t inode, DWORD attrs) {
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

std::optional<std::uint64_t> storedCreationTime(const HostPath& host, ino_t inode) {
    Statement st("SELECT ino, created FROM file_times WHERE path = ?");
    st.bind(1, host);
    if (!st.step() || static_cast<ino_t>(st.int64(0)) != inode) return std::nullopt;
    return static_cast<std::uint64_t>(st.int64(1));
}

void storeCreationTime(const HostPath& host, ino_t inode, std::uint64_t ticks) {
    Statement st("INSERT INTO file_times (path, ino, created) VALUES (?, ?, ?) "
                 "ON CONFLICT (path) DO UPDATE SET ino = excluded.ino, created = excluded.created");
    st.bind(1, host)
        .bind(2, static_cast<std::int64_t>(inode))
        .bind(3, static_cast<std::int64_t>(ticks));
    st.step();
}

void forgetAttributes(const HostPath& host) {
    for (const char* sql :
         {"DELETE FROM file_attrs WHERE path = ?", "DELETE FROM file_times WHERE path = ?"}) {
        Statement st(sql);
        st.bind(1, host);
        st.step();
    }
}

void forgetAttributesBelow(const HostPath& host) {
    // Everything below sorts between "<host>/" and "<host>0" ('0' follows '/'); a byte range
    // rather than substr(), which would count UTF-8 characters instead of bytes.
    for (const char* sql :
         {"DELETE FROM file_attrs WHERE path = ?1 OR (path >= ?2 AND path < ?3)",
          "DELETE FROM file_times WHERE path = ?1 OR (path >= ?2 AND path < ?3)"}) {
        Statement st(sql);
        st.bind(1, host).bind(2, host.str() + "/").bind(3, host.str() + "0");
        st.step();
    }
}

namespace {

bool parentExists(const HostPath& host) {
    const auto slash = host.str().find_last_of('/');
    if (slash == std::string::npos || slash == 0) return true;
    struct stat st;
    return ::stat(host.str().substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

DWORD attributesOf(const HostPath& host, const struct stat& linkStat) {
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

std::optional<HostPath> resolveOrFail(LPCSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    Result<HostPath> host = resolvePath(path);
    if (!host) {
        SetLastError(host.error());
        return std::nullopt;
    }
    return std::move(host).value();
}

void failWithErrno(const HostPath& host) {
    const int err = errno;
    SetLastError(errorFromErrno(err, err == ENOENT && !parentExists(host)));
}

std::optional<Entry> entryOrFail(LPCSTR path) {
    std::optional<HostPath> host = resolveOrFail(path);
    if (!host) return std::nullopt;
    Entry entry{std::move(*host), {}};
    if (::lstat(entry.host.c_str(), &entry.st) != 0) {
        failWithErrno(entry.host);
        return std::nullopt;
    }
    return entry;
}

namespace {

// The host path of the folder of all users' start-up programs, upper-cased for comparing;
// empty when the value names no folder below a drive's root.
std::string commonStartupHost() {
    const registry::KeyId key = registry::find(registry::kLocalMachine, kShellFoldersKey);
    registry::Value value;
    if (key == registry::kNoKey || !registry::getValue(key, "Common Startup", value) ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return {};
    const std::string folder = fullWindowsPath(value.data.substr(0, value.data.find('\0')));
    if (folder.size() <= 3) return {};
    const Result<HostPath> host = resolvePath(folder);
    if (!host) return {};
    return AnsiUpperCase(utf8ToAnsi(host->str()));
}

} // namespace

bool userMayChange(const HostPath& host) {
    // Every file change asks; the answer is worked out again only when the registry or the
    // settings have changed.
    struct Rights {
        std::uint64_t stamp = 0;
        bool administrator = false;
        std::string guarded;
    };
    static Rights rights;
    const std::uint64_t stamp = databaseStamp();
    if (rights.stamp != stamp) {
        rights.administrator = isAdministrator();
        rights.guarded = commonStartupHost();
        rights.stamp = stamp;
    }
    if (rights.administrator || rights.guarded.empty()) return true;
    // A path of ASCII letters reads the same in ANSI; one whose ANSI form is shorter than
    // the guarded folder cannot lie inside it (an ANSI character takes at least one byte of
    // UTF-8).
    if (host.str().size() < rights.guarded.size()) return true;
    const bool ascii = std::all_of(host.str().begin(), host.str().end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        const std::string& guardedPath = rights.guarded;
        const std::string& hostPath = host.str();
        for (std::size_t i = 0; i < guardedPath.size(); ++i) {
            const char c = hostPath[i];
            const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            if (upper != guardedPath[i]) return true;
        }
        if (hostPath.size() > guardedPath.size() && hostPath[guardedPath.size()] != '/')
            return true;
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const std::string path = AnsiUpperCase(utf8ToAnsi(host.str()));
    const std::string& guarded = rights.guarded;
    const bool inside = path == guarded || (path.size() > guarded.size() &&
                                            path.compare(0, guarded.size(), guarded) == 0 &&
                                            path[guarded.size()] == '/');
    if (!inside) return true;
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

} // namespace platform::files

using namespace platform;
using namespace platform::files;

DWORD GetFileAttributesA(LPCSTR fileName) {
    return guardedCall<DWORD>(INVALID_FILE_ATTRIBUTES, [&]() -> DWORD {
        const std::optional<Entry> entry = entryOrFail(fileName);
        if (!entry) return INVALID_FILE_ATTRIBUTES;
        return attributesOf(entry->host, entry->st);
    });
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        const std::optional<Entry> entry = entryOrFail(fileName);
        if (!entry || !userMayChange(entry->host)) return FALSE;
        storeAttributes(entry->host, entry->st.st_ino, attributes & kStoredAttributes);
        return TRUE;
    });
}

namespace {

timespec hostTimeOf(const FILETIME* time) {
    if (!time) return {0, UTIME_OMIT};
    const std::int64_t sinceEpoch =
        static_cast<std::int64_t>(ticksOf(*time)) - kSecondsFrom1601To1970 * kTicksPerSecond;
    std::int64_t seconds = sinceEpoch / kTicksPerSecond;
    std::int64_t rest = sinceEpoch % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

} // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
    return guardedCall<HANDLE>(INVALID_HANDLE_VALUE, [&]() -> HANDLE {
        constexpr DWORD kOffered = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
        if (desiredAccess & ~kOffered)
            return openContents(fileName, desiredAccess, shareMode, creationDisposition,
                                flagsAndAttributes);
        if (creationDisposition != OPEN_EXISTING) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        std::optional<Entry> entry = entryOrFail(fileName);
        if (!entry) return INVALID_HANDLE_VALUE;
        const HostPath& host = entry->host;
        struct stat& st = entry->st;
        if (S_ISDIR(st.st_mode) && !(flagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        if ((desiredAccess & FILE_WRITE_ATTRIBUTES) && !userMayChange(host))
            return INVALID_HANDLE_VALUE;
        UniqueFd held(::open(host.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!held.valid() || ::fstat(held.get(), &st) != 0) {
            failWithErrno(host);
            return INVALID_HANDLE_VALUE;
        }
        auto file = std::make_unique<OpenFile>();
        file->host = host;
        file->held = std::move(held);
        file->inode = st.st_ino;
        file->access = desiredAccess;
        return registerOpenFile(std::move(file));
    });
}

BOOL SetFileTime(HANDLE handle, const FILETIME* creationTime, const FILETIME* lastAccessTime,
                 const FILETIME* lastWriteTime) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        const OpenFile* file = openFileOf(handle);
        if (!file) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (!(file->access & FILE_WRITE_ATTRIBUTES)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (file->contents) {
            // A handle on the contents reaches its file itself, whatever name it has now.
            if (lastAccessTime || lastWriteTime) {
                const timespec times[2] = {hostTimeOf(lastAccessTime), hostTimeOf(lastWriteTime)};
                if (::futimens(file->held.get(), times) != 0) {
                    failWithErrno(file->host);
                    return FALSE;
                }
            }
            if (creationTime) storeCreationTime(file->host, file->inode, ticksOf(*creationTime));
            return TRUE;
        }
        struct stat st;
        if (::lstat(file->host.c_str(), &st) != 0 || st.st_ino != file->inode) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        if (lastAccessTime || lastWriteTime) {
            const timespec times[2] = {hostTimeOf(lastAccessTime), hostTimeOf(lastWriteTime)};
            if (::utimensat(AT_FDCWD, file->host.c_str(), times, 0) != 0) {
                failWithErrno(file->host);
                return FALSE;
            }
        }
        if (creationTime) storeCreationTime(file->host, file->inode, ticksOf(*creationTime));
        return TRUE;
    });
}

BOOL CloseHandle(HANDLE handle) {
    if (!closeOpenFile(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
