// seed-demo's part for today's browsers: a Firefox with two profiles, a Chrome with Default and
// Profile 1, and an Edge, each with databases in the browser's own schema, bookmarks,
// passwords, settings and full cache folders.
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
    browser_seed::Sizes sizes;
    sizes.cacheFiles = 520;
    if (large) {
        sizes.places = 6000;
        sizes.visits = 30000;
        sizes.bookmarks = 300;
        sizes.cookies = 12000;
        sizes.sites = 300;
        sizes.cacheFiles = 1000;
        sizes.formEntries = 2000;
    }

    // The old profile of the earlier Firefox stays listed first; today's two follow it.
    const std::vector<std::string> firefox = {"x7f2m9qa.default-release", "z4n8c1rt.work"};
    for (const std::string& name : firefox)
        browser_seed::firefoxProfile(roaming + "/Mozilla/Firefox/Profiles/" + name,
                                     local + "/Mozilla/Firefox/Profiles/" + name, sizes);
    std::vector<std::string> listed = {"k3v9x2lq.default"};
    listed.insert(listed.end(), firefox.begin(), firefox.end());
    browser_seed::firefoxProfilesIni(roaming + "/Mozilla/Firefox", listed);

    const std::string chrome = local + "/Google/Chrome/User Data";
    for (const char* name : {"Default", "Profile 1"})
        browser_seed::chromeProfile(chrome + "/" + name, sizes);
    browser_seed::chromeLocalState(chrome, {"Default", "Profile 1"});

    const std::string edge = local + "/Microsoft/Edge/User Data";
    browser_seed::chromeProfile(edge + "/Default", sizes);
    browser_seed::chromeLocalState(edge, {"Default"});
}

} // namespace skplatform
