// The hosted file calls' own promises: the default machine's drive, links on the host that no
// deletion passes through, host files that are not files, names kept as UTF-8 on the host.
#include "conformance.h"
#include "files_support.h"
#include "platform/files_internal.h"
#include "support/file_times.h"
#include "support/platform_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

using namespace conformance;
using testing_support::readHostFile;
using testing_support::writeHostFile;
namespace fs = std::filesystem;

using files_test::FilesTest;

namespace {

std::vector<std::string> namesIn(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return names;
    do
        names.emplace_back(data.cFileName);
    while (FindNextFileA(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST_F(FilesTest, AFreshMachineHasDrivesCAndZAndTheUsualFolders) {
    static const char kExpected[] = "C:\\\0Z:\\\0";
    char buffer[16];
    EXPECT_EQ(9u, GetLogicalDriveStringsA(0, nullptr));
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(8u, GetLogicalDriveStringsA(9, buffer));
    EXPECT_EQ(0, std::memcmp(kExpected, buffer, 9));
    EXPECT_EQ((std::vector<std::string>{"Program Files", "ProgramData", "Users", "Windows"}),
              namesIn("C:\\*"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\Users"));
}

// The hosted volume keeps no short names.
TEST_F(FilesTest, ShortPathNameIsTheLongPath) {
    const std::string path = "C:\\Users\\User\\Documents\\A long name.txt";
    ASSERT_TRUE(WriteWholeFile(path, "x"));
    char buffer[MAX_PATH];
    EXPECT_EQ(path.size(), GetShortPathNameA(path.c_str(), buffer, sizeof buffer));
    EXPECT_EQ(path, buffer);
}

TEST_F(FilesTest, TempPathIsTheUsersTempFolderAndIsMadeAgainWhenGone) {
    const std::string expected = "C:\\Users\\User\\AppData\\Local\\Temp\\";
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\AppData\\Local\\Temp"));
    char buffer[MAX_PATH];
    EXPECT_EQ(expected.size(), GetTempPathA(sizeof buffer, buffer));
    EXPECT_EQ(expected, buffer);
    EXPECT_TRUE(DirectoryExistsA(expected));
}

TEST_F(FilesTest, NamesInTheCodePageAreUtf8OnTheHost) {
    ASSERT_TRUE(CreateDirectoryA("C:\\\xC4rger", nullptr));
    EXPECT_TRUE(fs::is_directory(driveC("\xC3\x84rger")));
    ASSERT_TRUE(MoveFileA("C:\\\xC4rger", "C:\\\xDC"
                                          "ber"));
    EXPECT_FALSE(fs::exists(driveC("\xC3\x84rger")));
    EXPECT_TRUE(fs::is_directory(driveC("\xC3\x9C"
                                        "ber")));
}

TEST_F(FilesTest, DeletingALinkKeepsWhatItPointsTo) {
    writeHostFile(platform.programFolder() + "/outside/target.txt", "target");
    fs::create_directories(driveC("Links"));
    fs::create_symlink(platform.programFolder() + "/outside/target.txt", driveC("Links/file.lnk"));
    fs::create_directory_symlink(platform.programFolder() + "/outside", driveC("Links/folder"));

    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesA("C:\\Links\\file.lnk"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesA("C:\\Links\\folder"));

    EXPECT_TRUE(DeleteFileA("C:\\Links\\file.lnk"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(driveC("Links/file.lnk"))));
    EXPECT_EQ("target", readHostFile(platform.programFolder() + "/outside/target.txt"));

    // A folder link goes by itself even though the folder it names is not empty.
    EXPECT_TRUE(RemoveDirectoryA("C:\\Links\\folder"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(driveC("Links/folder"))));
    EXPECT_EQ("target", readHostFile(platform.programFolder() + "/outside/target.txt"));
}

TEST_F(FilesTest, NoDeletionOrRenamePassesThroughALinkedFolder) {
    // A folder link inside drive C: that leads outside the platform root, with a canary.
    const std::string outside = platform.programFolder() + "/outside";
    writeHostFile(outside + "/canary.txt", "alive");
    fs::create_directories(outside + "/Sub");
    fs::create_directories(driveC("Cache"));
    fs::create_directory_symlink(outside, driveC("Cache/linked"));

    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\Cache\\linked\\canary.txt"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA("C:\\Cache\\linked\\Sub"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileA("C:\\Cache\\linked\\canary.txt", "C:\\moved.txt"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    ASSERT_TRUE(WriteWholeFile("C:\\mine.txt", "mine"));
    junkLastError();
    EXPECT_FALSE(MoveFileA("C:\\mine.txt", "C:\\Cache\\linked\\mine.txt"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    // Lower case, another spelling of the same link.
    EXPECT_FALSE(DeleteFileA("c:\\cache\\LINKED\\CANARY.TXT"));

    EXPECT_EQ("alive", readHostFile(outside + "/canary.txt"));
    EXPECT_TRUE(fs::is_directory(outside + "/Sub"));
    EXPECT_FALSE(fs::exists(outside + "/mine.txt"));
    EXPECT_EQ("mine", readHostFile(driveC("mine.txt")));
    // Reading through the link is fine; only what changes the tree refuses it.
    std::string text;
    EXPECT_TRUE(ReadWholeFile("C:\\Cache\\linked\\canary.txt", text));
    EXPECT_EQ("alive", text);
}

// Closing a search twice is a fault of the caller; the platform says so instead of failing
// later.
TEST_F(FilesTest, ASearchClosedTwiceIsAnInvalidHandle) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA("C:\\*", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_TRUE(FindClose(find));
    junkLastError();
    EXPECT_FALSE(FindClose(find));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(FilesTest, AColonInANameIsRefused) {
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\a:b.txt", "x"));
    EXPECT_EQ(ERROR_INVALID_NAME, GetLastError());
}

TEST_F(FilesTest, PipesAndDevicesAreNotReadOrWrittenAsFiles) {
    // Should a call block on the pipe, the alarm ends the test program instead of hanging it.
    ::alarm(20);
    ASSERT_EQ(0, ::mkfifo(driveC("pipe").c_str(), 0644));
    std::string text = "untouched";
    junkLastError();
    EXPECT_FALSE(ReadWholeFile("C:\\pipe", text));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("untouched", text);
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\pipe", "x"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\pipe", "C:\\copy", FALSE));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_FALSE(fs::exists(driveC("copy")));

    junkLastError();
    EXPECT_FALSE(ReadWholeFile("Z:\\dev\\zero", text));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_FALSE(CopyFileA("Z:\\dev\\zero", "C:\\copy", FALSE));
    ::alarm(0);
}

// MoveFileExA offers replacing and writing through; what it does not offer (copying across
// drives, moving at the next start) fails visibly instead of doing something else.
TEST_F(FilesTest, MoveExRefusesWhatItDoesNotOffer) {
    ASSERT_TRUE(WriteWholeFile("C:\\frei.url", "new"));
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "Z:\\tmp\\x.url", MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "C:\\x.url", MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ("new", readHostFile(driveC("frei.url")));
}

namespace {

using testing_support::createdOf;
using testing_support::setCreated;

constexpr std::uint64_t kCreated = testing_support::kLongAgo;

} // namespace

// CreateFileA reaches a file's contents, times and attributes; what it does not offer (rights
// to the file's security, executing, creating a file for its attributes alone) fails visibly,
// and an attributes handle never reaches a file that merely took the name of its own.
TEST_F(FilesTest, CreateFileOffersTheAttributesAndRefusesTheRest) {
    ASSERT_TRUE(WriteWholeFile("C:\\frei.url", "new"));
    constexpr DWORD kWriteDac = 0x00040000;
    constexpr DWORD kExecute = 0x20;
    for (const auto& [access, disposition] : {std::pair{GENERIC_WRITE | kWriteDac, OPEN_EXISTING},
                                              std::pair{GENERIC_READ | kExecute, OPEN_EXISTING},
                                              std::pair{FILE_WRITE_ATTRIBUTES, CREATE_ALWAYS}}) {
        junkLastError();
        EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("C:\\frei.url", access, 0, nullptr, disposition,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    }
    EXPECT_EQ("new", readHostFile(driveC("frei.url")));

    const HANDLE file = CreateFileA("C:\\frei.url", FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(DeleteFileA("C:\\frei.url"));
    ASSERT_TRUE(WriteWholeFile("C:\\frei.url", "another"));
    const FILETIME time = {1, 2};
    junkLastError();
    EXPECT_FALSE(SetFileTime(file, &time, nullptr, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_NE((std::uint64_t{2} << 32) | 1, createdOf("C:\\frei.url"));
    EXPECT_TRUE(CloseHandle(file));
    junkLastError();
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    junkLastError();
    EXPECT_FALSE(SetFileTime(INVALID_HANDLE_VALUE, &time, nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

// The creation time kept beside a file goes with it when it moves, alone or in its folder, and
// goes when the file does, so that a new file of the same name, which the host may hand the
// same inode, never inherits it.
TEST_F(FilesTest, ACreationTimeGoesWhereItsFileGoes) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Ordner", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\Ordner\\a.url", "a"));
    ASSERT_TRUE(setCreated("C:\\Ordner\\a.url", kCreated));
    ASSERT_TRUE(setCreated("C:\\Ordner", kCreated + 1));
    ASSERT_TRUE(MoveFileA("C:\\Ordner", "C:\\Mappe"));
    EXPECT_EQ(kCreated + 1, createdOf("C:\\Mappe"));
    EXPECT_EQ(kCreated, createdOf("C:\\Mappe\\a.url"));
    ASSERT_TRUE(MoveFileExA("C:\\Mappe\\a.url", "C:\\b.url", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(kCreated, createdOf("C:\\b.url"));

    // What is kept for a file, by the inode it had.
    const auto keptFor = [&](const std::string& below, ino_t inode) {
        return platform::files::storedCreationTime(platform::HostPath(driveC(below)), inode)
            .has_value();
    };
    const auto inodeOf = [&](const std::string& below) {
        struct stat st {};
        ::lstat(driveC(below).c_str(), &st);
        return st.st_ino;
    };
    const ino_t b = inodeOf("b.url");
    ASSERT_TRUE(keptFor("b.url", b));
    ASSERT_TRUE(DeleteFileA("C:\\b.url"));
    EXPECT_FALSE(keptFor("b.url", b));
    ASSERT_TRUE(WriteWholeFile("C:\\b.url", "new"));
    EXPECT_NE(kCreated, createdOf("C:\\b.url"));

    ASSERT_TRUE(WriteWholeFile("C:\\Mappe\\c.url", "c"));
    ASSERT_TRUE(setCreated("C:\\Mappe\\c.url", kCreated));
    const ino_t c = inodeOf("Mappe/c.url");
    const ino_t mappe = inodeOf("Mappe");
    ASSERT_TRUE(keptFor("Mappe/c.url", c));
    ASSERT_TRUE(DeleteFileA("C:\\Mappe\\c.url"));
    EXPECT_FALSE(keptFor("Mappe/c.url", c));
    ASSERT_TRUE(RemoveDirectoryA("C:\\Mappe"));
    EXPECT_FALSE(keptFor("Mappe", mappe));
    ASSERT_TRUE(CreateDirectoryA("C:\\Mappe", nullptr));
    EXPECT_NE(kCreated + 1, createdOf("C:\\Mappe"));
}

// A file whose contents were flushed must keep its name through a power loss: its folder is
// synced at the first flush, and again when the file is deleted or renamed away (a database's
// journal, back after a power loss, would undo what was committed); a file never flushed (a
// cache's thousands) costs no sync. A rename that writes through syncs too.
TEST_F(FilesTest, TheFoldersOfFlushedFilesAreSyncedWhenTheirNamesChange) {
    const std::string journal = at("places.sqlite-journal");
    const std::size_t before = platform::files::folderSyncs();
    {
        const UniqueFile file(CreateFileA(journal.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "journal", 7, &written, nullptr));
        EXPECT_EQ(before, platform::files::folderSyncs());
        ASSERT_TRUE(FlushFileBuffers(file.get()));
        EXPECT_EQ(before + 1, platform::files::folderSyncs());
        ASSERT_TRUE(FlushFileBuffers(file.get()));
        EXPECT_EQ(before + 1, platform::files::folderSyncs());
    }
    ASSERT_TRUE(DeleteFileA(journal.c_str()));
    EXPECT_EQ(before + 2, platform::files::folderSyncs());

    // Written whole and never flushed: deleting it syncs nothing.
    ASSERT_TRUE(WriteWholeFile(at("cached.htm"), "<html>"));
    ASSERT_TRUE(DeleteFileA(at("cached.htm").c_str()));
    EXPECT_EQ(before + 2, platform::files::folderSyncs());

    // A report's new file moved over the old one, written through.
    ASSERT_TRUE(WriteWholeFile(at("report.new"), "new"));
    ASSERT_TRUE(WriteWholeFile(at("report"), "old"));
    ASSERT_TRUE(MoveFileExA(at("report.new").c_str(), at("report").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(before + 3, platform::files::folderSyncs());
    EXPECT_EQ("new", readHostFile(host("report")));
}
