#include "cache/BrowsercachePanel.h"

#include "cache/IECache.h"
#include "controls/WebBrowser.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "ui/ClickSound.h"
#include "ui/MainWindow.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalBlocker>

namespace {

// The texts of the language file shown here.
constexpr int kRemovingEntriesText = 118;
constexpr int kSpaceFreedText = 119;
constexpr int kCacheEmptiedText = 120;
constexpr int kTotalEntriesText = 121;
constexpr int kTotalSizeText = 122;
constexpr int kEmptyingCacheText = 123;

} // namespace

namespace {

std::uint64_t bytesOf(std::int64_t total) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, total));
}

} // namespace

BrowsercachePanel::BrowsercachePanel(QWidget* parent, TIECache* cache)
    : SectionPanel(parent, QStringLiteral(":/res/decoration_cache.png")), IECache1(cache) {
    RichEdit4 = TitleLine();
    Memo4 = Introduction();
    BitBtn3 = NextButton();

    GroupBox8 = new QGroupBox(QStringLiteral("Gespeicherte Elemente im Browsercache: "), this);
    GroupBox8->setGeometry(16, kContentTop, kWidth - 32, 248);
    ListBox2 = new QListWidget(GroupBox8);
    ListBox2->setGeometry(10, 24, 222, 214);
    Label40 = new TLabel(GroupBox8, QStringLiteral("Vorschau:"), 242, 24);
    Panel10 = new QFrame(GroupBox8);
    Panel10->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel10->setGeometry(242, 42, GroupBox8->width() - 252, 196);
    WebBrowser1 = new TWebBrowser(Panel10);
    WebBrowser1->setGeometry(2, 2, Panel10->width() - 4, Panel10->height() - 4);

    Label4 = new TLabel(this, QStringLiteral("Gesamtzahl:"), 20, kContentTop + 256);
    Label42 = new TLabel(this, QStringLiteral("Gesamtgröße:"), 20, kContentTop + 274);
    Image20 = new TImage(this, QStringLiteral(":/res/link.png"));
    Image20->move(262, kContentTop + 266);
    Label41 = new TLabel(this, QStringLiteral("entleeren"), 280, kContentTop + 264);
    Label41->SetLink(true);
    Label41->SetBold(true);

    // The list's click event: a line chosen with the mouse or with the arrow keys. The
    // listing's own changes of the list run with signals blocked.
    connect(ListBox2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) ListBox2Click();
    });
    connect(Label41, &TLabel::clicked, this, &BrowsercachePanel::Label41Click);
    IECache1->OnEntry = [this](TIECache* sender, bool& cancel) { IECache1Entry(sender, cancel); };
}

void BrowsercachePanel::showTotals() {
    Label4->SetCaption(GetText(kTotalEntriesText) + " " + std::to_string(ListBox2->count()));
    Label42->SetCaption(GetText(kTotalSizeText) + SizeForPeople(bytesOf(CacheTotalSize)));
}

void BrowsercachePanel::ListCache() {
    QSignalBlocker listing(ListBox2);
    ListBox2->clear();
    CacheTotalSize = 0;
    setVisible(true);
    IECache1->SetSearchPattern(spUrl);
    ProcessMessages(3);
    IECache1->Retrieve(0);
    ProcessMessages(3);
    WebBrowser1->Navigate("about:blank");
    showTotals();
    if (ListBox2->count() > 0) {
        ListBox2->setCurrentRow(0);
        ListBox2Click();
    }
}

void BrowsercachePanel::IECache1Entry(TIECache*, bool&) {
    ListBox2->addItem(AnsiToQString(IECache1->EntryInfo().SourceUrlName));
    CacheTotalSize += static_cast<std::int64_t>(IECache1->EntryInfo().Size);
}

void BrowsercachePanel::ListBox2Click() {
    // A preview that never finishes must not hang the page.
    QElapsedTimer waited;
    waited.start();
    while (WebBrowser1->Busy() && waited.elapsed() < kBusyWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (ListBox2->count() > 0 && ListBox2->currentItem())
        IECache1->GetEntryInfo(QStringToAnsi(ListBox2->currentItem()->text()));
    const std::string& file = IECache1->EntryInfo().LocalFileName;
    if (file.find(".htm") != std::string::npos || file.find(".gif") != std::string::npos ||
        file.find(".jpg") != std::string::npos)
        WebBrowser1->Navigate(file);
}

void BrowsercachePanel::Label41Click() {
    PlayClickSound();
    const TMainWindowHidden hidden(window());
    Form2->Label2->SetCaption(GetText(kRemovingEntriesText));
    Form2->Label3->SetCaption(GetText(kEmptyingCacheText));
    Form2->Label2->setVisible(true);
    Form2->Label3->setVisible(true);
    Form2->show();
    ProcessMessages(3);
    const std::int64_t listedBefore = CacheTotalSize;
    CleaningResult result;
    {
        QSignalBlocker listing(ListBox2);
        IECache1->SetSearchPattern(spUrl);
        result = IECache1->DeleteAllEntries();
        ListBox2->clear();
        IECache1->SetSearchPattern(spUrl);
        ProcessMessages(3);
        IECache1->Retrieve(0);
        ProcessMessages(3);
    }
    Form2->Close();
    WebBrowser1->Navigate("about:blank");
    // The report names what was freed: the listing shown before, less what is still there.
    const std::int64_t leftOver = CacheTotalSize - listedBefore;
    const std::int64_t freed = std::max<std::int64_t>(0, listedBefore - leftOver);
    // The entries that refused their deletion (pages open in the browser hold them) stay
    // listed, and the message says how many went and how many stayed and why.
    ShowMessage2(GetText(kSpaceFreedText) + " " + SizeForPeople(bytesOf(freed)) + '\r' +
                 DoneMessage(kCacheEmptiedText, result));
    CacheTotalSize = leftOver;
    showTotals();
}
