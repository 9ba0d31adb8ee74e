#include "platform/gui/window_map.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kIntervalMs = 100;

QString oneLine(QString text) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char(' '))
        .replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    return text.simplified();
}

QString rect(const QPoint& topLeft, const QSize& size) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(topLeft.x())
        .arg(topLeft.y())
        .arg(size.width())
        .arg(size.height());
}

QString textOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    return {};
}

// The rows of a list or table that are in view, each with its rectangle on the screen.
void addItems(const QAbstractItemView* view, QStringList& lines) {
    const QAbstractItemModel* model = view->model();
    if (!model) return;
    const QWidget* viewport = view->viewport();
    const QRect visible = viewport->rect();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const QRect area = view->visualRect(index);
        if (!area.isValid() || !visible.intersects(area)) continue;
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << oneLine(model->index(row, column).data().toString());
        const bool selected =
            view->selectionModel() && view->selectionModel()->isRowSelected(row, {});
        lines << QStringLiteral("item %1 %2 %3")
                     .arg(rect(viewport->mapToGlobal(area.topLeft()), area.size()))
                     .arg(selected ? 1 : 0)
                     .arg(cells.join(QLatin1Char('\t')));
    }
}

QStringList snapshot() {
    QStringList lines;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::ToolTip) continue;
        lines << QStringLiteral("window %1 %2 %3")
                     .arg(rect(window->frameGeometry().topLeft(), window->frameGeometry().size()))
                     .arg(window->isActiveWindow() ? 1 : 0)
                     .arg(oneLine(window->windowTitle()));
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(window) || child->isWindow()) continue;
            lines << QStringLiteral("control %1 %2 %3 %4")
                         .arg(QString::fromLatin1(child->metaObject()->className()))
                         .arg(rect(child->mapToGlobal(QPoint(0, 0)), child->size()))
                         .arg(child->isEnabled() ? 1 : 0)
                         .arg(oneLine(textOf(child)));
            if (const auto* view = qobject_cast<const QAbstractItemView*>(child))
                addItems(view, lines);
        }
    }
    return lines;
}

class WindowMap : public QObject {
  public:
    WindowMap(const QString& file, QObject* parent) : QObject(parent), file_(file) {
        timer_.setInterval(kIntervalMs);
        connect(&timer_, &QTimer::timeout, this, [this] { write(); });
        timer_.start();
    }

  private:
    void write() {
        const QStringList lines = snapshot();
        if (lines == last_) return;
        QSaveFile out(file_);
        if (!out.open(QIODevice::WriteOnly)) return;
        out.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        if (out.commit()) last_ = lines;
    }

    QString file_;
    QTimer timer_;
    QStringList last_;
};

} // namespace

QObject* StartWindowMap(const QString& file) {
    return new WindowMap(file, QCoreApplication::instance());
}
