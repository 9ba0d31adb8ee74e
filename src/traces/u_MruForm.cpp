#include "traces/u_MruForm.h"

#include "controls/longlist.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/ansi.h"
#include "platform/qt/ansi_qstring.h"
#include "traces/TraceClearing.h"
#include "traces/TraceLists.h"
#include "traces/UserRegistryKey.h"
#include "ui/ClickSound.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

namespace {

// The texts of the language file shown here.
constexpr int kEntriesFoundText = 100;
constexpr int kNoMruEntriesText = 101;
constexpr int kRunListSuffixText = 102;
constexpr int kDocumentListSuffixText = 103;
constexpr int kRemovingEntriesText = 118;

} // namespace

TMruForm* MruForm = nullptr;

namespace {

constexpr int kMruEmptiedText = 99;

// The Run box's commands, each without the two characters the shell keeps after it.
void listRunCommands(const UserRegistryKey& key, QListWidget* names, QStringList& lines) {
    const std::string suffix = GetText(kRunListSuffixText);
    for (const std::string& name : NamesIn(names)) {
        if (AnsiUpperCase(name) == "MRULIST") continue;
        std::string command;
        const auto read = key.ReadString(name, command);
        if (read == UserRegistryKey::ReadResult::NotText) continue;
        if (read == UserRegistryKey::ReadResult::Failed) break;
        command.resize(command.size() >= 2 ? command.size() - 2 : 0);
        lines << AnsiToQString(command + suffix);
    }
}

// The files of the Recent folder, hidden and system ones too, without sub-folders and the
// folder's own settings file.
void listRecentDocuments(QStringList& lines) {
    const std::string suffix = GetText(kDocumentListSuffixText);
    for (const std::string& name : RecentDocumentNames())
        lines << AnsiToQString(name + suffix);
}

} // namespace

// The list windows may be minimised; they stay modal meanwhile.
TMruForm::TMruForm() : TFormBase(kMinimisableDialog) {
    setObjectName(QStringLiteral("MruForm"));
    SetClientSize(539, 281);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label17 = new TLabel(
        this, QStringLiteral("Die folgenden Einträge wurden von Surfkolibri in den"), 16, 12);
    Label1 = new TLabel(this, QStringLiteral("MRU-Listen Ihres Rechners gefunden:"), 16, 28);
    Label17->SetBold(true);
    Label1->SetBold(true);

    Listbox2 = MakeTraceListbox(this);
    Listbox2->setGeometry(16, 50, 300, 176);
    ListBox1 = new QListWidget(this);
    ListBox1->setVisible(false);
    Label2 = new TLabel(this, QStringLiteral("Gesamtzahl der gefundenen Einträge: 111"), 16, 232);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(330, 50, 193, 140);
    Image2 = new TImage(GroupBox1, QStringLiteral(":/res/notice.png"));
    Image2->move(8, 12);
    const char* const notice[] = {
        "Bitte beachten Sie: Die Einträge", "zeigen evtl. auf noch existieren-",
        "de Dateien. - Ein Entfernen der",  "MRU-Einträge wird existierende",
        "Daten jedoch nicht beeinflussen",  "und ist daher völlig gefahrlos!"};
    TLabel** lines[] = {&Label7, &Label8, &Label9, &Label10, &Label11, &Label12};
    for (int i = 0; i < 6; ++i)
        *lines[i] = new TLabel(GroupBox1, QString::fromUtf8(notice[i]), 8, 48 + i * 15);

    Image1 = new TImage(this, QStringLiteral(":/res/clear.png"));
    Image1->move(330, 200);
    Label6 = new TLabel(this, QStringLiteral("MRU-Listen entleeren"), 368, 210);
    Label6->SetLink(true);
    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(539 - 124, 281 - 40, 108, 28);

    leerTimer = new QTimer(this);
    leerTimer->setInterval(100);
    connect(leerTimer, &QTimer::timeout, this, &TMruForm::leerTimerTimer);
    connect(Label6, &TLabel::clicked, this, &TMruForm::Label6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TMruForm::BitBtn1Click);
}

TMruForm::~TMruForm() {
    if (MruForm == this) MruForm = nullptr;
}

void TMruForm::FormHide() {
    // A window closed before its timer fired leaves nothing to fill or report.
    leerTimer->stop();
}

void TMruForm::FormShow() {
    Listbox2->clear();
    ListBox1->clear();
    QStringList lines;
    {
        const UserRegistryKey key(kRunMruKey);
        ReadValueNamesInto(key, ListBox1);
        listRunCommands(key, ListBox1, lines);
    }
    listRecentDocuments(lines);
    Listbox2->addItems(lines);
    Label2->SetCaption(GetText(kEntriesFoundText) + " " + std::to_string(Listbox2->count()));
    leerTimer->start();
}

void TMruForm::leerTimerTimer() {
    leerTimer->stop();
    if (Listbox2->count() == 0) {
        ShowMessage2(GetText(kNoMruEntriesText));
        BitBtn1Click();
    }
}

void TMruForm::Label6Click() {
    PlayClickSound();
    Form2->Label2->SetCaption(GetText(kRemovingEntriesText));
    Form2->Label2->setVisible(true);
    Form2->FakeTimer->setInterval(5);
    Form2->FakeTimer->start();
    Form2->ShowModal();
    CleaningResult result = ClearRecentDocuments();
    result += ClearRunList();
    Listbox2->clear();
    ListBox1->clear();
    Label2->SetCaption(GetText(kEntriesFoundText) + " " + std::to_string(Listbox2->count()));
    ShowMessage2(DoneMessage(kMruEmptiedText, result));
    BitBtn1Click();
}

void TMruForm::BitBtn1Click() {
    PlayClickSound();
    Listbox2->clear();
    Close();
}
