// Window messages and the few user32 window calls that code outside the windows themselves
// needs: finding a dialog's controls by class name and talking to them. The windows are Qt
// widgets; a handle stands for one widget of the running application.
#pragma once

#include "platform/win32_types.h"

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_USER = 0x0400;

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
