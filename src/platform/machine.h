// The default machine's facts that the platform, its tool and their tests share: where the
// shell's folders are named and where they lie on a fresh machine.
#pragma once

#include <string>

namespace platform {

// Below HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE for the "Common ..." values).
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder that a fresh machine's Shell Folders value of the current user names
// ("Cache" -> "C:\Users\<user>\AppData\Local\Microsoft\Windows\Temporary Internet Files");
// empty for a value the fresh machine does not have.
std::string defaultUserShellFolder(const std::string& valueName);

// The folder the current user's Shell Folders value names, without a trailing backslash; the
// fresh machine's folder when the value is missing or not a string.
std::string userShellFolder(const std::string& valueName);

} // namespace platform
