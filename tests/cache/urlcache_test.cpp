// The URL cache through WinINet's own calls and the program's cache and history components
// over it: entries committed as a browser commits them, looked up, walked and deleted.
#include "cache/IECache.h"
#include "platform/filetime.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"
#include "support/wine.h"
#include "traces/UrlHistory.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using UrlCacheTest = testing_support::PlatformTest;

// 2004-03-05 12:00:00 UTC.
constexpr std::uint64_t kMarch2004 = 127229616000000000ull;

const std::string kPage = "http://kravonel.example/conformance/page.htm";
const std::string kImage = "http://kravonel.example/conformance/image.gif";

// An entry as a browser leaves it after a visit: no file of its own is needed for the index.
bool commit(const std::string& url, DWORD type = NORMAL_CACHE_ENTRY) {
    const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
    return CommitUrlCacheEntryA(url.c_str(), nullptr, platform::fileTimeOf(kMarch2004 + 1000),
                                platform::fileTimeOf(kMarch2004), type,
                                reinterpret_cast<LPBYTE>(const_cast<char*>(header.data())),
                                static_cast<DWORD>(header.size()), "htm", nullptr) != FALSE;
}

// The test's entries go again whatever the test left; a real machine keeps its cache.
class CommittedEntries {
  public:
    ~CommittedEntries() {
        for (const std::string& url : {kPage, kImage})
            DeleteUrlCacheEntryA(url.c_str());
    }
};

} // namespace

TEST_F(UrlCacheTest, ACommittedEntryIsLookedUpAndDeletedByItsUrl) {
    const CommittedEntries cleanup;
    ASSERT_TRUE(commit(kPage));

    // No buffer: the size it needs. Then the record with its strings inside the buffer.
    DWORD size = 0;
    SetLastError(0xDEADBEEF);
    EXPECT_FALSE(
        GetUrlCacheEntryInfoExA(kPage.c_str(), nullptr, &size, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    ASSERT_GE(size, sizeof(INTERNET_CACHE_ENTRY_INFOA) + kPage.size() + 1);
    std::vector<char> buffer(size, '\x5A');
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    ASSERT_TRUE(GetUrlCacheEntryInfoExA(kPage.c_str(), info, &size, nullptr, nullptr, nullptr, 0));
    ASSERT_NE(nullptr, info->lpszSourceUrlName);
    EXPECT_EQ(kPage, info->lpszSourceUrlName);
    EXPECT_GE(info->lpszSourceUrlName, buffer.data());
    EXPECT_LT(info->lpszSourceUrlName, buffer.data() + buffer.size());
    EXPECT_TRUE(info->CacheEntryType & NORMAL_CACHE_ENTRY);
    EXPECT_EQ(kMarch2004, platform::ticksOf(info->LastModifiedTime));

    // The cache component looks the entry up the same way.
    TIECache cache;
    EXPECT_EQ(0, cache.GetEntryInfo(kPage));
    EXPECT_EQ(kPage, cache.EntryInfo().SourceUrlName);

    ASSERT_TRUE(DeleteUrlCacheEntryA(kPage.c_str()));
    size = static_cast<DWORD>(buffer.size());
    SetLastError(0xDEADBEEF);
    EXPECT_FALSE(GetUrlCacheEntryInfoExA(kPage.c_str(), info, &size, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    SetLastError(0xDEADBEEF);
    EXPECT_FALSE(DeleteUrlCacheEntryA(kPage.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_NE(0, cache.GetEntryInfo(kPage));
}

TEST_F(UrlCacheTest, TheCacheComponentsWalkFindsAndDeletesWhatWasCommitted) {
    SKIP_ON_WINE("FindFirstUrlCacheEntryExA is a stub that finds nothing (ERROR_FILE_NOT_FOUND)");
    const CommittedEntries cleanup;
    ASSERT_TRUE(commit(kPage));
    ASSERT_TRUE(commit(kImage));
    TIECache cache;
    cache.SetFilterOptions({NORMAL_ENTRY, STICKY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cache.SetSearchPattern(spUrl);
    std::vector<std::string> urls;
    cache.OnEntry = [&urls](TIECache* sender, bool&) {
        urls.push_back(sender->EntryInfo().SourceUrlName);
    };
    cache.Retrieve(0);
    EXPECT_NE(urls.end(), std::find(urls.begin(), urls.end(), kPage));
    EXPECT_NE(urls.end(), std::find(urls.begin(), urls.end(), kImage));

    EXPECT_EQ(0, cache.DeleteEntry(kImage));
    urls.clear();
    cache.Retrieve(0);
    EXPECT_NE(urls.end(), std::find(urls.begin(), urls.end(), kPage));
    EXPECT_EQ(urls.end(), std::find(urls.begin(), urls.end(), kImage));
}

TEST_F(UrlCacheTest, TheHistoryComponentListsAndDeletesVisits) {
    SKIP_ON_WINE("IUrlHistoryStg2 answers E_NOTIMPL to AddUrl, EnumUrls and ClearHistory");
    TUrlHistory history;
    history.Loaded();
    history.AddUrl(AnsiToWide("http://kravonel.example/b"), AnsiToWide("Beta"));
    history.AddUrl(AnsiToWide("http://kravonel.example/a"), AnsiToWide("Alpha"));
    ASSERT_GE(history.Refresh(), 2);
    std::vector<std::string> titles;
    for (int i = 0; i < history.Count(); ++i)
        if (history.Items(i)->Url.find("kravonel.example") != std::string::npos)
            titles.push_back(history.Items(i)->Title);
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta"}), titles);
    history.DeleteUrl(AnsiToWide("http://kravonel.example/a"));
    history.DeleteUrl(AnsiToWide("http://kravonel.example/b"));
    history.Refresh();
    for (int i = 0; i < history.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::string::npos, history.Items(i)->Url.find("kravonel.example"));
    }
}
