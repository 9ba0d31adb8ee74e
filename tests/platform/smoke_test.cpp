#include "platform/win32.h"
#include "support/platform_fixture.h"

using testing_support::PlatformTest;

TEST_F(PlatformTest, FreshRootHasTheShellFolderValues) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER,
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            0, KEY_READ, &key));
    char data[MAX_PATH];
    DWORD size = sizeof data;
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Local AppData", nullptr, &type,
                                              reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_STREQ("C:\\Users\\User\\AppData\\Local", data);
    EXPECT_TRUE(DirectoryExistsA(data));
    RegCloseKey(key);
}
