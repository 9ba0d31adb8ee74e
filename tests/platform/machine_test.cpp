#include "conformance.h"
#include "platform/machine.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

#include <filesystem>
#include <map>

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

} // namespace

using MachineTest = testing_support::PlatformTest;

TEST_F(MachineTest, UserShellFoldersNameFoldersThatExist) {
    const std::map<std::string, std::string> expected = {
        {"AppData", "C:\\Users\\User\\AppData\\Roaming"},
        {"Local AppData", "C:\\Users\\User\\AppData\\Local"},
        {"Favorites", "C:\\Users\\User\\Favorites"},
        {"Recent", "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent"},
        {"Startup",
         "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
        {"Cookies", "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
        {"Cache", "C:\\Users\\User\\AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files"},
        {"Personal", "C:\\Users\\User\\Documents"},
        {"Desktop", "C:\\Users\\User\\Desktop"},
    };
    for (const auto& [name, path] : expected) {
        const std::string value = readString(HKEY_CURRENT_USER, kShellFolders, name.c_str());
        EXPECT_EQ(path, value) << name;
        EXPECT_TRUE(DirectoryExistsA(value)) << value;
        // The folders start empty.
        WIN32_FIND_DATAA data;
        const UniqueFindHandle find(FindFirstFileA((value + "\\*.*").c_str(), &data));
        ASSERT_TRUE(find.valid()) << value;
        int entries = 1;
        while (FindNextFileA(find.get(), &data))
            ++entries;
        if (name != "AppData" && name != "Local AppData") {
            EXPECT_EQ(2, entries) << value << " holds more than . and ..";
        }
    }
}

TEST_F(MachineTest, MachineShellFoldersNameFoldersThatExist) {
    const std::string startup = readString(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup");
    EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup", startup);
    EXPECT_TRUE(DirectoryExistsA(startup));
    const std::string appData = readString(HKEY_LOCAL_MACHINE, kShellFolders, "Common AppData");
    EXPECT_EQ("C:\\ProgramData", appData);
    EXPECT_TRUE(DirectoryExistsA(appData));
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

    const std::string root = platform::rootPath();
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
