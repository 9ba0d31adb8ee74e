// Chrome's and Edge's "Local State" (JSON), read by the lookup of the browser's profiles:
// whatever it holds, every profile found is a folder that is there, directly inside the
// browser's data folder, listed once; a file that names no profiles falls back to the
// folders that look like profiles.
#include "fuzz_support.h"

#include "otherbrowsers/BrowserProfiles.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "ui/MyTricks.h"

#include <set>
#include <string>

namespace {

const std::string& chromeData() {
    static const std::string data = [] {
        fuzzing::scratchFolder(); // the machine first
        const std::string folder = UserFolderBelow("Local AppData", "Google\\Chrome\\User Data\\");
        for (const char* profile : {"", "Default\\", "Profile 1\\", "Guest Profile\\", "System\\"})
            FUZZ_CHECK(fuzzing::makeFolders(folder + profile));
        return folder;
    }();
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& folder = chromeData();
    FUZZ_CHECK(WriteWholeFile(folder + "Local State",
                              std::string(reinterpret_cast<const char*>(data), size)));
    const BrowserInstall install = FindBrowser(Browser::Chrome);
    FUZZ_CHECK(install.dataFolder == folder);
    FUZZ_CHECK(install.lockFiles.size() == 1 && install.lockFiles[0] == folder + "lockfile");
    std::set<std::string> seen;
    for (const BrowserProfile& profile : install.profiles) {
        FUZZ_CHECK(!profile.name.empty());
        FUZZ_CHECK(profile.folder.size() > folder.size() + 1 && profile.folder.back() == '\\');
        FUZZ_CHECK(profile.folder.compare(0, folder.size(), folder) == 0);
        // One folder directly inside the data folder.
        FUZZ_CHECK(profile.folder.find('\\', folder.size()) == profile.folder.size() - 1);
        FUZZ_CHECK(FolderExists(profile.folder));
        FUZZ_CHECK(profile.cache == profile.folder);
        // Names differing only in case are the same folder to Windows.
        std::string key = profile.folder;
        for (char& c : key)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        FUZZ_CHECK(seen.insert(key).second);
    }
    return 0;
}
