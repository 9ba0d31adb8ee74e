#include "ui/u_ShowMessage2.h"

#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/ClickSound.h"

#include <QFontMetrics>

#include <algorithm>

TShowMessage2Form* ShowMessage2Form = nullptr;

namespace {
constexpr int kMessageWidth = 225;
constexpr int kClientHeight = 146;

// A line wider than the message may be is broken between its phrases (after ", "), so that
// no phrase is torn apart where a blank happens to fall; a phrase wider than that on its own
// still wraps at its blanks.
QString breakBetweenPhrases(const QString& line, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(line) <= width) return line;
    const QString separator = QStringLiteral(", ");
    QString broken;
    QString current;
    for (const QString& phrase : line.split(separator)) {
        const QString longer = current.isEmpty() ? phrase : current + separator + phrase;
        if (current.isEmpty() || metrics.horizontalAdvance(longer + QLatin1Char(',')) <= width) {
            current = longer;
            continue;
        }
        broken += current + QLatin1Char(',') + QLatin1Char('\n');
        current = phrase;
    }
    return broken + current;
}

} // namespace

TShowMessage2Form::TShowMessage2Form()
    : TFormBase(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    SetClientSize(275, 146);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    Image1 = new TImage(this, QStringLiteral(":/res/strip.png"));
    Image1->setGeometry(275 - 38, 0, 38, 146);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Label2 = new TLabel(this, QString(), 6, 14);
    QFont f = Label2->font();
    f.setPixelSize(13);
    Label2->setFont(f);
    Label2->SetAutoSize(false);
    Label2->setWordWrap(true);
    BitBtn2 = new TBitBtn(this, QStringLiteral("weiter"), QStringLiteral(":/res/next.png"));
    BitBtn2->SetLinkStyle();
    BitBtn2->setGeometry(6 + (225 - 100) / 2, 108, 100, 26);
    connect(BitBtn2, &QPushButton::clicked, this, &TShowMessage2Form::BitBtn2Click);
}

void TShowMessage2Form::CentreMessage() {
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // A message of a few short lines keeps the window's size; a longer one, such as the counts
    // of a cleaning, widens it up to twice and then grows it downwards, so that every line
    // shows above the button.
    const QFontMetrics metrics(Label2->font());
    // A text set since the last call is a new message; the lines are broken from it anew.
    if (Label2->text() != shown_) given_ = Label2->text();
    QStringList lines;
    for (const QString& line : given_.split(QLatin1Char('\n')))
        lines << breakBetweenPhrases(line, metrics, 2 * kMessageWidth - 8);
    shown_ = lines.join(QLatin1Char('\n'));
    Label2->setText(shown_);
    int widest = 0;
    for (const QString& line : Label2->text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line) + 8);
    const int width = std::clamp(widest, kMessageWidth, 2 * kMessageWidth);
    const int height = std::max(Label2->heightForWidth(width), 18);
    Label2->resize(width, height);
    const int clientWidth = width + 50;
    const int clientHeight = std::max(kClientHeight, 14 + height + 14 + 26 + 12);
    SetClientSize(clientWidth, clientHeight);
    Image1->setGeometry(clientWidth - 38, 0, 38, clientHeight);
    BitBtn2->move(6 + (width - 100) / 2, clientHeight - 38);
    // Each message has its own size: the window is centred for it, over the windows that
    // show it, which are centred too.
    CentreOnScreen();
}

std::string TShowMessage2Form::Message() const {
    return QStringToAnsi(Label2->text() == shown_ ? given_ : Label2->text());
}

void TShowMessage2Form::FormShow() {
    CentreMessage();
}

void TShowMessage2Form::BitBtn2Click() {
    PlayClickSound();
    Close();
}

bool AskFirst(const std::string& question, const std::string& what, const std::string& caption) {
    const std::string text = what.empty() ? question : question + "\n\n\"" + what + "\"";
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ShowMessage2(const std::string& text) {
    if (!ShowMessage2Form) return;
    ShowMessage2Form->Label2->SetCaption(text);
    ShowMessage2Form->CentreMessage();
    ShowMessage2Form->ShowModal();
}
