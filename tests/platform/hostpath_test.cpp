#include "platform/paths.h"
#include "platform/root.h"
#include "support/platform_fixture.h"

#include <algorithm>
#include <string>
#include <utility>

using platform::Failure;
using platform::HostPath;
using platform::Result;

using HostPathTest = testing_support::PlatformTest;

// A result holds either its value or the error that says why there is none; a failure never
// reads as success, even when a caller hands it ERROR_SUCCESS by mistake.
TEST(ResultTest, HoldsTheValueOrANonZeroError) {
    const Result<HostPath> found = HostPath("/tmp") / "x";
    ASSERT_TRUE(found);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), found.error());
    EXPECT_EQ("/tmp/x", found->str());

    const Result<HostPath> missing = Failure{ERROR_PATH_NOT_FOUND};
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), missing.error());

    const Result<int> confused = Failure{ERROR_SUCCESS};
    EXPECT_FALSE(confused);
    EXPECT_EQ(static_cast<DWORD>(ERROR_GEN_FAILURE), confused.error());
}

// A host path knows what lies below it by whole components, not by a common prefix.
TEST(HostPathValueTest, ContainsWholeComponentsOnly) {
    const HostPath folder("/root/drive_c");
    EXPECT_TRUE(folder.contains(folder));
    EXPECT_TRUE(folder.contains(folder / "Users"));
    EXPECT_TRUE(folder.contains(HostPath("/root/drive_c/")));
    EXPECT_FALSE(folder.contains(HostPath("/root/drive_cd")));
    EXPECT_FALSE(folder.contains(HostPath("/root")));
    EXPECT_EQ(HostPath("/root/drive_c/a/b"), folder / "a" / "b");
}

// Windows paths map to host paths below the root's drive C: or the host's own "/", looked up
// ignoring case, and back; what cannot be mapped says why.
TEST_F(HostPathTest, WindowsPathsMapBothWaysAndFailuresNameTheirError) {
    testing_support::writeHostFile(platform.root() + "/drive_c/Data/File.TXT", "x");
    const Result<HostPath> found = platform::resolvePath("c:\\DATA\\file.txt");
    ASSERT_TRUE(found);
    EXPECT_EQ(platform::driveCPath() / "Data/File.TXT", *found);
    EXPECT_EQ("C:\\Data\\File.TXT", platform::windowsPathOf(*found));
    EXPECT_EQ("Z:\\etc", platform::windowsPathOf(HostPath("/etc")));

    const Result<HostPath> spelled = platform::spelledHostPath("c:\\DATA\\file.txt");
    ASSERT_TRUE(spelled);
    EXPECT_EQ(platform::driveCPath() / "DATA/file.txt", *spelled);

    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              platform::resolvePath("C:\\..\\outside").error());
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), platform::resolvePath("D:\\x").error());
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH),
              platform::resolvePath("\\\\server\\share\\x").error());
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), platform::spelledHostPath("C:\\a<b").error());

    // A path in its normal form goes to the host as it is; any other is normalised first, and
    // both ways agree. Names that only begin with dots are names.
    const std::pair<const char*, const char*> forms[] = {
        {"c:\\a\\.\\b", "C:\\a\\b"},          {"C:\\a\\..\\b", "C:\\b"},
        {"C:\\a\\\\b\\", "C:\\a\\b"},         {"c:/a/b", "C:\\a\\b"},
        {"C:\\a\\.x\\..y", "C:\\a\\.x\\..y"}, {"C:\\a\\b", "C:\\a\\b"}};
    for (const auto& [given, normal] : forms) {
        SCOPED_TRACE(given);
        EXPECT_EQ(normal, platform::fullWindowsPath(given));
        std::string below = std::string(normal).substr(3);
        std::replace(below.begin(), below.end(), '\\', '/');
        EXPECT_EQ(platform::driveCPath() / below, *platform::spelledHostPath(given));
    }
}
