// The fixture of the file tests: a fresh folder of its own for every test.
#pragma once

#include "support/platform_fixture.h"

#include <string>

namespace files_test {

// Every test works in the user's profile folder of its fresh machine.
class FilesTest : public testing_support::PlatformTest {
  protected:
    // A Windows path below the test's folder, and the same as a host path.
    std::string at(const std::string& below) const { return platform.profile() + "\\" + below; }
    std::string host(const std::string& below) const { return platform.hostPath(at(below)); }
    // Host path below the root of drive C: (hosted platform only).
    std::string driveC(const std::string& below) const {
        return platform.root() + "/drive_c/" + below;
    }
};

} // namespace files_test
