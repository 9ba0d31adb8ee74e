// Framework string helpers over the ANSI code page (Windows-1252 on the hosted platform).
#pragma once

#include <string>

std::string AnsiUpperCase(std::string text);
std::string AnsiLowerCase(std::string text);
bool AnsiSameText(const std::string& a, const std::string& b);
// UTF-16 at COM interfaces, converted at once.
std::u16string AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::u16string& text);
std::string WideToAnsi(const char16_t* text);

namespace platform {
// Host file names are UTF-8; Windows names are ANSI. Characters outside the code page
// become '?' on the way back, as the ANSI file functions do.
std::string ansiToUtf8(const std::string& text);
std::string utf8ToAnsi(const std::string& text);
} // namespace platform
