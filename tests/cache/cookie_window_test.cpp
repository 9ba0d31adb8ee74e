#include "cache/IECache.h"
#include "cache/u_cookieForm.h"
#include "cache/u_info.h"
#include "controls/longlist.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/root.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/cache_entries.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

using platform::urlcache::Container;
using testing_support::putContentEntry;
using testing_support::putCookie;
using testing_support::WindowTest;

class CookieWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
        ApplyLanguageTexts();
        // The system box's questions are recorded with the button Enter would press, and
        // answered as the test says.
        onModal = [this](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box) return;
            questions.push_back(QStringToAnsi(box->text()));
            defaults.push_back(box->defaultButton() ? QStringToAnsi(box->defaultButton()->text())
                                                    : std::string());
            if (answer != QMessageBox::NoButton) box->button(answer)->click();
        };
    }
    QStringList listed() const {
        QStringList lines;
        for (int i = 0; i < CookieForm->Listbox1->count(); ++i)
            lines << CookieForm->Listbox1->item(i)->text();
        return lines;
    }
    // Shows the window as the security page does (without the busy animation).
    void open() { CookieForm->show(); }
    static const QListWidgetItem* selected() { return CookieForm->SelectedItem(); }
    std::vector<bool> modalWindowsVisibleMain;
    std::vector<std::string> questions;
    std::vector<std::string> defaults;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
};

// The list shows every cookie and their count, but chooses none: the details wait for the
// user's choice, and so does every link that acts on a cookie.
TEST_F(CookieWindowTest, ListsEveryCookieWithCountAndChoosesNone) {
    putCookie("alpha.example", 7, 116);
    putCookie("beta.example", 2, 50);
    putContentEntry("http://alpha.example/page.htm", "page.htm", 10);
    open();
    EXPECT_EQ((QStringList{"Cookie:user@alpha.example/", "Cookie:user@beta.example/"}), listed());
    EXPECT_EQ(GetText(82) + " 2", CookieForm->Label11->Caption());
    EXPECT_EQ(nullptr, selected());
    EXPECT_EQ(GetText(78), CookieForm->Label7->Caption());
    EXPECT_EQ(GetText(79), CookieForm->Label8->Caption());
    EXPECT_FALSE(CookieForm->Label12->isVisible());
    CookieForm->Listbox1->setCurrentRow(0);
    EXPECT_EQ(GetText(78) + " 7", CookieForm->Label7->Caption());
    EXPECT_EQ(GetText(79) + " 116", CookieForm->Label8->Caption());
    EXPECT_TRUE(messages.empty());
}

TEST_F(CookieWindowTest, ClickingALineShowsThatCookiesDetails) {
    putCookie("alpha.example", 7, 116);
    putCookie("beta.example", 2, 50);
    open();
    QListWidgetItem* second = CookieForm->Listbox1->item(1);
    CookieForm->Listbox1->setCurrentItem(second);
    emit CookieForm->Listbox1->itemClicked(second);
    EXPECT_EQ(GetText(78) + " 2", CookieForm->Label7->Caption());
    EXPECT_EQ(GetText(79) + " 50", CookieForm->Label8->Caption());
}

// The details follow the line the keyboard moves to, and a filter that lists nothing leaves
// no details of a cookie that is no longer listed.
TEST_F(CookieWindowTest, TheDetailsFollowTheKeyboardAndGoWithAnEmptyList) {
    putCookie("alpha.example", 7, 116);
    putCookie("beta.example", 2, 50);
    open();
    CookieForm->Listbox1->setCurrentRow(0);
    CookieForm->Listbox1->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(CookieForm->Listbox1, &down);
    EXPECT_EQ(1, CookieForm->Listbox1->currentRow());
    EXPECT_EQ(GetText(78) + " 2", CookieForm->Label7->Caption());
    EXPECT_EQ(GetText(79) + " 50", CookieForm->Label8->Caption());

    CookieForm->Edit1->setText(QStringLiteral("nothing.like.this"));
    EXPECT_TRUE(listed().isEmpty());
    for (TLabel* detail :
         {CookieForm->Label7, CookieForm->Label8, CookieForm->Label9, CookieForm->Label10})
        EXPECT_EQ(std::string::npos, detail->Caption().find_first_of("0123456789"))
            << detail->Caption();
}

TEST_F(CookieWindowTest, FilterIsACaseSensitiveSubstringAndStarOrEmptyListsAll) {
    for (const char* d : {"news.example", "shop.example", "news.other"})
        putCookie(d);
    open();
    CookieForm->Edit1->setText(QStringLiteral("news"));
    EXPECT_EQ((QStringList{"Cookie:user@news.example/", "Cookie:user@news.other/"}), listed());
    CookieForm->Edit1->setText(QStringLiteral("NEWS"));
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(GetText(82) + " 0", CookieForm->Label11->Caption());
    EXPECT_TRUE(messages.empty()); // no message while filtering, the window stays
    EXPECT_TRUE(CookieForm->isVisible());
    CookieForm->Edit1->setText(QStringLiteral("*"));
    EXPECT_EQ(3, listed().size());
    CookieForm->Edit1->setText(QString());
    EXPECT_EQ(3, listed().size());
}

// Removing the selected cookie: without a chosen line the window says to choose one first;
// with one it names the cookie and asks, No the default. No keeps it; Yes removes that cookie
// alone, and afterwards no line is chosen, so a second click removes nothing.
TEST_F(CookieWindowTest, RemovingTheSelectedCookieActsOnlyOnTheUsersChoiceAndAsksFirst) {
    for (const char* d : {"alpha.example", "beta.example", "gamma.example"})
        putCookie(d);
    open();
    emit CookieForm->Label5->clicked();
    EXPECT_EQ(std::vector<std::string>{GetText(450)}, messages);
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(3u, testing_support::entriesIn(Container::Cookies));

    CookieForm->Listbox1->setCurrentRow(1);
    answer = QMessageBox::No;
    emit CookieForm->Label5->clicked();
    ASSERT_EQ(1u, questions.size());
    EXPECT_EQ(GetText(451) + "\n\n\"Cookie:user@beta.example/\"", questions[0]);
    EXPECT_EQ(std::vector<std::string>{GetText(466)}, defaults);
    EXPECT_EQ(3u, testing_support::entriesIn(Container::Cookies));

    answer = QMessageBox::Yes;
    emit CookieForm->Label5->clicked();
    EXPECT_EQ((QStringList{"Cookie:user@alpha.example/", "Cookie:user@gamma.example/"}), listed());
    EXPECT_EQ(2u, testing_support::entriesIn(Container::Cookies));
    EXPECT_EQ(nullptr, selected());
    CookieForm->Listbox1->setFocus(); // the focus alone chooses nothing
    emit CookieForm->Label5->clicked();
    EXPECT_EQ(2u, questions.size());
    EXPECT_EQ((std::vector<std::string>{GetText(450), GetText(450)}), messages);
    EXPECT_EQ(2u, testing_support::entriesIn(Container::Cookies));
}

// Removing all listed cookies counts them in its question; No removes none, even without a
// filter (where Yes would remove the cookies added since the listing as well).
TEST_F(CookieWindowTest, RemovingAllListedCookiesAsksWithTheirNumber) {
    putCookie("alpha.example");
    putCookie("beta.example");
    open();
    answer = QMessageBox::No;
    emit CookieForm->Label6->clicked();
    ASSERT_EQ(1u, questions.size());
    EXPECT_EQ(FillIn(GetText(452), {"2"}), questions[0]);
    EXPECT_EQ(std::vector<std::string>{GetText(466)}, defaults);
    EXPECT_EQ(2u, testing_support::entriesIn(Container::Cookies));
    EXPECT_EQ(2, CookieForm->Listbox1->count());
    EXPECT_TRUE(CookieForm->isVisible());
}

TEST_F(CookieWindowTest, DeleteSelectedWithAnEmptyListSaysToChooseOne) {
    putCookie("alpha.example");
    open();
    CookieForm->Edit1->setText(QStringLiteral("no such cookie"));
    ASSERT_EQ(nullptr, CookieForm->Listbox1->currentItem());
    emit CookieForm->Label5->clicked();
    EXPECT_EQ(1u, testing_support::entriesIn(Container::Cookies));
    EXPECT_EQ(std::vector<std::string>{GetText(450)}, messages);
}

TEST_F(CookieWindowTest, DeleteAllWithAFilterDeletesOnlyTheListedOnes) {
    for (const char* d : {"news.example", "shop.example", "news.other"})
        putCookie(d);
    putContentEntry("http://news.example/a.htm", "a.htm", 10);
    open();
    CookieForm->Edit1->setText(QStringLiteral("news"));
    answer = QMessageBox::Yes;
    emit CookieForm->Label6->clicked();
    EXPECT_TRUE(listed().isEmpty());
    const auto left = platform::urlcache::list(Container::Cookies);
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ("Cookie:user@shop.example/", left[0].url);
    EXPECT_EQ(1u, testing_support::entriesIn(Container::Content));
    EXPECT_TRUE(messages.empty());
}

TEST_F(CookieWindowTest, DeleteAllWithoutAFilterEmptiesTheCookiesThenSaysSoAndCloses) {
    putCookie("alpha.example");
    putCookie("beta.example");
    putContentEntry("http://alpha.example/a.htm", "a.htm", 10);
    open();
    answer = QMessageBox::Yes;
    emit CookieForm->Label6->clicked();
    EXPECT_EQ(0u, testing_support::entriesIn(Container::Cookies));
    EXPECT_EQ(1u, testing_support::entriesIn(Container::Content));
    EXPECT_EQ(std::vector<std::string>{GetText(83)}, messages);
    EXPECT_TRUE(CookieForm->CloseTimer->isActive());
    EXPECT_TRUE(testing_support::RunEventsUntil([] { return !CookieForm->isVisible(); }));
}

TEST_F(CookieWindowTest, DeletingTheLastCookieShowsTheMessageAndClosesTheWindow) {
    putCookie("only.example");
    open();
    CookieForm->Listbox1->setCurrentRow(0);
    answer = QMessageBox::Yes;
    emit CookieForm->Label5->clicked();
    EXPECT_EQ(std::vector<std::string>{GetText(83)}, messages);
    EXPECT_TRUE(testing_support::RunEventsUntil([] { return !CookieForm->isVisible(); }));
}

TEST_F(CookieWindowTest, SecurityPageOpensTheWindowAfterTheBusyAnimation) {
    putCookie("alpha.example");
    Form1->show();
    onModal = [this](QWidget* window) {
        modalWindowsVisibleMain.push_back(Form1->isVisible());
        if (window == Form2) {
            EXPECT_EQ(30, Form2->FakeTimer->interval());
            EXPECT_EQ(GetText(66), Form2->Label2->Caption());
            RunModalLoop(window); // about three seconds at 30 ms: shortened below
        }
        if (window == CookieForm) {
            EXPECT_EQ(1, CookieForm->Listbox1->count());
        }
    };
    Form2->ProgressBar1->setValue(95); // only the last few ticks
    emit Form1->SicherheitsPanel->Label16->clicked();
    EXPECT_EQ((std::vector<std::string>{"TForm2", "TCookieForm"}), modalWindows);
    EXPECT_EQ((std::vector<bool>{false, false}), modalWindowsVisibleMain);
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(CookieWindowTest, ExplanationPicturesShowTheirTextsInTheInformationWindow) {
    int shown = 0;
    onModal = [&](QWidget* window) { shown += window == Form5; };
    emit Form1->SicherheitsPanel->Image13->clicked();
    emit Form1->SicherheitsPanel->Image17->clicked();
    EXPECT_EQ(2, shown);
    const std::string typed = GetText(68);
    const auto lines = static_cast<int>(std::count(typed.begin(), typed.end(), '\n')) + 1;
    EXPECT_EQ(lines, Form5->MemoLines().size());
    EXPECT_EQ(2, clickSounds());
}

TEST(FormatCacheTimeTest, DropsTheSecondsButKeepsAMidnightDateWhole) {
    testing_support::TempPlatform platform;
    double t = 0;
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 26, 17, 34, 46, 0, t));
    EXPECT_EQ("26.05.2001 17:34", FormatCacheTime(t));
    ASSERT_TRUE(TryEncodeDateTime(2001, 5, 27, 0, 0, 0, 0, t));
    EXPECT_EQ("27.05.2001", FormatCacheTime(t));
    EXPECT_EQ("", FormatCacheTime(-1.5));
    EXPECT_EQ("30.12.1899", FormatCacheTime(0));
}

TEST(FormatCacheTimeTest, FindsTheTimePartByTheLocaleFormatsNotByABlank) {
    testing_support::TempPlatform platform;
    auto at = [](int year, int month, int day, int hour, int minute, int second) {
        double t = 0;
        EXPECT_TRUE(TryEncodeDateTime(year, month, day, hour, minute, second, 0, t));
        return t;
    };
    platform::setSetting("short-date", "dd. MM. yyyy");
    EXPECT_EQ("27. 05. 2001", FormatCacheTime(at(2001, 5, 27, 0, 0, 0))); // midnight: date only
    EXPECT_EQ("26. 05. 2001 17:34", FormatCacheTime(at(2001, 5, 26, 17, 34, 46)));
    EXPECT_EQ("26. 05. 2001 00:00", FormatCacheTime(at(2001, 5, 26, 0, 0, 1)));

    platform::setSetting("long-time", "H:mm:ss");
    EXPECT_EQ("01. 02. 2004", FormatCacheTime(at(2004, 2, 1, 0, 0, 0)));
    EXPECT_EQ("01. 02. 2004 9:05", FormatCacheTime(at(2004, 2, 1, 9, 5, 7)));

    platform::setSetting("short-date", "yyyy-MM-dd");
    EXPECT_EQ("2004-02-01", FormatCacheTime(at(2004, 2, 1, 0, 0, 0)));
    EXPECT_EQ("2004-02-01 23:59", FormatCacheTime(at(2004, 2, 1, 23, 59, 59)));
}
