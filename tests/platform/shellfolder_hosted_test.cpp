// The hosted namespace's own machine: drives C: and Z: only, a desktop with nothing but My
// Computer and the user's files, an allocator's failure for a folder that is not one.
#include "shellfolder_support.h"

using namespace conformance;
using namespace shell_test;

TEST_F(ShellFolderTest, TheDesktopAndMyComputerHoldExactlyTheMachinesPlaces) {
    file("Desktop\\Einkauf.txt");
    EXPECT_EQ(std::vector<std::string>({"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "Einkauf.txt"}),
              enumerate(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    List drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.out()));
    Com<IShellFolder> computer;
    ASSERT_EQ(S_OK, desktop->BindToObject(drives.get(), nullptr, IID_IShellFolder, computer.out()));
    EXPECT_EQ(std::vector<std::string>({"C:\\", "Z:\\"}),
              enumerate(computer.get(), SHCONTF_FOLDERS));
    EXPECT_EQ("My Computer", displayName(desktop.get(), drives.get(), SHGDN_NORMAL));

    Com<IShellFolder> users;
    bind("C:\\Users", users);
    List file(ILCreateFromPathA("C:\\Users\\User\\Desktop\\Einkauf.txt"));
    List below;
    std::u16string name = u"user\\desktop\\einkauf.txt";
    ASSERT_EQ(S_OK, users->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, below.out(),
                                            nullptr));
    Com<IShellFolder> notAFolder;
    EXPECT_EQ(E_FAIL,
              users->BindToObject(below.get(), nullptr, IID_IShellFolder, notAFolder.out()));
}

// The hosted folders name their items in all three ways a STRRET can hold a name; offsets
// count from the start of the list the desktop was given.
TEST_F(ShellFolderTest, NamesComeInAllThreeStrretKinds) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind("C:\\Users\\User\\Favorites", favorites);
    List wetter(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Wetter.url"));
    PCUITEMID_CHILD child = ILFindLastID(wetter.get());
    UINT kind = 99;
    EXPECT_EQ("Wetter", displayName(favorites.get(), child, SHGDN_NORMAL, &kind));
    EXPECT_EQ(STRRET_CSTR, kind);
    displayName(favorites.get(), child, SHGDN_INFOLDER | SHGDN_FORPARSING, &kind);
    EXPECT_EQ(STRRET_OFFSET, kind);
    displayName(favorites.get(), child, SHGDN_FORPARSING, &kind);
    EXPECT_EQ(STRRET_WSTR, kind);
    EXPECT_EQ("Wetter.url",
              displayName(desktop.get(), wetter.get(), SHGDN_INFOLDER | SHGDN_FORPARSING, &kind));
    EXPECT_EQ(STRRET_OFFSET, kind);
    const BYTE empty[2] = {0, 0};
    EXPECT_EQ("Desktop",
              displayName(desktop.get(), reinterpret_cast<PCUITEMID_CHILD>(empty), SHGDN_NORMAL));
    // An item of no folder of the platform is no item.
    STRRET junk;
    fillJunk(junk);
    BYTE foreign[8] = {6, 0, 0x77, 1, 2, 3, 0, 0};
    EXPECT_EQ(E_INVALIDARG, desktop->GetDisplayNameOf(reinterpret_cast<PCUITEMID_CHILD>(foreign),
                                                      SHGDN_NORMAL, &junk));
}

// Numbers in names sort by their value, as the shell's views show them.
TEST_F(ShellFolderTest, CompareIDsOrdersNumbersByTheirValue) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind("C:\\Users\\User\\Favorites", favorites);
    List nine(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Bank 9.url"));
    List ten(ILCreateFromPathA("C:\\Users\\User\\Favorites\\bank 10.url"));
    EXPECT_EQ(0xFFFF, HRESULT_CODE(favorites->CompareIDs(0, ILFindLastID(nine.get()),
                                                         ILFindLastID(ten.get()))));
}

// A folder that went away after it was bound cannot be listed.
TEST_F(ShellFolderTest, AFolderThatWentAwayCannotBeListed) {
    seedFavorites();
    Com<IShellFolder> zeitung;
    bind("C:\\Users\\User\\Favorites\\zeitung", zeitung);
    ASSERT_TRUE(DeleteFileA("C:\\Users\\User\\Favorites\\zeitung\\Tageblatt.url"));
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\Favorites\\zeitung"));
    Com<IEnumIDList> none;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              zeitung->EnumObjects(nullptr, SHCONTF_NONFOLDERS, none.put()));
    EXPECT_EQ(nullptr, none.get());
}
