// The profile folders of the other browsers (Opera, Firefox, Mozilla with Netscape) and the
// cleanings of their cache, cookies and history, which delete fixed files and folders inside
// a profile and never read them. Plain logic over the platform: the other-browsers window and
// the unattended run call it.
#pragma once

#include "ui/CleaningResult.h"

#include <string>

// What a Firefox profile is looked up for: it qualifies only when it holds that part.
enum FirefoxPurpose { ffCache = 1, ffCookies = 2, ffHistory = 3 };

// Each lookup returns a profile folder ending in a backslash, or the empty string when the
// browser was not found. Base folders come from the user's Shell Folders values ("AppData",
// "Local AppData") and Opera's "Last Directory3"; a base is an absolute path on a drive
// ("C:\...") or a network share ("\\server\share\..."), forward slashes read as backslashes.
// Any other base is skipped, so that nothing is ever looked for in the current folder or on
// the root of the current drive. A profile folder that is a link, or whose name would lead
// out of its browser's data folder, does not count.
std::string FindOperaProfile();
// Roaming and local profile sets are both looked at; a qualifying local one wins. Only the
// first profile folder of each set counts.
std::string FindFirefoxProfile(int purpose);
std::string FindMozillaProfile();

// The parts of a profile a cleaning takes.
struct ProfileParts {
    bool cache = false;
    bool cookies = false;
    bool history = false;
};

// Deletes the parts named in the profile folder: everything in the cache folder (the folder
// stays, or is made again after a pause of one second, which every cleaning takes), the
// cookies file, the history file; counts the files removed and those that stayed. In Preview
// it only counts, without the pause. A folder that is no absolute path in the lookups' sense
// cleans nothing; a file where the cache folder belongs is left alone.
CleaningResult CleanOperaProfile(const std::string& folder, ProfileParts parts,
                                 CleaningMode mode = CleaningMode::Remove);
CleaningResult CleanFirefoxProfile(const std::string& folder, ProfileParts parts,
                                   CleaningMode mode = CleaningMode::Remove);
CleaningResult CleanMozillaProfile(const std::string& folder, ProfileParts parts,
                                   CleaningMode mode = CleaningMode::Remove);

// What the lookups of today's browsers (BrowserProfiles.h) share with these: `below` (ending in
// a backslash) in the folder a user's Shell Folders value names ("AppData", "Local AppData"),
// or empty when the value names no absolute folder; and the folder `name` of a data folder
// (`data` ends in a backslash), or empty when the name would lead out of it, the folder is a
// link or is not there.
std::string UserFolderBelow(const std::string& shellFolder, const std::string& below);
std::string ProfileFolderIn(const std::string& data, const std::string& name);
