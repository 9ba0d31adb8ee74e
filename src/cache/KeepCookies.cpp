#include "cache/KeepCookies.h"

#include <algorithm>
#include <cstdio>

namespace {

// The longest value name the registry allows, plus its terminator.
constexpr DWORD kNameBuffer = 16384;
constexpr const char kCookiePrefix[] = "Cookie:";

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return lowerAscii(c); });
    return text;
}

bool hostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// A host name as it stands: parts of letters, digits, '-' and '_' between single dots.
bool plausibleHost(const std::string& host) {
    if (host.empty() || host.size() > kMaxHostLength) return false;
    bool partStarted = false;
    for (char c : host) {
        if (c == '.') {
            if (!partStarted) return false;
            partStarted = false;
        } else if (hostCharacter(c)) {
            partStarted = true;
        } else {
            return false;
        }
    }
    return partStarted;
}

std::string today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", static_cast<unsigned>(now.wYear) % 10000u,
                  static_cast<unsigned>(now.wMonth) % 100u, static_cast<unsigned>(now.wDay) % 100u);
    return text;
}

// The text a value holds, empty for a value of another type or one that cannot be read.
std::string readText(HKEY key, const std::string& name) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD filled = size;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &filled) != ERROR_SUCCESS)
        return {};
    buffer.resize(std::min<std::size_t>(filled, buffer.size()));
    return buffer.substr(0, buffer.find('\0'));
}

} // namespace

std::string KeepSiteName(const std::string& host) {
    std::string name = host;
    if (!name.empty() && name.front() == '.') name.erase(0, 1);
    return plausibleHost(name) ? lowerAscii(name) : std::string();
}

bool KeepSiteCovers(const std::string& site, const std::string& host) {
    if (host == site) return true;
    return host.size() > site.size() &&
           host.compare(host.size() - site.size(), site.size(), site) == 0 &&
           host[host.size() - site.size() - 1] == '.';
}

std::string CookieEntryHost(const std::string& url) {
    const std::size_t prefix = sizeof kCookiePrefix - 1;
    if (url.size() <= prefix || lowerAscii(url.substr(0, prefix)) != lowerAscii(kCookiePrefix))
        return {};
    // "user@host/path": the user name may hold an '@' itself, the host never does.
    const std::string authority = url.substr(prefix, url.find('/', prefix) - prefix);
    const std::size_t at = authority.rfind('@');
    if (at == std::string::npos) return {};
    return lowerAscii(authority.substr(at + 1));
}

TKeepCookies TKeepCookies::FromRegistry() {
    TKeepCookies list;
    list.Load();
    return list;
}

bool TKeepCookies::Load() {
    sites_.clear();
    loadError_ = ERROR_SUCCESS;
    UniqueHKey key;
    const LSTATUS opened =
        RegOpenKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, KEY_READ, key.out());
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) {
        loadError_ = static_cast<DWORD>(opened);
        return false;
    }
    std::string buffer(kNameBuffer, '\0');
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBuffer;
        const LSTATUS read = RegEnumValueA(key.get(), index, buffer.data(), &size, nullptr, nullptr,
                                           nullptr, nullptr);
        if (read == ERROR_NO_MORE_ITEMS) break;
        if (read != ERROR_SUCCESS) {
            loadError_ = static_cast<DWORD>(read);
            return false;
        }
        names.emplace_back(buffer.data(), size);
    }
    for (const std::string& name : names) {
        // A value some other hand put here that names no host is none of ours to read.
        if (!plausibleHost(name)) continue;
        sites_.push_back({lowerAscii(name), readText(key.get(), name)});
    }
    std::sort(sites_.begin(), sites_.end(),
              [](const Site& a, const Site& b) { return a.host < b.host; });
    return true;
}

bool TKeepCookies::Keeps(const std::string& host) const {
    if (!Readable()) return true;
    return !SitesCovering(host).empty();
}

std::vector<std::string> TKeepCookies::SitesCovering(const std::string& host) const {
    std::vector<std::string> found;
    const std::string name = KeepSiteName(host);
    if (name.empty()) return found;
    for (const Site& site : sites_)
        if (KeepSiteCovers(site.host, name)) found.push_back(site.host);
    return found;
}

DWORD TKeepCookies::Add(const std::string& host) {
    const std::string name = KeepSiteName(host);
    if (name.empty()) return ERROR_INVALID_NAME;
    UniqueHKey key;
    LSTATUS status =
        RegCreateKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
    if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        const std::string date = today();
        status = RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(date.c_str()),
                                static_cast<DWORD>(date.size() + 1));
        if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    }
    key.reset();
    Load();
    return ERROR_SUCCESS;
}

DWORD TKeepCookies::Remove(const std::string& host) {
    const std::string name = KeepSiteName(host);
    if (name.empty()) return ERROR_FILE_NOT_FOUND;
    UniqueHKey key;
    LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, kKeepCookiesKey, 0,
                                   KEY_QUERY_VALUE | KEY_SET_VALUE, key.out());
    if (status == ERROR_SUCCESS) status = RegDeleteValueA(key.get(), name.c_str());
    key.reset();
    Load();
    return static_cast<DWORD>(status);
}

bool KeepsCookieEntry(const TKeepCookies& keep, const std::string& url) {
    if (!keep.Readable()) return true;
    const std::string host = CookieEntryHost(url);
    return !host.empty() && keep.Keeps(host);
}
