// Profiles of today's Firefox, Chrome and Edge as the browsers write them: databases in their
// own schemas (places.sqlite, cookies.sqlite, formhistory.sqlite, History, Cookies), cache
// folders, bookmarks, passwords and settings files. Written to host folders with SQLite
// directly: the demo machine (skplatform seed-demo), the tests and the benchmark use them.
#pragma once

#include <string>
#include <vector>

namespace browser_seed {

struct Sizes {
    int places = 400;  // addresses (Chrome's urls), the first `bookmarks` of them bookmarked
    int visits = 2400; // spread over the places
    int bookmarks = 60;
    int cookies = 240; // spread over `sites` sites
    int sites = 40;
    int cacheFiles = 300;
    int formEntries = 40;
    bool wal = true; // Firefox's databases in WAL mode, as Firefox keeps them
};

// The host of a site's cookies as stored: even sites as domain cookies (".siteN.example"),
// odd ones as host cookies ("siteN.example"); the keep-list sees "siteN.example" either way.
std::string cookieHost(int site);
std::string siteName(int site);

// A Firefox profile folder with its databases, logins.json, key4.db and prefs.js, and its
// cache folder (cache2 below `cacheHost`, empty to leave none). Throws std::runtime_error.
void firefoxProfile(const std::string& profileHost, const std::string& cacheHost,
                    const Sizes& sizes);
// profiles.ini naming the profiles (relative paths "Profiles/<name>").
void firefoxProfilesIni(const std::string& firefoxHost, const std::vector<std::string>& names);
// A Chrome or Edge profile folder: History, Network\Cookies, Bookmarks, Login Data,
// Preferences, and Cache\Cache_Data, Code Cache, GPUCache.
void chromeProfile(const std::string& profileHost, const Sizes& sizes);
// Local State listing the profiles in profile.info_cache.
void chromeLocalState(const std::string& userDataHost, const std::vector<std::string>& names);

} // namespace browser_seed
