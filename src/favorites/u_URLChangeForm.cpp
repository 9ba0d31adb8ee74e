#include "favorites/u_URLChangeForm.h"

#include "favorites/FavoritesListView.h"
#include "favorites/IEUtils.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"

namespace {

// The texts of the language file shown here.
constexpr int kChangesSavedText = 138;

} // namespace

TURLChangeForm* URLChangeForm = nullptr;

namespace {

constexpr int kWidth = 340;
constexpr int kHeight = 170;

} // namespace

TURLChangeForm::TURLChangeForm(const TFavoritesListView& favorites) : favorites_(favorites) {
    setObjectName(QStringLiteral("URLChangeForm"));
    SetClientSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label1 = new TLabel(this, QStringLiteral("Bezeichnung des Links:"), 16, 14);
    Label2 = new TLabel(this, QStringLiteral("http://"), 16, 32);
    Label2->SetAutoSize(false);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    QPalette maroon = Label2->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label2->setPalette(maroon);
    Label2->resize(289, 2 * Label2->fontMetrics().lineSpacing() + 2);

    Label3 = new TLabel(this, QStringLiteral("Internetadresse:"), 16, 70);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 88, kWidth - 32, 22);
    // One line: a pasted line break cannot add lines to the file.
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return;
        QString oneLine = text;
        oneLine.remove(QLatin1Char('\r'));
        oneLine.remove(QLatin1Char('\n'));
        Edit1->setText(oneLine);
    });

    Image5 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image5->move(16, 132);
    Label5 = new TLabel(this, QStringLiteral("Änderungen speichern"), 0, 130);
    Label5->SetLink(true);
    Image4 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image4->move(kWidth / 2 + 8, 132);
    Label4 = new TLabel(this, QStringLiteral("Änderungen verwerfen"), 0, 130);
    Label4->SetLink(true);
    PlaceLinks();

    connect(Label5, &TLabel::clicked, this, &TURLChangeForm::Label5Click);
    connect(Label4, &TLabel::clicked, this, &TURLChangeForm::Label4Click);
    // Esc discards, as the second link does.
    SetEscapeAction([this] { Label4Click(); });
}

TURLChangeForm::~TURLChangeForm() {
    if (URLChangeForm == this) URLChangeForm = nullptr;
}

void TURLChangeForm::PlaceLinks() {
    Label5->move(Image5->x() + Image5->width() + 4, Label5->y());
    Label4->move(Image4->x() + Image4->width() + 4, Label4->y());
}

void TURLChangeForm::FormShow() {
    Label2->resize(289, Label2->height());
    OriginalUrl = QStringToAnsi(Edit1->text());
}

void TURLChangeForm::Label4Click() {
    PlayClickSound();
    Close();
}

void TURLChangeForm::Label5Click() {
    PlayClickSound();
    const std::string file = favorites_.SelectedFile();
    // Only an internet shortcut is written in its format: a shell link or any other file
    // would be destroyed by it. A favorite that is gone by now is left alone.
    if (!file.empty() && FileExistsA(file) && TCustomFavoritesListView::IsInternetShortcut(file)) {
        const std::string address = QStringToAnsi(Edit1->text());
        // Addresses are compared exactly: a change of letter case is a change.
        if (address != OriginalUrl) WriteInternetShortcut(file, address);
        ShowMessage2(GetText(kChangesSavedText));
    }
    Close();
}
