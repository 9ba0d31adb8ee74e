#include "shell/FormBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace {

ModalHook g_modalHook;

// Ends a modal loop when its window goes away.
class HideWatcher : public QObject {
  public:
    HideWatcher(QWidget* window, QEventLoop& loop) : window_(window), loop_(loop) {
        window->installEventFilter(this);
    }
    ~HideWatcher() override {
        if (window_) window_->removeEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ &&
            (event->type() == QEvent::Hide || event->type() == QEvent::Destroy))
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

void SetProgramFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

void MakeWhite(QWidget* widget) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, Qt::white);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

TFormBase::TFormBase(Qt::WindowFlags flags) : QWidget(nullptr, flags) {
    MakeWhite(this);
}

void TFormBase::SetClientSize(int width, int height) {
    setFixedSize(width, height);
}

void TFormBase::ShowModal() {
    ShowModalWindow(this);
}

void TFormBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
    }
    FormShow();
}

void TFormBase::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FormHide();
}

void TFormBase::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}
