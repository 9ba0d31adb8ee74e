#include "traces/TraceClearing.h"

#include "platform/ansi.h"
#include "platform/win32.h"
#include "traces/UserRegistryKey.h"
#include "ui/MyTricks.h"

#include <algorithm>

namespace {

const std::string kShellFoldersKey =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// The Run list's order of its commands: a value of the list, but no command.
constexpr const char* kOrderValue = "MRUList";

// The names are read in full before the first one is deleted, so that deleting does not
// move the enumeration under the reader.
CleaningResult deleteEveryValue(const char* path, CleaningMode mode) {
    CleaningResult result;
    const UserRegistryKey key(path);
    for (const std::string& name : key.ValueNames()) {
        const bool entry = !AnsiSameText(name, kOrderValue);
        if (mode == CleaningMode::Preview) {
            if (entry) result.Removed();
            continue;
        }
        if (const LONG status = key.DeleteValueStatus(name); status == ERROR_SUCCESS) {
            if (entry) result.Removed();
        } else {
            result.Failed(name, static_cast<DWORD>(status));
        }
    }
    return result;
}

std::string recentFolder() {
    std::string folder = ReadUserRegString(kShellFoldersKey, "RECENT");
    if (folder.empty() || folder.back() != '\\') folder += "\\";
    // "C:\" and the like are no Recent folder.
    return folder.size() <= 5 ? std::string() : folder;
}

} // namespace

std::vector<std::string> RecentDocumentNames() {
    std::vector<std::string> names;
    const std::string folder = recentFolder();
    if (folder.empty()) return names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find.valid()) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (AnsiUpperCase(found.cFileName) == "DESKTOP.INI") continue;
        names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
}

CleaningResult ClearRecentDocuments(CleaningMode mode) {
    CleaningResult result;
    const std::vector<std::string> before = RecentDocumentNames();
    if (mode == CleaningMode::Remove) SHAddToRecentDocs(SHARD_PATHA, nullptr);
    std::vector<std::string> after =
        mode == CleaningMode::Remove ? RecentDocumentNames() : std::vector<std::string>();
    std::sort(after.begin(), after.end());
    for (const std::string& name : before) {
        // The shell's list is its shortcuts; other files in the folder are none of its.
        if (name.size() < 4 || !AnsiSameText(name.substr(name.size() - 4), ".lnk")) continue;
        if (std::binary_search(after.begin(), after.end(), name))
            result.Failed(name, ERROR_ACCESS_DENIED);
        else
            result.Removed();
    }
    return result;
}

CleaningResult ClearRunList(CleaningMode mode) {
    return deleteEveryValue(kRunMruKey, mode);
}

CleaningResult ClearTypedAddresses(CleaningMode mode) {
    return deleteEveryValue(kTypedUrlsKey, mode);
}
