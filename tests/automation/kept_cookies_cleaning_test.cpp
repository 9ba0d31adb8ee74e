// The unattended run's cookie cleaning around the keep-list: Internet Explorer's cookies of
// kept sites stay in the URL cache and count as kept, and so do their lines in the other
// browsers' cookie files; a preview changes nothing; the list itself is never written.
#include "automation/CleaningOperations.h"
#include "cache/IECache.h"
#include "cache/KeepCookies.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "support/cache_entries.h"
#include "support/platform_fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> cookiesInCache() {
    std::vector<std::string> urls;
    for (const auto& record : platform::urlcache::list(platform::urlcache::Container::Cookies))
        urls.push_back(record.url);
    std::sort(urls.begin(), urls.end());
    return urls;
}

std::string contents(const std::string& path) {
    std::string data;
    return ReadWholeFile(path, data) ? data : "(missing)";
}

void writeFile(const std::string& path, const std::string& data) {
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    for (std::size_t i = folder.find('\\', 3); i != std::string::npos; i = folder.find('\\', i + 1))
        CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(path, data)) << path;
}

class KeptCookiesCleaningTest : public testing_support::PlatformTest {};

} // namespace

TEST_F(KeptCookiesCleaningTest, TheCookieCleaningLeavesTheKeptSitesCookies) {
    const std::string roaming = platform.profile() + "\\AppData\\Roaming\\";
    const std::string mozilla = roaming + "Mozilla\\Profiles\\default\\";
    const std::string opera = roaming + "Opera\\opera\\profile\\";
    writeFile(mozilla + "Cache\\_CACHE_MAP_", "map");
    const std::string keptLine = ".mail.example\tTRUE\t/\tFALSE\t0\tsid\t42\r\n";
    const std::string cookiesTxt = "# Netscape HTTP Cookie File\r\n" + keptLine +
                                   "tracker.example\tFALSE\t/\tFALSE\t0\tid\t1\r\n";
    writeFile(mozilla + "cookies.txt", cookiesTxt);
    writeFile(opera + "cookies4.dat", "\x1E\x03net\x1E\x07tracker");
    for (const char* domain :
         {"mail.example", "www.mail.example", "tracker.example", "mail.example.tracker.example"})
        testing_support::putCookie(domain);
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("mail.example"));
    const std::vector<TKeepCookies::Site> listed = keep.Sites();

    TIECache cookies;
    SetUpCookieComponent(cookies);
    platform::SimulatedTime noWaiting;
    const CleaningResult preview = CleanCookies(cookies, CleaningMode::Preview);
    // Two cache cookies and one line kept; two cache cookies, one line and Opera's file to go.
    EXPECT_EQ(3u, preview.kept);
    EXPECT_EQ(4u, preview.removed);
    EXPECT_EQ(4u, cookiesInCache().size());
    EXPECT_EQ(cookiesTxt, contents(mozilla + "cookies.txt"));
    EXPECT_TRUE(FileExistsA(opera + "cookies4.dat"));

    const CleaningResult cleaned = CleanCookies(cookies);
    EXPECT_EQ(3u, cleaned.kept);
    EXPECT_EQ(4u, cleaned.removed);
    EXPECT_EQ(0u, cleaned.notRemoved);
    EXPECT_EQ(
        (std::vector<std::string>{"Cookie:user@mail.example/", "Cookie:user@www.mail.example/"}),
        cookiesInCache());
    EXPECT_EQ("# Netscape HTTP Cookie File\r\n" + keptLine, contents(mozilla + "cookies.txt"));
    EXPECT_FALSE(FileExistsA(opera + "cookies4.dat"));

    // The list is as it was: same site, same date.
    const TKeepCookies after = TKeepCookies::FromRegistry();
    ASSERT_EQ(1u, after.Sites().size());
    EXPECT_EQ(listed[0].host, after.Sites()[0].host);
    EXPECT_EQ(listed[0].added, after.Sites()[0].added);
}
