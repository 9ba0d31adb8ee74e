// TIECache over the hosted cache: walks with their events, lookups, deletions and the
// library check.
#include "support/cache_entries.h"
#include "support/time_zone.h"

#include "support/platform_fixture.h"

#include "cache/IECache.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "support/caller_trace.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

using namespace testing_support;

namespace {

class IECacheTest : public testing_support::PlatformTest {
  protected:
    IECacheTest() { TIECache::ResetLibraryCheck(); }
    ~IECacheTest() override { TIECache::ResetLibraryCheck(); }

    // The main window's instance.
    static void configureForContent(TIECache& cache) { SetUpContentComponent(cache); }
    // The cookie window's instance, listing its cookies.
    static void configureForCookies(TIECache& cache) {
        SetUpCookieComponent(cache);
        cache.SetSearchPattern(spCookies);
    }

    static std::vector<std::string> retrieve(TIECache& cache) {
        std::vector<std::string> urls;
        cache.OnEntry = [&urls](TIECache* sender, bool&) {
            urls.push_back(sender->EntryInfo().SourceUrlName);
        };
        cache.Retrieve(0);
        return urls;
    }
};

// Sets TZ for one test: a fixed offset without daylight saving.
double dateTime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s,
                const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    double value = 0;
    EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, 0, value));
    return value;
}

} // namespace

TEST_F(IECacheTest, FilterMaskFollowsTheWrittenOptionsOnly) {
    TIECache cache;
    EXPECT_EQ(cache.FilterOptions().Bits(), 0x7D);
    EXPECT_EQ(cache.FilterMask(), 0u);
    EXPECT_EQ(cache.SearchPattern(), spAll);
    configureForContent(cache);
    EXPECT_EQ(cache.FilterMask(), 0x200035u);
    cache.SetFilterOptions({SPARSE_ENTRY, OCX_ENTRY, STABLE_ENTRY});
    EXPECT_EQ(cache.FilterMask(), 0x30002u);
    cache.SetFilterOptions({});
    EXPECT_EQ(cache.FilterMask(), 0u);
}

TEST_F(IECacheTest, RetrieveSeparatesContentFromCookies) {
    addContent("http://www.example.com/");
    addContent("http://www.example.com/logo.gif", "GIF89a");
    const std::string cookie = addCookie("example.com");
    addVisit("http://www.example.com/");

    TIECache content;
    configureForContent(content);
    EXPECT_EQ(retrieve(content), (std::vector<std::string>{"http://www.example.com/",
                                                           "http://www.example.com/logo.gif"}));
    TIECache cookies;
    configureForCookies(cookies);
    EXPECT_EQ(retrieve(cookies), (std::vector<std::string>{cookie}));
}

TEST_F(IECacheTest, RetrieveOnAnEmptySelectionRaisesNothingAndClosesTheWalk) {
    TIECache cache;
    configureForContent(cache);
    int events = 0;
    cache.OnEntry = [&events](TIECache*, bool&) { ++events; };
    cache.Retrieve(0);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(cache.FindFirstEntry(0), static_cast<int>(ERROR_NO_MORE_ITEMS));
    // No walk is left open after Retrieve.
    addContent("http://late.example/");
    cache.Retrieve(0);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(cache.FindNextEntry(), static_cast<int>(ERROR_INVALID_HANDLE));
}

TEST_F(IECacheTest, CancelOnTheFirstEntryGivesExactlyOneEvent) {
    for (int i = 0; i < 5; ++i)
        addContent("http://cancel.example/" + std::to_string(i) + ".htm");
    TIECache cache;
    configureForContent(cache);
    std::vector<std::string> seen;
    cache.OnEntry = [&seen](TIECache* sender, bool& cancel) {
        seen.push_back(sender->EntryInfo().SourceUrlName);
        cancel = true;
    };
    cache.Retrieve(0);
    EXPECT_EQ(seen, (std::vector<std::string>{"http://cancel.example/0.htm"}));
    // The next walk starts afresh.
    cache.OnEntry = nullptr;
    cache.Retrieve(0);
    EXPECT_EQ(retrieve(cache).size(), 5u);
}

TEST_F(IECacheTest, DeleteAllEntriesEmptiesTheSelectionWithItsFiles) {
    std::vector<std::string> files;
    for (int i = 0; i < 25; ++i)
        files.push_back(addContent("http://all.example/" + std::to_string(i) + ".jpg", "x"));
    const std::string cookie = addCookie("all.example");
    TIECache cache;
    configureForContent(cache);
    cache.DeleteAllEntries();
    EXPECT_TRUE(retrieve(cache).empty());
    for (const auto& file : files)
        EXPECT_FALSE(FileExistsA(file)) << file;
    TIECache cookies;
    configureForCookies(cookies);
    EXPECT_EQ(retrieve(cookies), (std::vector<std::string>{cookie}));
}

TEST_F(IECacheTest, DeleteAllEntriesPassesOverLockedEntriesAndEnds) {
    for (int i = 0; i < 6; ++i)
        addContent("http://lock.example/" + std::to_string(i) + ".htm");
    platform::urlcache::lock("http://lock.example/0.htm");
    platform::urlcache::lock("http://lock.example/3.htm");
    platform::urlcache::lock("http://lock.example/5.htm");
    TIECache cache;
    configureForContent(cache);
    cache.DeleteAllEntries();
    EXPECT_EQ(retrieve(cache),
              (std::vector<std::string>{"http://lock.example/0.htm", "http://lock.example/3.htm",
                                        "http://lock.example/5.htm"}));
}

// Entries of every size are counted and removed, one larger than any buffer the walk has had
// among them; what stays (a kept or locked entry the walk ends on) is left in EntryInfo whole.
TEST_F(IECacheTest, DeleteAllEntriesCountsEntriesOfEverySizeAndEndsOnWhatStayed) {
    testing_support::ScopedTimeZone zone("XXX-1");
    std::vector<std::string> files;
    for (int i = 0; i < 8; ++i) {
        const std::string url = "http://size.example/" + std::to_string(i) + ".htm";
        files.push_back(addContent(url, std::string(static_cast<std::size_t>(100 * i), 'x')));
        if (i == 4) {
            // A header as long as a server may send.
            std::optional<platform::urlcache::Record> r = platform::urlcache::get(url);
            ASSERT_TRUE(r);
            r->header = "HTTP/1.1 200 OK\r\nX-Long: " + std::string(20000, 'h') + "\r\n\r\n";
            platform::urlcache::put(*r);
        }
    }
    platform::urlcache::lock("http://size.example/7.htm");
    TIECache cache;
    configureForContent(cache);

    const CleaningResult preview = cache.DeleteAllEntries(CleaningMode::Preview);
    EXPECT_EQ(7u, preview.removed);
    EXPECT_EQ(100u * (0 + 1 + 2 + 3 + 4 + 5 + 6), preview.removedBytes);
    EXPECT_EQ(1u, preview.notRemoved);
    EXPECT_EQ(1u, preview.inUse);
    EXPECT_EQ("http://size.example/7.htm", cache.EntryInfo().SourceUrlName);
    EXPECT_EQ(files[7], cache.EntryInfo().LocalFileName);
    EXPECT_EQ(700u, cache.EntryInfo().Size);
    EXPECT_EQ(1u, cache.EntryInfo().UseCount);
    EXPECT_DOUBLE_EQ(dateTime(2004, 3, 5, 13, 0, 0), cache.EntryInfo().LastModified);
    EXPECT_EQ("htm", cache.EntryInfo().FileExtension);
    for (const std::string& file : files)
        EXPECT_TRUE(FileExistsA(file)) << file;

    // The one that stays is kept for its own reason: the rest go.
    const CleaningResult cleaned = cache.DeleteAllEntries(
        CleaningMode::Remove, [](const std::string& url) { return url.find("/7.") != url.npos; });
    EXPECT_EQ(7u, cleaned.removed);
    EXPECT_EQ(preview.removedBytes, cleaned.removedBytes);
    EXPECT_EQ(1u, cleaned.kept);
    EXPECT_EQ(0u, cleaned.notRemoved);
    EXPECT_EQ(files[7], cache.EntryInfo().LocalFileName);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(i == 7, FileExistsA(files[i])) << files[i];
    EXPECT_EQ(retrieve(cache), std::vector<std::string>{"http://size.example/7.htm"});

    // A walk that ends on an entry it removed leaves EntryInfo empty.
    ASSERT_TRUE(platform::urlcache::unlock("http://size.example/7.htm"));
    EXPECT_EQ(1u, cache.DeleteAllEntries().removed);
    EXPECT_EQ("", cache.EntryInfo().SourceUrlName);
    EXPECT_EQ("", cache.EntryInfo().LocalFileName);
}

// A browser that shows a page holds its cached file without sharing deletion: the walk's
// deletion hands the file on and returns at once, but the file stays, and so does its entry;
// the count says so, with the reason, and the next cleaning removes it once it is let go.
TEST_F(IECacheTest, DeleteAllEntriesCountsAFileThatCouldNotGoAsNotRemoved) {
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i)
        files.push_back(
            addContent("http://held.example/" + std::to_string(i) + ".htm", std::string(10, 'x')));
    std::vector<UniqueFile> holders;
    for (const int held : {3, 7}) {
        holders.emplace_back(CreateFileA(files[held].c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holders.back().valid());
    }
    TIECache cache;
    configureForContent(cache);
    const CleaningResult result = cache.DeleteAllEntries();
    EXPECT_EQ(8u, result.removed);
    EXPECT_EQ(80u, result.removedBytes);
    EXPECT_EQ(2u, result.notRemoved);
    EXPECT_EQ(2u, result.inUse);
    ASSERT_EQ(2u, result.failures.size());
    EXPECT_EQ("http://held.example/3.htm", result.failures[0].name);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), result.failures[0].error);
    EXPECT_EQ("http://held.example/7.htm", result.failures[1].name);
    EXPECT_EQ(retrieve(cache),
              (std::vector<std::string>{"http://held.example/3.htm", "http://held.example/7.htm"}));
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(i == 3 || i == 7, FileExistsA(files[i])) << files[i];

    holders.clear();
    const CleaningResult again = cache.DeleteAllEntries();
    EXPECT_EQ(2u, again.removed);
    EXPECT_EQ(0u, again.notRemoved);
    EXPECT_TRUE(retrieve(cache).empty());
    EXPECT_FALSE(FileExistsA(files[3]));
}

TEST_F(IECacheTest, DeleteEntryClearsEntryInfoOnlyOnSuccess) {
    addContent("http://one.example/a.css", "a{}");
    TIECache cache;
    configureForContent(cache);
    ASSERT_EQ(cache.GetEntryInfo("http://one.example/a.css"), 0);
    EXPECT_EQ(cache.DeleteEntry("http://one.example/missing.css"),
              static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://one.example/a.css");
    EXPECT_EQ(cache.GetEntryInfo("http://one.example/missing.css"),
              static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://one.example/a.css");

    EXPECT_EQ(cache.DeleteEntry("http://one.example/a.css"), 0);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "");
    EXPECT_EQ(cache.EntryInfo().LocalFileName, "");
    EXPECT_EQ(cache.EntryInfo().Size, 0u);
    EXPECT_EQ(cache.EntryInfo().LastModified, 0.0);
}

TEST_F(IECacheTest, EntryInfoCarriesTheEntryInLocalTime) {
    testing_support::ScopedTimeZone zone("XXX-1");
    const std::string file = addContent("http://info.example/page.htm", "<html>12345</html>");
    const std::string header = std::string("HTTP/1.1 200 OK\r\n") + '\0' + "hidden";
    ASSERT_TRUE(CommitUrlCacheEntryA("http://info.example/page.htm", file.c_str(),
                                     fileTime(0x8000000000000000ull), fileTime(kMarch2004),
                                     NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY,
                                     reinterpret_cast<LPBYTE>(const_cast<char*>(header.data())),
                                     static_cast<DWORD>(header.size()), "htm", nullptr));
    ASSERT_TRUE(platform::urlcache::setSize("http://info.example/page.htm", 5000000000ull));

    TIECache cache;
    ASSERT_EQ(cache.GetEntryInfo("http://info.example/page.htm"), 0);
    const TEntryInfo& info = cache.EntryInfo();
    EXPECT_EQ(info.LocalFileName, file);
    EXPECT_EQ(info.EntryType, NORMAL_CACHE_ENTRY | STICKY_CACHE_ENTRY);
    EXPECT_EQ(info.Size, 5000000000ull);
    EXPECT_DOUBLE_EQ(info.LastModified, dateTime(2004, 3, 5, 13, 0, 0));
    EXPECT_EQ(info.ExpireTime, 0.0);
    EXPECT_GT(info.LastAccess, dateTime(2020, 1, 1, 0, 0, 0));
    EXPECT_EQ(info.HeaderInfo, "HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(info.FileExtension, "htm");
}

TEST_F(IECacheTest, MissingLibraryMakesEveryOperationAQuietNoOp) {
    addContent("http://nolib.example/");
    TIECache cache;
    configureForContent(cache);
    ASSERT_EQ(cache.GetEntryInfo("http://nolib.example/"), 0);

    platform::setSetting("wininet", "no");
    TIECache::ResetLibraryCheck();
    EXPECT_FALSE(cache.LibraryFound());
    EXPECT_EQ(cache.FindFirstEntry(0), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.FindNextEntry(), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.GetEntryInfo("http://nolib.example/"), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(cache.DeleteEntry("http://nolib.example/"), 0);
    int events = 0;
    cache.OnEntry = [&events](TIECache*, bool&) { ++events; };
    cache.Retrieve(0);
    cache.DeleteAllEntries();
    cache.ClearEntryInfo();
    EXPECT_EQ(events, 0);
    EXPECT_EQ(cache.EntryInfo().SourceUrlName, "http://nolib.example/");

    // A failed check is made again next time; a successful one is kept for the process.
    platform::setSetting("wininet", "yes");
    EXPECT_TRUE(cache.LibraryFound());
    platform::setSetting("wininet", "no");
    TIECache::ResetLibraryCheck();
    platform::setSetting("wininet", "yes");
    EXPECT_TRUE(cache.LibraryFound());
    platform::setSetting("wininet", "no");
    EXPECT_TRUE(cache.LibraryFound());
    cache.Retrieve(0);
    EXPECT_EQ(events, 1);
}
