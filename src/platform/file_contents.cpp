// Files opened for their contents: reading, writing, the file pointer, the size, byte-range
// locks, and the share modes that keep other handles out, as on Windows.
//
// Every handle holds a host descriptor of its own (an open file description), and the share
// modes live as open-file-description locks on bytes far past any real data of the file: a
// handle holding read access holds a shared lock on the "read" byte, one denying write to
// others holds a shared lock on the "deny write" byte, and so on. An open asks the kernel
// whether anyone holds the bytes that would conflict, under a gate (flock) that makes the
// question and the taking one step. The kernel lets go of such locks when the last descriptor
// of the description closes, so a process that ends without closing, or crashes, holds
// nothing afterwards; and they are seen by every process on the machine, whichever root.
#include "platform/ansi.h"
#include "platform/file_handles.h"
#include "platform/files_internal.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_set>

using namespace platform;
using namespace platform::files;

namespace {

// The share bytes: above every range LockFileEx takes.
constexpr off_t kShareBase = INT64_MAX - 64;
enum ShareSlot {
    kHoldsRead = 0,
    kHoldsWrite,
    kHoldsDelete,
    kDeniesRead,
    kDeniesWrite,
    kDeniesDelete
};
constexpr std::uint64_t kLockLimit = static_cast<std::uint64_t>(kShareBase);

std::mutex& tableMutex() {
    static std::mutex m;
    return m;
}
std::unordered_set<OpenFile*>& table() {
    static std::unordered_set<OpenFile*> files;
    return files;
}

bool lockBytes(int fd, short type, off_t start, off_t length, bool wait) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    int rc;
    do {
        rc = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

// Whether another open file description holds a lock on the slot.
bool slotTaken(int fd, int slot) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kShareBase + slot;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return false;
    return lock.l_type != F_UNLCK;
}

// The gate around a share check: one open at a time asks and takes.
class ShareGate {
  public:
    explicit ShareGate(int fd) : fd_(fd) {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~ShareGate() { ::flock(fd_, LOCK_UN); }
    ShareGate(const ShareGate&) = delete;
    ShareGate& operator=(const ShareGate&) = delete;

  private:
    int fd_;
};

// Takes the share bytes of a new handle, or false when another handle's share mode or rights
// stand in the way.
bool takeShares(int fd, DWORD access, DWORD shareMode) {
    const bool wants[3] = {(access & kReadRights) != 0, (access & kWriteRights) != 0,
                           (access & kDeleteRight) != 0};
    const bool denies[3] = {!(shareMode & FILE_SHARE_READ), !(shareMode & FILE_SHARE_WRITE),
                            !(shareMode & FILE_SHARE_DELETE)};
    const ShareGate gate(fd);
    for (int i = 0; i < 3; ++i) {
        if (wants[i] && slotTaken(fd, kDeniesRead + i)) return false;
        if (denies[i] && slotTaken(fd, kHoldsRead + i)) return false;
    }
    for (int i = 0; i < 3; ++i) {
        if (wants[i]) lockBytes(fd, F_RDLCK, kShareBase + kHoldsRead + i, 1, false);
        if (denies[i]) lockBytes(fd, F_RDLCK, kShareBase + kDeniesRead + i, 1, false);
    }
    return true;
}

DWORD specificRights(DWORD access) {
    DWORD rights = access & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_ALL);
    if (access & (GENERIC_READ | GENERIC_ALL)) rights |= FILE_READ_DATA | FILE_READ_ATTRIBUTES;
    if (access & (GENERIC_WRITE | GENERIC_ALL))
        rights |= FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES;
    if (access & GENERIC_ALL) rights |= DELETE;
    return rights;
}

OpenFile* contentsOf(HANDLE handle) {
    OpenFile* file = openFileOf(handle);
    if (!file || !file->contents) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return file;
}

bool overlaps(const LockedRange& a, std::uint64_t offset, std::uint64_t length) {
    return a.offset < offset + length && offset < a.offset + a.length;
}

} // namespace

namespace platform::files {

HANDLE registerOpenFile(std::unique_ptr<OpenFile> file) {
    const std::lock_guard<std::mutex> guard(tableMutex());
    OpenFile* raw = file.release();
    table().insert(raw);
    return raw;
}

OpenFile* openFileOf(HANDLE handle) {
    auto* file = static_cast<OpenFile*>(handle);
    const std::lock_guard<std::mutex> guard(tableMutex());
    return table().count(file) ? file : nullptr;
}

bool closeOpenFile(HANDLE handle) {
    auto* file = static_cast<OpenFile*>(handle);
    {
        const std::lock_guard<std::mutex> guard(tableMutex());
        if (!table().erase(file)) return false;
    }
    delete file;
    return true;
}

HANDLE openContents(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, DWORD disposition,
                    DWORD flags) {
    constexpr DWORD kOffered = GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | FILE_READ_DATA |
                               FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | kAttributeRights;
    if ((desiredAccess & ~kOffered) || disposition < CREATE_NEW ||
        disposition > TRUNCATE_EXISTING ||
        (shareMode & ~(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const DWORD access = specificRights(desiredAccess);
    const bool writing = (access & kWriteRights) != 0;
    if (disposition == TRUNCATE_EXISTING && !writing) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::optional<HostPath> resolved = resolveOrFail(fileName);
    if (!resolved) return INVALID_HANDLE_VALUE;
    const HostPath& host = *resolved;
    struct stat st;
    const bool existed = ::stat(host.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (existed && disposition == CREATE_NEW) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if (!existed && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING)) {
        failWithErrno(host);
        return INVALID_HANDLE_VALUE;
    }
    const bool changes = writing || disposition == CREATE_ALWAYS || !existed;
    if (changes && !userMayChange(host)) return INVALID_HANDLE_VALUE;
    if (existed && (writing || disposition == CREATE_ALWAYS) &&
        (storedAttributes(host, st.st_ino) & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Read and write where the host allows, whatever the rights asked for: the calls check
    // the rights themselves, and a descriptor that can write takes every kind of lock.
    int openFlags = O_CLOEXEC | O_NONBLOCK;
    if (!existed) openFlags |= O_CREAT | O_EXCL;
    UniqueFd fd(::open(host.c_str(), O_RDWR | openFlags, 0644));
    if (!fd.valid() && (errno == EACCES || errno == EROFS) && !writing && existed)
        fd = UniqueFd(::open(host.c_str(), O_RDONLY | openFlags));
    if (!fd.valid()) {
        if (errno == EEXIST)
            SetLastError(ERROR_FILE_EXISTS);
        else
            failWithErrno(host);
        return INVALID_HANDLE_VALUE;
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        // A pipe or a device is no file of the machine.
        SetLastError(ERROR_ACCESS_DENIED);
        if (!existed) ::unlink(host.c_str());
        return INVALID_HANDLE_VALUE;
    }
    // Back to blocking reads and writes, as a regular file has them anyway.
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    if (!takeShares(fd.get(), access, shareMode)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    if (existed && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING)) {
        if (::ftruncate(fd.get(), 0) != 0) {
            failWithErrno(host);
            return INVALID_HANDLE_VALUE;
        }
        if (disposition == CREATE_ALWAYS) storeAttributes(host, st.st_ino, 0);
    }
    if (flags & FILE_FLAG_WRITE_THROUGH)
        ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_DSYNC);
    auto file = std::make_unique<OpenFile>();
    file->host = host;
    file->held = std::move(fd);
    file->inode = st.st_ino;
    file->access = access;
    file->contents = true;
    const HANDLE handle = registerOpenFile(std::move(file));
    SetLastError(existed && (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return handle;
}

namespace {

std::mutex& durableMutex() {
    static std::mutex m;
    return m;
}
std::unordered_set<std::string>& durableFiles() {
    static std::unordered_set<std::string> files;
    return files;
}
std::atomic<std::size_t> g_folderSyncs{0};

} // namespace

void syncFolder(const UniqueFd& folder) {
    ::fsync(folder.get());
    ++g_folderSyncs;
}

void syncFolderOf(const HostPath& host) {
    const ParentFolder parent = openParentNoFollow(host);
    if (parent.folder.valid()) syncFolder(parent.folder);
}

void rememberDurable(const HostPath& host) {
    const std::lock_guard lock(durableMutex());
    durableFiles().insert(host.str());
}

bool forgetDurable(const HostPath& host) {
    const std::lock_guard lock(durableMutex());
    return durableFiles().erase(host.str()) > 0;
}

std::size_t folderSyncs() {
    return g_folderSyncs;
}

bool anyFileDenyingDeletion() {
    // "7: OFDLCK ADVISORY READ -1 fe:00:1234 START END": the kernel joins the neighbouring
    // bytes of one handle into one range, and END may be "EOF".
    std::FILE* list = std::fopen("/proc/locks", "re");
    if (!list) return true;
    bool any = false;
    char line[256];
    const long long denies = kShareBase + kDeniesDelete;
    while (!any && std::fgets(line, sizeof line, list)) {
        char kind[16];
        char end[24];
        long long start = 0;
        if (std::sscanf(line, "%*s %15s %*s %*s %*s %*s %lld %23s", kind, &start, end) != 3 ||
            std::strcmp(kind, "OFDLCK") != 0)
            continue;
        any = start <= denies && (std::strcmp(end, "EOF") == 0 || std::atoll(end) >= denies);
    }
    std::fclose(list);
    return any;
}

DWORD unlinkUnlessHeld(int folder, const std::string& name) {
    // Only a regular file can be held; a link or anything else goes by its name alone. A file
    // that cannot be opened to look (no right to read it) has no handle of this machine's
    // user on it either.
    const UniqueFd file(
        ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    std::optional<ShareGate> gate;
    if (file.valid()) {
        struct stat st;
        if (::fstat(file.get(), &st) == 0 && S_ISREG(st.st_mode)) {
            // Under the gate no handle can be opened between the look and the unlinking.
            gate.emplace(file.get());
            if (slotTaken(file.get(), kDeniesDelete)) return ERROR_SHARING_VIOLATION;
        }
    }
    if (::unlinkat(folder, name.c_str(), 0) != 0) return errorFromErrno(errno);
    return ERROR_SUCCESS;
}

} // namespace platform::files

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped) {
    if (bytesRead) *bytesRead = 0;
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    if (!(file->access & kReadRights)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!bytesRead && !overlapped) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int fd = file->held.get();
    off_t offset =
        overlapped
            ? static_cast<off_t>((std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset)
            : ::lseek(fd, 0, SEEK_CUR);
    DWORD done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < bytesToRead) {
        const ssize_t n = ::pread(fd, out + done, bytesToRead - done, offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(ERROR_READ_FAULT);
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    ::lseek(fd, offset + done, SEEK_SET);
    if (bytesRead) *bytesRead = done;
    if (overlapped) overlapped->InternalHigh = done;
    // A synchronous read at the end reads nothing and succeeds; one with an offset says so.
    if (overlapped && done == 0 && bytesToRead > 0) {
        SetLastError(ERROR_HANDLE_EOF);
        return FALSE;
    }
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped) {
    if (bytesWritten) *bytesWritten = 0;
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    if (!(file->access & kWriteRights)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!bytesWritten && !overlapped) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int fd = file->held.get();
    off_t offset;
    if (overlapped)
        offset =
            static_cast<off_t>((std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset);
    else if (!(file->access & FILE_WRITE_DATA))
        offset = ::lseek(fd, 0, SEEK_END); // append only
    else
        offset = ::lseek(fd, 0, SEEK_CUR);
    DWORD done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < bytesToWrite) {
        const ssize_t n = ::pwrite(fd, in + done, bytesToWrite - done, offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    ::lseek(fd, offset + done, SEEK_SET);
    if (bytesWritten) *bytesWritten = done;
    if (overlapped) overlapped->InternalHigh = done;
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER distance, PLARGE_INTEGER newPointer,
                      DWORD moveMethod) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    const int fd = file->held.get();
    off_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = ::lseek(fd, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            SetLastError(ERROR_GEN_FAILURE);
            return FALSE;
        }
        base = st.st_size;
    } else if (moveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const LONGLONG target = static_cast<LONGLONG>(base) + distance.QuadPart;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return FALSE;
    }
    if (::lseek(fd, static_cast<off_t>(target), SEEK_SET) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (newPointer) newPointer->QuadPart = target;
    return TRUE;
}

BOOL GetFileSizeEx(HANDLE handle, PLARGE_INTEGER size) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    struct stat st;
    if (!size || ::fstat(file->held.get(), &st) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size->QuadPart = st.st_size;
    return TRUE;
}

BOOL SetEndOfFile(HANDLE handle) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    if (!(file->access & FILE_WRITE_DATA)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const int fd = file->held.get();
    if (::ftruncate(fd, ::lseek(fd, 0, SEEK_CUR)) != 0) {
        SetLastError(errno == ENOSPC || errno == EFBIG ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    if (!(file->access & kWriteRights)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (::fdatasync(file->held.get()) != 0) {
        SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
        return FALSE;
    }
    if (!file->folderSynced) {
        syncFolderOf(file->host);
        rememberDurable(file->host);
        file->folderSynced = true;
    }
    return TRUE;
}

BOOL LockFileEx(HANDLE handle, DWORD flags, DWORD reserved, DWORD bytesToLockLow,
                DWORD bytesToLockHigh, LPOVERLAPPED overlapped) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    const std::uint64_t length = (std::uint64_t{bytesToLockHigh} << 32) | bytesToLockLow;
    if (!overlapped || reserved != 0 || length == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t offset = (std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset;
    if (offset >= kLockLimit || length > kLockLimit - offset) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool exclusive = flags & LOCKFILE_EXCLUSIVE_LOCK;
    // The handle's own locks: an exclusive one overlaps nothing, a shared one only shared ones.
    for (const LockedRange& held : file->locks) {
        if (overlaps(held, offset, length) && (exclusive || held.exclusive)) {
            SetLastError(ERROR_LOCK_VIOLATION);
            return FALSE;
        }
    }
    const bool wait = !(flags & LOCKFILE_FAIL_IMMEDIATELY);
    if (!lockBytes(file->held.get(), exclusive ? F_WRLCK : F_RDLCK, static_cast<off_t>(offset),
                   static_cast<off_t>(length), wait)) {
        SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : ERROR_LOCK_VIOLATION);
        return FALSE;
    }
    file->locks.push_back({offset, length, exclusive});
    return TRUE;
}

BOOL UnlockFileEx(HANDLE handle, DWORD reserved, DWORD bytesToUnlockLow, DWORD bytesToUnlockHigh,
                  LPOVERLAPPED overlapped) {
    OpenFile* file = contentsOf(handle);
    if (!file) return FALSE;
    if (!overlapped || reserved != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::uint64_t length = (std::uint64_t{bytesToUnlockHigh} << 32) | bytesToUnlockLow;
    const std::uint64_t offset = (std::uint64_t{overlapped->OffsetHigh} << 32) | overlapped->Offset;
    auto& locks = file->locks;
    auto found = locks.begin();
    while (found != locks.end() && !(found->offset == offset && found->length == length))
        ++found;
    if (found == locks.end()) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    locks.erase(found);
    const int fd = file->held.get();
    lockBytes(fd, F_UNLCK, static_cast<off_t>(offset), static_cast<off_t>(length), false);
    // The host keeps one lock per byte and handle; shared locks of this handle that overlapped
    // the range still hold.
    for (const LockedRange& rest : locks)
        if (overlaps(rest, offset, length))
            lockBytes(fd, rest.exclusive ? F_WRLCK : F_RDLCK, static_cast<off_t>(rest.offset),
                      static_cast<off_t>(rest.length), false);
    return TRUE;
}
