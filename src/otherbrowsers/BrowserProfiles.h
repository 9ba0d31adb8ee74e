// Today's Firefox, Chrome and Edge: their profiles as the browsers themselves list them, and
// the file a running browser holds. Plain logic over the platform; the cleanings
// (BrowserCleaning.h), the other-browsers window and the unattended run use it.
#pragma once

#include <string>
#include <vector>

enum class Browser { Firefox, Chrome, Edge };

// "Firefox", "Chrome", "Edge".
const char* BrowserName(Browser browser);

struct BrowserProfile {
    std::string name;   // as the browser lists it ("default-release", "Default", "Profile 1")
    std::string folder; // the profile folder, ending in a backslash
    std::string cache;  // the folder its cache lies in, ending in a backslash (may be missing)
};

struct BrowserInstall {
    Browser browser = Browser::Firefox;
    // Where the browser keeps its profiles, ending in a backslash; empty when not found.
    std::string dataFolder;
    // The files the running browser holds open without sharing (Firefox's parent.lock in each
    // profile, Chrome's and Edge's lockfile in their data folder); they may be missing.
    std::vector<std::string> lockFiles;
    std::vector<BrowserProfile> profiles;
    // Lines for the user about what the lookup passed over: a damaged profiles.ini or Local
    // State, a profile outside the browser's folder.
    std::vector<std::string> notes;
};

// Firefox: every profile profiles.ini (in %APPDATA%\Mozilla\Firefox) names, its Path relative
// (IsRelative=1) or absolute; its cache in the matching folder below
// %LOCALAPPDATA%\Mozilla\Firefox. Chrome (%LOCALAPPDATA%\Google\Chrome\User Data) and Edge
// (%LOCALAPPDATA%\Microsoft\Edge\User Data): every profile folder the keys of Local State's
// profile.info_cache name, or, when Local State is missing or cannot be read, Default and
// "Profile N". A profile outside the browser's folder, or reached through a link, is skipped;
// so is one whose folder is not there.
BrowserInstall FindBrowser(Browser browser);
