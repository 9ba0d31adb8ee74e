// Cache entries for the tests: added the way the browser would (a file in the cache folder
// committed under its URL), or put straight into the store with the fields a test needs.
#pragma once

#include "platform/filetime.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "support/caller_trace.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace testing_support {

inline FILETIME fileTime(std::uint64_t ticks) {
    return platform::fileTimeOf(ticks);
}

// 2004-03-05 12:00:00 UTC.
constexpr std::uint64_t kMarch2004 = 127229616000000000ull;

inline std::string
addContent(const std::string& url, const std::string& data = "<html></html>",
           DWORD type = NORMAL_CACHE_ENTRY,
           const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string file = platform::urlcache::storeContentFile(url, data);
    EXPECT_FALSE(file.empty()) << url;
    const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
    EXPECT_TRUE(CommitUrlCacheEntryA(url.c_str(), file.c_str(), fileTime(kMarch2004 + 1000000000),
                                     fileTime(kMarch2004), type,
                                     reinterpret_cast<LPBYTE>(const_cast<char*>(header.data())),
                                     static_cast<DWORD>(header.size()), "htm", nullptr));
    return file;
}

inline std::string
addCookie(const std::string& domain,
          const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string file =
        platform::urlcache::storeCookieFile("user", domain, "id\nabc\n" + domain + "/\n");
    const std::string url = "Cookie:user@" + domain + "/";
    EXPECT_TRUE(CommitUrlCacheEntryA(url.c_str(), file.c_str(), fileTime(kMarch2004),
                                     fileTime(kMarch2004), NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY,
                                     nullptr, 0, "txt", nullptr));
    return url;
}

inline std::string
addVisit(const std::string& url,
         const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string key = "Visited: User@" + url;
    EXPECT_TRUE(CommitUrlCacheEntryA(
        key.c_str(), nullptr, fileTime(kMarch2004), fileTime(kMarch2004),
        NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    return key;
}

// A content entry with a real file of the given contents and a stated size.
inline void putContentEntry(const std::string& url, const std::string& fileName, std::uint64_t size,
                            const std::string& contents = "x") {
    platform::urlcache::Record r;
    r.url = url;
    r.type = NORMAL_CACHE_ENTRY;
    r.localFile = platform::urlcache::storeContentFile(fileName, contents);
    r.size = size;
    platform::urlcache::put(r);
}

inline void putCookie(const std::string& domain, DWORD hits = 3, std::uint64_t size = 100,
                      FILETIME expire = {}) {
    platform::urlcache::Record r;
    r.url = "Cookie:user@" + domain + "/";
    r.type = COOKIE_CACHE_ENTRY | NORMAL_CACHE_ENTRY;
    r.localFile = platform::urlcache::storeCookieFile("user", domain, "id\n1\n" + domain + "/\n");
    r.size = size;
    r.hitRate = hits;
    r.expire = expire;
    platform::urlcache::put(r);
}

inline std::size_t entriesIn(platform::urlcache::Container container) {
    return platform::urlcache::list(container).size();
}

} // namespace testing_support
