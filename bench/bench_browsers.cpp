// Cleaning today's browsers' databases: a Firefox profile of 100 000 visits over 20 000 places
// (5 000 of them bookmarked) and 10 000 cookies, and a Chrome profile of the same size, cookies
// and history each, against the sqlite3 program running the same statements (the checks
// before, the deletions in one transaction, VACUUM and the integrity check after) on a copy.
// The databases are written anew before every round; only the cleaning is timed.
#include "bench_support.h"
#include "browser_seed.h"
#include "otherbrowsers/BrowserCleaning.h"
#include "platform/paths.h"
#include "ui/MyTricks.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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
    FILE* out = std::fopen(script.c_str(), "w");
    std::fputs(("PRAGMA quick_check;\nBEGIN EXCLUSIVE;\n" + statements +
                "COMMIT;\nVACUUM;\nPRAGMA integrity_check;\n")
                   .c_str(),
               out);
    std::fclose(out);
    const std::string command = "sqlite3 '" + db + "' < '" + script + "' > /dev/null";
    return bench::millisecondsOf([&] {
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "sqlite3 failed on %s\n", db.c_str());
    });
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

    const std::string roaming = host(ReadUserRegString(kShellFolders, "AppData"));
    const std::string local = host(ReadUserRegString(kShellFolders, "Local AppData"));
    const std::string master = roaming + "/../bench-master";
    const std::string firefoxProfile = roaming + "/Mozilla/Firefox/Profiles/bench.default";
    const std::string chromeData = local + "/Google/Chrome/User Data";
    browser_seed::firefoxProfile(master + "/firefox", "", sizes);
    browser_seed::chromeProfile(master + "/chrome", sizes);
    browser_seed::firefoxProfilesIni(roaming + "/Mozilla/Firefox", {"bench.default"});
    browser_seed::chromeLocalState(chromeData, {"Default"});

    const std::string keepHosts = "('site1.example', 'site4.example')";
    const std::string firefoxHistory =
        "DELETE FROM moz_historyvisits;\nDELETE FROM moz_inputhistory;\n"
        "DELETE FROM moz_places_metadata;\n"
        "DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT "
        "NULL) AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL);\n"
        "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL WHERE visit_count <> 0 OR "
        "last_visit_date IS NOT NULL;\n"
        "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places);\n"
        "DELETE FROM moz_origins WHERE id NOT IN (SELECT origin_id FROM moz_places WHERE "
        "origin_id IS NOT NULL);\n";
    std::string chromeHistory;
    for (const char* table :
         {"visits", "urls", "keyword_search_terms", "segment_usage", "segments", "visit_source",
          "downloads_url_chains", "downloads", "downloads_slices"})
        chromeHistory += std::string("DELETE FROM ") + table + ";\n";

    std::vector<double> ours;
    std::vector<double> theirs;
    std::uint64_t removed = 0;
    for (int round = 0; round < 3; ++round) {
        copyTree(master + "/firefox", firefoxProfile);
        copyTree(master + "/chrome", chromeData + "/Default");
        CleaningResult result;
        ours.push_back(bench::millisecondsOf([&] {
            result +=
                CleanBrowser(Browser::Firefox, BrowserPart::Cookies, CleaningMode::Remove, keep);
            result += CleanBrowser(Browser::Firefox, BrowserPart::History, CleaningMode::Remove);
            result +=
                CleanBrowser(Browser::Chrome, BrowserPart::Cookies, CleaningMode::Remove, keep);
            result += CleanBrowser(Browser::Chrome, BrowserPart::History, CleaningMode::Remove);
        }));
        for (const std::string& note : result.notes)
            std::fprintf(stderr, "note: %s\n", note.c_str());
        removed = result.removed;

        const std::string copy = master + "/copy";
        copyTree(master + "/firefox", copy + "/firefox");
        copyTree(master + "/chrome", copy + "/chrome");
        double sum = 0;
        sum += sqlite3Run(copy + "/firefox/cookies.sqlite",
                          "DELETE FROM moz_cookies WHERE ltrim(host, '.') NOT IN " + keepHosts +
                              ";\n");
        sum += sqlite3Run(copy + "/firefox/places.sqlite", firefoxHistory);
        sum += sqlite3Run(copy + "/firefox/formhistory.sqlite", "DELETE FROM moz_formhistory;\n");
        sum += sqlite3Run(copy + "/chrome/Network/Cookies",
                          "DELETE FROM cookies WHERE ltrim(host_key, '.') NOT IN " + keepHosts +
                              ";\n");
        sum += sqlite3Run(copy + "/chrome/History", chromeHistory);
        theirs.push_back(sum);
        std::printf("round %d: %.1f ms (%llu rows), sqlite3 %.1f ms\n", round + 1, ours.back(),
                    static_cast<unsigned long long>(removed), sum);
    }
    const double a = bench::median(ours);
    const double b = bench::median(theirs);
    std::printf(
        "browser databases (100000 visits, 10000 cookies): %.0f ms, sqlite3 %.0f ms, ratio %.2f\n",
        a, b, a / b);
    return 0;
}
