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
    // The traces beyond history, cookies and cache, and what must never be touched beside
    // them: the pages' icons, the open and closed tabs, the most visited pages, what was typed
    // in the address bar, the Chromium form entries, websites' and an extension's caches, the
    // extensions' own storage and the site permissions.
    bool traces = false;
};

// The host of a site's cookies as stored: even sites as domain cookies (".siteN.example"),
// odd ones as host cookies ("siteN.example"); the keep-list sees "siteN.example" either way.
std::string cookieHost(int site);
std::string siteName(int site);

// A Firefox profile folder with its databases, logins.json, key4.db and prefs.js, and its
// cache folder (cache2 below `cacheHost`, empty to leave none); with `traces`, favicons.sqlite,
// the session store, permissions.sqlite and an extension's storage. Throws
// std::runtime_error.
void firefoxProfile(const std::string& profileHost, const std::string& cacheHost,
                    const Sizes& sizes);
// profiles.ini naming the profiles (relative paths "Profiles/<name>"), then those at the
// absolute Windows paths given (IsRelative=0); installs.ini naming the first as the default.
void firefoxProfilesIni(const std::string& firefoxHost, const std::vector<std::string>& names,
                        const std::vector<std::string>& absolute = {});
// A Chromium-family profile folder: History, Network\Cookies, Bookmarks, Login Data,
// Preferences, and Cache\Cache_Data, Code Cache, GPUCache (below `cacheHost` when one is
// given, as Opera keeps them); with `traces`, Favicons, Top Sites, Shortcuts, Network Action
// Predictor, Web Data, the Sessions folders, Service Worker\CacheStorage with websites' and an
// extension's caches, Extension State and Local Extension Settings.
void chromeProfile(const std::string& profileHost, const Sizes& sizes,
                   const std::string& cacheHost = {});
// Local State listing the profiles in profile.info_cache.
void chromeLocalState(const std::string& userDataHost, const std::vector<std::string>& names);

} // namespace browser_seed
