#include "shell_support.h"
#include "support/wine.h"

#include <algorithm>
#include <cstring>

using namespace conformance;
using namespace shell_test;

namespace {

using ItemIdListTest = ShellTestBase;

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
    const std::size_t live = testing_support::liveTaskAllocations();
    void* block = malloc->Alloc(24);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(24u, malloc->GetSize(block));
    EXPECT_EQ(1, malloc->DidAlloc(block));
    block = malloc->Realloc(block, 4000);
    EXPECT_EQ(4000u, malloc->GetSize(block));
    EXPECT_EQ(live + 1, testing_support::liveTaskAllocations());
    // Blocks are shared with CoTaskMemAlloc, so either may free them.
    CoTaskMemFree(block);
    EXPECT_EQ(live, testing_support::liveTaskAllocations());
    malloc->Release();
}

TEST_F(ItemIdListTest, SpecialFoldersAreListsFromTheDesktopOnePerPathPart) {
    List favorites;
    fillJunk(*favorites.out());
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, favorites.out()));
    // My Computer, then the drive and every folder on the way.
    const std::string path = at("Favorites");
    EXPECT_EQ(2 + std::count(path.begin(), path.end(), '\\'),
              static_cast<std::ptrdiff_t>(itemSizes(favorites.get()).size()));
    EXPECT_EQ(path, pathOf(favorites.get()));
    EXPECT_EQ(20, favorites.get()->mkid.cb);
    EXPECT_EQ(0x1F, favorites.get()->mkid.abID[0]);

    List desktop;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, desktop.out()));
    EXPECT_EQ(2u, ILGetSize(desktop.get()));
    EXPECT_EQ(at("Desktop"), pathOf(desktop.get()));
    List drives;
    ASSERT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, drives.out()));
    EXPECT_EQ("<none:>", pathOf(drives.get())); // My Computer has no path
    List startup;
    ASSERT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_COMMON_STARTUP, nullptr, 0, startup.out()));
    EXPECT_TRUE(AnsiSameText("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
                             pathOf(startup.get())))
        << pathOf(startup.get());

    // A special folder whose folder is gone; CSIDL_FLAG_CREATE makes it again.
    ASSERT_TRUE(RemoveDirectoryA(path.c_str()));
    List again;
    EXPECT_EQ(S_OK, SHGetFolderLocation(nullptr, CSIDL_FAVORITES | CSIDL_FLAG_CREATE, nullptr, 0,
                                        again.out()));
    EXPECT_EQ(path, pathOf(again.get()));
    EXPECT_TRUE(DirectoryExistsA(path));
}

TEST_F(ItemIdListTest, PathsParseIntoListsAndBack) {
    file("Favorites\\News\\Tageblatt.url");
    List parsed;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    ASSERT_EQ(S_OK,
              SHParseDisplayName(
                  AnsiToWide(AnsiLowerCase(at("favorites\\news\\")) + "tageblatt.URL").c_str(),
                  nullptr, parsed.out(), attributes, &attributes));
    // The items carry the names as they are on disk.
    EXPECT_EQ(at("Favorites\\News\\Tageblatt.url"), pathOf(parsed.get()));
    EXPECT_EQ(SFGAO_FILESYSTEM, attributes & (SFGAO_FOLDER | SFGAO_FILESYSTEM));
    List again(ILCreateFromPathA(at("Favorites\\News\\Tageblatt.url").c_str()));
    EXPECT_TRUE(ILIsEqual(parsed.get(), again.get()));
    List folderList(ILCreateFromPathA(at("Favorites\\News").c_str()));
    EXPECT_FALSE(ILIsEqual(parsed.get(), folderList.get()));

    List drive(ILCreateFromPathA("Z:\\"));
    EXPECT_EQ("Z:\\", pathOf(drive.get()));

    // What is not there is not parsed; the error names what was missing.
    for (const std::string& nowhere :
         {at("nothing.txt"), at("nowhere\\x.txt"), std::string("Q:\\x.txt")}) {
        SCOPED_TRACE(nowhere);
        List missing;
        fillJunk(*missing.out());
        const HRESULT hr =
            SHParseDisplayName(AnsiToWide(nowhere).c_str(), nullptr, missing.out(), 0, nullptr);
        EXPECT_TRUE(hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                    hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
            << nowhere << ": " << std::hex << hr;
        EXPECT_EQ(nullptr, missing.get()) << nowhere;
    }
    EXPECT_EQ(nullptr, ILCreateFromPathA(at("a*b").c_str()));
    char path[MAX_PATH] = "junk";
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
}

// Of the attributes asked for, those the item has; no others.
TEST_F(ItemIdListTest, ParsingReportsOnlyTheAttributesAskedFor) {
    SKIP_ON_WINE("SHParseDisplayName hands out every attribute of the item, not only those asked "
                 "for");
    file("Favorites\\Wetter.url");
    List parsed;
    ULONG attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    ASSERT_EQ(S_OK, SHParseDisplayName(AnsiToWide(at("Favorites\\Wetter.url")).c_str(), nullptr,
                                       parsed.out(), attributes, &attributes));
    EXPECT_EQ(SFGAO_FILESYSTEM, attributes);
    attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM;
    List folder;
    ASSERT_EQ(S_OK, SHParseDisplayName(AnsiToWide(at("Favorites")).c_str(), nullptr, folder.out(),
                                       attributes, &attributes));
    EXPECT_EQ(SFGAO_FOLDER | SFGAO_FILESYSTEM, attributes);
}
