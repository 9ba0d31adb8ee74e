#include "platform/root.h"
#include "platform/win32.h"
#include "support/application.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"
#include "ui/MyTricks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>

#include <filesystem>

using testing_support::PlatformTest;
using testing_support::readHostFile;
using testing_support::writeHostFile;

namespace fs = std::filesystem;

namespace {

const std::string kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void removeLocalAppDataValue(
    const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str() + 1, 0,
                                           KEY_ALL_ACCESS, key.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "Local AppData"));
}

} // namespace

using MyTricksTest = testing_support::PlatformTest;

TEST_F(MyTricksTest, DataFolderFallsBackToTheProgramFolder) {
    const std::string fallback = platform.programFolderWindows() + "Surfkolibri\\";
    removeLocalAppDataValue();
    EXPECT_EQ(platform.programFolderWindows(), GetDataFolder(""));
    EXPECT_EQ(fallback, GetDataFolder("Surfkolibri"));

    // Without the key at all, and the data files follow the folder.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, kShellFolders.c_str() + 1));
    EXPECT_EQ(fallback, GetDataFolder("Surfkolibri"));
    writeHostFile(platform.programFolder() + "/update.ini", "[u]");
    EXPECT_TRUE(ProvideDataFiles("Surfkolibri", false, {"update.ini"}));
    EXPECT_EQ("[u]", readHostFile(platform.programFolder() + "/Surfkolibri/update.ini"));
    EXPECT_EQ(fallback + "update.ini", GetDataFilePath("Surfkolibri", "update.ini"));
    // Reading the folder does not create the key.
    UniqueHKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders.c_str() + 1, 0, KEY_READ, key.out()));
}

// Without a name the data folder would be the program folder itself: never wiped.
TEST_F(MyTricksTest, TheProgramFolderIsNeverWipedAsADataFolder) {
    removeLocalAppDataValue();
    writeHostFile(platform.programFolder() + "/surfkolibri", "program");
    EXPECT_TRUE(EnsureDataFolders("", true));
    EXPECT_EQ("program", readHostFile(platform.programFolder() + "/surfkolibri"));
}

TEST_F(MyTricksTest, DeleteFolderTreeKeepsADriveRoot) {
    writeHostFile(platform.hostPath("C:\\") + "/a/b.txt", "1");
    writeHostFile(platform.hostPath("C:\\") + "/c.txt", "2");
    // As an administrator: the all-users Startup folder would stop a user's deletion.
    platform::setSetting("admin", "yes");
    DeleteFolderTree("C:\\Users\\..\\");
    EXPECT_TRUE(FolderExists("C:\\"));
    EXPECT_TRUE(fs::is_directory(platform.root() + "/drive_c"));
    EXPECT_TRUE(fs::is_empty(platform.root() + "/drive_c"));
}

// The hosted machine reaches no network share: a network path deletes nothing, above all
// not what its names would lead to from the root of the current drive. Neither does "C:Tree",
// which names the current folder of drive C:, nor a network path without its share.
TEST_F(MyTricksTest, DeleteFolderTreeNeverTakesAPathForAnother) {
    const std::string c = platform.hostPath("C:\\");
    writeHostFile(c + "/server/share/Tree/keep.txt", "1");
    writeHostFile(c + "/Tree/keep.txt", "2");
    writeHostFile(c + "/Users/Tree/keep.txt", "3");
    platform::setSetting("admin", "yes");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    for (const char* path : {"\\\\server\\share\\Tree\\", "\\\\server\\share\\", "//server/share",
                             "\\\\server\\", "\\\\server", "\\\\", "//"})
        DeleteFolderTree(path);
    EXPECT_EQ("1", readHostFile(c + "/server/share/Tree/keep.txt"));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users"));
    DeleteFolderTree("c:Tree");
    DeleteFolderTree("C:");
    EXPECT_EQ("2", readHostFile(c + "/Tree/keep.txt"));
    EXPECT_EQ("3", readHostFile(c + "/Users/Tree/keep.txt"));
}

TEST_F(MyTricksTest, DeleteFolderTreeStopsAtTheFirstFailure) {
    const std::string host = platform.hostPath("C:\\") + "/Tree";
    writeHostFile(host + "/a.txt", "1");
    // A host name with a backslash cannot be reached through any Windows path, so its
    // attributes cannot be read.
    writeHostFile(host + "/m\\x.txt", "2");
    writeHostFile(host + "/z.txt", "3");
    writeHostFile(host + "/zz/inner.txt", "4");

    DeleteFolderTree("C:\\Tree\\");
    EXPECT_FALSE(fs::exists(host + "/a.txt"));
    EXPECT_TRUE(fs::exists(host + "/m\\x.txt"));
    EXPECT_TRUE(fs::exists(host + "/z.txt"));
    EXPECT_TRUE(fs::exists(host + "/zz/inner.txt"));
}

TEST_F(MyTricksTest, DeleteFolderTreeRemovesLinksWithoutFollowingThem) {
    const std::string c = platform.hostPath("C:\\");
    writeHostFile(c + "/Outside/precious.txt", "keep");
    writeHostFile(c + "/Outside/Inner/more.txt", "keep");
    writeHostFile(c + "/Tree/own.txt", "1");
    fs::create_symlink(c + "/Outside", c + "/Tree/folderlink");
    fs::create_symlink(c + "/Outside/precious.txt", c + "/Tree/filelink");
    fs::create_symlink(c + "/Nowhere", c + "/Tree/dangling");

    DeleteFolderTree("C:\\Tree\\");
    EXPECT_FALSE(fs::exists(fs::symlink_status(c + "/Tree")));
    EXPECT_EQ("keep", readHostFile(c + "/Outside/precious.txt"));
    EXPECT_EQ("keep", readHostFile(c + "/Outside/Inner/more.txt"));

    // Given a link itself, the link goes and its target stays.
    fs::create_symlink(c + "/Outside", c + "/Link");
    DeleteFolderTree("C:\\Link\\");
    EXPECT_FALSE(fs::exists(fs::symlink_status(c + "/Link")));
    EXPECT_EQ("keep", readHostFile(c + "/Outside/Inner/more.txt"));

    // Given a folder beyond a link, nothing is deleted.
    fs::create_directories(c + "/Tree2");
    fs::create_symlink(c + "/Outside", c + "/Tree2/folderlink");
    DeleteFolderTree("C:\\Tree2\\folderlink\\Inner\\");
    EXPECT_EQ("keep", readHostFile(c + "/Outside/Inner/more.txt"));
}

TEST_F(MyTricksTest, DeleteFolderTreeLetsWindowMessagesThrough) {
    testing_support::EnsureApplication();
    const std::string host = platform.hostPath("C:\\") + "/Tree";
    for (int i = 0; i < 20; ++i)
        writeHostFile(host + "/f" + std::to_string(i) + ".txt", "x");
    bool ran = false;
    bool treeStillThere = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            ran = true;
            treeStillThere = fs::exists(host);
        },
        Qt::QueuedConnection);
    DeleteFolderTree("C:\\Tree\\");
    EXPECT_TRUE(ran);
    EXPECT_TRUE(treeStillThere);
    EXPECT_FALSE(fs::exists(host));
}

TEST_F(MyTricksTest, ListSubfoldersListsFoldersOnly) {
    const std::string c = platform.hostPath("C:\\");
    writeHostFile(c + "/Profiles/beta/x", "");
    writeHostFile(c + "/Profiles/Alpha/x", "");
    writeHostFile(c + "/Profiles/file.txt", "");
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta"}), ListSubfolders("C:\\Profiles\\"));
    EXPECT_TRUE(ListSubfolders("C:\\Missing\\").empty());
}

TEST_F(MyTricksTest, RegistryReadsCreateTheKeyAndGiveEmptyOnFailure) {
    const std::string key = "\\Software\\Kravonel\\Test";
    EXPECT_EQ("", ReadUserRegString(key, "Name"));
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str() + 1, 0, KEY_ALL_ACCESS, handle.out()));

    WriteUserRegString(key, "Name", "yes");
    EXPECT_EQ("yes", ReadUserRegString(key, "Name"));
    EXPECT_EQ("yes", RegReadString(HKEY_CURRENT_USER, key, "name"));
    DWORD type = 0;
    char data[16] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(handle.get(), "Name", nullptr, &type,
                                              reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(4u, size);

    const std::string longText(1000, 'x');
    WriteUserRegString(key, "Long", longText);
    EXPECT_EQ(longText, ReadUserRegString(key, "Long"));

    const DWORD number = 1;
    RegSetValueExA(handle.get(), "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    EXPECT_EQ("", ReadUserRegString(key, "Number"));
}

TEST_F(MyTricksTest, MachineReadsNeedAdministratorRights) {
    const std::string key = "\\Software\\Kravonel\\Machine";
    platform::setSetting("admin", "yes");
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str() + 1, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, handle.out(), nullptr));
    RegSetValueExA(handle.get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\x"), 5);
    EXPECT_EQ("C:\\x", ReadMachineRegString(key, "Path"));
    platform::setSetting("admin", "no");
    EXPECT_EQ("", ReadMachineRegString(key, "Path"));
}

TEST_F(MyTricksTest, FirstLineAndWriteIfMissing) {
    const std::string c = platform.hostPath("C:\\");
    writeHostFile(c + "/one.txt", "2.8");
    writeHostFile(c + "/two.txt", "first\r\nsecond");
    writeHostFile(c + "/lf.txt", "a\nb\rc");
    writeHostFile(c + "/empty.txt", "");
    EXPECT_EQ("2.8", ReadFirstLine("C:\\one.txt"));
    EXPECT_EQ("first", ReadFirstLine("C:\\two.txt"));
    EXPECT_EQ("a\nb", ReadFirstLine("C:\\lf.txt"));
    EXPECT_EQ("", ReadFirstLine("C:\\empty.txt"));
    EXPECT_EQ("", ReadFirstLine("C:\\missing.txt"));

    WriteFileIfMissing("C:\\one.txt", "9.9");
    EXPECT_EQ("2.8", readHostFile(c + "/one.txt"));
    WriteFileIfMissing("C:\\marker.cho", "2.8");
    EXPECT_EQ("2.8", readHostFile(c + "/marker.cho"));
}

TEST_F(MyTricksTest, RunFileOpensOnlyExistingFilesOpenURLAlways) {
    platform::clearShellLog();
    writeHostFile(platform.hostPath("C:\\") + "/doc.txt", "d");
    RunFile("C:\\missing.txt");
    RunFile("C:\\doc.txt");
    OpenURL("mailto:someone@kravonel.example");
    const auto log = platform::shellLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Open", log[0].operation);
    EXPECT_EQ("C:\\doc.txt", log[0].target);
    EXPECT_EQ("mailto:someone@kravonel.example", log[1].target);
}
