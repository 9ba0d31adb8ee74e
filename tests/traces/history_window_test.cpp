// The History window and ClearIeHistory.
#include "support/done_message.h"
#include "traces_fixture.h"

#include "platform/filetime.h"
#include "platform/root.h"
#include "platform/simulated_time.h"
#include "platform/urlcache.h"
#include "shell/u_Surfkolibri.h"
#include "support/caller_trace.h"
#include "traces/SicherheitsPanel.h"
#include "traces/UrlHistory.h"
#include "traces/u_history.h"

#include <cstdlib>
#include <stdexcept>

using testing_support::RunEventsUntil;
using traces_test::TracesWindowTest;

namespace {

SYSTEMTIME localTime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME t{};
    t.wYear = y;
    t.wMonth = mo;
    t.wDay = d;
    t.wHour = h;
    t.wMinute = mi;
    t.wSecond = s;
    return t;
}

// A visit of the current user at the given local time.
void addVisit(const std::string& url, const std::string& title, const SYSTEMTIME& local,
              const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    FILETIME localFt;
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localFt));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localFt, &utc));
    platform::urlcache::Record r;
    r.url = "Visited: User@" + url;
    r.type = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;
    r.lastAccess = r.lastModified = r.lastSync = utc;
    r.expire = platform::fileTimeOf(platform::ticksOf(utc) + 10 * platform::kTicksPerDay);
    r.title = title;
    platform::urlcache::put(r);
}

std::size_t visitsLeft() {
    return platform::urlcache::list(platform::urlcache::Container::History).size();
}

class THistoryFormTest : public TracesWindowTest {
  protected:
    // Shows the window modally as the security page does; `whileOpen` runs with it open.
    void open(const std::function<void()>& whileOpen = {}) {
        alsoOnModal = [this, whileOpen](QWidget* window) {
            if (window != HistoryForm) return;
            rowsSeen.push_back(HistoryForm->StringGrid1->rowCount());
            if (whileOpen) whileOpen();
        };
        HistoryForm->ShowModal();
    }
    std::vector<int> rowsSeen;
};

} // namespace

TEST_F(THistoryFormTest, ListsEveryVisitOldestFirstUnderTheHeadingRow) {
    addVisit("http://b.example/", "Beta", localTime(2024, 3, 5, 14, 30, 10));
    addVisit("http://a.example/", "Alpha", localTime(2024, 3, 5, 0, 0, 0));
    addVisit("http://c.example/", "", localTime(2023, 12, 31, 23, 59, 58));
    open([] {
        EXPECT_EQ(4, HistoryForm->StringGrid1->rowCount());
        EXPECT_EQ(3, HistoryForm->StringGrid1->columnCount());
        const std::vector<std::vector<std::string>> expected = {
            {GetText(86), GetText(87), GetText(89)},
            {"31.12.2023 23:59:58", "", "http://c.example/"},
            // A visit exactly at midnight shows its date alone.
            {"05.03.2024", "Alpha", "http://a.example/"},
            {"05.03.2024 14:30:10", "Beta", "http://b.example/"},
        };
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                EXPECT_EQ(expected[row][column], HistoryForm->Cells(column, row))
                    << row << "," << column;
    });
    // Opened again it shows the same rows, not twice as many.
    addVisit("http://d.example/", "Delta", localTime(2025, 1, 1, 8, 0, 0));
    open([] { EXPECT_EQ("http://d.example/", HistoryForm->Cells(2, 4)); });
    open();
    EXPECT_EQ((std::vector<int>{4, 5, 5}), rowsSeen);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(sfLastVisited, HistoryForm->UrlHistory1->SortField);
}

TEST_F(THistoryFormTest, AVisitWithoutAUsableTimeShowsTheZeroDate) {
    platform::urlcache::Record r;
    r.url = "Visited: User@http://zero.example/";
    r.type = NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY;
    platform::urlcache::put(r);
    open([] {
        EXPECT_EQ("30.12.1899", HistoryForm->Cells(0, 1));
        EXPECT_EQ("http://zero.example/", HistoryForm->Cells(2, 1));
    });
}

TEST_F(THistoryFormTest, AnEmptyHistorySaysSoOnceOpenAndClosesItself) {
    open([this] {
        EXPECT_EQ(1, HistoryForm->StringGrid1->rowCount());
        EXPECT_EQ(GetText(86), HistoryForm->Cells(0, 0));
        EXPECT_TRUE(messages.empty()); // not before the window is open
        EXPECT_TRUE(RunEventsUntil([] { return !HistoryForm->isVisible(); }));
    });
    EXPECT_EQ(std::vector<std::string>{GetText(90)}, messages);
    EXPECT_FALSE(HistoryForm->CloseTimer->isActive());
    // The window closes as its "zurück" button does, with the click sound.
    EXPECT_EQ(1, clickSounds());
}

TEST_F(THistoryFormTest, ItsLinkEmptiesTheHistoryAndTheNextOpeningFindsItEmpty) {
    addVisit("http://a.example/", "Alpha", localTime(2024, 3, 5, 9, 0, 0));
    addVisit("http://b.example/", "Beta", localTime(2024, 3, 6, 9, 0, 0));
    platform::SimulatedTime time;
    // From the security page: the main window hides while the History window is open.
    Form1->show();
    bool mainShownUnderTheHistoryWindow = true;
    alsoOnModal = [&](QWidget* window) {
        if (window != HistoryForm) return;
        emit HistoryForm->Label6->clicked();
        EXPECT_FALSE(HistoryForm->isVisible());
        mainShownUnderTheHistoryWindow = Form1->isVisible();
    };
    emit Form1->SicherheitsPanel->Label21->clicked();
    EXPECT_EQ(0u, visitsLeft());
    EXPECT_EQ((std::vector<std::string>{"THistoryForm", "TForm2", "TShowMessage2Form"}),
              modalWindows);
    EXPECT_EQ(std::vector<std::string>{doneMessage(92, 2)}, messages);
    // The clearing leaves the main window hidden; the security page's link shows it again
    // once the History window has closed.
    EXPECT_FALSE(mainShownUnderTheHistoryWindow);
    EXPECT_TRUE(Form1->isVisible());

    messages.clear();
    alsoOnModal = [](QWidget* window) {
        if (window == HistoryForm) RunEventsUntil([] { return !HistoryForm->isVisible(); });
    };
    emit Form1->SicherheitsPanel->Label21->clicked();
    EXPECT_EQ(std::vector<std::string>{GetText(90)}, messages);
}

namespace {

class ClearIeHistoryTest : public TracesWindowTest {
  protected:
    void SetUp() override {
        TracesWindowTest::SetUp();
        history().AddUrl(u"http://a.example/", u"Alpha");
        history().AddUrl(u"http://b.example/", u"Beta");
    }
    static TUrlHistory& history() { return *HistoryForm->UrlHistory1; }
    // How far the platform clock is ahead of the (simulated) host clock, in milliseconds.
    static std::int64_t clockAhead() { return platform::clockOffsetMilliseconds(); }
};

} // namespace

TEST_F(ClearIeHistoryTest, EmptiesTheHistoryAndPutsTheClockBackWhereItWouldBe) {
    platform::setSetting("admin", "yes");
    platform::SimulatedTime time;
    double utcWhileMoved = 0;
    const double localBefore = Now();
    bool busyNoteShown = false;
    time.OnSleep([&](DWORD) {
        SYSTEMTIME utc;
        GetSystemTime(&utc);
        SystemTimeToDateTime(utc, utcWhileMoved);
        busyNoteShown = Form2->isVisible() && !Form2->isModal() && !Form1->isVisible() &&
                        Form2->Label2->Caption() == GetText(91);
        // The marker visit made with the clock a day ahead.
        ASSERT_EQ(1, history().Refresh());
        EXPECT_EQ("empty", history().Items(0)->Title);
    });
    Form1->show();
    emit Form1->SicherheitsPanel->Label22->clicked();

    EXPECT_EQ(0, history().Refresh());
    EXPECT_EQ(0u, visitsLeft());
    EXPECT_EQ(200, time.PassedMilliseconds());
    // While the marker was written the clock stood a day ahead, the local fields read as UTC.
    EXPECT_NEAR(localBefore + 1.0, utcWhileMoved, 2.0 / 86400);
    EXPECT_TRUE(busyNoteShown);
    // Back on the time that passed, not on the time saved before the wait.
    EXPECT_LT(std::llabs(clockAhead()), 50) << clockAhead();
    ASSERT_EQ(1u, busy.size());
    EXPECT_EQ(GetText(91), busy[0].line);
    EXPECT_EQ(40, busy[0].interval);
    EXPECT_TRUE(busy[0].timerRunning);
    EXPECT_EQ(std::vector<std::string>{doneMessage(92, 2)}, messages);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_EQ(1, clickSounds());
}

TEST_F(ClearIeHistoryTest, WithoutTheRightToSetTheClockItClearsAndLeavesTheClockAlone) {
    platform::setSetting("clock-offset", "12.5");
    platform::SimulatedTime time;
    double localWhileWaiting = 0;
    time.OnSleep([&](DWORD) {
        localWhileWaiting = Now();
        // Were the clock set back afterwards it would be by a call that can succeed now.
        platform::setSetting("admin", "yes");
    });
    const double before = Now();
    ClearIeHistory();
    EXPECT_EQ(0, history().Refresh());
    EXPECT_EQ(200, time.PassedMilliseconds());
    EXPECT_NEAR(before, localWhileWaiting, 2.0 / 86400);
    // Never moved, so never set back: the offset is exactly as it was.
    EXPECT_EQ("12.5", platform::setting("clock-offset"));
    EXPECT_EQ(std::vector<std::string>{doneMessage(92, 2)}, messages);
}

TEST_F(ClearIeHistoryTest, AMovedClockIsPutBackWhateverHappensMeanwhile) {
    platform::setSetting("admin", "yes");
    platform::SimulatedTime time;
    time.OnSleep([](DWORD) { throw std::runtime_error("interrupted"); });
    EXPECT_THROW(ClearIeHistory(), std::runtime_error);
    EXPECT_LT(std::llabs(clockAhead()), 50) << clockAhead();
    Form2->hide();
}
