#include "ui/FormBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
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
