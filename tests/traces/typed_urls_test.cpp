// The Typed URLs window, the main window's clearing of the typed addresses and ClearTypedUrls.
#include "support/done_message.h"
#include "traces_fixture.h"

#include "controls/longlist.h"
#include "shell/u_Surfkolibri.h"
#include "traces/SicherheitsPanel.h"
#include "traces/TraceClearing.h"
#include "traces/u_TypedURLs.h"

using namespace traces_test;
using testing_support::RunEventsUntil;

namespace {

class TTypedURLsFormTest : public TracesWindowTest {
  protected:
    // Opens the window from the security page and waits, inside the modal showing, for its
    // list to be filled (or for it to close itself).
    void open(const std::function<void()>& whileOpen = {}) {
        alsoOnModal = [this, whileOpen](QWidget* window) {
            if (window != TypedURLsForm) return;
            EXPECT_TRUE(TypedURLsForm->Timer1->isActive());
            EXPECT_TRUE(RunEventsUntil([] { return !TypedURLsForm->Timer1->isActive(); }));
            listed = lines(TypedURLsForm->Listbox2);
            if (whileOpen) whileOpen();
        };
        emit Form1->SicherheitsPanel->Label25->clicked();
    }
    std::vector<std::string> listed;
};

// Values of every kind, named as the browser and as other programs name them.
void seedMixedList() {
    setString(kTypedUrls, "url1", "http://first.example/");
    setValue(kTypedUrls, "url2", REG_DWORD, std::string("\x2A\0\0\0", 4));
    setString(kTypedUrls, "Suchleiste", "http://second.example/?q=a");
    setValue(kTypedUrls, "Raw", REG_BINARY, "http://bytes.example/");
    setValue(kTypedUrls, "expand", REG_EXPAND_SZ, std::string("%TEMP%\\page.htm\0", 16));
    setValue(kTypedUrls, "multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    // Stored without its terminator, as some writers do.
    setValue(kTypedUrls, "url10", REG_SZ, "http://unterminated.example/");
}

} // namespace

TEST_F(TTypedURLsFormTest, ListsEveryStringValueInRegistryOrderWhateverItsName) {
    seedMixedList();
    open([] {
        // The names read from the key, text or not, wait in the hidden list.
        EXPECT_EQ((std::vector<std::string>{"url1", "url2", "Suchleiste", "Raw", "expand", "multi",
                                            "url10"}),
                  lines(TypedURLsForm->ListBox1));
        EXPECT_TRUE(TypedURLsForm->isVisible());
    });
    // Values that hold no text are passed over, and the addresses after them still listed.
    EXPECT_EQ((std::vector<std::string>{"http://first.example/", "http://second.example/?q=a",
                                        "%TEMP%\\page.htm", "http://unterminated.example/"}),
              listed);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(1, clickSounds());
    EXPECT_FALSE(TypedURLsForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TTypedURLsFormTest, NoAddressesSaysSoAndClosesAndAMissingKeyComesBackEmpty) {
    deleteKey(kTypedUrls);
    ASSERT_FALSE(keyExists(kTypedUrls));
    open([] { EXPECT_FALSE(TypedURLsForm->isVisible()); });
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(std::vector<std::string>{GetText(98)}, messages);
    EXPECT_TRUE(keyExists(kTypedUrls));
    EXPECT_TRUE(valueNames(kTypedUrls).empty());

    // Only values that are no text: nothing to list either.
    setValue(kTypedUrls, "count", REG_DWORD, std::string(4, '\0'));
    open();
    EXPECT_EQ((std::vector<std::string>{GetText(98), GetText(98)}), messages);
}

TEST_F(TTypedURLsFormTest, ItsLinkClearsTheListAndClosesTheWindow) {
    seedMixedList();
    open([] { emit TypedURLsForm->Label6->clicked(); });
    EXPECT_TRUE(valueNames(kTypedUrls).empty());
    EXPECT_EQ((std::vector<std::string>{"TTypedURLsForm", "TForm2", "TShowMessage2Form"}),
              modalWindows);
    EXPECT_EQ(std::vector<std::string>{doneMessage(97, 7)}, messages);
    EXPECT_FALSE(TypedURLsForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
}

// The window's own link clears with the busy window and the message while the main window
// stays hidden under it; the main window comes back once, when the Typed URLs window closes,
// and a main window that was not showing stays hidden.
TEST_F(TTypedURLsFormTest, TheMainWindowStaysHiddenUnderItsWindowsAndComesBackOnlyIfItShowed) {
    seedMixedList();
    std::vector<std::string> shownUnder;
    alsoOnModal = [&](QWidget* window) {
        shownUnder.push_back(window->metaObject()->className() +
                             std::string(Form1->isVisible() ? " over the main window" : ""));
        if (window != TypedURLsForm) return;
        EXPECT_TRUE(RunEventsUntil([] { return !TypedURLsForm->Timer1->isActive(); }));
        emit TypedURLsForm->Label6->clicked();
        EXPECT_FALSE(Form1->isVisible());
    };
    emit Form1->SicherheitsPanel->Label25->clicked();
    EXPECT_EQ((std::vector<std::string>{"TTypedURLsForm", "TForm2", "TShowMessage2Form"}),
              shownUnder);
    EXPECT_TRUE(Form1->isVisible());

    Form1->hide();
    shownUnder.clear();
    emit Form1->SicherheitsPanel->Label23->clicked();
    EXPECT_EQ((std::vector<std::string>{"TForm2", "TShowMessage2Form"}), shownUnder);
    EXPECT_FALSE(Form1->isVisible());
}

namespace {

using ClearTypedUrlsTest = TracesWindowTest;

} // namespace

TEST_F(ClearTypedUrlsTest, BothClearingsDeleteEveryValueAndLeaveKeyAndSubkeys) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "security page link" : "unattended");
        seedMixedList();
        setString(std::string(kTypedUrls) + "\\Sub", "kept", "http://sub.example/");
        busy.clear();
        messages.clear();
        if (run == 0) {
            Form1->show();
            emit Form1->SicherheitsPanel->Label23->clicked();
            ASSERT_EQ(1u, busy.size());
            EXPECT_EQ(GetText(66), busy[0].line);
            EXPECT_EQ(12, busy[0].interval);
            EXPECT_TRUE(busy[0].timerRunning);
            EXPECT_EQ(std::vector<std::string>{doneMessage(97, 7)}, messages);
            EXPECT_TRUE(Form1->isVisible());
        } else {
            const std::size_t listed = valueNames(kTypedUrls).size();
            const CleaningResult result = ClearTypedAddresses();
            EXPECT_EQ(listed, result.removed);
            EXPECT_FALSE(result.Incomplete());
            EXPECT_TRUE(busy.empty());
            EXPECT_TRUE(messages.empty());
        }
        EXPECT_TRUE(keyExists(kTypedUrls));
        EXPECT_TRUE(valueNames(kTypedUrls).empty());
        EXPECT_EQ(std::vector<std::string>{"Sub"}, subkeyNames(kTypedUrls));
        EXPECT_EQ(std::vector<std::string>{"kept"}, valueNames(std::string(kTypedUrls) + "\\Sub"));
    }
    deleteKey(kTypedUrls);
    EXPECT_EQ(0u, ClearTypedAddresses().removed);
    EXPECT_TRUE(keyExists(kTypedUrls));
}
