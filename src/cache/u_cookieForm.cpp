#include "cache/u_cookieForm.h"

#include "cache/IECache.h"
#include "cache/u_keepCookies.h"
#include "cache/u_keepSite.h"
#include "controls/longlist.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"

#include <QSignalBlocker>

#include <cstdint>
#include <exception>

TCookieForm* CookieForm = nullptr;

namespace {

// The texts of the language file shown here.
enum CookieText {
    kProductNameText = 1,
    kNoCookiesText = 83,
    kKeptCookieQuestionText = 344,
    kKeptStayedText = 345,
    kChooseCookieText = 450,
    kRemoveCookieQuestionText = 451,
    kRemoveListedQuestionText = 452,
    kKeptWillStayText = 453,
};

} // namespace

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
    SetClientSize(613, 421);
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
    Image2 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image2->move(370, 326);
    Label12 = new TLabel(this, QStringLiteral("Cookies dieser Seite behalten"), 388, 324);
    Image3 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image3->move(370, 348);
    Label13 = new TLabel(this, QStringLiteral("Seiten, deren Cookies bleiben"), 388, 346);
    Label12->SetLink(true);
    Label13->SetLink(true);

    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(613 - 124, 421 - 40, 108, 28);

    IECache1 = new TIECache();
    SetUpCookieComponent(*IECache1);
    IECache1->OnEntry = [this](TIECache* sender, bool& cancel) { IECache1Entry(sender, cancel); };

    CloseTimer = new QTimer(this);
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &TCookieForm::CloseTimerTimer);
    // The details follow the selected line, whether a click or the keyboard chose it, as the
    // hint text promises. The focus alone chooses nothing.
    connect(Listbox1, &QListWidget::itemSelectionChanged, this, [this] { ListBox1Click(); });
    connect(Label5, &TLabel::clicked, this, &TCookieForm::Label5Click);
    connect(Label6, &TLabel::clicked, this, &TCookieForm::Label6Click);
    connect(Label12, &TLabel::clicked, this, &TCookieForm::Label12Click);
    connect(Label13, &TLabel::clicked, this, &TCookieForm::Label13Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TCookieForm::Edit1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TCookieForm::BitBtn1Click);
}

TCookieForm::~TCookieForm() {
    delete IECache1;
}

void TCookieForm::FormShow() {
    RefreshCookieList();
    if (Listbox1->count() == 0) {
        ShowMessage2(GetText(kNoCookiesText));
        CloseTimer->start();
    }
}

void TCookieForm::RefreshCookieList() {
    // The filter cannot change during the walk: converted once, not once per cookie.
    filter_ = QStringToAnsi(Edit1->text());
    // The details are shown once, below, for the line the refreshed list starts on.
    const QSignalBlocker refreshing(Listbox1);
    Listbox1->clear();
    Keep.Load();
    IECache1->SetSearchPattern(spCookies);
    try {
        IECache1->Retrieve(0);
    } catch (const std::exception&) {
        // A failing walk leaves what was listed so far.
    }
    // Nothing is chosen for the user: the links act only on a line the user selected.
    ListBox1Click();
    Label11->SetCaption(GetText(82) + " " + std::to_string(Listbox1->count()));
}

void TCookieForm::IECache1Entry(TIECache*, bool&) {
    try {
        const std::string& url = IECache1->EntryInfo().SourceUrlName;
        if (!filter_.empty() && filter_ != "*" && url.find(filter_) == std::string::npos) return;
        // A kept cookie carries the mark in words, and in bold, before its address.
        const bool kept = KeepsCookieEntry(Keep, url);
        auto* item =
            new QListWidgetItem(AnsiToQString(kept ? GetText(343) + " " + url : url), Listbox1);
        item->setData(Qt::UserRole, AnsiToQString(url));
        if (kept) {
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
        }
    } catch (const std::exception&) {
    }
}

std::string TCookieForm::UrlOf(const QListWidgetItem* item) {
    return item ? QStringToAnsi(item->data(Qt::UserRole).toString()) : std::string();
}

const QListWidgetItem* TCookieForm::SelectedItem() const {
    const QList<QListWidgetItem*> selected = Listbox1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

bool TCookieForm::IsKept(const QListWidgetItem* item) const {
    return item && KeepsCookieEntry(Keep, UrlOf(item));
}

void TCookieForm::ListBox1Click() {
    try {
        // The keep link belongs to the selected cookie's site: none without one.
        const QListWidgetItem* current = SelectedItem();
        const bool site = current && !KeepSiteName(CookieEntryHost(UrlOf(current))).empty();
        Label12->setVisible(site && Keep.Readable());
        Image2->setVisible(Label12->isVisible());
        if (site) Label12->SetCaption(GetText(IsKept(current) ? 341 : 340));
        // Without a chosen line there are no details to show: nothing is left from the last
        // cookie walked.
        if (!current) {
            for (auto [label, text] :
                 {std::pair{Label7, 78}, {Label8, 79}, {Label9, 80}, {Label10, 81}})
                label->SetCaption(GetText(text));
            return;
        }
        IECache1->GetEntryInfo(UrlOf(current));
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
    const QListWidgetItem* current = SelectedItem();
    if (!current) {
        ShowMessage2(GetText(kChooseCookieText));
        return;
    }
    const std::string url = UrlOf(current);
    // A kept cookie's question names its site, which stays on the keep-list whatever the
    // answer; only this cookie goes.
    const bool asked = IsKept(current) ? AskFirst(GetText(kKeptCookieQuestionText),
                                                  CookieEntryHost(url), GetText(kProductNameText))
                                       : AskFirst(GetText(kRemoveCookieQuestionText), url,
                                                  GetText(kProductNameText));
    if (!asked) return;
    IECache1->DeleteEntry(url);
    Listbox1->clear();
    FormShow();
    Listbox1->setFocus();
}

void TCookieForm::Label6Click() {
    PlayClickSound();
    std::uint64_t keptListed = 0;
    for (int i = 0; i < Listbox1->count(); ++i)
        keptListed += IsKept(Listbox1->item(i)) ? 1 : 0;
    const auto removable = static_cast<std::uint64_t>(Listbox1->count()) - keptListed;
    // Nothing listed that could go: no cookie goes unseen, not even one added since.
    if (removable == 0) {
        if (keptListed > 0)
            ShowMessage2(GetText(kKeptStayedText) + " " + std::to_string(keptListed));
        return;
    }
    // What goes is counted and asked for; the kept cookies that stay are named with it.
    std::string question = FillIn(GetText(kRemoveListedQuestionText), {std::to_string(removable)});
    if (keptListed > 0)
        question += "\n\n" + FillIn(GetText(kKeptWillStayText), {std::to_string(keptListed)});
    if (!AskFirst(question, {}, GetText(kProductNameText))) return;
    const std::string filter = QStringToAnsi(Edit1->text());
    std::uint64_t kept = 0;
    if (!filter.empty() && filter != "*") {
        for (int i = 0; i < Listbox1->count(); ++i) {
            if (IsKept(Listbox1->item(i)))
                ++kept;
            else
                IECache1->DeleteEntry(UrlOf(Listbox1->item(i)));
        }
        RefreshCookieList();
    } else {
        // Every cookie goes, also any added since the listing, but those of kept sites.
        IECache1->SetSearchPattern(spCookies);
        try {
            kept = IECache1
                       ->DeleteAllEntries(
                           CleaningMode::Remove,
                           [this](const std::string& url) { return KeepsCookieEntry(Keep, url); })
                       .kept;
        } catch (const std::exception&) {
        }
        Listbox1->clear();
        // With nothing kept the window says the cookies are gone and closes.
        if (kept == 0) {
            FormShow();
            Listbox1->setFocus();
            return;
        }
        RefreshCookieList();
    }
    Listbox1->setFocus();
    if (kept > 0) ShowMessage2(GetText(kKeptStayedText) + " " + std::to_string(kept));
}

void TCookieForm::Label12Click() {
    PlayClickSound();
    const QListWidgetItem* current = SelectedItem();
    if (!current) return;
    const std::string url = UrlOf(current);
    const std::string host = CookieEntryHost(url);
    if (IsKept(current)) {
        // Every entry that covers the site goes, or its cookies would still be kept.
        for (const std::string& site : Keep.SitesCovering(host))
            Keep.Remove(site);
    } else {
        // The site, not only the name the cookie came from: the user confirms or narrows it.
        const std::string site = KeepSiteForm ? KeepSiteForm->AskSite(host) : std::string();
        if (site.empty()) return;
        Keep.Add(site);
    }
    refreshKeeping(url);
}

void TCookieForm::Label13Click() {
    PlayClickSound();
    const std::string url = UrlOf(SelectedItem());
    KeepCookiesForm->ShowModal();
    refreshKeeping(url);
}

void TCookieForm::refreshKeeping(const std::string& url) {
    RefreshCookieList();
    for (int i = 0; i < Listbox1->count(); ++i) {
        if (UrlOf(Listbox1->item(i)) == url) {
            Listbox1->setCurrentRow(i);
            break;
        }
    }
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
