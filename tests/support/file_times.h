// A file's or folder's creation time as the file calls give and take it, in ticks since 1601.
// Plain Win32: the tests of either side use it.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>

namespace testing_support {

// What a search reports; 0 when it finds nothing.
inline std::uint64_t createdOf(const std::string& path) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FindClose(find);
    return (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) |
           data.ftCreationTime.dwLowDateTime;
}

// Sets it through a handle opened for the attributes (a folder's with backup semantics).
inline bool setCreated(const std::string& path, std::uint64_t ticks) {
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const FILETIME time = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool set = SetFileTime(file, &time, nullptr, nullptr) != FALSE;
    CloseHandle(file);
    return set;
}

// 2001-05-26, long before any test runs.
constexpr std::uint64_t kLongAgo = 126353720865000000ULL;

} // namespace testing_support
