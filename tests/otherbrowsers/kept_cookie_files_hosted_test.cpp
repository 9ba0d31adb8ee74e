// A cookies.txt rewritten on a disk that fills up: the host's file size limit stands in for a
// full disk, so the new file cannot be written whole.
#include "cache/KeepCookies.h"
#include "otherbrowsers/KeptCookieFiles.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <csignal>
#include <sys/resource.h>

namespace {

// While it exists no file of this process grows beyond `bytes`: a write past that fails as
// on a full disk (the signal the host would send instead is ignored meanwhile).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

  private:
    rlimit saved_{};
    void (*previous_)(int) = SIG_DFL;
    bool active_ = false;
};

class KeptCookieFilesHostedTest : public testing_support::PlatformTest {};

} // namespace

TEST_F(KeptCookieFilesHostedTest, AFullDiskLeavesCookiesTxtWhole) {
    const std::string profile = platform.profile() + "\\Documents\\";
    const std::string cookies = profile + "cookies.txt";
    CreateDirectoryA(profile.c_str(), nullptr);
    // Four megabytes of kept cookies and one line of another site.
    std::string data = "# Netscape HTTP Cookie File\n";
    for (int i = 0; i < 4; ++i)
        data += "www.example.com\tFALSE\t/\tFALSE\t0\tc" + std::to_string(i) + "\t" +
                std::string(1 << 20, 'k') + "\n";
    data += "tracker.net\tFALSE\t/\tFALSE\t0\tid\t1\n";
    ASSERT_TRUE(WriteWholeFile(cookies, data));
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("example.com"));

    CleaningResult result;
    {
        const FileSizeLimit full(2 << 20);
        ASSERT_TRUE(full.active());
        result = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    }
    EXPECT_EQ(0u, result.removed);
    EXPECT_EQ(4u, result.kept);
    EXPECT_EQ(1u, result.notRemoved);
    ASSERT_EQ(1u, result.failures.size());
    EXPECT_EQ(ERROR_WRITE_FAULT, result.failures[0].error);
    std::string after;
    ASSERT_TRUE(ReadWholeFile(cookies, after));
    EXPECT_TRUE(after == data) << "the file changed: " << after.size() << " bytes";
    // The part that was written went again.
    WIN32_FIND_DATAA found;
    UniqueFindHandle find(FindFirstFileA((profile + "*").c_str(), &found));
    ASSERT_TRUE(find.valid());
    int files = 0;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") ++files;
    } while (FindNextFileA(find.get(), &found));
    EXPECT_EQ(1, files);

    // With room again the same cleaning succeeds.
    const CleaningResult retry = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    EXPECT_EQ(1u, retry.removed);
    ASSERT_TRUE(ReadWholeFile(cookies, after));
    EXPECT_EQ(data.size() - std::string("tracker.net\tFALSE\t/\tFALSE\t0\tid\t1\n").size(),
              after.size());
}
