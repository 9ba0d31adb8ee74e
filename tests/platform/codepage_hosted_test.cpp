// The hosted code page against an independent table, and its host-side conversions.
#include "conformance.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace conformance;

namespace {

// glibc's table for Windows-1252; it leaves out the five bytes that the code page does not
// assign (0xFFFF for those).
char16_t glibcWide(unsigned char byte) {
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

} // namespace

TEST(CodePageTest, HighBytesAgreeWithGlibcsTable) {
    int unassigned = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const char byte = static_cast<char>(b);
        WCHAR wide = 0;
        ASSERT_EQ(1, MultiByteToWideChar(CP_ACP, 0, &byte, 1, &wide, 1));
        const char16_t reference = glibcWide(static_cast<unsigned char>(b));
        if (reference == 0xFFFF) {
            ++unassigned;
            EXPECT_EQ(static_cast<char16_t>(b), wide) << std::hex << b;
        } else {
            EXPECT_EQ(reference, wide) << std::hex << b;
        }
    }
    EXPECT_EQ(5, unassigned);
}

TEST(CodePageTest, HostNamesInUtf8BecomeAnsiWithDefaultsForTheRest) {
    EXPECT_EQ("a?b", platform::utf8ToAnsi("a\xFF"
                                          "b"));
    EXPECT_EQ("Gr\xFC\xDF"
              "e ?",
              platform::utf8ToAnsi("Gr\xC3\xBC\xC3\x9F"
                                   "e \xE6\x97\xA5"));
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x82\xAC",
              platform::ansiToUtf8("Gr\xFC\xDF"
                                   "e \x80"));
}
