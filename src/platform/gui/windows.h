// Window handles of Qt widgets. On the hosted platform a handle stands for one widget of the
// application, and each widget answers GetClassNameA with the Win32 class it plays ("Static",
// "Button", ...); on Windows it is the widget's own native window.
#pragma once

#include "platform/win32.h"

class QWidget;

HWND HandleOfWidget(QWidget* widget);
// The widget of a live handle; null for anything else.
QWidget* WidgetOfHandle(HWND window);
// Names the Win32 class of a widget whose Qt type does not tell it.
void SetWin32ClassName(QWidget* widget, const char* className);

// A window that understands messages of its own: its window procedure, unless replaced,
// hands them to it.
class Win32MessageTarget {
  public:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~Win32MessageTarget() = default;
};
