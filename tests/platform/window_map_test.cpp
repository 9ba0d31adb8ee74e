// The map of what the program shows, which the Windows check reads to click through the
// program under Wine: every shown window with its controls and list rows where they are on
// the screen, rewritten as what is shown changes.
#include "platform/gui/window_map.h"

#include "support/application.h"
#include "support/window_fixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using testing_support::QtTest;
using testing_support::RunEventsUntil;

QStringList mapLines(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString where(const QWidget* widget, const QRect& area) {
    const QPoint topLeft = widget->mapToGlobal(area.topLeft());
    return QStringLiteral("%1 %2 %3 %4")
        .arg(topLeft.x())
        .arg(topLeft.y())
        .arg(area.width())
        .arg(area.height());
}

class WindowMapTest : public QtTest {};

TEST_F(WindowMapTest, ListsShownWindowsWithTheirControlsAndRowsAndFollowsWhatChanges) {
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("map.txt"));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Über den Cache"));
    window.resize(320, 220);
    auto* label = new QLabel(QStringLiteral("Two\nlines "), &window);
    label->move(10, 10);
    auto* button = new QPushButton(QStringLiteral("Press"), &window);
    button->setGeometry(10, 40, 80, 24);
    button->setEnabled(false);
    auto* hidden = new QPushButton(QStringLiteral("Not shown"), &window);
    hidden->hide();
    auto* list = new QListWidget(&window);
    list->setGeometry(10, 80, 200, 100);
    list->addItems({QStringLiteral("ENGLISH"), QStringLiteral("DEUTSCH")});
    list->setCurrentRow(1);
    window.show();

    const std::unique_ptr<QObject> map(StartWindowMap(file));
    ASSERT_TRUE(RunEventsUntil([&] { return !mapLines(file).isEmpty(); }));
    const QStringList lines = mapLines(file);

    EXPECT_TRUE(lines.contains(QStringLiteral("window %1 %2 %3 %4 %5 Über den Cache")
                                   .arg(window.frameGeometry().x())
                                   .arg(window.frameGeometry().y())
                                   .arg(window.frameGeometry().width())
                                   .arg(window.frameGeometry().height())
                                   .arg(window.isActiveWindow() ? 1 : 0)))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("control QLabel %1 1 Two lines")
                                   .arg(where(label, QRect(QPoint(), label->size())))));
    EXPECT_TRUE(lines.contains(QStringLiteral("control QPushButton %1 0 Press")
                                   .arg(where(button, QRect(QPoint(), button->size())))));
    EXPECT_FALSE(lines.filter(QStringLiteral("Not shown")).size());
    const QWidget* rows = list->viewport();
    EXPECT_TRUE(lines.contains(
        QStringLiteral("item %1 0 ENGLISH").arg(where(rows, list->visualItemRect(list->item(0))))));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("item %1 1 DEUTSCH").arg(where(rows, list->visualItemRect(list->item(1))))));

    // A change is written anew, and a window that went is gone from the map.
    button->setText(QStringLiteral("Pressed"));
    ASSERT_TRUE(RunEventsUntil(
        [&] { return !mapLines(file).filter(QStringLiteral("Pressed")).isEmpty(); }));
    window.hide();
    ASSERT_TRUE(
        RunEventsUntil([&] { return mapLines(file).filter(QStringLiteral("window ")).isEmpty(); }));
}

} // namespace
