#include "platform/gui/modal.h"
#include "platform/root.h"
#include "platform/win32.h"
#include "support/window_fixture.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using testing_support::EnsureApplication;
using testing_support::PlatformTest;

class MessageBoxTest : public PlatformTest {
  protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { SetModalHook(nullptr); }

    // Answers the next box by pressing `button` (or closing it when NoButton); records
    // what the box showed.
    void answerWith(QMessageBox::StandardButton button) {
        SetModalHook([this, button](QWidget* window) {
            auto* box = qobject_cast<QMessageBox*>(window);
            ASSERT_NE(nullptr, box);
            shownTitle = box->windowTitle();
            shownText = box->text();
            shownIcon = box->icon();
            shownButtons = box->standardButtons();
            defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                 : QMessageBox::NoButton;
            if (button != QMessageBox::NoButton) box->button(button)->click();
        });
    }

    QString shownTitle, shownText;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons shownButtons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

TEST_F(MessageBoxTest, AnswersWithThePressedButtonAndShowsTextCaptionIconAndDefault) {
    answerWith(QMessageBox::Yes);
    EXPECT_EQ(IDYES, MessageBoxA(nullptr, "Take part?\xE4", "Caption", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(QStringLiteral("Caption"), shownTitle);
    EXPECT_EQ(QString::fromUtf8("Take part?\xC3\xA4"), shownText); // the text is ANSI
    EXPECT_EQ(QMessageBox::Question, shownIcon);
    EXPECT_EQ(QMessageBox::Yes | QMessageBox::No, shownButtons);
    EXPECT_EQ(QMessageBox::Yes, defaultButton);

    answerWith(QMessageBox::No);
    EXPECT_EQ(IDNO, MessageBoxA(nullptr, "q", "c", MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(QMessageBox::No, defaultButton);

    answerWith(QMessageBox::Retry);
    EXPECT_EQ(IDRETRY, MessageBoxA(nullptr, "q", "c", MB_ABORTRETRYIGNORE | MB_ICONHAND));
    EXPECT_EQ(QMessageBox::Critical, shownIcon);
    EXPECT_EQ(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, shownButtons);
}

TEST_F(MessageBoxTest, ABoxClosedWithoutAButtonAnswersAsItsCancelOrNo) {
    answerWith(QMessageBox::NoButton);
    EXPECT_EQ(IDNO, MessageBoxA(nullptr, "q", "c", MB_YESNO));
    EXPECT_EQ(IDCANCEL, MessageBoxA(nullptr, "q", "c", MB_YESNOCANCEL));
    EXPECT_EQ(IDCANCEL, MessageBoxA(nullptr, "q", "c", MB_OKCANCEL));
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, nullptr, nullptr, MB_OK));
    EXPECT_EQ(QStringLiteral("Error"), shownTitle); // no caption, as the system names it
    EXPECT_TRUE(shownText.isEmpty());
}

TEST_F(MessageBoxTest, BeepsAreLoggedInRecordMode) {
    platform::clearShellLog();
    EXPECT_TRUE(MessageBeep(MB_SIMPLEBEEP));
    EXPECT_TRUE(MessageBeep(MB_ICONASTERISK));
    const auto log = platform::shellLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("beep", log[0].operation);
    EXPECT_EQ(std::to_string(MB_SIMPLEBEEP), log[0].target);
    EXPECT_EQ(std::to_string(MB_ICONASTERISK), log[1].target);
}

} // namespace
