#include "conformance.h"
#include "platform/filetime.h"
#include "platform/machine.h"
#include "registry_support.h"
#include "support/platform_fixture.h"
#include "support/wine.h"

#include <algorithm>

using namespace conformance;

using registry_test::kTestKey;
using registry_test::queryBytes;
using registry_test::RegistryTest;

TEST_F(RegistryTest, EveryValueTypeKeepsItsTypeAndBytes) {
    struct Sample {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const DWORD number = 0xDEADBEEF;
    const Sample samples[] = {
        {"Text", REG_SZ, std::string("Pr\xE4sentation\0", 14)},
        {"Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9)},
        {"Binary", REG_BINARY, std::string("\x00\xFF\x01\x00\x80", 5)},
        {"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)},
        {"List", REG_MULTI_SZ, std::string("one\0two\0\0", 9)},
        {"Empty", REG_BINARY, std::string()},
    };
    for (const auto& s : samples)
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), s.name, 0, s.type,
                                                reinterpret_cast<const BYTE*>(s.bytes.data()),
                                                static_cast<DWORD>(s.bytes.size())));
    // Read back from what was stored.
    platform.reopen();
    Key reopened;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, reopened.out()));
    for (const auto& s : samples) {
        DWORD type = 0x1234;
        EXPECT_EQ(s.bytes, queryBytes(reopened.get(), s.name, type)) << s.name;
        EXPECT_EQ(s.type, type) << s.name;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(reopened.get(), "Number", nullptr, nullptr,
                                              reinterpret_cast<LPBYTE>(&value), &size));
    EXPECT_EQ(number, value);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCaseButKeepTheirSpelling) {
    Key child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "MixedCase", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, child.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, setString(child.get(), "ValueName", "first"));

    Key again;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\kravonel\\CONFORMANCE\\mixedcase", 0,
                            KEY_ALL_ACCESS, again.out()));
    ASSERT_EQ(ERROR_SUCCESS, setString(again.get(), "VALUENAME", "second"));
    DWORD type = 0;
    EXPECT_EQ(std::string("second", 7), queryBytes(child.get(), "valuename", type));
    // The overwrite kept the first spelling and made no second value.
    EXPECT_EQ(std::vector<std::string>{"ValueName"}, valueNames(child.get()));

    DWORD disposition = 0;
    Key created;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "MIXEDCASE", 0, nullptr, 0, KEY_READ,
                                             nullptr, created.out(), &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    char name[32];
    std::memset(name, kJunkByte, sizeof name);
    DWORD nameSize = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumKeyExA(key.get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("MixedCase", name);
    EXPECT_EQ(9u, nameSize);
}

// Enumeration goes by index: a value deleted or added between two calls, by this handle or
// another handle, shifts what the next index names.
TEST_F(RegistryTest, EnumerationByIndexFollowsChangesBetweenCalls) {
    for (const char* name : {"v0", "v1", "v2", "v3", "v4"}) {
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
    EXPECT_EQ("v1", nameAt(key.get(), 1));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "v0"));
    EXPECT_EQ("v3", nameAt(key.get(), 2)); // v1 v2 v3 v4 now
    Key other;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, other.out()));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(other.get(), "v1"));
    EXPECT_EQ("<none>", nameAt(key.get(), 3)); // v2 v3 v4
    EXPECT_EQ("v2", nameAt(key.get(), 0));
    ASSERT_EQ(ERROR_SUCCESS, setString(other.get(), "v5", "v5"));
    EXPECT_EQ("v5", nameAt(key.get(), 3)); // v2 v3 v4 v5
}

// Windows gives values no order of enumeration; each name is one value however often it is
// written.
TEST_F(RegistryTest, EachNameIsOneValueThroughRewritesAndDeletions) {
    const auto sortedNames = [&] {
        auto names = valueNames(key.get());
        std::sort(names.begin(), names.end());
        return names;
    };
    for (const char* name : {"c", "a", "b"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), name, name));
    }
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), sortedNames());

    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "A", "changed"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), sortedNames());
    DWORD type = 0;
    EXPECT_EQ(std::string("changed", 8), queryBytes(key.get(), "a", type));

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key.get(), "c"));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), sortedNames());
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "c", "back"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), sortedNames());
    EXPECT_EQ(std::string("back", 5), queryBytes(key.get(), "c", type));

    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND), RegDeleteValueA(key.get(), "gone"));
}

TEST_F(RegistryTest, QueryValueWalksTheSizeHandshake) {
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Name", "hello"));

    DWORD type = 0x1234;
    DWORD size = 0x1234;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Name", nullptr, &type, nullptr, &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(6u, size);

    char data[16];
    std::memset(data, kJunkByte, sizeof data);
    size = 3;
    EXPECT_EQ(
        static_cast<LSTATUS>(ERROR_MORE_DATA),
        RegQueryValueExA(key.get(), "Name", nullptr, &type, reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_EQ(6u, size);

    std::memset(data, kJunkByte, sizeof data);
    size = 6;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Name", nullptr, &type,
                                              reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_STREQ("hello", data);
    EXPECT_EQ(6u, size);
    EXPECT_EQ(kJunkByte, data[6]);

    size = sizeof data;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND),
              RegQueryValueExA(key.get(), "Missing", nullptr, nullptr,
                               reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_INVALID_PARAMETER),
              RegQueryValueExA(key.get(), "Name", nullptr, nullptr, reinterpret_cast<LPBYTE>(data),
                               nullptr));
}

// The size counts the terminator only when the data was stored with it; the buffer gets one
// where it has room.
TEST_F(RegistryTest, AStringStoredWithoutItsTerminatorKeepsItsSize) {
    SKIP_ON_WINE("RegQueryValueExA counts the terminator it adds to a string stored without one "
                 "(4 for \"abc\"), where Windows reports the size as stored");
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), "Bare", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>("abc"), 3));
    char data[16];
    std::memset(data, kJunkByte, sizeof data);
    DWORD size = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Bare", nullptr, nullptr,
                                              reinterpret_cast<LPBYTE>(data), &size));
    EXPECT_EQ(3u, size);
    EXPECT_STREQ("abc", data);
    size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Bare", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(3u, size);
}

TEST_F(RegistryTest, EnumValueReportsShortBuffersAndTheEnd) {
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Test", "foobar"));

    char name[16];
    char data[16];
    DWORD nameSize = 2;
    DWORD dataSize = sizeof data;
    DWORD type = 0x1234;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_MORE_DATA),
              RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, &type,
                            reinterpret_cast<LPBYTE>(data), &dataSize));
    EXPECT_EQ(2u, nameSize);
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(7u, dataSize);

    // Room for the name but not for the data: the size the data needs is reported.
    nameSize = sizeof name;
    dataSize = 2;
    type = 0x1234;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_MORE_DATA),
              RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, &type,
                            reinterpret_cast<LPBYTE>(data), &dataSize));
    EXPECT_EQ(7u, dataSize);
    EXPECT_EQ(REG_SZ, type);

    nameSize = sizeof name;
    dataSize = sizeof data;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, &type,
                                           reinterpret_cast<LPBYTE>(data), &dataSize));
    EXPECT_STREQ("foobar", data);
    EXPECT_EQ(7u, dataSize);

    nameSize = sizeof name;
    EXPECT_EQ(259,
              RegEnumValueA(key.get(), 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
    char keyName[16];
    DWORD keyNameSize = sizeof keyName;
    EXPECT_EQ(259, RegEnumKeyExA(key.get(), 0, keyName, &keyNameSize, nullptr, nullptr, nullptr,
                                 nullptr));
}

TEST_F(RegistryTest, EnumKeysSortsIgnoringCaseAndReportsShortBuffers) {
    for (const char* name : {"beta", "Alpha", "GAMMA"}) {
        SCOPED_TRACE(name);
        Key child;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), name, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, child.out(), nullptr));
    }
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        SCOPED_TRACE(index);
        char name[16];
        DWORD size = sizeof name;
        const LSTATUS rc =
            RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            EXPECT_EQ(static_cast<LSTATUS>(ERROR_NO_MORE_ITEMS), rc);
            break;
        }
        names.emplace_back(name, size);
    }
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "GAMMA"}), names);

    char name[16] = "unchanged";
    DWORD size = 5; // "Alpha" needs six with its terminator
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_MORE_DATA),
              RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("unchanged", name);
}

TEST_F(RegistryTest, CreateKeyMakesTheKeysOnTheWayAndSaysWhetherItWasNew) {
    DWORD disposition = 0x1234;
    Key deep;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, deep.out(), &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    EXPECT_NE(nullptr, deep.get());

    Key middle;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key.get(), "A\\B", 0, KEY_READ, middle.out()));

    disposition = 0x1234;
    Key same;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "a\\b\\c", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, same.out(), &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    // The two handles name one key.
    ASSERT_EQ(ERROR_SUCCESS, setString(deep.get(), "v", "1"));
    DWORD type = 0;
    EXPECT_EQ(std::string("1", 2), queryBytes(same.get(), "v", type));

    // A key created in the middle of an existing path is new as well.
    disposition = 0x1234;
    Key side;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "A\\D", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, side.out(), &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
}

TEST_F(RegistryTest, OpeningAMissingKeyFailsAndLeavesNoHandle) {
    HKEY result = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0xDEAD));
    EXPECT_EQ(
        static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND),
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kravonel\\Missing", 0, KEY_READ, &result));
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND),
              RegOpenKeyExA(key.get(), "Missing\\Deeper", 0, KEY_READ, &result));
    // Opening does not create anything on the way.
    Key parent;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND),
              RegOpenKeyExA(key.get(), "Missing", 0, KEY_READ, parent.out()));

    const HKEY bogus = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x4321));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_INVALID_HANDLE),
              RegOpenKeyExA(bogus, "x", 0, KEY_READ, &result));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_INVALID_HANDLE), RegCloseKey(bogus));
}

TEST_F(RegistryTest, AnAdministratorWritesToLocalMachine) {
    if (!platform.grantAdministrator()) GTEST_SKIP() << "the account has no administrator rights";
    Key made;
    DWORD disposition = 0x1234;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, made.out(), &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    ASSERT_EQ(ERROR_SUCCESS, setString(made.get(), "Machine", "wide"));
    Key reader;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_READ, reader.out()));
    DWORD type = 0;
    EXPECT_EQ(std::string("wide", 5), queryBytes(reader.get(), "Machine", type));
    Key writer;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_SET_VALUE, writer.out()));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(writer.get(), "Machine"));
    EXPECT_EQ("<missing>", queryBytes(reader.get(), "Machine", type));

    // The machine's own keys are readable as ever.
    Key shellFolders;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, platform::kShellFoldersKey, 0,
                                           KEY_READ, shellFolders.out()));
    EXPECT_NE("<missing>", queryBytes(shellFolders.get(), "Common AppData", type));
}

TEST_F(RegistryTest, AHandleCanDoOnlyWhatItWasOpenedFor) {
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Kept", "value"));
    Key reader;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, reader.out()));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED), setString(reader.get(), "New", "x"));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED), RegDeleteValueA(reader.get(), "Kept"));
    EXPECT_EQ(std::vector<std::string>{"Kept"}, valueNames(key.get()));

    Key writer;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, writer.out()));
    EXPECT_EQ(ERROR_SUCCESS, setString(writer.get(), "New", "x"));
    DWORD size = 0;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegQueryValueExA(writer.get(), "Kept", nullptr, nullptr, nullptr, &size));
    char name[16];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegEnumValueA(writer.get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
    nameSize = sizeof name;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegEnumKeyExA(writer.get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryTest, QueryInfoNeedsTheRightToQuery) {
    SKIP_ON_WINE("RegQueryInfoKeyA answers on a handle opened without KEY_QUERY_VALUE, which "
                 "Windows requires of it");
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Kept", "value"));
    Key writer;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, writer.out()));
    DWORD values = 0x1234;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED),
              RegQueryInfoKeyA(writer.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0x1234u, values);
}

TEST_F(RegistryTest, AHandleToADeletedKeySaysSo) {
    Key doomed;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "Doomed", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, doomed.out(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, setString(doomed.get(), "v", "1"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key.get(), "Doomed"));

    DWORD size = 0;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_KEY_DELETED),
              RegQueryValueExA(doomed.get(), "v", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_KEY_DELETED), setString(doomed.get(), "w", "2"));
    Key below;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_KEY_DELETED),
              RegCreateKeyExA(doomed.get(), "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              below.out(), nullptr));

    // A key of the same name made afterwards is another key.
    Key reborn;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "Doomed", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, reborn.out(), nullptr));
    EXPECT_TRUE(valueNames(reborn.get()).empty());
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_KEY_DELETED), setString(doomed.get(), "w", "2"));
    EXPECT_TRUE(valueNames(reborn.get()).empty());
}

TEST_F(RegistryTest, DeleteKeyRefusesAKeyWithSubkeys) {
    Key leaf;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), "Parent\\Leaf", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, leaf.out(), nullptr));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED), RegDeleteKeyA(key.get(), "Parent"));
    Key parent;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key.get(), "Parent", 0, KEY_READ, parent.out()));

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key.get(), "PARENT\\leaf"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(key.get(), "Parent"));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND), RegDeleteKeyA(key.get(), "Parent"));
}

TEST_F(RegistryTest, QueryInfoCountsSubkeysAndValues) {
    for (const char* name : {"Short", "MuchLongerName"}) {
        SCOPED_TRACE(name);
        Key child;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key.get(), name, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, child.out(), nullptr));
    }
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "a", "0123456789"));
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "LongestValueName", "x"));
    ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "", "default"));

    DWORD subKeys = 0x1234, maxSubKey = 0x1234, values = 0x1234, maxName = 0x1234, maxData = 0x1234;
    FILETIME written;
    fillJunk(written);
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr,
                               &values, &maxName, &maxData, nullptr, &written));
    EXPECT_EQ(2u, subKeys);
    EXPECT_EQ(14u, maxSubKey);
    EXPECT_EQ(3u, values);
    EXPECT_EQ(16u, maxName);
    // Room for the longest data as the ANSI calls hand it out ("0123456789" and its
    // terminator); a registry that keeps strings in UTF-16 may say more.
    EXPECT_GE(maxData, 11u);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    EXPECT_LE(platform::ticksOf(written), platform::ticksOf(now));
    EXPECT_GT(platform::ticksOf(written), platform::ticksOf(now) - 600 * platform::kTicksPerSecond);

    Key empty;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key.get(), "Short", 0, KEY_READ, empty.out()));
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyA(empty.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, subKeys);
    EXPECT_EQ(0u, values);
}
