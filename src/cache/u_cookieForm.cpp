#include "cache/u_cookieForm.h"

#include "cache/IECache.h"
#include "controls/longlist.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"

#include <QSignalBlocker>

#include <exception>

TCookieForm* CookieForm = nullptr;

std::string FormatCacheTime(double t) {
    if (!(t >= 0)) return {};
    try {
        std::string text = DateTimeToStr(t);
        // Only a text with a time part loses its seconds: a midnight expiry keeps its date.
        // The time part is told by the locale's own formats, as a short date may hold
        // blanks itself ("dd. MM. yyyy").
        const std::string time = TimeToStr(t);
        const bool hasTime =
            text.size() > time.size() && time.size() >= 3 && text == DateToStr(t) + " " + time;
        if (hasTime) text.erase(text.size() - 3);
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

TCookieForm::TCookieForm() {
    SetClientSize(613, 399);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label1 = new TLabel(this, QStringLiteral("Surfkolibri hat Ihr System analysiert und"), 16, 12);
    Label2 = new TLabel(this, QStringLiteral("folgende Cookies auf Ihrem System finden können:"),
                        16, 28);
    Label1->SetBold(true);
    Label2->SetBold(true);

    Listbox1 = new TLongListbox(this);
    Listbox1->setGeometry(16, 52, 340, 296);
    Listbox1->setOnlyWhenFocused(false);
    Listbox1->setBackColor(QColor(255, 255, 234));
    Listbox1->setTextColor(Qt::black);
    QPalette yellow = Listbox1->palette();
    yellow.setColor(QPalette::Base, QColor(255, 255, 234)); // colour value 15400959
    yellow.setColor(QPalette::Text, Qt::black);
    Listbox1->setPalette(yellow);
    Label11 = new TLabel(this, QStringLiteral("Gesamtzahl der gefundenen Cookies: 111"), 16, 356);

    GroupBox2 = new QGroupBox(QStringLiteral("Filter:"), this);
    GroupBox2->setGeometry(370, 52, 227, 56);
    Edit1 = new QLineEdit(GroupBox2);
    Edit1->setGeometry(10, 24, 207, 22);

    Label3 = new TLabel(this, QStringLiteral("Klicken Sie auf einen Eintrag, um"), 370, 120);
    Label4 = new TLabel(this, QStringLiteral("weitere Informationen zu erhalten:"), 370, 136);

    GroupBox1 = new QGroupBox(QStringLiteral("Informationen zum Cookie: "), this);
    GroupBox1->setGeometry(370, 158, 227, 106);
    Label7 = new TLabel(GroupBox1, QStringLiteral("Anzahl der Abfragen: 500"), 10, 24);
    Label8 = new TLabel(GroupBox1, QStringLiteral("Dateigröße: 116"), 10, 43);
    Label9 = new TLabel(GroupBox1, QStringLiteral("Letzter Zugriff: 26.05.2001, 17:34:46"), 10, 62);
    Label10 = new TLabel(GroupBox1, QStringLiteral("Gültig bis: 27.05.2001 17:33:36"), 10, 81);

    Image1 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image1->move(370, 282);
    Label5 = new TLabel(this, QStringLiteral("Ausgewählten Cookie entfernen"), 388, 280);
    auto* arrow = new TImage(this, QStringLiteral(":/res/link.png"));
    arrow->move(370, 304);
    Label6 = new TLabel(this, QStringLiteral("Alle gefundenen Cookies entfernen"), 388, 302);
    Label5->SetLink(true);
    Label6->SetLink(true);

    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(613 - 124, 399 - 40, 108, 28);

    IECache1 = new TIECache();
    IECache1->SetFilterOptions({NORMAL_ENTRY, STICKY_ENTRY, COOKIE_ENTRY, URLHISTORY_ENTRY,
                                TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY});
    IECache1->SetSearchPattern(spAll);
    IECache1->OnEntry = [this](TIECache* sender, bool& cancel) { IECache1Entry(sender, cancel); };

    CloseTimer = new QTimer(this);
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &TCookieForm::CloseTimerTimer);
    // The details follow the selected line, whether a click or the keyboard moved it, as the
    // hint text promises.
    connect(Listbox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    connect(Label5, &TLabel::clicked, this, &TCookieForm::Label5Click);
    connect(Label6, &TLabel::clicked, this, &TCookieForm::Label6Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TCookieForm::Edit1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TCookieForm::BitBtn1Click);
}

TCookieForm::~TCookieForm() {
    delete IECache1;
}

void TCookieForm::FormShow() {
    RefreshCookieList();
    if (Listbox1->count() == 0) {
        ShowMessage2(GetText(83));
        CloseTimer->start();
    }
}

void TCookieForm::RefreshCookieList() {
    // The filter cannot change during the walk: converted once, not once per cookie.
    filter_ = QStringToAnsi(Edit1->text());
    // The details are shown once, below, for the line the refreshed list starts on.
    const QSignalBlocker refreshing(Listbox1);
    Listbox1->clear();
    IECache1->SetSearchPattern(spCookies);
    try {
        IECache1->Retrieve(0);
    } catch (const std::exception&) {
        // A failing walk leaves what was listed so far.
    }
    if (Listbox1->count() > 0) Listbox1->setCurrentRow(0);
    ListBox1Click();
    Label11->SetCaption(GetText(82) + " " + std::to_string(Listbox1->count()));
}

void TCookieForm::IECache1Entry(TIECache*, bool&) {
    try {
        const std::string& url = IECache1->EntryInfo().SourceUrlName;
        if (!filter_.empty() && filter_ != "*" && url.find(filter_) == std::string::npos) return;
        Listbox1->addItem(AnsiToQString(url));
    } catch (const std::exception&) {
    }
}

void TCookieForm::ListBox1Click() {
    try {
        // An empty list has no details to show: nothing is left from the last cookie walked.
        if (!Listbox1->currentItem()) {
            for (auto [label, text] :
                 {std::pair{Label7, 78}, {Label8, 79}, {Label9, 80}, {Label10, 81}})
                label->SetCaption(GetText(text));
            return;
        }
        IECache1->GetEntryInfo(QStringToAnsi(Listbox1->currentItem()->text()));
        const TEntryInfo& info = IECache1->EntryInfo();
        Label7->SetCaption(GetText(78) + " " + std::to_string(info.HitRate));
        Label8->SetCaption(GetText(79) + " " + std::to_string(info.Size));
        Label9->SetCaption(GetText(80) + " " + FormatCacheTime(info.LastAccess));
        Label10->SetCaption(GetText(81) + " " + FormatCacheTime(info.ExpireTime));
    } catch (const std::exception&) {
    }
}

void TCookieForm::Label5Click() {
    PlayClickSound();
    // A filter may have emptied the list: with no line selected there is nothing to delete.
    if (!Listbox1->currentItem()) return;
    IECache1->DeleteEntry(QStringToAnsi(Listbox1->currentItem()->text()));
    Listbox1->clear();
    FormShow();
    Listbox1->setFocus();
}

void TCookieForm::Label6Click() {
    PlayClickSound();
    const std::string filter = QStringToAnsi(Edit1->text());
    if (!filter.empty() && filter != "*") {
        for (int i = 0; i < Listbox1->count(); ++i)
            IECache1->DeleteEntry(QStringToAnsi(Listbox1->item(i)->text()));
        RefreshCookieList();
        return;
    }
    IECache1->SetSearchPattern(spCookies);
    try {
        IECache1->DeleteAllEntries();
    } catch (const std::exception&) {
    }
    Listbox1->clear();
    FormShow();
    Listbox1->setFocus();
}

void TCookieForm::Edit1Change() {
    RefreshCookieList();
}

void TCookieForm::CloseTimerTimer() {
    CloseTimer->stop();
    BitBtn1Click();
}

void TCookieForm::BitBtn1Click() {
    PlayClickSound();
    Close();
}
