#include "otherbrowsers/BrowserProfiles.h"

#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserTexts.h"
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "platform/win32.h"
#include "ui/CleaningResult.h"
#include "ui/MyTricks.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

namespace {

// Files a lookup reads are small; anything larger is damage, not a list of profiles.
constexpr std::uint64_t kProfilesIniLimit = 1 << 20;
constexpr std::uint64_t kLocalStateLimit = 16 << 20;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The folder below `data` that a relative path names, each component checked as a profile
// folder is (no link, no way out); empty when there is none.
std::string folderAlong(const std::string& data, std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', '\\');
    std::string folder = data;
    std::size_t start = 0;
    while (start <= relative.size() && !folder.empty()) {
        const std::size_t end = std::min(relative.find('\\', start), relative.size());
        const std::string part = relative.substr(start, end - start);
        if (!part.empty()) folder = ProfileFolderIn(folder, part);
        start = end + 1;
    }
    return folder == data ? std::string() : folder;
}

bool isLinkFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.substr(0, folder.size() - 1).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether a profile of that folder is listed already; Windows does not tell names apart by
// case, so neither does this.
bool listedAlready(const BrowserInstall& install, const std::string& folder) {
    const std::string key = lower(folder);
    return std::any_of(install.profiles.begin(), install.profiles.end(),
                       [&](const BrowserProfile& p) { return lower(p.folder) == key; });
}

struct IniProfile {
    std::string name;
    std::string path;
    bool relative = true;
};

// The [ProfileN] sections of profiles.ini, and the default profile of each installation (the
// Default of an [Install...] section, or of any section of installs.ini when `installs`);
// false when the file is no INI file at all.
bool parseProfilesIni(const std::string& text, std::vector<IniProfile>& profiles,
                      bool installs = false) {
    if (text.find('\0') != std::string::npos) return false;
    bool sawSection = false;
    IniProfile* current = nullptr;
    bool install = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return false;
            sawSection = true;
            const std::string section = lower(line.substr(1, line.size() - 2));
            current = nullptr;
            install = installs || section.rfind("install", 0) == 0;
            if (section.rfind("profile", 0) == 0 && section.size() > 7 &&
                std::all_of(section.begin() + 7, section.end(),
                            [](unsigned char c) { return std::isdigit(c); })) {
                profiles.emplace_back();
                current = &profiles.back();
            }
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) return false;
        const std::string key = lower(trim(line.substr(0, equals)));
        const std::string value = trim(line.substr(equals + 1));
        if (install && key == "default" && !value.empty()) {
            // An installation names its profile by its path, relative or absolute as it is.
            profiles.push_back({{}, value, AbsolutePathRoot(value).empty()});
            continue;
        }
        if (!current) continue;
        if (key == "name") current->name = value;
        if (key == "path") current->path = value;
        if (key == "isrelative") current->relative = value != "0";
    }
    return sawSection;
}

// A profile at an absolute path, spelled plainly (no empty or "." parts): a folder that is
// there, neither a link nor the root of a drive or share, with no way up in its path, and
// holding what every profile of the family holds. Empty otherwise.
std::string absoluteProfile(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    const std::string root = AbsolutePathRoot(path);
    if (root.empty()) return {};
    std::string folder = root;
    std::size_t start = root.size();
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        // ".." and its lookalikes ("...", which Windows reads as the same) lead elsewhere.
        if (part.find_first_not_of('.') == std::string::npos || part.find(':') != std::string::npos)
            return {};
        folder += part + "\\";
    }
    if (folder == root || !FolderExists(folder) || isLinkFolder(folder)) return {};
    if (!FileExistsA(folder + "prefs.js") && !FileExistsA(folder + "times.json")) return {};
    return folder;
}

// Reads profiles.ini (or installs.ini) of a browser's folder into `listed`; false when it is
// missing, with a note when it cannot be read.
bool readProfileList(BrowserInstall& install, const std::string& ini, bool installs,
                     std::vector<IniProfile>& listed) {
    std::string text;
    std::string problem = ReadBrowserFile(ini, kProfilesIniLimit, text);
    if (problem == "missing") return false;
    if (problem.empty() && !parseProfilesIni(text, listed, installs))
        problem = BrowserText(kTextDamaged);
    if (!problem.empty()) install.notes.push_back(FileNote(ini, problem));
    return problem.empty();
}

void findFirefox(BrowserInstall& install, const std::string& below) {
    const std::string data = UserFolderBelow("AppData", below);
    const std::string local = UserFolderBelow("Local AppData", below);
    if (data.empty() || !FolderExists(data)) return;
    install.dataFolder = data;
    const std::string ini = data + "profiles.ini";
    std::vector<IniProfile> listed;
    if (!readProfileList(install, ini, false, listed)) return;
    readProfileList(install, data + "installs.ini", true, listed);
    for (const IniProfile& p : listed) {
        if (p.path.empty()) continue;
        std::string relative = p.path;
        std::replace(relative.begin(), relative.end(), '/', '\\');
        BrowserProfile profile;
        if (!p.relative) {
            // An absolute path counts inside the browser's own folder, or where it leads to a
            // profile; the cache is then in the profile folder itself.
            if (lower(relative).rfind(lower(data), 0) == 0 && relative.size() > data.size()) {
                relative = relative.substr(data.size());
            } else {
                profile.folder = absoluteProfile(relative);
                if (profile.folder.empty()) {
                    install.notes.push_back(FileNote(ini, BrowserText(kTextOutside) + " (" +
                                                              PrintableText(p.path) + ")"));
                    continue;
                }
                profile.cache = profile.folder;
            }
        }
        if (profile.folder.empty()) {
            profile.folder = folderAlong(data, relative);
            if (profile.folder.empty()) {
                if (relative.find("..") != std::string::npos ||
                    relative.find(':') != std::string::npos)
                    install.notes.push_back(FileNote(ini, BrowserText(kTextOutside) + " (" +
                                                              PrintableText(p.path) + ")"));
                continue;
            }
            // The cache lies in the same place below the local folder; where that is not
            // there, nothing is cached for the profile.
            profile.cache = local.empty() ? std::string() : folderAlong(local, relative);
        }
        // Two sections naming one folder (in any spelling) list it once: it is cleaned once.
        if (listedAlready(install, profile.folder)) continue;
        if (!profile.cache.empty()) profile.cache += "cache2\\";
        profile.name = p.name;
        if (profile.name.empty()) {
            const std::string folder = profile.folder.substr(0, profile.folder.size() - 1);
            profile.name = folder.substr(folder.find_last_of('\\') + 1);
        }
        install.lockFiles.push_back(profile.folder + "parent.lock");
        install.profiles.push_back(profile);
    }
}

bool usualChromeProfile(const std::string& name) {
    if (name == "Default") return true;
    if (name.rfind("Profile ", 0) != 0 || name.size() == 8) return false;
    return std::all_of(name.begin() + 8, name.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}

void findChromium(BrowserInstall& install, const std::string& below) {
    const std::string data = UserFolderBelow("Local AppData", below);
    if (data.empty() || !FolderExists(data)) return;
    install.dataFolder = data;
    install.lockFiles.push_back(data + "lockfile");
    const std::string state = data + "Local State";
    std::string text;
    std::string problem = ReadBrowserFile(state, kLocalStateLimit, text);
    std::vector<std::string> names;
    if (problem.empty()) {
        const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
        const nlohmann::json* cache = nullptr;
        if (json.is_object() && json.contains("profile") && json["profile"].is_object() &&
            json["profile"].contains("info_cache") && json["profile"]["info_cache"].is_object())
            cache = &json["profile"]["info_cache"];
        if (!cache)
            problem = BrowserText(kTextDamaged);
        else
            for (const auto& [name, value] : cache->items())
                names.push_back(name);
    }
    if (!problem.empty()) {
        if (problem != "missing") install.notes.push_back(FileNote(state, problem));
        for (const std::string& name : ListSubfolders(data))
            if (usualChromeProfile(name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string folder = ProfileFolderIn(data, name);
        if (folder.empty()) {
            if (FolderExists(data + name + "\\") ||
                name.find_first_of("\\/:") != std::string::npos ||
                name.find("..") != std::string::npos)
                install.notes.push_back(
                    FileNote(state, BrowserText(kTextOutside) + " (" + PrintableText(name) + ")"));
            continue;
        }
        if (listedAlready(install, folder)) continue;
        install.profiles.push_back({name, folder, folder});
    }
}

// Opera keeps one profile, its data folder itself, and the cache in the same place below the
// local folder.
void findOpera(BrowserInstall& install) {
    const std::string below = "Opera Software\\Opera Stable\\";
    const std::string data = UserFolderBelow("AppData", below);
    if (data.empty() || !FolderExists(data) || isLinkFolder(data)) return;
    install.dataFolder = data;
    install.lockFiles.push_back(data + "lockfile");
    const std::string local = UserFolderBelow("Local AppData", below);
    install.profiles.push_back(
        {"Opera Stable", data, !local.empty() && FolderExists(local) ? local : std::string()});
}

struct Layout {
    Browser browser;
    const char* name;
    BrowserFamily family;
    const char* below; // the browser's folder below the roaming (Firefox family) or local folder
};
constexpr Layout kLayouts[] = {
    {Browser::Firefox, "Firefox", BrowserFamily::Firefox, "Mozilla\\Firefox\\"},
    {Browser::Chrome, "Chrome", BrowserFamily::Chromium, "Google\\Chrome\\User Data\\"},
    {Browser::Edge, "Edge", BrowserFamily::Chromium, "Microsoft\\Edge\\User Data\\"},
    {Browser::Brave, "Brave", BrowserFamily::Chromium, "BraveSoftware\\Brave-Browser\\User Data\\"},
    {Browser::Vivaldi, "Vivaldi", BrowserFamily::Chromium, "Vivaldi\\User Data\\"},
    {Browser::Opera, "Opera", BrowserFamily::Chromium, nullptr},
    {Browser::Chromium, "Chromium", BrowserFamily::Chromium, "Chromium\\User Data\\"},
    {Browser::LibreWolf, "LibreWolf", BrowserFamily::Firefox, "librewolf\\"},
    {Browser::Waterfox, "Waterfox", BrowserFamily::Firefox, "Waterfox\\"},
    {Browser::Floorp, "Floorp", BrowserFamily::Firefox, "Floorp\\"},
    {Browser::Zen, "Zen", BrowserFamily::Firefox, "zen\\"},
};

const Layout& layoutOf(Browser browser) {
    for (const Layout& layout : kLayouts)
        if (layout.browser == browser) return layout;
    return kLayouts[0];
}

} // namespace

std::string ReadBrowserFile(const std::string& path, std::uint64_t limit, std::string& contents) {
    WIN32_FIND_DATAA data;
    const HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return "missing";
    FindClose(find);
    const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return BrowserText(kTextUnreadable);
    if (size > limit) return BrowserText(kTextTooLarge);
    if (!ReadWholeFile(path, contents)) return BrowserText(kTextUnreadable);
    return {};
}

const char* BrowserName(Browser browser) {
    return layoutOf(browser).name;
}

BrowserFamily FamilyOf(Browser browser) {
    return layoutOf(browser).family;
}

BrowserInstall FindBrowser(Browser browser) {
    BrowserInstall install;
    install.browser = browser;
    const Layout& layout = layoutOf(browser);
    if (browser == Browser::Opera)
        findOpera(install);
    else if (layout.family == BrowserFamily::Firefox)
        findFirefox(install, layout.below);
    else
        findChromium(install, layout.below);
    return install;
}
