// The URL history object over the "Visited: <user>@<url>" entries of the URL cache.
#include "platform/urlhistory.h"
#include "platform/com_object.h"
#include "platform/filetime.h"
#include "platform/taskalloc.h"

#include "platform/ansi.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "platform/wininet.h"

#include <cstring>
#include <new>

using platform::urlcache::Container;
using platform::urlcache::Record;

const CLSID CLSID_CUrlHistory = {
    0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID IID_IUrlHistoryStg = {
    0x3C374A41, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID IID_IUrlHistoryStg2 = {
    0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};
const IID IID_IEnumSTATURL = {
    0x3C374A42, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};

namespace {

// How long a visit stays in the history before it expires.
constexpr std::uint64_t kKeepTicks = 20 * platform::kTicksPerDay;

// A failure of the store inside a method becomes the method's result.
template <typename Body> HRESULT guardedResult(Body&& body) {
    try {
        return body();
    } catch (const platform::DatabaseError& e) {
        return HRESULT_FROM_WIN32(e.code());
    }
}

std::string keyPrefix() {
    return "Visited: " + platform::userName() + "@";
}

bool isOwnEntry(const std::string& url, const std::string& prefix) {
    return url.size() >= prefix.size() && AnsiSameText(url.substr(0, prefix.size()), prefix);
}

HRESULT fillStat(const Record& r, const std::string& prefix, DWORD flags, LPSTATURL stat) {
    std::memset(stat, 0, sizeof *stat);
    stat->cbSize = sizeof(STATURL);
    if (!(flags & STATURL_QUERYFLAG_NOURL)) {
        stat->pwcsUrl = platform::taskAllocatedWide(r.url.substr(prefix.size()));
        if (!stat->pwcsUrl) return E_OUTOFMEMORY;
    }
    if (!(flags & STATURL_QUERYFLAG_NOTITLE) && !r.title.empty()) {
        stat->pwcsTitle = platform::taskAllocatedWide(r.title);
        if (!stat->pwcsTitle) {
            CoTaskMemFree(stat->pwcsUrl);
            stat->pwcsUrl = nullptr;
            return E_OUTOFMEMORY;
        }
    }
    stat->ftLastVisited = r.lastAccess;
    stat->ftLastUpdated = r.lastModified;
    stat->ftExpires = r.expire;
    stat->dwFlags = STATURLFLAG_ISTOPLEVEL;
    return S_OK;
}

// Walks the user's visits in the order of the cache, after the last one handed out, so the
// caller may delete entries while it walks.
class StatUrlEnumerator final
    : public platform::ComObject<platform::ComInterface<IEnumSTATURL, &IID_IEnumSTATURL>> {
  public:
    StatUrlEnumerator() : prefix_(keyPrefix()) {}

    HRESULT Next(ULONG celt, LPSTATURL rgelt, ULONG* celtFetched) override {
        return guardedResult([&]() -> HRESULT {
            if (!rgelt || (!celtFetched && celt != 1)) return E_INVALIDARG;
            ULONG fetched = 0;
            Record r;
            while (fetched < celt && advance(r)) {
                const HRESULT hr = fillStat(r, prefix_, 0, &rgelt[fetched]);
                if (FAILED(hr)) return hr;
                ++fetched;
            }
            if (celtFetched) *celtFetched = fetched;
            return fetched == celt ? S_OK : S_FALSE;
        });
    }

    HRESULT Skip(ULONG celt) override {
        return guardedResult([&]() -> HRESULT {
            Record r;
            for (ULONG i = 0; i < celt; ++i)
                if (!advance(r)) return S_FALSE;
            return S_OK;
        });
    }

    HRESULT Reset() override {
        last_ = 0;
        return S_OK;
    }

    HRESULT Clone(IEnumSTATURL** enumerator) override {
        if (!enumerator) return E_POINTER;
        auto* copy = new (std::nothrow) StatUrlEnumerator(*this);
        *enumerator = copy;
        return copy ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT SetFilter(LPCOLESTR filter, DWORD) override {
        filter_ = WideToAnsi(filter);
        return S_OK;
    }

  private:
    StatUrlEnumerator(const StatUrlEnumerator& other)
        : ComObject(other), prefix_(other.prefix_), filter_(other.filter_), last_(other.last_) {}

    bool advance(Record& r) {
        while (std::optional<Record> next =
                   platform::urlcache::nextAfter(Container::History, last_)) {
            r = std::move(*next);
            last_ = r.id;
            if (isOwnEntry(r.url, prefix_) &&
                (filter_.empty() || r.url.compare(prefix_.size(), filter_.size(), filter_) == 0))
                return true;
        }
        return false;
    }

    std::string prefix_;
    std::string filter_;
    std::int64_t last_ = 0;
};

class UrlHistory final
    : public platform::ComObject<
          platform::ComInterface<IUrlHistoryStg2, &IID_IUrlHistoryStg, &IID_IUrlHistoryStg2>> {
  public:
    HRESULT AddUrl(LPCOLESTR url, LPCOLESTR title, DWORD) override {
        return guardedResult([&]() -> HRESULT {
            if (!url || !*url) return E_INVALIDARG;
            platform::Transaction tx;
            const std::string key = keyPrefix() + WideToAnsi(url);
            std::optional<Record> found = platform::urlcache::get(key);
            Record r = found ? std::move(*found) : Record();
            if (found) {
                if (r.lockCount > 0) return HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
                ++r.useCount;
            } else {
                r.url = key;
                r.type = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;
                r.useCount = 1;
            }
            if (title) r.title = WideToAnsi(title);
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            r.lastAccess = now;
            r.lastModified = now;
            r.lastSync = now;
            r.expire = platform::fileTimeOf(platform::ticksOf(now) + kKeepTicks);
            platform::urlcache::put(r);
            tx.commit();
            return S_OK;
        });
    }

    HRESULT DeleteUrl(LPCOLESTR url, DWORD) override {
        return guardedResult([&]() -> HRESULT {
            if (!url) return E_INVALIDARG;
            return HRESULT_FROM_WIN32(platform::urlcache::remove(keyPrefix() + WideToAnsi(url)));
        });
    }

    HRESULT QueryUrl(LPCOLESTR url, DWORD flags, LPSTATURL stat) override {
        return guardedResult([&]() -> HRESULT {
            if (!url) return E_INVALIDARG;
            const std::string prefix = keyPrefix();
            const std::optional<Record> r = platform::urlcache::get(prefix + WideToAnsi(url));
            if (!r) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            return stat ? fillStat(*r, prefix, flags, stat) : S_OK;
        });
    }

    HRESULT BindToObject(LPCOLESTR, REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT EnumUrls(IEnumSTATURL** enumerator) override {
        if (!enumerator) return E_POINTER;
        *enumerator = new (std::nothrow) StatUrlEnumerator();
        return *enumerator ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT AddUrlAndNotify(LPCOLESTR url, LPCOLESTR title, DWORD flags, BOOL writeHistory,
                            IOleCommandTarget*, IUnknown*) override {
        return writeHistory ? AddUrl(url, title, flags) : S_OK;
    }

    // Locked visits stay, as the cache keeps every locked entry.
    HRESULT ClearHistory() override {
        return guardedResult([&]() -> HRESULT {
            const std::string prefix = keyPrefix();
            platform::Transaction tx;
            for (const Record& r : platform::urlcache::list(Container::History))
                if (isOwnEntry(r.url, prefix) && r.lockCount == 0)
                    platform::urlcache::remove(r.url);
            tx.commit();
            return S_OK;
        });
    }
};

} // namespace

namespace platform {
HRESULT createUrlHistory(REFIID riid, void** object) {
    const ComRef<UrlHistory> history(new (std::nothrow) UrlHistory());
    if (!history) return E_OUTOFMEMORY;
    return history->QueryInterface(riid, object);
}
} // namespace platform
