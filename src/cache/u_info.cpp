#include "cache/u_info.h"

#include "controls/stdctrls.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm5* Form5 = nullptr;

namespace {

constexpr int kClientWidth = 356;
constexpr int kClientHeight = 361;

} // namespace

TForm5::TForm5() {
    setWindowTitle(QStringLiteral("Surfkolibri"));
    SetClientSize(kClientWidth, kClientHeight);
    QPalette white = palette();
    white.setColor(QPalette::Base, Qt::white);
    setPalette(white);

    Label1 = new QLabel(QStringLiteral("Surfkolibri"), this);
    QFont bold = GrownFont(Label1->font(), 4);
    bold.setBold(true);
    Label1->setFont(bold);

    GroupBox1 = new QGroupBox(QStringLiteral("Information: "), this);
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Image1 = new QLabel(GroupBox1);
    Image1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    const QPixmap picture(QStringLiteral(":/res/info.png"));
    if (!picture.isNull()) Image1->setPixmap(picture);

    auto* groupLayout = new QHBoxLayout(GroupBox1);
    groupLayout->addWidget(Image1, 0, Qt::AlignTop);
    groupLayout->addWidget(Memo1, 1);

    BitBtn2 = new QPushButton(QStringLiteral("weiter"), this);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(GroupBox1, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);

    // The form definition carries a sample text; callers always replace it.
    ShowInfoText(std::string());
}

void TForm5::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        BitBtn2Click();
        return;
    }
    TFormBase::keyPressEvent(event);
}

void TForm5::ShowInfoText(const std::string& Text) {
    clearMemo();
    std::string line;
    for (const char c : Text) {
        if (c == '\n') {
            appendMemoLine(line);
            line.clear();
        } else {
            line += c;
        }
    }
    appendMemoLine(line);
    showMemoLines();
}

void TForm5::BitBtn2Click() {
    PlayClickSound();
    close();
}

void TForm5::clearMemo() {
    memoLines_.clear();
    Memo1->clear();
}

void TForm5::appendMemoLine(const std::string& line) {
    memoLines_.append(AnsiToQString(line));
}

void TForm5::showMemoLines() {
    QString text = memoLines_.join(QLatin1Char('\n'));
    // The editor would break a block at a carriage return; a lone one shows as nothing.
    text.remove(QLatin1Char('\r'));
    Memo1->setPlainText(text);
}
