// SHAddToRecentDocs: the shell's list of recent documents is the shortcuts in the user's
// Recent folder plus the RecentDocs registry key; emptying it removes both, adding a document
// (recentlinks.cpp) adds to both.
#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/recentlinks.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <string>
#include <vector>

namespace {

const char* const kRecentDocs =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
constexpr DWORD kLongestValueName = 16383;

bool isShortcut(const WIN32_FIND_DATAA& found) {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const std::string name = found.cFileName;
    return name.size() > 4 && AnsiSameText(name.substr(name.size() - 4), ".lnk");
}

// Deletes the folder's shortcut files; one that cannot be deleted (read-only, say) stays.
void deleteShortcuts(const std::string& folder) {
    if (folder.empty()) return;
    const std::string prefix = folder.back() == '\\' ? folder : folder + "\\";
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((prefix + "*.*").c_str(), &found));
    if (!find.valid()) return;
    do {
        if (isShortcut(found)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    for (const auto& name : names)
        DeleteFileA((prefix + name).c_str());
}

// Removes the key's values; its subkeys stay as they are.
void removeRecentDocsValues() {
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecentDocs, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                      key.out()) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names;
    std::string name(kLongestValueName + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD size = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key.get(), index, name.data(), &size, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), size);
    }
    for (const auto& n : names)
        RegDeleteValueA(key.get(), n.c_str());
}

} // namespace

void SHAddToRecentDocs(UINT flags, LPCVOID path) {
    if (flags != SHARD_PIDL && flags != SHARD_PATHA && flags != SHARD_PATHW) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    if (path) {
        platform::addRecentDocument(flags, path);
        return;
    }
    // The steps' own errors are no business of the caller's; a database that cannot be read
    // leaves its error and everything as it was.
    const DWORD lastError = GetLastError();
    std::string folder;
    if (!platform::guardedCall<bool>(false, [&] {
            folder = platform::userShellFolder("Recent");
            return true;
        }))
        return;
    deleteShortcuts(folder);
    removeRecentDocsValues();
    SetLastError(lastError);
}
