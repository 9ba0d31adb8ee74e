// What every window of the program shares: a fixed client size, centring on first show,
// modal showing through the one seam that tests can intercept, and the show/hide/close
// events under the names the windows use.
#pragma once

#include "platform/gui/modal.h"

#include <QWidget>

#include <functional>

class QPushButton;

class TFormBase : public QWidget {
    Q_OBJECT
  public:
    // A plain dialog border: a title and a close button, never a maximise button (the windows
    // have a fixed size); the list windows may be minimised as well.
    static constexpr Qt::WindowFlags kPlainDialog =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    static constexpr Qt::WindowFlags kMinimisableDialog =
        kPlainDialog | Qt::WindowMinimizeButtonHint;

    explicit TFormBase(Qt::WindowFlags flags = kPlainDialog);

    void SetClientSize(int width, int height);
    // Shows the window modally; returns when it has been hidden or closed.
    void ShowModal();
    void Close() { close(); }
    // What Esc does in a dialog: what its Cancel or back button does. Without one it closes
    // the dialog; an empty action makes Esc do nothing (a window that must not be left).
    void SetEscapeAction(std::function<void()> action);
    // The button Enter presses in a dialog: the one marked default, else the only button.
    QPushButton* DefaultButton() const;

  protected:
    // Puts the window in the middle of the screen's free area, as it is at first showing.
    void CentreOnScreen();
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormClose() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool centred_ = false;
    bool escapeSet_ = false;
    std::function<void()> escapeAction_;
};

// The program's font, set once on the application before any window exists.
void SetProgramFont();
// Paints the white client area every window has.
void MakeWhite(QWidget* widget);
