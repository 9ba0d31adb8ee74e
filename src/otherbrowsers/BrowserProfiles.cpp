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

// Reads a whole file up to a limit: empty reason when read, else why not.
std::string readSmallFile(const std::string& path, std::uint64_t limit, std::string& contents) {
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

// The [ProfileN] sections of profiles.ini; false when the file is no INI file at all.
bool parseProfilesIni(const std::string& text, std::vector<IniProfile>& profiles) {
    if (text.find('\0') != std::string::npos) return false;
    bool sawSection = false;
    IniProfile* current = nullptr;
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
        if (!current) continue;
        const std::string key = lower(trim(line.substr(0, equals)));
        const std::string value = trim(line.substr(equals + 1));
        if (key == "name") current->name = value;
        if (key == "path") current->path = value;
        if (key == "isrelative") current->relative = value != "0";
    }
    return sawSection;
}

void findFirefox(BrowserInstall& install) {
    const std::string data = UserFolderBelow("AppData", "Mozilla\\Firefox\\");
    const std::string local = UserFolderBelow("Local AppData", "Mozilla\\Firefox\\");
    if (data.empty() || !FolderExists(data)) return;
    install.dataFolder = data;
    const std::string ini = data + "profiles.ini";
    std::string text;
    std::string problem = readSmallFile(ini, kProfilesIniLimit, text);
    if (problem == "missing") return;
    std::vector<IniProfile> listed;
    if (problem.empty() && !parseProfilesIni(text, listed)) problem = BrowserText(kTextDamaged);
    if (!problem.empty()) {
        install.notes.push_back(FileNote(ini, problem));
        return;
    }
    for (const IniProfile& p : listed) {
        if (p.path.empty()) continue;
        std::string relative = p.path;
        std::replace(relative.begin(), relative.end(), '/', '\\');
        if (!p.relative) {
            // An absolute path counts only inside Firefox's own folder.
            const std::string inside = lower(relative).rfind(lower(data), 0) == 0
                                           ? relative.substr(data.size())
                                           : std::string();
            if (inside.empty()) {
                install.notes.push_back(
                    FileNote(ini, BrowserText(kTextOutside) + " (" + PrintableText(p.path) + ")"));
                continue;
            }
            relative = inside;
        }
        const std::string folder = folderAlong(data, relative);
        if (folder.empty()) {
            if (relative.find("..") != std::string::npos || relative.find(':') != std::string::npos)
                install.notes.push_back(
                    FileNote(ini, BrowserText(kTextOutside) + " (" + PrintableText(p.path) + ")"));
            continue;
        }
        // Two sections naming one folder (in any spelling) list it once: it is cleaned once.
        if (listedAlready(install, folder)) continue;
        BrowserProfile profile;
        profile.name = p.name.empty() ? relative : p.name;
        profile.folder = folder;
        // The cache lies in the same place below the local folder; where that is not there,
        // nothing is cached for the profile.
        profile.cache = local.empty() ? std::string() : folderAlong(local, relative);
        if (!profile.cache.empty()) profile.cache += "cache2\\";
        install.lockFiles.push_back(folder + "parent.lock");
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
    std::string problem = readSmallFile(state, kLocalStateLimit, text);
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

} // namespace

const char* BrowserName(Browser browser) {
    switch (browser) {
    case Browser::Firefox:
        return "Firefox";
    case Browser::Chrome:
        return "Chrome";
    case Browser::Edge:
        return "Edge";
    }
    return "";
}

BrowserInstall FindBrowser(Browser browser) {
    BrowserInstall install;
    install.browser = browser;
    switch (browser) {
    case Browser::Firefox:
        findFirefox(install);
        break;
    case Browser::Chrome:
        findChromium(install, "Google\\Chrome\\User Data\\");
        break;
    case Browser::Edge:
        findChromium(install, "Microsoft\\Edge\\User Data\\");
        break;
    }
    return install;
}
