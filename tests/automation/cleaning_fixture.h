// A machine with traces to clean: cache entries with their files, cookies, visits, typed
// addresses, the Run list, recent documents and the profiles of the other browsers; and a
// count of what is left of each.
#pragma once

#include "automation_fixture.h"

#include "support/cache_entries.h"

namespace automation_test {

inline const std::string kRoaming = "C:\\Users\\User\\AppData\\Roaming\\";
inline const std::string kLocal = "C:\\Users\\User\\AppData\\Local\\";
inline const std::string kOpera = kRoaming + "Opera\\opera\\profile\\";
inline const std::string kMozilla = kRoaming + "Mozilla\\Profiles\\default\\";
inline const std::string kFirefox = kRoaming + "Mozilla\\Firefox\\Profiles\\abc.default\\";
inline const char* const kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
inline const char* const kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline const std::string kRecent = kRoaming + "Microsoft\\Windows\\Recent\\";

inline void writeFileAt(const std::string& path, const std::string& contents = "data") {
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    for (std::size_t i = folder.find('\\', 3); i != std::string::npos; i = folder.find('\\', i + 1))
        CreateDirectoryA(folder.substr(0, i).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(path, contents)) << path;
}

inline void setValue(const char* key, const std::string& name, const std::string& text) {
    UniqueHKey handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, handle.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle.get(), name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1)));
}

inline int valueCount(const char* key) {
    UniqueHKey handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, handle.out()) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(handle.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    return static_cast<int>(values);
}

inline int filesIn(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find.valid()) return 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(find.get(), &found));
    return n;
}

// What is left of each kind of trace.
struct Traces {
    int content = 0;
    int contentFiles = 0;
    int cookies = 0;
    int visits = 0;
    int typed = 0;
    int runList = 0;
    int recent = 0;
    bool operator==(const Traces&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Traces& t) {
    return out << "content " << t.content << " (files " << t.contentFiles << "), cookies "
               << t.cookies << ", visits " << t.visits << ", typed " << t.typed << ", run list "
               << t.runList << ", recent " << t.recent;
}

inline Traces tracesLeft() {
    using platform::urlcache::Container;
    Traces t;
    for (const auto& r : platform::urlcache::list(Container::Content)) {
        ++t.content;
        if (FileExistsA(r.localFile)) ++t.contentFiles;
    }
    t.cookies = static_cast<int>(testing_support::entriesIn(Container::Cookies));
    t.visits = static_cast<int>(testing_support::entriesIn(Container::History));
    t.typed = valueCount(kTypedUrls);
    t.runList = valueCount(kRunMru);
    t.recent = filesIn(kRecent) - (FileExistsA(kRecent + "desktop.ini") ? 1 : 0);
    return t;
}

// Three of everything Internet Explorer and Windows keep.
inline void addInternetExplorerTraces() {
    for (const char* page :
         {"http://www.a.example/", "http://www.b.example/x.gif", "http://www.c.example/style.css"})
        testing_support::addContent(page);
    for (const char* domain : {"a.example", "b.example", "c.example"})
        testing_support::addCookie(domain);
    for (const char* visit :
         {"http://www.a.example/", "http://www.b.example/", "http://www.c.example/"})
        testing_support::addVisit(visit);
    for (const char* name : {"url1", "url2", "url3"})
        setValue(kTypedUrls, name, std::string("http://www.") + name + ".example/");
    for (const char* name : {"a", "b", "c"})
        setValue(kRunMru, name, std::string("notepad ") + name + "\\1");
    setValue(kRunMru, "MRUList", "cba");
    for (const char* document : {"Brief.doc", "Liste.txt", "Foto.jpg"}) {
        const std::string path = "C:\\Users\\User\\Documents\\" + std::string(document);
        writeFileAt(path);
        SHAddToRecentDocs(SHARD_PATHA, path.c_str());
    }
}

inline const Traces kInternetExplorerTraces{3, 3, 3, 3, 3, 4, 3};

inline void addOperaProfile() {
    for (const char* file : {"opr00001.tmp", "opr00002.tmp", "dcache4.url"})
        writeFileAt(kOpera + "cache4\\" + file);
    writeFileAt(kOpera + "cookies4.dat");
    writeFileAt(kOpera + "global.dat");
    writeFileAt(kOpera + "opera6.ini");
}

inline void addMozillaProfile() {
    writeFileAt(kMozilla + "Cache\\_CACHE_MAP_");
    writeFileAt(kMozilla + "Cache\\0\\4A1C3E07d01");
    writeFileAt(kMozilla + "cookies.txt");
    writeFileAt(kMozilla + "history.dat");
    writeFileAt(kMozilla + "prefs.js");
}

inline void addFirefoxProfile() {
    writeFileAt(kFirefox + "Cache\\_CACHE_001_");
    writeFileAt(kFirefox + "cookies.txt");
    writeFileAt(kFirefox + "history.dat");
    writeFileAt(kFirefox + "prefs.js");
}

} // namespace automation_test
