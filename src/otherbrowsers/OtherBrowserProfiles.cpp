#include "otherbrowsers/OtherBrowserProfiles.h"

#include "lang/CleaningText.h"
#include "otherbrowsers/KeptCookieFiles.h"
#include "platform/ansi.h"
#include "platform/win32.h"
#include "ui/MyTricks.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace {

const std::string kShellFoldersKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kOperaKey = "\\Software\\Opera Software\\";

// The names each browser keeps its data under, relative to the profile folder.
struct ProfileLayout {
    const char* cache; // a folder
    const char* cookies;
    const char* history;
};
constexpr ProfileLayout kOpera{"cache4", "cookies4.dat", "global.dat"};
constexpr ProfileLayout kMozilla{"Cache", "cookies.txt", "history.dat"};

// A base or profile folder as the lookups and the cleanings take it, ending in one backslash:
// an absolute path on a drive ("C:\...") or on a network share ("\\server\share\..."), its
// forward slashes written as backslashes. Empty for anything else: a relative path, or one
// relative to the current drive, would lead into the current folder or onto the root of the
// current drive.
std::string absoluteFolder(std::string value) {
    std::replace(value.begin(), value.end(), '/', '\\');
    if (AbsolutePathRoot(value).empty()) return {};
    while (value.back() == '\\')
        value.pop_back();
    return value + "\\";
}

// `below` (ending in a backslash) in the folder a value names, or empty when it names none.
std::string folderBelow(const std::string& value, const std::string& below) {
    const std::string folder = absoluteFolder(value);
    return folder.empty() ? folder : folder + below;
}

std::string userShellFolder(const std::string& name) {
    return ReadUserRegString(kShellFoldersKey, name);
}

// A name the file system gave a profile folder must not lead anywhere but into that folder.
bool plainFolderName(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return false;
    return name.find_first_not_of('.') != std::string::npos;
}

bool isLink(const std::string& folder) {
    const std::string path = folder.substr(0, folder.size() - 1);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The profile folder `name` of a browser's data folder (`data` ends in a backslash), or
// empty: the name must lead nowhere but into that folder, and a folder that is a link leads
// outside it.
std::string profileIn(const std::string& data, const std::string& name) {
    if (data.empty() || !plainFolderName(name)) return {};
    const std::string candidate = data + name + "\\";
    return FolderExists(candidate) && !isLink(candidate) ? candidate : std::string();
}

// The first profile folder of a set (base ends in a backslash), or empty.
std::string firstProfileIn(const std::string& base) {
    if (base.empty() || !FolderExists(base)) return {};
    const std::vector<std::string> names = ListSubfolders(base);
    return names.empty() ? std::string() : profileIn(base, names.front());
}

bool holdsPart(const std::string& profile, int purpose) {
    switch (purpose) {
    case ffCache:
        return FolderExists(profile + kMozilla.cache);
    case ffCookies:
        return FileExistsA(profile + kMozilla.cookies);
    case ffHistory:
        return FileExistsA(profile + kMozilla.history);
    default:
        return false;
    }
}

CleaningResult cleanProfile(const std::string& folder, const ProfileLayout& layout,
                            ProfileParts parts, CleaningMode mode) {
    CleaningResult result;
    const std::string profile = absoluteFolder(folder);
    if (profile.empty()) return result;
    const std::string cacheFolder = profile + layout.cache;
    // The cache is a folder: a file of that name is left alone, and no folder takes its place.
    const DWORD found = GetFileAttributesA(cacheFolder.c_str());
    const bool cleanCache =
        parts.cache && (found == INVALID_FILE_ATTRIBUTES || (found & FILE_ATTRIBUTE_DIRECTORY));
    // Whatever goes wrong while deleting ends the deleting, not the cleaning: the pause and
    // the new cache folder still follow, and the cleaning says what stopped it.
    CleanPart(result, [&] {
        ProcessMessages();
        if (cleanCache) {
            result += CleanFolderContents(cacheFolder, mode);
            // The emptied folder goes too and comes back after the pause.
            if (mode == CleaningMode::Remove) RemoveDirectoryA(cacheFolder.c_str());
        }
        ProcessMessages();
        // A file that cannot be deleted stays; the other one still goes.
        // The cookies of the sites on the keep-list stay.
        if (parts.cookies)
            result += CleanCookieFile(profile + layout.cookies, TKeepCookies::FromRegistry(), mode);
        if (parts.history) CleanFile(profile + layout.history, mode, result);
    });
    if (mode == CleaningMode::Preview) return result;
    Sleep(1000);
    if (cleanCache) CreateDirectoryA(cacheFolder.c_str(), nullptr);
    return result;
}

} // namespace

std::string FindOperaProfile() {
    const std::string profile =
        profileIn(folderBelow(userShellFolder("AppData"), "Opera\\opera\\"), "profile");
    if (!profile.empty()) return profile;
    // Reading the value creates Opera's key (empty) when it is missing.
    return profileIn(absoluteFolder(RegReadString(HKEY_CURRENT_USER, kOperaKey, "Last Directory3")),
                     "profile");
}

namespace {

// Firefox's profile of each of its two places (roaming, then local) that holds the part.
std::vector<std::string> firefoxProfilesHolding(int purpose) {
    std::vector<std::string> found;
    for (const char* base : {"AppData", "Local AppData"}) {
        const std::string candidate =
            firstProfileIn(folderBelow(userShellFolder(base), "Mozilla\\Firefox\\Profiles\\"));
        if (!candidate.empty() && holdsPart(candidate, purpose)) found.push_back(candidate);
    }
    return found;
}

} // namespace

std::string FindFirefoxProfile(int purpose) {
    const std::vector<std::string> found = firefoxProfilesHolding(purpose);
    return found.empty() ? std::string() : found.back();
}

std::string FindMozillaProfile() {
    const std::string candidate =
        firstProfileIn(folderBelow(userShellFolder("AppData"), "Mozilla\\Profiles\\"));
    if (candidate.empty() || !FolderExists(candidate + kMozilla.cache)) return {};
    return candidate;
}

CleaningResult CleanOperaProfile(const std::string& folder, ProfileParts parts, CleaningMode mode) {
    return cleanProfile(folder, kOpera, parts, mode);
}

CleaningResult CleanFirefoxProfile(const std::string& folder, ProfileParts parts,
                                   CleaningMode mode) {
    CleaningResult result = cleanProfile(folder, kMozilla, parts, mode);
    if (!parts.cache) return result;
    // The older Firefox kept its cache in the roaming profile, the later one in the local
    // one: the cache of the same browser in the other place goes too.
    const std::string cleaned = absoluteFolder(folder);
    for (const std::string& other : firefoxProfilesHolding(ffCache))
        if (!AnsiSameText(other, cleaned))
            result += cleanProfile(other, kMozilla, {.cache = true}, mode);
    return result;
}

CleaningResult CleanMozillaProfile(const std::string& folder, ProfileParts parts,
                                   CleaningMode mode) {
    return cleanProfile(folder, kMozilla, parts, mode);
}

std::string UserFolderBelow(const std::string& shellFolder, const std::string& below) {
    return folderBelow(userShellFolder(shellFolder), below);
}

std::string ProfileFolderIn(const std::string& data, const std::string& name) {
    return profileIn(data, name);
}
