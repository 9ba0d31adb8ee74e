#include "support/platform_fixture.h"
#include "support/wine.h"

#include "platform/filetime.h"
#include "platform/paths.h"
#include "platform/root.h"
#include "platform/taskalloc.h"
#include "platform/win32.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

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
    platform::useRoot(platform::HostPath(root_));
    platform::overrideModulePath(platform::HostPath(programFolder_) / "surfkolibri");
    platform::rootPath(); // opens the root: a fresh default machine
    CoInitialize(nullptr);
    SetCurrentDirectoryA(programFolderWindows().c_str());
}

TempPlatform::~TempPlatform() {
    CoUninitialize();
    platform::closeRoot();
    platform::overrideModulePath(platform::HostPath());
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(base_, ec);
}

std::string TempPlatform::programFolderWindows() const {
    return platform::windowsPathOf(platform::HostPath(programFolder_)) + "\\";
}

std::string TempPlatform::hostPath(const std::string& windowsPath) const {
    const platform::Result<platform::HostPath> host = platform::resolvePath(windowsPath);
    return host ? host->str() : std::string();
}

std::string TempPlatform::profile() const {
    return "C:\\Users\\" + platform::userName();
}

std::string TempPlatform::share() const {
    return {};
}

bool TempPlatform::grantAdministrator() const {
    platform::setSetting("admin", "yes");
    return platform::isAdministrator();
}

void TempPlatform::reopen() const {
    platform::closeRoot();
}

void TempPlatform::installDataFiles() const {
    for (const auto& entry : fs::directory_iterator(SURFKOLIBRI_DATA_DIR))
        fs::copy_file(entry.path(), fs::path(programFolder_) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
}

void setHostFileTimes(const std::string& hostPath, std::uint64_t ticks) {
    const std::int64_t sinceEpoch = static_cast<std::int64_t>(ticks) -
                                    platform::kSecondsFrom1601To1970 * platform::kTicksPerSecond;
    const timespec time{static_cast<time_t>(sinceEpoch / platform::kTicksPerSecond),
                        static_cast<long>(sinceEpoch % platform::kTicksPerSecond * 100)};
    const timespec times[2] = {time, time};
    ::utimensat(AT_FDCWD, hostPath.c_str(), times, 0);
}

std::size_t liveTaskAllocations() {
    return platform::liveTaskAllocations();
}

bool runningOnWine() {
    return false;
}

} // namespace testing_support
