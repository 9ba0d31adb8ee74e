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
    // The test's own profile folder, fresh for every test on either side.
    std::string path;
    void SetUp() override {
        PlatformTest::SetUp();
        const std::string folder = platform.profile() + "\\report";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        path = folder + "\\Surfkolibri.log";
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

// A line may carry a name from another program's file: line breaks, a forged header, escape
// sequences and other control characters in it neither start a block nor make the report
// unreadable, and the next run finds every block whole.
TEST_F(RunReportTest, NoTextInALineCanForgeABlockOrDamageTheReport) {
    const std::string forged = "### 2030-01-01 00:00:00 | cbhme | 999999 | 0";
    const std::vector<std::string> lines = {
        "Cache: 3 entries removed",
        "Profile.ini left: x\r\n" + forged + "\r\n\r\nmore",
        forged,
        "red \x1b[31mtext\x1b[0m, bell \x07, tab\t, nothing \x7f",
        std::string("C1 \xC2\x9B"
                    "2J and \xC2\x85 next"),
        "",
        std::string(5000, 'w') + "\xC3\xA4"};
    ASSERT_TRUE(AppendRunRecord(path, record(1, "b", 3, 0, lines), "restarted"));
    ASSERT_TRUE(AppendRunRecord(path, record(2, "c", 1, 0, {"Cookies: 1"}), "restarted"));

    const std::string text = contents();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 || c == '\r' || c == '\n' || c == '\t') << "control " << int(byte);
    }
    EXPECT_EQ(std::string::npos, text.find("\xC2\x9B"));

    const RunReport report = ReadRunReport(path);
    EXPECT_FALSE(report.damaged);
    ASSERT_EQ(2u, report.runs.size());
    EXPECT_EQ(3u, report.runs[0].removed);
    EXPECT_EQ(1u, report.runs[1].removed);
    // No line went missing or was lost from its run but the empty one; none became a header.
    ASSERT_EQ(lines.size() - 1, report.runs[0].lines.size());
    EXPECT_EQ("Cache: 3 entries removed", report.runs[0].lines[0]);
    EXPECT_EQ("Profile.ini left: x??" + forged + "????more", report.runs[0].lines[1]);
    EXPECT_EQ(forged, report.runs[0].lines[2]);
    EXPECT_EQ("red ?[31mtext?[0m, bell ?, tab\t, nothing ?", report.runs[0].lines[3]);
    EXPECT_EQ("C1 ??2J and ?? next", report.runs[0].lines[4]);
    EXPECT_EQ(std::string(4096, 'w'), report.runs[0].lines[5]);
    EXPECT_EQ(std::vector<std::string>{"Cookies: 1"}, report.runs[1].lines);

    // A report written before names were made printable: the forged header inside a block is
    // that block's text, not a run of its own.
    ASSERT_TRUE(WriteWholeFile(path, "### 2026-12-01 06:00:00 | b | 7 | 0\r\nCache: 7\r\n" +
                                         forged + "\r\nProfile: x\r\n\r\n"));
    const RunReport old = ReadRunReport(path);
    EXPECT_FALSE(old.damaged);
    ASSERT_EQ(1u, old.runs.size());
    EXPECT_EQ(7u, old.runs[0].removed);
    EXPECT_EQ((std::vector<std::string>{"Cache: 7", forged, "Profile: x"}), old.runs[0].lines);
}

} // namespace
