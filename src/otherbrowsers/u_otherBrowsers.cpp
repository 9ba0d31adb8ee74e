#include "otherbrowsers/u_otherBrowsers.h"

#include "cache/KeepCookies.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserTexts.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <algorithm>

TOtherBrowserForm* OtherBrowserForm = nullptr;

namespace {

constexpr int kColumn = 334;
constexpr int kWidth = 2 * kColumn - 12;
constexpr int kGroupHeight = 102;
constexpr int kTodayHeight = 112;
constexpr int kTodayWidth = kColumn - 30;
// The columns end here; the legend follows.
constexpr int kColumnsBottom = 12 + 3 * (kGroupHeight + 8) + 20;
constexpr int kDoneText = 196;
constexpr int kCaptions[3] = {203, 204, 205};

// A group of the left column (index 0-2).
QGroupBox* makeGroup(QWidget* parent, const QString& title, int index) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(12, 12 + index * (kGroupHeight + 8), kColumn - 24, kGroupHeight);
    return group;
}

TImage* picture(QGroupBox* group, const QString& resource) {
    auto* image = new TImage(group, resource);
    image->move(14, (kGroupHeight - image->height()) / 2 + 6);
    return image;
}

// A link of a group, one of three lines beside the picture; greyed while disabled.
TLabel* link(QGroupBox* group, const QString& caption, int line, int spacing = 22) {
    auto* label = new TLabel(group, caption, 80, 26 + line * spacing);
    label->SetLink(true);
    QPalette greyed = label->palette();
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 150, 150));
    label->setPalette(greyed);
    return label;
}

// The sites on the keep-list, read now, whose cookies today's browsers keep.
KeepSite keptSites() {
    return
        [keep = TKeepCookies::FromRegistry()](const std::string& host) { return keep.Keeps(host); };
}

QString pictureOf(Browser browser) {
    return QStringLiteral(":/res/browser_%1.png")
        .arg(QString::fromLatin1(BrowserName(browser)).toLower());
}

} // namespace

TOtherBrowserForm::TOtherBrowserForm() {
    setObjectName(QStringLiteral("OtherBrowserForm"));
    setWindowTitle(QStringLiteral("Surfkolibri"));

    GroupBox1 = makeGroup(this, QStringLiteral("Opera: "), 0);
    Image1 = picture(GroupBox1, QStringLiteral(":/res/browser_opera.png"));
    Label1 = link(GroupBox1, QStringLiteral("Clean Browsercache"), 0);
    Label2 = link(GroupBox1, QStringLiteral("Clean Cookies"), 1);
    Label3 = link(GroupBox1, QStringLiteral("Clean Browserhistory"), 2);

    // "&&" shows one ampersand (a single one would mark a mnemonic).
    GroupBox2 = makeGroup(this, QStringLiteral("Mozilla && Netscape: "), 1);
    Image2 = picture(GroupBox2, QStringLiteral(":/res/browser_mozilla.png"));
    Label6 = link(GroupBox2, QStringLiteral("Clean Browsercache"), 0);
    Label4 = link(GroupBox2, QStringLiteral("Clean Cookies"), 1);
    Label5 = link(GroupBox2, QStringLiteral("Clean Browserhistory"), 2);

    GroupBox3 = makeGroup(this, QStringLiteral("Firefox: "), 2);
    Image3 = picture(GroupBox3, QStringLiteral(":/res/browser_firefox.png"));
    Label9 = link(GroupBox3, QStringLiteral("Clean Browsercache"), 0);
    Label7 = link(GroupBox3, QStringLiteral("Clean Cookies"), 1);
    Label8 = link(GroupBox3, QStringLiteral("Clean Browserhistory"), 2);

    // Today's browsers, one group each, in a column that scrolls when many are installed.
    TodaysBrowsers = new QScrollArea(this);
    TodaysBrowsers->setGeometry(kColumn - 6, 12, kColumn - 16, kColumnsBottom - 20);
    TodaysBrowsers->setFrameShape(QFrame::NoFrame);
    TodaysBrowsers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* column = new QWidget();
    column->setAutoFillBackground(false);
    for (Browser browser : kBrowsers) {
        TodaysGroup g{browser,
                      new QGroupBox(QString::fromLatin1(BrowserName(browser)) + ": ", column),
                      nullptr,
                      {},
                      nullptr};
        g.group->resize(kTodayWidth, kTodayHeight);
        g.image = picture(g.group, pictureOf(browser));
        g.image->move(14, 24);
        for (int part = 0; part < 3; ++part)
            g.links[part] = link(g.group, QString(), part, 21);
        g.state = new TLabel(g.group, QString(), 14, kTodayHeight - 24);
        g.group->hide();
        today_.push_back(g);
    }
    TodaysBrowsers->setWidget(column);
    NoneFound = new TLabel(this, QString(), kColumn + 8, 26);
    NoneFound->hide();
    for (TLabel*& line : Legend) {
        line = new TLabel(this, QString(), 12, kColumnsBottom);
        line->SetAutoSize(false);
        line->setWordWrap(true);
    }
    for (const TodaysGroup& g : today_)
        for (int part = 0; part < 3; ++part)
            connect(g.links[part], &TLabel::clicked, this, [this, b = g.browser, part] {
                CleanCurrent(b, static_cast<BrowserPart>(part));
            });

    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    layOut();

    connect(Label1, &TLabel::clicked, this, &TOtherBrowserForm::Label1Click);
    connect(Label2, &TLabel::clicked, this, &TOtherBrowserForm::Label2Click);
    connect(Label3, &TLabel::clicked, this, &TOtherBrowserForm::Label3Click);
    connect(Label6, &TLabel::clicked, this, &TOtherBrowserForm::Label6Click);
    connect(Label4, &TLabel::clicked, this, &TOtherBrowserForm::Label4Click);
    connect(Label5, &TLabel::clicked, this, &TOtherBrowserForm::Label5Click);
    connect(Label9, &TLabel::clicked, this, &TOtherBrowserForm::Label9Click);
    connect(Label7, &TLabel::clicked, this, &TOtherBrowserForm::Label7Click);
    connect(Label8, &TLabel::clicked, this, &TOtherBrowserForm::Label8Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TOtherBrowserForm::BitBtn1Click);
}

TOtherBrowserForm::~TOtherBrowserForm() {
    if (OtherBrowserForm == this) OtherBrowserForm = nullptr;
}

const TOtherBrowserForm::TodaysGroup& TOtherBrowserForm::Group(Browser browser) const {
    for (const TodaysGroup& g : today_)
        if (g.browser == browser) return g;
    return today_.front();
}

void TOtherBrowserForm::layOut() {
    int y = kColumnsBottom;
    for (TLabel* line : Legend) {
        const int width = kWidth - 24;
        line->setGeometry(12, y, width, line->text().isEmpty() ? 0 : line->heightForWidth(width));
        y += line->height() + 2;
    }
    BitBtn1->setGeometry(kWidth - 124, y + 10, 108, 28);
    SetClientSize(kWidth, y + 50);
}

void TOtherBrowserForm::FormShow() {
    const bool opera = !FindOperaProfile().empty();
    const bool mozilla = !FindMozillaProfile().empty();
    for (TLabel* l : {Label1, Label2, Label3})
        l->setEnabled(opera);
    for (TLabel* l : {Label4, Label5, Label6})
        l->setEnabled(mozilla);
    Label9->setEnabled(!FindFirefoxProfile(ffCache).empty());
    Label7->setEnabled(!FindFirefoxProfile(ffCookies).empty());
    Label8->setEnabled(!FindFirefoxProfile(ffHistory).empty());
    showCurrent();
    layOut();
}

void TOtherBrowserForm::showCurrent() {
    BrowserSession session(CleaningMode::Preview);
    const KeepSite keep = keptSites();
    const std::vector<BrowserSession::Found>& found = session.Browsers();
    int shown = 0;
    for (const TodaysGroup& g : today_) {
        const auto f = std::find_if(found.begin(), found.end(),
                                    [&](const auto& b) { return b.install.browser == g.browser; });
        g.group->setVisible(f != found.end());
        if (f == found.end()) continue;
        g.group->move(0, shown++ * (kTodayHeight + 8));
        std::string captions[3];
        for (int part = 0; part < 3; ++part) {
            captions[part] = GetText(kCaptions[part]);
            if (session.Running(g.browser) || f->install.profiles.empty()) continue;
            // What would go now, where it can be told.
            const CleaningResult preview =
                session.Clean(g.browser, static_cast<BrowserPart>(part), keep);
            if (preview.notes.empty() || preview.removed > 0)
                captions[part] += " (" + std::to_string(preview.removed) + ")";
        }
        // A browser found running while it was counted shows no counts at all.
        const bool running = session.Running(g.browser);
        for (int part = 0; part < 3; ++part) {
            g.links[part]->setEnabled(!running && !f->install.profiles.empty());
            g.links[part]->SetCaption(running ? GetText(kCaptions[part]) : captions[part]);
        }
        const std::size_t profiles = f->install.profiles.size();
        g.state->SetCaption(running ? RunningNote(BrowserName(g.browser))
                            : profiles == 1
                                ? BrowserText(kTextOneProfile)
                                : FillIn(BrowserText(kTextProfiles), {std::to_string(profiles)}));
        QPalette palette = g.state->palette();
        palette.setColor(QPalette::WindowText, running ? QColor(190, 20, 20) : QColor(90, 90, 90));
        g.state->setPalette(palette);
    }
    TodaysBrowsers->widget()->resize(kTodayWidth, std::max(shown, 1) * (kTodayHeight + 8));
    NoneFound->setVisible(shown == 0);
}

void TOtherBrowserForm::underBusyWindow(const QGroupBox* group, const TLabel* link,
                                        const std::function<CleaningResult()>& work) {
    PlayClickSound();
    // The group's caption as it shows, then the link's.
    QString caption = group->title();
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    Form2->Label2->SetCaption(caption + link->text());
    Form2->Label2->setVisible(true);
    Form2->show();
    Form2->repaint();
    const CleaningResult result = work();
    Form2->hide();
    Form2->Label2->setVisible(false);
    ShowMessage2(DoneMessage(kDoneText, result));
}

void TOtherBrowserForm::CleanCurrent(Browser browser, BrowserPart part) {
    const TodaysGroup& g = Group(browser);
    underBusyWindow(g.group, g.links[static_cast<int>(part)], [&] {
        BrowserSession session(CleaningMode::Remove, {browser});
        return session.Clean(browser, part, keptSites());
    });
    showCurrent();
}

void TOtherBrowserForm::cleanWithNote(const QGroupBox* group, const TLabel* link,
                                      const std::function<std::string()>& lookup, Cleaning cleaning,
                                      Part part) {
    underBusyWindow(group, link, [&] {
        CleaningResult result;
        if (const std::string folder = lookup(); !folder.empty())
            result = cleaning(folder,
                              {.cache = part == Part::Cache,
                               .cookies = part == Part::Cookies,
                               .history = part == Part::History},
                              CleaningMode::Remove);
        return result;
    });
}

void TOtherBrowserForm::Label1Click() {
    cleanWithNote(GroupBox1, Label1, FindOperaProfile, CleanOperaProfile, Part::Cache);
}
void TOtherBrowserForm::Label2Click() {
    cleanWithNote(GroupBox1, Label2, FindOperaProfile, CleanOperaProfile, Part::Cookies);
}
void TOtherBrowserForm::Label3Click() {
    cleanWithNote(GroupBox1, Label3, FindOperaProfile, CleanOperaProfile, Part::History);
}
void TOtherBrowserForm::Label6Click() {
    cleanWithNote(GroupBox2, Label6, FindMozillaProfile, CleanMozillaProfile, Part::Cache);
}
void TOtherBrowserForm::Label4Click() {
    cleanWithNote(GroupBox2, Label4, FindMozillaProfile, CleanMozillaProfile, Part::Cookies);
}
void TOtherBrowserForm::Label5Click() {
    cleanWithNote(GroupBox2, Label5, FindMozillaProfile, CleanMozillaProfile, Part::History);
}
void TOtherBrowserForm::Label9Click() {
    cleanWithNote(
        GroupBox3, Label9, [] { return FindFirefoxProfile(ffCache); }, CleanFirefoxProfile,
        Part::Cache);
}
void TOtherBrowserForm::Label7Click() {
    cleanWithNote(
        GroupBox3, Label7, [] { return FindFirefoxProfile(ffCookies); }, CleanFirefoxProfile,
        Part::Cookies);
}
void TOtherBrowserForm::Label8Click() {
    cleanWithNote(
        GroupBox3, Label8, [] { return FindFirefoxProfile(ffHistory); }, CleanFirefoxProfile,
        Part::History);
}

void TOtherBrowserForm::BitBtn1Click() {
    PlayClickSound();
    Close();
}
