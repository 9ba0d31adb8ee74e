#include "platform/urlcache.h"

#include "platform/ansi.h"
#include "platform/files_internal.h"
#include "platform/filetime.h"
#include "platform/hostfs.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace platform::urlcache {
namespace {

// Subfolders of "Content.IE5", as the cache spreads its files over a few of them.
const char* const kContentFolders[] = {"0QK7ZP2M", "A8D3LW1X", "H4T9RB6C", "V2N5GJ0E"};

bool startsWithNoCase(const std::string& text, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    return text.size() >= n && AnsiSameText(text.substr(0, n), prefix);
}

// The folders whose files the cache owns (its own and the cookies'), as full Windows paths
// spelled as configured and in upper case. Every deletion asks; they are read again only when
// the registry or the settings have changed.
struct OwnedFolders {
    std::uint64_t stamp = 0;
    std::vector<std::string> spelled;
    std::vector<std::string> upper;
};

const OwnedFolders& ownedFolders() {
    static OwnedFolders known;
    const std::uint64_t stamp = databaseStamp();
    if (known.stamp != stamp) {
        known.spelled.clear();
        known.upper.clear();
        for (const std::string& folder : {cacheFolder(), cookiesFolder()})
            if (const std::string full = fullWindowsPath(folder); !full.empty()) {
                known.spelled.push_back(full);
                known.upper.push_back(AnsiUpperCase(full));
            }
        known.stamp = stamp;
    }
    return known;
}

bool below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '\\';
}

bool insideOwnedFolder(const std::string& path) {
    const OwnedFolders& owned = ownedFolders();
    const std::string full = fullWindowsPath(path);
    // The cache records its files under its folder as spelled: that comparison settles most.
    for (const std::string& base : owned.spelled)
        if (below(full, base)) return true;
    const std::string upper = AnsiUpperCase(full);
    for (const std::string& base : owned.upper)
        if (below(upper, base)) return true;
    return false;
}

// The folders of the files removed last, kept open for the rest of the write transaction
// that removed them: a walk deletes file after file in the same few folders, and opening a
// folder without following links walks every component of its path. A folder stays open
// while a file in it waits for the second thread.
class OpenFolders {
  public:
    // The folder that holds `host` and the name inside it, opened without links; null with
    // errno telling why when it cannot be opened.
    // `reused` tells a folder opened earlier, which may have been removed since.
    const SharedFd* parentOf(const HostPath& host, std::string& name, bool& reused) {
        reused = false;
        const std::uint64_t transaction = writeTransactionSerial();
        if (transaction != transaction_) {
            folders_.clear();
            transaction_ = transaction;
        }
        const std::string& path = host.str();
        const std::size_t slash = path.find_last_of('/');
        if (slash != std::string::npos && slash + 1 < path.size()) {
            const std::string_view folder(path.data(), slash);
            for (const Kept& f : folders_)
                if (f.path == folder) {
                    name = path.substr(slash + 1);
                    reused = true;
                    return &f.fd;
                }
        }
        ParentFolder parent = openParentNoFollow(host);
        if (!parent.folder.valid()) return nullptr;
        if (folders_.size() >= kKept) folders_.erase(folders_.begin());
        name = std::move(parent.name);
        // Kept under the path's folder part, which the opening walked.
        folders_.push_back({path.substr(0, path.size() - name.size() - 1),
                            std::make_shared<const UniqueFd>(std::move(parent.folder))});
        return &folders_.back().fd;
    }

    void forget() { folders_.clear(); }

  private:
    static constexpr std::size_t kKept = 8;
    struct Kept {
        std::string path;
        SharedFd fd;
    };
    std::uint64_t transaction_ = 0;
    std::vector<Kept> folders_;
};

OpenFolders g_openFolders;

// Deletes an entry's file when the cache owns it: inside the cache's folders and reached
// without a link (an entry that names a file elsewhere must not take the user's file with
// it, nor one that a link inside the cache's folders leads to). A read-only attribute does
// not keep an owned file alive, but a file that cannot be removed keeps its entry, so that
// nothing is left untracked: its error is the result. Given `rowOfTheWalk`, a file whose
// deletion is its unlinking alone goes to the second thread with that row, which is then no
// longer the caller's to delete (`rowHandedOver`).
DWORD removeOwnedFile(const std::string& path, const std::int64_t* rowOfTheWalk,
                      bool& rowHandedOver) {
    rowHandedOver = false;
    if (!insideOwnedFolder(path)) return ERROR_SUCCESS;
    // The steps that find nothing set the last error; a deletion that succeeds leaves the
    // caller's as it was.
    const DWORD callersError = GetLastError();
    const auto done = [callersError] {
        SetLastError(callersError);
        return static_cast<DWORD>(ERROR_SUCCESS);
    };
    // The cache wrote the file under the name it keeps, so the name as spelled is tried first;
    // only when nothing is there are the names looked up ignoring case.
    for (const bool spelled : {true, false}) {
        const Result<HostPath> host = spelled ? spelledHostPath(path) : resolvePath(path);
        if (!host) return done();
        std::string name;
        bool reused = false;
        const SharedFd* folder = g_openFolders.parentOf(*host, name, reused);
        if (!folder) {
            if (errno == ENOENT || errno == ENOTDIR) continue;
            return done(); // behind a link: not the cache's to delete
        }
        if (rowOfTheWalk && files::deletedByUnlinkAlone(**folder, name, *host)) {
            deleteCacheRowAndFileInBatch(*rowOfTheWalk, *folder, std::move(name));
            rowHandedOver = true;
            return done();
        }
        if (files::deleteEntryIn(**folder, name, *host, files::ReadOnlyFile::Delete)) return done();
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return error;
        // A folder opened earlier may have been removed and made anew since: the next look
        // opens it afresh.
        if (reused) g_openFolders.forget();
    }
    return done(); // gone already
}

// The last path segment of a URL, without query or fragment, reduced to characters that a
// file name may hold.
void splitUrlName(const std::string& url, std::string& stem, std::string& ext) {
    std::string path = url.substr(0, url.find_first_of("?#"));
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    const auto scheme = path.find("://");
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (scheme != std::string::npos && path.find('/', scheme + 3) == std::string::npos)
        name.clear(); // a bare host names no file
    for (char& c : name)
        if (std::strchr("\\/:*?\"<>|[]", c) || static_cast<unsigned char>(c) < 32) c = '_';
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        stem = name.substr(0, dot);
        ext = name.substr(dot + 1);
    } else {
        stem = name;
        ext = "htm";
    }
    if (stem.empty()) stem = "index";
    if (stem.size() > 60) stem.resize(60);
}

std::string uniqueFileName(const std::string& folder, const std::string& stem,
                           const std::string& ext) {
    for (int n = 1; n < 10000; ++n) {
        std::string candidate = folder + "\\" + stem + "[" + std::to_string(n) + "]";
        if (!ext.empty()) candidate += "." + ext;
        if (GetFileAttributesA(candidate.c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
    return {};
}

bool makeFolders(const std::string& windowsPath) {
    if (!resolvePath(windowsPath)) return false;
    std::string partial;
    for (std::size_t i = 0; i <= windowsPath.size(); ++i) {
        if (i == windowsPath.size() || windowsPath[i] == '\\') {
            partial = windowsPath.substr(0, i);
            if (partial.size() > 2 && !DirectoryExistsA(partial) &&
                !CreateDirectoryA(partial.c_str(), nullptr))
                return false;
        }
    }
    return true;
}

const char* const kColumns = "id, url, type, local_file, size, last_modified, expire, "
                             "last_access, last_sync, header, extension, use_count, hit_rate, "
                             "exempt_delta, locked, title";

Record recordOf(const Statement& st) {
    Record r;
    r.id = st.int64(0);
    r.url = st.text(1);
    r.type = static_cast<DWORD>(st.int64(2));
    r.localFile = st.text(3);
    r.size = static_cast<std::uint64_t>(st.int64(4));
    r.lastModified = fileTimeOf(static_cast<std::uint64_t>(st.int64(5)));
    r.expire = fileTimeOf(static_cast<std::uint64_t>(st.int64(6)));
    r.lastAccess = fileTimeOf(static_cast<std::uint64_t>(st.int64(7)));
    r.lastSync = fileTimeOf(static_cast<std::uint64_t>(st.int64(8)));
    r.header = st.blob(9);
    r.extension = st.text(10);
    r.useCount = static_cast<DWORD>(st.int64(11));
    r.hitRate = static_cast<DWORD>(st.int64(12));
    r.exemptDelta = static_cast<DWORD>(st.int64(13));
    r.lockCount = static_cast<DWORD>(st.int64(14));
    r.title = st.text(15);
    return r;
}

std::int64_t stored(const FILETIME& time) {
    return static_cast<std::int64_t>(ticksOf(time));
}

} // namespace

Container containerOf(const std::string& url) {
    if (startsWithNoCase(url, "Cookie:")) return Container::Cookies;
    if (startsWithNoCase(url, "Visited:")) return Container::History;
    return Container::Content;
}

void put(const Record& r) {
    Statement st("INSERT INTO url_cache (url, container, type, local_file, size, last_modified, "
                 "expire, last_access, last_sync, header, extension, use_count, hit_rate, "
                 "exempt_delta, locked, title) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
                 "?11, ?12, ?13, ?14, ?15, ?16) ON CONFLICT (url) DO UPDATE SET "
                 "container = ?2, type = ?3, local_file = ?4, size = ?5, last_modified = ?6, "
                 "expire = ?7, last_access = ?8, last_sync = ?9, header = ?10, extension = ?11, "
                 "use_count = ?12, hit_rate = ?13, exempt_delta = ?14, locked = ?15, title = ?16");
    st.bind(1, r.url)
        .bind(2, static_cast<std::int64_t>(containerOf(r.url)))
        .bind(3, static_cast<std::int64_t>(r.type))
        .bind(4, r.localFile)
        .bind(5, static_cast<std::int64_t>(r.size))
        .bind(6, stored(r.lastModified))
        .bind(7, stored(r.expire))
        .bind(8, stored(r.lastAccess))
        .bind(9, stored(r.lastSync))
        .bindBlob(10, r.header.data(), r.header.size())
        .bind(11, r.extension)
        .bind(12, static_cast<std::int64_t>(r.useCount))
        .bind(13, static_cast<std::int64_t>(r.hitRate))
        .bind(14, static_cast<std::int64_t>(r.exemptDelta))
        .bind(15, static_cast<std::int64_t>(r.lockCount))
        .bind(16, r.title);
    st.step();
}

std::optional<Record> get(const std::string& url) {
    static const std::string sql =
        std::string("SELECT ") + kColumns + " FROM url_cache WHERE url = ?";
    Statement st(sql.c_str());
    st.bind(1, url);
    if (!st.step()) return std::nullopt;
    return recordOf(st);
}

std::vector<Record> list(Container container) {
    static const std::string all =
        std::string("SELECT ") + kColumns + " FROM url_cache ORDER BY id";
    static const std::string one =
        std::string("SELECT ") + kColumns + " FROM url_cache WHERE container = ? ORDER BY id";
    std::vector<Record> records;
    Statement st(container == Container::All ? all.c_str() : one.c_str());
    if (container != Container::All) st.bind(1, static_cast<std::int64_t>(container));
    while (st.step())
        records.push_back(recordOf(st));
    return records;
}

std::optional<Record> nextAfter(Container container, std::int64_t afterId) {
    static const std::string all =
        std::string("SELECT ") + kColumns + " FROM url_cache WHERE id > ?1 ORDER BY id LIMIT 1";
    static const std::string one = std::string("SELECT ") + kColumns +
                                   " FROM url_cache WHERE container = ?2 AND id > ?1 "
                                   "ORDER BY id LIMIT 1";
    Statement st(container == Container::All ? all.c_str() : one.c_str());
    st.bind(1, afterId);
    if (container != Container::All) st.bind(2, static_cast<std::int64_t>(container));
    if (!st.step()) return std::nullopt;
    return recordOf(st);
}

bool lock(const std::string& url) {
    Statement st("UPDATE url_cache SET locked = locked + 1 WHERE url = ?");
    st.bind(1, url);
    st.step();
    return changes() > 0;
}

bool unlock(const std::string& url) {
    Transaction tx;
    bool pendingDelete = false;
    {
        Statement st("SELECT locked, type FROM url_cache WHERE url = ?");
        st.bind(1, url);
        if (!st.step() || st.int64(0) <= 0) return false;
        pendingDelete = st.int64(0) == 1 && (st.int64(1) & PENDING_DELETE_CACHE_ENTRY);
    }
    {
        Statement st("UPDATE url_cache SET locked = locked - 1 WHERE url = ?");
        st.bind(1, url);
        st.step();
    }
    if (pendingDelete) remove(url);
    tx.commit();
    return true;
}

bool setSize(const std::string& url, std::uint64_t size) {
    Statement st("UPDATE url_cache SET size = ? WHERE url = ?");
    st.bind(1, static_cast<std::int64_t>(size)).bind(2, url);
    st.step();
    return changes() > 0;
}

bool setTitle(const std::string& url, const std::string& title) {
    Statement st("UPDATE url_cache SET title = ? WHERE url = ?");
    st.bind(1, title).bind(2, url);
    st.step();
    return changes() > 0;
}

namespace {

Removal g_lastRemoval;

// A locked entry is only marked: it goes when its last lock is released.
DWORD markPendingDelete(Transaction& tx, std::int64_t id) {
    Statement mark("UPDATE url_cache SET type = type | ? WHERE id = ?");
    mark.bind(1, PENDING_DELETE_CACHE_ENTRY).bind(2, id);
    mark.step();
    tx.commit();
    return ERROR_ACCESS_DENIED;
}

} // namespace

const Removal& lastRemoval() {
    return g_lastRemoval;
}

DWORD remove(const std::string& url, const Record* walked, ChangeStamp readAt, Walks walks) {
    Transaction tx(Transaction::Batchable);
    std::int64_t id = 0;
    std::string lookedUp;
    const std::string* localFile = &lookedUp;
    bool handedOut = false;
    // The transaction has begun: the stamp counts every commit before it.
    const ChangeStamp before = changeStamp();
    if (walked && walked->url == url && readAt == before) {
        // Nothing has changed since the walk read the entry: what it read still holds.
        id = walked->id;
        localFile = &walked->localFile;
        handedOut = true;
        if (walked->lockCount > 0) return markPendingDelete(tx, id);
    } else {
        Statement st("SELECT id, local_file, locked FROM url_cache WHERE url = ?");
        st.bind(1, url);
        if (!st.step()) return ERROR_FILE_NOT_FOUND;
        id = st.int64(0);
        lookedUp = st.text(1);
        if (st.int64(2) > 0) return markPendingDelete(tx, id);
    }
    // The entry the only walk has just handed out lies behind it: its row may wait for its
    // file, which the second thread unlinks while the walk goes on.
    const bool mayWait = tx.batched() && handedOut && walks == Walks::OnlyThisOne;
    bool rowHandedOver = false;
    if (!localFile->empty()) {
        if (const DWORD error = removeOwnedFile(*localFile, mayWait ? &id : nullptr, rowHandedOver);
            error != ERROR_SUCCESS)
            return error;
    }
    if (!rowHandedOver && tx.batched()) {
        deleteCacheRowInBatch(id);
    } else if (!rowHandedOver) {
        Statement st("DELETE FROM url_cache WHERE id = ?");
        st.bind(1, id);
        st.step();
    }
    tx.commit();
    g_lastRemoval = {id, before, changeStamp(), true};
    return ERROR_SUCCESS;
}

std::string cacheFolder() {
    return userShellFolder("Cache");
}

std::string cookiesFolder() {
    return userShellFolder("Cookies");
}

std::string storeContentFile(const std::string& url, const std::string& data) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : url)
        hash = (hash ^ c) * 16777619u;
    const std::string folder =
        cacheFolder() + "\\Content.IE5\\" + kContentFolders[hash % std::size(kContentFolders)];
    if (!makeFolders(folder)) return {};
    std::string stem;
    std::string ext;
    splitUrlName(url, stem, ext);
    const std::string path = uniqueFileName(folder, stem, ext);
    if (path.empty() || !WriteWholeFile(path, data)) return {};
    return path;
}

std::string storeCookieFile(const std::string& user, const std::string& domain,
                            const std::string& text) {
    const std::string folder = cookiesFolder();
    if (!makeFolders(folder)) return {};
    std::string stem = user + "@" + domain;
    for (char& c : stem)
        if (std::strchr("\\/:*?\"<>|[]", c) || static_cast<unsigned char>(c) < 32) c = '_';
    const std::string path = uniqueFileName(folder, stem, "txt");
    if (path.empty() || !WriteWholeFile(path, text)) return {};
    return path;
}

} // namespace platform::urlcache
