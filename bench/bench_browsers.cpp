// Cleaning today's browsers' databases: a profile of 100 000 visits over 20 000 places (5 000
// of them bookmarked) and 10 000 cookies, with its icons, top sites, typed addresses and form
// entries, for Firefox, LibreWolf, Chrome and Opera (each family in both of its layouts),
// cookies and history in one session as the unattended run cleans them, against the sqlite3
// program running the same deletions (the checks before, the deletions in one transaction,
// VACUUM and the integrity check after) on a copy. The databases are written anew before
// every round; only the cleaning is timed.
#include "bench_support.h"
#include "browser_seed.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "platform/paths.h"
#include "ui/MyTricks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const char* const kShellFolders =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string host(const std::string& windowsPath) {
    const platform::Result<platform::HostPath> out = platform::resolvePath(windowsPath);
    return out ? out->str() : std::string();
}

bool keep(const std::string& site) {
    return site == "site1.example" || site == "site4.example";
}

void copyTree(const std::string& from, const std::string& to) {
    fs::remove_all(to);
    fs::create_directories(fs::path(to).parent_path());
    fs::copy(from, to, fs::copy_options::recursive);
}

double sqlite3Run(const std::string& db, const std::string& statements) {
    const std::string script = db + ".sql";
    std::ofstream(script) << "PRAGMA quick_check;\nBEGIN EXCLUSIVE;\n" + statements +
                                 "COMMIT;\nVACUUM;\nPRAGMA integrity_check;\n";
    const std::string command = "sqlite3 '" + db + "' < '" + script + "' > /dev/null";
    return bench::millisecondsOf([&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "sqlite3 failed on %s\n", db.c_str());
    });
}

std::string deleteAll(std::initializer_list<const char*> tables) {
    std::string statements;
    for (const char* table : tables)
        statements += std::string("DELETE FROM ") + table + ";\n";
    return statements;
}

// "https://site1.example" of an address, in SQL.
std::string origin(const std::string& column) {
    return "substr(" + column + ", 1, instr(substr(" + column + ", 9), '/') + 7)";
}

const std::string kKeepHosts = "('site1.example', 'site4.example')";

// The same deletions as the cleaning's, on copies of a Firefox profile.
double firefoxBySqlite3(const std::string& copy) {
    double sum = 0;
    sum +=
        sqlite3Run(copy + "/cookies.sqlite",
                   "DELETE FROM moz_cookies WHERE ltrim(host, '.') NOT IN " + kKeepHosts + ";\n");
    sum += sqlite3Run(
        copy + "/places.sqlite",
        deleteAll({"moz_historyvisits", "moz_inputhistory", "moz_places_metadata"}) +
            "DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT "
            "NULL) AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL);\n"
            "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL WHERE visit_count <> 0 "
            "OR last_visit_date IS NOT NULL;\n"
            "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places);\n"
            "DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE "
            "origin_id IS NOT NULL);\n");
    sum += sqlite3Run(copy + "/formhistory.sqlite", "DELETE FROM moz_formhistory;\n");
    // The places left are the kept ones.
    sum += sqlite3Run(
        copy + "/favicons.sqlite",
        "ATTACH '" + copy +
            "/places.sqlite' AS p;\n"
            "CREATE TEMP TABLE kept AS SELECT url FROM p.moz_places;\n"
            "DELETE FROM moz_icons WHERE NOT (id IN (SELECT icon_id FROM moz_icons_to_pages WHERE "
            "page_id IN (SELECT id FROM moz_pages_w_icons WHERE page_url IN kept)) OR (root = 1 "
            "AND " +
            origin("icon_url") + " IN (SELECT " + origin("url") +
            " FROM kept)));\n"
            "DELETE FROM moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM moz_pages_w_icons "
            "WHERE page_url IN kept) OR icon_id NOT IN (SELECT id FROM moz_icons);\n"
            "DELETE FROM moz_pages_w_icons WHERE page_url NOT IN kept;\n");
    return sum;
}

double chromiumBySqlite3(const std::string& copy, const browser_seed::Sizes& sizes) {
    std::string kept = "CREATE TEMP TABLE kept(url TEXT PRIMARY KEY);\nINSERT INTO kept VALUES ";
    for (int i = 0; i < sizes.bookmarks; ++i)
        kept += std::string(i ? "," : "") + "('https://" + browser_seed::siteName(i % sizes.sites) +
                "/page/" + std::to_string(i) + "')";
    kept += ";\n";
    double sum = 0;
    sum += sqlite3Run(copy + "/Network/Cookies", "DELETE FROM cookies WHERE ltrim(host_key, '.') "
                                                 "NOT IN " +
                                                     kKeepHosts + ";\n");
    sum += sqlite3Run(
        copy + "/History",
        deleteAll({"visits", "urls", "keyword_search_terms", "segment_usage", "segments",
                   "visit_source", "downloads_url_chains", "downloads", "downloads_slices"}));
    sum +=
        sqlite3Run(copy + "/Favicons",
                   kept + "DELETE FROM favicon_bitmaps WHERE icon_id NOT IN (SELECT icon_id FROM "
                          "icon_mapping WHERE page_url IN kept);\n"
                          "DELETE FROM favicons WHERE id NOT IN (SELECT icon_id FROM icon_mapping "
                          "WHERE page_url IN kept);\n"
                          "DELETE FROM icon_mapping WHERE page_url NOT IN kept;\n");
    sum += sqlite3Run(copy + "/Top Sites", deleteAll({"top_sites"}));
    sum += sqlite3Run(copy + "/Shortcuts", deleteAll({"omni_box_shortcuts"}));
    sum +=
        sqlite3Run(copy + "/Network Action Predictor",
                   deleteAll({"network_action_predictor", "resource_prefetch_predictor_origin"}));
    sum += sqlite3Run(copy + "/Web Data", deleteAll({"autofill"}));
    return sum;
}

} // namespace

int main() {
    const bench::TemporaryMachine machine("bench-browsers");
    if (!machine.ok()) return 1;
    browser_seed::Sizes sizes;
    sizes.places = 20000;
    sizes.visits = 100000;
    sizes.bookmarks = 5000;
    sizes.cookies = 10000;
    sizes.sites = 500;
    sizes.cacheFiles = 0;
    sizes.formEntries = 1000;
    sizes.traces = true;

    const std::string roaming = host(ReadUserRegString(kShellFolders, "AppData"));
    const std::string local = host(ReadUserRegString(kShellFolders, "Local AppData"));
    const std::string master = roaming + "/../bench-master";
    browser_seed::firefoxProfile(master + "/firefox", "", sizes);
    browser_seed::chromeProfile(master + "/chrome", sizes);
    // Where each browser keeps its profile, and which master it is a copy of.
    const struct {
        std::string profile;
        bool firefox;
    } profiles[] = {{roaming + "/Mozilla/Firefox/Profiles/bench.default", true},
                    {roaming + "/librewolf/Profiles/bench.default", true},
                    {local + "/Google/Chrome/User Data/Default", false},
                    {roaming + "/Opera Software/Opera Stable", false}};
    browser_seed::firefoxProfilesIni(roaming + "/Mozilla/Firefox", {"bench.default"});
    browser_seed::firefoxProfilesIni(roaming + "/librewolf", {"bench.default"});

    std::vector<double> ours;
    std::vector<double> theirs;
    std::uint64_t removed = 0;
    for (int round = 0; round < 3; ++round) {
        for (const auto& p : profiles)
            copyTree(master + (p.firefox ? "/firefox" : "/chrome"), p.profile);
        browser_seed::chromeLocalState(local + "/Google/Chrome/User Data", {"Default"});
        CleaningResult result;
        ours.push_back(bench::millisecondsOf([&] {
            BrowserSession session(CleaningMode::Remove);
            result += session.CleanAll(BrowserPart::Cookies, keep);
            result += session.CleanAll(BrowserPart::History);
        }));
        for (const std::string& note : result.notes)
            std::fprintf(stderr, "note: %s\n", note.c_str());
        removed = result.removed;

        double sum = 0;
        for (const auto& p : profiles) {
            const std::string copy = master + "/copy";
            copyTree(master + (p.firefox ? "/firefox" : "/chrome"), copy);
            sum += p.firefox ? firefoxBySqlite3(copy) : chromiumBySqlite3(copy, sizes);
        }
        theirs.push_back(sum);
        std::printf("round %d: %.1f ms (%llu rows), sqlite3 %.1f ms\n", round + 1, ours.back(),
                    static_cast<unsigned long long>(removed), sum);
    }
    const double a = bench::median(ours);
    const double b = bench::median(theirs);
    std::printf("browser databases (4 browsers, 100000 visits and 10000 cookies each): %.0f ms, "
                "sqlite3 %.0f ms, ratio %.2f\n",
                a, b, a / b);
    return 0;
}
