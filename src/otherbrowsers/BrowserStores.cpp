#include "otherbrowsers/BrowserStores.h"

namespace {

// Every row of a table, counted or not; `optional` where the table is there in some versions
// only.
CleaningStep wholeTable(const std::string& table, bool counts = true, bool optional = false) {
    return {
        {{table, {}}}, "SELECT count(*) FROM " + table, "DELETE FROM " + table, counts, optional};
}

CleaningStep optionalTable(const std::string& table, bool counts = true) {
    return wholeTable(table, counts, true);
}

// The rows of a table that `where` picks.
CleaningStep rowsWhere(std::vector<TableColumns> uses, const std::string& where, bool counts = true,
                       bool optional = false) {
    const std::string& table = uses.front().table;
    return {std::move(uses), "SELECT count(*) FROM " + table + " WHERE " + where,
            "DELETE FROM " + table + " WHERE " + where, counts, optional};
}

DatabaseStore cookieJar(const std::string& path, const std::string& table,
                        const std::string& host) {
    DatabaseStore store;
    store.path = path;
    store.required = {{table, {host}}};
    store.filtersHosts = true;
    store.steps = {rowsWhere({{table, {host}}}, "NOT keep_host(" + host + ")")};
    store.keptCount = "SELECT count(*) FROM " + table + " WHERE keep_host(" + host + ")";
    return store;
}

// ---------------------------------------------------------------------------------------------
// The Firefox family.

DatabaseStore firefoxPlaces(const BrowserProfile& profile) {
    DatabaseStore store;
    store.path = profile.folder + "places.sqlite";
    // Without the bookmarks nothing tells which places must stay.
    store.required = {{"moz_places", {"id"}}, {"moz_bookmarks", {"fk"}}};
    // A place stays while a bookmark or a keyword uses it.
    const std::string unused =
        "id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL) AND id NOT IN "
        "(SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)";
    CleaningStep forget = {{{"moz_places", {"visit_count", "last_visit_date"}}},
                           "SELECT 0",
                           "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL "
                           "WHERE visit_count <> 0 OR last_visit_date IS NOT NULL",
                           false};
    store.steps = {
        wholeTable("moz_historyvisits"),
        optionalTable("moz_historyvisits_extra", false),
        wholeTable("moz_inputhistory"),
        optionalTable("moz_places_metadata_search_queries", false),
        optionalTable("moz_places_metadata", false),
        rowsWhere(
            {{"moz_places", {"id"}}, {"moz_bookmarks", {"fk"}}, {"moz_keywords", {"place_id"}}},
            unused),
        forget,
        rowsWhere({{"moz_places_extra", {"place_id"}}, {"moz_places", {"id"}}},
                  "place_id NOT IN (SELECT id FROM moz_places)", false, true),
        rowsWhere({{"moz_annos", {"place_id"}}, {"moz_places", {"id"}}},
                  "place_id NOT IN (SELECT id FROM moz_places)", false, true),
        rowsWhere({{"moz_origins", {"id"}}, {"moz_places", {"origin_id"}}},
                  "id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)", false,
                  true),
        optionalTable("moz_previews_tombstones", false),
        optionalTable("moz_newtab_story_click", false),
        optionalTable("moz_newtab_story_impression", false),
        optionalTable("moz_newtab_shortcuts_interaction", false),
    };
    return store;
}

DatabaseStore firefoxForms(const BrowserProfile& profile) {
    DatabaseStore store;
    store.path = profile.folder + "formhistory.sqlite";
    store.required = {{"moz_formhistory", {"fieldname", "value"}}};
    store.steps = {wholeTable("moz_formhistory"), optionalTable("moz_history_to_sources", false),
                   optionalTable("moz_sources", false)};
    return store;
}

// The icons of the pages no longer kept, which are the bookmarked and keyword places; a
// site's root icon (its favicon.ico) stays while a kept page lies on that site.
DatabaseStore firefoxIcons(const BrowserProfile& profile) {
    DatabaseStore store;
    store.path = profile.folder + "favicons.sqlite";
    store.required = {{"moz_pages_w_icons", {"id", "page_url"}}, {"moz_icons", {"id"}}};
    store.keptPages = KeptPages::Places;
    store.keptFrom = {profile.folder + "places.sqlite"};
    const std::string keptIcon =
        "id IN (SELECT icon_id FROM moz_icons_to_pages WHERE page_id IN (SELECT id FROM "
        "moz_pages_w_icons WHERE kept_page(page_url))) OR (root = 1 AND kept_origin(icon_url))";
    store.steps = {
        rowsWhere({{"moz_icons", {"id", "root", "icon_url"}},
                   {"moz_icons_to_pages", {"icon_id", "page_id"}},
                   {"moz_pages_w_icons", {"id", "page_url"}}},
                  "NOT (" + keptIcon + ")"),
        rowsWhere({{"moz_icons_to_pages", {"icon_id", "page_id"}},
                   {"moz_pages_w_icons", {"id", "page_url"}},
                   {"moz_icons", {"id"}}},
                  "page_id NOT IN (SELECT id FROM moz_pages_w_icons WHERE kept_page(page_url)) "
                  "OR icon_id NOT IN (SELECT id FROM moz_icons)",
                  false),
        rowsWhere({{"moz_pages_w_icons", {"page_url"}}}, "NOT kept_page(page_url)"),
    };
    return store;
}

ProfileStores firefoxStores(const BrowserProfile& profile, BrowserPart part) {
    ProfileStores stores;
    switch (part) {
    case BrowserPart::Cache:
        if (!profile.cache.empty()) stores.folders = {profile.cache};
        break;
    case BrowserPart::Cookies:
        stores.databases = {cookieJar(profile.folder + "cookies.sqlite", "moz_cookies", "host")};
        break;
    case BrowserPart::History:
        stores.databases = {firefoxPlaces(profile), firefoxForms(profile), firefoxIcons(profile)};
        // The open and recently closed tabs and windows.
        stores.files = {profile.folder + "sessionstore.jsonlz4",
                        profile.folder + "sessionstore.js"};
        stores.folders = {profile.folder + "sessionstore-backups\\"};
        break;
    }
    return stores;
}

// ---------------------------------------------------------------------------------------------
// The Chromium family.

DatabaseStore chromiumHistory(const BrowserProfile& profile) {
    DatabaseStore store;
    store.path = profile.folder + "History";
    store.required = {{"urls", {"id", "url"}}, {"visits", {"id", "url"}}};
    for (const char* table : {"visits", "urls", "keyword_search_terms", "segment_usage", "segments",
                              "visit_source", "downloads_url_chains", "downloads"})
        store.steps.push_back(wholeTable(table));
    for (const char* table :
         {"downloads_slices", "content_annotations", "context_annotations", "clusters_and_visits",
          "clusters", "cluster_keywords", "cluster_visit_duplicates", "visited_links", "journeys",
          "journey_history_entries", "journey_continuation_queries"})
        store.steps.push_back(optionalTable(table));
    return store;
}

// The icons of the pages no bookmark names, with their pictures.
DatabaseStore chromiumIcons(const BrowserProfile& profile) {
    DatabaseStore store;
    store.path = profile.folder + "Favicons";
    store.required = {{"icon_mapping", {"page_url", "icon_id"}}, {"favicons", {"id"}}};
    store.keptPages = KeptPages::BookmarksFile;
    store.keptFrom = {profile.folder + "Bookmarks", profile.folder + "AccountBookmarks"};
    const std::string keptIcons = "(SELECT icon_id FROM icon_mapping WHERE kept_page(page_url))";
    const TableColumns mapping = {"icon_mapping", {"page_url", "icon_id"}};
    store.steps = {
        rowsWhere({{"favicon_bitmaps", {"icon_id"}}, mapping}, "icon_id NOT IN " + keptIcons,
                  false),
        rowsWhere({{"favicons", {"id"}}, mapping}, "id NOT IN " + keptIcons),
        rowsWhere({mapping}, "NOT kept_page(page_url)"),
    };
    return store;
}

DatabaseStore wholeDatabase(const std::string& path, std::vector<CleaningStep> steps) {
    DatabaseStore store;
    store.path = path;
    store.steps = std::move(steps);
    return store;
}

ProfileStores chromiumStores(const BrowserProfile& profile, BrowserPart part) {
    ProfileStores stores;
    const std::string& p = profile.folder;
    switch (part) {
    case BrowserPart::Cache: {
        // Opera keeps its cache apart from its profile; the others in the profile folder.
        std::vector<std::string> bases = {profile.cache};
        if (profile.folder != profile.cache) bases.push_back(profile.folder);
        for (const std::string& base : bases)
            for (const char* below : {"Cache\\Cache_Data\\", "Code Cache\\", "GPUCache\\"})
                if (!base.empty()) stores.folders.push_back(base + below);
        stores.siteCaches = {p + "Service Worker\\CacheStorage\\"};
        break;
    }
    case BrowserPart::Cookies:
        stores.databases = {cookieJar(p + "Network\\Cookies", "cookies", "host_key"),
                            cookieJar(p + "Cookies", "cookies", "host_key")};
        break;
    case BrowserPart::History:
        stores.databases = {
            chromiumHistory(profile),
            chromiumIcons(profile),
            wholeDatabase(p + "Top Sites",
                          {optionalTable("top_sites"), optionalTable("thumbnails")}),
            wholeDatabase(p + "Shortcuts", {wholeTable("omni_box_shortcuts")}),
            wholeDatabase(p + "Network Action Predictor",
                          {wholeTable("network_action_predictor"),
                           optionalTable("resource_prefetch_predictor_url"),
                           optionalTable("resource_prefetch_predictor_host"),
                           optionalTable("resource_prefetch_predictor_url_redirect"),
                           optionalTable("resource_prefetch_predictor_host_redirect"),
                           optionalTable("resource_prefetch_predictor_origin"),
                           optionalTable("lcp_critical_path_predictor"),
                           optionalTable("lcp_critical_path_predictor_initiator_origin")}),
            // The form entries, under their older and their newer name.
            wholeDatabase(p + "Web Data",
                          {optionalTable("autofill"), optionalTable("autocomplete")}),
        };
        stores.files = {p + "Current Session", p + "Current Tabs", p + "Last Session",
                        p + "Last Tabs"};
        stores.folders = {p + "Sessions\\", p + "Sessions_Encrypted\\"};
        break;
    }
    return stores;
}

} // namespace

ProfileStores StoresOf(BrowserFamily family, const BrowserProfile& profile, BrowserPart part) {
    return family == BrowserFamily::Firefox ? firefoxStores(profile, part)
                                            : chromiumStores(profile, part);
}

std::vector<std::string> DatabasesOf(BrowserFamily family, const BrowserProfile& profile) {
    std::vector<std::string> paths;
    for (BrowserPart part : {BrowserPart::Cookies, BrowserPart::History})
        for (const DatabaseStore& store : StoresOf(family, profile, part).databases)
            paths.push_back(store.path);
    return paths;
}
