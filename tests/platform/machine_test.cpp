#include "conformance.h"
#include "platform/machine.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

#include <filesystem>
#include <map>
#include <set>

using namespace conformance;

namespace {

constexpr const char* kShellFolders = platform::kShellFoldersKey;

std::string readString(HKEY root, const char* path, const char* name) {
    Key key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return "<no key>";
    char data[MAX_PATH];
    std::memset(data, kJunkByte, sizeof data);
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<LPBYTE>(data), &size) !=
        ERROR_SUCCESS)
        return "<no value>";
    if (type != REG_SZ || size == 0 || data[size - 1] != '\0') return "<not a terminated string>";
    return data;
}

// Every key and value below a key, as "path\name=data" lines.
void dump(HKEY key, const std::string& path, std::map<std::string, std::string>& out) {
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        out[path + "\\" + name] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        Key child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, child.out()) == ERROR_SUCCESS)
            dump(child.get(), path + "\\" + name, out);
        out[path + "\\" + name + "\\"] = "key";
    }
}

std::map<std::string, std::string> dumpAll() {
    std::map<std::string, std::string> all;
    dump(HKEY_CURRENT_USER, "HKCU", all);
    dump(HKEY_LOCAL_MACHINE, "HKLM", all);
    dump(HKEY_CLASSES_ROOT, "HKCR", all);
    return all;
}

// The names of a key's string values with their data.
std::map<std::string, std::string> stringValues(HKEY root, const char* path) {
    std::map<std::string, std::string> values;
    Key key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        values[name] = readString(root, path, name);
    }
    return values;
}

bool below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && AnsiSameText(path.substr(0, folder.size()), folder) &&
           path[folder.size()] == '\\';
}

// Whether a folder holds nothing but "." and "..".
bool empty(const std::string& folder) {
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &data));
    int entries = find.valid() ? 1 : 0;
    while (find.valid() && FindNextFileA(find.get(), &data))
        ++entries;
    return entries == 2;
}

} // namespace

using MachineTest = testing_support::PlatformTest;

// What the program and the shell rely on: every folder value names a folder of its own that
// exists, the user's below the user's profile, and a fresh machine's folders start empty.
TEST_F(MachineTest, ShellFoldersNameExistingFoldersOfTheirOwn) {
    const auto values = stringValues(HKEY_CURRENT_USER, kShellFolders);
    for (const char* needed :
         {"Local AppData", "AppData", "Favorites", "Recent", "Startup", "Cookies", "Cache"})
        EXPECT_TRUE(values.count(needed)) << needed;
    std::set<std::string> distinct;
    for (const auto& [name, path] : values) {
        EXPECT_TRUE(below(path, "C:\\Users\\User")) << name << " = " << path;
        EXPECT_TRUE(DirectoryExistsA(path)) << name << " = " << path;
        EXPECT_EQ(path, platform::userShellFolder(name)) << name;
        EXPECT_EQ(path, platform::defaultUserShellFolder(name)) << name;
        // The two application-data folders hold the others; the rest start empty.
        if (name != "AppData" && name != "Local AppData") {
            EXPECT_TRUE(empty(path)) << path;
        }
        distinct.insert(AnsiUpperCase(path));
    }
    EXPECT_EQ(values.size(), distinct.size()) << "two values name one folder";
    const auto machine = stringValues(HKEY_LOCAL_MACHINE, kShellFolders);
    for (const char* needed : {"Common Startup", "Common AppData"}) {
        SCOPED_TRACE(needed);
        ASSERT_TRUE(machine.count(needed)) << needed;
        EXPECT_TRUE(DirectoryExistsA(machine.at(needed))) << needed;
        EXPECT_FALSE(below(machine.at(needed), "C:\\Users")) << needed;
    }
    // A missing value falls back to the fresh machine's folder.
    Key folders;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, folders.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(folders.get(), "Cache"));
    EXPECT_EQ(values.at("Cache"), platform::userShellFolder("Cache"));
}

TEST_F(MachineTest, ClassesRootNamesTheShortcutTypes) {
    EXPECT_EQ("Internet Shortcut", readString(HKEY_CLASSES_ROOT, "InternetShortcut", ""));
    EXPECT_EQ("Channel Shortcut", readString(HKEY_CLASSES_ROOT, "ChannelShortcut", ""));
    // The default value answers to a null name as well.
    EXPECT_EQ("Internet Shortcut", readString(HKEY_CLASSES_ROOT, "internetshortcut", nullptr));
}

TEST_F(MachineTest, OpeningARootAgainChangesNothing) {
    // What a user changed on the machine must survive the next start.
    Key folders;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, folders.out()));
    ASSERT_EQ(ERROR_SUCCESS, setString(folders.get(), "Favorites", "D:\\Moved"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(folders.get(), "Cookies"));
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Favorites\\kept.url", "[InternetShortcut]"));
    const auto before = dumpAll();

    const platform::HostPath root = platform::rootPath();
    platform::useRoot(root);
    platform::rootPath();
    EXPECT_EQ(before, dumpAll());
    EXPECT_EQ("D:\\Moved", readString(HKEY_CURRENT_USER, kShellFolders, "Favorites"));
    EXPECT_EQ("<no value>", readString(HKEY_CURRENT_USER, kShellFolders, "Cookies"));
    EXPECT_TRUE(FileExistsA("C:\\Users\\User\\Favorites\\kept.url"));

    // A second root is a machine of its own, and switching back finds the first unchanged.
    testing_support::TempPlatform other;
    EXPECT_EQ("C:\\Users\\User\\Favorites",
              readString(HKEY_CURRENT_USER, kShellFolders, "Favorites"));
    EXPECT_FALSE(FileExistsA("C:\\Users\\User\\Favorites\\kept.url"));
    platform::useRoot(root);
    EXPECT_EQ(before, dumpAll());
}
