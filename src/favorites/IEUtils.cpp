#include "favorites/IEUtils.h"

#include "platform/win32.h"

#include <cstring>
#include <vector>

namespace {

// The length of a text in a fixed buffer that may lack its terminator.
std::size_t textLength(const char* text, std::size_t size) {
    const void* end = std::memchr(text, 0, size);
    return end ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : size;
}

WORD sizeWord(const void* at) {
    const auto* p = static_cast<const BYTE*>(at);
    return static_cast<WORD>(p[0] | (p[1] << 8));
}

// The name a folder handed out, whatever kind of record it came in; a UTF-16 text from the
// task allocator is given back here.
std::string strretText(STRRET& name, PCUITEMID_CHILD item) {
    switch (name.uType) {
    case STRRET_WSTR: {
        std::string text = name.pOleStr ? WideToAnsi(name.pOleStr) : std::string();
        CoTaskMemFree(name.pOleStr);
        return text;
    }
    case STRRET_OFFSET:
        return reinterpret_cast<const char*>(item) + name.uOffset;
    case STRRET_CSTR:
        return std::string(name.cStr, textLength(name.cStr, sizeof name.cStr));
    default:
        return {};
    }
}

std::string nameOf(IShellFolder* folder, PCUITEMID_CHILD item, SHGDNF flags) {
    if (!folder || !item) return {};
    STRRET name;
    std::memset(&name, 0, sizeof name);
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name))) return {};
    return strretText(name, item);
}

std::string errorText(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "the file was not found";
    case ERROR_PATH_NOT_FOUND:
        return "the folder was not found";
    case ERROR_ACCESS_DENIED:
        return "access is denied";
    case ERROR_SHARING_VIOLATION:
        return "the file is in use";
    case ERROR_DISK_FULL:
        return "the disk is full";
    default:
        return "system error " + std::to_string(error);
    }
}

[[noreturn]] void raiseWriteError(const std::string& path, DWORD error) {
    throw EInOutError("The favorite \"" + path + "\" cannot be saved: " + errorText(error) + ".",
                      error);
}

// The marks a favorite keeps when it is rewritten; the archive mark is set, as with every
// change of a file's contents.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kSettableAttributes = kKeptAttributes | FILE_ATTRIBUTE_ARCHIVE;

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Whether `name` is `stem` followed by ".~" and a number, letter case aside.
bool isWriteTemporaryOf(const std::string& stem, const std::string& name) {
    const std::string marker = stem + ".~";
    if (name.size() <= marker.size() ||
        !sameTextIgnoringCase(name.substr(0, marker.size()), marker))
        return false;
    for (std::size_t i = marker.size(); i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

// A favorite's file as it is before the rewrite.
struct FavoriteFile {
    bool exists = false;
    DWORD attributes = 0;
    FILETIME created = {0, 0};
};

FavoriteFile favoriteFileOf(const std::string& path) {
    WIN32_FIND_DATAA data;
    std::memset(&data, 0, sizeof data);
    const UniqueFindHandle find(FindFirstFileA(path.c_str(), &data));
    if (!find.valid() || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
    return {true, data.dwFileAttributes, data.ftCreationTime};
}

// Sets attributes that may all be clear (SetFileAttributes takes "normal" for none).
bool setAttributes(const std::string& path, DWORD attributes) {
    attributes &= kSettableAttributes;
    return SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool setCreationTime(const std::string& path, const FILETIME& created) {
    UniqueFile file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const bool set = SetFileTime(file.get(), &created, nullptr, nullptr);
    const DWORD error = GetLastError();
    file.reset();
    SetLastError(error);
    return set;
}

// Removes a file that may carry the read-only mark.
void removeFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

// The new text of an interrupted write never took the favorite's place: it goes.
void removeWriteLeftovers(const std::string& path) {
    const std::size_t nameStart = path.find_last_of('\\') + 1;
    const std::string folder = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);
    WIN32_FIND_DATAA data;
    const UniqueFindHandle find(FindFirstFileA((path + ".~*").c_str(), &data));
    if (!find.valid()) return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            isWriteTemporaryOf(name, data.cFileName))
            removeFile(folder + data.cFileName);
    } while (FindNextFileA(find.get(), &data));
}

[[noreturn]] void abandonWrite(const std::string& path, const std::string& temporary, DWORD error) {
    removeFile(temporary);
    raiseWriteError(path, error);
}

} // namespace

std::string UrlFromIniFile(const std::string& path) {
    // INTERNET_MAX_URL_LENGTH is 2083; a longer value reads cut, as the browser's would.
    std::vector<char> buffer(2084);
    const DWORD length = GetPrivateProfileStringA("InternetShortcut", "URL", "", buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), length);
}

std::string UrlFromIntShCut(const std::string& path) {
    ComRef<IUniformResourceLocatorA> shortcut;
    if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUniformResourceLocatorA, shortcut.out())))
        return {};
    ComRef<IPersistFile> file;
    if (FAILED(shortcut->QueryInterface(IID_IPersistFile, file.out()))) return {};
    WideString wide = AnsiToWide(path);
    if (wide.size() > MAX_PATH) wide.resize(MAX_PATH);
    file->Load(wide.c_str(), STGM_READ);
    LPSTR url = nullptr;
    shortcut->GetURL(&url);
    if (!url) return {};
    std::string text = url;
    CoTaskMemFree(url);
    return text;
}

std::string ChannelTargetUrl(IShellFolder* folder, PCUITEMID_CHILD item) {
    if (!folder || !item) return {};
    ComRef<IShellLinkA> link;
    PCUITEMID_CHILD items[] = {item};
    if (FAILED(folder->GetUIObjectOf(nullptr, 1, items, IID_IShellLinkA, nullptr, link.out())) ||
        !link)
        return {};
    PidlRef target;
    if (FAILED(link->GetIDList(target.put())) || !target) return {};
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put()))) return {};
    return ItemDisplayName(desktop.get(), target.get());
}

std::string ShellLinkTarget(const std::string& path) {
    ComRef<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.out());
    if (FAILED(hr)) throw EShellError("The shell link object is not available.", hr);
    ComRef<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(hr)) throw EShellError("The shell link object cannot load files.", hr);
    if (FAILED(file->Load(AnsiToWide(path).c_str(), STGM_READ))) return {};
    if (FAILED(link->Resolve(GetActiveWindow(), SLR_NOUPDATE))) return {};
    char target[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, sizeof target, nullptr, SLGP_UNCPRIORITY))) return {};
    return std::string(target, textLength(target, sizeof target));
}

bool ItemHasType(const std::string& typeName, IShellFolder*, PCUITEMID_CHILD item) {
    if (!item) return false;
    SHFILEINFOA info;
    std::memset(&info, 0, sizeof info);
    // The item alone tells the shell its type, as the folder's enumerator handed it out.
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof info,
                        SHGFI_TYPENAME | SHGFI_PIDL))
        return false;
    return typeName == info.szTypeName;
}

bool IsBrowsableFolder(const std::string& channelTypeName, IShellFolder* folder,
                       PCUITEMID_CHILD item) {
    if (!folder || !item) return false;
    SFGAOF attributes = SFGAO_FOLDER;
    PCUITEMID_CHILD items[] = {item};
    if (FAILED(folder->GetAttributesOf(1, items, &attributes))) return false;
    if (!(attributes & SFGAO_FOLDER)) return false;
    return !ItemHasType(channelTypeName, folder, item);
}

std::string ItemDisplayName(IShellFolder* folder, PCUITEMID_CHILD item) {
    return nameOf(folder, item, SHGDN_NORMAL);
}

std::string ItemParsingName(IShellFolder* folder, PCUITEMID_CHILD item) {
    return nameOf(folder, item, SHGDN_FORPARSING);
}

LPITEMIDLIST NextPIDL(LPCITEMIDLIST list) {
    const auto* bytes = reinterpret_cast<const BYTE*>(list);
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(bytes + sizeWord(bytes)));
}

UINT PIDLSize(LPCITEMIDLIST list) {
    if (!list) return 0;
    UINT size = 2;
    for (LPCITEMIDLIST p = list; sizeWord(p) != 0; p = NextPIDL(p))
        size += sizeWord(p);
    return size;
}

void TruncatePIDL(LPITEMIDLIST list) {
    if (!list || sizeWord(list) == 0) return;
    LPITEMIDLIST last = list;
    for (LPITEMIDLIST p = list; sizeWord(p) != 0; p = NextPIDL(p))
        last = p;
    auto* bytes = reinterpret_cast<BYTE*>(last);
    bytes[0] = bytes[1] = 0;
}

LPITEMIDLIST AllocPIDL(UINT size) {
    ComRef<IMalloc> malloc;
    if (FAILED(SHGetMalloc(malloc.put())) || !malloc) return nullptr;
    void* block = malloc->Alloc(size);
    if (block) std::memset(block, 0, size);
    return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST DuplicatePIDL(LPCITEMIDLIST list) {
    const UINT size = PIDLSize(list);
    if (size == 0) return nullptr;
    LPITEMIDLIST copy = AllocPIDL(size);
    if (copy) std::memcpy(copy, list, size);
    return copy;
}

LPITEMIDLIST JoinPIDLs(LPCITEMIDLIST first, LPCITEMIDLIST second) {
    const UINT firstPart = first ? PIDLSize(first) - 2 : 0;
    // No second list counts as the empty one, so the result always ends in its terminator.
    const UINT secondPart = second ? PIDLSize(second) : 2;
    auto* joined = reinterpret_cast<BYTE*>(AllocPIDL(firstPart + secondPart));
    if (!joined) return nullptr;
    if (firstPart) std::memcpy(joined, first, firstPart);
    if (second) std::memcpy(joined + firstPart, second, secondPart);
    return reinterpret_cast<LPITEMIDLIST>(joined);
}

void ReleasePIDL(LPITEMIDLIST list) {
    if (!list) return;
    ComRef<IMalloc> malloc;
    const HRESULT hr = SHGetMalloc(malloc.put());
    if (FAILED(hr) || !malloc) throw EShellError("The shell allocator is not available.", hr);
    malloc->Free(list);
}

std::string InternetShortcutText(const std::string& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

void WriteInternetShortcut(const std::string& path, const std::string& url) {
    removeWriteLeftovers(path);
    // A name beside the favorite that nothing else uses.
    std::string temporary;
    for (int n = 0;; ++n) {
        temporary = path + ".~" + std::to_string(n);
        if (GetFileAttributesA(temporary.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        if (n == 99) raiseWriteError(path, ERROR_ALREADY_EXISTS);
    }
    const FavoriteFile before = favoriteFileOf(path);
    if (!WriteWholeFile(temporary, InternetShortcutText(url)))
        abandonWrite(path, temporary, GetLastError());
    const bool readOnly = before.exists && (before.attributes & FILE_ATTRIBUTE_READONLY);
    if (before.exists) {
        // The new file is the favorite from the start: its creation time and marks first.
        if (!setCreationTime(temporary, before.created))
            abandonWrite(path, temporary, GetLastError());
        if ((before.attributes & kKeptAttributes) &&
            !setAttributes(temporary,
                           (before.attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE))
            abandonWrite(path, temporary, GetLastError());
        // A read-only favorite gives way only without its mark; the new file brings it back.
        if (readOnly && !setAttributes(path, before.attributes & ~FILE_ATTRIBUTE_READONLY))
            abandonWrite(path, temporary, GetLastError());
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (readOnly) setAttributes(path, before.attributes);
        abandonWrite(path, temporary, error);
    }
}

bool IsShortcutWriteTemporary(const std::string& fileName) {
    const std::size_t marker = fileName.rfind(".~");
    if (marker == std::string::npos || marker < 4) return false;
    const std::string stem = fileName.substr(0, marker);
    return sameTextIgnoringCase(stem.substr(stem.size() - 4), ".url") &&
           isWriteTemporaryOf(stem, fileName);
}
