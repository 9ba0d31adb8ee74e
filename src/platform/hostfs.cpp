#include "platform/hostfs.h"

#include "platform/root.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool FdTraits::close(int fd) noexcept {
    return ::close(fd) == 0;
}

namespace {

// openat2 where the kernel has it: the whole way in one call, failing with ELOOP at any
// link. ENOSYS (an older kernel) or EPERM (a filter that forbids the call) leaves the walk to
// the caller.
enum class WholeWay { Opened, Failed, Unavailable };

WholeWay openWithoutLinks(int base, const std::string& relative, UniqueFd& folder) {
#ifdef SYS_openat2
    static bool available = true;
    if (!available) return WholeWay::Unavailable;
    open_how how{};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    for (;;) {
        const long fd = ::syscall(SYS_openat2, base, relative.c_str(), &how, sizeof how);
        if (fd >= 0) {
            folder = UniqueFd(static_cast<int>(fd));
            return WholeWay::Opened;
        }
        if (errno == EAGAIN || errno == EINTR) continue;
        if (errno == ENOSYS || errno == EPERM || errno == E2BIG) {
            available = false;
            return WholeWay::Unavailable;
        }
        return WholeWay::Failed;
    }
#else
    (void)base;
    (void)relative;
    (void)folder;
    return WholeWay::Unavailable;
#endif
}

// The drive's base folder, kept open: every deletion starts its way there. It is opened again
// for another root, or when the folder was removed meanwhile.
int driveBaseFolder(const HostPath& base) {
    static HostPath keptPath;
    static UniqueFd kept;
    struct stat st;
    if (kept.valid() && keptPath == base && ::fstat(kept.get(), &st) == 0 && st.st_nlink > 0)
        return kept.get();
    kept = UniqueFd(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    keptPath = base;
    return kept.get();
}

} // namespace

ParentFolder openParentNoFollow(const HostPath& host) {
    const std::string& hostPath = host.str();
    const HostPath driveC = driveCPath();
    HostPath base("/");
    std::size_t start = 1;
    if (driveC.contains(host) && host != driveC) {
        base = driveC;
        start = driveC.str().size() + 1;
    } else if (hostPath.empty() || hostPath[0] != '/') {
        errno = ENOENT;
        return {};
    }
    const int baseFolder = driveBaseFolder(base);
    if (baseFolder < 0) return {};
    const std::size_t lastSlash = hostPath.find_last_of('/');
    if (lastSlash == std::string::npos || lastSlash + 1 >= hostPath.size() ||
        lastSlash < start - 1) {
        errno = ENOENT; // a drive's base has no parent to delete it from
        return {};
    }
    const std::string name = hostPath.substr(lastSlash + 1);
    // Deleting the files of a big folder opens the same way thousands of times: one call
    // instead of one per component, where the kernel offers it.
    const std::string relative =
        lastSlash + 1 > start ? hostPath.substr(start, lastSlash - start) : std::string();
    if (relative.empty()) return {UniqueFd(::fcntl(baseFolder, F_DUPFD_CLOEXEC, 0)), name};
    UniqueFd whole;
    switch (openWithoutLinks(baseFolder, relative, whole)) {
    case WholeWay::Opened:
        return {std::move(whole), name};
    case WholeWay::Failed:
        // Which component failed, and why, is the walk's to tell (a link is ELOOP there too).
    case WholeWay::Unavailable:
        break;
    }
    UniqueFd folder(::fcntl(baseFolder, F_DUPFD_CLOEXEC, 0));
    if (!folder.valid()) return {};
    std::size_t pos = start;
    while (pos < lastSlash + 1) {
        std::size_t end = hostPath.find('/', pos);
        if (end == std::string::npos || end > lastSlash) end = lastSlash;
        const std::string component = hostPath.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty() || component == ".") continue;
        UniqueFd next(::openat(folder.get(), component.c_str(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            const int err = errno;
            struct stat st;
            const bool link =
                ::fstatat(folder.get(), component.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(st.st_mode);
            errno = link ? ELOOP : err;
            return {};
        }
        folder = std::move(next);
    }
    return {std::move(folder), name};
}

} // namespace platform
