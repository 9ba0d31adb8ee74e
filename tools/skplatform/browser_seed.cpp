#include "browser_seed.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace browser_seed {

namespace {

class Db {
  public:
    explicit Db(const std::string& path) {
        fs::create_directories(fs::path(path).parent_path());
        fs::remove(path);
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK)
            throw std::runtime_error("cannot create " + path);
        // A profile being written is no one's yet: nothing is lost if the machine stops, and
        // waiting for the disk after every row would make the demo machine slow to seed.
        exec("PRAGMA synchronous=OFF");
    }
    ~Db() { sqlite3_close(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    void exec(const std::string& sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error(message + " in: " + sql.substr(0, 80));
        }
    }
    // Runs a statement once per row, binding what `bind` sets.
    template <typename Bind> void rows(const std::string& sql, int count, Bind bind) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) +
                                     " in: " + sql.substr(0, 80));
        for (int i = 0; i < count; ++i) {
            bind(st, i);
            if (sqlite3_step(st) != SQLITE_DONE) {
                const std::string message = sqlite3_errmsg(db_);
                sqlite3_finalize(st);
                throw std::runtime_error(message);
            }
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }

  private:
    sqlite3* db_ = nullptr;
};

void text(sqlite3_stmt* st, int index, const std::string& value) {
    sqlite3_bind_text(st, index, value.c_str(), -1, SQLITE_TRANSIENT);
}

void write(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

// Bytes that look like a cache entry: a header naming the address, then filler.
std::string entry(int i) {
    std::string body = "KEY:https://" + siteName(i % 37) + "/asset/" + std::to_string(i) + "\n";
    body.resize(512 + (i * 97) % 3000, static_cast<char>('a' + i % 26));
    return body;
}

std::string hexName(int i) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%08X%08X%08X%08X%08X", i * 2654435761u, i * 40503u + 7,
                  i ^ 0x5bd1e995, i * 31u, i + 1);
    return buffer;
}

// Firefox keeps microseconds since 1970, Chrome since 1601.
constexpr std::int64_t kNow1970 = 1735689600LL * 1000000; // 2025-01-01
constexpr std::int64_t kFrom1601 = 11644473600LL * 1000000;

// What a page's icon looks like in a database: a few bytes of a picture.
std::string iconBytes(int site) {
    return std::string("\x89PNG\r\n\x1a\n", 8) + "icon of " + siteName(site) + std::string(40, 'i');
}

// The pages' icons (a page icon per site for its pages, and each site's root favicon.ico),
// the session store, the site permissions and an extension's own storage.
void firefoxTraces(const std::string& profileHost, const Sizes& s) {
    const int sites = s.sites > 0 ? s.sites : 1;
    {
        Db db(profileHost + "/favicons.sqlite");
        if (s.wal) db.exec("PRAGMA journal_mode=WAL");
        db.exec(R"(
CREATE TABLE moz_icons ( id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, fixed_icon_url_hash INTEGER NOT NULL, width INTEGER NOT NULL DEFAULT 0, root INTEGER NOT NULL DEFAULT 0, color INTEGER, expire_ms INTEGER NOT NULL DEFAULT 0, flags INTEGER NOT NULL DEFAULT 0, data BLOB );
CREATE INDEX moz_icons_iconurlhashindex ON moz_icons (fixed_icon_url_hash);
CREATE TABLE moz_pages_w_icons ( id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, page_url_hash INTEGER NOT NULL );
CREATE INDEX moz_pages_w_icons_urlhashindex ON moz_pages_w_icons (page_url_hash);
CREATE TABLE moz_icons_to_pages ( page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id), FOREIGN KEY (page_id) REFERENCES moz_pages_w_icons ON DELETE CASCADE, FOREIGN KEY (icon_id) REFERENCES moz_icons ON DELETE CASCADE ) WITHOUT ROWID ;
PRAGMA user_version = 1;
BEGIN;
)");
        // Icon 2n+1 is site n's favicon.ico, 2n+2 the icon its pages name.
        db.rows("INSERT INTO moz_icons (id, icon_url, fixed_icon_url_hash, width, root, data) "
                "VALUES (?1, ?2, ?1 * 31, 16, ?3, ?4)",
                2 * sites, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    const bool root = i % 2 == 0;
                    text(st, 2,
                         "https://" + siteName(i / 2) + (root ? "/favicon.ico" : "/icon.png"));
                    sqlite3_bind_int(st, 3, root ? 1 : 0);
                    const std::string bytes = iconBytes(i / 2);
                    sqlite3_bind_blob(st, 4, bytes.data(), static_cast<int>(bytes.size()),
                                      SQLITE_TRANSIENT);
                });
        db.rows("INSERT INTO moz_pages_w_icons (id, page_url, page_url_hash) VALUES (?1, ?2, ?1)",
                s.places, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "https://" + siteName(i % sites) + "/page/" + std::to_string(i));
                });
        db.rows("INSERT INTO moz_icons_to_pages (page_id, icon_id) VALUES (?1, ?2)", s.places,
                [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    sqlite3_bind_int(st, 2, 2 * (i % sites) + 2);
                });
        db.exec("COMMIT");
    }
    // The session store is LZ4 behind a header; the addresses show through in its literals.
    const auto store = [&](const std::string& path) {
        std::string body = std::string("mozLz40\0", 8) + std::string("\x40\x1f\0\0", 4);
        for (int i = 0; i < 5; ++i)
            body += "{\"url\":\"https://" + siteName(i) + "/page/" + std::to_string(i) + "\"}";
        write(path, body);
    };
    store(profileHost + "/sessionstore.jsonlz4");
    for (const char* backup : {"recovery.jsonlz4", "recovery.baklz4", "previous.jsonlz4"})
        store(profileHost + "/sessionstore-backups/" + backup);
    {
        Db db(profileHost + "/permissions.sqlite");
        db.exec("CREATE TABLE moz_perms (id INTEGER PRIMARY KEY, origin TEXT, type TEXT, "
                "permission INTEGER, expireType INTEGER, expireTime INTEGER, modificationTime "
                "INTEGER); INSERT INTO moz_perms VALUES (1, 'https://site3.example', 'geo', 1, 0, "
                "0, 1735689600000), (2, 'https://site5.example', 'desktop-notification', 2, 0, 0, "
                "1735689600000); PRAGMA user_version = 12;");
    }
    const std::string extension =
        profileHost + "/storage/default/moz-extension+++0d4c6b3a-1111-2222-3333-444455556666";
    write(extension + "/idb/3647222921wleabcEoxlt-eengsairo.sqlite",
          std::string("SQLite format 3\0", 16) + std::string(2032, '\x05'));
    write(extension + "/.metadata-v2", std::string(64, '\x06'));
    write(profileHost + "/extensions.json",
          R"({"schemaVersion":36,"addons":[{"id":"vault@example.org","active":true}]})");
}

// The icons, the most visited pages, what was typed in the address bar, the form entries, the
// tabs, websites' and an extension's caches, and the extensions' own storage.
void chromiumTraces(const std::string& profileHost, const Sizes& s) {
    const int sites = s.sites > 0 ? s.sites : 1;
    const std::string meta =
        "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);";
    {
        Db db(profileHost + "/Favicons");
        db.exec(meta + R"(
CREATE TABLE icon_mapping(id INTEGER PRIMARY KEY,page_url LONGVARCHAR NOT NULL,icon_id INTEGER,page_url_type INTEGER DEFAULT 0);
CREATE TABLE favicons(id INTEGER PRIMARY KEY,url LONGVARCHAR NOT NULL,icon_type INTEGER DEFAULT 1);
CREATE TABLE favicon_bitmaps(id INTEGER PRIMARY KEY,icon_id INTEGER NOT NULL,last_updated INTEGER DEFAULT 0,image_data BLOB,width INTEGER DEFAULT 0,height INTEGER DEFAULT 0,last_requested INTEGER DEFAULT 0);
CREATE INDEX icon_mapping_page_url_idx ON icon_mapping(page_url);
CREATE INDEX icon_mapping_icon_id_idx ON icon_mapping(icon_id);
CREATE INDEX favicons_url ON favicons(url);
CREATE INDEX favicon_bitmaps_icon_id ON favicon_bitmaps(icon_id);
INSERT INTO meta VALUES ('version', '8'), ('last_compatible_version', '8');
BEGIN;
)");
        db.rows("INSERT INTO favicons (id, url) VALUES (?1, ?2)", sites,
                [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "https://" + siteName(i) + "/favicon.ico");
                });
        db.rows("INSERT INTO favicon_bitmaps (icon_id, image_data, width, height) "
                "VALUES (?1, ?2, 16, 16)",
                sites, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    const std::string bytes = iconBytes(i);
                    sqlite3_bind_blob(st, 2, bytes.data(), static_cast<int>(bytes.size()),
                                      SQLITE_TRANSIENT);
                });
        db.rows("INSERT INTO icon_mapping (page_url, icon_id) VALUES (?1, ?2)", s.places,
                [&](sqlite3_stmt* st, int i) {
                    text(st, 1, "https://" + siteName(i % sites) + "/page/" + std::to_string(i));
                    sqlite3_bind_int(st, 2, i % sites + 1);
                });
        db.exec("COMMIT");
    }
    const int top = sites < 10 ? sites : 10;
    {
        Db db(profileHost + "/Top Sites");
        db.exec(meta + "CREATE TABLE top_sites(url TEXT NOT NULL PRIMARY KEY,url_rank INTEGER NOT "
                       "NULL,title TEXT NOT NULL); INSERT INTO meta VALUES ('version', '5');");
        db.rows("INSERT INTO top_sites VALUES (?1, ?2, ?3)", top, [&](sqlite3_stmt* st, int i) {
            text(st, 1, "https://" + siteName(i) + "/");
            sqlite3_bind_int(st, 2, i);
            text(st, 3, "Top " + siteName(i));
        });
    }
    {
        Db db(profileHost + "/Shortcuts");
        db.exec(meta + "CREATE TABLE omni_box_shortcuts(id VARCHAR PRIMARY KEY,text VARCHAR,"
                       "fill_into_edit VARCHAR,url VARCHAR,document_type INTEGER,contents VARCHAR,"
                       "contents_class VARCHAR,description VARCHAR,description_class VARCHAR,"
                       "transition INTEGER,type INTEGER,keyword VARCHAR,last_access_time INTEGER,"
                       "number_of_hits INTEGER); INSERT INTO meta VALUES ('version', '2');");
        db.rows("INSERT INTO omni_box_shortcuts VALUES (?1, ?2, ?3, ?3, 0, ?3, '0,0', ?2, '0,0', "
                "1, 0, '', ?4, 2)",
                top, [&](sqlite3_stmt* st, int i) {
                    text(st, 1, hexName(i).substr(0, 36));
                    text(st, 2, "site" + std::to_string(i));
                    text(st, 3, "https://" + siteName(i) + "/");
                    sqlite3_bind_int64(st, 4, kNow1970 + kFrom1601);
                });
    }
    {
        Db db(profileHost + "/Network Action Predictor");
        db.exec(
            "CREATE TABLE network_action_predictor(id TEXT PRIMARY KEY, user_text TEXT, url "
            "TEXT, number_of_hits INTEGER, number_of_misses INTEGER);"
            "CREATE TABLE resource_prefetch_predictor_metadata ( key TEXT, value INTEGER, "
            "PRIMARY KEY (key));"
            "CREATE TABLE resource_prefetch_predictor_origin ( key TEXT, proto BLOB, PRIMARY "
            "KEY(key)); INSERT INTO resource_prefetch_predictor_metadata VALUES ('version', 2);");
        db.rows("INSERT INTO network_action_predictor VALUES (?1, ?2, ?3, 3, 0)", top,
                [&](sqlite3_stmt* st, int i) {
                    text(st, 1, hexName(i + 100).substr(0, 36));
                    text(st, 2, "sit");
                    text(st, 3, "https://" + siteName(i) + "/");
                });
        db.rows("INSERT INTO resource_prefetch_predictor_origin VALUES (?1, x'0a00')", top,
                [&](sqlite3_stmt* st, int i) { text(st, 1, siteName(i)); });
    }
    {
        Db db(profileHost + "/Web Data");
        db.exec(meta +
                "CREATE TABLE autofill (name VARCHAR, value VARCHAR, value_lower VARCHAR, "
                "date_created INTEGER DEFAULT 0, date_last_used INTEGER DEFAULT 0, count "
                "INTEGER DEFAULT 1, PRIMARY KEY (name, value));"
                "CREATE TABLE keywords (id INTEGER PRIMARY KEY,short_name VARCHAR NOT NULL,"
                "keyword VARCHAR NOT NULL,favicon_url VARCHAR NOT NULL,url VARCHAR NOT "
                "NULL); INSERT INTO keywords VALUES (2, 'Search', 'search.example', "
                "'https://search.example/favicon.ico', 'https://search.example/?q={searchTerms}');"
                "INSERT INTO meta VALUES ('version', '158');");
        db.rows("INSERT INTO autofill VALUES ('q', ?1, ?1, ?2, ?2, 1)", s.formEntries,
                [&](sqlite3_stmt* st, int i) {
                    text(st, 1, "search words " + std::to_string(i));
                    sqlite3_bind_int64(st, 2, 1735689600 + i);
                });
    }
    const auto session = [&](const std::string& path) {
        std::string body = "SNSS\x03\0\0\0";
        for (int i = 0; i < 5; ++i)
            body += "https://" + siteName(i) + "/page/" + std::to_string(i) + std::string(8, '\0');
        write(path, body);
    };
    session(profileHost + "/Sessions/Session_13380000000000000");
    session(profileHost + "/Sessions/Tabs_13380000000000000");
    session(profileHost + "/Sessions_Encrypted/Session_13380000000000001");
    // A website's cache and an extension's, each folder naming its origin in its index.
    const auto cacheStorage = [&](const std::string& hash, const std::string& origin) {
        const std::string folder = profileHost + "/Service Worker/CacheStorage/" + hash;
        write(folder + "/index.txt", std::string("\n\x0c\n\x02"
                                                 "c1\x12\x06") +
                                         "0a1b2c" + "\x12" + static_cast<char>(origin.size()) +
                                         origin);
        write(folder + "/0a1b2c3d4e/index", std::string(24, '\x07'));
        write(folder + "/0a1b2c3d4e/" + hexName(static_cast<int>(hash.size())).substr(0, 16) + "_0",
              "KEY:" + origin + "cached.js\n" + std::string(400, 'c'));
    };
    cacheStorage("2f1a6c8c91e7a3b44f6bdbc8a2a8e6fa5d1e9d10", "https://" + siteName(3) + "/");
    cacheStorage("7c0e5ad2b1f44a3f8e5a6b7c8d9e0f1a2b3c4d5e",
                 "chrome-extension://abcdefghijklmnopabcdefghijklmnop/");
    for (const char* file : {"000003.log", "CURRENT", "MANIFEST-000001"})
        write(profileHost + "/Extension State/" + file, std::string("extension state ") + file);
    write(profileHost + "/Local Extension Settings/abcdefghijklmnopabcdefghijklmnop/000003.log",
          "{\"vault\":\"kept\"}");
}

} // namespace

std::string siteName(int site) {
    return "site" + std::to_string(site) + ".example";
}

std::string cookieHost(int site) {
    return (site % 2 == 0 ? "." : "") + siteName(site);
}

void firefoxProfile(const std::string& profileHost, const std::string& cacheHost, const Sizes& s) {
    fs::create_directories(profileHost);
    {
        Db db(profileHost + "/places.sqlite");
        if (s.wal) db.exec("PRAGMA journal_mode=WAL");
        db.exec(R"(
CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host));
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId INTEGER);
CREATE TABLE moz_inputhistory (place_id INTEGER NOT NULL, input LONGVARCHAR NOT NULL, use_count INTEGER, PRIMARY KEY (place_id, input));
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER, post_data TEXT);
CREATE TABLE moz_anno_attributes (id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_annos (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_items_annos (id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE TABLE moz_places_metadata (id INTEGER PRIMARY KEY, place_id INTEGER NOT NULL, referrer_place_id INTEGER, created_at INTEGER NOT NULL DEFAULT 0, updated_at INTEGER NOT NULL DEFAULT 0, total_view_time INTEGER NOT NULL DEFAULT 0, typing_time INTEGER NOT NULL DEFAULT 0, key_presses INTEGER NOT NULL DEFAULT 0, scrolling_time INTEGER NOT NULL DEFAULT 0, scrolling_distance INTEGER NOT NULL DEFAULT 0, document_type INTEGER NOT NULL DEFAULT 0, search_query_id INTEGER);
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE INDEX moz_places_hostindex ON moz_places (rev_host);
CREATE INDEX moz_places_visitcount ON moz_places (visit_count);
CREATE INDEX moz_places_frecencyindex ON moz_places (frecency);
CREATE INDEX moz_places_lastvisitdateindex ON moz_places (last_visit_date);
CREATE UNIQUE INDEX moz_places_guid_uniqueindex ON moz_places (guid);
CREATE INDEX moz_places_originidindex ON moz_places (origin_id);
CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);
CREATE INDEX moz_historyvisits_fromindex ON moz_historyvisits (from_visit);
CREATE INDEX moz_historyvisits_dateindex ON moz_historyvisits (visit_date);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);
CREATE UNIQUE INDEX moz_keywords_placepostdata_uniqueindex ON moz_keywords (place_id, post_data);
PRAGMA user_version = 77;
BEGIN;
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
 (1, 2, NULL, 0, 0, '', 'root________'), (2, 2, NULL, 1, 0, 'menu', 'menu________'),
 (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, NULL, 1, 2, 'tags', 'tags________'),
 (5, 2, NULL, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, NULL, 1, 4, 'mobile', 'mobile______');
)");
        const int sites = s.sites > 0 ? s.sites : 1;
        db.rows(
            "INSERT INTO moz_origins (id, prefix, host, frecency) VALUES (?1, 'https://', ?2, 100)",
            sites, [&](sqlite3_stmt* st, int i) {
                sqlite3_bind_int(st, 1, i + 1);
                text(st, 2, siteName(i));
            });
        db.rows("INSERT INTO moz_places (id, url, title, rev_host, visit_count, frecency, "
                "last_visit_date, guid, url_hash, origin_id, foreign_count) "
                "VALUES (?1, ?2, ?3, ?4, ?5, 100, ?6, ?7, ?1 * 7919, ?8, ?9)",
                s.places, [&](sqlite3_stmt* st, int i) {
                    const int site = i % sites;
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "https://" + siteName(site) + "/page/" + std::to_string(i));
                    text(st, 3, "Page " + std::to_string(i) + " of " + siteName(site));
                    std::string rev = siteName(site);
                    rev = std::string(rev.rbegin(), rev.rend()) + ".";
                    text(st, 4, rev);
                    sqlite3_bind_int(st, 5, s.visits / (s.places ? s.places : 1) + 1);
                    sqlite3_bind_int64(st, 6, kNow1970 - std::int64_t{i} * 60000000);
                    text(st, 7, "pl" + hexName(i).substr(0, 10));
                    sqlite3_bind_int(st, 8, site + 1);
                    sqlite3_bind_int(st, 9, i < s.bookmarks ? 1 : 0);
                });
        db.rows("INSERT INTO moz_historyvisits (from_visit, place_id, visit_date, visit_type, "
                "session, source) VALUES (0, ?1, ?2, 1, 0, 0)",
                s.visits, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i % (s.places ? s.places : 1) + 1);
                    sqlite3_bind_int64(st, 2, kNow1970 - std::int64_t{i} * 30000000);
                });
        db.rows("INSERT INTO moz_bookmarks (type, fk, parent, position, title, dateAdded, "
                "lastModified, guid) VALUES (1, ?1, ?2, ?3, ?4, ?5, ?5, ?6)",
                s.bookmarks, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    sqlite3_bind_int(st, 2, i % 2 == 0 ? 2 : 3);
                    sqlite3_bind_int(st, 3, i / 2);
                    text(st, 4, "Bookmark " + std::to_string(i));
                    sqlite3_bind_int64(st, 5, kNow1970);
                    text(st, 6, "bm" + hexName(i).substr(0, 10));
                });
        const int inputs = s.places < 50 ? s.places : 50;
        db.rows("INSERT INTO moz_inputhistory (place_id, input, use_count) VALUES (?1, ?2, 1)",
                inputs, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, s.bookmarks + i + 1);
                    text(st, 2, "site" + std::to_string(i));
                });
        if (s.bookmarks > 0)
            db.exec("INSERT INTO moz_keywords (keyword, place_id) VALUES ('docs', 1);"
                    "UPDATE moz_bookmarks SET keyword_id = 1 WHERE fk = 1;");
        db.exec("COMMIT");
    }
    {
        Db db(profileHost + "/cookies.sqlite");
        if (s.wal) db.exec("PRAGMA journal_mode=WAL");
        db.exec("CREATE TABLE moz_cookies (id INTEGER PRIMARY KEY, originAttributes TEXT NOT NULL "
                "DEFAULT '', name TEXT, value TEXT, host TEXT, path TEXT, expiry INTEGER, "
                "lastAccessed INTEGER, creationTime INTEGER, isSecure INTEGER, isHttpOnly INTEGER, "
                "inBrowserElement INTEGER DEFAULT 0, sameSite INTEGER DEFAULT 0, rawSameSite "
                "INTEGER DEFAULT 0, schemeMap INTEGER DEFAULT 0, isPartitionedAttributeSet INTEGER "
                "DEFAULT 0, CONSTRAINT moz_uniqueid UNIQUE (name, host, path, originAttributes));"
                "PRAGMA user_version = 14; BEGIN;");
        const int sites = s.sites > 0 ? s.sites : 1;
        db.rows("INSERT INTO moz_cookies (name, value, host, path, expiry, lastAccessed, "
                "creationTime, isSecure, isHttpOnly) VALUES (?1, ?2, ?3, '/', 1900000000, ?4, ?4, "
                "1, 0)",
                s.cookies, [&](sqlite3_stmt* st, int i) {
                    text(st, 1, "c" + std::to_string(i));
                    text(st, 2, "value-" + hexName(i));
                    text(st, 3, cookieHost(i % sites));
                    sqlite3_bind_int64(st, 4, kNow1970);
                });
        db.exec("COMMIT");
    }
    {
        Db db(profileHost + "/formhistory.sqlite");
        if (s.wal) db.exec("PRAGMA journal_mode=WAL");
        db.exec("CREATE TABLE moz_formhistory (id INTEGER PRIMARY KEY, fieldname TEXT NOT NULL, "
                "value TEXT NOT NULL, timesUsed INTEGER, firstUsed INTEGER, lastUsed INTEGER, guid "
                "TEXT); CREATE TABLE moz_deleted_formhistory (id INTEGER PRIMARY KEY, timeDeleted "
                "INTEGER, guid TEXT); CREATE INDEX moz_formhistory_index ON moz_formhistory "
                "(fieldname); PRAGMA user_version = 5;");
        db.rows("INSERT INTO moz_formhistory (fieldname, value, timesUsed, firstUsed, lastUsed, "
                "guid) VALUES ('q', ?1, 1, ?2, ?2, ?3)",
                s.formEntries, [&](sqlite3_stmt* st, int i) {
                    text(st, 1, "search words " + std::to_string(i));
                    sqlite3_bind_int64(st, 2, kNow1970);
                    text(st, 3, hexName(i).substr(0, 12));
                });
    }
    if (s.traces) firefoxTraces(profileHost, s);
    write(
        profileHost + "/logins.json",
        R"({"nextId":3,"logins":[{"id":1,"hostname":"https://site1.example","encryptedUsername":"MDoEEPgAAAA","encryptedPassword":"MDoEEPgAAAB"}],"version":3})");
    write(profileHost + "/key4.db",
          std::string("SQLite format 3\0", 16) + std::string(4080, '\x01'));
    write(profileHost + "/prefs.js", "user_pref(\"browser.startup.page\", 3);\n");
    if (cacheHost.empty()) return;
    const std::string cache = cacheHost + "/cache2";
    fs::create_directories(cache + "/entries");
    fs::create_directories(cache + "/doomed");
    for (int i = 0; i < s.cacheFiles; ++i)
        write(cache + "/entries/" + hexName(i), entry(i));
    write(cache + "/index", std::string(4096, '\x02'));
}

void firefoxProfilesIni(const std::string& firefoxHost, const std::vector<std::string>& names,
                        const std::vector<std::string>& absolute) {
    std::string ini = "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n";
    for (std::size_t i = 0; i < names.size(); ++i)
        ini += "[Profile" + std::to_string(i) + "]\r\nName=" + names[i] +
               "\r\nIsRelative=1\r\nPath=Profiles/" + names[i] + "\r\n" +
               (i == 0 ? "Default=1\r\n" : "") + "\r\n";
    for (std::size_t i = 0; i < absolute.size(); ++i)
        ini += "[Profile" + std::to_string(names.size() + i) + "]\r\nName=elsewhere" +
               std::to_string(i + 1) + "\r\nIsRelative=0\r\nPath=" + absolute[i] + "\r\n\r\n";
    write(firefoxHost + "/profiles.ini", ini);
    write(firefoxHost + "/installs.ini", "[308046B0AF4A39CB]\r\nDefault=Profiles/" +
                                             (names.empty() ? std::string() : names[0]) + "\r\n");
}

void chromeProfile(const std::string& profileHost, const Sizes& s, const std::string& cacheHost) {
    fs::create_directories(profileHost + "/Network");
    {
        Db db(profileHost + "/History");
        db.exec(R"(
CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT,url LONGVARCHAR,title LONGVARCHAR,visit_count INTEGER DEFAULT 0 NOT NULL,typed_count INTEGER DEFAULT 0 NOT NULL,last_visit_time INTEGER NOT NULL,hidden INTEGER DEFAULT 0 NOT NULL);
CREATE TABLE visits(id INTEGER PRIMARY KEY AUTOINCREMENT,url INTEGER NOT NULL,visit_time INTEGER NOT NULL,from_visit INTEGER,transition INTEGER DEFAULT 0 NOT NULL,segment_id INTEGER,visit_duration INTEGER DEFAULT 0 NOT NULL,incremented_omnibox_typed_score BOOLEAN DEFAULT FALSE NOT NULL,opener_visit INTEGER,originator_cache_guid TEXT,originator_visit_id INTEGER,originator_from_visit INTEGER,originator_opener_visit INTEGER,is_known_to_sync BOOLEAN DEFAULT FALSE NOT NULL,consider_for_ntp_most_visited BOOLEAN DEFAULT FALSE NOT NULL);
CREATE TABLE visit_source(id INTEGER PRIMARY KEY,source INTEGER NOT NULL);
CREATE TABLE keyword_search_terms (keyword_id INTEGER NOT NULL,url_id INTEGER NOT NULL,term LONGVARCHAR NOT NULL,normalized_term LONGVARCHAR NOT NULL);
CREATE TABLE downloads (id INTEGER PRIMARY KEY,guid VARCHAR NOT NULL,current_path LONGVARCHAR NOT NULL,target_path LONGVARCHAR NOT NULL,start_time INTEGER NOT NULL,received_bytes INTEGER NOT NULL,total_bytes INTEGER NOT NULL,state INTEGER NOT NULL,danger_type INTEGER NOT NULL,interrupt_reason INTEGER NOT NULL,hash BLOB NOT NULL,end_time INTEGER NOT NULL,opened INTEGER NOT NULL,last_access_time INTEGER NOT NULL,transient INTEGER NOT NULL,referrer VARCHAR NOT NULL,site_url VARCHAR NOT NULL,embedder_download_data VARCHAR NOT NULL,tab_url VARCHAR NOT NULL,tab_referrer_url VARCHAR NOT NULL,http_method VARCHAR NOT NULL,by_ext_id VARCHAR NOT NULL,by_ext_name VARCHAR NOT NULL,by_web_app_id VARCHAR NOT NULL,etag VARCHAR NOT NULL,last_modified VARCHAR NOT NULL,mime_type VARCHAR(255) NOT NULL,original_mime_type VARCHAR(255) NOT NULL);
CREATE TABLE downloads_url_chains (id INTEGER NOT NULL,chain_index INTEGER NOT NULL,url LONGVARCHAR NOT NULL, PRIMARY KEY (id, chain_index));
CREATE TABLE downloads_slices (download_id INTEGER NOT NULL,offset INTEGER NOT NULL,received_bytes INTEGER NOT NULL,finished INTEGER NOT NULL DEFAULT 0,PRIMARY KEY (download_id, offset));
CREATE TABLE segments (id INTEGER PRIMARY KEY,name VARCHAR,url_id INTEGER NON NULL);
CREATE TABLE segment_usage (id INTEGER PRIMARY KEY,segment_id INTEGER NOT NULL,time_slot INTEGER NOT NULL,visit_count INTEGER DEFAULT 0 NOT NULL);
CREATE INDEX visits_url_index ON visits (url);
CREATE INDEX visits_from_index ON visits (from_visit);
CREATE INDEX visits_time_index ON visits (visit_time);
CREATE INDEX urls_url_index ON urls (url);
CREATE INDEX keyword_search_terms_index1 ON keyword_search_terms (keyword_id, normalized_term);
CREATE INDEX keyword_search_terms_index2 ON keyword_search_terms (url_id);
CREATE INDEX segments_name ON segments(name);
CREATE INDEX segments_url_id ON segments(url_id);
CREATE INDEX segment_usage_time_slot_segment_id ON segment_usage(time_slot, segment_id);
CREATE INDEX segments_usage_seg_id ON segment_usage(segment_id);
INSERT INTO meta VALUES ('version', '67'), ('last_compatible_version', '16');
BEGIN;
)");
        const int sites = s.sites > 0 ? s.sites : 1;
        const int places = s.places > 0 ? s.places : 1;
        db.rows("INSERT INTO urls (id, url, title, visit_count, typed_count, last_visit_time) "
                "VALUES (?1, ?2, ?3, ?4, 0, ?5)",
                s.places, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "https://" + siteName(i % sites) + "/page/" + std::to_string(i));
                    text(st, 3, "Page " + std::to_string(i));
                    sqlite3_bind_int(st, 4, s.visits / places + 1);
                    sqlite3_bind_int64(st, 5, kNow1970 + kFrom1601 - std::int64_t{i} * 60000000);
                });
        db.rows("INSERT INTO visits (url, visit_time, from_visit, transition, segment_id) "
                "VALUES (?1, ?2, 0, 805306368, ?3)",
                s.visits, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i % places + 1);
                    sqlite3_bind_int64(st, 2, kNow1970 + kFrom1601 - std::int64_t{i} * 30000000);
                    sqlite3_bind_int(st, 3, i % sites + 1);
                });
        db.rows("INSERT INTO segments (id, name, url_id) VALUES (?1, ?2, ?1)", sites,
                [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "http://" + siteName(i) + "/");
                });
        db.rows("INSERT INTO segment_usage (segment_id, time_slot, visit_count) VALUES (?1, ?2, 3)",
                sites, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    sqlite3_bind_int64(st, 2, kNow1970 + kFrom1601);
                });
        db.rows("INSERT INTO keyword_search_terms VALUES (2, ?1, ?2, ?2)", sites < 20 ? sites : 20,
                [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "search " + std::to_string(i));
                });
        db.rows(
            "INSERT INTO downloads VALUES (?1, ?2, ?3, ?3, ?4, 1000, 1000, 1, 0, 0, x'00', ?4, 0, "
            "?4, 0, '', ?5, '', '', '', 'GET', '', '', '', '', '', 'application/pdf', "
            "'application/pdf')",
            5, [&](sqlite3_stmt* st, int i) {
                sqlite3_bind_int(st, 1, i + 1);
                text(st, 2, hexName(i).substr(0, 36));
                text(st, 3, "C:\\Users\\User\\Downloads\\file" + std::to_string(i) + ".pdf");
                sqlite3_bind_int64(st, 4, kNow1970 + kFrom1601);
                text(st, 5, "https://" + siteName(i) + "/");
            });
        db.rows("INSERT INTO downloads_url_chains VALUES (?1, 0, ?2)", 5,
                [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int(st, 1, i + 1);
                    text(st, 2, "https://" + siteName(i) + "/file" + std::to_string(i) + ".pdf");
                });
        db.exec("INSERT INTO visit_source SELECT id, 1 FROM visits WHERE id % 10 = 0; COMMIT;");
    }
    {
        Db db(profileHost + "/Network/Cookies");
        db.exec("CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
                "CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,"
                "top_frame_site_key TEXT NOT NULL,name TEXT NOT NULL,value TEXT NOT NULL,"
                "encrypted_value BLOB NOT NULL,path TEXT NOT NULL,expires_utc INTEGER NOT NULL,"
                "is_secure INTEGER NOT NULL,is_httponly INTEGER NOT NULL,last_access_utc INTEGER "
                "NOT NULL,has_expires INTEGER NOT NULL,is_persistent INTEGER NOT NULL,priority "
                "INTEGER NOT NULL,samesite INTEGER NOT NULL,source_scheme INTEGER NOT NULL,"
                "source_port INTEGER NOT NULL,last_update_utc INTEGER NOT NULL,source_type INTEGER "
                "NOT NULL,has_cross_site_ancestor INTEGER NOT NULL);"
                "CREATE UNIQUE INDEX cookies_unique_index ON cookies(host_key, top_frame_site_key, "
                "has_cross_site_ancestor, name, path, source_scheme, source_port);"
                "INSERT INTO meta VALUES ('version', '23'), ('last_compatible_version', '23');"
                "BEGIN;");
        const int sites = s.sites > 0 ? s.sites : 1;
        db.rows("INSERT INTO cookies VALUES (?1, ?2, '', ?3, '', ?4, '/', ?5, 1, 0, ?1, 1, 1, 1, "
                "0, 2, 443, ?1, 0, 0)",
                s.cookies, [&](sqlite3_stmt* st, int i) {
                    sqlite3_bind_int64(st, 1, kNow1970 + kFrom1601 + i);
                    text(st, 2, cookieHost(i % sites));
                    text(st, 3, "c" + std::to_string(i));
                    const std::string secret = "v10" + hexName(i);
                    sqlite3_bind_blob(st, 4, secret.data(), static_cast<int>(secret.size()),
                                      SQLITE_TRANSIENT);
                    sqlite3_bind_int64(st, 5, kNow1970 + kFrom1601 + 31536000000000LL);
                });
        db.exec("COMMIT");
    }
    {
        Db db(profileHost + "/Login Data");
        db.exec("CREATE TABLE logins (origin_url VARCHAR NOT NULL, username_value VARCHAR, "
                "password_value BLOB, signon_realm VARCHAR NOT NULL);"
                "INSERT INTO logins VALUES ('https://site1.example/', 'user', x'763130', "
                "'https://site1.example/');");
    }
    std::string bookmarks = R"({"checksum":"0","roots":{"bookmark_bar":{"children":[)";
    for (int i = 0; i < s.bookmarks; ++i)
        bookmarks +=
            std::string(i ? "," : "") + R"({"id":")" + std::to_string(i + 10) +
            R"(","name":"Bookmark )" + std::to_string(i) + R"(","type":"url","url":"https://)" +
            siteName(i % (s.sites > 0 ? s.sites : 1)) + "/page/" + std::to_string(i) + "\"}";
    bookmarks +=
        R"(],"name":"Bookmarks bar","type":"folder"},"other":{"children":[],"name":"Other bookmarks","type":"folder"}},"version":1})";
    write(profileHost + "/Bookmarks", bookmarks);
    write(profileHost + "/Preferences", R"({"homepage":"https://site0.example/"})");
    const auto cacheFolder = [&](const std::string& folder, int files) {
        fs::create_directories(folder);
        write(folder + "/index", std::string(256, '\x03'));
        for (int i = 0; i < files; ++i)
            write(folder + "/f_" + hexName(i).substr(0, 6), entry(i));
    };
    const std::string cache = cacheHost.empty() ? profileHost : cacheHost;
    cacheFolder(cache + "/Cache/Cache_Data", s.cacheFiles * 6 / 10);
    cacheFolder(cache + "/Code Cache/js", s.cacheFiles * 3 / 10);
    cacheFolder(cache + "/Code Cache/wasm", 0);
    cacheFolder(cache + "/GPUCache", s.cacheFiles / 10);
    if (s.traces) chromiumTraces(profileHost, s);
}

void chromeLocalState(const std::string& userDataHost, const std::vector<std::string>& names) {
    std::string json = R"({"browser":{"enabled_labs_experiments":[]},"profile":{"info_cache":{)";
    for (std::size_t i = 0; i < names.size(); ++i)
        json += std::string(i ? "," : "") + "\"" + names[i] + R"(":{"name":"Person )" +
                std::to_string(i + 1) + R"(","is_using_default_name":true})";
    json += R"(},"last_used":")" + (names.empty() ? std::string() : names[0]) + "\"}}";
    write(userDataHost + "/Local State", json);
    write(userDataHost + "/lockfile", "");
}

} // namespace browser_seed
