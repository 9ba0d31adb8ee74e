#include "cache/u_keepSite.h"

#include "cache/KeepCookies.h"
#include "cache/SiteOfHost.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"
#include "ui/u_ShowMessage2.h"

TKeepSiteForm* KeepSiteForm = nullptr;

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 178;

// The texts of the language file shown here (the fixed captions come with the others').
enum KeepSiteText {
    kCookieFromText = 457,
    kTypeSiteText = 459,
};

} // namespace

TKeepSiteForm::TKeepSiteForm() {
    setObjectName(QStringLiteral("KeepSiteForm"));
    SetClientSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Surfkolibri"));
    Label1 = new TLabel(this, QStringLiteral("Die Cookies dieser Seite behalten:"), 16, 14);
    Label1->SetBold(true);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(16, 38, kWidth - 32, 24);
    Label2 = new TLabel(this, QString(), 16, 72);
    Label2->SetAutoSize(false);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(16, 72, kWidth - 32, 52);
    BitBtn2 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn2->setGeometry(kWidth - 124, kHeight - 40, 108, 28);
    BitBtn1 = new TBitBtn(this, QStringLiteral("Behalten"));
    BitBtn1->setGeometry(BitBtn2->x() - 8 - 108, kHeight - 40, 108, 28);
    BitBtn1->setDefault(true);
    SetEscapeAction([this] { BitBtn2Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, &TKeepSiteForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TKeepSiteForm::BitBtn2Click);
}

TKeepSiteForm::~TKeepSiteForm() {
    if (KeepSiteForm == this) KeepSiteForm = nullptr;
}

std::string TKeepSiteForm::AskSite(const std::string& host) {
    host_ = KeepSiteName(host);
    chosen_.clear();
    Label2->SetCaption(FillIn(GetText(kCookieFromText), {host_}));
    Edit1->setText(AnsiToQString(SiteOfHost(host_)));
    Edit1->selectAll();
    Edit1->setFocus();
    ShowModal();
    return chosen_;
}

void TKeepSiteForm::BitBtn1Click() {
    PlayClickSound();
    const std::string name = QStringToAnsi(Edit1->text().trimmed());
    // A name that would not keep this cookie, or would keep more than its site, is refused
    // with the names that would do.
    if (!NamesHostsSite(name, host_)) {
        ShowMessage2(FillIn(GetText(kTypeSiteText), {host_, SiteOfHost(host_)}));
        Edit1->setFocus();
        return;
    }
    chosen_ = KeepSiteName(name);
    Close();
}

void TKeepSiteForm::BitBtn2Click() {
    PlayClickSound();
    chosen_.clear();
    Close();
}
