#include "traces/UrlHistory.h"

#include <algorithm>

namespace {

// Local time at the two-second grain of the DOS date and time; the zero date when the time
// lies outside the years that DOS can hold.
double historyDateTime(const FILETIME& utc) {
    FILETIME local;
    WORD dosDate = 0;
    WORD dosTime = 0;
    if (!FileTimeToLocalFileTime(&utc, &local) ||
        !FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        return 0;
    double result = 0;
    if (!TryEncodeDateTime(static_cast<WORD>((dosDate >> 9) + 1980),
                           static_cast<WORD>((dosDate >> 5) & 0x0F),
                           static_cast<WORD>(dosDate & 0x1F), static_cast<WORD>(dosTime >> 11),
                           static_cast<WORD>((dosTime >> 5) & 0x3F),
                           static_cast<WORD>((dosTime & 0x1F) * 2), 0, result))
        return 0;
    return result;
}

std::string takeString(LPWSTR& text) {
    std::string result = WideToAnsi(text);
    CoTaskMemFree(text);
    text = nullptr;
    return result;
}

int compareKeys(const std::string& a, const std::string& b) {
    const int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int compareKeys(double a, double b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

TUrlHistory::~TUrlHistory() {
    ClearItems();
    FItems.reset();
    ReleaseEnumerator();
}

void TUrlHistory::Loaded() {
    FItems = std::make_unique<std::vector<std::unique_ptr<TEntry>>>();
    void* object = nullptr;
    const HRESULT hr =
        CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                         IID_IUrlHistoryStg2, &object);
    if (FAILED(hr) || !object)
        throw EOleSysError("the URL history object is not available",
                           FAILED(hr) ? hr : E_NOINTERFACE);
    FStore.reset(static_cast<IUrlHistoryStg2*>(object));
}

TEntry* TUrlHistory::Items(int Index) const {
    if (!FItems || Index < 0 || static_cast<std::size_t>(Index) >= FItems->size())
        throw std::out_of_range("history list index out of bounds");
    return (*FItems)[static_cast<std::size_t>(Index)].get();
}

void TUrlHistory::ReleaseEnumerator() {
    FEnumerator.reset();
}

void TUrlHistory::ClearItems() {
    if (FItems) FItems->clear();
}

int TUrlHistory::Refresh() {
    ClearItems();
    ReleaseEnumerator();
    // Before Loaded there is no store to list.
    if (!FStore || !FItems || FAILED(FStore->EnumUrls(FEnumerator.put())) || !FEnumerator)
        return Count();
    for (;;) {
        STATURL stat{};
        stat.cbSize = sizeof stat;
        ULONG fetched = 0;
        if (FEnumerator->Next(1, &stat, &fetched) != S_OK || fetched != 1) break;
        const std::string url = takeString(stat.pwcsUrl);
        const std::string title = takeString(stat.pwcsTitle);
        if (!Search.empty()) {
            const bool inTitle = title.find(Search) != std::string::npos;
            const bool inUrl = url.find(Search) != std::string::npos;
            // An address search looks at the address alone.
            if ((SearchField == seBoth && (!inTitle || !inUrl)) ||
                (SearchField == seTitle && !inTitle) || (SearchField == seURL && !inUrl))
                continue;
        }
        auto entry = std::make_unique<TEntry>();
        entry->Url = url;
        entry->Title = title;
        entry->LastVisited = historyDateTime(stat.ftLastVisited);
        entry->LastUpdated = historyDateTime(stat.ftLastUpdated);
        entry->Expires = historyDateTime(stat.ftExpires);
        FAccept = true;
        if (OnAccept)
            OnAccept(entry->Title, entry->Url, entry->LastVisited, entry->LastUpdated,
                     entry->Expires, FAccept);
        if (FAccept) FItems->push_back(std::move(entry));
    }
    SortItems();
    return Count();
}

void TUrlHistory::SortItems() {
    const TSortDirectionOption direction = SortDirection;
    const TSortFieldOption field = SortField;
    // -1 when A goes first in the chosen direction, 0 for equal keys, 1 otherwise; equal
    // keys compare as neither before the other, so the order stays strict for std::sort.
    auto compare = [direction, field](const TEntry& a, const TEntry& b) {
        int c = 0;
        switch (field) {
        case sfTitle:
            c = compareKeys(a.Title, b.Title);
            break;
        case sfURL:
            c = compareKeys(a.Url, b.Url);
            break;
        case sfLastVisited:
            c = compareKeys(a.LastVisited, b.LastVisited);
            break;
        case sfLastUpdated:
            c = compareKeys(a.LastUpdated, b.LastUpdated);
            break;
        case sfExpires:
            c = compareKeys(a.Expires, b.Expires);
            break;
        }
        return direction == sdAscending ? c : -c;
    };
    std::sort(FItems->begin(), FItems->end(),
              [&compare](const std::unique_ptr<TEntry>& a, const std::unique_ptr<TEntry>& b) {
                  return compare(*a, *b) < 0;
              });
}

int TUrlHistory::DeleteEntries() {
    ReleaseEnumerator();
    if (!FStore || FAILED(FStore->EnumUrls(FEnumerator.put())) || !FEnumerator) return 0;
    int count = 0;
    for (;;) {
        STATURL stat{};
        stat.cbSize = sizeof stat;
        ULONG fetched = 0;
        if (FEnumerator->Next(1, &stat, &fetched) != S_OK || fetched != 1) break;
        const WideString url = stat.pwcsUrl ? WideString(stat.pwcsUrl) : WideString();
        const std::string title = WideToAnsi(stat.pwcsTitle);
        CoTaskMemFree(stat.pwcsUrl);
        CoTaskMemFree(stat.pwcsTitle);
        FDelete = false;
        if (OnDelete)
            OnDelete(title, WideToAnsi(url), historyDateTime(stat.ftLastVisited),
                     historyDateTime(stat.ftLastUpdated), historyDateTime(stat.ftExpires), FDelete);
        if (FDelete) {
            FStore->DeleteUrl(url.c_str(), 0);
            ++count;
        }
    }
    return count;
}

void TUrlHistory::AddUrl(const WideString& Url, const WideString& Title) {
    if (FStore) FStore->AddUrl(Url.c_str(), Title.c_str(), 0);
}

void TUrlHistory::DeleteUrl(const WideString& Url) {
    if (FStore) FStore->DeleteUrl(Url.c_str(), 0);
}

std::vector<std::string> TUrlHistory::StoredUrls() {
    std::vector<std::string> urls;
    ComRef<IEnumSTATURL> enumerator;
    if (!FStore || FAILED(FStore->EnumUrls(enumerator.put())) || !enumerator) return urls;
    for (;;) {
        STATURL stat{};
        stat.cbSize = sizeof stat;
        ULONG fetched = 0;
        if (enumerator->Next(1, &stat, &fetched) != S_OK || fetched != 1) break;
        urls.push_back(WideToAnsi(stat.pwcsUrl));
        CoTaskMemFree(stat.pwcsUrl);
        CoTaskMemFree(stat.pwcsTitle);
    }
    return urls;
}

HRESULT TUrlHistory::ReadProblem() {
    if (!FStore) return E_NOINTERFACE;
    ComRef<IEnumSTATURL> enumerator;
    const HRESULT hr = FStore->EnumUrls(enumerator.put());
    if (FAILED(hr)) return hr;
    return enumerator ? S_OK : E_POINTER;
}

CleaningResult TUrlHistory::ClearedSince(std::size_t storedBefore) {
    CleaningResult result;
    const std::vector<std::string> left = StoredUrls();
    for (std::size_t i = left.size(); i < storedBefore; ++i)
        result.Removed();
    for (const std::string& url : left)
        result.Failed(url, ERROR_ACCESS_DENIED);
    return result;
}

void TUrlHistory::ClearHistory() {
    if (FStore) FStore->ClearHistory();
}
