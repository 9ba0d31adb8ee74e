// skplatform lnk, ls attributes and the demo machine's favorites and recent documents.
#include "tool_run.h"

#include "platform/ansi.h"
#include "platform/paths.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

using skplatform_test::runTool;
using skplatform_test::ToolRun;
using testing_support::PlatformTest;

namespace {

class LnkCommandTest : public PlatformTest {
  protected:
    ToolRun tool(const std::vector<std::string>& args) { return runTool(platform.root(), args); }
};

bool haveLnkinfo() {
    return std::system("command -v lnkinfo >/dev/null 2>&1") == 0;
}

std::string lnkinfoOutput(const std::string& hostPath) {
    std::string out;
    FILE* pipe = ::popen(("lnkinfo " + skplatform_test::quoted(hostPath) + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

// The value of one "Name : value" line of lnkinfo.
std::string lnkinfoField(const std::string& out, const std::string& name) {
    const auto at = out.find("\t" + name + "\t");
    if (at == std::string::npos) return "<missing>";
    const auto colon = out.find(": ", at);
    return out.substr(colon + 2, out.find('\n', colon) - colon - 2);
}

} // namespace

TEST_F(LnkCommandTest, CreateWritesALinkThatShowAndLnkinfoReadBack) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Surfkolibri", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\Program Files\\Surfkolibri\\surfkolibri.exe", "MZ"));
    const std::string file = platform.root() + "/drive_c/Users/User/Desktop/Surfkolibri.lnk";
    ToolRun r =
        tool({"lnk", "create", file, "--target", "C:\\Program Files\\Surfkolibri\\surfkolibri.exe",
              "--args", "cbh \"x y\"", "--workdir", "C:\\Program Files\\Surfkolibri",
              "--description", "Aufr\xC3\xA4umen", "--icon",
              "C:\\Program Files\\Surfkolibri\\surfkolibri.exe,3", "--show", "7"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("C:\\Users\\User\\Desktop\\Surfkolibri.lnk\n", r.out);

    r = tool({"lnk", "show", "C:\\Users\\User\\Desktop\\Surfkolibri.lnk"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("target: C:\\Program Files\\Surfkolibri\\surfkolibri.exe\n"
              "arguments: cbh \"x y\"\n"
              "workdir: C:\\Program Files\\Surfkolibri\n"
              "description: Aufr\xC3\xA4umen\n"
              "icon: C:\\Program Files\\Surfkolibri\\surfkolibri.exe,3\n"
              "show: 7\n"
              "hotkey: 0\n",
              r.out);
    // The same link through the platform's own object.
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link)));
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    EXPECT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Desktop\\Surfkolibri.lnk", STGM_READ));
    char text[MAX_PATH];
    EXPECT_EQ(S_OK, link->GetDescription(text, sizeof text));
    EXPECT_STREQ("Aufr\xE4umen", text);
    persist->Release();
    link->Release();

    if (!haveLnkinfo()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed";
    const std::string info = lnkinfoOutput(file);
    EXPECT_EQ("C:\\Program Files\\Surfkolibri\\surfkolibri.exe", lnkinfoField(info, "Local path"));
    EXPECT_EQ("cbh \"x y\"", lnkinfoField(info, "Command line arguments"));
    EXPECT_EQ("C:\\Program Files\\Surfkolibri", lnkinfoField(info, "Working directory"));
    EXPECT_EQ("Aufr\xC3\xA4umen", lnkinfoField(info, "Description"));
    EXPECT_EQ("C:\\Program Files\\Surfkolibri\\surfkolibri.exe",
              lnkinfoField(info, "Icon location"));
    EXPECT_EQ("3", lnkinfoField(info, "Icon index"));
}

TEST_F(LnkCommandTest, BadInputAndBrokenLinksAreNamed) {
    ASSERT_TRUE(WriteWholeFile("C:\\Users\\User\\Desktop\\kaputt.lnk",
                               std::string("L\0\0\0\x01\x14\x02\0", 8)));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"lnk", "create", "C:\\a.lnk"}, "--target"},
        {{"lnk", "create", "C:\\a.lnk", "--target", "C:\\x", "--colour", "red"}, "--colour"},
        {{"lnk", "create", "C:\\a.lnk", "--target", "C:\\x", "--show", "zwei"}, "zwei"},
        {{"lnk", "create", "C:\\a.lnk", "--target", "C:\\x", "--icon", "C:\\i.ico,x"}, "x"},
        {{"lnk", "create", "C:\\Nirgends\\a.lnk", "--target", "C:\\x"}, "C:\\Nirgends\\a.lnk"},
        {{"lnk", "show", "C:\\Users\\User\\Desktop\\kaputt.lnk"}, "not a valid shell link"},
        {{"lnk", "show", "C:\\Users\\User\\Desktop\\fehlt.lnk"}, "fehlt.lnk"},
        {{"lnk", "rename"}, "rename"},
    };
    for (const auto& [args, named] : cases) {
        const ToolRun r = tool(args);
        SCOPED_TRACE(args[1] + " ... " + named);
        EXPECT_NE(0, r.exitCode);
        EXPECT_NE(std::string::npos, r.err.find(named)) << r.err;
    }
    EXPECT_FALSE(FileExistsA("C:\\a.lnk"));
    const ToolRun help = tool({"lnk", "--help"});
    EXPECT_EQ(0, help.exitCode);
    EXPECT_NE(std::string::npos, help.out.find("usage: skplatform lnk create FILE --target PATH"));
}

namespace {

class SeedDemoTest : public LnkCommandTest {
  protected:
    // Every item below a folder, through the shell, with its path.
    void walk(IShellFolder* folder, SHCONTF flags, std::vector<std::string>& found) {
        IEnumIDList* items = nullptr;
        ASSERT_EQ(S_OK, folder->EnumObjects(nullptr, flags, &items));
        PITEMID_CHILD item = nullptr;
        while (items->Next(1, &item, nullptr) == S_OK) {
            STRRET name;
            ASSERT_EQ(S_OK, folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name));
            ASSERT_EQ(STRRET_WSTR, name.uType);
            const std::string child = WideToAnsi(name.pOleStr);
            CoTaskMemFree(name.pOleStr);
            found.push_back(child);
            SFGAOF attributes = SFGAO_FOLDER;
            PCUITEMID_CHILD one = item;
            folder->GetAttributesOf(1, &one, &attributes);
            if (attributes & SFGAO_FOLDER) {
                IShellFolder* sub = nullptr;
                ASSERT_EQ(S_OK, folder->BindToObject(item, nullptr, IID_IShellFolder,
                                                     reinterpret_cast<void**>(&sub)));
                walk(sub, flags, found);
                sub->Release();
            }
            ILFree(item);
        }
        items->Release();
    }

    std::vector<std::string> favorites(SHCONTF flags) {
        IShellFolder* desktop = nullptr;
        EXPECT_EQ(S_OK, SHGetDesktopFolder(&desktop));
        PIDLIST_ABSOLUTE list = nullptr;
        EXPECT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, &list));
        IShellFolder* folder = nullptr;
        EXPECT_EQ(S_OK, desktop->BindToObject(list, nullptr, IID_IShellFolder,
                                              reinterpret_cast<void**>(&folder)));
        std::vector<std::string> found;
        walk(folder, flags, found);
        folder->Release();
        desktop->Release();
        ILFree(list);
        return found;
    }

    static std::string targetOf(const std::string& linkPath) {
        IShellLinkA* link = nullptr;
        IPersistFile* persist = nullptr;
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link));
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
        std::string target = "<unreadable>";
        char path[MAX_PATH + 1];
        if (SUCCEEDED(persist->Load(AnsiToWide(linkPath).c_str(), STGM_READ)) &&
            link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE) == S_OK &&
            link->GetPath(path, sizeof path, nullptr, SLGP_UNCPRIORITY) == S_OK)
            target = path;
        persist->Release();
        link->Release();
        return target;
    }
};

const char* const kFavorites = "C:\\Users\\User\\Favorites";

} // namespace

TEST_F(SeedDemoTest, TheDemoMachineHasALivedInFavoritesFolderAndRecentLinks) {
    ASSERT_EQ(0, tool({"seed-demo"}).exitCode);
    const auto visible = favorites(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    const auto all = favorites(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
    auto count = [](const std::vector<std::string>& items, const std::string& ending) {
        int n = 0;
        for (const auto& i : items)
            n += i.size() > ending.size() && i.substr(i.size() - ending.size()) == ending;
        return n;
    };
    EXPECT_GE(count(visible, ".url"), 25);
    EXPECT_EQ(count(visible, ".url") + 1, count(all, ".url")); // one the user hid
    std::set<std::string> folders;
    int deepest = 0;
    for (const auto& item : visible)
        if (DirectoryExistsA(item)) {
            folders.insert(item);
            deepest = std::max<int>(
                deepest, static_cast<int>(
                             std::count(item.begin() + std::strlen(kFavorites), item.end(), '\\')));
        }
    EXPECT_GE(folders.size(), 3u);
    EXPECT_GE(deepest, 2);

    // Shortcuts as other programs write them still give their address.
    char url[256];
    GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url,
                             "C:\\Users\\User\\Favorites\\Links\\Suchmaschine.url");
    EXPECT_STREQ("http://www.suche.example/", url);
    GetPrivateProfileStringA("InternetShortcut", "IconFile", "", url, sizeof url,
                             "C:\\Users\\User\\Favorites\\News\\Radio.url");
    EXPECT_STREQ("http://www.radio-nord.example/favicon.ico", url);
    // The shell link leads to a document on C:, the channel is a channel.
    const std::string target = targetOf("C:\\Users\\User\\Favorites\\Einkaufsliste.lnk");
    EXPECT_EQ("C:\\", target.substr(0, 3));
    EXPECT_TRUE(FileExistsA(target)) << target;
    SHFILEINFOA info{};
    ASSERT_TRUE(SHGetFileInfoA("C:\\Users\\User\\Favorites\\Kanal Wetter", 0, &info, sizeof info,
                               SHGFI_TYPENAME));
    EXPECT_STREQ("Channel Shortcut", info.szTypeName);

    // Every recent document is a real link to a document that is there.
    int links = 0;
    WIN32_FIND_DATAA found;
    const std::string recent = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
    const UniqueFindHandle find(FindFirstFileA((recent + "\\*.lnk").c_str(), &found));
    ASSERT_TRUE(find.valid());
    do {
        ++links;
        const std::string name = found.cFileName;
        const std::string to = targetOf(recent + "\\" + name);
        EXPECT_EQ(name.substr(0, name.size() - 4), to.substr(to.find_last_of('\\') + 1));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(to.c_str())) << to;
    } while (FindNextFileA(find.get(), &found));
    EXPECT_EQ(13, links); // one of them hidden

    // ls shows the attributes.
    const ToolRun r = tool({"ls", kFavorites});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("  -H-A-              ")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("  --S--  <DIR>           Kanal Wetter\n")) << r.out;
}
