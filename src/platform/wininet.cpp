// The WinINet URL cache calls over the store in platform.db.
#include "platform/wininet.h"
#include "platform/filetime.h"

#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace platform;
using urlcache::Container;
using urlcache::Record;

namespace {

// A walk remembers the last entry it handed out and continues after it in row order, so
// entries deleted or added meanwhile are neither skipped nor repeated. Rows are read ahead
// in batches that grow while the store stays unchanged; any change drops the read-ahead.
struct CacheFind {
    Container container = Container::All;
    std::string prefix; // a pattern longer than its container's name narrows the walk
    DWORD filter = 0;
    bool empty = false; // no entry belongs to a group
    std::int64_t lastReturned = 0;
    std::int64_t lastScanned = 0;
    std::vector<Record> ahead;
    std::vector<Record> spare; // records read before, whose strings the next reading fills
    std::size_t next = 0;
    ChangeStamp version;
    bool versionKnown = false;
    bool exhausted = false;
    int batch = 1;
    // Deleting entry after entry while walking writes them together.
    WriteBatch writes;
};

constexpr int kLargestBatch = 1024;

std::set<CacheFind*>& finds() {
    static std::set<CacheFind*> handles;
    return handles;
}

CacheFind* findOf(HANDLE handle) {
    auto* find = static_cast<CacheFind*>(handle);
    return finds().count(find) ? find : nullptr;
}

// Whether the walk hands out an entry of that URL: a pattern narrows it to URLs that begin
// with it, ignoring case.
bool matchesPattern(const CacheFind& find, std::string_view url) {
    const std::string& prefix = find.prefix;
    return prefix.empty() || (url.size() >= prefix.size() &&
                              AnsiSameText(std::string(url.substr(0, prefix.size())), prefix));
}

void readAhead(CacheFind& find) {
    static const std::string all =
        "SELECT id, url, type, local_file, size, last_modified, expire, last_access, last_sync, "
        "header, extension, use_count, hit_rate, exempt_delta, locked FROM url_cache WHERE id > ?1 "
        "ORDER BY id LIMIT ?2";
    static const std::string one =
        "SELECT id, url, type, local_file, size, last_modified, expire, last_access, last_sync, "
        "header, extension, use_count, hit_rate, exempt_delta, locked FROM url_cache WHERE "
        "container = "
        "?3 AND id > ?1 ORDER BY id LIMIT ?2";
    for (Record& old : find.ahead)
        find.spare.push_back(std::move(old));
    find.ahead.clear();
    find.next = 0;
    Statement st(find.container == Container::All ? all.c_str() : one.c_str(),
                 Statement::Reads::AheadOfTheWalk);
    st.bind(1, find.lastScanned).bind(2, static_cast<std::int64_t>(find.batch));
    if (find.container != Container::All) st.bind(3, static_cast<std::int64_t>(find.container));
    int rows = 0;
    while (st.step()) {
        ++rows;
        find.lastScanned = st.int64(0);
        const auto type = static_cast<DWORD>(st.int64(2));
        if (!(type & find.filter)) continue;
        const std::string_view url = st.view(1);
        if (!matchesPattern(find, url)) continue;
        // A record read before lends its strings, which are written over in place.
        Record r;
        if (!find.spare.empty()) {
            r = std::move(find.spare.back());
            find.spare.pop_back();
        }
        r.type = type;
        r.id = find.lastScanned;
        r.url.assign(url);
        r.localFile.assign(st.view(3));
        r.size = static_cast<std::uint64_t>(st.int64(4));
        r.lastModified = fileTimeOf(static_cast<std::uint64_t>(st.int64(5)));
        r.expire = fileTimeOf(static_cast<std::uint64_t>(st.int64(6)));
        r.lastAccess = fileTimeOf(static_cast<std::uint64_t>(st.int64(7)));
        r.lastSync = fileTimeOf(static_cast<std::uint64_t>(st.int64(8)));
        r.header.assign(st.view(9));
        r.extension.assign(st.view(10));
        r.useCount = static_cast<DWORD>(st.int64(11));
        r.hitRate = static_cast<DWORD>(st.int64(12));
        r.exemptDelta = static_cast<DWORD>(st.int64(13));
        r.lockCount = static_cast<DWORD>(st.int64(14));
        r.title.clear();
        find.ahead.push_back(std::move(r));
    }
    find.exhausted = rows < find.batch;
    find.batch = std::min(find.batch * 2, kLargestBatch);
}

// The entry the walk stands before, or null at its end. It is handed out for good only by
// advance(), so a call that fails on a short buffer returns the same entry the next time.
const Record* current(CacheFind& find) {
    if (find.empty) return nullptr;
    const ChangeStamp version = changeStamp();
    const urlcache::Removal& removal = urlcache::lastRemoval();
    if (find.versionKnown && version != find.version && removal.known &&
        removal.before == find.version && removal.after == version) {
        // Only this process deleted one entry since the read-ahead (the walk's caller deletes
        // as it goes): what was read stays good without that entry.
        // Usually the entry just handed out, which lies behind the walk already; rows ahead
        // are in id order.
        if (removal.id > find.lastReturned) {
            const auto gone =
                std::lower_bound(find.ahead.begin() + static_cast<std::ptrdiff_t>(
                                                          std::min(find.next, find.ahead.size())),
                                 find.ahead.end(), removal.id,
                                 [](const Record& r, std::int64_t id) { return r.id < id; });
            if (gone != find.ahead.end() && gone->id == removal.id) find.ahead.erase(gone);
        }
        find.version = version;
    }
    if (!find.versionKnown || version != find.version) {
        find.ahead.clear();
        find.next = 0;
        find.lastScanned = find.lastReturned;
        find.exhausted = false;
        find.batch = 1;
    }
    bool read = false;
    while (find.next >= find.ahead.size() && !find.exhausted) {
        readAhead(find);
        read = true;
    }
    // The version after the reads, which have seen every commit before them.
    find.version = read ? changeStamp() : version;
    find.versionKnown = true;
    return find.next < find.ahead.size() ? &find.ahead[find.next] : nullptr;
}

void advance(CacheFind& find) {
    find.lastReturned = find.ahead[find.next].id;
    ++find.next;
}

std::size_t textSize(const std::string& text) {
    return text.empty() ? 0 : text.size() + 1;
}

// Copies the entry into the caller's buffer, its strings after the record; on a short or
// missing buffer reports the size needed.
DWORD fill(const Record& r, LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD size) {
    if (!size) return ERROR_INVALID_PARAMETER;
    const std::size_t needed = sizeof(INTERNET_CACHE_ENTRY_INFOA) + r.url.size() + 1 +
                               textSize(r.localFile) + textSize(r.header) + textSize(r.extension);
    if (!info || *size < needed) {
        *size = static_cast<DWORD>(needed);
        return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memset(info, 0, sizeof *info);
    char* out = reinterpret_cast<char*>(info + 1);
    auto place = [&out](const std::string& text) {
        char* start = out;
        std::memcpy(out, text.data(), text.size());
        out[text.size()] = '\0';
        out += text.size() + 1;
        return start;
    };
    info->dwStructSize = sizeof(INTERNET_CACHE_ENTRY_INFOA);
    info->lpszSourceUrlName = place(r.url);
    info->lpszLocalFileName = r.localFile.empty() ? nullptr : place(r.localFile);
    info->CacheEntryType = r.type;
    // The callers using the entry now, as WinINet counts them: its locks.
    info->dwUseCount = r.lockCount;
    info->dwHitRate = r.hitRate;
    info->dwSizeLow = static_cast<DWORD>(r.size & 0xFFFFFFFFu);
    info->dwSizeHigh = static_cast<DWORD>(r.size >> 32);
    info->LastModifiedTime = r.lastModified;
    info->ExpireTime = r.expire;
    info->LastAccessTime = r.lastAccess;
    info->LastSyncTime = r.lastSync;
    info->lpHeaderInfo = r.header.empty() ? nullptr : place(r.header);
    info->dwHeaderInfoSize = static_cast<DWORD>(r.header.size());
    info->lpszFileExtension = r.extension.empty() ? nullptr : place(r.extension);
    info->dwExemptDelta = r.exemptDelta;
    *size = static_cast<DWORD>(needed);
    return ERROR_SUCCESS;
}

// Hands out the walk's current entry and moves on past it.
DWORD nextInto(CacheFind& find, LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD size) {
    if (!size) return ERROR_INVALID_PARAMETER;
    const Record* r = current(find);
    if (!r) return ERROR_NO_MORE_ITEMS;
    const DWORD error = fill(*r, info, size);
    if (error == ERROR_SUCCESS) advance(find);
    return error;
}

// An entry copied into the caller's buffer with the size protocol; ERROR_SUCCESS or the error.
DWORD lookUpInto(LPCSTR url, LPINTERNET_CACHE_ENTRY_INFOA info, LPDWORD size) {
    if (!url || !size) return ERROR_INVALID_PARAMETER;
    const std::optional<Record> r = urlcache::get(url);
    if (!r) return ERROR_FILE_NOT_FOUND;
    return fill(*r, info, size);
}

// The result of a call that returns BOOL, with the last error set when it failed.
BOOL succeeded(DWORD error) {
    if (error == ERROR_SUCCESS) return TRUE;
    SetLastError(error);
    return FALSE;
}

std::string stringOf(LPCSTR text) {
    return text ? std::string(text) : std::string();
}

} // namespace

HANDLE FindFirstUrlCacheEntryExA(LPCSTR urlSearchPattern, DWORD, DWORD filter, GROUPID groupId,
                                 LPINTERNET_CACHE_ENTRY_INFOA firstCacheEntryInfo,
                                 LPDWORD cbEntryInfo, LPVOID, LPDWORD, LPVOID) {
    return guardedCall<HANDLE>(HANDLE{nullptr}, [&]() -> HANDLE {
        if (!cbEntryInfo) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto find = std::make_unique<CacheFind>();
        find->filter = filter;
        find->empty = groupId != 0;
        find->container = Container::Content; // no pattern: the content entries, as documented
        if (urlSearchPattern) {
            const std::string pattern = urlSearchPattern;
            find->container = urlcache::containerOf(pattern);
            const std::size_t nameLength = find->container == Container::Cookies   ? 7
                                           : find->container == Container::History ? 8
                                                                                   : 0;
            if (pattern.size() > nameLength) find->prefix = pattern;
        }
        const DWORD error = nextInto(*find, firstCacheEntryInfo, cbEntryInfo);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return nullptr;
        }
        finds().insert(find.get());
        return find.release();
    });
}

BOOL FindNextUrlCacheEntryExA(HANDLE enumHandle, LPINTERNET_CACHE_ENTRY_INFOA nextCacheEntryInfo,
                              LPDWORD cbEntryInfo, LPVOID, LPDWORD, LPVOID) {
    return guardedWalkStep<BOOL>(FALSE, [&]() -> BOOL {
        CacheFind* find = findOf(enumHandle);
        if (!find) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        return succeeded(nextInto(*find, nextCacheEntryInfo, cbEntryInfo));
    });
}

BOOL FindCloseUrlCache(HANDLE enumHandle) {
    CacheFind* find = findOf(enumHandle);
    if (!find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    finds().erase(find);
    delete find;
    return TRUE;
}

BOOL GetUrlCacheEntryInfoExA(LPCSTR url, LPINTERNET_CACHE_ENTRY_INFOA cacheEntryInfo,
                             LPDWORD cbCacheEntryInfo, LPSTR, LPDWORD, LPVOID, DWORD) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        return succeeded(lookUpInto(url, cacheEntryInfo, cbCacheEntryInfo));
    });
}

BOOL DeleteUrlCacheEntryA(LPCSTR urlName) {
    return guardedWalkStep<BOOL>(FALSE, [&]() -> BOOL {
        if (!urlName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        // The entry a walk has just handed out (the walk's caller deleting as it goes) need
        // not be looked up again while nothing has changed since the walk read it.
        for (CacheFind* find : finds()) {
            if (find->next == 0 || find->next > find->ahead.size() || !find->versionKnown) continue;
            const Record& walked = find->ahead[find->next - 1];
            // With another walk open, whose reading ahead may not have passed this entry, its
            // row goes at once.
            if (walked.url == urlName)
                return succeeded(urlcache::remove(walked.url, &walked, find->version,
                                                  finds().size() == 1 ? urlcache::Walks::OnlyThisOne
                                                                      : urlcache::Walks::Others));
        }
        return succeeded(urlcache::remove(urlName));
    });
}

BOOL DeleteUrlCacheEntry(LPCSTR urlName) {
    return DeleteUrlCacheEntryA(urlName);
}

BOOL RetrieveUrlCacheEntryFileA(LPCSTR urlName, LPINTERNET_CACHE_ENTRY_INFOA cacheEntryInfo,
                                LPDWORD cbCacheEntryInfo, DWORD) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        Transaction tx;
        const DWORD error = lookUpInto(urlName, cacheEntryInfo, cbCacheEntryInfo);
        if (error == ERROR_SUCCESS) {
            urlcache::lock(urlName);
            tx.commit();
        }
        return succeeded(error);
    });
}

BOOL UnlockUrlCacheEntryFileA(LPCSTR urlName, DWORD) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        if (!urlName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (!urlcache::unlock(urlName)) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
        return TRUE;
    });
}

BOOL CommitUrlCacheEntryA(LPCSTR urlName, LPCSTR localFileName, FILETIME expireTime,
                          FILETIME lastModifiedTime, DWORD cacheEntryType, LPBYTE headerInfo,
                          DWORD cchHeaderInfo, LPCSTR fileExtension, LPCSTR) {
    return guardedCall<BOOL>(FALSE, [&]() -> BOOL {
        if (!urlName || !*urlName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        Record r;
        r.url = urlName;
        r.type = cacheEntryType;
        if (localFileName && *localFileName) {
            const Result<HostPath> host = resolvePath(localFileName);
            struct stat st;
            if (!host) {
                SetLastError(host.error());
                return FALSE;
            }
            if (::stat(host->c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
                SetLastError(ERROR_FILE_NOT_FOUND);
                return FALSE;
            }
            r.localFile = fullWindowsPath(localFileName);
            r.size = static_cast<std::uint64_t>(st.st_size);
        }
        if (headerInfo && cchHeaderInfo)
            r.header.assign(reinterpret_cast<const char*>(headerInfo), cchHeaderInfo);
        r.extension = stringOf(fileExtension);
        r.expire = expireTime;
        r.lastModified = lastModifiedTime;
        GetSystemTimeAsFileTime(&r.lastAccess);
        r.lastSync = r.lastAccess;

        Transaction tx;
        if (const std::optional<Record> old = urlcache::get(r.url)) {
            if (old->lockCount > 0) {
                SetLastError(ERROR_SHARING_VIOLATION);
                return FALSE;
            }
            r.useCount = old->useCount;
            r.hitRate = old->hitRate;
            r.exemptDelta = old->exemptDelta;
            r.title = old->title;
        }
        urlcache::put(r);
        tx.commit();
        return TRUE;
    });
}

HANDLE FindFirstUrlCacheGroup(DWORD, DWORD, LPVOID, DWORD, GROUPID*, LPVOID) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return nullptr;
}

BOOL FindNextUrlCacheGroup(HANDLE, GROUPID*, LPVOID) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL GetUrlCacheGroupAttributeA(GROUPID, DWORD, DWORD, LPINTERNET_CACHE_GROUP_INFOA, LPDWORD,
                                LPVOID) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}

BOOL SetUrlCacheGroupAttributeA(GROUPID, DWORD, DWORD, LPINTERNET_CACHE_GROUP_INFOA, LPVOID) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
}
