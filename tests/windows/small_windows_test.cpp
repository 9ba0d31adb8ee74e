#include "cache/u_info.h"
#include "controls/aniicon.h"
#include "lang/ApplyLanguageTexts.h"
#include "lang/LanguageSwitch.h"
#include "lang/TQwTrans2.h"
#include "lang/u_language.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/AboutPanel.h"
#include "shell/MyTricks.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_ShowMessage2.h"
#include "shell/u_Surfkolibri.h"
#include "shell/u_beschaeftigt.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include <QGroupBox>

#include <QApplication>
#include <QElapsedTimer>

using testing_support::RunEventsFor;
using testing_support::WindowTest;

class SmallWindowsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};

TEST_F(SmallWindowsTest, BusyAnimationRunsHundredTicksThenClosesItself) {
    TForm2* busy = Form2;
    busy->Label2->SetCaption(std::string("working"));
    busy->FakeTimer->setInterval(1);
    busy->Label2->setVisible(true);
    busy->FakeTimer->start();
    int ticksSeen = 0;
    onModal = [&](QWidget* window) {
        EXPECT_TRUE(busy->AniIcon1->Animated());
        QObject::connect(busy->FakeTimer, &QTimer::timeout, [&] { ++ticksSeen; });
        testing_support::RunEventsFor(0);
        RunModalLoop(window);
    };
    QElapsedTimer clock;
    clock.start();
    busy->ShowModal();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(std::vector<std::string>{"TForm2"}, modalWindows);
    EXPECT_FALSE(busy->isVisible());
    EXPECT_FALSE(busy->FakeTimer->isActive());
    EXPECT_EQ(0, busy->ProgressBar1->value());
    EXPECT_GE(ticksSeen, 99);
    // Closing put everything back for the next use.
    EXPECT_EQ(50, busy->FakeTimer->interval());
    EXPECT_FALSE(busy->Label2->isVisibleTo(busy));
    EXPECT_FALSE(busy->Panel1->isVisibleTo(busy));
    EXPECT_FALSE(busy->AniIcon1->Animated());
}

TEST_F(SmallWindowsTest, BusyNoteLeavesTheDefaultIntervalAndKeepsTheBarPosition) {
    TForm2* busy = Form2;
    busy->FakeTimer->setInterval(12);
    busy->Label2->SetCaption(std::string("first line"));
    busy->Label3->SetCaption(std::string("second line"));
    busy->Label2->setVisible(true);
    busy->Label3->setVisible(true);
    busy->show();
    EXPECT_EQ(337, busy->Label2->width());
    EXPECT_TRUE(busy->Label2->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(busy->AniIcon1->Animated());
    busy->hide();
    EXPECT_FALSE(busy->AniIcon1->Animated());
    // Driven progress: the caller sets the bar; closing does not reset its position.
    busy->Panel1->setVisible(true);
    busy->ProgressBar1->setValue(0);
    busy->show();
    busy->ProgressBar1->setValue(60);
    busy->Close();
    EXPECT_EQ(50, busy->FakeTimer->interval());
    EXPECT_EQ(60, busy->ProgressBar1->value());
    EXPECT_FALSE(busy->Panel1->isVisibleTo(busy));
    EXPECT_FALSE(busy->Label3->isVisibleTo(busy));
}

TEST_F(SmallWindowsTest, ShowMessage2CentresEveryLineInItsLabel) {
    int heightSeen = 0;
    QString textSeen;
    onModal = [&](QWidget*) {
        TLabel* label = ShowMessage2Form->Label2;
        EXPECT_EQ(225, label->width());
        EXPECT_TRUE(label->alignment() & Qt::AlignHCenter);
        heightSeen = label->height();
        textSeen = label->text();
        // "weiter" closes the window.
        ShowMessage2Form->BitBtn2->click();
        EXPECT_FALSE(ShowMessage2Form->isVisible());
    };
    ShowMessage2("one line");
    const int oneLine = QFontMetrics(ShowMessage2Form->Label2->font()).lineSpacing();
    EXPECT_GE(heightSeen, oneLine);
    ShowMessage2(std::string("Disk space freed: 12kb") + '\r' + "The cache has been emptied.");
    EXPECT_EQ(QStringLiteral("Disk space freed: 12kb\nThe cache has been emptied."), textSeen);
    EXPECT_GE(heightSeen, 2 * oneLine);
    EXPECT_EQ(2u, modalWindows.size());
    EXPECT_EQ(2, clickSounds());
}

TEST_F(SmallWindowsTest, LanguageWindowWithMarkerClosesItselfAndStartsTheTimer) {
    WriteFileIfMissing(LanguageMarkerPath(), ProgramVersion);
    onModal = [](QWidget* window) { RunModalLoop(window); };
    Form4->ShowModal();
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Form4->windowState() & Qt::WindowMinimized);
}

TEST_F(SmallWindowsTest, LanguageWindowWithoutMarkerWaitsForAChoiceAndRestarts) {
    ASSERT_FALSE(FileExistsA(LanguageMarkerPath()));
    onModal = [&](QWidget*) {
        testing_support::RunEventsUntil(
            [] { return !(Form4->windowState() & Qt::WindowMinimized); });
        // It is still there, restored, with OK disabled until a choice is made.
        EXPECT_TRUE(Form4->isVisible());
        EXPECT_FALSE(Form4->windowState() & Qt::WindowMinimized);
        EXPECT_FALSE(Form1->Timer1->isActive());
        ASSERT_EQ(2, Form4->ComboBox1->count());
        EXPECT_FALSE(Form4->BitBtn1->isEnabled());
        Form4->ComboBox1->setCurrentIndex(1);
        emit Form4->ComboBox1->activated(1);
        EXPECT_TRUE(Form4->BitBtn1->isEnabled());
        Form4->BitBtn1->click();
    };
    Form4->ShowModal();
    EXPECT_EQ(ProgramVersion, ReadFirstLine(LanguageMarkerPath()));
    const auto targets = executedTargets();
    ASSERT_EQ(1u, targets.size());
    EXPECT_EQ(platform.programFolderWindows() + "surfkolibri", targets[0]);
    EXPECT_TRUE(Form1->Closed());
    EXPECT_FALSE(Form4->isVisible());
    // The German files are installed in the data folder.
    EXPECT_EQ("DEUTSCH", GetCurrentLanguageName());
    std::string doc;
    std::string german;
    ASSERT_TRUE(ReadWholeFile(GetDataFolder(ProductName) + "Surfkolibri.doc", doc));
    ASSERT_TRUE(ReadWholeFile(platform.programFolderWindows() + "Surfkolibri.d01", german));
    EXPECT_EQ(german, doc);
}

TEST_F(SmallWindowsTest, ALanguageWithoutHelpOrDocumentGetsTheEnglishOnes) {
    testing_support::writeHostFile(platform.programFolder() + "/Surfkolibri.t02",
                                   "[0]\r\nESPERANTO\r\n[1]\r\nSurfkolibri\r\n[END]\r\n");
    SwitchLanguage("ESPERANTO");
    std::string doc;
    std::string english;
    ASSERT_TRUE(ReadWholeFile(GetDataFolder(ProductName) + "Surfkolibri.doc", doc));
    ASSERT_TRUE(ReadWholeFile(platform.programFolderWindows() + "Surfkolibri.d00", english));
    EXPECT_EQ(english, doc);
    EXPECT_EQ("ESPERANTO", GetText(0));
}

TEST_F(SmallWindowsTest, ApplyLanguageTextsFillsTitlesBoxesGridsAndCaptions) {
    ApplyLanguageTexts();
    TForm1* f = Form1;
    EXPECT_EQ(AnsiToQString(GetText(1) + " 2.8 " + GetText(2)), f->windowTitle());
    EXPECT_EQ(AnsiToQString(GetText(8)), f->SpeedButton3->text().replace('\n', ' '));
    EXPECT_EQ(QStringList{AnsiToQString(GetText(15))}, f->WillkommenPanel->RichEdit1->Lines());
    // Memo1 is split at LF, Memo3 takes the whole text as one line.
    const std::string welcome = GetText(16);
    const auto pieces = static_cast<int>(std::count(welcome.begin(), welcome.end(), '\n')) + 1;
    EXPECT_GT(pieces, 1);
    EXPECT_EQ(pieces, f->WillkommenPanel->Memo1->Lines().size());
    EXPECT_EQ(QStringList{AnsiToQString(GetText(39))}, f->SicherheitsPanel->Memo3->Lines());
    EXPECT_EQ(GetText(23), AboutPanel::GridCell(f->AboutPanel->StringGrid1, 1));
    EXPECT_EQ("2.8", AboutPanel::GridCell(f->AboutPanel->StringGrid2, 1));
    EXPECT_EQ("ENGLISH", AboutPanel::GridCell(f->AboutPanel->StringGrid2, 5));
    EXPECT_EQ("Kravonel", AboutPanel::GridCell(f->AboutPanel->StringGrid2, 6));
    EXPECT_EQ("", AboutPanel::GridCell(f->AboutPanel->StringGrid1, 0));
    EXPECT_EQ("", AboutPanel::GridCell(f->AboutPanel->StringGrid1, 8));
    EXPECT_EQ(AnsiToQString(GetText(22)), f->AboutPanel->BitBtn7->text());
    EXPECT_EQ(AnsiToQString(GetText(1)), Form2->windowTitle());
    EXPECT_EQ(AnsiToQString(GetText(69)), Form5->GroupBox1->title());
    EXPECT_EQ(GetText(3), f->HomePageAddress);
    EXPECT_EQ("mailto:" + GetText(4), f->MailAddress);
}

TEST_F(SmallWindowsTest, MissingLanguageFileLeavesEveryCaptionEmpty) {
    DeleteFileA((GetDataFolder(ProductName) + "Surfkolibri.def").c_str());
    InitTranslation(ProductName);
    ApplyLanguageTexts();
    EXPECT_EQ(QStringLiteral(" 2.8 "), Form1->windowTitle());
    EXPECT_TRUE(Form1->SpeedButton1->text().isEmpty());
}

TEST(WrapToWidthTest, LongCaptionsBreakOnceAtABlankOrAfterAHyphen) {
    testing_support::EnsureApplication();
    const QFontMetrics metrics(QApplication::font());
    EXPECT_EQ(QStringLiteral("short"), WrapToWidth(QStringLiteral("short"), metrics, 200));
    EXPECT_EQ(QStringLiteral("Clean browser\ncache"),
              WrapToWidth(QStringLiteral("Clean browser cache"), metrics,
                          metrics.horizontalAdvance(QStringLiteral("Clean browser"))));
    EXPECT_EQ(QStringLiteral("IE-Power-\nEinstellungen"),
              WrapToWidth(QStringLiteral("IE-Power-Einstellungen"), metrics, 10));
    EXPECT_EQ(QStringLiteral("Unbreakable"),
              WrapToWidth(QStringLiteral("Unbreakable"), metrics, 5));
}

TEST_F(SmallWindowsTest, AFollowerMovesRightAfterItsSentenceLabel) {
    QWidget parent;
    TLabel sentence(&parent, QStringLiteral("short"), 10, 5);
    TLabel link(&parent, QStringLiteral("here"), 40, 5);
    sentence.SetCaption(std::string("a considerably longer sentence than before"));
    PlaceAfter(&link, &sentence, 5);
    EXPECT_EQ(10 + sentence.width() + 5, link.x());
    EXPECT_GT(link.x(), 40);
}
