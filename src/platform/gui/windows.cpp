// FindWindowExA, GetClassNameA and the other user32 window calls, over the application's
// widgets.
#include "platform/gui/windows.h"

#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QTreeView>
#include <QVariant>

#include <algorithm>
#include <cstring>

namespace {

const char* const kClassProperty = "win32ClassName";

std::string classNameOf(QWidget* widget) {
    const QVariant named = widget->property(kClassProperty);
    if (named.isValid()) return named.toString().toStdString();
    if (qobject_cast<QLabel*>(widget)) return "Static";
    if (qobject_cast<QAbstractButton*>(widget)) return "Button";
    if (qobject_cast<QLineEdit*>(widget)) return "Edit";
    if (qobject_cast<QComboBox*>(widget)) return "ComboBox";
    if (qobject_cast<QTreeView*>(widget)) return "SysTreeView32";
    if (qobject_cast<QListView*>(widget)) return "SysListView32";
    if (qobject_cast<QProgressBar*>(widget)) return "msctls_progress32";
    if (qobject_cast<QDialog*>(widget)) return "#32770";
    return widget->metaObject()->className();
}

QString textOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText();
    return widget->windowTitle();
}

QWidget* liveWidget(HWND window) {
    QWidget* widget = WidgetOfHandle(window);
    if (!widget) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return widget;
}

} // namespace

HWND HandleOfWidget(QWidget* widget) {
    return reinterpret_cast<HWND>(widget);
}

QWidget* WidgetOfHandle(HWND window) {
    if (!window || !QApplication::instance()) return nullptr;
    auto* candidate = reinterpret_cast<QWidget*>(window);
    const QWidgetList all = QApplication::allWidgets();
    return all.contains(candidate) ? candidate : nullptr;
}

void SetWin32ClassName(QWidget* widget, const char* className) {
    if (widget) widget->setProperty(kClassProperty, QString::fromLatin1(className));
}

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
    QWidgetList candidates;
    if (parent) {
        QWidget* owner = liveWidget(parent);
        if (!owner) return nullptr;
        for (QObject* child : owner->children())
            if (child->isWidgetType() && !static_cast<QWidget*>(child)->isWindow())
                candidates.push_back(static_cast<QWidget*>(child));
    } else if (QApplication::instance()) {
        candidates = QApplication::topLevelWidgets();
    }
    auto start = candidates.begin();
    if (childAfter) {
        start =
            std::find(candidates.begin(), candidates.end(), reinterpret_cast<QWidget*>(childAfter));
        if (start == candidates.end()) return nullptr;
        ++start;
    }
    for (auto it = start; it != candidates.end(); ++it) {
        QWidget* w = *it;
        if (className && lstrcmpiA(classNameOf(w).c_str(), className) != 0) continue;
        if (windowName && lstrcmpiA(QStringToAnsi(textOf(w)).c_str(), windowName) != 0) continue;
        return HandleOfWidget(w);
    }
    return nullptr;
}

int GetClassNameA(HWND window, LPSTR className, int maxCount) {
    QWidget* widget = liveWidget(window);
    if (!widget || !className || maxCount <= 0) return 0;
    const std::string name = classNameOf(widget);
    const int n = std::min(static_cast<int>(name.size()), maxCount - 1);
    std::memcpy(className, name.data(), static_cast<std::size_t>(n));
    className[n] = '\0';
    return n;
}

int GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    QWidget* widget = liveWidget(window);
    if (!widget || !text || maxCount <= 0) return 0;
    const std::string value = QStringToAnsi(textOf(widget));
    const int n = std::min(static_cast<int>(value.size()), maxCount - 1);
    std::memcpy(text, value.data(), static_cast<std::size_t>(n));
    text[n] = '\0';
    return n;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    const QString value = AnsiToQString(text ? text : "");
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else
        widget->setWindowTitle(value);
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = liveWidget(window);
    if (auto* target = dynamic_cast<Win32MessageTarget*>(widget))
        return target->HandleMessage(message, wParam, lParam);
    return 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    const bool wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    QWidget* widget = liveWidget(window);
    return widget && widget->isEnabled() ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    QWidget* widget = liveWidget(window);
    return widget && widget->isVisible() ? TRUE : FALSE;
}

BOOL ShowWindow(HWND window, int showCommand) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    const bool wasVisible = widget->isVisible();
    widget->setVisible(showCommand != SW_HIDE);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    return WidgetOfHandle(window) ? TRUE : FALSE;
}

HWND GetActiveWindow() {
    return QApplication::instance() ? HandleOfWidget(QApplication::activeWindow()) : nullptr;
}
