#include "shell_support.h"

#include <cstring>

using namespace conformance;
using namespace shell_test;

namespace {

class ShellLinkTest : public ShellTestBase {
  protected:
    // A new link object with its file interface.
    void create(Com<IShellLinkA>& link, Com<IPersistFile>& persist) {
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, link.out()));
        ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, persist.out()));
    }

    // What the getters say, each read into a junk-filled buffer.
    struct Fields {
        std::string path, arguments, directory, description, icon;
        int iconIndex = 0, show = 0;
        WORD hotkey = 0;
        HRESULT pathResult = E_FAIL;
    };
    static Fields read(IShellLinkA* link) {
        Fields f;
        char text[1200];
        auto get = [&](auto call) {
            std::memset(text, kJunkByte, sizeof text);
            EXPECT_EQ(S_OK, call());
            return std::string(text);
        };
        std::memset(text, kJunkByte, sizeof text);
        f.pathResult = link->GetPath(text, sizeof text, nullptr, SLGP_UNCPRIORITY);
        f.path = text;
        f.arguments = get([&] { return link->GetArguments(text, sizeof text); });
        f.directory = get([&] { return link->GetWorkingDirectory(text, sizeof text); });
        f.description = get([&] { return link->GetDescription(text, sizeof text); });
        f.iconIndex = 0x5A5A;
        f.icon = get([&] { return link->GetIconLocation(text, sizeof text, &f.iconIndex); });
        f.show = 0x5A5A;
        EXPECT_EQ(S_OK, link->GetShowCmd(&f.show));
        f.hotkey = 0x5A5A;
        EXPECT_EQ(S_OK, link->GetHotkey(&f.hotkey));
        return f;
    }

    std::string hostBytes(const std::string& belowC) const {
        return testing_support::readHostFile(platform.root() + "/drive_c/" + belowC);
    }
};

const char* const kProgram = "C:\\Program Files\\Surfkolibri\\surfkolibri.exe";
const char* const kLink = "C:\\Users\\User\\Desktop\\Surfkolibri-Auto.lnk";
constexpr WORD kHotkey = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'K';

} // namespace

TEST_F(ShellLinkTest, EveryFieldSurvivesSaveAndLoad) {
    file("Program Files/Surfkolibri/surfkolibri.exe", std::string(1234, 'M'));
    const std::string description = "Reinigt beim Start \xFC" + std::string(600, 'd');
    {
        Com<IShellLinkA> link;
        Com<IPersistFile> persist;
        create(link, persist);
        EXPECT_EQ(S_FALSE, persist->IsDirty());
        EXPECT_EQ(S_OK, link->SetPath(kProgram));
        EXPECT_EQ(S_OK, link->SetArguments("cbh \"mit Leerzeichen\""));
        EXPECT_EQ(S_OK, link->SetWorkingDirectory("C:\\Program Files\\Surfkolibri\\"));
        EXPECT_EQ(S_OK, link->SetDescription(description.c_str()));
        EXPECT_EQ(S_OK, link->SetIconLocation(kProgram, -3));
        EXPECT_EQ(S_OK, link->SetShowCmd(SW_SHOWMINNOACTIVE));
        EXPECT_EQ(S_OK, link->SetHotkey(kHotkey));
        EXPECT_EQ(S_OK, persist->IsDirty());
        ASSERT_EQ(S_OK, persist->Save(AnsiToWide(kLink).c_str(), TRUE));
        EXPECT_EQ(S_FALSE, persist->IsDirty());
        LPOLESTR current = nullptr;
        ASSERT_EQ(S_OK, persist->GetCurFile(&current));
        EXPECT_EQ(kLink, WideToAnsi(current));
        CoTaskMemFree(current);
    }
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
    const Fields f = read(link.get());
    EXPECT_EQ(S_OK, f.pathResult);
    EXPECT_EQ(kProgram, f.path);
    EXPECT_EQ("cbh \"mit Leerzeichen\"", f.arguments);
    EXPECT_EQ("C:\\Program Files\\Surfkolibri\\", f.directory);
    EXPECT_EQ(description, f.description);
    EXPECT_EQ(kProgram, f.icon);
    EXPECT_EQ(-3, f.iconIndex);
    EXPECT_EQ(SW_SHOWMINNOACTIVE, f.show);
    EXPECT_EQ(kHotkey, f.hotkey);

    // The target's data as the file system gave it, and its list from the desktop.
    WIN32_FIND_DATAA found;
    fillJunk(found);
    char path[MAX_PATH + 1];
    ASSERT_EQ(S_OK, link->GetPath(path, sizeof path, &found, 0));
    EXPECT_EQ(1234u, found.nFileSizeLow);
    EXPECT_STREQ("surfkolibri.exe", found.cFileName);
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, found.dwFileAttributes);
    List target;
    ASSERT_EQ(S_OK, link->GetIDList(target.out()));
    char fromList[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(target.get(), fromList));
    EXPECT_STREQ(kProgram, fromList);

    // Buffers too small get the text cut, always ended by a zero.
    char small[8];
    std::memset(small, kJunkByte, sizeof small);
    EXPECT_EQ(S_OK, link->GetArguments(small, sizeof small));
    EXPECT_STREQ("cbh \"mi", small);
    EXPECT_EQ(E_INVALIDARG, link->GetDescription(small, 0));
    EXPECT_EQ(E_INVALIDARG, link->GetIconLocation(small, sizeof small, nullptr));
    // A show command the format does not know reads back as a normal window.
    EXPECT_EQ(S_OK, link->SetShowCmd(5));
    ASSERT_EQ(S_OK, persist->Save(nullptr, TRUE));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
    EXPECT_EQ(SW_SHOWNORMAL, read(link.get()).show);
}

TEST_F(ShellLinkTest, ANewLinkIsEmptyAndTargetsCanBeAnythingOnTheDrives) {
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    Fields f = read(link.get());
    EXPECT_EQ(S_FALSE, f.pathResult);
    EXPECT_EQ("", f.path);
    EXPECT_EQ(SW_SHOWNORMAL, f.show);
    List none;
    fillJunk(*none.out());
    EXPECT_EQ(S_FALSE, link->GetIDList(none.out()));
    EXPECT_EQ(nullptr, none.get());
    LPOLESTR current = nullptr;
    EXPECT_EQ(S_FALSE, persist->GetCurFile(&current));
    CoTaskMemFree(current);
    EXPECT_EQ(E_INVALIDARG, persist->Save(nullptr, TRUE)); // no file yet

    // A target that does not exist yet still gets its list; an unknown drive does not.
    EXPECT_EQ(S_OK, link->SetPath("c:\\users\\user\\later\\plan.doc"));
    EXPECT_EQ("C:\\Users\\User\\later\\plan.doc", read(link.get()).path);
    List later;
    ASSERT_EQ(S_OK, link->GetIDList(later.out()));
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(later.get(), path));
    EXPECT_STREQ("C:\\Users\\User\\later\\plan.doc", path); // the existing part as on disk
    EXPECT_EQ(S_FALSE, link->SetPath("Q:\\daten\\x.txt"));
    EXPECT_EQ("Q:\\daten\\x.txt", read(link.get()).path);
    List noList;
    EXPECT_EQ(S_FALSE, link->GetIDList(noList.out()));
    // A list as target gives the path back.
    List drive(ILCreateFromPathA("Z:\\"));
    EXPECT_EQ(S_OK, link->SetIDList(drive.get()));
    EXPECT_EQ("Z:\\", read(link.get()).path);
    EXPECT_EQ(E_INVALIDARG, link->SetIDList(nullptr));
    EXPECT_EQ(E_INVALIDARG, link->SetArguments(std::string(70000, 'a').c_str()));
    EXPECT_EQ(E_INVALIDARG, link->SetDescription(nullptr));

    // Saving into a folder that is missing, or over a read-only file, fails with its error.
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              persist->Save(u"C:\\Users\\User\\Nirgends\\a.lnk", TRUE));
    file("Users/User/Desktop/fest.lnk");
    ASSERT_TRUE(SetFileAttributesA("C:\\Users\\User\\Desktop\\fest.lnk", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
              persist->Save(u"C:\\Users\\User\\Desktop\\fest.lnk", TRUE));
}

TEST_F(ShellLinkTest, ResolveFindsTheTargetAndWritesOnlyWhenAskedTo) {
    file("Users/User/Documents/Brief.doc", "12345");
    {
        Com<IShellLinkA> link;
        Com<IPersistFile> persist;
        create(link, persist);
        ASSERT_EQ(S_OK, link->SetPath("C:\\Users\\User\\Documents\\Brief.doc"));
        ASSERT_EQ(S_OK, link->SetRelativePath(kLink, 0));
        ASSERT_EQ(S_OK, persist->Save(AnsiToWide(kLink).c_str(), TRUE));
    }
    const std::string saved = hostBytes("Users/User/Desktop/Surfkolibri-Auto.lnk");
    // The document grows: the link's record of it is stale.
    file("Users/User/Documents/Brief.doc", "1234567890");
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE));
    EXPECT_EQ(saved, hostBytes("Users/User/Desktop/Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI));
    EXPECT_EQ(S_OK, persist->IsDirty());
    EXPECT_EQ(saved, hostBytes("Users/User/Desktop/Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_UPDATE));
    EXPECT_NE(saved, hostBytes("Users/User/Desktop/Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_FALSE, persist->IsDirty());

    // Link and document move together: the relative path still finds it.
    folder("C:\\Users\\User\\Archiv\\Desktop");
    folder("C:\\Users\\User\\Archiv\\Documents");
    ASSERT_TRUE(MoveFileA("C:\\Users\\User\\Documents\\Brief.doc",
                          "C:\\Users\\User\\Archiv\\Documents\\Brief.doc"));
    ASSERT_TRUE(MoveFileA(kLink, "C:\\Users\\User\\Archiv\\Desktop\\Brief.lnk"));
    ASSERT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Archiv\\Desktop\\Brief.lnk", STGM_READ));
    const std::string before = hostBytes("Users/User/Archiv/Desktop/Brief.lnk");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              link->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOUPDATE));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE));
    EXPECT_EQ("C:\\Users\\User\\Archiv\\Documents\\Brief.doc", read(link.get()).path);
    EXPECT_EQ(before, hostBytes("Users/User/Archiv/Desktop/Brief.lnk"));

    // Gone for good.
    ASSERT_TRUE(DeleteFileA("C:\\Users\\User\\Archiv\\Documents\\Brief.doc"));
    ASSERT_EQ(S_OK, persist->Load(u"C:\\Users\\User\\Archiv\\Desktop\\Brief.lnk", STGM_READ));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), link->Resolve(nullptr, SLR_NOUPDATE));
}

TEST_F(ShellLinkTest, TheRecentFolderHandsOutALinkObjectForEachOfItsLinks) {
    file("Users/User/Documents/Urlaub.jpg", "JPEG");
    ASSERT_TRUE(CreateDirectoryA("C:\\Users\\User\\Documents\\Fotos", nullptr));
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\Urlaub.jpg");
    SHAddToRecentDocs(SHARD_PATHW, u"C:\\Users\\User\\Documents\\Fotos");
    SHAddToRecentDocs(SHARD_PATHA, "C:\\Users\\User\\Documents\\missing.txt");
    const std::string recent = "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
    EXPECT_TRUE(FileExistsA(recent + "\\Urlaub.jpg.lnk"));
    EXPECT_TRUE(FileExistsA(recent + "\\Fotos.lnk"));
    EXPECT_FALSE(FileExistsA(recent + "\\missing.txt.lnk"));

    // The Recent folder's shell hands out a link object for each of its links.
    Com<IShellFolder> desktop;
    ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put()));
    List recentList;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_RECENT, recentList.out()));
    Com<IShellFolder> folder;
    ASSERT_EQ(S_OK,
              desktop->BindToObject(recentList.get(), nullptr, IID_IShellFolder, folder.out()));
    Com<IEnumIDList> items;
    ASSERT_EQ(S_OK, folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.put()));
    std::vector<std::string> targets;
    PITEMID_CHILD item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK) {
        Com<IShellLinkA> link;
        PCUITEMID_CHILD one = item;
        EXPECT_EQ(S_OK,
                  folder->GetUIObjectOf(nullptr, 1, &one, IID_IShellLinkA, nullptr, link.out()));
        if (link.get()) targets.push_back(read(link.get()).path);
        ILFree(item);
    }
    EXPECT_EQ(std::vector<std::string>(
                  {"C:\\Users\\User\\Documents\\Fotos", "C:\\Users\\User\\Documents\\Urlaub.jpg"}),
              targets);
}
