// The other browsers' profile lookups where they meet what only the hosted machine lets a
// test arrange: the root of drive C:, the order the volume lists names in, names holding a
// backslash and links to elsewhere.
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "ui/MyTricks.h"

#include <unistd.h>

#include <filesystem>

using testing_support::writeHostFile;

namespace {

const std::string kRoaming = "C:\\Users\\User\\AppData\\Roaming\\";
const std::string kFirefoxRoaming = kRoaming + "Mozilla\\Firefox\\Profiles\\";
const std::string kMozilla = kRoaming + "Mozilla\\Profiles\\";
const char* const kOperaKey = "Software\\Opera Software";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class OtherBrowserProfilesHostedTest : public testing_support::PlatformTest {
  protected:
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
    static void setShellFolder(const std::string& name, const std::string& value) {
        setString(kShellFolders, name, value);
    }
    static void setOperaFolder(const std::string& value) {
        setString(kOperaKey, "Last Directory3", value);
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

bool keyExists(const char* key) {
    UniqueHKey handle;
    return RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.out()) == ERROR_SUCCESS;
}

} // namespace

// Reading the recorded folder creates Opera's key; a recorded "\" would be the root of the
// current drive, which is never looked at.
TEST_F(OtherBrowserProfilesHostedTest, TheRecordedFolderIsReadThroughItsKeyAndNeverTheRoot) {
    ASSERT_FALSE(keyExists(kOperaKey));
    EXPECT_EQ("", FindOperaProfile());
    EXPECT_TRUE(keyExists(kOperaKey));
    folder("C:\\profile");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users"));
    setOperaFolder("\\");
    EXPECT_EQ("", FindOperaProfile());
}

// Only the first profile folder of a set counts (the volume lists names ignoring case), even
// when a later one would qualify; Mozilla's needs a "Cache" folder.
TEST_F(OtherBrowserProfilesHostedTest, OnlyTheFirstProfileFolderCounts) {
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
// backslash in a name) or a link to elsewhere is no profile. Opera's profile folder, in the
// roaming data folder or the one Opera recorded, is no profile either when it is a link.
TEST_F(OtherBrowserProfilesHostedTest, AProfileMustLieInsideItsSet) {
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

    const std::string opera = platform.hostPath("C:\\") + "/" + hostPart(kRoaming + "Opera\\opera");
    std::filesystem::create_directories(opera);
    ASSERT_EQ(0, ::symlink(outside.c_str(), (opera + "/profile").c_str()));
    folder("C:\\Opera\\profile");
    setOperaFolder("C:\\Opera");
    EXPECT_EQ("C:\\Opera\\profile\\", FindOperaProfile());
    std::filesystem::remove_all(platform.hostPath("C:\\Opera"));
    folder("C:\\Opera");
    ASSERT_EQ(0, ::symlink(outside.c_str(), (platform.hostPath("C:\\Opera") + "/profile").c_str()));
    EXPECT_EQ("", FindOperaProfile());
    EXPECT_EQ("meins", testing_support::readHostFile(outside + "/Cache/brief.doc"));
}

// The hosted machine reaches no network share. Application data redirected to one finds no
// profile and cleans nothing, above all not the folders that the same names would lead to on
// the current drive.
TEST_F(OtherBrowserProfilesHostedTest, AShareOutOfReachIsNeverReadOnTheCurrentDrive) {
    const std::string lookalike = "C:\\server\\share\\AppData\\";
    file(lookalike + "Opera\\opera\\profile\\cookies4.dat");
    file(lookalike + "Mozilla\\Profiles\\default\\Cache\\_CACHE_001_");
    file(lookalike + "Mozilla\\Firefox\\Profiles\\x.default\\Cache\\_CACHE_MAP_");
    file(lookalike + "Mozilla\\Firefox\\Profiles\\x.default\\cookies.txt");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    for (const std::string share : {"\\\\server\\share", "//server/share"}) {
        setShellFolder("AppData", share + "\\AppData");
        setShellFolder("Local AppData", share + "\\AppData");
        setOperaFolder(share + "\\AppData\\Opera\\opera");
        EXPECT_EQ("", FindOperaProfile()) << share;
        EXPECT_EQ("", FindFirefoxProfile(ffCookies)) << share;
        EXPECT_EQ("", FindMozillaProfile()) << share;
    }
    platform::SimulatedTime time;
    const std::string share = "\\\\server\\share\\AppData\\";
    CleanOperaProfile(share + "Opera\\opera\\profile\\",
                      {.cache = true, .cookies = true, .history = true});
    CleanMozillaProfile(share + "Mozilla\\Profiles\\default",
                        {.cache = true, .cookies = true, .history = true});
    CleanFirefoxProfile("//server/share/AppData/Mozilla/Firefox/Profiles/x.default/",
                        {.cache = true, .cookies = true, .history = true});
    EXPECT_TRUE(FileExistsA(lookalike + "Opera\\opera\\profile\\cookies4.dat"));
    EXPECT_FALSE(FolderExists(lookalike + "Opera\\opera\\profile\\cache4"));
    EXPECT_TRUE(FileExistsA(lookalike + "Mozilla\\Profiles\\default\\Cache\\_CACHE_001_"));
    EXPECT_TRUE(
        FileExistsA(lookalike + "Mozilla\\Firefox\\Profiles\\x.default\\Cache\\_CACHE_MAP_"));
    EXPECT_TRUE(FileExistsA(lookalike + "Mozilla\\Firefox\\Profiles\\x.default\\cookies.txt"));
}
