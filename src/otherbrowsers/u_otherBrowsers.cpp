#include "otherbrowsers/u_otherBrowsers.h"

#include "cache/KeepCookies.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserTexts.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

TOtherBrowserForm* OtherBrowserForm = nullptr;

namespace {

constexpr int kColumn = 334;
constexpr int kWidth = 2 * kColumn - 12;
constexpr int kHeight = 387;
constexpr int kGroupHeight = 102;
constexpr int kDoneText = 196;

// A group of the left column (index 0-2) or of the right one (3-5).
QGroupBox* makeGroup(QWidget* parent, const QString& title, int index) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(12 + (index / 3) * (kColumn - 12), 12 + (index % 3) * (kGroupHeight + 8),
                       kColumn - 24, kGroupHeight);
    return group;
}

TImage* picture(QGroupBox* group, const QString& resource) {
    auto* image = new TImage(group, resource);
    image->move(14, (kGroupHeight - image->height()) / 2 + 6);
    return image;
}

// A link of a group, one of three lines beside the picture; greyed while disabled.
TLabel* link(QGroupBox* group, const QString& caption, int line) {
    auto* label = new TLabel(group, caption, 80, 26 + line * 22);
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

} // namespace

TOtherBrowserForm::TOtherBrowserForm() {
    setObjectName(QStringLiteral("OtherBrowserForm"));
    SetClientSize(kWidth, kHeight);
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

    GroupBox4 = makeGroup(this, QStringLiteral("Firefox (today's profiles): "), 3);
    Image4 = picture(GroupBox4, QStringLiteral(":/res/browser_firefox.png"));
    Label10 = link(GroupBox4, QStringLiteral("Clean Browsercache"), 0);
    Label11 = link(GroupBox4, QStringLiteral("Clean Cookies"), 1);
    Label12 = link(GroupBox4, QStringLiteral("Clean Browserhistory"), 2);
    GroupBox5 = makeGroup(this, QStringLiteral("Chrome: "), 4);
    Image5 = picture(GroupBox5, QStringLiteral(":/res/browser_chrome.png"));
    Label13 = link(GroupBox5, QStringLiteral("Clean Browsercache"), 0);
    Label14 = link(GroupBox5, QStringLiteral("Clean Cookies"), 1);
    Label15 = link(GroupBox5, QStringLiteral("Clean Browserhistory"), 2);
    GroupBox6 = makeGroup(this, QStringLiteral("Edge: "), 5);
    Image6 = picture(GroupBox6, QStringLiteral(":/res/browser_edge.png"));
    Label16 = link(GroupBox6, QStringLiteral("Clean Browsercache"), 0);
    Label17 = link(GroupBox6, QStringLiteral("Clean Cookies"), 1);
    Label18 = link(GroupBox6, QStringLiteral("Clean Browserhistory"), 2);
    current_ = {{Browser::Firefox, GroupBox4, {Label10, Label11, Label12}},
                {Browser::Chrome, GroupBox5, {Label13, Label14, Label15}},
                {Browser::Edge, GroupBox6, {Label16, Label17, Label18}}};
    for (const CurrentGroup& g : current_)
        for (int part = 0; part < 3; ++part)
            connect(g.links[part], &TLabel::clicked, this, [this, b = g.browser, part] {
                CleanCurrent(b, static_cast<BrowserPart>(part));
            });

    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(kWidth - 124, kHeight - 40, 108, 28);

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
}

void TOtherBrowserForm::showCurrent() {
    constexpr int kCaptions[3] = {203, 204, 205};
    for (const CurrentGroup& g : current_) {
        const bool found = !FindBrowser(g.browser).profiles.empty();
        for (int part = 0; part < 3; ++part) {
            TLabel* link = g.links[part];
            link->setEnabled(found);
            std::string caption = GetText(kCaptions[part]);
            if (found) {
                // What would go now; a running browser shows no count (nothing can be read).
                const CleaningResult preview = CleanBrowser(
                    g.browser, static_cast<BrowserPart>(part), CleaningMode::Preview, keptSites());
                if (preview.notes.empty() || preview.removed > 0)
                    caption += " (" + std::to_string(preview.removed) + ")";
            }
            link->SetCaption(caption);
            link->adjustSize();
        }
    }
}

void TOtherBrowserForm::CleanCurrent(Browser browser, BrowserPart part) {
    const CurrentGroup* group = nullptr;
    for (const CurrentGroup& g : current_)
        if (g.browser == browser) group = &g;
    if (!group) return;
    PlayClickSound();
    QString caption = group->group->title();
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    Form2->Label2->SetCaption(caption + group->links[static_cast<int>(part)]->text());
    Form2->Label2->setVisible(true);
    Form2->show();
    Form2->repaint();
    const CleaningResult result = CleanBrowser(browser, part, CleaningMode::Remove, keptSites());
    Form2->hide();
    Form2->Label2->setVisible(false);
    ShowMessage2(DoneMessage(kDoneText, result));
    showCurrent();
}

void TOtherBrowserForm::cleanWithNote(const QGroupBox* group, const TLabel* link,
                                      const std::function<std::string()>& lookup, Cleaning cleaning,
                                      Part part) {
    PlayClickSound();
    // The group's caption as it shows, then the link's.
    QString caption = group->title();
    caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
    Form2->Label2->SetCaption(caption + link->text());
    Form2->Label2->setVisible(true);
    Form2->show();
    Form2->repaint();
    CleaningResult result;
    if (const std::string folder = lookup(); !folder.empty())
        result = cleaning(folder,
                          {.cache = part == Part::Cache,
                           .cookies = part == Part::Cookies,
                           .history = part == Part::History},
                          CleaningMode::Remove);
    Form2->hide();
    Form2->Label2->setVisible(false);
    ShowMessage2(DoneMessage(kDoneText, result));
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
