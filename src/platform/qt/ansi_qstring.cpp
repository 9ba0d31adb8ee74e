#include "platform/qt/ansi_qstring.h"

#include "platform/ansi.h"

QString AnsiToQString(const std::string& text) {
    const std::u16string wide = AnsiToWide(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string QStringToAnsi(const QString& text) {
    return WideToAnsi(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                                     static_cast<std::size_t>(text.size())));
}
