#include "conformance.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

#include <filesystem>

using namespace conformance;
using testing_support::readHostFile;
using testing_support::writeHostFile;

namespace {

class PathsTest : public testing_support::PlatformTest {
  protected:
    std::string driveC() const { return platform.root() + "/drive_c"; }
};

std::string firstFoundName(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    fillJunk(data);
    const UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    return find.valid() ? data.cFileName : "<none>";
}

} // namespace

TEST_F(PathsTest, ComponentsAreFoundIgnoringCase) {
    writeHostFile(driveC() + "/Data/Sub Folder/File.TXT", "content");

    std::string text;
    ASSERT_TRUE(ReadWholeFile("c:\\DATA\\sub folder\\file.txt", text));
    EXPECT_EQ("content", text);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\data\\SUB FOLDER"));
    // The find functions report the name as it is on disk.
    EXPECT_EQ("File.TXT", firstFoundName("C:\\DATA\\SUB FOLDER\\file.txt"));
    EXPECT_EQ("Sub Folder", firstFoundName("C:\\data\\sub*"));

    // A new file below an existing folder spelt differently lands in that folder.
    ASSERT_TRUE(WriteWholeFile("C:\\DATA\\SUB FOLDER\\New.txt", "new"));
    EXPECT_EQ("new", readHostFile(driveC() + "/Data/Sub Folder/New.txt"));
    EXPECT_FALSE(std::filesystem::exists(driveC() + "/DATA"));
}

TEST_F(PathsTest, TheExactNameWinsOverOneThatDiffersInCase) {
    writeHostFile(driveC() + "/Twins/Readme.txt", "mixed");
    writeHostFile(driveC() + "/Twins/README.TXT", "upper");
    writeHostFile(driveC() + "/Pair/Dir/inner.txt", "mixed folder");
    writeHostFile(driveC() + "/Pair/DIR/inner.txt", "upper folder");

    std::string text;
    ASSERT_TRUE(ReadWholeFile("C:\\Twins\\Readme.txt", text));
    EXPECT_EQ("mixed", text);
    ASSERT_TRUE(ReadWholeFile("C:\\Twins\\README.TXT", text));
    EXPECT_EQ("upper", text);
    // Neither spelling given exactly: one of the two, but a real one.
    ASSERT_TRUE(ReadWholeFile("C:\\Twins\\readme.txt", text));
    EXPECT_TRUE(text == "mixed" || text == "upper") << text;

    ASSERT_TRUE(ReadWholeFile("C:\\Pair\\DIR\\inner.txt", text));
    EXPECT_EQ("upper folder", text);
    ASSERT_TRUE(ReadWholeFile("C:\\Pair\\Dir\\INNER.TXT", text));
    EXPECT_EQ("mixed folder", text);
}

TEST_F(PathsTest, ClimbingAboveTheDriveRootFails) {
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\..\\Windows"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Users\\..\\..\\Windows"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(WriteWholeFile("C:\\..\\escaped.txt", "x"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
    EXPECT_FALSE(std::filesystem::exists(platform.root() + "/escaped.txt"));

    // Staying inside is fine, however the path wanders.
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\Users\\..\\Windows"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("C:\\Users\\.\\User\\..\\.."));

    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users"));
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("..\\..\\Windows"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\Windows"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST_F(PathsTest, DriveZIsTheHostRoot) {
    writeHostFile(platform.programFolder() + "/notes.txt", "on the host");
    std::string hostAsWindows = platform.programFolder();
    std::replace(hostAsWindows.begin(), hostAsWindows.end(), '/', '\\');

    std::string text;
    ASSERT_TRUE(ReadWholeFile("Z:" + hostAsWindows + "\\notes.txt", text));
    EXPECT_EQ("on the host", text);
    EXPECT_EQ(platform.programFolderWindows(), "Z:" + hostAsWindows + "\\");
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("Z:\\"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("z:\\TMP") & FILE_ATTRIBUTE_DIRECTORY);
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Z:\\.."));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST_F(PathsTest, ModuleFileNameIsTheProgramFileOnDriveZ) {
    std::string expected = platform.programFolder() + "/surfkolibri";
    std::replace(expected.begin(), expected.end(), '/', '\\');
    expected = "Z:" + expected;
    const DWORD length = static_cast<DWORD>(expected.size());

    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    junkLastError();
    EXPECT_EQ(length, GetModuleFileNameA(nullptr, buffer, sizeof buffer));
    EXPECT_EQ(expected, buffer);

    // One byte short: the truncated path, terminated, and the buffer size as the answer.
    std::memset(buffer, kJunkByte, sizeof buffer);
    junkLastError();
    EXPECT_EQ(length, GetModuleFileNameA(nullptr, buffer, length));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(expected.substr(0, length - 1), buffer);
    EXPECT_EQ(kJunkByte, buffer[length]);

    std::memset(buffer, kJunkByte, sizeof buffer);
    EXPECT_EQ(length, GetModuleFileNameA(nullptr, buffer, length + 1));
    EXPECT_EQ(expected, buffer);
}

TEST_F(PathsTest, RelativePathsFollowTheCurrentDirectory) {
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\users\\USER"));
    char buffer[MAX_PATH];
    std::memset(buffer, kJunkByte, sizeof buffer);
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    // The directory is kept as it is on disk.
    const std::string expected = "C:\\Users\\User";
    EXPECT_EQ(expected.size() + 1, needed);
    EXPECT_EQ(needed, GetCurrentDirectoryA(needed - 1, buffer));
    EXPECT_EQ(expected.size(), GetCurrentDirectoryA(needed, buffer));
    EXPECT_EQ(expected, buffer);

    ASSERT_TRUE(WriteWholeFile("Favorites\\here.url", "a"));
    EXPECT_TRUE(FileExistsA("C:\\Users\\User\\Favorites\\here.url"));
    EXPECT_TRUE(FileExistsA(".\\Favorites\\here.url"));
    EXPECT_TRUE(FileExistsA("..\\User\\Favorites\\here.url"));
    EXPECT_TRUE(DirectoryExistsA("\\Windows"));
    EXPECT_EQ("here.url", firstFoundName("Favorites\\*.url"));

    junkLastError();
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\Nowhere"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    junkLastError();
    EXPECT_FALSE(SetCurrentDirectoryA("Favorites\\here.url"));
    EXPECT_EQ(ERROR_DIRECTORY, GetLastError());
    // A failed change leaves the directory where it was.
    GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(expected, buffer);
}

TEST_F(PathsTest, NamesInTheAnsiCodePageAreUtf8OnTheHost) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Docs", nullptr));
    const std::string ansiName = "Pr\xE4sentation.doc";
    ASSERT_TRUE(WriteWholeFile("C:\\Docs\\" + ansiName, "slides"));
    EXPECT_EQ("slides", readHostFile(driveC() + "/Docs/Pr\xC3\xA4sentation.doc"));

    EXPECT_EQ(ansiName, firstFoundName("C:\\Docs\\*.doc"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile("C:\\Docs\\PR\xC4SENTATION.DOC", text));
    EXPECT_EQ("slides", text);

    // A host file with the euro sign and an umlaut comes back in the code page.
    writeHostFile(driveC() + "/Docs/\xC3\x9C"
                             "bersicht \xE2\x82\xAC.txt",
                  "x");
    EXPECT_EQ("\xDC"
              "bersicht \x80.txt",
              firstFoundName("C:\\Docs\\*.txt"));
    EXPECT_TRUE(FileExistsA("C:\\Docs\\\xFC"
                            "bersicht \x80.txt"));
}
