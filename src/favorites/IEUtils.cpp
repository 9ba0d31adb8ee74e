#include "favorites/IEUtils.h"

#include "favorites/ShellRefs.h"

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
    // A name beside the favorite that nothing else uses.
    std::string temporary;
    for (int n = 0;; ++n) {
        temporary = path + ".~" + std::to_string(n);
        if (GetFileAttributesA(temporary.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        if (n == 99) raiseWriteError(path, ERROR_ALREADY_EXISTS);
    }
    if (!WriteWholeFile(temporary, InternetShortcutText(url))) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        raiseWriteError(path, error);
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        raiseWriteError(path, error);
    }
}
