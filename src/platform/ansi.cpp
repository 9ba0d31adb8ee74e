// The framework's string helpers, written over the code-page calls: the same on the hosted
// platform and on Windows.
#include "platform/win32.h"

std::string AnsiUpperCase(std::string text) {
    if (!text.empty()) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string AnsiLowerCase(std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool AnsiSameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && AnsiUpperCase(a) == AnsiUpperCase(b);
}

WideString AnsiToWide(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    WideString wide(static_cast<std::size_t>(length), WCHAR{0});
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), length);
    wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return wide;
}

std::string WideToAnsi(const WideString& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    // One byte per UTF-16 unit at most: a character of two units becomes one default byte.
    std::string ansi(static_cast<std::size_t>(length), '\0');
    const int n =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), length, nullptr, nullptr);
    ansi.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return ansi;
}

std::string WideToAnsi(const WCHAR* text) {
    return text ? WideToAnsi(WideString(text)) : std::string();
}
