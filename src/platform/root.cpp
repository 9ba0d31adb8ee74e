#include "platform/root.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

namespace fs = std::filesystem;

namespace platform {
namespace {

struct Connection {
    std::string root;
    sqlite3* db = nullptr;
    std::map<std::string, sqlite3_stmt*> statements;
    int transactionDepth = 0;
    bool clockOffsetKnown = false;
    std::int64_t clockOffsetVersion = 0;
    std::int64_t clockOffsetChanges = 0;
    std::chrono::steady_clock::time_point clockOffsetChecked{};
    std::int64_t clockOffset = 0;

    ~Connection() {
        for (auto& [sql, stmt] : statements)
            sqlite3_finalize(stmt);
        if (db) sqlite3_close(db);
    }
};

std::unique_ptr<Connection> g_connection;
std::string g_requestedRoot;
std::string g_modulePathOverride;

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
CREATE TABLE IF NOT EXISTS file_attrs (
    path TEXT PRIMARY KEY,
    ino INTEGER NOT NULL,
    attrs INTEGER NOT NULL);
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

void check(int rc, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const char* message = g_connection && g_connection->db ? sqlite3_errmsg(g_connection->db)
                                                               : sqlite3_errstr(rc);
        throw std::runtime_error(std::string("platform database: ") + what + ": " + message);
    }
}

Connection& connection() {
    if (g_connection) return *g_connection;
    auto conn = std::make_unique<Connection>();
    conn->root = g_requestedRoot.empty() ? defaultRootPath() : g_requestedRoot;
    while (conn->root.size() > 1 && conn->root.back() == '/')
        conn->root.pop_back();
    std::error_code ec;
    fs::create_directories(conn->root + "/drive_c", ec);
    const std::string dbPath = conn->root + "/platform.db";
    const bool fresh = !fs::exists(dbPath);
    if (sqlite3_open_v2(dbPath.c_str(), &conn->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        std::string message = conn->db ? sqlite3_errmsg(conn->db) : "cannot open";
        throw std::runtime_error("platform database " + dbPath + ": " + message);
    }
    sqlite3_busy_timeout(conn->db, 10000);
    sqlite3_exec(conn->db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    g_connection = std::move(conn);
    char* error = nullptr;
    if (sqlite3_exec(g_connection->db, "BEGIN IMMEDIATE", nullptr, nullptr, &error) == SQLITE_OK) {
        sqlite3_exec(g_connection->db, kSchema, nullptr, nullptr, &error);
        sqlite3_exec(g_connection->db, "COMMIT", nullptr, nullptr, nullptr);
    }
    if (error) {
        std::string message = error;
        sqlite3_free(error);
        throw std::runtime_error("platform database schema: " + message);
    }
    if (fresh || setting("initialised") != "yes") createDefaultMachine();
    return *g_connection;
}

} // namespace

std::string defaultRootPath() {
    if (const char* env = std::getenv("SURFKOLIBRI_PLATFORM"); env && *env) return env;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.local/share";
    else
        base = "/tmp";
    return base + "/surfkolibri/platform";
}

const std::string& rootPath() {
    return connection().root;
}
std::string driveCPath() {
    return rootPath() + "/drive_c";
}

void useRoot(const std::string& hostPath) {
    g_connection.reset();
    g_requestedRoot = hostPath;
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

Statement::Statement(const char* sql) {
    Connection& conn = connection();
    auto it = conn.statements.find(sql);
    if (it == conn.statements.end()) {
        sqlite3_stmt* stmt = nullptr;
        check(sqlite3_prepare_v2(conn.db, sql, -1, &stmt, nullptr), sql);
        it = conn.statements.emplace(sql, stmt).first;
    }
    stmt_ = it->second;
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
    const int rc = sqlite3_step(stmt_);
    check(rc, sqlite3_sql(stmt_));
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
    char* error = nullptr;
    const int rc = sqlite3_exec(database(), sql, nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw std::runtime_error("platform database: " + message);
    }
}

std::int64_t lastInsertId() {
    return sqlite3_last_insert_rowid(database());
}
int changes() {
    return sqlite3_changes(database());
}

Transaction::Transaction() {
    Connection& conn = connection();
    owner_ = conn.transactionDepth == 0;
    if (owner_) execute("BEGIN IMMEDIATE");
    ++conn.transactionDepth;
}

Transaction::~Transaction() {
    if (!g_connection) return;
    --g_connection->transactionDepth;
    if (owner_ && !done_) sqlite3_exec(g_connection->db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    if (owner_ && !done_) execute("COMMIT");
    done_ = true;
}

std::string setting(const std::string& name) {
    {
        Statement st("SELECT value FROM settings WHERE name = ?");
        st.bind(1, name);
        if (st.step()) return st.text(0);
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

std::int64_t clockOffsetSeconds() {
    // Every file-time conversion reads the clock, so the stored offset is read again only
    // when the database has changed since. "PRAGMA data_version" sees commits of other
    // processes (the file-control counter does only once a read has begun); the change
    // count sees this connection's own.
    Connection& conn = connection();
    const std::int64_t ownChanges = sqlite3_total_changes64(conn.db);
    // The pragma costs a read transaction, and a walk over the URL cache converts four times
    // per entry: other processes' commits are looked for at most once a millisecond.
    const auto now = std::chrono::steady_clock::now();
    if (conn.clockOffsetKnown && ownChanges == conn.clockOffsetChanges &&
        now - conn.clockOffsetChecked < std::chrono::milliseconds(1))
        return conn.clockOffset;
    conn.clockOffsetChecked = now;
    std::int64_t version = -1;
    {
        Statement st("PRAGMA data_version");
        if (st.step()) version = st.int64(0);
    }
    if (conn.clockOffsetKnown && version == conn.clockOffsetVersion &&
        ownChanges == conn.clockOffsetChanges)
        return conn.clockOffset;
    const std::string value = setting("clock-offset");
    char* end = nullptr;
    const long long offset = std::strtoll(value.c_str(), &end, 10);
    conn.clockOffsetKnown = version >= 0;
    conn.clockOffsetVersion = version;
    conn.clockOffsetChanges = ownChanges;
    conn.clockOffset = end && *end == '\0' ? offset : 0;
    return conn.clockOffset;
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

void overrideModulePath(const std::string& hostPath) {
    g_modulePathOverride = hostPath;
}

std::string modulePath() {
    if (!g_modulePathOverride.empty()) return g_modulePathOverride;
    std::error_code ec;
    const auto self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

} // namespace platform
