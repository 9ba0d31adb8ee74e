// The profile lookups of Opera, Firefox and Mozilla and the cleanings of their files, made
// and checked through the file and registry calls alone.
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "ui/MyTricks.h"

#include <optional>
#include <vector>

namespace {

const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kOperaKey = "Software\\Opera Software";
const char* const kOperaValue = "Last Directory3";

// The folder Opera recorded, as it was before the test and put back afterwards.
class RecordedOperaFolder {
  public:
    RecordedOperaFolder() {
        UniqueHKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOperaKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
            return;
        char value[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        if (RegQueryValueExA(key.get(), kOperaValue, nullptr, nullptr,
                             reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
            saved_ = value;
    }
    ~RecordedOperaFolder() {
        UniqueHKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOperaKey, 0, KEY_SET_VALUE, key.out()) !=
            ERROR_SUCCESS)
            return;
        if (saved_)
            RegSetValueExA(key.get(), kOperaValue, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(saved_->c_str()),
                           static_cast<DWORD>(saved_->size() + 1));
        else
            RegDeleteValueA(key.get(), kOperaValue);
    }
    RecordedOperaFolder(const RecordedOperaFolder&) = delete;
    RecordedOperaFolder& operator=(const RecordedOperaFolder&) = delete;

  private:
    std::optional<std::string> saved_;
};

class OtherBrowserProfilesTest : public testing_support::PlatformTest {
  protected:
    const std::string roaming = platform.profile() + "\\AppData\\Roaming\\";
    const std::string local = platform.profile() + "\\AppData\\Local\\";
    const std::string opera = roaming + "Opera\\opera\\profile\\";
    const std::string firefoxRoaming = roaming + "Mozilla\\Firefox\\Profiles\\";
    const std::string firefoxLocal = local + "Mozilla\\Firefox\\Profiles\\";
    const std::string mozilla = roaming + "Mozilla\\Profiles\\";
    RecordedOperaFolder recorded;

    // A folder on the machine, with the folders on the way.
    static void folder(const std::string& path) {
        for (std::size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    static void file(const std::string& path, const std::string& contents = "x") {
        folder(path.substr(0, path.find_last_of('\\')));
        ASSERT_TRUE(WriteWholeFile(path, contents)) << path;
    }
    static void setString(const char* key, const std::string& name, const std::string& value) {
        UniqueHKey handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, handle.out(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>(value.size() + 1)));
    }
};

// The entries of a folder (-1 when it is missing).
int entriesIn(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find.valid()) return -1;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") ++n;
    } while (FindNextFileA(find.get(), &found));
    return n;
}

} // namespace

// The roaming profile wins over the folder Opera recorded; that one serves when the roaming
// one is missing.
TEST_F(OtherBrowserProfilesTest, OperaPrefersTheRoamingProfileOverItsRecordedFolder) {
    setString(kOperaKey, kOperaValue, "");
    EXPECT_EQ("", FindOperaProfile());
    const std::string installed = platform.profile() + "\\Programme\\Opera";
    folder(installed + "\\profile");
    setString(kOperaKey, kOperaValue, installed);
    EXPECT_EQ(installed + "\\profile\\", FindOperaProfile());
    folder(opera);
    EXPECT_EQ(opera, FindOperaProfile());
}

// An empty or relative recorded folder, or an empty application-data value, would name a
// folder below the current one, and a path from the root of the current drive one there: no
// candidate then, nor for a network path that reads like such a path. A base with a trailing
// backslash is as good as one without.
TEST_F(OtherBrowserProfilesTest, OnlyAbsolutePathsAreBaseFolders) {
    const std::string work = platform.profile() + "\\Work";
    folder(work + "\\Opera\\profile");
    folder(work + "\\Opera\\opera\\profile");
    folder(work + "\\Mozilla\\Profiles\\default\\Cache");
    folder(work + "\\Mozilla\\Firefox\\Profiles\\x.default\\Cache");
    ASSERT_TRUE(SetCurrentDirectoryA(work.c_str()));
    const std::string fromRoot = work.substr(2);
    for (const std::string& relative :
         {std::string(), std::string("Opera"), std::string("C:Opera"), std::string(".\\Opera"),
          fromRoot, "/" + fromRoot.substr(1), "\\" + fromRoot}) {
        setString(kOperaKey, kOperaValue, relative);
        EXPECT_EQ("", FindOperaProfile()) << relative;
    }
    for (const std::string& relative :
         {std::string(), std::string("."), fromRoot, "/" + fromRoot.substr(1)}) {
        setString(kShellFolders, "AppData", relative);
        setString(kShellFolders, "Local AppData", relative);
        EXPECT_EQ("", FindOperaProfile()) << relative;
        EXPECT_EQ("", FindMozillaProfile()) << relative;
        EXPECT_EQ("", FindFirefoxProfile(ffCache)) << relative;
    }
    setString(kShellFolders, "AppData", work + "\\");
    EXPECT_EQ(work + "\\Opera\\opera\\profile\\", FindOperaProfile());
    EXPECT_EQ(work + "\\Mozilla\\Profiles\\default\\", FindMozillaProfile());
}

// Firefox's profile qualifies by what it holds for the purpose: "Cache" as a folder,
// "cookies.txt" and "history.dat" as files. A qualifying local profile replaces a roaming one.
TEST_F(OtherBrowserProfilesTest, FirefoxQualifiesByPurposeAndTheLocalProfileWins) {
    const std::string roamingProfile = firefoxRoaming + "a1.default\\";
    const std::string localProfile = firefoxLocal + "b2.default\\";
    file(roamingProfile + "Cache\\_CACHE_MAP_");
    file(roamingProfile + "cookies.txt");
    folder(roamingProfile + "history.dat");
    EXPECT_EQ(roamingProfile, FindFirefoxProfile(ffCache));
    EXPECT_EQ(roamingProfile, FindFirefoxProfile(ffCookies));
    EXPECT_EQ("", FindFirefoxProfile(ffHistory));
    EXPECT_EQ("", FindFirefoxProfile(0));

    file(localProfile + "Cache");
    folder(localProfile + "cookies.txt");
    file(localProfile + "history.dat");
    EXPECT_EQ(roamingProfile, FindFirefoxProfile(ffCache));
    EXPECT_EQ(roamingProfile, FindFirefoxProfile(ffCookies));
    EXPECT_EQ(localProfile, FindFirefoxProfile(ffHistory));
    ASSERT_TRUE(DeleteFileA((localProfile + "Cache").c_str()));
    folder(localProfile + "Cache");
    EXPECT_EQ(localProfile, FindFirefoxProfile(ffCache));

    // Mozilla's profile needs a "Cache" folder.
    folder(mozilla + "default");
    EXPECT_EQ("", FindMozillaProfile());
    folder(mozilla + "default\\Cache");
    EXPECT_EQ(mozilla + "default\\", FindMozillaProfile());
}

// Cleaning the cache empties the cache folder and leaves cookies and history; each part goes
// by its own flag, with the names of each browser. Every cleaning pauses one second, after
// which the cache folder is back, empty.
TEST_F(OtherBrowserProfilesTest, EachFlagCleansItsPartAndTheCacheFolderComesBackEmpty) {
    const std::string firefox = firefoxRoaming + "p.default\\";
    file(firefox + "Cache\\_CACHE_MAP_");
    file(firefox + "Cache\\0\\4A\\x01");
    file(firefox + "cookies.txt");
    file(firefox + "history.dat");
    file(firefox + "prefs.js");
    platform::SimulatedTime time;
    std::vector<int> cacheEntriesDuringPause;
    time.OnSleep([&](DWORD) { cacheEntriesDuringPause.push_back(entriesIn(firefox + "Cache\\")); });

    CleanFirefoxProfile(firefox, {.cache = true});
    EXPECT_EQ(std::vector<int>{-1}, cacheEntriesDuringPause);
    EXPECT_EQ(0, entriesIn(firefox + "Cache\\"));
    EXPECT_TRUE(FileExistsA(firefox + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(firefox + "history.dat"));
    EXPECT_EQ(1000, time.PassedMilliseconds());

    CleanFirefoxProfile(firefox, {.cookies = true});
    EXPECT_FALSE(FileExistsA(firefox + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(firefox + "history.dat"));
    CleanFirefoxProfile(firefox, {.history = true});
    EXPECT_FALSE(FileExistsA(firefox + "history.dat"));
    CleanFirefoxProfile(firefox, {});
    EXPECT_EQ(4000, time.PassedMilliseconds());
    EXPECT_TRUE(FileExistsA(firefox + "prefs.js"));

    file(opera + "cache4\\opr00001.tmp");
    file(opera + "Cache\\fremd.tmp");
    file(opera + "cookies4.dat");
    file(opera + "cookies.txt");
    file(opera + "global.dat");
    file(opera + "history.dat");
    CleanOperaProfile(opera, {.cache = true, .cookies = true, .history = true});
    EXPECT_EQ(0, entriesIn(opera + "cache4\\"));
    EXPECT_FALSE(FileExistsA(opera + "cookies4.dat"));
    EXPECT_FALSE(FileExistsA(opera + "global.dat"));
    EXPECT_EQ(1, entriesIn(opera + "Cache\\"));
    EXPECT_TRUE(FileExistsA(opera + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(opera + "history.dat"));

    const std::string profile = mozilla + "default\\";
    file(profile + "Cache\\_CACHE_001_");
    file(profile + "cookies.txt");
    file(profile + "history.dat");
    CleanMozillaProfile(profile, {.cache = true, .history = true});
    EXPECT_EQ(0, entriesIn(profile + "Cache\\"));
    EXPECT_TRUE(FileExistsA(profile + "cookies.txt"));
    EXPECT_FALSE(FileExistsA(profile + "history.dat"));
}

// The older Firefox kept its cache in the roaming profile, the later one in the local one,
// where the lookup finds it: cleaning the cache empties both, counts both, and a preview
// counts the same.
TEST_F(OtherBrowserProfilesTest, TheCacheCleaningOfFirefoxEmptiesTheRoamingCacheToo) {
    platform::SimulatedTime time;
    const std::string roamingProfile = firefoxRoaming + "a1.default\\";
    const std::string localProfile = firefoxLocal + "a1.default\\";
    for (int i = 0; i < 13; ++i)
        file(roamingProfile + "Cache\\" + std::to_string(i % 4) + "\\old" + std::to_string(i));
    for (int i = 0; i < 3; ++i)
        file(localProfile + "Cache\\new" + std::to_string(i), "cached");
    file(roamingProfile + "cookies.txt");
    const std::string found = FindFirefoxProfile(ffCache);
    ASSERT_EQ(localProfile, found);

    const CleaningResult preview =
        CleanFirefoxProfile(found, {.cache = true}, CleaningMode::Preview);
    EXPECT_EQ(4, entriesIn(roamingProfile + "Cache\\")); // its four folders, untouched
    const CleaningResult cleaned = CleanFirefoxProfile(found, {.cache = true});
    EXPECT_EQ(16u, cleaned.removed);
    EXPECT_EQ(preview.removed, cleaned.removed);
    EXPECT_EQ(0u, cleaned.notRemoved);
    EXPECT_EQ(0, entriesIn(roamingProfile + "Cache\\"));
    EXPECT_EQ(0, entriesIn(localProfile + "Cache\\"));
    EXPECT_TRUE(FileExistsA(roamingProfile + "cookies.txt"));

    // Only the one place: cleaned once.
    file(localProfile + "Cache\\again");
    ASSERT_TRUE(RemoveDirectoryA((roamingProfile + "Cache").c_str()));
    EXPECT_EQ(1u, CleanFirefoxProfile(FindFirefoxProfile(ffCache), {.cache = true}).removed);
}

// A file that refuses deletion stays and the rest still goes; a folder that names no
// absolute drive path (an empty lookup) cleans nothing, not even below the current folder.
TEST_F(OtherBrowserProfilesTest, FailuresAndEmptyFoldersCleanOnlyWhatTheyMay) {
    platform::SimulatedTime time;
    const std::string profile = mozilla + "default\\";
    file(profile + "Cache\\a.bin");
    file(profile + "Cache\\b.bin");
    file(profile + "cookies.txt");
    file(profile + "history.dat");
    ASSERT_TRUE(SetFileAttributesA((profile + "cookies.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    CleanMozillaProfile(profile, {.cache = true, .cookies = true, .history = true});
    EXPECT_TRUE(FileExistsA(profile + "cookies.txt"));
    EXPECT_FALSE(FileExistsA(profile + "history.dat"));
    EXPECT_EQ(0, entriesIn(profile + "Cache\\"));
    SetFileAttributesA((profile + "cookies.txt").c_str(), FILE_ATTRIBUTE_NORMAL);

    const std::string home = platform.profile();
    file(home + "\\Cache\\mine.txt");
    file(home + "\\cookies.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(home.c_str()));
    const std::string leaf = home.substr(home.find_last_of('\\') + 1);
    for (const std::string& empty : {std::string(), leaf, home.substr(2) + "\\"})
        CleanMozillaProfile(empty, {.cache = true, .cookies = true, .history = true});
    EXPECT_TRUE(FileExistsA(home + "\\Cache\\mine.txt"));
    EXPECT_TRUE(FileExistsA(home + "\\cookies.txt"));
}

// Base folders written with forward slashes, as some tools write them into the Shell Folders
// values, are read with backslashes: the lookups answer with backslashes, and a profile
// folder written so is cleaned.
TEST_F(OtherBrowserProfilesTest, ForwardSlashesCountAsBackslashes) {
    const std::string profile = firefoxLocal + "x.default\\";
    file(firefoxRoaming + "a.default\\cookies.txt");
    file(profile + "Cache\\_CACHE_MAP_");
    file(profile + "cookies.txt");
    file(mozilla + "default\\Cache\\_CACHE_001_");
    file(opera + "cookies4.dat");
    const auto slashed = [](std::string path) {
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    };
    setString(kShellFolders, "AppData", slashed(roaming));
    setString(kShellFolders, "Local AppData", slashed(local.substr(0, local.size() - 1)));
    EXPECT_EQ(opera, FindOperaProfile());
    EXPECT_EQ(profile, FindFirefoxProfile(ffCache));
    EXPECT_EQ(profile, FindFirefoxProfile(ffCookies));
    EXPECT_EQ(mozilla + "default\\", FindMozillaProfile());

    const std::string installed = platform.profile() + "\\Programme\\Opera";
    folder(installed + "\\profile");
    setString(kShellFolders, "AppData", "");
    setString(kOperaKey, kOperaValue, slashed(installed) + "/");
    EXPECT_EQ(installed + "\\profile\\", FindOperaProfile());

    platform::SimulatedTime time;
    CleanFirefoxProfile(slashed(profile), {.cache = true, .cookies = true});
    EXPECT_EQ(0, entriesIn(profile + "Cache\\"));
    EXPECT_FALSE(FileExistsA(profile + "cookies.txt"));
}

// Where a browser's cache folder belongs there may be a file of that name: it is no cache,
// so the cache cleaning leaves it as it is and makes no folder in its place; the other parts
// are cleaned all the same.
TEST_F(OtherBrowserProfilesTest, AFileWhereTheCacheFolderBelongsIsLeftAlone) {
    platform::SimulatedTime time;
    file(opera + "cache4", "not a cache");
    file(opera + "cookies4.dat");
    CleanOperaProfile(opera, {.cache = true, .cookies = true});
    EXPECT_FALSE(FileExistsA(opera + "cookies4.dat"));
    std::string kept;
    EXPECT_TRUE(ReadWholeFile(opera + "cache4", kept));
    EXPECT_EQ("not a cache", kept);

    const std::string profile = mozilla + "default\\";
    file(profile + "Cache", "mine");
    file(profile + "history.dat");
    CleanMozillaProfile(profile, {.cache = true, .history = true});
    EXPECT_FALSE(FileExistsA(profile + "history.dat"));
    EXPECT_TRUE(ReadWholeFile(profile + "Cache", kept));
    EXPECT_EQ("mine", kept);
    EXPECT_EQ(2000, time.PassedMilliseconds());
}

// Application data redirected to a network share: the lookups find the profiles there,
// however the share is written, and the cleanings work on the share.
TEST_F(OtherBrowserProfilesTest, ProfilesOnANetworkShareAreFoundAndCleaned) {
    const std::string share = platform.share();
    if (share.empty()) GTEST_SKIP() << "no network share reaches this machine";
    const std::string appData = share + "\\Users\\User\\AppData\\Roaming\\";
    const std::string profile = appData + "Mozilla\\Firefox\\Profiles\\n.default\\";
    file(appData + "Opera\\opera\\profile\\cache4\\opr00001.tmp");
    file(profile + "Cache\\0\\4A\\x01");
    file(profile + "cookies.txt");
    file(profile + "prefs.js");
    file(appData + "Mozilla\\Profiles\\default\\Cache\\_CACHE_001_");
    setString(kShellFolders, "AppData", appData);
    setString(kShellFolders, "Local AppData", share + "\\Users\\User\\AppData\\Local");
    EXPECT_EQ(appData + "Opera\\opera\\profile\\", FindOperaProfile());
    EXPECT_EQ(profile, FindFirefoxProfile(ffCache));
    EXPECT_EQ(appData + "Mozilla\\Profiles\\default\\", FindMozillaProfile());
    std::string forward = appData;
    for (char& c : forward)
        if (c == '\\') c = '/';
    setString(kShellFolders, "AppData", forward);
    EXPECT_EQ(profile, FindFirefoxProfile(ffCookies));

    platform::SimulatedTime time;
    CleanFirefoxProfile(profile, {.cache = true, .cookies = true});
    EXPECT_EQ(0, entriesIn(profile + "Cache\\"));
    EXPECT_FALSE(FileExistsA(profile + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(profile + "prefs.js"));
    CleanOperaProfile(appData + "Opera\\opera\\profile\\", {.cache = true});
    EXPECT_EQ(0, entriesIn(appData + "Opera\\opera\\profile\\cache4\\"));
}
