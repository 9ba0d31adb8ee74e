#include "traces/u_history.h"

#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "traces/UrlHistory.h"
#include "ui/ClickSound.h"
#include "ui/MainWindow.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QHeaderView>
#include <optional>

namespace {

// The texts of the language file shown here.
constexpr int kLastVisitHeading = 86;
constexpr int kTitleHeading = 87;
constexpr int kAddressHeading = 89;
constexpr int kHistoryEmptyText = 90;
constexpr int kEmptyingHistoryText = 91;

} // namespace

THistoryForm* HistoryForm = nullptr;

namespace {

constexpr int kHistoryEmptiedText = 92;
constexpr int kGridLeft = 12;
constexpr int kGridTop = 50;
// The three columns as designed: 75, 234 and 222 pixels.
constexpr int kGridWidth = 75 + 234 + 222;

QTableWidgetItem* cell(const std::string& text) {
    return new QTableWidgetItem(AnsiToQString(text));
}

// Puts the clock back, once it has been moved, to the saved time plus the time that passed
// since it was saved, whatever happens between.
class ClockRestorer {
  public:
    ClockRestorer(const SYSTEMTIME& saved, ULONGLONG savedAt, bool moved)
        : saved_(saved), savedAt_(savedAt), moved_(moved) {}
    ~ClockRestorer() {
        if (!moved_) return;
        FILETIME then;
        if (!SystemTimeToFileTime(&saved_, &then)) return;
        const ULONGLONG passed = GetTickCount64() - savedAt_;
        const ULONGLONG ticks =
            ((static_cast<ULONGLONG>(then.dwHighDateTime) << 32) | then.dwLowDateTime) +
            passed * 10000;
        const FILETIME now{static_cast<DWORD>(ticks & 0xFFFFFFFFu),
                           static_cast<DWORD>(ticks >> 32)};
        SYSTEMTIME restored;
        if (FileTimeToSystemTime(&now, &restored)) SetSystemTime(&restored);
    }
    ClockRestorer(const ClockRestorer&) = delete;
    ClockRestorer& operator=(const ClockRestorer&) = delete;

  private:
    SYSTEMTIME saved_;
    ULONGLONG savedAt_;
    bool moved_;
};

} // namespace

// The list windows may be minimised; they stay modal meanwhile.
THistoryForm::THistoryForm() : TFormBase(kMinimisableDialog) {
    setObjectName(QStringLiteral("HistoryForm"));
    SetClientSize(558, 356);
    setWindowTitle(QStringLiteral("Surfkolibri"));

    Label17 = new TLabel(this, QStringLiteral("Die History des Internet Explorers"), 16, 12);
    Label1 = new TLabel(this, QStringLiteral("enthält die folgenden Elemente:"), 16, 28);
    Label17->SetBold(true);
    Label1->SetBold(true);

    StringGrid1 = new QTableWidget(1, 3, this);
    StringGrid1->setGeometry(kGridLeft, kGridTop, 558 - 2 * kGridLeft, 250);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(16);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The date column as wide as a date with its time (75 pixels cut it short); the other two
    // share what is left of the designed width in their designed proportion.
    const int dateWidth = std::max(
        75,
        StringGrid1->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00")) + 10);
    const int titleWidth = (kGridWidth - dateWidth) * 234 / (234 + 222);
    StringGrid1->setColumnWidth(0, dateWidth);
    StringGrid1->setColumnWidth(1, titleWidth);
    StringGrid1->setColumnWidth(2, kGridWidth - dateWidth - titleWidth);
    // The address column gives way to the scroll bar instead of slipping under it.
    StringGrid1->horizontalHeader()->setStretchLastSection(true);

    Image1 = new TImage(this, QStringLiteral(":/res/clear.png"));
    Image1->move(16, 312);
    Label6 = new TLabel(this, QStringLiteral("History"), 54, 322);
    Label6->SetLink(true);
    BitBtn1 = new TBitBtn(this, QStringLiteral("zurück"), QStringLiteral(":/res/next.png"));
    BitBtn1->setGeometry(558 - 124, 356 - 40, 108, 28);

    UrlHistory1 = new TUrlHistory();
    UrlHistory1->SortField = sfTitle;
    UrlHistory1->SearchField = seBoth;
    UrlHistory1->SortDirection = sdAscending;
    try {
        UrlHistory1->Loaded();
    } catch (const EOleSysError&) {
        // Without the history service the component lists nothing and clears nothing; the
        // window then reports an empty history instead of the program failing to start.
    }

    CloseTimer = new QTimer(this);
    CloseTimer->setInterval(10);
    connect(CloseTimer, &QTimer::timeout, this, &THistoryForm::CloseTimerTimer);
    connect(Label6, &TLabel::clicked, this, &THistoryForm::Label6Click);
    connect(BitBtn1, &QPushButton::clicked, this, &THistoryForm::BitBtn1Click);
}

THistoryForm::~THistoryForm() {
    delete UrlHistory1;
    if (HistoryForm == this) HistoryForm = nullptr;
}

std::string THistoryForm::Cells(int column, int row) const {
    const QTableWidgetItem* item = StringGrid1->item(row, column);
    return item ? QStringToAnsi(item->text()) : std::string();
}

void THistoryForm::FormHide() {
    // A window closed before its timer fired leaves nothing to fill or report.
    CloseTimer->stop();
}

void THistoryForm::FormShow() {
    StringGrid1->setRowCount(1);
    UrlHistory1->SortField = sfLastVisited;
    StringGrid1->setItem(0, 0, cell(GetText(kLastVisitHeading)));
    StringGrid1->setItem(0, 1, cell(GetText(kTitleHeading)));
    StringGrid1->setItem(0, 2, cell(GetText(kAddressHeading)));
    QFont heading = StringGrid1->font();
    heading.setBold(true);
    for (int column = 0; column < 3; ++column)
        StringGrid1->item(0, column)->setFont(heading);
    const int n = UrlHistory1->Refresh();
    // All rows at once: growing the grid a row per entry costs a layout pass each time.
    StringGrid1->setUpdatesEnabled(false);
    StringGrid1->setRowCount(n + 1);
    for (int i = 0; i < n; ++i) {
        const TEntry* entry = UrlHistory1->Items(i);
        StringGrid1->setItem(i + 1, 0, cell(DateTimeToStr(entry->LastVisited)));
        StringGrid1->setItem(i + 1, 1, cell(entry->Title));
        StringGrid1->setItem(i + 1, 2, cell(entry->Url));
    }
    StringGrid1->setUpdatesEnabled(true);
    StringGrid1->setCurrentItem(nullptr);
    if (n == 0) CloseTimer->start();
}

void THistoryForm::CloseTimerTimer() {
    CloseTimer->stop();
    ShowMessage2(GetText(kHistoryEmptyText));
    BitBtn1Click();
}

void THistoryForm::Label6Click() {
    ClearIeHistory();
    BitBtn1Click();
}

void THistoryForm::BitBtn1Click() {
    PlayClickSound();
    Close();
}

void ClearIeHistory() {
    PlayClickSound();
    // Run from the History window's own link the main window is hidden under it and stays so.
    std::optional<TMainWindowHidden> hidden;
    Form2->Label2->SetCaption(GetText(kEmptyingHistoryText));
    Form2->Label2->setVisible(true);
    Form2->FakeTimer->setInterval(40);
    hidden.emplace();
    Form2->show();
    // No messages are processed until the clearing is done: the note is painted now.
    Form2->repaint();

    TUrlHistory& history = *HistoryForm->UrlHistory1;
    const std::size_t stored = history.StoredUrls().size();
    history.ClearHistory();
    // A day ahead, the local fields taken as UTC: entries the store keeps for today are then
    // in the past and go with the next clearing.
    SYSTEMTIME ahead{};
    DecodeDateTime(Now() + 1.0, ahead);
    SYSTEMTIME saved;
    GetSystemTime(&saved);
    const ULONGLONG savedAt = GetTickCount64();
    {
        const ClockRestorer restorer(saved, savedAt, SetSystemTime(&ahead) != FALSE);
        history.AddUrl(AnsiToWide("C:\\"), AnsiToWide("empty"));
        Sleep(200);
        history.ClearHistory();
        for (const char* url : {"*.*", ".", "Heute", "empty"})
            history.DeleteUrl(AnsiToWide(url));
        history.DeleteEntries();
    }
    history.ClearHistory();

    Form2->FakeTimer->start();
    Form2->hide();
    Form2->ShowModal();
    hidden.reset();
    // The History window, when the clearing came from it, lists nothing any more while the
    // message says so: only the heading row stays.
    HistoryForm->StringGrid1->setRowCount(1);
    ShowMessage2(DoneMessage(kHistoryEmptiedText, history.ClearedSince(stored)));
}
