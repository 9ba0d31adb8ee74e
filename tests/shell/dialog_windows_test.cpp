#include "lang/u_language.h"
#include "shell/u_ShowMessage2.h"
#include "shell/u_beschaeftigt.h"
#include "support/window_fixture.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace {

using testing_support::RunEventsUntil;
using testing_support::WindowTest;

class DialogWindowsTest : public WindowTest {};

TEST_F(DialogWindowsTest, LanguageBusyAndMessageWindowsHaveACloseButtonOnly) {
    StartProgram();
    for (QWidget* window : std::initializer_list<QWidget*>{Form4, Form2, ShowMessage2Form}) {
        SCOPED_TRACE(window->metaObject()->className());
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_EQ(Qt::Dialog, window->windowType());
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    }
}

TEST_F(DialogWindowsTest, ClosingTheBusyWindowMidAnimationStopsItAndTheNextStartsFromEmpty) {
    StartProgram();
    int closedAt = -1;
    onModal = [&](QWidget* window) {
        ASSERT_EQ(Form2, window);
        ASSERT_TRUE(RunEventsUntil([] { return Form2->ProgressBar1->value() >= 10; }));
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

} // namespace
