#include "platform/ansi.h"
#include "platform/win32.h"

#include <array>
#include <cstring>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the C1 controls, as
// MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t toWide(unsigned char c) {
    return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

// -1 when the character has no byte in the code page.
int toAnsi(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

unsigned char upper(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A; // s caron
    case 0x9C:
        return 0x8C; // oe
    case 0x9E:
        return 0x8E; // z caron
    case 0xFF:
        return 0x9F; // y diaeresis
    default:
        break;
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    return c;
}

unsigned char lower(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

constexpr char16_t kReplacement = 0xFFFD;

bool isAnsiCodePage(UINT codePage) {
    constexpr UINT kThreadAcp = 3;
    return codePage == CP_ACP || codePage == kThreadAcp || codePage == 1252;
}

// The bytes that may follow a lead byte as its second, by the Unicode standard's table of
// well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF); 0 for a byte
// that does not lead a sequence.
struct Lead {
    std::size_t length;
    unsigned char low;
    unsigned char high;
};

Lead leadOf(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) return {2, 0x80, 0xBF};
    if (c == 0xE0) return {3, 0xA0, 0xBF};
    if (c == 0xED) return {3, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF) return {3, 0x80, 0xBF};
    if (c == 0xF0) return {4, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3) return {4, 0x80, 0xBF};
    if (c == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// UTF-8 to UTF-16. Each ill-formed sequence becomes one U+FFFD, as MultiByteToWideChar
// replaces illegal sequences: a lead byte with the well-formed bytes that followed it before
// the sequence broke off counts once, a byte that cannot start a sequence counts alone.
std::u16string utf8ToWide(const char* text, std::size_t n) {
    std::u16string out;
    out.reserve(n);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = byte(i);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        const Lead lead = leadOf(c);
        std::size_t taken = 1;
        char32_t code = c & (0x7F >> lead.length);
        while (taken < lead.length && i + taken < n) {
            const unsigned char next = byte(i + taken);
            const unsigned char low = taken == 1 ? lead.low : 0x80;
            const unsigned char high = taken == 1 ? lead.high : 0xBF;
            if (next < low || next > high) break;
            code = (code << 6) | (next & 0x3F);
            ++taken;
        }
        i += taken;
        if (lead.length == 0 || taken < lead.length) {
            out.push_back(kReplacement);
        } else if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

void appendUtf8(std::string& out, char32_t w) {
    if (w < 0x80) {
        out.push_back(static_cast<char>(w));
    } else if (w < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (w >> 6)));
        out.push_back(static_cast<char>(0x80 | (w & 0x3F)));
    } else if (w < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (w >> 12)));
        out.push_back(static_cast<char>(0x80 | ((w >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (w & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (w >> 18)));
        out.push_back(static_cast<char>(0x80 | ((w >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((w >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (w & 0x3F)));
    }
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string wideToUtf8(const char16_t* wide, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

} // namespace

UINT GetACP() {
    return 1252;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int textLength, LPWSTR wide,
                        int wideLength) {
    if (!text || textLength == 0 || wideLength < 0 || (wideLength > 0 && !wide) ||
        (codePage != CP_UTF8 && !isAnsiCodePage(codePage))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string converted;
    const std::size_t n =
        textLength < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(textLength);
    if (codePage == CP_UTF8) {
        converted = utf8ToWide(text, n);
    } else {
        converted.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            converted.push_back(toWide(static_cast<unsigned char>(text[i])));
    }
    if (wideLength == 0) return static_cast<int>(converted.size());
    if (converted.size() > static_cast<std::size_t>(wideLength)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(wide, converted.data(), converted.size() * sizeof(char16_t));
    return static_cast<int>(converted.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideLength, LPSTR text,
                        int textLength, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    const bool utf8 = codePage == CP_UTF8;
    // UTF-8 can say every character, so a default character makes no sense there.
    if (!wide || wideLength == 0 || textLength < 0 || (textLength > 0 && !text) ||
        (!utf8 && !isAnsiCodePage(codePage)) || (utf8 && (defaultChar || usedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t n = 0;
    if (wideLength < 0) {
        while (wide[n])
            ++n;
        ++n;
    } else {
        n = static_cast<std::size_t>(wideLength);
    }
    std::string converted;
    converted.reserve(n);
    bool usedDefault = false;
    if (utf8) converted = wideToUtf8(wide, n);
    // The code page maps each UTF-16 unit by itself: both halves of a character beyond the
    // basic plane become the default character.
    for (std::size_t i = 0; i < n && !utf8; ++i) {
        const int b = toAnsi(wide[i]);
        if (b < 0) {
            usedDefault = true;
            converted.push_back(defaultChar ? *defaultChar : '?');
        } else {
            converted.push_back(static_cast<char>(b));
        }
    }
    if (usedDefaultChar) *usedDefaultChar = usedDefault ? TRUE : FALSE;
    if (textLength == 0) return static_cast<int>(converted.size());
    if (converted.size() > static_cast<std::size_t>(textLength)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(text, converted.data(), converted.size());
    return static_cast<int>(converted.size());
}

LPSTR CharUpperA(LPSTR text) {
    if (!text) return text;
    for (char* p = text; *p; ++p)
        *p = static_cast<char>(upper(static_cast<unsigned char>(*p)));
    return text;
}

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    if (!text) return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = static_cast<char>(upper(static_cast<unsigned char>(text[i])));
    return length;
}

LPSTR CharLowerA(LPSTR text) {
    if (!text) return text;
    for (char* p = text; *p; ++p)
        *p = static_cast<char>(lower(static_cast<unsigned char>(*p)));
    return text;
}

DWORD CharLowerBuffA(LPSTR text, DWORD length) {
    if (!text) return 0;
    for (DWORD i = 0; i < length; ++i)
        text[i] = static_cast<char>(lower(static_cast<unsigned char>(text[i])));
    return length;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
    // Ordinal on the upper-cased bytes: equal for every pair that differs only in case,
    // diacritic letters included.
    a = a ? a : "";
    b = b ? b : "";
    for (;; ++a, ++b) {
        const unsigned char ca = upper(static_cast<unsigned char>(*a));
        const unsigned char cb = upper(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!ca) return 0;
    }
}

int lstrcmpA(LPCSTR a, LPCSTR b) {
    const int r = std::strcmp(a ? a : "", b ? b : "");
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

namespace platform {

namespace {
// ASCII reads the same in both: most paths need no conversion at all.
bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}
} // namespace

std::string ansiToUtf8(const std::string& text) {
    if (isAscii(text)) return text;
    const WideString wide = AnsiToWide(text);
    return wideToUtf8(wide.data(), wide.size());
}

std::string utf8ToAnsi(const std::string& text) {
    if (isAscii(text)) return text;
    return WideToAnsi(utf8ToWide(text.data(), text.size()));
}

} // namespace platform
