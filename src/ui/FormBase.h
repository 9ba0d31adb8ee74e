// What every window of the program shares: a fixed client size, centring on first show,
// modal showing through the one seam that tests can intercept, and the show/hide/close
// events under the names the windows use.
#pragma once

#include "platform/gui/modal.h"

#include <QWidget>

class TFormBase : public QWidget {
    Q_OBJECT
  public:
    explicit TFormBase(Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint |
                                               Qt::WindowCloseButtonHint |
                                               Qt::WindowMinimizeButtonHint |
                                               Qt::CustomizeWindowHint);

    void SetClientSize(int width, int height);
    // Shows the window modally; returns when it has been hidden or closed.
    void ShowModal();
    void Close() { close(); }

  protected:
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormClose() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool centred_ = false;
};

// The program's font, set once on the application before any window exists.
void SetProgramFont();
// Paints the white client area every window has.
void MakeWhite(QWidget* widget);
