#include "ui/FormBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

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
    // Restored from minimised by the window manager: the window shows what it showed, and
    // its show handler (which reads the machine afresh) does not run again.
    if (event->spontaneous()) return;
    if (!centred_) {
        centred_ = true;
        CentreOnScreen();
    }
    FormShow();
}

void TFormBase::CentreOnScreen() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TFormBase::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) return; // minimised: the window is still open
    FormHide();
}

void TFormBase::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TFormBase::SetEscapeAction(std::function<void()> action) {
    escapeSet_ = true;
    escapeAction_ = std::move(action);
}

QPushButton* TFormBase::DefaultButton() const {
    QPushButton* only = nullptr;
    int shown = 0;
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(this)) continue;
        if (button->isDefault()) return button;
        only = button;
        ++shown;
    }
    return shown == 1 ? only : nullptr;
}

void TFormBase::keyPressEvent(QKeyEvent* event) {
    // The main window is no dialog: Esc never ends the program, Enter belongs to its pages.
    if (windowType() != Qt::Dialog || event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        if (!escapeSet_)
            Close();
        else if (escapeAction_)
            escapeAction_();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A disabled default button (OK before a choice) takes no Enter.
        if (QPushButton* button = DefaultButton()) button->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
