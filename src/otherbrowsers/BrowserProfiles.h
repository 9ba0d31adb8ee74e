// Today's browsers: their profiles as the browsers themselves list them, and the files a
// running browser holds. Plain logic over the platform; the cleanings (BrowserCleaning.h), the
// other-browsers window and the unattended run use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Firefox and its relatives each keep a profiles.ini of their own; the Chromium family keeps
// its profiles in a "User Data" folder listed by its Local State (Opera: one profile, the
// "Opera Stable" folder itself).
enum class Browser {
    Firefox,
    Chrome,
    Edge,
    Brave,
    Vivaldi,
    Opera,
    Chromium,
    LibreWolf,
    Waterfox,
    Floorp,
    Zen
};
enum class BrowserFamily { Firefox, Chromium };

// Every browser, in the order the window, the run and its report show them.
inline constexpr Browser kBrowsers[] = {Browser::Firefox,  Browser::Chrome,    Browser::Edge,
                                        Browser::Brave,    Browser::Vivaldi,   Browser::Opera,
                                        Browser::Chromium, Browser::LibreWolf, Browser::Waterfox,
                                        Browser::Floorp,   Browser::Zen};

// "Firefox", "Chrome", "Edge", "Brave", "Vivaldi", "Opera", "Chromium", "LibreWolf",
// "Waterfox", "Floorp", "Zen".
const char* BrowserName(Browser browser);
BrowserFamily FamilyOf(Browser browser);

struct BrowserProfile {
    std::string name;   // as the browser lists it ("default-release", "Default", "Profile 1")
    std::string folder; // the profile folder, ending in a backslash
    std::string cache;  // the folder its cache lies in, ending in a backslash (may be missing)
};

struct BrowserInstall {
    Browser browser = Browser::Firefox;
    // Where the browser keeps its profiles, ending in a backslash; empty when not found.
    std::string dataFolder;
    // The files the running browser holds open without sharing (the Firefox family's
    // parent.lock in each profile, the Chromium family's lockfile in its data folder); they
    // may be missing.
    std::vector<std::string> lockFiles;
    std::vector<BrowserProfile> profiles;
    // Lines for the user about what the lookup passed over: a damaged profiles.ini or Local
    // State, a profile outside the browser's folder.
    std::vector<std::string> notes;
};

// The Firefox family (Firefox in %APPDATA%\Mozilla\Firefox, LibreWolf in %APPDATA%\librewolf,
// Waterfox, Floorp and Zen in folders of their names): every profile its profiles.ini names,
// and the default profile of each installation (installs.ini, or an [Install...] section),
// its path relative (IsRelative=1) to the browser's folder, its cache in the matching folder
// below %LOCALAPPDATA%; or absolute, anywhere, when the folder there is a profile (it holds
// prefs.js or times.json), its cache then in the profile folder itself.
// The Chromium family: Chrome (%LOCALAPPDATA%\Google\Chrome\User Data), Edge, Brave, Vivaldi
// and Chromium in their "User Data" folders, every profile folder the keys of Local State's
// profile.info_cache name, or, when Local State is missing or cannot be read, Default and
// "Profile N"; Opera's one profile is %APPDATA%\Opera Software\Opera Stable itself, its cache
// in the same place below %LOCALAPPDATA%.
// A relative profile outside the browser's folder, or one reached through a link, is skipped;
// so is one whose folder is not there.
BrowserInstall FindBrowser(Browser browser);

// Reads a whole file of the browser's that is at most `limit` bytes long: empty when it was
// read, "missing" when there is none, else why not, as the user reads it (BrowserTexts.h).
std::string ReadBrowserFile(const std::string& path, std::uint64_t limit, std::string& contents);
