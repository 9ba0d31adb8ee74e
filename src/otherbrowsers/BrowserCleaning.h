// The cleanings of today's browsers: the cache, the cookies (all but those of kept sites) and
// the history of every profile each browser lists (BrowserProfiles.h), and what each part
// covers (BrowserStores.h). Plain logic over the platform; the other-browsers window and the
// unattended run call them.
//
// A running browser is left alone whole: a session takes the lock files of every browser it
// finds (the Firefox family's parent.lock, the Chromium family's lockfile) and holds them until
// it ends, so that no browser can start meanwhile; a browser whose lock another program holds,
// or one of whose databases is busy, is running, and nothing of it is touched while the
// session lasts. Its cleanings carry the note "<browser> is running: close it to clean it".
// A database that cannot be cleaned (not SQLite, encrypted, damaged, read-only, of a layout
// without the tables that are needed, a damaged -wal) is left as it is, with a note naming it
// and why; one of a newer or older layout has what is known cleaned and the rest left, with a
// note; the rest of the profile is cleaned all the same. Rows go in one transaction per
// database, which a failure rolls back; then the freed pages are given back (VACUUM) and the
// database is checked. Passwords, bookmarks (and their pages' icons), settings, extensions and
// their storage, and site permissions are never touched, nor any database file deleted or
// replaced.
#pragma once

#include "otherbrowsers/BrowserProfiles.h"
#include "ui/CleaningResult.h"

#include <functional>
#include <string>
#include <vector>

enum class BrowserPart { Cache, Cookies, History };

// Whether the cookies of a site stay: it is given the stored host without a leading dot.
using KeepSite = std::function<bool(const std::string& host)>;

// Cache: the contents of the Firefox family's cache2 and of the Chromium family's
// Cache\Cache_Data, Code Cache and GPUCache, the folders kept, and the websites' caches in
// Service Worker\CacheStorage (never an extension's); counted per file with its bytes.
// Cookies: the rows of cookies.sqlite (moz_cookies) and of Network\Cookies (and an older
// Cookies beside History), except those `keep` keeps (none when it is empty); counted per row,
// the kept ones as kept.
// History: the Firefox family's visits, input history, the places no bookmark or keyword uses
// (a bookmarked place keeps its title and loses its visit count and last visit), the form
// history, the icons of the pages no longer kept, the open and recently closed tabs
// (sessionstore.jsonlz4, sessionstore-backups); the Chromium family's visits, addresses,
// search terms, segments, visit sources and download entries (the downloaded files stay),
// the icons of the pages no bookmark names, the most visited pages (Top Sites), what was typed
// in the address bar (Shortcuts, Network Action Predictor), the form entries (Web Data) and
// the open and closed tabs (Sessions, Sessions_Encrypted); counted per row and file.
class BrowserSession {
  public:
    // Looks up `browsers` (every one when empty), holds the lock files of those found and tells
    // which are running. With CleaningMode::Preview its cleanings change nothing and count
    // what would go.
    explicit BrowserSession(CleaningMode mode, const std::vector<Browser>& browsers = {});
    ~BrowserSession();
    BrowserSession(const BrowserSession&) = delete;
    BrowserSession& operator=(const BrowserSession&) = delete;

    struct Found {
        BrowserInstall install;
        bool running = false;
    };
    // The browsers found (with one profile or more), in the order of kBrowsers.
    const std::vector<Found>& Browsers() const { return found_; }
    bool Running(Browser browser) const;

    // One part of one browser: nothing when it was not found, a note when it is running (or
    // turns out to be: from then on it is left alone).
    CleaningResult Clean(Browser browser, BrowserPart part, const KeepSite& keep = {});
    // The part of every browser found, each one's counts a share of the result.
    CleaningResult CleanAll(BrowserPart part, const KeepSite& keep = {});

  private:
    CleaningMode mode_;
    std::vector<Found> found_;
    std::vector<HANDLE> held_; // the lock files, held while the session lasts
};

// The part of one browser, or of every browser found, in a session of its own.
CleaningResult CleanBrowser(Browser browser, BrowserPart part, CleaningMode mode,
                            const KeepSite& keep = {});
CleaningResult CleanCurrentBrowsers(BrowserPart part, CleaningMode mode, const KeepSite& keep = {});
