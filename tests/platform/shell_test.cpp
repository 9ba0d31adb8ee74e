#include "conformance.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

using namespace conformance;

namespace {

using ShellTest = testing_support::PlatformTest;

INT_PTR code(HINSTANCE result) {
    return reinterpret_cast<INT_PTR>(result);
}

} // namespace

TEST_F(ShellTest, RecordModeLogsWhatWouldBeOpened) {
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\readme.txt", "x"));
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", "C:\\Users\\User\\Documents\\readme.txt",
                                 "/a \"b c\"", "C:\\Users", SW_SHOWNORMAL)),
              32);
    const char* url = "http://www.example.com/survey?lang=de&v=2.8";
    EXPECT_GT(code(ShellExecuteA(nullptr, nullptr, url, nullptr, nullptr, SW_SHOWNORMAL)), 32);

    const auto log = platform::shellLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("execute", log[0].kind);
    EXPECT_EQ("open", log[0].operation);
    EXPECT_EQ("C:\\Users\\User\\Documents\\readme.txt", log[0].target);
    EXPECT_EQ("/a \"b c\"", log[0].parameters);
    EXPECT_EQ("C:\\Users", log[0].directory);
    EXPECT_EQ("", log[1].operation);
    EXPECT_EQ(url, log[1].target);
}

TEST_F(ShellTest, AMissingFileIsNotOpened) {
    junkLastError();
    EXPECT_EQ(SE_ERR_FNF, code(ShellExecuteA(nullptr, "open", "C:\\Users\\missing.txt", nullptr,
                                             nullptr, SW_SHOWNORMAL)));
    EXPECT_EQ(SE_ERR_FNF, code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, 1)));
    EXPECT_EQ(SE_ERR_FNF, code(ShellExecuteA(nullptr, "open", "C:\\..\\x", nullptr, nullptr, 1)));
    EXPECT_TRUE(platform::shellLog().empty());
}

TEST_F(ShellTest, TheClickSoundPlaysFromTheCurrentFolder) {
    // Without the file there is nothing to play.
    EXPECT_EQ(275u, mciSendStringA("play clck.wav", nullptr, 0, nullptr));
    EXPECT_TRUE(platform::shellLog().empty());

    platform.installDataFiles();
    char answer[8];
    std::memset(answer, kJunkByte, sizeof answer);
    EXPECT_EQ(0u, mciSendStringA("play clck.wav", answer, sizeof answer, nullptr));
    EXPECT_STREQ("", answer);
    const auto log = platform::shellLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("sound", log[0].kind);
    EXPECT_EQ("clck.wav", log[0].target);
    EXPECT_EQ(platform.programFolderWindows(), log[0].directory + "\\");

    // The sound is looked up where the current folder is, not where the program is.
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users"));
    EXPECT_EQ(275u, mciSendStringA("play clck.wav", nullptr, 0, nullptr));
    EXPECT_EQ(1u, platform::shellLog().size());
    EXPECT_NE(0u, mciSendStringA("record everything", nullptr, 0, nullptr));
}

TEST_F(ShellTest, WininetLoadsOnlyWhenTheMachineHasIt) {
    junkLastError();
    const HMODULE wininet = LoadLibraryA("wininet.dll");
    EXPECT_NE(nullptr, wininet);
    EXPECT_NE(nullptr, LoadLibraryA("WININET.DLL"));
    EXPECT_TRUE(FreeLibrary(wininet));

    junkLastError();
    EXPECT_EQ(nullptr, LoadLibraryA("kernel99.dll"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());

    platform::setSetting("wininet", "no");
    junkLastError();
    EXPECT_EQ(nullptr, LoadLibraryA("wininet.dll"));
    EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
}
