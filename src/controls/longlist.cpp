#include "controls/longlist.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>

#include <algorithm>

TLongEdit::TLongEdit(TLongListbox* list, QWidget* parent) : QLineEdit(parent), list_(list) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TLongEdit::focusInEvent(QFocusEvent*) {
    // Never takes the focus, so no caret appears and typing stays with whoever had it.
}

bool TLongEdit::forwardToList(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || list_ == nullptr) return false;
    QWidget* target = list_->viewport();
    const QPointF global = mapToGlobal(event->position());
    QPointF local = target->mapFromGlobal(global);
    // The hint sticks out past the list's right edge; as in the system's list box, a click
    // there still means the line at that height.
    local.setX(std::clamp(local.x(), 0.0, std::max(0.0, target->width() - 1.0)));
    QMouseEvent forwarded(event->type(), local, global, event->button(), event->buttons(),
                          event->modifiers());
    QCoreApplication::sendEvent(target, &forwarded);
    event->accept();
    return true;
}

void TLongEdit::mousePressEvent(QMouseEvent* event) {
    if (!forwardToList(event)) QLineEdit::mousePressEvent(event);
}

void TLongEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (!forwardToList(event)) QLineEdit::mouseReleaseEvent(event);
}

void TLongEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!forwardToList(event)) QLineEdit::mouseDoubleClickEvent(event);
}

TLongListbox::TLongListbox(QWidget* parent) : QListWidget(parent) {
    setMouseTracking(true);
    // Every item is one line of text: the view takes the first item's height for all of
    // them instead of measuring each one, which made selecting a line in a list of 10 000
    // cookies take most of a filter keystroke's time. Long items show through the hint, as
    // in the system's list box, not through a horizontal scroll bar.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

TLongListbox::~TLongListbox() {
    removeHint();
}

void TLongListbox::removeHint() {
    delete hint_.data();
}

void TLongListbox::mouseMoveEvent(QMouseEvent* event) {
    QListWidget::mouseMoveEvent(event);
    if (onlyWhenFocused_ && QApplication::focusWidget() != this) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : -1;
    if (row == lastHovered_) return;
    lastHovered_ = row;
    if (row == -1) return;
    removeHint();

    const QString text = item(row)->text();
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text);
    if (textWidth <= width()) return;

    // The hint lies on the list's parent, so that it may stick out past the list's edge.
    QWidget* host = parentWidget() != nullptr ? parentWidget() : this;
    const QRect itemRect = visualItemRect(item(row));
    const QPoint itemInList = viewport()->mapTo(this, itemRect.topLeft());
    const QPoint listOrigin = host == this ? QPoint(0, 0) : pos();
    auto* hint = new TLongEdit(this, host);
    hint->setFrame(true);
    QPalette colors = hint->palette();
    colors.setColor(QPalette::Base, backColor_);
    colors.setColor(QPalette::Text, textColor_);
    hint->setPalette(colors);
    hint->setFont(font());
    hint->setGeometry(listOrigin.x() + itemInList.x() + 1, listOrigin.y() + itemInList.y(),
                      textWidth + 8, metrics.height() + 4);
    hint->setText(text);
    hint->setCursorPosition(0);
    hint->raise();
    hint->show();
    hint_ = hint;
}

void TLongListbox::hideEvent(QHideEvent* event) {
    // A hint left over a hidden list would show a stale item when the list is filled anew.
    // Only later deleted: the hint is a sibling, and the parent may be walking its children
    // to hide them right now.
    if (TLongEdit* hint = hint_.data()) {
        hint_ = nullptr;
        hint->hide();
        hint->deleteLater();
    }
    lastHovered_ = -1;
    QListWidget::hideEvent(event);
}
