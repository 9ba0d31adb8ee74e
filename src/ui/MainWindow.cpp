#include "ui/MainWindow.h"

namespace {
TMainWindowRole* registered = nullptr;
} // namespace

TMainWindowRole* MainWindowRole() {
    return registered;
}

void SetMainWindowRole(TMainWindowRole* role) {
    registered = role;
}

TMainWindowHidden::TMainWindowHidden()
    : TMainWindowHidden(registered ? registered->Window() : nullptr) {}

TMainWindowHidden::TMainWindowHidden(QWidget* mainWindow) : window_(mainWindow) {
    if (!window_) return;
    wasVisible_ = window_->isVisible();
    window_->hide();
}

TMainWindowHidden::~TMainWindowHidden() {
    // The window may have gone meanwhile (the program ended from the modal window).
    if (window_ && wasVisible_) window_->show();
}
