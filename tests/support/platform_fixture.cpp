#include "support/platform_fixture.h"

#include "platform/paths.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace testing_support {

TempPlatform::TempPlatform() {
    std::string pattern = (fs::temp_directory_path() / "surfkolibri-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    base_ = pattern;
    root_ = base_ + "/root";
    programFolder_ = base_ + "/program";
    fs::create_directories(programFolder_);
    ::setenv("SURFKOLIBRI_SHELL_EXECUTE", "record", 1);
    platform::useRoot(root_);
    platform::overrideModulePath(programFolder_ + "/surfkolibri");
    platform::rootPath(); // opens the root: a fresh default machine
    SetCurrentDirectoryA(programFolderWindows().c_str());
}

TempPlatform::~TempPlatform() {
    platform::closeRoot();
    platform::overrideModulePath({});
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(base_, ec);
}

std::string TempPlatform::programFolderWindows() const {
    return platform::windowsPathOf(programFolder_) + "\\";
}

std::string TempPlatform::hostPath(const std::string& windowsPath) const {
    std::string host;
    DWORD error = 0;
    platform::resolvePath(windowsPath, host, error);
    return host;
}

void TempPlatform::installDataFiles() const {
    for (const auto& entry : fs::directory_iterator(SURFKOLIBRI_DATA_DIR))
        fs::copy_file(entry.path(), fs::path(programFolder_) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
}

void writeHostFile(const std::string& hostPath, const std::string& contents) {
    fs::create_directories(fs::path(hostPath).parent_path());
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string readHostFile(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace testing_support
