#include "otherbrowsers/BrowserCleaning.h"

#include "otherbrowsers/BrowserDatabase.h"
#include "otherbrowsers/BrowserTexts.h"
#include "platform/win32.h"
#include "ui/MyTricks.h"

#include <map>
#include <memory>
#include <vector>

namespace {

// ------------------------------------------------------------------------------------------
// Cache folders: their contents go, the folders stay.

void emptyFolder(const std::string& folder, CleaningMode mode, CleaningResult& result) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> folders;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A link leads out of the cache: neither followed nor removed.
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                folders.push_back(path + "\\");
            continue;
        }
        const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        if (mode == CleaningMode::Preview || DeleteFileA(path.c_str()))
            result.Removed(size);
        else
            result.Failed(path, GetLastError());
    } while (FindNextFileA(find, &data));
    FindClose(find);
    for (const std::string& below : folders)
        emptyFolder(below, mode, result);
}

// ------------------------------------------------------------------------------------------
// Databases: each cleaned by a list of steps, in one transaction.

struct Step {
    std::string table;  // the step runs only where the table is there
    std::string count;  // what would go (Preview)
    std::string remove; // what goes (Remove)
    bool counts = true; // whether its rows count as removed items
};

struct DatabaseJob {
    std::string path;
    // Tables (with columns) that must be there, else the database is left alone.
    std::map<std::string, std::vector<std::string>> required;
    std::vector<Step> steps;
    bool filtersHosts = false;
    std::string keptCount; // rows kept on purpose (cookies of kept sites)
    std::unique_ptr<BrowserDatabase> db;
};

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DatabaseJob firefoxCookies(const BrowserProfile& profile) {
    DatabaseJob job;
    job.path = profile.folder + "cookies.sqlite";
    job.required = {{"moz_cookies", {"host"}}};
    job.filtersHosts = true;
    job.steps = {{"moz_cookies", "SELECT count(*) FROM moz_cookies WHERE NOT keep_host(host)",
                  "DELETE FROM moz_cookies WHERE NOT keep_host(host)"}};
    job.keptCount = "SELECT count(*) FROM moz_cookies WHERE keep_host(host)";
    return job;
}

DatabaseJob chromeCookies(const std::string& path) {
    DatabaseJob job;
    job.path = path;
    job.required = {{"cookies", {"host_key"}}};
    job.filtersHosts = true;
    job.steps = {{"cookies", "SELECT count(*) FROM cookies WHERE NOT keep_host(host_key)",
                  "DELETE FROM cookies WHERE NOT keep_host(host_key)"}};
    job.keptCount = "SELECT count(*) FROM cookies WHERE keep_host(host_key)";
    return job;
}

Step wholeTable(const std::string& table, bool counts = true) {
    return {table, "SELECT count(*) FROM " + table, "DELETE FROM " + table, counts};
}

DatabaseJob firefoxPlaces(const BrowserProfile& profile) {
    DatabaseJob job;
    job.path = profile.folder + "places.sqlite";
    job.required = {{"moz_places", {"id", "visit_count", "last_visit_date"}},
                    {"moz_historyvisits", {"place_id"}},
                    {"moz_bookmarks", {"fk"}},
                    {"moz_keywords", {"place_id"}}};
    // A place stays while a bookmark or a keyword uses it.
    const std::string unused = "id NOT IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)";
    job.steps = {
        wholeTable("moz_historyvisits"),
        wholeTable("moz_inputhistory"),
        wholeTable("moz_places_metadata_search_queries", false),
        wholeTable("moz_places_metadata", false),
        {"moz_places",
         "SELECT count(*) FROM moz_places WHERE " + unused +
             " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)",
         "DELETE FROM moz_places WHERE " + unused +
             " AND id NOT IN (SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL)"},
        {"moz_places", "SELECT 0",
         "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL "
         "WHERE visit_count <> 0 OR last_visit_date IS NOT NULL",
         false},
        {"moz_annos", "SELECT 0",
         "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places)", false},
        {"moz_origins", "SELECT 0",
         "DELETE FROM moz_origins WHERE id NOT IN "
         "(SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)",
         false},
    };
    return job;
}

DatabaseJob firefoxForms(const BrowserProfile& profile) {
    DatabaseJob job;
    job.path = profile.folder + "formhistory.sqlite";
    job.required = {{"moz_formhistory", {"fieldname", "value"}}};
    job.steps = {wholeTable("moz_formhistory"), wholeTable("moz_history_to_sources", false),
                 wholeTable("moz_sources", false)};
    return job;
}

DatabaseJob chromeHistory(const BrowserProfile& profile) {
    DatabaseJob job;
    job.path = profile.folder + "History";
    job.required = {{"urls", {"id", "url"}}, {"visits", {"id", "url"}}};
    for (const char* table :
         {"visits", "urls", "keyword_search_terms", "segment_usage", "segments", "visit_source",
          "downloads_url_chains", "downloads", "downloads_slices", "content_annotations",
          "context_annotations", "clusters_and_visits", "clusters", "cluster_keywords",
          "cluster_visit_duplicates", "visited_links"})
        job.steps.push_back(wholeTable(table));
    return job;
}

// The lock files of a running browser, held while it is cleaned.
class HeldLocks {
  public:
    // False when the browser holds one of them.
    bool Take(const std::vector<std::string>& files) {
        for (const std::string& file : files) {
            const HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE)
                held_.push_back(h);
            else if (GetLastError() == ERROR_SHARING_VIOLATION ||
                     GetLastError() == ERROR_LOCK_VIOLATION)
                return false;
        }
        return true;
    }
    ~HeldLocks() {
        for (HANDLE h : held_)
            CloseHandle(h);
    }

  private:
    std::vector<HANDLE> held_;
};

// Opens and locks every database of the part; false when the browser holds one (then none is
// touched). A database that cannot be cleaned gets its note and drops out.
bool openAll(std::vector<DatabaseJob>& jobs, CleaningMode mode, const KeepSite& keep,
             CleaningResult& result) {
    const bool preview = mode == CleaningMode::Preview;
    for (DatabaseJob& job : jobs) {
        std::string problem;
        bool busy = false;
        job.db = BrowserDatabase::Open(job.path, preview, problem, busy);
        if (busy) return false;
        if (!job.db) {
            result.Note(FileNote(job.path, problem));
            continue;
        }
        bool schema = true;
        for (const auto& [table, columns] : job.required)
            schema = schema && job.db->HasColumns(table, columns);
        const std::string check = schema ? job.db->IntegrityCheck(true) : "ok";
        if (job.db->Busy()) return false;
        if (!schema || check != "ok") {
            result.Note(FileNote(job.path, BrowserText(schema ? kTextDamaged : kTextSchema)));
            job.db.reset();
            continue;
        }
        if (!preview && job.db->ReadOnly()) {
            result.Note(FileNote(job.path, BrowserText(kTextReadOnly)));
            job.db.reset();
            continue;
        }
        if (job.filtersHosts)
            job.db->SetHostFilter(keep ? keep : KeepSite([](const std::string&) { return false; }));
        // Held alone from here on, so that the cleaning cannot be refused half-way.
        if (!preview && !job.db->Execute("BEGIN EXCLUSIVE")) {
            if (job.db->Busy()) return false;
            result.Note(FileNote(job.path, job.db->Problem()));
            job.db.reset();
        }
    }
    return true;
}

void cleanDatabase(DatabaseJob& job, CleaningMode mode, CleaningResult& result) {
    BrowserDatabase& db = *job.db;
    const bool preview = mode == CleaningMode::Preview;
    std::uint64_t removed = 0;
    std::uint64_t kept = 0;
    bool ok = true;
    for (const Step& step : job.steps) {
        if (!db.HasTable(step.table)) continue;
        std::int64_t rows = 0;
        if (preview)
            rows = db.Number(step.count);
        else
            ok = db.Execute(step.remove, &rows);
        if (!ok || rows < 0) {
            ok = false;
            break;
        }
        if (step.counts) removed += static_cast<std::uint64_t>(rows);
    }
    if (ok && !job.keptCount.empty()) {
        const std::int64_t rows = db.Number(job.keptCount);
        ok = rows >= 0;
        kept = ok ? static_cast<std::uint64_t>(rows) : 0;
    }
    if (ok && !preview) ok = db.Commit();
    if (!ok) {
        db.Rollback();
        result.Note(FileNote(job.path, db.Problem()));
        return;
    }
    result.removed += removed;
    result.kept += kept;
    if (preview) return;
    // Deleted rows must not stay readable in the file's free pages.
    if (!db.Vacuum() || db.IntegrityCheck(false) != "ok")
        result.Note(
            FileNote(job.path, db.Problem().empty() ? BrowserText(kTextDamaged) : db.Problem()));
}

std::vector<DatabaseJob> jobsFor(const BrowserInstall& install, BrowserPart part) {
    std::vector<DatabaseJob> jobs;
    const bool firefox = install.browser == Browser::Firefox;
    for (const BrowserProfile& profile : install.profiles) {
        std::vector<DatabaseJob> found;
        if (part == BrowserPart::Cookies && firefox) {
            found.push_back(firefoxCookies(profile));
        } else if (part == BrowserPart::Cookies) {
            found.push_back(chromeCookies(profile.folder + "Network\\Cookies"));
            found.push_back(chromeCookies(profile.folder + "Cookies"));
        } else if (part == BrowserPart::History && firefox) {
            found.push_back(firefoxPlaces(profile));
            found.push_back(firefoxForms(profile));
        } else if (part == BrowserPart::History) {
            found.push_back(chromeHistory(profile));
        }
        for (DatabaseJob& job : found)
            if (fileExists(job.path)) jobs.push_back(std::move(job));
    }
    return jobs;
}

} // namespace

CleaningResult CleanBrowser(Browser browser, BrowserPart part, CleaningMode mode,
                            const KeepSite& keep) {
    CleaningResult result;
    const BrowserInstall install = FindBrowser(browser);
    for (const std::string& note : install.notes)
        result.Note(note);
    if (install.profiles.empty()) return result;
    HeldLocks locks;
    if (!locks.Take(install.lockFiles)) {
        result.Note(RunningNote(BrowserName(browser)));
        return result;
    }
    if (part == BrowserPart::Cache) {
        for (const BrowserProfile& profile : install.profiles) {
            ProcessMessages();
            if (browser == Browser::Firefox) {
                if (!profile.cache.empty() && FolderExists(profile.cache))
                    emptyFolder(profile.cache, mode, result);
                continue;
            }
            for (const char* below : {"Cache\\Cache_Data\\", "Code Cache\\", "GPUCache\\"})
                if (FolderExists(profile.cache + below))
                    emptyFolder(profile.cache + below, mode, result);
        }
        return result;
    }
    std::vector<DatabaseJob> jobs = jobsFor(install, part);
    CleaningResult found;
    if (!openAll(jobs, mode, keep, found)) {
        // Every database opened so far closes unchanged (its transaction rolls back).
        jobs.clear();
        result.Note(RunningNote(BrowserName(browser)));
        return result;
    }
    result += found;
    for (DatabaseJob& job : jobs) {
        ProcessMessages();
        if (job.db) cleanDatabase(job, mode, result);
        job.db.reset();
    }
    return result;
}

CleaningResult CleanCurrentBrowsers(BrowserPart part, CleaningMode mode, const KeepSite& keep) {
    CleaningResult result;
    for (Browser browser : {Browser::Firefox, Browser::Chrome, Browser::Edge})
        result += CleanBrowser(browser, part, mode, keep);
    return result;
}
