#include "controls/longlist.h"

#include "support/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

using testing_support::QtTest;

namespace {

class LongListTest : public QtTest {
  protected:
    void SetUp() override {
        window.resize(400, 300);
        list = new TLongListbox(&window);
        other = new QLineEdit(&window);
        other->setGeometry(10, 260, 100, 24);
        list->addItems({"short", "a rather long item text that needs a hint box", "third"});
        list->setGeometry(20, 30, 120, 200);
    }

    QPoint itemCentre(int row) const { return list->visualItemRect(list->item(row)).center(); }
    void moveTo(QPoint viewportPos) {
        QMouseEvent event(QEvent::MouseMove, QPointF(viewportPos),
                          list->viewport()->mapToGlobal(QPointF(viewportPos)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    }
    void moveOnto(int row) { moveTo(itemCentre(row)); }
    int textWidth(int row) const {
        return QFontMetrics(list->font()).horizontalAdvance(list->item(row)->text());
    }
    void sendToHint(QEvent::Type type) {
        TLongEdit* hint = list->HintBox();
        const QPointF at(hint->width() / 2.0, hint->height() / 2.0);
        QMouseEvent event(type, at, hint->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(hint, &event);
    }

    QWidget window;
    TLongListbox* list = nullptr;
    QLineEdit* other = nullptr;
};

} // namespace

TEST_F(LongListTest, StartsWithThePaleYellowHintColours) {
    EXPECT_FALSE(list->OnlyWhenFocused());
    EXPECT_EQ(QColor(255, 255, 234), list->BackColor());
    EXPECT_EQ(QColor(0, 0, 0), list->TextColor());
    EXPECT_EQ(nullptr, list->HintBox());
}

TEST_F(LongListTest, HintAppearsOnlyForItemsWiderThanTheList) {
    list->resize(textWidth(1), 200);
    moveOnto(1);
    EXPECT_EQ(nullptr, list->HintBox());
    moveOnto(0);
    list->resize(textWidth(1) - 1, 200);
    moveOnto(1);
    TLongEdit* hint = list->HintBox();
    ASSERT_NE(nullptr, hint);
    EXPECT_EQ(list->item(1)->text(), hint->text());
    EXPECT_EQ(&window, hint->parentWidget());
    EXPECT_EQ(list, hint->List());
    EXPECT_FALSE(hint->isHidden());
    EXPECT_EQ(textWidth(1) + 8, hint->width());
    EXPECT_EQ(QFontMetrics(list->font()).height() + 4, hint->height());
    // Laid over the item: its top-left corner in the window, one pixel to the right.
    const QPoint item =
        list->viewport()->mapTo(&window, list->visualItemRect(list->item(1)).topLeft());
    EXPECT_EQ(item + QPoint(1, 0), hint->pos());
    EXPECT_EQ(list->BackColor(), hint->palette().color(QPalette::Base));
    EXPECT_EQ(list->TextColor(), hint->palette().color(QPalette::Text));
}

TEST_F(LongListTest, HintIsReplacedOnlyWhenAnotherItemIsHovered) {
    list->setTextColor(QColor(0, 0, 128));
    moveOnto(1);
    QPointer<TLongEdit> first = list->HintBox();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(QColor(0, 0, 128), first->palette().color(QPalette::Text));
    moveTo(itemCentre(1) + QPoint(3, 0));
    EXPECT_EQ(first.data(), list->HintBox());

    // Empty space below the items leaves the hint; coming back makes a new one.
    moveTo(QPoint(10, list->viewport()->height() - 5));
    EXPECT_EQ(first.data(), list->HintBox());
    moveOnto(1);
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(nullptr, list->HintBox());

    // A short item removes the hint and shows none.
    moveOnto(0);
    EXPECT_EQ(nullptr, list->HintBox());
}

TEST_F(LongListTest, OnlyWhenFocusedNeedsTheKeyboardFocus) {
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    list->setOnlyWhenFocused(true);
    other->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(other, QApplication::focusWidget());
    moveOnto(1);
    EXPECT_EQ(nullptr, list->HintBox());

    list->setFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(list, QApplication::focusWidget());
    moveOnto(0);
    moveOnto(1);
    EXPECT_NE(nullptr, list->HintBox());
}

TEST_F(LongListTest, ClicksOnTheHintReachTheList) {
    moveOnto(1);
    ASSERT_NE(nullptr, list->HintBox());
    int doubleClicked = -1;
    QObject::connect(list, &QListWidget::itemDoubleClicked,
                     [&](QListWidgetItem* item) { doubleClicked = list->row(item); });
    list->setCurrentRow(2);
    sendToHint(QEvent::MouseButtonPress);
    sendToHint(QEvent::MouseButtonRelease);
    EXPECT_EQ(1, list->currentRow());
    EXPECT_EQ(-1, doubleClicked);
    sendToHint(QEvent::MouseButtonDblClick);
    sendToHint(QEvent::MouseButtonRelease);
    EXPECT_EQ(1, doubleClicked);
}

TEST_F(LongListTest, HintIsReadOnlyAndNeverTakesTheFocus) {
    window.show();
    window.activateWindow();
    list->setFocus();
    QCoreApplication::processEvents();
    moveOnto(1);
    TLongEdit* hint = list->HintBox();
    ASSERT_NE(nullptr, hint);
    EXPECT_TRUE(hint->isReadOnly());
    EXPECT_EQ(Qt::NoFocus, hint->focusPolicy());
    sendToHint(QEvent::MouseButtonPress);
    sendToHint(QEvent::MouseButtonRelease);
    EXPECT_FALSE(hint->hasFocus());
    const QString before = hint->text();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(hint, &key);
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(hint, &erase);
    EXPECT_EQ(before, hint->text());
}

TEST_F(LongListTest, ClosingTheWindowWithAHintShownIsSafe) {
    auto* window2 = new QWidget;
    auto* list2 = new TLongListbox(window2);
    list2->addItems({"an item far too wide for a list of forty pixels"});
    list2->setGeometry(0, 0, 40, 100);
    window2->show();
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5),
                     list2->viewport()->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(list2->viewport(), &move);
    ASSERT_NE(nullptr, list2->HintBox());
    delete window2;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(LongListTest, HidingTheListRemovesItsHint) {
    window.show();
    QCoreApplication::processEvents();
    moveOnto(1);
    QPointer<TLongEdit> hint = list->HintBox();
    ASSERT_FALSE(hint.isNull());
    list->hide();
    EXPECT_EQ(nullptr, list->HintBox());
    EXPECT_TRUE(hint->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(hint.isNull());
    list->show();
    moveOnto(1);
    EXPECT_NE(nullptr, list->HintBox());
}
