// seed-demo's part for today's browsers: every one the program cleans, each with databases in
// the browser's own schema, bookmarks, passwords, settings, full cache folders and the traces
// beyond them (icons, tabs, top sites, typed addresses, form entries, websites' caches), and
// what must stay (extensions' storage, site permissions). Firefox, Chrome and Brave have a
// second profile, Floorp one at a path of its own.
#include "browser_seed.h"
#include "commands.h"

#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/win32.h"

#include <stdexcept>

namespace skplatform {

namespace {

std::string hostOf(const std::string& windowsPath) {
    const platform::Result<platform::HostPath> host = platform::resolvePath(windowsPath);
    if (!host) throw std::runtime_error("cannot reach " + windowsPath);
    return host->str();
}

std::string shellFolderValue(const char* name) {
    namespace registry = platform::registry;
    registry::Value value;
    const registry::KeyId key = registry::find(registry::kCurrentUser, platform::kShellFoldersKey);
    if (key == registry::kNoKey || !registry::getValue(key, name, value))
        throw std::runtime_error(std::string("the Shell Folders value '") + name + "' is missing");
    return value.data.substr(0, value.data.find('\0'));
}

} // namespace

void seedDemoBrowsers(bool large) {
    const std::string roaming = hostOf(shellFolderValue("AppData"));
    const std::string local = hostOf(shellFolderValue("Local AppData"));
    const std::string profileRoot = hostOf(shellFolderValue("Personal"));
    browser_seed::Sizes sizes;
    sizes.cacheFiles = 520;
    sizes.traces = true;
    if (large) {
        sizes.places = 6000;
        sizes.visits = 30000;
        sizes.bookmarks = 300;
        sizes.cookies = 12000;
        sizes.sites = 300;
        sizes.cacheFiles = 1000;
        sizes.formEntries = 2000;
    }
    // Today's relatives and the other Chromium browsers are used less, except on a large
    // machine, where every database is large.
    browser_seed::Sizes lesser = sizes;
    if (!large) {
        lesser.places = 120;
        lesser.visits = 600;
        lesser.bookmarks = 12;
        lesser.cookies = 90;
        lesser.cacheFiles = 60;
    }

    // The old profile of the earlier Firefox stays listed first; today's two follow it.
    const std::vector<std::string> firefox = {"x7f2m9qa.default-release", "z4n8c1rt.work"};
    for (const std::string& name : firefox)
        browser_seed::firefoxProfile(roaming + "/Mozilla/Firefox/Profiles/" + name,
                                     local + "/Mozilla/Firefox/Profiles/" + name, sizes);
    std::vector<std::string> listed = {"k3v9x2lq.default"};
    listed.insert(listed.end(), firefox.begin(), firefox.end());
    browser_seed::firefoxProfilesIni(roaming + "/Mozilla/Firefox", listed);

    const struct {
        const char* roaming;
        const char* name;
    } relatives[] = {{"librewolf", "r2d5k8vw.default-default"},
                     {"Waterfox", "w6p1q3ze.68-edition-default"},
                     {"Floorp", "f9c4h7tn.default-release"},
                     {"zen", "z1m8b5xc.Default (release)"}};
    for (const auto& relative : relatives) {
        const std::string base = std::string("/") + relative.roaming;
        browser_seed::firefoxProfile(roaming + base + "/Profiles/" + relative.name,
                                     local + base + "/Profiles/" + relative.name, lesser);
        std::vector<std::string> elsewhere;
        if (std::string(relative.roaming) == "Floorp") {
            // A profile the user keeps among the documents, its cache inside it.
            const std::string folder = profileRoot + "/Floorp profile";
            browser_seed::firefoxProfile(folder, folder, lesser);
            elsewhere.push_back(shellFolderValue("Personal") + "\\Floorp profile");
        }
        browser_seed::firefoxProfilesIni(roaming + base, {relative.name}, elsewhere);
    }

    const struct {
        const char* data;
        std::vector<std::string> profiles;
    } chromium[] = {{"/Google/Chrome/User Data", {"Default", "Profile 1"}},
                    {"/Microsoft/Edge/User Data", {"Default"}},
                    {"/BraveSoftware/Brave-Browser/User Data", {"Default", "Profile 1"}},
                    {"/Vivaldi/User Data", {"Default"}},
                    {"/Chromium/User Data", {"Default"}}};
    for (const auto& browser : chromium) {
        const bool used = std::string(browser.data).find("Chrome") != std::string::npos;
        for (const std::string& name : browser.profiles)
            browser_seed::chromeProfile(local + browser.data + "/" + name, used ? sizes : lesser);
        browser_seed::chromeLocalState(local + browser.data, browser.profiles);
    }
    // Opera's one profile is its folder, its cache below the local folder.
    const std::string opera = "/Opera Software/Opera Stable";
    browser_seed::chromeProfile(roaming + opera, lesser, local + opera);
    browser_seed::chromeLocalState(roaming + opera, {});
}

} // namespace skplatform
