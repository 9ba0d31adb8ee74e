// The Internet shortcut object (CLSID_InternetShortcut): the address of a ".url" file
// through IUniformResourceLocatorA, loaded and saved through IPersistFile.
#include "platform/intshcut.h"
#include "platform/ansi.h"
#include "platform/com_object.h"
#include "platform/paths.h"
#include "platform/shelllink.h"
#include "platform/taskalloc.h"
#include "platform/win32.h"

#include <cstring>
#include <new>
#include <vector>

const CLSID CLSID_InternetShortcut = {
    0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID IID_IUniformResourceLocatorA = {
    0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};

namespace {

const char* const kSection = "InternetShortcut";
// An address longer than this is not one a browser takes.
constexpr DWORD kLongestUrl = 8192;

bool hasScheme(const std::string& url) {
    const auto colon = url.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = url[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '+' || c == '-' || c == '.'))
            return false;
    }
    return true;
}

// What the shell makes of an address typed without its protocol.
std::string withProtocol(const std::string& url, DWORD flags) {
    if (url.empty() || hasScheme(url)) return url;
    if (flags & IURL_SETURL_FL_GUESS_PROTOCOL) {
        const std::string lower = AnsiLowerCase(url);
        if (lower.rfind("www.", 0) == 0) return "http://" + url;
        if (lower.rfind("ftp.", 0) == 0) return "ftp://" + url;
    }
    if (flags & IURL_SETURL_FL_USE_DEFAULT_PROTOCOL) return "http://" + url;
    return url;
}

class InternetShortcut final
    : public platform::ComObject<
          platform::ComInterface<IUniformResourceLocatorA, &IID_IUniformResourceLocatorA>,
          platform::ComInterface<IPersistFile, &IID_IPersistFile, &IID_IPersist>> {
  public:
    HRESULT SetURL(LPCSTR url, DWORD flags) override {
        if (flags & ~(IURL_SETURL_FL_GUESS_PROTOCOL | IURL_SETURL_FL_USE_DEFAULT_PROTOCOL))
            return E_INVALIDARG;
        const std::string text = url ? url : "";
        if (text.size() > kLongestUrl) return E_INVALIDARG;
        url_ = withProtocol(text, flags);
        dirty_ = true;
        return S_OK;
    }

    HRESULT GetURL(LPSTR* url) override {
        if (!url) return E_POINTER;
        *url = nullptr;
        if (url_.empty()) return S_FALSE;
        *url = static_cast<LPSTR>(CoTaskMemAlloc(url_.size() + 1));
        if (!*url) return E_OUTOFMEMORY;
        std::memcpy(*url, url_.c_str(), url_.size() + 1);
        return S_OK;
    }

    HRESULT InvokeCommand(PURLINVOKECOMMANDINFOA info) override {
        if (!info || info->dwcbSize < sizeof(URLINVOKECOMMANDINFOA)) return E_INVALIDARG;
        if (url_.empty()) return E_FAIL;
        const char* verb = info->pcszVerb ? info->pcszVerb : "open";
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteA(info->hwndParent, verb, url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return result > 32 ? S_OK : E_FAIL;
    }

    HRESULT GetClassID(CLSID* classId) override {
        if (!classId) return E_POINTER;
        *classId = CLSID_InternetShortcut;
        return S_OK;
    }
    HRESULT IsDirty() override { return dirty_ ? S_OK : S_FALSE; }

    HRESULT Load(LPCOLESTR fileName, DWORD) override {
        if (!fileName) return E_INVALIDARG;
        const std::string path = WideToAnsi(fileName);
        if (!FileExistsA(path)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        std::vector<char> buffer(kLongestUrl + 2);
        const DWORD length = GetPrivateProfileStringA(
            kSection, "URL", "", buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
        url_.assign(buffer.data(), length);
        file_ = platform::fullWindowsPath(path);
        dirty_ = false;
        return S_OK;
    }

    // Only the address changes; whatever else the file holds stays.
    HRESULT Save(LPCOLESTR fileName, BOOL remember) override {
        const std::string path = fileName ? WideToAnsi(fileName) : file_;
        if (path.empty()) return E_INVALIDARG;
        if (!WritePrivateProfileStringA(kSection, "URL", url_.c_str(), path.c_str()))
            return HRESULT_FROM_WIN32(GetLastError());
        if (remember || !fileName) {
            file_ = platform::fullWindowsPath(path);
            dirty_ = false;
        }
        return S_OK;
    }

    HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }

    HRESULT GetCurFile(LPOLESTR* fileName) override {
        if (!fileName) return E_POINTER;
        *fileName = platform::taskAllocatedWide(file_.empty() ? "*.url" : file_);
        if (!*fileName) return E_OUTOFMEMORY;
        return file_.empty() ? S_FALSE : S_OK;
    }

  private:
    std::string url_;
    std::string file_;
    bool dirty_ = false;
};

} // namespace

namespace platform {
HRESULT createInternetShortcut(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    const ComRef<InternetShortcut> shortcut(new (std::nothrow) InternetShortcut());
    if (!shortcut) return E_OUTOFMEMORY;
    return shortcut->QueryInterface(riid, object);
}
} // namespace platform
