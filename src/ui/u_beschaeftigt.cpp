#include "ui/u_beschaeftigt.h"

#include "controls/aniicon.h"

#include <QFile>

TForm2* Form2 = nullptr;

namespace {

void centreLine(TLabel* label) {
    label->SetAutoSize(false);
    label->resize(337, label->height());
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

} // namespace

TForm2::TForm2()
    : TFormBase(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                Qt::CustomizeWindowHint) {
    SetClientSize(388, 147);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    // A cleaning under way is not left with a key.
    SetEscapeAction({});
    Image1 = new TImage(this, QStringLiteral(":/res/strip.png"));
    Image1->setGeometry(388 - 38, 0, 38, 147);
    Image1->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    Label1 = new TLabel(this, QStringLiteral("Surfkolibri"), 64, 14);
    QFont bold = Label1->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Label1->setFont(bold);
    QPalette maroon = Label1->palette();
    maroon.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
    Label1->setPalette(maroon);
    Label1->adjustSize();

    AniIcon1 = new TAniIcon(this);
    AniIcon1->setGeometry(16, 8, 32, 32);
    QFile ani(QStringLiteral(":/res/busy.ani"));
    if (ani.open(QIODevice::ReadOnly))
        AniIcon1->AniFile()->LoadFromData(ani.readAll().toStdString());

    QFont line = font();
    line.setPixelSize(13);
    Label2 = new TLabel(this, QString(), 6, 50);
    Label3 = new TLabel(this, QString(), 6, 70);
    for (TLabel* l : {Label2, Label3}) {
        l->setFont(line);
        l->resize(337, 18);
        l->setVisible(false);
    }

    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(24, 100, 300, 22);
    Panel1->setVisible(false);
    ProgressBar1 = new QProgressBar(Panel1);
    ProgressBar1->setGeometry(2, 2, 296, 18);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    FakeTimer = new QTimer(this);
    FakeTimer->setInterval(50);
    connect(FakeTimer, &QTimer::timeout, this, &TForm2::FakeTimerTimer);
}

void TForm2::FormShow() {
    AniIcon1->setAnimated(true);
    centreLine(Label2);
    centreLine(Label3);
}

void TForm2::FormHide() {
    AniIcon1->setAnimated(false);
}

void TForm2::FormClose() {
    // Closed by its title bar in the middle of a progress animation: the next use starts
    // from an empty bar instead of ticking on behind a hidden window.
    if (FakeTimer->isActive()) {
        FakeTimer->stop();
        ProgressBar1->setValue(0);
    }
    AniIcon1->setAnimated(false);
    Panel1->setVisible(false);
    Label2->setVisible(false);
    Label3->setVisible(false);
    FakeTimer->setInterval(50);
}

void TForm2::FakeTimerTimer() {
    Panel1->setVisible(true);
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    if (ProgressBar1->value() >= 100) {
        FakeTimer->stop();
        ProgressBar1->setValue(0);
        Close();
    }
}
