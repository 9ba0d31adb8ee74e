// The hosted shell's own answers: the allocator notices a block freed twice, and the machine
// has none of the virtual folders and keeps its special folders where Shell Folders says.
#include "platform/taskalloc.h"
#include "shell_support.h"

using namespace conformance;
using namespace shell_test;

namespace {
using ItemIdListTest = ShellTestBase;
} // namespace

TEST_F(ItemIdListTest, ABlockFreedTwiceIsIgnoredAndCounted) {
    IMalloc* malloc = nullptr;
    ASSERT_EQ(S_OK, SHGetMalloc(&malloc));
    void* block = malloc->Alloc(24);
    int onStack = 0;
    EXPECT_EQ(0, malloc->DidAlloc(&onStack));
    EXPECT_EQ(static_cast<SIZE_T>(-1), malloc->GetSize(&onStack));
    CoTaskMemFree(block);
    const std::size_t stray = platform::strayTaskFrees();
    malloc->Free(block);
    EXPECT_EQ(stray + 1, platform::strayTaskFrees());
    malloc->Release();
}

TEST_F(ItemIdListTest, VirtualFoldersAndMissingFoldersAreNotThere) {
    for (int csidl : {CSIDL_PRINTERS, CSIDL_BITBUCKET, CSIDL_FONTS, CSIDL_NETHOOD}) {
        SCOPED_TRACE(csidl);
        List none;
        fillJunk(*none.out());
        EXPECT_EQ(E_FAIL, SHGetSpecialFolderLocation(nullptr, csidl, none.out())) << csidl;
        EXPECT_EQ(nullptr, none.get());
    }
    // A Shell Folders value whose folder is gone.
    ASSERT_TRUE(RemoveDirectoryA("C:\\Users\\User\\Documents"));
    List personal;
    EXPECT_EQ(E_FAIL, SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, personal.out()));
}

// A file that is missing and a folder that is missing are told apart, as by the file calls.
TEST_F(ItemIdListTest, ParsingTellsAMissingFileFromAMissingFolder) {
    List missing;
    EXPECT_EQ(
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
        SHParseDisplayName(u"C:\\Users\\User\\nothing.txt", nullptr, missing.out(), 0, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              SHParseDisplayName(u"C:\\nowhere\\x.txt", nullptr, missing.out(), 0, nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              SHParseDisplayName(u"Q:\\x.txt", nullptr, missing.out(), 0, nullptr));
}
