#include "platform/root.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "ui/ClickSound.h"

using testing_support::PlatformTest;

namespace {

std::string currentFolder() {
    char folder[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder, length);
}

} // namespace

using PlayClickSoundTest = testing_support::PlatformTest;

TEST_F(PlayClickSoundTest, ClickSoundPlaysFromTheProgramFolderAndRestoresTheCurrentFolder) {
    testing_support::writeHostFile(platform.programFolder() + "/clck.wav", "RIFF");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users"));
    const std::string before = currentFolder();
    platform::clearShellLog();

    PlayClickSound();

    const auto log = platform::shellLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("sound", log[0].kind);
    EXPECT_EQ("play", log[0].operation);
    EXPECT_EQ("clck.wav", log[0].target);
    // The sound was named relative to the program folder, which was current meanwhile.
    std::string programFolder = platform.programFolderWindows();
    programFolder.pop_back();
    EXPECT_TRUE(AnsiSameText(programFolder, log[0].directory)) << log[0].directory;
    EXPECT_EQ(before, currentFolder());
}

TEST_F(PlayClickSoundTest, ClickSoundIsSilentWithoutTheSoundFile) {
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Users\\User"));
    const std::string before = currentFolder();
    platform::clearShellLog();

    PlayClickSound();

    EXPECT_TRUE(platform::shellLog().empty());
    EXPECT_EQ(before, currentFolder());
}
