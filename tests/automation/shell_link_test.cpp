// TShellLink: the shortcut component over the shell's link object.
#include "automation/ShellLnk.h"
#include "platform/win32.h"
#include "shortcut_files.h"
#include "support/caller_trace.h"
#include "support/platform_fixture.h"
#include "support/wine.h"

using namespace automation_test;
using testing_support::PlatformTest;

namespace {

class TShellLinkTest : public PlatformTest {
  protected:
    std::string desktop(const std::string& name) const {
        return platform.profile() + "\\Desktop\\" + name;
    }
};

void expectDefaults(const TShellLink& link,
                    const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
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
// an ordinary shell link: the shell's own object reads the same fields.
TEST_F(TShellLinkTest, SavedFieldsLoadBackAndTheShellReadsThem) {
    const std::string file = desktop("Putzen.lnk");
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
    EXPECT_TRUE(AnsiSameText(written.Path, read.Path)) << read.Path;
    EXPECT_EQ(written.WorkingDirectory, read.WorkingDirectory);
    EXPECT_EQ(written.Description, read.Description);
    EXPECT_EQ("cbhmen", read.Arguments);
    EXPECT_EQ(written.IconLocation, read.IconLocation);
    EXPECT_EQ(2, read.IconIndex);
    EXPECT_EQ(0x0641, read.HotKey);

    const Shortcut shell = readShortcut(file);
    EXPECT_EQ("cbhmen", shell.arguments);
    EXPECT_TRUE(AnsiSameText("C:\\Windows\\notepad.exe", shell.target)) << shell.target;
    EXPECT_EQ(0x0641, shell.hotKey);
    SKIP_ON_WINE("IPersistFile::Load sets the show command to SW_SHOWNORMAL whatever the file "
                 "holds");
    EXPECT_EQ(7, read.ShowCmd);
    EXPECT_EQ(7, shell.showCommand);
}

// A file that is missing, damaged or a folder loads nothing and leaves the defaults, whatever
// was loaded before.
TEST_F(TShellLinkTest, AFileThatCannotBeReadLeavesTheDefaults) {
    const std::string good = desktop("Gut.lnk");
    writeShortcut(good, "ch", "C:\\Windows", "Beschreibung");
    ASSERT_TRUE(WriteWholeFile(desktop("Kaputt.lnk"), std::string("L\0\0\0 no link", 12)));
    ASSERT_TRUE(CreateDirectoryA(desktop("Ordner.lnk").c_str(), nullptr));
    for (const std::string& bad : {desktop("Fehlt.lnk"), desktop("Kaputt.lnk"),
                                   desktop("Ordner.lnk"), desktop("<>.lnk"), std::string()}) {
        SCOPED_TRACE(bad);
        TShellLink link;
        ASSERT_TRUE(link.LoadFromFile(good));
        EXPECT_EQ("ch", link.Arguments);
        EXPECT_FALSE(link.LoadFromFile(bad)) << bad;
        expectDefaults(link);
    }
}

// Saving reports a shortcut that was not written: no such folder, a name longer than a path
// may be, a read-only file in the way.
TEST_F(TShellLinkTest, SavingReportsAFileThatWasNotWritten) {
    TShellLink link;
    link.SetDefaults("C:\\Windows\\notepad.exe", "c");
    EXPECT_FALSE(link.SaveToFile(platform.profile() + "\\Nirgends\\Auto.lnk"));
    EXPECT_FALSE(link.SaveToFile(platform.profile() + "\\" + std::string(300, 'x') + ".lnk"));
    const std::string locked = desktop("Schreibgeschuetzt.lnk");
    ASSERT_TRUE(link.SaveToFile(locked));
    EXPECT_EQ("c", readShortcut(locked).arguments);
    SKIP_ON_WINE("a read-only file is only as safe as its host file mode, which the host's "
                 "superuser writes past (the check runs as root)");
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    link.Arguments = "b";
    EXPECT_FALSE(link.SaveToFile(locked));
    EXPECT_EQ("c", readShortcut(locked).arguments);
}
