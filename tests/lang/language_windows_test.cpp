// The language window, and the texts of the current language applied to every window.
#include "cache/u_info.h"
#include "controls/aniicon.h"
#include "lang/ApplyLanguageTexts.h"
#include "lang/LanguageSwitch.h"
#include "lang/TQwTrans2.h"
#include "lang/u_language.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/AboutPanel.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_Surfkolibri.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"
#include <QGroupBox>

#include <QApplication>
#include <QElapsedTimer>

using testing_support::RunEventsFor;
using testing_support::WindowTest;

class LanguageWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};

using ApplyLanguageTextsTest = LanguageWindowTest;

TEST_F(LanguageWindowTest, LanguageWindowWithMarkerClosesItselfAndStartsTheTimer) {
    WriteFileIfMissing(LanguageMarkerPath(), ProgramVersion);
    onModal = [](QWidget* window) { RunModalLoop(window); };
    Form4->ShowModal();
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Form4->windowState() & Qt::WindowMinimized);
    // A dialog with a close button only.
    const Qt::WindowFlags flags = Form4->windowFlags();
    EXPECT_EQ(Qt::Dialog, Form4->windowType());
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(LanguageWindowTest, LanguageWindowWithoutMarkerWaitsForAChoiceAndRestarts) {
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

TEST_F(LanguageWindowTest, ALanguageWithoutHelpOrDocumentGetsTheEnglishOnes) {
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

TEST_F(ApplyLanguageTextsTest, ApplyLanguageTextsFillsTitlesBoxesGridsAndCaptions) {
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

TEST_F(ApplyLanguageTextsTest, MissingLanguageFileLeavesEveryCaptionEmpty) {
    DeleteFileA((GetDataFolder(ProductName) + "Surfkolibri.def").c_str());
    InitTranslation(ProductName);
    ApplyLanguageTexts();
    EXPECT_EQ(QStringLiteral(" 2.8 "), Form1->windowTitle());
    EXPECT_TRUE(Form1->SpeedButton1->text().isEmpty());
}

TEST_F(ApplyLanguageTextsTest, AFollowerMovesRightAfterItsSentenceLabel) {
    QWidget parent;
    TLabel sentence(&parent, QStringLiteral("short"), 10, 5);
    TLabel link(&parent, QStringLiteral("here"), 40, 5);
    sentence.SetCaption(std::string("a considerably longer sentence than before"));
    PlaceAfter(&link, &sentence, 5);
    EXPECT_EQ(10 + sentence.width() + 5, link.x());
    EXPECT_GT(link.x(), 40);
}
