// Creating, deleting, copying and moving files and folders, and whole-file access. Deletions
// and renames reach their entry through folders opened without following links, so a link
// inside the platform's folders cannot lead them anywhere else.
#include "platform/ansi.h"
#include "platform/files_internal.h"
#include "platform/hostfs.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

using namespace platform;
using namespace platform::files;

namespace {

bool copyFileContents(const HostPath& from, const HostPath& to) {
    const UniqueFd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return false;
    UniqueFd out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out.valid()) return false;
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0 || ::write(out.get(), buffer, static_cast<std::size_t>(n)) != n) {
            ok = false;
            break;
        }
    }
    const int err = errno;
    // As CopyFile does, the copy keeps the source's last-write time.
    struct stat source;
    if (ok && ::fstat(in.get(), &source) == 0) {
        const timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(out.get(), times);
    }
    if (!out.close()) ok = false;
    errno = err;
    return ok;
}

// The folder holding an existing entry, reached without following links, and the entry's
// own status (into `st`); none with the last error set.
std::optional<ParentFolder> entryInFolder(const HostPath& host, struct stat& st) {
    ParentFolder parent = openParentNoFollow(host);
    if (!parent.folder.valid() ||
        ::fstatat(parent.folder.get(), parent.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        failWithErrno(host);
        return std::nullopt;
    }
    return parent;
}

} // namespace

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        const std::optional<HostPath> host = resolveOrFail(pathName);
        if (!host || !userMayChange(*host)) return FALSE;
        if (::mkdir(host->c_str(), 0755) != 0) {
            failWithErrno(*host);
            if (errno == ENOENT) SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        std::optional<Entry> entry = entryOrFail(pathName);
        if (!entry || !userMayChange(entry->host)) return FALSE;
        const HostPath& host = entry->host;
        struct stat& st = entry->st;
        if (host == driveCPath() || host == HostPath("/") || host.empty()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        const std::optional<ParentFolder> parent = entryInFolder(host, st);
        if (!parent) return FALSE;
        const UniqueFd& folder = parent->folder;
        const std::string& name = parent->name;
        if (S_ISLNK(st.st_mode)) {
            // A link to a folder goes by itself; what it points to stays.
            struct stat target;
            if (::stat(host.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) {
                SetLastError(ERROR_DIRECTORY);
                return FALSE;
            }
            if (::unlinkat(folder.get(), name.c_str(), 0) != 0) {
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
        if (::unlinkat(folder.get(), name.c_str(), AT_REMOVEDIR) != 0) {
            failWithErrno(host);
            return FALSE;
        }
        forgetAttributesBelow(host);
        return TRUE;
    });
}

namespace platform::files {

bool deleteEntryIn(const UniqueFd& folder, const std::string& name, const HostPath& host,
                   ReadOnlyFile readOnly) {
    // Most files carry no stored attributes, and then unlinking tells all that matters (a
    // missing entry, a folder); only a file with attributes is looked at first.
    DWORD stored = 0;
    const bool kept = hasStoredAttributes(host);
    if (!userMayChange(host) || kept) {
        struct stat st;
        if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            failWithErrno(host);
            return false;
        }
        if (!userMayChange(host)) return false;
        if (S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        stored = storedAttributes(host, st.st_ino);
        if ((stored & FILE_ATTRIBUTE_READONLY) && readOnly != ReadOnlyFile::Delete) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    // A symbolic link goes itself, never its target; a folder refuses (EISDIR); a file that
    // a handle holds without sharing deletion stays.
    if (const DWORD error = unlinkUnlessHeld(folder.get(), name); error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    if (kept) forgetAttributes(host);
    return true;
}

bool deletedByUnlinkAlone(const UniqueFd& folder, const std::string& name, const HostPath& host) {
    if (hasStoredAttributes(host) || !userMayChange(host)) return false;
    struct stat st;
    return ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISDIR(st.st_mode);
}

} // namespace platform::files

BOOL DeleteFileA(LPCSTR fileName) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        const std::optional<HostPath> host = resolveOrFail(fileName);
        if (!host) return FALSE;
        const ParentFolder parent = openParentNoFollow(*host);
        if (!parent.folder.valid()) {
            failWithErrno(*host);
            return FALSE;
        }
        if (!deleteEntryIn(parent.folder, parent.name, *host, ReadOnlyFile::Refuse)) return FALSE;
        // A journal that is gone must stay gone: back, it would undo what was committed.
        if (forgetDurable(*host)) syncFolder(parent.folder);
        return TRUE;
    });
}

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        const std::optional<HostPath> resolvedFrom = resolveOrFail(existingFileName);
        if (!resolvedFrom) return FALSE;
        const std::optional<HostPath> resolvedTo = resolveOrFail(newFileName);
        if (!resolvedTo || !userMayChange(*resolvedTo)) return FALSE;
        const HostPath& from = *resolvedFrom;
        const HostPath& to = *resolvedTo;
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
    });
}

namespace {

// How a rename treats an entry already at the new name, and whether it reaches the disk
// before the call returns.
struct MoveOptions {
    bool replaceExisting = false;
    bool writeThrough = false;
};

// The rename under MoveFileA and MoveFileExA. With `replaceExisting` an existing file at the
// new name gives way, as long as neither side is a folder and the file there is not
// read-only; the rename itself is atomic, so the new name holds either the old file or the
// new one.
BOOL moveEntry(LPCSTR existingFileName, LPCSTR newFileName, MoveOptions options) {
    const std::optional<HostPath> resolvedFrom = resolveOrFail(existingFileName);
    if (!resolvedFrom) return FALSE;
    std::optional<HostPath> resolvedTo = resolveOrFail(newFileName);
    if (!resolvedTo || !userMayChange(*resolvedFrom) || !userMayChange(*resolvedTo)) return FALSE;
    const HostPath& from = *resolvedFrom;
    HostPath to = std::move(*resolvedTo);
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
        const auto slash = to.str().find_last_of('/');
        if (nameStart == std::string::npos || slash == std::string::npos) return TRUE;
        to = HostPath(to.str().substr(0, slash + 1) + ansiToUtf8(given.substr(nameStart + 1)));
        if (to == from) return TRUE;
    } else {
        struct stat existing;
        if (::lstat(to.c_str(), &existing) == 0) {
            if (!options.replaceExisting) {
                SetLastError(ERROR_ALREADY_EXISTS);
                return FALSE;
            }
            if (S_ISDIR(source.st_mode) || S_ISDIR(existing.st_mode) ||
                (storedAttributes(to, existing.st_ino) & FILE_ATTRIBUTE_READONLY)) {
                SetLastError(ERROR_ACCESS_DENIED);
                return FALSE;
            }
        }
    }
    const DWORD stored = storedAttributes(from, source.st_ino);
    const std::optional<std::uint64_t> created = storedCreationTime(from, source.st_ino);
    const std::optional<ParentFolder> fromParent = entryInFolder(from, source);
    if (!fromParent) return FALSE;
    const ParentFolder toParent = openParentNoFollow(to);
    // Written through: the file's contents reach the disk before its new name does, so that
    // the name never holds a file the disk has not got.
    if (options.writeThrough && S_ISREG(source.st_mode)) {
        const UniqueFd contents(::openat(fromParent->folder.get(), fromParent->name.c_str(),
                                         O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
        if (contents.valid() && ::fsync(contents.get()) != 0 && errno == ENOSPC) {
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
    }
    if (!toParent.folder.valid() || ::renameat(fromParent->folder.get(), fromParent->name.c_str(),
                                               toParent.folder.get(), toParent.name.c_str()) != 0) {
        failWithErrno(to);
        return FALSE;
    }
    const bool durable = forgetDurable(from);
    if (options.writeThrough || durable) {
        syncFolder(toParent.folder);
        if (durable) rememberDurable(to);
    }
    // The name left behind in another folder must stay gone too.
    const auto folderOf = [](const HostPath& p) { return p.str().substr(0, p.str().rfind('/')); };
    if (durable && folderOf(from) != folderOf(to)) syncFolder(fromParent->folder);
    // Whatever was recorded at the new place belonged to files that are gone.
    forgetAttributesBelow(to);
    forgetAttributes(from);
    // The entry takes its attributes and creation time along.
    struct stat moved;
    if ((stored || created) && ::lstat(to.c_str(), &moved) == 0) {
        if (stored) storeAttributes(to, moved.st_ino, stored);
        if (created) storeCreationTime(to, moved.st_ino, *created);
    }
    if (S_ISDIR(source.st_mode)) {
        // What lies below a moved folder keeps its attributes and times under the new path.
        for (const char* sql : {"UPDATE file_attrs SET path = ?1 || substr(path, length(?2) + 1) "
                                "WHERE path >= ?3 AND path < ?4",
                                "UPDATE file_times SET path = ?1 || substr(path, length(?2) + 1) "
                                "WHERE path >= ?3 AND path < ?4"}) {
            Statement st(sql);
            st.bind(1, to).bind(2, from).bind(3, from.str() + "/").bind(4, from.str() + "0");
            st.step();
        }
    }
    return TRUE;
}

} // namespace

BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName) {
    return guardedCall<BOOL>(
        FALSE, [&]() -> BOOL { return moveEntry(existingFileName, newFileName, MoveOptions{}); });
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        // Copying across drives and moves at the next restart are not offered.
        if (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        return moveEntry(existingFileName, newFileName,
                         {.replaceExisting = (flags & MOVEFILE_REPLACE_EXISTING) != 0,
                          .writeThrough = (flags & MOVEFILE_WRITE_THROUGH) != 0});
    });
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    return guardedCall<DWORD>(DWORD{0}, [&]() -> DWORD {
        const std::string temp = "C:\\Users\\" + userName() + "\\AppData\\Local\\Temp\\";
        CreateDirectoryA(temp.c_str(), nullptr);
        const DWORD length = static_cast<DWORD>(temp.size());
        if (!buffer || size <= length) return length + 1;
        std::memcpy(buffer, temp.c_str(), length + 1);
        return length;
    });
}

bool ReadWholeFile(const std::string& windowsPath, std::string& contents) {
    return guardedCall<bool>(false, [&]() -> bool {
        const std::optional<HostPath> resolved = resolveOrFail(windowsPath.c_str());
        if (!resolved) return false;
        const HostPath& host = *resolved;
        // Non-blocking, so that a pipe cannot hold the open; it is refused below with the rest
        // of what is not a regular file (a device such as /dev/zero would never end).
        const UniqueFd fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!fd.valid()) {
            failWithErrno(host);
            return false;
        }
        struct stat st;
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        contents.clear();
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                SetLastError(ERROR_READ_FAULT);
                return false;
            }
            contents.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    });
}

bool WriteWholeFile(const std::string& windowsPath, const std::string& contents) {
    return guardedCall<bool>(false, [&]() -> bool {
        const std::optional<HostPath> resolved = resolveOrFail(windowsPath.c_str());
        if (!resolved || !userMayChange(*resolved)) return false;
        const HostPath& host = *resolved;
        struct stat st;
        struct stat target;
        const bool notAFile = ::stat(host.c_str(), &target) == 0 && !S_ISREG(target.st_mode);
        if (notAFile || (::lstat(host.c_str(), &st) == 0 &&
                         (storedAttributes(host, st.st_ino) & FILE_ATTRIBUTE_READONLY))) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        UniqueFd fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!fd.valid()) {
            failWithErrno(host);
            return false;
        }
        std::size_t written = 0;
        int failure = 0;
        while (written < contents.size()) {
            const ssize_t n =
                ::write(fd.get(), contents.data() + written, contents.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failure = n < 0 ? errno : ENOSPC;
                break;
            }
            written += static_cast<std::size_t>(n);
        }
        if (!fd.close() && failure == 0) failure = errno;
        if (written != contents.size() || failure != 0) {
            // A full disk says so, as Windows does; anything else is a write fault.
            SetLastError(failure == ENOSPC || failure == EDQUOT ? ERROR_DISK_FULL
                                                                : ERROR_WRITE_FAULT);
            return false;
        }
        return true;
    });
}
