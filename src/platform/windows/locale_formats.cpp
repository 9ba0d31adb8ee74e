// The user's date and time formats from the locale, as the framework reads them at start.
#include "platform/locale_formats.h"
#include "platform/win32.h"

namespace {

std::string localeText(LCTYPE type, const char* fallback) {
    char text[80];
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return n > 1 ? std::string(text, static_cast<std::size_t>(n - 1)) : std::string(fallback);
}

} // namespace

namespace platform {

std::string shortDateFormat() {
    return localeText(LOCALE_SSHORTDATE, "dd.MM.yyyy");
}

std::string longTimeFormat() {
    return localeText(LOCALE_STIMEFORMAT, "HH:mm:ss");
}

} // namespace platform
