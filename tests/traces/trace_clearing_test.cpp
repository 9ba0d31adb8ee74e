// The clearings of the registry lists and the recent documents, as the unattended run and the
// windows call them.
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "support/wine.h"
#include "traces/TraceClearing.h"
#include "traces/UserRegistryKey.h"

#include <string>
#include <vector>

namespace {

const char* const kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char* const kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void setValue(const char* key, const std::string& name, DWORD type, const std::string& data) {
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, handle.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
}

// The value names of a key in registry order; the key itself must still be there.
std::vector<std::string> valueNames(const char* key) {
    std::vector<std::string> names;
    UniqueHKey handle;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.out()));
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumValueA(handle.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    return names;
}

std::string userFolder(const char* value) {
    UniqueHKey handle;
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, handle.out()) == ERROR_SUCCESS)
        RegQueryValueExA(handle.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(path),
                         &size);
    return path;
}

// The shortcuts of the Recent folder.
int recentShortcuts() {
    int n = 0;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((userFolder("Recent") + "\\*.lnk").c_str(), &found));
    if (find.valid()) {
        do
            ++n;
        while (FindNextFileA(find.get(), &found));
    }
    return n;
}

} // namespace

using TraceClearingTest = testing_support::PlatformTest;

// Every value of the list goes, whatever its type, the order value too; the key stays, and
// the other list is left alone.
TEST_F(TraceClearingTest, EachListLosesEveryValueAndOnlyItsOwn) {
    setValue(kRunMru, "a", REG_SZ, std::string("notepad\\1", 10));
    setValue(kRunMru, "b", REG_EXPAND_SZ, std::string("%windir%\\1", 11));
    setValue(kRunMru, "c", REG_DWORD, std::string("\1\0\0\0", 4));
    setValue(kRunMru, "MRUList", REG_SZ, std::string("cba", 4));
    setValue(kTypedUrls, "url1", REG_SZ, std::string("http://a.example/", 18));
    setValue(kTypedUrls, "url2", REG_SZ, std::string("http://b.example/", 18));

    ClearRunList();
    EXPECT_TRUE(valueNames(kRunMru).empty());
    EXPECT_EQ((std::vector<std::string>{"url1", "url2"}), valueNames(kTypedUrls));
    ClearTypedAddresses();
    EXPECT_TRUE(valueNames(kTypedUrls).empty());
    // Clearing an empty list is no failure and leaves the key.
    ClearRunList();
    ClearTypedAddresses();
    EXPECT_TRUE(valueNames(kRunMru).empty());
}

// Deleting by names read before: a value another program removed in between is passed over,
// and the ones after it still go.
TEST_F(TraceClearingTest, AValueThatCannotBeDeletedDoesNotStopTheRest) {
    for (const char* name : {"url1", "url3", "url4"})
        setValue(kTypedUrls, name, REG_SZ, std::string("http://") + name + ".example/");
    const UserRegistryKey key(std::string("\\") + kTypedUrls);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(3, key.DeleteValues({"url1", "url2", "url3", "url4"}));
    EXPECT_TRUE(valueNames(kTypedUrls).empty());
    EXPECT_EQ(0, key.DeleteValues({"url1"}));
}

// The shell's list of recent documents is emptied with the shortcuts it keeps for them.
TEST_F(TraceClearingTest, TheRecentDocumentsAreEmptied) {
    const std::string document = platform.profile() + "\\Documents\\Brief.txt";
    ASSERT_TRUE(WriteWholeFile(document, "Lieber Kunde"));
    SHAddToRecentDocs(SHARD_PATHA, document.c_str());
    ASSERT_EQ(1, recentShortcuts());
    SKIP_ON_WINE("SHAddToRecentDocs without a path empties nothing: the shortcuts and the "
                 "RecentDocs values stay");
    ClearRecentDocuments();
    EXPECT_EQ(0, recentShortcuts());
    EXPECT_TRUE(FileExistsA(document));
}
