#include "controls/WebBrowser.h"
#include "qt_app.h"
#include "support/browser_support.h"
#include "support/platform_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <string>
#include <vector>

namespace {

using testing_support::PlatformTest;

class TWebBrowserTest : public PlatformTest {
  protected:
    void SetUp() override {
        browser.resize(500, 400);
        browser.OnBeforeNavigate2 = [this](const std::string& url, bool&) { seen.push_back(url); };
        browser.show();
    }
    void put(const std::string& windowsPath, const std::string& contents) {
        testing_support::writeHostFile(platform.hostPath(windowsPath), contents);
    }

    // First, so that the browser below finds the application.
    struct ApplicationReady {
        ApplicationReady() { controls_test::application(); }
    } application;
    TWebBrowser browser;
    std::vector<std::string> seen;
};

TEST_F(TWebBrowserTest, AFollowedLinkReportsItsQueryAndFragmentAndShowsTheFileBeforeThem) {
    put("C:\\Site\\start.htm", "<html><body><p><a href=\"next.htm?step=2&amp;a=b\">Query</a></p>"
                               "<p><a href=\"sub/next.htm#end\">Fragment</a></p></body></html>");
    put("C:\\Site\\next.htm", "<html><body>Next page</body></html>");
    put("C:\\Site\\sub\\next.htm", "<html><body>Sub page</body></html>");

    browser.Navigate("C:\\Site\\start.htm");
    seen.clear();
    ASSERT_TRUE(browser_tests::clickLink(browser.PageView(), QStringLiteral("Query")));
    EXPECT_EQ(std::vector<std::string>{"C:\\Site\\next.htm?step=2&a=b"}, seen);
    EXPECT_EQ("C:\\Site\\next.htm?step=2&a=b", browser.LocationURL());
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("Next page")));

    browser.Navigate("C:\\Site\\start.htm");
    seen.clear();
    ASSERT_TRUE(browser_tests::clickLink(browser.PageView(), QStringLiteral("Fragment")));
    EXPECT_EQ(std::vector<std::string>{"C:\\Site\\sub\\next.htm#end"}, seen);
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("Sub page")));

    // A Windows path with a query names the file before it.
    browser.Navigate("C:\\Site\\next.htm?from=address");
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("Next page")));
}

TEST_F(TWebBrowserTest, WhatCannotBeShownSaysSoAndAHugeFileStaysBlank) {
    browser.Navigate("https://www.kravonel.example/survey.php");
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("The page cannot be shown")));
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("kravonel.example/survey.php")));

    browser.Navigate("C:\\Site\\missing.htm");
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("The page cannot be shown")));
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("missing.htm")));

    // A page's picture beyond the bound is left out; a text file beyond it shows nothing.
    const std::size_t limit = 8u << 20;
    std::string jpeg = browser_tests::encodeRgbJpeg(4, 4, Qt::red, Qt::red);
    jpeg += std::string(limit + 1 - jpeg.size(), '\0'); // a decoder stops at the end marker
    put("C:\\Site\\big.jpg", jpeg);
    put("C:\\Site\\pics.htm", "<html><body>Pictures<img src=\"big.jpg\"></body></html>");
    browser.Navigate("C:\\Site\\pics.htm");
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("Pictures")));
    EXPECT_TRUE(browser.PageView()
                    ->document()
                    ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("big.jpg")))
                    .value<QImage>()
                    .isNull());
    // A page of one long word (a minified file) is laid out in good time: wrapped anywhere.
    put("C:\\Site\\word.htm", "<html><body><p>" + std::string(1 << 20, 'w') + "</p></body></html>");
    QElapsedTimer laidOut;
    laidOut.start();
    browser.Navigate("C:\\Site\\word.htm");
    QApplication::processEvents();
    EXPECT_EQ(1 << 20, browser.DocumentText().trimmed().size());
    EXPECT_LT(laidOut.elapsed(), 20000); // a minute and more when wrapped at word ends only
    put("C:\\Site\\big.txt", std::string(limit + 1, 'a'));
    browser.Navigate("C:\\Site\\big.txt");
    EXPECT_TRUE(browser.DocumentText().isEmpty());
    EXPECT_EQ("C:\\Site\\big.txt", browser.LocationURL());
}

} // namespace
