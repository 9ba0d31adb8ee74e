// The small standard controls the windows are built from, with the behaviour the windows
// rely on: labels that size themselves to their caption, link labels, memos that hold lines,
// title lines and glyph buttons. Windows place them at absolute positions.
#pragma once

#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include <string>

// A label: setting its caption resizes it to the text (unless auto-size is off).
class TLabel : public QLabel {
    Q_OBJECT
  public:
    explicit TLabel(QWidget* parent, const QString& caption = QString(), int x = 0, int y = 0);

    void SetCaption(const std::string& caption);
    void SetCaption(const QString& caption);
    std::string Caption() const;
    void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
    // Blue, underlined, hand cursor.
    void SetLink(bool link);
    // The caption in bold (the label grows with it).
    void SetBold(bool bold);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A link is reached with Tab, shows a dotted focus mark, and Enter or Space follows it.
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool autoSize_ = true;
};

// Enter presses the button as Space does (a tool button or a push button outside a dialog
// takes Space only).
void ClickOnEnter(QAbstractButton* button);

// A read-only box of lines (the windows' memos). Only an LF breaks a line on screen, as the
// language texts rely on; a CR stays inside its line (and shows as nothing).
class TMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TMemo(QWidget* parent);
    void Clear();
    void Add(const std::string& line);
    // The lines as added, with any CR or LF inside them.
    QStringList Lines() const { return lines_; }

  private:
    QStringList lines_;
};

// A title line: cleared and given one line of text.
class TRichEdit : public QLabel {
    Q_OBJECT
  public:
    explicit TRichEdit(QWidget* parent);
    void SetTitleLine(const std::string& text);
    QStringList Lines() const;
};

// A push button with a glyph; the "weiter" buttons and OK buttons.
class TBitBtn : public QPushButton {
    Q_OBJECT
  public:
    TBitBtn(QWidget* parent, const QString& caption, const QString& glyph = QString());
    void SetCaption(const std::string& caption);
    // Blue underlined caption with a hand cursor, glyph to the right of the caption.
    void SetLinkStyle();
};

// A picture: shows an image at its natural size (or stretched when asked).
// A picture from the resources takes its size at once and is decoded when it is first shown
// or asked about: most of the program's pictures sit on sections that a start never shows.
class TImage : public QLabel {
    Q_OBJECT
  public:
    explicit TImage(QWidget* parent, const QString& resource = QString());
    void SetPicture(const QImage& image);
    bool HasPicture();
    QSize sizeHint() const override;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void decode();
    QString undecoded_; // the resource not decoded yet
    QSize undecodedSize_;
};

// The font grown by the given points, whether its size was set in points or in pixels (a
// font set in pixels reports a point size of -1).
QFont GrownFont(const QFont& font, double points);

// The text with one line break at a blank when it is wider than the given width.
QString WrapToWidth(const QString& text, const QFontMetrics& metrics, int width);

// Line breaks as the program writes them (CR LF, CR or LF) turned into display lines.
QString DisplayText(const std::string& text);
