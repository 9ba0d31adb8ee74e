// The painting calls over Qt painters: fonts and their handles, device contexts for measuring,
// filling rectangles, drawing and shortening text.
#include "platform/gui/gdi.h"

#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

struct HFONT__ {
    QFont font;
};

namespace {

std::mutex& gdiMutex() {
    static std::mutex mutex;
    return mutex;
}

// Every font a handle was asked for, by its description; handles stay valid to the end.
std::map<QString, std::unique_ptr<HFONT__>>& fonts() {
    static std::map<QString, std::unique_ptr<HFONT__>> table;
    return table;
}

// The device contexts GetDC handed out: a painter on an image that nobody sees.
struct MeasuringContext {
    QImage image{1, 1, QImage::Format_ARGB32};
    QPainter painter;
};
std::map<QPainter*, std::unique_ptr<MeasuringContext>>& measuringContexts() {
    static std::map<QPainter*, std::unique_ptr<MeasuringContext>> table;
    return table;
}

bool isMeasuringOnly(HDC dc) {
    std::lock_guard lock(gdiMutex());
    return measuringContexts().count(reinterpret_cast<QPainter*>(dc)) > 0;
}

QPainter* painterOf(HDC dc) {
    auto* painter = reinterpret_cast<QPainter*>(dc);
    if (!painter || !painter->isActive()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return painter;
}

QColor colourOf(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF colourRef(const QColor& colour) {
    return RGB(static_cast<BYTE>(colour.red()), static_cast<BYTE>(colour.green()),
               static_cast<BYTE>(colour.blue()));
}

bool systemColour(int index, QColor& colour) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case COLOR_WINDOW:
        colour = palette.color(QPalette::Base);
        return true;
    case COLOR_WINDOWTEXT:
        colour = palette.color(QPalette::Text);
        return true;
    case COLOR_HIGHLIGHT:
        colour = palette.color(QPalette::Highlight);
        return true;
    case COLOR_HIGHLIGHTTEXT:
        colour = palette.color(QPalette::HighlightedText);
        return true;
    case COLOR_BTNFACE:
        colour = palette.color(QPalette::Button);
        return true;
    case COLOR_BTNTEXT:
        colour = palette.color(QPalette::ButtonText);
        return true;
    default:
        return false;
    }
}

// The system colour brushes are fixed objects: a brush handle is the address of one, and its
// place in the table is its colour index.
constexpr int kSystemColours = 31;
char g_systemBrushes[kSystemColours] = {};

bool brushColour(HBRUSH brush, QColor& colour) {
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= kSystemColours)
        return systemColour(static_cast<int>(value) - 1, colour);
    const auto first = reinterpret_cast<std::uintptr_t>(&g_systemBrushes[0]);
    const auto end = reinterpret_cast<std::uintptr_t>(&g_systemBrushes[kSystemColours]);
    if (value < first || value >= end) return false;
    return systemColour(static_cast<int>(value - first), colour);
}

const QString kDots = QStringLiteral("...");

// The path shortened to `width` pixels: the start of the path, "...", and its last part from
// the last backslash on. `fits` tells whether the result is no wider than `width`.
QString compactPath(const QString& path, const QFontMetrics& metrics, int width, bool& fits) {
    fits = true;
    if (metrics.horizontalAdvance(path) <= width) return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    if (slash < 0) {
        // A bare name: cut at its end.
        for (qsizetype keep = path.size() - 1; keep >= 0; --keep) {
            const QString candidate = path.left(keep) + kDots;
            if (metrics.horizontalAdvance(candidate) <= width) return candidate;
        }
        fits = false;
        return kDots;
    }
    const QString last = path.mid(slash);
    if (metrics.horizontalAdvance(kDots + last) > width) {
        fits = false;
        return kDots + last;
    }
    for (qsizetype keep = slash - 1; keep > 0; --keep) {
        const QString candidate = path.left(keep) + kDots + last;
        if (metrics.horizontalAdvance(candidate) <= width) return candidate;
    }
    return kDots + last;
}

// The text as DrawTextA shows it: "&x" shows x (underlined on a real screen), "&&" one "&".
QString withoutPrefixes(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

} // namespace

HFONT FontHandle(const QFont& font) {
    std::lock_guard lock(gdiMutex());
    auto& entry = fonts()[font.key()];
    if (!entry) entry = std::make_unique<HFONT__>(HFONT__{font});
    return entry.get();
}

bool FontOfHandle(HFONT handle, QFont& font) {
    if (!handle) return false;
    std::lock_guard lock(gdiMutex());
    for (const auto& [key, entry] : fonts())
        if (entry.get() == handle) {
            font = entry->font;
            return true;
        }
    return false;
}

HDC PrepareDeviceContext(QPainter& painter, const QWidget* widget) {
    painter.setFont(widget ? widget->font() : QApplication::font());
    painter.setPen(widget ? widget->palette().color(QPalette::WindowText) : QColor(Qt::black));
    painter.setBackground(QBrush(Qt::white));
    painter.setBackgroundMode(Qt::OpaqueMode);
    return reinterpret_cast<HDC>(&painter);
}

HDC GetDC(HWND window) {
    if (window && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto context = std::make_unique<MeasuringContext>();
    context->image.fill(Qt::white);
    context->painter.begin(&context->image);
    // A window's device context starts with the system font, not the window's own.
    HDC dc = PrepareDeviceContext(context->painter, nullptr);
    std::lock_guard lock(gdiMutex());
    measuringContexts()[&context->painter] = std::move(context);
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    std::unique_ptr<MeasuringContext> context;
    {
        std::lock_guard lock(gdiMutex());
        auto found = measuringContexts().find(reinterpret_cast<QPainter*>(dc));
        if (found == measuringContexts().end()) return 0;
        context = std::move(found->second);
        measuringContexts().erase(found);
    }
    context->painter.end();
    return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    QPainter* painter = painterOf(dc);
    if (!painter) return nullptr;
    QFont font;
    if (!FontOfHandle(static_cast<HFONT>(object), font)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HFONT previous = FontHandle(painter->font());
    painter->setFont(font);
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    QPainter* painter = painterOf(dc);
    if (!painter) return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int previous = painter->backgroundMode() == Qt::OpaqueMode ? OPAQUE : TRANSPARENT;
    painter->setBackgroundMode(mode == OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    QPainter* painter = painterOf(dc);
    if (!painter) return CLR_INVALID;
    const COLORREF previous = colourRef(painter->background().color());
    painter->setBackground(QBrush(colourOf(colour)));
    return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    QPainter* painter = painterOf(dc);
    if (!painter) return CLR_INVALID;
    const COLORREF previous = colourRef(painter->pen().color());
    painter->setPen(colourOf(colour));
    return previous;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
    QPainter* painter = painterOf(dc);
    if (!painter) return FALSE;
    if (!size || count < 0 || (!text && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const QFontMetrics metrics(painter->font());
    const QString value =
        AnsiToQString(std::string(text ? text : "", static_cast<std::size_t>(count)));
    size->cx = metrics.horizontalAdvance(value);
    size->cy = metrics.height();
    return TRUE;
}

DWORD GetSysColor(int index) {
    QColor colour;
    return systemColour(index, colour) ? colourRef(colour) : 0;
}

HBRUSH GetSysColorBrush(int index) {
    QColor colour;
    if (index < 0 || index >= kSystemColours || !systemColour(index, colour)) return nullptr;
    return reinterpret_cast<HBRUSH>(&g_systemBrushes[index]);
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    QPainter* painter = painterOf(dc);
    if (!painter) return 0;
    QColor colour;
    if (!rect || !brushColour(brush, colour)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (isMeasuringOnly(dc)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    painter->fillRect(
        QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)), colour);
    return 1;
}

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    QPainter* painter = painterOf(dc);
    if (!painter) return 0;
    if (!text || !rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    QString value = AnsiToQString(std::string(text, length));
    if (!(format & DT_NOPREFIX)) value = withoutPrefixes(value);
    const bool singleLine = format & DT_SINGLELINE;
    if (singleLine) {
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        value.replace(QLatin1Char('\r'), QLatin1Char(' '));
        value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    } else {
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    const QFontMetrics metrics(painter->font());
    const int width = rect->right - rect->left;
    if (format & DT_PATH_ELLIPSIS) {
        bool fits = true;
        value = compactPath(value, metrics, width, fits);
    } else if (format & DT_END_ELLIPSIS) {
        if (metrics.horizontalAdvance(value) > width) {
            while (!value.isEmpty() && metrics.horizontalAdvance(value + kDots) > width)
                value.chop(1);
            value += kDots;
        }
    }
    if ((format & DT_MODIFYSTRING) && (format & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS))) {
        // The caller's buffer has room for the text, four more characters and the zero.
        const std::string shown = QStringToAnsi(value);
        const std::size_t n = std::min(shown.size(), length + 4);
        std::memcpy(const_cast<char*>(text), shown.data(), n);
        const_cast<char*>(text)[n] = '\0';
    }

    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (singleLine && (format & DT_VCENTER))
        flags |= Qt::AlignVCenter;
    else if (singleLine && (format & DT_BOTTOM))
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if (singleLine) flags |= Qt::TextSingleLine;
    if (format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;

    const QRect area(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    int neededWidth = 0;
    int height = 0;
    if (format & DT_WORDBREAK) {
        const QRect needed = metrics.boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, value);
        neededWidth = needed.width();
        height = needed.height();
    } else {
        const QStringList lines = value.split(QLatin1Char('\n'));
        for (const QString& line : lines)
            neededWidth = std::max(neededWidth, metrics.horizontalAdvance(line));
        height = static_cast<int>(lines.size()) * metrics.height();
    }
    if (format & DT_CALCRECT) {
        if (!(format & DT_WORDBREAK)) rect->right = rect->left + neededWidth;
        rect->bottom = rect->top + height;
        return height;
    }
    if (isMeasuringOnly(dc)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    if (painter->backgroundMode() == Qt::OpaqueMode) {
        const QRect behind = painter->boundingRect(area, flags, value);
        painter->fillRect(format & DT_NOCLIP ? behind : behind.intersected(area),
                          painter->background());
    }
    painter->drawText(area, flags, value);
    return height;
}

BOOL PathCompactPathA(HDC dc, LPSTR path, UINT dx) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    QFont font = QApplication::font();
    if (dc) {
        QPainter* painter = painterOf(dc);
        if (!painter) return FALSE;
        font = painter->font();
    }
    bool fits = true;
    const QString shortened = compactPath(AnsiToQString(path), QFontMetrics(font),
                                          static_cast<int>(std::min<UINT>(dx, 1 << 20)), fits);
    const std::string result = QStringToAnsi(shortened);
    const std::size_t n = std::min<std::size_t>(result.size(), MAX_PATH - 1);
    std::memcpy(path, result.data(), n);
    path[n] = '\0';
    return fits ? TRUE : FALSE;
}
