#include "support/application.h"
#include "support/pictures.h"

#include "cache/u_info.h"
#include "platform/root.h"
#include "support/platform_fixture.h"
#include "ui/FormBase.h"
#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

using testing_support::PlatformTest;

namespace {

class InfoWindowTest : public PlatformTest {
  protected:
    // The memo shows one line per added line, so the two views must agree.
    QStringList shown(const std::string& text) {
        form.ShowInfoText(text);
        // What the window shows, line by line, is what it holds, without the carriage
        // returns, which show as nothing.
        const QStringList lines = form.MemoLines();
        QStringList onScreen;
        for (QTextBlock block = form.Memo1->document()->begin(); block.isValid();
             block = block.next())
            onScreen << block.text();
        QStringList expected;
        for (QString line : lines)
            expected << line.remove(QLatin1Char('\r'));
        EXPECT_EQ(expected, onScreen);
        return lines;
    }

    testing_support::ApplicationReady application;
    TForm5 form;
};

} // namespace

TEST_F(InfoWindowTest, LineFeedsEndLinesAndCarriageReturnsStayInThem) {
    EXPECT_EQ(QStringList({"a", "b"}), shown("a\nb"));
    EXPECT_EQ(QStringList({"a", ""}), shown("a\n"));
    EXPECT_EQ(QStringList({""}), shown(""));
    EXPECT_EQ(QStringList({"", "", "x"}), shown("\n\nx"));
    EXPECT_EQ(QStringList({"a\rb"}), shown("a\rb"));

    EXPECT_EQ(QStringList({"a\r", "b\r", "c"}), shown("a\r\nb\r\nc"));
    // On screen the carriage return neither shows nor breaks the line.
    EXPECT_EQ(QString("a"), form.Memo1->document()->firstBlock().text());
}

TEST_F(InfoWindowTest, EachCallReplacesTheTextAndKeepsTheCodePage) {
    shown("erste\nzweite\ndritte");
    EXPECT_EQ(QStringList({QString::fromUtf8("Grüße"), "x"}), shown("Gr\xFC\xDF"
                                                                    "e\nx"));
    EXPECT_EQ(QString::fromUtf8("Grüße\nx"), form.Memo1->toPlainText());
}

TEST_F(InfoWindowTest, WindowHasTheDesignedFrameAndControls) {
    EXPECT_EQ(QSize(356, 361), form.size());
    EXPECT_EQ(QString("Surfkolibri"), form.windowTitle());
    EXPECT_EQ(QString("Information: "), form.GroupBox1->title());
    EXPECT_TRUE(form.Memo1->isReadOnly());
    EXPECT_EQ(QFrame::NoFrame, form.Memo1->frameShape());
    EXPECT_EQ(Qt::ArrowCursor, form.Memo1->viewport()->cursor().shape());
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(QString("weiter"), form.BitBtn2->text());
}

TEST_F(InfoWindowTest, EnterPressesWeiter) {
    form.show();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(InfoWindowTest, ShownModallyItEndsWithWeiterAndTheClick) {
    testing_support::writeHostFile(platform.programFolder() + "/clck.wav", "RIFF");
    platform::clearShellLog();
    form.ShowInfoText("Cookies sind\nkleine Dateien");
    bool wasOpen = false;
    bool closedByWeiter = false;
    SetModalHook([&](QWidget* window) {
        wasOpen = window == &form && form.isVisible() && form.MemoLines().size() == 2;
        form.BitBtn2->click();
        closedByWeiter = !form.isVisible();
    });
    ShowModalWindow(&form);
    SetModalHook(nullptr);

    EXPECT_TRUE(wasOpen);
    EXPECT_TRUE(closedByWeiter);
    const auto log = platform::shellLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("clck.wav", log[0].target);
}

TEST_F(InfoWindowTest, TheProductNameIsBoldAndLargerThanTheWindowsText) {
    // The program's font is set in pixels; grown by points it once came out 3 points high.
    const QFontInfo name(form.Label1->font());
    const QFontInfo text(form.BitBtn2->font());
    EXPECT_TRUE(name.bold());
    EXPECT_GE(name.pixelSize(), text.pixelSize() + 4);
    form.show();
    EXPECT_GE(form.Label1->height(), QFontMetrics(form.Label1->font()).height());
}
