// cache and history commands, and the cache part of seed-demo.
#include "commands.h"

#include "platform/filetime.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace skplatform {
namespace {

using platform::urlcache::Container;
using platform::urlcache::Record;

constexpr std::uint64_t kTicksPerDay = platform::kTicksPerDay;

// A one-pixel GIF and an 8x8 JPEG, so that the demo's pictures are real pictures.
const char kGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x21\xf9\x04\x01"
                    "\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00"
                    "\x3b";
const char kJpeg[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb"
    "\x00\x43\x00\x10\x0b\x0c\x0e\x0c\x0a\x10\x0e\x0d\x0e\x12\x11\x10\x13\x18\x28\x1a\x18\x16"
    "\x16\x18\x31\x23\x25\x1d\x28\x3a\x33\x3d\x3c\x39\x33\x38\x37\x40\x48\x5c\x4e\x40\x44\x57"
    "\x45\x37\x38\x50\x6d\x51\x57\x5f\x62\x67\x68\x67\x3e\x4d\x71\x79\x70\x64\x78\x5c\x65\x67"
    "\x63\xff\xdb\x00\x43\x01\x11\x12\x12\x18\x15\x18\x2f\x1a\x1a\x2f\x63\x42\x38\x42\x63\x63"
    "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
    "\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63\x63"
    "\x63\x63\x63\x63\xff\xc0\x00\x11\x08\x00\x08\x00\x08\x03\x01\x22\x00\x02\x11\x01\x03\x11"
    "\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x03\xff\xc4\x00\x17\x10\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x04\x21\x31\xff\xc4\x00\x14\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x04\xff\xc4\x00\x1a\x11\x00\x02\x02\x03\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x02\x01\x03\x04\x11\x13\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11"
    "\x00\x3f\x00\xa4\xb1\x73\x00\x2d\xec\x6d\x87\xc6\xb5\xb9\xc1\xff\xd9";

std::uint64_t nowTicks() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return platform::ticksOf(now);
}

std::string timeText(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    if (platform::ticksOf(utc) == 0 || !FileTimeToLocalFileTime(&utc, &local) ||
        !FileTimeToSystemTime(&local, &st))
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                  st.wHour, st.wMinute, st.wSecond);
    return text;
}

int usageError(const char* command, const std::string& message) {
    std::fprintf(stderr, "skplatform %s: %s (see 'skplatform %s --help')\n", command,
                 message.c_str(), command);
    return 2;
}

bool readHostFile(const std::string& path, std::string& data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    std::fclose(f);
    return true;
}

std::string cookieDomain(const std::string& url) {
    // "Cookie:user@domain/path"
    const auto at = url.find('@');
    std::string rest = at == std::string::npos ? url.substr(7) : url.substr(at + 1);
    while (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    for (char& c : rest)
        if (c == '/') c = '_';
    return rest;
}

int cacheList(const Args& args) {
    Container container = Container::Content;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--cookies")
            container = Container::Cookies;
        else if (args[i] == "--history")
            container = Container::History;
        else if (args[i] == "--all")
            container = Container::All;
        else
            return usageError("cache", "unknown option '" + args[i] + "' for list");
    }
    const auto records = platform::urlcache::list(container);
    for (const Record& r : records)
        std::printf("%s\t%llu\t%s\t%s%s\n", r.url.c_str(), static_cast<unsigned long long>(r.size),
                    timeText(r.lastAccess).c_str(), r.localFile.empty() ? "-" : r.localFile.c_str(),
                    r.lockCount > 0 ? "\tlocked" : "");
    std::printf("%zu entries\n", records.size());
    return 0;
}

int cacheAdd(const Args& args) {
    if (args.size() < 2) return usageError("cache", "add needs a URL");
    const std::string url = args[1];
    std::string data = "<html><head><title>" + url + "</title></head><body></body></html>\n";
    DWORD type = NORMAL_CACHE_ENTRY;
    bool locked = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--text" && hasValue) {
            data = args[++i];
        } else if (args[i] == "--file" && hasValue) {
            data.clear();
            if (!readHostFile(args[++i], data)) {
                std::fprintf(stderr, "skplatform cache: cannot read '%s'\n", args[i].c_str());
                return 1;
            }
        } else if (args[i] == "--type" && hasValue) {
            char* end = nullptr;
            type = static_cast<DWORD>(std::strtoul(args[++i].c_str(), &end, 16));
            if (!end || *end)
                return usageError("cache", "bad type '" + args[i] + "' (hexadecimal bits)");
        } else if (args[i] == "--locked") {
            locked = true;
        } else {
            return usageError("cache", "unknown option '" + args[i] + "' for add");
        }
    }
    const Container container = platform::urlcache::containerOf(url);
    if (container == Container::History)
        return usageError("cache", "'" + url + "' is a history entry: use 'history add'");
    std::string file;
    if (container == Container::Cookies) {
        type |= COOKIE_CACHE_ENTRY;
        file = platform::urlcache::storeCookieFile(platform::userName(), cookieDomain(url), data);
    } else {
        file = platform::urlcache::storeContentFile(url, data);
    }
    if (file.empty()) {
        std::fprintf(stderr, "skplatform cache: cannot write the file for '%s'\n", url.c_str());
        return 1;
    }
    const std::uint64_t now = nowTicks();
    const auto dot = file.find_last_of('.');
    const std::string ext = dot == std::string::npos ? "" : file.substr(dot + 1);
    if (!CommitUrlCacheEntryA(url.c_str(), file.c_str(),
                              platform::fileTimeOf(now + 30 * kTicksPerDay),
                              platform::fileTimeOf(now), type, nullptr, 0, ext.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        DeleteFileA(file.c_str());
        std::fprintf(stderr, "skplatform cache: cannot add '%s' (error %u)\n", url.c_str(), error);
        return 1;
    }
    if (locked) platform::urlcache::lock(url);
    std::printf("%s\t%s\n", url.c_str(), file.c_str());
    return 0;
}

int cacheDelete(const Args& args) {
    if (args.size() != 2) return usageError("cache", "delete needs exactly one URL");
    if (!DeleteUrlCacheEntryA(args[1].c_str())) {
        const DWORD error = GetLastError();
        std::fprintf(stderr, "skplatform cache: cannot delete '%s': %s (error %u)\n",
                     args[1].c_str(),
                     error == ERROR_FILE_NOT_FOUND  ? "no such entry"
                     : error == ERROR_ACCESS_DENIED ? "the entry is locked; it goes when unlocked"
                                                    : "failed",
                     error);
        return 1;
    }
    return 0;
}

int cacheLock(const Args& args) {
    if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--off"))
        return usageError("cache", "lock needs a URL and optionally --off");
    const bool done =
        args.size() == 2 ? platform::urlcache::lock(args[1]) : platform::urlcache::unlock(args[1]);
    if (!done) {
        std::fprintf(stderr, "skplatform cache: no entry '%s'\n", args[1].c_str());
        return 1;
    }
    return 0;
}

IUrlHistoryStg2* openHistory() {
    IUrlHistoryStg2* store = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUrlHistoryStg2, reinterpret_cast<void**>(&store))))
        return nullptr;
    return store;
}

// Demo data: sites with their pages, in the cache, as cookies and in the history.
const char* const kSites[] = {
    "example.com",    "news-daily.example", "weather.example", "shop.example",  "video.example",
    "forum.example",  "mail.example",       "maps.example",    "wiki.example",  "bank.example",
    "travel.example", "recipes.example",    "sports.example",  "music.example", "photos.example",
    "blog.example",   "games.example",      "jobs.example",    "cars.example",  "books.example",
};
const char* const kPages[] = {"index", "news",    "article", "gallery", "search",
                              "about", "contact", "product", "login",   "help"};
const char* const kKinds[] = {"htm", "html", "gif", "jpg", "jpeg", "css", "js", "GIF"};
const char* const kTitles[] = {"Home",           "Latest news", "Article", "Photo gallery",
                               "Search results", "About us",    "Contact", "Product details",
                               "Sign in",        "Help"};

std::string demoData(const std::string& kind, const std::string& title) {
    if (kind == "gif" || kind == "GIF") return std::string(kGif, sizeof kGif - 1);
    if (kind == "jpg" || kind == "jpeg") return std::string(kJpeg, sizeof kJpeg - 1);
    if (kind == "css") return "body { font-family: sans-serif; margin: 0; }\nh1 { color: #036; }\n";
    if (kind == "js") return "function init() { document.title = '" + title + "'; }\n";
    return "<html><head><title>" + title + "</title></head><body><h1>" + title +
           "</h1><p>Demo page.</p></body></html>\n";
}

const char* contentType(const std::string& kind) {
    if (kind == "gif" || kind == "GIF") return "image/gif";
    if (kind == "jpg" || kind == "jpeg") return "image/jpeg";
    if (kind == "css") return "text/css";
    if (kind == "js") return "application/javascript";
    return "text/html";
}

} // namespace

int runCache(const Args& args) {
    if (args.empty() || wantsHelp(args)) {
        std::printf(
            "usage: skplatform cache list [--cookies|--history|--all]\n"
            "       skplatform cache add URL [--text TEXT | --file HOSTFILE] [--type HEX] "
            "[--locked]\n"
            "       skplatform cache delete URL\n"
            "       skplatform cache lock URL [--off]\n\n"
            "list shows the content entries (or cookies, history, every entry): URL, size,\n"
            "last access, local file. add stores the data as the entry's file in the cache\n"
            "folder (\"Cookie:\" URLs in the Cookies folder). delete removes the entry and its\n"
            "file. A locked entry refuses deletion.\n");
        return args.empty() ? 2 : 0;
    }
    const std::string& sub = args[0];
    if (sub == "list") return cacheList(args);
    if (sub == "add") return cacheAdd(args);
    if (sub == "delete") return cacheDelete(args);
    if (sub == "lock") return cacheLock(args);
    return usageError("cache", "unknown subcommand '" + sub + "'");
}

int runHistory(const Args& args) {
    if (args.empty() || wantsHelp(args)) {
        std::printf("usage: skplatform history list\n"
                    "       skplatform history add URL [TITLE]\n"
                    "       skplatform history clear\n\n"
                    "The current user's URL history: last visit, URL and title.\n");
        return args.empty() ? 2 : 0;
    }
    const std::string& sub = args[0];
    if (sub != "list" && sub != "add" && sub != "clear")
        return usageError("history", "unknown subcommand '" + sub + "'");
    if ((sub == "add" && (args.size() < 2 || args.size() > 3)) ||
        (sub != "add" && args.size() != 1))
        return usageError("history", "wrong arguments for " + sub);
    IUrlHistoryStg2* store = openHistory();
    if (!store) {
        std::fprintf(stderr, "skplatform history: the history object is not available\n");
        return 1;
    }
    int result = 0;
    if (sub == "add") {
        const std::u16string title = args.size() == 3 ? AnsiToWide(args[2]) : std::u16string();
        if (FAILED(store->AddUrl(AnsiToWide(args[1]).c_str(),
                                 args.size() == 3 ? title.c_str() : nullptr, 0))) {
            std::fprintf(stderr, "skplatform history: cannot add '%s'\n", args[1].c_str());
            result = 1;
        }
    } else if (sub == "clear") {
        store->ClearHistory();
    } else {
        IEnumSTATURL* enumerator = nullptr;
        int count = 0;
        if (SUCCEEDED(store->EnumUrls(&enumerator))) {
            STATURL stat{};
            stat.cbSize = sizeof stat;
            ULONG fetched = 0;
            while (enumerator->Next(1, &stat, &fetched) == S_OK && fetched == 1) {
                std::printf("%s\t%s\t%s\n", timeText(stat.ftLastVisited).c_str(),
                            WideToAnsi(stat.pwcsUrl).c_str(), WideToAnsi(stat.pwcsTitle).c_str());
                CoTaskMemFree(stat.pwcsUrl);
                CoTaskMemFree(stat.pwcsTitle);
                ++count;
            }
            enumerator->Release();
        }
        std::printf("%d entries\n", count);
    }
    store->Release();
    return result;
}

void seedManyPages(int pages) {
    platform::Transaction tx;
    const std::string cache = platform::urlcache::cacheFolder() + "\\Content.IE5\\";
    const char* const folders[] = {"0QK7ZP2M", "A8D3LW1X", "H4T9RB6C", "V2N5GJ0E"};
    std::vector<std::string> hostFolders;
    for (const char* folder : folders) {
        CreateDirectoryA((cache + folder).c_str(), nullptr);
        const platform::Result<platform::HostPath> host = platform::resolvePath(cache + folder);
        if (!host) return;
        hostFolders.push_back(host->str() + "/");
    }
    // The files are written by the host directly: tens of thousands through the file calls,
    // each checking rights and attributes, would take minutes.
    const std::uint64_t now = nowTicks();
    Record r;
    r.type = NORMAL_CACHE_ENTRY;
    r.header = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    r.extension = "htm";
    r.lastModified = r.lastAccess = r.lastSync = platform::fileTimeOf(now);
    for (int i = 0; i < pages; ++i) {
        const std::string page = "<html><body>Page " + std::to_string(i) + "</body></html>\n";
        r.url = "http://www.many" + std::to_string(i % 50) + ".example/page" + std::to_string(i) +
                ".htm";
        if (platform::urlcache::get(r.url)) continue; // seeded before
        const std::string name = "page" + std::to_string(i) + "[1].htm";
        const std::size_t folder = static_cast<std::size_t>(i) % std::size(folders);
        r.localFile = cache + folders[folder] + "\\" + name;
        std::ofstream file(hostFolders[folder] + name, std::ios::binary);
        if (!(file << page)) continue;
        r.size = page.size();
        platform::urlcache::put(r);
    }
    tx.commit();
}

void seedDemoCache() {
    platform::Transaction tx;
    const std::uint64_t now = nowTicks();
    const std::string user = platform::userName();
    int index = 0;
    // Content: 20 sites x 16 files = 320 entries of mixed kinds.
    for (int s = 0; s < 20; ++s) {
        for (int f = 0; f < 16; ++f, ++index) {
            const std::string kind = kKinds[(s + f) % std::size(kKinds)];
            const std::string page = kPages[f % std::size(kPages)];
            const std::string url = "http://www." + std::string(kSites[s]) + "/" +
                                    (f < 8 ? "" : "static/") + page + std::to_string(f) + "." +
                                    kind;
            if (platform::urlcache::get(url)) continue; // seeded before
            Record r;
            const std::string data = demoData(kind, kTitles[f % std::size(kTitles)]);
            r.url = url;
            r.localFile = platform::urlcache::storeContentFile(url, data);
            if (r.localFile.empty()) continue;
            r.type = NORMAL_CACHE_ENTRY | (index % 23 == 0 ? STICKY_CACHE_ENTRY : 0);
            r.size = data.size();
            const std::uint64_t age =
                (static_cast<std::uint64_t>(index) * 7919) % (42 * kTicksPerDay / 1000) * 1000;
            r.lastModified = platform::fileTimeOf(now - age - 3 * kTicksPerDay);
            r.lastAccess = platform::fileTimeOf(now - age);
            r.lastSync = r.lastAccess;
            r.expire = platform::fileTimeOf(now - age + 30 * kTicksPerDay);
            r.header = std::string("HTTP/1.1 200 OK\r\nContent-Type: ") + contentType(kind) +
                       "\r\nContent-Length: " + std::to_string(data.size()) + "\r\n\r\n";
            r.extension = kind;
            r.useCount = static_cast<DWORD>(1 + index % 9);
            r.hitRate = static_cast<DWORD>(index % 5);
            r.lockCount = index % 97 == 5 ? 1 : 0; // a few, as pages open in a browser keep theirs
            platform::urlcache::put(r);
        }
    }
    // Cookies: every site, plus its subdomains for some, 45 in all.
    for (int c = 0; c < 45; ++c) {
        const std::string domain = (c < 20   ? ""
                                    : c < 35 ? "www."
                                             : "ads.") +
                                   std::string(kSites[c % 20]);
        const std::string url = "Cookie:" + user + "@" + domain + "/";
        if (platform::urlcache::get(url)) continue;
        Record r;
        const std::uint64_t created = now - (static_cast<std::uint64_t>(c) * 3 % 40) * kTicksPerDay;
        const FILETIME expires = platform::fileTimeOf(created + 365 * kTicksPerDay);
        const FILETIME made = platform::fileTimeOf(created);
        const std::string text = "id\n" + std::to_string(100000 + c * 7717) + "\n" + domain +
                                 "/\n1536\n" + std::to_string(expires.dwLowDateTime) + "\n" +
                                 std::to_string(expires.dwHighDateTime) + "\n" +
                                 std::to_string(made.dwLowDateTime) + "\n" +
                                 std::to_string(made.dwHighDateTime) + "\n*\n";
        r.url = url;
        r.localFile = platform::urlcache::storeCookieFile(user, domain, text);
        if (r.localFile.empty()) continue;
        r.type = NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY;
        r.size = text.size();
        r.lastModified = made;
        // Read again half a day after it was made, but never later than now.
        r.lastAccess = platform::fileTimeOf(std::min(created + kTicksPerDay / 2, now));
        r.lastSync = r.lastAccess;
        r.expire = expires;
        r.extension = "txt";
        r.useCount = 1;
        platform::urlcache::put(r);
    }
    // History: 66 visits with titles over six weeks.
    for (int h = 0; h < 66; ++h) {
        const std::string site = kSites[h % 20];
        const std::string page = kPages[h % std::size(kPages)];
        const std::string url =
            "http://www." + site + "/" + (h < 20 ? "" : page + "/" + std::to_string(h) + ".html");
        const std::string key = "Visited: " + user + "@" + url;
        if (platform::urlcache::get(key)) continue;
        Record r;
        const std::uint64_t visited =
            now - (static_cast<std::uint64_t>(h) * 15263 % (42 * 24 * 60)) * (kTicksPerDay / 1440);
        r.url = key;
        r.type = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;
        r.title = site + (h < 20 ? std::string(" - Home")
                                 : " - " + std::string(kTitles[h % std::size(kTitles)]));
        r.lastAccess = platform::fileTimeOf(visited);
        r.lastModified = r.lastAccess;
        r.lastSync = r.lastAccess;
        r.expire = platform::fileTimeOf(visited + 20 * kTicksPerDay);
        r.useCount = static_cast<DWORD>(1 + h % 4);
        platform::urlcache::put(r);
    }
    tx.commit();
}

} // namespace skplatform
