#include "otherbrowsers/BrowserCleaning.h"

#include "otherbrowsers/BrowserDatabase.h"
#include "otherbrowsers/BrowserStores.h"
#include "otherbrowsers/BrowserTexts.h"
#include "platform/win32.h"
#include "ui/MyTricks.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A Bookmarks file, or a cache's index, is small; anything larger is damage.
constexpr std::uint64_t kBookmarksLimit = 64 << 20;
constexpr std::uint64_t kCacheIndexLimit = 1 << 20;

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool plainFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.substr(0, folder.size() - 1).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// ------------------------------------------------------------------------------------------
// Folders: their contents go, the folders stay.

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

// The websites' caches of a CacheStorage folder, one folder a site, each naming its site in
// its index: a website's folder goes whole; an extension's stays (its worker keeps what it
// needs there, a password manager its vault), and so does one whose index cannot be read.
void cleanSiteCaches(const std::string& caches, CleaningMode mode, CleaningResult& result) {
    if (!plainFolder(caches)) return;
    for (const std::string& name : ListSubfolders(caches)) {
        const std::string site = caches + name + "\\";
        std::string index;
        if (!plainFolder(site) ||
            !ReadBrowserFile(site + "index.txt", kCacheIndexLimit, index).empty() ||
            index.find("chrome-extension://") != std::string::npos)
            continue;
        result += CleanFolderContents(site, mode);
        if (mode == CleaningMode::Remove) RemoveDirectoryA(site.c_str());
    }
}

// ------------------------------------------------------------------------------------------
// Databases: each cleaned by its steps, in one transaction.

struct OpenStore {
    DatabaseStore store;
    std::unique_ptr<BrowserDatabase> db;
};

bool hasAll(BrowserDatabase& db, const std::vector<TableColumns>& tables) {
    return std::all_of(tables.begin(), tables.end(),
                       [&](const TableColumns& t) { return db.HasColumns(t.table, t.columns); });
}

// Opens and locks every database; false when a program holds one (then none is touched). A
// database that cannot be cleaned gets its note and drops out.
bool openAll(std::vector<OpenStore>& jobs, CleaningMode mode, const KeepSite& keep,
             CleaningResult& result) {
    const bool preview = mode == CleaningMode::Preview;
    for (OpenStore& job : jobs) {
        const DatabaseStore& store = job.store;
        std::string problem;
        bool busy = false;
        job.db = BrowserDatabase::Open(store.path, preview, problem, busy);
        if (busy) return false;
        if (!job.db) {
            result.Note(FileNote(store.path, problem));
            continue;
        }
        // A database whose layout holds none of the tables its steps clean is not the one
        // expected, whatever it is.
        bool schema =
            hasAll(*job.db, store.required) &&
            std::any_of(store.steps.begin(), store.steps.end(), [&](const CleaningStep& s) {
                return job.db->HasTable(s.uses.front().table);
            });
        const std::string check = schema ? job.db->IntegrityCheck(true) : "ok";
        if (job.db->Busy()) return false;
        if (!schema || check != "ok") {
            result.Note(FileNote(store.path, BrowserText(schema ? kTextDamaged : kTextSchema)));
            job.db.reset();
            continue;
        }
        if (!preview && job.db->ReadOnly()) {
            result.Note(FileNote(store.path, BrowserText(kTextReadOnly)));
            job.db.reset();
            continue;
        }
        if (store.filtersHosts)
            job.db->SetHostFilter(keep ? keep : KeepSite([](const std::string&) { return false; }));
        // Held alone from here on, so that the cleaning cannot be refused half-way.
        if (!preview && !job.db->Execute("BEGIN EXCLUSIVE")) {
            if (job.db->Busy()) return false;
            result.Note(FileNote(store.path, job.db->Problem()));
            job.db.reset();
        }
    }
    return true;
}

// Folders of bookmarks nest a few levels deep; a file nesting deeper than this is no list of
// bookmarks, and reading it all would only use up the stack.
constexpr int kDeepestBookmark = 256;

// The addresses of the bookmarks in a Chromium Bookmarks file, in folders at any depth up to
// the deepest; false when the file nests deeper.
bool bookmarkedAddresses(const nlohmann::json& node, std::vector<std::string>& pages,
                         int depth = 0) {
    if (depth > kDeepestBookmark) return false;
    if (node.is_object()) {
        const auto url = node.find("url");
        if (url != node.end() && url->is_string()) pages.push_back(url->get<std::string>());
        for (const auto& [key, value] : node.items())
            if (!bookmarkedAddresses(value, pages, depth + 1)) return false;
    } else if (node.is_array()) {
        for (const auto& value : node)
            if (!bookmarkedAddresses(value, pages, depth + 1)) return false;
    }
    return true;
}

// The pages whose icons stay, from the profile's bookmarks; empty `problem` when they could
// be told (a profile without bookmarks keeps none).
std::vector<std::string> keptPages(const DatabaseStore& store, std::vector<OpenStore>& jobs,
                                   std::string& problem) {
    std::vector<std::string> pages;
    if (store.keptPages == KeptPages::BookmarksFile) {
        for (const std::string& file : store.keptFrom) {
            std::string text;
            problem = ReadBrowserFile(file, kBookmarksLimit, text);
            if (problem == "missing") {
                problem.clear();
                continue;
            }
            if (!problem.empty()) return pages;
            const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
            if (!json.is_object() || !json.contains("roots") ||
                !bookmarkedAddresses(json["roots"], pages)) {
                problem = BrowserText(kTextBookmarksUnread);
                return pages;
            }
        }
        return pages;
    }
    const auto places = std::find_if(jobs.begin(), jobs.end(), [&](const OpenStore& j) {
        return j.store.path == store.keptFrom.front();
    });
    if (places == jobs.end()) return pages; // no places: nothing bookmarked
    BrowserDatabase* db = places->db.get();
    std::string query = "SELECT url FROM moz_places WHERE id IN (SELECT fk FROM moz_bookmarks)";
    if (db && db->HasColumns("moz_keywords", {"place_id"}))
        query += " OR id IN (SELECT place_id FROM moz_keywords)";
    if (!db || !db->Texts(query, pages)) problem = BrowserText(kTextBookmarksUnread);
    return pages;
}

void cleanDatabase(OpenStore& job, CleaningMode mode, CleaningResult& result) {
    BrowserDatabase& db = *job.db;
    const DatabaseStore& store = job.store;
    const bool preview = mode == CleaningMode::Preview;
    std::uint64_t removed = 0;
    std::uint64_t kept = 0;
    bool ok = true;
    bool inPart = false;
    for (const CleaningStep& step : store.steps) {
        const bool there = db.HasTable(step.uses.front().table);
        if (!there || !hasAll(db, step.uses)) {
            // A table of some versions only that is not there: nothing to clean. Anything
            // else missing is a layout this cleaning does not know: that step is left.
            inPart = inPart || there || !step.optional;
            continue;
        }
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
    if (ok && !store.keptCount.empty()) {
        const std::int64_t rows = db.Number(store.keptCount);
        ok = rows >= 0;
        kept = ok ? static_cast<std::uint64_t>(rows) : 0;
    }
    if (ok && !preview) ok = db.Commit();
    if (!ok) {
        db.Rollback();
        result.Note(FileNote(store.path, db.Problem()));
        return;
    }
    result.removed += removed;
    result.kept += kept;
    if (inPart) result.Note(PartlyCleanedNote(store.path));
    if (preview) return;
    // Deleted rows must not stay readable in the file's free pages.
    if (!db.Vacuum() || db.IntegrityCheck(false) != "ok")
        result.Note(
            FileNote(store.path, db.Problem().empty() ? BrowserText(kTextDamaged) : db.Problem()));
}

// The lock files of the browsers found, taken for the session; false when a browser holds
// one of its own.
bool takeLocks(const std::vector<std::string>& files, std::vector<HANDLE>& held) {
    std::vector<HANDLE> taken;
    for (const std::string& file : files) {
        const HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            taken.push_back(h);
        } else if (GetLastError() == ERROR_SHARING_VIOLATION ||
                   GetLastError() == ERROR_LOCK_VIOLATION) {
            for (HANDLE t : taken)
                CloseHandle(t);
            return false;
        }
    }
    held.insert(held.end(), taken.begin(), taken.end());
    return true;
}

// Whether a program holds one of the browser's databases, as the browser does while it runs.
bool databaseBusy(const BrowserInstall& install) {
    for (const BrowserProfile& profile : install.profiles)
        for (const std::string& path : DatabasesOf(FamilyOf(install.browser), profile)) {
            if (!fileExists(path)) continue;
            std::string problem;
            bool busy = false;
            BrowserDatabase::Open(path, true, problem, busy);
            if (busy) return true;
        }
    return false;
}

} // namespace

BrowserSession::BrowserSession(CleaningMode mode, const std::vector<Browser>& browsers)
    : mode_(mode) {
    for (Browser browser : kBrowsers) {
        if (!browsers.empty() &&
            std::find(browsers.begin(), browsers.end(), browser) == browsers.end())
            continue;
        Found found{FindBrowser(browser), false};
        if (found.install.profiles.empty() && found.install.notes.empty()) continue;
        found.running = !takeLocks(found.install.lockFiles, held_) || databaseBusy(found.install);
        found_.push_back(std::move(found));
    }
}

BrowserSession::~BrowserSession() {
    for (HANDLE h : held_)
        CloseHandle(h);
}

bool BrowserSession::Running(Browser browser) const {
    return std::any_of(found_.begin(), found_.end(),
                       [&](const Found& f) { return f.install.browser == browser && f.running; });
}

CleaningResult BrowserSession::Clean(Browser browser, BrowserPart part, const KeepSite& keep) {
    CleaningResult result;
    const auto found = std::find_if(found_.begin(), found_.end(),
                                    [&](const Found& f) { return f.install.browser == browser; });
    if (found == found_.end()) return result;
    const BrowserInstall& install = found->install;
    for (const std::string& note : install.notes)
        result.Note(note);
    if (found->running) {
        result.Note(RunningNote(BrowserName(browser)));
        return result;
    }
    std::vector<ProfileStores> stores;
    std::vector<OpenStore> jobs;
    for (const BrowserProfile& profile : install.profiles) {
        stores.push_back(StoresOf(FamilyOf(browser), profile, part));
        for (DatabaseStore& store : stores.back().databases)
            if (fileExists(store.path)) jobs.push_back({std::move(store), nullptr});
    }
    CleaningResult opened;
    if (!openAll(jobs, mode_, keep, opened)) {
        // Every database opened so far closes unchanged (its transaction rolls back), and the
        // browser is left alone from now on.
        jobs.clear();
        found->running = true;
        result.Note(RunningNote(BrowserName(browser)));
        return result;
    }
    result += opened;
    // The pages whose icons stay are told before their bookmarks' database is cleaned.
    for (OpenStore& job : jobs) {
        if (!job.db || job.store.keptPages == KeptPages::None) continue;
        std::string problem;
        const std::vector<std::string> pages = keptPages(job.store, jobs, problem);
        if (!problem.empty()) {
            result.Note(FileNote(job.store.path, problem));
            job.db.reset();
        } else {
            job.db->SetKeptPages(pages);
        }
    }
    for (OpenStore& job : jobs) {
        ProcessMessages();
        if (job.db) cleanDatabase(job, mode_, result);
        job.db.reset();
    }
    for (const ProfileStores& profile : stores) {
        ProcessMessages();
        for (const std::string& file : profile.files)
            if (fileExists(file)) CleanFile(file, mode_, result);
        for (const std::string& folder : profile.folders)
            if (plainFolder(folder)) emptyFolder(folder, mode_, result);
        for (const std::string& caches : profile.siteCaches)
            cleanSiteCaches(caches, mode_, result);
    }
    return result;
}

CleaningResult BrowserSession::CleanAll(BrowserPart part, const KeepSite& keep) {
    CleaningResult result;
    for (const Found& found : found_) {
        const Browser browser = found.install.browser;
        const CleaningResult cleaned = Clean(browser, part, keep);
        if (!Running(browser) && !found.install.profiles.empty())
            result.shares.push_back({BrowserName(browser), cleaned.removed, cleaned.removedBytes,
                                     cleaned.kept, cleaned.notRemoved});
        result += cleaned;
    }
    return result;
}

CleaningResult CleanBrowser(Browser browser, BrowserPart part, CleaningMode mode,
                            const KeepSite& keep) {
    BrowserSession session(mode, {browser});
    return session.Clean(browser, part, keep);
}

CleaningResult CleanCurrentBrowsers(BrowserPart part, CleaningMode mode, const KeepSite& keep) {
    BrowserSession session(mode);
    return session.CleanAll(part, keep);
}
