#include "favorites/FavoritenPanel.h"

#include "favorites/FavoritesListView.h"
#include "favorites/u_URLChangeForm.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"

#include <QFontDatabase>
#include <QHeaderView>

namespace {

// The texts of the language file shown here.
constexpr int kProductNameText = 1;
constexpr int kOnlyShortcutsEditableText = 300;
constexpr int kDeleteLinkQuestionText = 301;
constexpr int kChooseLinkText = 461;

} // namespace

namespace {

// The list's font: the informal hand of the window definition where it is installed, else
// its free look-alike, else the program's own.
QFont listFont(const QFont& base) {
    QFont font = base;
    for (const QString& family : {QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")}) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            break;
        }
    }
    font.setPixelSize(13);
    return font;
}

} // namespace

FavoritenPanel::FavoritenPanel(QWidget* parent)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_favorites.png")) {
    RichEdit5 = TitleLine();
    Memo5 = Introduction();
    BitBtn4 = NextButton();

    GroupBox9 = new QGroupBox(QStringLiteral("Ihre Favoriten: "), this);
    GroupBox9->setGeometry(16, kContentTop, kWidth - 32, kContentBottom - kContentTop - 8);
    Label43 =
        new TLabel(GroupBox9, QStringLiteral("Die folgenden Internetadressen wurden von"), 10, 22);
    Label44 = new TLabel(GroupBox9, QStringLiteral("Surfkolibri gefunden:"), 10, 38);

    FavoritesListView1 = new TFavoritesListView(GroupBox9);
    FavoritesListView1->setGeometry(10, 60, 272, GroupBox9->height() - 70);
    FavoritesListView1->ResolveUrl = IntShCut;
    FavoritesListView1->Channels = false;
    FavoritesListView1->HotTrack = true;
    FavoritesListView1->HotTrackHandPoint = true;
    FavoritesListView1->HotTrackUnderline = true;
    FavoritesListView1->setFont(listFont(FavoritesListView1->font()));
    QPalette blue = FavoritesListView1->palette();
    blue.setColor(QPalette::Text, QColor(0, 0, 255));
    FavoritesListView1->setPalette(blue);
    // The column heading keeps the program's font.
    FavoritesListView1->header()->setFont(font());
    FavoritesListView1->OnClick = [this](TCustomFavoritesListView*) { FavoritesListView1Click(); };
    FavoritesListView1->OnURLSelected = [this](TCustomFavoritesListView* sender,
                                               const std::string& url) {
        FavoritesListView1URLSelected(sender, url);
    };

    const int column = FavoritesListView1->geometry().right() + 14;
    auto link = [&](TImage*& image, TLabel*& label, const QString& caption, int top) {
        image = new TImage(GroupBox9, QStringLiteral(":/res/link.png"));
        image->move(column, top + 2);
        label = new TLabel(GroupBox9, caption, 0, top);
        label->SetLink(true);
    };
    link(Image47, Label47, QStringLiteral("Eine Ebene höher..."), 62);
    link(Image49, Label49, QStringLiteral("Link betrachten"), 110);
    link(Image5, Label5, QStringLiteral("Link editieren"), 134);
    link(Image48, Label48, QStringLiteral("Link löschen"), 158);
    PlaceLinks();

    connect(Label47, &TLabel::clicked, this, &FavoritenPanel::Label47Click);
    connect(Label49, &TLabel::clicked, this, &FavoritenPanel::Label49Click);
    connect(Label5, &TLabel::clicked, this, &FavoritenPanel::Label5Click);
    connect(Label48, &TLabel::clicked, this, &FavoritenPanel::Label48Click);

    FavoritesListView1->Loaded();
}

void FavoritenPanel::PlaceLinks() {
    for (auto [image, label] : {std::pair{Image47, Label47}, std::pair{Image49, Label49},
                                std::pair{Image5, Label5}, std::pair{Image48, Label48}})
        label->move(image->x() + image->width() + 4, label->y());
}

void FavoritenPanel::FavoritesListView1Click() {
    PlayClickSound();
    FavoritesListView1->DblClick();
}

void FavoritenPanel::FavoritesListView1URLSelected(TCustomFavoritesListView*,
                                                   const std::string& Url) {
    favoriteChosen_ = true;
    if (!URLChangeForm) return;
    URLChangeForm->Label2->SetCaption(FavoritesListView1->FocusedCaption());
    URLChangeForm->Edit1->setText(AnsiToQString(Url));
}

bool FavoritenPanel::activateForLink() {
    // With no line chosen the user is told to choose one; a chosen folder only opens.
    if (FavoritesListView1->SelectedRow() < 0) {
        ShowMessage2(GetText(kChooseLinkText));
        return false;
    }
    favoriteChosen_ = false;
    FavoritesListView1->DblClick();
    return favoriteChosen_;
}

void FavoritenPanel::Label47Click() {
    PlayClickSound();
    FavoritesListView1->OneLevelUp();
}

void FavoritenPanel::Label49Click() {
    PlayClickSound();
    // A folder only opens: the favorite activated before may lie anywhere.
    if (!activateForLink()) return;
    const std::string file = FavoritesListView1->SelectedFile();
    if (!file.empty()) OpenURL(file);
}

void FavoritenPanel::Label5Click() {
    PlayClickSound();
    if (!activateForLink()) return;
    const std::string file = FavoritesListView1->SelectedFile();
    if (file.empty()) return;
    // The editor writes an address back as an internet shortcut; any other favorite would
    // only seem to be saved.
    if (!TCustomFavoritesListView::IsInternetShortcut(file)) {
        ShowMessage2(GetText(kOnlyShortcutsEditableText));
        return;
    }
    {
        const TMainWindowHidden hidden(window());
        URLChangeForm->ShowModal();
    }
    // The list stays where the user was, with the favorite just edited chosen.
    FavoritesListView1->ShowFolderAgain(file);
}

void FavoritenPanel::Label48Click() {
    PlayClickSound();
    if (!activateForLink()) return;
    const std::string file = FavoritesListView1->SelectedFile();
    if (file.empty()) return;
    if (!AskFirst(GetText(kDeleteLinkQuestionText), FavoritesListView1->SelectedName(),
                  GetText(kProductNameText)))
        return;
    // Only a favorite that really went is reported as deleted; one that is read-only, in
    // use or already gone is reported as not deleted, and stays chosen while it is there.
    const bool deleted = DeleteFileA(file.c_str()) != FALSE;
    FavoritesListView1->ShowFolderAgain(file);
    ShowMessage2(GetText(deleted ? 133 : 302));
}
