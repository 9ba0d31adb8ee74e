// Cache entries for window tests, written straight into the platform's cache store.
#pragma once

#include "platform/urlcache.h"
#include "platform/win32.h"

#include <cstdint>
#include <string>

namespace testing_support {

// A content entry with a real file of the given contents and a stated size.
inline void addContentEntry(const std::string& url, const std::string& fileName, std::uint64_t size,
                            const std::string& contents = "x") {
    platform::urlcache::Record r;
    r.url = url;
    r.type = 0x1; // NORMAL_CACHE_ENTRY
    r.localFile = platform::urlcache::storeContentFile(fileName, contents);
    r.size = size;
    platform::urlcache::put(r);
}

inline void addCookie(const std::string& domain, DWORD hits = 3, std::uint64_t size = 100,
                      FILETIME expire = {}) {
    platform::urlcache::Record r;
    r.url = "Cookie:user@" + domain + "/";
    r.type = 0x100001; // COOKIE_CACHE_ENTRY | NORMAL_CACHE_ENTRY
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
