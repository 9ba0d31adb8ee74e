// The cleanings of today's Firefox, Chrome and Edge: the cache, the cookies (all but those of
// kept sites) and the history of every profile the browser lists (BrowserProfiles.h). Plain
// logic over the platform; the other-browsers window and the unattended run call them.
//
// A running browser is left alone: its lock file (Firefox's parent.lock, Chrome's and Edge's
// lockfile) is opened for exclusive access first and held while the cleaning runs; when the
// browser holds it, or holds one of its databases, nothing of that browser is touched and the
// result carries the note "<browser> is running: close it to clean it". A database that cannot
// be cleaned (not SQLite, encrypted, damaged, read-only, tables not the expected ones, a
// damaged -wal) is left as it is, with a note naming it and why; the rest of the profile is
// cleaned all the same. Rows go in one transaction per database, which a failure rolls back;
// then the freed pages are given back (VACUUM) and the database is checked. Bookmarks,
// passwords, keys and settings are never touched, nor any database file deleted or replaced.
#pragma once

#include "otherbrowsers/BrowserProfiles.h"
#include "ui/CleaningResult.h"

#include <functional>
#include <string>

enum class BrowserPart { Cache, Cookies, History };

// Whether the cookies of a site stay: it is given the stored host without a leading dot.
using KeepSite = std::function<bool(const std::string& host)>;

// Cache: the contents of Firefox's cache2 and of Chrome's and Edge's Cache\Cache_Data, Code
// Cache and GPUCache, the folders kept; counted per file with its bytes.
// Cookies: the rows of Firefox's cookies.sqlite (moz_cookies) and of Chrome's and Edge's
// Network\Cookies (and an older Cookies beside History), except those `keep` keeps (none when
// it is empty); counted per row, the kept ones as kept.
// History: Firefox's visits, input history, the places no bookmark or keyword uses (a
// bookmarked place keeps its title and loses its visit count and last visit), and the form
// history; Chrome's and Edge's visits, addresses, search terms, segments, visit sources and
// download entries (the downloaded files stay); counted per row.
// With CleaningMode::Preview nothing changes: the result counts what would go.
CleaningResult CleanBrowser(Browser browser, BrowserPart part, CleaningMode mode,
                            const KeepSite& keep = {});

// The part of every one of the three that is found, added up.
CleaningResult CleanCurrentBrowsers(BrowserPart part, CleaningMode mode, const KeepSite& keep = {});
