#include "cache/BrowsercachePanel.h"
#include "cache/IECache.h"
#include "controls/WebBrowser.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/root.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/cache_entries.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

using platform::urlcache::Container;
using testing_support::putContentEntry;
using testing_support::putCookie;
using testing_support::WindowTest;

class CacheSectionTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
        ApplyLanguageTexts();
    }
    BrowsercachePanel* page() const { return Form1->BrowsercachePanel; }
    std::string countLabel() const { return page()->Label4->Caption(); }
    std::string sizeLabel() const { return page()->Label42->Caption(); }
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

TEST_F(CacheSectionTest, AnEmptyCacheListsNothingAndPreviewsABlankPage) {
    Form1->SpeedButton3->click();
    EXPECT_TRUE(page()->isVisibleTo(Form1));
    EXPECT_EQ(0, page()->ListBox2->count());
    EXPECT_EQ(GetText(121) + " 0", countLabel());
    EXPECT_EQ(GetText(122) + "0kb", sizeLabel());
    EXPECT_EQ("about:blank", page()->WebBrowser1->LocationURL());
}

TEST_F(CacheSectionTest, ListsContentEntriesButNeverCookiesWithCountAndKilobytes) {
    putContentEntry("http://a.example/index.htm", "index.htm", 1023, "<p>A</p>");
    putCookie("a.example");
    Form1->SpeedButton3->click();
    ASSERT_EQ(1, page()->ListBox2->count());
    EXPECT_EQ(QStringLiteral("http://a.example/index.htm"), page()->ListBox2->item(0)->text());
    EXPECT_EQ(GetText(121) + " 1", countLabel());
    // 1023 bytes are less than a kilobyte, but something there never reads as nothing.
    EXPECT_EQ(GetText(122) + "1kb", sizeLabel());
    putContentEntry("http://a.example/logo.gif", "logo.gif", 1025);
    Form1->SpeedButton3->click(); // opening again lists anew
    EXPECT_EQ(2, page()->ListBox2->count());
    EXPECT_EQ(GetText(122) + "2kb", sizeLabel()); // 2048 bytes
}

TEST_F(CacheSectionTest, TotalsBeyondTwoGigabytesDoNotWrap) {
    putContentEntry("http://big.example/a.zip", "a.zip", 3'000'000'000ULL);
    putContentEntry("http://big.example/b.zip", "b.zip", 3'000'000'000ULL);
    Form1->SpeedButton3->click();
    EXPECT_EQ(GetText(122) + std::to_string(6'000'000'000LL / 1024) + "kb", sizeLabel());
}

TEST_F(CacheSectionTest, PreviewShowsHtmlGifAndJpgFilesOnly) {
    putContentEntry("http://p.example/page.html", "page.html", 10, "<p>Hello preview</p>");
    putContentEntry("http://p.example/photo.jpeg", "photo.jpeg", 10);
    putContentEntry("http://p.example/ICON.GIF", "ICON.GIF", 10);
    Form1->SpeedButton3->click();
    // The first line is previewed at once: ".html" contains ".htm".
    EXPECT_NE(std::string::npos, page()->WebBrowser1->LocationURL().find("page[1].html"));
    EXPECT_TRUE(page()->WebBrowser1->DocumentText().contains(QStringLiteral("Hello preview")));
    const std::string previous = page()->WebBrowser1->LocationURL();
    for (int row : {1, 2}) { // ".jpeg" and upper-case ".GIF" are not previewed
        SCOPED_TRACE(row);
        page()->ListBox2->setCurrentRow(row);
        page()->ListBox2Click();
        EXPECT_EQ(previous, page()->WebBrowser1->LocationURL());
    }
}

TEST_F(CacheSectionTest, EmptyingDeletesEverythingAndReportsTheFreedKilobytes) {
    putContentEntry("http://e.example/1.htm", "1.htm", 4096);
    putContentEntry("http://e.example/2.css", "2.css", 6144);
    putCookie("e.example");
    Form1->SpeedButton3->click();
    Form1->show();
    emit page()->Label41->clicked();
    EXPECT_EQ(0u, testing_support::entriesIn(Container::Content));
    EXPECT_EQ(1u, testing_support::entriesIn(Container::Cookies)); // cookies are not touched
    EXPECT_EQ(0, page()->ListBox2->count());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(GetText(119) + " 10kb\n" + GetText(120) + "\n2 entries removed (10kb)", messages[0]);
    EXPECT_EQ(GetText(122) + "0kb", sizeLabel());
    EXPECT_EQ(GetText(121) + " 0", countLabel());
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form2->Label2->isVisibleTo(Form2)); // the busy window was closed
}

// The report says that not everything went, how many entries stayed and why, and the totals
// show what is still there instead of a size of nothing.
TEST_F(CacheSectionTest, LockedEntriesStayListedAndAreNotCountedAsFreed) {
    putContentEntry("http://l.example/free.htm", "free.htm", 8192);
    putContentEntry("http://l.example/busy.js", "busy.js", 3072);
    platform::urlcache::lock("http://l.example/busy.js");
    Form1->SpeedButton3->click();
    emit page()->Label41->clicked();
    ASSERT_EQ(1, page()->ListBox2->count());
    EXPECT_EQ(QStringLiteral("http://l.example/busy.js"), page()->ListBox2->item(0)->text());
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(GetText(119) + " 8kb\n" + GetText(317) +
                  "\n1 entry removed (8kb), 1 not removed (in use)",
              messages[0]);
    EXPECT_EQ(GetText(122) + "3kb", sizeLabel());
    EXPECT_EQ(GetText(121) + " 1", countLabel());
}

TEST_F(CacheSectionTest, WithoutTheCacheLibraryTheListStaysEmptyAndTheReportSaysZero) {
    putContentEntry("http://w.example/a.htm", "a.htm", 5000);
    platform::setSetting("wininet", "no");
    TIECache::ResetLibraryCheck();
    Form1->SpeedButton3->click();
    EXPECT_EQ(0, page()->ListBox2->count());
    emit page()->Label41->clicked();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(GetText(119) + " 0kb\n" + GetText(120) + "\n0 entries removed", messages[0]);
    EXPECT_EQ(1u, testing_support::entriesIn(Container::Content));
    platform::setSetting("wininet", "yes");
    TIECache::ResetLibraryCheck();
}

TEST_F(CacheSectionTest, BitBtn2ReachesTheCacheListing) {
    putContentEntry("http://c.example/x.htm", "x.htm", 10);
    Form1->SicherheitsPanel->BitBtn2->click();
    EXPECT_TRUE(Form1->SpeedButton3->isChecked());
    EXPECT_EQ(1, page()->ListBox2->count());
}

TEST_F(CacheSectionTest, TheArrowKeysPreviewTheSelectedLineAsTheMouseDoes) {
    testing_support::addContent("http://k.example/one.htm", "<p>Page one</p>");
    testing_support::addContent("http://k.example/two.htm", "<p>Page two</p>");
    testing_support::addContent("http://k.example/three.htm", "<p>Page three</p>");
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

TEST_F(CacheSectionTest, AFileBeyondEightMegabytesIsNotPreviewed) {
    const std::size_t limit = 8u << 20;
    const std::string html = "<html><body><p>Small page</p></body></html>";
    testing_support::addContent("http://h.example/small.htm", html);
    // Exactly at the bound: still shown.
    testing_support::addContent("http://h.example/edge.htm",
                                html + std::string(limit - html.size(), ' '));
    testing_support::addContent("http://h.example/huge.htm",
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
