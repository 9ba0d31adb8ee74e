// The user32 window calls over widgets: controls made by CreateWindowExA and the notifications
// they send, window procedures and their replacement, geometry, owner-drawn statics, and the
// text measuring and shortening of the painting calls.
#include "conformance.h"
#include "platform/gui/windows.h"
#include "support/application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace conformance;

namespace {

// What a replaced window procedure saw, and the procedure it replaced.
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;
WNDPROC g_previous = nullptr;
// What the owner-drawing procedure was told.
DRAWITEMSTRUCT g_drawn{};
int g_drawings = 0;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) g_seen.push_back({message, wParam, lParam});
    if (message == WM_DRAWITEM) {
        g_drawn = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ++g_drawings;
        RECT area = g_drawn.rcItem;
        FillRect(g_drawn.hDC, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
        return TRUE;
    }
    return CallWindowProcA(g_previous, window, message, wParam, lParam);
}

class WindowCallsTest : public testing_support::QtTest {
  protected:
    void SetUp() override {
        g_seen.clear();
        g_drawings = 0;
        dialog.setFixedSize(300, 200);
        dialog.show();
        parent = HandleOfWidget(&dialog);
    }
    void TearDown() override { dialog.hide(); }

    HWND make(LPCSTR className, LPCSTR text, DWORD style, int id, DWORD exStyle = 0) {
        return CreateWindowExA(exStyle, className, text, WS_CHILD | style, 10, 12, 150, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                               nullptr);
    }
    static std::string text(HWND window) {
        char buffer[128];
        std::memset(buffer, kJunkByte, sizeof buffer);
        GetWindowTextA(window, buffer, sizeof buffer);
        return buffer;
    }
    // The rectangle of a child in its parent's client coordinates.
    RECT placeOf(HWND child) const {
        RECT r;
        fillJunk(r);
        EXPECT_TRUE(GetWindowRect(child, &r));
        POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
        EXPECT_TRUE(ScreenToClient(parent, &corners[0]));
        EXPECT_TRUE(ScreenToClient(parent, &corners[1]));
        return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    }

    QDialog dialog;
    HWND parent = nullptr;
};

bool sameRect(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

} // namespace

TEST_F(WindowCallsTest, ControlsAreMadeInTheirParentAndTellItWhatHappens) {
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
    ASSERT_NE(nullptr, g_previous);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(recordingProc), GetWindowLongPtrA(parent, GWLP_WNDPROC));

    junkLastError();
    HWND edit = make("EDIT", "Anfang", WS_VISIBLE | ES_AUTOHSCROLL, 101, WS_EX_CLIENTEDGE);
    HWND check = make("Button", "Merken", WS_VISIBLE | WS_DISABLED | BS_AUTOCHECKBOX, 102);
    HWND push = make("BUTTON", "Knopf", BS_PUSHBUTTON, 103);
    ASSERT_TRUE(edit && check && push);
    EXPECT_EQ(kJunkError, GetLastError());

    char className[32];
    EXPECT_EQ(4, GetClassNameA(edit, className, sizeof className));
    EXPECT_STREQ("Edit", className);
    EXPECT_EQ(check, FindWindowExA(parent, nullptr, "Button", nullptr));
    EXPECT_EQ(push, FindWindowExA(parent, check, "Button", nullptr));
    EXPECT_EQ("Anfang", text(edit));
    EXPECT_EQ(parent, GetParent(edit));
    EXPECT_EQ(101, GetDlgCtrlID(edit));
    EXPECT_EQ(102, GetWindowLongPtrA(check, GWLP_ID));
    EXPECT_EQ(LONG_PTR(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL), GetWindowLongPtrA(edit, GWL_STYLE));
    EXPECT_EQ(LONG_PTR(WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_AUTOCHECKBOX),
              GetWindowLongPtrA(check, GWL_STYLE));
    EXPECT_EQ(LONG_PTR(WS_CHILD | BS_PUSHBUTTON), GetWindowLongPtrA(push, GWL_STYLE));
    EXPECT_EQ(LONG_PTR(WS_EX_CLIENTEDGE), GetWindowLongPtrA(edit, GWL_EXSTYLE));
    EXPECT_FALSE(IsWindowVisible(push));
    EXPECT_FALSE(IsWindowEnabled(check));

    // Places: in the parent's client coordinates, moved there too.
    EXPECT_TRUE(sameRect(placeOf(edit), 10, 12, 160, 32));
    RECT client;
    fillJunk(client);
    EXPECT_TRUE(GetClientRect(edit, &client));
    EXPECT_TRUE(sameRect(client, 0, 0, 150, 20));
    EXPECT_TRUE(MoveWindow(edit, 20, 40, 100, 22, TRUE));
    EXPECT_TRUE(sameRect(placeOf(edit), 20, 40, 120, 62));
    POINT corner = {20, 40};
    EXPECT_TRUE(ClientToScreen(parent, &corner));
    RECT onScreen;
    GetWindowRect(edit, &onScreen);
    EXPECT_EQ(corner.x, onScreen.left);
    EXPECT_EQ(corner.y, onScreen.top);

    // Every change of the edit's text is told, a click on a button too; a check set by a
    // message is no click.
    EXPECT_TRUE(SetWindowTextA(edit, "Neu"));
    EXPECT_EQ(TRUE, SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Neuer")));
    EXPECT_EQ(TRUE, EnableWindow(check, TRUE)); // it was disabled
    qobject_cast<QAbstractButton*>(WidgetOfHandle(check))->click();
    EXPECT_EQ(LRESULT(BST_CHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
    SendMessageA(check, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(LRESULT(BST_UNCHECKED), SendMessageA(check, BM_GETCHECK, 0, 0));
    ASSERT_EQ(3u, g_seen.size());
    EXPECT_EQ(MAKEWPARAM(101, EN_CHANGE), g_seen[0].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(edit), g_seen[0].lParam);
    EXPECT_EQ(MAKEWPARAM(101, EN_CHANGE), g_seen[1].wParam);
    EXPECT_EQ(MAKEWPARAM(102, BN_CLICKED), g_seen[2].wParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(check), g_seen[2].lParam);
    EXPECT_EQ("Neuer", text(edit));

    // What the new procedure passes on reaches the old one: the parent's font, which its
    // controls share until they are given another.
    const LRESULT font = SendMessageA(parent, WM_GETFONT, 0, 0);
    ASSERT_NE(0, font);
    EXPECT_EQ(font, SendMessageA(push, WM_GETFONT, 0, 0));
    QLabel other;
    QFont big = other.font();
    big.setPixelSize(17);
    other.setFont(big);
    const LRESULT bigFont = SendMessageA(HandleOfWidget(&other), WM_GETFONT, 0, 0);
    ASSERT_NE(font, bigFont);
    SendMessageA(push, WM_SETFONT, static_cast<WPARAM>(bigFont), TRUE);
    EXPECT_EQ(17, WidgetOfHandle(push)->font().pixelSize());
    EXPECT_EQ(bigFont, SendMessageA(push, WM_GETFONT, 0, 0));

    // The old procedure back: nothing is recorded any more.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(recordingProc),
              SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous)));
    SetWindowTextA(edit, "Ende");
    EXPECT_EQ(3u, g_seen.size());

    // Style changes take effect at once.
    SetWindowLongPtrA(push, GWL_STYLE, WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON);
    EXPECT_TRUE(IsWindowVisible(push));
    EXPECT_FALSE(IsWindowEnabled(push));
    SetWindowLongPtrA(push, GWLP_USERDATA, 4711);
    EXPECT_EQ(4711, GetWindowLongPtrA(push, GWLP_USERDATA));
}

TEST_F(WindowCallsTest, FailuresNameTheirCause) {
    junkLastError();
    EXPECT_EQ(nullptr, make("RichEdit20A", "", WS_VISIBLE, 1));
    EXPECT_EQ(ERROR_CANNOT_FIND_WND_CLASS, GetLastError());
    junkLastError();
    EXPECT_EQ(nullptr, make("BUTTON", "Gruppe", 0x0007 /* BS_GROUPBOX */, 1));
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, GetLastError());
    junkLastError();
    EXPECT_EQ(nullptr, CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr));
    EXPECT_EQ(ERROR_TLW_WITH_WSCHILD, GetLastError());
    junkLastError();
    EXPECT_EQ(nullptr, CreateWindowExA(0, "EDIT", "", WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                                       nullptr, nullptr));
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, GetLastError());

    HWND gone = nullptr;
    {
        QDialog shortLived;
        gone = HandleOfWidget(&shortLived);
    }
    junkLastError();
    EXPECT_EQ(nullptr, CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, gone, nullptr,
                                       nullptr, nullptr));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
    junkLastError();
    EXPECT_FALSE(MoveWindow(gone, 0, 0, 1, 1, TRUE));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());

    junkLastError();
    EXPECT_EQ(0, GetWindowLongPtrA(parent, -99));
    EXPECT_EQ(ERROR_INVALID_INDEX, GetLastError());
    junkLastError();
    EXPECT_EQ(0, SetWindowLongPtrA(parent, -99, 1));
    EXPECT_EQ(ERROR_INVALID_INDEX, GetLastError());
}

TEST_F(WindowCallsTest, AnOwnerDrawnStaticIsPaintedByItsParent) {
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
    HWND plain = make("STATIC", "Text", WS_VISIBLE | SS_LEFT, 7);
    HWND drawn = make("STATIC", "Text", WS_VISIBLE | SS_OWNERDRAW, 8);
    MoveWindow(drawn, 10, 40, 120, 18, TRUE);

    WidgetOfHandle(plain)->grab();
    EXPECT_EQ(0, g_drawings);
    const QImage picture = WidgetOfHandle(drawn)->grab().toImage();
    ASSERT_EQ(1, g_drawings);
    EXPECT_EQ(ODT_STATIC, g_drawn.CtlType);
    EXPECT_EQ(8u, g_drawn.CtlID);
    EXPECT_EQ(drawn, g_drawn.hwndItem);
    EXPECT_TRUE(sameRect(g_drawn.rcItem, 0, 0, 120, 18));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(QColor(GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)).rgb(),
              picture.pixel(60, 9));

    // A static can become owner-drawn later, and stop being so.
    const LONG_PTR style = GetWindowLongPtrA(plain, GWL_STYLE);
    SetWindowLongPtrA(plain, GWL_STYLE, (style & ~LONG_PTR(SS_TYPEMASK)) | SS_OWNERDRAW);
    WidgetOfHandle(plain)->grab();
    EXPECT_EQ(2, g_drawings);
    EXPECT_EQ(plain, g_drawn.hwndItem);
    SetWindowLongPtrA(plain, GWL_STYLE, style);
    WidgetOfHandle(plain)->grab();
    EXPECT_EQ(2, g_drawings);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
}

namespace {

class PathCompactPathTest : public testing_support::QtTest {
  protected:
    void SetUp() override {
        dc = GetDC(nullptr);
        ASSERT_NE(nullptr, dc);
    }
    void TearDown() override { EXPECT_EQ(1, ReleaseDC(nullptr, dc)); }

    int width(const char* text) const {
        SIZE size;
        fillJunk(size);
        EXPECT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size));
        return size.cx;
    }
    // The sample path shortened to dx pixels.
    std::string compact(int dx, BOOL* result = nullptr) const {
        char path[MAX_PATH] = "C:\\path1\\path2\\sample.txt";
        const BOOL r = PathCompactPathA(dc, path, static_cast<UINT>(dx));
        if (result) *result = r;
        return path;
    }

    HDC dc = nullptr;
};

} // namespace

TEST_F(PathCompactPathTest, TheMiddleGoesFirstAndTheLastPartStays) {
    BOOL result = FALSE;
    EXPECT_EQ("C:\\path1\\path2\\sample.txt",
              compact(width("C:\\path1\\path2\\sample.txt"), &result));
    EXPECT_TRUE(result);
    EXPECT_EQ("C:\\path1\\...\\sample.txt", compact(width("C:\\path1\\...\\sample.txt"), &result));
    EXPECT_TRUE(result);
    EXPECT_EQ("C:\\pat...\\sample.txt", compact(width("C:\\pat...\\sample.txt"), &result));
    EXPECT_EQ("...\\sample.txt", compact(width("...\\sample.txt"), &result));
    EXPECT_TRUE(result);
    // Not even the last part fits: it is kept all the same, and the call says so.
    EXPECT_EQ("...\\sample.txt", compact(width("...\\sample.txt") - 1, &result));
    EXPECT_FALSE(result);

    // The DC's font counts: a larger one shortens more.
    HDC other = GetDC(nullptr);
    QFont big = QApplication::font();
    big.setPixelSize(big.pixelSize() > 0 ? big.pixelSize() * 2 : 22);
    QLabel label;
    label.setFont(big);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(HandleOfWidget(&label), WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(other, font);
    ASSERT_NE(nullptr, previous);
    char path[MAX_PATH] = "C:\\path1\\path2\\sample.txt";
    PathCompactPathA(other, path, static_cast<UINT>(width("C:\\path1\\...\\sample.txt")));
    EXPECT_EQ("...\\sample.txt", std::string(path));
    EXPECT_EQ(font, SelectObject(other, previous));
    junkLastError();
    EXPECT_EQ(nullptr, SelectObject(other, GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_EQ(1, ReleaseDC(nullptr, other));
    EXPECT_EQ(0, ReleaseDC(nullptr, other));
}

TEST_F(PathCompactPathTest, DrawTextShortensAlikeAndAMeasuringContextDrawsNothing) {
    const int dx = width("C:\\pat...\\sample.txt");
    char text[MAX_PATH + 4] = "C:\\path1\\path2\\sample.txt";
    RECT area = {5, 5, 5 + dx, 100};
    const int height =
        DrawTextA(dc, text, -1, &area,
                  DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT);
    EXPECT_GT(height, 0);
    EXPECT_STREQ("C:\\pat...\\sample.txt", text);
    EXPECT_EQ(5 + height, area.bottom);
    EXPECT_LE(area.right, 5 + dx);

    junkLastError();
    RECT box = {0, 0, 100, 20};
    EXPECT_EQ(0, DrawTextA(dc, "Text", -1, &box, DT_SINGLELINE));
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, GetLastError());
    junkLastError();
    EXPECT_EQ(0, FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE)));
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, GetLastError());
    junkLastError();
    EXPECT_EQ(0, FillRect(dc, &box, reinterpret_cast<HBRUSH>(&box)));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    // Prefix characters vanish unless asked to stay.
    RECT measured = {0, 0, 0, 0};
    DrawTextA(dc, "&Ordner", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(width("Ordner"), measured.right);
    measured = {0, 0, 0, 0};
    DrawTextA(dc, "&Ordner", -1, &measured, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(width("&Ordner"), measured.right);
}
