#include "otherbrowsers/BrowserDatabase.h"

#include "otherbrowsers/BrowserTexts.h"
#include "platform/win32.h"

#include <sqlite3.h>

#include <cstring>
#include <map>
#include <random>

namespace {

// ---------------------------------------------------------------------------------------------
// The VFS: SQLite's files as handles of the platform's file calls, locked as SQLite locks them
// on Windows (the pending, reserved and shared bytes at 1 GiB), so that a browser using SQLite
// on the same file sees our locks and we see its.

constexpr const char* kVfsName = "surfkolibri-win32";
constexpr std::uint64_t kPendingByte = 0x40000000;
constexpr std::uint64_t kReservedByte = kPendingByte + 1;
constexpr std::uint64_t kSharedFirst = kPendingByte + 2;
constexpr DWORD kSharedSize = 510;

struct PlatformFile {
    sqlite3_file base;
    HANDLE handle;
    int lock;
    // A WAL database read without its log (there is none): its header is shown as a rollback
    // database's, so that reading it makes no -wal file.
    bool rollbackView;
};

// Set while a database is opened that is to be read as a rollback database.
thread_local bool openAsRollbackView = false;

OVERLAPPED at(std::uint64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

bool lockRange(HANDLE h, std::uint64_t offset, DWORD length, bool exclusive) {
    OVERLAPPED o = at(offset);
    return LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0), 0,
                      length, 0, &o);
}
bool unlockRange(HANDLE h, std::uint64_t offset, DWORD length) {
    OVERLAPPED o = at(offset);
    return UnlockFileEx(h, 0, length, 0, &o);
}

PlatformFile* fileOf(sqlite3_file* f) {
    return reinterpret_cast<PlatformFile*>(f);
}

int xClose(sqlite3_file* f) {
    PlatformFile* file = fileOf(f);
    if (file->handle != INVALID_HANDLE_VALUE) CloseHandle(file->handle);
    file->handle = INVALID_HANDLE_VALUE;
    return SQLITE_OK;
}

int xRead(sqlite3_file* f, void* buffer, int amount, sqlite3_int64 offset) {
    OVERLAPPED o = at(static_cast<std::uint64_t>(offset));
    DWORD done = 0;
    if (!ReadFile(fileOf(f)->handle, buffer, static_cast<DWORD>(amount), &done, &o)) {
        if (GetLastError() != ERROR_HANDLE_EOF) return SQLITE_IOERR_READ;
        done = 0;
    }
    if (done < static_cast<DWORD>(amount)) {
        std::memset(static_cast<char*>(buffer) + done, 0, static_cast<std::size_t>(amount) - done);
        return SQLITE_IOERR_SHORT_READ;
    }
    if (fileOf(f)->rollbackView && offset == 0 && amount >= 20) {
        static_cast<unsigned char*>(buffer)[18] = 1;
        static_cast<unsigned char*>(buffer)[19] = 1;
    }
    return SQLITE_OK;
}

int xWrite(sqlite3_file* f, const void* buffer, int amount, sqlite3_int64 offset) {
    OVERLAPPED o = at(static_cast<std::uint64_t>(offset));
    DWORD done = 0;
    if (!WriteFile(fileOf(f)->handle, buffer, static_cast<DWORD>(amount), &done, &o) ||
        done != static_cast<DWORD>(amount))
        return GetLastError() == ERROR_DISK_FULL ? SQLITE_FULL : SQLITE_IOERR_WRITE;
    return SQLITE_OK;
}

int xTruncate(sqlite3_file* f, sqlite3_int64 size) {
    LARGE_INTEGER to{};
    to.QuadPart = size;
    const HANDLE h = fileOf(f)->handle;
    return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) && SetEndOfFile(h) ? SQLITE_OK
                                                                           : SQLITE_IOERR_TRUNCATE;
}

int xSync(sqlite3_file* f, int) {
    return FlushFileBuffers(fileOf(f)->handle) ? SQLITE_OK : SQLITE_IOERR_FSYNC;
}

int xFileSize(sqlite3_file* f, sqlite3_int64* size) {
    LARGE_INTEGER s{};
    if (!GetFileSizeEx(fileOf(f)->handle, &s)) return SQLITE_IOERR_FSTAT;
    *size = s.QuadPart;
    return SQLITE_OK;
}

// SQLite's lock levels over the lock bytes, in the order SQLite takes them on Windows.
int xLock(sqlite3_file* f, int level) {
    PlatformFile* file = fileOf(f);
    const HANDLE h = file->handle;
    if (file->lock >= level) return SQLITE_OK;
    int reached = file->lock;
    bool pending = false;
    if (level == SQLITE_LOCK_SHARED ||
        (level == SQLITE_LOCK_EXCLUSIVE && file->lock < SQLITE_LOCK_PENDING)) {
        if (!lockRange(h, kPendingByte, 1, true)) return SQLITE_BUSY;
        pending = true;
    }
    int rc = SQLITE_OK;
    if (level == SQLITE_LOCK_SHARED) {
        if (lockRange(h, kSharedFirst, kSharedSize, false))
            reached = SQLITE_LOCK_SHARED;
        else
            rc = SQLITE_BUSY;
    }
    if (rc == SQLITE_OK && level == SQLITE_LOCK_RESERVED) {
        if (lockRange(h, kReservedByte, 1, true))
            reached = SQLITE_LOCK_RESERVED;
        else
            rc = SQLITE_BUSY;
    }
    if (rc == SQLITE_OK && level == SQLITE_LOCK_EXCLUSIVE) {
        reached = SQLITE_LOCK_PENDING;
        pending = false; // kept while exclusive
        unlockRange(h, kSharedFirst, kSharedSize);
        if (lockRange(h, kSharedFirst, kSharedSize, true)) {
            reached = SQLITE_LOCK_EXCLUSIVE;
        } else {
            lockRange(h, kSharedFirst, kSharedSize, false);
            rc = SQLITE_BUSY;
        }
    }
    if (pending && level == SQLITE_LOCK_SHARED) unlockRange(h, kPendingByte, 1);
    file->lock = reached;
    return rc;
}

int xUnlock(sqlite3_file* f, int level) {
    PlatformFile* file = fileOf(f);
    const HANDLE h = file->handle;
    const int held = file->lock;
    int rc = SQLITE_OK;
    if (held >= SQLITE_LOCK_EXCLUSIVE) {
        unlockRange(h, kSharedFirst, kSharedSize);
        if (level == SQLITE_LOCK_SHARED && !lockRange(h, kSharedFirst, kSharedSize, false))
            rc = SQLITE_IOERR_UNLOCK;
    }
    if (held >= SQLITE_LOCK_RESERVED) unlockRange(h, kReservedByte, 1);
    if (level == SQLITE_LOCK_NONE && held >= SQLITE_LOCK_SHARED && held < SQLITE_LOCK_EXCLUSIVE)
        unlockRange(h, kSharedFirst, kSharedSize);
    if (held >= SQLITE_LOCK_PENDING) unlockRange(h, kPendingByte, 1);
    file->lock = level;
    return rc;
}

int xCheckReservedLock(sqlite3_file* f, int* result) {
    PlatformFile* file = fileOf(f);
    if (file->lock >= SQLITE_LOCK_RESERVED) {
        *result = 1;
        return SQLITE_OK;
    }
    if (lockRange(file->handle, kReservedByte, 1, false)) {
        unlockRange(file->handle, kReservedByte, 1);
        *result = 0;
    } else {
        *result = 1;
    }
    return SQLITE_OK;
}

int xFileControl(sqlite3_file*, int, void*) {
    return SQLITE_NOTFOUND;
}
int xSectorSize(sqlite3_file*) {
    return 4096;
}
int xDeviceCharacteristics(sqlite3_file*) {
    return SQLITE_IOCAP_UNDELETABLE_WHEN_OPEN;
}

const sqlite3_io_methods kMethods = {
    1, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock, xCheckReservedLock,
    xFileControl, xSectorSize, xDeviceCharacteristics,
    // Version 1: no shared memory. WAL databases open in exclusive locking mode only.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

HANDLE openHandle(const char* name, bool write, DWORD disposition) {
    return CreateFileA(name, write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int xOpen(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
    PlatformFile* file = fileOf(f);
    file->base.pMethods = nullptr;
    file->handle = INVALID_HANDLE_VALUE;
    file->lock = SQLITE_LOCK_NONE;
    file->rollbackView = openAsRollbackView && (flags & SQLITE_OPEN_MAIN_DB);
    // Temporary files stay in memory (temp_store), so every file has a name.
    if (!name) return SQLITE_CANTOPEN;
    const bool write = flags & SQLITE_OPEN_READWRITE;
    DWORD disposition = OPEN_EXISTING;
    if (flags & SQLITE_OPEN_CREATE)
        disposition = (flags & SQLITE_OPEN_EXCLUSIVE) ? CREATE_NEW : OPEN_ALWAYS;
    HANDLE h = openHandle(name, write, disposition);
    int opened = flags;
    if (h == INVALID_HANDLE_VALUE && write && GetLastError() == ERROR_ACCESS_DENIED &&
        !(flags & SQLITE_OPEN_CREATE)) {
        // A file marked read-only is read, as SQLite does on Windows.
        h = openHandle(name, false, OPEN_EXISTING);
        opened = (flags & ~SQLITE_OPEN_READWRITE) | SQLITE_OPEN_READONLY;
    }
    if (h == INVALID_HANDLE_VALUE) return SQLITE_CANTOPEN;
    file->handle = h;
    file->base.pMethods = &kMethods;
    if (outFlags) *outFlags = opened;
    return SQLITE_OK;
}

int xDelete(sqlite3_vfs*, const char* name, int) {
    if (DeleteFileA(name)) return SQLITE_OK;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? SQLITE_IOERR_DELETE_NOENT
               : SQLITE_IOERR_DELETE;
}

int xAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(name, &data);
    if (find == INVALID_HANDLE_VALUE) {
        *result = 0;
        return SQLITE_OK;
    }
    FindClose(find);
    if (flags == SQLITE_ACCESS_READWRITE)
        *result = !(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    else // an empty journal or WAL is none, as on Windows
        *result = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeLow ||
                  data.nFileSizeHigh;
    return SQLITE_OK;
}

int xFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    const std::size_t length = std::strlen(name);
    if (length + 1 > static_cast<std::size_t>(size)) return SQLITE_CANTOPEN;
    std::memcpy(out, name, length + 1);
    return SQLITE_OK;
}

int xRandomness(sqlite3_vfs*, int size, char* out) {
    std::random_device device;
    for (int i = 0; i < size; ++i)
        out[i] = static_cast<char>(device());
    return size;
}

int xSleep(sqlite3_vfs*, int microseconds) {
    Sleep(static_cast<DWORD>((microseconds + 999) / 1000));
    return microseconds;
}

int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const std::uint64_t ticks = (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
    // Milliseconds since the Julian day 0 of 1601-01-01.
    *now = static_cast<sqlite3_int64>(ticks / 10000) + 199222286400000LL;
    return SQLITE_OK;
}

int xCurrentTime(sqlite3_vfs* vfs, double* now) {
    sqlite3_int64 ms = 0;
    xCurrentTimeInt64(vfs, &ms);
    *now = static_cast<double>(ms) / 86400000.0;
    return SQLITE_OK;
}

int xGetLastError(sqlite3_vfs*, int, char*) {
    return 0;
}

const char* registeredVfs() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs v{};
        v.iVersion = 2;
        v.szOsFile = sizeof(PlatformFile);
        v.mxPathname = MAX_PATH * 4;
        v.zName = kVfsName;
        v.xOpen = xOpen;
        v.xDelete = xDelete;
        v.xAccess = xAccess;
        v.xFullPathname = xFullPathname;
        v.xRandomness = xRandomness;
        v.xSleep = xSleep;
        v.xCurrentTime = xCurrentTime;
        v.xGetLastError = xGetLastError;
        v.xCurrentTimeInt64 = xCurrentTimeInt64;
        sqlite3_vfs_register(&v, 0);
        return v;
    }();
    return vfs.zName;
}

// ---------------------------------------------------------------------------------------------
// What the first bytes tell before SQLite reads anything.

std::uint32_t bigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

// Reads up to `size` bytes from the start of a file (sharing it with everyone); false when it
// cannot be opened.
bool readStart(const std::string& path, std::string& bytes, DWORD size, std::uint64_t* total) {
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bytes.assign(size, '\0');
    DWORD done = 0;
    const bool ok = ReadFile(h, bytes.data(), size, &done, nullptr);
    LARGE_INTEGER length{};
    if (total) *total = GetFileSizeEx(h, &length) ? static_cast<std::uint64_t>(length.QuadPart) : 0;
    CloseHandle(h);
    bytes.resize(ok ? done : 0);
    return ok;
}

// WAL checksums: pairs of 32-bit words, big- or little-endian as the header's magic says.
void walChecksum(bool big, const unsigned char* data, std::size_t size, std::uint32_t& s0,
                 std::uint32_t& s1) {
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::uint32_t x0 =
            big ? bigEndian(data + i)
                : (std::uint32_t{data[i + 3]} << 24 | std::uint32_t{data[i + 2]} << 16 |
                   std::uint32_t{data[i + 1]} << 8 | data[i]);
        std::uint32_t x1 =
            big ? bigEndian(data + i + 4)
                : (std::uint32_t{data[i + 7]} << 24 | std::uint32_t{data[i + 6]} << 16 |
                   std::uint32_t{data[i + 5]} << 8 | data[i + 4]);
        s0 += x0 + s1;
        s1 += x1 + s0;
    }
}

// Empty when a -wal may be applied; else why not. A header SQLite would not take, or a first
// frame of the current log whose checksum fails, is damage that applying would lose.
std::string walProblem(const std::string& wal) {
    std::string bytes;
    std::uint64_t size = 0;
    if (!readStart(wal, bytes, 32, &size)) return {};
    if (size == 0) return {};
    if (bytes.size() < 32) return BrowserText(kTextWalDamaged);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::uint32_t magic = bigEndian(p);
    const std::uint32_t pageSize = bigEndian(p + 8);
    const bool validPage =
        pageSize == 1 || (pageSize >= 512 && pageSize <= 65536 && (pageSize & (pageSize - 1)) == 0);
    if ((magic & ~1u) != 0x377f0682u || bigEndian(p + 4) != 3007000u || !validPage)
        return BrowserText(kTextWalDamaged);
    const bool big = magic & 1u;
    std::uint32_t s0 = 0;
    std::uint32_t s1 = 0;
    walChecksum(big, p, 24, s0, s1);
    if (s0 != bigEndian(p + 24) || s1 != bigEndian(p + 28)) return BrowserText(kTextWalDamaged);
    const std::uint32_t page = pageSize == 1 ? 65536 : pageSize;
    if (size < 32 + 24 + page) return {};
    std::string frame;
    if (!readStart(wal, frame, 32 + 24 + page, nullptr) || frame.size() < 32 + 24 + page)
        return BrowserText(kTextWalDamaged);
    const auto* fp = reinterpret_cast<const unsigned char*>(frame.data()) + 32;
    // Frames with other salts are left over from before the log was last reset: not applied.
    if (std::memcmp(fp + 8, p + 16, 8) != 0) return {};
    walChecksum(big, fp, 8, s0, s1);
    walChecksum(big, fp + 24, page, s0, s1);
    if (s0 != bigEndian(fp + 16) || s1 != bigEndian(fp + 20)) return BrowserText(kTextWalDamaged);
    return {};
}

// Waits for a busy database a second at most, on the platform's clock.
int busyWait(void* start, int count) {
    auto* since = static_cast<ULONGLONG*>(start);
    if (count == 0) *since = GetTickCount64();
    if (GetTickCount64() - *since >= 1000) return 0;
    Sleep(50);
    return 1;
}

void keepHost(sqlite3_context* context, int, sqlite3_value** values) {
    auto* keep = static_cast<std::function<bool(const std::string&)>*>(sqlite3_user_data(context));
    const unsigned char* text = sqlite3_value_text(values[0]);
    std::string host = text ? reinterpret_cast<const char*>(text) : "";
    if (!host.empty() && host[0] == '.') host.erase(0, 1);
    sqlite3_result_int(context, (*keep)(host) ? 1 : 0);
}

// "https://host:port" of an address, or the whole text when it names no scheme.
std::string originOf(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) return url;
    return url.substr(0, url.find_first_of("/?#", scheme + 3));
}

// kept_page and kept_origin: whether the text is in the set the function was made with.
void inSet(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* set =
        static_cast<const std::unordered_set<std::string>*>(sqlite3_user_data(context));
    const unsigned char* text = sqlite3_value_text(values[0]);
    sqlite3_result_int(context, text && set->count(reinterpret_cast<const char*>(text)) ? 1 : 0);
}

void originInSet(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* set =
        static_cast<const std::unordered_set<std::string>*>(sqlite3_user_data(context));
    const unsigned char* text = sqlite3_value_text(values[0]);
    sqlite3_result_int(context,
                       text && set->count(originOf(reinterpret_cast<const char*>(text))) ? 1 : 0);
}

} // namespace

std::unique_ptr<BrowserDatabase> BrowserDatabase::Open(const std::string& windowsPath,
                                                       bool readOnly, std::string& problem,
                                                       bool& busy) {
    busy = false;
    problem.clear();
    std::string header;
    std::uint64_t size = 0;
    if (!readStart(windowsPath, header, 100, &size)) {
        const DWORD error = GetLastError();
        busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        problem = BrowserText(busy ? kTextInUse : kTextUnreadable);
        return nullptr;
    }
    if (size == 0) {
        problem = BrowserText(kTextEmpty);
        return nullptr;
    }
    if (header.size() < 100 || header.compare(0, 16, std::string("SQLite format 3\0", 16)) != 0) {
        problem = BrowserText(kTextNotSqlite);
        return nullptr;
    }
    // A database in WAL mode (read and write versions 2) may have a log to apply.
    if (header[18] == 2 && header[19] == 2) {
        problem = walProblem(windowsPath + "-wal");
        if (!problem.empty()) return nullptr;
    }
    // Reading only: a WAL database without a log is read as it lies (SQLite would make a log
    // to read it), one with a log reads the log and leaves it for the browser to fold in.
    bool rollbackView = false;
    if (readOnly && header[18] == 2 && header[19] == 2) {
        std::string wal;
        std::uint64_t walSize = 0;
        rollbackView = !readStart(windowsPath + "-wal", wal, 1, &walSize) || walSize == 0;
    }
    // A journal left by a browser that ended in the middle of a change is rolled back by the
    // first reader that may write, as the browser would at its next start and the cleaning
    // does: reading only would see the half-made change (or nothing at all), and count what
    // the cleaning will not find. So such a database is opened for writing even to be read;
    // the rollback is all that is written.
    std::string journal;
    std::uint64_t journalSize = 0;
    const bool hotJournal = readOnly && !(header[18] == 2 && header[19] == 2) &&
                            readStart(windowsPath + "-journal", journal, 1, &journalSize) &&
                            journalSize > 0 && journal[0] != '\0';
    std::unique_ptr<BrowserDatabase> db(new BrowserDatabase());
    const int flags = readOnly && !hotJournal ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    openAsRollbackView = rollbackView;
    const int opened = sqlite3_open_v2(windowsPath.c_str(), &db->db_, flags, registeredVfs());
    openAsRollbackView = false;
    if (readOnly && db->db_)
        sqlite3_db_config(db->db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (opened != SQLITE_OK) {
        db->fail(sqlite3_errcode(db->db_));
        problem = db->problem_;
        return nullptr;
    }
    static thread_local ULONGLONG busySince = 0;
    sqlite3_busy_handler(db->db_, busyWait, &busySince);
    sqlite3_extended_result_codes(db->db_, 1);
    // Before anything is read: the lock is taken once and kept, and no temporary file is made.
    // The first read applies a leftover journal or log.
    if (!db->Execute("PRAGMA locking_mode=EXCLUSIVE; PRAGMA temp_store=MEMORY;") ||
        db->Number("SELECT count(*) FROM sqlite_master") < 0) {
        problem = db->problem_;
        busy = db->busy_;
        return nullptr;
    }
    db->readOnly_ = readOnly || sqlite3_db_readonly(db->db_, "main") == 1;
    return db;
}

BrowserDatabase::~BrowserDatabase() {
    if (db_) sqlite3_close_v2(db_);
}

bool BrowserDatabase::fail(int code) {
    busy_ = false;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        busy_ = true;
        problem_ = BrowserText(kTextInUse);
        break;
    case SQLITE_NOTADB:
        problem_ = BrowserText(kTextNotSqlite);
        break;
    case SQLITE_CORRUPT:
        problem_ = BrowserText(kTextDamaged);
        break;
    case SQLITE_READONLY:
        problem_ = BrowserText(kTextReadOnly);
        break;
    case SQLITE_CANTOPEN:
        problem_ = BrowserText(kTextUnreadable);
        break;
    case SQLITE_FULL:
        problem_ = BrowserText(kTextUnreadable);
        break;
    case SQLITE_IOERR:
        problem_ = BrowserText(kTextUnreadable);
        break;
    default:
        problem_ = std::string("failed: ") + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
        break;
    }
    return false;
}

bool BrowserDatabase::HasTable(const std::string& table) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", -1,
                           &st, nullptr) != SQLITE_OK)
        return fail(sqlite3_errcode(db_));
    sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool BrowserDatabase::HasColumns(const std::string& table,
                                 const std::vector<std::string>& columns) {
    if (!HasTable(table)) return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT name FROM pragma_table_info(?)", -1, &st, nullptr) !=
        SQLITE_OK)
        return fail(sqlite3_errcode(db_));
    sqlite3_bind_text(st, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::string> have;
    while (sqlite3_step(st) == SQLITE_ROW)
        have.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    for (const std::string& c : columns) {
        bool found = false;
        for (const std::string& h : have)
            found = found || sqlite3_stricmp(c.c_str(), h.c_str()) == 0;
        if (!found) return false;
    }
    return true;
}

std::int64_t BrowserDatabase::Number(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        fail(sqlite3_errcode(db_));
        return -1;
    }
    std::int64_t value = 0;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW)
        value = sqlite3_column_int64(st, 0);
    else if (rc != SQLITE_DONE)
        value = -1;
    if (value < 0) fail(sqlite3_extended_errcode(db_));
    sqlite3_finalize(st);
    return value;
}

bool BrowserDatabase::Texts(const std::string& sql, std::vector<std::string>& texts) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        return fail(sqlite3_errcode(db_));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        if (const unsigned char* text = sqlite3_column_text(st, 0))
            texts.emplace_back(reinterpret_cast<const char*>(text));
    const int code = rc == SQLITE_DONE ? SQLITE_OK : sqlite3_extended_errcode(db_);
    sqlite3_finalize(st);
    return code == SQLITE_OK || fail(code);
}

bool BrowserDatabase::Execute(const std::string& sql, std::int64_t* changes) {
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return fail(rc == SQLITE_ERROR ? sqlite3_extended_errcode(db_) : rc);
    if (changes) *changes = sqlite3_changes64(db_);
    return true;
}

bool BrowserDatabase::Begin() {
    return Execute("BEGIN IMMEDIATE");
}

bool BrowserDatabase::Commit() {
    if (Execute("COMMIT")) return true;
    const std::string why = problem_;
    const bool busy = busy_;
    Rollback();
    problem_ = why;
    busy_ = busy;
    return false;
}

void BrowserDatabase::Rollback() {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::string BrowserDatabase::IntegrityCheck(bool quick) {
    sqlite3_stmt* st = nullptr;
    const char* sql = quick ? "PRAGMA quick_check(1)" : "PRAGMA integrity_check(1)";
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) {
        fail(sqlite3_errcode(db_));
        return problem_;
    }
    std::string result;
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(st, 0);
        result = text ? reinterpret_cast<const char*>(text) : "";
    } else {
        fail(sqlite3_extended_errcode(db_));
        result = problem_;
    }
    sqlite3_finalize(st);
    return result;
}

bool BrowserDatabase::Vacuum() {
    return Execute("VACUUM");
}

void BrowserDatabase::SetHostFilter(const std::function<bool(const std::string& host)>& keep) {
    // Each host is asked once: a site's many cookies share one answer.
    keep_ = [keep, answers = std::map<std::string, bool>()](const std::string& host) mutable {
        const auto found = answers.find(host);
        if (found != answers.end()) return found->second;
        return answers[host] = keep(host);
    };
    sqlite3_create_function(db_, "keep_host", 1, SQLITE_UTF8, &keep_, keepHost, nullptr, nullptr);
}

void BrowserDatabase::SetKeptPages(const std::vector<std::string>& pages) {
    keptPages_.clear();
    keptOrigins_.clear();
    for (const std::string& page : pages) {
        keptPages_.insert(page);
        keptOrigins_.insert(originOf(page));
    }
    sqlite3_create_function(db_, "kept_page", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, &keptPages_,
                            inSet, nullptr, nullptr);
    sqlite3_create_function(db_, "kept_origin", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                            &keptOrigins_, originInSet, nullptr, nullptr);
}
