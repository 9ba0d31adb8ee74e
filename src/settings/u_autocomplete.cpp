#include "settings/u_autocomplete.h"

#include "cache/u_info.h"
#include "lang/TQwTrans2.h"
#include "settings/BrowserSettingsStore.h"
#include "ui/ClickSound.h"

namespace {

// The texts of the language file shown here.
constexpr int kAddressCompletionInfoText = 153;
constexpr int kFormCompletionInfoText = 194;

} // namespace

TForm6* Form6 = nullptr;

namespace {

constexpr int kClientWidth = 360;
constexpr int kClientHeight = 262;
constexpr int kGroupLeft = 12;
constexpr int kLineHeight = 16;
constexpr int kPadding = 6;
constexpr int kGroupHeight = 2 * kPadding + 3 * kLineHeight;
constexpr int kGroupGap = 6;

QGroupBox* makeGroup(QWidget* parent, int index) {
    auto* group = new QGroupBox(parent);
    group->setGeometry(kGroupLeft, kGroupLeft + index * (kGroupHeight + kGroupGap),
                       kClientWidth - 2 * kGroupLeft, kGroupHeight);
    return group;
}

QCheckBox* checkBox(QGroupBox* group, const QString& caption) {
    auto* box = new QCheckBox(caption, group);
    box->setGeometry(6, kPadding - 2, group->width() - 12, kLineHeight + 3);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

TLabel* line(QGroupBox* group, const QString& caption, int index) {
    return new TLabel(group, caption, 8, kPadding + index * kLineHeight);
}

TImage* infoPicture(QGroupBox* group, const TLabel* after) {
    auto* picture = new TImage(group, QStringLiteral(":/res/info.png"));
    picture->move(after->x() + after->width() + 4, after->y() - 1);
    picture->setCursor(Qt::PointingHandCursor);
    return picture;
}

} // namespace

TForm6::TForm6(TBrowserSettingsStore& settings) : settings_(settings) {
    setObjectName(QStringLiteral("Form6"));
    SetClientSize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    GroupBox15 = makeGroup(this, 0);
    CheckBox2 =
        checkBox(GroupBox15, QStringLiteral("Autocomplete-Funktion bei URL-Eingabe einschalten"));
    Label55 = line(GroupBox15, QStringLiteral("Um mehr Informationen hierzu"), 1);
    Label56 = line(GroupBox15, QStringLiteral("zu erhalten, klicken Sie bitte hier:"), 2);
    Image38 = infoPicture(GroupBox15, Label56);

    GroupBox1 = makeGroup(this, 1);
    CheckBox1 =
        checkBox(GroupBox1, QStringLiteral("Automatisches merken der Passworter aktivieren"));
    Label1 = line(GroupBox1, QStringLiteral("Sollten mehrere Nutzer diesen Rechner nutzen, so"), 1);
    Label2 = line(GroupBox1, QStringLiteral("ist es ratsam, diese Funktion zu deaktivieren!"), 2);

    GroupBox2 = makeGroup(this, 2);
    CheckBox3 =
        checkBox(GroupBox2, QStringLiteral("Autocomplete-Funktion bei Formularen einschalten"));
    Label3 = line(GroupBox2, QStringLiteral("Um mehr Informationen hierzu"), 1);
    Label4 = line(GroupBox2, QStringLiteral("zu erhalten, klicken Sie bitte hier:"), 2);
    Image4 = infoPicture(GroupBox2, Label4);

    BitBtn5 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn5->setGeometry(kClientWidth - 120, kClientHeight - 40, 108, 28);

    // The user's clicks only: a read that sets the boxes writes nothing.
    for (QCheckBox* box : {CheckBox2, CheckBox1, CheckBox3})
        connect(box, &QCheckBox::clicked, this, &TForm6::CheckBox2Click);
    connect(Image38, &TImage::clicked, this, &TForm6::Image38Click);
    connect(Image4, &TImage::clicked, this, &TForm6::Image4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm6::BitBtn5Click);
}

TForm6::~TForm6() {
    if (Form6 == this) Form6 = nullptr;
}

void TForm6::ShowBrowserSettings(const TShownBrowserSettings& shown) {
    CheckBox2->setChecked(shown.AutoSuggest);
    CheckBox1->setChecked(shown.FormSuggestPasswords);
    CheckBox3->setChecked(shown.UseFormSuggest);
}

void TForm6::TakeBrowserSettings(TShownBrowserSettings& shown) const {
    shown.AutoSuggest = CheckBox2->isChecked();
    shown.FormSuggestPasswords = CheckBox1->isChecked();
    shown.UseFormSuggest = CheckBox3->isChecked();
}

void TForm6::CheckBox2Click() {
    PlayClickSound();
    settings_.WriteAndReadBack();
}

void TForm6::Image38Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kAddressCompletionInfoText));
    ShowModalWindow(Form5);
}

void TForm6::Image4Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kFormCompletionInfoText));
    ShowModalWindow(Form5);
}

void TForm6::BitBtn5Click() {
    PlayClickSound();
    Close();
}
