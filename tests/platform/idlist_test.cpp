#include "shell_support.h"

#include <cstring>

using namespace conformance;
using namespace shell_test;

namespace {

class ItemIdListTest : public ShellTestBase {};

// A list of items with the given sizes, each item filled with its own index.
ITEMIDLIST* listOfSizes(std::initializer_list<int> sizes) {
    std::size_t total = 2;
    for (int s : sizes)
        total += s;
    auto* bytes = static_cast<BYTE*>(CoTaskMemAlloc(total));
    BYTE* p = bytes;
    int index = 1;
    for (int s : sizes) {
        std::memset(p, index++, s);
        p[0] = static_cast<BYTE>(s & 0xFF);
        p[1] = static_cast<BYTE>(s >> 8);
        p += s;
    }
    p[0] = p[1] = 0;
    return reinterpret_cast<ITEMIDLIST*>(bytes);
}

std::vector<int> itemSizes(PCUIDLIST_RELATIVE list) {
    std::vector<int> sizes;
    for (auto p = list; p && p->mkid.cb; p = ILGetNext(p))
        sizes.push_back(p->mkid.cb);
    return sizes;
}

std::string pathOf(PCIDLIST_ABSOLUTE list) {
    char path[MAX_PATH];
    std::memset(path, kJunkByte, sizeof path);
    return SHGetPathFromIDListA(list, path) ? path : "<none:" + std::string(path) + ">";
}

} // namespace

TEST_F(ItemIdListTest, SizesWalksAndJoinsFollowTheSizeWords) {
    EXPECT_EQ(0u, ILGetSize(nullptr));
    List empty(listOfSizes({}));
    EXPECT_EQ(2u, ILGetSize(empty.get()));
    List two(listOfSizes({20, 30}));
    EXPECT_EQ(52u, ILGetSize(two.get()));
    EXPECT_EQ(20, reinterpret_cast<const BYTE*>(ILGetNext(two.get())) -
                      reinterpret_cast<const BYTE*>(two.get()));
    EXPECT_EQ(30, ILFindLastID(two.get())->mkid.cb);

    // Joining copies the first list's items without its terminator, then the whole second.
    List joined(ILCombine(two.get(), empty.get()));
    EXPECT_EQ(std::vector<int>({20, 30}), itemSizes(joined.get()));
    List three(ILCombine(two.get(), List(listOfSizes({6})).get()));
    EXPECT_EQ(std::vector<int>({20, 30, 6}), itemSizes(three.get()));
    EXPECT_EQ(0, std::memcmp(three.get(), two.get(), 50));
    List copy(ILCombine(nullptr, two.get()));
    EXPECT_NE(two.get(), copy.get());
    EXPECT_EQ(0, std::memcmp(copy.get(), two.get(), 52));
    List first(ILCloneFirst(three.get()));
    EXPECT_EQ(std::vector<int>({20}), itemSizes(first.get()));

    // Dropping the last item: one item leaves the empty list, the empty list stays empty.
    EXPECT_TRUE(ILRemoveLastID(first.get()));
    EXPECT_EQ(2u, ILGetSize(first.get()));
    EXPECT_FALSE(ILRemoveLastID(first.get()));
    EXPECT_EQ(2u, ILGetSize(first.get()));
    EXPECT_TRUE(ILRemoveLastID(three.get()));
    EXPECT_EQ(52u, ILGetSize(three.get()));
}

TEST_F(ItemIdListTest, TheShellAllocatorKnowsItsBlocks) {
    IMalloc* malloc = nullptr;
    ASSERT_EQ(S_OK, SHGetMalloc(&malloc));
    const std::size_t live = platform::liveTaskAllocations();
    void* block = malloc->Alloc(24);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(24u, malloc->GetSize(block));
    EXPECT_EQ(1, malloc->DidAlloc(block));
    int onStack = 0;
    EXPECT_EQ(0, malloc->DidAlloc(&onStack));
    EXPECT_EQ(static_cast<SIZE_T>(-1), malloc->GetSize(&onStack));
    block = malloc->Realloc(block, 4000);
    EXPECT_EQ(4000u, malloc->GetSize(block));
    EXPECT_EQ(live + 1, platform::liveTaskAllocations());
    // Blocks are shared with CoTaskMemAlloc, so either may free them.
    CoTaskMemFree(block);
    EXPECT_EQ(live, platform::liveTaskAllocations());
    const std::size_t stray = platform::strayTaskFrees();
    malloc->Free(block); // twice: ignored, and counted
    EXPECT_EQ(stray + 1, platform::strayTaskFrees());
    malloc->Release();
}

TEST_F(ItemIdListTest, SpecialFoldersAreListsFromTheDesktopOnePerPathPart) {
    List favorites;
    fillJunk(*favorites.out());
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, favorites.out()));
    // My Computer, C:, Users, User, Favorites.
    EXPECT_EQ(5u, itemSizes(favorites.get()).size());
    EXPECT_EQ("C:\\Users\\User\\Favorites", pathOf(favorites.get()));
    EXPECT_EQ(20, favorites.get()->mkid.cb);
    EXPECT_EQ(0x1F, favorites.get()->mkid.abID[0]);

    List desktop;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.out()));
    EXPECT_EQ(2u, ILGetSize(desktop.get()));
    EXPECT_EQ("C:\\Users\\User\\Desktop", pathOf(desktop.get()));
    List drives;
    ASSERT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, drives.out()));
    EXPECT_EQ("<none:>", pathOf(drives.get())); // My Computer has no path
    List startup;
    ASSERT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_COMMON_STARTUP, nullptr, 0, startup.out()));
    EXPECT_EQ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
              pathOf(startup.get()));

    // Virtual folders and folders the machine does not have.
    for (int csidl : {CSIDL_PRINTERS, CSIDL_BITBUCKET, CSIDL_FONTS, CSIDL_NETHOOD}) {
        List none;
        fillJunk(*none.out());
        EXPECT_EQ(E_FAIL, SHGetSpecialFolderLocation(nullptr, csidl, none.out())) << csidl;
        EXPECT_EQ(nullptr, none.get());
    }
    // A Shell Folders value whose folder is gone; CSIDL_FLAG_CREATE makes it again.
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\Documents"));
    List personal;
    EXPECT_EQ(E_FAIL, SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, personal.out()));
    EXPECT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0,
                                        personal.out()));
    EXPECT_TRUE(DirectoryExistsA("C:\\Users\\User\\Documents"));
}

TEST_F(ItemIdListTest, PathsParseIntoListsAndBack) {
    file("Users/User/Favorites/News/Tageblatt.url");
    List parsed;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    ASSERT_EQ(S_OK, SHParseDisplayName(u"c:\\users\\USER\\favorites\\news\\tageblatt.URL", nullptr,
                                       parsed.out(), attributes, &attributes));
    // The items carry the names as they are on disk.
    EXPECT_EQ("C:\\Users\\User\\Favorites\\News\\Tageblatt.url", pathOf(parsed.get()));
    EXPECT_EQ(SFGAO_FILESYSTEM, attributes);
    List again(ILCreateFromPathA("C:\\Users\\User\\Favorites\\News\\Tageblatt.url"));
    EXPECT_TRUE(ILIsEqual(parsed.get(), again.get()));
    List folderList(ILCreateFromPathA("C:\\Users\\User\\Favorites\\News"));
    EXPECT_FALSE(ILIsEqual(parsed.get(), folderList.get()));

    List drive(ILCreateFromPathA("Z:\\"));
    EXPECT_EQ("Z:\\", pathOf(drive.get()));

    List missing;
    fillJunk(*missing.out());
    EXPECT_EQ(
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
        SHParseDisplayName(u"C:\\Users\\User\\nothing.txt", nullptr, missing.out(), 0, nullptr));
    EXPECT_EQ(nullptr, missing.get());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              SHParseDisplayName(u"C:\\nowhere\\x.txt", nullptr, missing.out(), 0, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              SHParseDisplayName(u"Q:\\x.txt", nullptr, missing.out(), 0, nullptr));
    EXPECT_EQ(nullptr, ILCreateFromPathA("C:\\Users\\a*b"));
    char path[MAX_PATH] = "junk";
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
}
