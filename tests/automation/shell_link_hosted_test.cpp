// TShellLink on the hosted machine: the Startup folder of all users changes only for an
// administrator.
#include "automation/ShellLnk.h"
#include "automation_fixture.h"

using namespace automation_test;

using TShellLinkHostedTest = testing_support::PlatformTest;

TEST_F(TShellLinkHostedTest, TheFolderOfAllUsersTakesAShortcutOnlyFromAnAdministrator) {
    TShellLink link;
    link.SetDefaults("C:\\Windows\\notepad.exe", "b");
    setAdministrator(false);
    EXPECT_FALSE(link.SaveToFile(kCommonStartup + "Auto.lnk"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kCommonStartup + "Auto.lnk").c_str()));
    setAdministrator(true);
    EXPECT_TRUE(link.SaveToFile(kCommonStartup + "Auto.lnk"));
    EXPECT_EQ("b", readShortcut(kCommonStartup + "Auto.lnk").arguments);
}
