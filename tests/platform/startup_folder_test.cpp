// The folder of all users' start-up programs: as on Windows, only an administrator may create,
// change or remove anything in it; everybody may read it.
#include "conformance.h"
#include "platform/root.h"
#include "support/caller_trace.h"
#include "support/child_process.h"
#include "support/platform_fixture.h"

using namespace conformance;
using testing_support::ChildProcess;

namespace {

const std::string kCommon = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class CommonStartupFolderTest : public testing_support::PlatformTest {
  protected:
    void SetUp() override {
        administrator(true);
        ASSERT_TRUE(WriteWholeFile(kCommon + "\\Drucker.lnk", "L"));
        ASSERT_TRUE(CreateDirectoryA((kCommon + "\\Ordner").c_str(), nullptr));
        ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Quelle.txt", "q"));
        administrator(false);
    }
    static void administrator(bool yes) { platform::setSetting("admin", yes ? "yes" : "no"); }
};

// Each change a user's program tries there fails with ERROR_ACCESS_DENIED and changes nothing.
void expectEveryChangeRefused(const std::string& folder, const testing_support::Caller& caller =
                                                             testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string file = folder + "\\Drucker.lnk";
    const std::string sub = folder + "\\Ordner";
    junkLastError();
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile(file, "neu"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile(folder + "\\Neu.lnk", "neu"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA((folder + "\\Neu").c_str(), nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA(sub.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\Users\\User\\Quelle.txt", (folder + "\\Kopie.txt").c_str(), FALSE));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileA("C:\\Users\\User\\Quelle.txt", (folder + "\\Quelle.txt").c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileA(file.c_str(), "C:\\Users\\User\\Drucker.lnk"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA(folder.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    // Its times may be read.
    const HANDLE reading = CreateFileA(file.c_str(), FILE_READ_ATTRIBUTES, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, reading);
    EXPECT_TRUE(CloseHandle(reading));

    std::string contents;
    EXPECT_TRUE(ReadWholeFile(file, contents));
    EXPECT_EQ("L", contents);
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\Neu.lnk").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\Quelle.txt").c_str()));
    EXPECT_TRUE(FileExistsA("C:\\Users\\User\\Quelle.txt"));
    EXPECT_TRUE(DirectoryExistsA(sub));
}

} // namespace

TEST_F(CommonStartupFolderTest, AUserMayReadButNotChangeIt) {
    expectEveryChangeRefused(kCommon);
    // Another spelling of the same folder is the same folder.
    expectEveryChangeRefused("c:\\programdata\\MICROSOFT\\Windows\\Start Menu\\..\\Start Menu\\"
                             "Programs\\startup");
    WIN32_FIND_DATAA found;
    fillJunk(found);
    const UniqueFindHandle find(FindFirstFileA((kCommon + "\\*.lnk").c_str(), &found));
    ASSERT_TRUE(find.valid());
    EXPECT_STREQ("Drucker.lnk", found.cFileName);
    // Beside it everything stays the user's to change.
    junkLastError();
    EXPECT_TRUE(WriteWholeFile(kCommon + "up.txt", "x"));
    EXPECT_TRUE(DeleteFileA((kCommon + "up.txt").c_str()));
    EXPECT_TRUE(CreateDirectoryA(
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Spiele", nullptr));
}

TEST_F(CommonStartupFolderTest, AnAdministratorMayChangeIt) {
    administrator(true);
    junkLastError();
    EXPECT_TRUE(SetFileAttributesA((kCommon + "\\Drucker.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(SetFileAttributesA((kCommon + "\\Drucker.lnk").c_str(), 0));
    EXPECT_TRUE(CopyFileA("C:\\Users\\User\\Quelle.txt", (kCommon + "\\Kopie.txt").c_str(), FALSE));
    EXPECT_TRUE(MoveFileA((kCommon + "\\Kopie.txt").c_str(), (kCommon + "\\Neu.txt").c_str()));
    EXPECT_TRUE(DeleteFileA((kCommon + "\\Neu.txt").c_str()));
    EXPECT_TRUE(DeleteFileA((kCommon + "\\Drucker.lnk").c_str()));
    EXPECT_TRUE(RemoveDirectoryA((kCommon + "\\Ordner").c_str()));
    EXPECT_EQ(kJunkError, GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kCommon + "\\Drucker.lnk").c_str()));
}

// The guard follows the Shell Folders value of the machine and the administrator setting as
// they change, by this process or by another one.
TEST_F(CommonStartupFolderTest, TheGuardFollowsTheMachinesSettings) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Autostart", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\Autostart\\a.lnk", "A"));
    EXPECT_FALSE(DeleteFileA((kCommon + "\\Drucker.lnk").c_str()));
    administrator(true);
    {
        Key key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShellFolders, 0, KEY_ALL_ACCESS, key.out()));
        ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Common Startup", "C:\\Autostart"));
    }
    administrator(false);
    EXPECT_TRUE(DeleteFileA((kCommon + "\\Drucker.lnk").c_str()));
    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\Autostart\\a.lnk"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());

    // Another process makes the user an administrator: the next call here sees it.
    ChildProcess other([] {
        platform::setSetting("admin", "yes");
        return 0;
    });
    ASSERT_EQ(0, other.wait());
    EXPECT_TRUE(DeleteFileA("C:\\Autostart\\a.lnk"));
}
