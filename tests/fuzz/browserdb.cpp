// The databases of today's browsers, as their cleanings open, check and clean them: the first
// byte chooses the file (Firefox's cookies, places, form history or icons, Chrome's cookies,
// history, icons, top sites, typed addresses, predictions or form entries), the rest is the
// database. Whatever it holds, the preview changes nothing, the
// cleaning removes what the preview counted, never deletes the file, and leaves nothing for a
// second look to count.
#include "fuzz_support.h"

#include "otherbrowsers/BrowserCleaning.h"
#include "otherbrowsers/OtherBrowserProfiles.h"

#include <string>
#include <vector>

namespace {

struct Target {
    Browser browser;
    BrowserPart part;
    std::string file; // below the profile folder
};

struct Profiles {
    std::string firefox;
    std::string chrome;
};

const Profiles& profiles() {
    static const Profiles made = [] {
        fuzzing::scratchFolder(); // the machine first
        const std::string firefox = UserFolderBelow("AppData", "Mozilla\\Firefox\\");
        const std::string chrome =
            UserFolderBelow("Local AppData", "Google\\Chrome\\User Data\\") + "Default\\";
        FUZZ_CHECK(fuzzing::makeFolders(firefox + "Profiles\\fuzz.default\\"));
        FUZZ_CHECK(fuzzing::makeFolders(chrome + "Network\\"));
        FUZZ_CHECK(WriteWholeFile(firefox + "profiles.ini",
                                  "[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                                  "Path=Profiles/fuzz.default\r\n"));
        return Profiles{firefox + "Profiles\\fuzz.default\\", chrome};
    }();
    return made;
}

std::vector<Target> targets() {
    const Profiles& p = profiles();
    return {{Browser::Firefox, BrowserPart::Cookies, p.firefox + "cookies.sqlite"},
            {Browser::Firefox, BrowserPart::History, p.firefox + "places.sqlite"},
            {Browser::Firefox, BrowserPart::History, p.firefox + "formhistory.sqlite"},
            {Browser::Chrome, BrowserPart::Cookies, p.chrome + "Network\\Cookies"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "History"},
            {Browser::Firefox, BrowserPart::History, p.firefox + "favicons.sqlite"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "Favicons"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "Top Sites"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "Shortcuts"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "Network Action Predictor"},
            {Browser::Chrome, BrowserPart::History, p.chrome + "Web Data"}};
}

std::string contentsOf(const std::string& path) {
    std::string data;
    return ReadWholeFile(path, data) ? data : std::string("<unreadable>");
}

bool keep(const std::string& host) {
    return host == "kept.example" || host == "www.kept.example";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::vector<Target> all = targets();
    // Only the chosen database is there, without what an earlier input left beside it.
    for (const Target& t : all)
        for (const char* suffix : {"", "-wal", "-journal", "-shm"})
            DeleteFileA((t.file + suffix).c_str());
    const Target& target = all[data[0] % all.size()];
    const std::string database(reinterpret_cast<const char*>(data) + 1, size - 1);
    FUZZ_CHECK(WriteWholeFile(target.file, database));

    const CleaningResult preview =
        CleanBrowser(target.browser, target.part, CleaningMode::Preview, keep);
    FUZZ_CHECK(contentsOf(target.file) == database);

    const CleaningResult cleaned =
        CleanBrowser(target.browser, target.part, CleaningMode::Remove, keep);
    FUZZ_CHECK(GetFileAttributesA(target.file.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!preview.notes.empty() || !cleaned.notes.empty()) return 0;
    FUZZ_CHECK(cleaned.removed == preview.removed && cleaned.kept == preview.kept);
    const CleaningResult again =
        CleanBrowser(target.browser, target.part, CleaningMode::Preview, keep);
    FUZZ_CHECK(again.notes.empty() && again.removed == 0 && again.kept == preview.kept);
    return 0;
}
