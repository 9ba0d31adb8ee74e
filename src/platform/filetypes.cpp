// File types as the shell names them (extension -> ProgID -> its default value in
// HKEY_CLASSES_ROOT), the system image list, and SHGetFileInfoA.
#include "platform/ansi.h"
#include "platform/intshcut.h"
#include "platform/paths.h"
#include "platform/shellicons.h"
#include "platform/shellitems.h"
#include "platform/win32.h"

#include <algorithm>
#include <cstring>

struct _IMAGELIST {
    bool small;
};

namespace {

constexpr std::size_t kTypeNameLength = 79;

_IMAGELIST g_smallIcons{true};
_IMAGELIST g_largeIcons{false};
platform::SystemIconMaker g_iconMaker = nullptr;

std::string limited(std::string text, std::size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

void copyText(char* out, std::size_t size, const std::string& text) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

std::string progIdOf(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return {};
    const std::string extension = name.substr(dot);
    return platform::shell::remembered(
        platform::shell::Remembered::ProgIdOfExtension, extension, [&] {
            std::string progId;
            platform::shell::readRegistryText(HKEY_CLASSES_ROOT, extension, nullptr, progId);
            return progId;
        });
}

} // namespace

namespace platform {

void setSystemIconMaker(SystemIconMaker maker) {
    g_iconMaker = maker;
}

HIMAGELIST systemImageList(IconSize size) {
    return size == IconSize::Small ? &g_smallIcons : &g_largeIcons;
}

int systemImageListSize(HIMAGELIST list) {
    return list == &g_smallIcons || list == &g_largeIcons ? kSystemIconCount : -1;
}

} // namespace platform

namespace platform::shell {

std::string folderClassProgId(const std::string& folderPath) {
    // As the shell does, desktop.ini counts only in a folder marked read-only or system.
    const DWORD attributes = GetFileAttributesA(folderPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
        return {};
    const std::string ini = joinPath(folderPath, "desktop.ini");
    char clsid[64];
    for (const char* key : {"CLSID2", "CLSID"}) {
        if (GetPrivateProfileStringA(".ShellClassInfo", key, "", clsid, sizeof clsid,
                                     ini.c_str()) == 0)
            continue;
        std::string progId;
        if (readRegistryText(HKEY_CLASSES_ROOT, std::string("CLSID\\") + clsid + "\\ProgID",
                             nullptr, progId))
            return progId;
    }
    return {};
}

std::string typeNameOfFile(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return "File";
    return remembered(Remembered::TypeNameOfExtension, name.substr(dot), [&]() -> std::string {
        const std::string progId = progIdOf(name);
        std::string typeName;
        if (!progId.empty() && readRegistryText(HKEY_CLASSES_ROOT, progId, nullptr, typeName) &&
            !typeName.empty())
            return limited(typeName, kTypeNameLength);
        // Windows names an unregistered type after its extension.
        return limited(AnsiUpperCase(name.substr(dot + 1)) + " File", kTypeNameLength);
    });
}

std::string typeNameOfFolder(const std::string& progId) {
    std::string typeName;
    if (!progId.empty() && readRegistryText(HKEY_CLASSES_ROOT, progId, nullptr, typeName))
        return limited(typeName, kTypeNameLength);
    if (readRegistryText(HKEY_CLASSES_ROOT, "Directory", nullptr, typeName) && !typeName.empty())
        return limited(typeName, kTypeNameLength);
    return "File Folder";
}

std::string typeNameOf(const Location& location) {
    switch (location.kind) {
    case Location::Desktop:
    case Location::Computer:
        return "System Folder";
    case Location::Drive:
        return "Local Disk";
    case Location::FileSystem:
        return location.attributes & FILE_ATTRIBUTE_DIRECTORY
                   ? typeNameOfFolder(location.last.progId)
                   : typeNameOfFile(location.last.name);
    case Location::Url:
        return "Internet Address";
    }
    return {};
}

int iconIndexOf(const Location& location) {
    switch (location.kind) {
    case Location::Desktop:
        return kIconDesktop;
    case Location::Computer:
        return kIconComputer;
    case Location::Drive:
        return kIconDrive;
    case Location::Url:
        return kIconInternetShortcut;
    case Location::FileSystem:
        break;
    }
    if (location.attributes & FILE_ATTRIBUTE_DIRECTORY)
        return location.last.progId.empty() ? kIconFolder : kIconInternetShortcut;
    const std::string progId = progIdOf(location.last.name);
    if (AnsiSameText(progId, "InternetShortcut")) return kIconInternetShortcut;
    if (AnsiSameText(progId, "lnkfile")) return kIconShellLink;
    return kIconDocument;
}

} // namespace platform::shell

using namespace platform::shell;

DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT infoSize,
                         UINT flags) {
    const platform::IconSize small =
        (flags & SHGFI_SMALLICON) ? platform::IconSize::Small : platform::IconSize::Large;
    const bool onlyImageList = (flags & ~(SHGFI_SMALLICON | SHGFI_LARGEICON)) == SHGFI_SYSICONINDEX;
    if (!path) return 0;
    if (!info && !onlyImageList) return 0;
    if (info && infoSize < sizeof(SHFILEINFOA)) return 0;

    Location location;
    if (flags & SHGFI_PIDL) {
        if (!locate(reinterpret_cast<PCIDLIST_ABSOLUTE>(path), location)) return 0;
    } else if (flags & SHGFI_USEFILEATTRIBUTES) {
        // Only the name and the given attributes count; the file need not exist.
        std::string name = path;
        if (const auto slash = name.find_last_of("\\/"); slash != std::string::npos)
            name = name.substr(slash + 1);
        location.kind = Location::FileSystem;
        location.path.clear(); // nothing on disk is consulted, not even a folder's desktop.ini
        location.attributes = attributes;
        location.last.kind = ItemKind::File;
        location.last.name = name;
        location.last.attributes = attributes;
    } else {
        PidlRef list;
        if (FAILED(listForPath(platform::fullWindowsPath(path), PathMustExist::Yes, list.put())))
            return 0;
        if (!locate(list.get(), location)) return 0;
    }

    int icon = iconIndexOf(location);
    if (icon == platform::kIconFolder && (flags & SHGFI_OPENICON)) icon = platform::kIconFolderOpen;

    if (!info) return reinterpret_cast<DWORD_PTR>(platform::systemImageList(small));
    if (flags & SHGFI_DISPLAYNAME)
        copyText(info->szDisplayName, sizeof info->szDisplayName, normalName(location));
    if (flags & SHGFI_TYPENAME)
        copyText(info->szTypeName, sizeof info->szTypeName, typeNameOf(location));
    if (flags & SHGFI_ATTRIBUTES) info->dwAttributes = attributesOf(location, 0xFFFFFFFFu);
    if (flags & (SHGFI_SYSICONINDEX | SHGFI_ICON)) info->iIcon = icon;
    if (flags & SHGFI_ICON) {
        info->hIcon = g_iconMaker ? g_iconMaker(icon, small) : nullptr;
        if (!info->hIcon) return 0;
    }
    if (flags & SHGFI_SYSICONINDEX)
        return reinterpret_cast<DWORD_PTR>(platform::systemImageList(small));
    return 1;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return std::max(platform::systemImageListSize(list), 0);
}
