// Host file-system helpers of the platform's file calls: an owner for file descriptors, and
// the way to a path's folder that never passes through a symbolic link, so that a deletion
// or rename cannot reach outside the folder it names.
#pragma once

#include "platform/handles.h"
#include "platform/hostpath.h"

#include <memory>
#include <string>

namespace platform {

// A host file descriptor; close() reports false (errno set) when the close itself failed, as
// a write may surface then.
struct FdTraits {
    using Handle = int;
    static constexpr int invalid() noexcept { return -1; }
    static bool valid(int fd) noexcept { return fd >= 0; }
    static bool close(int fd) noexcept;
};
using UniqueFd = UniqueHandle<FdTraits>;
// An open folder that several owners keep open, such as the files of a folder that wait to be
// unlinked on another thread.
using SharedFd = std::shared_ptr<const UniqueFd>;

// The folder that holds an entry, opened, and the entry's name in it.
struct ParentFolder {
    UniqueFd folder;
    std::string name;
};

// Opens the folder that holds the last component of `hostPath` (a host path inside a drive:
// drive C: below the platform root, or Z:, the host's "/"), walking the components from the
// drive's base without following a symbolic link in any of them. On failure the folder is
// invalid and errno tells why (ELOOP for a link, ENOENT, ENOTDIR); the last component itself
// is never followed, so a link there is the link.
[[nodiscard]] ParentFolder openParentNoFollow(const HostPath& hostPath);

} // namespace platform
