// The other-browsers window: which links it offers, and a cleaning from one of them.
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
    EXPECT_EQ(std::vector<std::string>{"shown: Opera: " + GetText(204)}, busyDuringPause);
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

// Today's browsers: a group's links are offered when the browser's profiles are found, each
// showing what it would remove; a link cleans its part and says what it left and why, and the
// next showing counts again.
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
    const auto look = [&] {
        const TOtherBrowserForm* f = OtherBrowserForm;
        for (const TLabel* l : {f->Label10, f->Label11, f->Label12, f->Label13, f->Label14,
                                f->Label15, f->Label16, f->Label17, f->Label18}) {
            captions.push_back(l->Caption());
            enabled.push_back(l->isEnabled());
        }
    };
    open([&] {
        look();
        emit OtherBrowserForm->Label14->clicked(); // Chrome's cookies
        emit OtherBrowserForm->Label18->clicked(); // Edge's history
        look();
    });
    const std::string cache = GetText(203);
    const std::string cookies = GetText(204);
    const std::string history = GetText(205);
    // Chrome's cache: 6 + 3 + 1 files and an index in each of its four folders.
    EXPECT_EQ(
        (std::vector<std::string>{
            cache, cookies, history, cache + " (14)", cookies + " (12)",
            history + " (" + std::to_string(50 + 20 + 4 + 4 + 4 + 5 + 5 + 5) + ")", cache + " (14)",
            cookies + " (12)", history, cache, cookies, history, cache + " (14)", cookies + " (0)",
            history + " (" + std::to_string(50 + 20 + 4 + 4 + 4 + 5 + 5 + 5) + ")", cache + " (14)",
            cookies + " (12)", history}),
        captions);
    EXPECT_EQ((std::vector<bool>{false, false, false, true, true, true, true, true, true, false,
                                 false, false, true, true, true, true, true, true}),
              enabled);
    ASSERT_EQ(2u, messages.size());
    // Chrome's twelve cookies went; Edge's history stayed, with the reason.
    CleaningResult cookiesGone;
    cookiesGone.removed = 12;
    // The message window shows each line of the message on a line of its own.
    const auto shown = [](std::string message) {
        std::replace(message.begin(), message.end(), '\r', '\n');
        return message;
    };
    EXPECT_EQ(shown(DoneMessage(196, cookiesGone)), messages[0]);
    CleaningResult historyLeft;
    historyLeft.Note(FileNote("C:\\Users\\User\\AppData\\Local\\Microsoft\\Edge\\User "
                              "Data\\Default\\History",
                              GetText(kTextNotSqlite)));
    EXPECT_EQ(shown(DoneMessage(196, historyLeft)), messages[1]);
    EXPECT_EQ(GetText(361), QStringToAnsi(OtherBrowserForm->GroupBox5->title()));
}
