// The embedded web browser of the cache preview and the survey: shows local pages, pictures
// and text, without a network.
#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QStackedWidget;
class QTextBrowser;
class QUrl;

class TWebBrowser : public QWidget {
  public:
    explicit TWebBrowser(QWidget* parent = nullptr);

    // Shows a Windows path of a local file, a "file:" address, "about:blank" or an address
    // (which cannot be fetched without a network: a "page cannot be shown" page). Raises
    // OnBeforeNavigate2 first; a cancelled navigation leaves everything as it was. A local
    // file larger than kMaxFileShown is not read: the page stays blank.
    void Navigate(const std::string& target);
    static constexpr std::uint64_t kMaxFileShown = 8 * 1024 * 1024;
    bool Busy() const { return busy_; }
    std::string LocationURL() const { return location_; }

    // Raised before every navigation, links clicked inside a shown page included.
    std::function<void(const std::string& url, bool& Cancel)> OnBeforeNavigate2;

    // What is shown: the page's text (empty for a picture or a blank page) and the picture.
    QString DocumentText() const;
    QImage Picture() const { return picture_; }
    QTextBrowser* PageView() const { return page_; }

  private:
    // `linkedFile`, when set, is the local file a followed link names; `target` is then the
    // address the link reports.
    void navigate(const std::string& target, const std::string& linkedFile);
    void showBlank();
    void showHtml(const std::string& bytes);
    // Long unbroken runs (a minified page, a file of one token) wrap anywhere, so that
    // laying them out cannot stall the window.
    void wrapFor(const QString& text);
    void showText(const std::string& bytes);
    void showPicture(const QImage& picture);
    void showMessagePage(const QString& title, const QString& message);
    void showFile(const std::string& windowsPath);
    void linkClicked(const QUrl& link);

    QStackedWidget* stack_;
    QTextBrowser* page_;
    QLabel* pictureLabel_;
    QImage picture_;
    std::string location_;
    // Folder of the shown local page, with a trailing backslash; links and pictures inside
    // the page are relative to it.
    std::string pageFolder_;
    bool busy_ = false;
};
