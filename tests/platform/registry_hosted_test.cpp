// The hosted registry's own promises: the administrator setting that guards
// HKEY_LOCAL_MACHINE, and one store shared by the processes of the machine.
#include "platform/machine.h"
#include "platform/root.h"
#include "registry_support.h"
#include "support/child_process.h"

#include <memory>
#include <set>

using namespace conformance;
using registry_test::kTestKey;
using registry_test::queryBytes;
using registry_test::RegistryTest;

TEST_F(RegistryTest, LocalMachineIsReadOnlyForAUserWithoutAdministratorRights) {
    const char* const shellFolders = platform::kShellFoldersKey;
    HKEY result = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0xDEAD));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_ALL_ACCESS, &result));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_SET_VALUE, &result));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              setString(HKEY_LOCAL_MACHINE, "Planted", "x"));

    Key readable;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_READ, readable.out()));
    DWORD type = 0;
    EXPECT_EQ(std::string("C:\\ProgramData", 15),
              queryBytes(readable.get(), "Common AppData", type));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              setString(readable.get(), "Common AppData", "C:\\Elsewhere"));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegDeleteValueA(readable.get(), "Common AppData"));

    Key created;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kravonel", 0, nullptr, 0, KEY_READ,
                              nullptr, created.out(), nullptr));
    Key probe;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND),
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kravonel", 0, KEY_READ, probe.out()));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegDeleteKeyA(HKEY_LOCAL_MACHINE, shellFolders));

    platform::setSetting("admin", "yes");
    Key writable;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, shellFolders, 0, KEY_ALL_ACCESS, writable.out()));
    EXPECT_EQ(ERROR_SUCCESS, setString(writable.get(), "Common AppData", "C:\\Elsewhere"));
    EXPECT_EQ(std::string("C:\\Elsewhere", 13), queryBytes(readable.get(), "Common AppData", type));
    Key made;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Kravonel", 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, made.out(), nullptr));
}

// Windows keeps no promise of an order; the hosted registry keeps the order of creation, as
// Windows does in practice, and the lists the program shows rely on it.
TEST_F(RegistryTest, ValuesEnumerateInTheOrderTheyWereCreated) {
    for (const char* name : {"c", "a", "b"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), name, name));
    }
    EXPECT_EQ((std::vector<std::string>{"c", "a", "b"}), valueNames(key.get()));

    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "a", "changed"));
    EXPECT_EQ((std::vector<std::string>{"c", "a", "b"}), valueNames(key.get()));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "c"));
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "c", "back"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), valueNames(key.get()));

    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND), RegDeleteValueA(key.get(), "gone"));
}

TEST_F(RegistryTest, QueryInfoCountsTheLongestDataInAnsiBytes) {
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "a", "0123456789"));
    DWORD maxData = 0x1234;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &maxData, nullptr, nullptr));
    EXPECT_EQ(11u, maxData);
}

// A name buffer too small leaves it as it was; a data buffer too small still gets the name.
TEST_F(RegistryTest, EnumValueFillsOnlyWhatFits) {
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Test", "foobar"));
    char name[16];
    char data[16];
    DWORD nameSize = 2;
    DWORD dataSize = sizeof data;
    std::strcpy(name, "xxxxxxxxxx");
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_MORE_DATA),
              RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, nullptr,
                            reinterpret_cast<LPBYTE>(data), &dataSize));
    EXPECT_STREQ("xxxxxxxxxx", name);
    nameSize = sizeof name;
    dataSize = 2;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_MORE_DATA),
              RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, nullptr,
                            reinterpret_cast<LPBYTE>(data), &dataSize));
    EXPECT_STREQ("Test", name);
    EXPECT_EQ(4u, nameSize);
}

// Another process's change shifts the index of the next call as well.
TEST_F(RegistryTest, EnumerationByIndexFollowsAnotherProcesssChanges) {
    for (const char* name : {"v0", "v1", "v2"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), name, name));
    }
    const auto nameAt = [](HKEY handle, DWORD index) {
        char name[32];
        DWORD size = sizeof name;
        return RegEnumValueA(handle, index, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS
                   ? std::string(name)
                   : std::string("<none>");
    };
    EXPECT_EQ("v0", nameAt(key.get(), 0));
    ASSERT_EQ(0, testing_support::RunInChildProcess([] {
                  Key own;
                  if (RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, own.out()))
                      return 1;
                  return static_cast<int>(RegDeleteValueA(own.get(), "v0"));
              }));
    EXPECT_EQ("v2", nameAt(key.get(), 1)); // v1 v2
    EXPECT_EQ("<none>", nameAt(key.get(), 2));
}

// Two processes, each with its own connection, write to one root at the same time; the
// store's transactions must not lose a write of either.
TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerChild = 200;
    std::vector<std::unique_ptr<testing_support::ChildProcess>> children;
    for (int child = 0; child < 2; ++child)
        children.push_back(std::make_unique<testing_support::ChildProcess>([child] {
            Key own;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                own.out(), nullptr) != ERROR_SUCCESS)
                return 1;
            for (int i = 0; i < kPerChild; ++i) {
                const std::string name = "child" + std::to_string(child) + "_" + std::to_string(i);
                if (setString(own.get(), name.c_str(), name) != ERROR_SUCCESS) return 2;
            }
            return 0;
        }));
    for (auto& child : children)
        EXPECT_EQ(0, child->wait());
    // The parent's own connection still works and sees both children's writes.
    const auto names = valueNames(key.get());
    EXPECT_EQ(2u * kPerChild, names.size());
    const std::set<std::string> distinct(names.begin(), names.end());
    for (int child = 0; child < 2; ++child)
        for (int i = 0; i < kPerChild; ++i) {
            SCOPED_TRACE(i);
            const std::string name = "child" + std::to_string(child) + "_" + std::to_string(i);
            ASSERT_TRUE(distinct.count(name)) << name;
            DWORD type = 0;
            EXPECT_EQ(name + '\0', queryBytes(key.get(), name.c_str(), type));
        }
    EXPECT_EQ(ERROR_SUCCESS, setString(key.get(), "parent", "still writes"));
}
