#include "conformance.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace conformance;

namespace {

// glibc's table for Windows-1252, as an independent reference. It leaves out the five bytes
// that the code page does not assign; those are handled separately.
char16_t referenceWide(unsigned char byte) {
    iconv_t cd = ::iconv_open("UTF-16LE", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0xFFFF;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof out;
    const std::size_t rc = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return 0xFFFF;
    return static_cast<char16_t>(out[0] | (out[1] << 8));
}

bool isUnassigned(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

} // namespace

TEST(CodePageTest, EveryHighByteMapsBothWays) {
    EXPECT_EQ(1252u, GetACP());
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = static_cast<char>(b);
        WCHAR wide[2] = {0xAAAA, 0xAAAA};
        junkLastError();
        ASSERT_EQ(1, MultiByteToWideChar(CP_ACP, 0, &byte, 1, wide, 2)) << std::hex << b;
        EXPECT_EQ(0xAAAA, wide[1]);
        const char16_t expected = isUnassigned(static_cast<unsigned char>(b))
                                      ? static_cast<char16_t>(b)
                                      : referenceWide(static_cast<unsigned char>(b));
        EXPECT_EQ(expected, wide[0]) << std::hex << b;

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
    EXPECT_EQ(u'\u20AC', wide);
    const char yDiaeresis = '\x9F';
    MultiByteToWideChar(CP_ACP, 0, &yDiaeresis, 1, &wide, 1);
    EXPECT_EQ(u'\u0178', wide);
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
    EXPECT_EQ(std::u16string(u"Gr\u00FC\u00DFe \u20AC"), std::u16string(wide));
    EXPECT_EQ(0xAAAA, wide[8]);

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
    const std::u16string wide = u"a\u4E2Db\U0001F600c";
    char narrow[16];
    std::memset(narrow, kJunkByte, sizeof narrow);
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow,
                                      sizeof narrow, nullptr, &usedDefault);
    EXPECT_EQ("a?b?c", std::string(narrow, n > 0 ? n : 0));
    EXPECT_TRUE(usedDefault);

    const int m = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow,
                                      sizeof narrow, "#", &usedDefault);
    EXPECT_EQ("a#b#c", std::string(narrow, m > 0 ? m : 0));
    EXPECT_EQ("a?b?c", WideToAnsi(wide));
    EXPECT_EQ(u"\u00C4\u20AC", AnsiToWide("\xC4\x80"));
}

TEST(CodePageTest, Utf8ConvertsEveryCharacterNotOnlyTheCodePage) {
    const char* utf8 = "\xE6\x97\xA5\xE6\x9C\xAC \xC3\xA4\xE2\x82\xAC \xF0\x9F\x98\x80";
    WCHAR wide[16];
    std::fill(std::begin(wide), std::end(wide), 0xAAAA);
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 16);
    ASSERT_EQ(9, n);
    EXPECT_EQ(std::u16string(u"\u65E5\u672C \u00E4\u20AC \U0001F600"), std::u16string(wide));

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
    // A stray continuation byte, a truncated sequence and an overlong slash.
    const char bad[] = "a\x80"
                       "b\xE2\x82"
                       "c\xC0\xAF";
    WCHAR wide[16];
    const int n = MultiByteToWideChar(CP_UTF8, 0, bad, sizeof bad - 1, wide, 16);
    EXPECT_EQ(std::u16string(u"a\uFFFDb\uFFFD\uFFFDc\uFFFD\uFFFD"),
              std::u16string(wide, n > 0 ? n : 0));
    // A lone surrogate does not swallow the character after it.
    EXPECT_EQ("?A", WideToAnsi(std::u16string(u"\xD800"
                                              u"A")));
    EXPECT_EQ("a?b", platform::utf8ToAnsi("a\xFF"
                                          "b"));

    junkLastError();
    BOOL usedDefault = FALSE;
    char out[8];
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"x", 1, out, 8, nullptr, &usedDefault));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    junkLastError();
    EXPECT_EQ(0, MultiByteToWideChar(437, 0, "x", 1, wide, 16));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}
