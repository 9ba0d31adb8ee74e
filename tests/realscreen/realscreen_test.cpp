// What a user sees on a real X server with a window manager (scripts/realscreen.sh starts
// both): windows as X maps them, minimised and restored by the window manager, clicked by real
// pointer events, and modal windows in their real loop, without the test hook.
#include "cache/KeepCookies.h"
#include "cache/u_cookieForm.h"
#include "cache/u_keepCookies.h"
#include "controls/longlist.h"
#include "controls/stdctrls.h"
#include "lang/TQwTrans2.h"
#include "settings/IEPowerPanel.h"
#include "settings/u_ChangeStartPageForm.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/ProgramWindows.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_Surfkolibri.h"
#include "support/cache_entries.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "traces/UrlHistory.h"
#include "traces/u_history.h"
#include "ui/MyTricks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

using testing_support::RunEventsUntil;

namespace {

// What an X client prints, as text.
std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

std::string idOf(const QWidget* window) {
    return std::to_string(window->winId());
}

// Mapped and on screen, as X itself says.
bool viewable(const QWidget* window) {
    return output("xwininfo -id " + idOf(window)).find("IsViewable") != std::string::npos;
}

// A real pointer click in the middle of the widget, which X delivers (or a modal window
// blocks) as it would a user's.
void click(const QWidget* widget) {
    const QPoint centre = widget->mapToGlobal(widget->rect().center());
    output("xdotool mousemove --sync " + std::to_string(centre.x()) + " " +
           std::to_string(centre.y()) + " click 1");
}

// Steps that run one after another from whatever event loop is running (a modal window's
// own, as in the program): each is tried every 20 ms until it says it is done. Between two
// tries control is back in that loop, which would notice a window going away.
class Steps {
  public:
    explicit Steps(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (next_ < steps_.size() && steps_[next_]()) {
                ++next_;
                waited_.restart();
            } else if (waited_.elapsed() > 10000) {
                // A step that never comes true fails the test and closes the modal windows,
                // so that the test ends instead of waiting for a user.
                ADD_FAILURE() << "step " << next_ << " never came true";
                next_ = steps_.size();
                while (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            }
            if (done()) timer_.stop();
        });
        waited_.start();
        timer_.start(20);
    }
    bool done() const { return next_ == steps_.size(); }

  private:
    std::vector<std::function<bool()>> steps_;
    std::size_t next_ = 0;
    QElapsedTimer waited_;
    QTimer timer_;
};

std::string startPage() {
    return ReadUserRegString("Software\\Microsoft\\Internet Explorer\\Main", "Start Page");
}

class RealScreenTest : public testing_support::WindowTest {
  protected:
    void SetUp() override {
        testing_support::EnsureApplication();
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X server: run through scripts/realscreen.sh";
        WindowTest::SetUp();
        // Modal windows run their own loop, as in the program.
        SetModalHook({});
    }

    // Opens a modal window (open returns when its loop ends) and, from that loop: once the
    // window is on screen runs shown, minimises it through the window manager, checks that the
    // loop goes on and runs minimised, restores it, runs restored, and clicks closer.
    static void minimiseAndRestore(QWidget* window, const std::function<void()>& open,
                                   QWidget* closer, const std::function<void()>& shown,
                                   const std::function<void()>& minimised,
                                   const std::function<void()>& restored) {
        bool returned = false;
        int ticks = 0;
        Steps steps({
            [&] {
                if (!viewable(window)) return false;
                shown();
                output("xdotool windowminimize --sync " + idOf(window));
                return true;
            },
            [&] {
                // Under heavy load the window manager may drop a request: ask again now and
                // then.
                if (++ticks % 100 == 0) output("xdotool windowminimize " + idOf(window));
                if (viewable(window)) return false;
                ticks = 0;
                return true;
            },
            [&] {
                if (++ticks < 10) return false;
                EXPECT_FALSE(returned);
                minimised();
                output("xdotool windowactivate --sync " + idOf(window));
                ticks = 0;
                return true;
            },
            [&] { return viewable(window) && ++ticks >= 10; },
            [&] {
                restored();
                click(closer);
                return true;
            },
            [&] { return !window->isVisible(); },
        });
        open();
        returned = true;
        EXPECT_TRUE(RunEventsUntil([&] { return steps.done(); }));
        EXPECT_FALSE(window->isVisible());
    }

    void showMainWindow() {
        StartProgram();
        ApplyLanguageTexts();
        Form1->show();
        ASSERT_TRUE(RunEventsUntil([] { return viewable(Form1); }));
    }
};

} // namespace

// The race of the first start: the language window waits alone for a choice, however quickly
// the window manager answers the start-up's own requests.
TEST_F(RealScreenTest, AFirstStartShowsOnlyTheLanguageWindow) {
    const std::string program = std::string(SURFKOLIBRI_BUILD_DIR) + "/surfkolibri";
    for (int start = 0; start < 10; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        const std::string root = platform.root() + "-first-" + std::to_string(start);
        const std::string home = root + "-home";
        std::filesystem::create_directories(home);
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SURFKOLIBRI_PLATFORM", QString::fromStdString(root));
        environment.insert("HOME", QString::fromStdString(home));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(home + "/config"));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home));
        run.setProcessEnvironment(environment);
        run.start(QString::fromStdString(program), {});
        ASSERT_TRUE(run.waitForStarted());
        const std::string pid = std::to_string(run.processId());
        // The program's windows on screen, by size and title: the language window is the
        // 193 x 143 one. The splash may come and go before it; once it is up, it stays alone.
        auto onScreen = [&] {
            std::set<std::string> windows;
            const std::string ids = output("xdotool search --onlyvisible --pid " + pid);
            std::size_t at = 0;
            while (at < ids.size()) {
                const std::size_t end = ids.find('\n', at);
                const std::string id = ids.substr(at, end - at);
                at = end == std::string::npos ? ids.size() : end + 1;
                if (id.empty()) continue;
                std::string title = output("xdotool getwindowname " + id);
                if (!title.empty() && title.back() == '\n') title.pop_back();
                const std::string geometry = output("xdotool getwindowgeometry " + id);
                const std::size_t size = geometry.find("Geometry: ");
                windows.insert(
                    title + " " +
                    (size == std::string::npos
                         ? std::string("?")
                         : geometry.substr(size + 10, geometry.find('\n', size) - size - 10)));
            }
            return windows;
        };
        const std::set<std::string> languageWindowAlone{"Surfkolibri 193x143"};
        QElapsedTimer waited;
        waited.start();
        std::set<std::string> seen;
        while (!seen.count(*languageWindowAlone.begin()) && waited.elapsed() < 10000)
            seen = onScreen();
        std::set<std::string> titles = seen;
        for (int again = 0; again < 8; ++again)
            for (const std::string& window : onScreen())
                titles.insert(window);
        run.kill();
        run.waitForFinished();
        EXPECT_EQ(languageWindowAlone, titles);
    }
}

// Minimising the start-page window with the window manager is no answer: the window stays
// modal, nothing half-typed reaches the registry, restoring it keeps the typing, and once it
// is closed the main window takes real clicks again.
TEST_F(RealScreenTest, MinimisingTheStartPageWindowKeepsItModalAndWritesNothing) {
    showMainWindow();
    emit Form1->SpeedButton5->clicked();
    const std::string before = startPage();
    TChangeStartPageForm* window = ChangeStartPageForm;
    // "Discard" closes it at the end, taking the typing with it.
    minimiseAndRestore(
        window, [] { emit Form1->IEPowerPanel->Label46->clicked(); }, window->Label4,
        [&] { window->Edit1->setText(QStringLiteral("http://half.typed.example/")); },
        [&] {
            EXPECT_EQ(before, startPage());
            EXPECT_EQ(window, QApplication::activeModalWidget());
        },
        [&] { EXPECT_EQ(QStringLiteral("http://half.typed.example/"), window->Edit1->text()); });
    EXPECT_EQ(before, startPage());
    EXPECT_EQ(nullptr, QApplication::activeModalWidget());

    ASSERT_TRUE(RunEventsUntil([] { return viewable(Form1); }));
    click(Form1->SpeedButton1);
    EXPECT_TRUE(RunEventsUntil([] { return Form1->WillkommenPanel->isVisible(); }));
}

// The History window hides the main window while it is open, stays modal when minimised, and
// the main window is back on screen when it closes.
TEST_F(RealScreenTest, TheMainWindowIsBackOnScreenAfterTheHistoryWindow) {
    showMainWindow();
    // A visit to list: an empty history would close the window with a message at once.
    HistoryForm->UrlHistory1->AddUrl(u"http://visited.example/", u"Visited");
    emit Form1->SpeedButton2->clicked();
    auto mainWindowHidden = [] { EXPECT_FALSE(viewable(Form1)); };
    minimiseAndRestore(
        HistoryForm, [] { emit Form1->SicherheitsPanel->Label21->clicked(); }, HistoryForm->BitBtn1,
        mainWindowHidden, mainWindowHidden, [] {});
    EXPECT_TRUE(RunEventsUntil([] { return viewable(Form1); }));
}

namespace {

// Every text of a window as the X server's fonts draw it: each visible label shows its whole
// text inside its window (and its group box), no two visible controls side by side overlap,
// and a link is blue, underlined and shows the hand.
void expectTextsFit(QWidget* window) {
    std::vector<QWidget*> controls;
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !child->isWindow()) controls.push_back(child);
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) {
        for (QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (!label->isVisible()) continue;
            EXPECT_TRUE(box->contentsRect().contains(label->geometry()))
                << label->text().toStdString() << " leaves its group box";
        }
    }
    for (QWidget* control : controls) {
        EXPECT_TRUE(window->rect().contains(control->geometry()))
            << control->metaObject()->className() << " leaves the window";
        if (auto* label = qobject_cast<TLabel*>(control)) {
            const std::string text = label->text().toStdString();
            if (!label->wordWrap())
                EXPECT_LE(label->sizeHint().width(), label->width()) << text << " is cut";
            else
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << text << " is cut";
            if (label->focusPolicy() == Qt::StrongFocus) {
                EXPECT_TRUE(label->font().underline()) << text;
                EXPECT_EQ(QColor(0, 0, 255), label->palette().color(QPalette::WindowText)) << text;
                EXPECT_EQ(Qt::PointingHandCursor, label->cursor().shape()) << text;
            }
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            const auto name = [](const QWidget* w) {
                const auto* label = qobject_cast<const QLabel*>(w);
                return label ? label->text() : QString(w->metaObject()->className());
            };
            const QString what = name(a) + " / " + name(b);
            EXPECT_FALSE(a->geometry().intersects(b->geometry())) << what.toStdString();
        }
}

// The window as the screen shows it, into the folder SURFKOLIBRI_REALSCREEN_PICTURES names
// (nothing without it), to be looked at.
void picture(QWidget* window, const std::string& name) {
    const QByteArray folder = qgetenv("SURFKOLIBRI_REALSCREEN_PICTURES");
    if (folder.isEmpty()) return;
    QApplication::processEvents();
    const QRect frame = window->frameGeometry();
    window->screen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(QString::fromLocal8Bit(folder) + "/" + QString::fromStdString(name) + ".png");
}

} // namespace

// The cookie window with a kept cookie selected and the keep-list window it opens, in both
// languages, as the X server's fonts draw them: every text fits, the links look like links,
// and a real click on the link opens the list, which a real click closes again.
TEST_F(RealScreenTest, TheKeepListTextsFitInBothLanguages) {
    testing_support::putCookie("mail.example");
    testing_support::putCookie("www.bank-of-the-north.example");
    testing_support::putCookie("tracker.example");
    TKeepCookies keep;
    ASSERT_EQ(ERROR_SUCCESS, keep.Add("bank-of-the-north.example"));
    for (int language : {0, 1}) {
        SCOPED_TRACE("language " + std::to_string(language));
        const std::string suffix = language == 0 ? "en" : "de";
        StartProgram(language);
        ApplyLanguageTexts();
        bool listShown = false;
        Steps steps({
            [&] {
                if (!viewable(CookieForm)) return false;
                TCookieForm* c = CookieForm;
                for (int i = 0; i < c->Listbox1->count(); ++i)
                    if (c->IsKept(c->Listbox1->item(i))) c->Listbox1->setCurrentRow(i);
                EXPECT_EQ(GetText(341), c->Label12->Caption());
                expectTextsFit(c);
                c->Listbox1->setCurrentRow(0);
                expectTextsFit(c);
                c->Listbox1->setCurrentRow(1);
                picture(c, "cookies_" + suffix);
                click(c->Label13);
                return true;
            },
            [&] {
                if (!KeepCookiesForm->isVisible() || !viewable(KeepCookiesForm)) return false;
                TKeepCookiesForm* k = KeepCookiesForm;
                listShown = k->ListBox1->count() == 1;
                expectTextsFit(k);
                picture(k, "keep_cookies_" + suffix);
                click(k->BitBtn1);
                return true;
            },
            [&] {
                if (KeepCookiesForm->isVisible()) return false;
                CookieForm->Close();
                return true;
            },
        });
        CookieForm->ShowModal();
        EXPECT_TRUE(RunEventsUntil([&] { return steps.done(); }));
        EXPECT_TRUE(listShown);
        DestroyProgramWindows();
    }
}
