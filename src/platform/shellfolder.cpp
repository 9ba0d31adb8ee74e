// IShellFolder and IEnumIDList over the hosted namespace: the desktop, My Computer with its
// drives, and the folders of the drives.
#include "platform/ansi.h"
#include "platform/com_object.h"
#include "platform/intshcut.h"
#include "platform/shellitems.h"
#include "platform/shelllink.h"
#include "platform/taskalloc.h"
#include "platform/win32.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

const IID IID_IShellFolder = {
    0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IEnumIDList = {
    0x000214F2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const CLSID CLSID_ShellDesktop = {
    0x00021400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const CLSID CLSID_MyComputer = {
    0x20D04FE0, 0x3AEA, 0x1069, {0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D}};

namespace platform::shell {
namespace {

HRESULT orderResult(int order) {
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(static_cast<SHORT>(order)));
}

// How a folder hands out a name: in the record as ANSI text where it fits, or always as wide
// text from the task allocator.
enum class NameText { AnsiWhereItFits, Wide };

// A text handed out by a folder: in the record when it fits, else from the task allocator.
HRESULT putText(const std::string& text, NameText form, STRRET* name) {
    if (form == NameText::AnsiWhereItFits && text.size() < MAX_PATH) {
        name->uType = STRRET_CSTR;
        std::memcpy(name->cStr, text.c_str(), text.size() + 1);
        return S_OK;
    }
    LPWSTR out = platform::taskAllocatedWide(text);
    if (!out) return E_OUTOFMEMORY;
    name->uType = STRRET_WSTR;
    name->pOleStr = out;
    return S_OK;
}

bool parseBelow(const std::string& folderPath, const std::string& relative,
                std::vector<Item>& items, DWORD& error) {
    std::string folder = folderPath;
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string::npos) end = relative.size();
        const std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        const std::optional<Item> item = itemForEntry(folder, part);
        if (!item) {
            error = end == relative.size() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
            return false;
        }
        items.push_back(*item);
        folder = joinPath(folder, item->name);
    }
    if (items.empty()) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    return true;
}

class IdListEnumerator final : public ComObject<ComInterface<IEnumIDList, &IID_IEnumIDList>> {
  public:
    explicit IdListEnumerator(std::vector<std::string> items) : items_(std::move(items)) {}

    HRESULT Next(ULONG celt, PITEMID_CHILD* items, ULONG* fetched) override {
        if (!items || (!fetched && celt != 1)) return E_INVALIDARG;
        ULONG count = 0;
        while (count < celt && next_ < items_.size()) {
            PITEMID_CHILD item = makeList(std::vector<std::string>{items_[next_]});
            if (!item) break;
            items[count++] = item;
            ++next_;
        }
        if (fetched) *fetched = count;
        return count == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override {
        const std::size_t left = items_.size() - next_;
        next_ += std::min<std::size_t>(celt, left);
        return celt <= left ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumIDList** enumerator) override {
        if (!enumerator) return E_POINTER;
        auto* copy = new (std::nothrow) IdListEnumerator(items_);
        if (copy) copy->next_ = next_;
        *enumerator = copy;
        return copy ? S_OK : E_OUTOFMEMORY;
    }

  private:
    std::vector<std::string> items_;
    std::size_t next_ = 0;
};

class ShellFolder final : public ComObject<ComInterface<IShellFolder, &IID_IShellFolder>> {
  public:
    ShellFolder(PidlRef self, const Location& location)
        : self_(std::move(self)), location_(location) {}

    HRESULT ParseDisplayName(HWND, IBindCtx*, LPWSTR displayName, ULONG* eaten,
                             PIDLIST_RELATIVE* list, ULONG* attributes) override {
        if (!list) return E_INVALIDARG;
        *list = nullptr;
        if (!displayName) return E_INVALIDARG;
        const std::string text = WideToAnsi(displayName);
        if (text.empty()) return E_INVALIDARG;
        const bool absolute = text.size() >= 2 && text[1] == ':';
        HRESULT hr = S_OK;
        PIDLIST_RELATIVE result = nullptr;
        if (location_.kind == Location::Desktop && (absolute || text.rfind("::", 0) == 0)) {
            hr = listForPath(text, PathMustExist::Yes, &result);
        } else if (location_.kind == Location::Computer && absolute) {
            PidlRef full;
            hr = listForPath(text, PathMustExist::Yes, full.put());
            if (SUCCEEDED(hr)) {
                result = ILClone(ILGetNext(full.get())); // below My Computer
                if (!result) hr = E_OUTOFMEMORY;
            }
        } else if (!absolute &&
                   (location_.kind == Location::Desktop || location_.kind == Location::Drive ||
                    location_.kind == Location::FileSystem)) {
            std::vector<Item> items;
            DWORD error = 0;
            const std::string base =
                location_.kind == Location::Desktop ? desktopDirectory() : location_.path;
            if (!parseBelow(base, text, items, error)) return HRESULT_FROM_WIN32(error);
            result = makeList(items);
            if (!result) hr = E_OUTOFMEMORY;
        } else {
            return E_INVALIDARG;
        }
        if (FAILED(hr)) return hr;
        if (eaten) *eaten = static_cast<ULONG>(std::u16string(displayName).size());
        if (attributes) {
            Location target;
            *attributes =
                locateBelow(location_, result, target) ? attributesOf(target, *attributes) : 0;
        }
        *list = result;
        return S_OK;
    }

    HRESULT EnumObjects(HWND, SHCONTF flags, IEnumIDList** enumerator) override {
        if (!enumerator) return E_INVALIDARG;
        *enumerator = nullptr;
        if (location_.kind == Location::Drive || location_.kind == Location::FileSystem) {
            const DWORD attributes = GetFileAttributesA(location_.path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
        }
        std::vector<std::string> items;
        for (const Item& child : childrenOf(location_)) {
            if (child.isFolder() ? !(flags & SHCONTF_FOLDERS) : !(flags & SHCONTF_NONFOLDERS))
                continue;
            if ((child.attributes & FILE_ATTRIBUTE_HIDDEN) && !(flags & SHCONTF_INCLUDEHIDDEN))
                continue;
            items.push_back(encodeItem(child));
        }
        *enumerator = new (std::nothrow) IdListEnumerator(std::move(items));
        return *enumerator ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT BindToObject(PCUIDLIST_RELATIVE list, IBindCtx*, REFIID riid, void** object) override {
        if (!object) return E_INVALIDARG;
        *object = nullptr;
        if (!list || list->mkid.cb == 0) return E_INVALIDARG;
        Location target;
        if (!locateBelow(location_, list, target)) return E_INVALIDARG;
        if (target.kind == Location::Url || (target.kind == Location::FileSystem &&
                                             !(target.attributes & FILE_ATTRIBUTE_DIRECTORY)))
            return E_FAIL;
        const PidlRef absolute(ILCombine(self_.get(), list));
        if (!absolute) return E_OUTOFMEMORY;
        return createFolder(absolute.get(), riid, object);
    }

    HRESULT BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT CompareIDs(LPARAM, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) override {
        if (!a || !b) return E_INVALIDARG;
        const auto itemsA = itemsOf(a);
        const auto itemsB = itemsOf(b);
        for (std::size_t i = 0; i < itemsA.size() && i < itemsB.size(); ++i) {
            Item x;
            Item y;
            if (!decodeItem(itemsA[i], x) || !decodeItem(itemsB[i], y)) return E_INVALIDARG;
            if (const int order = compareItems(x, y); order != 0) return orderResult(order);
        }
        if (itemsA.size() == itemsB.size()) return orderResult(0);
        return orderResult(itemsA.size() < itemsB.size() ? -1 : 1);
    }

    HRESULT CreateViewObject(HWND, REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOTIMPL;
    }

    HRESULT GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY items, SFGAOF* attributes) override {
        if (!attributes) return E_INVALIDARG;
        const SFGAOF wanted = *attributes;
        if (count == 0) {
            *attributes = attributesOf(location_, wanted);
            return S_OK;
        }
        if (!items) return E_INVALIDARG;
        SFGAOF common = wanted;
        for (UINT i = 0; i < count; ++i) {
            Location target;
            if (!items[i] || !locateBelow(location_, items[i], target)) return E_INVALIDARG;
            common &= attributesOf(target, wanted);
        }
        *attributes = common;
        return S_OK;
    }

    HRESULT GetUIObjectOf(HWND, UINT count, PCUITEMID_CHILD_ARRAY items, REFIID riid, UINT*,
                          void** object) override {
        if (!object) return E_INVALIDARG;
        *object = nullptr;
        if (count != 1 || !items || !items[0]) return E_INVALIDARG;
        Location target;
        if (!locateBelow(location_, items[0], target)) return E_INVALIDARG;
        if (riid != IID_IShellLinkA || target.kind != Location::FileSystem) return E_NOINTERFACE;
        return linkObjectFor(target, object);
    }

    HRESULT GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags, STRRET* name) override {
        if (!name) return E_INVALIDARG;
        Location target;
        if (!locateBelow(location_, item, target)) return E_INVALIDARG;
        if (!(flags & SHGDN_FORPARSING) && !(flags & SHGDN_FOREDITING))
            return putText(normalName(target), NameText::AnsiWhereItFits, name);
        if ((flags & SHGDN_INFOLDER) || (flags & SHGDN_FORPARSING) == 0) {
            if (target.kind == Location::FileSystem && item && item->mkid.cb != 0) {
                // The name as the item itself holds it.
                const auto ids = itemsOf(item);
                UINT offset = 0;
                for (std::size_t i = 0; i + 1 < ids.size(); ++i)
                    offset += ids[i]->cb;
                name->uType = STRRET_OFFSET;
                name->uOffset = offset + static_cast<UINT>(kNameOffset);
                return S_OK;
            }
            return putText(inFolderName(target), NameText::AnsiWhereItFits, name);
        }
        return putText(parsingName(target), NameText::Wide, name);
    }

    HRESULT SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD* newItem) override {
        if (newItem) *newItem = nullptr;
        return E_NOTIMPL;
    }

  private:
    // A shell link (".lnk") is its own link object; a folder that stands for a shell class
    // leads where its "target.lnk" or its channel address leads.
    static HRESULT linkObjectFor(const Location& target, void** object) {
        const bool folder = target.attributes & FILE_ATTRIBUTE_DIRECTORY;
        std::string linkFile;
        if (!folder) {
            const std::string& name = target.last.name;
            if (name.size() < 4 || !AnsiSameText(name.substr(name.size() - 4), ".lnk"))
                return E_NOINTERFACE;
            linkFile = target.path;
        } else {
            if (target.last.progId.empty()) return E_NOINTERFACE;
            linkFile = joinPath(target.path, "target.lnk");
        }
        ComRef<IShellLinkA> link;
        HRESULT hr = createShellLink(IID_IShellLinkA, link.out());
        if (FAILED(hr)) return hr;
        if (FileExistsA(linkFile)) {
            ComRef<IPersistFile> file;
            hr = link->QueryInterface(IID_IPersistFile, file.out());
            if (SUCCEEDED(hr)) hr = file->Load(AnsiToWide(linkFile).c_str(), STGM_READ);
        } else {
            char address[2048];
            if (GetPrivateProfileStringA("Channel", "CDFURL", "", address, sizeof address,
                                         joinPath(target.path, "desktop.ini").c_str()) == 0)
                return E_FAIL;
            Item url;
            url.kind = ItemKind::Url;
            url.name = address;
            const PidlRef list(makeList(std::vector<Item>{url}));
            hr = list ? link->SetIDList(list.get()) : E_OUTOFMEMORY;
        }
        if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IShellLinkA, object);
        return hr;
    }

    PidlRef self_;
    Location location_;
};

} // namespace

HRESULT createFolder(PCIDLIST_ABSOLUTE absolute, REFIID riid, void** object) {
    if (!object) return E_INVALIDARG;
    *object = nullptr;
    Location location;
    if (!locate(absolute, location)) return E_INVALIDARG;
    PidlRef copy(ILClone(absolute));
    if (!copy) return E_OUTOFMEMORY;
    const ComRef<ShellFolder> folder(new (std::nothrow) ShellFolder(std::move(copy), location));
    if (!folder) return E_OUTOFMEMORY;
    return folder->QueryInterface(riid, object);
}

} // namespace platform::shell

HRESULT SHGetDesktopFolder(IShellFolder** folder) {
    if (!folder) return E_INVALIDARG;
    const BYTE empty[2] = {0, 0};
    return platform::shell::createFolder(reinterpret_cast<PCIDLIST_ABSOLUTE>(empty),
                                         IID_IShellFolder, reinterpret_cast<void**>(folder));
}
