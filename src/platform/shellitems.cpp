// The items of the hosted shell namespace: their bytes, where a list leads, the children of
// a folder, and the names, attributes and order the shell gives them.
#include "platform/shellitems.h"

#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <cstring>
#include <map>
#include <utility>
#include <vector>

namespace platform::shell {
namespace {

constexpr BYTE kComputerType = 0x1F;
constexpr BYTE kComputerSortIndex = 0x50;
constexpr BYTE kDriveType = 0x2F;
constexpr BYTE kFolderType = 0x31;
constexpr BYTE kFileType = 0x32;
constexpr BYTE kUrlType = 0x61;
constexpr std::size_t kComputerSize = 20;
constexpr std::size_t kDriveSize = 25;

const char* const kComputerParsingName = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

void putWord(std::string& out, std::size_t at, WORD value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>(value >> 8);
}

void putDword(std::string& out, std::size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

WORD getWord(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

DWORD getDword(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

// A zero-ended text inside [from, end); false when the zero is missing.
bool textIn(const BYTE* from, const BYTE* end, std::string& text) {
    for (const BYTE* p = from; p < end; ++p)
        if (*p == 0) {
            text.assign(reinterpret_cast<const char*>(from), static_cast<std::size_t>(p - from));
            return true;
        }
    return false;
}

bool isDriveLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool validEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

Item itemFromFindData(const std::string& folder, const WIN32_FIND_DATAA& data) {
    Item item;
    item.kind = ItemKind::File;
    item.name = data.cFileName;
    item.attributes = data.dwFileAttributes;
    if ((item.attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        (item.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
        item.progId = folderClassProgId(joinPath(folder, item.name));
    item.size = data.nFileSizeHigh ? 0xFFFFFFFFu : data.nFileSizeLow;
    FILETIME local;
    if (FileTimeToLocalFileTime(&data.ftLastWriteTime, &local))
        FileTimeToDosDateTime(&local, &item.dosDate, &item.dosTime);
    return item;
}

bool hasVisibleSubfolder(const std::string& folder) {
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA(joinPath(folder, "*").c_str(), &data));
    if (!find.valid()) return false;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != ".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            return true;
    } while (FindNextFileA(find.get(), &data));
    return false;
}

std::string progIdOfFile(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return {};
    const std::string extension = name.substr(dot);
    return remembered(Remembered::ProgIdOfExtension, extension, [&] {
        std::string progId;
        readRegistryText(HKEY_CLASSES_ROOT, extension, nullptr, progId);
        return progId;
    });
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Compares two runs of digits by their value; leading zeros only break ties.
int compareNumbers(const std::string& a, const std::string& b) {
    std::size_t za = a.find_first_not_of('0');
    std::size_t zb = b.find_first_not_of('0');
    const std::string va = za == std::string::npos ? std::string() : a.substr(za);
    const std::string vb = zb == std::string::npos ? std::string() : b.substr(zb);
    if (va.size() != vb.size()) return va.size() < vb.size() ? -1 : 1;
    if (const int c = va.compare(vb); c != 0) return c < 0 ? -1 : 1;
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

std::string runAt(const std::string& text, std::size_t& pos) {
    const bool digits = isDigit(text[pos]);
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]) == digits)
        ++pos;
    return text.substr(start, pos - start);
}

} // namespace

std::string remembered(Remembered kind, const std::string& key,
                       const std::function<std::string()>& compute) {
    struct Cache {
        std::uint64_t stamp = 0;
        std::map<std::pair<Remembered, std::string>, std::string> values;
    };
    thread_local Cache cache;
    // Without a stamp (the database cannot be read) nothing is remembered.
    const std::uint64_t stamp = guardedCall<std::uint64_t>(0, [] { return databaseStamp(); });
    if (stamp == 0 || stamp != cache.stamp) {
        cache.values.clear();
        cache.stamp = stamp;
    }
    // Registry keys ignore case, and so do extensions.
    auto entry = std::make_pair(kind, AnsiUpperCase(key));
    if (const auto found = cache.values.find(entry); found != cache.values.end())
        return found->second;
    std::string value = compute();
    if (stamp != 0 && guardedCall<std::uint64_t>(0, [] { return databaseStamp(); }) == stamp)
        cache.values.emplace(std::move(entry), value);
    return value;
}

bool readRegistryText(HKEY root, const std::string& key, const char* value, std::string& text) {
    UniqueHKey handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, handle.out()) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle.get(), value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(handle.get(), value, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()),
                         &size) != ERROR_SUCCESS)
        return false;
    text.assign(data.data(), std::strlen(data.data()));
    return true;
}

bool registryValueExists(HKEY root, const std::string& key, const char* value) {
    UniqueHKey handle;
    return RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, handle.out()) == ERROR_SUCCESS &&
           RegQueryValueExA(handle.get(), value, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::string encodeItem(const Item& item) {
    std::string out;
    switch (item.kind) {
    case ItemKind::Computer:
        out.assign(kComputerSize, '\0');
        out[2] = static_cast<char>(kComputerType);
        out[3] = static_cast<char>(kComputerSortIndex);
        std::memcpy(out.data() + 4, &CLSID_MyComputer, sizeof(GUID));
        break;
    case ItemKind::Drive:
        out.assign(kDriveSize, '\0');
        out[2] = static_cast<char>(kDriveType);
        out[3] = item.drive;
        out[4] = ':';
        out[5] = '\\';
        break;
    case ItemKind::File: {
        const bool folder = item.attributes & FILE_ATTRIBUTE_DIRECTORY;
        out.assign(kNameOffset, '\0');
        out[2] = static_cast<char>(folder ? kFolderType : kFileType);
        putDword(out, 4, item.size);
        putWord(out, 8, item.dosDate);
        putWord(out, 10, item.dosTime);
        putWord(out, 12, static_cast<WORD>(item.attributes & 0xFFFF));
        out += item.name;
        out += '\0';
        if (folder && !item.progId.empty()) {
            out += item.progId;
            out += '\0';
        }
        if (out.size() % 2) out += '\0';
        break;
    }
    case ItemKind::Url:
        out.assign(kUrlOffset, '\0');
        out[2] = static_cast<char>(kUrlType);
        out += item.name;
        out += '\0';
        break;
    }
    putWord(out, 0, static_cast<WORD>(out.size()));
    return out;
}

bool decodeItem(const SHITEMID* id, Item& item) {
    const auto* bytes = reinterpret_cast<const BYTE*>(id);
    const std::size_t size = getWord(bytes);
    if (size < 3) return false;
    const BYTE* end = bytes + size;
    item = Item{};
    switch (bytes[2]) {
    case kComputerType:
        if (size < kComputerSize) return false;
        item.kind = ItemKind::Computer;
        return std::memcmp(bytes + 4, &CLSID_MyComputer, sizeof(GUID)) == 0;
    case kDriveType:
        if (size < 6 || !isDriveLetter(static_cast<char>(bytes[3])) || bytes[4] != ':')
            return false;
        item.kind = ItemKind::Drive;
        item.drive = static_cast<char>(bytes[3]);
        return true;
    case kFolderType:
    case kFileType:
        if (size <= kNameOffset) return false;
        item.kind = ItemKind::File;
        item.size = getDword(bytes + 4);
        item.dosDate = getWord(bytes + 8);
        item.dosTime = getWord(bytes + 10);
        item.attributes = getWord(bytes + 12);
        if (bytes[2] == kFolderType)
            item.attributes |= FILE_ATTRIBUTE_DIRECTORY;
        else
            item.attributes &= ~FILE_ATTRIBUTE_DIRECTORY;
        if (!textIn(bytes + kNameOffset, end, item.name) || !validEntryName(item.name))
            return false;
        if (bytes[2] == kFolderType) {
            const BYTE* next = bytes + kNameOffset + item.name.size() + 1;
            if (next < end && *next && !textIn(next, end, item.progId)) item.progId.clear();
        }
        return true;
    case kUrlType:
        if (size <= kUrlOffset) return false;
        item.kind = ItemKind::Url;
        return textIn(bytes + kUrlOffset, end, item.name);
    default:
        return false;
    }
}

std::vector<const SHITEMID*> itemsOf(PCUIDLIST_RELATIVE list) {
    std::vector<const SHITEMID*> items;
    if (!list) return items;
    for (const auto* p = reinterpret_cast<const BYTE*>(list); getWord(p) != 0; p += getWord(p))
        items.push_back(reinterpret_cast<const SHITEMID*>(p));
    return items;
}

PIDLIST_RELATIVE makeList(const std::vector<std::string>& items) {
    std::size_t total = 2;
    for (const auto& i : items)
        total += i.size();
    auto* block = static_cast<BYTE*>(CoTaskMemAlloc(total));
    if (!block) return nullptr;
    BYTE* p = block;
    for (const auto& i : items) {
        std::memcpy(p, i.data(), i.size());
        p += i.size();
    }
    p[0] = p[1] = 0;
    return reinterpret_cast<PIDLIST_RELATIVE>(block);
}

PIDLIST_RELATIVE makeList(const std::vector<Item>& items) {
    std::vector<std::string> bytes;
    for (const auto& i : items)
        bytes.push_back(encodeItem(i));
    return makeList(bytes);
}

bool locateBelow(const Location& parent, PCUIDLIST_RELATIVE list, Location& location) {
    Location at = parent;
    for (const SHITEMID* id : itemsOf(list)) {
        Item item;
        if (!decodeItem(id, item)) return false;
        switch (item.kind) {
        case ItemKind::Computer:
            if (at.kind != Location::Desktop) return false;
            at.kind = Location::Computer;
            at.path.clear();
            break;
        case ItemKind::Drive:
            if (at.kind != Location::Computer) return false;
            at.kind = Location::Drive;
            at.path = std::string(1, item.drive) + ":\\";
            break;
        case ItemKind::File:
            if (at.kind == Location::Desktop) {
                const std::string desktop = desktopDirectory();
                if (desktop.empty()) return false;
                at.path = joinPath(desktop, item.name);
            } else if (at.kind == Location::Drive || (at.kind == Location::FileSystem &&
                                                      (at.attributes & FILE_ATTRIBUTE_DIRECTORY)))
                at.path = joinPath(at.path, item.name);
            else
                return false;
            at.kind = Location::FileSystem;
            at.attributes = item.attributes;
            break;
        case ItemKind::Url:
            if (at.kind != Location::Desktop) return false;
            at.kind = Location::Url;
            at.path = item.name;
            break;
        }
        at.last = item;
    }
    location = at;
    return true;
}

bool locate(PCIDLIST_ABSOLUTE list, Location& location) {
    if (!list) return false;
    Location desktop;
    desktop.kind = Location::Desktop;
    return locateBelow(desktop, list, location);
}

std::string desktopDirectory() {
    // A platform database that cannot be read leaves the desktop without its files.
    return remembered(Remembered::DesktopFolder, {}, [] {
        return guardedCall(std::string(), [] { return userShellFolder("Desktop"); });
    });
}

std::optional<Item> itemForEntry(const std::string& folderPath, const std::string& name) {
    if (!validEntryName(name) || folderPath.empty()) return std::nullopt;
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA(joinPath(folderPath, name).c_str(), &data));
    if (!find.valid()) return std::nullopt;
    return itemFromFindData(folderPath, data);
}

Result<std::vector<Item>> itemsForPath(const std::string& path, PathMustExist mustExist) {
    std::string text = path;
    for (char& c : text)
        if (c == '/') c = '\\';
    // Only absolute paths with a drive letter name a place in the namespace.
    if (text.size() < 2 || text[1] != ':' || !isDriveLetter(static_cast<char>(text[0] & ~0x20)))
        return Failure{ERROR_INVALID_NAME};
    const std::string full = fullWindowsPath(text);
    if (full.empty()) return Failure{ERROR_PATH_NOT_FOUND};
    const char drive = full[0];
    if (drive != 'C' && drive != 'Z') return Failure{ERROR_PATH_NOT_FOUND};
    Item computer;
    computer.kind = ItemKind::Computer;
    Item driveItem;
    driveItem.kind = ItemKind::Drive;
    driveItem.drive = drive;
    std::vector<Item> items = {computer, driveItem};
    std::vector<std::string> parts;
    for (std::size_t start = 3; start < full.size();) {
        std::size_t end = full.find('\\', start);
        if (end == std::string::npos) end = full.size();
        if (end > start) parts.push_back(full.substr(start, end - start));
        start = end + 1;
    }
    std::string folder = full.substr(0, 3);
    bool missing = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        if (!validEntryName(parts[i])) return Failure{ERROR_INVALID_NAME};
        std::optional<Item> existing = missing ? std::nullopt : itemForEntry(folder, parts[i]);
        Item item;
        if (existing) {
            item = std::move(*existing);
            if (!last && !(item.attributes & FILE_ATTRIBUTE_DIRECTORY))
                return Failure{ERROR_PATH_NOT_FOUND};
        } else {
            if (mustExist == PathMustExist::Yes)
                return Failure{last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND};
            missing = true;
            item = Item{};
            item.kind = ItemKind::File;
            item.name = parts[i];
            item.attributes = last ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_DIRECTORY;
        }
        items.push_back(item);
        folder = joinPath(folder, item.name);
    }
    return items;
}

HRESULT listForPath(const std::string& path, PathMustExist mustExist, PIDLIST_ABSOLUTE* list) {
    if (!list) return E_INVALIDARG;
    *list = nullptr;
    if (AnsiSameText(path, kComputerParsingName)) {
        Item computer;
        computer.kind = ItemKind::Computer;
        *list = makeList(std::vector<Item>{computer});
        return *list ? S_OK : E_OUTOFMEMORY;
    }
    const Result<std::vector<Item>> items = itemsForPath(path, mustExist);
    if (!items) return HRESULT_FROM_WIN32(items.error());
    *list = makeList(*items);
    return *list ? S_OK : E_OUTOFMEMORY;
}

std::vector<Item> childrenOf(const Location& folder) {
    std::vector<Item> children;
    std::string path;
    switch (folder.kind) {
    case Location::Desktop: {
        Item computer;
        computer.kind = ItemKind::Computer;
        children.push_back(computer);
        path = desktopDirectory();
        break;
    }
    case Location::Computer:
        for (char drive : {'C', 'Z'}) {
            Item item;
            item.kind = ItemKind::Drive;
            item.drive = drive;
            children.push_back(item);
        }
        return children;
    case Location::Drive:
        path = folder.path;
        break;
    case Location::FileSystem:
        if (!(folder.attributes & FILE_ATTRIBUTE_DIRECTORY)) return children;
        path = folder.path;
        break;
    case Location::Url:
        return children;
    }
    if (path.empty()) return children;
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA(joinPath(path, "*").c_str(), &data));
    if (!find.valid()) return children;
    do {
        const std::string name = data.cFileName;
        if (validEntryName(name)) children.push_back(itemFromFindData(path, data));
    } while (FindNextFileA(find.get(), &data));
    return children;
}

bool hidesExtension(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return false;
    return !remembered(Remembered::HiddenExtension, name.substr(dot), [&] {
                const std::string progId = progIdOfFile(name);
                return !progId.empty() &&
                               registryValueExists(HKEY_CLASSES_ROOT, progId, "NeverShowExt")
                           ? std::string("1")
                           : std::string();
            }).empty();
}

std::string shownName(const Item& item) {
    const auto dot = item.name.find_last_of('.');
    if (!item.isFolder() && dot != std::string::npos && dot > 0 && hidesExtension(item.name))
        return item.name.substr(0, dot);
    return item.name;
}

std::string normalName(const Location& location) {
    switch (location.kind) {
    case Location::Desktop:
        return "Desktop";
    case Location::Computer:
        return "My Computer";
    case Location::Drive:
        return location.path[0] == 'C' ? "Local Disk (C:)" : "Host (Z:)";
    case Location::FileSystem:
        return shownName(location.last);
    case Location::Url:
        return location.path;
    }
    return {};
}

std::string parsingName(const Location& location) {
    switch (location.kind) {
    case Location::Desktop:
        return desktopDirectory();
    case Location::Computer:
        return kComputerParsingName;
    default:
        return location.path;
    }
}

std::string inFolderName(const Location& location) {
    if (location.kind == Location::FileSystem) return location.last.name;
    if (location.kind == Location::Desktop) return "Desktop";
    return parsingName(location);
}

SFGAOF attributesOf(const Location& location, SFGAOF wanted) {
    SFGAOF result = 0;
    switch (location.kind) {
    case Location::Desktop:
        result = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER;
        break;
    case Location::Computer:
        result = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_CANLINK;
        break;
    case Location::Drive:
        result = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER |
                 SFGAO_CANLINK | SFGAO_CANCOPY;
        break;
    case Location::FileSystem: {
        result = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK |
                 SFGAO_CANRENAME | SFGAO_CANDELETE;
        if (location.attributes & FILE_ATTRIBUTE_HIDDEN) result |= SFGAO_HIDDEN;
        if (location.attributes & FILE_ATTRIBUTE_READONLY) result |= SFGAO_READONLY;
        if (location.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            result |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
            if ((wanted & SFGAO_HASSUBFOLDER) && !location.path.empty() &&
                hasVisibleSubfolder(location.path))
                result |= SFGAO_HASSUBFOLDER;
        } else {
            result |= SFGAO_STREAM;
            if (wanted & SFGAO_LINK) {
                const std::string progId = progIdOfFile(location.last.name);
                if (!progId.empty() && registryValueExists(HKEY_CLASSES_ROOT, progId, "IsShortcut"))
                    result |= SFGAO_LINK;
            }
        }
        break;
    }
    case Location::Url:
        result = SFGAO_LINK;
        break;
    }
    return result & wanted;
}

int compareNames(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool numberA = isDigit(a[i]);
        const bool numberB = isDigit(b[j]);
        const std::string runA = runAt(a, i);
        const std::string runB = runAt(b, j);
        int c = 0;
        if (numberA && numberB)
            c = compareNumbers(runA, runB);
        else if (numberA != numberB)
            c = numberA ? -1 : 1; // digits sort before letters
        else
            c = lstrcmpiA(runA.c_str(), runB.c_str());
        if (c != 0) return c < 0 ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

int compareItems(const Item& a, const Item& b) {
    auto rank = [](const Item& item) {
        switch (item.kind) {
        case ItemKind::Computer:
            return 0;
        case ItemKind::Drive:
            return 1;
        case ItemKind::File:
            return item.isFolder() ? 2 : 3;
        case ItemKind::Url:
            return 4;
        }
        return 5;
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b) ? -1 : 1;
    if (a.kind == ItemKind::Drive) return a.drive == b.drive ? 0 : (a.drive < b.drive ? -1 : 1);
    if (a.kind == ItemKind::Computer) return 0;
    if (const int c = compareNames(shownName(a), shownName(b)); c != 0) return c;
    if (const int c = compareNames(a.name, b.name); c != 0) return c;
    const int c = a.name.compare(b.name);
    return c == 0 ? 0 : (c < 0 ? -1 : 1);
}

} // namespace platform::shell
