// Times TIECache's walk over 100 000 content entries against a bare SQLite read of the same
// rows, and DeleteAllEntries over 20 000 entries. Runs in a temporary platform root.
#include "cache/IECache.h"
#include "platform/filetime.h"
#include "platform/root.h"
#include "platform/urlcache.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void fill(int count, const std::string& prefix) {
    platform::Transaction tx;
    platform::urlcache::Record r;
    r.type = NORMAL_CACHE_ENTRY;
    r.header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    r.extension = "htm";
    for (int i = 0; i < count; ++i) {
        r.url = prefix + std::to_string(i) + ".htm";
        r.localFile = "C:\\Users\\User\\AppData\\Local\\Microsoft\\Windows\\Temporary Internet "
                      "Files\\Content.IE5\\0QK7ZP2M\\page" +
                      std::to_string(i) + "[1].htm";
        r.size = 1000 + static_cast<std::uint64_t>(i % 5000);
        const std::uint64_t t = 133000000000000000ull + static_cast<std::uint64_t>(i) * 10000000;
        r.lastModified = platform::fileTimeOf(t);
        r.expire = platform::fileTimeOf(t + 864000000000ull);
        r.lastAccess = r.lastModified;
        r.lastSync = r.lastModified;
        platform::urlcache::put(r);
    }
    tx.commit();
}

// What the cache walk reads, straight from SQLite: every field of each row copied out.
std::uint64_t rawScan(int& rows) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(platform::database(),
                       "SELECT id, url, type, local_file, size, last_modified, expire, "
                       "last_access, last_sync, header, extension, use_count, hit_rate, "
                       "exempt_delta FROM url_cache WHERE container = 0 ORDER BY id",
                       -1, &st, nullptr);
    std::uint64_t total = 0;
    rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string url(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
        std::string file(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
        std::string header(static_cast<const char*>(sqlite3_column_blob(st, 9)),
                           static_cast<std::size_t>(sqlite3_column_bytes(st, 9)));
        std::string extension(reinterpret_cast<const char*>(sqlite3_column_text(st, 10)));
        for (int column : {0, 2, 4, 5, 6, 7, 8, 11, 12, 13})
            total += static_cast<std::uint64_t>(sqlite3_column_int64(st, column));
        total += url.size() + file.size() + header.size() + extension.size();
        ++rows;
    }
    sqlite3_finalize(st);
    return total;
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-cache-XXXXXX";
    if (!::mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string base = pattern;
    platform::useRoot(platform::HostPath(base + "/root"));

    Clock::time_point start = Clock::now();
    fill(100000, "http://www.bench.example/page");
    std::printf("fill 100000 entries: %.0f ms\n", millisecondsSince(start));

    TIECache cache;
    cache.SetFilterOptions(
        {NORMAL_ENTRY, STICKY_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cache.SetSearchPattern(spUrl);
    std::uint64_t bytes = 0;
    int entries = 0;
    cache.OnEntry = [&](TIECache* sender, bool&) {
        bytes += sender->EntryInfo().Size;
        ++entries;
    };
    cache.LibraryFound();
    // Best of five, taken in turns, so that a busy machine does not decide the ratio.
    int rows = 0;
    std::uint64_t scanned = 0;
    double retrieveMs = 1e9;
    double scanMs = 1e9;
    for (int round = 0; round < 5; ++round) {
        entries = 0;
        start = Clock::now();
        cache.Retrieve(0);
        retrieveMs = std::min(retrieveMs, millisecondsSince(start));
        start = Clock::now();
        scanned = rawScan(rows);
        scanMs = std::min(scanMs, millisecondsSince(start));
    }
    if (entries != 100000 || rows != 100000 || scanned == 0) {
        std::fprintf(stderr, "walked %d entries, scanned %d rows\n", entries, rows);
        return 1;
    }

    platform::execute("DELETE FROM url_cache");
    fill(20000, "http://www.delete.example/page");
    start = Clock::now();
    cache.DeleteAllEntries();
    const double deleteMs = millisecondsSince(start);
    entries = 0;
    cache.Retrieve(0);
    std::printf("DeleteAllEntries 20000 entries: %.0f ms (%d left)\n", deleteMs, entries);

    platform::closeRoot();
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
    std::printf("retrieve 100000 entries: %.0f ms, raw scan: %.0f ms, ratio %.2f\n", retrieveMs,
                scanMs, retrieveMs / scanMs);
    return 0;
}
