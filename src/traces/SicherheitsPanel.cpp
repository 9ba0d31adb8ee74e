#include "traces/SicherheitsPanel.h"

#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "lang/TQwTrans2.h"
#include "ui/ClickSound.h"
#include "ui/FormBase.h"
#include "ui/MainWindow.h"
#include "ui/u_beschaeftigt.h"

namespace {

// The texts of the language file shown here.
constexpr int kOneMomentText = 66;
constexpr int kCookiesInfoText = 67;
constexpr int kTypedUrlsInfoText = 68;

} // namespace

namespace {

QGroupBox* makeGroup(QWidget* parent, const QString& title, int x, int y, int lines) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(x, y, SicherheitsPanel::kColumnWidth, SicherheitsPanel::GroupHeight(lines));
    return group;
}

int below(const QGroupBox* group) {
    return group->y() + group->height() + SicherheitsPanel::kGroupGap;
}

TLabel* line(QGroupBox* group, const QString& caption, int index) {
    return new TLabel(group, caption, 8,
                      SicherheitsPanel::kFirstLine + index * SicherheitsPanel::kLineHeight);
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

    GroupBox5 = makeGroup(this, QStringLiteral("History: "), kLeftColumn, below(GroupBox4), 4);
    Label17 = line(GroupBox5, QStringLiteral("Die History speichert die Adressen"), 0);
    Label18 = line(GroupBox5, QStringLiteral("aller zuletzt besuchten Seiten."), 1);
    Label19 = line(GroupBox5, QStringLiteral("Um alle Adressen anzuzeigen, klicken Sie "), 2);
    Label21 = link(GroupBox5, Label19);
    Label20 = line(GroupBox5, QStringLiteral("Um die Liste jetzt zu entleeren, klicken Sie"), 3);
    Label22 = link(GroupBox5, Label20);

    GroupBox6 = makeGroup(this, QStringLiteral("Typed URLs: "), kRightColumn, kContentTop, 7);
    Label27 = line(GroupBox6, QStringLiteral("Um mehr darüber zu erfahren, was"), 0);
    Label28 = line(GroupBox6, QStringLiteral("Typed URLs sind, klicken"), 1);
    Label29 = line(GroupBox6, QStringLiteral("Sie bitte hier:"), 2);
    Image17 = infoPicture(GroupBox6, Label29);
    Label26 = line(GroupBox6, QStringLiteral("Eine Möglichkeit, alle Elemente der"), 3);
    Label30 = line(GroupBox6, QStringLiteral("Liste anzuzeigen, finden Sie"), 4);
    Label25 = link(GroupBox6, Label30);
    Label24 = line(GroupBox6, QStringLiteral("Um die Liste jetzt zu entleeren,"), 5);
    Label31 = line(GroupBox6, QStringLiteral("klicken Sie einfach"), 6);
    Label23 = link(GroupBox6, Label31);

    GroupBox7 = makeGroup(this, QStringLiteral("MRU-Listen: "), kRightColumn, below(GroupBox6), 6);
    Label32 = line(GroupBox7, QStringLiteral("Windows merkt sich in MRU-Listen"), 0);
    Label33 = line(GroupBox7, QStringLiteral("Eingaben unter \"Ausführen\" sowie"), 1);
    Label34 = line(GroupBox7, QStringLiteral("die zuletzt geöffneten Dokumente."), 2);
    Label35 = line(GroupBox7, QStringLiteral("Um alle von Surfkolibri gefundenen "), 3);
    Label36 = line(GroupBox7, QStringLiteral("Einträge anzuzeigen und gegebenen-"), 4);
    Label37 = line(GroupBox7, QStringLiteral("falls zu entfernen, klicken Sie"), 5);
    Label38 = link(GroupBox7, Label37);

    GroupBox18 =
        makeGroup(this, QStringLiteral("Other Browsers: "), kLeftColumn, below(GroupBox5), 5);
    Label8 = line(GroupBox18, QStringLiteral("Surfkolibri leert auch den Cache, die"), 0);
    Label66 = line(GroupBox18, QStringLiteral("Cookies und die History von Opera,"), 1);
    Label65 = line(GroupBox18, QStringLiteral("Firefox und Mozilla/Netscape."), 2);
    Label67 = line(GroupBox18, QStringLiteral("Um diese Browser zu bereinigen,"), 3);
    Label68 = line(GroupBox18, QStringLiteral("klicken Sie bitte"), 4);
    Label69 = link(GroupBox18, Label68);

    connect(Label16, &TLabel::clicked, this, &SicherheitsPanel::Label16Click);
    connect(Image13, &TImage::clicked, this, &SicherheitsPanel::Image13Click);
    connect(Image17, &TImage::clicked, this, &SicherheitsPanel::Image17Click);
}

void SicherheitsPanel::Label16Click() {
    PlayClickSound();
    Form2->Label2->SetCaption(GetText(kOneMomentText));
    Form2->FakeTimer->setInterval(30);
    Form2->FakeTimer->start();
    Form2->Label2->setVisible(true);
    const TMainWindowHidden hidden(window());
    Form2->ShowModal();
    CookieForm->ShowModal();
}

void SicherheitsPanel::Image13Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kCookiesInfoText));
    ShowModalWindow(Form5);
}

void SicherheitsPanel::Image17Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kTypedUrlsInfoText));
    ShowModalWindow(Form5);
}
