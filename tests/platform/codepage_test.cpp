#include "conformance.h"
#include "support/wine.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace conformance;

namespace {

// The code page's own table for the bytes 0x80..0x9F, as published with it; the five bytes it
// leaves unassigned map to the C1 controls of the same value. 0xA0..0xFF are Latin-1.
constexpr char16_t kPublishedHighRow[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t publishedWide(unsigned char byte) {
    return byte < 0xA0 ? kPublishedHighRow[byte - 0x80] : static_cast<char16_t>(byte);
}

} // namespace

TEST(CodePageTest, EveryHighByteMapsBothWays) {
    EXPECT_EQ(1252u, GetACP());
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const char byte = static_cast<char>(b);
        WCHAR wide[2] = {0xAAAA, 0xAAAA};
        junkLastError();
        ASSERT_EQ(1, MultiByteToWideChar(CP_ACP, 0, &byte, 1, wide, 2)) << std::hex << b;
        EXPECT_EQ(0xAAAAu, static_cast<unsigned>(wide[1]));
        EXPECT_EQ(publishedWide(static_cast<unsigned char>(b)), static_cast<char16_t>(wide[0]))
            << std::hex << b;

        char back[2] = {kJunkByte, kJunkByte};
        BOOL usedDefault = 77;
        ASSERT_EQ(1, WideCharToMultiByte(CP_ACP, 0, wide, 1, back, 2, nullptr, &usedDefault));
        EXPECT_EQ(byte, back[0]) << std::hex << b;
        EXPECT_EQ(kJunkByte, back[1]);
        EXPECT_FALSE(usedDefault);
    }
    // The two ends of the table that matter most.
    const char euro = '\x80';
    WCHAR wide = 0;
    MultiByteToWideChar(CP_ACP, 0, &euro, 1, &wide, 1);
    EXPECT_EQ(0x20ACu, static_cast<unsigned>(wide));
    const char yDiaeresis = '\x9F';
    MultiByteToWideChar(CP_ACP, 0, &yDiaeresis, 1, &wide, 1);
    EXPECT_EQ(0x0178u, static_cast<unsigned>(wide));
}

TEST(CodePageTest, ConversionsWalkTheSizeHandshake) {
    const char* text = "Gr\xFC\xDF"
                       "e \x80";
    // A length of -1 counts the terminator.
    EXPECT_EQ(8, MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0));
    EXPECT_EQ(7, MultiByteToWideChar(CP_ACP, 0, text, 7, nullptr, 0));
    WCHAR wide[16];
    std::fill(std::begin(wide), std::end(wide), 0xAAAA);
    junkLastError();
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 7));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    ASSERT_EQ(8, MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 8));
    EXPECT_EQ(u"Gr\u00FC\u00DFe \u20AC", u16(wide));
    EXPECT_EQ(0xAAAAu, static_cast<unsigned>(wide[8]));

    EXPECT_EQ(8, WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr));
    char narrow[16];
    std::memset(narrow, kJunkByte, sizeof narrow);
    junkLastError();
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 7, nullptr, nullptr));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
    ASSERT_EQ(8, WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 8, nullptr, nullptr));
    EXPECT_STREQ(text, narrow);
    EXPECT_EQ(kJunkByte, narrow[8]);

    junkLastError();
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, nullptr, -1, wide, 8));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, text, 0, wide, 8));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(CodePageTest, CharactersOutsideTheCodePageBecomeTheDefault) {
    const WideString wide = conformance::wide(u"a\u4E2Db\U0001F600c");
    char narrow[16];
    std::memset(narrow, kJunkByte, sizeof narrow);
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow,
                                      sizeof narrow, nullptr, &usedDefault);
    // The code page maps each UTF-16 unit: a character of two units leaves two defaults.
    EXPECT_EQ("a?b??c", std::string(narrow, n > 0 ? n : 0));
    EXPECT_TRUE(usedDefault);

    const int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow,
                                      sizeof narrow, "#", &usedDefault);
    EXPECT_EQ("a#b##c", std::string(narrow, m > 0 ? m : 0));
    EXPECT_EQ("a?b??c", WideToAnsi(wide));
    EXPECT_EQ(u"\u00C4\u20AC", u16(AnsiToWide("\xC4\x80")));
}

TEST(CodePageTest, Utf8ConvertsEveryCharacterNotOnlyTheCodePage) {
    const char* utf8 = "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA4\xE2\x82\xAC \xF0\x9F\x98\x80";
    WCHAR wide[16];
    std::fill(std::begin(wide), std::end(wide), 0xAAAA);
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 16);
    ASSERT_EQ(9, n);
    EXPECT_EQ(u"\u65E5\u672C \u00E4\u20AC \U0001F600", u16(wide));

    char back[32];
    std::memset(back, kJunkByte, sizeof back);
    EXPECT_EQ(static_cast<int>(std::strlen(utf8) + 1),
              WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr));
    ASSERT_EQ(static_cast<int>(std::strlen(utf8) + 1),
              WideCharToMultiByte(CP_UTF8, 0, wide, -1, back, sizeof back, nullptr, nullptr));
    EXPECT_STREQ(utf8, back);
}

TEST(CodePageTest, UpperCaseCoversTheAccentedLettersButNotSharpSOrMicro) {
    char text[] = "\xE4\xF6\xFC\xE9\xFF\x9A\x9C\x9E \xDF\xB5 abc \xF7";
    EXPECT_EQ(text, CharUpperA(text));
    EXPECT_STREQ("\xC4\xD6\xDC\xC9\x9F\x8A\x8C\x8E \xDF\xB5 ABC \xF7", text);
    EXPECT_EQ("\xC4\xD6\xDC\xC9\x9F\x8A\x8C\x8E \xDF\xB5 ABC \xF7",
              AnsiUpperCase("\xE4\xF6\xFC\xE9\xFF\x9A\x9C\x9E \xDF\xB5 abc \xF7"));
    CharLowerA(text);
    EXPECT_STREQ("\xE4\xF6\xFC\xE9\xFF\x9A\x9C\x9E \xDF\xB5 abc \xF7", text);
    EXPECT_EQ("\xE4 \xD7", AnsiLowerCase("\xC4 \xD7"));

    char buffer[] = "ab\0cd";
    EXPECT_EQ(5u, CharUpperBuffA(buffer, 5));
    EXPECT_EQ(0, std::memcmp("AB\0CD", buffer, 5));
}

TEST(CodePageTest, CaseInsensitiveComparisonTreatsAccentedLettersAlike) {
    EXPECT_EQ(0, lstrcmpiA("stra\xDF"
                           "e",
                           "STRA\xDF"
                           "E"));
    EXPECT_EQ(0, lstrcmpiA("\xE4pfel", "\xC4PFEL"));
    EXPECT_EQ(0, lstrcmpiA("", ""));
    EXPECT_LT(lstrcmpiA("a", "B"), 0);
    EXPECT_GT(lstrcmpiA("abc", "AB"), 0);
    EXPECT_NE(0, lstrcmpA("abc", "ABC"));
    EXPECT_EQ(0, lstrcmpA("abc", "abc"));
    EXPECT_TRUE(AnsiSameText("\xE9t\xE9", "\xC9T\xC9"));
    EXPECT_FALSE(AnsiSameText("stra\xDF"
                              "e",
                              "strasse"));
}

TEST(CodePageTest, MalformedInputBecomesReplacementCharacters) {
    // One replacement for each ill-formed sequence: a stray continuation byte, a sequence cut
    // short (its lead and the bytes that fitted count once), an overlong form (C0 starts no
    // sequence), a sequence cut off by the end.
    const char bad[] = "a\x80"
                       "b\xE2\x82"
                       "c\xC0\xAF"
                       "e\xF0\x9F\x98";
    WCHAR wide[32];
    const int n = MultiByteToWideChar(CP_UTF8, 0, bad, sizeof bad - 1, wide, 32);
    EXPECT_EQ(u"a\uFFFDb\uFFFDc\uFFFD\uFFFDe\uFFFD", u16(wide, n > 0 ? n : 0));
    // A lone surrogate does not swallow the character after it.
    EXPECT_EQ("?A", WideToAnsi(conformance::wide(u"\xD800"
                                                 u"A")));

    // A code page the machine does not have.
    junkLastError();
    EXPECT_EQ(0, MultiByteToWideChar(9999, 0, "x", 1, wide, 16));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(CodePageTest, Utf8HasNoDefaultCharacterToReportOn) {
    SKIP_ON_WINE("WideCharToMultiByte to UTF-8 accepts lpUsedDefaultChar, which Windows refuses "
                 "with ERROR_INVALID_PARAMETER");
    junkLastError();
    BOOL usedDefault = FALSE;
    char out[8];
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, conformance::wide(u"x").c_str(), 1, out, 8,
                                     nullptr, &usedDefault));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, conformance::wide(u"x").c_str(), 1, out, 8, "?",
                                     nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}
