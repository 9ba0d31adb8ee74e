#include "platform/root.h"

#include "platform/unlink_queue.h"
#include "platform/win32.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct Connection;
int deletePendingCacheRows(Connection& conn);
void collectUnlinks(Connection& conn, UnlinkQueue::Wait wait);

struct Prepared {
    sqlite3_stmt* stmt = nullptr;
    // Whether it must see the rows a batch has removed gone: it names the cache's table, or
    // it commits.
    bool seesCacheRows = false;
};

struct Connection {
    HostPath root;
    HostPath driveC; // the root's "drive_c", which every path on C: is spelled below
    sqlite3* db = nullptr;
    std::map<std::string, Prepared, std::less<>> statements; // looked up by their text
    int transactionDepth = 0;
    std::uint64_t clockOffsetStamp = 0; // the database stamp the offset was read at
    std::int64_t clockOffset = 0;       // milliseconds
    bool stampKnown = false;
    std::int64_t stampVersion = 0;
    std::int64_t stampChanges = 0;
    std::chrono::steady_clock::time_point stampChecked{};
    std::uint64_t stamp = 0;
    bool readOnly = false;
    // Rows this connection changed in the registry and settings tables: what the machine's
    // configuration is made of.
    std::int64_t configurationChanges = 0;
    // Rows this connection changed in the tables of stored file attributes and times, and
    // what a look at them found (see fileMetadataMayExist).
    std::int64_t metadataChanges = 0;
    std::vector<std::pair<std::string, bool>> metadataLooked; // folder, whether rows may be
    std::int64_t metadataLookedChanges = 0;
    std::uint64_t metadataLookedTransaction = 0;
    std::uint64_t writeTransaction = 0; // the serial of the last write transaction begun
    std::uint64_t serial = 0;           // tells this connection from those before it
    // The shared transaction of batched writes (see WriteBatch).
    int batchHolders = 0;
    bool batchOpen = false;
    int batchedWrites = 0;
    // The ids of cache rows whose entries the batch has removed, which deletePendingCacheRows
    // deletes together (see deleteCacheRowInBatch), and whether it is deleting them now.
    std::vector<std::int64_t> pendingCacheRows;
    bool deletingPending = false;
    // The files of removed cache rows that the second thread unlinks; a row joins
    // pendingCacheRows once its file is gone (see deleteCacheRowAndFileInBatch).
    std::unique_ptr<UnlinkQueue> unlinks;

    ~Connection() {
        // What a batch has written is kept: its files are already gone.
        if (db && batchOpen && transactionDepth == 0) {
            collectUnlinks(*this, UnlinkQueue::Wait::ForAll);
            deletePendingCacheRows(*this);
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        for (auto& [sql, prepared] : statements)
            sqlite3_finalize(prepared.stmt);
        if (db) sqlite3_close(db);
    }
};

std::unique_ptr<Connection> g_connection;
HostPath g_requestedRoot;
HostPath g_modulePathOverride;
int g_busyTimeoutMs = 10000;
// Write transactions begun in this process, on any connection.
std::uint64_t g_writeTransactions = 0;

// The start's check of the whole database reads it through 256 KB: none of it is kept.
const char* const kCheckCacheSize = "PRAGMA cache_size=-256";

void useCacheSizeForBatches(Connection& conn);

// The statement prepared for this text, prepared the first time it is asked for; null with
// the failure in `rc` when it cannot be prepared.
Prepared* preparedFor(Connection& conn, std::string_view sql, int& rc);

// Deletes the cache rows a batch has gathered, a statement for up to kRowsAtOnce of them;
// SQLITE_OK or the first failure. The list is emptied either way: rows that could not be
// deleted stay, as a failed single deletion leaves its row.
constexpr int kRowsAtOnce = 64;

// Rows whose files the second thread has unlinked join the gathered rows; a row whose file
// stayed is left as it is, with its file. ForAll waits for every file handed over.
void collectUnlinks(Connection& conn, UnlinkQueue::Wait wait) {
    if (conn.unlinks) conn.unlinks->collect(wait, conn.pendingCacheRows);
}

int deletePendingCacheRows(Connection& conn) {
    if (conn.pendingCacheRows.empty() || conn.deletingPending) return SQLITE_OK;
    const std::vector<std::int64_t> rows = std::move(conn.pendingCacheRows);
    conn.pendingCacheRows.clear();
    static const std::string sql = [] {
        std::string text = "DELETE FROM url_cache WHERE id IN (?1";
        for (int i = 2; i <= kRowsAtOnce; ++i)
            text += ", ?" + std::to_string(i);
        return text + ")";
    }();
    int rc = SQLITE_OK;
    const Prepared* prepared = preparedFor(conn, sql, rc);
    if (!prepared) return rc;
    sqlite3_stmt* const stmt = prepared->stmt;
    conn.deletingPending = true;
    for (std::size_t first = 0; first < rows.size() && rc == SQLITE_OK; first += kRowsAtOnce) {
        // Places past the last row stay NULL, which matches no row.
        for (int i = 0; i < kRowsAtOnce; ++i)
            if (first + static_cast<std::size_t>(i) < rows.size())
                sqlite3_bind_int64(stmt, i + 1, rows[first + static_cast<std::size_t>(i)]);
            else
                sqlite3_bind_null(stmt, i + 1);
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
        sqlite3_reset(stmt);
    }
    sqlite3_clear_bindings(stmt);
    conn.deletingPending = false;
    return rc;
}

// Raised with each change of the tables below; an existing root at this version is opened
// without taking the write lock.
constexpr int kSchemaVersion = 3;

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS settings (name TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS reg_keys (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    name_key TEXT NOT NULL,
    written INTEGER NOT NULL DEFAULT 0,
    UNIQUE (parent, name_key));
CREATE TABLE IF NOT EXISTS reg_values (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    key_id INTEGER NOT NULL,
    name TEXT NOT NULL,
    name_key TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE (key_id, name_key));
-- Values enumerate in creation order: each RegEnumValueA step finds its row without sorting.
CREATE INDEX IF NOT EXISTS reg_values_order ON reg_values (key_id, id);
CREATE TABLE IF NOT EXISTS file_attrs (
    path TEXT PRIMARY KEY,
    ino INTEGER NOT NULL,
    attrs INTEGER NOT NULL);
-- Creation times set with SetFileTime (ticks since 1601), for the file that had the inode.
CREATE TABLE IF NOT EXISTS file_times (
    path TEXT PRIMARY KEY,
    ino INTEGER NOT NULL,
    created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS shell_log (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    kind TEXT NOT NULL,
    operation TEXT NOT NULL,
    target TEXT NOT NULL,
    parameters TEXT NOT NULL,
    directory TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS url_cache (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    url TEXT NOT NULL UNIQUE,
    container INTEGER NOT NULL,
    type INTEGER NOT NULL,
    local_file TEXT NOT NULL,
    size INTEGER NOT NULL,
    last_modified INTEGER NOT NULL,
    expire INTEGER NOT NULL,
    last_access INTEGER NOT NULL,
    last_sync INTEGER NOT NULL,
    header BLOB NOT NULL,
    extension TEXT NOT NULL,
    use_count INTEGER NOT NULL,
    hit_rate INTEGER NOT NULL,
    exempt_delta INTEGER NOT NULL,
    locked INTEGER NOT NULL DEFAULT 0,
    title TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS url_cache_container ON url_cache (container, id);
INSERT OR IGNORE INTO reg_keys (id, parent, name, name_key) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'HKEY_CLASSES_ROOT'),
    (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE');
PRAGMA user_version = 3;
)sql";

struct SettingInfo {
    const char* name;
    const char* defaultValue;
};
// The order is the order in which the tool lists them.
const SettingInfo kSettings[] = {
    {"user", "User"},          {"admin", "no"},
    {"wininet", "yes"},        {"shell-execute", "launch"},
    {"clock-offset", "0"},     {"short-date", "dd.MM.yyyy"},
    {"long-time", "HH:mm:ss"},
};

DWORD win32ErrorOf(int rc) {
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ERROR_BUSY;
    case SQLITE_FULL:
        return ERROR_DISK_FULL;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
        return ERROR_FILE_CORRUPT;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
        return ERROR_ACCESS_DENIED;
    default:
        return ERROR_GEN_FAILURE;
    }
}

HostPath databasePath(const HostPath& root) {
    return root / "platform.db";
}

[[noreturn]] void fail(int rc, sqlite3* db, const HostPath& root) {
    const std::string problem = (rc & 0xFF) == SQLITE_READONLY ? "the database is read-only"
                                : db                           ? sqlite3_errmsg(db)
                                                               : sqlite3_errstr(rc);
    throw DatabaseError(win32ErrorOf(rc), databasePath(root).str() + ": " + problem);
}

void check(int rc) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const Connection* conn = g_connection.get();
        fail(rc, conn ? conn->db : nullptr, conn ? conn->root : HostPath());
    }
}

// A file or folder that refuses writing, also to a process that could override the mode bits.
bool writeProtected(const HostPath& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 &&
           ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0);
}

int execOn(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// The platform's connection serves one thread (its state around the connection is not shared
// either), so SQLite need not lock it around every call: a cleaning makes hundreds of
// thousands of them.
constexpr int kOneThread = SQLITE_OPEN_NOMUTEX;

// Opens platform.db for reading only: first shared with writers, and where the root cannot
// hold the shared-memory file, as an unchanging file.
sqlite3* openReadOnly(const HostPath& root) {
    const HostPath path = databasePath(root);
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | kOneThread, nullptr);
    if (rc == SQLITE_OK) rc = execOn(db, "SELECT count(*) FROM sqlite_master");
    if (rc == SQLITE_OK) return db;
    sqlite3_close(db);
    db = nullptr;
    const std::string uri = "file:" + path.str() + "?mode=ro&immutable=1";
    rc = sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | kOneThread,
                         nullptr);
    if (rc != SQLITE_OK) {
        const std::string problem = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        throw DatabaseError(win32ErrorOf(rc), path.str() + ": " + problem);
    }
    return db;
}

// Counts the connection's own changes to the machine's configuration.
void noteChange(void* conn, int, const char*, const char* table, sqlite3_int64) {
    if (std::strcmp(table, "reg_values") == 0 || std::strcmp(table, "reg_keys") == 0 ||
        std::strcmp(table, "settings") == 0)
        ++static_cast<Connection*>(conn)->configurationChanges;
    else if (std::strcmp(table, "file_attrs") == 0 || std::strcmp(table, "file_times") == 0)
        ++static_cast<Connection*>(conn)->metadataChanges;
}

Connection& connection() {
    if (g_connection) return *g_connection;
    auto conn = std::make_unique<Connection>();
    static std::uint64_t connections = 0;
    conn->serial = ++connections;
    std::string root = (g_requestedRoot.empty() ? defaultRootPath() : g_requestedRoot).str();
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    conn->root = HostPath(std::move(root));
    conn->driveC = conn->root / "drive_c";
    const HostPath dbPath = databasePath(conn->root);
    const bool fresh = !fs::exists(dbPath.str());
    conn->readOnly = !fresh && (writeProtected(dbPath) || writeProtected(conn->root));
    if (conn->readOnly) {
        conn->db = openReadOnly(conn->root);
    } else {
        std::error_code ec;
        fs::create_directories((conn->root / "drive_c").str(), ec);
        const int rc =
            sqlite3_open_v2(dbPath.c_str(), &conn->db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | kOneThread, nullptr);
        if (rc != SQLITE_OK) fail(rc, conn->db, conn->root);
    }
    sqlite3_busy_timeout(conn->db, g_busyTimeoutMs);
    sqlite3_update_hook(conn->db, noteChange, conn.get());
    if (!conn->readOnly) execOn(conn->db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    // Reading the schema version is the first read: a file that is no database fails here.
    int version = 0;
    {
        sqlite3_stmt* st = nullptr;
        int rc = sqlite3_prepare_v2(conn->db, "PRAGMA user_version", -1, &st, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) version = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW) fail(rc, conn->db, conn->root);
    }
    Connection& opened = *conn;
    g_connection = std::move(conn);
    // Only a root older than the schema (or a new one) takes the write lock here, so that one
    // long writer does not hold up every other process's start.
    if (version < kSchemaVersion && !opened.readOnly) {
        int rc = execOn(opened.db, "BEGIN IMMEDIATE");
        if (rc == SQLITE_OK) {
            rc = execOn(opened.db, kSchema);
            rc = rc == SQLITE_OK ? execOn(opened.db, "COMMIT") : rc;
        }
        if (rc != SQLITE_OK) {
            execOn(opened.db, "ROLLBACK");
            const HostPath root = opened.root;
            DatabaseError error(win32ErrorOf(rc),
                                databasePath(root).str() + ": " + sqlite3_errmsg(opened.db));
            g_connection.reset();
            throw error;
        }
    }
    if (!opened.readOnly && (fresh || setting("initialised") != "yes")) createDefaultMachine();
    return opened;
}

} // namespace

HostPath defaultRootPath() {
    if (const char* env = std::getenv("SURFKOLIBRI_PLATFORM"); env && *env) return HostPath(env);
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return HostPath(base) / "surfkolibri/platform";
}

const HostPath& rootPath() {
    return connection().root;
}
const HostPath& driveCPath() {
    return connection().driveC;
}

void useRoot(const HostPath& hostPath) {
    g_connection.reset();
    g_requestedRoot = hostPath;
}

void setBusyTimeout(int milliseconds) {
    g_busyTimeoutMs = milliseconds;
    if (g_connection) sqlite3_busy_timeout(g_connection->db, milliseconds);
}

void closeRoot() {
    g_connection.reset();
}

void abandonConnectionAfterFork() {
    // Deliberately leaked: the parent still owns the database handle and its statements.
    Connection* inherited = g_connection.release();
    static_cast<void>(inherited);
}

sqlite3* database() {
    return connection().db;
}

void setLastErrorFromDatabase(DWORD code) {
    SetLastError(code);
}

std::string rootProblem() {
    try {
        Connection& conn = connection();
        // Every table read through, so that a truncated or damaged file shows now rather
        // than in the middle of a cleaning; through a small cache, as none of it is kept.
        execOn(conn.db, kCheckCacheSize);
        std::string problem;
        {
            Statement st("PRAGMA quick_check");
            if (st.step() && st.text(0) != "ok")
                problem = databasePath(conn.root).str() + ": the database is damaged (" +
                          st.text(0) + ")";
        }
        useCacheSizeForBatches(conn);
        return problem;
    } catch (const DatabaseError& e) {
        // SQLite names a file it could not make on a full disk an I/O error.
        const HostPath root = g_requestedRoot.empty() ? defaultRootPath() : g_requestedRoot;
        struct statvfs disk {};
        const bool full = e.code() == ERROR_DISK_FULL ||
                          (::statvfs(root.c_str(), &disk) == 0 && disk.f_bavail == 0);
        return std::string(e.what()) + (full ? " (the disk is full)" : "");
    }
}

bool rootIsReadOnly() {
    return connection().readOnly;
}

namespace {

Prepared* preparedFor(Connection& conn, std::string_view sql, int& rc) {
    rc = SQLITE_OK;
    if (const auto it = conn.statements.find(sql); it != conn.statements.end()) return &it->second;
    sqlite3_stmt* stmt = nullptr;
    rc = sqlite3_prepare_v2(conn.db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) return nullptr;
    const bool seesCacheRows = sql.find("url_cache") != std::string_view::npos ||
                               sql.starts_with("COMMIT") || sql.starts_with("END");
    return &conn.statements.emplace(std::string(sql), Prepared{stmt, seesCacheRows}).first->second;
}

// A cache walk reads every entry and deletes through all of them: while a batch is held, up
// to 8 MB of pages (taken as they are needed) keep twenty thousand entries read once and a
// batch of deletions in memory until it commits. Otherwise SQLite's default 2 MB serve.
void useCacheSizeForBatches(Connection& conn) {
    execOn(conn.db, conn.batchHolders > 0 ? "PRAGMA cache_size=-8192" : "PRAGMA cache_size=-2000");
}

} // namespace

Statement::Statement(const char* sql, Reads reads) {
    Connection& conn = connection();
    int rc = SQLITE_OK;
    const Prepared* prepared = preparedFor(conn, sql, rc);
    check(rc);
    // What reads the cache next, or commits, finds the batch's removed rows gone. A walk
    // reading on past its last entry takes the rows whose files are gone so far and leaves
    // the rest to the second thread: it never meets a row it has passed.
    if (prepared->seesCacheRows) {
        collectUnlinks(conn, reads == Reads::AheadOfTheWalk ? UnlinkQueue::Wait::ForNone
                                                            : UnlinkQueue::Wait::ForAll);
        if (!conn.pendingCacheRows.empty()) check(deletePendingCacheRows(conn));
    }
    stmt_ = prepared->stmt;
}

Statement::~Statement() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

Statement& Statement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}
Statement& Statement::bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}
Statement& Statement::bindBlob(int index, const void* data, std::size_t size) {
    sqlite3_bind_blob(stmt_, index, size ? data : "", static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
}
Statement& Statement::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

bool Statement::step() {
    // A write outside any transaction does not wait inside someone's batch.
    if (g_connection && g_connection->batchOpen && g_connection->transactionDepth == 0 &&
        !sqlite3_stmt_readonly(stmt_))
        commitWriteBatch();
    const int rc = sqlite3_step(stmt_);
    check(rc);
    return rc == SQLITE_ROW;
}

std::int64_t Statement::int64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    return p ? std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
             : std::string();
}

std::string_view Statement::view(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
}

std::string Statement::blob(int column) const {
    const void* p = sqlite3_column_blob(stmt_, column);
    const int n = sqlite3_column_bytes(stmt_, column);
    return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string();
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

void execute(const char* sql) {
    commitWriteBatch();
    collectUnlinks(connection(), UnlinkQueue::Wait::ForAll);
    check(deletePendingCacheRows(connection()));
    char* error = nullptr;
    const int rc = sqlite3_exec(database(), sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        sqlite3_free(error);
        check(rc);
    }
}

ChangeStamp changeStamp() {
    sqlite3* db = database();
    ChangeStamp stamp;
    // A gathered row counts as deleted already, and so does one whose file is being
    // unlinked; deleting it later leaves the sum as it is.
    const std::size_t unlinking = g_connection->unlinks ? g_connection->unlinks->outstanding() : 0;
    stamp.own = sqlite3_total_changes64(db) +
                static_cast<std::int64_t>(g_connection->pendingCacheRows.size() + unlinking);
    sqlite3_file_control(db, "main", SQLITE_FCNTL_DATA_VERSION, &stamp.others);
    return stamp;
}

std::int64_t lastInsertId() {
    return sqlite3_last_insert_rowid(database());
}
int changes() {
    return sqlite3_changes(database());
}

Transaction::Transaction(Kind kind) {
    Connection& conn = connection();
    if (conn.transactionDepth == 0) {
        if (conn.readOnly)
            throw DatabaseError(ERROR_ACCESS_DENIED,
                                databasePath(conn.root).str() + ": the database is read-only");
        if (kind == Batchable && conn.batchHolders > 0) {
            if (!conn.batchOpen) {
                Statement("BEGIN IMMEDIATE").step();
                conn.writeTransaction = ++g_writeTransactions;
                conn.batchOpen = true;
                conn.batchedWrites = 0;
            }
            // No savepoint: a batchable transaction writes one statement, which SQLite undoes
            // by itself when it fails, so there is nothing of its own to roll back.
            batched_ = true;
        } else {
            commitWriteBatch();
            // Prepared once: every call of the platform begins and commits one.
            Statement("BEGIN IMMEDIATE").step();
            conn.writeTransaction = ++g_writeTransactions;
            owner_ = true;
        }
    }
    ++conn.transactionDepth;
}

Transaction::~Transaction() {
    if (!g_connection) return;
    --g_connection->transactionDepth;
    if (done_) return;
    if (owner_) sqlite3_exec(g_connection->db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    if (done_) return;
    if (owner_) Statement("COMMIT").step();
    if (batched_) {
        done_ = true;
        Connection& conn = *g_connection;
        if (++conn.batchedWrites >= kBatchedWrites) {
            // The batch is still counted as running until this transaction ends; commit it
            // as the outermost writer does.
            --conn.transactionDepth;
            commitWriteBatch();
            ++conn.transactionDepth;
        }
    }
    done_ = true;
}

bool Transaction::batched() const {
    return batched_;
}

void deleteCacheRowInBatch(std::int64_t id) {
    connection().pendingCacheRows.push_back(id);
}

void deleteCacheRowAndFileInBatch(std::int64_t id, SharedFd folder, std::string name) {
    Connection& conn = connection();
    if (!conn.unlinks) conn.unlinks = std::make_unique<UnlinkQueue>();
    conn.unlinks->add(std::move(folder), std::move(name), id);
}

void finishFileDeletions() {
    if (g_connection) collectUnlinks(*g_connection, UnlinkQueue::Wait::ForAll);
}

std::uint64_t writeTransactionSerial() {
    return connection().writeTransaction;
}

bool fileMetadataMayExistIn(std::string_view folder) {
    Connection& conn = connection();
    // Outside a transaction another process may write at any moment: the caller asks.
    if (conn.transactionDepth == 0 && !conn.batchOpen) return true;
    // What was looked at in this write transaction holds until this connection writes there.
    if (conn.metadataLookedChanges != conn.metadataChanges ||
        conn.metadataLookedTransaction != conn.writeTransaction) {
        conn.metadataLooked.clear();
        conn.metadataLookedChanges = conn.metadataChanges;
        conn.metadataLookedTransaction = conn.writeTransaction;
    }
    for (const auto& [path, mayExist] : conn.metadataLooked)
        if (path == folder) return mayExist;
    // Everything below sorts between "<folder>/" and "<folder>0" ('0' follows '/').
    Statement st("SELECT EXISTS (SELECT 1 FROM file_attrs WHERE path >= ?1 AND path < ?2) "
                 "OR EXISTS (SELECT 1 FROM file_times WHERE path >= ?1 AND path < ?2)");
    const std::string below(folder);
    st.bind(1, below + "/").bind(2, below + "0");
    const bool mayExist = !st.step() || st.int64(0) != 0;
    if (conn.metadataLooked.size() >= 16) conn.metadataLooked.erase(conn.metadataLooked.begin());
    conn.metadataLooked.emplace_back(below, mayExist);
    return mayExist;
}

WriteBatch::WriteBatch() {
    Connection& conn = connection();
    if (conn.batchHolders++ == 0) useCacheSizeForBatches(conn);
    connection_ = conn.serial;
}

WriteBatch::~WriteBatch() {
    if (!g_connection || g_connection->serial != connection_) return;
    if (--g_connection->batchHolders == 0) {
        try {
            commitWriteBatch();
        } catch (const DatabaseError&) {
            // The connection keeps the batch; the next writer or the root's closing commits it.
        }
        useCacheSizeForBatches(*g_connection);
    }
}

void commitWriteBatch() {
    Connection* conn = g_connection.get();
    if (!conn || !conn->batchOpen || conn->transactionDepth != 0) return;
    Statement("COMMIT").step();
    conn->batchOpen = false;
    conn->batchedWrites = 0;
}

std::string setting(const std::string& name) {
    // A database that cannot be read leaves the settings at their defaults (no administrator
    // rights among them); the calls that need the database report its failure themselves.
    try {
        Statement st("SELECT value FROM settings WHERE name = ?");
        st.bind(1, name);
        if (st.step()) return st.text(0);
    } catch (const DatabaseError&) {
    }
    for (const auto& s : kSettings)
        if (name == s.name) return s.defaultValue;
    return {};
}

void setSetting(const std::string& name, const std::string& value) {
    Statement st("INSERT INTO settings (name, value) VALUES (?, ?) "
                 "ON CONFLICT (name) DO UPDATE SET value = excluded.value");
    st.bind(1, name).bind(2, value);
    st.step();
}

std::vector<std::string> settingNames() {
    std::vector<std::string> names;
    for (const auto& s : kSettings)
        names.emplace_back(s.name);
    return names;
}

bool isKnownSetting(const std::string& name) {
    for (const auto& s : kSettings)
        if (name == s.name) return true;
    return false;
}

std::string userName() {
    return setting("user");
}
bool isAdministrator() {
    return setting("admin") == "yes";
}
bool wininetPresent() {
    return setting("wininet") == "yes";
}

bool recordShell() {
    // Tests set this in the environment so that nothing they do can open a browser.
    if (const char* env = std::getenv("SURFKOLIBRI_SHELL_EXECUTE"); env && *env)
        return std::string(env) == "record";
    return setting("shell-execute") == "record";
}

bool parseClockOffset(const std::string& text, std::int64_t& milliseconds) {
    std::size_t i = 0;
    const bool hasSign = !text.empty() && (text[0] == '-' || text[0] == '+');
    if (hasSign) i = 1;
    const bool minus = hasSign && text[0] == '-';
    std::int64_t whole = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        // A year of milliseconds is about 3e10: eleven digits of seconds are plenty.
        if (digits >= 12) return false;
        whole = whole * 10 + (text[i] - '0');
    }
    std::int64_t fraction = 0;
    std::size_t decimals = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++decimals) {
            if (decimals >= 3) return false;
            fraction = fraction * 10 + (text[i] - '0');
        }
        if (decimals == 0) return false;
    }
    if (i != text.size() || digits == 0) return false;
    for (std::size_t d = decimals; d < 3; ++d)
        fraction *= 10;
    const std::int64_t total = whole * 1000 + fraction;
    milliseconds = minus ? -total : total;
    return true;
}

std::string formatClockOffset(std::int64_t milliseconds) {
    const std::int64_t magnitude = milliseconds < 0 ? -milliseconds : milliseconds;
    std::string text = (milliseconds < 0 ? "-" : "") + std::to_string(magnitude / 1000);
    if (const std::int64_t rest = magnitude % 1000; rest != 0) {
        std::string decimals = std::to_string(rest);
        decimals.insert(0, 3 - decimals.size(), '0');
        while (decimals.back() == '0')
            decimals.pop_back();
        text += "." + decimals;
    }
    return text;
}

std::int64_t clockOffsetMilliseconds() {
    // Every file-time conversion reads the clock, so the stored offset is read again only
    // when the database may have changed since.
    try {
        Connection& conn = connection();
        const std::uint64_t stamp = databaseStamp();
        if (conn.clockOffsetStamp != stamp) {
            std::int64_t offset = 0;
            if (!parseClockOffset(setting("clock-offset"), offset)) offset = 0;
            conn.clockOffset = offset;
            conn.clockOffsetStamp = stamp;
        }
        return conn.clockOffset;
    } catch (const DatabaseError&) {
        // The clock keeps running on the offset last read (none before the first read).
        return g_connection ? g_connection->clockOffset : 0;
    }
}

std::int64_t clockOffsetSeconds() {
    return clockOffsetMilliseconds() / 1000;
}

std::uint64_t databaseStamp() {
    // "PRAGMA data_version" sees other processes' commits (the file-control counter does only
    // once a read has begun), the count of this connection's changes to the registry and the
    // settings its own (deleting cache entries changes nothing that is cached on the stamp);
    // the pragma costs a read transaction, so it is asked at most once a millisecond. Stamps
    // are unique across connections, so a cache never outlives the root it read.
    static std::uint64_t s_lastStamp = 0;
    Connection& conn = connection();
    const std::int64_t ownChanges = conn.configurationChanges;
    const auto now = std::chrono::steady_clock::now();
    if (conn.stampKnown && ownChanges == conn.stampChanges &&
        now - conn.stampChecked < std::chrono::milliseconds(1))
        return conn.stamp;
    conn.stampChecked = now;
    std::int64_t version = -1;
    {
        Statement st("PRAGMA data_version");
        if (st.step()) version = st.int64(0);
    }
    if (!conn.stampKnown || version != conn.stampVersion || ownChanges != conn.stampChanges ||
        version < 0) {
        conn.stamp = ++s_lastStamp;
        conn.stampKnown = version >= 0;
        conn.stampVersion = version;
        conn.stampChanges = ownChanges;
    }
    return conn.stamp;
}

void logShell(const ShellLogEntry& entry) {
    Statement st("INSERT INTO shell_log (kind, operation, target, parameters, directory) "
                 "VALUES (?, ?, ?, ?, ?)");
    st.bind(1, entry.kind)
        .bind(2, entry.operation)
        .bind(3, entry.target)
        .bind(4, entry.parameters)
        .bind(5, entry.directory);
    st.step();
}

std::vector<ShellLogEntry> shellLog() {
    std::vector<ShellLogEntry> entries;
    Statement st("SELECT kind, operation, target, parameters, directory FROM shell_log "
                 "ORDER BY id");
    while (st.step())
        entries.push_back({st.text(0), st.text(1), st.text(2), st.text(3), st.text(4)});
    return entries;
}

void clearShellLog() {
    execute("DELETE FROM shell_log");
}

void overrideModulePath(const HostPath& hostPath) {
    g_modulePathOverride = hostPath;
}

HostPath modulePath() {
    if (!g_modulePathOverride.empty()) return g_modulePathOverride;
    std::error_code ec;
    const auto self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? HostPath() : HostPath(self.string());
}

} // namespace platform

std::string HostedMachineProblem() {
    return platform::rootProblem();
}
