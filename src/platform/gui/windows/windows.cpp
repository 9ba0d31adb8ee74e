// Window handles on Windows: a widget's handle is its native window, made when first asked for.
#include "platform/gui/windows.h"

#include <QWidget>

HWND HandleOfWidget(QWidget* widget) {
    return widget ? reinterpret_cast<HWND>(widget->winId()) : nullptr;
}

QWidget* WidgetOfHandle(HWND window) {
    return window ? QWidget::find(reinterpret_cast<WId>(window)) : nullptr;
}

// Native controls have their classes already.
void SetWin32ClassName(QWidget*, const char*) {}
