#include "settings/IEPowerPanel.h"

#include "cache/u_info.h"
#include "controls/Dialogs.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "settings/BrowseForFolder.h"
#include "settings/u_ChangeStartPageForm.h"
#include "settings/u_autocomplete.h"
#include "ui/ClickSound.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// The texts of the language file shown here.
constexpr int kDownloadNoticeInfoText = 154;
constexpr int kBackgroundsInfoText = 155;

} // namespace

namespace {

// A setting's value on a line of its own: the whole text stays the caption, what does not fit
// is left out with an ellipsis (in the middle of a path), and the tooltip shows it all.
class ValueLabel : public TLabel {
  public:
    ValueLabel(QWidget* parent, int x, int y, int width, Qt::TextElideMode mode)
        : TLabel(parent, QString(), x, y), mode_(mode) {
        SetAutoSize(false);
        resize(width, fontMetrics().height() + 1);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QString whole = text();
        const QString shown = fontMetrics().elidedText(whole, mode_, width());
        const QString tip = shown == whole ? QString() : whole;
        if (toolTip() != tip) setToolTip(tip);
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
    }

  private:
    Qt::TextElideMode mode_;
};

QGroupBox* makeGroup(QWidget* parent, int y, int lines) {
    auto* group = new QGroupBox(parent);
    group->setGeometry(IEPowerPanel::kGroupLeft, y, IEPowerPanel::kGroupWidth,
                       IEPowerPanel::GroupHeight(lines));
    return group;
}

int below(const QGroupBox* group) {
    return group->y() + group->height() + IEPowerPanel::kGroupGap;
}

int lineTop(int index) {
    return IEPowerPanel::kPadding + index * IEPowerPanel::kLineHeight;
}

TLabel* line(QGroupBox* group, const QString& caption, int index) {
    return new TLabel(group, caption, 8, lineTop(index));
}

TLabel* value(QGroupBox* group, int index, Qt::TextElideMode mode, bool link) {
    auto* label = new ValueLabel(group, 20, lineTop(index), group->width() - 28, mode);
    if (link) {
        label->SetLink(true);
    } else {
        QFont underlined = label->font();
        underlined.setUnderline(true);
        label->setFont(underlined);
    }
    return label;
}

QCheckBox* checkBox(QGroupBox* group, const QString& caption, int index) {
    auto* box = new QCheckBox(caption, group);
    box->setGeometry(6, lineTop(index) - 2, group->width() - 12, IEPowerPanel::kLineHeight + 3);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

TLabel* follower(QGroupBox* group, const QString& caption, const TLabel* after, int gap) {
    return new TLabel(group, caption, after->x() + after->width() + gap, after->y());
}

TLabel* link(QGroupBox* group, const TLabel* after) {
    TLabel* label = follower(group, QStringLiteral("hier"), after, 5);
    label->SetLink(true);
    return label;
}

TImage* infoPicture(QGroupBox* group, const TLabel* after) {
    auto* picture = new TImage(group, QStringLiteral(":/res/info.png"));
    picture->move(after->x() + after->width() + 4, after->y() - 1);
    picture->setCursor(Qt::PointingHandCursor);
    return picture;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

IEPowerPanel::IEPowerPanel(QWidget* parent, TOpenDialog& editorDialog,
                           TBrowseForFolderDialog& folderDialog)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_settings.png")),
      BrowserSettings(*this, folderDialog), editorDialog_(editorDialog),
      folderDialog_(folderDialog) {
    RichEdit6 = TitleLine();
    Memo6 = Introduction();
    BitBtn5 = NextButton();

    GroupBox10 = makeGroup(this, kFirstGroupTop, 3);
    Label7 = line(GroupBox10, QStringLiteral("Ihre aktuelle Startseite lautet"), 0);
    Label50 = value(GroupBox10, 1, Qt::ElideRight, true);
    Label45 =
        line(GroupBox10, QStringLiteral("Um Ihre Startseite zu ändern, klicken Sie bitte "), 2);
    Label46 = link(GroupBox10, Label45);

    GroupBox15 = makeGroup(this, below(GroupBox10), 2);
    Label55 =
        line(GroupBox15, QStringLiteral("Autocomplete- und Passwortfunktionen des Internet"), 0);
    Label56 = line(GroupBox15, QStringLiteral("Explorers analysieren/ändern:"), 1);
    Image37 = infoPicture(GroupBox15, Label56);

    GroupBox13 = makeGroup(this, below(GroupBox15), 3);
    Label58 = line(GroupBox13,
                   QStringLiteral("Ihr Standard-Editor im InternetExplorer  ist zur Zeit"), 0);
    Label61 = value(GroupBox13, 1, Qt::ElideMiddle, true);
    Label59 = line(GroupBox13, QStringLiteral("Um ihn zu welchseln, klicken Sie bitte"), 2);
    Label60 = link(GroupBox13, Label59);

    GroupBox14 = makeGroup(this, below(GroupBox13), 2);
    CheckBox1 =
        checkBox(GroupBox14, QStringLiteral("Benachrichtigen bei abgeschlossenen Downloads"), 0);
    Label63 = line(GroupBox14, QStringLiteral("Um mehr Informationen hierzu"), 1);
    // The two halves of the sentence share a line.
    Label62 =
        follower(GroupBox14, QStringLiteral("zu erhalten, klicken Sie bitte hier:"), Label63, 4);
    Image36 = infoPicture(GroupBox14, Label62);

    GroupBox12 = makeGroup(this, below(GroupBox14), 3);
    Label51 =
        line(GroupBox12, QStringLiteral("Das Downloadverzeichnis für Programme ist derzeit"), 0);
    Label54 = value(GroupBox12, 1, Qt::ElideMiddle, false);
    Label52 = line(GroupBox12, QStringLiteral("Um den Ordner zu ändern, klicken Sie einfach"), 2);
    Label53 = link(GroupBox12, Label52);

    GroupBox16 = makeGroup(this, below(GroupBox12), 2);
    CheckBox3 =
        checkBox(GroupBox16, QStringLiteral("Auch Hintergründe von Internetseiten drucken"), 0);
    Label57 = line(GroupBox16, QStringLiteral("Um mehr Informationen hierzu"), 1);
    Label64 =
        follower(GroupBox16, QStringLiteral("zu erhalten, klicken Sie bitte hier:"), Label57, 4);
    Image40 = infoPicture(GroupBox16, Label64);

    connect(Label50, &TLabel::clicked, this, &IEPowerPanel::Label50Click);
    connect(Label46, &TLabel::clicked, this, &IEPowerPanel::Label46Click);
    connect(Label61, &TLabel::clicked, this, &IEPowerPanel::Label61Click);
    connect(Label60, &TLabel::clicked, this, &IEPowerPanel::Label60Click);
    connect(Label53, &TLabel::clicked, this, &IEPowerPanel::Label53Click);
    // The user's clicks only: a read that sets the boxes writes nothing.
    connect(CheckBox1, &QCheckBox::clicked, this, &IEPowerPanel::CheckBox1Click);
    connect(CheckBox3, &QCheckBox::clicked, this, &IEPowerPanel::CheckBox3Click);
    connect(Image36, &TImage::clicked, this, &IEPowerPanel::Image36Click);
    connect(Image40, &TImage::clicked, this, &IEPowerPanel::Image40Click);
    connect(Image37, &TImage::clicked, this, &IEPowerPanel::Image37Click);
}

void IEPowerPanel::ShowBrowserSettings(const TShownBrowserSettings& shown) {
    Label50->SetCaption(shown.StartPage);
    Label61->SetCaption(shown.EditorCommand);
    Label54->SetCaption(shown.DownloadDirectory);
    CheckBox1->setChecked(shown.NotifyDownloadComplete);
    CheckBox3->setChecked(shown.PrintBackground);
}

void IEPowerPanel::TakeBrowserSettings(TShownBrowserSettings& shown) const {
    shown.StartPage = Label50->Caption();
    shown.EditorCommand = Label61->Caption();
    shown.DownloadDirectory = Label54->Caption();
    shown.NotifyDownloadComplete = CheckBox1->isChecked();
    shown.PrintBackground = CheckBox3->isChecked();
}

void IEPowerPanel::Label50Click() {
    PlayClickSound();
    // The start page itself, not the note shown behind "about:blank"; none opens nothing.
    const std::string page = StartPageOfDisplay(Label50->Caption(), TBrowserSettingsStore::Texts());
    if (!page.empty()) OpenURL(page);
}

void IEPowerPanel::Label46Click() {
    PlayClickSound();
    ChangeStartPageForm->Edit1->setText(AnsiToQString(BrowserSettings.Stored().StoredStartPage));
    {
        const TMainWindowHidden hidden(window());
        ChangeStartPageForm->ShowModal();
    }
    Label50->SetCaption(trimmed(QStringToAnsi(ChangeStartPageForm->Edit1->text())));
    BrowserSettings.WriteAndReadBack();
}

void IEPowerPanel::Label61Click() {
    PlayClickSound();
    RunFile(Label61->Caption());
}

void IEPowerPanel::Label60Click() {
    PlayClickSound();
    TOpenDialog* dialog = &editorDialog_;
    // The dialog opens where the present editor is, when it is there.
    const std::string editor = Label61->Caption();
    const auto slash = editor.find_last_of('\\');
    dialog->InitialDir.clear();
    if (slash != std::string::npos && FileExistsA(editor))
        dialog->InitialDir = editor.substr(0, slash);
    dialog->FileName.clear();
    if (!dialog->Execute()) return;
    Label61->SetCaption(dialog->FileName);
    BrowserSettings.WriteAndReadBack();
}

void IEPowerPanel::Label53Click() {
    PlayClickSound();
    TBrowseForFolderDialog* dialog = &folderDialog_;
    if (!dialog->Execute() || dialog->SelectedPath().empty()) return;
    Label54->SetCaption(dialog->SelectedPath());
    BrowserSettings.WriteAndReadBack();
}

void IEPowerPanel::CheckBox1Click() {
    PlayClickSound();
    BrowserSettings.WriteAndReadBack();
}

void IEPowerPanel::CheckBox3Click() {
    PlayClickSound();
    BrowserSettings.WriteAndReadBack();
}

void IEPowerPanel::Image36Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kDownloadNoticeInfoText));
    ShowModalWindow(Form5);
}

void IEPowerPanel::Image40Click() {
    PlayClickSound();
    Form5->ShowInfoText(GetText(kBackgroundsInfoText));
    ShowModalWindow(Form5);
}

void IEPowerPanel::Image37Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(window());
    Form6->ShowModal();
}
