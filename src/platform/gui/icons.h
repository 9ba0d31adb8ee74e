// Icons and drawing: the stand-ins for the user32/gdi32 icon calls, over Qt images.
#pragma once

#include "platform/handles.h"
#include "platform/win32_types.h"

#include <QImage>

class QPainter;

using PBYTE = BYTE*;

struct HICON__;
using HICON = HICON__*;

// Builds an icon (icon TRUE) or cursor (icon FALSE: the bits start with the hot spot) from
// the image part of an icon file: a BITMAPINFOHEADER whose height counts the colour rows and
// the AND-mask rows, the palette, the colour rows and the mask, or a PNG image. Accepts the
// format versions 0x00020000 and 0x00030000. Returns NULL with ERROR_INVALID_PARAMETER for
// missing bits or an unknown version and ERROR_INVALID_DATA for data that do not hold a whole
// image; nothing outside the size bytes is read.
HICON CreateIconFromResource(PBYTE bits, DWORD size, BOOL icon, DWORD version);
BOOL DestroyIcon(HICON icon);
// Draws the icon at its own size with its top-left corner at (x, y).
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// An icon the caller owns (SHGetFileInfoA with SHGFI_ICON, CreateIconFromResource).
struct IconTraits : PointerHandleTraits<HICON> {
    static bool close(HICON icon) noexcept { return DestroyIcon(icon) != FALSE; }
};
using UniqueIcon = UniqueHandle<IconTraits>;

constexpr DWORD ICON_RESOURCE_VERSION = 0x00030000;

// The handle to pass for a painter; valid while the painter is.
HDC DeviceContextFor(QPainter& painter);
// The decoded picture of a live icon (ARGB32), a null image otherwise.
QImage IconImage(HICON icon);
// Icons created and still alive, so that callers can check they give back what they take.
int LiveIconCount();
