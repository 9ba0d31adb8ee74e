#include "conformance.h"
#include "support/platform_fixture.h"

#include <vector>

using HandlesTest = testing_support::PlatformTest;

namespace {

// The object's reference count, read through the counts AddRef and Release return.
ULONG referencesOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

} // namespace

// An owner keeps exactly one reference through moves, takes one of its own when it shares an
// object, and gives its reference back when reset or destroyed.
TEST_F(HandlesTest, ComOwnerKeepsOneReferenceThroughMovesAndSharing) {
    ComRef<IShellLinkA> first;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, first.out()));
    IShellLinkA* const link = first.get();
    link->AddRef(); // the test's own reference, so the object outlives its owners
    EXPECT_EQ(2u, referencesOf(link));

    ComRef<IShellLinkA> second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(link, second.get());
    EXPECT_EQ(2u, referencesOf(link));
    {
        ComRef<IShellLinkA> shared;
        shared.assign(link);
        EXPECT_EQ(3u, referencesOf(link));
        second = std::move(shared); // the reference second held goes back
        EXPECT_EQ(2u, referencesOf(link));
    }
    EXPECT_EQ(2u, referencesOf(link));
    EXPECT_EQ(link, second.release());
    EXPECT_FALSE(second);
    EXPECT_EQ(2u, referencesOf(link));
    second.reset(link); // takes over the released reference
    EXPECT_TRUE(second.close());
    EXPECT_FALSE(second);
    EXPECT_EQ(1u, referencesOf(link));
    EXPECT_EQ(0u, link->Release());
}

// Item lists in owners, in a container too, all go back to the allocator; one released from
// its owner stays out until it is given back by hand.
TEST_F(HandlesTest, ItemListOwnersGiveEveryListBack) {
    const std::size_t live = testing_support::liveTaskAllocations();
    PidlRef desktop;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, desktop.put()));
    {
        std::vector<PidlRef> lists;
        for (int i = 0; i < 5; ++i)
            lists.emplace_back(ILClone(desktop.get()));
        EXPECT_EQ(live + 6, testing_support::liveTaskAllocations());
        lists[1] = std::move(lists[0]); // the list lists[1] held goes back
        EXPECT_FALSE(lists[0]);
        EXPECT_EQ(live + 5, testing_support::liveTaskAllocations());
        lists[2].reset(ILClone(desktop.get()));
        EXPECT_EQ(live + 5, testing_support::liveTaskAllocations());
    }
    EXPECT_EQ(live + 1, testing_support::liveTaskAllocations());
    LPITEMIDLIST raw = desktop.release();
    EXPECT_EQ(live + 1, testing_support::liveTaskAllocations());
    ILFree(raw);
    EXPECT_EQ(live, testing_support::liveTaskAllocations());
}

// A registry key stays open while its owner moves and after release; close reports what
// RegCloseKey answered, and an owner holding nothing closes nothing.
TEST_F(HandlesTest, RegistryKeyOwnerClosesOnceAndReleaseKeepsTheKeyOpen) {
    UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kravonel\\Handles", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
    UniqueHKey moved;
    moved = std::move(key);
    EXPECT_FALSE(key.valid());
    EXPECT_EQ(nullptr, key.get());
    const DWORD value = 7;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(moved.get(), "Seven", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&value), sizeof value));
    const HKEY raw = moved.release();
    EXPECT_FALSE(moved);
    DWORD values = 0;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(1u, values);
    moved.reset(raw);
    EXPECT_TRUE(moved.close());
    EXPECT_FALSE(moved.valid());
    EXPECT_TRUE(moved.close());
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kravonel\\Handles"));
}

// A search that found nothing is no handle: the owner neither holds it nor closes it.
TEST_F(HandlesTest, FindOwnerHoldsOnlyAnOpenSearch) {
    WIN32_FIND_DATAA found;
    UniqueFindHandle none(FindFirstFileA("C:\\Nowhere\\*", &found));
    EXPECT_FALSE(none.valid());
    EXPECT_TRUE(none.close());
    UniqueFindHandle search(FindFirstFileA("C:\\*", &found));
    ASSERT_TRUE(search.valid());
    UniqueFindHandle taken(std::move(search));
    EXPECT_FALSE(search.valid());
    EXPECT_EQ(INVALID_HANDLE_VALUE, search.get());
    EXPECT_TRUE(FindNextFileA(taken.get(), &found) || GetLastError() == ERROR_NO_MORE_FILES);
    EXPECT_TRUE(taken.close());
    EXPECT_FALSE(taken.valid());
}
