// The shell link binary file format (".lnk"): the header, the target's item identifier list,
// the link information with the local path, the string data and the extra data blocks.
// Internal to the platform layer.
#pragma once

#include "platform/win32_types.h"

#include <string>

namespace platform::lnk {

struct LinkData {
    std::string idList;          // the target's list, terminator included; empty without one
    std::string localPath;       // from the link information (ANSI)
    std::string environmentPath; // the target with environment variables, when kept so
    std::string description;
    std::string relativePath;
    std::string workingDirectory;
    std::string arguments;
    std::string iconLocation;
    DWORD fileAttributes = 0;
    FILETIME creationTime{};
    FILETIME accessTime{};
    FILETIME writeTime{};
    DWORD fileSize = 0;
    int iconIndex = 0;
    int showCommand = 1;
    WORD hotKey = 0;
};

// Strings longer than this cannot be stored: the format counts them in 16 bits.
constexpr std::size_t kLongestString = 0xFFFF;
// Links are small; anything larger is not read.
constexpr std::size_t kLargestFile = 1 << 20;

// False when the bytes are not a whole, well-formed link; nothing outside them is read.
bool parse(const std::string& bytes, LinkData& link);
std::string serialize(const LinkData& link);

} // namespace platform::lnk
