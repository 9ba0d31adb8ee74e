// Icons between the Win32 calls and Qt: owners for icon handles, and an icon drawn or read as a
// Qt image. The icon calls themselves (CreateIconFromResource, DrawIcon, DestroyIcon) are
// win32.h's: the hosted stand-ins over Qt images, or user32 on Windows.
#pragma once

#include "platform/handles.h"
#include "platform/win32.h"

#include <QImage>

class QPainter;

// An icon the caller owns (SHGetFileInfoA with SHGFI_ICON, CreateIconFromResource).
struct IconTraits : PointerHandleTraits<HICON> {
    static bool close(HICON icon) noexcept { return DestroyIcon(icon) != FALSE; }
};
using UniqueIcon = UniqueHandle<IconTraits>;

constexpr DWORD ICON_RESOURCE_VERSION = 0x00030000;

// Draws a live icon at its own size with its top-left corner at (x, y) of what the painter
// paints: through DrawIcon on a device context for the painter where the painter can be one
// (the hosted platform), else as the icon's picture.
void DrawIconOn(QPainter& painter, int x, int y, HICON icon);
// The decoded picture of a live icon (ARGB32), a null image otherwise.
QImage IconImage(HICON icon);
// Icons created and still alive, so that callers can check they give back what they take
// (the hosted platform, which keeps them).
int LiveIconCount();
