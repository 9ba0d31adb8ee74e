// The few gdi32 calls that text drawing needs: fonts selected into a device context, the
// background mode and colour of text, and text measuring.
#pragma once

#include "platform/win32_types.h"

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour) {
    return static_cast<BYTE>(colour & 0xFF);
}
constexpr BYTE GetGValue(COLORREF colour) {
    return static_cast<BYTE>((colour >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF colour) {
    return static_cast<BYTE>((colour >> 16) & 0xFF);
}
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Selects a font (the only object kind here) and returns the one it replaces; NULL with
// ERROR_INVALID_HANDLE for anything else.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
// Returns the former mode, 0 on failure. A new device context draws text opaque on white.
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size);
