// The language window and the switch of the current language.
#include "controls/aniicon.h"
#include "lang/LanguageSwitch.h"
#include "lang/TQwTrans2.h"
#include "lang/u_language.h"
#include "platform/qt/ansi_qstring.h"
#include "platform/win32.h"
#include "shell/u_Surfkolibri.h"
#include "support/window_fixture.h"
#include "ui/MyTricks.h"
#include "ui/u_ShowMessage2.h"
#include "ui/u_beschaeftigt.h"
#include <QGroupBox>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

using testing_support::RunEventsFor;
using testing_support::WindowTest;

class LanguageWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        StartProgram();
    }
};

TEST_F(LanguageWindowTest, LanguageWindowWithMarkerClosesItselfAndStartsTheTimer) {
    WriteFileIfMissing(LanguageMarkerPath(), ProgramVersion);
    onModal = [](QWidget* window) { RunModalLoop(window); };
    Form4->ShowModal();
    EXPECT_FALSE(Form4->isVisible());
    EXPECT_TRUE(Form1->Timer1->isActive());
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(Form4->windowState() & Qt::WindowMinimized);
    // A dialog without title-bar buttons.
    const Qt::WindowFlags flags = Form4->windowFlags();
    EXPECT_EQ(Qt::Dialog, Form4->windowType());
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
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
        // The keys go to the list: typing "D" picks DEUTSCH by its first letter.
        QWidget* keys = Form4->focusWidget();
        ASSERT_EQ(Form4->ComboBox1, keys);
        QKeyEvent d(QEvent::KeyPress, Qt::Key_D, Qt::ShiftModifier, QStringLiteral("D"));
        QApplication::sendEvent(keys, &d);
        EXPECT_EQ(QStringLiteral("DEUTSCH"), Form4->ComboBox1->currentText());
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
