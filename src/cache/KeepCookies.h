// The keep-list: the sites whose cookies survive every cleaning. Stored under the current
// user's key Software\Kravonel\Surfkolibri\KeepCookies, one REG_SZ value per site: the value
// name is the site's host name in lower case, the data the day it was added (YYYY-MM-DD).
// A site covers itself and every name below it: "example.com" keeps the cookies of
// "www.example.com" and "login.example.com", not those of "badexample.com". Names compare
// without regard to case. Plain logic over the registry; the cookie window edits the list,
// every cookie cleaning reads it and none ever writes it.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

// Where the list lives, below HKEY_CURRENT_USER.
inline constexpr const char* kKeepCookiesKey = "Software\\Kravonel\\Surfkolibri\\KeepCookies";
// The longest host name the domain name system allows.
inline constexpr std::size_t kMaxHostLength = 253;

// A host name as the list compares and stores it: lower case, one leading dot (as a
// cookie's domain may carry it) dropped. Empty when it is no plausible host name: empty,
// longer than 253 characters, an empty part ("a..b", a trailing dot), or any character but
// letters, digits, '-' and '_' between its dots (a blank, '/', '@', a control character).
std::string KeepSiteName(const std::string& host);

// Whether the site `site` covers `host`: the host is the site or a name below it ("example.com"
// covers "www.example.com", not "badexample.com"). Both as KeepSiteName gives them.
bool KeepSiteCovers(const std::string& site, const std::string& host);

// The host of a cookie entry of the URL cache, as the cookie window lists them
// ("Cookie:user@www.example.com/path" gives "www.example.com"), in lower case; empty for
// any other URL.
std::string CookieEntryHost(const std::string& url);

class TKeepCookies {
  public:
    struct Site {
        std::string host;  // lower case
        std::string added; // YYYY-MM-DD, or empty when the value holds no date
    };

    // The list as the registry holds it now.
    static TKeepCookies FromRegistry();

    // Reads the list again. A missing key is an empty list. Values whose names are no
    // plausible host are passed over (and stay in the registry). False, with the error
    // in LoadError(), when the key could not be read: the list is then unreadable, and
    // Keeps answers true for every host, so that a cleaning removes no cookie it cannot
    // be sure of.
    bool Load();
    bool Readable() const { return loadError_ == ERROR_SUCCESS; }
    DWORD LoadError() const { return loadError_; }

    // The sites in the order of their names.
    const std::vector<Site>& Sites() const { return sites_; }
    bool Empty() const { return sites_.empty(); }

    // Whether a cookie of `host` is kept: one of the sites is the host or a name it lies
    // below. A leading dot in the host counts as the same site; no plausible host is kept
    // only while the list is unreadable.
    bool Keeps(const std::string& host) const;
    // The sites that cover `host` (the host itself and those it lies below).
    std::vector<std::string> SitesCovering(const std::string& host) const;

    // Puts the site on the list, dated today (local time); a site already listed keeps its
    // date. ERROR_SUCCESS, ERROR_INVALID_NAME for no plausible host, or the registry's error.
    DWORD Add(const std::string& host);
    // Takes the site off the list; its cookies stay where they are. ERROR_SUCCESS,
    // ERROR_FILE_NOT_FOUND when it is not listed, or the registry's error.
    DWORD Remove(const std::string& host);

  private:
    std::vector<Site> sites_;
    DWORD loadError_ = ERROR_SUCCESS;
};

// The keep predicate over a cookie entry of the URL cache: whether the entry's site is kept.
// An entry that is no cookie ("Cookie:" URL) is not kept here; while the list is unreadable
// every entry is.
bool KeepsCookieEntry(const TKeepCookies& keep, const std::string& url);
