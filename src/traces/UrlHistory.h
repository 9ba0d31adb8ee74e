// TUrlHistory: the URL history of the browser, listed into records that can be filtered and
// sorted, with the store's operations to add, delete and clear addresses.
#pragma once

#include "platform/win32.h"
#include "ui/CleaningResult.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct TEntry {
    std::string Url;
    std::string Title;
    double LastVisited = 0;
    double LastUpdated = 0;
    double Expires = 0;
};

enum TSortFieldOption { sfTitle, sfURL, sfLastVisited, sfLastUpdated, sfExpires };
enum TSearchFieldOption { seBoth, seTitle, seURL };
enum TSortDirectionOption { sdAscending, sdDescending };

using TOnAcceptEvent =
    std::function<void(const std::string& Title, const std::string& Url, double LastVisited,
                       double LastUpdated, double Expires, bool& Accept)>;
using TOnDeleteEvent =
    std::function<void(const std::string& Title, const std::string& Url, double LastVisited,
                       double LastUpdated, double Expires, bool& Delete)>;

// Raised when the history object cannot be created or lacks IUrlHistoryStg2.
class EOleSysError : public std::runtime_error {
  public:
    EOleSysError(const std::string& message, HRESULT errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    HRESULT ErrorCode;
};

class TUrlHistory {
  public:
    TUrlHistory() = default;
    ~TUrlHistory();
    TUrlHistory(const TUrlHistory&) = delete;
    TUrlHistory& operator=(const TUrlHistory&) = delete;

    // After the properties are set: creates the list and the history object (throws
    // EOleSysError when the object is not available).
    void Loaded();

    int Refresh();
    int DeleteEntries();
    void AddUrl(const WideString& Url, const WideString& Title);
    void DeleteUrl(const WideString& Url);
    void ClearHistory();
    // The addresses the history holds now, by enumeration (the list of Refresh untouched).
    std::vector<std::string> StoredUrls();
    // Why the history cannot list what it holds (no history object, or one that cannot
    // enumerate); S_OK when it can.
    HRESULT ReadProblem();
    // What a clearing did, from the number of addresses stored before it: those still stored
    // stayed.
    CleaningResult ClearedSince(std::size_t storedBefore);
    void ClearItems();

    // The records of the last Refresh, read in place; indexed from 0.
    int Count() const { return FItems ? static_cast<int>(FItems->size()) : 0; }
    // An index outside 0..Count()-1 throws std::out_of_range.
    TEntry* Items(int Index) const;

    std::string Search;
    TOnDeleteEvent OnDelete;
    TOnAcceptEvent OnAccept;
    TSortDirectionOption SortDirection = sdAscending;
    TSortFieldOption SortField = sfTitle;
    TSearchFieldOption SearchField = seBoth;

  private:
    void ReleaseEnumerator();
    void SortItems();

    bool FAccept = false;
    bool FDelete = false;
    ComRef<IUrlHistoryStg2> FStore;
    ComRef<IEnumSTATURL> FEnumerator;
    std::unique_ptr<std::vector<std::unique_ptr<TEntry>>> FItems;
};
