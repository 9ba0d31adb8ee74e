// A path on the host's file system, as the POSIX calls take it. Windows paths and host paths
// are both text; this type keeps them apart, so that a Windows path handed where a host path
// belongs (a deletion, a rename, an open) does not compile. Internal to the platform: nothing
// above src/platform sees host paths.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace platform {

class HostPath {
  public:
    HostPath() = default;
    explicit HostPath(std::string path) : path_(std::move(path)) {}

    const std::string& str() const noexcept { return path_; }
    const char* c_str() const noexcept { return path_.c_str(); }
    bool empty() const noexcept { return path_.empty(); }

    // `name` (one component, or several joined by '/') inside this folder.
    HostPath operator/(std::string_view name) const {
        std::string joined = path_;
        joined += '/';
        joined += name;
        return HostPath(std::move(joined));
    }
    // True when `other` is this path or lies below it.
    bool contains(const HostPath& other) const {
        return other.path_ == path_ || (other.path_.size() > path_.size() &&
                                        other.path_.compare(0, path_.size(), path_) == 0 &&
                                        other.path_[path_.size()] == '/');
    }

    friend bool operator==(const HostPath&, const HostPath&) = default;

  private:
    std::string path_;
};

} // namespace platform
