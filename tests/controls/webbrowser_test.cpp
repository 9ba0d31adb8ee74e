#include "controls/WebBrowser.h"
#include "support/application.h"
#include "support/pictures.h"
#include "support/platform_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>

#include <vector>

using namespace testing_support;
using testing_support::PlatformTest;

namespace {

class TWebBrowserTest : public PlatformTest {
  protected:
    void SetUp() override {
        browser.resize(500, 400);
        browser.OnBeforeNavigate2 = [this](const std::string& url, bool& cancel) {
            seen.push_back(url);
            if (url.find(refuse) != std::string::npos && !refuse.empty()) cancel = true;
        };
    }

    void put(const std::string& windowsPath, const std::string& contents) {
        testing_support::writeHostFile(platform.hostPath(windowsPath), contents);
    }

    ApplicationReady application;
    TWebBrowser browser;
    std::vector<std::string> seen;
    std::string refuse; // navigations to addresses containing this are cancelled
};

} // namespace

TEST_F(TWebBrowserTest, CachedPageShowsItsTextInTheAnsiCodePage) {
    put("C:\\Cache\\page[1].htm", "<html><head><title>T</title></head><body><p>Gr\xFC\xDF"
                                  "e aus dem Cache</p></body></html>");
    browser.Navigate("C:\\Cache\\page[1].htm");
    EXPECT_TRUE(browser.DocumentText().contains(QString::fromUtf8("Grüße aus dem Cache")))
        << browser.DocumentText().toStdString();
    EXPECT_EQ("C:\\Cache\\page[1].htm", browser.LocationURL());
    EXPECT_TRUE(browser.Picture().isNull());
    EXPECT_FALSE(browser.Busy());
    EXPECT_EQ(std::vector<std::string>{"C:\\Cache\\page[1].htm"}, seen);
}

TEST_F(TWebBrowserTest, FileAddressesNameTheSameFiles) {
    put("C:\\Cache\\mit Leerzeichen.htm", "<html><body>Gefunden</body></html>");
    browser.Navigate("file:///C:/Cache/mit%20Leerzeichen.htm");
    EXPECT_TRUE(browser.DocumentText().contains("Gefunden"));
    EXPECT_EQ("file:///C:/Cache/mit%20Leerzeichen.htm", browser.LocationURL());

    // A folder is no page.
    browser.Navigate("C:\\Cache");
    EXPECT_FALSE(browser.DocumentText().contains("Gefunden"));
    EXPECT_TRUE(browser.Picture().isNull());
}

TEST_F(TWebBrowserTest, DeclaredUtf8CharsetIsHonoured) {
    put("C:\\Cache\\u.html", "<html><head><meta charset=\"utf-8\"></head><body>Stra\xC3\x9F"
                             "e</body></html>");
    browser.Navigate("C:\\Cache\\u.html");
    EXPECT_TRUE(browser.DocumentText().contains(QString::fromUtf8("Straße")));
}

TEST_F(TWebBrowserTest, GifAndJpegFilesAreShownAsPictures) {
    put("C:\\Cache\\dot.gif", onePixelGif(Qt::red));
    browser.Navigate("C:\\Cache\\dot.gif");
    ASSERT_FALSE(browser.Picture().isNull());
    EXPECT_EQ(QSize(1, 1), browser.Picture().size());
    EXPECT_EQ(QColor(Qt::red), browser.Picture().pixelColor(0, 0));
    EXPECT_TRUE(browser.DocumentText().isEmpty());

    put("C:\\Cache\\photo.jpg", encodeRgbJpeg(40, 20, Qt::blue, Qt::yellow));
    browser.Navigate("C:\\Cache\\photo.jpg");
    ASSERT_FALSE(browser.Picture().isNull());
    EXPECT_EQ(QSize(40, 20), browser.Picture().size());
    EXPECT_TRUE(near(Qt::yellow, browser.Picture().pixelColor(35, 10)));
}

TEST_F(TWebBrowserTest, DamagedOrUnknownFilesShowNothingHarmful) {
    // The data holds a NUL of its own, so its length comes from the array, never a count.
    static const char broken[] = "\xFF\xD8\xFF\xE0\x00\x10JFIF garbage";
    put("C:\\Cache\\broken.jpg", std::string(broken, sizeof broken - 1));
    browser.Navigate("C:\\Cache\\broken.jpg");
    EXPECT_TRUE(browser.Picture().isNull());
    EXPECT_TRUE(browser.DocumentText().isEmpty());

    put("C:\\Cache\\data.bin", std::string("\x01\x00\x02\x00", 4));
    browser.Navigate("C:\\Cache\\data.bin");
    EXPECT_TRUE(browser.DocumentText().isEmpty());

    put("C:\\Cache\\notes.txt", "<b>plain</b> text");
    browser.Navigate("C:\\Cache\\notes.txt");
    EXPECT_EQ(QString("<b>plain</b> text"), browser.DocumentText());

    browser.Navigate("C:\\Cache\\gone.htm");
    EXPECT_TRUE(browser.DocumentText().contains("gone.htm"));
    EXPECT_EQ("C:\\Cache\\gone.htm", browser.LocationURL());
}

TEST_F(TWebBrowserTest, AboutBlankClearsWhatWasShown) {
    put("C:\\Cache\\photo.jpg", encodeRgbJpeg(8, 8, Qt::blue, Qt::blue));
    browser.Navigate("C:\\Cache\\photo.jpg");
    ASSERT_FALSE(browser.Picture().isNull());
    browser.Navigate("about:blank");
    EXPECT_TRUE(browser.Picture().isNull());
    EXPECT_TRUE(browser.DocumentText().isEmpty());
    EXPECT_EQ("about:blank", browser.LocationURL());

    put("C:\\Cache\\a.htm", "<html><body>Inhalt</body></html>");
    browser.Navigate("C:\\Cache\\a.htm");
    browser.Navigate("about:blank");
    EXPECT_TRUE(browser.DocumentText().isEmpty());
}

TEST_F(TWebBrowserTest, RemoteAddressesAreNotFetched) {
    browser.Navigate("http://www.example.com/survey.php?lang=<b>de</b>");
    EXPECT_EQ("http://www.example.com/survey.php?lang=<b>de</b>", browser.LocationURL());
    // The address is shown as text, never as markup.
    EXPECT_TRUE(browser.DocumentText().contains("survey.php?lang=<b>de</b>"));
    EXPECT_FALSE(browser.Busy());
}

TEST_F(TWebBrowserTest, CancelledNavigationKeepsThePreviousPage) {
    put("C:\\Cache\\one.htm", "<html><body>Seite eins</body></html>");
    put("C:\\Cache\\two.htm", "<html><body>Seite zwei</body></html>");
    browser.Navigate("C:\\Cache\\one.htm");
    refuse = "two";
    browser.Navigate("C:\\Cache\\two.htm");
    EXPECT_EQ((std::vector<std::string>{"C:\\Cache\\one.htm", "C:\\Cache\\two.htm"}), seen);
    EXPECT_TRUE(browser.DocumentText().contains("Seite eins"));
    EXPECT_EQ("C:\\Cache\\one.htm", browser.LocationURL());

    refuse = "CLOSE";
    browser.Navigate("http://example.com/CLOSE");
    EXPECT_TRUE(browser.DocumentText().contains("Seite eins"));
}

TEST_F(TWebBrowserTest, LinkClicksRaiseTheEventWithTheResolvedAddress) {
    put("C:\\Site\\pages\\first.htm",
        "<html><body><p><a href=\"second.htm\">Weiter</a></p>"
        "<p><a href=\"../other/third%20page.htm\">Dritte</a></p>"
        "<p><a href=\"http://example.com/close.htm\">Ende</a></p></body></html>");
    put("C:\\Site\\pages\\second.htm", "<html><body>Zweite Seite</body></html>");
    put("C:\\Site\\other\\third page.htm", "<html><body>Dritte Seite</body></html>");
    browser.show();

    browser.Navigate("C:\\Site\\pages\\first.htm");
    refuse = "close";
    seen.clear();
    ASSERT_TRUE(clickLink(browser.PageView(), "Ende"));
    EXPECT_EQ(std::vector<std::string>{"http://example.com/close.htm"}, seen);
    EXPECT_EQ("C:\\Site\\pages\\first.htm", browser.LocationURL());

    seen.clear();
    ASSERT_TRUE(clickLink(browser.PageView(), "Dritte"));
    EXPECT_EQ(std::vector<std::string>{"C:\\Site\\other\\third page.htm"}, seen);
    EXPECT_TRUE(browser.DocumentText().contains("Dritte Seite"));

    browser.Navigate("C:\\Site\\pages\\first.htm");
    seen.clear();
    ASSERT_TRUE(clickLink(browser.PageView(), "Weiter"));
    EXPECT_EQ(std::vector<std::string>{"C:\\Site\\pages\\second.htm"}, seen);
    EXPECT_TRUE(browser.DocumentText().contains("Zweite Seite"));
    EXPECT_EQ("C:\\Site\\pages\\second.htm", browser.LocationURL());
}

TEST_F(TWebBrowserTest, PicturesInsideAPageComeFromThePagesFolder) {
    put("C:\\Cache\\A\\page.htm", "<html><body><img src=\"pics/dot.gif\">"
                                  "<img src=\"photo.jpg\"><img src=\"missing.gif\"></body></html>");
    put("C:\\Cache\\A\\pics\\dot.gif", onePixelGif(Qt::green));
    put("C:\\Cache\\A\\photo.jpg", encodeRgbJpeg(16, 8, Qt::red, Qt::red));
    put("C:\\Cache\\B\\page.htm", "<html><body><img src=\"pics/dot.gif\"></body></html>");
    put("C:\\Cache\\B\\pics\\dot.gif", onePixelGif(Qt::blue));

    auto picture = [this](const char* name) {
        return browser.PageView()
            ->document()
            ->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(name)))
            .value<QImage>();
    };
    browser.Navigate("C:\\Cache\\A\\page.htm");
    EXPECT_EQ(QColor(Qt::green), picture("pics/dot.gif").pixelColor(0, 0));
    EXPECT_EQ(QSize(16, 8), picture("photo.jpg").size());
    EXPECT_TRUE(picture("missing.gif").isNull());

    // The same name in another page's folder is another picture.
    browser.Navigate("C:\\Cache\\B\\page.htm");
    EXPECT_EQ(QColor(Qt::blue), picture("pics/dot.gif").pixelColor(0, 0));
}

TEST_F(TWebBrowserTest, AFollowedLinkReportsItsQueryAndFragmentAndShowsTheFileBeforeThem) {
    put("C:\\Site\\start.htm", "<html><body><p><a href=\"next.htm?step=2&amp;a=b\">Query</a></p>"
                               "<p><a href=\"sub/next.htm#end\">Fragment</a></p></body></html>");
    put("C:\\Site\\next.htm", "<html><body>Next page</body></html>");
    put("C:\\Site\\sub\\next.htm", "<html><body>Sub page</body></html>");

    browser.show();
    browser.Navigate("C:\\Site\\start.htm");
    seen.clear();
    ASSERT_TRUE(clickLink(browser.PageView(), QStringLiteral("Query")));
    EXPECT_EQ(std::vector<std::string>{"C:\\Site\\next.htm?step=2&a=b"}, seen);
    EXPECT_EQ("C:\\Site\\next.htm?step=2&a=b", browser.LocationURL());
    EXPECT_TRUE(browser.DocumentText().contains(QStringLiteral("Next page")));

    browser.Navigate("C:\\Site\\start.htm");
    seen.clear();
    ASSERT_TRUE(clickLink(browser.PageView(), QStringLiteral("Fragment")));
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
    std::string jpeg = encodeRgbJpeg(4, 4, Qt::red, Qt::red);
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
