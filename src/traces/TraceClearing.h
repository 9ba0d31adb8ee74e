// The clearings of the surf traces Windows keeps in the registry and the Recent folder,
// without a window: the MRU and Typed URLs windows and the unattended run call them.
#pragma once

// The key of the Run box's commands, below HKEY_CURRENT_USER.
inline constexpr const char* kRunMruKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
// The key whose values are the typed addresses, below HKEY_CURRENT_USER.
inline constexpr const char* kTypedUrlsKey = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

// Empties the recent documents through the shell, which keeps their list.
void ClearRecentDocuments();
// Deletes every value of the Run list (its order value included); a value that cannot be
// deleted is passed over and the others still go.
void ClearRunList();
// Deletes every typed address in the same way.
void ClearTypedAddresses();
