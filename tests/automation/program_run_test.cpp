// The program itself, as the start-up shortcut starts it at logon: "surfkolibri cbhme" on a
// seeded machine, offscreen, and the machine afterwards.
#include "cleaning_fixture.h"

#include "platform/paths.h"
#include "platform/urlcache.h"
#include "ui/MyTricks.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

using namespace automation_test;
using testing_support::PlatformTest;

namespace {

class RunAutomaticCleaningProcessTest : public PlatformTest {
  protected:
    // Runs a program of the build on the test's root, with a home of its own; its exit code.
    int runBuilt(const std::string& command) {
        platform::closeRoot(); // the program opens the root itself
        const std::string home = platform.root() + "-home";
        std::filesystem::create_directories(home);
        const std::string line =
            "HOME='" + home + "' XDG_CONFIG_HOME='" + home + "/config' XDG_CACHE_HOME='" + home +
            "/cache' " + "XDG_RUNTIME_DIR='" + home + "' SURFKOLIBRI_PLATFORM='" + platform.root() +
            "' QT_QPA_PLATFORM=offscreen " + "SURFKOLIBRI_SHELL_EXECUTE=record timeout 120 " +
            SURFKOLIBRI_BUILD_DIR + "/" + command + " >/dev/null 2>&1";
        const int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

} // namespace

TEST_F(RunAutomaticCleaningProcessTest, TheProgramCleansTheSeededMachineAndEnds) {
    ASSERT_EQ(0, runBuilt("skplatform seed-demo"));
    // No other browsers: their cleanings would pause the program for real seconds (they are
    // tested with the simulated pause).
    for (const std::string& folder : {kRoaming + "Opera", kRoaming + "Mozilla", kLocal + "Mozilla",
                                      std::string("C:\\Program Files\\Opera")}) {
        SCOPED_TRACE(folder);
        DeleteFolderTree(folder);
        ASSERT_FALSE(DirectoryExistsA(folder)) << folder;
    }
    // The language was chosen before (English).
    ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    ASSERT_TRUE(CopyFileA(
        (platform::windowsPathOf(platform::HostPath(SURFKOLIBRI_BUILD_DIR)) + "\\Surfkolibri.t00")
            .c_str(),
        (GetDataFolder(ProductName) + "Surfkolibri.def").c_str(), FALSE));
    ASSERT_TRUE(WriteWholeFile(GetDataFolder(ProductName) + "Surfkolibri.cho", ProgramVersion));

    using platform::urlcache::Container;
    const auto content = platform::urlcache::list(Container::Content);
    std::vector<std::string> locked;
    for (const auto& r : content)
        if (r.lockCount > 0) locked.push_back(r.url);
    const Traces before = tracesLeft();
    ASSERT_GT(before.content, 100);
    ASSERT_GT(before.cookies, 10);
    ASSERT_GT(before.visits, 10);
    ASSERT_GT(before.typed, 5);
    ASSERT_GT(before.runList, 5);
    ASSERT_GT(before.recent, 5);
    ASSERT_FALSE(locked.empty());
    const int favorites = filesIn("C:\\Users\\User\\Favorites\\");

    EXPECT_EQ(0, runBuilt("surfkolibri cbhme"));

    // Only the entries of pages open in a browser stay, with their files.
    std::vector<std::string> left;
    for (const auto& r : platform::urlcache::list(Container::Content)) {
        left.push_back(r.url);
        EXPECT_TRUE(FileExistsA(r.localFile)) << r.url;
    }
    EXPECT_EQ(locked, left);
    const Traces after = tracesLeft();
    EXPECT_EQ(0, after.cookies);
    EXPECT_EQ(0, after.visits);
    EXPECT_EQ(0, after.typed);
    EXPECT_EQ(0, after.runList);
    EXPECT_EQ(0, after.recent);
    // The shell's list goes, the folder's other files stay.
    EXPECT_TRUE(FileExistsA(kRecent + "DESKTOP.INI"));
    EXPECT_EQ(1, filesIn(kRecent + "CustomDestinations\\"));
    EXPECT_EQ(favorites, filesIn("C:\\Users\\User\\Favorites\\"));
    // No message was asked for, and the run ended by itself: nothing is left to confirm.
    EXPECT_TRUE(shortcutsIn(kUserStartup).empty());
}
