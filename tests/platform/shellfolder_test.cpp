#include "shell_support.h"

using namespace conformance;
using namespace shell_test;

namespace {

class ShellFolderTest : public ShellTestBase {
  protected:
    void SetUp() override {
        ShellTestBase::SetUp();
        ASSERT_EQ(S_OK, SHGetDesktopFolder(desktop.put()));
    }
    void TearDown() override {
        // Folders hold their own lists until they go.
        desktop.reset();
        ShellTestBase::TearDown();
    }

    // The favorites folder of a user who has been surfing.
    void seedFavorites() {
        file("Users/User/Favorites/Wetter.url", "[InternetShortcut]\r\nURL=http://w/\r\n");
        file("Users/User/Favorites/bank 10.url");
        file("Users/User/Favorites/Bank 9.url");
        file("Users/User/Favorites/agenda.txt");
        file("Users/User/Favorites/Notes.lnk");
        file("Users/User/Favorites/zeitung/Tageblatt.url");
        file("Users/User/Favorites/Archiv/alt.url");
        file("Users/User/Favorites/secret.url");
        file("Users/User/Favorites/Versteckt/x.url");
        ASSERT_TRUE(
            SetFileAttributesA("C:\\Users\\User\\Favorites\\secret.url", FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(
            SetFileAttributesA("C:\\Users\\User\\Favorites\\Versteckt", FILE_ATTRIBUTE_HIDDEN));
    }

    void bind(const char* path, Com<IShellFolder>& folder) {
        List list(ILCreateFromPathA(path));
        ASSERT_TRUE(list);
        ASSERT_EQ(S_OK, desktop->BindToObject(list.get(), nullptr, IID_IShellFolder, folder.out()));
    }

    Com<IShellFolder> desktop;
};

} // namespace

TEST_F(ShellFolderTest, EnumerationHonoursFoldersNonFoldersAndHidden) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind("C:\\Users\\User\\Favorites", favorites);
    using V = std::vector<std::string>;
    // In the order of the volume (names ignoring case).
    EXPECT_EQ(V({"agenda.txt", "Archiv", "bank 10.url", "Bank 9.url", "Notes.lnk", "Wetter.url",
                 "zeitung"}),
              enumerate(favorites.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    EXPECT_EQ(V({"Archiv", "zeitung"}), enumerate(favorites.get(), SHCONTF_FOLDERS));
    EXPECT_EQ(
        V({"agenda.txt", "bank 10.url", "Bank 9.url", "Notes.lnk", "secret.url", "Wetter.url"}),
        enumerate(favorites.get(), SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN));
    EXPECT_EQ(V({"Archiv", "Versteckt", "zeitung"}),
              enumerate(favorites.get(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN));

    // Next hands out several at once, Skip and Reset walk, the end is S_FALSE.
    Com<IEnumIDList> items;
    ASSERT_EQ(S_OK, favorites->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.put()));
    PITEMID_CHILD batch[8];
    ULONG fetched = 99;
    EXPECT_EQ(S_OK, items->Skip(2));
    EXPECT_EQ(S_FALSE, items->Next(8, batch, &fetched));
    EXPECT_EQ(3u, fetched);
    for (ULONG i = 0; i < fetched; ++i)
        ILFree(batch[i]);
    EXPECT_EQ(S_FALSE, items->Skip(1));
    EXPECT_EQ(S_OK, items->Reset());
    EXPECT_EQ(E_INVALIDARG, items->Next(2, batch, nullptr));
    ASSERT_EQ(S_OK, items->Next(1, batch, nullptr));
    EXPECT_EQ("agenda.txt", displayName(favorites.get(), batch[0], SHGDN_FOREDITING));
    ILFree(batch[0]);

    // A folder that went away after it was bound cannot be listed.
    Com<IShellFolder> zeitung;
    bind("C:\\Users\\User\\Favorites\\zeitung", zeitung);
    ASSERT_TRUE(DeleteFileA("C:\\Users\\User\\Favorites\\zeitung\\Tageblatt.url"));
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\Favorites\\zeitung"));
    Com<IEnumIDList> none;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              zeitung->EnumObjects(nullptr, SHCONTF_NONFOLDERS, none.put()));
    EXPECT_EQ(nullptr, none.get());
}

TEST_F(ShellFolderTest, CompareIDsPutsFoldersFirstAndOrdersNamesAsTheShell) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind("C:\\Users\\User\\Favorites", favorites);
    Com<IEnumIDList> items;
    ASSERT_EQ(S_OK,
              favorites->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put()));
    std::vector<PITEMID_CHILD> all;
    PITEMID_CHILD item = nullptr;
    while (items->Next(1, &item, nullptr) == S_OK)
        all.push_back(item);
    std::sort(all.begin(), all.end(), [&](auto a, auto b) {
        return static_cast<SHORT>(HRESULT_CODE(favorites->CompareIDs(0, a, b))) < 0;
    });
    std::vector<std::string> shown;
    for (auto i : all)
        shown.push_back(displayName(favorites.get(), i, SHGDN_NORMAL));
    // Numbers by their value, letters ignoring case, shortcut extensions hidden.
    EXPECT_EQ(std::vector<std::string>(
                  {"Archiv", "zeitung", "agenda.txt", "Bank 9", "bank 10", "Notes", "Wetter"}),
              shown);
    const HRESULT same = favorites->CompareIDs(0, all[2], all[2]);
    EXPECT_TRUE(SUCCEEDED(same));
    EXPECT_EQ(0, HRESULT_CODE(same));
    EXPECT_EQ(0xFFFF, HRESULT_CODE(favorites->CompareIDs(0, all[0], all[6])));
    EXPECT_EQ(1, HRESULT_CODE(favorites->CompareIDs(0, all[6], all[0])));
    for (auto i : all)
        ILFree(i);
}

TEST_F(ShellFolderTest, NamesComeInAllThreeStrretKinds) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind("C:\\Users\\User\\Favorites", favorites);
    List wetter(ILCreateFromPathA("C:\\Users\\User\\Favorites\\Wetter.url"));
    PCUITEMID_CHILD child = ILFindLastID(wetter.get());
    UINT kind = 99;
    EXPECT_EQ("Wetter", displayName(favorites.get(), child, SHGDN_NORMAL, &kind));
    EXPECT_EQ(STRRET_CSTR, kind);
    EXPECT_EQ("Wetter.url",
              displayName(favorites.get(), child, SHGDN_INFOLDER | SHGDN_FORPARSING, &kind));
    EXPECT_EQ(STRRET_OFFSET, kind);
    EXPECT_EQ("C:\\Users\\User\\Favorites\\Wetter.url",
              displayName(favorites.get(), child, SHGDN_FORPARSING, &kind));
    EXPECT_EQ(STRRET_WSTR, kind);
    // The desktop answers for whole lists; offsets count from the start of the list.
    EXPECT_EQ("Wetter.url",
              displayName(desktop.get(), wetter.get(), SHGDN_INFOLDER | SHGDN_FORPARSING, &kind));
    EXPECT_EQ(STRRET_OFFSET, kind);
    EXPECT_EQ("C:\\Users\\User\\Favorites\\Wetter.url",
              displayName(desktop.get(), wetter.get(), SHGDN_FORPARSING));
    List notes(ILCreateFromPathA("C:\\Users\\User\\Favorites\\agenda.txt"));
    EXPECT_EQ("agenda.txt", displayName(desktop.get(), notes.get(), SHGDN_NORMAL));

    // The shell's own places.
    List drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.out()));
    EXPECT_EQ("My Computer", displayName(desktop.get(), drives.get(), SHGDN_NORMAL));
    EXPECT_EQ("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
              displayName(desktop.get(), drives.get(), SHGDN_FORPARSING));
    const BYTE empty[2] = {0, 0};
    EXPECT_EQ("Desktop",
              displayName(desktop.get(), reinterpret_cast<PCUITEMID_CHILD>(empty), SHGDN_NORMAL));
    STRRET junk;
    EXPECT_EQ(E_INVALIDARG, desktop->GetDisplayNameOf(child, SHGDN_NORMAL, nullptr));
    fillJunk(junk);
    BYTE foreign[8] = {6, 0, 0x77, 1, 2, 3, 0, 0};
    EXPECT_EQ(E_INVALIDARG, desktop->GetDisplayNameOf(reinterpret_cast<PCUITEMID_CHILD>(foreign),
                                                      SHGDN_NORMAL, &junk));
}

TEST_F(ShellFolderTest, MyComputerListsTheDrivesAndTheDesktopMyComputerAndItsFiles) {
    file("Users/User/Desktop/Einkauf.txt");
    EXPECT_EQ(std::vector<std::string>({"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "Einkauf.txt"}),
              enumerate(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
    List drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.out()));
    Com<IShellFolder> computer;
    ASSERT_EQ(S_OK, desktop->BindToObject(drives.get(), nullptr, IID_IShellFolder, computer.out()));
    EXPECT_EQ(std::vector<std::string>({"C:\\", "Z:\\"}),
              enumerate(computer.get(), SHCONTF_FOLDERS));
    EXPECT_EQ(std::vector<std::string>(), enumerate(computer.get(), SHCONTF_NONFOLDERS));

    // A relative parse below a folder, and the attributes of what it found.
    Com<IShellFolder> users;
    bind("C:\\Users", users);
    List below;
    ULONG eaten = 0;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_LINK;
    std::u16string name = u"user\\desktop\\einkauf.txt";
    ASSERT_EQ(S_OK, users->ParseDisplayName(nullptr, nullptr, name.data(), &eaten, below.out(),
                                            &attributes));
    EXPECT_EQ(name.size(), eaten);
    EXPECT_EQ(SFGAO_FILESYSTEM, attributes);
    EXPECT_EQ("User\\Desktop\\Einkauf.txt", [&] {
        std::string joined;
        for (auto p = static_cast<PCUIDLIST_RELATIVE>(below.get()); p->mkid.cb; p = ILGetNext(p)) {
            List one(ILCloneFirst(p));
            joined +=
                (joined.empty() ? "" : "\\") + displayName(desktop.get(), one.get(), SHGDN_NORMAL);
        }
        return joined;
    }());
    Com<IShellFolder> notAFolder;
    EXPECT_EQ(E_FAIL,
              users->BindToObject(below.get(), nullptr, IID_IShellFolder, notAFolder.out()));
    std::u16string missing = u"User\\nichts.txt";
    List none;
    EXPECT_EQ(
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
        users->ParseDisplayName(nullptr, nullptr, missing.data(), nullptr, none.out(), nullptr));

    // Attributes: a folder with sub-folders, a shortcut, one item or several at once.
    file("Users/User/Favorites/Links/a.url");
    file("Users/User/Favorites/b.url");
    Com<IShellFolder> user;
    bind("C:\\Users\\User", user);
    List favorites(ILCreateFromPathA("C:\\Users\\User\\Favorites"));
    List url(ILCreateFromPathA("C:\\Users\\User\\Favorites\\b.url"));
    SFGAOF wanted = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_LINK;
    PCUITEMID_CHILD one[] = {ILFindLastID(favorites.get())};
    ASSERT_EQ(S_OK, user->GetAttributesOf(1, one, &wanted));
    EXPECT_EQ(SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER, wanted);
    PCUITEMID_CHILD both[] = {url.get(), favorites.get()};
    wanted = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_LINK;
    ASSERT_EQ(S_OK, desktop->GetAttributesOf(2, both, &wanted));
    EXPECT_EQ(SFGAO_FILESYSTEM, wanted);
    wanted = SFGAO_LINK | SFGAO_FOLDER;
    ASSERT_EQ(S_OK, desktop->GetAttributesOf(1, both, &wanted));
    EXPECT_EQ(SFGAO_LINK, wanted);
}
