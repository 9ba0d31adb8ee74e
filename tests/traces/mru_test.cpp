// The MRU window and ClearRunMru.
#include "support/done_message.h"
#include "traces_fixture.h"

#include "automation/CleaningOperations.h"
#include "controls/longlist.h"
#include "shell/u_Surfkolibri.h"
#include "support/caller_trace.h"
#include "traces/SicherheitsPanel.h"
#include "traces/u_MruForm.h"

#include <algorithm>

using namespace traces_test;
using testing_support::RunEventsUntil;

namespace {

void recentFile(const std::string& name, DWORD attributes = 0,
                const testing_support::Caller& caller = testing_support::Caller::current()) {
    const testing_support::CallerTrace trace(caller);
    const std::string path = std::string(kRecent) + "\\" + name;
    ASSERT_TRUE(WriteWholeFile(path, "L")) << name;
    if (attributes) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << name;
    }
}

std::vector<std::string> recentFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const UniqueFindHandle find(FindFirstFileA((std::string(kRecent) + "\\*.*").c_str(), &found));
    if (!find.valid()) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
}

class TMruFormTest : public TracesWindowTest {
  protected:
    // Opens the window from the security page; `whileOpen` runs while it is shown.
    void open(const std::function<void()>& whileOpen = {}) {
        alsoOnModal = [this, whileOpen](QWidget* window) {
            if (window != MruForm) return;
            listed = lines(MruForm->Listbox2);
            countLine = MruForm->Label2->Caption();
            if (whileOpen) whileOpen();
        };
        emit Form1->SicherheitsPanel->Label38->clicked();
    }
    std::string run(const std::string& command) const { return command + GetText(102); }
    std::string document(const std::string& name) const { return name + GetText(103); }

    std::vector<std::string> listed;
    std::string countLine;
};

} // namespace

TEST_F(TMruFormTest, ListsTheRunCommandsThenTheRecentDocumentsWithTheirTotal) {
    setString(kRunMru, "a", "notepad\\1");
    setString(kRunMru, "b", "x");
    setString(kRunMru, "mRuLiSt", "edcba");
    setString(kRunMru, "c", "");
    setValue(kRunMru, "d", REG_DWORD, std::string(4, '\0'));
    setString(kRunMru, "e", "C:\\Windows\\win.ini\\1");
    recentFile("Brief.doc.lnk");
    recentFile("versteckt.lnk", FILE_ATTRIBUTE_HIDDEN);
    recentFile("System.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    recentFile("DeskTop.Ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryA((std::string(kRecent) + "\\Unterordner").c_str(), nullptr));

    open([] {
        EXPECT_TRUE(MruForm->leerTimer->isActive());
        EXPECT_TRUE(RunEventsUntil([] { return !MruForm->leerTimer->isActive(); }));
        EXPECT_TRUE(MruForm->isVisible()); // something was found: the window stays
    });
    // Data of fewer than two characters leaves the appended text alone; the MRU list itself
    // and the value that is no text are not listed.
    EXPECT_EQ((std::vector<std::string>{run("notepad"), run(""), run(""),
                                        run("C:\\Windows\\win.ini"), document("Brief.doc.lnk"),
                                        document("System.txt"), document("versteckt.lnk")}),
              listed);
    EXPECT_EQ(GetText(100) + " 7", countLine);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Form1->isVisible());
}

TEST_F(TMruFormTest, NothingFoundSaysSoAndClosesTheWindow) {
    deleteKey(kRunMru);
    recentFile("DESKTOP.INI");
    open([] { EXPECT_TRUE(RunEventsUntil([] { return !MruForm->isVisible(); })); });
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(GetText(100) + " 0", countLine);
    EXPECT_EQ(std::vector<std::string>{GetText(101)}, messages);
    EXPECT_TRUE(keyExists(kRunMru));

    // A Run list of its MRU list alone is just as empty.
    setString(kRunMru, "MRUList", "");
    messages.clear();
    open([] { EXPECT_TRUE(RunEventsUntil([] { return !MruForm->isVisible(); })); });
    EXPECT_EQ(std::vector<std::string>{GetText(101)}, messages);
}

TEST_F(TMruFormTest, ARecentFolderPathOfFiveCharactersOrLessIsNotLookedAt) {
    ASSERT_TRUE(CreateDirectoryA("C:\\a", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\a\\inside.txt", "x"));
    ASSERT_TRUE(CreateDirectoryA("C:\\ab", nullptr));
    ASSERT_TRUE(WriteWholeFile("C:\\ab\\inside.txt", "x"));
    ASSERT_TRUE(WriteWholeFile("C:\\atroot.txt", "x"));
    const std::pair<const char*, std::size_t> cases[] = {
        {"C:\\", 0}, {"C:\\a", 0}, {"", 0}, {"C:\\ab", 1}, {"C:\\ab\\", 1}};
    for (const auto& [path, found] : cases) {
        setString(kShellFolders, "Recent", path);
        open();
        EXPECT_EQ(found, listed.size()) << path;
        if (found) {
            EXPECT_EQ(document("inside.txt"), listed[0]);
        }
    }
}

TEST_F(TMruFormTest, ItsLinkClearsBothListsAfterTheBusyWindowAndCloses) {
    setString(kRunMru, "a", "notepad\\1");
    setString(kRunMru, "b", "cmd\\1");
    setString(kRunMru, "MRUList", "ba");
    setString(std::string(kRunMru) + "\\Sub", "kept", "x");
    recentFile("Brief.doc.lnk");
    recentFile("versteckt.lnk", FILE_ATTRIBUTE_HIDDEN);
    recentFile("Notiz.txt");
    recentFile("desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::vector<std::string> valuesWhileBusy;
    alsoOnModal = [&](QWidget* window) {
        if (window == MruForm) emit MruForm->Label6->clicked();
        // The clearing starts only once the progress has run.
        if (window == Form2) valuesWhileBusy = valueNames(kRunMru);
    };
    emit Form1->SicherheitsPanel->Label38->clicked();
    EXPECT_EQ((std::vector<std::string>{"TMruForm", "TForm2", "TShowMessage2Form"}), modalWindows);
    ASSERT_EQ(1u, busy.size());
    EXPECT_EQ(GetText(118), busy[0].line);
    EXPECT_EQ(5, busy[0].interval);
    EXPECT_TRUE(busy[0].timerRunning);
    EXPECT_EQ(3u, valuesWhileBusy.size());
    EXPECT_EQ(std::vector<std::string>{doneMessage(99, 4)}, messages);

    EXPECT_TRUE(valueNames(kRunMru).empty());
    EXPECT_EQ(std::vector<std::string>{"Sub"}, subkeyNames(kRunMru));
    std::vector<std::string> left = recentFiles();
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::string>{"Notiz.txt", "desktop.ini"}), left);
    EXPECT_EQ(0, MruForm->Listbox2->count());
    EXPECT_EQ(0, MruForm->ListBox1->count());
    EXPECT_FALSE(MruForm->isVisible());
    EXPECT_TRUE(Form1->isVisible());
    // The security link, the window's link and its closing.
    EXPECT_EQ(3, clickSounds());
}

namespace {

using CleanRunListsTest = TracesWindowTest;

} // namespace

TEST_F(CleanRunListsTest, EmptiesTheRunListAndTheRecentShortcutsShowingNothing) {
    setString(kRunMru, "a", "notepad\\1");
    setValue(kRunMru, "b", REG_BINARY, "raw");
    setString(kRunMru, "MRUList", "ba");
    recentFile("Brief.doc.lnk");
    recentFile("Notiz.txt");
    const CleaningResult preview = CleanRunLists(CleaningMode::Preview);
    EXPECT_EQ(3u, valueNames(kRunMru).size());
    const CleaningResult result = CleanRunLists();
    EXPECT_TRUE(keyExists(kRunMru));
    EXPECT_TRUE(valueNames(kRunMru).empty());
    EXPECT_EQ(std::vector<std::string>{"Notiz.txt"}, recentFiles());
    // The two commands and the one document; the list's order value is no entry.
    EXPECT_EQ(3u, result.removed);
    EXPECT_FALSE(result.Incomplete());
    EXPECT_EQ(result.removed, preview.removed);
    EXPECT_TRUE(modalWindows.empty());
    EXPECT_EQ(0, clickSounds());

    deleteKey(kRunMru);
    EXPECT_EQ(0u, CleanRunLists().removed);
    EXPECT_TRUE(keyExists(kRunMru));
}
