#include "cache/IECache.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

const DWORD kOptionMasks[] = {
    NORMAL_CACHE_ENTRY,       STABLE_CACHE_ENTRY,     STICKY_CACHE_ENTRY,
    COOKIE_CACHE_ENTRY,       URLHISTORY_CACHE_ENTRY, TRACK_OFFLINE_CACHE_ENTRY,
    TRACK_ONLINE_CACHE_ENTRY, SPARSE_CACHE_ENTRY,     OCX_CACHE_ENTRY,
};

// The functions the check looks for, in the order it looks them up.
const char* const kCheckedNames[] = {
    "FindFirstUrlCacheGroup",     "FindNextUrlCacheGroup",     "GetUrlCacheGroupAttributeA",
    "SetUrlCacheGroupAttributeA", "FindFirstUrlCacheEntryExA",
};

bool g_libraryFound = false;
bool g_libraryChecked = false;
// Resolved with the check and kept; nothing calls them.
FARPROC g_groupFunctions[4] = {};

bool lookUpLibrary(bool keepAddresses) {
    try {
        HMODULE library = LoadLibraryA("wininet.dll");
        if (!library) return false;
        for (std::size_t i = 0; i < std::size(kCheckedNames); ++i) {
            FARPROC address = GetProcAddress(library, kCheckedNames[i]);
            if (!address) return false;
            if (keepAddresses && i < std::size(g_groupFunctions)) g_groupFunctions[i] = address;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool libraryCheck() {
    if (!g_libraryChecked) {
        g_libraryChecked = true;
        g_libraryFound = lookUpLibrary(true);
        return g_libraryFound;
    }
    return g_libraryFound || lookUpLibrary(false);
}

// The failing call's error; never 0, which would read as success.
int lastErrorCode() {
    const DWORD error = GetLastError();
    return static_cast<int>(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
}

double localDateTime(const FILETIME& utc) {
    try {
        FILETIME local;
        SYSTEMTIME calendar;
        double result = 0;
        if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &calendar) ||
            !SystemTimeToDateTime(calendar, result))
            return 0;
        return result;
    } catch (const std::exception&) {
        return 0;
    }
}

std::string textOf(const char* text) {
    return text ? std::string(text) : std::string();
}

} // namespace

TIECache::TIECache() {
    ClearEntryInfo();
    // Stored without a mask: the mask follows only when FilterOptions is written.
    FFilterOptions = {NORMAL_ENTRY,     STICKY_ENTRY,        COOKIE_ENTRY,
                      URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};
}

TIECache::~TIECache() {
    CloseWalk();
}

void TIECache::ResetLibraryCheck() {
    g_libraryChecked = false;
    g_libraryFound = false;
}

void TIECache::SetFilterOptions(TFilterOptions value) {
    FFilterOptions = value;
    FFilterMask = 0;
    if (value.Empty()) return;
    for (int o = NORMAL_ENTRY; o <= OCX_ENTRY; ++o)
        if (value.Contains(static_cast<TFilterOption>(o))) FFilterMask |= kOptionMasks[o];
}

bool TIECache::LibraryFound() const {
    return libraryCheck();
}

void TIECache::CloseWalk() {
    FWalkHandle.reset();
}

int TIECache::FindFirstEntry(std::int64_t GroupID) {
    return FindFirst(GroupID, Copy::Whole);
}

int TIECache::FindNextEntry() {
    return FindNext(Copy::Whole);
}

void TIECache::GrowWalkBuffer(DWORD size) {
    // Room for the usual entry at once, so that a walk seldom asks twice.
    FWalkBufferSize = std::max<DWORD>(size, 4096);
    FWalkBuffer.reset(new std::byte[FWalkBufferSize]);
}

int TIECache::FindFirst(std::int64_t GroupID, Copy copy) {
    if (!libraryCheck()) return ERROR_FILE_NOT_FOUND;
    // A walk left open by a caller of its own would otherwise be lost with its handle.
    CloseWalk();
    const char* pattern = nullptr;
    switch (FSearchPattern) {
    case spAll:
        pattern = nullptr;
        break;
    case spCookies:
        pattern = "Cookie:";
        break;
    case spHistory:
        pattern = "Visited:";
        break;
    case spUrl:
        pattern = "";
        break;
    }
    // The buffer of an earlier walk is tried first; only an entry larger than it asks for
    // its size and comes again.
    HANDLE handle = nullptr;
    for (int attempt = 0; attempt < 2 && !handle; ++attempt) {
        DWORD size = FWalkBufferSize;
        handle = FindFirstUrlCacheEntryExA(
            pattern, 0, FFilterMask, GroupID,
            reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(FWalkBuffer.get()), &size, nullptr,
            nullptr, nullptr);
        if (handle || GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= FWalkBufferSize) break;
        GrowWalkBuffer(size);
    }
    if (!handle) return lastErrorCode();
    FWalkHandle.reset(handle);
    CopyWalkEntry(copy);
    return 0;
}

int TIECache::FindNext(Copy copy) {
    if (!libraryCheck()) return ERROR_FILE_NOT_FOUND;
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = FWalkBufferSize;
        if (FindNextUrlCacheEntryExA(
                FWalkHandle.get(),
                reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(FWalkBuffer.get()), &size, nullptr,
                nullptr, nullptr)) {
            CopyWalkEntry(copy);
            return 0;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= FWalkBufferSize) break;
        GrowWalkBuffer(size);
    }
    return lastErrorCode();
}

void TIECache::Retrieve(std::int64_t GroupID) {
    FCancel = false;
    int r = FindFirstEntry(GroupID);
    if (r == 0) {
        if (OnEntry) OnEntry(this, FCancel);
        while (r == 0 && !FCancel) {
            r = FindNextEntry();
            if (r == 0 && OnEntry) OnEntry(this, FCancel);
        }
    }
    CloseWalk();
}

int TIECache::GetEntryInfo(const std::string& Url) {
    if (!libraryCheck()) return ERROR_FILE_NOT_FOUND;
    DWORD size = 0;
    GetUrlCacheEntryInfoExA(Url.c_str(), nullptr, &size, nullptr, nullptr, nullptr, 0);
    std::unique_ptr<std::byte[]> block(size ? new std::byte[size] : nullptr);
    auto* entry = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(block.get());
    if (!GetUrlCacheEntryInfoExA(Url.c_str(), entry, &size, nullptr, nullptr, nullptr, 0))
        return lastErrorCode();
    if (entry) CopyEntry(*entry);
    return 0;
}

int TIECache::DeleteEntry(const std::string& Url) {
    if (!libraryCheck()) return 0;
    if (!DeleteUrlCacheEntry(Url.c_str())) return lastErrorCode();
    ClearEntryInfo();
    return 0;
}

CleaningResult TIECache::DeleteAllEntries(CleaningMode mode,
                                          const std::function<bool(const std::string&)>& keep) {
    CleaningResult result;
    FWalkError = 0;
    if (!libraryCheck()) return result;
    // Each step copies only what the deletion needs; the entry the walk ends on is copied
    // whole at the end when it stayed, so EntryInfo tells the same as after a whole walk.
    bool lastStayed = false;
    // The size of each entry counted as removed, by its URL, for the second look.
    std::unordered_map<std::string, std::uint64_t> counted;
    if (const int error = FindFirst(0, Copy::ForDeletion); error != 0) {
        if (error != ERROR_NO_MORE_ITEMS) FWalkError = error;
    } else {
        // Any failing step ends the walk: an entry that refuses deletion is passed over,
        // and an error other than the end of the list must not be retried forever.
        int r = 0;
        do {
            const std::uint64_t size = FEntryInfo.Size;
            lastStayed = true;
            if (keep && keep(FEntryInfo.SourceUrlName)) {
                result.Kept();
            } else if (mode == CleaningMode::Preview) {
                if (FEntryInfo.UseCount > 0)
                    result.Failed(FEntryInfo.SourceUrlName, ERROR_ACCESS_DENIED, StayReason::InUse);
                else
                    result.Removed(size);
            } else {
                // A deletion empties EntryInfo: the URL is kept first, for the second look.
                const auto at = counted.try_emplace(FEntryInfo.SourceUrlName, size).first;
                if (const int error = DeleteEntry(at->first); error == 0) {
                    result.Removed(size);
                    lastStayed = false;
                } else {
                    counted.erase(at);
                    // WinINet refuses a locked entry with "access denied": it is in use.
                    result.Failed(FEntryInfo.SourceUrlName, static_cast<DWORD>(error),
                                  error == ERROR_ACCESS_DENIED
                                      ? StayReason::InUse
                                      : ReasonOf(static_cast<DWORD>(error)));
                }
            }
            r = FindNext(Copy::ForDeletion);
        } while (r == 0);
    }
    if (lastStayed) CopyWalkEntry(Copy::Whole);
    CloseWalk();
    if (!counted.empty()) RecountStayed(counted, result);
    return result;
}

void TIECache::RecountStayed(const std::unordered_map<std::string, std::uint64_t>& counted,
                             CleaningResult& result) {
    // A deletion during a walk may finish after the call returned (the platform unlinks the
    // files of a walk on a second thread), and an entry whose file could not go keeps its
    // row. Those entries are still there to be walked: each is deleted once more, now with
    // no walk open, and one that refuses again counts as not removed, with its error.
    const TEntryInfo shown = FEntryInfo;
    std::vector<std::pair<std::string, std::uint64_t>> stayed;
    for (int r = FindFirst(0, Copy::ForDeletion); r == 0; r = FindNext(Copy::ForDeletion)) {
        const auto it = counted.find(FEntryInfo.SourceUrlName);
        if (it != counted.end()) stayed.emplace_back(FEntryInfo.SourceUrlName, it->second);
    }
    CloseWalk();
    FEntryInfo = shown;
    for (const auto& [url, size] : stayed) {
        const int error = DeleteEntry(url);
        if (error == 0 || error == ERROR_FILE_NOT_FOUND) continue;
        result.removed -= std::min<std::uint64_t>(result.removed, 1);
        result.removedBytes -= std::min(result.removedBytes, size);
        result.Failed(url, static_cast<DWORD>(error));
    }
}

void TIECache::ClearEntryInfo() {
    if (!libraryCheck()) return;
    FEntryInfo = TEntryInfo();
}

void TIECache::CopyWalkEntry(Copy copy) {
    const auto* entry = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(FWalkBuffer.get());
    if (!entry) return;
    if (copy == Copy::Whole)
        CopyEntry(*entry);
    else
        CopyForDeletion(*entry);
}

void TIECache::CopyForDeletion(const INTERNET_CACHE_ENTRY_INFOA& entry) {
    try {
        // Written over in place: the walk copies entry after entry into the same string.
        FEntryInfo.SourceUrlName.assign(entry.lpszSourceUrlName ? entry.lpszSourceUrlName : "");
        FEntryInfo.UseCount = entry.dwUseCount;
        FEntryInfo.Size = (static_cast<std::uint64_t>(entry.dwSizeHigh) << 32) | entry.dwSizeLow;
    } catch (const std::exception&) {
    }
}

void TIECache::CopyEntry(const INTERNET_CACHE_ENTRY_INFOA& entry) {
    try {
        FEntryInfo.SourceUrlName = textOf(entry.lpszSourceUrlName);
        FEntryInfo.LocalFileName = textOf(entry.lpszLocalFileName);
        FEntryInfo.EntryType = entry.CacheEntryType;
        FEntryInfo.UseCount = entry.dwUseCount;
        FEntryInfo.HitRate = entry.dwHitRate;
        FEntryInfo.Size = (static_cast<std::uint64_t>(entry.dwSizeHigh) << 32) | entry.dwSizeLow;
        FEntryInfo.LastModified = localDateTime(entry.LastModifiedTime);
        FEntryInfo.ExpireTime = localDateTime(entry.ExpireTime);
        FEntryInfo.LastAccess = localDateTime(entry.LastAccessTime);
        FEntryInfo.LastSync = localDateTime(entry.LastSyncTime);
        FEntryInfo.HeaderInfo =
            entry.lpHeaderInfo ? std::string(entry.lpHeaderInfo,
                                             strnlen(entry.lpHeaderInfo, entry.dwHeaderInfoSize))
                               : std::string();
        FEntryInfo.FileExtension = textOf(entry.lpszFileExtension);
        FEntryInfo.ExemptDelta = entry.dwExemptDelta;
    } catch (const std::exception&) {
        // The fields copied so far stay; the rest keep the previous entry's values.
    }
}

void SetUpCookieComponent(TIECache& cache) {
    cache.SetFilterOptions({NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY,
                            TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cache.SetSearchPattern(spAll);
}

void SetUpContentComponent(TIECache& cache) {
    cache.SetFilterOptions(
        {NORMAL_ENTRY, STICKY_ENTRY, URLHISTORY_ENTRY, TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    cache.SetSearchPattern(spUrl);
}
