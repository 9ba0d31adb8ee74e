// Files opened for their contents: reading and writing through the file pointer and at given
// offsets, the size and the end of a file, byte-range locks, and the share modes that keep a
// second handle out. Two handles of one process meet the same sharing rules as two processes.
#include "conformance.h"
#include "files_support.h"
#include "support/wine.h"

using namespace conformance;
using files_test::FilesTest;
using testing_support::readHostFile;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openFile(const std::string& path, DWORD access, DWORD share,
                DWORD disposition = OPEN_EXISTING) {
    junkLastError();
    return CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

OVERLAPPED offsetAt(std::uint64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

} // namespace

TEST_F(FilesTest, ContentsAreWrittenReadAndSizedThroughTheHandle) {
    const std::string file = at("contents.bin");
    HANDLE h = openFile(file, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());

    DWORD done = 0xA5A5;
    ASSERT_TRUE(WriteFile(h, "hello world", 11, &done, nullptr));
    EXPECT_EQ(11u, done);
    // At an offset past the end: the gap reads as zeros.
    OVERLAPPED pastEnd = offsetAt(16);
    ASSERT_TRUE(WriteFile(h, "tail", 4, &done, &pastEnd));
    LARGE_INTEGER size;
    fillJunk(size);
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(20, size.QuadPart);
    // The file pointer stands past what was written last.
    LARGE_INTEGER zero{};
    LARGE_INTEGER pointer;
    fillJunk(pointer);
    ASSERT_TRUE(SetFilePointerEx(h, zero, &pointer, FILE_CURRENT));
    EXPECT_EQ(20, pointer.QuadPart);

    LARGE_INTEGER six{};
    six.QuadPart = 6;
    ASSERT_TRUE(SetFilePointerEx(h, six, nullptr, FILE_BEGIN));
    char buffer[32];
    fillJunk(buffer);
    ASSERT_TRUE(ReadFile(h, buffer, 5, &done, nullptr));
    EXPECT_EQ(std::string("world"), std::string(buffer, done));
    // Through the end: what there is; at the end: nothing, and success.
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(std::string("\0\0\0\0\0tail", 9), std::string(buffer, done));
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(0u, done);

    // Before the start: refused, the pointer stays.
    LARGE_INTEGER back{};
    back.QuadPart = -100;
    junkLastError();
    EXPECT_FALSE(SetFilePointerEx(h, back, nullptr, FILE_CURRENT));
    EXPECT_EQ(ERROR_NEGATIVE_SEEK, GetLastError());
    // Shortened at the pointer.
    LARGE_INTEGER five{};
    five.QuadPart = 5;
    ASSERT_TRUE(SetFilePointerEx(h, five, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    ASSERT_TRUE(FlushFileBuffers(h));
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(5, size.QuadPart);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("hello", readHostFile(platform.hostPath(file)));

    // A closed handle is no handle.
    junkLastError();
    EXPECT_FALSE(ReadFile(h, buffer, 1, &done, nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());

    // A reading handle does not write; a writing one does not read.
    h = openFile(file, GENERIC_READ, kShareAll);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    junkLastError();
    EXPECT_FALSE(WriteFile(h, "x", 1, &done, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    junkLastError();
    EXPECT_FALSE(SetEndOfFile(h));
    // Wine: answers ERROR_INVALID_PARAMETER here (the host's truncate of a read-only descriptor).
    if (!testing_support::runningOnWine()) {
        EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    }
    ASSERT_TRUE(CloseHandle(h));
    h = openFile(file, GENERIC_WRITE, kShareAll);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    junkLastError();
    EXPECT_FALSE(ReadFile(h, buffer, 1, &done, nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("hello", readHostFile(platform.hostPath(file)));
}

TEST_F(FilesTest, DispositionsCreateOpenAndTruncate) {
    const std::string file = at("made.txt");
    junkLastError();
    EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(file, GENERIC_READ, kShareAll, OPEN_EXISTING));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              openFile(at("no folder\\made.txt"), GENERIC_WRITE, kShareAll, CREATE_NEW));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());

    HANDLE h = openFile(file, GENERIC_WRITE, kShareAll, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(h, "0123456789", 10, &done, nullptr));
    ASSERT_TRUE(CloseHandle(h));

    EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(file, GENERIC_WRITE, kShareAll, CREATE_NEW));
    EXPECT_EQ(ERROR_FILE_EXISTS, GetLastError());
    h = openFile(file, GENERIC_WRITE, kShareAll, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("0123456789", readHostFile(platform.hostPath(file)));

    h = openFile(file, GENERIC_WRITE, kShareAll, TRUNCATE_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("", readHostFile(platform.hostPath(file)));

    ASSERT_TRUE(WriteWholeFile(file, "abc"));
    h = openFile(file, GENERIC_WRITE, kShareAll, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(ERROR_ALREADY_EXISTS, GetLastError());
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("", readHostFile(platform.hostPath(file)));

    // A read-only file is read, never written. Wine: a process of the host's superuser opens it
    // for writing all the same (Wine keeps the mark as the host's permissions).
    ASSERT_TRUE(WriteWholeFile(file, "guarded"));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    if (!testing_support::runningOnWine()) {
        EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(file, GENERIC_READ | GENERIC_WRITE, kShareAll));
        EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    }
    h = openFile(file, GENERIC_READ, kShareAll);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ASSERT_TRUE(CloseHandle(h));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ("guarded", readHostFile(platform.hostPath(file)));

    // A folder is no file to read.
    ASSERT_TRUE(CreateDirectoryA(at("folder").c_str(), nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(at("folder"), GENERIC_READ, kShareAll));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
}

TEST_F(FilesTest, ShareModesKeepASecondHandleOut) {
    const std::string file = at("lock");
    ASSERT_TRUE(WriteWholeFile(file, "held"));
    struct Case {
        DWORD firstAccess, firstShare, secondAccess, secondShare;
        bool opens;
    };
    const Case cases[] = {
        // Held without sharing (a running browser's lock file): nothing else opens it.
        {GENERIC_READ | GENERIC_WRITE, 0, GENERIC_READ, kShareAll, false},
        {GENERIC_READ | GENERIC_WRITE, 0, GENERIC_WRITE, kShareAll, false},
        {GENERIC_READ | GENERIC_WRITE, 0, DELETE, kShareAll, false},
        // Shared for reading: readers come in, writers do not.
        {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
        {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, kShareAll, false},
        // The second's own share mode counts against what the first holds.
        {GENERIC_WRITE, kShareAll, GENERIC_READ, FILE_SHARE_READ, false},
        {GENERIC_READ, kShareAll, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, true},
        {GENERIC_READ, kShareAll, GENERIC_READ, 0, false},
        // What databases do: both read and write, sharing both.
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
         GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        // Times and attributes only take no part in sharing.
        {GENERIC_READ | GENERIC_WRITE, 0, FILE_READ_ATTRIBUTES, 0, true},
        {FILE_READ_ATTRIBUTES, 0, GENERIC_READ | GENERIC_WRITE, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.firstAccess << "/" << c.firstShare
                                        << " then " << c.secondAccess << "/" << c.secondShare);
        const HANDLE first = openFile(file, c.firstAccess, c.firstShare);
        ASSERT_NE(INVALID_HANDLE_VALUE, first);
        const HANDLE second = openFile(file, c.secondAccess, c.secondShare);
        if (c.opens) {
            EXPECT_NE(INVALID_HANDLE_VALUE, second);
            if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
        } else {
            EXPECT_EQ(INVALID_HANDLE_VALUE, second);
            EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
        }
        ASSERT_TRUE(CloseHandle(first));
        // Once closed, the file is free again.
        const HANDLE again = openFile(file, GENERIC_READ | GENERIC_WRITE, 0);
        EXPECT_NE(INVALID_HANDLE_VALUE, again);
        if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    }
    // A refused truncation leaves the contents alone.
    const HANDLE holder = openFile(file, GENERIC_READ, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(file, GENERIC_WRITE, kShareAll, CREATE_ALWAYS));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
    CloseHandle(holder);
    EXPECT_EQ("held", readHostFile(platform.hostPath(file)));
}

// Deleting a file opens it for deletion: a handle whose share mode leaves deletion out keeps
// the file and its contents (a browser holding its cache file), one that shares it does not.
TEST_F(FilesTest, DeletionMeetsTheShareModeOfAHandleHoldingTheFile) {
    const std::string file = at("held.bin");
    struct Case {
        DWORD access, share;
        bool deletes;
    };
    const Case cases[] = {
        {GENERIC_READ | GENERIC_WRITE, 0, false},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {GENERIC_WRITE, FILE_SHARE_READ, false},
        {GENERIC_READ, kShareAll, true},
        {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, true},
        // Times and attributes only take no part in sharing.
        {FILE_READ_ATTRIBUTES, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.access << "/" << c.share);
        ASSERT_TRUE(WriteWholeFile(file, "cached"));
        const HANDLE holder = openFile(file, c.access, c.share);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        junkLastError();
        const BOOL deleted = DeleteFileA(file.c_str());
        if (c.deletes) {
            EXPECT_TRUE(deleted);
        } else {
            EXPECT_FALSE(deleted);
            EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
            EXPECT_EQ("cached", readHostFile(platform.hostPath(file)));
        }
        ASSERT_TRUE(CloseHandle(holder));
        // Once the holder lets go, the file goes (or is gone already).
        if (!c.deletes) {
            EXPECT_TRUE(DeleteFileA(file.c_str()));
        }
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    }
}

TEST_F(FilesTest, ByteRangeLocksExcludeOtherHandles) {
    const std::string file = at("locked.db");
    ASSERT_TRUE(WriteWholeFile(file, std::string(100, 'd')));
    const DWORD rw = GENERIC_READ | GENERIC_WRITE;
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE a = openFile(file, rw, share);
    const HANDLE b = openFile(file, rw, share);
    ASSERT_NE(INVALID_HANDLE_VALUE, a);
    ASSERT_NE(INVALID_HANDLE_VALUE, b);
    const DWORD now = LOCKFILE_FAIL_IMMEDIATELY;
    const DWORD exclusive = LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK;

    // Shared locks overlap each other; an exclusive one overlaps none, past the end too.
    OVERLAPPED shared = offsetAt(0x40000002);
    ASSERT_TRUE(LockFileEx(a, now, 0, 510, 0, &shared));
    ASSERT_TRUE(LockFileEx(b, now, 0, 510, 0, &shared));
    OVERLAPPED pending = offsetAt(0x40000000);
    ASSERT_TRUE(LockFileEx(a, exclusive, 0, 1, 0, &pending));
    junkLastError();
    EXPECT_FALSE(LockFileEx(b, exclusive, 0, 1, 0, &pending));
    EXPECT_EQ(ERROR_LOCK_VIOLATION, GetLastError());
    junkLastError();
    EXPECT_FALSE(LockFileEx(b, now, 0, 1, 0, &pending));
    EXPECT_EQ(ERROR_LOCK_VIOLATION, GetLastError());
    // While b shares the range, a cannot have it alone, even after letting its own share go.
    ASSERT_TRUE(UnlockFileEx(a, 0, 510, 0, &shared));
    EXPECT_FALSE(LockFileEx(a, exclusive, 0, 510, 0, &shared));
    EXPECT_EQ(ERROR_LOCK_VIOLATION, GetLastError());
    ASSERT_TRUE(UnlockFileEx(b, 0, 510, 0, &shared));
    EXPECT_TRUE(LockFileEx(a, exclusive, 0, 510, 0, &shared));

    // An unlock names exactly a range the handle locked (Wine: refuses it with
    // ERROR_LOCK_VIOLATION instead of ERROR_NOT_LOCKED).
    const DWORD notLocked =
        testing_support::runningOnWine() ? ERROR_LOCK_VIOLATION : ERROR_NOT_LOCKED;
    OVERLAPPED part = offsetAt(0x40000003);
    junkLastError();
    EXPECT_FALSE(UnlockFileEx(a, 0, 1, 0, &part));
    EXPECT_EQ(notLocked, GetLastError());
    junkLastError();
    EXPECT_FALSE(UnlockFileEx(b, 0, 1, 0, &pending));
    EXPECT_EQ(notLocked, GetLastError());

    // Closing the handle lets its locks go.
    ASSERT_TRUE(CloseHandle(a));
    EXPECT_TRUE(LockFileEx(b, exclusive, 0, 1, 0, &pending));
    EXPECT_TRUE(LockFileEx(b, exclusive, 0, 510, 0, &shared));
    ASSERT_TRUE(UnlockFileEx(b, 0, 1, 0, &pending));
    ASSERT_TRUE(CloseHandle(b));
    EXPECT_EQ(std::string(100, 'd'), readHostFile(platform.hostPath(file)));
}
