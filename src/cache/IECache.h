// TIECache: walks, looks up and deletes entries of the WinINet URL cache, one selection
// (entry kinds plus search pattern) at a time, holding the current entry in EntryInfo.
#pragma once

#include "ui/CleaningResult.h"

#include "platform/win32.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>

enum TFilterOption {
    NORMAL_ENTRY,
    STABLE_ENTRY,
    STICKY_ENTRY,
    COOKIE_ENTRY,
    URLHISTORY_ENTRY,
    TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY,
    SPARSE_ENTRY,
    OCX_ENTRY,
};

// A set of TFilterOption held as 16 bits, bit n standing for ordinal n.
class TFilterOptions {
  public:
    TFilterOptions() = default;
    TFilterOptions(std::initializer_list<TFilterOption> options) {
        for (TFilterOption o : options)
            Include(o);
    }
    static TFilterOptions FromBits(std::uint16_t bits) {
        TFilterOptions set;
        set.bits_ = bits;
        return set;
    }
    void Include(TFilterOption o) { bits_ = static_cast<std::uint16_t>(bits_ | (1u << o)); }
    void Exclude(TFilterOption o) { bits_ = static_cast<std::uint16_t>(bits_ & ~(1u << o)); }
    bool Contains(TFilterOption o) const { return (bits_ >> o) & 1u; }
    bool Empty() const { return bits_ == 0; }
    std::uint16_t Bits() const { return bits_; }
    bool operator==(const TFilterOptions&) const = default;

  private:
    std::uint16_t bits_ = 0;
};

enum TSearchPattern { spAll, spCookies, spHistory, spUrl };

class TIECache;
using TOnEntryEvent = std::function<void(TIECache* Sender, bool& Cancel)>;
using TOnGroupEvent = std::function<void(TIECache* Sender, std::int64_t GroupID, bool& Cancel)>;

struct TEntryInfo {
    std::string SourceUrlName;
    std::string LocalFileName;
    DWORD EntryType = 0;
    DWORD UseCount = 0;
    DWORD HitRate = 0;
    // The whole 64-bit size: entries beyond 4 GB must not read as a fraction of their size.
    std::uint64_t Size = 0;
    double LastModified = 0;
    double ExpireTime = 0;
    double LastAccess = 0;
    double LastSync = 0;
    std::string HeaderInfo;
    std::string FileExtension;
    DWORD ExemptDelta = 0;
};

// Published with OnGroup; the cache walks never report groups.
struct TGroupInfo {
    std::int64_t GroupID = 0;
    DWORD GroupFlags = 0;
    DWORD GroupType = 0;
    DWORD DiskUsage = 0;
    DWORD DiskQuota = 0;
    std::string GroupName;
};

class TIECache {
  public:
    TIECache();
    ~TIECache();
    TIECache(const TIECache&) = delete;
    TIECache& operator=(const TIECache&) = delete;

    TFilterOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TFilterOptions value);
    // The WinINet type mask derived from FilterOptions when it was last written.
    DWORD FilterMask() const { return FFilterMask; }
    TSearchPattern SearchPattern() const { return FSearchPattern; }
    void SetSearchPattern(TSearchPattern value) { FSearchPattern = value; }
    bool LibraryFound() const;

    TOnEntryEvent OnEntry;
    TOnGroupEvent OnGroup;

    int FindFirstEntry(std::int64_t GroupID);
    int FindNextEntry();
    void Retrieve(std::int64_t GroupID);
    int GetEntryInfo(const std::string& Url);
    int DeleteEntry(const std::string& Url);
    // Every entry the search pattern selects goes, one that refuses passed over; `keep` names
    // the entries to leave alone (by URL). In Preview nothing is deleted and an entry that is
    // locked counts as one that would stay. A locked entry's deletion fails with
    // ERROR_ACCESS_DENIED and counts as in use.
    CleaningResult DeleteAllEntries(CleaningMode mode = CleaningMode::Remove,
                                    const std::function<bool(const std::string& url)>& keep = {});
    void ClearEntryInfo();
    const TEntryInfo& EntryInfo() const { return FEntryInfo; }
    // The error that kept the last walk of DeleteAllEntries from starting; 0 when it started,
    // found nothing to walk or had no cache library to walk.
    int WalkError() const { return FWalkError; }

    // Forgets the unit-wide result of the library check, so the next check runs again as at
    // start-up (for tests that switch the library on and off).
    static void ResetLibraryCheck();

  private:
    // How much of an entry a walk step copies into EntryInfo: all of it, or what the
    // deleting walk needs (its URL, size and users).
    enum class Copy { Whole, ForDeletion };
    int FindFirst(std::int64_t GroupID, Copy copy);
    int FindNext(Copy copy);
    void GrowWalkBuffer(DWORD size);
    // Copies the entry in the walk's buffer into EntryInfo, as much as `copy` says.
    void CopyWalkEntry(Copy copy);
    void CopyEntry(const INTERNET_CACHE_ENTRY_INFOA& entry);
    void CopyForDeletion(const INTERNET_CACHE_ENTRY_INFOA& entry);
    void CloseWalk();
    // Takes back from `result` the entries counted as removed (URL → size) that are still
    // there and refuse to go.
    void RecountStayed(const std::unordered_map<std::string, std::uint64_t>& counted,
                       CleaningResult& result);

    TFilterOptions FFilterOptions;
    DWORD FFilterMask = 0;
    TSearchPattern FSearchPattern = spAll;
    bool FCancel = false;
    UniqueUrlCacheFind FWalkHandle;
    // The walk's buffer, kept from step to step and grown only when an entry needs more.
    std::unique_ptr<std::byte[]> FWalkBuffer;
    DWORD FWalkBufferSize = 0;
    TEntryInfo FEntryInfo;
    int FWalkError = 0;
};

// The cookie window's component: every kind of entry a cookie is kept as, every entry.
void SetUpCookieComponent(TIECache& cache);
// The cache section's component (the main window's): the kinds of the pages' content, the
// entries of addresses.
void SetUpContentComponent(TIECache& cache);
