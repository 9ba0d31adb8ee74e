#include "cache/BrowsercachePanel.h"
#include "cache_helpers.h"
#include "controls/WebBrowser.h"
#include "shell/u_Surfkolibri.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace {

using testing_support::WindowTest;

class BrowsercachePanelPreviewTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
    BrowsercachePanel* page() const { return Form1->BrowsercachePanel; }
    QString preview() const { return page()->WebBrowser1->DocumentText(); }
    void press(int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(page()->ListBox2, &down);
    }
    void clickRow(int row) {
        QListWidget* list = page()->ListBox2;
        const QPoint at = list->visualItemRect(list->item(row)).center();
        const QPoint global = list->viewport()->mapToGlobal(at);
        QMouseEvent pressed(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
        QMouseEvent released(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                             Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &pressed);
        QApplication::sendEvent(list->viewport(), &released);
    }
};

TEST_F(BrowsercachePanelPreviewTest, TheArrowKeysPreviewTheSelectedLineAsTheMouseDoes) {
    cache_testing::addContent("http://k.example/one.htm", "<p>Page one</p>");
    cache_testing::addContent("http://k.example/two.htm", "<p>Page two</p>");
    cache_testing::addContent("http://k.example/three.htm", "<p>Page three</p>");
    Form1->show();
    Form1->SpeedButton3->click();
    ASSERT_EQ(3, page()->ListBox2->count());
    EXPECT_TRUE(preview().contains(QStringLiteral("Page one"))) << preview().toStdString();

    press(Qt::Key_Down);
    EXPECT_EQ(1, page()->ListBox2->currentRow());
    EXPECT_TRUE(preview().contains(QStringLiteral("Page two"))) << preview().toStdString();
    press(Qt::Key_End);
    EXPECT_TRUE(preview().contains(QStringLiteral("Page three"))) << preview().toStdString();
    press(Qt::Key_Up);
    EXPECT_TRUE(preview().contains(QStringLiteral("Page two"))) << preview().toStdString();

    clickRow(0);
    EXPECT_EQ(0, page()->ListBox2->currentRow());
    EXPECT_TRUE(preview().contains(QStringLiteral("Page one"))) << preview().toStdString();

    // Listing again starts over at the first line, previewed once.
    Form1->SpeedButton3->click();
    EXPECT_EQ(0, page()->ListBox2->currentRow());
    EXPECT_TRUE(preview().contains(QStringLiteral("Page one")));
}

TEST_F(BrowsercachePanelPreviewTest, AFileBeyondEightMegabytesIsNotPreviewed) {
    const std::size_t limit = 8u << 20;
    const std::string html = "<html><body><p>Small page</p></body></html>";
    cache_testing::addContent("http://h.example/small.htm", html);
    // Exactly at the bound: still shown.
    cache_testing::addContent("http://h.example/edge.htm",
                              html + std::string(limit - html.size(), ' '));
    cache_testing::addContent("http://h.example/huge.htm",
                              html + std::string(limit + 1 - html.size(), ' '));
    Form1->SpeedButton3->click();
    ASSERT_EQ(3, page()->ListBox2->count());
    EXPECT_TRUE(preview().contains(QStringLiteral("Small page")));

    page()->ListBox2->setCurrentRow(2);
    EXPECT_NE(std::string::npos, page()->WebBrowser1->LocationURL().find("huge"));
    EXPECT_TRUE(preview().isEmpty()) << preview().left(200).toStdString();

    page()->ListBox2->setCurrentRow(1);
    EXPECT_TRUE(preview().contains(QStringLiteral("Small page")));
}

} // namespace
