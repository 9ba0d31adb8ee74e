// Special folders and the shell's conversions between paths and item identifier lists.
#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/shellitems.h"
#include "platform/win32.h"

#include <cstring>

namespace {

struct SpecialFolder {
    int csidl;
    bool machine;      // the value lies under HKEY_LOCAL_MACHINE
    const char* value; // the Shell Folders value, or null with a fixed path
    const char* fixed;
};

// Folders kept in the Shell Folders values, and the two that every machine has at fixed
// places. CSIDLs of virtual folders (printers, control panel, recycle bin, network) have no
// folder under the platform root.
const SpecialFolder kFolders[] = {
    {CSIDL_PROGRAMS, false, "Programs", nullptr},
    {CSIDL_PERSONAL, false, "Personal", nullptr},
    {CSIDL_FAVORITES, false, "Favorites", nullptr},
    {CSIDL_STARTUP, false, "Startup", nullptr},
    {CSIDL_RECENT, false, "Recent", nullptr},
    {CSIDL_SENDTO, false, "SendTo", nullptr},
    {CSIDL_STARTMENU, false, "Start Menu", nullptr},
    {CSIDL_DESKTOPDIRECTORY, false, "Desktop", nullptr},
    {CSIDL_NETHOOD, false, "NetHood", nullptr},
    {CSIDL_FONTS, false, "Fonts", nullptr},
    {CSIDL_TEMPLATES, false, "Templates", nullptr},
    {CSIDL_COMMON_STARTMENU, true, "Common Start Menu", nullptr},
    {CSIDL_COMMON_PROGRAMS, true, "Common Programs", nullptr},
    {CSIDL_COMMON_STARTUP, true, "Common Startup", nullptr},
    {CSIDL_COMMON_DESKTOPDIRECTORY, true, "Common Desktop", nullptr},
    {CSIDL_APPDATA, false, "AppData", nullptr},
    {CSIDL_PRINTHOOD, false, "PrintHood", nullptr},
    {CSIDL_LOCAL_APPDATA, false, "Local AppData", nullptr},
    {CSIDL_INTERNET_CACHE, false, "Cache", nullptr},
    {CSIDL_COOKIES, false, "Cookies", nullptr},
    {CSIDL_HISTORY, false, "History", nullptr},
    {CSIDL_COMMON_APPDATA, true, "Common AppData", nullptr},
    {CSIDL_WINDOWS, false, nullptr, "C:\\Windows"},
    {CSIDL_PROGRAM_FILES, false, nullptr, "C:\\Program Files"},
};

bool isVirtualFolder(int csidl) {
    return csidl == CSIDL_INTERNET || csidl == CSIDL_CONTROLS || csidl == CSIDL_PRINTERS ||
           csidl == CSIDL_BITBUCKET || csidl == CSIDL_NETWORK;
}

void createFolders(const std::string& path) {
    for (std::size_t pos = path.find('\\', 3);; pos = path.find('\\', pos + 1)) {
        const std::string prefix = path.substr(0, pos);
        if (!DirectoryExistsA(prefix)) CreateDirectoryA(prefix.c_str(), nullptr);
        if (pos == std::string::npos) break;
    }
}

HRESULT specialFolderList(int csidl, PIDLIST_ABSOLUTE* list) {
    using namespace platform::shell;
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    const int folder = csidl & ~CSIDL_FLAG_MASK;
    if (folder == CSIDL_DESKTOP) {
        *list = makeList(std::vector<std::string>{});
        return *list ? S_OK : E_OUTOFMEMORY;
    }
    if (folder == CSIDL_DRIVES) {
        Item computer;
        computer.kind = ItemKind::Computer;
        *list = makeList(std::vector<Item>{computer});
        return *list ? S_OK : E_OUTOFMEMORY;
    }
    if (isVirtualFolder(folder)) return E_FAIL;
    for (const auto& f : kFolders) {
        if (f.csidl != folder) continue;
        std::string path;
        if (f.fixed)
            path = f.fixed;
        else if (!readRegistryText(f.machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                                   platform::kShellFoldersKey, f.value, path) ||
                 path.size() < 3)
            return E_FAIL;
        if ((csidl & CSIDL_FLAG_CREATE) && !DirectoryExistsA(path)) createFolders(path);
        if (!DirectoryExistsA(path)) return E_FAIL;
        return listForPath(path, PathMustExist::Yes, list);
    }
    return E_INVALIDARG;
}

} // namespace

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, PIDLIST_ABSOLUTE* list) {
    return specialFolderList(csidl, list);
}

HRESULT SHGetFolderLocation(HWND, int csidl, HANDLE, DWORD reserved, PIDLIST_ABSOLUTE* list) {
    if (list) *list = nullptr;
    if (reserved != 0) return E_INVALIDARG;
    return specialFolderList(csidl, list);
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE list, LPSTR path) {
    using namespace platform::shell;
    if (!path) return FALSE;
    path[0] = '\0';
    Location location;
    if (!list || !locate(list, location)) return FALSE;
    std::string result;
    switch (location.kind) {
    case Location::Desktop:
        result = desktopDirectory();
        break;
    case Location::Drive:
    case Location::FileSystem:
        result = location.path;
        break;
    default:
        return FALSE;
    }
    if (result.size() >= MAX_PATH) return FALSE;
    std::memcpy(path, result.c_str(), result.size() + 1);
    return TRUE;
}

HRESULT SHParseDisplayName(LPCWSTR name, IBindCtx* bindContext, PIDLIST_ABSOLUTE* list,
                           ULONG attributesIn, ULONG* attributesOut) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    if (!name) return E_INVALIDARG;
    ComRef<IShellFolder> desktop;
    HRESULT hr = SHGetDesktopFolder(desktop.put());
    if (FAILED(hr)) return hr;
    std::u16string text = name;
    ULONG attributes = attributesIn;
    hr = desktop->ParseDisplayName(nullptr, bindContext, text.data(), nullptr, list,
                                   attributesOut ? &attributes : nullptr);
    if (SUCCEEDED(hr) && attributesOut) *attributesOut = attributes;
    return hr;
}
