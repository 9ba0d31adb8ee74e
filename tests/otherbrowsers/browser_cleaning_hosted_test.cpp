// Today's Firefox, Chrome and Edge cleaned on profiles written as the browsers write them, and
// the machine read afterwards by an outside reader (the sqlite3 program): bookmarks and
// passwords intact, only kept sites' cookies left, no visits, every database sound; a running
// browser, a busy database and damaged files leave their files byte for byte as they were.
#include "browser_fixture.h"

#include "automation/CleaningOperations.h"
#include "browser_seed.h"
#include "cache/IECache.h"
#include "cache/KeepCookies.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "platform/root.h"
#include "platform/simulated_time.h"
#include "support/platform_fixture.h"
#include "support/sqlite_query.h"
#include "ui/MyTricks.h"

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>

using namespace browser_test;

namespace {

// The sites whose cookies stay: site1 and site4 ("siteN.example", stored with or without dot).
bool keptSite(const std::string& host) {
    return host == "site1.example" || host == "site4.example";
}
const char* const kKeptHosts = "host IN ('site1.example', '.site4.example')";
const char* const kKeptHostKeys = "host_key IN ('site1.example', '.site4.example')";

} // namespace

TEST_F(BrowserCleaningTest, EveryListedProfileIsCleanedAndBookmarksPasswordsAndKeptSitesStay) {
    seedFirefox({"a1.default-release", "b2.work"});
    seedChromium(chrome, {"Default", "Profile 1"});
    seedChromium(edge, {"Default"});
    const std::string places = firefoxProfiles + "a1.default-release/places.sqlite";
    const std::string cookies = firefoxProfiles + "b2.work/cookies.sqlite";
    const std::string history = chrome + "/Profile 1/History";
    const std::string chromeCookies = edge + "/Default/Network/Cookies";
    const auto kept = [&](const std::string& base) {
        std::map<std::string, std::string> files;
        for (const auto& [path, contents] : snapshot(base))
            if (path.find("Bookmarks") != std::string::npos ||
                path.find("Login Data") != std::string::npos ||
                path.find("logins.json") != std::string::npos ||
                path.find("key4.db") != std::string::npos ||
                path.find("Preferences") != std::string::npos ||
                path.find("prefs.js") != std::string::npos ||
                path.find("Local State") != std::string::npos ||
                path.find(".ini") != std::string::npos)
                files[path] = contents;
        return files;
    };
    const auto keptBefore = kept(local);
    const auto roamingKeptBefore = kept(roaming);
    ASSERT_EQ(std::string("30"), count(places, "moz_bookmarks", "type = 1"));

    // The preview counts what would go, and changes nothing.
    const auto before = snapshot(roaming);
    const auto localBefore = snapshot(local);
    CleaningResult preview[3][3];
    for (Browser b : {Browser::Firefox, Browser::Chrome, Browser::Edge}) {
        preview[int(b)][0] = CleanBrowser(b, BrowserPart::Cache, CleaningMode::Preview);
        preview[int(b)][1] = CleanBrowser(b, BrowserPart::Cookies, CleaningMode::Preview, keptSite);
        preview[int(b)][2] = CleanBrowser(b, BrowserPart::History, CleaningMode::Preview);
        for (const auto& r : preview[int(b)])
            EXPECT_TRUE(r.notes.empty()) << BrowserName(b) << ": " << r.notes.front();
    }
    EXPECT_EQ(std::vector<std::string>{}, changed(before, snapshot(roaming)));
    EXPECT_EQ(std::vector<std::string>{}, changed(localBefore, snapshot(local)));
    // Two profiles of 90 cookies over 30 sites, 3 cookies each of the two kept sites.
    EXPECT_EQ(2u * (90 - 6), preview[int(Browser::Firefox)][1].removed);
    EXPECT_EQ(2u * 6, preview[int(Browser::Firefox)][1].kept);
    EXPECT_EQ(90u - 6, preview[int(Browser::Edge)][1].removed);
    // Visits, input history and the places no bookmark uses, plus the form history.
    EXPECT_EQ(2u * (600 + 50 + (120 - 30) + 10), preview[int(Browser::Firefox)][2].removed);
    EXPECT_EQ(2u * (40 + 1) + 0, preview[int(Browser::Firefox)][0].removed);

    CleaningResult done[3][3];
    for (Browser b : {Browser::Firefox, Browser::Chrome, Browser::Edge}) {
        done[int(b)][0] = CleanBrowser(b, BrowserPart::Cache, CleaningMode::Remove);
        done[int(b)][1] = CleanBrowser(b, BrowserPart::Cookies, CleaningMode::Remove, keptSite);
        done[int(b)][2] = CleanBrowser(b, BrowserPart::History, CleaningMode::Remove);
        for (int part = 0; part < 3; ++part) {
            const CleaningResult& r = done[int(b)][part];
            EXPECT_TRUE(r.notes.empty()) << BrowserName(b) << ": " << r.notes.front();
            EXPECT_EQ(preview[int(b)][part].removed, r.removed) << BrowserName(b) << " " << part;
            EXPECT_EQ(preview[int(b)][part].removedBytes, r.removedBytes);
            EXPECT_EQ(preview[int(b)][part].kept, r.kept);
            EXPECT_EQ(0u, r.notRemoved);
        }
    }

    // Firefox, read from outside: no visits, only bookmarked places, their titles kept.
    for (const std::string name : {"a1.default-release", "b2.work"}) {
        const std::string folder = firefoxProfiles + name;
        const std::string db = folder + "/places.sqlite";
        EXPECT_EQ("ok", sqlite3Says(db, "PRAGMA integrity_check"));
        EXPECT_EQ("0", count(db, "moz_historyvisits"));
        EXPECT_EQ("0", count(db, "moz_inputhistory"));
        EXPECT_EQ("30", count(db, "moz_places"));
        EXPECT_EQ("30",
                  count(db, "moz_bookmarks", "type = 1 AND fk IN (SELECT id FROM moz_places)"));
        EXPECT_EQ("Page 7 of site7.example",
                  sqlite3Says(db, "SELECT title FROM moz_places WHERE id = 8"));
        EXPECT_EQ("0|",
                  sqlite3Says(db, "SELECT max(visit_count), max(last_visit_date) FROM moz_places"));
        EXPECT_EQ("docs", sqlite3Says(db, "SELECT keyword FROM moz_keywords"));
        EXPECT_EQ("ok", sqlite3Says(folder + "/cookies.sqlite", "PRAGMA integrity_check"));
        EXPECT_EQ("6", count(folder + "/cookies.sqlite", "moz_cookies"));
        EXPECT_EQ("6", count(folder + "/cookies.sqlite", "moz_cookies", kKeptHosts));
        EXPECT_EQ("0", count(folder + "/formhistory.sqlite", "moz_formhistory"));
        // The deleted addresses are gone from the file itself, not only from its tables.
        EXPECT_EQ(std::string::npos, readHostFile(db).find("site9.example/page/99"));
        EXPECT_FALSE(fs::exists(db + "-wal") && fs::file_size(db + "-wal") > 0);
        // The cache folders stay, empty.
        EXPECT_TRUE(fs::is_directory(firefoxCache + name + "/cache2/entries"));
        EXPECT_TRUE(snapshot(firefoxCache + name + "/cache2").empty());
    }
    // Chrome and Edge: every history table empty, only kept sites' cookies.
    for (const std::string& profile :
         {chrome + "/Default", chrome + "/Profile 1", edge + "/Default"}) {
        const std::string db = profile + "/History";
        EXPECT_EQ("ok", sqlite3Says(db, "PRAGMA integrity_check"));
        for (const char* table :
             {"visits", "urls", "keyword_search_terms", "segments", "segment_usage", "visit_source",
              "downloads", "downloads_url_chains"})
            EXPECT_EQ("0", count(db, table)) << profile << " " << table;
        EXPECT_EQ("67", sqlite3Says(db, "SELECT value FROM meta WHERE key = 'version'"));
        const std::string jar = profile + "/Network/Cookies";
        EXPECT_EQ("ok", sqlite3Says(jar, "PRAGMA integrity_check"));
        EXPECT_EQ("6", count(jar, "cookies"));
        EXPECT_EQ("6", count(jar, "cookies", kKeptHostKeys));
        for (const char* cache : {"/Cache/Cache_Data", "/Code Cache/js", "/GPUCache"}) {
            EXPECT_TRUE(fs::is_directory(profile + cache));
            EXPECT_TRUE(snapshot(profile + cache).empty()) << profile + cache;
        }
    }
    EXPECT_EQ(std::string::npos, readHostFile(history).find("site9.example/page/99"));
    EXPECT_EQ(std::string::npos, readHostFile(chromeCookies).find("site9.example"));
    EXPECT_EQ(std::string::npos, readHostFile(cookies).find("site9.example"));
    // Bookmarks, passwords, keys, settings and the profile lists: byte for byte as they were.
    EXPECT_EQ(std::vector<std::string>{}, changed(keptBefore, kept(local)));
    EXPECT_EQ(std::vector<std::string>{}, changed(roamingKeptBefore, kept(roaming)));
}

TEST_F(BrowserCleaningTest, ARunningBrowserOrABusyDatabaseLeavesEveryFileOfThatBrowserAsItWas) {
    seedFirefox({"a1.default-release", "b2.work"});
    seedChromium(chrome, {"Default", "Profile 1"});
    seedChromium(edge, {"Default"});
    platform::SimulatedTime time;
    const auto firefoxBefore = snapshot(roaming);
    const auto localBefore = snapshot(local);
    {
        // Firefox runs with its second profile, Chrome with any.
        RunningBrowser firefoxRuns(
            platform.root(),
            "C:\\Users\\" + platform::userName() +
                "\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\b2.work\\parent.lock");
        RunningBrowser chromeRuns(platform.root(),
                                  "C:\\Users\\" + platform::userName() +
                                      "\\AppData\\Local\\Google\\Chrome\\User Data\\lockfile");
        ASSERT_TRUE(firefoxRuns.holding());
        ASSERT_TRUE(chromeRuns.holding());
        for (BrowserPart part : {BrowserPart::Cache, BrowserPart::Cookies, BrowserPart::History}) {
            for (Browser b : {Browser::Firefox, Browser::Chrome}) {
                const CleaningResult r = CleanBrowser(b, part, CleaningMode::Remove);
                EXPECT_EQ(0u, r.removed);
                ASSERT_EQ(1u, r.notes.size());
                EXPECT_EQ(std::string(BrowserName(b)) + " is running: close it to clean it",
                          r.notes[0]);
            }
        }
    }
    // The lock files the tool made aside, nothing of either browser changed.
    auto now = snapshot(roaming);
    now.erase(firefoxProfiles + "b2.work/parent.lock");
    EXPECT_EQ(std::vector<std::string>{}, changed(firefoxBefore, now));
    auto localNow = snapshot(local);
    for (const auto& [path, contents] : localBefore) {
        const bool browser = path.find("/Google/") != std::string::npos ||
                             path.find("/Mozilla/") != std::string::npos;
        EXPECT_TRUE(!browser || contents == localNow[path]) << path << " changed";
    }

    // Edge holds its History database (as it does while writing), in a process of its own:
    // Edge is running.
    const std::string history = edge + "/Default/History";
    HeldDatabase edgeWrites(history);
    ASSERT_TRUE(edgeWrites.held());
    const auto edgeBefore = snapshot(edge);
    const std::int64_t waited = time.PassedMilliseconds();
    const CleaningResult r =
        CleanBrowser(Browser::Edge, BrowserPart::History, CleaningMode::Remove);
    EXPECT_TRUE(mentions(r, "Edge is running"));
    EXPECT_EQ(0u, r.removed);
    // It waited a second at most, on the platform's clock.
    EXPECT_GE(time.PassedMilliseconds() - waited, 900);
    EXPECT_LE(time.PassedMilliseconds() - waited, 1100);
    EXPECT_EQ(0, edgeWrites.Release());
    EXPECT_EQ(std::vector<std::string>{}, changed(edgeBefore, snapshot(edge)));
    // Once closed, it is cleaned.
    EXPECT_TRUE(
        CleanBrowser(Browser::Edge, BrowserPart::History, CleaningMode::Remove).notes.empty());
    EXPECT_EQ("0", count(history, "visits"));
}

TEST_F(BrowserCleaningTest, ALeftoverWriteAheadLogIsAppliedNotLost) {
    seedFirefox({"a1.default-release"});
    const std::string folder = firefoxProfiles + "a1.default-release";
    const std::string places = folder + "/places.sqlite";
    // Firefox ended without folding its log into the database: a new bookmark and visits are
    // only in places.sqlite-wal.
    crashDuring(places,
                "PRAGMA wal_autocheckpoint=0;"
                "INSERT INTO moz_places (id, url, title, guid) VALUES (500, "
                "'https://late.example/', 'Late bookmark', 'late0000001');"
                "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) "
                "VALUES (1, 500, 3, 99, 'Late bookmark', 'latebm00001');"
                "INSERT INTO moz_historyvisits (place_id, visit_date) VALUES (500, 1), (500, 2);",
                "-wal");
    ASSERT_GT(fs::file_size(places + "-wal"), 0u);

    const CleaningResult r =
        CleanBrowser(Browser::Firefox, BrowserPart::History, CleaningMode::Remove);
    EXPECT_TRUE(r.notes.empty()) << r.notes.front();
    EXPECT_EQ(602u + 50 + 90 + 10, r.removed);
    EXPECT_EQ("ok", sqlite3Says(places, "PRAGMA integrity_check"));
    EXPECT_EQ("Late bookmark", sqlite3Says(places, "SELECT title FROM moz_places WHERE id = 500"));
    EXPECT_EQ("31", count(places, "moz_bookmarks", "type = 1"));
    EXPECT_EQ("0", count(places, "moz_historyvisits"));
    EXPECT_EQ("wal", sqlite3Says(places, "PRAGMA journal_mode"));
}

// Chrome ended in the middle of a change and left a hot journal: the preview sees the database
// as the cleaning will, after the rollback, and counts what the cleaning then removes.
TEST_F(BrowserCleaningTest, APreviewOfADatabaseWithAHotJournalCountsWhatTheCleaningRemoves) {
    seedChromium(chrome, {"Default"});
    const std::string history = chrome + "/Default/History";
    const std::string visits = count(history, "visits");
    const std::string urls = count(history, "urls");
    // A small page cache spills the change into the database before it commits, so the
    // database holds half of it and the journal the pages to undo it.
    crashDuring(history,
                "PRAGMA journal_mode=DELETE; PRAGMA cache_size=10; PRAGMA cache_spill=1; BEGIN;"
                "DELETE FROM visits WHERE id % 3 = 0;"
                "UPDATE urls SET title = hex(randomblob(300));",
                "-journal");
    ASSERT_GT(fs::file_size(history + "-journal"), 512u);

    const CleaningResult preview =
        CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Preview);
    EXPECT_TRUE(preview.notes.empty()) << preview.notes.front();
    const CleaningResult cleaned =
        CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Remove);
    EXPECT_TRUE(cleaned.notes.empty()) << cleaned.notes.front();
    EXPECT_GE(cleaned.removed, std::stoull(visits) + std::stoull(urls));
    EXPECT_EQ(cleaned.removed, preview.removed);
    EXPECT_EQ("ok", sqlite3Says(history, "PRAGMA integrity_check"));
    EXPECT_EQ("0", count(history, "visits"));
    EXPECT_FALSE(fs::exists(history + "-journal") && fs::file_size(history + "-journal") > 0);
}

TEST_F(BrowserCleaningTest, DamagedFilesAreLeftWithANoteAndTheRestIsCleaned) {
    seedFirefox({"a1.default-release", "b2.work"});
    seedChromium(chrome, {"Default", "Profile 1"});
    const std::string a = firefoxProfiles + "a1.default-release/";
    const std::string b = firefoxProfiles + "b2.work/";
    // Not SQLite, encrypted (random bytes from the start), truncated, another schema.
    writeHostFile(a + "places.sqlite", "This is not a database at all.\n");
    std::string random(8192, '\0');
    for (std::size_t i = 0; i < random.size(); ++i)
        random[i] = static_cast<char>((i * 2654435761u) >> 13);
    writeHostFile(a + "cookies.sqlite", random);
    const std::string forms = readHostFile(b + "formhistory.sqlite");
    writeHostFile(b + "formhistory.sqlite", forms.substr(0, forms.size() / 2 + 100));
    // Without its bookmarks nothing tells which places must stay.
    ASSERT_EQ("", sqlite3Says(b + "places.sqlite", "DROP TABLE moz_bookmarks"));
    // Chrome's Default History: its log damaged; Profile 1's cookies marked read-only.
    const std::string history = chrome + "/Default/History";
    ASSERT_EQ("wal", sqlite3Says(history, "PRAGMA journal_mode=WAL"));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(history.c_str(), &db));
        sqlite3_exec(db, "PRAGMA wal_autocheckpoint=0; DELETE FROM visits WHERE id < 10;", nullptr,
                     nullptr, nullptr);
        fs::copy_file(history + "-wal", history + ".saved-wal");
        sqlite3_close(db);
    }
    std::string wal = readHostFile(history + ".saved-wal");
    fs::remove(history + ".saved-wal");
    wal[32 + 24 + 200] ^= 0x55; // inside the first frame's page
    writeHostFile(history + "-wal", wal);
    const std::string jar =
        "C:\\Users\\" + platform::userName() +
        "\\AppData\\Local\\Google\\Chrome\\User Data\\Profile 1\\Network\\Cookies";
    ASSERT_TRUE(SetFileAttributesA(jar.c_str(), FILE_ATTRIBUTE_READONLY));

    const std::vector<std::string> damaged = {a + "places.sqlite",
                                              a + "cookies.sqlite",
                                              b + "formhistory.sqlite",
                                              b + "places.sqlite",
                                              history,
                                              history + "-wal",
                                              chrome + "/Profile 1/Network/Cookies"};
    std::map<std::string, std::string> before;
    for (const std::string& file : damaged)
        before[file] = readHostFile(file);

    const CleaningResult history1 =
        CleanBrowser(Browser::Firefox, BrowserPart::History, CleaningMode::Remove);
    const CleaningResult cookies1 =
        CleanBrowser(Browser::Firefox, BrowserPart::Cookies, CleaningMode::Remove);
    const CleaningResult history2 =
        CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Remove);
    const CleaningResult cookies2 =
        CleanBrowser(Browser::Chrome, BrowserPart::Cookies, CleaningMode::Remove);
    const std::string win = "C:\\Users\\" + platform::userName() + "\\AppData\\";
    EXPECT_TRUE(mentions(history1, "a1.default-release\\places.sqlite was left as it is: it is "
                                   "not a SQLite database or it is encrypted"));
    EXPECT_TRUE(mentions(history1, "b2.work\\places.sqlite was left as it is: its tables are not "
                                   "the ones expected"));
    EXPECT_TRUE(mentions(history1, "b2.work\\formhistory.sqlite was left as it is: it is damaged"));
    EXPECT_TRUE(mentions(cookies1, "a1.default-release\\cookies.sqlite was left as it is: it is "
                                   "not a SQLite database or it is encrypted"));
    EXPECT_TRUE(mentions(history2, "Default\\History was left as it is: its write-ahead log "
                                   "(-wal) is damaged"));
    EXPECT_TRUE(
        mentions(cookies2, "Profile 1\\Network\\Cookies was left as it is: it is read-only"));
    for (const std::string& file : damaged)
        EXPECT_TRUE(before[file] == readHostFile(file)) << file << " changed";
    // The rest of each profile was cleaned all the same.
    EXPECT_EQ("0", count(a + "formhistory.sqlite", "moz_formhistory"));
    EXPECT_EQ("0", count(b + "cookies.sqlite", "moz_cookies"));
    EXPECT_EQ("0", count(chrome + "/Profile 1/History", "visits"));
    EXPECT_EQ("0", count(chrome + "/Default/Network/Cookies", "cookies"));
    // Profile 1's visits, addresses, search terms, segments, their use, visit sources and
    // downloads with their chains.
    EXPECT_EQ(600u + 120 + 20 + 30 + 30 + 60 + 5 + 5, history2.removed);
}

TEST_F(BrowserCleaningTest, DamagedProfileListsAreNamedAndNothingOutsideIsTouched) {
    // Outside both browsers' folders: a folder that a profile list points at.
    const std::string outside = local + "/Outside";
    browser_seed::chromeProfile(outside, sizes);
    const auto outsideBefore = snapshot(outside);
    browser_seed::firefoxProfile(firefoxProfiles + "a1.default-release", "", sizes);

    const std::string windows = "C:\\Users\\" + platform::userName() + "\\AppData\\";
    struct Case {
        const char* what;
        std::string contents;
        const char* note;
    };
    const Case cases[] = {
        {"huge", "[Profile0]\r\nPath=Profiles/a1.default-release\r\n" + std::string(2 << 20, ';'),
         "profiles.ini was left as it is: it is too large"},
        {"junk", std::string("\x7f\x45\x4c\x46\x02\x01\x01\0\0junk", 13),
         "profiles.ini was left as it is: it is damaged"},
        {"relative way out",
         "[Profile0]\r\nName=x\r\nIsRelative=1\r\nPath=../../../Local/Outside\r\n",
         "it names a profile outside the browser's folder"},
        {"absolute elsewhere",
         "[Profile0]\r\nName=x\r\nIsRelative=0\r\nPath=" + windows + "Local\\Outside\r\n",
         "it names a profile outside the browser's folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeHostFile(firefox + "/profiles.ini", c.contents);
        const CleaningResult r =
            CleanBrowser(Browser::Firefox, BrowserPart::History, CleaningMode::Remove);
        EXPECT_TRUE(mentions(r, c.note)) << (r.notes.empty() ? "no note" : r.notes.front());
        EXPECT_EQ(0u, r.removed);
    }
    EXPECT_EQ("600",
              count(firefoxProfiles + "a1.default-release/places.sqlite", "moz_historyvisits"));

    // Local State that is junk: Default and "Profile N" are cleaned, with a note; a profile
    // folder that is a link to elsewhere is not.
    browser_seed::chromeProfile(chrome + "/Default", sizes);
    browser_seed::chromeProfile(chrome + "/Profile 3", sizes);
    fs::create_directory_symlink(outside, chrome + "/Profile 2");
    writeHostFile(chrome + "/Local State", "{\"profile\": {\"info_cache\": [1, 2");
    const CleaningResult r =
        CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Remove);
    EXPECT_TRUE(mentions(r, "Local State was left as it is: it is damaged"));
    EXPECT_EQ("0", count(chrome + "/Default/History", "visits"));
    EXPECT_EQ("0", count(chrome + "/Profile 3/History", "visits"));
    // Local State naming a way out and the link: both passed over.
    writeHostFile(chrome + "/Local State",
                  R"({"profile":{"info_cache":{"..\\..\\Outside":{},"Profile 2":{}}}})");
    CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Remove);
    CleanBrowser(Browser::Chrome, BrowserPart::Cache, CleaningMode::Remove);
    EXPECT_EQ(std::vector<std::string>{}, changed(outsideBefore, snapshot(outside)));
}

// The unattended run's cookie cleaning reaches today's browsers too, after the earlier ones, and
// keeps the cookies of the sites on the keep-list, which count as kept.
TEST_F(BrowserCleaningTest, TheRunsCookieCleaningKeepsTheKeepListsSites) {
    seedChromium(edge, {"Default"});
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("site4.example"));
    TIECache cookies;
    const CleaningResult preview = CleanCookies(cookies, CleaningMode::Preview);
    EXPECT_EQ(3u, preview.kept);
    EXPECT_EQ(87u, preview.removed);
    EXPECT_EQ("90", count(edge + "/Default/Network/Cookies", "cookies"));
    const CleaningResult cleaned = CleanCookies(cookies);
    EXPECT_EQ(3u, cleaned.kept);
    EXPECT_EQ(87u, cleaned.removed);
    EXPECT_EQ("3",
              count(edge + "/Default/Network/Cookies", "cookies", "host_key = '.site4.example'"));
    EXPECT_EQ("3", count(edge + "/Default/Network/Cookies", "cookies"));
}

// A profile that a damaged list names twice, in two spellings, is one profile: its history
// counts once in the preview and the cleaning removes exactly that.
TEST_F(BrowserCleaningTest, AProfileListedTwiceIsCountedAndCleanedOnce) {
    browser_seed::chromeProfile(chrome + "/Default", sizes);
    writeHostFile(chrome + "/Local State",
                  R"({"profile":{"info_cache":{"Default":{},"default":{},"DEFAULT":{}}}})");
    seedFirefox({"a1.default-release"});
    writeHostFile(
        firefox + "/profiles.ini",
        "[Profile0]\r\nName=one\r\nIsRelative=1\r\nPath=Profiles/a1.default-release\r\n"
        "[Profile1]\r\nName=two\r\nIsRelative=1\r\nPath=PROFILES\\A1.Default-Release\r\n");
    const std::string chromeVisits = count(chrome + "/Default/History", "visits");
    const std::string firefoxVisits =
        count(firefoxProfiles + "a1.default-release/places.sqlite", "moz_historyvisits");
    ASSERT_EQ("600", chromeVisits);
    ASSERT_EQ("600", firefoxVisits);
    for (const Browser browser : {Browser::Chrome, Browser::Firefox}) {
        SCOPED_TRACE(BrowserName(browser));
        EXPECT_EQ(1u, FindBrowser(browser).profiles.size());
        const CleaningResult preview =
            CleanBrowser(browser, BrowserPart::History, CleaningMode::Preview);
        const CleaningResult cleaned =
            CleanBrowser(browser, BrowserPart::History, CleaningMode::Remove);
        EXPECT_TRUE(cleaned.notes.empty()) << cleaned.notes.front();
        EXPECT_EQ(preview.removed, cleaned.removed);
        // Every visit once, with the addresses and the rest the cleaning counts beside them.
        EXPECT_GE(cleaned.removed, 600u);
        EXPECT_LT(cleaned.removed, 2 * 600u);
    }
    EXPECT_EQ("0", count(chrome + "/Default/History", "visits"));
    EXPECT_EQ("0",
              count(firefoxProfiles + "a1.default-release/places.sqlite", "moz_historyvisits"));
}
