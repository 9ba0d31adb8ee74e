// The busy window in its three uses and the program's message window.
#include "controls/aniicon.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "support/caller_trace.h"
#include "support/window_fixture.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

using testing_support::RunEventsFor;
using testing_support::WindowTest;

class BusyWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};
using ShowMessage2Test = BusyWindowTest;

TEST_F(BusyWindowTest, BusyAnimationRunsHundredTicksThenClosesItself) {
    TForm2* busy = Form2;
    busy->Label2->SetCaption(std::string("working"));
    busy->FakeTimer->setInterval(1);
    busy->Label2->setVisible(true);
    busy->FakeTimer->start();
    int ticksSeen = 0;
    onModal = [&](QWidget* window) {
        EXPECT_TRUE(busy->AniIcon1->Animated());
        QObject::connect(busy->FakeTimer, &QTimer::timeout, [&] { ++ticksSeen; });
        testing_support::RunEventsFor(0);
        RunModalLoop(window);
    };
    QElapsedTimer clock;
    clock.start();
    busy->ShowModal();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(std::vector<std::string>{"TForm2"}, modalWindows);
    EXPECT_FALSE(busy->isVisible());
    EXPECT_FALSE(busy->FakeTimer->isActive());
    EXPECT_EQ(0, busy->ProgressBar1->value());
    EXPECT_GE(ticksSeen, 99);
    // Closing put everything back for the next use.
    EXPECT_EQ(50, busy->FakeTimer->interval());
    EXPECT_FALSE(busy->Label2->isVisibleTo(busy));
    EXPECT_FALSE(busy->Panel1->isVisibleTo(busy));
    EXPECT_FALSE(busy->AniIcon1->Animated());
}

TEST_F(BusyWindowTest, BusyNoteLeavesTheDefaultIntervalAndKeepsTheBarPosition) {
    TForm2* busy = Form2;
    busy->FakeTimer->setInterval(12);
    busy->Label2->SetCaption(std::string("first line"));
    busy->Label3->SetCaption(std::string("second line"));
    busy->Label2->setVisible(true);
    busy->Label3->setVisible(true);
    busy->show();
    EXPECT_EQ(337, busy->Label2->width());
    EXPECT_TRUE(busy->Label2->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(busy->AniIcon1->Animated());
    busy->hide();
    EXPECT_FALSE(busy->AniIcon1->Animated());
    // Driven progress: the caller sets the bar; closing does not reset its position.
    busy->Panel1->setVisible(true);
    busy->ProgressBar1->setValue(0);
    busy->show();
    busy->ProgressBar1->setValue(60);
    busy->Close();
    EXPECT_EQ(50, busy->FakeTimer->interval());
    EXPECT_EQ(60, busy->ProgressBar1->value());
    EXPECT_FALSE(busy->Panel1->isVisibleTo(busy));
    EXPECT_FALSE(busy->Label3->isVisibleTo(busy));
}

TEST_F(ShowMessage2Test, ShowMessage2CentresEveryLineInItsLabel) {
    int heightSeen = 0;
    QString textSeen;
    onModal = [&](QWidget*) {
        TLabel* label = ShowMessage2Form->Label2;
        EXPECT_EQ(225, label->width());
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
        heightSeen = label->height();
        textSeen = label->text();
        // "weiter" closes the window.
        ShowMessage2Form->BitBtn2->click();
        EXPECT_FALSE(ShowMessage2Form->isVisible());
    };
    ShowMessage2("one line");
    const int oneLine = QFontMetrics(ShowMessage2Form->Label2->font()).lineSpacing();
    EXPECT_GE(heightSeen, oneLine);
    ShowMessage2(std::string("Disk space freed: 12kb") + '\r' + "The cache has been emptied.");
    EXPECT_EQ(QStringLiteral("Disk space freed: 12kb\nThe cache has been emptied."), textSeen);
    EXPECT_GE(heightSeen, 2 * oneLine);
    EXPECT_EQ(2u, modalWindows.size());
    EXPECT_EQ(2, clickSounds());
}

// Both are dialogs with a close button only: no minimising or maximising.
void expectCloseButtonOnly(const QWidget* window, const testing_support::Caller& caller =
                                                      testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(Qt::Dialog, window->windowType());
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(ShowMessage2Test, TheMessageWindowIsADialogWithACloseButtonOnly) {
    expectCloseButtonOnly(ShowMessage2Form);
}

TEST_F(BusyWindowTest, ClosedMidAnimationItStopsAndTheNextAnimationStartsFromEmpty) {
    expectCloseButtonOnly(Form2);
    int closedAt = -1;
    onModal = [&](QWidget* window) {
        ASSERT_EQ(Form2, window);
        ASSERT_TRUE(
            testing_support::RunEventsUntil([] { return Form2->ProgressBar1->value() >= 10; }));
        // The user closes it with the title bar's button.
        closedAt = Form2->ProgressBar1->value();
        Form2->close();
    };
    Form2->Label2->setVisible(true);
    Form2->FakeTimer->setInterval(1);
    Form2->FakeTimer->start();
    Form2->ShowModal();
    ASSERT_GE(closedAt, 10);
    ASSERT_LT(closedAt, 100);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form2->FakeTimer->isActive());
    EXPECT_EQ(0, Form2->ProgressBar1->value());
    EXPECT_EQ(50, Form2->FakeTimer->interval());

    // The next animation runs its full hundred ticks and closes itself.
    int ticks = 0;
    QObject::connect(Form2->FakeTimer, &QTimer::timeout, [&] { ++ticks; });
    onModal = [](QWidget* window) { RunModalLoop(window); };
    Form2->FakeTimer->setInterval(1);
    Form2->FakeTimer->start();
    Form2->ShowModal();
    EXPECT_EQ(100, ticks);
    EXPECT_FALSE(Form2->isVisible());
}
