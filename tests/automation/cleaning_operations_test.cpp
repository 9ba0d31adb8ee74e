// The cleanings of the unattended run, each handed the component it works with: Internet
// Explorer's part through the cache and history components, then the same part of every
// other browser found.
#include "automation/CleaningOperations.h"
#include "cache/IECache.h"
#include "platform/filetime.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "support/wine.h"
#include "traces/UrlHistory.h"
#include "ui/MyTricks.h"

#include <string>
#include <vector>

namespace {

// 2004-03-05 12:00:00 UTC.
constexpr std::uint64_t kMarch2004 = 127229616000000000ull;

const std::string kPage = "http://kravonel.example/cleaning/page.htm";
const std::string kCookie = "Cookie:user@kravonel.example/";

class CleaningOperationsTest : public testing_support::PlatformTest {
  protected:
    const std::string roaming = platform.profile() + "\\AppData\\Roaming\\";
    const std::string opera = roaming + "Opera\\opera\\profile\\";
    const std::string mozilla = roaming + "Mozilla\\Profiles\\default\\";
    const std::string firefox = roaming + "Mozilla\\Firefox\\Profiles\\abc.default\\";

    static void file(const std::string& path) {
        const std::string folder = path.substr(0, path.find_last_of('\\'));
        for (std::size_t i = folder.find('\\', 3); i != std::string::npos;
             i = folder.find('\\', i + 1))
            CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(path, "data")) << path;
    }

    // A profile of each other browser, with its cache, cookies and history.
    void addOtherBrowsers() {
        file(opera + "cache4\\opr00001.tmp");
        file(opera + "cookies4.dat");
        file(opera + "global.dat");
        file(mozilla + "Cache\\_CACHE_MAP_");
        file(mozilla + "cookies.txt");
        file(mozilla + "history.dat");
        file(firefox + "Cache\\_CACHE_001_");
        file(firefox + "cookies.txt");
        file(firefox + "history.dat");
    }

    // Which parts of the three profiles are left: cache files, cookies, history, per browser.
    std::string otherBrowsersLeft() const {
        std::string left;
        const auto mark = [&left](bool present) { left += present ? 'x' : '-'; };
        mark(FileExistsA(opera + "cache4\\opr00001.tmp"));
        mark(FileExistsA(opera + "cookies4.dat"));
        mark(FileExistsA(opera + "global.dat"));
        left += ' ';
        mark(FileExistsA(mozilla + "Cache\\_CACHE_MAP_"));
        mark(FileExistsA(mozilla + "cookies.txt"));
        mark(FileExistsA(mozilla + "history.dat"));
        left += ' ';
        mark(FileExistsA(firefox + "Cache\\_CACHE_001_"));
        mark(FileExistsA(firefox + "cookies.txt"));
        mark(FileExistsA(firefox + "history.dat"));
        return left;
    }
    // The cache folders come back after their cleaning.
    bool cacheFoldersThere() const {
        return FolderExists(opera + "cache4") && FolderExists(mozilla + "Cache") &&
               FolderExists(firefox + "Cache");
    }
};

bool commit(const std::string& url, DWORD type) {
    const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
    return CommitUrlCacheEntryA(url.c_str(), nullptr, platform::fileTimeOf(kMarch2004 + 1000),
                                platform::fileTimeOf(kMarch2004), type,
                                reinterpret_cast<LPBYTE>(const_cast<char*>(header.data())),
                                static_cast<DWORD>(header.size()), "htm", nullptr) != FALSE;
}

bool cached(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoExA(url.c_str(), nullptr, &size, nullptr, nullptr, nullptr, 0);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

} // namespace

// Only a string of option letters selects anything; the letter must be in it as it is.
TEST(CleaningStepTest, OnlyAStringOfOptionLettersSelectsItsSteps) {
    EXPECT_TRUE(SelectsStep("cbhmenr", 'c'));
    EXPECT_TRUE(SelectsStep("hc", 'c'));
    EXPECT_TRUE(SelectsStep("r", 'r'));
    EXPECT_FALSE(SelectsStep("bh", 'c'));
    EXPECT_FALSE(SelectsStep("", 'c'));
    EXPECT_FALSE(SelectsStep("C", 'c'));
    EXPECT_FALSE(SelectsStep("cx", 'c'));
    EXPECT_FALSE(SelectsStep("c b", 'c'));
    EXPECT_FALSE(SelectsStep("-c", 'c'));
    EXPECT_FALSE(SelectsStep("C:\\Users\\User\\Documents\\Brief.doc", 'c'));
}

// Each cleaning takes its own part of every other browser and leaves the others; each browser
// found costs its pause of a second, after which its cache folder is back.
TEST_F(CleaningOperationsTest, EachCleaningTakesItsPartOfEveryOtherBrowser) {
    addOtherBrowsers();
    platform::SimulatedTime time;
    TIECache cache;
    TIECache cookies;
    TUrlHistory history;
    history.Loaded();

    CleanCache(cache);
    EXPECT_EQ("-xx -xx -xx", otherBrowsersLeft());
    EXPECT_TRUE(cacheFoldersThere());
    EXPECT_EQ(3000, time.PassedMilliseconds());

    CleanCookies(cookies);
    EXPECT_EQ("--x --x --x", otherBrowsersLeft());
    EXPECT_EQ(6000, time.PassedMilliseconds());

    CleanHistory(history);
    EXPECT_EQ("--- --- ---", otherBrowsersLeft());
    EXPECT_EQ(9000, time.PassedMilliseconds());
    EXPECT_TRUE(cacheFoldersThere());
}

// Firefox's profile counts for a cleaning only when it holds that part: without cookies it is
// passed over by the cookie cleaning and takes no pause.
TEST_F(CleaningOperationsTest, AFirefoxProfileWithoutThePartIsPassedOver) {
    file(firefox + "history.dat");
    file(firefox + "prefs.js");
    platform::SimulatedTime time;
    TIECache cookies;
    CleanCookies(cookies);
    EXPECT_EQ(0, time.PassedMilliseconds());
    EXPECT_TRUE(FileExistsA(firefox + "history.dat"));
    TUrlHistory history;
    history.Loaded();
    CleanHistory(history);
    EXPECT_EQ(1000, time.PassedMilliseconds());
    EXPECT_FALSE(FileExistsA(firefox + "history.dat"));
    EXPECT_TRUE(FileExistsA(firefox + "prefs.js"));
}

// Internet Explorer's part: the cache cleaning takes the content and leaves the cookies, the
// cookie cleaning takes the cookies.
TEST_F(CleaningOperationsTest, TheCacheCleaningLeavesCookiesAndTheCookieCleaningTakesThem) {
    SKIP_ON_WINE("FindFirstUrlCacheEntryExA is a stub that finds nothing (ERROR_FILE_NOT_FOUND)");
    ASSERT_TRUE(commit(kPage, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(commit(kCookie, NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY));
    // The components as the main window and the cookie window set them up.
    TIECache cache;
    SetUpContentComponent(cache);
    CleanCache(cache);
    EXPECT_FALSE(cached(kPage));
    EXPECT_TRUE(cached(kCookie));
    TIECache cookies;
    SetUpCookieComponent(cookies);
    CleanCookies(cookies);
    EXPECT_FALSE(cached(kCookie));
}

// The history cleaning empties the URL history through the component it is handed.
TEST_F(CleaningOperationsTest, TheHistoryCleaningEmptiesTheUrlHistory) {
    SKIP_ON_WINE("IUrlHistoryStg2 answers E_NOTIMPL to AddUrl, EnumUrls and ClearHistory");
    TUrlHistory history;
    history.Loaded();
    history.AddUrl(AnsiToWide("http://kravonel.example/a"), AnsiToWide("Alpha"));
    history.AddUrl(AnsiToWide("http://kravonel.example/b"), AnsiToWide("Beta"));
    ASSERT_GE(history.Refresh(), 2);
    platform::SimulatedTime time;
    CleanHistory(history);
    EXPECT_EQ(0, history.Refresh());
}
