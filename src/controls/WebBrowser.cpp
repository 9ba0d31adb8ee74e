#include "controls/WebBrowser.h"

#include "controls/jpegimage.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"

#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <vector>

namespace {

// More than this of a plain file is not worth laying out in a preview.
constexpr std::size_t kMaxTextShown = 1024 * 1024;

// Laying out a run of characters without a break opportunity takes time growing with the
// square of its length (a minute for a megabyte); pages holding a run longer than this
// wrap anywhere instead.
constexpr int kLongestWordWrapped = 4096;

// Markup counts as a break: what lies between tags is laid out apart.
int longestUnbrokenRun(const QString& text) {
    int longest = 0;
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

enum class FileRead { Done, Missing, TooLarge };

// Reads a local file, unless it is larger than a page is ever shown from: a huge file is
// never read, so it cannot stall the window.
FileRead readShownFile(const std::string& windowsPath, std::string& bytes) {
    if (windowsPath.find_first_of("*?") != std::string::npos) return FileRead::Missing;
    WIN32_FIND_DATAA found;
    if (!UniqueFindHandle(FindFirstFileA(windowsPath.c_str(), &found)).valid())
        return FileRead::Missing;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileRead::Missing;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    if (size > TWebBrowser::kMaxFileShown) return FileRead::TooLarge;
    return ReadWholeFile(windowsPath, bytes) ? FileRead::Done : FileRead::Missing;
}
// A charset declaration is looked for at the start of a page only, as browsers do.
constexpr std::size_t kCharsetWindow = 2048;

bool startsWith(const std::string& text, const char* prefix, std::size_t length) {
    return text.size() >= length && text.compare(0, length, prefix, length) == 0;
}

bool isJpegData(const std::string& b) {
    return startsWith(b, "\xFF\xD8\xFF", 3);
}

// The picture formats the preview shows besides JPEG, told apart by their signatures.
const char* otherPictureFormat(const std::string& b) {
    if (startsWith(b, "GIF87a", 6) || startsWith(b, "GIF89a", 6)) return "GIF";
    if (startsWith(b, "\x89PNG\r\n\x1A\n", 8)) return "PNG";
    if (startsWith(b, "BM", 2)) return "BMP";
    return nullptr;
}

// JPEG always through our decoder, never through an image plugin.
QImage decodePicture(const std::string& bytes) {
    if (isJpegData(bytes)) return DecodeJpeg(bytes);
    if (const char* format = otherPictureFormat(bytes))
        return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX)),
                                format);
    return QImage();
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The scheme of an address in lower case, or empty: "C:\x" is a drive, not a scheme.
std::string schemeOf(const std::string& target) {
    const auto colon = target.find(':');
    if (colon == std::string::npos || colon < 2) return {};
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = target[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other)) return {};
    }
    return lowerAscii(target.substr(0, colon));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Escapes in a link are UTF-8 when they decode as such (what the page's own characters
// become), else bytes of the ANSI code page.
std::string decodeReference(const std::string& encoded) {
    const std::string bytes = percentDecode(encoded);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(QByteArray::fromStdString(bytes));
    if (utf8.hasError()) return bytes;
    return QStringToAnsi(text);
}

std::string withBackslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool hasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// "C:" of a drive path or "\\host\share" of a UNC path; empty for a relative path.
std::string rootPrefix(const std::string& path) {
    if (hasDrive(path)) return path.substr(0, 2);
    if (startsWith(path, "\\\\", 2)) {
        auto end = path.find('\\', 2);
        if (end != std::string::npos) end = path.find('\\', end + 1);
        return path.substr(0, end);
    }
    return {};
}

// Folds "." and ".." so that the address of a followed link reads as a plain path; ".."
// never climbs above the drive.
std::string normalisePath(const std::string& path) {
    std::string prefix = rootPrefix(path);
    if (hasDrive(prefix))
        prefix[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(prefix[0])));
    const std::string rest = path.substr(rootPrefix(path).size());
    const bool absolute = !prefix.empty() || (!rest.empty() && rest[0] == '\\');
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        auto end = rest.find('\\', start);
        if (end == std::string::npos) end = rest.size();
        const std::string part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = prefix;
    if (!rest.empty() && rest[0] == '\\') out += '\\';
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += '\\';
        out += parts[i];
    }
    return out;
}

// "file:///C:/x/a%20b.htm" -> "C:\x\a b.htm"; "file://host/share/x" -> "\\host\share\x".
std::string fileAddressToPath(const std::string& address) {
    std::string rest = address.substr(5); // after "file:"
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (startsWith(rest, "///", 3))
        rest = rest.substr(3);
    else if (startsWith(rest, "//", 2) && !hasDrive(rest.substr(2)))
        rest = "\\\\" + rest.substr(2);
    else if (startsWith(rest, "//", 2))
        rest = rest.substr(2);
    if (!rest.empty() && rest[0] == '/' && hasDrive(rest.substr(1))) rest = rest.substr(1);
    return withBackslashes(percentDecode(rest));
}

// A link or picture reference of a local page, made into a Windows path.
std::string resolveReference(const std::string& folder, const std::string& reference) {
    std::string path =
        withBackslashes(decodeReference(reference.substr(0, reference.find_first_of("?#"))));
    if (hasDrive(path) || startsWith(path, "\\\\", 2)) return normalisePath(path);
    if (!path.empty() && path[0] == '\\') return normalisePath(rootPrefix(folder) + path);
    return normalisePath(folder + path);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string extensionOf(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('\\');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return lowerAscii(path.substr(dot + 1));
}

bool looksLikeHtml(const std::string& bytes) {
    const std::string head = lowerAscii(bytes.substr(0, kCharsetWindow));
    return head.find("<html") != std::string::npos ||
           head.find("<!doctype html") != std::string::npos;
}

bool looksLikeText(const std::string& bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 8192);
    return std::find(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), '\0') ==
           bytes.begin() + static_cast<std::ptrdiff_t>(n);
}

// A page is Windows-1252 unless a byte order mark or a declared charset says UTF-8 or UTF-16.
QString decodePage(const std::string& bytes) {
    const QByteArray data = QByteArray::fromStdString(bytes);
    if (startsWith(bytes, "\xEF\xBB\xBF", 3)) return QString::fromUtf8(data.mid(3));
    if (startsWith(bytes, "\xFF\xFE", 2))
        return QStringDecoder(QStringDecoder::Utf16LE)(data.mid(2));
    if (startsWith(bytes, "\xFE\xFF", 2))
        return QStringDecoder(QStringDecoder::Utf16BE)(data.mid(2));
    const std::string head = lowerAscii(bytes.substr(0, kCharsetWindow));
    auto at = head.find("charset=");
    if (at != std::string::npos) {
        at += 8;
        while (at < head.size() && (head[at] == '"' || head[at] == '\'' || head[at] == ' '))
            ++at;
        std::string name;
        while (at < head.size() && (std::isalnum(static_cast<unsigned char>(head[at])) ||
                                    head[at] == '-' || head[at] == '_'))
            name += head[at++];
        if (name == "utf-8" || name == "utf8") return QString::fromUtf8(data);
    }
    return AnsiToQString(bytes);
}

// The page view: pictures of a local page come from the page's folder through the platform;
// nothing is fetched from elsewhere.
class LocalPageView : public QTextBrowser {
  public:
    LocalPageView(const std::string* folder, QWidget* parent)
        : QTextBrowser(parent), folder_(folder) {}

    QVariant loadResource(int type, const QUrl& name) override {
        if (type != QTextDocument::ImageResource) return {};
        const std::string reference = QStringToAnsi(name.toString(QUrl::FullyEncoded));
        const std::string scheme = schemeOf(reference);
        std::string path;
        if (scheme == "file")
            path = fileAddressToPath(reference);
        else if (scheme.empty())
            path = resolveReference(*folder_, reference);
        else
            return {};
        std::string bytes;
        if (readShownFile(path, bytes) != FileRead::Done) return {};
        const QImage picture = decodePicture(bytes);
        if (picture.isNull()) return {};
        return picture;
    }

  private:
    const std::string* folder_;
};

} // namespace

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);

    stack_ = new QStackedWidget(this);
    page_ = new LocalPageView(&pageFolder_, stack_);
    page_->setOpenLinks(false);
    page_->setOpenExternalLinks(false);
    connect(page_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { linkClicked(link); });

    auto* pictureArea = new QScrollArea(stack_);
    pictureArea->setBackgroundRole(QPalette::Base);
    pictureLabel_ = new QLabel();
    pictureLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pictureArea->setWidget(pictureLabel_);
    pictureArea->setWidgetResizable(true);

    stack_->addWidget(page_);
    stack_->addWidget(pictureArea);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    showBlank();
}

void TWebBrowser::Navigate(const std::string& target) {
    navigate(target, std::string());
}

void TWebBrowser::navigate(const std::string& target, const std::string& linkedFile) {
    bool cancel = false;
    if (OnBeforeNavigate2) OnBeforeNavigate2(target, cancel);
    if (cancel) return;

    busy_ = true;
    location_ = target;
    pageFolder_.clear();
    const std::string scheme = schemeOf(target);
    if (!linkedFile.empty())
        showFile(linkedFile);
    else if (target.empty() || scheme == "about")
        showBlank();
    else if (scheme == "file")
        showFile(fileAddressToPath(target));
    else if (!scheme.empty())
        showMessagePage(QStringLiteral("The page cannot be shown"),
                        QStringLiteral("There is no network connection to reach %1.")
                            .arg(AnsiToQString(target).toHtmlEscaped()));
    else
        // A query is no part of a file name ("?" cannot occur in one).
        showFile(withBackslashes(target.substr(0, target.find('?'))));
    busy_ = false;
}

QString TWebBrowser::DocumentText() const {
    if (stack_->currentWidget() != page_) return {};
    return page_->document()->toPlainText();
}

void TWebBrowser::showBlank() {
    picture_ = QImage();
    pictureLabel_->clear();
    page_->document()->clear();
    stack_->setCurrentWidget(page_);
}

void TWebBrowser::showHtml(const std::string& bytes) {
    showBlank();
    const QString page = decodePage(bytes);
    wrapFor(page);
    page_->setHtml(page);
}

void TWebBrowser::showText(const std::string& bytes) {
    showBlank();
    const QString text = AnsiToQString(bytes.substr(0, kMaxTextShown));
    wrapFor(text);
    page_->setPlainText(text);
}

void TWebBrowser::wrapFor(const QString& text) {
    page_->setWordWrapMode(longestUnbrokenRun(text) > kLongestWordWrapped
                               ? QTextOption::WrapAnywhere
                               : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TWebBrowser::showPicture(const QImage& picture) {
    showBlank();
    picture_ = picture;
    pictureLabel_->setPixmap(QPixmap::fromImage(picture));
    stack_->setCurrentIndex(1);
}

void TWebBrowser::showMessagePage(const QString& title, const QString& message) {
    showBlank();
    page_->setHtml(QStringLiteral("<html><head><title>%1</title></head>"
                                  "<body><h3>%1</h3><p>%2</p></body></html>")
                       .arg(title.toHtmlEscaped(), message));
}

void TWebBrowser::showFile(const std::string& windowsPath) {
    std::string bytes;
    switch (readShownFile(windowsPath, bytes)) {
    case FileRead::Done:
        break;
    case FileRead::TooLarge:
        showBlank();
        return;
    case FileRead::Missing:
        showMessagePage(QStringLiteral("The page cannot be shown"),
                        QStringLiteral("The file %1 cannot be found.")
                            .arg(AnsiToQString(windowsPath).toHtmlEscaped()));
        return;
    }
    const std::string extension = extensionOf(windowsPath);
    if (isJpegData(bytes) || otherPictureFormat(bytes)) {
        const QImage picture = decodePicture(bytes);
        if (picture.isNull())
            showBlank();
        else
            showPicture(picture);
        return;
    }
    if (extension == "htm" || extension == "html" || looksLikeHtml(bytes)) {
        pageFolder_ = folderOf(windowsPath);
        showHtml(bytes);
        return;
    }
    static const char* const pictureExtensions[] = {"gif", "jpg", "jpeg", "jpe", "png", "bmp"};
    if (std::find(std::begin(pictureExtensions), std::end(pictureExtensions), extension) !=
            std::end(pictureExtensions) ||
        !looksLikeText(bytes)) {
        // A damaged picture or a binary file: nothing sensible to show.
        showBlank();
        return;
    }
    showText(bytes);
}

void TWebBrowser::linkClicked(const QUrl& link) {
    const std::string reference = QStringToAnsi(link.toString(QUrl::FullyEncoded));
    if (reference.empty()) return;
    if (reference[0] == '#') {
        const std::string base = location_.substr(0, location_.find('#'));
        bool cancel = false;
        if (OnBeforeNavigate2) OnBeforeNavigate2(base + reference, cancel);
        if (cancel) return;
        location_ = base + reference;
        page_->scrollToAnchor(AnsiToQString(decodeReference(reference.substr(1))));
        return;
    }
    const std::string scheme = schemeOf(reference);
    if (!scheme.empty()) {
        Navigate(reference);
        return;
    }
    // The address a followed link reports keeps its query and fragment, as a browser's
    // does; the page shown is the file before them.
    const std::string file = resolveReference(pageFolder_, reference);
    const auto tail = reference.find_first_of("?#");
    navigate(tail == std::string::npos ? file : file + reference.substr(tail), file);
}
