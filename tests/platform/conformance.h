// Helpers for the platform's conformance tests: every call is checked for its result, the
// state it leaves and the last error it sets, so each test first puts junk into the last
// error and the output buffers.
#pragma once

#include "platform/win32.h"

#include <cstring>
#include <string>
#include <vector>

namespace conformance {

// No call sets this by itself, so a test can see whether a call touched the last error.
constexpr DWORD kJunkError = 0xDEADBEEF;
constexpr char kJunkByte = '\x5A';

inline void junkLastError() {
    SetLastError(kJunkError);
}

template <typename T> void fillJunk(T& object) {
    std::memset(&object, 0xA5, sizeof object);
}

// UTF-16 text of the platform's wide strings (char16_t on the hosted platform, wchar_t on
// Windows), to compare with u"" literals on either side.
inline std::u16string u16(const WCHAR* text, std::size_t length) {
    return std::u16string(text, text + length);
}
inline std::u16string u16(const WCHAR* text) {
    std::size_t length = 0;
    while (text[length])
        ++length;
    return u16(text, length);
}
inline std::u16string u16(const WideString& text) {
    return u16(text.data(), text.size());
}
// A u"" literal as the platform's wide string, for the calls that take one.
inline WideString wide(const std::u16string& text) {
    return WideString(text.begin(), text.end());
}

// A registry key closed when the test leaves its scope.
using Key = UniqueHKey;

inline LSTATUS setString(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

// The names of a key's values in enumeration order.
inline std::vector<std::string> valueNames(HKEY key) {
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, nameSize);
    }
    return names;
}

} // namespace conformance
