// Whole-file access over the real file calls. A file that exists keeps its attributes and
// is cut to what is written (CREATE_ALWAYS would refuse a hidden or system file); only a
// read-only file is refused, with ERROR_ACCESS_DENIED. What is not a file on a disk (a
// pipe, a device) is neither read nor written.
#include "platform/win32.h"

#include <algorithm>
#include <utility>

namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool isDiskFile(HANDLE file) {
    if (GetFileType(file) == FILE_TYPE_DISK) return true;
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
}

} // namespace

bool ReadWholeFile(const std::string& windowsPath, std::string& contents) {
    const FileHandle file(CreateFileA(windowsPath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !isDiskFile(file.get())) return false;
    std::string read;
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) return false;
        if (n == 0) break;
        read.append(buffer, n);
    }
    contents = std::move(read);
    return true;
}

bool WriteWholeFile(const std::string& windowsPath, const std::string& contents) {
    const FileHandle file(CreateFileA(windowsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || !isDiskFile(file.get())) return false;
    std::size_t written = 0;
    while (written < contents.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(contents.size() - written, 1u << 20));
        DWORD n = 0;
        if (!WriteFile(file.get(), contents.data() + written, chunk, &n, nullptr) || n == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        written += n;
    }
    if (!SetEndOfFile(file.get())) return false;
    return true;
}
