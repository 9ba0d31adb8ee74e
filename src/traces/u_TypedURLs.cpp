#include "traces/u_TypedURLs.h"

#include "controls/longlist.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "traces/TraceClearing.h"
#include "traces/TraceLists.h"
#include "traces/UserRegistryKey.h"
#include "ui/ClickSound.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

namespace {

// The texts of the language file shown here.
constexpr int kOneMomentText = 66;
constexpr int kNoTypedUrlsText = 98;

} // namespace

TTypedURLsForm* TypedURLsForm = nullptr;

// The list windows may be minimised; they stay modal meanwhile.
TTypedURLsForm::TTypedURLsForm() : TFormBase(kMinimisableDialog) {
    setObjectName(QStringLiteral("TypedURLsForm"));
    SetClientSize(375, 296);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label17 = new TLabel(this, QStringLiteral("Die folgenden Internetadressen wurden in"), 16, 12);
    Label1 = new TLabel(this, QStringLiteral("der Registry Ihres Rechners gespeichert:"), 16, 28);
    Label17->SetBold(true);
    Label1->SetBold(true);

    Listbox2 = MakeTraceListbox(this);
    Listbox2->setGeometry(16, 50, 343, 186);
    ListBox1 = new QListWidget(this);
    ListBox1->setVisible(false);

    Image1 = new TImage(this, QStringLiteral(":/res/clear.png"));
    Image1->move(16, 250);
    Label6 = new TLabel(this, QStringLiteral("TypedURL-Liste entleeren"), 54, 260);
    Label6->SetLink(true);
    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(375 - 124, 296 - 40, 108, 28);

    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &TTypedURLsForm::Timer1Timer);
    connect(Label6, &TLabel::clicked, this, &TTypedURLsForm::Label6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TTypedURLsForm::BitBtn1Click);
}

TTypedURLsForm::~TTypedURLsForm() {
    if (TypedURLsForm == this) TypedURLsForm = nullptr;
}

void TTypedURLsForm::FormHide() {
    // A window closed before its timer fired leaves nothing to fill or report.
    Timer1->stop();
}

void TTypedURLsForm::FormShow() {
    ListBox1->clear();
    // Until the timer fires the list still shows the lines of the last showing.
    Timer1->start();
}

void TTypedURLsForm::Timer1Timer() {
    Timer1->stop();
    ListBox1->clear();
    Listbox2->clear();
    const UserRegistryKey key(kTypedUrlsKey);
    ReadValueNamesInto(key, ListBox1);
    QStringList addresses;
    for (const std::string& name : NamesIn(ListBox1)) {
        std::string address;
        const auto read = key.ReadString(name, address);
        // A value that holds no text is no address; the ones after it still are.
        if (read == UserRegistryKey::ReadResult::NotText) continue;
        if (read == UserRegistryKey::ReadResult::Failed) break;
        addresses << AnsiToQString(address);
    }
    Listbox2->addItems(addresses);
    if (Listbox2->count() == 0) {
        ShowMessage2(GetText(kNoTypedUrlsText));
        Close();
    }
}

void TTypedURLsForm::Label6Click() {
    ClearTypedUrlsWithProgress();
    Close();
}

void TTypedURLsForm::BitBtn1Click() {
    Close();
}

namespace {
constexpr int kTypedEmptiedText = 97;
} // namespace

void ClearTypedUrlsWithProgress() {
    PlayClickSound();
    EmptyMainWindowValueNames();
    const CleaningResult result = ClearTypedAddresses();
    Form2->Label2->SetCaption(GetText(kOneMomentText));
    Form2->Label2->setVisible(true);
    Form2->FakeTimer->setInterval(12);
    Form2->FakeTimer->start();
    {
        const TMainWindowHidden hidden;
        Form2->ShowModal();
    }
    ShowMessage2(DoneMessage(kTypedEmptiedText, result));
}
