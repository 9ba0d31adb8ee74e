#include "conformance.h"
#include "files_support.h"
#include "platform/filetime.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"
#include "support/wine.h"

#include <algorithm>
#include <filesystem>
#include <map>

using namespace conformance;
using testing_support::readHostFile;
namespace fs = std::filesystem;

using files_test::FilesTest;

namespace {

struct Found {
    DWORD attributes;
    std::uint64_t size;
};

// Every entry a search hands out, by name; checks that the walk ends as it should.
std::map<std::string, Found>
findAll(const std::string& pattern,
        const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
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
    const std::string file = at("guarded.txt");
    ASSERT_TRUE(WriteWholeFile(file, "keep me"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(platform.profile().c_str()));

    const DWORD all = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(at("GUARDED.TXT").c_str(), all));
    EXPECT_EQ(all | FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));

    // The process may be the host's superuser; the read-only flag still holds.
    junkLastError();
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("keep me", readHostFile(host("guarded.txt")));

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_FALSE(fs::exists(host("guarded.txt")));

    // A file made again under the same name starts plain.
    ASSERT_TRUE(WriteWholeFile(file, "new"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(file.c_str()));

    junkLastError();
    EXPECT_FALSE(SetFileAttributesA(at("missing.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(FilesTest, AMissingFileAndAMissingFolderAreToldApart) {
    const std::string missingFile = at("missing.txt");
    const std::string inMissingFolder = at("Missing\\file.txt");
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(missingFile.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(inMissingFolder.c_str()));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(DeleteFileA(missingFile.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(DeleteFileA(inMissingFolder.c_str()));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    std::string text = "untouched";
    junkLastError();
    EXPECT_FALSE(ReadWholeFile(missingFile, text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(ReadWholeFile(inMissingFolder, text));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile(inMissingFolder, "x"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(DeleteFileA(platform.profile().c_str()));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA(platform.profile()));
}

// A network path whose server is out of reach names nothing that could be read, made or
// deleted; Windows answers ERROR_BAD_NETPATH ("the network path was not found") however the
// path is spelled.
TEST_F(FilesTest, AShareOutOfReachNamesNothing) {
    std::vector<DWORD> errors;
    for (const std::string share : {"\\\\kolibri.invalid\\daten", "//kolibri.invalid/daten"}) {
        SCOPED_TRACE(share);
        junkLastError();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((share + "\\Profil").c_str()));
        errors.push_back(GetLastError());
        WIN32_FIND_DATAA data;
        fillJunk(data);
        junkLastError();
        EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((share + "\\*").c_str(), &data));
        errors.push_back(GetLastError());
        junkLastError();
        EXPECT_FALSE(CreateDirectoryA((share + "\\Neu").c_str(), nullptr));
        errors.push_back(GetLastError());
        junkLastError();
        EXPECT_FALSE(DeleteFileA((share + "\\cookies.txt").c_str()));
        errors.push_back(GetLastError());
    }
    SKIP_ON_WINE("a server it does not know answers ERROR_PATH_NOT_FOUND");
    EXPECT_EQ(std::vector<DWORD>(errors.size(), ERROR_BAD_NETPATH), errors);
}

TEST_F(FilesTest, FindWalksAFolderWithEveryPattern) {
    ASSERT_TRUE(CreateDirectoryA(at("Find").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(at("Find\\Sub").c_str(), nullptr));
    const std::map<std::string, std::string> files = {
        {"a.txt", "1"},     {"B.TXT", "22"},     {"c.doc", "333"},
        {"hidden.txt", ""}, {"sys.dat", "4444"}, {"old.txt.bak", "5"},
    };
    for (const auto& [name, contents] : files)
        ASSERT_TRUE(WriteWholeFile(at("Find\\" + name), contents));
    ASSERT_TRUE(SetFileAttributesA(at("Find\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(at("Find\\sys.dat").c_str(), FILE_ATTRIBUTE_SYSTEM));

    const auto everything = findAll(at("Find\\*"));
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

    EXPECT_EQ(names(everything), names(findAll(AnsiLowerCase(at("Find\\*.*")))));
    EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt", "hidden.txt"}),
              names(findAll(at("Find\\*.txt"))));
    EXPECT_EQ((std::vector<std::string>{"B.TXT", "a.txt"}), names(findAll(at("Find\\?.t?t"))));
    EXPECT_EQ((std::vector<std::string>{"sys.dat"}), names(findAll(at("Find\\SYS.DAT"))));

    // The root of a drive has no "." and "..".
    const auto root = findAll("C:\\*");
    EXPECT_FALSE(root.count("."));
    EXPECT_FALSE(root.count(".."));
    const std::string profile = platform.profile();
    EXPECT_TRUE(root.count(profile.substr(3, profile.find('\\', 3) - 3))) << profile;
}

TEST_F(FilesTest, FindFailsCleanlyWhenNothingMatches) {
    WIN32_FIND_DATAA data;
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(at("*.xyz").c_str(), &data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(at("Missing\\*").c_str(), &data));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(at("missing.txt").c_str(), &data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    const HANDLE find = FindFirstFileA("C:\\*", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_TRUE(FindClose(find));
}

// A volume may keep no short names; then the short form is the long path. Either way the
// result names the same file and the buffer is sized as for every text the calls hand out.
TEST_F(FilesTest, ShortPathNameWalksTheSizeHandshake) {
    const std::string path = at("A long name.txt");
    ASSERT_TRUE(WriteWholeFile(path, "x"));

    const DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    ASSERT_GT(needed, 1u);
    ASSERT_LE(needed, path.size() + 1);
    const DWORD length = needed - 1;
    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(needed, GetShortPathNameA(path.c_str(), buffer, length));
    EXPECT_EQ(length, GetShortPathNameA(path.c_str(), buffer, length + 1));
    EXPECT_EQ(length, std::strlen(buffer));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(buffer, text)) << buffer;
    EXPECT_EQ("x", text);

    std::memset(buffer, kJunkByte, sizeof buffer);
    junkLastError();
    EXPECT_EQ(0u, GetShortPathNameA(at("missing.txt").c_str(), buffer, sizeof buffer));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(FilesTest, LogicalDriveStringsWalkTheSizeHandshake) {
    const DWORD needed = GetLogicalDriveStringsA(0, nullptr);
    // "C:\" and its zero for each drive, and the zero that ends the list.
    ASSERT_GE(needed, 5u);
    EXPECT_EQ(1u, needed % 4);
    char buffer[128];
    ASSERT_LT(needed, sizeof buffer);
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(needed, GetLogicalDriveStringsA(needed - 1, buffer));
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(needed - 1, GetLogicalDriveStringsA(needed, buffer));
    EXPECT_EQ('\0', buffer[needed - 2]);
    EXPECT_EQ(kJunkByte, buffer[needed]);
    std::vector<std::string> drives;
    for (const char* p = buffer; *p; p += std::strlen(p) + 1)
        drives.emplace_back(p);
    EXPECT_EQ((needed - 1) / 4, drives.size());
    EXPECT_NE(drives.end(), std::find(drives.begin(), drives.end(), "C:\\"));
}

TEST_F(FilesTest, CreateAndRemoveDirectory) {
    junkLastError();
    EXPECT_TRUE(CreateDirectoryA(at("Made").c_str(), nullptr));
    EXPECT_TRUE(fs::is_directory(host("Made")));
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA(at("MADE").c_str(), nullptr));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    ASSERT_TRUE(WriteWholeFile(at("Made\\file.txt"), "x"));
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA(at("Made\\file.txt").c_str(), nullptr));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA(at("Missing\\Child").c_str(), nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_FALSE(fs::exists(host("Missing")));

    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA(at("Made").c_str()));
    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, GetLastError());
    EXPECT_TRUE(fs::exists(host("Made\\file.txt")));
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA(at("Made\\file.txt").c_str()));
    EXPECT_EQ(ERROR_DIRECTORY, GetLastError());
    junkLastError();
    EXPECT_FALSE(RemoveDirectoryA(at("Gone").c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    ASSERT_TRUE(DeleteFileA(at("Made\\file.txt").c_str()));
    EXPECT_TRUE(RemoveDirectoryA(AnsiLowerCase(at("Made")).c_str()));
    EXPECT_FALSE(fs::exists(host("Made")));
}

TEST_F(FilesTest, CopyHonoursFailIfExists) {
    const std::string source = at("source.txt");
    const std::string target = at("target.txt");
    ASSERT_TRUE(WriteWholeFile(source, "source"));
    ASSERT_TRUE(WriteWholeFile(target, "target"));

    junkLastError();
    EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), TRUE));
    EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
    EXPECT_EQ("target", readHostFile(host("target.txt")));

    EXPECT_TRUE(CopyFileA(source.c_str(), at("TARGET.TXT").c_str(), FALSE));
    EXPECT_EQ("source", readHostFile(host("target.txt")));
    EXPECT_EQ((std::vector<std::string>{"target.txt"}), names(findAll(at("targ*"))));

    EXPECT_TRUE(CopyFileA(source.c_str(), at("fresh.txt").c_str(), TRUE));
    EXPECT_EQ("source", readHostFile(host("fresh.txt")));
    EXPECT_EQ("source", readHostFile(host("source.txt")));

    junkLastError();
    EXPECT_FALSE(CopyFileA(at("missing.txt").c_str(), at("other.txt").c_str(), FALSE));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(fs::exists(host("other.txt")));
}

// Neither a write, a copy nor a move replaces a read-only file, even for the host's superuser.
TEST_F(FilesTest, AReadOnlyFileIsNeitherWrittenNorCopiedOver) {
    SKIP_ON_WINE("a read-only file is only as safe as its host file mode, which the host's "
                 "superuser writes past (the check runs as root)");
    const std::string target = at("target.txt");
    ASSERT_TRUE(WriteWholeFile(target, "keep me"));
    ASSERT_TRUE(WriteWholeFile(at("source.txt"), "newer"));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    junkLastError();
    EXPECT_FALSE(WriteWholeFile(target, "overwritten"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(CopyFileA(at("source.txt").c_str(), target.c_str(), FALSE));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("keep me", readHostFile(host("target.txt")));
    junkLastError();
    EXPECT_FALSE(MoveFileExA(at("source.txt").c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("keep me", readHostFile(host("target.txt")));
    EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(FilesTest, CopyingAFileOntoItselfKeepsItsContents) {
    ASSERT_TRUE(WriteWholeFile(at("only.txt"), "precious"));
    junkLastError();
    EXPECT_FALSE(CopyFileA(at("only.txt").c_str(), at("ONLY.TXT").c_str(), FALSE));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
    EXPECT_EQ("precious", readHostFile(host("only.txt")));

    // A hard link is the same file under another name.
    fs::create_hard_link(host("only.txt"), host("alias.txt"));
    junkLastError();
    EXPECT_FALSE(CopyFileA(at("only.txt").c_str(), at("alias.txt").c_str(), FALSE));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
    EXPECT_EQ("precious", readHostFile(host("only.txt")));
}

TEST_F(FilesTest, WholeFilesRoundTripAnyBytes) {
    const std::string blob = at("Documents\\blob.bin");
    const std::string bytes("line\r\n\0\xFF\x80 end", 13);
    ASSERT_TRUE(WriteWholeFile(blob, bytes));
    std::string back = "junk";
    ASSERT_TRUE(ReadWholeFile(blob, back));
    EXPECT_EQ(bytes, back);

    // Replacing truncates; an empty file reads back empty.
    ASSERT_TRUE(WriteWholeFile(blob, ""));
    ASSERT_TRUE(ReadWholeFile(blob, back));
    EXPECT_EQ("", back);

    // A hidden file is written like any other and stays hidden.
    ASSERT_TRUE(SetFileAttributesA(blob.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteWholeFile(blob, "again"));
    ASSERT_TRUE(ReadWholeFile(blob, back));
    EXPECT_EQ("again", back);
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA(blob.c_str()));

    const std::string folder = platform.profile();
    junkLastError();
    EXPECT_FALSE(ReadWholeFile(folder, back));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile(folder, "x"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA(folder));
    EXPECT_FALSE(FileExistsA(folder));
}

TEST_F(FilesTest, MoveRenamesAndCarriesTheAttributesAlong) {
    const std::string folder = at("\xC4rger");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + "\\secret.txt", "s"));
    ASSERT_TRUE(SetFileAttributesA((folder + "\\secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteWholeFile(at("taken.txt"), "t"));

    junkLastError();
    EXPECT_FALSE(MoveFileA(folder.c_str(), at("taken.txt").c_str()));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveFileA(at("missing").c_str(), at("elsewhere").c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    ASSERT_TRUE(MoveFileA(folder.c_str(), at("Moved").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.c_str()));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(at("Moved\\secret.txt").c_str()));
}

TEST_F(FilesTest, AChangeOfCaseAloneRenamesTheEntry) {
    SKIP_ON_WINE("MoveFileA to the same name in another case succeeds but leaves the name as it "
                 "was");
    ASSERT_TRUE(WriteWholeFile(at("taken.txt"), "t"));
    ASSERT_TRUE(MoveFileA(at("taken.txt").c_str(), at("TAKEN.txt").c_str()));
    EXPECT_EQ((std::vector<std::string>{"TAKEN.txt"}), names(findAll(at("taken.*"))));
    EXPECT_EQ("t", readHostFile(host("TAKEN.txt")));
}

TEST_F(FilesTest, MoveExReplacesAFileInOneStepButNeverAFolderOrAReadOnlyFile) {
    ASSERT_TRUE(WriteWholeFile(at("neu.tmp"), "new"));
    ASSERT_TRUE(WriteWholeFile(at("alt.url"), "old"));
    ASSERT_TRUE(SetFileAttributesA(at("neu.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN));

    // Without the flag it is MoveFileA.
    junkLastError();
    EXPECT_FALSE(MoveFileExA(at("neu.tmp").c_str(), at("alt.url").c_str(), 0));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    EXPECT_EQ("old", readHostFile(host("alt.url")));

    // With it the old file gives way and the new one carries its own attributes.
    ASSERT_TRUE(
        MoveFileExA(at("neu.tmp").c_str(), at("ALT.url").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("new", readHostFile(host("alt.url")));
    EXPECT_FALSE(fs::exists(host("neu.tmp")));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(at("alt.url").c_str()));
    // Into a free name it simply moves.
    ASSERT_TRUE(MoveFileExA(at("alt.url").c_str(), at("frei.url").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ("new", readHostFile(host("frei.url")));

    // A folder at the new name keeps its place.
    ASSERT_TRUE(CreateDirectoryA(at("Ordner").c_str(), nullptr));
    junkLastError();
    EXPECT_FALSE(
        MoveFileExA(at("frei.url").c_str(), at("Ordner").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());

    // A missing source is the usual error.
    junkLastError();
    EXPECT_FALSE(
        MoveFileExA(at("fehlt.url").c_str(), at("frei.url").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ("new", readHostFile(host("frei.url")));
}

// Replacing is for files: a folder never takes a file's place.
TEST_F(FilesTest, MoveExNeverPutsAFolderInAFilesPlace) {
    SKIP_ON_WINE("MoveFileExA with MOVEFILE_REPLACE_EXISTING moves a folder over a file, which "
                 "Windows refuses for folders");
    ASSERT_TRUE(WriteWholeFile(at("frei.url"), "new"));
    ASSERT_TRUE(CreateDirectoryA(at("Ordner").c_str(), nullptr));
    junkLastError();
    EXPECT_FALSE(
        MoveFileExA(at("Ordner").c_str(), at("frei.url").c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(DirectoryExistsA(at("Ordner")));
    EXPECT_EQ("new", readHostFile(host("frei.url")));
}

TEST_F(FilesTest, NamesWithCharactersWindowsForbidsAreRefused) {
    for (const char* bad :
         {"what?.txt", "star*.txt", "x|y", "quote\".txt", "less<more>.txt", "tab\t.txt"}) {
        SCOPED_TRACE(bad);
        junkLastError();
        EXPECT_FALSE(WriteWholeFile(at(bad), "x")) << bad;
        EXPECT_EQ(ERROR_INVALID_NAME, GetLastError()) << bad;
        junkLastError();
        EXPECT_FALSE(CreateDirectoryA(at(bad).c_str(), nullptr)) << bad;
        EXPECT_EQ(ERROR_INVALID_NAME, GetLastError()) << bad;
    }
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(at("*").c_str()));
    EXPECT_EQ(ERROR_INVALID_NAME, GetLastError());
    // Nothing was made.
    ASSERT_TRUE(CreateDirectoryA(at("Empty").c_str(), nullptr));
    for (const char* bad : {"what?.txt", "x|y"})
        EXPECT_FALSE(WriteWholeFile(at("Empty\\") + bad, "x")) << bad;
    EXPECT_EQ((std::vector<std::string>{".", ".."}), names(findAll(at("Empty\\*"))));
}

// Windows reserves the colon in names (after the drive it names a stream of a file), so no
// entry of that name ever appears in a folder.
TEST_F(FilesTest, ANameWithAColonIsNoFileName) {
    SKIP_ON_WINE("a file named \"a:b.txt\" is made, a name Windows cannot have");
    ASSERT_TRUE(CreateDirectoryA(at("Empty").c_str(), nullptr));
    junkLastError();
    EXPECT_FALSE(CreateDirectoryA(at("Empty\\a:b").c_str(), nullptr));
    EXPECT_EQ(ERROR_INVALID_NAME, GetLastError());
    WriteWholeFile(at("Empty\\a:b.txt"), "x");
    const auto found = names(findAll(at("Empty\\*")));
    EXPECT_EQ(found.end(), std::find(found.begin(), found.end(), "a:b.txt"));
    EXPECT_EQ(found.end(), std::find(found.begin(), found.end(), "a:b"));
}

TEST_F(FilesTest, TempPathWalksTheSizeHandshakeAndExists) {
    const DWORD needed = GetTempPathA(0, nullptr);
    ASSERT_GT(needed, 4u);
    const DWORD length = needed - 1;
    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(needed, GetTempPathA(length, buffer));
    EXPECT_EQ(length, GetTempPathA(length + 1, buffer));
    const std::string temp = buffer;
    EXPECT_EQ(length, temp.size());
    EXPECT_EQ('\\', temp.back());
    EXPECT_EQ(":\\", temp.substr(1, 2));
    EXPECT_TRUE(DirectoryExistsA(temp));
}

TEST_F(FilesTest, FindReportsTheLastWriteTimeAndCopiesKeepIt) {
    ASSERT_TRUE(WriteWholeFile(at("dated.txt"), "12345"));
    // 2001-05-26 17:34:46.5 UTC
    const std::uint64_t expected = 126353720865000000ULL;
    testing_support::setHostFileTimes(host("dated.txt"), expected);

    WIN32_FIND_DATAA data;
    fillJunk(data);
    ASSERT_TRUE(UniqueFindHandle(FindFirstFileA(at("dated.txt").c_str(), &data)).valid());
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastWriteTime));
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastAccessTime));
    EXPECT_EQ(5u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.nFileSizeHigh);
    EXPECT_STREQ("", data.cAlternateFileName);

    ASSERT_TRUE(CopyFileA(at("dated.txt").c_str(), at("copy.txt").c_str(), TRUE));
    fillJunk(data);
    ASSERT_TRUE(UniqueFindHandle(FindFirstFileA(at("copy.txt").c_str(), &data)).valid());
    EXPECT_EQ(expected, platform::ticksOf(data.ftLastWriteTime));
}

namespace {

// The times a search reports for an entry; zero ticks when it finds nothing.
struct FoundTimes {
    std::uint64_t created = 0;
    std::uint64_t written = 0;
};

FoundTimes timesOf(const std::string& path) {
    WIN32_FIND_DATAA data;
    fillJunk(data);
    if (!UniqueFindHandle(FindFirstFileA(path.c_str(), &data)).valid()) return {};
    return {platform::ticksOf(data.ftCreationTime), platform::ticksOf(data.ftLastWriteTime)};
}

HANDLE openForAttributes(const std::string& path, DWORD access, DWORD flags = 0) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, flags | FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

// A file's creation time is what SetFileTime gave it, whatever its contents or name become;
// only a handle opened to change attributes may set it, and a folder opens only with backup
// semantics.
TEST_F(FilesTest, SetFileTimeGivesTheCreationTimeThatTheFileKeeps) {
    ASSERT_TRUE(WriteWholeFile(at("alt.url"), "old"));
    ASSERT_TRUE(CreateDirectoryA(at("Ordner").c_str(), nullptr));
    const FILETIME created = platform::fileTimeOf(126353720865000000ULL); // 2001-05-26
    const FILETIME written = platform::fileTimeOf(131000000000000000ULL); // 2016-02-15

    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, openForAttributes(at("Ordner"), FILE_WRITE_ATTRIBUTES));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, openForAttributes(at("fehlt.url"), FILE_WRITE_ATTRIBUTES));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    const HANDLE file = openForAttributes(at("alt.url"), FILE_WRITE_ATTRIBUTES);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    junkLastError();
    EXPECT_TRUE(SetFileTime(file, &created, nullptr, &written));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(kJunkError, GetLastError());
    EXPECT_EQ(platform::ticksOf(written), timesOf(at("alt.url")).written);
    const HANDLE folder =
        openForAttributes(at("Ordner"), FILE_WRITE_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    ASSERT_NE(INVALID_HANDLE_VALUE, folder);
    EXPECT_TRUE(SetFileTime(folder, &created, nullptr, nullptr));
    EXPECT_TRUE(CloseHandle(folder));

    SKIP_ON_WINE("SetFileTime keeps no creation time (a search reports one of the host's times "
                 "instead), and it changes times through a handle opened only to read them");
    EXPECT_EQ(platform::ticksOf(created), timesOf(at("alt.url")).created);
    EXPECT_EQ(platform::ticksOf(created), timesOf(at("Ordner")).created);
    const HANDLE reading = openForAttributes(at("alt.url"), FILE_READ_ATTRIBUTES);
    ASSERT_NE(INVALID_HANDLE_VALUE, reading);
    junkLastError();
    EXPECT_FALSE(SetFileTime(reading, &written, nullptr, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(CloseHandle(reading));
    EXPECT_EQ(platform::ticksOf(created), timesOf(at("alt.url")).created);

    // Renamed, the file takes its creation time along; rewritten in place it keeps it.
    ASSERT_TRUE(MoveFileA(at("alt.url").c_str(), at("neu.url").c_str()));
    EXPECT_EQ(platform::ticksOf(created), timesOf(at("neu.url")).created);
    ASSERT_TRUE(WriteWholeFile(at("neu.url"), "rewritten"));
    EXPECT_EQ(platform::ticksOf(created), timesOf(at("neu.url")).created);
    EXPECT_EQ("rewritten", readHostFile(host("neu.url")));
}
