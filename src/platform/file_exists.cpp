// Existence tests over GetFileAttributesA: the same on the hosted platform and on Windows.
#include "platform/win32.h"

bool FileExistsA(const std::string& windowsPath) {
    const DWORD attrs = GetFileAttributesA(windowsPath.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExistsA(const std::string& windowsPath) {
    const DWORD attrs = GetFileAttributesA(windowsPath.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}
