// SHAddToRecentDocs: the Recent folder holds one shell link per document used lately, named
// after the document ("Brief.doc.lnk").
#include "platform/ansi.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/shellitems.h"
#include "platform/win32.h"

#include <vector>

namespace {

std::string recentFolder() {
    const std::string folder =
        platform::guardedCall(std::string(), [] { return platform::userShellFolder("Recent"); });
    return folder.size() > 3 && DirectoryExistsA(folder) ? folder : std::string();
}

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

// Removes the shell's links; other files of the folder (desktop.ini) are not the list's.
void clearRecentDocuments(const std::string& folder) {
    std::vector<std::string> links;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(
        FindFirstFileA(platform::shell::joinPath(folder, "*.lnk").c_str(), &found));
    if (!find.valid()) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) links.push_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    for (const auto& name : links)
        DeleteFileA(platform::shell::joinPath(folder, name).c_str());
}

} // namespace

void SHAddToRecentDocs(UINT flags, LPCVOID document) {
    const std::string folder = recentFolder();
    if (folder.empty()) return;
    if (!document) {
        clearRecentDocuments(folder);
        return;
    }
    const std::string path = platform::fullWindowsPath(documentPath(flags, document));
    if (path.size() <= 3 || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    const std::string name = path.substr(path.find_last_of('\\') + 1);

    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(path.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        file->Save(AnsiToWide(platform::shell::joinPath(folder, name + ".lnk")).c_str(), TRUE);
        file->Release();
    }
    link->Release();
}
