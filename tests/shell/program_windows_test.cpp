// The design pictures as the user sees them: present, and whole inside their windows.
#include "controls/stdctrls.h"
#include "support/window_fixture.h"
#include "ui/u_beschaeftigt.h"
#include "ui/u_splash.h"

#include <QApplication>
#include <QPixmap>

using testing_support::WindowTest;

using ProgramWindowsTest = WindowTest;

TEST_F(ProgramWindowsTest, EveryPictureShowsWhollyInsideItsWindow) {
    StartProgram();
    int pictures = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (TImage* image : window->findChildren<TImage*>()) {
            if (!image->HasPicture()) continue;
            ++pictures;
            const QRect inWindow(image->mapTo(window, QPoint(0, 0)), image->size());
            EXPECT_TRUE(window->rect().contains(inWindow))
                << window->metaObject()->className() << " " << image->objectName().toStdString();
            EXPECT_GE(image->pixmap().width(), 8) << window->metaObject()->className();
        }
    }
    EXPECT_GE(pictures, 10);

    // The splash picture fills the splash; the busy window's strip runs its whole height.
    TForm3 splash;
    ASSERT_TRUE(splash.Image1->HasPicture());
    EXPECT_EQ(splash.size(), splash.Image1->pixmap().size());
    ASSERT_TRUE(Form2->Image1->HasPicture());
    EXPECT_GE(Form2->Image1->pixmap().height(), Form2->height());
    EXPECT_EQ(Form2->width(), Form2->Image1->geometry().right() + 1); // right-aligned
}
