#include "platform/gui/icons.h"

#include "platform/gui/gdi.h"

#include "platform/win32.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_set>

struct HICON__ {
    QImage image;
    int hotSpotX = 0;
    int hotSpotY = 0;
};

namespace {

constexpr DWORD bitmapInfoHeaderSize = 40;
constexpr DWORD biRgb = 0;
// Larger pictures are not icons the program draws; the limit also bounds the allocation.
constexpr LONG largestIconSide = 256;

std::mutex& iconsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<HICON>& liveIcons() {
    static std::unordered_set<HICON> icons;
    return icons;
}

bool isLive(HICON icon) {
    std::lock_guard lock(iconsMutex());
    return liveIcons().count(icon) != 0;
}

DWORD readDword(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

WORD readWord(const BYTE* p) {
    return WORD(p[0] | p[1] << 8);
}

DWORD rowBytes(LONG width, DWORD bitCount) {
    return ((DWORD(width) * bitCount + 31) / 32) * 4;
}

// Decodes a device-independent icon bitmap; a null image when the data do not hold one.
QImage decodeIconBitmap(const BYTE* bits, DWORD size) {
    if (size < bitmapInfoHeaderSize) return {};
    const DWORD headerSize = readDword(bits);
    const LONG width = static_cast<LONG>(readDword(bits + 4));
    const LONG doubledHeight = static_cast<LONG>(readDword(bits + 8));
    const WORD planes = readWord(bits + 12);
    const WORD bitCount = readWord(bits + 14);
    const DWORD compression = readDword(bits + 16);
    const DWORD colorsUsed = readDword(bits + 32);
    if (headerSize < bitmapInfoHeaderSize || headerSize > size || planes != 1 ||
        compression != biRgb)
        return {};
    if (width <= 0 || width > largestIconSide || doubledHeight <= 0 ||
        doubledHeight > 2 * largestIconSide)
        return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return {};
    const LONG height = doubledHeight / 2;
    if (height == 0) return {};

    // Deeper pictures may still carry a colour table (unused here) before their rows.
    DWORD paletteCount = colorsUsed;
    if (bitCount <= 8) {
        const DWORD fullPalette = 1u << bitCount;
        if (paletteCount == 0) paletteCount = fullPalette;
        if (paletteCount > fullPalette) return {};
    } else if (paletteCount > 256) {
        return {};
    }
    const DWORD colorStride = rowBytes(width, bitCount);
    const DWORD maskStride = rowBytes(width, 1);
    // Offsets in 64 bits: a stated header size near 4 GB must not wrap around.
    const std::uint64_t paletteOffset = headerSize;
    const std::uint64_t colorOffset = paletteOffset + paletteCount * 4;
    const std::uint64_t maskOffset = colorOffset + std::uint64_t(colorStride) * height;
    const std::uint64_t end = maskOffset + std::uint64_t(maskStride) * height;
    // 32-bit pictures carry their own alpha, so a missing mask still leaves a whole picture.
    const bool hasMask = end <= size;
    if (!hasMask && (bitCount != 32 || maskOffset > size)) return {};

    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    auto paletteColor = [&](DWORD index) -> QRgb {
        if (index >= paletteCount || bitCount > 8) return qRgb(0, 0, 0);
        const BYTE* entry = bits + paletteOffset + index * 4;
        return qRgb(entry[2], entry[1], entry[0]);
    };
    bool anyAlpha = false;
    for (LONG y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const BYTE* row = bits + colorOffset + DWORD(height - 1 - y) * colorStride;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (LONG x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1:
                out[x] = paletteColor((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                out[x] = paletteColor((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF);
                break;
            case 8:
                out[x] = paletteColor(row[x]);
                break;
            case 24: {
                const BYTE* p = row + x * 3;
                out[x] = qRgb(p[2], p[1], p[0]);
                break;
            }
            default: {
                const BYTE* p = row + x * 4;
                out[x] = qRgba(p[2], p[1], p[0], p[3]);
                anyAlpha = anyAlpha || p[3] != 0;
                break;
            }
            }
        }
    }
    // A 32-bit picture whose alpha is all zero is an old-style one that relies on its mask.
    if (bitCount == 32 && !anyAlpha) {
        for (LONG y = 0; y < height; ++y) {
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (LONG x = 0; x < width; ++x)
                out[x] |= 0xFF000000u;
        }
    }
    if (hasMask && !(bitCount == 32 && anyAlpha)) {
        for (LONG y = 0; y < height; ++y) {
            const BYTE* row = bits + maskOffset + DWORD(height - 1 - y) * maskStride;
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (LONG x = 0; x < width; ++x) {
                if ((row[x / 8] >> (7 - x % 8)) & 1) out[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

QImage decodeIconImage(const BYTE* bits, DWORD size) {
    static const BYTE pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof pngSignature && std::equal(pngSignature, pngSignature + 8, bits)) {
        QImage png = QImage::fromData(bits, static_cast<int>(size), "PNG");
        if (png.isNull() || png.width() > largestIconSide || png.height() > largestIconSide)
            return {};
        return png.convertToFormat(QImage::Format_ARGB32);
    }
    return decodeIconBitmap(bits, size);
}

} // namespace

HICON CreateIconFromResource(PBYTE bits, DWORD size, BOOL icon, DWORD version) {
    if (bits == nullptr || (version != 0x00020000 && version != 0x00030000)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int hotSpotX = 0;
    int hotSpotY = 0;
    if (!icon) {
        if (size < 4) {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        hotSpotX = readWord(bits);
        hotSpotY = readWord(bits + 2);
        bits += 4;
        size -= 4;
    }
    QImage image = decodeIconImage(bits, size);
    if (image.isNull()) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    auto* handle = new HICON__{std::move(image), hotSpotX, hotSpotY};
    std::lock_guard lock(iconsMutex());
    liveIcons().insert(handle);
    return handle;
}

BOOL DestroyIcon(HICON icon) {
    {
        std::lock_guard lock(iconsMutex());
        if (liveIcons().erase(icon) == 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    delete icon;
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    if (dc == nullptr || !isLive(icon)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* painter = reinterpret_cast<QPainter*>(dc);
    if (!painter->isActive()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    painter->drawImage(x, y, icon->image);
    return TRUE;
}

HDC DeviceContextFor(QPainter& painter) {
    return reinterpret_cast<HDC>(&painter);
}

void DrawIconOn(QPainter& painter, int x, int y, HICON icon) {
    DrawIcon(DeviceContextFor(painter), x, y, icon);
}

QImage IconImage(HICON icon) {
    if (!isLive(icon)) return {};
    return icon->image;
}

int LiveIconCount() {
    std::lock_guard lock(iconsMutex());
    return static_cast<int>(liveIcons().size());
}
