// Framework string helpers over the ANSI code page (Windows-1252 on the hosted platform).
#pragma once

#include "platform/win32.h"

#include <string>

// UTF-16 text as the platform's wide calls and COM interfaces take it.
using WideString = std::basic_string<WCHAR>;

std::string AnsiUpperCase(std::string text);
std::string AnsiLowerCase(std::string text);
bool AnsiSameText(const std::string& a, const std::string& b);
// UTF-16 at COM interfaces, converted at once.
WideString AnsiToWide(const std::string& text);
std::string WideToAnsi(const WideString& text);
std::string WideToAnsi(const WCHAR* text);

namespace platform {
// Host file names are UTF-8; Windows names are ANSI. Characters outside the code page
// become '?' on the way back, as the ANSI file functions do. Hosted platform only.
std::string ansiToUtf8(const std::string& text);
std::string utf8ToAnsi(const std::string& text);
} // namespace platform
