// The shell link object (CLSID_ShellLink): IShellLinkA over a link's fields and IPersistFile
// over ".lnk" files.
#include "platform/shelllink.h"
#include "platform/ansi.h"
#include "platform/com_object.h"
#include "platform/lnkformat.h"
#include "platform/paths.h"
#include "platform/shellitems.h"
#include "platform/taskalloc.h"
#include "platform/win32.h"

#include <cstring>
#include <new>
#include <vector>

const CLSID CLSID_ShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersist = {
    0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

using platform::lnk::LinkData;
namespace shell = platform::shell;

HRESULT copyOut(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return E_INVALIDARG;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return S_OK;
}

HRESULT storeText(LPCSTR text, std::string& field) {
    if (!text) return E_INVALIDARG;
    if (std::strlen(text) > platform::lnk::kLongestString) return E_INVALIDARG;
    field = text;
    return S_OK;
}

// What the file system says about one entry; false when it is not there.
bool findEntry(const std::string& path, WIN32_FIND_DATAA& found) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    return UniqueFindHandle(FindFirstFileA(path.c_str(), &found)).valid();
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::vector<std::string> componentsOf(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The target as seen from the link file's folder (".\x.exe", "..\bin\x.exe"); empty when
// they lie on different drives.
std::string relativePathBetween(const std::string& linkFile, const std::string& target) {
    const std::string from =
        platform::fullWindowsPath(folderOf(platform::fullWindowsPath(linkFile)));
    const std::string to = platform::fullWindowsPath(target);
    if (from.empty() || to.empty() || from[0] != to[0]) return {};
    const auto a = componentsOf(from);
    const auto b = componentsOf(to);
    std::size_t common = 0;
    while (common < a.size() && common + 1 < b.size() && AnsiSameText(a[common], b[common]))
        ++common;
    std::string result;
    for (std::size_t i = common; i < a.size(); ++i)
        result += "..\\";
    if (result.empty()) result = ".\\";
    for (std::size_t i = common; i < b.size(); ++i)
        result += b[i] + (i + 1 < b.size() ? "\\" : "");
    return result;
}

class ShellLink final
    : public platform::ComObject<
          platform::ComInterface<IShellLinkA, &IID_IShellLinkA>,
          platform::ComInterface<IPersistFile, &IID_IPersistFile, &IID_IPersist>> {
  public:
    // IShellLinkA
    HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* findData, DWORD flags) override {
        if (!file || size <= 0) return E_INVALIDARG;
        std::string path = path_;
        if ((flags & SLGP_RAWPATH) && !data_.environmentPath.empty()) path = data_.environmentPath;
        if (findData) {
            std::memset(findData, 0, sizeof *findData);
            if (!path_.empty()) {
                findData->dwFileAttributes = data_.fileAttributes;
                findData->ftCreationTime = data_.creationTime;
                findData->ftLastAccessTime = data_.accessTime;
                findData->ftLastWriteTime = data_.writeTime;
                findData->nFileSizeLow = data_.fileSize;
                const std::string name = path_.substr(path_.find_last_of('\\') + 1);
                copyOut(name, findData->cFileName, MAX_PATH);
            }
        }
        copyOut(path, file, size);
        return path.empty() ? S_FALSE : S_OK;
    }

    HRESULT GetIDList(PIDLIST_ABSOLUTE* list) override {
        if (!list) return E_INVALIDARG;
        *list = nullptr;
        if (!idList_) return S_FALSE;
        *list = ILClone(idList_.get());
        return *list ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT SetIDList(PCIDLIST_ABSOLUTE list) override {
        if (!list) return E_INVALIDARG;
        if (ILGetSize(list) > 0xFFFF) return E_INVALIDARG;
        PIDLIST_ABSOLUTE copy = ILClone(list);
        if (!copy) return E_OUTOFMEMORY;
        shell::Location target;
        std::string path;
        if (shell::locate(copy, target) &&
            (target.kind == shell::Location::FileSystem || target.kind == shell::Location::Drive))
            path = target.path;
        adoptTarget(copy, path);
        return S_OK;
    }

    HRESULT GetDescription(LPSTR name, int size) override {
        return copyOut(data_.description, name, size);
    }
    HRESULT SetDescription(LPCSTR name) override {
        return changed(storeText(name, data_.description));
    }
    HRESULT GetWorkingDirectory(LPSTR directory, int size) override {
        return copyOut(data_.workingDirectory, directory, size);
    }
    HRESULT SetWorkingDirectory(LPCSTR directory) override {
        return changed(storeText(directory, data_.workingDirectory));
    }
    HRESULT GetArguments(LPSTR arguments, int size) override {
        return copyOut(data_.arguments, arguments, size);
    }
    HRESULT SetArguments(LPCSTR arguments) override {
        return changed(storeText(arguments, data_.arguments));
    }
    HRESULT GetHotkey(WORD* hotkey) override {
        if (!hotkey) return E_INVALIDARG;
        *hotkey = data_.hotKey;
        return S_OK;
    }
    HRESULT SetHotkey(WORD hotkey) override {
        data_.hotKey = hotkey;
        return changed(S_OK);
    }
    HRESULT GetShowCmd(int* showCommand) override {
        if (!showCommand) return E_INVALIDARG;
        *showCommand = data_.showCommand;
        return S_OK;
    }
    HRESULT SetShowCmd(int showCommand) override {
        data_.showCommand = showCommand;
        return changed(S_OK);
    }
    HRESULT GetIconLocation(LPSTR iconPath, int size, int* iconIndex) override {
        if (!iconIndex) return E_INVALIDARG;
        const HRESULT hr = copyOut(data_.iconLocation, iconPath, size);
        if (SUCCEEDED(hr)) *iconIndex = data_.iconIndex;
        return hr;
    }
    HRESULT SetIconLocation(LPCSTR iconPath, int iconIndex) override {
        const HRESULT hr = storeText(iconPath, data_.iconLocation);
        if (SUCCEEDED(hr)) data_.iconIndex = iconIndex;
        return changed(hr);
    }
    HRESULT SetRelativePath(LPCSTR path, DWORD) override {
        if (!path) return E_INVALIDARG;
        relativeTo_ = path;
        return changed(S_OK);
    }

    HRESULT Resolve(HWND, DWORD flags) override {
        if (path_.empty()) return idList_ ? S_OK : E_FAIL;
        std::string found;
        if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES) {
            found = path_;
        } else if (!(flags & SLR_NOSEARCH) && !data_.relativePath.empty() && !curFile_.empty()) {
            // The link and its target moved together: the relative path still leads there.
            const std::string candidate =
                platform::fullWindowsPath(shell::joinPath(folderOf(curFile_), data_.relativePath));
            if (!candidate.empty() &&
                GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
                found = candidate;
        }
        if (found.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        const LinkData before = data_;
        const std::string beforePath = path_;
        const bool wasDirty = dirty_;
        PIDLIST_ABSOLUTE list = nullptr;
        if (FAILED(shell::listForPath(found, shell::PathMustExist::Yes, &list)))
            return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        const std::string relativePath = data_.relativePath;
        adoptTarget(list, found);
        data_.relativePath = relativePath;
        const bool same = beforePath == path_ && before.fileAttributes == data_.fileAttributes &&
                          before.fileSize == data_.fileSize &&
                          std::memcmp(&before.writeTime, &data_.writeTime, sizeof(FILETIME)) == 0;
        dirty_ = wasDirty || !same;
        // SLR_NOUPDATE: the link file is never written; SLR_UPDATE: a changed link is saved;
        // otherwise the caller sees the change through IsDirty.
        if (dirty_ && (flags & SLR_UPDATE) && !(flags & SLR_NOUPDATE) && !curFile_.empty())
            return Save(nullptr, TRUE);
        return S_OK;
    }

    HRESULT SetPath(LPCSTR file) override {
        if (!file) return E_INVALIDARG;
        const std::string text = file;
        if (text.empty()) {
            adoptTarget(nullptr, {});
            return S_OK;
        }
        if (text.size() > platform::lnk::kLongestString) return E_INVALIDARG;
        const std::string full = platform::fullWindowsPath(text);
        PIDLIST_ABSOLUTE list = nullptr;
        if (!full.empty() && SUCCEEDED(shell::listForPath(full, shell::PathMustExist::No, &list))) {
            shell::Location target;
            shell::locate(list, target);
            adoptTarget(list, target.path);
            return S_OK;
        }
        // Not a place on the hosted drives (an unknown drive, an address): kept as text.
        adoptTarget(nullptr, full.empty() ? text : full);
        return S_FALSE;
    }

    // IPersist / IPersistFile
    HRESULT GetClassID(CLSID* classId) override {
        if (!classId) return E_POINTER;
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT IsDirty() override { return dirty_ ? S_OK : S_FALSE; }

    HRESULT Load(LPCOLESTR fileName, DWORD) override {
        if (!fileName) return E_INVALIDARG;
        const std::string path = WideToAnsi(fileName);
        WIN32_FIND_DATAA found;
        if (!findEntry(path, found)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
        if (found.nFileSizeHigh || found.nFileSizeLow > platform::lnk::kLargestFile) return E_FAIL;
        std::string bytes;
        if (!ReadWholeFile(path, bytes)) return HRESULT_FROM_WIN32(GetLastError());
        LinkData data;
        if (!platform::lnk::parse(bytes, data)) return E_FAIL;
        PIDLIST_ABSOLUTE list = nullptr;
        if (!data.idList.empty()) {
            list = static_cast<PIDLIST_ABSOLUTE>(CoTaskMemAlloc(data.idList.size()));
            if (!list) return E_OUTOFMEMORY;
            std::memcpy(list, data.idList.data(), data.idList.size());
        }
        std::string target = data.localPath;
        shell::Location location;
        if (target.empty() && list && shell::locate(list, location) &&
            (location.kind == shell::Location::FileSystem ||
             location.kind == shell::Location::Drive))
            target = location.path;
        if (target.empty()) target = data.environmentPath;
        idList_.reset(list);
        path_ = target;
        data_ = std::move(data);
        relativeTo_.clear();
        curFile_ = platform::fullWindowsPath(path);
        dirty_ = false;
        return S_OK;
    }

    HRESULT Save(LPCOLESTR fileName, BOOL remember) override {
        const std::string path = fileName ? WideToAnsi(fileName) : curFile_;
        if (path.empty()) return E_INVALIDARG;
        LinkData data = data_;
        data.idList.clear();
        if (idList_)
            data.idList.assign(reinterpret_cast<const char*>(idList_.get()),
                               ILGetSize(idList_.get()));
        data.localPath = path_;
        if (!relativeTo_.empty()) data.relativePath = relativePathBetween(relativeTo_, path_);
        if (!WriteWholeFile(path, platform::lnk::serialize(data)))
            return HRESULT_FROM_WIN32(GetLastError());
        if (remember || !fileName) {
            curFile_ = platform::fullWindowsPath(path);
            dirty_ = false;
        }
        return S_OK;
    }

    HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }

    HRESULT GetCurFile(LPOLESTR* fileName) override {
        if (!fileName) return E_POINTER;
        *fileName = platform::taskAllocatedWide(curFile_.empty() ? "*.lnk" : curFile_);
        if (!*fileName) return E_OUTOFMEMORY;
        return curFile_.empty() ? S_FALSE : S_OK;
    }

  private:
    HRESULT changed(HRESULT hr) {
        if (SUCCEEDED(hr)) dirty_ = true;
        return hr;
    }

    // Takes a new target: its list (owned from now on), its path and what the file system
    // says about it.
    void adoptTarget(PIDLIST_ABSOLUTE list, const std::string& path) {
        idList_.reset(list);
        path_ = path;
        data_.environmentPath.clear();
        data_.relativePath.clear();
        data_.fileAttributes = 0;
        data_.fileSize = 0;
        data_.creationTime = data_.accessTime = data_.writeTime = FILETIME{};
        WIN32_FIND_DATAA found;
        if (path.size() > 3 && findEntry(path, found)) {
            data_.fileAttributes = found.dwFileAttributes;
            data_.fileSize = found.nFileSizeHigh ? 0xFFFFFFFFu : found.nFileSizeLow;
            data_.creationTime = found.ftCreationTime;
            data_.accessTime = found.ftLastAccessTime;
            data_.writeTime = found.ftLastWriteTime;
        } else if (path.size() == 3) {
            data_.fileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        }
        dirty_ = true;
    }

    LinkData data_;
    std::string path_;
    PidlRef idList_;
    std::string relativeTo_;
    std::string curFile_;
    bool dirty_ = false;
};

} // namespace

namespace platform {
HRESULT createShellLink(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    const ComRef<ShellLink> link(new (std::nothrow) ShellLink());
    if (!link) return E_OUTOFMEMORY;
    return link->QueryInterface(riid, object);
}
} // namespace platform
