// The report of the unattended runs: blocks read back as they were written, the last 100
// kept, and a damaged or foreign file replaced by its whole blocks without stopping a run.
#include "automation/RunReport.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <string>
#include <vector>

namespace {

class RunReportTest : public testing_support::PlatformTest {
  protected:
    const std::string path = "C:\\report\\Surfkolibri.log";
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(CreateDirectoryA("C:\\report", nullptr));
    }
    static RunRecord record(WORD minute, const std::string& options, std::uint64_t removed,
                            std::uint64_t notRemoved, std::vector<std::string> lines) {
        RunRecord r;
        r.when = SYSTEMTIME{2026, 12, 0, 8, 7, minute, 3, 0};
        r.options = options;
        r.removed = removed;
        r.notRemoved = notRemoved;
        r.lines = std::move(lines);
        return r;
    }
    std::string contents() const {
        std::string text;
        EXPECT_TRUE(ReadWholeFile(path, text));
        return text;
    }
};

TEST_F(RunReportTest, RunsAreAppendedReadBackAndOnlyTheLastHundredKept) {
    // A line in the user's language arrives as UTF-8.
    const std::string umlaut = "Verlauf: 3 Eintr\xC3\xA4ge entfernt";
    ASSERT_TRUE(AppendRunRecord(path, record(49, "cbhme", 412, 4, {"Cache: 4 not removed", umlaut}),
                                "restarted"));
    EXPECT_EQ("### 2026-12-08 07:49:03 | cbhme | 412 | 4\r\nCache: 4 not removed\r\n" + umlaut +
                  "\r\n\r\n",
              contents());
    for (WORD minute = 0; minute < 105; ++minute)
        ASSERT_TRUE(AppendRunRecord(path, record(minute % 60, "c", minute, 0, {"x"}), "restarted"));
    const RunReport report = ReadRunReport(path);
    EXPECT_FALSE(report.damaged);
    ASSERT_EQ(kReportedRuns, report.runs.size());
    // The oldest went: the first kept is the sixth of the 105.
    EXPECT_EQ(5u, report.runs.front().removed);
    EXPECT_EQ(104u, report.runs.back().removed);
    EXPECT_EQ(std::vector<std::string>{"x"}, report.runs.back().lines);
    // Nothing is left beside it from the writing.
    EXPECT_FALSE(FileExistsA(path + ".new"));
    EXPECT_FALSE(DirectoryExistsA(path + ".lock"));
}

TEST_F(RunReportTest, ADamagedReportKeepsItsWholeBlocksAndTheNextRunSaysItWasRestarted) {
    const std::string whole = "### 2026-12-01 06:00:00 | c | 7 | 0\r\nCookies: 7\r\n\r\n";
    const struct {
        const char* what;
        std::string text;
        std::size_t kept;
    } cases[] = {
        {"binary junk before a block", std::string("\x00\x01\xFF junk\r\n", 10) + whole, 1},
        {"a line of 1 MB in a block",
         whole + "### 2026-12-02 06:00:00 | b | 1 | 0\r\n" + std::string(1 << 20, 'a') + "\r\n\r\n",
         1},
        {"text that is no UTF-8",
         whole + "### 2026-12-02 06:00:00 | b | 1 | 0\r\nCache \xE4\r\n\r\n", 1},
        {"a block cut off by a crash", whole + "### 2026-12-02 06:00:00 | b | 1 | 0\r\nCache", 1},
        {"a header that is no date", "### yesterday | c | 1 | 0\r\nx\r\n\r\n" + whole, 1},
        {"a file too big to be ours", whole + std::string(5 << 20, '\n'), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(path, c.text));
        EXPECT_TRUE(ReadRunReport(path).damaged);
        ASSERT_TRUE(AppendRunRecord(path, record(10, "h", 2, 0, {"History: 2"}), "restarted"));
        const RunReport report = ReadRunReport(path);
        EXPECT_FALSE(report.damaged);
        ASSERT_EQ(c.kept + 1, report.runs.size());
        if (c.kept) {
            EXPECT_EQ(std::vector<std::string>{"Cookies: 7"}, report.runs.front().lines);
        }
        EXPECT_EQ((std::vector<std::string>{"History: 2", "restarted"}), report.runs.back().lines);
    }
    // A folder in the report's place: the run cannot write, and says so by its result alone.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(AppendRunRecord(path, record(11, "h", 1, 0, {}), "restarted"));
    EXPECT_FALSE(FileExistsA(path + ".new"));
}

} // namespace
