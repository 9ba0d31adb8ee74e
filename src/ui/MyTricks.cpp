#include "ui/MyTricks.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

const char* const kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kMakerFolder = "Kravonel";

std::string withoutBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

// The registry calls take paths relative to the root handle.
std::string relativeKey(const std::string& key) {
    const auto start = key.find_first_not_of('\\');
    return start == std::string::npos ? std::string() : key.substr(start);
}

// Reads a string value (REG_SZ or REG_EXPAND_SZ); false for any other type or failure.
bool queryString(HKEY key, const std::string& name, std::string& result) {
    std::string buffer;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LSTATUS rc = RegQueryValueExA(
            key, name.c_str(), nullptr, &type,
            buffer.empty() ? nullptr : reinterpret_cast<LPBYTE>(buffer.data()), &size);
        if (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && buffer.empty() && size > 0)) {
            buffer.assign(size + 1, '\0');
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        buffer.resize(std::min<std::size_t>(size, buffer.size()));
        result = buffer.substr(0, buffer.find('\0'));
        return true;
    }
    return false;
}

std::string withBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A server's or a share's name: something, not only dots, and no character that Windows
// keeps out of names.
bool plainName(const std::string& name) {
    if (name.find_first_not_of('.') == std::string::npos) return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

bool isDriveLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Absolute form of a folder path with "." and ".." worked out, ending in a backslash, so
// that it can be compared with its root; empty when it climbs above its root (a drive's or a
// share's) or is no path that could be worked out.
std::string absoluteFolder(const std::string& path) {
    const std::string p = withBackslashes(path);
    std::string root = AbsolutePathRoot(p);
    std::string rest = p.substr(root.size());
    if (root.empty()) {
        // A network path without a share, a device path, and "C:name", which lies in the
        // current folder of drive C: that only the system knows, are no folder to delete.
        if (p.size() >= 2 && ((p[0] == '\\' && p[1] == '\\') || p[1] == ':')) return {};
        char current[MAX_PATH + 1] = {};
        const DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length == 0 || length >= sizeof current) return {};
        const std::string cwd = current;
        root = AbsolutePathRoot(cwd);
        if (root.empty()) return {};
        // From the root of the current drive or share, or from the current folder.
        rest = !p.empty() && p[0] == '\\' ? p : cwd.substr(root.size()) + "\\" + p;
    }
    if (root[1] == ':')
        root[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])));
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        const std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = root;
    for (const auto& part : parts)
        result += part + "\\";
    return result;
}

// Clears a read-only attribute, then deletes the file or removes the (empty or linked)
// folder. `attributes` are the entry's attributes as the enumeration read them.
bool removeEntry(const std::string& path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    return folder ? RemoveDirectoryA(path.c_str()) != FALSE : DeleteFileA(path.c_str()) != FALSE;
}

// Lets window messages through between the entries of a long walk. A round of the event
// loop costs more than deleting a small file, so it runs at most every few milliseconds,
// which keeps the window just as responsive.
class MessagePump {
  public:
    void betweenEntries() {
        const ULONGLONG now = GetTickCount64();
        if (started_ && now - last_ < kIntervalMs) return;
        ProcessMessages();
        started_ = true;
        last_ = GetTickCount64();
    }

  private:
    static constexpr ULONGLONG kIntervalMs = 10;
    bool started_ = false;
    ULONGLONG last_ = 0;
};

// What a counted walk does: only count (Preview) or remove, and where the counts go. Without
// one, a walk stops at the first entry that refuses to go.
struct TreeTally {
    CleaningMode mode;
    CleaningResult& result;
};

std::uint64_t sizeOf(const WIN32_FIND_DATAA& data) {
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// False as soon as anything refuses to go; the caller then stops as well, unless the walk is
// counted, which passes over what refuses and counts it. A root keeps itself.
bool deleteTree(const std::string& folder, bool removeSelf, MessagePump& pump,
                TreeTally* tally = nullptr) {
    bool whole = true;
    {
        WIN32_FIND_DATAA data{};
        const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &data));
        if (find.valid()) {
            do {
                pump.betweenEntries();
                const std::string longName = data.cFileName;
                if (longName == "." || longName == "..") continue;
                const std::string name =
                    data.cAlternateFileName[0] ? std::string(data.cAlternateFileName) : longName;
                const bool directory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
                // A link or junction goes by itself; what it points to is outside the tree.
                const bool link = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
                if (directory && !link) {
                    if (!deleteTree(folder + name + "\\", true, pump, tally)) {
                        if (!tally) return false;
                        whole = false;
                    }
                    continue;
                }
                if (tally && tally->mode == CleaningMode::Preview) {
                    tally->result.Removed(sizeOf(data));
                    continue;
                }
                if (removeEntry(folder + name, data.dwFileAttributes)) {
                    if (tally) tally->result.Removed(sizeOf(data));
                    continue;
                }
                if (!tally) return false;
                tally->result.Failed(folder + longName, GetLastError());
                whole = false;
            } while (FindNextFileA(find.get(), &data));
        }
    }
    if (!removeSelf || !whole) return whole;
    if (tally && tally->mode == CleaningMode::Preview) return true;
    const std::string self = withoutBackslash(folder);
    return removeEntry(self, GetFileAttributesA(self.c_str()));
}

// The short form of a path, which keeps the paths of a deep tree short; empty when the file
// system gives none.
std::string shortPathOf(const std::string& path) {
    const DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::string shortPath(needed, '\0');
    const DWORD length =
        GetShortPathNameA(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) return {};
    shortPath.resize(length);
    return shortPath;
}

} // namespace

std::string ProgramFolder() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
    const auto slash = buffer.find_last_of('\\');
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash + 1);
}

std::string GetDataFolder(const std::string& name) {
    std::string folder = ProgramFolder();
    UniqueHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_READ, key.out()) ==
        ERROR_SUCCESS) {
        std::string localAppData;
        // An empty value names no folder; the program folder serves as for a missing one.
        if (queryString(key.get(), "Local AppData", localAppData) && !localAppData.empty()) {
            while (!localAppData.empty() && localAppData.back() == '\\')
                localAppData.pop_back();
            folder = localAppData + "\\" + kMakerFolder + "\\";
        }
    }
    if (!name.empty()) folder += name + "\\";
    return folder;
}

std::string GetDataFilePath(const std::string& name, const std::string& file) {
    const std::string inDataFolder = GetDataFolder(name) + file;
    if (FileExistsA(inDataFolder)) return inDataFolder;
    const std::string inProgramFolder = ProgramFolder() + file;
    if (FileExistsA(inProgramFolder)) return inProgramFolder;
    return inDataFolder;
}

bool EnsureDataFolders(const std::string& name, bool wipe) {
    bool ok = true;
    // Without a name the data folder is the maker folder itself, or even the program folder
    // on a profile without local application data: never wiped.
    if (wipe && !name.empty()) DeleteFolderTree(GetDataFolder(name));
    const std::string makerFolder = GetDataFolder("");
    if (!FolderExists(makerFolder) && !CreateDirectoryA(makerFolder.c_str(), nullptr)) ok = false;
    const std::string dataFolder = GetDataFolder(name);
    if (!FolderExists(dataFolder) && !CreateDirectoryA(dataFolder.c_str(), nullptr)) ok = false;
    return ok;
}

bool ProvideDataFiles(const std::string& name, bool wipe, const std::vector<std::string>& files) {
    bool ok = EnsureDataFolders(name, wipe);
    const std::string programFolder = ProgramFolder();
    const std::string dataFolder = GetDataFolder(name);
    for (const auto& file : files) {
        const std::string source = programFolder + file;
        const std::string target = dataFolder + file;
        if (FileExistsA(source) && !FileExistsA(target) &&
            !CopyFileA(source.c_str(), target.c_str(), TRUE))
            ok = false;
    }
    return ok;
}

bool FolderExists(const std::string& path) {
    return DirectoryExistsA(path);
}

void RunFile(const std::string& path) {
    if (FileExistsA(path)) OpenURL(path);
}

void OpenURL(const std::string& target) {
    ShellExecuteA(nullptr, "Open", target.c_str(), "", "", SW_SHOWNORMAL);
}

std::string AbsolutePathRoot(const std::string& path) {
    const std::string p = withBackslashes(path);
    if (p.size() >= 3 && isDriveLetter(p[0]) && p[1] == ':' && p[2] == '\\') return p.substr(0, 3);
    if (p.size() < 2 || p[0] != '\\' || p[1] != '\\') return {};
    const std::size_t serverEnd = p.find('\\', 2);
    if (serverEnd == std::string::npos) return {};
    const std::size_t shareEnd = std::min(p.find('\\', serverEnd + 1), p.size());
    if (!plainName(p.substr(2, serverEnd - 2)) ||
        !plainName(p.substr(serverEnd + 1, shareEnd - serverEnd - 1)))
        return {};
    return p.substr(0, shareEnd) + "\\";
}

namespace {

// The folder a tree deletion starts at, ending in a backslash, or empty when there is nothing
// to walk; a link of that name is removed by itself, a file of that name stays.
std::string treeStart(const std::string& folder, TreeTally* tally) {
    const std::string given = withBackslashes(folder);
    if (given.empty()) return {};
    // Where the file system gives no short form of a folder that is there (a parent folder the
    // user may not list; some systems give none on a network share), the path as given serves.
    std::string path = shortPathOf(given);
    if (path.empty()) {
        if (GetFileAttributesA(given.c_str()) == INVALID_FILE_ATTRIBUTES)
            return {}; // no such folder
        path = given;
    }
    const std::string start = absoluteFolder(path);
    if (start.empty()) return {};
    if (start == AbsolutePathRoot(start)) return start;
    const DWORD attributes = GetFileAttributesA(withoutBackslash(start).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (!tally || tally->mode == CleaningMode::Remove)
            removeEntry(withoutBackslash(start), attributes);
        return {};
    }
    // A file of that name is no folder and stays.
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return start;
}

} // namespace

void DeleteFolderTree(const std::string& folder) {
    const std::string start = treeStart(folder, nullptr);
    if (start.empty()) return;
    MessagePump pump;
    deleteTree(start, start != AbsolutePathRoot(start), pump);
}

CleaningResult CleanFolderContents(const std::string& folder, CleaningMode mode) {
    CleaningResult result;
    TreeTally tally{mode, result};
    const std::string start = treeStart(folder, &tally);
    if (start.empty()) return result;
    MessagePump pump;
    deleteTree(start, false, pump, &tally);
    return result;
}

void CleanFile(const std::string& path, CleaningMode mode, CleaningResult& result) {
    WIN32_FIND_DATAA data{};
    {
        const UniqueFindHandle find(FindFirstFileA(path.c_str(), &data));
        if (!find.valid() || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    }
    if (mode == CleaningMode::Preview || DeleteFileA(path.c_str()))
        result.Removed(sizeOf(data));
    else
        result.Failed(path, GetLastError());
}

std::vector<std::string> ListSubfolders(const std::string& folder) {
    std::vector<std::string> result;
    WIN32_FIND_DATAA data{};
    const UniqueFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &data));
    if (!find.valid()) return result;
    do {
        const std::string name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            result.push_back(name);
        ProcessMessages();
    } while (FindNextFileA(find.get(), &data));
    return result;
}

std::string RegReadString(HKEY root, const std::string& key, const std::string& value) {
    UniqueHKey handle;
    if (RegCreateKeyExA(root, relativeKey(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, handle.out(), nullptr) != ERROR_SUCCESS)
        return {};
    std::string result;
    return queryString(handle.get(), value, result) ? result : std::string();
}

std::string ReadFirstLine(const std::string& path) {
    std::string contents;
    if (!FileExistsA(path) || !ReadWholeFile(path, contents)) return {};
    return contents.substr(0, contents.find('\r'));
}

void WriteFileIfMissing(const std::string& path, const std::string& text) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteWholeFile(path, text);
}

std::string ReadUserRegString(const std::string& key, const std::string& value) {
    return RegReadString(HKEY_CURRENT_USER, key, value);
}

void WriteUserRegString(const std::string& key, const std::string& value, const std::string& data) {
    UniqueHKey handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, relativeKey(key).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, handle.out(),
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle.get(), value.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

std::string ReadMachineRegString(const std::string& key, const std::string& value) {
    return RegReadString(HKEY_LOCAL_MACHINE, key, value);
}
