#include "fuzz_support.h"

#include "platform/root.h"
#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <stdlib.h>

namespace fs = std::filesystem;

namespace fuzzing {
namespace {

std::string& temporaryFolder() {
    static std::string folder;
    return folder;
}

void removeTemporaryFolder() {
    platform::closeRoot();
    std::error_code ec;
    fs::remove_all(temporaryFolder(), ec);
}

} // namespace

const std::string& scratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (fs::temp_directory_path() / "surfkolibri-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        temporaryFolder() = pattern;
        std::atexit(removeTemporaryFolder);
        ::setenv("SURFKOLIBRI_SHELL_EXECUTE", "record", 1);
        platform::useRoot(platform::HostPath(pattern + "/root"));
        platform::rootPath(); // a fresh default machine
        CoInitialize(nullptr);
        const std::string scratch = "C:\\fuzz";
        CreateDirectoryA(scratch.c_str(), nullptr);
        return scratch;
    }();
    return folder;
}

std::string writeInput(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFolder() + "\\" + name;
    if (!WriteWholeFile(path, std::string(reinterpret_cast<const char*>(data), size)))
        broken("the input could not be written to the platform root", __FILE__, __LINE__);
    return path;
}

bool makeFolders(const std::string& folder) {
    for (std::size_t at = folder.find('\\', 3); at != std::string::npos;
         at = folder.find('\\', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

void broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
    std::abort();
}

} // namespace fuzzing
