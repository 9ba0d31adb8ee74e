// Host file-system helpers of the platform's file calls: an owner for file descriptors, and
// the way to a path's folder that never passes through a symbolic link, so that a deletion
// or rename cannot reach outside the folder it names.
#pragma once

#include <string>
#include <utility>

namespace platform {

// Owns a host file descriptor; closed when the owner goes.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Closes now; false (errno set) when the close itself failed, as a write may surface then.
    bool reset();

  private:
    int fd_ = -1;
};

// Opens the folder that holds the last component of `hostPath` (a host path inside a drive:
// drive C: below the platform root, or Z:, the host's "/"), walking the components from the
// drive's base without following a symbolic link in any of them. `name` receives the last
// component. On failure the result is invalid and errno tells why (ELOOP for a link, ENOENT,
// ENOTDIR); the last component itself is never followed, so a link there is the link.
UniqueFd openParentNoFollow(const std::string& hostPath, std::string& name);

} // namespace platform
