// The platform root: the folder that holds drive C: and platform.db, and the process's one
// connection to that database. Internal to the platform layer and its tool.
#pragma once

#include "platform/hostfs.h"
#include "platform/hostpath.h"
#include "platform/win32_types.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// ${SURFKOLIBRI_PLATFORM}, else ${XDG_DATA_HOME:-$HOME/.local/share}/surfkolibri/platform.
HostPath defaultRootPath();

// Host path of the current root, without a trailing slash. Opening the root on first use
// creates a fresh default machine in it.
const HostPath& rootPath();
const HostPath& driveCPath();

// Re-points the platform at another root (tests and the tool). An empty path means the
// root named by the environment. Closes the current connection.
void useRoot(const HostPath& hostPath);
// How long a call waits for another process's write before it fails with ERROR_BUSY
// (10 s unless a test shortens it).
void setBusyTimeout(int milliseconds);
// Closes the connection so the next call reopens the root.
void closeRoot();
// In a child after fork(): forgets the parent's connection without closing it (closing it
// here would disturb the parent's locks), so the next call opens one of the child's own.
void abandonConnectionAfterFork();

sqlite3* database();

void setLastErrorFromDatabase(DWORD code);

// A failure of platform.db (busy past the timeout, disk full, corrupt, read-only) and the
// Win32 error it becomes. The calls catch it at their edge (see guardedCall), so it never
// reaches the program; the tool reports it.
class DatabaseError : public std::runtime_error {
  public:
    DatabaseError(DWORD code, const std::string& message)
        : std::runtime_error(message), code_(code) {}
    DWORD code() const { return code_; }

  private:
    DWORD code_;
};

// Waits until the files handed to the second thread are unlinked (see
// deleteCacheRowAndFileInBatch).
void finishFileDeletions();

// Runs the body of a step of a URL cache walk: a database failure becomes the call's last
// error and `failure` its result. Files the walk's deletions handed to the second thread
// may still be there.
template <typename Result, typename Body> Result guardedWalkStep(Result failure, Body&& body) {
    try {
        return body();
    } catch (const DatabaseError& e) {
        setLastErrorFromDatabase(e.code());
        return failure;
    }
}
// The same for every other Win32 call, which finds those files gone.
template <typename Result, typename Body> Result guardedCall(Result failure, Body&& body) {
    finishFileDeletions();
    return guardedWalkStep(failure, std::forward<Body>(body));
}
// The same for the registry calls, which return their error instead.
template <typename Body> LSTATUS guardedStatus(Body&& body) {
    try {
        finishFileDeletions();
        return body();
    } catch (const DatabaseError& e) {
        return static_cast<LSTATUS>(e.code());
    }
}

// Opens the root now, and reads every table once. Empty when the root serves, else a message
// that names platform.db and the problem.
std::string rootProblem();
// Whether platform.db was opened for reading only (its file or the root is write-protected).
bool rootIsReadOnly();

// A prepared statement taken from the connection's cache; reset and unbound when it goes.
class Statement {
  public:
    // What a statement may meet of the cache rows a walk has removed: a walk that reads on
    // past the last entry it handed out never meets the rows behind it.
    enum class Reads { AnyRow, AheadOfTheWalk };
    explicit Statement(const char* sql, Reads reads = Reads::AnyRow);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, const std::string& text);
    Statement& bind(int index, const HostPath& path) { return bind(index, path.str()); }
    Statement& bindBlob(int index, const void* data, std::size_t size);
    Statement& bindNull(int index);
    // True while a row is available.
    bool step();
    std::int64_t int64(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;
    // The text or blob in place, valid until the statement steps again or ends.
    std::string_view view(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3_stmt* stmt_;
};

// Tells whether the database changed between two moments, through this connection or
// another process's.
struct ChangeStamp {
    std::int64_t own = -1;
    unsigned int others = 0;
    bool operator==(const ChangeStamp&) const = default;
};
ChangeStamp changeStamp();

void execute(const char* sql);
std::int64_t lastInsertId();
int changes();

// One API call, one transaction: BEGIN IMMEDIATE (waiting for other processes), COMMIT at
// commit(), ROLLBACK when it goes out of scope uncommitted. Nests: inner ones do nothing.
//
// A batchable transaction (the deletions of a cache walk) joins the batch that an open
// WriteBatch keeps: its write (one statement, which SQLite undoes by itself when it fails, so
// a batchable transaction takes no savepoint) becomes part of one shared transaction, which
// commits after
// kBatchedWrites such writes, when the last WriteBatch lets go, when a plain transaction or a
// write outside any transaction begins, and when the root closes. Without a WriteBatch it is a
// plain transaction.
class Transaction {
  public:
    enum Kind { Plain, Batchable };
    explicit Transaction(Kind kind = Plain);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    // Whether it joined a batch.
    bool batched() const;

  private:
    bool owner_ = false;
    bool batched_ = false;
    bool done_ = false;
};

// A batch holds the write lock for some 40 ms of a walk's deletions; each commit writes the
// pages and waits for the files still being unlinked, so fewer commits keep both threads busy.
constexpr int kBatchedWrites = 4096;

// Held while writes come one after another (a cache walk deleting what it finds), so that
// they need not each take the database's write lock and write their pages.
class WriteBatch {
  public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

  private:
    std::uint64_t connection_; // the connection it counts in: a closed root's batch is gone
};

// Commits the open batch now (nothing when none is open or a transaction is running).
void commitWriteBatch();

// Deletes a row of url_cache as part of the batch that the running transaction joined: the
// rows gathered are deleted together, before any other statement of this connection runs and
// before the batch commits, so nothing in this process ever sees them. A cache walk deleting
// entry after entry spends a statement on many rows instead of one each.
void deleteCacheRowInBatch(std::int64_t id);

// The same for a row whose file goes with it: the file (`name` in the open `folder`) is
// unlinked on a second thread while the walk goes on, and the row is gathered once the file
// is gone; a file that cannot be unlinked keeps its row. Every platform call but the walk's
// own steps waits for the files first (see guardedCall), and so does every statement but
// the walk's reading ahead.
void deleteCacheRowAndFileInBatch(std::int64_t id, SharedFd folder, std::string name);

// A number that tells this process's write transactions apart (a batch is one): what a
// caller learnt inside one may be kept until the next begins.
std::uint64_t writeTransactionSerial();

// Whether stored attributes or creation times (tables file_attrs, file_times) may exist for
// anything inside the host folder. False only inside a transaction, when a look found none
// and nothing has written there since: this connection's writes are counted, and no other
// process can write while a transaction holds the database.
bool fileMetadataMayExistIn(std::string_view folder);

// Platform settings, as the tool names them.
std::string setting(const std::string& name);
void setSetting(const std::string& name, const std::string& value);
std::vector<std::string> settingNames();
bool isKnownSetting(const std::string& name);
std::string userName();
bool isAdministrator();
bool wininetPresent();
bool recordShell();
// The clock's offset from the host: seconds with up to three decimals, so that SetSystemTime
// keeps the milliseconds it is given. A database that cannot be read keeps the last one.
std::int64_t clockOffsetMilliseconds();
// The whole seconds of the offset (towards zero).
std::int64_t clockOffsetSeconds();
// "-3600", "86400.25", "0.125": true with the offset in milliseconds; false for anything else
// (more than three decimals, no digits, out of range).
bool parseClockOffset(const std::string& text, std::int64_t& milliseconds);
std::string formatClockOffset(std::int64_t milliseconds);

// A number that changes whenever the machine's configuration (the registry, the platform
// settings) may have changed since it was last asked: at once for this connection's own
// changes and for another root, within a millisecond for other processes' commits (looked for
// at most once a millisecond, as for the clock). Caches of what rarely changes (the shell's
// file classes, the clock offset, the cache's folders, the rights on the all-users Startup
// folder) keep their contents while it stays; changes to the URL cache leave it alone.
std::uint64_t databaseStamp();

// Record mode's log of shell executions and sounds.
struct ShellLogEntry {
    std::string kind; // "execute" or "sound"
    std::string operation;
    std::string target;
    std::string parameters;
    std::string directory;
};
void logShell(const ShellLogEntry& entry);
std::vector<ShellLogEntry> shellLog();
void clearShellLog();

// The program's own file, as a host path (the running executable unless overridden).
void overrideModulePath(const HostPath& hostPath);
HostPath modulePath();

// Writes the registry values and folders of a fresh machine (idempotent).
void createDefaultMachine();

} // namespace platform
