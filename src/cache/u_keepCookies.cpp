#include "cache/u_keepCookies.h"

#include "controls/longlist.h"
#include "lang/TQwTrans2.h"
#include "platform/datetime.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"

#include <QSignalBlocker>

#include <cstdio>

TKeepCookiesForm* KeepCookiesForm = nullptr;

namespace {

// The texts of the language file shown here.
enum KeepListText {
    kProductNameText = 1,
    kAddedText = 349,
    kChooseSiteText = 454,
    kTakeOffQuestionText = 455,
};

// The day a site was added, as the list stores it (YYYY-MM-DD), in the user's date format;
// a value that holds no such date is shown as it is.
std::string shownDate(const std::string& stored) {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    char end = 0;
    double date = 0;
    if (std::sscanf(stored.c_str(), "%4u-%2u-%2u%c", &year, &month, &day, &end) != 3 ||
        !TryEncodeDateTime(static_cast<WORD>(year), static_cast<WORD>(month),
                           static_cast<WORD>(day), 0, 0, 0, 0, date))
        return stored;
    return DateToStr(date);
}

} // namespace

TKeepCookiesForm::TKeepCookiesForm() {
    setObjectName(QStringLiteral("KeepCookiesForm"));
    SetClientSize(430, 318);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label1 = new TLabel(this, QStringLiteral("Surfkolibri behält bei jeder Reinigung"), 16, 12);
    Label2 = new TLabel(
        this, QStringLiteral("die Cookies dieser Seiten (mit dem Tag der Aufnahme):"), 16, 28);
    Label1->SetBold(true);
    Label2->SetBold(true);

    ListBox1 = new TLongListbox(this);
    ListBox1->setGeometry(16, 52, 398, 170);
    ListBox1->setOnlyWhenFocused(false);
    QPalette yellow = ListBox1->palette();
    yellow.setColor(QPalette::Base, QColor(255, 255, 234));
    yellow.setColor(QPalette::Text, Qt::black);
    ListBox1->setPalette(yellow);

    // Over the empty list, inside its frame.
    Label5 = new TLabel(this, QStringLiteral("Noch keine Seite auf der Liste."), 26, 62);
    Label5->SetAutoSize(false);
    Label5->setWordWrap(true);
    Label5->setGeometry(26, 62, 378, 64);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->setVisible(false);

    Label3 = new TLabel(this, QStringLiteral("Ihre Cookies bleiben erhalten."), 16, 228);
    Label3->SetAutoSize(false);
    Label3->setWordWrap(true);
    Label3->setGeometry(16, 228, 398, 32);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image1 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image1->move(16, 268);
    Label4 = new TLabel(this, QStringLiteral("Ausgewählte Seite von der Liste nehmen"), 34, 266);
    Label4->SetLink(true);

    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(430 - 124, 318 - 40, 108, 28);

    connect(Label4, &TLabel::clicked, this, &TKeepCookiesForm::Label4Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TKeepCookiesForm::BitBtn1Click);
}

TKeepCookiesForm::~TKeepCookiesForm() {
    if (KeepCookiesForm == this) KeepCookiesForm = nullptr;
}

void TKeepCookiesForm::FormShow() {
    FillList();
    ListBox1->setFocus();
}

void TKeepCookiesForm::FillList(const std::string& host) {
    Keep.Load();
    const QSignalBlocker filling(ListBox1);
    ListBox1->clear();
    int select = -1;
    for (const TKeepCookies::Site& site : Keep.Sites()) {
        std::string line = site.host;
        if (!site.added.empty())
            line += "   (" + GetText(kAddedText) + " " + shownDate(site.added) + ")";
        auto* item = new QListWidgetItem(AnsiToQString(line), ListBox1);
        item->setData(Qt::UserRole, AnsiToQString(site.host));
        if (site.host == host) select = ListBox1->count() - 1;
    }
    // Only a site the caller names is selected: the link acts on none the user did not choose.
    if (select >= 0) ListBox1->setCurrentRow(select);
    const bool empty = ListBox1->count() == 0;
    Label5->setVisible(empty);
    Label4->setEnabled(!empty);
    Image1->setEnabled(!empty);
}

std::string TKeepCookiesForm::SelectedSite() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? std::string()
                              : QStringToAnsi(selected.front()->data(Qt::UserRole).toString());
}

void TKeepCookiesForm::Label4Click() {
    PlayClickSound();
    const std::string site = SelectedSite();
    if (site.empty()) {
        ShowMessage2(GetText(kChooseSiteText));
        return;
    }
    if (!AskFirst(GetText(kTakeOffQuestionText), site, GetText(kProductNameText))) return;
    // Only the list changes: the site's cookies stay on the system.
    Keep.Remove(site);
    FillList();
    ListBox1->setFocus();
}

void TKeepCookiesForm::BitBtn1Click() {
    PlayClickSound();
    Close();
}
