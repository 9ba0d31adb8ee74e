// The other-browsers window: which links it offers, and a cleaning from one of them.
#include "browser_fixture.h"
#include "browser_seed.h"
#include "lang/CleaningText.h"
#include "lang/TQwTrans2.h"
#include "otherbrowsers/BrowserTexts.h"
#include "otherbrowsers/u_otherBrowsers.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/simulated_time.h"
#include "platform/win32.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/u_Surfkolibri.h"
#include "support/done_message.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"

#include <algorithm>
#include <filesystem>

using testing_support::writeHostFile;

namespace {

const std::string kOpera = "C:\\Users\\User\\AppData\\Roaming\\Opera\\opera\\profile\\";
const std::string kFirefox =
    "C:\\Users\\User\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x.default\\";
const std::string kMozilla = "C:\\Users\\User\\AppData\\Roaming\\Mozilla\\Profiles\\default\\";

class TOtherBrowserFormTest : public testing_support::WindowTest,
                              public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram(GetParam());
        ApplyLanguageTexts();
    }
    void file(const std::string& windowsPath) {
        std::string rest = windowsPath.substr(3);
        for (char& c : rest)
            if (c == '\\') c = '/';
        writeHostFile(platform.hostPath("C:\\") + "/" + rest, "x");
    }
    // Which of the nine links are enabled: Opera's, Mozilla's, Firefox's, each cache, cookies,
    // history.
    std::string enabledLinks() const {
        const TOtherBrowserForm* f = OtherBrowserForm;
        std::string links;
        for (const TLabel* l : {f->Label1, f->Label2, f->Label3, f->Label6, f->Label4, f->Label5,
                                f->Label9, f->Label7, f->Label8})
            links += l->isEnabled() ? 'x' : '-';
        return links;
    }
    // Opens the window from the security page's link; `whileOpen` runs while it is shown.
    void open(const std::function<void()>& whileOpen) {
        onModal = [whileOpen](QWidget* window) {
            if (window == OtherBrowserForm && whileOpen) whileOpen();
        };
        emit Form1->SicherheitsPanel->Label69->clicked();
        onModal = {};
    }
};

} // namespace

// Every showing offers exactly the links whose profile is found at that moment: a browser
// that appears later is offered at the next showing, one that went is no longer offered.
TEST_P(TOtherBrowserFormTest, EachShowingOffersTheLinksOfTheBrowsersFoundNow) {
    std::vector<std::string> seen;
    const auto note = [&] { seen.push_back(enabledLinks()); };
    open(note);
    file(kOpera + "opera6.ini");
    file(kFirefox + "cookies.txt");
    open(note);
    file(kMozilla + "Cache\\_CACHE_MAP_");
    file(kFirefox + "Cache\\_CACHE_MAP_");
    std::filesystem::remove_all(platform.hostPath(kOpera));
    open(note);
    file(kFirefox + "history.dat");
    open(note);
    EXPECT_EQ((std::vector<std::string>{"---------", "xxx----x-", "---xxxxx-", "---xxxxxx"}), seen);
    EXPECT_EQ((std::vector<std::string>{"TOtherBrowserForm", "TOtherBrowserForm",
                                        "TOtherBrowserForm", "TOtherBrowserForm"}),
              modalWindows);
    EXPECT_EQ(4, clickSounds());
}

// A link cleans its part under the busy window, which names the group and the link, then
// reports that it is done; the links and the button carry the language's texts.
TEST_P(TOtherBrowserFormTest, ALinkCleansItsPartUnderTheBusyWindowAndReportsIt) {
    file(kOpera + "cookies4.dat");
    file(kOpera + "global.dat");
    file(kOpera + "cache4\\opr00001.tmp");
    const TOtherBrowserForm* f = OtherBrowserForm;
    EXPECT_EQ(GetText(204), f->Label2->Caption());
    EXPECT_EQ(GetText(203), f->Label9->Caption());
    EXPECT_EQ(GetText(205), f->Label5->Caption());
    EXPECT_EQ(AnsiToQString(GetText(77)), f->BitBtn1->text());
    EXPECT_EQ(QStringLiteral("Mozilla && Netscape: "), f->GroupBox2->title());

    platform::SimulatedTime time;
    std::vector<std::string> busyDuringPause;
    time.OnSleep([&](DWORD) {
        busyDuringPause.push_back((Form2->isVisible() ? "shown: " : "hidden: ") +
                                  Form2->Label2->Caption());
    });
    open([&] {
        OtherBrowserForm->Label2->setEnabled(true);
        emit OtherBrowserForm->Label2->clicked();
        EXPECT_TRUE(OtherBrowserForm->isVisible());
    });
    // The earlier Opera's group is named apart from today's.
    EXPECT_EQ(std::vector<std::string>{"shown: " + GetText(kTextOldOperaGroup) + GetText(204)},
              busyDuringPause);
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_FALSE(Form2->Label2->isVisible());
    EXPECT_EQ(std::vector<std::string>{doneMessage(196, 1) + " (1kb)"}, messages);
    EXPECT_FALSE(FileExistsA(kOpera + "cookies4.dat"));
    EXPECT_TRUE(FileExistsA(kOpera + "global.dat"));
    EXPECT_TRUE(FileExistsA(kOpera + "cache4\\opr00001.tmp"));
}

// A profile that went after the window was shown: nothing is cleaned (nor looked for
// elsewhere), and the done message still comes. Mozilla's group shows one ampersand.
TEST_P(TOtherBrowserFormTest, AProfileThatWentMeanwhileCleansNothing) {
    file(kMozilla + "Cache\\_CACHE_MAP_");
    file(kMozilla + "history.dat");
    platform::SimulatedTime time;
    std::string busyLine;
    time.OnSleep([&](DWORD) { busyLine = Form2->Label2->Caption(); });
    open([&] {
        ASSERT_TRUE(OtherBrowserForm->Label5->isEnabled());
        std::filesystem::remove_all(platform.hostPath(kMozilla + "Cache"));
        emit OtherBrowserForm->Label5->clicked();
        OtherBrowserForm->BitBtn1->click();
        EXPECT_FALSE(OtherBrowserForm->isVisible());
    });
    EXPECT_EQ(0, time.PassedMilliseconds());
    EXPECT_TRUE(FileExistsA(kMozilla + "history.dat"));
    EXPECT_EQ(std::vector<std::string>{doneMessage(196, 0)}, messages);

    file(kMozilla + "Cache\\_CACHE_MAP_");
    open([&] { emit OtherBrowserForm->Label5->clicked(); });
    EXPECT_EQ("Mozilla & Netscape: " + GetText(205), busyLine);
    EXPECT_EQ(1000, time.PassedMilliseconds());
    EXPECT_FALSE(FileExistsA(kMozilla + "history.dat"));
    EXPECT_TRUE(FileExistsA(kMozilla + "Cache\\_CACHE_MAP_"));
}

INSTANTIATE_TEST_SUITE_P(Languages, TOtherBrowserFormTest, ::testing::Values(0, 1));

// Today's browsers: a group is shown for each browser installed, its links each showing what
// they would remove; a link cleans its part and says what it left and why, and the next
// showing counts again. The earlier Opera and Firefox are named apart from today's; the
// window says what each part removes.
TEST_P(TOtherBrowserFormTest, TodaysBrowsersShowTheirCountsAndCleanTheirPart) {
    browser_seed::Sizes sizes;
    sizes.places = 20;
    sizes.visits = 50;
    sizes.bookmarks = 5;
    sizes.cookies = 12;
    sizes.sites = 4;
    sizes.cacheFiles = 10;
    const std::string local = platform.hostPath("C:\\Users\\User\\AppData\\Local");
    const std::string chrome = local + "/Google/Chrome/User Data";
    browser_seed::chromeProfile(chrome + "/Default", sizes);
    browser_seed::chromeLocalState(chrome, {"Default"});
    // Edge's only database is no database.
    browser_seed::chromeProfile(local + "/Microsoft/Edge/User Data/Default", sizes);
    browser_seed::chromeLocalState(local + "/Microsoft/Edge/User Data", {"Default"});
    writeHostFile(local + "/Microsoft/Edge/User Data/Default/History", "not a database");

    std::vector<std::string> captions;
    std::vector<bool> enabled;
    std::vector<std::string> shown;
    const auto look = [&] {
        const TOtherBrowserForm* f = OtherBrowserForm;
        for (Browser b : {Browser::Chrome, Browser::Edge}) {
            for (const TLabel* l : f->Group(b).links) {
                captions.push_back(l->Caption());
                enabled.push_back(l->isEnabled());
            }
            captions.push_back(f->Group(b).state->Caption());
        }
        for (const TOtherBrowserForm::TodaysGroup& g : f->TodaysGroups())
            if (g.group->isVisibleTo(OtherBrowserForm))
                shown.push_back(QStringToAnsi(g.group->title()));
    };
    open([&] {
        look();
        emit OtherBrowserForm->Group(Browser::Chrome).links[1]->clicked(); // Chrome's cookies
        emit OtherBrowserForm->Group(Browser::Edge).links[2]->clicked();   // Edge's history
        look();
    });
    const std::string cache = GetText(203);
    const std::string cookies = GetText(204);
    const std::string history = GetText(205);
    const std::string oneProfile = GetText(kTextOneProfile);
    // Chrome's cache: 6 + 3 + 1 files and an index in each of its four folders.
    const std::string chromeHistory =
        history + " (" + std::to_string(50 + 20 + 4 + 4 + 4 + 5 + 5 + 5) + ")";
    EXPECT_EQ(
        (std::vector<std::string>{cache + " (14)", cookies + " (12)", chromeHistory, oneProfile,
                                  cache + " (14)", cookies + " (12)", history, oneProfile,
                                  cache + " (14)", cookies + " (0)", chromeHistory, oneProfile,
                                  cache + " (14)", cookies + " (12)", history, oneProfile}),
        captions);
    EXPECT_EQ(std::vector<bool>(12, true), enabled);
    EXPECT_EQ((std::vector<std::string>{"Chrome: ", "Edge: ", "Chrome: ", "Edge: "}), shown);
    ASSERT_EQ(2u, messages.size());
    // Chrome's twelve cookies went; Edge's history stayed, with the reason.
    CleaningResult cookiesGone;
    cookiesGone.removed = 12;
    // The message window shows each line of the message on a line of its own.
    const auto lines = [](std::string message) {
        std::replace(message.begin(), message.end(), '\r', '\n');
        return message;
    };
    EXPECT_EQ(lines(DoneMessage(196, cookiesGone)), messages[0]);
    CleaningResult historyLeft;
    historyLeft.Note(FileNote("C:\\Users\\User\\AppData\\Local\\Microsoft\\Edge\\User "
                              "Data\\Default\\History",
                              GetText(kTextNotSqlite)));
    EXPECT_EQ(lines(DoneMessage(196, historyLeft)), messages[1]);
    EXPECT_EQ(GetText(kTextOldOperaGroup), QStringToAnsi(OtherBrowserForm->GroupBox1->title()));
    EXPECT_EQ(GetText(kTextOldFirefoxGroup), QStringToAnsi(OtherBrowserForm->GroupBox3->title()));
    for (int line = 0; line < 4; ++line) {
        EXPECT_EQ(GetText(kTextLegendCache + line), OtherBrowserForm->Legend[line]->Caption());
        // Every line shows whole, above the button.
        EXPECT_GE(OtherBrowserForm->Legend[line]->height(),
                  OtherBrowserForm->Legend[line]->heightForWidth(
                      OtherBrowserForm->Legend[line]->width()));
        EXPECT_LE(OtherBrowserForm->Legend[line]->geometry().bottom(),
                  OtherBrowserForm->BitBtn1->y());
    }
    EXPECT_FALSE(OtherBrowserForm->NoneFound->isVisibleTo(OtherBrowserForm));
}

// A running browser is named in its group before anything is cleaned, and its links are
// withheld; without any of today's browsers, the window says so.
TEST_P(TOtherBrowserFormTest, ARunningBrowserIsNamedBeforeTheUserCleans) {
    std::string none;
    open([&] {
        if (OtherBrowserForm->NoneFound->isVisibleTo(OtherBrowserForm))
            none = OtherBrowserForm->NoneFound->Caption();
    });
    EXPECT_EQ(GetText(kTextNoneFound), none);

    browser_seed::Sizes sizes;
    sizes.places = sizes.visits = sizes.cookies = 10;
    sizes.bookmarks = 2;
    sizes.sites = 3;
    const std::string firefox =
        platform.hostPath("C:\\Users\\User\\AppData\\Roaming\\Mozilla\\Firefox");
    for (const char* name : {"a.default-release", "b.work"})
        browser_seed::firefoxProfile(firefox + "/Profiles/" + name, "", sizes);
    browser_seed::firefoxProfilesIni(firefox, {"a.default-release", "b.work"});
    const auto before = browser_test::snapshot(firefox);
    std::string state;
    std::vector<bool> enabled;
    {
        browser_test::RunningBrowser running(
            platform.root(),
            "C:\\Users\\User\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\b.work\\parent.lock");
        ASSERT_TRUE(running.holding());
        open([&] {
            const TOtherBrowserForm::TodaysGroup& g = OtherBrowserForm->Group(Browser::Firefox);
            state = g.state->Caption();
            for (const TLabel* l : g.links)
                enabled.push_back(l->isEnabled());
        });
    }
    EXPECT_EQ(RunningNote("Firefox"), state);
    EXPECT_EQ(std::vector<bool>(3, false), enabled);
    auto after = browser_test::snapshot(firefox);
    after.erase(firefox + "/Profiles/b.work/parent.lock");
    EXPECT_EQ(std::vector<std::string>{}, browser_test::changed(before, after));
    // Closed, it is offered with both its profiles.
    open([&] { state = OtherBrowserForm->Group(Browser::Firefox).state->Caption(); });
    EXPECT_EQ(FillIn(GetText(kTextProfiles), {"2"}), state);
}
