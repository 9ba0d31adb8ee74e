// End-to-end runs of the built skplatform against the test's platform root.
#include "otherbrowsers/OtherBrowserProfiles.h"
#include "platform/machine.h"
#include "registry_dump.h"
#include "tool_run.h"

#include "platform/registry.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace platform;
using skplatform_test::dumpRegistry;
using skplatform_test::runTool;
using skplatform_test::ToolRun;
using testing_support::PlatformTest;
using testing_support::readHostFile;

namespace {

class ToolTest : public PlatformTest {
  protected:
    ToolRun tool(const std::vector<std::string>& args) { return runTool(platform.root(), args); }

    static std::string stringValue(const std::string& path, const std::string& name) {
        registry::Value value;
        const registry::KeyId key = registry::find(2, path);
        if (key == registry::kNoKey || !registry::getValue(key, name, value)) return "<missing>";
        return value.data.substr(0, value.data.find('\0'));
    }
};

const char* const kDone = "The operation completed successfully.\n";

} // namespace

TEST_F(ToolTest, RegAddQueryAndDeleteWorkOnTheRoot) {
    ToolRun r = tool({"reg", "add", "HKCU\\Software\\Demo", "/v", "Greeting", "/d", "Hallo Welt"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(kDone, r.out);
    r = tool({"reg", "add", "HKEY_CURRENT_USER\\Software\\Demo\\Sub", "/ve", "/t", "REG_DWORD",
              "/d", "0x10"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("Hallo Welt", stringValue("Software\\Demo", "greeting"));

    r = tool({"reg", "query", "hkcu\\software\\demo"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("\nHKEY_CURRENT_USER\\Software\\Demo\n    Greeting    REG_SZ    Hallo Welt\n\n"
              "HKEY_CURRENT_USER\\Software\\Demo\\Sub\n\n",
              r.out);
    r = tool({"reg", "query", "HKCU\\Software\\Demo", "/s"});
    EXPECT_EQ("\nHKEY_CURRENT_USER\\Software\\Demo\n    Greeting    REG_SZ    Hallo Welt\n\n"
              "HKEY_CURRENT_USER\\Software\\Demo\\Sub\n    (Default)    REG_DWORD    0x10\n\n",
              r.out);

    // No prompt: overwriting and deleting need /f.
    r = tool({"reg", "add", "HKCU\\Software\\Demo", "/v", "Greeting", "/d", "Tschuess"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("Greeting")) << r.err;
    EXPECT_EQ("Hallo Welt", stringValue("Software\\Demo", "Greeting"));
    r = tool({"reg", "add", "HKCU\\Software\\Demo", "/v", "Greeting", "/d", "Tschuess", "/f"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("Tschuess", stringValue("Software\\Demo", "Greeting"));
    r = tool({"reg", "delete", "HKCU\\Software\\Demo", "/v", "Greeting"});
    EXPECT_NE(0, r.exitCode);
    EXPECT_EQ("Tschuess", stringValue("Software\\Demo", "Greeting"));
    r = tool({"reg", "delete", "HKCU\\Software\\Demo", "/v", "Greeting", "/f"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("<missing>", stringValue("Software\\Demo", "Greeting"));
    r = tool({"reg", "query", "HKCU\\Software\\Demo", "/v", "Greeting"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("Greeting")) << r.err;
    r = tool({"reg", "delete", "HKCU\\Software\\Demo", "/f"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(registry::kNoKey, registry::find(2, "Software\\Demo"));
    r = tool({"reg", "query", "HKCU\\Software\\Demo"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("HKEY_CURRENT_USER\\Software\\Demo")) << r.err;
}

TEST_F(ToolTest, TheToolWritesTheMachineHiveWithoutAdministratorRights) {
    ASSERT_FALSE(isAdministrator());
    ToolRun r = tool({"reg", "add", "HKLM\\Software\\Vendor", "/v", "Installed", "/t",
                      "REG_MULTI_SZ", "/d", "a,b", "/s", ","});
    EXPECT_EQ(0, r.exitCode) << r.err;
    registry::Value value;
    ASSERT_TRUE(registry::getValue(registry::find(3, "Software\\Vendor"), "Installed", value));
    EXPECT_EQ(std::string("a\0b\0\0", 5), value.data);
}

TEST_F(ToolTest, BadInputIsNamedAndFails) {
    const auto before = dumpRegistry();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"frobnicate"}, "frobnicate"},
        {{"reg", "rename", "HKCU\\X"}, "rename"},
        {{"reg", "query", "HKCU\\Software", "/zz"}, "/zz"},
        {{"reg", "query", "HKXX\\Software"}, "HKXX\\Software"},
        {{"reg", "add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_FOO"}, "REG_FOO"},
        {{"reg", "add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_DWORD", "/d", "12x"}, "12x"},
        {{"reg", "add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_DWORD", "/d", "4294967296"},
         "4294967296"},
        {{"reg", "add", "HKCU\\Software\\T", "/v", "n", "/t", "REG_BINARY", "/d", "abc"}, "abc"},
        {{"reg", "add", "HKCU\\Software\\T", "/v", "a", "/ve"}, "/ve"},
        {{"reg", "add", "HKCU\\Software\\T", "/v"}, "/v"},
        {{"reg", "delete", "HKCU", "/f"}, "HKEY_CURRENT_USER"},
        {{"reg", "import", "/nonexistent/file.reg"}, "/nonexistent/file.reg"},
        {{"settings", "colour"}, "colour"},
        {{"settings", "admin", "maybe"}, "maybe"},
        {{"settings", "clock-offset", "12s"}, "12s"},
        {{"settings", "shell-execute", "run"}, "run"},
        {{"settings", "user", "a\\b"}, "a\\b"},
        {{"ls", "C:\\No\\Such\\Folder"}, "C:\\No\\Such\\Folder"},
        {{"ls", "--long", "C:\\"}, "--long"},
        {{"cat", "C:\\missing.txt"}, "C:\\missing.txt"},
        {{"seed-demo", "extra"}, "extra"},
    };
    for (const auto& [args, named] : cases) {
        const ToolRun r = tool(args);
        SCOPED_TRACE(args.front() + " ... " + named);
        EXPECT_NE(0, r.exitCode);
        EXPECT_NE(std::string::npos, r.err.find(named)) << r.err;
    }
    EXPECT_EQ(before, dumpRegistry());
    EXPECT_EQ("no", setting("admin"));
}

TEST_F(ToolTest, ADamagedOrReadOnlyDatabaseIsNamedAndNeverOverwritten) {
    ASSERT_EQ(0,
              tool({"reg", "add", "HKCU\\Software\\Kept", "/v", "Name", "/d", "value"}).exitCode);
    const std::string db = platform.root() + "/platform.db";

    ASSERT_EQ(0, ::chmod(db.c_str(), 0444));
    const ToolRun query = tool({"reg", "query", "HKCU\\Software\\Kept"});
    EXPECT_EQ(0, query.exitCode) << query.err;
    EXPECT_NE(std::string::npos, query.out.find("value"));
    EXPECT_EQ(0, tool({"cache", "list"}).exitCode);
    const ToolRun add = tool({"reg", "add", "HKCU\\Software\\Kept", "/v", "Name", "/d", "x"});
    EXPECT_NE(0, add.exitCode);
    EXPECT_NE(std::string::npos, add.err.find("platform.db")) << add.err;
    EXPECT_NE(std::string::npos, add.err.find("read-only")) << add.err;
    ::chmod(db.c_str(), 0644);

    testing_support::writeHostFile(db, "not a database at all");
    std::filesystem::remove(db + "-wal");
    std::filesystem::remove(db + "-shm");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"reg", "query", "HKCU\\Software"},
          {"cache", "list"},
          {"init"},
          {"seed-demo"}}) {
        const ToolRun run = tool(args);
        EXPECT_NE(0, run.exitCode) << args[0];
        EXPECT_NE(std::string::npos, run.err.find(db)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("not a database")) << run.err;
    }
    EXPECT_EQ("not a database at all", readHostFile(db));
}

TEST_F(ToolTest, EveryCommandHasHelp) {
    for (const char* command : {"init", "settings", "reg", "ls", "cat", "seed-demo"}) {
        SCOPED_TRACE(command);
        const ToolRun r = tool({command, "--help"});
        EXPECT_EQ(0, r.exitCode) << command;
        EXPECT_NE(std::string::npos, r.out.find("usage: skplatform " + std::string(command)))
            << r.out;
    }
}

TEST_F(ToolTest, SettingsAreListedReadAndWritten) {
    ToolRun r = tool({"settings"});
    EXPECT_EQ(0, r.exitCode);
    for (const auto& name : settingNames())
        EXPECT_NE(std::string::npos, r.out.find(name + " ")) << name;
    EXPECT_NE(std::string::npos, r.out.find("short-date"));
    EXPECT_NE(std::string::npos, r.out.find("long-time"));

    EXPECT_EQ(0, tool({"settings", "admin", "yes"}).exitCode);
    EXPECT_TRUE(isAdministrator());
    EXPECT_EQ(0, tool({"settings", "clock-offset", "-3600"}).exitCode);
    EXPECT_EQ(-3600, clockOffsetSeconds());
    EXPECT_EQ(0, tool({"settings", "clock-offset", "86400.25"}).exitCode);
    EXPECT_EQ(86400250, clockOffsetMilliseconds());
    EXPECT_NE(0, tool({"settings", "clock-offset", "1.2345"}).exitCode);
    EXPECT_EQ(86400250, clockOffsetMilliseconds());
    EXPECT_EQ(0, tool({"settings", "user", "Anna M\xC3\xBCller"}).exitCode);
    EXPECT_EQ("Anna M\xFCller", userName());
    r = tool({"settings", "user"});
    EXPECT_EQ("Anna M\xC3\xBCller\n", r.out);
    r = tool({"settings", "admin"});
    EXPECT_EQ("yes\n", r.out);
}

TEST_F(ToolTest, LsAndCatShowFilesByWindowsPath) {
    const std::string contents = std::string("line one\r\nbin\0ary \xE4\n", 20);
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Documents\\Notiz f\xFCr heute.txt", contents));
    ASSERT_TRUE(CreateDirectoryA("C:\\Users\\User\\Documents\\Ordner", nullptr));

    ToolRun r = tool({"cat", "c:\\users\\user\\documents\\NOTIZ F\xC3\xBCR HEUTE.TXT"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(contents, r.out);

    r = tool({"ls", "C:\\Users\\User\\Documents"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("  20  Notiz f\xC3\xBCr heute.txt\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("<DIR>           Ordner\n")) << r.out;
    EXPECT_EQ(std::string::npos, r.out.find(" .\n")) << r.out;

    r = tool({"ls", "C:\\Users\\User\\Documents\\*.TXT"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("Notiz f\xC3\xBCr heute.txt")) << r.out;
    EXPECT_EQ(std::string::npos, r.out.find("Ordner")) << r.out;
}

TEST_F(ToolTest, ExportAndImportGoThroughFiles) {
    registry::setValue(registry::create(2, "Software\\Export"), "v", REG_SZ,
                       std::string("value\0", 6));
    const std::string file = platform.root() + "-export.reg";
    ToolRun r = tool({"reg", "export", "HKCU\\Software\\Export", file, "/regedit4"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Export]\r\n\"v\"=\"value\"\r\n\r\n",
              readHostFile(file));
    r = tool({"reg", "export", "HKCU\\Software\\Export", file});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("/y"));

    // Windows paths work too; a malformed line names its number and imports nothing.
    ASSERT_TRUE(WriteWholeFile("C:\\bad.reg", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\New]\r\n"
                                              "\"ok\"=\"1\"\r\n\"bad\"=dword:xyz\r\n"));
    r = tool({"reg", "import", "C:\\bad.reg"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("C:\\bad.reg, line 4")) << r.err;
    EXPECT_EQ(registry::kNoKey, registry::find(2, "Software\\New"));

    registry::removeTree(registry::find(2, "Software\\Export"));
    r = tool({"reg", "import", file});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("value", stringValue("Software\\Export", "v"));
}

TEST_F(ToolTest, SeedDemoBuildsALivedInMachineAndIsIdempotent) {
    ToolRun r = tool({"seed-demo"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    const auto first = dumpRegistry();
    r = tool({"seed-demo"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(first, dumpRegistry());

    const std::string main = "Software\\Microsoft\\Internet Explorer\\Main";
    for (const char* name : {"Start Page", "FormSuggest Passwords", "Use FormSuggest",
                             "NotifyDownloadComplete", "Print_Background"})
        EXPECT_NE("<missing>", stringValue(main, name)) << name;
    EXPECT_TRUE(DirectoryExistsA(
        stringValue("Software\\Microsoft\\Internet Explorer", "Download Directory")));
    EXPECT_LT(5u, stringValue("Software\\Microsoft\\Internet Explorer\\Default HTML "
                              "Editor\\shell\\edit\\command",
                              "")
                      .size());
    // Typed addresses as the browser names them (url1, url2, ...) and under other names.
    const auto typed =
        registry::values(registry::find(2, "Software\\Microsoft\\Internet Explorer\\TypedURLs"));
    EXPECT_LE(15u, typed.size());
    std::size_t unnumbered = 0;
    for (const auto& value : typed) {
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), value.type) << value.name;
        unnumbered += value.name.rfind("url", 0) != 0;
    }
    EXPECT_LE(1u, unnumbered);
    const std::string runMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
    const std::string order = stringValue(runMru, "MRUList");
    EXPECT_LE(8u, order.size());
    for (char c : order) {
        const std::string command = stringValue(runMru, std::string(1, c));
        ASSERT_LE(3u, command.size()) << c;
        EXPECT_EQ("\\1", command.substr(command.size() - 2)) << command;
    }
    EXPECT_FALSE(
        registry::values(
            registry::find(2, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs"))
            .empty());

    const std::string shellFolders = platform::kShellFoldersKey;
    // The Recent folder: shortcuts, one of them hidden, and its hidden settings file.
    WIN32_FIND_DATAA found;
    int files = 0;
    int hidden = 0;
    bool settingsFile = false;
    const UniqueFindHandle find(
        FindFirstFileA((stringValue(shellFolders, "Recent") + "\\*.*").c_str(), &found));
    ASSERT_TRUE(find.valid());
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        ++files;
        if (std::string(found.cFileName) == "DESKTOP.INI")
            settingsFile = true;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)
            ++hidden;
    } while (FindNextFileA(find.get(), &found));
    EXPECT_LE(10, files);
    EXPECT_LE(1, hidden);
    EXPECT_TRUE(settingsFile);

    const std::string favorites = stringValue(shellFolders, "Favorites");
    std::string shortcut;
    ASSERT_TRUE(ReadWholeFile(favorites + "\\Reisen\\Bahnauskunft.url", shortcut));
    EXPECT_EQ(0u, shortcut.find("[InternetShortcut]\r\nURL=http://"));
    for (const char* folder : {"Links", "News", "Reisen", "Technik"})
        EXPECT_TRUE(DirectoryExistsA(favorites + "\\" + folder)) << folder;

    const std::string appData = stringValue(shellFolders, "AppData");
    EXPECT_TRUE(DirectoryExistsA(appData + "\\Opera\\opera\\profile\\cache4"));
    EXPECT_TRUE(FileExistsA(appData + "\\Opera\\opera\\profile\\cookies4.dat"));
    EXPECT_TRUE(FileExistsA(appData + "\\Mozilla\\Profiles\\default\\history.dat"));
    EXPECT_TRUE(DirectoryExistsA(appData + "\\Mozilla\\Profiles\\default\\Cache"));
    EXPECT_TRUE(FileExistsA(appData + "\\Mozilla\\Firefox\\profiles.ini"));
    EXPECT_TRUE(DirectoryExistsA(stringValue("Software\\Opera Software", "Last Directory3")));

    // The other browsers as the program finds them: Firefox's cache in the local profile set,
    // its cookies and history in the roaming one; full cache folders.
    const std::string localAppData = stringValue(shellFolders, "Local AppData");
    EXPECT_EQ(appData + "\\Opera\\opera\\profile\\", FindOperaProfile());
    EXPECT_EQ(appData + "\\Mozilla\\Profiles\\default\\", FindMozillaProfile());
    const std::string firefoxCache = FindFirefoxProfile(ffCache);
    EXPECT_EQ(0u, firefoxCache.find(localAppData + "\\Mozilla\\Firefox\\Profiles\\"));
    EXPECT_EQ(0u, FindFirefoxProfile(ffCookies).find(appData + "\\Mozilla\\Firefox\\"));
    EXPECT_EQ(0u, FindFirefoxProfile(ffHistory).find(appData + "\\Mozilla\\Firefox\\"));
    for (const std::string& cache :
         {FindOperaProfile() + "cache4", FindMozillaProfile() + "Cache", firefoxCache + "Cache"}) {
        SCOPED_TRACE(cache);
        std::size_t files = 0;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(platform.hostPath(cache)))
            files += entry.is_regular_file();
        EXPECT_LE(200u, files) << cache;
    }
    // Both Startup folders are named, and there.
    registry::Value common;
    ASSERT_TRUE(registry::getValue(registry::find(registry::kLocalMachine, shellFolders),
                                   "Common Startup", common));
    EXPECT_TRUE(DirectoryExistsA(common.data.substr(0, common.data.find('\0'))));
    EXPECT_TRUE(DirectoryExistsA(stringValue(shellFolders, "Startup")));
}
