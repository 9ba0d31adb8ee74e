// MessageBoxA and MessageBeep over Qt's message box, shown through the modal seam.
#include "platform/gui/dialog_texts.h"
#include "platform/gui/modal.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/root.h"
#include "platform/win32.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <string>
#include <utility>
#include <vector>

namespace {

using Button = std::pair<QMessageBox::StandardButton, int>;

std::vector<Button> buttonsFor(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT},
                {QMessageBox::Retry, IDRETRY},
                {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

// The words of the buttons the program asks with; the others keep the framework's.
QString wordOf(QMessageBox::StandardButton button) {
    const HostedDialogTexts& words = HostedDialogTextsInUse();
    switch (button) {
    case QMessageBox::Yes:
        return AnsiToQString(words.yes);
    case QMessageBox::No:
        return AnsiToQString(words.no);
    case QMessageBox::Ok:
        return AnsiToQString(words.ok);
    case QMessageBox::Cancel:
        return AnsiToQString(words.cancel);
    default:
        return {};
    }
}

QMessageBox::Icon iconFor(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// What a box closed by its title bar answers.
int closedAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

} // namespace

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    if (!QApplication::instance()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    QMessageBox box;
    box.setWindowTitle(caption ? AnsiToQString(caption) : QStringLiteral("Error"));
    box.setText(text ? AnsiToQString(text) : QString());
    box.setTextFormat(Qt::PlainText);
    box.setIcon(iconFor(type));
    const std::vector<Button> buttons = buttonsFor(type);
    for (const auto& [button, id] : buttons) {
        box.addButton(button);
        if (const QString word = wordOf(button); !word.isEmpty()) box.button(button)->setText(word);
    }
    const std::size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex].first);
    ShowModalWindow(&box);
    const QAbstractButton* pressed = box.clickedButton();
    for (const auto& [button, id] : buttons)
        if (pressed && pressed == box.button(button)) return id;
    return closedAnswer(type);
}

BOOL MessageBeep(UINT type) {
    if (platform::recordShell()) {
        return platform::guardedCall(FALSE, [&] {
            platform::logShell({"sound", "beep", std::to_string(type), "", ""});
            return TRUE;
        });
    }
    QApplication::beep();
    return TRUE;
}
