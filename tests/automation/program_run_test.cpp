// The program itself, as the start-up shortcut starts it at logon: "surfkolibri cbhme" on a
// seeded machine, offscreen, and the machine afterwards.
#include "cleaning_fixture.h"

#include "platform/paths.h"
#include "platform/urlcache.h"
#include "support/sqlite_query.h"
#include "ui/MyTricks.h"

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using namespace automation_test;
using testing_support::PlatformTest;

namespace {

namespace fs = std::filesystem;

// The addresses of the demo sites' pages ("https://site7.example/page/123") that `bytes` name.
std::set<std::string> pagesNamedIn(const std::string& bytes) {
    const std::string prefix = "https://site";
    const std::string middle = ".example/page/";
    std::set<std::string> pages;
    for (std::size_t at = bytes.find(prefix); at != std::string::npos;
         at = bytes.find(prefix, at + 1)) {
        std::size_t end = at + prefix.size();
        const auto digits = [&] {
            const std::size_t from = end;
            while (end < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[end])))
                ++end;
            return end > from;
        };
        if (!digits() || bytes.compare(end, middle.size(), middle) != 0) continue;
        end += middle.size();
        if (digits()) pages.insert(bytes.substr(at, end - at));
    }
    return pages;
}

// Every file below a host folder that names pages of the demo sites, with those pages. A
// database is read through the sqlite3 program's dump, where each address stands quoted (in
// its pages a row's number may follow an address as a digit would).
std::map<std::string, std::set<std::string>> pagesByFile(const std::string& host) {
    std::map<std::string, std::set<std::string>> found;
    for (const auto& entry : fs::recursive_directory_iterator(host)) {
        if (!entry.is_regular_file()) continue;
        const std::string path = entry.path().string();
        std::string bytes = testing_support::readHostFile(path);
        if (bytes.rfind(std::string("SQLite format 3\0", 16), 0) == 0)
            bytes = testing_support::sqlite3Says(path, ".dump");
        if (auto pages = pagesNamedIn(bytes); !pages.empty()) found[path] = std::move(pages);
    }
    return found;
}

// The pages a browser's profile keeps: those its bookmarks name. A file outside any profile
// (a cache folder below the local one) keeps none.
std::set<std::string> bookmarkedAround(const fs::path& file) {
    for (fs::path dir = file.parent_path(); dir.has_relative_path(); dir = dir.parent_path()) {
        if (fs::exists(dir / "Bookmarks"))
            return pagesNamedIn(testing_support::readHostFile((dir / "Bookmarks").string()));
        if (fs::exists(dir / "places.sqlite")) {
            std::set<std::string> pages;
            std::istringstream urls(testing_support::sqlite3Says(
                (dir / "places.sqlite").string(),
                "SELECT url FROM moz_places WHERE id IN (SELECT fk FROM moz_bookmarks)"));
            for (std::string url; std::getline(urls, url);)
                pages.insert(url);
            return pages;
        }
    }
    return {};
}

// Each file's pages that no bookmark of its profile names, as "file: page".
std::vector<std::string> unkeptPages(const std::map<std::string, std::set<std::string>>& files) {
    std::vector<std::string> unkept;
    for (const auto& [file, pages] : files) {
        const std::set<std::string> kept = bookmarkedAround(file);
        for (const std::string& page : pages)
            if (!kept.count(page)) unkept.push_back(file + ": " + page);
    }
    return unkept;
}

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
    // Today's browsers on the demo machine (Firefox went with the Mozilla folder; its relatives
    // stay): pages in their histories, icons, tabs and caches that no bookmark names.
    const std::string user = platform.hostPath("C:\\Users\\User");
    const std::vector<std::string> unkeptBefore = unkeptPages(pagesByFile(user));
    ASSERT_GT(unkeptBefore.size(), 100u);

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

    // No store of any profile of any browser names a page that is not bookmarked, and no
    // cookie stays (the demo machine keeps no site). The bookmarked pages themselves stay.
    const auto pagesAfter = pagesByFile(user);
    EXPECT_EQ(std::vector<std::string>{}, unkeptPages(pagesAfter));
    std::set<std::string> profiles;
    for (const auto& [file, pages] : pagesAfter)
        if (fs::path(file).filename() == "Bookmarks" ||
            fs::path(file).filename() == "places.sqlite")
            profiles.insert(fs::path(file).parent_path().string());
    // Chrome's, Brave's and Floorp's two, Edge's, Vivaldi's, Chromium's, Opera's, LibreWolf's,
    // Waterfox's and Zen's one.
    EXPECT_EQ(13u, profiles.size());
    for (const auto& entry : fs::recursive_directory_iterator(user)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().filename().string();
        const char* const table = name == "Cookies"          ? "cookies"
                                  : name == "cookies.sqlite" ? "moz_cookies"
                                                             : nullptr;
        if (table) {
            EXPECT_EQ("0", testing_support::sqlite3Says(
                               entry.path().string(), std::string("SELECT count(*) FROM ") + table))
                << entry.path();
        }
    }
}
