#include "platform/gui/modal.h"

#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

namespace {

ModalHook g_modalHook;

// Ends a modal loop when its window goes away: hidden or closed by the program, or destroyed.
// The window system's own hide (minimised by the window manager, another virtual desktop) is
// no answer: the window stays modal, and restoring it carries on where the user was.
class HideWatcher : public QObject {
  public:
    HideWatcher(QWidget* window, QEventLoop& loop) : window_(window), loop_(loop) {
        window->installEventFilter(this);
    }
    ~HideWatcher() override {
        if (window_) window_->removeEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) return false;
        if (event->type() == QEvent::Destroy ||
            (event->type() == QEvent::Hide && !event->spontaneous()))
            loop_.quit();
        return false;
    }

  private:
    QPointer<QWidget> window_;
    QEventLoop& loop_;
};

} // namespace

void SetModalHook(ModalHook hook) {
    g_modalHook = std::move(hook);
}

void RunModalLoop(QWidget* window) {
    if (!window || !window->isVisible()) return;
    QEventLoop loop;
    HideWatcher watcher(window, loop);
    loop.exec(QEventLoop::DialogExec);
}

void ShowModalWindow(QWidget* window) {
    if (!window) return;
    QPointer<QWidget> guard(window);
    const Qt::WindowModality previous = window->windowModality();
    if (!window->isVisible()) {
        window->setWindowModality(Qt::ApplicationModal);
        if (window->windowState() & Qt::WindowMinimized)
            window->showMinimized();
        else
            window->show();
    }
    if (g_modalHook) {
        g_modalHook(window);
        if (guard && guard->isVisible()) guard->close();
    } else {
        RunModalLoop(window);
    }
    if (guard) guard->setWindowModality(previous);
}
