#include "shelllink_support.h"
#include "support/wine.h"

#include <algorithm>
#include <cstring>

using namespace conformance;
using namespace shell_test;

using shell_test::ShellLinkTest;

namespace {

constexpr WORD kHotkey = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'K';

} // namespace

TEST_F(ShellLinkTest, EveryFieldSurvivesSaveAndLoad) {
    file("Programs\\Surfkolibri\\surfkolibri.exe", std::string(1234, 'M'));
    const std::string description = "Reinigt beim Start \xFC" + std::string(600, 'd');
    {
        Com<IShellLinkA> link;
        Com<IPersistFile> persist;
        create(link, persist);
        EXPECT_EQ(S_FALSE, persist->IsDirty());
        EXPECT_EQ(S_OK, link->SetPath(kProgram.c_str()));
        EXPECT_EQ(S_OK, link->SetArguments("cbh \"mit Leerzeichen\""));
        EXPECT_EQ(S_OK, link->SetWorkingDirectory(at("Programs\\Surfkolibri\\").c_str()));
        EXPECT_EQ(S_OK, link->SetDescription(description.c_str()));
        EXPECT_EQ(S_OK, link->SetIconLocation(kProgram.c_str(), -3));
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
    EXPECT_EQ(at("Programs\\Surfkolibri\\"), f.directory);
    EXPECT_EQ(description, f.description);
    EXPECT_EQ(kProgram, f.icon);
    EXPECT_EQ(-3, f.iconIndex);
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
    EXPECT_EQ(kProgram, fromList);
}

TEST_F(ShellLinkTest, TheShowCommandSurvivesSaveAndLoad) {
    SKIP_ON_WINE("IPersistFile::Load sets the show command to SW_SHOWNORMAL whatever the file "
                 "holds");
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, link->SetPath(at("Desktop").c_str()));
    for (const int show : {SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED, SW_SHOWNORMAL}) {
        SCOPED_TRACE(show);
        EXPECT_EQ(S_OK, link->SetShowCmd(show));
        ASSERT_EQ(S_OK, persist->Save(AnsiToWide(kLink).c_str(), TRUE));
        ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
        EXPECT_EQ(show, read(link.get()).show);
    }
    // A show command the format does not know reads back as a normal window.
    EXPECT_EQ(S_OK, link->SetShowCmd(5));
    ASSERT_EQ(S_OK, persist->Save(nullptr, TRUE));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
    EXPECT_EQ(SW_SHOWNORMAL, read(link.get()).show);
}

// Buffers too small get the text cut, always ended by a zero.
TEST_F(ShellLinkTest, ABufferTooSmallGetsTheTextCutAndEnded) {
    SKIP_ON_WINE("GetArguments fills a buffer too small to the last byte without ending the "
                 "text");
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, link->SetArguments("cbh \"mit Leerzeichen\""));
    ASSERT_EQ(S_OK, link->SetDescription("Reinigt beim Start"));
    char small[8];
    std::memset(small, kJunkByte, sizeof small);
    EXPECT_EQ(S_OK, link->GetArguments(small, sizeof small));
    EXPECT_EQ(std::string("cbh \"mi", 8), std::string(small, sizeof small));
    std::memset(small, kJunkByte, sizeof small);
    EXPECT_EQ(S_OK, link->GetDescription(small, sizeof small));
    EXPECT_EQ(std::string("Reinigt", 8), std::string(small, sizeof small));
}

TEST_F(ShellLinkTest, ANewLinkIsEmptyAndAListAsTargetGivesItsPath) {
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

    // A list as target gives the path back.
    List drive(ILCreateFromPathA("Z:\\"));
    EXPECT_EQ(S_OK, link->SetIDList(drive.get()));
    EXPECT_EQ("Z:\\", read(link.get()).path);

    // Saving into a folder that is missing fails with its error.
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              persist->Save(AnsiToWide(at("Nirgends\\a.lnk")).c_str(), TRUE));
}

TEST_F(ShellLinkTest, SavingOverAReadOnlyFileFails) {
    SKIP_ON_WINE("a read-only file is only as safe as its host file mode, which the host's "
                 "superuser writes past (the check runs as root)");
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, link->SetPath(at("Desktop").c_str()));
    file("Desktop\\fest.lnk", "fest");
    ASSERT_TRUE(SetFileAttributesA(at("Desktop\\fest.lnk").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED),
              persist->Save(AnsiToWide(at("Desktop\\fest.lnk")).c_str(), TRUE));
    EXPECT_EQ("fest", hostBytes("Desktop\\fest.lnk"));
}

TEST_F(ShellLinkTest, ResolveFindsTheTargetAndWritesOnlyWhenAskedTo) {
    SKIP_ON_WINE("IShellLink::Resolve looks for nothing: it answers S_OK for a target that is "
                 "gone, follows no relative path and updates no link");
    file("Documents\\Brief.doc", "12345");
    {
        Com<IShellLinkA> link;
        Com<IPersistFile> persist;
        create(link, persist);
        ASSERT_EQ(S_OK, link->SetPath(at("Documents\\Brief.doc").c_str()));
        ASSERT_EQ(S_OK, link->SetRelativePath(kLink.c_str(), 0));
        ASSERT_EQ(S_OK, persist->Save(AnsiToWide(kLink).c_str(), TRUE));
    }
    const std::string saved = hostBytes("Desktop\\Surfkolibri-Auto.lnk");
    // The document grows: the link's record of it is stale.
    file("Documents\\Brief.doc", "1234567890");
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(kLink).c_str(), STGM_READ));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE));
    EXPECT_EQ(saved, hostBytes("Desktop\\Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI));
    EXPECT_EQ(S_OK, persist->IsDirty());
    EXPECT_EQ(saved, hostBytes("Desktop\\Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_UPDATE));
    EXPECT_NE(saved, hostBytes("Desktop\\Surfkolibri-Auto.lnk"));
    EXPECT_EQ(S_FALSE, persist->IsDirty());

    // Link and document move together: the relative path still finds it.
    folder(at("Archiv\\Desktop"));
    folder(at("Archiv\\Documents"));
    ASSERT_TRUE(
        MoveFileA(at("Documents\\Brief.doc").c_str(), at("Archiv\\Documents\\Brief.doc").c_str()));
    ASSERT_TRUE(MoveFileA(kLink.c_str(), at("Archiv\\Desktop\\Brief.lnk").c_str()));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(at("Archiv\\Desktop\\Brief.lnk")).c_str(), STGM_READ));
    const std::string before = hostBytes("Archiv\\Desktop\\Brief.lnk");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              link->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOUPDATE));
    EXPECT_EQ(S_OK, link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE));
    EXPECT_EQ(at("Archiv\\Documents\\Brief.doc"), read(link.get()).path);
    EXPECT_EQ(before, hostBytes("Archiv\\Desktop\\Brief.lnk"));

    // Gone for good.
    ASSERT_TRUE(DeleteFileA(at("Archiv\\Documents\\Brief.doc").c_str()));
    ASSERT_EQ(S_OK, persist->Load(AnsiToWide(at("Archiv\\Desktop\\Brief.lnk")).c_str(), STGM_READ));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), link->Resolve(nullptr, SLR_NOUPDATE));
}

TEST_F(ShellLinkTest, TheRecentFolderHandsOutALinkObjectForEachOfItsLinks) {
    file("Documents\\Urlaub.jpg", "JPEG");
    file("Documents\\Brief.doc", "DOC");
    SHAddToRecentDocs(SHARD_PATHA, at("Documents\\Urlaub.jpg").c_str());
    SHAddToRecentDocs(SHARD_PATHA, at("Documents\\Brief.doc").c_str());
    const std::string recent = at("AppData\\Roaming\\Microsoft\\Windows\\Recent");
    EXPECT_TRUE(FileExistsA(recent + "\\Urlaub.jpg.lnk"));
    EXPECT_TRUE(FileExistsA(recent + "\\Brief.doc.lnk"));

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
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(std::vector<std::string>({at("Documents\\Brief.doc"), at("Documents\\Urlaub.jpg")}),
              targets);
}
