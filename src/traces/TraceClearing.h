// The clearings of the surf traces Windows keeps in the registry and the Recent folder,
// without a window: the MRU and Typed URLs windows and the unattended run call them. Each
// counts what it removed and what stayed; in Preview it only counts.
#pragma once

#include "ui/CleaningResult.h"

#include <string>
#include <vector>

// The key of the Run box's commands, below HKEY_CURRENT_USER.
inline constexpr const char* kRunMruKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
// The key whose values are the typed addresses, below HKEY_CURRENT_USER.
inline constexpr const char* kTypedUrlsKey = "\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

// The file names in the user's Recent folder (its desktop.ini left out), in folder order.
std::vector<std::string> RecentDocumentNames();
// Empties the recent documents through the shell, which keeps their list; counts the
// documents' shortcuts that went and those still there afterwards.
CleaningResult ClearRecentDocuments(CleaningMode mode = CleaningMode::Remove);
// Deletes every value of the Run list (its order value included, though not counted as an
// entry); a value that cannot be deleted is passed over and the others still go.
CleaningResult ClearRunList(CleaningMode mode = CleaningMode::Remove);
// Deletes every typed address in the same way.
CleaningResult ClearTypedAddresses(CleaningMode mode = CleaningMode::Remove);
