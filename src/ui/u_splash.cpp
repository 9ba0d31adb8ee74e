#include "ui/u_splash.h"

TForm3* Form3 = nullptr;

TForm3::TForm3() : TFormBase(Qt::SplashScreen | Qt::FramelessWindowHint) {
    SetClientSize(383, 205);
    Image1 = new TImage(this, QStringLiteral(":/res/splash.png"));
    Image1->setGeometry(0, 0, 383, 205);
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(16, 205 - 44, 200, 30);
    Label1 = new TLabel(Panel1, QStringLiteral("Surfkolibri"), 8, 5);
    QFont bold = Label1->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    Label1->setFont(bold);
    QPalette maroon = Label1->palette();
    maroon.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
    Label1->setPalette(maroon);
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->adjustSize();
}
