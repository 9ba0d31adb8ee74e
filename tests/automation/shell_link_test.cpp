// TShellLink: the shortcut component over the shell's link object.
#include "automation_fixture.h"

#include "automation/ShellLnk.h"

using namespace automation_test;
using testing_support::PlatformTest;

namespace {

class TShellLinkTest : public PlatformTest {};

void expectDefaults(const TShellLink& link) {
    EXPECT_EQ("", link.Path);
    EXPECT_EQ("", link.WorkingDirectory);
    EXPECT_EQ("", link.Description);
    EXPECT_EQ("", link.Arguments);
    EXPECT_EQ("", link.IconLocation);
    EXPECT_EQ(0, link.IconIndex);
    EXPECT_EQ(1, link.ShowCmd);
    EXPECT_EQ(0, link.HotKey);
}

} // namespace

TEST_F(TShellLinkTest, DefaultsNameTheTargetsFolderAndFile) {
    TShellLink link;
    expectDefaults(link);
    link.IconIndex = 3;
    link.ShowCmd = 7;
    link.SetDefaults("C:\\Programme\\Kravonel\\Surfkolibri.exe", "cbn");
    EXPECT_EQ("C:\\Programme\\Kravonel\\Surfkolibri.exe", link.Path);
    EXPECT_EQ("C:\\Programme\\Kravonel\\", link.WorkingDirectory);
    EXPECT_EQ("Surfkolibri.exe", link.Description);
    EXPECT_EQ("cbn", link.Arguments);
    EXPECT_EQ(0, link.IconIndex);
    EXPECT_EQ(1, link.ShowCmd);
    link.SetDefaults("notepad.exe", "");
    EXPECT_EQ("", link.WorkingDirectory);
    EXPECT_EQ("notepad.exe", link.Description);
}

// Everything written comes back; of the hot key only the low 16 bits are written. The file is
// an ordinary shell link: the platform's own object reads the same fields.
TEST_F(TShellLinkTest, SavedFieldsLoadBackAndTheShellReadsThem) {
    const std::string file = "C:\\Users\\User\\Desktop\\Putzen.lnk";
    TShellLink written;
    written.Path = "C:\\Windows\\notepad.exe";
    written.WorkingDirectory = "C:\\Windows\\";
    written.Description = "Aufr\xE4umen beim Start";
    written.Arguments = "cbhmen";
    written.IconLocation = "C:\\Windows\\notepad.exe";
    written.IconIndex = 2;
    written.ShowCmd = 7;
    written.HotKey = 0x10641; // Ctrl+Alt+A in the low word
    ASSERT_TRUE(written.SaveToFile(file));

    TShellLink read;
    read.Arguments = "left over";
    ASSERT_TRUE(read.LoadFromFile(file));
    EXPECT_EQ(written.Path, read.Path);
    EXPECT_EQ(written.WorkingDirectory, read.WorkingDirectory);
    EXPECT_EQ(written.Description, read.Description);
    EXPECT_EQ("cbhmen", read.Arguments);
    EXPECT_EQ(written.IconLocation, read.IconLocation);
    EXPECT_EQ(2, read.IconIndex);
    EXPECT_EQ(7, read.ShowCmd);
    EXPECT_EQ(0x0641, read.HotKey);

    const Shortcut shell = readShortcut(file);
    EXPECT_EQ("cbhmen", shell.arguments);
    EXPECT_EQ("C:\\Windows\\notepad.exe", shell.target);
    EXPECT_EQ(0x0641, shell.hotKey);
}

// A file that is missing, damaged or a folder loads nothing and leaves the defaults, whatever
// was loaded before.
TEST_F(TShellLinkTest, AFileThatCannotBeReadLeavesTheDefaults) {
    const std::string good = "C:\\Users\\User\\Desktop\\Gut.lnk";
    writeShortcut(good, "ch", "C:\\Windows", "Beschreibung");
    ASSERT_TRUE(
        WriteWholeFile("C:\\Users\\User\\Desktop\\Kaputt.lnk", std::string("L\0\0\0 no link", 12)));
    ASSERT_TRUE(CreateDirectoryA("C:\\Users\\User\\Desktop\\Ordner.lnk", nullptr));
    for (const char* bad :
         {"C:\\Users\\User\\Desktop\\Fehlt.lnk", "C:\\Users\\User\\Desktop\\Kaputt.lnk",
          "C:\\Users\\User\\Desktop\\Ordner.lnk", "C:\\Users\\<>.lnk", ""}) {
        TShellLink link;
        ASSERT_TRUE(link.LoadFromFile(good));
        EXPECT_EQ("ch", link.Arguments);
        EXPECT_FALSE(link.LoadFromFile(bad)) << bad;
        expectDefaults(link);
    }
}

// Saving reports a shortcut that was not written: no such folder, a name longer than a path
// may be, a read-only file in the way, a folder of all users without the rights.
TEST_F(TShellLinkTest, SavingReportsAFileThatWasNotWritten) {
    TShellLink link;
    link.SetDefaults("C:\\Windows\\notepad.exe", "c");
    EXPECT_FALSE(link.SaveToFile("C:\\Nirgends\\Auto.lnk"));
    EXPECT_FALSE(link.SaveToFile("C:\\Users\\User\\" + std::string(300, 'x') + ".lnk"));
    const std::string locked = "C:\\Users\\User\\Desktop\\Schreibgeschuetzt.lnk";
    ASSERT_TRUE(link.SaveToFile(locked));
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    link.Arguments = "b";
    EXPECT_FALSE(link.SaveToFile(locked));
    EXPECT_EQ("c", readShortcut(locked).arguments);
    setAdministrator(false);
    EXPECT_FALSE(link.SaveToFile(kCommonStartup + "Auto.lnk"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((kCommonStartup + "Auto.lnk").c_str()));
    setAdministrator(true);
    EXPECT_TRUE(link.SaveToFile(kCommonStartup + "Auto.lnk"));
    EXPECT_EQ("b", readShortcut(kCommonStartup + "Auto.lnk").arguments);
}
