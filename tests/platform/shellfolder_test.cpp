#include "shellfolder_support.h"
#include "support/wine.h"

#include <algorithm>

using namespace conformance;
using namespace shell_test;

using shell_test::ShellFolderTest;
using V = std::vector<std::string>;

TEST_F(ShellFolderTest, EnumerationHonoursFoldersNonFoldersAndHidden) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind(at("Favorites"), favorites);
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

    // Skip and Reset walk; the first item again.
    Com<IEnumIDList> items;
    ASSERT_EQ(S_OK, favorites->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.put()));
    PITEMID_CHILD batch[8];
    EXPECT_EQ(S_OK, items->Skip(2));
    EXPECT_EQ(S_OK, items->Reset());
    ASSERT_EQ(S_OK, items->Next(1, batch, nullptr));
    EXPECT_EQ("agenda.txt", displayName(favorites.get(), batch[0], SHGDN_FOREDITING));
    ILFree(batch[0]);
}

// Next hands out several at once and says S_FALSE when the list ended first.
TEST_F(ShellFolderTest, NextSaysWhenItHandedOutFewerThanAsked) {
    SKIP_ON_WINE("IEnumIDList::Next answers S_OK when it hands out fewer items than asked for");
    seedFavorites();
    Com<IShellFolder> favorites;
    bind(at("Favorites"), favorites);
    Com<IEnumIDList> items;
    ASSERT_EQ(S_OK, favorites->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.put()));
    PITEMID_CHILD batch[8];
    ULONG fetched = 99;
    EXPECT_EQ(S_OK, items->Skip(2));
    EXPECT_EQ(S_FALSE, items->Next(8, batch, &fetched));
    EXPECT_EQ(3u, fetched);
    for (ULONG i = 0; i < fetched && i < 8; ++i)
        ILFree(batch[i]);
    EXPECT_EQ(S_FALSE, items->Skip(1));
    EXPECT_EQ(S_OK, items->Reset());
    EXPECT_EQ(E_INVALIDARG, items->Next(2, batch, nullptr));
}

TEST_F(ShellFolderTest, CompareIDsPutsFoldersFirstAndOrdersNamesIgnoringCase) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind(at("Favorites"), favorites);
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
    // Folders first, then the files; letters ignoring case, shortcut extensions hidden. (How
    // "Bank 9" and "bank 10" go is the shell's own choice.)
    ASSERT_EQ(7u, shown.size());
    EXPECT_EQ((std::vector<std::string>{"Archiv", "zeitung", "agenda.txt"}),
              std::vector<std::string>(shown.begin(), shown.begin() + 3));
    EXPECT_EQ((std::vector<std::string>{"Notes", "Wetter"}),
              std::vector<std::string>(shown.begin() + 5, shown.end()));
    const HRESULT same = favorites->CompareIDs(0, all[2], all[2]);
    EXPECT_TRUE(SUCCEEDED(same));
    EXPECT_EQ(0, HRESULT_CODE(same));
    EXPECT_EQ(0xFFFF, HRESULT_CODE(favorites->CompareIDs(0, all[0], all[6])));
    EXPECT_EQ(1, HRESULT_CODE(favorites->CompareIDs(0, all[6], all[0])));
    for (auto i : all)
        ILFree(i);
}

TEST_F(ShellFolderTest, NamesAreShownEditedAndParsed) {
    seedFavorites();
    Com<IShellFolder> favorites;
    bind(at("Favorites"), favorites);
    List wetter(ILCreateFromPathA(at("Favorites\\Wetter.url").c_str()));
    PCUITEMID_CHILD child = ILFindLastID(wetter.get());
    EXPECT_EQ("Wetter", displayName(favorites.get(), child, SHGDN_NORMAL));
    EXPECT_EQ("Wetter.url", displayName(favorites.get(), child, SHGDN_INFOLDER | SHGDN_FORPARSING));
    EXPECT_EQ(at("Favorites\\Wetter.url"), displayName(favorites.get(), child, SHGDN_FORPARSING));
    // The desktop answers for whole lists.
    EXPECT_EQ("Wetter.url",
              displayName(desktop.get(), wetter.get(), SHGDN_INFOLDER | SHGDN_FORPARSING));
    EXPECT_EQ(at("Favorites\\Wetter.url"),
              displayName(desktop.get(), wetter.get(), SHGDN_FORPARSING));
    List notes(ILCreateFromPathA(at("Favorites\\agenda.txt").c_str()));
    EXPECT_EQ("agenda.txt", displayName(desktop.get(), notes.get(), SHGDN_NORMAL));

    // The shell's own places: My Computer is parsed by its class.
    List drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.out()));
    EXPECT_NE("", displayName(desktop.get(), drives.get(), SHGDN_NORMAL));
    EXPECT_TRUE(AnsiSameText("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}",
                             displayName(desktop.get(), drives.get(), SHGDN_FORPARSING)));
    EXPECT_EQ(E_INVALIDARG, desktop->GetDisplayNameOf(child, SHGDN_NORMAL, nullptr));
}

TEST_F(ShellFolderTest, MyComputerListsTheDrivesAndAFolderParsesBelowItself) {
    file("Desktop\\Einkauf.txt");
    const auto onDesktop = enumerate(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    const auto has = [](const V& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    EXPECT_TRUE(has(onDesktop, "Einkauf.txt"));
    List drives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.out()));
    Com<IShellFolder> computer;
    ASSERT_EQ(S_OK, desktop->BindToObject(drives.get(), nullptr, IID_IShellFolder, computer.out()));
    EXPECT_TRUE(has(enumerate(computer.get(), SHCONTF_FOLDERS), "C:\\"));
    EXPECT_EQ(V(), enumerate(computer.get(), SHCONTF_NONFOLDERS));

    // A relative parse below a folder (the profile's parent), and the attributes of what it
    // found.
    const std::string profile = platform.profile();
    Com<IShellFolder> users;
    bind(profile.substr(0, profile.rfind('\\')), users);
    List below;
    ULONG eaten = 0;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_LINK;
    WideString name = AnsiToWide("user\\desktop\\einkauf.txt");
    ASSERT_EQ(S_OK, users->ParseDisplayName(nullptr, nullptr, name.data(), &eaten, below.out(),
                                            &attributes));
    EXPECT_EQ(SFGAO_FILESYSTEM, attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM));
    EXPECT_EQ("User\\Desktop\\Einkauf.txt", [&] {
        std::string joined;
        for (auto p = static_cast<PCUIDLIST_RELATIVE>(below.get()); p->mkid.cb; p = ILGetNext(p)) {
            List one(ILCloneFirst(p));
            joined += (joined.empty() ? "" : "\\") +
                      displayName(desktop.get(), one.get(), SHGDN_INFOLDER | SHGDN_FORPARSING);
        }
        return joined;
    }());
    Com<IShellFolder> notAFolder;
    EXPECT_TRUE(
        FAILED(users->BindToObject(below.get(), nullptr, IID_IShellFolder, notAFolder.out())));
    WideString missing = AnsiToWide("User\\nichts.txt");
    List none;
    EXPECT_EQ(
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
        users->ParseDisplayName(nullptr, nullptr, missing.data(), nullptr, none.out(), nullptr));
}

// Of the attributes asked for, those that all the items have.
TEST_F(ShellFolderTest, AttributesAreThoseAskedForThatEveryItemHas) {
    SKIP_ON_WINE("IShellFolder::GetAttributesOf hands out attributes that were not asked for, "
                 "and of two items not only those they share");
    // A folder with sub-folders, a shortcut, one item or several at once.
    file("Favorites\\Links\\a.url");
    file("Favorites\\b.url");
    Com<IShellFolder> user;
    bind(platform.profile(), user);
    List favorites(ILCreateFromPathA(at("Favorites").c_str()));
    List url(ILCreateFromPathA(at("Favorites\\b.url").c_str()));
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

TEST_F(ShellFolderTest, ParsingCountsTheCharactersItTook) {
    SKIP_ON_WINE("IShellFolder::ParseDisplayName leaves the count of characters parsed at 0");
    file("Desktop\\Einkauf.txt");
    Com<IShellFolder> user;
    bind(platform.profile(), user);
    List below;
    ULONG eaten = 0;
    WideString name = AnsiToWide("desktop\\einkauf.txt");
    ASSERT_EQ(S_OK,
              user->ParseDisplayName(nullptr, nullptr, name.data(), &eaten, below.out(), nullptr));
    EXPECT_EQ(name.size(), eaten);
}
