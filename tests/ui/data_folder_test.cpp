// The data-folder utilities: where the program keeps its data files, how they are provided
// from the program folder, and deleting a folder tree, through the file and registry calls.
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "ui/MyTricks.h"

#include <string>
#include <vector>

namespace {

const std::string kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class DataFolderTest : public testing_support::PlatformTest {
  protected:
    const std::string local = platform.profile() + "\\AppData\\Local";
    const std::string maker = local + "\\Kravonel\\";
    const std::string data = maker + "Surfkolibri\\";
    const std::string program = platform.programFolderWindows();

    // A file with the folders on the way.
    static void put(const std::string& path, const std::string& contents) {
        for (std::size_t i = path.find('\\', 3); i != std::string::npos; i = path.find('\\', i + 1))
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(path, contents)) << path;
    }
    static std::string contents(const std::string& path) {
        std::string bytes;
        return ReadWholeFile(path, bytes) ? bytes : std::string("<missing>");
    }
    static void setLocalAppData(DWORD type, const std::string& bytes) {
        UniqueHKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str() + 1, 0,
                                               KEY_ALL_ACCESS, key.out()));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "Local AppData", 0, type,
                                                reinterpret_cast<const BYTE*>(bytes.data()),
                                                static_cast<DWORD>(bytes.size())));
    }
};

} // namespace

// The maker folder of the local application data; without a usable value (missing, empty, not
// a string) the program folder stands in. A trailing backslash in the value changes nothing.
TEST_F(DataFolderTest, TheDataFolderLiesInTheMakerFolderOrElseTheProgramFolder) {
    EXPECT_EQ(maker, GetDataFolder(""));
    EXPECT_EQ(data, GetDataFolder("Surfkolibri"));
    setLocalAppData(REG_SZ, local + "\\" + '\0');
    EXPECT_EQ(data, GetDataFolder("Surfkolibri"));

    setLocalAppData(REG_SZ, std::string(1, '\0'));
    EXPECT_EQ(program + "Surfkolibri\\", GetDataFolder("Surfkolibri"));
    setLocalAppData(REG_DWORD, std::string("\7\0\0\0", 4));
    EXPECT_EQ(program + "Surfkolibri\\", GetDataFolder("Surfkolibri"));
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str() + 1, 0,
                                           KEY_ALL_ACCESS, key.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "Local AppData"));
    EXPECT_EQ(program, GetDataFolder(""));
    EXPECT_EQ(program + "Surfkolibri\\", GetDataFolder("Surfkolibri"));
}

// A data file is the data folder's copy, else the program folder's, else the data folder's
// path where a writer creates it. Providing copies what is missing and never overwrites.
TEST_F(DataFolderTest, DataFilesComeFromTheDataFolderFirstAndAreNeverOverwritten) {
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));
    put(data + "both.txt", "data");
    put(program + "both.txt", "program");
    put(program + "program.txt", "program");
    EXPECT_EQ(data + "both.txt", GetDataFilePath("Surfkolibri", "both.txt"));
    EXPECT_EQ(program + "program.txt", GetDataFilePath("Surfkolibri", "program.txt"));
    EXPECT_EQ(data + "neither.txt", GetDataFilePath("Surfkolibri", "neither.txt"));
    EXPECT_FALSE(FileExistsA(data + "neither.txt"));

    put(program + "Surfkolibri.def", "new");
    put(program + "update.ini", "update");
    put(data + "Surfkolibri.def", "old");
    EXPECT_TRUE(ProvideDataFiles("Surfkolibri", false,
                                 {"update.ini", "Surfkolibri.def", "not-shipped.chm"}));
    EXPECT_EQ("old", contents(data + "Surfkolibri.def"));
    EXPECT_EQ("update", contents(data + "update.ini"));
    EXPECT_FALSE(FileExistsA(data + "not-shipped.chm"));
    EXPECT_EQ(data + "update.ini", GetDataFilePath("Surfkolibri", "update.ini"));
}

// A file where the maker folder belongs: neither folder can be made, no copy can land, and
// the program folder's file serves.
TEST_F(DataFolderTest, AFolderThatCannotBeMadeIsReported) {
    put(local + "\\Kravonel", "x");
    put(program + "update.ini", "update");
    EXPECT_FALSE(EnsureDataFolders("Surfkolibri", false));
    EXPECT_FALSE(ProvideDataFiles("Surfkolibri", false, {"update.ini"}));
    EXPECT_EQ(program + "update.ini", GetDataFilePath("Surfkolibri", "update.ini"));
}

TEST_F(DataFolderTest, EnsuringTheFoldersWipesOnlyWhenAsked) {
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));
    EXPECT_TRUE(FolderExists(data));
    put(data + "keep.txt", "k");
    put(data + "Sub\\deeper.txt", "d");
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", false));
    EXPECT_TRUE(FileExistsA(data + "keep.txt"));
    ASSERT_TRUE(EnsureDataFolders("Surfkolibri", true));
    EXPECT_TRUE(FolderExists(data));
    EXPECT_FALSE(FileExistsA(data + "keep.txt"));
    EXPECT_FALSE(FolderExists(data + "Sub"));
}

// Hidden, system and read-only entries go with the tree, whatever case the path is given in;
// the folder beside it stays, and a folder that is not there is no failure.
TEST_F(DataFolderTest, DeletingATreeTakesEveryEntryAndNothingBeside) {
    const std::string tree = platform.profile() + "\\Tree\\";
    put(tree + "plain.txt", "1");
    put(tree + "hidden.txt", "2");
    put(tree + "Sub\\system.txt", "3");
    put(tree + "Sub\\Deeper\\readonly.txt", "4");
    put(platform.profile() + "\\TreeSibling\\stay.txt", "5");
    SetFileAttributesA((tree + "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((tree + "Sub\\system.txt").c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((tree + "Sub\\Deeper\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((tree + "Sub\\Deeper").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(tree.substr(0, tree.size() - 1).c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ((std::vector<std::string>{"Sub"}), ListSubfolders(tree));
    DeleteFolderTree(AnsiLowerCase(platform.profile()) + "\\tree"); // no trailing backslash
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(tree.c_str()));
    EXPECT_TRUE(FileExistsA(platform.profile() + "\\TreeSibling\\stay.txt"));

    DeleteFolderTree(tree);
    DeleteFolderTree(platform.profile() + "\\TreeSibling\\Absent\\");
    DeleteFolderTree("");
    EXPECT_TRUE(FileExistsA(platform.profile() + "\\TreeSibling\\stay.txt"));
    EXPECT_TRUE(ListSubfolders(tree).empty());
}

// Only a folder is deleted: a file given as the folder stays, however the path is written. A
// path with forward slashes takes its tree as one with backslashes does.
TEST_F(DataFolderTest, DeletingATreeTakesFoldersOnly) {
    const std::string home = platform.profile();
    put(home + "\\cache4", "a file, not a cache");
    put(home + "\\Tree\\Sub\\inner.txt", "1");
    std::string slashed = home;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    DeleteFolderTree(home + "\\cache4");
    DeleteFolderTree(slashed + "/cache4/");
    EXPECT_EQ("a file, not a cache", contents(home + "\\cache4"));
    DeleteFolderTree(slashed + "/Tree/");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((home + "\\Tree").c_str()));
}

// A tree on a network share goes as one on a drive does, however the path is written. The
// share's root keeps itself as a drive's root does, and a path that climbs above the share
// deletes nothing.
TEST_F(DataFolderTest, DeletingATreeOnANetworkShareKeepsTheShare) {
    const std::string share = platform.share();
    if (share.empty()) GTEST_SKIP() << "no network share reaches this machine";
    put(share + "\\Tree\\Sub\\deep.txt", "1");
    put(share + "\\Tree\\top.txt", "2");
    put(share + "\\Other\\stay.txt", "3");
    DeleteFolderTree(share + "\\Tree\\..\\..\\");
    DeleteFolderTree(share + "\\..\\Tree");
    EXPECT_EQ("2", contents(share + "\\Tree\\top.txt"));

    std::string slashed = share;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    DeleteFolderTree(slashed + "/Tree");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((share + "\\Tree").c_str()));
    EXPECT_EQ("3", contents(share + "\\Other\\stay.txt"));

    DeleteFolderTree(share + "\\");
    EXPECT_TRUE(FolderExists(share));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((share + "\\Other").c_str()));
}
