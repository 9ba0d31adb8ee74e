// The other browsers' cookie files cleaned around the keep-list: the Netscape cookies.txt
// rewritten line by line with the kept sites' lines byte for byte, Opera's binary file kept
// whole or deleted whole, and a file that cannot be written left as it was.
#include "cache/KeepCookies.h"
#include "otherbrowsers/KeptCookieFiles.h"
#include "platform/win32.h"
#include "support/platform_fixture.h"

#include <vector>

namespace {

// A string literal with the NUL bytes inside it.
template <std::size_t N> std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class KeptCookieFilesTest : public testing_support::PlatformTest {
  protected:
    const std::string folder = platform.profile() + "\\AppData\\Roaming\\Mozilla\\Profiles\\";
    const std::string profile = folder + "default\\";
    const std::string cookies = profile + "cookies.txt";
    const std::string opera = profile + "cookies4.dat";

    void SetUp() override {
        for (const std::string& f :
             {platform.profile() + "\\AppData", platform.profile() + "\\AppData\\Roaming",
              platform.profile() + "\\AppData\\Roaming\\Mozilla", folder, profile})
            CreateDirectoryA(f.c_str(), nullptr);
    }
    static std::string contents(const std::string& path) {
        std::string data;
        EXPECT_TRUE(ReadWholeFile(path, data)) << path;
        return data;
    }
    // The names in the profile folder: no file of the cleaning's own is left behind.
    std::vector<std::string> namesInProfile() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        UniqueFindHandle find(FindFirstFileA((profile + "*").c_str(), &found));
        if (!find.valid()) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(find.get(), &found));
        return names;
    }
    static TKeepCookies keeping(std::initializer_list<const char*> sites) {
        TKeepCookies keep;
        for (const char* site : sites)
            EXPECT_EQ(ERROR_SUCCESS, keep.Add(site)) << site;
        return keep;
    }
};

// The lines of a cookies.txt as the browsers and other hands leave them: CRLF and LF ends, a
// header, HttpOnly cookies, a very long line, NUL bytes and bytes that are no UTF-8, lines too
// short to be a cookie, a host no site can have, and a last line without its end.
struct Line {
    std::string text;
    bool stays;
    bool keptCookie;
};
const std::vector<Line>& nastyLines() {
    static const std::vector<Line> lines{
        {"# Netscape HTTP Cookie File\r\n", true, false},
        {"# This is a generated file!  Do not edit.\n", true, false},
        {"\r\n", true, false},
        {".example.com\tTRUE\t/\tFALSE\t1893456000\tsid\tabc\r\n", true, true},
        {"www.tracker.net\tFALSE\t/\tFALSE\t1893456000\tid\t1\n", false, false},
        {"#HttpOnly_.login.example.com\tTRUE\t/\tTRUE\t0\ttok\tx\r\n", true, true},
        {"#HttpOnly_.ads.tracker.net\tTRUE\t/\tTRUE\t0\tt\ty\n", false, false},
        {"#HttpOnly_short\tline\n", true, false},
        {"short\tline\twith\tfive\tfields\n", true, false},
        {"badexample.com\tFALSE\t/\tFALSE\t0\tn\tv\r\n", false, false},
        {"WWW.EXAMPLE.COM\tFALSE\t/\tFALSE\t0\tlong\t" + std::string(300000, 'v') + "\n", true,
         true},
        {bytes("www.example.com\tFALSE\t/\tFALSE\t0\tbin\ta\0b\xFF\xFE\x80\n"), true, true},
        {bytes("tracker.net\tFALSE\t/\tFALSE\t0\tbin\t\0\xC3\x28\r\n"), false, false},
        {"host with blanks\tFALSE\t/\tFALSE\t0\tn\tv\n", true, false},
        {"\xFF\xFE\tFALSE\t/\tFALSE\t0\tn\tv\n", true, false},
        {"other.org\tFALSE\t/\tFALSE\t0\tn\t" + std::string(200000, 'w') + "\r\n", false, false},
        {".example.com\tTRUE\t/\tFALSE\t0\tlast\tno-line-end", true, true},
    };
    return lines;
}

} // namespace

// Kept sites' lines, comments and lines that are no cookie stay byte for byte in their
// order; the other sites' lines go. A preview counts the same and changes nothing; a second
// cleaning finds nothing to remove and leaves the file alone.
TEST_F(KeptCookieFilesTest, CookiesTxtKeepsTheKeptSitesLinesByteForByte) {
    std::string original;
    std::string expected;
    std::uint64_t removedBytes = 0;
    for (const Line& line : nastyLines()) {
        original += line.text;
        if (line.stays)
            expected += line.text;
        else
            removedBytes += line.text.size();
    }
    ASSERT_EQ(std::string::npos, original.find("\n\n")); // every line counts as meant
    ASSERT_TRUE(WriteWholeFile(cookies, original));
    const TKeepCookies keep = keeping({"example.com"});

    const CleaningResult preview = CleanCookiesTxt(cookies, keep, CleaningMode::Preview);
    EXPECT_EQ(5u, preview.removed);
    EXPECT_EQ(removedBytes, preview.removedBytes);
    EXPECT_EQ(5u, preview.kept);
    EXPECT_EQ(0u, preview.notRemoved);
    EXPECT_EQ(original, contents(cookies));

    const CleaningResult cleaned = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    EXPECT_EQ(5u, cleaned.removed);
    EXPECT_EQ(removedBytes, cleaned.removedBytes);
    EXPECT_EQ(5u, cleaned.kept);
    EXPECT_EQ(0u, cleaned.notRemoved);
    EXPECT_TRUE(cleaned.failures.empty());
    EXPECT_EQ(expected, contents(cookies));
    EXPECT_EQ(std::vector<std::string>{"cookies.txt"}, namesInProfile());

    // Nothing left to remove: the file is not written at all, so a read-only one is no
    // failure.
    ASSERT_TRUE(SetFileAttributesA(cookies.c_str(), FILE_ATTRIBUTE_READONLY));
    const CleaningResult again = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    EXPECT_EQ(0u, again.removed);
    EXPECT_EQ(5u, again.kept);
    EXPECT_EQ(0u, again.notRemoved);
    EXPECT_EQ(expected, contents(cookies));
    SetFileAttributesA(cookies.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// With no kept site's line in it the file goes whole, short lines and all, as the cleaning
// did before there was a keep-list; a missing file is nothing to clean.
TEST_F(KeptCookieFilesTest, CookiesTxtWithNothingKeptIsDeletedWhole) {
    const std::string data = "# Netscape HTTP Cookie File\n\nwww.tracker.net\tFALSE\t/\tFALSE\t0\t"
                             "id\t1\r\nbroken line\nbadexample.com\tFALSE\t/\tFALSE\t0\tn\tv";
    ASSERT_TRUE(WriteWholeFile(cookies, data));
    const TKeepCookies keep = keeping({"example.com"});
    const CleaningResult preview = CleanCookiesTxt(cookies, keep, CleaningMode::Preview);
    EXPECT_EQ(3u, preview.removed);
    EXPECT_EQ(data.size(), preview.removedBytes);
    EXPECT_TRUE(FileExistsA(cookies));

    const CleaningResult cleaned = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    EXPECT_EQ(3u, cleaned.removed);
    EXPECT_EQ(0u, cleaned.kept);
    EXPECT_FALSE(FileExistsA(cookies));
    EXPECT_TRUE(namesInProfile().empty());

    const CleaningResult missing = CleanCookiesTxt(cookies, keep, CleaningMode::Remove);
    EXPECT_EQ(0u, missing.removed + missing.kept + missing.notRemoved);

    // An empty keep-list deletes any file of that name, whatever it holds.
    ASSERT_TRUE(WriteWholeFile(cookies, "x"));
    EXPECT_EQ(1u, CleanCookiesTxt(cookies, TKeepCookies(), CleaningMode::Remove).removed);
    EXPECT_FALSE(FileExistsA(cookies));
}

// A file that cannot be replaced or deleted stays exactly as it was, and the result says
// why; nothing of the cleaning's own is left beside it.
TEST_F(KeptCookieFilesTest, CookiesTxtThatCannotBeWrittenStaysWhole) {
    const std::string data = ".example.com\tTRUE\t/\tFALSE\t0\ta\tb\n"
                             "www.tracker.net\tFALSE\t/\tFALSE\t0\tid\t1\n";
    ASSERT_TRUE(WriteWholeFile(cookies, data));
    ASSERT_TRUE(SetFileAttributesA(cookies.c_str(), FILE_ATTRIBUTE_READONLY));
    const CleaningResult rewrite =
        CleanCookiesTxt(cookies, keeping({"example.com"}), CleaningMode::Remove);
    EXPECT_EQ(0u, rewrite.removed);
    EXPECT_EQ(1u, rewrite.kept);
    EXPECT_EQ(1u, rewrite.notRemoved);
    ASSERT_EQ(1u, rewrite.failures.size());
    EXPECT_EQ(cookies, rewrite.failures[0].name);
    EXPECT_EQ(ERROR_ACCESS_DENIED, rewrite.failures[0].error);
    EXPECT_EQ(StayReason::AccessDenied, rewrite.failures[0].reason);
    EXPECT_EQ(data, contents(cookies));
    EXPECT_EQ(std::vector<std::string>{"cookies.txt"}, namesInProfile());

    const CleaningResult whole = CleanCookiesTxt(cookies, TKeepCookies(), CleaningMode::Remove);
    EXPECT_EQ(0u, whole.removed);
    EXPECT_EQ(1u, whole.accessDenied);
    EXPECT_EQ(data, contents(cookies));
    SetFileAttributesA(cookies.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Opera's file is not taken apart: it stays whole while it names a kept site (as the whole
// name or one record a part, in any case) and counts as one kept item; otherwise it goes.
TEST_F(KeptCookieFilesTest, OperaCookiesStayWholeWhileTheyNameAKeptSite) {
    const std::string parts = bytes("\x00\x00\x10\x00\x00\x00\x20\x00\x00\x02\x00\x01"
                                    "\x1E\x00\x03"
                                    "COM\x1E\x00\x07"
                                    "EXAMPLE\x1E\x00\x05login");
    const std::string others = bytes("\x00\x00\x10\x00\x1E\x00\x03net\x1E\x00\x07tracker");
    const TKeepCookies keep = keeping({"login.example.com"});

    ASSERT_TRUE(WriteWholeFile(opera, parts));
    const CleaningResult kept = CleanCookieFile(opera, keep, CleaningMode::Remove);
    EXPECT_EQ(0u, kept.removed);
    EXPECT_EQ(1u, kept.kept);
    EXPECT_EQ(parts, contents(opera));

    ASSERT_TRUE(WriteWholeFile(opera, others + "login.example.com"));
    EXPECT_EQ(1u, CleanOperaCookies(opera, keep, CleaningMode::Remove).kept);
    EXPECT_TRUE(FileExistsA(opera));

    ASSERT_TRUE(WriteWholeFile(opera, others));
    const CleaningResult preview = CleanOperaCookies(opera, keep, CleaningMode::Preview);
    EXPECT_EQ(1u, preview.removed);
    EXPECT_EQ(others.size(), preview.removedBytes);
    EXPECT_EQ(others, contents(opera));
    const CleaningResult removed = CleanCookieFile(opera, keep, CleaningMode::Remove);
    EXPECT_EQ(1u, removed.removed);
    EXPECT_EQ(0u, removed.kept);
    EXPECT_FALSE(FileExistsA(opera));
}
