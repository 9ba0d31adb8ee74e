#include "settings/u_ChangeStartPageForm.h"

#include "platform/qt/ansi_qstring.h"
#include "settings/BrowserSettingsStore.h"
#include "ui/ClickSound.h"

TChangeStartPageForm* ChangeStartPageForm = nullptr;

namespace {
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 124;
} // namespace

TChangeStartPageForm::TChangeStartPageForm(const TBrowserSettingsStore& settings)
    : settings_(settings) {
    setObjectName(QStringLiteral("ChangeStartPageForm"));
    SetClientSize(kClientWidth, kClientHeight);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label3 = new TLabel(this, QStringLiteral("Internetadresse:"), 16, 16);
    Label3->SetBold(true);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 36, kClientWidth - 32, 22);
    Label5 = new TLabel(this, QStringLiteral("Änderungen speichern"), 16, 74);
    Label5->SetLink(true);
    Label4 = new TLabel(this, QStringLiteral("Änderungen verwerfen"), 16, 94);
    Label4->SetLink(true);

    connect(Label5, &TLabel::clicked, this, &TChangeStartPageForm::Label5Click);
    connect(Label4, &TLabel::clicked, this, &TChangeStartPageForm::Label4Click);
    // Esc discards, as the second link does.
    SetEscapeAction([this] { Label4Click(); });
    // Enter in the address saves, as the first link does.
    connect(Edit1, &QLineEdit::returnPressed, this, &TChangeStartPageForm::Label5Click);
}

TChangeStartPageForm::~TChangeStartPageForm() {
    if (ChangeStartPageForm == this) ChangeStartPageForm = nullptr;
}

void TChangeStartPageForm::Label5Click() {
    PlayClickSound();
    Close();
}

void TChangeStartPageForm::Label4Click() {
    PlayClickSound();
    Edit1->setText(AnsiToQString(settings_.Stored().StoredStartPage));
    Close();
}
