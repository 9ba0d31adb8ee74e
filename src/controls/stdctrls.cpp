#include "controls/stdctrls.h"

#include "platform/gui/application.h"
#include "platform/qt/ansi_qstring.h"

#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextCursor>

#include <algorithm>

QString DisplayText(const std::string& text) {
    QString s = AnsiToQString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString WrapToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width || text.contains(QLatin1Char('\n'))) return text;
    // Break at a blank (which goes) or after a hyphen (which stays), wherever the longer
    // of the two lines comes out shortest.
    QString best;
    int bestWidth = 0;
    for (int i = 0; i < text.size(); ++i) {
        QString first;
        QString second;
        if (text[i] == QLatin1Char(' ')) {
            first = text.left(i);
            second = text.mid(i + 1);
        } else if (text[i] == QLatin1Char('-') && i > 0 && i + 1 < text.size()) {
            first = text.left(i + 1);
            second = text.mid(i + 1);
        } else {
            continue;
        }
        const int longer =
            std::max(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second));
        if (best.isEmpty() || longer < bestWidth) {
            best = first + QLatin1Char('\n') + second;
            bestWidth = longer;
        }
    }
    return best.isEmpty() ? text : best;
}

TLabel::TLabel(QWidget* parent, const QString& caption, int x, int y) : QLabel(parent) {
    move(x, y);
    SetCaption(caption);
}

void TLabel::SetCaption(const std::string& caption) {
    SetCaption(DisplayText(caption));
}

void TLabel::SetCaption(const QString& caption) {
    setText(caption);
    if (autoSize_) adjustSize();
}

std::string TLabel::Caption() const {
    return QStringToAnsi(text());
}

void TLabel::SetLink(bool link) {
    QFont f = font();
    f.setUnderline(link);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, link ? QColor(0, 0, 255) : QColor(0, 0, 0));
    setPalette(p);
    setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setFocusPolicy(link ? Qt::StrongFocus : Qt::NoFocus);
    if (autoSize_) adjustSize();
}

void TLabel::SetBold(bool bold) {
    QFont f = font();
    f.setBold(bold);
    setFont(f);
    if (autoSize_) adjustSize();
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        RunHandler([this] { emit clicked(); });
}

void TLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (focusPolicy() != Qt::NoFocus &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        RunHandler([this] { emit clicked(); });
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    QPen dotted(palette().color(QPalette::WindowText));
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

namespace {

class EnterClicks : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        static_cast<QAbstractButton*>(watched)->click();
        return true;
    }
};

} // namespace

void ClickOnEnter(QAbstractButton* button) {
    button->installEventFilter(new EnterClicks(button));
}

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTextInteractionFlags(Qt::NoTextInteraction);
    viewport()->setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    document()->setDocumentMargin(0);
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    setPalette(p);
}

void TMemo::Clear() {
    clear();
    lines_.clear();
}

void TMemo::Add(const std::string& line) {
    const QString text = AnsiToQString(line);
    lines_ << text;
    // The editor would start a new block at a CR as well as at an LF.
    QString shown = text;
    shown.remove(QLatin1Char('\r'));
    appendPlainText(shown);
    // Appending scrolls to the end; a box is read from its first line.
    moveCursor(QTextCursor::Start);
    ensureCursorVisible();
}

QFont GrownFont(const QFont& font, double points) {
    QFont grown = font;
    if (font.pointSizeF() > 0)
        grown.setPointSizeF(font.pointSizeF() + points);
    else if (font.pixelSize() > 0)
        grown.setPixelSize(font.pixelSize() + qRound(points * 96.0 / 72.0));
    return grown;
}

TRichEdit::TRichEdit(QWidget* parent) : QLabel(parent) {
    QFont f = font();
    f.setBold(true);
    f.setPixelSize(17);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
    setPalette(p);
}

void TRichEdit::SetTitleLine(const std::string& text) {
    setText(AnsiToQString(text));
}

QStringList TRichEdit::Lines() const {
    return text().isEmpty() ? QStringList() : QStringList{text()};
}

TBitBtn::TBitBtn(QWidget* parent, const QString& caption, const QString& glyph)
    : QPushButton(caption, parent) {
    if (!glyph.isEmpty()) setIcon(QIcon(glyph));
    setCursor(Qt::PointingHandCursor);
}

void TBitBtn::SetCaption(const std::string& caption) {
    setText(AnsiToQString(caption));
}

void TBitBtn::SetLinkStyle() {
    setFlat(true);
    setLayoutDirection(Qt::RightToLeft); // the glyph goes to the right of the caption
    setStyleSheet(QStringLiteral("QPushButton { color: #0000ff; text-decoration: underline; "
                                 "border: none; background: transparent; }"
                                 "QPushButton:focus { border: 1px dotted #0000ff; }"));
    setCursor(Qt::PointingHandCursor);
    ClickOnEnter(this);
}

TImage::TImage(QWidget* parent, const QString& resource) : QLabel(parent) {
    if (resource.isEmpty()) return;
    const QSize size = QImageReader(resource).size();
    if (!size.isValid()) return;
    resize(size);
    undecoded_ = resource;
    undecodedSize_ = size;
}

QSize TImage::sizeHint() const {
    return undecoded_.isEmpty() ? QLabel::sizeHint() : undecodedSize_;
}

void TImage::decode() {
    if (undecoded_.isEmpty()) return;
    const QPixmap pixmap(undecoded_);
    undecoded_.clear();
    if (!pixmap.isNull()) setPixmap(pixmap);
}

void TImage::SetPicture(const QImage& image) {
    undecoded_.clear();
    setPixmap(QPixmap::fromImage(image));
}

bool TImage::HasPicture() {
    decode();
    return !pixmap().isNull();
}

void TImage::paintEvent(QPaintEvent* event) {
    decode();
    QLabel::paintEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        RunHandler([this] { emit clicked(); });
}
