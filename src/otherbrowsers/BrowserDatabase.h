// A browser's SQLite database, opened through the platform's file calls (a SQLite VFS over
// CreateFileA, ReadFile, WriteFile, LockFileEx and the rest of win32.h), so that the cleanings
// name it by its Windows path and the same code runs over the real Win32 API. Plain logic over
// the platform; the browsers' cleanings use it.
//
// A database is opened in exclusive locking mode: no shared-memory file is needed, a WAL
// database's leftover -wal is read and applied (and folded into the database when it closes),
// and no browser can write it meanwhile. A busy database is waited for a second at most, through
// the platform's clock. Nothing here deletes or replaces the database file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

struct sqlite3;

class BrowserDatabase {
  public:
    // Opens an existing database for reading and writing (or for reading only), after looking
    // at its first bytes and at a -wal beside it. Null on failure, with `problem` the reason as
    // the user reads it (BrowserTexts.h: not a SQLite database or encrypted, damaged, in use,
    // ...); `busy` tells a database that another program holds.
    static std::unique_ptr<BrowserDatabase> Open(const std::string& windowsPath, bool readOnly,
                                                 std::string& problem, bool& busy);
    ~BrowserDatabase();
    BrowserDatabase(const BrowserDatabase&) = delete;
    BrowserDatabase& operator=(const BrowserDatabase&) = delete;

    bool HasTable(const std::string& table);
    // Whether the table has every column named.
    bool HasColumns(const std::string& table, const std::vector<std::string>& columns);
    // The first column of the first row of a query as a number (0 when none), or -1 on error.
    std::int64_t Number(const std::string& sql);
    // The first column of every row of a query as text (NULLs passed over); false on error.
    bool Texts(const std::string& sql, std::vector<std::string>& texts);
    // Runs statements; false on error (Problem() and Busy() say why). `changes` receives the
    // rows the last statement changed.
    bool Execute(const std::string& sql, std::int64_t* changes = nullptr);
    bool Begin();
    bool Commit();
    void Rollback();
    // "ok", or the first problem PRAGMA integrity_check (quick_check when `quick`) names.
    std::string IntegrityCheck(bool quick);
    // Gives the freed pages back, so that deleted rows cannot be read from the file.
    bool Vacuum();
    // The SQL function keep_host(host): whether `keep` keeps the site of a stored host (a
    // leading dot stripped, each host asked once).
    void SetHostFilter(const std::function<bool(const std::string& host)>& keep);
    // The SQL functions kept_page(url), whether the address is one of `pages`, and
    // kept_origin(url), whether it lies on the origin (scheme, host, port) of one of them.
    void SetKeptPages(const std::vector<std::string>& pages);

    // The last error as a phrase, and whether it was a busy or locked database.
    const std::string& Problem() const { return problem_; }
    bool Busy() const { return busy_; }
    bool ReadOnly() const { return readOnly_; }

  private:
    BrowserDatabase() = default;
    bool fail(int code);
    sqlite3* db_ = nullptr;
    std::string problem_;
    bool busy_ = false;
    bool readOnly_ = false;
    std::function<bool(const std::string&)> keep_;
    std::unordered_set<std::string> keptPages_;
    std::unordered_set<std::string> keptOrigins_;
};
