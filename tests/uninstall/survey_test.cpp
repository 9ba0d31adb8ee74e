#include "controls/WebBrowser.h"
#include "lang/TQwTrans2.h"
#include "platform/win32.h"
#include "shell/ProgramWindows.h"
#include "shell/startup.h"
#include "shell/u_Surfkolibri.h"
#include "support/application.h"
#include "support/pictures.h"
#include "support/window_fixture.h"
#include "ui/MyTricks.h"
#include "uninstall/u_survey.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

using testing_support::EnsureApplication;
using testing_support::PlatformTest;
using testing_support::writeHostFile;
using Args = std::vector<std::string>;

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class TFormSurveyTest : public PlatformTest {
  protected:
    void SetUp() override {
        EnsureApplication();
        platform.installDataFiles();
        ASSERT_TRUE(EnsureDataFolders(ProductName, false));
    }
    void TearDown() override {
        SetModalHook({});
        DestroyProgramWindows();
    }

    // The current language file: the shipped English texts, with the survey address
    // replaced (or left out when `address` is empty).
    void useSurveyAddress(const std::optional<std::string>& address) {
        std::string texts = "[0]\r\nENGLISH\r\n[1]\r\nSurfkolibri\r\n[252]\r\nTake part?\r\n";
        if (address) texts += "[253]\r\n" + *address + "\r\n";
        texts += "[END]\r\n";
        writeHostFile(dataHost("Surfkolibri.def"), texts);
    }
    std::string dataHost(const std::string& file) const {
        return platform.hostPath("C:\\Users\\User\\AppData\\Local") + "/Kravonel/Surfkolibri/" +
               file;
    }

    // Answers the question with `answer`, noting every box shown.
    void answerWith(QMessageBox::StandardButton answer) {
        SetModalHook([this, answer](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            ASSERT_NE(nullptr, box) << window->metaObject()->className();
            boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            box->button(answer)->click();
        });
    }

    // Runs the program with the arguments; `whenShown` runs once, as soon as the survey
    // window is visible. A program that does not end fails with 99 instead of hanging.
    int run(const std::vector<std::string>& args, const std::function<void()>& whenShown = {}) {
        std::vector<std::string> storage{"surfkolibri"};
        storage.insert(storage.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!FormSurvey || !FormSurvey->isVisible()) return;
            poll.stop();
            surveyShown = true;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible()) visibleWindows << w->metaObject()->className();
            if (whenShown) whenShown();
        });
        poll.start(5);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        return RunProgram(static_cast<int>(storage.size()), argv.data());
    }

    std::vector<SeenBox> boxes;
    bool surveyShown = false;
    QStringList visibleWindows;
};

TEST_F(TFormSurveyTest, BothUninstallWordsAskAndNoEndsTheRunWithoutAWindow) {
    useSurveyAddress("file:///C:/Survey/survey.htm");
    answerWith(QMessageBox::No);
    for (const Args& args : std::vector<Args>{{"uninstall"}, {"/uninstall"}, {"uninstall", "x"}}) {
        SCOPED_TRACE(args[0]);
        boxes.clear();
        EXPECT_EQ(0, run(args));
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(QStringLiteral("Surfkolibri"), boxes[0].title);
        EXPECT_EQ(QStringLiteral("Take part?"), boxes[0].text);
        EXPECT_EQ(QMessageBox::Question, boxes[0].icon);
        EXPECT_EQ(QMessageBox::Yes | QMessageBox::No, boxes[0].buttons);
        EXPECT_FALSE(surveyShown);
        EXPECT_EQ(nullptr, Form1);
    }
    // The routine itself: declining creates no survey window.
    InitTranslation(ProductName);
    RunUninstallSurvey();
    EXPECT_EQ(nullptr, FormSurvey);
    EXPECT_EQ(2u, boxes.size());
}

TEST_F(TFormSurveyTest, TheWordInCapitalsIsAnUnattendedRunThatDoesNotAsk) {
    writeHostFile(dataHost("Surfkolibri.cho"), "2.8");
    std::vector<std::string> modal;
    SetModalHook([&](QWidget* window) {
        modal.push_back(window->metaObject()->className());
        RunModalLoop(window);
    });
    EXPECT_EQ(0, run({"/UNINSTALL"}));
    EXPECT_EQ(std::vector<std::string>{"TForm4"}, modal);
    EXPECT_FALSE(surveyShown);
}

TEST_F(TFormSurveyTest, YesShowsTheLocalSurveyUntilAClosingLinkEndsTheProgram) {
    writeHostFile(platform.hostPath("C:\\Survey\\survey.htm"),
                  "<html><body><h1>Our survey</h1><p><a href=\"next.htm\">Next question</a>"
                  "</p></body></html>");
    writeHostFile(platform.hostPath("C:\\Survey\\next.htm"),
                  "<html><body><p>Question two</p><p><a href=\"Close.html\">Send</a></p>"
                  "<p><a href=\"next.htm?step=ClearAll\">Forget it</a></p></body></html>");
    useSurveyAddress("file:///C:/Survey/survey.htm");
    answerWith(QMessageBox::Yes);
    // Either closing link ends the survey: a page named Close, or "clearall" in the query.
    for (const char* link : {"Send", "Forget it"}) {
        SCOPED_TRACE(link);
        surveyShown = false;
        visibleWindows.clear();
        QString title, firstPage, secondPage;
        QSize size;
        bool resizable = false, white = false, stayedAfterNext = false, closedByLink = false;
        const int code = run({"uninstall"}, [&] {
            title = FormSurvey->windowTitle();
            size = FormSurvey->size();
            resizable = FormSurvey->minimumSize() != FormSurvey->maximumSize();
            white = FormSurvey->palette().color(QPalette::Window) == QColor(Qt::white);
            firstPage = FormSurvey->WebBrowser1->DocumentText();
            QTextBrowser* view = FormSurvey->WebBrowser1->PageView();
            ASSERT_TRUE(testing_support::clickLink(view, QStringLiteral("Next question")));
            secondPage = FormSurvey->WebBrowser1->DocumentText();
            stayedAfterNext = FormSurvey->isVisible();
            ASSERT_TRUE(testing_support::clickLink(view, QString::fromLatin1(link)));
            closedByLink = !FormSurvey->isVisible();
        });
        EXPECT_EQ(0, code);
        ASSERT_TRUE(surveyShown);
        EXPECT_EQ(QStringList{"TFormSurvey"}, visibleWindows); // the only window of the run
        EXPECT_EQ(QStringLiteral("Surfkolibri"), title);
        EXPECT_EQ(QSize(737, 512), size);
        EXPECT_TRUE(resizable);
        EXPECT_TRUE(white);
        EXPECT_TRUE(firstPage.contains(QStringLiteral("Our survey"))) << firstPage.toStdString();
        EXPECT_TRUE(secondPage.contains(QStringLiteral("Question two")))
            << secondPage.toStdString();
        EXPECT_TRUE(stayedAfterNext);
        EXPECT_TRUE(closedByLink);
        EXPECT_EQ(nullptr, Form1);
    }
}

TEST_F(TFormSurveyTest, UnusualSurveyAddresses) {
    answerWith(QMessageBox::Yes);

    // An address that itself asks to close ends the survey before the window shows.
    useSurveyAddress("http://www.kravonel.example/survey/CloseNow.php");
    EXPECT_EQ(0, run({"uninstall"}));
    EXPECT_FALSE(surveyShown);

    // No network: the browser's own page says so; the user closes the window to end.
    useSurveyAddress("http://www.kravonel.example/survey/surfkolibri.php?lang=en");
    QString page;
    EXPECT_EQ(0, run({"uninstall"}, [&] {
                  page = FormSurvey->WebBrowser1->DocumentText();
                  FormSurvey->close();
              }));
    EXPECT_TRUE(surveyShown);
    EXPECT_TRUE(page.contains(QStringLiteral("The page cannot be shown"))) << page.toStdString();

    // No survey address: an empty page, closed the same way.
    useSurveyAddress(std::nullopt);
    surveyShown = false;
    page = QStringLiteral("unset");
    EXPECT_EQ(0, run({"uninstall"}, [&] {
                  page = FormSurvey->WebBrowser1->DocumentText();
                  FormSurvey->close();
              }));
    EXPECT_TRUE(surveyShown);
    EXPECT_TRUE(page.isEmpty()) << page.toStdString();

    // No language file at all: an empty question and caption, and an empty page.
    std::remove(dataHost("Surfkolibri.def").c_str());
    boxes.clear();
    surveyShown = false;
    QString windowTitle = QStringLiteral("unset");
    EXPECT_EQ(0, run({"/uninstall"}, [&] {
                  windowTitle = FormSurvey->windowTitle();
                  FormSurvey->close();
              }));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_TRUE(boxes[0].text.isEmpty());
    EXPECT_TRUE(boxes[0].title.isEmpty());
    EXPECT_TRUE(surveyShown);
    EXPECT_TRUE(windowTitle.isEmpty());
}

} // namespace
