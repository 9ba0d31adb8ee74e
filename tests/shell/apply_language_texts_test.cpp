// The texts of the current language applied to every window of the program.
#include "cache/u_info.h"
#include "lang/TQwTrans2.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/AboutPanel.h"
#include "shell/ApplyLanguageTexts.h"
#include "shell/WillkommenPanel.h"
#include "shell/u_Surfkolibri.h"
#include "support/window_fixture.h"
#include "traces/SicherheitsPanel.h"
#include "ui/MyTricks.h"
#include "ui/u_beschaeftigt.h"

#include <QGroupBox>

using testing_support::WindowTest;

class ApplyLanguageTextsTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};

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
