// The store behind the WinINet URL cache calls and the URL history object: one row per entry
// in platform.db. Internal to the platform layer, its tool, its tests and the benchmark.
#pragma once

#include "platform/root.h"
#include "platform/win32_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::urlcache {

enum class Container { All = -1, Content = 0, Cookies = 1, History = 2 };

// Told apart by prefix: "Cookie:" entries are cookies, "Visited:" entries the history.
Container containerOf(const std::string& url);

struct Record {
    std::int64_t id = 0;
    std::string url;
    DWORD type = 0;
    std::string localFile; // Windows path, empty for entries without a file
    std::uint64_t size = 0;
    FILETIME lastModified{};
    FILETIME expire{};
    FILETIME lastAccess{};
    FILETIME lastSync{};
    std::string header;
    std::string extension;
    DWORD useCount = 0;
    DWORD hitRate = 0;
    DWORD exemptDelta = 0;
    DWORD lockCount = 0; // a locked entry is not deleted until its last lock is released
    std::string title;   // history entries
};

// Inserts the record, or replaces every field of the entry with the same URL (which keeps
// its place in the walk order).
void put(const Record& record);
// The entry of that URL; none when the cache has no such entry.
[[nodiscard]] std::optional<Record> get(const std::string& url);
// In walk order.
std::vector<Record> list(Container container);
// The first entry of the container after the given row, in walk order.
[[nodiscard]] std::optional<Record> nextAfter(Container container, std::int64_t afterId);
// Takes one more lock on the entry, or releases one; releasing the last lock of an entry whose
// deletion was asked for deletes it. False when there is no such entry (or no lock to release).
bool lock(const std::string& url);
bool unlock(const std::string& url);
bool setSize(const std::string& url, std::uint64_t size);
bool setTitle(const std::string& url, const std::string& title);
// Removes the entry and its file; ERROR_SUCCESS or the Win32 error. A locked entry is marked
// (PENDING_DELETE_CACHE_ENTRY) and goes when its last lock is released: ERROR_ACCESS_DENIED.
// `walked`, when given, is the entry as a walk read it at the change stamp `readAt`: while
// the database is still at that stamp the entry is not looked up again. When it is the entry
// that the only open walk has just handed out, its file may still be unlinking when the call
// returns (see deleteCacheRowAndFileInBatch).
enum class Walks { OnlyThisOne, Others };
DWORD remove(const std::string& url, const Record* walked = nullptr, ChangeStamp readAt = {},
             Walks walks = Walks::Others);

// The folders of the cache ("Cache" and "Cookies" of the shell folders), as Windows paths
// without a trailing backslash.
std::string cacheFolder();
std::string cookiesFolder();
// Writes a new file for a content entry into one of the cache's subfolders
// ("Content.IE5\XXXXXXXX\name[1].ext") and returns its Windows path, empty on failure.
std::string storeContentFile(const std::string& url, const std::string& data);
// Writes "<user>@<domain>[1].txt" into the Cookies folder and returns its Windows path.
std::string storeCookieFile(const std::string& user, const std::string& domain,
                            const std::string& text);

// This process's last removal of an entry: its row and the database's change stamp just
// before and just after it. A walk that read ahead at the stamp before knows that nothing but
// that row changed by the stamp after. (The stamp counts this connection's own changes too:
// deletions batched into one transaction change nothing another process can see until the
// batch commits.)
struct Removal {
    std::int64_t id = 0;
    ChangeStamp before;
    ChangeStamp after;
    bool known = false;
};
const Removal& lastRemoval();

} // namespace platform::urlcache
