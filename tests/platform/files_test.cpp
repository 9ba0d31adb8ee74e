#include "conformance.h"
#include "platform/filetime.h"
#include "support/platform_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

using namespace conformance;
using testing_support::readHostFile;
using testing_support::writeHostFile;
namespace fs = std::filesystem;

namespace {

class FilesTest : public testing_support::PlatformTest {
  protected:
    std::string host(const std::string& belowC) const {
        return platform.root() + "/drive_c/" + belowC;
    }
};

struct Found {
    DWORD attributes;
    std::uint64_t size;
};

// Every entry a search hands out, by name; checks that the walk ends as it should.
std::map<std::string, Found> findAll(const std::string& pattern) {
    std::map<std::string, Found> found;
    WIN32_FIND_DATAA data;
    fillJunk(data);
    const HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return found;
    do {
        EXPECT_LT(std::strlen(data.cFileName), sizeof data.cFileName);
        EXPECT_FALSE(found.count(data.cFileName)) << data.cFileName << " handed out twice";
        found[data.cFileName] = {data.dwFileAttributes,
                                 (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow};
        fillJunk(data);
        junkLastError();
    } while (FindNextFileA(find, &data));
    EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError());
    junkLastError();
    EXPECT_FALSE(FindNextFileA(find, &data));
    EXPECT_EQ(ERROR_NO_MORE_FILES, GetLastError());
    EXPECT_TRUE(FindClose(find));
    return found;
}

std::vector<std::string> names(const std::map<std::string, Found>& found) {
    std::vector<std::string> out;
    for (const auto& [name, info] : found)
        out.push_back(name);
    return out;
}

} // namespace

TEST_F(FilesTest, AttributesAreKeptAndReadOnlyRefusesDeletion) {
    ASSERT_TRUE(WriteWholeFile("C:\\guarded.txt", "keep me"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\guarded.txt"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\Users"));

    const DWORD all = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA("C:\\GUARDED.TXT", all));
    EXPECT_EQ(all | FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\guarded.txt"));

    // The process may be the host's superuser; the read-only flag still holds.
    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\guarded.txt"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\guarded.txt", "overwritten"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("keep me", readHostFile(host("guarded.txt")));

    ASSERT_TRUE(SetFileAttributesA("C:\\guarded.txt", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA("C:\\guarded.txt"));
    EXPECT_TRUE(DeleteFileA("C:\\guarded.txt"));
    EXPECT_FALSE(fs::exists(host("guarded.txt")));

    // A file made again under the same name starts plain.
    ASSERT_TRUE(WriteWholeFile("C:\\guarded.txt", "new"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\guarded.txt"));

    ASSERT_TRUE(SetFileAttributesA("C:\\guarded.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA("C:\\guarded.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\guarded.txt"));

    junkLastError();
    EXPECT_FALSE(SetFileAttributesA("C:\\missing.txt", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(FilesTest, AMissingFileAndAMissingFolderAreToldApart) {
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Users\\missing.txt"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Missing\\file.txt"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\Users\\missing.txt"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\Missing\\file.txt"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    std::string text = "untouched";
    junkLastError();
    EXPECT_FALSE(ReadWholeFile("C:\\Users\\missing.txt", text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(ReadWholeFile("C:\\Missing\\file.txt", text));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\Missing\\file.txt", "x"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(DeleteFileA("C:\\Users"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA("C:\\Users"));
}

TEST_F(FilesTest, FindWalksAFolderWithEveryPattern) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Find", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\Find\\Sub", nullptr));
    const std::map<std::string, std::string> files = {
        {"a.txt", "1"},     {"B.TXT", "22"},     {"c.doc", "333"},
        {"hidden.txt", ""}, {"sys.dat", "4444"}, {"old.txt.bak", "5"},
    };
    for (const auto& [name, contents] : files)
        ASSERT_TRUE(WriteWholeFile("C:\\Find\\" + name, contents));
    ASSERT_TRUE(SetFileAttributesA("C:\\Find\\hidden.txt", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA("C:\\Find\\sys.dat", FILE_ATTRIBUTE_SYSTEM));

    const auto everything = findAll("C:\\Find\\*");
    EXPECT_EQ((std::vector<std::string>{".", "..", "B.TXT", "Sub", "a.txt", "c.doc", "hidden.txt",
                                        "old.txt.bak", "sys.dat"}),
              names(everything));
    for (const auto& [name, contents] : files) {
        ASSERT_TRUE(everything.count(name));
        EXPECT_EQ(contents.size(), everything.at(name).size) << name;
    }
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              everything.at("hidden.txt").attributes);
    EXPECT_EQ(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, everything.at("sys.dat").attributes);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, everything.at("Sub").attributes);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, everything.at(".").attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, everything.at("..").attributes & FILE_ATTRIBUTE_DIRECTORY);

    EXPECT_EQ(names(everything), names(findAll("c:\\find\\*.*")));
    EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt", "hidden.txt"}),
              names(findAll("C:\\Find\\*.txt")));
    EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt"}), names(findAll("C:\\Find\\?.t?t")));
    EXPECT_EQ((std::vector<std::string>{"sys.dat"}), names(findAll("C:\\Find\\SYS.DAT")));

    // The root of a drive has no "." and "..".
    const auto root = findAll("C:\\*");
    EXPECT_FALSE(root.count("."));
    EXPECT_FALSE(root.count(".."));
    EXPECT_TRUE(root.count("Users"));
}

TEST_F(FilesTest, FindFailsCleanlyWhenNothingMatches) {
    WIN32_FIND_DATAA data;
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("C:\\Users\\*.xyz", &data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("C:\\Missing\\*", &data));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("C:\\Users\\missing.txt", &data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    const HANDLE find = FindFirstFileA("C:\\*", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_TRUE(FindClose(find));
    junkLastError();
    EXPECT_FALSE(FindClose(find));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(FilesTest, ShortPathNameIsTheLongPathAndWalksTheSizeHandshake) {
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\A long name.txt", "x"));
    const std::string path = "C:\\Users\\User\\Documents\\A long name.txt";
    const DWORD length = static_cast<DWORD>(path.size());

    EXPECT_EQ(length + 1, GetShortPathNameA(path.c_str(), nullptr, 0));
    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(length + 1, GetShortPathNameA(path.c_str(), buffer, length));
    EXPECT_EQ(length, GetShortPathNameA(path.c_str(), buffer, length + 1));
    EXPECT_EQ(path, buffer);

    std::memset(buffer, kJunkByte, sizeof buffer);
    junkLastError();
    EXPECT_EQ(0u, GetShortPathNameA("C:\\Users\\User\\missing.txt", buffer, sizeof buffer));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(FilesTest, LogicalDriveStringsWalkTheSizeHandshake) {
    static const char kExpected[] = "C:\\\0Z:\\\0";
    char buffer[16];
    EXPECT_EQ(9u, GetLogicalDriveStringsA(0, nullptr));
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(9u, GetLogicalDriveStringsA(8, buffer));
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(8u, GetLogicalDriveStringsA(9, buffer));
    EXPECT_EQ(0, std::memcmp(kExpected, buffer, 9));
    EXPECT_EQ(kJunkByte, buffer[9]);
}

TEST_F(FilesTest, CreateAndRemoveDirectory) {
    junkLastError();
    EXPECT_TRUE(CreateDirectoryA("C:\\Made", nullptr));
    EXPECT_TRUE(fs::is_directory(host("Made")));
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA("C:\\MADE", nullptr));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    ASSERT_TRUE(WriteWholeFile("C:\\Made\\file.txt", "x"));
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA("C:\\Made\\file.txt", nullptr));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA("C:\\Missing\\Child", nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_FALSE(fs::exists(host("Missing")));

    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA("C:\\Made"));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, GetLastError());
    EXPECT_TRUE(fs::exists(host("Made/file.txt")));
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA("C:\\Made\\file.txt"));
    EXPECT_EQ(ERROR_DIRECTORY, GetLastError());
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA("C:\\Gone"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    ASSERT_TRUE(DeleteFileA("C:\\Made\\file.txt"));
    EXPECT_TRUE(RemoveDirectoryA("c:\\made"));
    EXPECT_FALSE(fs::exists(host("Made")));
}

TEST_F(FilesTest, CopyHonoursFailIfExists) {
    ASSERT_TRUE(WriteWholeFile("C:\\source.txt", "source"));
    ASSERT_TRUE(WriteWholeFile("C:\\target.txt", "target"));

    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\source.txt", "C:\\target.txt", TRUE));
    EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
    EXPECT_EQ("target", readHostFile(host("target.txt")));

    EXPECT_TRUE(CopyFileA("C:\\source.txt", "C:\\TARGET.TXT", FALSE));
    EXPECT_EQ("source", readHostFile(host("target.txt")));
    EXPECT_FALSE(fs::exists(host("TARGET.TXT")));

    EXPECT_TRUE(CopyFileA("C:\\source.txt", "C:\\fresh.txt", TRUE));
    EXPECT_EQ("source", readHostFile(host("fresh.txt")));
    EXPECT_EQ("source", readHostFile(host("source.txt")));

    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\missing.txt", "C:\\other.txt", FALSE));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(fs::exists(host("other.txt")));

    ASSERT_TRUE(SetFileAttributesA("C:\\target.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteWholeFile("C:\\source.txt", "newer"));
    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\source.txt", "C:\\target.txt", FALSE));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("source", readHostFile(host("target.txt")));
}

TEST_F(FilesTest, CopyingAFileOntoItselfKeepsItsContents) {
    ASSERT_TRUE(WriteWholeFile("C:\\only.txt", "precious"));
    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\only.txt", "C:\\ONLY.TXT", FALSE));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
    EXPECT_EQ("precious", readHostFile(host("only.txt")));

    // A hard link is the same file under another name.
    fs::create_hard_link(host("only.txt"), host("alias.txt"));
    junkLastError();
    EXPECT_FALSE(CopyFileA("C:\\only.txt", "C:\\alias.txt", FALSE));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
    EXPECT_EQ("precious", readHostFile(host("only.txt")));
}

TEST_F(FilesTest, DeletingALinkKeepsWhatItPointsTo) {
    writeHostFile(platform.programFolder() + "/outside/target.txt", "target");
    fs::create_directories(host("Links"));
    fs::create_symlink(platform.programFolder() + "/outside/target.txt", host("Links/file.lnk"));
    fs::create_directory_symlink(platform.programFolder() + "/outside", host("Links/folder"));

    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesA("C:\\Links\\file.lnk"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT,
              GetFileAttributesA("C:\\Links\\folder"));

    EXPECT_TRUE(DeleteFileA("C:\\Links\\file.lnk"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(host("Links/file.lnk"))));
    EXPECT_EQ("target", readHostFile(platform.programFolder() + "/outside/target.txt"));

    // A folder link goes by itself even though the folder it names is not empty.
    EXPECT_TRUE(RemoveDirectoryA("C:\\Links\\folder"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(host("Links/folder"))));
    EXPECT_EQ("target", readHostFile(platform.programFolder() + "/outside/target.txt"));
}

TEST_F(FilesTest, NoDeletionOrRenamePassesThroughALinkedFolder) {
    // A folder link inside drive C: that leads outside the platform root, with a canary.
    const std::string outside = platform.programFolder() + "/outside";
    writeHostFile(outside + "/canary.txt", "alive");
    fs::create_directories(outside + "/Sub");
    fs::create_directories(host("Cache"));
    fs::create_directory_symlink(outside, host("Cache/linked"));

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
    EXPECT_EQ("mine", readHostFile(host("mine.txt")));
    // Reading through the link is fine; only what changes the tree refuses it.
    std::string text;
    EXPECT_TRUE(ReadWholeFile("C:\\Cache\\linked\\canary.txt", text));
    EXPECT_EQ("alive", text);
}

TEST_F(FilesTest, WholeFilesRoundTripAnyBytes) {
    const std::string bytes("line\r\n\0\xFF\x80 end", 13);
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\blob.bin", bytes));
    std::string back = "junk";
    ASSERT_TRUE(ReadWholeFile("C:\\Users\\User\\Documents\\blob.bin", back));
    EXPECT_EQ(bytes, back);

    // Replacing truncates; an empty file reads back empty.
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\blob.bin", ""));
    ASSERT_TRUE(ReadWholeFile("C:\\Users\\User\\Documents\\blob.bin", back));
    EXPECT_EQ("", back);

    junkLastError();
    EXPECT_FALSE(ReadWholeFile("C:\\Users", back));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\Users", "x"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA("C:\\Users"));
    EXPECT_FALSE(FileExistsA("C:\\Users"));
}

TEST_F(FilesTest, MoveRenamesAndCarriesTheAttributesAlong) {
    ASSERT_TRUE(CreateDirectoryA("C:\\\xC4rger", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\\xC4rger\\secret.txt", "s"));
    ASSERT_TRUE(SetFileAttributesA("C:\\\xC4rger\\secret.txt", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteWholeFile("C:\\taken.txt", "t"));

    junkLastError();
    EXPECT_FALSE(MoveFileA("C:\\\xC4rger", "C:\\taken.txt"));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileA("C:\\missing", "C:\\elsewhere"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    ASSERT_TRUE(MoveFileA("C:\\\xC4rger", "C:\\Moved"));
    EXPECT_FALSE(fs::exists(host("\xC3\x84rger")));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA("C:\\Moved\\secret.txt"));

    // A change of case alone renames the entry on disk.
    ASSERT_TRUE(MoveFileA("C:\\taken.txt", "C:\\TAKEN.txt"));
    EXPECT_EQ((std::vector<std::string>{"TAKEN.txt"}), names(findAll("C:\\taken.*")));
    EXPECT_EQ("t", readHostFile(host("TAKEN.txt")));
}

TEST_F(FilesTest, MoveExReplacesAFileInOneStepButNeverAFolderOrAReadOnlyFile) {
    ASSERT_TRUE(WriteWholeFile("C:\\neu.tmp", "new"));
    ASSERT_TRUE(WriteWholeFile("C:\\alt.url", "old"));
    ASSERT_TRUE(SetFileAttributesA("C:\\neu.tmp", FILE_ATTRIBUTE_HIDDEN));

    // Without the flag it is MoveFileA.
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\neu.tmp", "C:\\alt.url", 0));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    EXPECT_EQ("old", readHostFile(host("alt.url")));

    // With it the old file gives way and the new one carries its own attributes.
    ASSERT_TRUE(MoveFileExA("C:\\neu.tmp", "C:\\ALT.url", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("new", readHostFile(host("alt.url")));
    EXPECT_FALSE(fs::exists(host("neu.tmp")));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA("C:\\alt.url"));
    // Into a free name it simply moves.
    ASSERT_TRUE(MoveFileExA("C:\\alt.url", "C:\\frei.url",
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ("new", readHostFile(host("frei.url")));

    // A read-only file, a folder at the new name, or a folder to move keep their places.
    ASSERT_TRUE(WriteWholeFile("C:\\fest.url", "fixed"));
    ASSERT_TRUE(SetFileAttributesA("C:\\fest.url", FILE_ATTRIBUTE_READONLY));
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "C:\\fest.url", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("fixed", readHostFile(host("fest.url")));
    EXPECT_TRUE(GetFileAttributesA("C:\\fest.url") & FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CreateDirectoryA("C:\\Ordner", nullptr));
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "C:\\Ordner", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\Ordner", "C:\\frei.url", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA("C:\\Ordner"));
    EXPECT_EQ("new", readHostFile(host("frei.url")));

    // What is not offered fails visibly; a missing source is the usual error.
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "Z:\\tmp\\x.url", MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\frei.url", "C:\\x.url", MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileExA("C:\\fehlt.url", "C:\\frei.url", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ("new", readHostFile(host("frei.url")));
}

TEST_F(FilesTest, NamesWithCharactersWindowsForbidsAreRefused) {
    for (const char* bad : {"C:\\a:b.txt", "C:\\what?.txt", "C:\\star*.txt", "C:\\x|y",
                            "C:\\quote\".txt", "C:\\less<more>.txt", "C:\\tab\t.txt"}) {
        junkLastError();
        EXPECT_FALSE(WriteWholeFile(bad, "x")) << bad;
        EXPECT_EQ(ERROR_INVALID_NAME, GetLastError()) << bad;
        junkLastError();
        EXPECT_FALSE(CreateDirectoryA(bad, nullptr)) << bad;
        EXPECT_EQ(ERROR_INVALID_NAME, GetLastError()) << bad;
    }
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Users\\*"));
    EXPECT_EQ(ERROR_INVALID_NAME, GetLastError());
    // Only the drive's own files are there.
    EXPECT_EQ(names(findAll("C:\\*")),
              (std::vector<std::string>{"Program Files", "ProgramData", "Users", "Windows"}));
}

TEST_F(FilesTest, TempPathIsTheUsersTempFolderAndExists) {
    const std::string expected = "C:\\Users\\User\\AppData\\Local\\Temp\\";
    const DWORD length = static_cast<DWORD>(expected.size());
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\AppData\\Local\\Temp"));

    EXPECT_EQ(length + 1, GetTempPathA(0, nullptr));
    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(length + 1, GetTempPathA(length, buffer));
    EXPECT_EQ(length, GetTempPathA(length + 1, buffer));
    EXPECT_EQ(expected, buffer);
    // The folder is made again when it was removed.
    EXPECT_TRUE(DirectoryExistsA(expected));
}

TEST_F(FilesTest, PipesAndDevicesAreNotReadOrWrittenAsFiles) {
    // Should a call block on the pipe, the alarm ends the test program instead of hanging it.
    ::alarm(20);
    ASSERT_EQ(0, ::mkfifo(host("pipe").c_str(), 0644));
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
    EXPECT_FALSE(fs::exists(host("copy")));

    junkLastError();
    EXPECT_FALSE(ReadWholeFile("Z:\\dev\\zero", text));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_FALSE(CopyFileA("Z:\\dev\\zero", "C:\\copy", FALSE));
    ::alarm(0);
}

TEST_F(FilesTest, FindReportsTheLastWriteTimeAndCopiesKeepIt) {
    ASSERT_TRUE(WriteWholeFile("C:\\dated.txt", "12345"));
    // 2001-05-26 17:34:46.5 UTC
    const timespec times[2] = {{990898486, 500000000}, {990898486, 500000000}};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, host("dated.txt").c_str(), times, 0));
    const std::uint64_t expected = 126353720865000000ULL;

    WIN32_FIND_DATAA data;
    fillJunk(data);
    ASSERT_TRUE(UniqueFindHandle(FindFirstFileA("C:\\dated.txt", &data)).valid());
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastWriteTime));
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastAccessTime));
    EXPECT_EQ(5u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.nFileSizeHigh);
    EXPECT_STREQ("", data.cAlternateFileName);

    ASSERT_TRUE(CopyFileA("C:\\dated.txt", "C:\\copy.txt", TRUE));
    fillJunk(data);
    ASSERT_TRUE(UniqueFindHandle(FindFirstFileA("C:\\copy.txt", &data)).valid());
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastWriteTime));
}
