#include "cache/u_info.h"
#include "support/window_fixture.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>

namespace {

using testing_support::WindowTest;

class TForm5FontTest : public WindowTest {};

TEST_F(TForm5FontTest, TheProductNameIsBoldAndLargerThanTheWindowsText) {
    StartProgram();
    const QFontInfo name(Form5->Label1->font());
    const QFontInfo text(Form5->BitBtn2->font());
    EXPECT_TRUE(name.bold());
    EXPECT_GE(name.pixelSize(), text.pixelSize() + 4);
    // The label is laid out tall enough for its text.
    Form5->show();
    EXPECT_GE(Form5->Label1->height(), QFontMetrics(Form5->Label1->font()).height());
}

} // namespace
