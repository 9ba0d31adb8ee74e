#include "traces/SicherheitsPanel.h"

#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "lang/TQwTrans2.h"
#include "shell/u_beschaeftigt.h"
#include "ui/ClickSound.h"
#include "ui/FormBase.h"

namespace {

QGroupBox* makeGroup(QWidget* parent, const QString& title, int x, int y, int lines) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(x, y, SicherheitsPanel::kColumnWidth,
                       24 + lines * SicherheitsPanel::kLineHeight + 6);
    return group;
}

TLabel* line(QGroupBox* group, const QString& caption, int index) {
    return new TLabel(group, caption, 8, 22 + index * SicherheitsPanel::kLineHeight);
}

TImage* infoPicture(QGroupBox* group, const TLabel* after) {
    auto* picture = new TImage(group, QStringLiteral(":/res/info.png"));
    picture->move(after->x() + after->width() + 2, after->y() - 1);
    picture->setCursor(Qt::PointingHandCursor);
    return picture;
}

TLabel* link(QGroupBox* group, const TLabel* after) {
    auto* label =
        new TLabel(group, QStringLiteral("hier"), after->x() + after->width() + 5, after->y());
    label->SetLink(true);
    return label;
}

} // namespace

SicherheitsPanel::SicherheitsPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_security.png")) {
    RichEdit3 = TitleLine();
    Memo3 = Introduction();
    BitBtn2 = NextButton();

    GroupBox4 = makeGroup(this, QStringLiteral("Browsercookies: "), kLeftColumn, kContentTop, 4);
    Label6 = line(GroupBox4, QStringLiteral("Um mehr Informationen darüber zu erhalten, was"), 0);
    Label13 = line(GroupBox4, QStringLiteral("Cookies sind, klicken Sie bitte hier: "), 1);
    Image13 = infoPicture(GroupBox4, Label13);
    Label14 = line(GroupBox4, QStringLiteral("Um alle Cookies anzuzeigen und"), 2);
    Label15 = line(GroupBox4, QStringLiteral("gegebenenfalls zu entfernen, klicken Sie bitte "), 3);
    Label16 = link(GroupBox4, Label15);

    GroupBox6 = makeGroup(this, QStringLiteral("Typed URLs: "), kRightColumn, kContentTop, 7);
    Label27 = line(GroupBox6, QStringLiteral("Um mehr darüber zu erfahren, was"), 0);
    Label28 = line(GroupBox6, QStringLiteral("Typed URLs sind, klicken"), 1);
    Label29 = line(GroupBox6, QStringLiteral("Sie bitte hier:"), 2);
    Image17 = infoPicture(GroupBox6, Label29);

    connect(Label16, &TLabel::clicked, this, &SicherheitsPanel::Label16Click);
    connect(Image13, &TImage::clicked, this, &SicherheitsPanel::Image13Click);
    connect(Image17, &TImage::clicked, this, &SicherheitsPanel::Image17Click);
}

void SicherheitsPanel::Label16Click() {
    PlayClickSound();
    Form2->Label2->SetCaption(GetText(66));
    Form2->FakeTimer->setInterval(30);
    Form2->FakeTimer->start();
    Form2->Label2->setVisible(true);
    QWidget* mainWindow = window();
    mainWindow->hide();
    Form2->ShowModal();
    CookieForm->ShowModal();
    mainWindow->show();
}

void SicherheitsPanel::Image13Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(67));
    ShowModalWindow(Form5);
}

void SicherheitsPanel::Image17Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(68));
    ShowModalWindow(Form5);
}
