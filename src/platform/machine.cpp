// The fresh machine that a new platform root starts as: the shell's folder values in the
// registry, the folders they name, and the file types the favorites rely on.
#include "platform/machine.h"

#include "platform/ansi.h"
#include "platform/registry.h"
#include "platform/root.h"

#include <filesystem>

namespace platform {
namespace {

struct Folder {
    const char* value;
    const char* path; // below C:\Users\<user>
};

const Folder kUserFolders[] = {
    {"AppData", "AppData\\Roaming"},
    {"Local AppData", "AppData\\Local"},
    {"Favorites", "Favorites"},
    {"Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
    {"Startup", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {"Cookies", "AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
    {"Cache", "AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files"},
    {"History", "AppData\\Local\\Microsoft\\Windows\\History"},
    {"Personal", "Documents"},
    {"Desktop", "Desktop"},
};

const Folder kMachineFolders[] = {
    {"Common Startup", "ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {"Common AppData", "ProgramData"},
};

std::string sz(const std::string& text) {
    return text + std::string(1, '\0');
}

void makeFolder(const std::string& windowsPathBelowC) {
    std::string host = driveCPath() + "/" + windowsPathBelowC;
    for (char& c : host)
        if (c == '\\') c = '/';
    std::error_code ec;
    std::filesystem::create_directories(host, ec);
}

} // namespace

std::string defaultUserShellFolder(const std::string& valueName) {
    for (const auto& f : kUserFolders)
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
    for (const auto& f : kUserFolders) {
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
    const registry::KeyId internetShortcut =
        registry::create(registry::kClassesRoot, "InternetShortcut");
    registry::Value existing;
    if (!registry::getValue(internetShortcut, "", existing))
        registry::setValue(internetShortcut, "", REG_SZ, sz("Internet Shortcut"));
    const registry::KeyId channelShortcut =
        registry::create(registry::kClassesRoot, "ChannelShortcut");
    if (!registry::getValue(channelShortcut, "", existing))
        registry::setValue(channelShortcut, "", REG_SZ, sz("Channel Shortcut"));
    setSetting("initialised", "yes");
    tx.commit();
}

} // namespace platform
