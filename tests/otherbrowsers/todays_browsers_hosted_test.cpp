// Every one of today's browsers found where it keeps its profiles, and each family cleaned whole
// on profiles written as the browsers write them, with the traces beyond history (icons, tabs,
// top sites, typed addresses, form entries, websites' caches): read afterwards by the sqlite3
// program and byte by byte, no address of a site that is neither kept nor bookmarked is left
// in any file of the profile, and what must never be touched is as it was. A running browser
// is left alone for as long as the session lasts; a database of another layout has what is
// known cleaned.
#include "browser_fixture.h"

#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/BrowserTexts.h"

#include <algorithm>

using namespace browser_test;

namespace {

// Sites 1 and 4 keep their cookies; the pages of sites 0 to 5 are bookmarked, so they keep
// their icons; site 9 is neither, and nothing of it may stay.
bool keptSite(const std::string& host) {
    return host == "site1.example" || host == "site4.example";
}
const std::string kGone = "site9.example";

// The files below a host folder holding `text`, by name.
std::vector<std::string> holding(const std::string& host, const std::string& text) {
    std::vector<std::string> names;
    for (const auto& [path, contents] : snapshot(host))
        if (contents.find(text) != std::string::npos) names.push_back(path);
    return names;
}

// The files of a snapshot whose path holds one of `parts`.
std::map<std::string, std::string> only(const std::map<std::string, std::string>& files,
                                        std::initializer_list<const char*> parts) {
    std::map<std::string, std::string> picked;
    for (const auto& [path, contents] : files)
        for (const char* part : parts)
            if (path.find(part) != std::string::npos) picked[path] = contents;
    return picked;
}

class TodaysBrowsersTest : public BrowserCleaningTest {
  protected:
    TodaysBrowsersTest() {
        sizes.places = 60;
        sizes.visits = 200;
        sizes.bookmarks = 6;
        sizes.cookies = 60;
        sizes.sites = 20;
        sizes.cacheFiles = 20;
        sizes.formEntries = 8;
        sizes.traces = true;
    }
    const std::string documents = platform.hostPath("C:\\Users\\User\\Documents");

    // Cleans each part of every browser in one session: the preview first, which must change
    // nothing and count what the cleaning then removes.
    std::vector<CleaningResult> cleanEveryPart(Browser browser, const std::string& watched) {
        const auto before = snapshot(watched);
        std::vector<CleaningResult> previews;
        {
            BrowserSession session(CleaningMode::Preview);
            for (BrowserPart part :
                 {BrowserPart::Cache, BrowserPart::Cookies, BrowserPart::History})
                previews.push_back(session.Clean(browser, part, keptSite));
        }
        EXPECT_EQ(std::vector<std::string>{}, changed(before, snapshot(watched)));
        std::vector<CleaningResult> done;
        BrowserSession session(CleaningMode::Remove);
        for (BrowserPart part : {BrowserPart::Cache, BrowserPart::Cookies, BrowserPart::History})
            done.push_back(session.Clean(browser, part, keptSite));
        for (std::size_t part = 0; part < 3; ++part) {
            SCOPED_TRACE(part);
            EXPECT_EQ(std::vector<std::string>{}, done[part].notes);
            EXPECT_EQ(previews[part].removed, done[part].removed);
            EXPECT_EQ(previews[part].removedBytes, done[part].removedBytes);
            EXPECT_EQ(previews[part].kept, done[part].kept);
            EXPECT_EQ(0u, done[part].notRemoved);
        }
        return done;
    }
};

} // namespace

// Each browser in its own place, every profile it lists: Firefox's relatives by their own
// profiles.ini (a profile at an absolute path, one named only by installs.ini), the Chromium
// family by Local State, Opera by its one folder; a browser not installed is not found.
TEST_F(TodaysBrowsersTest, EveryBrowserIsFoundWhereItKeepsItsProfiles) {
    browser_seed::Sizes small;
    small.places = small.visits = small.cookies = small.cacheFiles = 4;
    small.bookmarks = 1;
    small.sites = 2;
    const std::string elsewhere = documents + "/Zen elsewhere";
    browser_seed::firefoxProfile(elsewhere, elsewhere, small);
    for (const char* base : {"librewolf", "Waterfox", "Floorp", "zen"})
        browser_seed::firefoxProfile(roaming + "/" + base + "/Profiles/p1.default",
                                     local + "/" + base + "/Profiles/p1.default", small);
    browser_seed::firefoxProfilesIni(roaming + "/librewolf", {"p1.default"});
    browser_seed::firefoxProfilesIni(roaming + "/Waterfox", {"p1.default"});
    browser_seed::firefoxProfilesIni(roaming + "/zen", {"p1.default"},
                                     {"C:\\Users\\User\\Documents\\.\\Zen elsewhere\\"});
    // Floorp's list names no profile of its own; its installation's default is one.
    writeHostFile(roaming + "/Floorp/profiles.ini", "[General]\r\nVersion=2\r\n");
    writeHostFile(roaming + "/Floorp/installs.ini",
                  "[6F193CCC56814779]\r\nDefault=Profiles/p1.default\r\nLocked=1\r\n");
    for (const char* data :
         {"/BraveSoftware/Brave-Browser/User Data", "/Vivaldi/User Data", "/Chromium/User Data"}) {
        browser_seed::chromeProfile(local + data + "/Default", small);
        browser_seed::chromeProfile(local + data + "/Profile 2", small);
        browser_seed::chromeLocalState(local + data, {"Default", "Profile 2"});
    }
    browser_seed::chromeProfile(roaming + "/Opera Software/Opera Stable", small,
                                local + "/Opera Software/Opera Stable");

    const std::string win = "C:\\Users\\User\\AppData\\";
    std::vector<std::string> found;
    const BrowserSession session(CleaningMode::Preview);
    for (const BrowserSession::Found& f : session.Browsers()) {
        EXPECT_FALSE(f.running);
        std::string line = BrowserName(f.install.browser);
        for (const BrowserProfile& p : f.install.profiles)
            line += " | " + p.name + " " + p.folder + " " + p.cache;
        found.push_back(line);
    }
    const std::string chromium = win + "Local\\";
    EXPECT_EQ(
        (std::vector<std::string>{
            "Brave | Default " + chromium + "BraveSoftware\\Brave-Browser\\User Data\\Default\\ " +
                chromium + "BraveSoftware\\Brave-Browser\\User Data\\Default\\ | Profile 2 " +
                chromium + "BraveSoftware\\Brave-Browser\\User Data\\Profile 2\\ " + chromium +
                "BraveSoftware\\Brave-Browser\\User Data\\Profile 2\\",
            "Vivaldi | Default " + chromium + "Vivaldi\\User Data\\Default\\ " + chromium +
                "Vivaldi\\User Data\\Default\\ | Profile 2 " + chromium +
                "Vivaldi\\User Data\\Profile 2\\ " + chromium + "Vivaldi\\User Data\\Profile 2\\",
            "Opera | Opera Stable " + win + "Roaming\\Opera Software\\Opera Stable\\ " + win +
                "Local\\Opera Software\\Opera Stable\\",
            "Chromium | Default " + chromium + "Chromium\\User Data\\Default\\ " + chromium +
                "Chromium\\User Data\\Default\\ | Profile 2 " + chromium +
                "Chromium\\User Data\\Profile 2\\ " + chromium + "Chromium\\User Data\\Profile 2\\",
            "LibreWolf | p1.default " + win + "Roaming\\librewolf\\Profiles\\p1.default\\ " + win +
                "Local\\librewolf\\Profiles\\p1.default\\cache2\\",
            "Waterfox | p1.default " + win + "Roaming\\Waterfox\\Profiles\\p1.default\\ " + win +
                "Local\\Waterfox\\Profiles\\p1.default\\cache2\\",
            "Floorp | p1.default " + win + "Roaming\\Floorp\\Profiles\\p1.default\\ " + win +
                "Local\\Floorp\\Profiles\\p1.default\\cache2\\",
            "Zen | p1.default " + win + "Roaming\\zen\\Profiles\\p1.default\\ " + win +
                "Local\\zen\\Profiles\\p1.default\\cache2\\ | elsewhere1 C:\\Users\\User\\"
                "Documents\\Zen elsewhere\\ C:\\Users\\User\\Documents\\Zen elsewhere\\cache2\\"}),
        found);

    // An absolute path to a folder that holds no profile names nothing; the lookup says so.
    writeHostFile(roaming + "/zen/profiles.ini",
                  "[Profile0]\r\nName=x\r\nIsRelative=0\r\nPath=C:\\Users\\User\\Documents\r\n");
    fs::remove(roaming + "/zen/installs.ini");
    const BrowserInstall zen = FindBrowser(Browser::Zen);
    EXPECT_TRUE(zen.profiles.empty());
    ASSERT_EQ(1u, zen.notes.size());
    EXPECT_NE(std::string::npos, zen.notes[0].find(BrowserText(kTextOutside)));
}

// A Chromium-family browser in both of its layouts (Brave's two profiles in its User Data
// folder, Opera's one profile with its cache kept apart): after the three cleanings no file
// of them names a site that is neither kept nor bookmarked; the bookmarked pages keep their
// icons, the kept sites their cookies, an extension its cache; passwords, bookmarks, settings
// and the extensions' storage are as they were.
TEST_F(TodaysBrowsersTest, AChromiumProfileKeepsNoTraceOfASiteNeitherKeptNorBookmarked) {
    const std::string brave = local + "/BraveSoftware/Brave-Browser/User Data";
    seedChromium(brave, {"Default", "Profile 1"});
    const std::string opera = roaming + "/Opera Software/Opera Stable";
    const std::string operaCache = local + "/Opera Software/Opera Stable";
    browser_seed::chromeProfile(opera, sizes, operaCache);
    const std::vector<std::string> profiles = {brave + "/Default", brave + "/Profile 1", opera};
    const auto untouched = [&] {
        return only(snapshot(local + "/BraveSoftware"),
                    {"/Login Data", "/Bookmarks", "/Preferences", "/Local State",
                     "/Extension State/", "/Local Extension Settings/",
                     "/7c0e5ad2b1f44a3f8e5a6b7c8d9e0f1a2b3c4d5e/"});
    };
    const auto untouchedBefore = untouched();
    const auto operaBefore = only(snapshot(opera), {"/Login Data", "/Bookmarks", "/Preferences",
                                                    "/Extension State/", "/Local Extension"});
    // Each profile's password, bookmarks, settings, four files of an extension's storage and
    // three of its cache; Brave's Local State.
    ASSERT_EQ(2u * 10 + 1, untouchedBefore.size());
    for (const std::string& p : profiles)
        ASSERT_FALSE(holding(p, kGone).empty());

    const std::vector<CleaningResult> brave3 = cleanEveryPart(Browser::Brave, local);
    const std::vector<CleaningResult> opera3 = cleanEveryPart(Browser::Opera, roaming);
    // Cache: 12 + 6 + 2 files and an index in each of four folders; the website's cache.
    EXPECT_EQ(2u * (24 + 3), brave3[0].removed);
    EXPECT_EQ(24u + 3, opera3[0].removed);
    EXPECT_EQ(2u * 54, brave3[1].removed);
    EXPECT_EQ(2u * 6, brave3[1].kept);
    // History: 350 rows of History, the icons of 54 pages and 14 sites, 10 top sites, 10
    // shortcuts, 20 predictions, 8 form entries, 3 session files.
    EXPECT_EQ(2u * (350 + 54 + 14 + 10 + 10 + 20 + 8 + 3), brave3[2].removed);
    EXPECT_EQ(350u + 54 + 14 + 10 + 10 + 20 + 8 + 3, opera3[2].removed);

    for (const std::string& p : profiles) {
        SCOPED_TRACE(p);
        EXPECT_EQ(std::vector<std::string>{}, holding(p, kGone));
        EXPECT_EQ("ok", sqlite3Says(p + "/Favicons", "PRAGMA integrity_check"));
        EXPECT_EQ("https://site0.example/page/0|https://site0.example/favicon.ico|1",
                  sqlite3Says(p + "/Favicons",
                              "SELECT page_url, url, (SELECT count(*) FROM favicon_bitmaps b "
                              "WHERE b.icon_id = f.id) FROM icon_mapping m JOIN favicons f ON "
                              "f.id = m.icon_id ORDER BY m.id LIMIT 1"));
        EXPECT_EQ("6|6|6", sqlite3Says(p + "/Favicons",
                                       "SELECT (SELECT count(*) FROM icon_mapping), (SELECT "
                                       "count(*) FROM favicons), (SELECT count(*) FROM "
                                       "favicon_bitmaps)"));
        EXPECT_EQ("0", count(p + "/Top Sites", "top_sites"));
        EXPECT_EQ("0", count(p + "/Shortcuts", "omni_box_shortcuts"));
        EXPECT_EQ("0|0|1", sqlite3Says(p + "/Network Action Predictor",
                                       "SELECT (SELECT count(*) FROM network_action_predictor), "
                                       "(SELECT count(*) FROM resource_prefetch_predictor_origin),"
                                       " (SELECT count(*) FROM "
                                       "resource_prefetch_predictor_metadata)"));
        // The form entries go; the search engines stay.
        EXPECT_EQ("0|1", sqlite3Says(p + "/Web Data", "SELECT (SELECT count(*) FROM autofill), "
                                                      "(SELECT count(*) FROM keywords)"));
        EXPECT_EQ("6", count(p + "/Network/Cookies", "cookies"));
        for (const char* sessions : {"/Sessions", "/Sessions_Encrypted"}) {
            EXPECT_TRUE(fs::is_directory(p + sessions));
            EXPECT_TRUE(snapshot(p + sessions).empty());
        }
        const std::string caches = p + "/Service Worker/CacheStorage/";
        EXPECT_FALSE(fs::exists(caches + "2f1a6c8c91e7a3b44f6bdbc8a2a8e6fa5d1e9d10"));
        EXPECT_EQ(3u, snapshot(caches + "7c0e5ad2b1f44a3f8e5a6b7c8d9e0f1a2b3c4d5e").size());
    }
    EXPECT_TRUE(snapshot(operaCache + "/Cache/Cache_Data").empty());
    EXPECT_TRUE(fs::is_directory(operaCache + "/Cache/Cache_Data"));
    EXPECT_EQ(std::vector<std::string>{}, changed(untouchedBefore, untouched()));
    EXPECT_EQ(
        std::vector<std::string>{},
        changed(operaBefore, only(snapshot(opera), {"/Login Data", "/Bookmarks", "/Preferences",
                                                    "/Extension State/", "/Local Extension"})));

    // A second cleaning finds nothing more.
    BrowserSession again(CleaningMode::Preview);
    for (BrowserPart part : {BrowserPart::Cache, BrowserPart::Cookies, BrowserPart::History})
        EXPECT_EQ(0u, again.CleanAll(part, keptSite).removed);
}

// The Firefox family (LibreWolf with a profile in its folder and one at a path of its own,
// its cache inside it): no visits, form entries or tabs, the icons of the bookmarked pages
// and their sites' favicon.ico kept, no file naming a site neither kept nor bookmarked;
// passwords, keys, settings, permissions and an extension's storage as they were.
TEST_F(TodaysBrowsersTest, AFirefoxProfileKeepsNoTraceOfASiteNeitherKeptNorBookmarked) {
    const std::string librewolf = roaming + "/librewolf";
    const std::string relative = librewolf + "/Profiles/q8.default-default";
    const std::string absolute = documents + "/LibreWolf profile";
    browser_seed::firefoxProfile(relative, local + "/librewolf/Profiles/q8.default-default", sizes);
    browser_seed::firefoxProfile(absolute, absolute, sizes);
    browser_seed::firefoxProfilesIni(librewolf, {"q8.default-default"},
                                     {"C:\\Users\\User\\Documents\\LibreWolf profile"});
    const auto untouched = [&] {
        auto files = only(snapshot(roaming + "/librewolf"),
                          {"/logins.json", "/key4.db", "/prefs.js", "/permissions.sqlite",
                           "/extensions.json", "/moz-extension+++", ".ini"});
        for (const auto& file : only(snapshot(absolute),
                                     {"/logins.json", "/key4.db", "/prefs.js",
                                      "/permissions.sqlite", "/extensions.json", "/moz-extension"}))
            files.insert(file);
        return files;
    };
    const auto untouchedBefore = untouched();
    ASSERT_EQ(2u + 2u * 7, untouchedBefore.size());

    const std::vector<CleaningResult> done = cleanEveryPart(Browser::LibreWolf, roaming);
    EXPECT_EQ(2u * 21, done[0].removed);
    EXPECT_EQ(2u * 54, done[1].removed);
    EXPECT_EQ(2u * 6, done[1].kept);
    // Visits, input history, unbookmarked places, form entries, the icons of 54 pages and 28
    // icons, four files of the session store.
    EXPECT_EQ(2u * (200 + 50 + 54 + 8 + 54 + 28 + 4), done[2].removed);

    for (const std::string& p : {relative, absolute}) {
        SCOPED_TRACE(p);
        EXPECT_EQ(std::vector<std::string>{}, holding(p, kGone));
        EXPECT_EQ(std::vector<std::string>{},
                  holding(local + "/librewolf/Profiles/q8.default-default", kGone));
        const std::string icons = p + "/favicons.sqlite";
        EXPECT_EQ("ok", sqlite3Says(icons, "PRAGMA integrity_check"));
        // The bookmarked pages' icons, and their sites' favicon.ico.
        EXPECT_EQ("6|12|6", sqlite3Says(icons, "SELECT (SELECT count(*) FROM moz_pages_w_icons), "
                                               "(SELECT count(*) FROM moz_icons), (SELECT "
                                               "count(*) FROM moz_icons_to_pages)"));
        EXPECT_EQ("6", count(icons, "moz_icons", "root = 1 AND icon_url LIKE '%/favicon.ico'"));
        EXPECT_EQ("6", count(p + "/places.sqlite", "moz_places"));
        EXPECT_EQ("0", count(p + "/formhistory.sqlite", "moz_formhistory"));
        EXPECT_FALSE(fs::exists(p + "/sessionstore.jsonlz4"));
        EXPECT_TRUE(fs::is_directory(p + "/sessionstore-backups"));
        EXPECT_TRUE(snapshot(p + "/sessionstore-backups").empty());
        for (const char* wal : {"/places.sqlite-wal", "/favicons.sqlite-wal"})
            EXPECT_FALSE(fs::exists(p + wal) && fs::file_size(p + wal) > 0);
    }
    EXPECT_TRUE(snapshot(absolute + "/cache2/entries").empty());
    EXPECT_EQ(std::vector<std::string>{}, changed(untouchedBefore, untouched()));
}

// A browser whose lock a program holds is running: nothing of it is touched, whatever the part,
// and it says so; a browser not running cannot start while a session lasts, since the session
// holds its lock; once the session ends, it can.
TEST_F(TodaysBrowsersTest, ARunningBrowserIsLeftAloneAndNoneStartsWhileASessionLasts) {
    const std::string vivaldi = local + "/Vivaldi/User Data";
    seedChromium(vivaldi, {"Default"});
    seedChromium(chrome, {"Default"});
    const std::string lock = "C:\\Users\\User\\AppData\\Local\\Vivaldi\\User Data\\lockfile";
    const auto vivaldiBefore = snapshot(vivaldi);
    {
        RunningBrowser running(platform.root(), lock);
        ASSERT_TRUE(running.holding());
        BrowserSession session(CleaningMode::Remove);
        EXPECT_TRUE(session.Running(Browser::Vivaldi));
        EXPECT_FALSE(session.Running(Browser::Chrome));
        const CleaningResult all = session.CleanAll(BrowserPart::History);
        EXPECT_EQ(std::vector<std::string>{"Vivaldi is running: close it to clean it"}, all.notes);
        // Only the browsers cleaned have a share of the result.
        ASSERT_EQ(1u, all.shares.size());
        EXPECT_EQ("Chrome", all.shares[0].name);
        EXPECT_EQ(all.removed, all.shares[0].removed);
        for (BrowserPart part : {BrowserPart::Cache, BrowserPart::Cookies})
            EXPECT_TRUE(mentions(session.Clean(Browser::Vivaldi, part), "Vivaldi is running"));
    }
    EXPECT_EQ(std::vector<std::string>{}, changed(vivaldiBefore, snapshot(vivaldi)));
    EXPECT_EQ("0", count(chrome + "/Default/History", "visits"));

    {
        BrowserSession session(CleaningMode::Preview);
        RunningBrowser starting(platform.root(), lock);
        EXPECT_FALSE(starting.holding());
    }
    RunningBrowser starting(platform.root(), lock);
    EXPECT_TRUE(starting.holding());
}

// Databases of layouts the cleaning knows only in part: what is known is cleaned and the rest
// left, with a note naming the database; one without any of the tables known is left whole;
// either way the rest of the profile and the other browsers are cleaned.
TEST_F(TodaysBrowsersTest, ADatabaseOfAnotherLayoutHasWhatIsKnownCleaned) {
    sizes.traces = true;
    seedChromium(chrome, {"Default"});
    seedFirefox({"a1.default-release"});
    const std::string p = chrome + "/Default/";
    const std::string places = firefoxProfiles + "a1.default-release/places.sqlite";
    // A newer History keeps its segments elsewhere.
    ASSERT_EQ("", sqlite3Says(p + "History", "DROP TABLE segments"));
    // Icons whose pages are no longer in icon_mapping: nothing tells which to keep.
    ASSERT_EQ("", sqlite3Says(p + "Favicons", "ALTER TABLE icon_mapping RENAME COLUMN page_url "
                                              "TO page"));
    // Top Sites of a layout without any table known.
    ASSERT_EQ("", sqlite3Says(p + "Top Sites", "ALTER TABLE top_sites RENAME TO most_visited"));
    // Firefox's places without its table of visits, and its icons without root marks.
    ASSERT_EQ("", sqlite3Says(places, "DROP TABLE moz_historyvisits"));
    const std::string icons = firefoxProfiles + "a1.default-release/favicons.sqlite";
    ASSERT_EQ("", sqlite3Says(icons, "ALTER TABLE moz_icons DROP COLUMN root"));
    const std::string topSites = readHostFile(p + "Top Sites");
    const std::string favicons = readHostFile(p + "Favicons");

    BrowserSession session(CleaningMode::Remove);
    const CleaningResult chromeHistory = session.Clean(Browser::Chrome, BrowserPart::History);
    const CleaningResult firefoxHistory = session.Clean(Browser::Firefox, BrowserPart::History);
    const std::string win = "C:\\Users\\User\\AppData\\";
    const std::string chromeDefault = win + "Local\\Google\\Chrome\\User Data\\Default\\";
    const std::string firefoxProfile =
        win + "Roaming\\Mozilla\\Firefox\\Profiles\\a1.default-release\\";
    EXPECT_EQ(
        (std::vector<std::string>{FileNote(chromeDefault + "Favicons", BrowserText(kTextSchema)),
                                  FileNote(chromeDefault + "Top Sites", BrowserText(kTextSchema)),
                                  PartlyCleanedNote(chromeDefault + "History")}),
        chromeHistory.notes);
    EXPECT_EQ((std::vector<std::string>{PartlyCleanedNote(firefoxProfile + "places.sqlite"),
                                        PartlyCleanedNote(firefoxProfile + "favicons.sqlite")}),
              firefoxHistory.notes);
    // What is known is gone; what is not stays.
    EXPECT_EQ("0|0|0|0", sqlite3Says(p + "History", "SELECT (SELECT count(*) FROM visits), "
                                                    "(SELECT count(*) FROM urls), (SELECT "
                                                    "count(*) FROM segment_usage), (SELECT "
                                                    "count(*) FROM keyword_search_terms)"));
    EXPECT_TRUE(favicons == readHostFile(p + "Favicons"));
    EXPECT_TRUE(topSites == readHostFile(p + "Top Sites"));
    EXPECT_EQ("0", count(p + "Shortcuts", "omni_box_shortcuts"));
    EXPECT_EQ("6", count(places, "moz_places"));
    EXPECT_EQ("0",
              count(firefoxProfiles + "a1.default-release/formhistory.sqlite", "moz_formhistory"));
    // The pages no longer kept went with their icons' links; the icons themselves, which
    // cannot be told apart without their root marks, stay, every one.
    EXPECT_EQ("6|6|40", sqlite3Says(icons, "SELECT (SELECT count(*) FROM moz_pages_w_icons), "
                                           "(SELECT count(*) FROM moz_icons_to_pages), (SELECT "
                                           "count(*) FROM moz_icons)"));
    // The rest of each profile all the same.
    EXPECT_TRUE(session.Clean(Browser::Chrome, BrowserPart::Cookies, keptSite).notes.empty());
    EXPECT_EQ("0", count(p + "Web Data", "autofill"));
    EXPECT_FALSE(fs::exists(firefoxProfiles + "a1.default-release/sessionstore.jsonlz4"));
}

// Every browser the program knows, each where it keeps its profiles, cleaned whole as the
// unattended run cleans them (one session, every part): each has its share, none a note,
// and in none of them does a password, a bookmark, a setting, a permission or an extension's
// file change by a byte.
TEST_F(TodaysBrowsersTest, NoBrowsersPasswordsBookmarksSettingsOrExtensionsChange) {
    sizes.places = sizes.visits = sizes.cookies = sizes.cacheFiles = 12;
    sizes.bookmarks = 2;
    sizes.sites = 4;
    for (const char* base : {"Mozilla/Firefox", "librewolf", "Waterfox", "Floorp", "zen"}) {
        browser_seed::firefoxProfile(roaming + "/" + base + "/Profiles/p.default",
                                     local + "/" + base + "/Profiles/p.default", sizes);
        browser_seed::firefoxProfilesIni(roaming + "/" + base, {"p.default"});
    }
    for (const char* data :
         {"/Google/Chrome/User Data", "/Microsoft/Edge/User Data",
          "/BraveSoftware/Brave-Browser/User Data", "/Vivaldi/User Data", "/Chromium/User Data"})
        seedChromium(local + data, {"Default"});
    browser_seed::chromeProfile(roaming + "/Opera Software/Opera Stable", sizes,
                                local + "/Opera Software/Opera Stable");
    const auto untouched = [&] {
        return only(snapshot(platform.hostPath("C:\\Users\\User\\AppData")),
                    {"/Login Data", "/Bookmarks", "/Preferences", "/Local State",
                     "/Extension State/", "/Local Extension Settings/",
                     "/7c0e5ad2b1f44a3f8e5a6b7c8d9e0f1a2b3c4d5e/", "/logins.json", "/key4.db",
                     "/prefs.js", "/permissions.sqlite", "/extensions.json", "/moz-extension+++",
                     "profiles.ini", "installs.ini"});
    };
    const auto before = untouched();
    // Six Chromium profiles of 11 such files and five Local States; five Firefox profiles of
    // 7 and their two lists.
    ASSERT_EQ(6u * 10 + 5 + 5u * (7 + 2), before.size());

    BrowserSession session(CleaningMode::Remove);
    ASSERT_EQ(std::size(kBrowsers), session.Browsers().size());
    for (BrowserPart part : {BrowserPart::Cookies, BrowserPart::Cache, BrowserPart::History}) {
        const CleaningResult all = session.CleanAll(part, keptSite);
        EXPECT_EQ(std::vector<std::string>{}, all.notes);
        ASSERT_EQ(std::size(kBrowsers), all.shares.size());
        for (std::size_t i = 0; i < all.shares.size(); ++i) {
            EXPECT_EQ(BrowserName(kBrowsers[i]), all.shares[i].name);
            EXPECT_GT(all.shares[i].removed, 0u) << all.shares[i].name;
        }
    }
    EXPECT_EQ(std::vector<std::string>{}, changed(before, untouched()));
}

// When the bookmarks cannot be read (a Bookmarks file that is no list of bookmarks, nesting
// deeper than any folders do; a places database that is damaged), nothing tells which icons
// must stay: the icons are left as they are, with a note, and the rest is cleaned.
TEST_F(TodaysBrowsersTest, IconsStayWhenTheBookmarksCannotBeRead) {
    seedChromium(chrome, {"Default"});
    seedFirefox({"a1.default-release"});
    const std::string p = chrome + "/Default/";
    const std::string f = firefoxProfiles + "a1.default-release/";
    writeHostFile(p + "Bookmarks", "{\"roots\": {\"bookmark_bar\": " + std::string(300, '[') +
                                       std::string(300, ']') + "}}");
    writeHostFile(f + "places.sqlite", "no database");
    const std::string chromeIcons = readHostFile(p + "Favicons");
    const std::string firefoxIcons = readHostFile(f + "favicons.sqlite");

    BrowserSession session(CleaningMode::Remove);
    const CleaningResult chromeHistory = session.Clean(Browser::Chrome, BrowserPart::History);
    const CleaningResult firefoxHistory = session.Clean(Browser::Firefox, BrowserPart::History);
    const std::string unread = BrowserText(kTextBookmarksUnread);
    EXPECT_EQ((std::vector<std::string>{FileNote(
                  "C:\\Users\\User\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Favicons",
                  unread)}),
              chromeHistory.notes);
    EXPECT_TRUE(mentions(firefoxHistory, "a1.default-release\\favicons.sqlite was left as it "
                                         "is: " +
                                             unread));
    EXPECT_TRUE(chromeIcons == readHostFile(p + "Favicons"));
    EXPECT_TRUE(firefoxIcons == readHostFile(f + "favicons.sqlite"));
    EXPECT_EQ("0", count(p + "History", "visits"));
    EXPECT_EQ("0", count(f + "formhistory.sqlite", "moz_formhistory"));
}
