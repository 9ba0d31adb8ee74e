#include "automation/AutoPanel.h"
#include "cache/BrowsercachePanel.h"
#include "controls/aniicon.h"
#include "favorites/FavoritenPanel.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "settings/IEPowerPanel.h"
#include "shell/AboutPanel.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/ProgramWindows.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_Surfkolibri.h"
#include "support/pictures.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/MyTricks.h"

#include <QApplication>
#include <QKeyEvent>

using testing_support::WindowTest;

namespace {

std::vector<QWidget*> visiblePanels(TForm1* f) {
    std::vector<QWidget*> shown;
    for (QWidget* p : std::initializer_list<QWidget*>{f->WillkommenPanel, f->SicherheitsPanel,
                                                      f->BrowsercachePanel, f->FavoritenPanel,
                                                      f->IEPowerPanel, f->AutoPanel, f->AboutPanel})
        if (p->isVisibleTo(f)) shown.push_back(p);
    return shown;
}

} // namespace

class MainWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};

TEST_F(MainWindowTest, EachSectionButtonShowsOnlyItsPage) {
    TForm1* f = Form1;
    const std::pair<QToolButton*, QWidget*> sections[] = {
        {f->SpeedButton2, f->SicherheitsPanel}, {f->SpeedButton3, f->BrowsercachePanel},
        {f->SpeedButton4, f->FavoritenPanel},   {f->SpeedButton5, f->IEPowerPanel},
        {f->SpeedButton6, f->AutoPanel},        {f->SpeedButton7, f->AboutPanel},
        {f->SpeedButton1, f->WillkommenPanel}};
    int sounds = 0;
    for (const auto& [button, panel] : sections) {
        button->click();
        EXPECT_EQ(std::vector<QWidget*>{panel}, visiblePanels(f));
        EXPECT_TRUE(button->isChecked());
        EXPECT_EQ(++sounds, clickSounds());
    }
    // Clicking the current section again shows the same page once more.
    f->SpeedButton1->click();
    EXPECT_EQ(std::vector<QWidget*>{f->WillkommenPanel}, visiblePanels(f));
}

TEST_F(MainWindowTest, WeiterChainVisitsTheSectionsInBarOrderAndPushesTheirButtons) {
    TForm1* f = Form1;
    struct Step {
        QPushButton* next;
        QWidget* target;
        QToolButton* button;
    };
    const Step chain[] = {
        {f->WillkommenPanel->BitBtn1, f->SicherheitsPanel, f->SpeedButton2},
        {f->SicherheitsPanel->BitBtn2, f->BrowsercachePanel, f->SpeedButton3},
        {f->BrowsercachePanel->BitBtn3, f->FavoritenPanel, f->SpeedButton4},
        {f->FavoritenPanel->BitBtn4, f->IEPowerPanel, f->SpeedButton5},
        {f->IEPowerPanel->BitBtn5, f->AutoPanel, f->SpeedButton6},
        {f->AutoPanel->BitBtn6, f->AboutPanel, f->SpeedButton7},
        {f->AboutPanel->BitBtn7, f->WillkommenPanel, f->SpeedButton1},
    };
    int sounds = 0;
    for (const auto& step : chain) {
        step.next->click();
        EXPECT_EQ(std::vector<QWidget*>{step.target}, visiblePanels(f));
        EXPECT_TRUE(step.button->isChecked());
        // Every step plays the click exactly once (BitBtn2 through the cache button's handler).
        EXPECT_EQ(++sounds, clickSounds());
        int down = 0;
        for (QToolButton* b : {f->SpeedButton1, f->SpeedButton2, f->SpeedButton3, f->SpeedButton4,
                               f->SpeedButton5, f->SpeedButton6, f->SpeedButton7})
            down += b->isChecked();
        EXPECT_EQ(1, down);
    }
}

TEST_F(MainWindowTest, LinksOpenTheirTargetsAndOnlyLabelsPlayTheClick) {
    ApplyLanguageTexts();
    TForm1* f = Form1;
    emit f->AniIcon[3]->clicked();
    EXPECT_EQ(0, clickSounds());
    emit f->WillkommenPanel->Label3->clicked();
    emit f->AboutPanel->Label12->clicked();
    EXPECT_EQ(2, clickSounds());
    const auto targets = executedTargets();
    ASSERT_EQ(3u, targets.size());
    EXPECT_EQ(GetText(3), targets[0]);
    EXPECT_EQ(GetText(3), targets[1]);
    EXPECT_EQ("mailto:" + GetText(4), targets[2]);
}

// Without a mouse: Tab goes from section button to section button, Enter or Space presses
// one, a link takes Enter; the plain dialogs have no minimise or maximise button, the list
// windows may be minimised.
TEST_F(MainWindowTest, SectionsAndLinksTakeTheKeyboardAndDialogsHaveTheirBorders) {
    ApplyLanguageTexts();
    Form1->show();
    Form1->activateWindow();
    auto press = [](QWidget* widget, int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "");
        QApplication::sendEvent(widget, &down);
        QApplication::sendEvent(widget, &up);
    };
    Form1->SpeedButton1->setFocus();
    ASSERT_TRUE(testing_support::RunEventsUntil([] { return Form1->SpeedButton1->hasFocus(); }));
    press(Form1->SpeedButton1, Qt::Key_Tab);
    EXPECT_TRUE(Form1->SpeedButton2->hasFocus());
    press(Form1->SpeedButton2, Qt::Key_Return);
    EXPECT_TRUE(Form1->SicherheitsPanel->isVisible());
    EXPECT_TRUE(Form1->SpeedButton2->isChecked());
    EXPECT_FALSE(Form1->SpeedButton1->isChecked());
    press(Form1->SpeedButton7, Qt::Key_Space);
    EXPECT_TRUE(Form1->AboutPanel->isVisible());
    EXPECT_EQ(Qt::StrongFocus, Form1->AboutPanel->Label12->focusPolicy());
    press(Form1->AboutPanel->Label12, Qt::Key_Return);
    EXPECT_EQ(std::vector<std::string>{"mailto:" + GetText(4)}, executedTargets());

    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowType() != Qt::Dialog) continue;
        SCOPED_TRACE(window->metaObject()->className());
        const bool list = window->objectName() == "HistoryForm" ||
                          window->objectName() == "TypedURLsForm" ||
                          window->objectName() == "MruForm";
        EXPECT_EQ(list, bool(window->windowFlags() & Qt::WindowMinimizeButtonHint));
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    }
}

TEST_F(MainWindowTest, HelpAndDocumentationLinksOpenTheDataFolderFilesOrNothing) {
    TForm1* f = Form1;
    SelectLanguage("ENGLISH"); // installs help and documentation into the data folder
    emit f->WillkommenPanel->Label2->clicked();
    emit f->WillkommenPanel->Label1->clicked();
    auto targets = executedTargets();
    ASSERT_EQ(2u, targets.size());
    EXPECT_EQ(GetDataFolder(ProductName) + "Surfkolibri.chm", targets[0]);
    EXPECT_EQ(GetDataFolder(ProductName) + "Surfkolibri.doc", targets[1]);
    // Without the files the links do nothing (but still click).
    DeleteFileA((GetDataFolder(ProductName) + "Surfkolibri.chm").c_str());
    DeleteFileA((platform.programFolderWindows() + "Surfkolibri.chm").c_str());
    emit f->WillkommenPanel->Label2->clicked();
    EXPECT_EQ(2u, executedTargets().size());
    EXPECT_EQ(3, clickSounds());
}

TEST_F(MainWindowTest, StartUpTimerSelectsTheCurrentLanguageIgnoringCaseAndShowsTheWindow) {
    TForm1* f = Form1;
    f->Timer1->start();
    f->Timer1Timer();
    EXPECT_FALSE(f->Timer1->isActive());
    QComboBox* box = f->AboutPanel->ComboBox1;
    ASSERT_EQ(2, box->count());
    EXPECT_EQ(QStringLiteral("ENGLISH"), box->itemText(0));
    EXPECT_EQ(QStringLiteral("DEUTSCH"), box->itemText(1));
    EXPECT_EQ(0, box->currentIndex());
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->WillkommenPanel->isVisible());
    EXPECT_FALSE(f->WillkommenPanel->Label39->isVisible());
}

TEST_F(MainWindowTest, StartUpTimerTakesTheLastMatchAndFallsBackToEntryZero) {
    // Language 2 names itself "deutsch": the last entry matching "DEUTSCH" wins.
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri.t02",
                                   "[0]\r\ndeutsch\r\n[END]\r\n");
    SelectLanguage("DEUTSCH");
    Form1->Timer1Timer();
    EXPECT_EQ(2, Form1->AboutPanel->ComboBox1->currentIndex());
    // A current name that matches nothing selects entry 0.
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri.t02",
                                   "[0]\r\nKLINGON\r\n[END]\r\n");
    SelectLanguage("KLINGON");
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri.t02",
                                   "[0]\r\nVULCAN\r\n[END]\r\n");
    Form1->Timer1Timer();
    EXPECT_EQ(0, Form1->AboutPanel->ComboBox1->currentIndex());
}

TEST_F(MainWindowTest, UnattendedModeKeepsTheWindowHiddenAfterTheStartUpTimer) {
    DestroyProgramWindows();
    StartProgram(0, {"cb"});
    Form1->Timer1Timer();
    EXPECT_FALSE(Form1->isVisible());
}

TEST_F(MainWindowTest, PresenterPictureShowsWithItsLabelWhenThereIsOne) {
    EXPECT_FALSE(Form1->WillkommenPanel->Label39->isVisibleTo(Form1));
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri_pic.jpg",
                                   testing_support::encodeRgbJpeg(40, 20, Qt::red, Qt::blue));
    Form1->LoadPresenterPicture();
    EXPECT_TRUE(Form1->WillkommenPanel->Label39->isVisibleTo(Form1));
    ASSERT_TRUE(Form1->WillkommenPanel->Image1->HasPicture());
    EXPECT_EQ(QSize(40, 20), Form1->WillkommenPanel->Image1->pixmap().size());
}

TEST_F(MainWindowTest, PresenterPictureShowsWithItsLabelOnlyWhenItDecodes) {
    // A broken picture leaves the page as designed.
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri_pic.jpg", "not a jpeg");
    Form1->LoadPresenterPicture();
    EXPECT_FALSE(Form1->WillkommenPanel->Label39->isVisibleTo(Form1));
    EXPECT_FALSE(Form1->WillkommenPanel->Image1->HasPicture());
}

TEST_F(MainWindowTest, ExitButtonAppearsOnShowAndClosesTheWindow) {
    EXPECT_FALSE(Form1->SpeedButton9->isVisibleTo(Form1));
    Form1->show();
    EXPECT_TRUE(Form1->SpeedButton9->isVisible());
    Form1->SpeedButton9->click();
    EXPECT_TRUE(Form1->Closed());
    EXPECT_FALSE(Form1->isVisible());
}

TEST_F(MainWindowTest, AboutPageLanguageBoxRestartsOnlyForAnotherLanguage) {
    Form1->Timer1Timer();
    QComboBox* box = Form1->AboutPanel->ComboBox1;
    // The current language: nothing happens.
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_TRUE(executedTargets().empty());
    EXPECT_FALSE(Form1->Closed());
    // Another one: its files are installed, a new instance starts and this one ends.
    box->setCurrentIndex(1);
    emit box->activated(1);
    const auto targets = executedTargets();
    ASSERT_EQ(1u, targets.size());
    EXPECT_EQ(platform.programFolderWindows() + "surfkolibri", targets[0]);
    EXPECT_TRUE(Form1->Closed());
    std::string def;
    ASSERT_TRUE(ReadWholeFile(GetDataFolder(ProductName) + "Surfkolibri.def", def));
    EXPECT_NE(std::string::npos, def.find("DEUTSCH"));
}
