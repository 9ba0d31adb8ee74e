// Share modes and locks between processes on one root: another process's open without
// sharing keeps this one out until that process lets go, however it ends.
#include "conformance.h"
#include "files_support.h"
#include "platform/root.h"
#include "support/child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

using namespace conformance;
using files_test::FilesTest;
using testing_support::readHostFile;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE openFile(const std::string& path, DWORD access, DWORD share) {
    junkLastError();
    return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// `skplatform hold` on the root, read until it says it holds the file; killed when it goes.
class Holder {
  public:
    Holder(const std::string& root, const std::string& path) {
        int out[2];
        if (::pipe(out) != 0) return;
        platform::closeRoot();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            ::setenv("SURFKOLIBRI_PLATFORM", root.c_str(), 1);
            const std::string tool = std::string(SURFKOLIBRI_BUILD_DIR) + "/skplatform";
            ::execl(tool.c_str(), tool.c_str(), "hold", path.c_str(), "--seconds", "600",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            said_ += c;
        ::close(out[0]);
    }
    ~Holder() { kill(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    const std::string& said() const { return said_; }
    // Ends the holder as a crash would: no handle is closed.
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    std::string said_;
};

} // namespace

TEST_F(FilesTest, AnotherProcessHoldingAFileKeepsItUntilItEnds) {
    const std::string lock = at("parent.lock");
    ASSERT_TRUE(WriteWholeFile(lock, "pid"));
    const std::string data = at("places.sqlite");
    ASSERT_TRUE(WriteWholeFile(data, "rows"));
    {
        Holder holder(platform.root(), lock);
        ASSERT_EQ("holding " + lock, holder.said());
        for (DWORD access : {DWORD{GENERIC_READ}, DWORD{GENERIC_WRITE}, DWORD{DELETE}}) {
            EXPECT_EQ(INVALID_HANDLE_VALUE, openFile(lock, access, kShareAll));
            EXPECT_EQ(ERROR_SHARING_VIOLATION, GetLastError());
        }
        // Its times and attributes can still be read, and other files are free.
        const HANDLE attributes = openFile(lock, FILE_READ_ATTRIBUTES, kShareAll);
        EXPECT_NE(INVALID_HANDLE_VALUE, attributes);
        CloseHandle(attributes);
        const HANDLE other = openFile(data, GENERIC_READ | GENERIC_WRITE, 0);
        EXPECT_NE(INVALID_HANDLE_VALUE, other);
        CloseHandle(other);
        // Ended without closing anything: the file is free all the same.
        holder.kill();
        const HANDLE free = openFile(lock, GENERIC_READ | GENERIC_WRITE, 0);
        EXPECT_NE(INVALID_HANDLE_VALUE, free);
        CloseHandle(free);
    }
    EXPECT_EQ("pid", readHostFile(platform.hostPath(lock)));

    // The other way round: this process holds the file, the tool cannot.
    const HANDLE mine = openFile(lock, GENERIC_READ, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, mine);
    Holder refused(platform.root(), lock);
    EXPECT_EQ("", refused.said());
    CloseHandle(mine);
}

TEST_F(FilesTest, ByteRangeLocksReachAcrossProcesses) {
    const std::string file = at("shared.db");
    ASSERT_TRUE(WriteWholeFile(file, "db"));
    const HANDLE h =
        openFile(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    OVERLAPPED reserved{};
    reserved.Offset = 0x40000001;
    ASSERT_TRUE(
        LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &reserved));
    const std::string root = platform.root();
    const int child = testing_support::RunInChildProcess([&] {
        platform::useRoot(platform::HostPath(root));
        const HANDLE other =
            CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (other == INVALID_HANDLE_VALUE) return 1;
        OVERLAPPED o{};
        o.Offset = 0x40000001;
        if (LockFileEx(other, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o)) return 2;
        if (GetLastError() != ERROR_LOCK_VIOLATION) return 3;
        o.Offset = 0x40000000;
        if (!LockFileEx(other, LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &o))
            return 4;
        return 0;
    });
    EXPECT_EQ(0, child);
    // The child's lock went with it.
    OVERLAPPED pending{};
    pending.Offset = 0x40000000;
    EXPECT_TRUE(
        LockFileEx(h, LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &pending));
    CloseHandle(h);
}
