// A document added to the recent-documents list: a shell link named after it ("Brief.doc.lnk")
// in the Recent folder, and its name first in the RecentDocs list of the registry (one binary
// value per document, UTF-16 and zero-ended, and MRUListEx with their numbers, newest first).
#include "platform/recentlinks.h"
#include "platform/shelllink.h"

#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/shellitems.h"
#include "platform/win32.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const char* const kRecentDocs =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
constexpr DWORD kEndOfList = 0xFFFFFFFF;

std::string documentPath(UINT flags, LPCVOID document) {
    switch (flags) {
    case SHARD_PATHA:
        return static_cast<LPCSTR>(document);
    case SHARD_PATHW:
        return WideToAnsi(static_cast<LPCWSTR>(document));
    case SHARD_PIDL: {
        char path[MAX_PATH];
        return SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(document), path) ? path : "";
    }
    default:
        return {};
    }
}

bool writeLink(const std::string& target, const std::string& linkFile) {
    ComRef<IShellLinkA> link;
    // The shell's own link object, whatever the caller's thread has done about COM.
    if (FAILED(platform::createShellLink(IID_IShellLinkA, link.out()))) return false;
    ComRef<IPersistFile> file;
    return SUCCEEDED(link->SetPath(target.c_str())) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.out())) &&
           SUCCEEDED(file->Save(AnsiToWide(linkFile).c_str(), TRUE));
}

std::vector<DWORD> readOrder(HKEY key) {
    std::vector<DWORD> order;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, "MRUListEx", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return order;
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(key, "MRUListEx", nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return order;
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        DWORD index = 0;
        std::memcpy(&index, data.data() + at, 4);
        if (index == kEndOfList) break;
        order.push_back(index);
    }
    return order;
}

// The number under which the list holds this name, or a free one.
DWORD entryFor(HKEY key, const std::string& name, const std::vector<DWORD>& order, bool& known) {
    for (DWORD index : order) {
        DWORD type = 0;
        std::vector<BYTE> data(2 * (MAX_PATH + 1));
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, std::to_string(index).c_str(), nullptr, &type, data.data(),
                             &size) != ERROR_SUCCESS)
            continue;
        std::u16string text;
        for (DWORD at = 0; at + 1 < size; at += 2) {
            const auto c = static_cast<char16_t>(data[at] | (data[at + 1] << 8));
            if (c == 0) break;
            text.push_back(c);
        }
        if (AnsiSameText(WideToAnsi(text), name)) {
            known = true;
            return index;
        }
    }
    known = false;
    DWORD free = 0;
    while (std::find(order.begin(), order.end(), free) != order.end())
        ++free;
    return free;
}

void recordName(const std::string& name) {
    UniqueHKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecentDocs, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.out(),
                        nullptr) != ERROR_SUCCESS)
        return;
    std::vector<DWORD> order = readOrder(key.get());
    bool known = false;
    const DWORD index = entryFor(key.get(), name, order, known);
    if (!known) {
        const std::u16string wide = AnsiToWide(name);
        RegSetValueExA(key.get(), std::to_string(index).c_str(), 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<DWORD>((wide.size() + 1) * sizeof(char16_t)));
    }
    order.erase(std::remove(order.begin(), order.end(), index), order.end());
    order.insert(order.begin(), index);
    order.push_back(kEndOfList);
    RegSetValueExA(key.get(), "MRUListEx", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(order.data()),
                   static_cast<DWORD>(order.size() * sizeof(DWORD)));
}

} // namespace

namespace platform {

void addRecentDocument(UINT flags, LPCVOID document) {
    // The steps' own errors are no business of the caller's.
    const DWORD lastError = GetLastError();
    const std::string path = fullWindowsPath(documentPath(flags, document));
    const std::string folder = guardedCall(std::string(), [] { return userShellFolder("Recent"); });
    if (path.size() > 3 && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        folder.size() > 3 && DirectoryExistsA(folder)) {
        const std::string name = path.substr(path.find_last_of('\\') + 1);
        if (writeLink(path, shell::joinPath(folder, name + ".lnk"))) recordName(name);
    }
    SetLastError(lastError);
}

} // namespace platform
