// The fresh machine that a new platform root starts as: the shell's folder values in the
// registry, the folders they name, and the file types the shell names.
#include "platform/machine.h"

#include "platform/ansi.h"
#include "platform/registry.h"
#include "platform/root.h"

#include <filesystem>

namespace platform {
namespace {

struct Folder {
    const char* value;
    const char* path; // below the root of drive C:
};

const Folder kMachineFolders[] = {
    {"Common Startup", "ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {"Common AppData", "ProgramData"},
};

// The file types the shell names, and the class that makes a folder a channel shortcut
// (named by CLSID2 in the folder's desktop.ini).
struct ClassValue {
    const char* key;
    const char* value;
    const char* data;
};

const ClassValue kClasses[] = {
    {"InternetShortcut", "", "Internet Shortcut"},
    {"InternetShortcut", "NeverShowExt", ""},
    {"InternetShortcut", "IsShortcut", ""},
    {".url", "", "InternetShortcut"},
    {"lnkfile", "", "Shortcut"},
    {"lnkfile", "NeverShowExt", ""},
    {"lnkfile", "IsShortcut", ""},
    {".lnk", "", "lnkfile"},
    {"ChannelShortcut", "", "Channel Shortcut"},
    {"CLSID\\{2237021C-E9A7-4940-8A4A-5E9E314E7ED8}", "", "Channel Shortcut"},
    {"CLSID\\{2237021C-E9A7-4940-8A4A-5E9E314E7ED8}\\ProgID", "", "ChannelShortcut"},
    {"Directory", "", "File Folder"},
    {"Folder", "", "Folder"},
    {".txt", "", "txtfile"},
    {"txtfile", "", "Text Document"},
};

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

void makeFolder(const std::string& windowsPathBelowC) {
    std::string below = windowsPathBelowC;
    for (char& c : below)
        if (c == '\\') c = '/';
    std::error_code ec;
    std::filesystem::create_directories((driveCPath() / below).str(), ec);
}

} // namespace

std::string defaultUserShellFolder(const std::string& valueName) {
    for (const auto& f : kUserShellFolders)
        if (AnsiSameText(valueName, f.value)) return "C:\\Users\\" + userName() + "\\" + f.path;
    return {};
}

std::string userShellFolder(const std::string& valueName) {
    const registry::KeyId key = registry::find(registry::kCurrentUser, kShellFoldersKey);
    registry::Value value;
    if (key == registry::kNoKey || !registry::getValue(key, valueName, value) ||
        (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return defaultUserShellFolder(valueName);
    std::string path = value.data.substr(0, value.data.find('\0'));
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

void createDefaultMachine() {
    Transaction tx;
    const std::string user = userName();
    const std::string home = "Users\\" + user;
    const registry::KeyId userKey = registry::create(registry::kCurrentUser, kShellFoldersKey);
    for (const auto& f : kUserShellFolders) {
        const std::string below = home + "\\" + f.path;
        registry::Value existing;
        if (!registry::getValue(userKey, f.value, existing))
            registry::setValue(userKey, f.value, REG_SZ, sz("C:\\" + below));
        makeFolder(below);
    }
    const registry::KeyId machineKey = registry::create(registry::kLocalMachine, kShellFoldersKey);
    for (const auto& f : kMachineFolders) {
        registry::Value existing;
        if (!registry::getValue(machineKey, f.value, existing))
            registry::setValue(machineKey, f.value, REG_SZ, sz(std::string("C:\\") + f.path));
        makeFolder(f.path);
    }
    makeFolder("Windows");
    makeFolder("Program Files");
    makeFolder(home + "\\AppData\\Local\\Temp");
    for (const auto& c : kClasses) {
        const registry::KeyId key = registry::create(registry::kClassesRoot, c.key);
        registry::Value existing;
        if (!registry::getValue(key, c.value, existing))
            registry::setValue(key, c.value, REG_SZ, sz(c.data));
    }
    setSetting("initialised", "yes");
    tx.commit();
}

} // namespace platform
