// Last error, the program's own file name, and the module loader.
#include "platform/ansi.h"
#include "platform/modules.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <cstring>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;

// The one module the program loads by name. Its handle is a token, never dereferenced.
HMODULE const kWininet = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7A000000));

bool isWininet(const std::string& name) {
    std::string n = name;
    const auto slash = n.find_last_of("\\/");
    if (slash != std::string::npos) n = n.substr(slash + 1);
    return AnsiSameText(n, "wininet.dll") || AnsiSameText(n, "wininet");
}
} // namespace

DWORD GetLastError() {
    return t_lastError;
}
void SetLastError(DWORD error) {
    t_lastError = error;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    if (module != nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::string path = platform::windowsPathOf(platform::modulePath());
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // As on Windows: a short buffer gets the truncated, terminated path and the full size.
    if (path.size() >= size) {
        std::memcpy(fileName, path.c_str(), size - 1);
        fileName[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

HMODULE LoadLibraryA(LPCSTR fileName) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (isWininet(fileName) && platform::wininetPresent()) return kWininet;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    if (module != kWininet || !procName) {
        SetLastError(module != kWininet ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    for (const auto& entry : platform::wininetExports())
        if (std::strcmp(entry.name, procName) == 0) return entry.address;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    if (module != kWininet) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
