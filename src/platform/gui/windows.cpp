// FindWindowExA, GetClassNameA and the other user32 window calls, over the application's
// widgets.
#include "platform/gui/windows.h"

#include "platform/gui/gdi.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVariant>

#include <algorithm>
#include <cstring>

namespace {

const char* const kClassProperty = "win32ClassName";
const char* const kProcProperty = "win32WindowProc";
const char* const kStyleProperty = "win32Style";
const char* const kExStyleProperty = "win32ExStyle";
const char* const kIdProperty = "win32ControlId";
const char* const kUserDataProperty = "win32UserData";

// The styles a window was given that Qt does not keep itself.
constexpr DWORD kClassStyleMask = 0x0000FFFF;

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

void setText(QWidget* widget, const QString& value) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else
        widget->setWindowTitle(value);
}

LRESULT CALLBACK hostedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

WNDPROC procOf(QWidget* widget) {
    const QVariant proc = widget->property(kProcProperty);
    return proc.isValid() ? reinterpret_cast<WNDPROC>(proc.value<qulonglong>()) : hostedWindowProc;
}

LRESULT deliver(QWidget* widget, UINT message, WPARAM wParam, LPARAM lParam) {
    return procOf(widget)(HandleOfWidget(widget), message, wParam, lParam);
}

int controlId(QWidget* widget) {
    return widget->property(kIdProperty).toInt();
}

// The class part of a window's style: what it was given, else what its kind of widget is.
DWORD classStyleOf(QWidget* widget) {
    const QVariant stored = widget->property(kStyleProperty);
    if (stored.isValid()) return static_cast<DWORD>(stored.toULongLong());
    if (qobject_cast<QCheckBox*>(widget)) return BS_AUTOCHECKBOX;
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->isDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return ES_AUTOHSCROLL | (edit->isReadOnly() ? ES_READONLY : 0);
    if (qobject_cast<QTreeView*>(widget))
        return TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    return 0;
}

DWORD styleOf(QWidget* widget) {
    DWORD style = classStyleOf(widget);
    if (!widget->isWindow()) style |= WS_CHILD;
    const bool visible =
        widget->isWindow() ? widget->isVisible() : widget->isVisibleTo(widget->parentWidget());
    if (visible) style |= WS_VISIBLE;
    if (widget->testAttribute(Qt::WA_ForceDisabled)) style |= WS_DISABLED;
    return style;
}

// Paints the statics that have the owner-draw style through their parent's WM_DRAWITEM.
class OwnerDrawPainter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        auto* label = qobject_cast<QLabel*>(watched);
        if (!label || (classStyleOf(label) & SS_TYPEMASK) != SS_OWNERDRAW) return false;
        QWidget* parent = label->parentWidget();
        if (!parent) return true;
        QPainter painter(label);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = static_cast<UINT>(controlId(label));
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = HandleOfWidget(label);
        item.hDC = PrepareDeviceContext(painter, label);
        item.rcItem = {0, 0, label->width(), label->height()};
        deliver(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return true;
    }
};

OwnerDrawPainter* ownerDrawPainter() {
    static auto* painter = new OwnerDrawPainter;
    return painter;
}

// What a class style changes in how a widget paints.
void applyClassStyle(QWidget* widget, DWORD style) {
    if (qobject_cast<QLabel*>(widget) && (style & SS_TYPEMASK) == SS_OWNERDRAW) {
        widget->removeEventFilter(ownerDrawPainter());
        widget->installEventFilter(ownerDrawPainter());
    }
    if (auto* tree = qobject_cast<QTreeView*>(widget)) {
        // Without TVS_SHOWSELALWAYS the selection shows only while the tree has the focus.
        const QPalette standard = QApplication::palette(tree);
        QPalette palette = tree->palette();
        const bool always = style & TVS_SHOWSELALWAYS;
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         always ? standard.color(QPalette::Inactive, QPalette::Highlight)
                                : standard.color(QPalette::Inactive, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         always ? standard.color(QPalette::Inactive, QPalette::HighlightedText)
                                : standard.color(QPalette::Inactive, QPalette::Text));
        tree->setPalette(palette);
    }
    widget->update();
}

LRESULT CALLBACK hostedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = WidgetOfHandle(window);
    if (!widget) return 0;
    switch (message) {
    case WM_SETTEXT:
        setText(widget, AnsiToQString(lParam ? reinterpret_cast<LPCSTR>(lParam) : ""));
        return TRUE;
    case WM_SETFONT: {
        QFont font;
        if (FontOfHandle(reinterpret_cast<HFONT>(wParam), font)) widget->setFont(font);
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FontHandle(widget->font()));
    case BM_GETCHECK:
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        return 0;
    case BM_SETCHECK:
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable())
            button->setChecked(wParam == BST_CHECKED);
        return 0;
    default:
        break;
    }
    if (auto* target = dynamic_cast<Win32MessageTarget*>(widget))
        return target->HandleMessage(message, wParam, lParam);
    return 0;
}

// Tells the parent, as the control's window procedure would.
void notifyParent(QWidget* control, WORD code) {
    QWidget* parent = control->parentWidget();
    if (!parent) return;
    deliver(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(controlId(control)), code),
            reinterpret_cast<LPARAM>(HandleOfWidget(control)));
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
    setText(widget, AnsiToQString(text ? text : ""));
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    QWidget* widget = liveWidget(window);
    if (!widget) return 0;
    return deliver(widget, message, wParam, lParam);
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

HWND GetFocus() {
    return QApplication::instance() ? HandleOfWidget(QApplication::focusWidget()) : nullptr;
}

HWND GetParent(HWND window) {
    QWidget* widget = liveWidget(window);
    if (!widget || widget->isWindow()) return nullptr;
    return HandleOfWidget(widget->parentWidget());
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    if (!(style & WS_CHILD)) {
        // The program's own windows are Qt windows; only controls are made here.
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    if (!parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    QWidget* owner = liveWidget(parent);
    if (!owner) return nullptr;
    const QString text = AnsiToQString(windowName ? windowName : "");
    QWidget* control = nullptr;
    if (className && lstrcmpiA(className, "EDIT") == 0) {
        auto* edit = new QLineEdit(text, owner);
        edit->setFrame(exStyle & WS_EX_CLIENTEDGE);
        edit->setReadOnly(style & ES_READONLY);
        QObject::connect(edit, &QLineEdit::textChanged, edit,
                         [edit] { notifyParent(edit, EN_CHANGE); });
        control = edit;
    } else if (className && lstrcmpiA(className, "BUTTON") == 0) {
        QAbstractButton* button = nullptr;
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: {
            auto* push = new QPushButton(text, owner);
            push->setAutoDefault(false);
            push->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
            button = push;
            break;
        }
        case BS_AUTOCHECKBOX:
            button = new QCheckBox(text, owner);
            break;
        default:
            SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
            return nullptr;
        }
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [button] { notifyParent(button, BN_CLICKED); });
        control = button;
    } else if (className && lstrcmpiA(className, "STATIC") == 0) {
        control = new QLabel(text, owner);
    } else {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    control->setProperty(kStyleProperty, static_cast<qulonglong>(style & kClassStyleMask));
    control->setProperty(kExStyleProperty, static_cast<qulonglong>(exStyle));
    control->setProperty(kIdProperty, static_cast<int>(reinterpret_cast<std::intptr_t>(menu)));
    control->setGeometry(x, y, width, height);
    control->setEnabled(!(style & WS_DISABLED));
    control->setVisible(style & WS_VISIBLE);
    applyClassStyle(control, style & kClassStyleMask);
    return HandleOfWidget(control);
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    QWidget* widget = liveWidget(window);
    if (!widget) return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(procOf(widget));
    case GWLP_ID:
        return controlId(widget);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(styleOf(widget));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(widget->property(kExStyleProperty).toULongLong());
    case GWLP_USERDATA:
        return static_cast<LONG_PTR>(widget->property(kUserDataProperty).toLongLong());
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    QWidget* widget = liveWidget(window);
    if (!widget) return 0;
    const LONG_PTR previous = GetWindowLongPtrA(window, index);
    switch (index) {
    case GWLP_WNDPROC: {
        const auto proc = reinterpret_cast<WNDPROC>(value);
        if (!proc || proc == hostedWindowProc)
            widget->setProperty(kProcProperty, QVariant());
        else
            widget->setProperty(kProcProperty, static_cast<qulonglong>(value));
        break;
    }
    case GWLP_ID:
        widget->setProperty(kIdProperty, static_cast<int>(value));
        break;
    case GWL_STYLE: {
        const auto style = static_cast<DWORD>(value);
        widget->setProperty(kStyleProperty, static_cast<qulonglong>(style & kClassStyleMask));
        widget->setEnabled(!(style & WS_DISABLED));
        if (!widget->isWindow()) widget->setVisible(style & WS_VISIBLE);
        applyClassStyle(widget, style & kClassStyleMask);
        break;
    }
    case GWL_EXSTYLE:
        widget->setProperty(kExStyleProperty, static_cast<qulonglong>(static_cast<DWORD>(value)));
        break;
    case GWLP_USERDATA:
        widget->setProperty(kUserDataProperty, static_cast<qlonglong>(value));
        break;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return previous;
}

LRESULT CallWindowProcA(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!previous) return 0;
    return previous(window, message, wParam, lParam);
}

int GetDlgCtrlID(HWND window) {
    QWidget* widget = liveWidget(window);
    return widget ? controlId(widget) : 0;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const QRect area = widget->isWindow()
                           ? widget->frameGeometry()
                           : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    *rect = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *rect = {0, 0, widget->width(), widget->height()};
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point) {
    QWidget* widget = liveWidget(window);
    if (!widget || !point) return FALSE;
    const QPoint local = widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = {local.x(), local.y()};
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point) {
    QWidget* widget = liveWidget(window);
    if (!widget || !point) return FALSE;
    const QPoint global = widget->mapToGlobal(QPoint(point->x, point->y));
    *point = {global.x(), global.y()};
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    QWidget* widget = liveWidget(window);
    if (!widget) return FALSE;
    widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
    if (repaint) widget->update();
    return TRUE;
}
