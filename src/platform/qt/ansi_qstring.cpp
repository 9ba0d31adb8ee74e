#include "platform/qt/ansi_qstring.h"

#include "platform/ansi.h"

// WCHAR is a UTF-16 unit on either side (char16_t here, wchar_t on Windows), as QString's are.
static_assert(sizeof(WCHAR) == sizeof(char16_t));

QString AnsiToQString(const std::string& text) {
    const WideString wide = AnsiToWide(text);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(wide.data()),
                              static_cast<qsizetype>(wide.size()));
}

std::string QStringToAnsi(const QString& text) {
    return WideToAnsi(WideString(reinterpret_cast<const WCHAR*>(text.utf16()),
                                 static_cast<std::size_t>(text.size())));
}
