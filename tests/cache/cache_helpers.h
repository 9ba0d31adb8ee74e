// Entries for the cache tests, added the way the browser would: a file in the cache folder
// committed under its URL.
#pragma once

#include "platform/filetime.h"
#include "platform/urlcache.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace cache_testing {

inline FILETIME fileTime(std::uint64_t ticks) {
    return platform::fileTimeOf(ticks);
}

// 2004-03-05 12:00:00 UTC.
constexpr std::uint64_t kMarch2004 = 127229616000000000ull;

inline std::string addContent(const std::string& url, const std::string& data = "<html></html>",
                              DWORD type = NORMAL_CACHE_ENTRY) {
    const std::string file = platform::urlcache::storeContentFile(url, data);
    EXPECT_FALSE(file.empty()) << url;
    const std::string header = "HTTP/1.1 200 OK\r\n\r\n";
    EXPECT_TRUE(CommitUrlCacheEntryA(url.c_str(), file.c_str(), fileTime(kMarch2004 + 1000000000),
                                     fileTime(kMarch2004), type,
                                     reinterpret_cast<LPBYTE>(const_cast<char*>(header.data())),
                                     static_cast<DWORD>(header.size()), "htm", nullptr));
    return file;
}

inline std::string addCookie(const std::string& domain) {
    const std::string file =
        platform::urlcache::storeCookieFile("user", domain, "id\nabc\n" + domain + "/\n");
    const std::string url = "Cookie:user@" + domain + "/";
    EXPECT_TRUE(CommitUrlCacheEntryA(url.c_str(), file.c_str(), fileTime(kMarch2004),
                                     fileTime(kMarch2004), NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY,
                                     nullptr, 0, "txt", nullptr));
    return url;
}

inline std::string addVisit(const std::string& url) {
    const std::string key = "Visited: User@" + url;
    EXPECT_TRUE(CommitUrlCacheEntryA(
        key.c_str(), nullptr, fileTime(kMarch2004), fileTime(kMarch2004),
        NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    return key;
}

} // namespace cache_testing
