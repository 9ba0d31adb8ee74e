#include "controls/aniicon.h"

#include "ani_bytes.h"
#include "support/application.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMouseEvent>

using namespace ani_bytes;
using testing_support::QtTest;

namespace {

void sendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, QPoint at = {5, 5}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

void sendEnter(QWidget& widget) {
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(&widget, &event);
}

void sendLeave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

class AniIconTest : public QtTest {
  protected:
    void SetUp() override {
        Ani ani;
        ani.displayRate = 0; // a new frame every tick
        ani.frames = solidFrames(3);
        icon.AniFile()->LoadFromData(ani.bytes());
    }
    TAniIcon icon;
};

} // namespace

TEST_F(AniIconTest, StartsStillAtThirtyTwoPixels) {
    EXPECT_EQ(QSize(32, 32), icon.size());
    EXPECT_FALSE(icon.Animated());
    EXPECT_FALSE(icon.TimerRunning());
    EXPECT_EQ(3, icon.AniFile()->FrameCount());
}

TEST_F(AniIconTest, AnimatedRunsTheFrameTimer) {
    icon.setAnimated(true);
    EXPECT_TRUE(icon.TimerRunning());
    icon.setAnimated(true);
    EXPECT_TRUE(icon.TimerRunning());
    QElapsedTimer clock;
    clock.start();
    while (icon.AniFile()->CurrentFrame() == 0 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(0, icon.AniFile()->CurrentFrame());

    icon.setAnimated(false);
    EXPECT_FALSE(icon.TimerRunning());
    const int stopped = icon.AniFile()->CurrentFrame();
    clock.restart();
    while (clock.elapsed() < 80)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(stopped, icon.AniFile()->CurrentFrame());
}

TEST_F(AniIconTest, FrameSelectsOnlyExistingFrames) {
    icon.setFrame(2);
    EXPECT_EQ(2, icon.Frame());
    EXPECT_EQ(2, icon.AniFile()->CurrentFrame());
    icon.setFrame(70);
    EXPECT_EQ(0, icon.Frame());
    icon.setFrame(2);
    icon.setFrame(-1);
    EXPECT_EQ(0, icon.Frame());
}

TEST_F(AniIconTest, AnimateOnEnterFollowsTheMouseOnlyWhenEnabled) {
    icon.setAnimateOnEnter(true);
    sendEnter(icon);
    EXPECT_TRUE(icon.Hovered());
    EXPECT_TRUE(icon.TimerRunning());
    sendLeave(icon);
    EXPECT_FALSE(icon.Hovered());
    EXPECT_FALSE(icon.TimerRunning());

    icon.setEnabled(false);
    sendEnter(icon);
    EXPECT_TRUE(icon.Hovered());
    EXPECT_FALSE(icon.TimerRunning());
    sendLeave(icon);

    // Without AnimateOnEnter the mouse leaves a running animation alone.
    icon.setEnabled(true);
    icon.setAnimateOnEnter(false);
    icon.setAnimated(true);
    sendEnter(icon);
    sendLeave(icon);
    EXPECT_TRUE(icon.TimerRunning());
}

TEST_F(AniIconTest, LeftClickInsideIsAClick) {
    int clicks = 0;
    int doubleClicks = 0;
    QObject::connect(&icon, &TAniIcon::clicked, [&] { ++clicks; });
    QObject::connect(&icon, &TAniIcon::doubleClicked, [&] { ++doubleClicks; });
    sendMouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_TRUE(icon.Pressed());
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_FALSE(icon.Pressed());
    EXPECT_EQ(1, clicks);

    // Released outside: no click.
    sendMouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(40, 5));
    EXPECT_EQ(1, clicks);

    // Right press shows nothing pressed; any release clears a left press.
    sendMouse(icon, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_FALSE(icon.Pressed());
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_EQ(1, clicks);
    sendMouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::RightButton);
    EXPECT_FALSE(icon.Pressed());

    // A double-click is one click and one double-click.
    clicks = 0;
    sendMouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton);
    sendMouse(icon, QEvent::MouseButtonDblClick, Qt::LeftButton);
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(1, doubleClicks);
}

TEST_F(AniIconTest, PaintsTheFrameCentredOrAtTheCorner) {
    icon.resize(40, 40);
    QPalette colors = icon.palette();
    colors.setColor(QPalette::Window, Qt::white);
    icon.setPalette(colors);
    const QRgb first = frameColor(0) | 0xFF000000u;
    QImage picture = icon.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(first, picture.pixel(1, 0));
    EXPECT_EQ(first, picture.pixel(31, 31));
    EXPECT_EQ(qRgb(255, 255, 255), picture.pixel(32, 32));

    icon.setCenter(true);
    picture = icon.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(qRgb(255, 255, 255), picture.pixel(3, 3));
    EXPECT_EQ(qRgb(255, 255, 255), picture.pixel(4, 4)); // the masked corner of the frame
    EXPECT_EQ(first, picture.pixel(5, 4));
    EXPECT_EQ(first, picture.pixel(35, 35));
    EXPECT_EQ(qRgb(255, 255, 255), picture.pixel(36, 36));
}

TEST_F(AniIconTest, ButtonStyleFramesHoverRaisedAndPressSunken) {
    icon.resize(40, 40);
    icon.setAniFile(nullptr);
    QPalette colors = icon.palette();
    colors.setColor(QPalette::Window, QColor(0, 0, 255));
    icon.setPalette(colors);
    const QRgb gray = qRgb(0x80, 0x80, 0x80);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb blue = qRgb(0, 0, 255);
    auto corners = [&] {
        const QImage p = icon.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return std::vector<QRgb>{p.pixel(0, 10), p.pixel(39, 10), p.pixel(10, 39)};
    };
    sendEnter(icon);
    EXPECT_EQ((std::vector<QRgb>{blue, blue, blue}), corners()); // no button style yet
    icon.setButtonStyle(true);
    EXPECT_EQ((std::vector<QRgb>{white, gray, gray}), corners());
    sendMouse(icon, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ((std::vector<QRgb>{gray, white, white}), corners());
    sendMouse(icon, QEvent::MouseButtonRelease, Qt::LeftButton);
    sendLeave(icon);
    EXPECT_EQ((std::vector<QRgb>{blue, blue, blue}), corners());
}

TEST_F(AniIconTest, TransparentLetsTheParentShowThrough) {
    QWidget parent;
    parent.resize(60, 60);
    parent.setAutoFillBackground(true);
    QPalette red = parent.palette();
    red.setColor(QPalette::Window, QColor(255, 0, 0));
    parent.setPalette(red);
    TAniIcon* child = new TAniIcon(&parent);
    child->setGeometry(10, 10, 32, 32);
    QPalette green = child->palette();
    green.setColor(QPalette::Window, QColor(0, 255, 0));
    child->setPalette(green);
    // No frames: the control itself draws only its background, if any.
    auto under = [&] {
        return parent.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(20, 20);
    };
    EXPECT_EQ(qRgb(0, 255, 0), under());
    child->setTransparent(true);
    EXPECT_EQ(qRgb(255, 0, 0), under());
}
