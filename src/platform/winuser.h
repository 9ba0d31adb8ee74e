// Window messages and the few user32 window calls that code outside the windows themselves
// needs: finding a dialog's controls by class name and talking to them. The windows are Qt
// widgets; a handle stands for one widget of the running application.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr WORD LOWORD(std::uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// A window procedure. A handle's procedure answers every message sent to it; a procedure set
// with SetWindowLongPtrA(GWLP_WNDPROC) hands what it does not handle to the previous one with
// CallWindowProcA.
using WNDPROC = LRESULT(CALLBACK*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_SETFONT = 0x0030; // wParam: HFONT; lParam: redraw
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_COMMAND = 0x0111; // wParam: MAKEWPARAM(control id, notification); lParam: HWND
constexpr UINT WM_USER = 0x0400;

// Notifications in WM_COMMAND.
constexpr WORD BN_CLICKED = 0;
constexpr WORD EN_CHANGE = 0x0300;

// Buttons.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;

// Window styles.
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
// Class styles of the controls.
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_OWNERDRAW = 0x000D;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;

// GetWindowLongPtrA / SetWindowLongPtrA.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;

// Owner drawing: a control with an owner-draw style has its parent paint it (WM_DRAWITEM,
// lParam this record). hDC is valid during the message only.
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;

// Direct children of parent (top-level windows when parent is null) in their creation order,
// starting after childAfter; a class or window name, when given, must match ignoring case.
HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
// The Win32 class a control stands for ("Static", "Button", "Edit", "SysTreeView32", ...).
int GetClassNameA(HWND window, LPSTR className, int maxCount);
int GetWindowTextA(HWND window, LPSTR text, int maxCount);
BOOL SetWindowTextA(HWND window, LPCSTR text);
// Dialog messages that a window understands (the folder dialog's BFFM_ messages); 0 for others.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
BOOL IsWindow(HWND window);
HWND GetActiveWindow();
// The widget that has the keyboard focus in the active window; null when there is none.
HWND GetFocus();
HWND GetParent(HWND window);

// A child control of the classes "EDIT", "BUTTON" (push button, default push button, automatic
// check box) and "STATIC"; with WS_CHILD only, inside a live parent. menu carries the control
// id. It tells its parent what happens with WM_COMMAND (EN_CHANGE for every change of its
// text, BN_CLICKED). An unknown class fails with ERROR_CANNOT_FIND_WND_CLASS, a child
// without parent with ERROR_TLW_WITH_WSCHILD; top-level windows are not made here.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
// GWL_STYLE takes WS_VISIBLE and WS_DISABLED at once; SS_OWNERDRAW on a static and
// TVS_SHOWSELALWAYS on a tree change how they paint.
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LRESULT CallWindowProcA(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int GetDlgCtrlID(HWND window);

// Geometry: window rectangles in screen coordinates, client rectangles from (0, 0); a child
// moves in its parent's client coordinates.
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL ScreenToClient(HWND window, LPPOINT point);
BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

// Icons (user32), over Qt images on the hosted platform.
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

// Painting (user32): a device context for measuring text in a window's fonts (what is drawn
// on it is not shown: only the DC of WM_DRAWITEM draws), rectangles and text.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNTEXT = 18;
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
// brush: a brush handle, or a system colour index plus one.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
// Draws (or with DT_CALCRECT measures) text in the DC's font, colour and background mode.
// DT_PATH_ELLIPSIS shortens as PathCompactPathA does; with DT_MODIFYSTRING the text is
// replaced by what was drawn (the buffer needs room for four more characters). Returns the
// height of the text, 0 on failure.
int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format);
