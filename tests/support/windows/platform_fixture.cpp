// The fresh machine of a test on Windows: an empty profile folder in the temporary folder, the
// user's shell folders pointed into it for the test (both the "User Shell Folders" the shell
// reads and the "Shell Folders" kept for older programs), and the test keys below
// Software\Kravonel removed before and after. The program folder is the test program's own;
// what the test adds there goes afterwards. Everything is put back when the test ends.
#include "support/platform_fixture.h"
#include "support/wine.h"

#include "platform/filetime.h"
#include "platform/machine.h"
#include "platform/win32.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

namespace testing_support {
namespace {

constexpr const char* kUserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kTestKeys = "Software\\Kravonel";

// One registry value as it was before the test: gone, or its type and bytes.
struct SavedValue {
    std::string key;
    std::string name;
    bool existed = false;
    DWORD type = REG_NONE;
    std::string data;
};

std::vector<SavedValue>& savedValues() {
    static std::vector<SavedValue> values;
    return values;
}

SavedValue save(const std::string& key, const std::string& name) {
    SavedValue saved;
    saved.key = key;
    saved.name = name;
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, handle.out()) !=
        ERROR_SUCCESS)
        return saved;
    DWORD size = 0;
    if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &saved.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return saved;
    saved.data.resize(size);
    saved.existed =
        RegQueryValueExA(handle.get(), name.c_str(), nullptr, &saved.type,
                         reinterpret_cast<BYTE*>(saved.data.data()), &size) == ERROR_SUCCESS;
    saved.data.resize(size);
    return saved;
}

void put(const std::string& key, const std::string& name, DWORD type, const std::string& data) {
    UniqueHKey handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        handle.out(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open " + key);
    RegSetValueExA(handle.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
}

void restore(const SavedValue& saved) {
    if (saved.existed) {
        put(saved.key, saved.name, saved.type, saved.data);
        return;
    }
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, saved.key.c_str(), 0, KEY_SET_VALUE, handle.out()) ==
        ERROR_SUCCESS)
        RegDeleteValueA(handle.get(), saved.name.c_str());
}

void removeTestKeys() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKeys);
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKeys);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKeys);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKeys);
}

void makeFolders(const std::string& path) {
    for (std::size_t pos = path.find('\\', 3);; pos = path.find('\\', pos + 1)) {
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
        if (pos == std::string::npos) break;
    }
}

// Everything below the folder and the folder itself, read-only and hidden entries included.
void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find.valid()) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                removeTree(path);
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(path.c_str());
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find.get(), &found));
    }
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
}

// The names of the files (not folders) directly in a folder.
std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find.valid()) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
        while (FindNextFileA(find.get(), &found));
    }
    return names;
}

std::set<std::string>& programFiles() {
    static std::set<std::string> names;
    return names;
}

std::string moduleFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.rfind('\\'));
}

} // namespace

TempPlatform::TempPlatform() {
    // One folder per test program, emptied for each test: the shell keeps the paths of some
    // folders it has seen (the desktop's) for the life of the process.
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) throw std::runtime_error("no temporary folder");
    base_ = std::string(temp, n) + "surfkolibri-test-" + std::to_string(GetCurrentProcessId());
    removeTree(base_);
    profile_ = base_ + "\\User";
    makeFolders(profile_);
    // The program folder is where the running program lies, as the components find it; the
    // files a test leaves there go with the test.
    programFolder_ = moduleFolder();
    programFiles() = filesIn(programFolder_);
    removeTestKeys();

    auto& saved = savedValues();
    saved.clear();
    for (const auto& folder : platform::kUserShellFolders) {
        const std::string path = profile_ + "\\" + folder.path;
        makeFolders(path);
        for (const char* key : {kUserShellFoldersKey, platform::kShellFoldersKey}) {
            saved.push_back(save(key, folder.value));
            put(key, folder.value, REG_SZ, path + '\0');
        }
    }
    SetCurrentDirectoryA(programFolder_.c_str());
    CoInitialize(nullptr);
}

TempPlatform::~TempPlatform() {
    CoUninitialize();
    for (const std::string& name : filesIn(programFolder_))
        if (!programFiles().count(name)) {
            const std::string path = programFolder_ + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    for (const auto& value : savedValues())
        restore(value);
    savedValues().clear();
    removeTestKeys();
    char temp[MAX_PATH];
    const DWORD n = GetTempPathA(sizeof temp, temp);
    if (n > 0 && n < sizeof temp) SetCurrentDirectoryA(temp);
    removeTree(base_);
    if (!shareFolder_.empty()) removeTree(shareFolder_);
}

std::string TempPlatform::programFolderWindows() const {
    return programFolder_ + "\\";
}

std::string TempPlatform::hostPath(const std::string& windowsPath) const {
    return windowsPath;
}

std::string TempPlatform::profile() const {
    return profile_;
}

std::string TempPlatform::share() const {
    // Wine serves \\server\share from the folder dosdevices\unc\server\share of its prefix.
    char prefix[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (!runningOnWine() || n == 0 || n >= sizeof prefix || prefix[0] != '/') return {};
    const std::string name = "surfkolibri-test-" + std::to_string(GetCurrentProcessId());
    std::string devices = std::string("Z:") + prefix + "/dosdevices/unc/kolibri";
    std::replace(devices.begin(), devices.end(), '/', '\\');
    shareFolder_ = devices + "\\" + name;
    removeTree(shareFolder_);
    makeFolders(shareFolder_);
    const std::string share = "\\\\kolibri\\" + name;
    return DirectoryExistsA(share) ? share : std::string();
}

bool TempPlatform::grantAdministrator() const {
    return IsUserAnAdmin() != FALSE;
}

void TempPlatform::reopen() const {}

void setHostFileTimes(const std::string& hostPath, std::uint64_t ticks) {
    const HANDLE file =
        CreateFileA(hostPath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const FILETIME time = platform::fileTimeOf(ticks);
    SetFileTime(file, nullptr, &time, &time);
    CloseHandle(file);
}

bool runningOnWine() {
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void TempPlatform::installDataFiles() const {
    // The build puts the shipped data files into data\ beside the test programs.
    const std::string data = moduleFolder() + "\\data";
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((data + "\\*").c_str(), &found));
    if (!find.valid()) throw std::runtime_error("no data files in " + data);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        CopyFileA((data + "\\" + found.cFileName).c_str(),
                  (programFolder_ + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find.get(), &found));
}

} // namespace testing_support
