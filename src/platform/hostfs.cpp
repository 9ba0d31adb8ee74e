#include "platform/hostfs.h"

#include "platform/root.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool UniqueFd::reset() {
    if (fd_ < 0) return true;
    const int rc = ::close(std::exchange(fd_, -1));
    return rc == 0;
}

UniqueFd openParentNoFollow(const std::string& hostPath, std::string& name) {
    const std::string driveC = driveCPath();
    std::string base = "/";
    std::size_t start = 1;
    if (hostPath.compare(0, driveC.size() + 1, driveC + "/") == 0) {
        base = driveC;
        start = driveC.size() + 1;
    } else if (hostPath.empty() || hostPath[0] != '/') {
        errno = ENOENT;
        return UniqueFd();
    }
    UniqueFd folder(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) return folder;
    const std::size_t lastSlash = hostPath.find_last_of('/');
    if (lastSlash == std::string::npos || lastSlash + 1 >= hostPath.size() ||
        lastSlash < start - 1) {
        errno = ENOENT; // a drive's base has no parent to delete it from
        return UniqueFd();
    }
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
            return UniqueFd();
        }
        folder = std::move(next);
    }
    name = hostPath.substr(lastSlash + 1);
    return folder;
}

} // namespace platform
