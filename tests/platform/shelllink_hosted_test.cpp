// The hosted shell link's answers to calls Windows leaves to the caller's care: no buffer,
// no place for the icon index.
#include "shelllink_support.h"

using namespace conformance;
using shell_test::Com;
using shell_test::ShellLinkTest;

TEST_F(ShellLinkTest, AMissingBufferOrIndexIsAnInvalidArgument) {
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    ASSERT_EQ(S_OK, link->SetDescription("Notizen"));
    ASSERT_EQ(S_OK, link->SetIconLocation("C:\\Windows\\notepad.exe", 1));
    char small[8];
    EXPECT_EQ(E_INVALIDARG, link->GetDescription(small, 0));
    EXPECT_EQ(E_INVALIDARG, link->GetIconLocation(small, sizeof small, nullptr));
}

// Where Windows leaves the answer open, the hosted link says what it can: a target that does
// not exist yet still gets its list, an unknown drive none; texts beyond the format's limits
// and null texts are refused; a link without a file cannot be saved to it.
TEST_F(ShellLinkTest, TargetsAndTextsTheFormatCannotHoldGetClearAnswers) {
    Com<IShellLinkA> link;
    Com<IPersistFile> persist;
    create(link, persist);
    EXPECT_EQ(E_INVALIDARG, persist->Save(nullptr, TRUE)); // no file yet

    EXPECT_EQ(S_OK, link->SetPath("c:\\users\\user\\later\\plan.doc"));
    EXPECT_EQ("C:\\Users\\User\\later\\plan.doc", read(link.get()).path);
    shell_test::List later;
    ASSERT_EQ(S_OK, link->GetIDList(later.out()));
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(later.get(), path));
    EXPECT_STREQ("C:\\Users\\User\\later\\plan.doc", path); // the existing part as on disk
    EXPECT_EQ(S_FALSE, link->SetPath("Q:\\daten\\x.txt"));
    EXPECT_EQ("Q:\\daten\\x.txt", read(link.get()).path);
    shell_test::List noList;
    EXPECT_EQ(S_FALSE, link->GetIDList(noList.out()));

    EXPECT_EQ(E_INVALIDARG, link->SetIDList(nullptr));
    EXPECT_EQ(E_INVALIDARG, link->SetArguments(std::string(70000, 'a').c_str()));
    EXPECT_EQ(E_INVALIDARG, link->SetDescription(nullptr));
}
