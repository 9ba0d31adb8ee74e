// Firefox's profiles.ini, read by the lookup of the browser's profiles: whatever the file
// says, every profile found is a folder that is there, inside Firefox's own folder (or, at an
// absolute path, a folder holding a profile's prefs.js, its cache inside it), listed once, and
// has its lock file; its cache lies in the same place below the local folder.
#include "fuzz_support.h"

#include "otherbrowsers/BrowserProfiles.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "ui/MyTricks.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return text;
}

bool inside(const std::string& folder, const std::string& base) {
    return folder.size() > base.size() && upper(folder).compare(0, base.size(), upper(base)) == 0;
}

// Firefox's folders with the profiles its seeds name, made once.
struct Firefox {
    std::string data;
    std::string local;
    std::string elsewhere;
};

const Firefox& firefox() {
    static const Firefox made = [] {
        fuzzing::scratchFolder(); // the machine first
        Firefox f{UserFolderBelow("AppData", "Mozilla\\Firefox\\"),
                  UserFolderBelow("Local AppData", "Mozilla\\Firefox\\"),
                  {}};
        for (const std::string& base : {f.data, f.local})
            for (const char* folder : {"", "Profiles\\", "Profiles\\abc.default\\",
                                       "Profiles\\def.default-release\\", "Other\\"})
                FUZZ_CHECK(fuzzing::makeFolders(base + folder));
        // A profile kept elsewhere, which an absolute path may name.
        f.elsewhere = UserFolderBelow("Local AppData", "Elsewhere\\ghi.default\\");
        FUZZ_CHECK(fuzzing::makeFolders(f.elsewhere));
        FUZZ_CHECK(WriteWholeFile(f.elsewhere + "prefs.js", "user_pref(\"a\", 1);\n"));
        return f;
    }();
    return made;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Firefox& f = firefox();
    FUZZ_CHECK(WriteWholeFile(f.data + "profiles.ini",
                              std::string(reinterpret_cast<const char*>(data), size)));
    const BrowserInstall install = FindBrowser(Browser::Firefox);
    FUZZ_CHECK(install.dataFolder == f.data);
    FUZZ_CHECK(install.lockFiles.size() == install.profiles.size());
    // Listed once, however many sections name it and however they spell it.
    std::set<std::string> seen;
    for (std::size_t i = 0; i < install.profiles.size(); ++i) {
        const BrowserProfile& profile = install.profiles[i];
        FUZZ_CHECK(!profile.name.empty());
        FUZZ_CHECK(profile.folder.back() == '\\');
        FUZZ_CHECK(FolderExists(profile.folder));
        FUZZ_CHECK(seen.insert(upper(profile.folder)).second);
        FUZZ_CHECK(install.lockFiles[i] == profile.folder + "parent.lock");
        if (!inside(profile.folder, f.data)) {
            FUZZ_CHECK(upper(profile.folder) == upper(f.elsewhere));
            FUZZ_CHECK(profile.cache == profile.folder + "cache2\\");
            continue;
        }
        if (!profile.cache.empty()) {
            FUZZ_CHECK(inside(profile.cache, f.local));
            const std::string cache2 = "cache2\\";
            FUZZ_CHECK(profile.cache.size() > cache2.size() &&
                       profile.cache.compare(profile.cache.size() - cache2.size(), cache2.size(),
                                             cache2) == 0);
            // The same place below the local folder as below the roaming one.
            FUZZ_CHECK(upper(profile.cache.substr(f.local.size())) ==
                       upper(profile.folder.substr(f.data.size()) + "cache2\\"));
        }
    }
    for (const std::string& note : install.notes)
        FUZZ_CHECK(!note.empty());
    return 0;
}
