// The profile lookups of Opera, Firefox and Mozilla and the cleanings of their files.
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "shell/MyTricks.h"
#include "support/application.h"
#include "support/platform_fixture.h"

#include <unistd.h>

#include <filesystem>

using testing_support::writeHostFile;

namespace {

const std::string kRoaming = "C:\\Users\\User\\AppData\\Roaming\\";
const std::string kLocal = "C:\\Users\\User\\AppData\\Local\\";
const std::string kOpera = kRoaming + "Opera\\opera\\profile\\";
const std::string kFirefoxRoaming = kRoaming + "Mozilla\\Firefox\\Profiles\\";
const std::string kFirefoxLocal = kLocal + "Mozilla\\Firefox\\Profiles\\";
const std::string kMozilla = kRoaming + "Mozilla\\Profiles\\";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kOperaKey = "Software\\Opera Software";

class OtherBrowserProfilesTest : public testing_support::PlatformTest {
  protected:
    OtherBrowserProfilesTest() { testing_support::EnsureApplication(); }

    // A file on drive C: (folders made on the way).
    void file(const std::string& windowsPath, const std::string& contents = "x") {
        writeHostFile(platform.hostPath("C:\\") + "/" + hostPart(windowsPath), contents);
    }
    void folder(const std::string& windowsPath) {
        std::filesystem::create_directories(platform.hostPath("C:\\") + "/" +
                                            hostPart(windowsPath));
    }
    static std::string hostPart(std::string path) {
        path = path.substr(3);
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }
    void setString(const char* key, const std::string& name, const std::string& value) {
        UniqueHKey handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, handle.out(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>(value.size() + 1)));
    }
};

bool keyExists(const char* key) {
    UniqueHKey handle;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.out()) == ERROR_SUCCESS;
}

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
// one is missing. Reading the recorded folder creates Opera's key.
TEST_F(OtherBrowserProfilesTest, OperaPrefersTheRoamingProfileOverItsRecordedFolder) {
    EXPECT_EQ("", FindOperaProfile());
    EXPECT_TRUE(keyExists(kOperaKey));
    folder("C:\\Program Files\\Opera\\profile");
    setString(kOperaKey, "Last Directory3", "C:\\Program Files\\Opera");
    EXPECT_EQ("C:\\Program Files\\Opera\\profile\\", FindOperaProfile());
    folder(kOpera);
    EXPECT_EQ(kOpera, FindOperaProfile());
}

// An empty or relative recorded folder, or an empty application-data value, would name a
// folder on the root of the current drive or below the current folder: no candidate then.
TEST_F(OtherBrowserProfilesTest, OnlyAbsoluteDrivePathsAreBaseFolders) {
    folder("C:\\profile");
    folder("C:\\Opera\\opera\\profile");
    folder("C:\\Mozilla\\Firefox\\Profiles\\x.default\\Cache");
    folder("C:\\Mozilla\\Profiles\\default\\Cache");
    folder("C:\\Work\\Opera\\profile");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Work"));
    for (const std::string recorded : {"", "Opera", "\\", "C:Opera"}) {
        setString(kOperaKey, "Last Directory3", recorded);
        EXPECT_EQ("", FindOperaProfile()) << recorded;
    }
    setString(kShellFolders, "AppData", "");
    setString(kShellFolders, "Local AppData", "");
    EXPECT_EQ("", FindOperaProfile());
    EXPECT_EQ("", FindMozillaProfile());
    EXPECT_EQ("", FindFirefoxProfile(ffCache));
    // A base with a trailing backslash is as good as one without.
    setString(kShellFolders, "AppData", "C:\\");
    EXPECT_EQ("C:\\Opera\\opera\\profile\\", FindOperaProfile());
    EXPECT_EQ("C:\\Mozilla\\Profiles\\default\\", FindMozillaProfile());
}

// Firefox's profile qualifies by what it holds for the purpose: "Cache" as a folder,
// "cookies.txt" and "history.dat" as files. A qualifying local profile replaces a roaming one.
TEST_F(OtherBrowserProfilesTest, FirefoxQualifiesByPurposeAndTheLocalProfileWins) {
    const std::string roaming = kFirefoxRoaming + "a1.default\\";
    const std::string local = kFirefoxLocal + "b2.default\\";
    file(roaming + "Cache\\_CACHE_MAP_");
    file(roaming + "cookies.txt");
    folder(roaming + "history.dat");
    EXPECT_EQ(roaming, FindFirefoxProfile(ffCache));
    EXPECT_EQ(roaming, FindFirefoxProfile(ffCookies));
    EXPECT_EQ("", FindFirefoxProfile(ffHistory));
    EXPECT_EQ("", FindFirefoxProfile(0));

    file(local + "Cache");
    folder(local + "cookies.txt");
    file(local + "history.dat");
    EXPECT_EQ(roaming, FindFirefoxProfile(ffCache));
    EXPECT_EQ(roaming, FindFirefoxProfile(ffCookies));
    EXPECT_EQ(local, FindFirefoxProfile(ffHistory));
    std::filesystem::remove(platform.hostPath(local + "Cache"));
    folder(local + "Cache");
    EXPECT_EQ(local, FindFirefoxProfile(ffCache));
}

// Only the first profile folder of a set counts (the volume lists names ignoring case), even
// when a later one would qualify; Mozilla's needs a "Cache" folder.
TEST_F(OtherBrowserProfilesTest, OnlyTheFirstProfileFolderCounts) {
    folder(kMozilla + "b.default");
    folder(kMozilla + "C.default\\Cache");
    EXPECT_EQ("", FindMozillaProfile());
    folder(kMozilla + "b.default\\Cache");
    EXPECT_EQ(kMozilla + "b.default\\", FindMozillaProfile());
    folder(kMozilla + "A.default");
    EXPECT_EQ("", FindMozillaProfile());

    file(kFirefoxRoaming + "zz.default\\cookies.txt");
    file(kFirefoxRoaming + "profiles.ini");
    EXPECT_EQ(kFirefoxRoaming + "zz.default\\", FindFirefoxProfile(ffCookies));
    folder(kFirefoxRoaming + "m.default");
    EXPECT_EQ("", FindFirefoxProfile(ffCookies));
}

// A profile is only ever a folder inside its set: a name that climbs out (the host allows a
// backslash in a name) or a link to elsewhere is no profile.
TEST_F(OtherBrowserProfilesTest, AProfileMustLieInsideItsSet) {
    const std::string outside = platform.hostPath("C:\\") + "/Wichtig";
    writeHostFile(outside + "/Cache/brief.doc", "meins");
    writeHostFile(outside + "/cookies.txt", "meins");
    const std::string base = platform.hostPath(kMozilla);
    std::filesystem::create_directories(base + "/..\\..\\..\\..\\..\\..\\Wichtig");
    EXPECT_EQ("", FindMozillaProfile());
    std::filesystem::remove(base + "/..\\..\\..\\..\\..\\..\\Wichtig");
    ASSERT_EQ(0, ::symlink(outside.c_str(), (base + "/default").c_str()));
    EXPECT_EQ("", FindMozillaProfile());
    const std::string firefox = platform.hostPath("C:\\") + "/" + hostPart(kFirefoxRoaming);
    std::filesystem::create_directories(firefox);
    ASSERT_EQ(0, ::symlink(outside.c_str(), (firefox + "/default").c_str()));
    EXPECT_EQ("", FindFirefoxProfile(ffCookies));
    EXPECT_EQ("meins", testing_support::readHostFile(outside + "/Cache/brief.doc"));
}

// Cleaning the cache empties the cache folder and leaves cookies and history; each part goes
// by its own flag, with the names of each browser. Every cleaning pauses one second, after
// which the cache folder is back, empty.
TEST_F(OtherBrowserProfilesTest, EachFlagCleansItsPartAndTheCacheFolderComesBackEmpty) {
    const std::string firefox = kFirefoxRoaming + "p.default\\";
    file(firefox + "Cache\\_CACHE_MAP_");
    file(firefox + "Cache\\0\\4A\\x01");
    file(firefox + "cookies.txt");
    file(firefox + "history.dat");
    file(firefox + "prefs.js");
    platform::SimulatedTime time;
    std::vector<int> cacheEntriesDuringPause;
    time.OnSleep([&](DWORD) { cacheEntriesDuringPause.push_back(entriesIn(firefox + "Cache\\")); });

    CleanFirefoxProfile(firefox, true, false, false);
    EXPECT_EQ(std::vector<int>{-1}, cacheEntriesDuringPause);
    EXPECT_EQ(0, entriesIn(firefox + "Cache\\"));
    EXPECT_TRUE(FileExistsA(firefox + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(firefox + "history.dat"));
    EXPECT_EQ(1000, time.PassedMilliseconds());

    CleanFirefoxProfile(firefox, false, true, false);
    EXPECT_FALSE(FileExistsA(firefox + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(firefox + "history.dat"));
    CleanFirefoxProfile(firefox, false, false, true);
    EXPECT_FALSE(FileExistsA(firefox + "history.dat"));
    CleanFirefoxProfile(firefox, false, false, false);
    EXPECT_EQ(4000, time.PassedMilliseconds());
    EXPECT_TRUE(FileExistsA(firefox + "prefs.js"));

    file(kOpera + "cache4\\opr00001.tmp");
    file(kOpera + "Cache\\fremd.tmp");
    file(kOpera + "cookies4.dat");
    file(kOpera + "cookies.txt");
    file(kOpera + "global.dat");
    file(kOpera + "history.dat");
    CleanOperaProfile(kOpera, true, true, true);
    EXPECT_EQ(0, entriesIn(kOpera + "cache4\\"));
    EXPECT_FALSE(FileExistsA(kOpera + "cookies4.dat"));
    EXPECT_FALSE(FileExistsA(kOpera + "global.dat"));
    EXPECT_EQ(1, entriesIn(kOpera + "Cache\\"));
    EXPECT_TRUE(FileExistsA(kOpera + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(kOpera + "history.dat"));

    const std::string mozilla = kMozilla + "default\\";
    file(mozilla + "Cache\\_CACHE_001_");
    file(mozilla + "cookies.txt");
    file(mozilla + "history.dat");
    CleanMozillaProfile(mozilla, true, false, true);
    EXPECT_EQ(0, entriesIn(mozilla + "Cache\\"));
    EXPECT_TRUE(FileExistsA(mozilla + "cookies.txt"));
    EXPECT_FALSE(FileExistsA(mozilla + "history.dat"));
}

// A file that refuses deletion stays and the rest still goes; a folder that names no
// absolute drive path (an empty lookup) cleans nothing, not even below the current folder.
TEST_F(OtherBrowserProfilesTest, FailuresAndEmptyFoldersCleanOnlyWhatTheyMay) {
    platform::SimulatedTime time;
    const std::string mozilla = kMozilla + "default\\";
    file(mozilla + "Cache\\a.bin");
    file(mozilla + "Cache\\b.bin");
    file(mozilla + "cookies.txt");
    file(mozilla + "history.dat");
    ASSERT_TRUE(SetFileAttributesA((mozilla + "cookies.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    CleanMozillaProfile(mozilla, true, true, true);
    EXPECT_TRUE(FileExistsA(mozilla + "cookies.txt"));
    EXPECT_FALSE(FileExistsA(mozilla + "history.dat"));
    EXPECT_EQ(0, entriesIn(mozilla + "Cache\\"));

    file("C:\\Users\\User\\Cache\\mine.txt");
    file("C:\\Users\\User\\cookies.txt");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users\\User"));
    for (const std::string empty : {"", "User", "\\Users\\User\\"})
        CleanMozillaProfile(empty, true, true, true);
    EXPECT_TRUE(FileExistsA("C:\\Users\\User\\Cache\\mine.txt"));
    EXPECT_TRUE(FileExistsA("C:\\Users\\User\\cookies.txt"));
}
