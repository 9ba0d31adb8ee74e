// The URL history service: the "Visited:" entries of the URL cache as COM objects.
#pragma once

#include "platform/com.h"

// {3C374A40-BAE4-11CF-BF7D-00AA006946EE}
extern const CLSID CLSID_CUrlHistory;
// {3C374A41-BAE4-11CF-BF7D-00AA006946EE}
extern const IID IID_IUrlHistoryStg;
// {AFA0DC11-C313-11D0-831A-00C04FD5AE38}
extern const IID IID_IUrlHistoryStg2;
// {3C374A42-BAE4-11CF-BF7D-00AA006946EE}
extern const IID IID_IEnumSTATURL;

struct STATURL {
    DWORD cbSize;
    LPWSTR pwcsUrl;   // from CoTaskMemAlloc; the caller frees it
    LPWSTR pwcsTitle; // likewise; null when the page has no title
    FILETIME ftLastVisited;
    FILETIME ftLastUpdated;
    FILETIME ftExpires;
    DWORD dwFlags;
};
using LPSTATURL = STATURL*;

constexpr DWORD STATURL_QUERYFLAG_ISCACHED = 0x00010000;
constexpr DWORD STATURL_QUERYFLAG_NOURL = 0x00020000;
constexpr DWORD STATURL_QUERYFLAG_NOTITLE = 0x00040000;
constexpr DWORD STATURL_QUERYFLAG_TOPLEVEL = 0x00080000;
constexpr DWORD STATURLFLAG_ISCACHED = 0x00000001;
constexpr DWORD STATURLFLAG_ISTOPLEVEL = 0x00000002;

struct IOleCommandTarget;

struct IEnumSTATURL : IUnknown {
    // S_OK when all requested entries were delivered, S_FALSE when the list ended first.
    virtual HRESULT Next(ULONG celt, LPSTATURL rgelt, ULONG* celtFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumSTATURL** enumerator) = 0;
    // Keeps only addresses that begin with the filter (null: all).
    virtual HRESULT SetFilter(LPCOLESTR filter, DWORD flags) = 0;
};

struct IUrlHistoryStg : IUnknown {
    virtual HRESULT AddUrl(LPCOLESTR url, LPCOLESTR title, DWORD flags) = 0;
    virtual HRESULT DeleteUrl(LPCOLESTR url, DWORD flags) = 0;
    virtual HRESULT QueryUrl(LPCOLESTR url, DWORD flags, LPSTATURL stat) = 0;
    virtual HRESULT BindToObject(LPCOLESTR url, REFIID riid, void** object) = 0;
    virtual HRESULT EnumUrls(IEnumSTATURL** enumerator) = 0;
};

struct IUrlHistoryStg2 : IUrlHistoryStg {
    virtual HRESULT AddUrlAndNotify(LPCOLESTR url, LPCOLESTR title, DWORD flags, BOOL writeHistory,
                                    IOleCommandTarget* notify, IUnknown* folder) = 0;
    virtual HRESULT ClearHistory() = 0;
};

namespace platform {
// The factory behind CoCreateInstance(CLSID_CUrlHistory, ...).
HRESULT createUrlHistory(REFIID riid, void** object);
} // namespace platform
