// platform.db when it is not a healthy, writable file: every call answers with a Win32 error,
// reads go on where they can, and nothing ends the process.
#include "conformance.h"
#include "platform/filetime.h"
#include "platform/root.h"
#include "platform/urlcache.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

using namespace conformance;
using testing_support::readHostFile;
using testing_support::writeHostFile;

namespace {

namespace fs = std::filesystem;

class PlatformDatabaseTest : public testing_support::PlatformTest {
  protected:
    std::string db() const { return platform.root() + "/platform.db"; }

    // A machine with a value and a cache entry, then the connection closed.
    void prepareMachine() {
        Key key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kept", 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.out(), nullptr));
        ASSERT_EQ(ERROR_SUCCESS, setString(key.get(), "Name", "value"));
        cacheFile = platform::urlcache::storeContentFile("http://kept.example/a.htm", "<p>");
        ASSERT_TRUE(CommitUrlCacheEntryA("http://kept.example/a.htm", cacheFile.c_str(),
                                         platform::fileTimeOf(0), platform::fileTimeOf(0),
                                         NORMAL_CACHE_ENTRY, nullptr, 0, "htm", nullptr));
        platform::closeRoot();
    }

    std::string readValue() {
        Key key;
        junkLastError();
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_READ, key.out()) !=
            ERROR_SUCCESS)
            return "<no key>";
        char data[64];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key.get(), "Name", nullptr, nullptr, reinterpret_cast<LPBYTE>(data),
                             &size) != ERROR_SUCCESS)
            return "<no value>";
        return data;
    }

    std::string cacheFile;
};

TEST_F(PlatformDatabaseTest, AReadOnlyDatabaseServesReadsAndRefusesWrites) {
    prepareMachine();
    ASSERT_EQ(0, ::chmod(db().c_str(), 0444));

    EXPECT_EQ("value", readValue());
    EXPECT_TRUE(platform::rootIsReadOnly());
    Key key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_ALL_ACCESS, key.out()));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED), setString(key.get(), "Name", "other"));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_ACCESS_DENIED), RegDeleteValueA(key.get(), "Name"));

    DWORD size = 0;
    junkLastError();
    EXPECT_EQ(nullptr, FindFirstUrlCacheEntryExA("", 0, 0xFFFFFFFF, 0, nullptr, &size, nullptr,
                                                 nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError()); // the walk works: an entry is there
    junkLastError();
    EXPECT_FALSE(DeleteUrlCacheEntryA("http://kept.example/a.htm"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(FileExistsA(cacheFile)); // the entry keeps its file
    EXPECT_EQ("", HostedMachineProblem());
    EXPECT_EQ("value", readValue());

    // A write-protected root serves reads as well.
    platform::closeRoot();
    ASSERT_EQ(0, ::chmod(platform.root().c_str(), 0555));
    EXPECT_EQ("value", readValue());
    ::chmod(platform.root().c_str(), 0755);
}

TEST_F(PlatformDatabaseTest, AFileThatIsNoDatabaseFailsEveryCallWithAnError) {
    prepareMachine();
    writeHostFile(db(), "this is a note, not a database");
    fs::remove(db() + "-wal");
    fs::remove(db() + "-shm");

    Key key;
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_FILE_CORRUPT),
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_READ, key.out()));
    junkLastError();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\Users"));
    EXPECT_EQ(ERROR_FILE_CORRUPT, GetLastError());
    junkLastError();
    EXPECT_FALSE(DeleteUrlCacheEntryA("http://kept.example/a.htm"));
    EXPECT_EQ(ERROR_FILE_CORRUPT, GetLastError());
    SYSTEMTIME now;
    GetSystemTime(&now); // the clock still runs
    EXPECT_GE(now.wYear, 2024);
    const std::string problem = HostedMachineProblem();
    EXPECT_NE(std::string::npos, problem.find(db())) << problem;
    EXPECT_NE(std::string::npos, problem.find("not a database")) << problem;
    EXPECT_EQ("this is a note, not a database", readHostFile(db())); // never overwritten
}

TEST_F(PlatformDatabaseTest, ATruncatedDatabaseIsNamedBeforeUse) {
    // Enough rows that the file has pages to lose.
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        const std::string url = "http://many.example/" + std::to_string(i) + ".htm";
        ASSERT_TRUE(CommitUrlCacheEntryA(url.c_str(), nullptr, platform::fileTimeOf(0),
                                         platform::fileTimeOf(0), NORMAL_CACHE_ENTRY, nullptr, 0,
                                         "htm", nullptr));
    }
    platform::closeRoot();
    const std::string whole = readHostFile(db());
    ASSERT_GT(whole.size(), 40000u);
    writeHostFile(db(), whole.substr(0, whole.size() / 2));

    const std::string problem = HostedMachineProblem();
    EXPECT_NE(std::string::npos, problem.find(db())) << problem;
    DWORD size = 0;
    // A walk meets the damage as an error code, whichever call reaches it.
    std::vector<char> buffer(4096);
    auto* info = reinterpret_cast<LPINTERNET_CACHE_ENTRY_INFOA>(buffer.data());
    HANDLE find = nullptr;
    DWORD error = ERROR_SUCCESS;
    size = static_cast<DWORD>(buffer.size());
    find = FindFirstUrlCacheEntryExA("", 0, 0xFFFFFFFF, 0, info, &size, nullptr, nullptr, nullptr);
    if (!find) error = GetLastError();
    while (find) {
        size = static_cast<DWORD>(buffer.size());
        if (!FindNextUrlCacheEntryExA(find, info, &size, nullptr, nullptr, nullptr)) {
            error = GetLastError();
            break;
        }
    }
    if (find) FindCloseUrlCache(find);
    EXPECT_EQ(ERROR_FILE_CORRUPT, error);
}

TEST_F(PlatformDatabaseTest, AnotherProcessesLongWriteNeitherBlocksOpeningNorReads) {
    prepareMachine();
    // Another writer holds the write lock for as long as this test runs.
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(db().c_str(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr));
    platform::setBusyTimeout(50);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ("value", readValue()); // opening and reading take no write lock
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
    Key key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kept", 0, KEY_ALL_ACCESS, key.out()));
    EXPECT_EQ(static_cast<LSTATUS>(ERROR_BUSY), setString(key.get(), "Name", "other"));

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(ERROR_SUCCESS, static_cast<DWORD>(setString(key.get(), "Name", "other")));
    platform::setBusyTimeout(10000);
}

} // namespace
