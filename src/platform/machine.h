// The default machine's facts that the platform, its tool and their tests share: where the
// shell's folders are named and where they lie on a fresh machine.
#pragma once

#include <string>

namespace platform {

// Below HKEY_CURRENT_USER (and HKEY_LOCAL_MACHINE for the "Common ..." values).
inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The current user's shell folders of a fresh machine: the Shell Folders value and the
// folder below the user's profile folder ("C:\Users\<user>") that it names.
struct UserShellFolder {
    const char* value;
    const char* path;
};
inline constexpr UserShellFolder kUserShellFolders[] = {
    {"AppData", "AppData\\Roaming"},
    {"Local AppData", "AppData\\Local"},
    {"Favorites", "Favorites"},
    {"Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
    {"Startup", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {"Cookies", "AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
    {"Cache", "AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files"},
    {"History", "AppData\\Local\\Microsoft\\Windows\\History"},
    {"Personal", "Documents"},
    {"Desktop", "Desktop"},
};

// The folder that a fresh machine's Shell Folders value of the current user names
// ("Cache" -> "C:\Users\<user>\AppData\Local\Microsoft\Windows\Temporary Internet Files");
// empty for a value the fresh machine does not have.
std::string defaultUserShellFolder(const std::string& valueName);

// The folder the current user's Shell Folders value names, without a trailing backslash; the
// fresh machine's folder when the value is missing or not a string.
std::string userShellFolder(const std::string& valueName);

} // namespace platform
